"""kxli.Message: its descriptor, bodies byte for byte, the chain, message files."""

import os

import pytest

import kxli
from conftest import assert_limits, run_kxmsg, table

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
    message = kxli.Message()
    value = bytes(range(1, width + 1))
    if type_ == "text":
        value = "".join(chr(ord("A") + i % 26) for i in range(width))
    setattr(message, name, value)
    assert getattr(message, name) == value
    assert message.descriptor[offset:offset + width] == (
        value.encode() if type_ == "text" else value)
    assert_limits(message, name, type_, width)


BODIES = [({"str": str, "bytes": bytes, "bytearray": bytearray}[kind], piece * count + tail)
          for kind, piece, count, tail in table("py_bodies")]


@pytest.mark.parametrize("kind,text", BODIES,
                         ids=["%s-%d" % (kind.__name__, len(text)) for kind, text in BODIES])
def test_bodies_keep_every_byte(kind, text):
    """A text not in UTF-8 reads as bytes only: read(str) leaves the data offset."""
    body = text if kind is str else kind(text.encode("latin-1"))
    data = text.encode("utf-8", "surrogateescape") if kind is str else bytes(body)
    format_ = "KXSTR   " if kind is str else " " * 8
    message = kxli.Message()
    message.write(body)
    assert (bytes(message), message.format, message.data_offset) == (data, format_, len(data))
    message.write(kxli.DeadLetterHeader(put_date="20240601"))
    message.data_offset = 0
    message.read(kxli.DeadLetterHeader)
    assert message.format == format_
    chain = message.items()
    assert chain[-1].to_dict() == ({"text": text} if kind is str else {"bytes": data.hex()})
    if "\udcff" in text:
        with pytest.raises(UnicodeDecodeError):
            message.read(str)
        assert bytes(message)[message.data_offset:] == data
        assert (type(chain[-1]), chain[-1].format) == (kxli.BytesBody, format_)
    else:
        assert message.read(str if kind is str else bytes) == (text if kind is str else data)
        assert message.data_offset == message.length


@pytest.mark.parametrize("kind,format_,cls", [(str, " " * 8, "String"), (bytes, "KXSTR", "Binary")])
def test_a_body_of_another_format_is_refused_by_the_library(kind, format_, cls):
    message = kxli.Message(b"abc", format=format_)
    with pytest.raises(kxli.Error) as caught:
        message.read(kind)
    assert (caught.value.reason_code, caught.value.text) == (
        kxli.KXRC_WRONG_FORMAT, "Kxl%s::pasteIn (error): wrong message format" % cls)
    assert message.data_offset == 0


def test_a_body_of_the_applications_own_format():
    message = kxli.Message()
    message.write(kxli.BytesBody(b"<order/>", format="MYAPP"))
    message.write(kxli.WorkInformationHeader(service_name="S"))
    assert (message.items()[-1], message.items()[-1].format) == (b"<order/>", "MYAPP   ")
    with pytest.raises(ValueError):
        kxli.BytesBody(b"", format="TOO LONG!")


def test_items_walks_from_the_start_and_leaves_the_message_alone():
    """Chains kxmsg writes (triggers, an empty body) are the golden vectors'."""
    message = kxli.Message()
    message.write("payload")
    message.character_set = 1208  # each header records what it stands in front of
    headers = [kxli.ReferenceHeader(source_name="/in/a", destination_name="/out/b"),
               kxli.OxtBridgeHeader(authenticator="PW"), kxli.VornBridgeHeader(start_code="S1"),
               kxli.WorkInformationHeader(service_step="STEP"),
               kxli.DeadLetterHeader(destination_queue_name="Q")]
    for header in headers:
        message.write(header)
    assert (headers[0].format, headers[0].encoding, headers[0].character_set,
            message.character_set) == ("KXSTR   ", kxli.NATIVE_ENCODING, 1208, 0)
    before = (message.format, message.data_offset, bytes(message))
    chain = message.items()
    assert chain == list(reversed(headers)) + ["payload"]
    assert (message.format, message.data_offset, bytes(message)) == before
    message.data_offset = 0
    message.read(kxli.DeadLetterHeader)
    assert message.format == "KXHWIH  " and message.items() == chain  # still from the start


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
    for name, value in dict(message_id=b"\x07" * 24, user_id="operator", feedback=-5).items():
        setattr(message, name, value)
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
