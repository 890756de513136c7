"""pemar.Case's problem reports: added in Python and read by the tool, and
the other way round, with the same fields and the same text files; bad
choices and failed writes that raise and change nothing."""

import json

import pytest

import pemar


@pytest.fixture
def case(tmp_path):
    case = pemar.Case.new(tmp_path / "c.kcs")
    case.add_problem_report("Pump trips", by="R. Ames", area="Targeting",
                            description="Open the case.\nRun it.\n",
                            cls="enhancement", priority="high",
                            reproducibility="sometimes")
    return case


def test_a_report_added_in_python_is_listed_and_written_by_the_tool(
        case, tmp_path, tool):
    case.save()
    listed = json.loads(tool("case", "bugreport", "list", "c.kcs",
                             "--json").stdout)
    assert listed == case.problem_reports
    assert listed[0]["program_version"].startswith("pemar ")
    tool("case", "bugreport", "write", "c.kcs", "Pump trips", "tool.bug")
    case.write_problem_report("Pump trips", tmp_path / "python.bug")
    assert ((tmp_path / "python.bug").read_bytes() ==
            (tmp_path / "tool.bug").read_bytes())


def test_a_report_the_tool_added_reads_with_its_words(tmp_path, tool):
    # Steps that are not UTF-8 read as U+FFFD in both.
    (tmp_path / "steps.txt").write_bytes(b"Heat \xff up\n")
    tool("case", "new", "t.kcs")
    tool("case", "bugreport", "add", "t.kcs", "--title", "Trip",
         "--description-file", "steps.txt", "--priority", "low")
    case = pemar.Case.open(tmp_path / "t.kcs")
    [report] = case.problem_reports
    assert (report["class"], report["priority"], report["reproducibility"],
            report["description"]) == ("bug", "low", "always",
                                        "Heat \ufffd up\n")
    assert case.problem_reports == json.loads(
        tool("case", "bugreport", "list", "t.kcs", "--json").stdout)


@pytest.mark.parametrize("call,error,words", [
    (lambda c: c.add_problem_report("T", cls="Bug"), ValueError,
     '"bug" or "enhancement"'),
    (lambda c: c.add_problem_report("T", priority="urgent"), ValueError,
     '"high", "medium" or "low", not "urgent"'),
    (lambda c: c.add_problem_report("T", reproducibility=""), ValueError,
     '"always", "sometimes" or "never"'),
    (lambda c: c.add_problem_report("Pump trips"), ValueError, "already"),
    (lambda c: c.add_problem_report(None), TypeError, ""),
    (lambda c: c.write_problem_report("No such", "x.bug"), KeyError,
     "No such")])
def test_bad_arguments_raise_and_change_nothing(case, call, error, words):
    before = case.problem_reports
    with pytest.raises(error, match=words):
        call(case)
    assert case.problem_reports == before


@pytest.mark.parametrize("target", ["no/p.bug", "folder.bug"])
def test_a_failed_write_raises_and_leaves_what_is_there(case, tmp_path,
                                                       target):
    (tmp_path / "folder.bug").mkdir()
    (tmp_path / "folder.bug" / "kept").write_bytes(b"kept")
    with pytest.raises(OSError) as failed:
        case.write_problem_report("Pump trips", tmp_path / target)
    assert failed.value.key == "UnableToCreateDocument"
    assert failed.value.filename == str(tmp_path / target)
    assert "cannot write" in str(failed.value)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["c.kcs",
                                                         "folder.bug"]
    assert (tmp_path / "folder.bug" / "kept").read_bytes() == b"kept"
