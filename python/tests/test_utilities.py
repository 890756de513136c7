"""pemar.UtilityDatabase and pemar.fuels: the rows the tool prints, edits
through the database's checks, sets written and read back, bad files."""

import json

import pytest

import pemar


@pytest.fixture
def db():
    return pemar.UtilityDatabase()


class TestRows:
    def test_utilities_and_coefficients_are_what_the_tool_prints(self, db,
                                                                 tool):
        assert db.utilities() == json.loads(
            tool("utilities", "--json").stdout)
        assert db.heat_transfer_coefficients() == json.loads(
            tool("htc", "--json").stdout)
        assert pemar.fuels() == json.loads(tool("fuels", "--json").stdout)

    @pytest.mark.parametrize("args", [("150", "--hot"), ("40", "--cold"),
                                      ("150", "--hot", "--cheapest"),
                                      ("150", "--hot", "--usable")])
    def test_choices_are_what_the_tool_recommends(self, db, tool, args):
        t, hot = float(args[0]), args[1] == "--hot"
        ours = (db.cheapest(t, hot) if "--cheapest" in args else
                db.usable(t, hot) if "--usable" in args else
                db.recommend(t, hot))
        assert ours == json.loads(tool("recommend", *args, "--json").stdout)

    def test_no_utility_serves_gives_none_and_an_empty_list(self, db):
        assert db.recommend(5000.0, hot=True) is None
        assert db.cheapest(5000.0, hot=True) is None
        assert db.usable(5000.0, hot=True) == []
        assert db.recommend(150.0, exchanger="no such type") is None


class TestEdits:
    def test_an_accepted_edit_shows_in_the_rows(self, db):
        db.set("LP Steam", "cost", 12.5)
        row = next(r for r in db.utilities() if r["name"] == "LP Steam")
        assert row["cost"] == 12.5

    @pytest.mark.parametrize("field,value,key,words", [
        ("inlet_temperature", -100.0, "HotStreamInletTemperatureUpdateError",
         "must be above its outlet temperature"),
        ("delta_t_min", 0.5, "DeltaTMinWarning", "at least 1 degree"),
        ("ar_high", 10000.0, None, "refused ar_high")])
    def test_refused_edits_raise_with_the_library_text_and_key(
            self, db, field, value, key, words):
        before = db.utilities()
        with pytest.raises(ValueError) as refused:
            db.set("LP Steam", field, value)
        assert refused.value.key == key
        assert words in str(refused.value)
        assert db.utilities() == before

    def test_unknown_names_and_fields(self, db):
        with pytest.raises(KeyError):
            db.set("No such utility", "cost", 1.0)
        with pytest.raises(KeyError):
            db.set("LP Steam", "colour", 1.0)
        with pytest.raises(TypeError):
            db.set("LP Steam", "cost", "cheap")

    def test_added_utility_is_listed_and_removed(self, db):
        db.add_utility("Hot oil")
        assert db.utilities()[-1]["name"] == "Hot oil"
        with pytest.raises(ValueError):
            db.add_utility("Hot oil")
        db.remove_utility("Hot oil")
        assert "Hot oil" not in [r["name"] for r in db.utilities()]


class TestFiles:
    def test_a_utility_set_round_trips_and_opens_in_the_tool(self, db,
                                                             tmp_path, tool):
        db.set("LP Steam", "cost", 12.5)
        db.add_utility("Hot oil")
        db.save(tmp_path / "plant.hud")
        again = pemar.UtilityDatabase()
        again.open(tmp_path / "plant.hud")
        assert again.utilities() == db.utilities()
        assert again.utilities() == json.loads(
            tool("utilities", "--open", "plant.hud", "--json").stdout)

    def test_a_set_the_tool_saved_opens_here(self, tool, tmp_path):
        tool("utilities", "--save", "tool.hud")
        db = pemar.UtilityDatabase()
        db.open(tmp_path / "tool.hud")
        assert db.utilities() == pemar.UtilityDatabase().utilities()

    def test_coefficients_round_trip(self, db, tmp_path):
        db.save(tmp_path / "plant.htc", what="coefficients")
        again = pemar.UtilityDatabase()
        again.open(tmp_path / "plant.htc", what="coefficients")
        assert (again.heat_transfer_coefficients() ==
                db.heat_transfer_coefficients())

    @pytest.mark.parametrize("damage", ["missing", "empty", "truncated",
                                        "garbage", "other kind"])
    def test_unreadable_sets_raise_oserror_and_change_nothing(
            self, db, tmp_path, damage):
        good = tmp_path / "good.hud"
        db.save(good)
        path = tmp_path / "bad.hud"
        data = good.read_bytes()
        if damage == "empty":
            path.write_bytes(b"")
        elif damage == "truncated":
            path.write_bytes(data[:len(data) // 2])
        elif damage == "garbage":
            path.write_bytes(bytes(range(256)) * 8)
        elif damage == "other kind":
            db.save(path, what="coefficients")
        db.set("LP Steam", "cost", 99.0)
        before = db.utilities()
        with pytest.raises(OSError) as failed:
            db.open(path)
        assert failed.value.filename == str(path)
        assert db.utilities() == before

    def test_unwritable_set_raises_and_unknown_sections_are_refused(
            self, db, tmp_path):
        with pytest.raises(OSError):
            db.save(tmp_path / "no such folder" / "plant.hud")
        with pytest.raises(ValueError):
            db.save(tmp_path / "plant.hud", what="everything")
