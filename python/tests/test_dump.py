"""`python3 -m kxli dump FILE` prints byte for byte what `kxmsg dump --json
FILE` prints, with the same exit code, for a text of every byte and for
every way a file can fail to read (the golden vectors' chains are compared
in test_vectors)."""

import subprocess
import sys

import pytest

import kxli
from conftest import kxmsg_build, run_kxmsg

def saved(tmp_path, data, **description):
    path = tmp_path / "m.msg"
    kxli.Message(data, **description).save(path)
    return path


def header_data():
    message = kxli.Message()
    message.write("x")
    message.write(kxli.DeadLetterHeader(destination_queue_name="Q"))
    return bytes(message)


# Files that fail: (name, how to make one from tmp_path)
FAILING = {
    "cut record": lambda t: saved(t, header_data()[:90], format="KXDEAD"),
    "wrong structure id": lambda t: saved(t, b"XXXX" + header_data()[4:], format="KXDEAD"),
    "wrong encoding": lambda t: saved(t, header_data(), format="KXDEAD", encoding=273),
    "unknown format": lambda t: saved(t, b"abc", format="ZZ\x01\xa0é"),
    "no room for a structure id": lambda t: saved(t, b"DL", format="KXDEAD"),
    "not a message file": lambda t: t.joinpath("m.msg").write_bytes(b"MD  ") and t / "m.msg",
    "missing": lambda t: t / "missing.msg",
}


def python_dump(path):
    return subprocess.run([sys.executable, "-m", "kxli", "dump", str(path)],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def assert_same_dump(kxmsg, path):
    expected = run_kxmsg(kxmsg, "dump", "--json", str(path), check=False)
    got = python_dump(path)
    assert got.stdout == expected.stdout
    assert got.returncode == expected.returncode
    assert bool(got.stderr) == bool(expected.stderr)
    return got


def test_a_text_of_every_byte_dumps_as_kxmsg_dumps_it(kxmsg, tmp_path):
    every = tmp_path / "every.bin"
    every.write_bytes(bytes(range(256)) + "é✓\U0001f600".encode() + b"\xed\xa0\x80\xf4\x90\x80")
    path = kxmsg_build(kxmsg, tmp_path / "m.msg", "--text-file", str(every))
    assert_same_dump(kxmsg, path)


@pytest.mark.parametrize("name", sorted(FAILING))
def test_failures_dump_as_kxmsg_dumps_them(kxmsg, tmp_path, name):
    path = FAILING[name](tmp_path)
    assert assert_same_dump(kxmsg, path).returncode == 2


@pytest.mark.parametrize("arguments,code", [([], 1), (["dump"], 1), (["undo", "x"], 1),
                                            (["--help"], 0)])
def test_the_command_line(arguments, code):
    result = subprocess.run([sys.executable, "-m", "kxli", *arguments], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    assert result.returncode == code
    assert b"usage: python3 -m kxli dump" in (result.stdout + result.stderr)
