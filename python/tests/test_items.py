"""The item classes: their fields against those kxmsg (C++) knows, values
that reach the message's bytes, overlong and refused values, and reads that
fail with the library's codes, leaving the message as it was."""

import os
import pickle
import re
import subprocess
import sys
import warnings

import pytest

import kxli
from conftest import HEADER_CLASSES, ITEM_CLASSES, kxmsg_dump, run_kxmsg, snake_fields


def kxmsg_fields(kxmsg, kind):
    """`kxmsg fields KIND` parsed: {json name: (type, width)} of the fields
    build sets, and the names of those it only shows."""
    settable, shown = {}, set()
    lines = run_kxmsg(kxmsg, "fields", kind).stdout.decode().splitlines()[1:]
    only_shown = False
    for line in lines:
        if "shown by dump, not set by build" in line:
            only_shown = True
            continue
        name, description = line.split(None, 1)
        if only_shown:
            shown.add(name)
            continue
        width = re.search(r"(\d+) bytes", description)
        type_ = "bytes" if "hex digits" in description else description.split(",")[0]
        settable[name] = (type_, int(width.group(1)) if width else 0)
    return settable, shown


@pytest.mark.parametrize("kind", sorted(ITEM_CLASSES))
def test_fields_are_those_of_kxmsg_in_snake_case(kxmsg, kind):
    cls = ITEM_CLASSES[kind]
    settable, shown = kxmsg_fields(kxmsg, kind)
    assert sorted(json for _, json in cls._fields) == sorted(set(settable) | shown)
    item = cls()
    for name, json_name in cls._fields:
        assert name == kxli.snake_case(json_name)
        assert list(item.to_dict()).count(name) == 1
        if json_name in shown:
            with pytest.raises(AttributeError, match="cannot be set"):
                setattr(item, name, getattr(item, name))
            with pytest.raises(TypeError, match="cannot set " + name):
                cls(**{name: getattr(item, name)})


def sample_value(kind, json_name, type_, width, seed):
    """A value that fills the field, distinct for each field."""
    if json_name == "version":
        return 2
    if type_ == "number":
        return -1000003 * (seed + 1)
    if type_ == "bytes":
        return bytes((seed * 7 + i) % 256 for i in range(width))
    characters = "%s%d-Ä%s" % (kind, seed, "BCDEFGHIJKLMNOPQRSTUVWXYZ" * 12)
    if width == 0:
        return characters[:37]
    text = ""
    for character in characters:
        if len((text + character).encode()) > width:
            break
        text += character
    return text + "x" * (width - len(text.encode()))  # exactly the width, in UTF-8


def settable_fields(kxmsg):
    return [(kind, json_name, type_, width)
            for kind in sorted(ITEM_CLASSES)
            for json_name, (type_, width) in kxmsg_fields(kxmsg, kind)[0].items()]


def test_every_settable_field_reaches_the_message(kxmsg, tmp_path):
    """Each field set from Python is read back by kxmsg (C++) from the
    saved file with the same value, and by Message.items()."""
    for kind, fields in _by_kind(settable_fields(kxmsg)).items():
        cls = ITEM_CLASSES[kind]
        values = {kxli.snake_case(json_name): sample_value(kind, json_name, type_, width, seed)
                  for seed, (json_name, type_, width) in enumerate(fields)}
        message = kxli.Message()
        if kind == "trg":
            message.write(cls(**values))
        else:
            message.write("body")
            message.write(cls(**values))
        path = tmp_path / (kind + ".msg")
        message.save(path)
        dumped = snake_fields(kxmsg_dump(kxmsg, path)["chain"][0]["fields"])
        read = kxli.Message.load(path).items()[0]
        for name, value in values.items():
            shown = value.hex() if isinstance(value, bytes) else value
            assert dumped[name] == shown, (kind, name)
            assert getattr(read, name) == value, (kind, name)


def _by_kind(fields):
    grouped = {}
    for kind, json_name, type_, width in fields:
        grouped.setdefault(kind, []).append((json_name, type_, width))
    return grouped


def test_overlong_text_warns_and_is_cut_or_refused_under_error_filter(kxmsg):
    for kind, json_name, type_, width in settable_fields(kxmsg):
        if type_ != "text" or width == 0:
            continue
        cls, name = ITEM_CLASSES[kind], kxli.snake_case(json_name)
        item = cls()
        before = getattr(item, name)
        with warnings.catch_warnings():
            warnings.simplefilter("error", kxli.Warning)
            with pytest.raises(kxli.Warning) as caught:
                setattr(item, name, "Z" * (width + 1))
        assert getattr(item, name) == before, (kind, name)
        assert (caught.value.completion_code, caught.value.reason_code) == (1, 6115)
        assert caught.value.reason == "KXRC_DATA_TRUNCATED"
        with pytest.warns(kxli.Warning, match="%d bytes given, cut to the field's %d" % (
                width + 1, width)):
            setattr(item, name, "Z" * (width + 1))
        assert getattr(item, name).rstrip() == "Z" * width, (kind, name)
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            setattr(item, name, "Z" * width)  # the full width passes without a word


@pytest.mark.parametrize("cls,name,width", [
    (kxli.VornBridgeHeader, "facility_token", 8),
    (kxli.OxtBridgeHeader, "transaction_instance_id", 16),
    (kxli.WorkInformationHeader, "message_token", 16),
    (kxli.ReferenceHeader, "instance_id", 24),
])
def test_bytes_fields_take_their_width_or_nothing(cls, name, width):
    item = cls(**{name: b"\x01" * width})
    for wrong in (b"\x02" * (width - 1), b"\x02" * (width + 1)):
        with pytest.raises(kxli.Error) as caught:
            setattr(item, name, wrong)
        assert caught.value.reason_code == kxli.KXRC_BINARY_DATA_LENGTH_ERROR
        assert getattr(item, name) == b"\x01" * width
    setattr(item, name, b"")
    assert getattr(item, name) == bytes(width)
    with pytest.raises(TypeError):
        setattr(item, name, "text")


@pytest.mark.parametrize("value,error", [
    (2**31, OverflowError), (-2**31 - 1, OverflowError), (1.5, TypeError), ("7", TypeError)])
def test_numbers_are_signed_32_bit(value, error):
    header = kxli.VornBridgeHeader(uow_control=2**31 - 1, link_type=-2**31)
    with pytest.raises(error):
        header.uow_control = value
    assert (header.uow_control, header.link_type) == (2**31 - 1, -2**31)


@pytest.mark.parametrize("bad,error", [
    ({"nonsense": 1}, TypeError), ({"destination_queue_name": 5}, TypeError),
    ({"destination_queue_name": "A\0B"}, ValueError)])
def test_construction_refuses_what_cannot_be_a_field(bad, error):
    with pytest.raises(error):
        kxli.DeadLetterHeader(**bad)


def test_vorn_version_is_1_or_2_and_version_1_warns_of_a_lost_cursor():
    header = kxli.VornBridgeHeader()
    assert header.version == 2
    with pytest.raises(kxli.Error) as caught:
        header.version = 3
    assert caught.value.reason_code == kxli.KXRC_UNSUPPORTED_VERSION
    header.version = 1
    message = kxli.Message()
    message.write(header)
    assert message.length == 164
    header.cursor_position = 7
    with pytest.warns(kxli.Warning, match="cursor_position 7 is left out"):
        message.write(header)


@pytest.mark.parametrize("name", sorted(ITEM_CLASSES))
def test_to_dict_equality_and_repr(name):
    cls = ITEM_CLASSES[name]
    first_text = next(n for n, _ in cls._fields if isinstance(getattr(cls(), n), str)
                      and n not in ("format",))
    item = cls(**{first_text: "Q1"})
    same = cls(**{first_text: "Q1"})
    assert item == same and item != cls() and item != "Q1"
    assert list(item.to_dict()) == [n for n, _ in cls._fields]
    assert item.to_dict()[first_text].rstrip() == "Q1"
    assert repr(item).startswith("kxli.%s(" % cls.__name__) and "Q1" in repr(item)


def test_a_header_records_what_it_stands_in_front_of():
    message = kxli.Message()
    message.write("text")
    message.character_set = 1208
    header = kxli.WorkInformationHeader(service_name="PAYROLL")
    message.write(header)
    assert (header.format, header.encoding, header.character_set) == ("KXSTR   ", kxli.NATIVE_ENCODING, 1208)
    assert (message.format, message.character_set) == ("KXHWIH  ", 0)


def header_message(cls):
    message = kxli.Message()
    message.write("payload")
    message.write(cls(**({"source_name": "/in/a"} if cls is kxli.ReferenceHeader else {})))
    return bytes(message), cls.FORMAT


def int32_at(data, offset, value):
    return data[:offset] + value.to_bytes(4, "little", signed=True) + data[offset + 4:]


# (class, change of the message, reason, text the library sends)
BAD_READS = [(cls, "structure id", lambda d, f: (b"XXXX" + d[4:], f, kxli.NATIVE_ENCODING), 6107,
              "pasteIn (error): wrong structure id") for cls in HEADER_CLASSES.values()]
BAD_READS += [(cls, "encoding", lambda d, f: (d, f, 273), 6106, "wrong message encoding")
              for cls in HEADER_CLASSES.values()]
BAD_READS += [(cls, "format", lambda d, f: (d, "KXSTR   ", kxli.NATIVE_ENCODING), 6119, "wrong message format")
              for cls in HEADER_CLASSES.values()]
BAD_READS += [
    (kxli.DeadLetterHeader, "cut record", lambda d, f: (d[:100], f, kxli.NATIVE_ENCODING), 6114,
     "insufficient data"),
    (kxli.VornBridgeHeader, "version 3", lambda d, f: (int32_at(d, 4, 3), f, kxli.NATIVE_ENCODING), 6128, None),
    (kxli.ReferenceHeader, "name past the data", lambda d, f: (int32_at(d, 76, 4000), f, kxli.NATIVE_ENCODING),
     6114, None),
    (kxli.ReferenceHeader, "name past the structure",
     lambda d, f: (int32_at(d, 8, 108), f, kxli.NATIVE_ENCODING), 6123, None),
]


@pytest.mark.parametrize("cls,change,alter,reason,text", BAD_READS,
                         ids=["%s-%s" % (c[0].__name__, c[1]) for c in BAD_READS])
def test_reads_that_fail_leave_the_message_as_it_was(cls, change, alter, reason, text):
    data, format_, encoding = alter(*header_message(cls))
    message = kxli.Message(data, format=format_, encoding=encoding)
    with pytest.raises(kxli.Error) as caught:
        message.read(cls)
    error = caught.value
    assert (error.completion_code, error.reason_code) == (2, reason)
    assert error.reason == kxli.reason_name(reason)
    assert error.what == "reading the %s at offset 0" % cls._title
    assert str(pickle.loads(pickle.dumps(error))) == str(error)
    if text is not None:
        assert text in error.text
    assert (message.data_offset, message.format, message.encoding) == (0, format_, encoding)
    assert bytes(message) == data
    if format_ == cls.FORMAT:
        with pytest.raises(kxli.Error):
            message.items()


def test_the_kxecs_trace_output_stays_the_users():
    """With KXECS_TRACE set the library's texts go to its output, and the
    binding catches none of them."""
    code = ("import kxli\n"
            "try:\n"
            "    kxli.Message(b'xxxx', format='KXDEAD').read(kxli.DeadLetterHeader)\n"
            "except kxli.Error as error:\n"
            "    print(error.text, error.reason_code)\n")
    result = subprocess.run([sys.executable, "-c", code], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=dict(os.environ, KXECS_TRACE="stderr"))
    assert result.stdout == b"None 6107\n"
    assert b'text="KxlDeadLetterHeader::pasteIn (error): wrong structure id"' in result.stderr


@pytest.mark.parametrize("name,expected", [
    ("destinationQueueName", "destination_queue_name"), ("UOWControl", "uow_control"),
    ("ADSDescriptor", "ads_descriptor"), ("characterSet", "character_set"),
    ("version", "version"), ("item2Name", "item2_name"), ("ABC", "abc")])
def test_snake_case_rule(name, expected):
    assert kxli.snake_case(name) == expected
