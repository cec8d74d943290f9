"""Shared checks; a test needing KXLI_KXMSG, KXLI_SOURCE_DIR or KXLI_CXX_ROAD skips without."""

import codecs
import os
import pathlib
import re
import subprocess
import warnings

import pytest

import kxli

# The item classes by kxmsg's name for their kind.
ITEM_CLASSES = {
    "dlh": kxli.DeadLetterHeader,
    "vih": kxli.VornBridgeHeader,
    "oih": kxli.OxtBridgeHeader,
    "wih": kxli.WorkInformationHeader,
    "rfh": kxli.ReferenceHeader,
    "trg": kxli.TriggerMessage,
}
HEADER_CLASSES = {name: cls for name, cls in ITEM_CLASSES.items() if name != "trg"}


def table(name):
    """The rows of testdata/tests/NAME.tsv (tabs, C escapes); a cell of digits is an int."""
    path = pathlib.Path(__file__).resolve().parents[2] / "testdata" / "tests" / (name + ".tsv")
    rows = [line.split("\t") for line in path.read_text(encoding="ascii").splitlines()
            if line.strip() and not line.startswith("#")]
    assert rows, "%s holds no row" % path
    return [[int(cell) if re.fullmatch(r"-?\d+", cell) else codecs.decode(cell, "unicode_escape")
             for cell in row] for row in rows]


def environment_path(name):
    path = os.environ.get(name)
    if not path:
        pytest.skip("%s is not set (CTest sets it)" % name)
    return path


@pytest.fixture(scope="session")
def kxmsg():
    return environment_path("KXLI_KXMSG")


@pytest.fixture(scope="session")
def source_dir():
    return environment_path("KXLI_SOURCE_DIR")


def run_kxmsg(kxmsg, *arguments, check=True):
    result = subprocess.run([kxmsg, *arguments], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if check and result.returncode != 0:
        raise AssertionError("kxmsg %s: %s" % (" ".join(arguments), result.stderr.decode()))
    return result


def snake_fields(fields):
    return {kxli.snake_case(key): value for key, value in fields.items()}


def header_message(cls, body="payload"):
    """The data of a message: a header of `cls` in front of a text."""
    message = kxli.Message()
    message.write(body)
    message.write(cls(**({"source_name": "/in/a"} if cls is kxli.ReferenceHeader else {})))
    return bytes(message)


def assert_limits(target, name, type_, width):
    """A text past its width is cut, with kxli.Warning (1, 6115; under an error
    filter the field keeps what it held); bytes of another length than the
    field's are refused (6111), b"" zeroes them; a number is a signed 32-bit
    int. A refused value leaves the field as it was."""
    if type_ == "text":
        before, value = getattr(target, name), "Z" * (width + 1)
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            with pytest.raises(kxli.Warning) as caught:
                setattr(target, name, value)
            error = caught.value
            assert (getattr(target, name), error.completion_code, error.reason_code,
                    error.reason) == (before, 1, 6115, "KXRC_DATA_TRUNCATED"), name
            setattr(target, name, value[:width])  # the full width passes without a word
        assert getattr(target, name) == value[:width], name
        setattr(target, name, before)
        text = "%s.%s: %d bytes given, cut to the field's %d" % (
            type(target).__name__, name, len(value.encode()), width)
        with pytest.warns(kxli.Warning, match=re.escape(text)):
            setattr(target, name, value)
        assert getattr(target, name) == value[:width], name
        return
    one = b"\x01" * width
    taken = [(one, one), (b"", bytes(width)), (one, one)]
    refused = [(b"\x02" * (width - 1), kxli.Error), (b"\x02" * (width + 1), kxli.Error),
               ("text", TypeError)]
    if type_ == "number":
        taken = [(-2**31, -2**31), (2**31 - 1, 2**31 - 1)]
        refused = [(2**31, OverflowError), (-2**31 - 1, OverflowError), (1.5, TypeError),
                   ("7", TypeError)]
    for value, held in taken:
        setattr(target, name, value)
        assert getattr(target, name) == held, name
    for value, error in refused:
        with pytest.raises(error) as caught:
            setattr(target, name, value)
        assert getattr(target, name) == held, (name, value)
        if error is kxli.Error:
            assert caught.value.reason_code == kxli.KXRC_BINARY_DATA_LENGTH_ERROR
