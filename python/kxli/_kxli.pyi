"""Types of kxli._kxli, the C++ part of the kxli package (import kxli)."""

from os import PathLike
from typing import Any, Dict, List, Tuple, Type, TypeVar, Union, overload

from ._base import BytesBody, TextBody

_Path = Union[str, bytes, "PathLike[str]", "PathLike[bytes]"]
_Buffer = Union[bytes, bytearray, memoryview]
_I = TypeVar("_I", bound="Item")

KXCC_FAILED: int
KXCC_OK: int
KXCC_WARNING: int
KXRC_BINARY_DATA_LENGTH_ERROR: int
KXRC_BUFFER_ERROR: int
KXRC_DATA_TRUNCATED: int
KXRC_EMPTY_LIST_ENTRY: int
KXRC_INSUFFICIENT_BUFFER: int
KXRC_INSUFFICIENT_DATA: int
KXRC_LOCK_FAILED: int
KXRC_NONE: int
KXRC_NO_BUFFER: int
KXRC_NULL_POINTER: int
KXRC_SOURCE_BUFFER_ERROR: int
KXRC_STORAGE_NOT_AVAILABLE: int
KXRC_STRUCTURE_LENGTH_ERROR: int
KXRC_TARGET_BUFFER_ERROR: int
KXRC_TOO_MANY_ENTRIES: int
KXRC_UNSUPPORTED_VERSION: int
KXRC_USER_BUFFER_NOT_RESIZABLE: int
KXRC_WRONG_ENCODING: int
KXRC_WRONG_FORMAT: int
KXRC_WRONG_STRUCTURE_ID: int
NATIVE_ENCODING: int

def reason_name(reason_code: int) -> str: ...
def snake_case(name: str) -> str: ...

class Item:
    """Something a message holds: a header or a body."""

class Header(Item):
    """A header: written in front of what a message holds."""

class DeadLetterHeader(Header):
    """The dead-letter header: where an undeliverable message was meant to go and who put
    it on the dead-letter queue, and when (a 172-byte record, structure id "DLH ")."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        destination_queue_name: str = ...,
        destination_queue_manager_name: str = ...,
        put_application_name: str = ...,
        put_date: str = ...,
        put_time: str = ...,
    ) -> None: ...
    @property
    def format(self) -> str:
        """str, at most 8 bytes in UTF-8; read only: the header write records the format of what
        follows. The format of what follows the header."""
    @property
    def encoding(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the encoding of what
        follows. The encoding of what follows the header."""
    @property
    def character_set(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the character set of
        what follows. The character set of what follows the header."""
    @property
    def header_flags(self) -> int:
        """int, a signed 32-bit integer; read only: a dead-letter header's flags live in the object
        only and never reach the message. The header flags."""
    @property
    def destination_queue_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The queue the
        message was meant for."""
    @destination_queue_name.setter
    def destination_queue_name(self, value: str) -> None: ...
    @property
    def destination_queue_manager_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The queue
        manager of that queue."""
    @destination_queue_manager_name.setter
    def destination_queue_manager_name(self, value: str) -> None: ...
    @property
    def put_application_name(self) -> str:
        """str, at most 28 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The application
        that put the message on the dead-letter queue."""
    @put_application_name.setter
    def put_application_name(self, value: str) -> None: ...
    @property
    def put_date(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The date it was
        put there."""
    @put_date.setter
    def put_date(self, value: str) -> None: ...
    @property
    def put_time(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The time it was
        put there."""
    @put_time.setter
    def put_time(self, value: str) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...

class VornBridgeHeader(Header):
    """The VORN bridge header: the request and reply fields exchanged with the bridge to
    the VORN transaction server (version 1: 164 bytes, version 2: 180 bytes; structure
    id "VIH "). A new one is version 2."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        header_flags: int = ...,
        version: int = ...,
        uow_control: int = ...,
        get_wait_interval: int = ...,
        link_type: int = ...,
        output_data_length: int = ...,
        facility_keep_time: int = ...,
        ads_descriptor: int = ...,
        conversational_task: int = ...,
        cursor_position: int = ...,
        authenticator: str = ...,
        reply_to_format: str = ...,
        transaction_identifier: str = ...,
        facility_like: str = ...,
        attention_identifier: str = ...,
        start_code: str = ...,
        bridge_cancel_code: str = ...,
        facility_token: bytes = ...,
    ) -> None: ...
    @property
    def format(self) -> str:
        """str, at most 8 bytes in UTF-8; read only: the header write records the format of what
        follows. The format of what follows the header."""
    @property
    def encoding(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the encoding of what
        follows. The encoding of what follows the header."""
    @property
    def character_set(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the character set of
        what follows. The character set of what follows the header."""
    @property
    def header_flags(self) -> int:
        """int, a signed 32-bit integer. The header flags."""
    @header_flags.setter
    def header_flags(self, value: int) -> None: ...
    @property
    def version(self) -> int:
        """int, a signed 32-bit integer. 1 (a 164-byte record) or 2 (180 bytes, with
        cursor_position and bridge_error_offset); another version raises kxli.Error."""
    @version.setter
    def version(self, value: int) -> None: ...
    @property
    def uow_control(self) -> int:
        """int, a signed 32-bit integer."""
    @uow_control.setter
    def uow_control(self, value: int) -> None: ...
    @property
    def get_wait_interval(self) -> int:
        """int, a signed 32-bit integer."""
    @get_wait_interval.setter
    def get_wait_interval(self, value: int) -> None: ...
    @property
    def link_type(self) -> int:
        """int, a signed 32-bit integer."""
    @link_type.setter
    def link_type(self, value: int) -> None: ...
    @property
    def output_data_length(self) -> int:
        """int, a signed 32-bit integer."""
    @output_data_length.setter
    def output_data_length(self, value: int) -> None: ...
    @property
    def facility_keep_time(self) -> int:
        """int, a signed 32-bit integer."""
    @facility_keep_time.setter
    def facility_keep_time(self, value: int) -> None: ...
    @property
    def ads_descriptor(self) -> int:
        """int, a signed 32-bit integer."""
    @ads_descriptor.setter
    def ads_descriptor(self, value: int) -> None: ...
    @property
    def conversational_task(self) -> int:
        """int, a signed 32-bit integer."""
    @conversational_task.setter
    def conversational_task(self, value: int) -> None: ...
    @property
    def cursor_position(self) -> int:
        """int, a signed 32-bit integer. Written only with version 2: writing a version 1 header
        whose cursor position is not 0 gives kxli.Warning."""
    @cursor_position.setter
    def cursor_position(self, value: int) -> None: ...
    @property
    def bridge_return_code(self) -> int:
        """int, a signed 32-bit integer; read only: the bridge fills it in."""
    @property
    def bridge_completion_code(self) -> int:
        """int, a signed 32-bit integer; read only: the bridge fills it in."""
    @property
    def bridge_reason_code(self) -> int:
        """int, a signed 32-bit integer; read only: the bridge fills it in."""
    @property
    def task_end_status(self) -> int:
        """int, a signed 32-bit integer; read only: the bridge fills it in."""
    @property
    def bridge_error_offset(self) -> int:
        """int, a signed 32-bit integer; read only: the bridge fills it in."""
    @property
    def authenticator(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @authenticator.setter
    def authenticator(self, value: str) -> None: ...
    @property
    def reply_to_format(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @reply_to_format.setter
    def reply_to_format(self, value: str) -> None: ...
    @property
    def transaction_identifier(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @transaction_identifier.setter
    def transaction_identifier(self, value: str) -> None: ...
    @property
    def facility_like(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @facility_like.setter
    def facility_like(self, value: str) -> None: ...
    @property
    def attention_identifier(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @attention_identifier.setter
    def attention_identifier(self, value: str) -> None: ...
    @property
    def start_code(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @start_code.setter
    def start_code(self, value: str) -> None: ...
    @property
    def bridge_cancel_code(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @bridge_cancel_code.setter
    def bridge_cancel_code(self, value: str) -> None: ...
    @property
    def function(self) -> str:
        """str, at most 4 bytes in UTF-8; read only: the bridge fills it in."""
    @property
    def bridge_abend_code(self) -> str:
        """str, at most 4 bytes in UTF-8; read only: the bridge fills it in."""
    @property
    def next_transaction_identifier(self) -> str:
        """str, at most 4 bytes in UTF-8; read only: the bridge fills it in."""
    @property
    def facility_token(self) -> bytes:
        """bytes, exactly 8 (b"" sets them all zero; another length raises kxli.Error)."""
    @facility_token.setter
    def facility_token(self, value: bytes) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...

class OxtBridgeHeader(Header):
    """The OXT bridge header: the fields exchanged with the bridge to the OXT transaction
    manager (an 84-byte record, structure id "OIH ")."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        header_flags: int = ...,
        logical_terminal_override: str = ...,
        message_format_services_map_name: str = ...,
        reply_to_format: str = ...,
        authenticator: str = ...,
        transaction_instance_id: bytes = ...,
    ) -> None: ...
    @property
    def format(self) -> str:
        """str, at most 8 bytes in UTF-8; read only: the header write records the format of what
        follows. The format of what follows the header."""
    @property
    def encoding(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the encoding of what
        follows. The encoding of what follows the header."""
    @property
    def character_set(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the character set of
        what follows. The character set of what follows the header."""
    @property
    def header_flags(self) -> int:
        """int, a signed 32-bit integer. The header flags."""
    @header_flags.setter
    def header_flags(self, value: int) -> None: ...
    @property
    def logical_terminal_override(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @logical_terminal_override.setter
    def logical_terminal_override(self, value: str) -> None: ...
    @property
    def message_format_services_map_name(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @message_format_services_map_name.setter
    def message_format_services_map_name(self, value: str) -> None: ...
    @property
    def reply_to_format(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @reply_to_format.setter
    def reply_to_format(self, value: str) -> None: ...
    @property
    def authenticator(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @authenticator.setter
    def authenticator(self, value: str) -> None: ...
    @property
    def transaction_instance_id(self) -> bytes:
        """bytes, exactly 16 (b"" sets them all zero; another length raises kxli.Error)."""
    @transaction_instance_id.setter
    def transaction_instance_id(self, value: bytes) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...

class WorkInformationHeader(Header):
    """The work information header: the service and step a message is for, and a 16-byte
    message token (a 120-byte record, structure id "WIH ")."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        header_flags: int = ...,
        service_name: str = ...,
        service_step: str = ...,
        message_token: bytes = ...,
    ) -> None: ...
    @property
    def format(self) -> str:
        """str, at most 8 bytes in UTF-8; read only: the header write records the format of what
        follows. The format of what follows the header."""
    @property
    def encoding(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the encoding of what
        follows. The encoding of what follows the header."""
    @property
    def character_set(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the character set of
        what follows. The character set of what follows the header."""
    @property
    def header_flags(self) -> int:
        """int, a signed 32-bit integer. The header flags."""
    @header_flags.setter
    def header_flags(self, value: int) -> None: ...
    @property
    def service_name(self) -> str:
        """str, at most 32 bytes in UTF-8 (a longer one is cut, with kxli.Warning). Blank padded;
        read back with its blanks."""
    @service_name.setter
    def service_name(self, value: str) -> None: ...
    @property
    def service_step(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning). Blank padded;
        read back with its blanks."""
    @service_step.setter
    def service_step(self, value: str) -> None: ...
    @property
    def message_token(self) -> bytes:
        """bytes, exactly 16 (b"" sets them all zero; another length raises kxli.Error)."""
    @message_token.setter
    def message_token(self, value: bytes) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...

class ReferenceHeader(Header):
    """The reference header: a source and a destination, each an environment and a name of
    any length, a reference type and a 24-byte instance id (a 108-byte record and four
    variable parts, structure id "RMH ")."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        header_flags: int = ...,
        reference_type: str = ...,
        instance_id: bytes = ...,
        source_environment: str = ...,
        source_name: str = ...,
        destination_environment: str = ...,
        destination_name: str = ...,
    ) -> None: ...
    @property
    def format(self) -> str:
        """str, at most 8 bytes in UTF-8; read only: the header write records the format of what
        follows. The format of what follows the header."""
    @property
    def encoding(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the encoding of what
        follows. The encoding of what follows the header."""
    @property
    def character_set(self) -> int:
        """int, a signed 32-bit integer; read only: the header write records the character set of
        what follows. The character set of what follows the header."""
    @property
    def header_flags(self) -> int:
        """int, a signed 32-bit integer. The header flags."""
    @header_flags.setter
    def header_flags(self, value: int) -> None: ...
    @property
    def reference_type(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @reference_type.setter
    def reference_type(self, value: str) -> None: ...
    @property
    def instance_id(self) -> bytes:
        """bytes, exactly 24 (b"" sets them all zero; another length raises kxli.Error)."""
    @instance_id.setter
    def instance_id(self, value: bytes) -> None: ...
    @property
    def source_environment(self) -> str:
        """str of any length."""
    @source_environment.setter
    def source_environment(self, value: str) -> None: ...
    @property
    def source_name(self) -> str:
        """str of any length."""
    @source_name.setter
    def source_name(self, value: str) -> None: ...
    @property
    def destination_environment(self) -> str:
        """str of any length."""
    @destination_environment.setter
    def destination_environment(self, value: str) -> None: ...
    @property
    def destination_name(self) -> str:
        """str of any length."""
    @destination_name.setter
    def destination_name(self, value: str) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...

class TriggerMessage(Item):
    """A trigger message: which queue started it, and the process and application to run
    (a 684-byte record, structure id "TM  "). Written as a message's whole body."""

    FORMAT: str
    _title: str
    _fields: Tuple[Tuple[str, str], ...]

    def __init__(
        self,
        *,
        queue_name: str = ...,
        process_name: str = ...,
        trigger_data: str = ...,
        application_id: str = ...,
        environment_data: str = ...,
        user_data: str = ...,
    ) -> None: ...
    @property
    def queue_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The queue whose
        messages started the trigger."""
    @queue_name.setter
    def queue_name(self, value: str) -> None: ...
    @property
    def process_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @process_name.setter
    def process_name(self, value: str) -> None: ...
    @property
    def trigger_data(self) -> str:
        """str, at most 64 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @trigger_data.setter
    def trigger_data(self, value: str) -> None: ...
    @property
    def application_id(self) -> str:
        """str, at most 256 bytes in UTF-8 (a longer one is cut, with kxli.Warning). The
        application to start."""
    @application_id.setter
    def application_id(self, value: str) -> None: ...
    @property
    def environment_data(self) -> str:
        """str, at most 128 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @environment_data.setter
    def environment_data(self, value: str) -> None: ...
    @property
    def user_data(self) -> str:
        """str, at most 128 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @user_data.setter
    def user_data(self, value: str) -> None: ...
    def to_dict(self) -> Dict[str, Any]: ...
    def __eq__(self, other: object) -> bool: ...


class Message:
    """A message: data, a data offset and the 364-byte descriptor."""

    def __init__(
        self,
        data: _Buffer = b"",
        *,
        format: str = "        ",
        encoding: int = 546,
        character_set: int = 0,
    ) -> None: ...
    @staticmethod
    def load(path: _Path) -> "Message":
        """Reads a message file (descriptor, then data); data offset 0."""
    def save(self, path: _Path) -> None:
        """Writes the descriptor and the data; a failed save leaves no partial file."""
    def write(self, item: Union[str, _Buffer, BytesBody, Item]) -> None:
        """A str as text, bytes as bytes, a trigger as the body; a header in front."""
    @overload
    def read(self, kind: Type[str]) -> str:
        """One item of `kind` (str, bytes or an item class) at the data offset."""
    @overload
    def read(self, kind: Type[bytes]) -> bytes: ...
    @overload
    def read(self, kind: Type[_I]) -> _I: ...
    def items(self) -> List[Union[Item, TextBody, BytesBody]]:
        """The chain from data offset 0: the headers, then the body."""
    def __bytes__(self) -> bytes: ...
    @property
    def format(self) -> str: ...
    @format.setter
    def format(self, value: str) -> None: ...
    @property
    def encoding(self) -> int: ...
    @encoding.setter
    def encoding(self, value: int) -> None: ...
    @property
    def character_set(self) -> int: ...
    @character_set.setter
    def character_set(self, value: int) -> None: ...
    @property
    def data_offset(self) -> int: ...
    @data_offset.setter
    def data_offset(self, value: int) -> None: ...
    @property
    def length(self) -> int: ...
    @property
    def version(self) -> int: ...
    @property
    def descriptor(self) -> bytes: ...
    @property
    def feedback(self) -> int: ...
    @feedback.setter
    def feedback(self, value: int) -> None: ...
    @property
    def message_id(self) -> bytes:
        """bytes, exactly 24 (b"" sets them all zero)."""
    @message_id.setter
    def message_id(self, value: _Buffer) -> None: ...
    @property
    def correlation_id(self) -> bytes:
        """bytes, exactly 24 (b"" sets them all zero)."""
    @correlation_id.setter
    def correlation_id(self, value: _Buffer) -> None: ...
    @property
    def group_id(self) -> bytes:
        """bytes, exactly 24 (b"" sets them all zero)."""
    @group_id.setter
    def group_id(self, value: _Buffer) -> None: ...
    @property
    def accounting_token(self) -> bytes:
        """bytes, exactly 32 (b"" sets them all zero)."""
    @accounting_token.setter
    def accounting_token(self, value: _Buffer) -> None: ...
    @property
    def application_id_data(self) -> str:
        """str, at most 32 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @application_id_data.setter
    def application_id_data(self, value: str) -> None: ...
    @property
    def application_origin_data(self) -> str:
        """str, at most 4 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @application_origin_data.setter
    def application_origin_data(self, value: str) -> None: ...
    @property
    def put_application_name(self) -> str:
        """str, at most 28 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @put_application_name.setter
    def put_application_name(self, value: str) -> None: ...
    @property
    def put_date(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @put_date.setter
    def put_date(self, value: str) -> None: ...
    @property
    def put_time(self) -> str:
        """str, at most 8 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @put_time.setter
    def put_time(self, value: str) -> None: ...
    @property
    def reply_to_queue_manager_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @reply_to_queue_manager_name.setter
    def reply_to_queue_manager_name(self, value: str) -> None: ...
    @property
    def reply_to_queue_name(self) -> str:
        """str, at most 48 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @reply_to_queue_name.setter
    def reply_to_queue_name(self, value: str) -> None: ...
    @property
    def user_id(self) -> str:
        """str, at most 12 bytes in UTF-8 (a longer one is cut, with kxli.Warning)."""
    @user_id.setter
    def user_id(self, value: str) -> None: ...
