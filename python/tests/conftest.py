"""Shared fixtures: the kxmsg tool (an independent C++ reader and writer of
the same message files), the source tree, and a few prepared messages.

CTest sets KXLI_KXMSG, KXLI_SOURCE_DIR and KXLI_CXX_ROAD; a test that needs
one of them skips, saying so, when it is not set.
"""

import json
import os
import subprocess

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


def kxmsg_build(kxmsg, path, *arguments):
    run_kxmsg(kxmsg, "build", "-o", str(path), *arguments)
    return path


def kxmsg_dump(kxmsg, path):
    """kxmsg dump --json, parsed."""
    return json.loads(run_kxmsg(kxmsg, "dump", "--json", str(path), check=False).stdout)


def snake_fields(fields):
    """A `fields` object of kxmsg's JSON with its keys by kxli's rule."""
    return {kxli.snake_case(key): value for key, value in fields.items()}


@pytest.fixture
def order():
    """A text with a dead-letter header in front, data offset at the end."""
    message = kxli.Message()
    message.write("Order 4711 could not be delivered")
    message.write(kxli.DeadLetterHeader(destination_queue_name="ORDERS.IN",
                                        destination_queue_manager_name="QM.WEST"))
    return message
