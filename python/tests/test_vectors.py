"""The golden vectors of testdata/vectors: every valid one (NAME.msg with
NAME.json, its `kxmsg dump --json`) loads with Message.load, the to_dict()
of each item of items() is the `fields` of its part of the chain (keys in
snake case) and `python3 -m kxli dump` prints NAME.json; every malformed
one (bad-NAME.msg with bad-NAME.json) raises kxli.Error with its codes and
text, read as items() walks the chain or, where the vector says
"read_as", as that kind at the data's start."""

import json
import os
import pathlib
import subprocess
import sys

import pytest

import kxli
from conftest import ITEM_CLASSES, snake_fields

TITLES = {name: cls._title for name, cls in ITEM_CLASSES.items()}
TITLES.update({"str": "text", "bin": "bytes"})


def golden_directory():
    source = os.environ.get("KXLI_SOURCE_DIR")
    return pathlib.Path(source, "testdata", "vectors") if source else None


def golden(malformed):
    directory = golden_directory()
    assert directory is not None and directory.is_dir(), "no golden vectors in %s" % directory
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
    message = kxli.Message.load(path)
    with pytest.raises(kxli.Error) as caught:
        if "read_as" in expected:
            message.read(ITEM_CLASSES[expected["read_as"]])
        else:
            message.items()
    error = caught.value
    assert (error.completion_code, error.reason_code, error.text) == (
        expected["completion_code"], expected["reason_code"], expected["text"])
    if expected["fails"] in TITLES:
        assert error.what.startswith("reading the " + TITLES[expected["fails"]])


@pytest.mark.parametrize("path", golden(False),
                         ids=lambda p: p.name if p else "none")
def test_golden_vector(path):
    check_valid(path)


@pytest.mark.parametrize("path", golden(True), ids=lambda p: p.name if p else "none")
def test_golden_malformed_vector(path):
    check_malformed(path)
