"""The golden vectors of testdata/vectors: every valid one (NAME.msg with
NAME.json, its `kxmsg dump --json`) loads with Message.load, the to_dict()
of each item of items() is the `fields` of its part of the chain (keys in
snake case) and `python3 -m kxli dump` prints NAME.json; every malformed
one (bad-NAME.msg with bad-NAME.json) raises kxli.Error with its codes.

The same checks run on vectors made here with kxmsg in that layout, so
that they are exercised where testdata/vectors does not exist yet."""

import json
import os
import pathlib
import subprocess
import sys

import pytest

import kxli
from conftest import ITEM_CLASSES, kxmsg_build, kxmsg_dump, snake_fields

TITLES = {name: cls._title for name, cls in ITEM_CLASSES.items()}
TITLES.update({"str": "text", "bin": "bytes"})


def golden_directory():
    source = os.environ.get("KXLI_SOURCE_DIR")
    return pathlib.Path(source, "testdata", "vectors") if source else None


def golden(malformed):
    directory = golden_directory()
    if directory is None or not directory.is_dir():
        return [pytest.param(None, marks=pytest.mark.skip(
            reason="no golden vectors: %s does not exist yet" % directory))]
    return sorted(p for p in directory.glob("*.msg") if p.name.startswith("bad-") == malformed)


def check_valid(path):
    expected = json.loads(path.with_suffix(".json").read_text(encoding="utf-8"))
    assert "error" not in expected
    chain = kxli.Message.load(path).items()
    assert len(chain) == len(expected["chain"])
    for item, part in zip(chain, expected["chain"]):
        assert item.to_dict() == snake_fields(part["fields"]), part["kind"]
        assert (item.FORMAT if isinstance(item, kxli.Item) else item.format) == part["format"]
    printed = subprocess.run([sys.executable, "-m", "kxli", "dump", str(path)],
                             stdout=subprocess.PIPE, check=True).stdout
    assert printed == path.with_suffix(".json").read_bytes()


def check_malformed(path):
    expected = json.loads(path.with_suffix(".json").read_text(encoding="utf-8"))
    with pytest.raises(kxli.Error) as caught:
        kxli.Message.load(path).items()
    error = caught.value
    assert (error.completion_code, error.reason_code) == (expected["completion_code"],
                                                          expected["reason_code"])
    if expected["fails"] in TITLES:
        assert error.what.startswith("reading the " + TITLES[expected["fails"]])


@pytest.mark.parametrize("path", golden(False),
                         ids=lambda p: p.name if p else "none")
def test_golden_vector(path):
    check_valid(path)


@pytest.mark.parametrize("path", golden(True), ids=lambda p: p.name if p else "none")
def test_golden_malformed_vector(path):
    check_malformed(path)


VALID = {
    "text": ["--text", "Order 4711 ✓"],
    "bytes": ["--bytes", "00ff10"],
    "chain": ["--text", "payload", "--header", "dlh:destinationQueueName=ORDERS.IN",
              "--header", "wih:serviceName=PAY,messageToken=" + "01" * 16,
              "--header", "rfh:sourceName=/in/a,instanceId=" + "02" * 24,
              "--header", "oih:replyToFormat=KXSTR", "--header", "vih:version=1"],
    "trigger": ["--trigger", "queueName=APP.IN,applicationId=/bin/start"],
    "invalid utf8": ["--text-file", "BYTES"],
}
# Malformed: (valid vector, offset, replacement bytes)
MALFORMED = {"dlh-id": ("chain", 364, b"XXX"), "wih-id": ("chain", 364 + 172, b"X"),
             "vih-version": ("chain", 364 + 172 + 120 + 113 + 84 + 4, b"\x09"),
             "trigger-id": ("trigger", 364, b"X")}


@pytest.fixture(scope="module")
def made_vectors(kxmsg, tmp_path_factory):
    """Vectors in the golden layout, their expectations from kxmsg."""
    directory = tmp_path_factory.mktemp("vectors")
    raw = directory / "raw.bin"
    raw.write_bytes(b"ok \xff\xfe \x00 end")
    for name, arguments in VALID.items():
        arguments = [str(raw) if a == "BYTES" else a for a in arguments]
        path = kxmsg_build(kxmsg, directory / (name.replace(" ", "-") + ".msg"), *arguments)
        path.with_suffix(".args").write_text("\n".join(arguments) + "\n")
        dumped = subprocess.run([os.environ["KXLI_KXMSG"], "dump", "--json", str(path)],
                                stdout=subprocess.PIPE, check=True).stdout
        path.with_suffix(".json").write_bytes(dumped)
    for name, (source, offset, replacement) in MALFORMED.items():
        data = bytearray((directory / (source + ".msg")).read_bytes())
        data[offset:offset + len(replacement)] = replacement
        path = directory / ("bad-" + name + ".msg")
        path.write_bytes(bytes(data))
        error = kxmsg_dump(kxmsg, path)["error"]
        kind = next(k for k, title in TITLES.items() if error["what"] == "reading the " + title)
        path.with_suffix(".json").write_text(json.dumps({
            "from": source, "changes": [[offset, replacement.hex()]], "why": name,
            "fails": kind, "completion_code": error["completionCode"],
            "reason_code": error["reasonCode"], "text": error["text"]}))
    return directory


def test_made_vectors_check_as_golden_ones(made_vectors):
    valid = sorted(p for p in made_vectors.glob("*.msg") if not p.name.startswith("bad-"))
    malformed = sorted(made_vectors.glob("bad-*.msg"))
    assert len(valid) == len(VALID) and len(malformed) == len(MALFORMED)
    for path in valid:
        check_valid(path)
    reasons = set()
    for path in malformed:
        check_malformed(path)
        reasons.add(json.loads(path.with_suffix(".json").read_text())["reason_code"])
    assert reasons == {kxli.KXRC_WRONG_STRUCTURE_ID, kxli.KXRC_UNSUPPORTED_VERSION}
