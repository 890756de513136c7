"""Shared fixtures: the project's folders and the pemar tool of this build."""

import os
import pathlib
import subprocess

import pytest

SOURCE_DIR = pathlib.Path(os.environ.get(
    "PEMAR_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))


@pytest.fixture
def tool(tmp_path):
    """Runs the pemar tool in tmp_path; skips where the build has none."""
    path = os.environ.get("PEMAR_TOOL")
    if not path:
        pytest.skip("PEMAR_TOOL does not name the pemar tool")

    def run(*args, check=True):
        done = subprocess.run([path, *map(str, args)], cwd=tmp_path,
                              capture_output=True, text=True)
        if check:
            assert done.returncode == 0, done.stderr
        return done
    return run
