"""A valid NAME.msg reads and dumps as NAME.json (its kxmsg dump) says; a bad-NAME.msg
raises kxli.Error with its codes and text, from items() or its "read_as"."""

import json
import pathlib
import subprocess
import sys

import pytest

import kxli
from conftest import ITEM_CLASSES, snake_fields

TITLES = dict({name: cls._title for name, cls in ITEM_CLASSES.items()}, str="text", bin="bytes")
VECTORS = sorted(pathlib.Path(__file__).resolve().parents[2].joinpath("testdata",
                                                                      "vectors").glob("*.msg"))
assert VECTORS, "no golden vectors in testdata/vectors"


@pytest.mark.parametrize("path", VECTORS, ids=lambda path: path.name)
def test_golden_vector(path):
    expected = json.loads(path.with_suffix(".json").read_text(encoding="utf-8"))
    message = kxli.Message.load(path)
    if not path.name.startswith("bad-"):
        chain = message.items()
        assert "error" not in expected and len(chain) == len(expected["chain"])
        for item, part in zip(chain, expected["chain"]):
            assert item.to_dict() == snake_fields(part["fields"]), part["kind"]
            assert (item.FORMAT if isinstance(item, kxli.Item) else item.format) == part["format"]
        printed = subprocess.run([sys.executable, "-m", "kxli", "dump", str(path)],
                                 stdout=subprocess.PIPE, check=True).stdout
        assert printed == path.with_suffix(".json").read_bytes()
        return
    read_as = ITEM_CLASSES.get(expected.get("read_as"))
    with pytest.raises(kxli.Error) as caught:
        message.read(read_as) if read_as else message.items()
    error = caught.value
    assert (error.completion_code, error.reason_code, error.text) == (
        expected["completion_code"], expected["reason_code"], expected["text"])
    if expected["fails"] in TITLES:
        assert error.what.startswith("reading the " + TITLES[expected["fails"]])
