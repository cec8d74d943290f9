"""`python3 -m kxli dump FILE`: the chain of a message file as JSON, byte
for byte what `kxmsg dump --json FILE` prints, failures included (the
failure's JSON names kxmsg's own checks in kxmsg's words)."""

from __future__ import annotations

import sys
from typing import List, Optional, TextIO

from . import _kxli
from ._base import BYTES_FORMAT, TEXT_FORMAT, Error

USAGE = 1  # a command line that cannot be carried out
BAD_INPUT = 2  # a file or message that cannot be taken


class Kind:
    """A kind of content as kxmsg names it."""

    def __init__(self, name: str, format: str, title: str, cls=None) -> None:
        self.name = name
        self.format = format
        self.title = title
        self.cls = cls

    @property
    def header(self) -> bool:
        return self.cls is not None and issubclass(self.cls, _kxli.Header)


KINDS = [Kind(name, cls.FORMAT, cls._title, cls) for name, cls in (
    ("dlh", _kxli.DeadLetterHeader), ("vih", _kxli.VornBridgeHeader),
    ("oih", _kxli.OxtBridgeHeader), ("wih", _kxli.WorkInformationHeader),
    ("rfh", _kxli.ReferenceHeader), ("trg", _kxli.TriggerMessage))]
KINDS += [Kind("str", TEXT_FORMAT, "text"), Kind("bin", BYTES_FORMAT, "bytes")]
STRUCTURE_ID_LENGTH = 4


def _escaped(text: str, control, stray) -> str:
    """`text` (bytes that are not UTF-8 as lone surrogates) with the quote
    and the backslash after a backslash, control characters (below 0x20 and
    0x7F to 0x9F) through `control` and the stray bytes through `stray`."""
    out = []
    for character in text:
        code = ord(character)
        if 0xDC80 <= code <= 0xDCFF:
            out.append(stray(code - 0xDC00))
        elif code < 0x20 or 0x7F <= code < 0xA0:
            out.append(control(character))
        elif character in '"\\':
            out.append("\\" + character)
        else:
            out.append(character)
    return '"' + "".join(out) + '"'


def json_string(text: str) -> str:
    """A JSON string as kxmsg writes it: UTF-8 as it is, a control
    character as \\u00NN and a byte that is not UTF-8 as \\udcNN."""
    return _escaped(text, lambda c: "\\u%04x" % ord(c), lambda byte: "\\udc%02x" % byte)


def quote(text: str) -> str:
    """A text in double quotes as kxmsg shows it to people: every byte it
    cannot print as \\xNN."""
    return _escaped(text, lambda c: "".join("\\x%02x" % b for b in c.encode("utf-8")),
                    lambda byte: "\\x%02x" % byte)


def _value(value) -> str:
    return str(value) if isinstance(value, int) else json_string(value)


class Failure:
    """What went wrong, with the library's codes or as kxmsg's own check."""

    def __init__(self, what: str, text: str, error: Optional[Error] = None) -> None:
        self.what = what
        self.text = text
        self.error = error

    def json(self) -> str:
        if self.error is None:
            return '"error":{"what":%s,"text":%s}' % (json_string(self.what),
                                                       json_string(self.text))
        return ('"error":{"what":%s,"completionCode":%d,"reasonCode":%d,"reason":%s,"text":%s}'
                % (json_string(self.what), self.error.completion_code, self.error.reason_code,
                   json_string(self.error.reason), json_string(self.text)))

    def report(self, err: TextIO) -> int:
        if self.error is None:
            err.write("kxli: %s: %s\n" % (self.what, self.text))
        else:
            err.write("kxli: %s failed: completion code %d, reason code %d (%s)\n" % (
                self.what, self.error.completion_code, self.error.reason_code,
                self.error.reason))
            if self.text:
                err.write("kxli: %s\n" % self.text)
        return BAD_INPUT


def _part(kind: Kind, offset: int, length: int, fields) -> str:
    values = ",".join("%s:%s" % (json_string(name), _value(value)) for name, value in fields)
    return '{"kind":%s,"format":%s,"offset":%d,"length":%d,"fields":{%s}}' % (
        json_string(kind.name), json_string(kind.format), offset, length, values)


def _fields(kind: Kind, message: _kxli.Message):
    """Reads the part of `kind` at the data offset: (JSON name, value) pairs."""
    if kind.cls is not None:
        item = message.read(kind.cls)
        values = item.to_dict()
        return [(json_name, values[name]) for name, json_name in kind.cls._fields]
    if kind.name == "str":
        data = bytes(message)[message.data_offset:]
        message.data_offset = message.length
        return [("text", data.decode("utf-8", "surrogateescape"))]
    return [("bytes", message.read(bytes).hex())]


def walk(message: _kxli.Message, parts: List[str]) -> Optional[Failure]:
    """The chain from the data offset on, as kxmsg walks it."""
    by_format = {kind.format: kind for kind in KINDS}
    while True:
        kind = by_format.get(message.format)
        if kind is None:
            known = ", ".join(quote(k.format) for k in KINDS)
            return Failure("reading the part of format " + quote(message.format),
                           "kxmsg knows no kind of content of this format; it reads " + known)
        remaining = message.length - message.data_offset
        if kind.cls is not None and remaining < STRUCTURE_ID_LENGTH:
            return Failure("reading the " + kind.title,
                           "insufficient data: %d bytes remain at offset %d, fewer than its "
                           "%d-byte structure id" % (remaining, message.data_offset,
                                                     STRUCTURE_ID_LENGTH))
        offset = message.data_offset
        try:
            fields = _fields(kind, message)
        except Error as error:
            return Failure("reading the " + kind.title, error.text or "", error)
        parts.append(_part(kind, offset, message.data_offset - offset, fields))
        if not kind.header:
            return None


def dump(path: str, out: TextIO, err: TextIO) -> int:
    """Prints the JSON dump of the message file at `path`; the exit code."""
    try:
        message = _kxli.Message.load(path)
    except OSError as error:
        err.write("kxli: cannot read %s: %s\n" % (path, error.strerror or error))
        return BAD_INPUT
    except Error as error:
        return Failure("reading the message file", error.text or str(error)).report(err)
    head = '{"message":{"length":%d,"format":%s,"encoding":%d,"characterSet":%d,"version":%d}' % (
        message.length, json_string(message.format), message.encoding, message.character_set,
        message.version)
    parts: List[str] = []
    failure = walk(message, parts)
    line = head + ',"chain":[' + ",".join(parts) + "]"
    if failure is not None:
        line += "," + failure.json()
    out.write(line + "}\n")
    out.flush()
    return failure.report(err) if failure is not None else 0


def main(argv: Optional[List[str]] = None) -> int:
    arguments = sys.argv[1:] if argv is None else argv
    usage = ("usage: python3 -m kxli dump [--json] FILE\n"
             "  prints what `kxmsg dump --json FILE` prints\n")
    if arguments and arguments[0] in ("-h", "--help", "help"):
        sys.stdout.write(usage)
        return 0
    rest = [a for a in arguments[1:] if a != "--json"]
    if not arguments or arguments[0] != "dump" or len(rest) != 1 or rest[0].startswith("--"):
        sys.stderr.write(usage)
        return USAGE
    with open(sys.stdout.fileno(), "w", encoding="utf-8", closefd=False) as out:
        return dump(rest[0], out, sys.stderr)
