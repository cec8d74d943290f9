"""`python3 -m kxli dump FILE` prints and exits as `kxmsg dump --json FILE`, good file or bad."""

import subprocess
import sys

import pytest

import kxli
from conftest import header_message, run_kxmsg, table

EVERY = bytes(range(256)) + "é✓\U0001f600".encode() + b"\xed\xa0\x80\xf4\x90\x80"
FILES = table("py_dump")


def kxli_dump(*arguments):
    return subprocess.run([sys.executable, "-m", "kxli", *arguments], capture_output=True)


@pytest.mark.parametrize("name,offset,patch,keep,format_,encoding,code", FILES,
                         ids=[row[0] for row in FILES])
def test_files_dump_as_kxmsg_dumps_them(kxmsg, tmp_path, name, offset, patch, keep, format_,
                                        encoding, code):
    path = tmp_path / "m.msg"
    if name == "every byte":
        (tmp_path / "every.bin").write_bytes(EVERY)
        run_kxmsg(kxmsg, "build", "-o", str(path), "--text-file", str(tmp_path / "every.bin"))
    elif name == "not a message file":
        path.write_bytes(b"MD  ")
    elif name != "missing":
        data = header_message(kxli.DeadLetterHeader, "x")
        data = (data[:offset] + patch.encode("latin-1") + data[offset + len(patch):])[:keep or None]
        kxli.Message(data, format=format_, encoding=encoding).save(path)
    expected = run_kxmsg(kxmsg, "dump", "--json", str(path), check=False)
    got = kxli_dump("dump", str(path))
    assert (got.stdout, got.returncode, bool(got.stderr)) == (
        expected.stdout, code, bool(expected.stderr))
    assert expected.returncode == code


@pytest.mark.parametrize("arguments,code", [([], 1), (["dump"], 1), (["undo", "x"], 1),
                                            (["--help"], 0)])
def test_the_command_line(arguments, code):
    result = kxli_dump(*arguments)
    assert (result.returncode, b"usage: python3 -m kxli dump" in result.stdout + result.stderr) == (
        code, True)
