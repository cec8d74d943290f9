"""kxli: build, inspect and take apart the contents of messages.

The Python face of the kxli C++ library (the same shared library, not a
second implementation). A Message holds data and a descriptor; items are
written into it and read from it:

    import kxli

    message = kxli.Message()
    message.write("Order 4711 could not be delivered")       # the text body
    message.write(kxli.DeadLetterHeader(destination_queue_name="ORDERS.IN"))
    message.save("order.msg")                                 # as kxmsg writes it

    for item in kxli.Message.load("order.msg").items():
        print(item)        # the DeadLetterHeader, then the text

Item classes: DeadLetterHeader, VornBridgeHeader, OxtBridgeHeader,
WorkInformationHeader, ReferenceHeader (headers, written in front of what a
message holds) and TriggerMessage (a body); a str and bytes are bodies too.
Every field is a property named as the C++ getter in snake case, and
to_dict() gives the fields as `kxmsg dump --json` does.

A failure raises kxli.Error (completion_code, reason_code, reason, text); a
warning (a text cut to its field's width) is a kxli.Warning issued through
the warnings module, so `python -W error` makes it a failure.
`python3 -m kxli dump FILE` prints what `kxmsg dump --json FILE` prints.

Objects are safe to use from one thread at a time, as the C++ classes are;
large copies run with the GIL released.
"""

from ._base import BytesBody, Error, TextBody, Warning
from ._kxli import (
    KXCC_FAILED, KXCC_OK, KXCC_WARNING, KXRC_BINARY_DATA_LENGTH_ERROR, KXRC_BUFFER_ERROR,
    KXRC_DATA_TRUNCATED, KXRC_EMPTY_LIST_ENTRY, KXRC_INSUFFICIENT_BUFFER,
    KXRC_INSUFFICIENT_DATA, KXRC_LOCK_FAILED, KXRC_NO_BUFFER, KXRC_NONE, KXRC_NULL_POINTER,
    KXRC_SOURCE_BUFFER_ERROR, KXRC_STORAGE_NOT_AVAILABLE, KXRC_STRUCTURE_LENGTH_ERROR,
    KXRC_TARGET_BUFFER_ERROR, KXRC_TOO_MANY_ENTRIES, KXRC_UNSUPPORTED_VERSION,
    KXRC_USER_BUFFER_NOT_RESIZABLE, KXRC_WRONG_ENCODING, KXRC_WRONG_FORMAT,
    KXRC_WRONG_STRUCTURE_ID, NATIVE_ENCODING, DeadLetterHeader, Header, Item, Message,
    OxtBridgeHeader, ReferenceHeader, TriggerMessage, VornBridgeHeader, WorkInformationHeader,
    reason_name, snake_case)

__all__ = [
    "Message", "Item", "Header", "DeadLetterHeader", "VornBridgeHeader", "OxtBridgeHeader",
    "WorkInformationHeader", "ReferenceHeader", "TriggerMessage", "TextBody", "BytesBody",
    "Error", "Warning", "reason_name", "snake_case", "NATIVE_ENCODING",
    "KXCC_OK", "KXCC_WARNING", "KXCC_FAILED",
    "KXRC_NONE", "KXRC_BUFFER_ERROR", "KXRC_EMPTY_LIST_ENTRY", "KXRC_STORAGE_NOT_AVAILABLE",
    "KXRC_SOURCE_BUFFER_ERROR", "KXRC_TARGET_BUFFER_ERROR", "KXRC_LOCK_FAILED",
    "KXRC_TOO_MANY_ENTRIES", "KXRC_WRONG_ENCODING", "KXRC_WRONG_STRUCTURE_ID",
    "KXRC_NULL_POINTER", "KXRC_NO_BUFFER", "KXRC_BINARY_DATA_LENGTH_ERROR",
    "KXRC_USER_BUFFER_NOT_RESIZABLE", "KXRC_INSUFFICIENT_BUFFER", "KXRC_INSUFFICIENT_DATA",
    "KXRC_DATA_TRUNCATED", "KXRC_WRONG_FORMAT", "KXRC_STRUCTURE_LENGTH_ERROR",
    "KXRC_UNSUPPORTED_VERSION",
]
