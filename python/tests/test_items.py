"""Item fields against kxmsg's, overlong and refused values, reads that change nothing."""

import json
import os
import pickle
import re
import subprocess
import sys

import pytest

import kxli
from conftest import (HEADER_CLASSES, ITEM_CLASSES, assert_limits, header_message, run_kxmsg,
                      snake_fields, table)


@pytest.fixture(scope="module")
def fields(kxmsg):
    """{kind: {json name: (type, width)}} by kxmsg; "shown": shown by dump, not set."""
    found = {kind: {} for kind in ITEM_CLASSES}
    for kind, table_ in found.items():
        listed = run_kxmsg(kxmsg, "fields", kind).stdout.decode()
        settable, _, shown = listed.partition("shown by dump, not set by build:")
        for name, description in re.findall(r"^  (\w+) +(.*)$", settable, re.M):
            width = re.search(r"(\d+) bytes", description)
            type_ = "bytes" if "hex digits" in description else description.split(",")[0]
            table_[name] = (type_, int(width.group(1)) if width else 0)
        table_.update((name, ("shown", 0)) for name in re.findall(r"^  (\w+) ", shown, re.M))
    return found


@pytest.mark.parametrize("kind", sorted(ITEM_CLASSES))
def test_fields_are_those_of_kxmsg_and_make_the_item(fields, kind):
    cls, known = ITEM_CLASSES[kind], fields[kind]
    assert sorted(json_name for _, json_name in cls._fields) == sorted(known)
    first_text = next(name for name, json_name in cls._fields if known[json_name][0] == "text")
    item = cls(**{first_text: "Q1"})
    assert item == cls(**{first_text: "Q1"}) and item != cls() and item != "Q1"
    assert list(item.to_dict()) == [name for name, _ in cls._fields]
    assert item.to_dict()[first_text].rstrip() == "Q1"
    assert repr(item).startswith("kxli.%s(" % cls.__name__) and "Q1" in repr(item)
    for name, json_name in cls._fields:
        assert name == kxli.snake_case(json_name)
        if known[json_name][0] == "shown":
            with pytest.raises(AttributeError, match="cannot be set"):
                setattr(item, name, getattr(item, name))
            with pytest.raises(TypeError, match="cannot set " + name):
                cls(**{name: getattr(item, name)})


def sample_value(kind, json_name, type_, width, seed):
    if type_ == "number":
        return 2 if json_name == "version" else -1000003 * (seed + 1)
    if type_ == "bytes":
        return bytes((seed * 7 + i) % 256 for i in range(width))
    text = "Ä%s%d-%s" % (kind, seed, "BCDEFGHIJKLMNOPQRSTUVWXYZ" * 12)
    return text[:37] if width == 0 else text.encode()[:width].decode()  # the width in UTF-8


def test_every_settable_field_reaches_the_message(kxmsg, fields, tmp_path):
    """Each field set from Python is read back by kxmsg and by Message.items()."""
    for kind, known in fields.items():
        values = {kxli.snake_case(json_name): sample_value(kind, json_name, *type_width, seed)
                  for seed, (json_name, type_width) in enumerate(known.items())
                  if type_width[0] != "shown"}
        message = kxli.Message()
        if kind != "trg":
            message.write("body")
        message.write(ITEM_CLASSES[kind](**values))
        path = tmp_path / (kind + ".msg")
        message.save(path)
        dumped = json.loads(run_kxmsg(kxmsg, "dump", "--json", str(path)).stdout)
        dumped = snake_fields(dumped["chain"][0]["fields"])
        read = kxli.Message.load(path).items()[0]
        for name, value in values.items():
            assert dumped[name] == (value.hex() if isinstance(value, bytes) else value), name
            assert getattr(read, name) == value, (kind, name)


def test_each_field_cuts_or_refuses_what_does_not_fit(fields):
    for kind, known in fields.items():
        for json_name, (type_, width) in known.items():
            if type_ in ("bytes", "number") and json_name != "version" or type_ == "text" and width:
                assert_limits(ITEM_CLASSES[kind](), kxli.snake_case(json_name), type_, width)


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


BAD_READS = [(cls, *row[1:]) for row in table("py_bad_reads")
             for kind, cls in HEADER_CLASSES.items() if row[0] in ("*", kind)]


@pytest.mark.parametrize("cls,offset,patch,keep,encoding,format_,reason,text", BAD_READS,
                         ids=["%s-%d" % (row[0].__name__, row[6]) for row in BAD_READS])
def test_reads_that_fail_leave_the_message_as_it_was(cls, offset, patch, keep, encoding, format_,
                                                     reason, text):
    data = header_message(cls)
    data = (data[:offset] + patch.encode("latin-1") + data[offset + len(patch):])[:keep or None]
    format_ = cls.FORMAT if format_ == "-" else format_.ljust(8)
    message = kxli.Message(data, format=format_, encoding=encoding)
    with pytest.raises(kxli.Error) as caught:
        message.read(cls)
    error = caught.value
    assert (error.completion_code, error.reason_code, error.reason, error.what) == (
        2, reason, kxli.reason_name(reason), "reading the %s at offset 0" % cls._title)
    assert str(pickle.loads(pickle.dumps(error))) == str(error)
    assert text == "-" or text in error.text
    assert (message.data_offset, message.format, message.encoding) == (0, format_, encoding)
    assert bytes(message) == data
    if format_ == cls.FORMAT:
        with pytest.raises(kxli.Error):
            message.items()


def test_the_kxecs_trace_output_stays_the_users():
    """With KXECS_TRACE set the library's texts go to its output, not to the Error."""
    code = ("import kxli\n"
            "try:\n"
            "    kxli.Message(b'xxxx', format='KXDEAD').read(kxli.DeadLetterHeader)\n"
            "except kxli.Error as error:\n"
            "    print(error.text, error.reason_code)\n")
    result = subprocess.run([sys.executable, "-c", code], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=dict(os.environ, KXECS_TRACE="stderr"))
    assert result.stdout == b"None 6107\n"
    assert b'text="KxlDeadLetterHeader::pasteIn (error): wrong structure id"' in result.stderr


@pytest.mark.parametrize("name,expected", table("py_snake_case"))
def test_snake_case_rule(name, expected):
    assert kxli.snake_case(name) == expected
