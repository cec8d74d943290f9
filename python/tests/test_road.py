"""The road of one message in Python (the guide's, docs/examples/road.py)
gives the same bytes, descriptor and data, as the same road in C++."""

import pathlib
import subprocess
import sys

from conftest import environment_path


def test_the_python_road_gives_the_bytes_of_the_cpp_road(source_dir, tmp_path):
    cpp, python = tmp_path / "cpp.msg", tmp_path / "python.msg"
    subprocess.run([environment_path("KXLI_CXX_ROAD"), str(cpp)], check=True)
    example = pathlib.Path(source_dir, "docs", "examples", "road.py")
    subprocess.run([sys.executable, str(example), str(python)], check=True,
                   stdout=subprocess.DEVNULL)
    assert len(cpp.read_bytes()) == 364 + 172 + 33
    assert python.read_bytes() == cpp.read_bytes()
