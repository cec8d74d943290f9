"""_kxli.pyi declares every public name, field, setter, keyword and Message property."""

import ast
import contextlib
import pathlib
import pydoc

import pytest

import kxli
from conftest import ITEM_CLASSES
from kxli import _kxli

STUB = ast.parse(pathlib.Path(_kxli.__file__).with_name("_kxli.pyi").read_text())
CLASSES = {node.name: node for node in STUB.body if isinstance(node, ast.ClassDef)}


def properties(node):
    """{name: has a setter} of the properties a class of the stub declares."""
    return {item.name: isinstance(decorator, ast.Attribute) for item in node.body
            if isinstance(item, ast.FunctionDef) for decorator in item.decorator_list
            if ast.unparse(decorator) in ("property", item.name + ".setter")}


def test_every_public_name_is_in_the_stub_and_the_package():
    declared = set(CLASSES) | {getattr(node, "name", None) or node.target.id for node in STUB.body
                               if isinstance(node, (ast.FunctionDef, ast.AnnAssign))}
    public = {name for name in dir(_kxli) if not name.startswith("_")}
    assert public == declared
    assert public | {"Error", "Warning", "TextBody", "BytesBody"} <= set(kxli.__all__)
    assert all(hasattr(kxli, name) for name in kxli.__all__)


@pytest.mark.parametrize("cls", ITEM_CLASSES.values(), ids=ITEM_CLASSES)
def test_item_fields_are_in_the_stub(cls):
    node = CLASSES[cls.__name__]
    fields = [name for name, _ in cls._fields]
    declared = properties(node)
    assert list(declared) == fields
    item, setters = cls(), []
    for name in fields:
        with contextlib.suppress(AttributeError):
            setattr(item, name, getattr(item, name))
            setters.append(name)
    assert [name for name, setter in declared.items() if setter] == setters
    init = next(item for item in node.body
                if isinstance(item, ast.FunctionDef) and item.name == "__init__")
    assert [arg.arg for arg in init.args.kwonlyargs] == setters
    assert node.bases[0].id == ("Header" if issubclass(cls, kxli.Header) else "Item")


def test_message_properties_are_in_the_stub():
    runtime = {name: value.fset is not None for name, value in vars(kxli.Message).items()
               if isinstance(value, property)}
    assert properties(CLASSES["Message"]) == runtime


def test_help_shows_the_fields():
    text = pydoc.render_doc(kxli.DeadLetterHeader, renderer=pydoc.plaintext)
    assert "destination_queue_name: str, at most 48 bytes in UTF-8" in text
    assert "header_flags" in text and "never reach the message" in text
    assert "snake case" in pydoc.render_doc(kxli.DeadLetterHeader.to_dict,
                                            renderer=pydoc.plaintext)
