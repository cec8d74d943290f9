"""Each Python block of the guide is the region its marker (<!-- example: FILE.py REGION -->)
names, unindented; each example runs and checks what the guide says."""

import pathlib
import re
import subprocess
import sys

import pytest

from conftest import environment_path


def test_every_python_block_is_its_examples_text(source_dir):
    guide = pathlib.Path(source_dir, "docs", "guide.md").read_text(encoding="utf-8")
    blocks = re.findall(r"([^\n]*)\n```python\n(.*?)```", guide, re.S)
    assert len(blocks) >= 5
    for before, block in blocks:
        named = re.fullmatch(r"<!-- example: (\S+\.py) ([a-z_]+) -->", before)
        assert named, "a Python block of the guide names no example region:\n" + block
        # the lines between "# guide: NAME" and "# guide: end", less the marker's indent
        found = re.search(r"^( *)# guide: %s\n(.*?)^\1 *# guide: end *$" % named.group(2),
                          pathlib.Path(source_dir, named.group(1)).read_text(encoding="utf-8"),
                          re.M | re.S)
        assert found, "%s has no region %s" % named.groups()
        assert block == re.sub(r"(?m)^( +$|%s)" % found.group(1), "", found.group(2))


@pytest.mark.parametrize("example", ["road.py", "triage.py"])
def test_examples_do_what_the_guide_says(source_dir, example, tmp_path):
    """road.py saves to the path given what road.cpp saves (text, dead-letter header)."""
    saved = [str(tmp_path / "python.msg")] if example == "road.py" else []
    script = pathlib.Path(source_dir, "docs", "examples", example)
    result = subprocess.run([sys.executable, str(script), *saved], capture_output=True)
    assert result.returncode == 0, result.stderr.decode()
    if saved:
        cpp = tmp_path / "cpp.msg"
        subprocess.run([environment_path("KXLI_CXX_ROAD"), str(cpp)], check=True)
        assert len(cpp.read_bytes()) == 364 + 172 + 33
        assert pathlib.Path(saved[0]).read_bytes() == cpp.read_bytes()
