"""kxli.Message: its descriptor, the bodies written and read back byte for
byte, the chain, and message files as kxmsg writes them."""

import os

import pytest

import kxli
from conftest import assert_cut, run_kxmsg, table

MIB = 1024 * 1024


def test_a_new_message_and_a_received_one():
    new = kxli.Message()
    assert (new.format, new.encoding, new.character_set) == (" " * 8, kxli.NATIVE_ENCODING, 0)
    assert (new.length, new.data_offset, bytes(new), new.version) == (0, 0, b"", 2)
    assert new.descriptor[:4] == b"MD  " and len(new.descriptor) == 364
    received = kxli.Message(bytearray(b"abc"), format="KXSTR", encoding=273, character_set=1208)
    assert (received.format, received.encoding, received.character_set) == ("KXSTR   ", 273, 1208)
    assert (received.length, received.data_offset, bytes(received)) == (3, 0, b"abc")
    with pytest.raises(TypeError):
        kxli.Message("text")


@pytest.mark.parametrize("name,offset,width,type_", table("py_descriptor"))
def test_descriptor_fields_stand_in_the_descriptor(name, offset, width, type_):
    """A text past its width is cut, with kxli.Warning; bytes of another
    length are refused (6111) and b"" zeroes them."""
    message = kxli.Message()
    value = bytes(range(1, width + 1))
    if type_ == "text":
        value = "".join(chr(ord("A") + i % 26) for i in range(width))
    setattr(message, name, value)
    assert getattr(message, name) == value
    assert message.descriptor[offset:offset + width] == (
        value.encode() if type_ == "text" else value)
    if type_ == "text":
        assert_cut(message, name, "z" * (width + 1), width, "z" * width)
        return
    with pytest.raises(kxli.Error) as caught:
        setattr(message, name, value[:-1])
    assert caught.value.reason_code == kxli.KXRC_BINARY_DATA_LENGTH_ERROR
    assert getattr(message, name) == value
    setattr(message, name, b"")
    assert getattr(message, name) == bytes(width)


# (what is written, the data it must give, the format, how it reads back)
BODIES = [
    ("hello", b"hello", "KXSTR   ", str),
    ("", b"", "KXSTR   ", str),
    ("a\0b\0", b"a\0b\0", "KXSTR   ", str),
    ("café ✓", "café ✓".encode(), "KXSTR   ", str),
    ("x\udcff", b"x\xff", "KXSTR   ", bytes),
    (b"\0\xff\x01", b"\0\xff\x01", "        ", bytes),
    (bytearray(b"ab"), b"ab", "        ", bytes),
    ("é" * MIB, "é".encode() * MIB, "KXSTR   ", str),
    ("a" * MIB, b"a" * MIB, "KXSTR   ", str),
    ("a" * (3 * 65536 + 7) + "é", b"a" * (3 * 65536 + 7) + "é".encode(), "KXSTR   ", str),
    (b"\x80" * MIB, b"\x80" * MIB, "        ", bytes),
]


@pytest.mark.parametrize("body,data,format_,kind", BODIES,
                         ids=["%s-%d" % (type(b[0]).__name__, len(b[1])) for b in BODIES])
def test_bodies_keep_every_byte(body, data, format_, kind):
    message = kxli.Message()
    message.write(body)
    assert (bytes(message), message.format, message.data_offset) == (data, format_, len(data))
    message.write(kxli.DeadLetterHeader(put_date="20240601"))
    message.data_offset = 0
    message.read(kxli.DeadLetterHeader)
    assert message.format == format_
    if kind is bytes and format_ == "KXSTR   ":
        with pytest.raises(UnicodeDecodeError):
            message.read(str)
        assert bytes(message)[message.data_offset:] == data
        message.data_offset = message.length
    else:
        assert message.read(kind) == (data if kind is bytes else data.decode())
    assert message.data_offset == message.length


@pytest.mark.parametrize("before", [b"ok ", b"k" * (2 * 65536 + 3)])
def test_text_that_is_not_utf8_reads_as_bytes_only(before):
    message = kxli.Message(before + b"\xff", format="KXSTR   ")
    with pytest.raises(UnicodeDecodeError):
        message.read(str)
    assert message.data_offset == 0
    assert message.items() == [before + b"\xff"]
    body = message.items()[0]
    assert isinstance(body, kxli.BytesBody) and body.format == "KXSTR   "
    assert body.to_dict() == {"text": before.decode() + "\udcff"}


@pytest.mark.parametrize("kind,format_,text", [
    (str, "        ", "KxlString::pasteIn (error): wrong message format"),
    (bytes, "KXSTR   ", "KxlBinary::pasteIn (error): wrong message format")])
def test_a_body_of_another_format_is_refused_by_the_library(kind, format_, text):
    message = kxli.Message(b"abc", format=format_)
    with pytest.raises(kxli.Error) as caught:
        message.read(kind)
    assert (caught.value.reason_code, caught.value.text) == (kxli.KXRC_WRONG_FORMAT, text)
    assert message.data_offset == 0


def test_a_body_of_the_applications_own_format():
    message = kxli.Message()
    message.write(kxli.BytesBody(b"<order/>", format="MYAPP"))
    message.write(kxli.WorkInformationHeader(service_name="S"))
    assert message.items()[-1] == b"<order/>"
    assert message.items()[-1].format == "MYAPP   "
    with pytest.raises(ValueError):
        kxli.BytesBody(b"", format="TOO LONG!")


def test_items_walks_every_header_and_leaves_the_message_alone():
    message = kxli.Message()
    message.write("payload")
    headers = [kxli.ReferenceHeader(source_name="/in/a", destination_name="/out/b"),
               kxli.OxtBridgeHeader(authenticator="PW"), kxli.VornBridgeHeader(start_code="S1"),
               kxli.WorkInformationHeader(service_step="STEP"),
               kxli.DeadLetterHeader(destination_queue_name="Q")]
    for header in headers:
        message.write(header)
    before = (message.format, message.data_offset, bytes(message))
    chain = message.items()
    assert chain == list(reversed(headers)) + ["payload"]
    assert isinstance(chain[-1], kxli.TextBody) and chain[-1].to_dict() == {"text": "payload"}
    assert (message.format, message.data_offset, bytes(message)) == before
    message.data_offset = 0
    message.read(kxli.DeadLetterHeader)
    assert message.format == "KXHWIH  " and message.items() == chain  # still from the start
    trigger = kxli.Message()
    trigger.write(kxli.TriggerMessage(queue_name="APP.IN"))
    assert trigger.items() == [kxli.TriggerMessage(queue_name="APP.IN")]
    assert kxli.Message().items() == [b""]


@pytest.mark.parametrize("item", [42, None, kxli.Message(), [b"x"]])
def test_what_is_no_item_is_refused(item):
    with pytest.raises(TypeError):
        kxli.Message().write(item)
    with pytest.raises(TypeError):
        kxli.Message().read(type(item))


@pytest.mark.parametrize("offset", [-1, 4])
def test_data_offset_stays_within_the_message(offset):
    message = kxli.Message(b"abc")
    with pytest.raises(ValueError):
        message.data_offset = offset
    message.data_offset = 3
    assert message.data_offset == 3


def test_save_and_load_give_kxmsgs_bytes(kxmsg, tmp_path):
    written = tmp_path / "k.msg"
    run_kxmsg(kxmsg, "build", "-o", str(written), "--text", "hello", "--header",
              "dlh:destinationQueueName=ORDERS.IN")
    message = kxli.Message.load(written)
    assert (message.format, message.data_offset, message.length) == ("KXDEAD  ", 0, 177)
    message.save(tmp_path / "p.msg")
    assert (tmp_path / "p.msg").read_bytes() == written.read_bytes()


def test_save_and_load_keep_the_descriptor(tmp_path):
    message = kxli.Message(b"\0" * (3 * MIB), format="MYAPP", character_set=1208)
    message.message_id = b"\x07" * 24
    message.user_id = "operator"
    message.feedback = -5
    path = str(tmp_path / "m.msg")
    message.save(path)
    loaded = kxli.Message.load(path)
    assert loaded.descriptor == message.descriptor and bytes(loaded) == bytes(message)
    assert (loaded.format, loaded.character_set, loaded.user_id) == ("MYAPP   ", 1208, "operator")
    assert os.listdir(tmp_path) == ["m.msg"]


@pytest.mark.parametrize("content,reason", [
    (b"", 6114), (b"MD  " + bytes(300), 6114), (b"XX  " + bytes(400), 6107)])
def test_a_file_that_is_no_message_file(tmp_path, content, reason):
    path = tmp_path / "bad.msg"
    path.write_bytes(content)
    with pytest.raises(kxli.Error) as caught:
        kxli.Message.load(path)
    assert caught.value.reason_code == reason and "bad.msg" in caught.value.what


def test_file_errors_are_os_errors(tmp_path):
    with pytest.raises(FileNotFoundError):
        kxli.Message.load(tmp_path / "missing.msg")
    with pytest.raises(IsADirectoryError):
        kxli.Message.load(tmp_path)
    with pytest.raises(FileNotFoundError):
        kxli.Message().save(tmp_path / "no" / "such.msg")
    assert os.listdir(tmp_path) == []
