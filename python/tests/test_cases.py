"""pemar.Case: a case made, edited, saved with backups and reopened from
Python and read by the tool, and the other way round; failed opens and
saves that raise and lose nothing."""

import json
import os

import pytest

import pemar


@pytest.fixture
def plant(tmp_path):
    case = pemar.Case.new(tmp_path / "plant.kcs")
    case.add_project("Crude unit", engineer="A. Engineer")
    case.add_note("Crude unit", "Reboiler", "LP steam", author="B. Author")
    return case


class TestRoundTrip:
    def test_saved_with_backups_reopened_and_read_by_the_tool(
            self, plant, tmp_path, tool):
        plant.save()
        # A case rotates its backups once; the next case object again.
        again = pemar.Case.open(tmp_path / "plant.kcs")
        again.add_note("Crude unit", "Preheat", "E1 to E4")
        again.save(backups=2)
        assert sorted(os.listdir(tmp_path)) == ["plant.bk0", "plant.bk1",
                                                "plant.kcs"]
        again = pemar.Case.open(tmp_path / "plant.kcs")
        assert [n["title"] for n in again.notes("Crude unit")] == [
            "Reboiler", "Preheat"]
        info = json.loads(tool("case", "info", "plant.kcs", "--json").stdout)
        assert info["projects"] == again.projects
        assert info["save_counter"] == again.save_counter == 3
        report = again.report().replace(str(tmp_path / "plant.kcs"),
                                        "plant.kcs")
        assert report == tool("case", "report", "plant.kcs").stdout

    def test_a_case_the_tool_made_opens_edits_and_goes_back(self, tmp_path,
                                                            tool):
        tool("case", "new", "tool.kcs")
        tool("case", "project", "add", "tool.kcs", "Column")
        case = pemar.Case.open(tmp_path / "tool.kcs")
        case.add_note("Column", "Reflux", "1.2 times minimum")
        case.utility_database.set("LP Steam", "cost", 7.0)
        case.save()
        notes = json.loads(tool("case", "notes", "tool.kcs", "Column",
                                "--json").stdout)
        assert notes[0]["notes"] == case.notes("Column")
        assert (tool("case", "compare", "tool.kcs", "tool.kcs").returncode
                == 0)
        again = pemar.Case.open(tmp_path / "tool.kcs")
        lp = next(u for u in again.utility_database.utilities()
                  if u["name"] == "LP Steam")
        assert lp["cost"] == 7.0

    def test_features_the_tool_added_are_listed_and_kept(self, tmp_path,
                                                          tool):
        tool("case", "new", "f.kcs")
        tool("case", "feature", "add", "f.kcs", "PropertyTable", "--from",
             "300", "--to", "400", "--pressure", "101.325")
        case = pemar.Case.open(tmp_path / "f.kcs")
        listed = json.loads(tool("case", "feature", "list", "f.kcs",
                                 "--json").stdout)
        assert case.features == listed and len(listed[0]["rows"]) == 11
        case.add_project("Kept")
        case.save()
        assert pemar.Case.open(tmp_path / "f.kcs").features == listed

    @pytest.mark.parametrize("mode,kind", [("sim", "SIM"), ("plexa", None)])
    def test_modes_decide_document_type_and_backups(self, tmp_path, mode,
                                                    kind):
        case = pemar.Case.new(tmp_path / "m.kcs", mode=mode)
        assert (case.document_type == kind) == (kind is not None)
        case.save()
        assert (tmp_path / "m.bk0").exists() == (mode == "sim")

    def test_the_utility_database_keeps_its_case_alive(self, tmp_path):
        db = pemar.Case.new(tmp_path / "c.kcs").utility_database
        assert len(db.utilities()) == 22


class TestFailures:
    def test_missing_and_existing_files(self, plant, tmp_path):
        with pytest.raises(FileNotFoundError) as missing:
            pemar.Case.open(tmp_path / "missing.kcs")
        assert missing.value.key == "RecallFailure"
        assert missing.value.filename == str(tmp_path / "missing.kcs")
        with pytest.raises(FileExistsError):
            pemar.Case.new(tmp_path / "plant.kcs")

    @pytest.mark.parametrize("damage", ["empty", "truncated", "flipped",
                                        "garbage"])
    def test_damaged_cases_raise_with_the_library_key(self, plant, tmp_path,
                                                      damage):
        data = (tmp_path / "plant.kcs").read_bytes()
        bad = {"empty": b"", "truncated": data[:len(data) * 2 // 3],
               "flipped": data[:40] + bytes(b ^ 0xFF for b in data[40:60]) +
               data[60:],
               "garbage": os.urandom(4096)}[damage]
        (tmp_path / "bad.kcs").write_bytes(bad)
        with pytest.raises(OSError) as failed:
            pemar.Case.open(tmp_path / "bad.kcs")
        assert failed.value.key == "RecallFailure"

    def test_a_failed_save_keeps_the_previous_file(self, plant, tmp_path):
        before = (tmp_path / "plant.kcs").read_bytes()
        plant.add_note("Crude unit", "Lost?", "no")
        # The save writes plant.tmp first; a folder of that name stops it.
        (tmp_path / "plant.tmp").mkdir()
        with pytest.raises(OSError) as failed:
            plant.save()
        assert failed.value.filename == str(tmp_path / "plant.kcs")
        assert failed.value.key
        assert (tmp_path / "plant.kcs").read_bytes() == before

    @pytest.mark.parametrize("call,error", [
        (lambda c: c.save(backups=-1), ValueError),
        (lambda c: c.save(backups=11), ValueError),
        (lambda c: c.save(backups="two"), TypeError),
        (lambda c: c.add_project("Crude unit"), ValueError),
        (lambda c: c.add_project(""), ValueError),
        (lambda c: c.notes("No such project"), KeyError),
        (lambda c: c.add_note("No such project", "t", "x"), KeyError),
        (lambda c: c.add_note("Crude unit", None, "x"), TypeError)])
    def test_bad_arguments_raise_and_change_nothing(self, plant, call, error):
        before = plant.projects
        with pytest.raises(error):
            call(plant)
        assert plant.projects == before

    def test_unknown_mode(self, tmp_path):
        with pytest.raises(ValueError, match="mode"):
            pemar.Case.new(tmp_path / "x.kcs", mode="turbo")
        assert not (tmp_path / "x.kcs").exists()
