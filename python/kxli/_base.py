"""The exception, the warning and the two body types of kxli.

They live apart from the extension module so that it can raise and return
them; import them from kxli.
"""

from __future__ import annotations

import builtins
from typing import Optional

__all__ = ["Error", "Warning", "TextBody", "BytesBody"]

TEXT_FORMAT = "KXSTR   "
BYTES_FORMAT = "        "


class _Codes:
    """What Error and Warning carry: the operation, the library's codes and
    text, the message built from them, and pickling by those values."""

    def __init__(self, what: str, completion_code: int, reason_code: int, reason: str,
                 text: Optional[str] = None) -> None:
        message = "%s: completion code %d, reason code %d (%s)" % (
            what, completion_code, reason_code, reason)
        super().__init__(message + (": " + text if text else ""))
        self.what = what
        self.completion_code = completion_code
        self.reason_code = reason_code
        self.reason = reason
        self.text = text

    def __reduce__(self):
        return (type(self), (self.what, self.completion_code, self.reason_code, self.reason,
                             self.text))


class Error(_Codes, Exception):
    """A failure of the library: completion code 2 and a reason code.

    Attributes:
        what: the operation that failed ("reading the dead-letter header at
            offset 0").
        completion_code: 2 (kxli.KXCC_FAILED).
        reason_code: why, a KXRC_ number (6107 for a wrong structure id).
        reason: the reason code's name ("KXRC_WRONG_STRUCTURE_ID").
        text: the library's diagnostic text for the failure, or None when
            it sent none (or KXECS_TRACE sends the texts to its output).
    """


class Warning(_Codes, builtins.UserWarning):  # noqa: A001 (the package's own Warning)
    """A warning of the library: completion code 1 and a reason code.

    kxli issues it through the warnings module, so `python -W error` (or a
    filter) turns it into a failure; the value was then not taken. The
    binding warns before the library would cut a text to its field's width
    (KXRC_DATA_TRUNCATED), so an overlong value never passes silently.

    Attributes: what, completion_code (1), reason_code, reason, text, as
    for kxli.Error.
    """

    def __init__(self, what: str, completion_code: int = 1, reason_code: int = 6115,
                 reason: str = "KXRC_DATA_TRUNCATED", text: Optional[str] = None) -> None:
        super().__init__(what, completion_code, reason_code, reason, text)


class TextBody(str):
    """A text body read from a message: a str, with the format it was read
    under ("KXSTR   ") and to_dict() as kxmsg dump --json gives its fields."""

    format = TEXT_FORMAT

    def to_dict(self) -> dict:
        """{"text": the text}."""
        return {"text": str(self)}


class BytesBody(bytes):
    """A body of bytes with the format name it is written or was read under.

    Message.items() gives one for a body of 8 blank format, for text that
    is not UTF-8 (format "KXSTR   ") and for a format the library does not
    know; Message.write() writes one under its format, so
    BytesBody(data, format="MYAPP   ") is a body of the application's own.
    """

    format: str

    def __new__(cls, data: bytes = b"", format: str = BYTES_FORMAT) -> "BytesBody":
        if not isinstance(format, str):
            raise TypeError("BytesBody format is a str, not %s" % type(format).__name__)
        if len(format.encode("utf-8", "surrogateescape")) > 8:
            raise ValueError("a format name has at most 8 bytes: %r" % format)
        body = super().__new__(cls, data)
        body.format = format.ljust(8)
        return body

    def to_dict(self) -> dict:
        """As kxmsg dump --json gives the fields: {"text": ...} for a text
        (bytes that are not UTF-8 as lone surrogates), else {"bytes": hex}."""
        if self.format == TEXT_FORMAT:
            return {"text": self.decode("utf-8", "surrogateescape")}
        return {"bytes": self.hex()}

    def __repr__(self) -> str:
        return "kxli.BytesBody(%s, format=%r)" % (bytes.__repr__(self), self.format)


# Shown and pickled as the package's own names (kxli.Error, ...).
for _cls in (Error, Warning, TextBody, BytesBody):
    _cls.__module__ = "kxli"
