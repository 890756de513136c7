"""The example script runs and prints its table."""

import subprocess
import sys

from conftest import SOURCE_DIR


def test_steam_table_example_prints_a_row_per_temperature():
    script = SOURCE_DIR / "python/examples/steam_table.py"
    done = subprocess.run([sys.executable, str(script)], capture_output=True,
                          text=True, check=True)
    lines = done.stdout.splitlines()
    assert lines[0].split()[:2] == ["T", "K"]
    assert len(lines) == 9 and "nan" not in done.stdout
