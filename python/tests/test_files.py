"""pemar.encrypt_file, decrypt_file and dump, against the tool."""

import json

import pytest

import pemar


def test_enciphered_files_match_the_tool_and_decipher_back(tmp_path, tool):
    plain = bytes(range(256)) * 3 + b"tail"
    (tmp_path / "plain.bin").write_bytes(plain)
    pemar.encrypt_file(tmp_path / "plain.bin", tmp_path / "ours.enc")
    tool("encrypt", "plain.bin", "tool.enc")
    assert (tmp_path / "ours.enc").read_bytes() == (
        tmp_path / "tool.enc").read_bytes()
    pemar.decrypt_file(tmp_path / "tool.enc", tmp_path / "back.bin")
    assert (tmp_path / "back.bin").read_bytes() == plain


def test_cipher_failures_raise_and_leave_the_target(tmp_path):
    (tmp_path / "target").write_bytes(b"keep")
    with pytest.raises(OSError) as failed:
        pemar.encrypt_file(tmp_path / "missing", tmp_path / "target")
    assert failed.value.filename == str(tmp_path / "missing")
    with pytest.raises(OSError):
        pemar.decrypt_file(tmp_path / "target", tmp_path / "no" / "dir")
    assert (tmp_path / "target").read_bytes() == b"keep"


@pytest.mark.parametrize("make", ["case", "utility set", "truncated case"])
def test_dump_is_what_the_tool_prints(tmp_path, tool, make):
    if make == "utility set":
        pemar.UtilityDatabase().save(tmp_path / "f.hud")
        name = "f.hud"
    else:
        case = pemar.Case.new(tmp_path / "f.kcs")
        case.add_project("Crude unit")
        case.save()
        name = "f.kcs"
        if make == "truncated case":
            data = (tmp_path / name).read_bytes()
            (tmp_path / name).write_bytes(data[:len(data) // 2])
    done = tool("dump", name, "--json", check=False)
    ours = pemar.dump(tmp_path / name)
    assert ours == dict(json.loads(done.stdout), file=str(tmp_path / name))
    assert bool(ours["problems"]) == (make == "truncated case")


def test_dump_of_a_missing_file_raises(tmp_path):
    with pytest.raises(OSError):
        pemar.dump(tmp_path / "missing")
    with pytest.raises(TypeError):
        pemar.dump(None)
