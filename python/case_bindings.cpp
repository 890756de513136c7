// pemar.Case: a case file made, opened, read, edited and saved through the
// case document's own recall and save, as the pemar tool does; pemar.Case
// objects hold the document while they live.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "bindings.h"
#include "errors.h"
#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseReport.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureInstances.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ScopedSettings.h"
#include "pemar/framework/Types.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "problem_reports.h"
#include "utility_database.h"

namespace py = pybind11;

namespace pemar::python {
namespace {

std::string Str(const char* s) { return s ? std::string(s) : std::string(); }

// The types the case may hold: notes projects and the library's own
// feature, the steam property table.
void RegisterTypes() {
  NotesProject::RegisterType();
  PropertyTableFeature::RegisterFeature();
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

class Case {
 public:
  static std::unique_ptr<Case> New(const std::filesystem::path& file,
                                   const std::string& mode) {
    const std::string path = file.string();
    if (mode != "sim" && mode != "plexa" && mode != "frakto" &&
        mode != "molara3") {
      throw py::value_error(
          "mode must be \"sim\", \"plexa\", \"frakto\" or \"molara3\", not \"" +
          mode + "\"");
    }
    if (Exists(path)) {
      Raise(PyExc_FileExistsError,
            path + " already exists; Case.new does not replace a file", {},
            path);
    }
    RegisterTypes();
    auto c = std::unique_ptr<Case>(new Case);
    {
      ScopedCommandLine line(mode == "sim" ? "pemar" : "pemar -" + mode);
      c->doc_ = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    }
    c->doc_->SetFileName(Text(path));
    c->doc_->UtilityDatabase(true);
    c->Save(std::nullopt);
    return c;
  }

  static std::unique_ptr<Case> Open(const std::filesystem::path& file) {
    const std::string path = file.string();
    RegisterTypes();
    auto c = std::unique_ptr<Case>(new Case);
    MessageCapture capture;
    {
      ScopedCommandLine line("pemar");
      c->doc_ = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    }
    if (!c->doc_->RecallDocument(FileName(Text(path)))) {
      const bool missing = !Exists(path);
      // The library's text names the file and the likely causes.
      const Reason reason = capture.First();
      Raise(missing ? PyExc_FileNotFoundError : PyExc_OSError,
            !reason.text.empty()
                ? ""
                : "cannot read the case " + path +
                      (missing ? ": no such file"
                               : ": the file is damaged or not a case file"),
            reason, path);
    }
    return c;
  }

  // Saves through the case's own save: the previous file becomes a backup
  // and survives any failure.
  void Save(std::optional<int> backups) {
    if (backups && (*backups < 0 || *backups > 10)) {
      throw py::value_error("backups must be from 0 to 10, not " +
                            std::to_string(*backups));
    }
    const std::string path = doc_->GetFileName().str();
    if (doc_->IsTempName()) {
      Raise(PyExc_OSError,
            path +
                " is a backup or temporary file: copy it to a case name "
                "before saving it",
            ReasonOf("SaveCaseError", {Text(path)}), path);
    }
    MessageCapture capture;
    ScopedBackups scoped(backups);
    const bool existed = Exists(path);
    doc_->SetModified(true);
    if (!doc_->SaveDocument(0)) {
      Raise(PyExc_OSError,
            "cannot save the case " + path +
                (existed ? "; the previous file and its backups are unchanged"
                         : ""),
            capture.First(), path);
    }
  }

  IPemarProject* FindProject(const std::string& name) {
    IPemarBaseObject* object = nullptr;
    doc_->GetEngineeringManager()->GetProjectByName(name.c_str(), &object,
                                                    kProjectInterface);
    return AsPemarProject(object);
  }

  IPemarProject* Project(const std::string& name) {
    IPemarProject* p = FindProject(name);
    if (p == nullptr) throw py::key_error("no project named \"" + name + "\"");
    return p;
  }

  py::list Projects() {
    py::list projects;
    EngineeringManager* manager = doc_->GetEngineeringManager();
    const int n = manager->GetProjectSize(kProjectInterface);
    for (int i = 0; i < n; ++i) {
      IPemarBaseObject* object = nullptr;
      manager->GetProjectByNum(i, kProjectInterface, &object);
      IPemarProject* p = AsPemarProject(object);
      if (p == nullptr) continue;
      py::dict row;
      row["name"] = Str(p->GetProjectName());
      row["engineer"] = Str(p->GetEngineersName());
      row["comments"] = Str(p->GetComments());
      row["date"] = Str(p->GetDate());
      row["notes"] = Notes(p);
      projects.append(row);
    }
    return projects;
  }

  static py::list Notes(IPemarProject* p) {
    py::list notes;
    for (int i = 0; i < p->GetNumberOfNotes(); ++i) {
      py::dict note;
      note["title"] = Str(p->GetNoteTitle(i));
      note["text"] = Str(p->GetNoteText(i));
      note["author"] = Str(p->GetNoteAuthor(i));
      note["date"] = Str(p->GetNoteDate(i));
      notes.append(note);
    }
    return notes;
  }

  void AddProject(const std::string& name, const std::string& engineer,
                  const std::string& comments) {
    if (name.empty()) throw py::value_error("a project needs a name");
    if (FindProject(name) != nullptr) {
      throw py::value_error("the case has a project named \"" + name +
                            "\" already");
    }
    // The engineering manager keeps the project and releases it with the
    // case.
    IPemarProject* p =
        AsPemarProject(doc_->GetEngineeringManager()->AddEngObject(
            name.c_str(), kNotesProjectType, 0));
    if (p == nullptr) throw py::value_error("cannot add the project " + name);
    if (!engineer.empty()) p->SetEngineersName(engineer.c_str());
    if (!comments.empty()) p->SetComments(comments.c_str());
  }

  void AddNote(const std::string& project, const std::string& title,
               const std::string& text, const std::string& author) {
    IPemarProject* p = Project(project);
    p->AddNote();
    const int at = p->GetNumberOfNotes() - 1;
    p->SetNoteTitle(at, title.c_str());
    p->SetNoteText(at, text.c_str());
    if (!author.empty()) p->SetNoteAuthor(at, author.c_str());
  }

  // The feature instances, as `pemar case feature list --json` gives them.
  py::list Features() {
    py::list features;
    ExpMgrView* manager = CaseFeatureManager(doc_.get());
    if (manager == nullptr) return features;
    for (Viewable* instance : manager->AllInstances()) {
      const std::string key = FeatureKeyOf(*manager, instance);
      py::dict f;
      f["name"] = instance->GetName().str();
      f["key"] = key;
      f["technology"] = FeatureTechnology(key);
      if (auto* t = dynamic_cast<PropertyTableFeature*>(instance)) {
        f["from_K"] = t->From();
        f["to_K"] = t->To();
        f["pressure_kPa"] = t->Pressure();
        py::list rows;
        for (const PropertyTableRow& row : t->Rows()) {
          py::dict r;
          r["temperature_K"] = row.temperature;
          r["phase"] = row.phase == 1 ? "liquid" : "vapour";
          r["enthalpy_kJ_per_kmol"] = Number(row.enthalpy);
          r["volume_m3_per_kmol"] = Number(row.volume);
          rows.append(r);
        }
        f["rows"] = rows;
      }
      features.append(f);
    }
    return features;
  }

  SimulationCase& doc() { return *doc_; }

 private:
  Case() = default;
  std::unique_ptr<SimulationCase> doc_;
};

}  // namespace

void DefineCases(py::module_& m) {
  py::class_<Case>(m, "Case", R"(
A case file: its projects with their notes and its utility database.

Made with Case.new or read with Case.open; edits stay in memory until
save(), which goes through the case's own save: the case is written to a
temporary file, synced, and only then takes the case's name, the previous
file becoming the backup NAME.bk0 (older ones NAME.bk1 ...). A failed open
or save raises OSError with the library's message key as .key and the file
as .filename; nothing on disk is lost.
)")
      .def_static("new", &Case::New, py::arg("path"), py::arg("mode") = "sim",
                  R"(Makes a case holding the default utility database and
saves it at path (never replacing a file: FileExistsError). mode is "sim"
(the main mode, whose *.kcs files keep backups), "plexa", "frakto" or
"molara3" (no backups).)")
      .def_static("open", &Case::Open, py::arg("path"),
                  R"(Reads a case file: FileNotFoundError when it is missing,
OSError (key "RecallFailure") when it is damaged or not a case file.)")
      .def_property_readonly(
          "path", [](Case& c) { return c.doc().GetFileName().str(); },
          "The case file's name.")
      .def_property_readonly(
          "document_type", [](Case& c) { return c.doc().DocumentType().str(); },
          "The document type: \"SIM\" or the mode's type.")
      .def_property_readonly(
          "save_counter", [](Case& c) { return c.doc().SaveCounter(); },
          "How many times the case has been saved.")
      .def_property_readonly("projects", &Case::Projects,
                             R"(The projects as dicts, as `pemar case info
--json` lists them: name, engineer, comments, date (MM/DD/YY) and notes.)")
      .def_property_readonly("features", &Case::Features,
                             R"(The feature instances as dicts, as `pemar case
feature list --json` gives them: name, key, technology, and for a steam
property table from_K, to_K, pressure_kPa and its rows.)")
      .def(
          "notes",
          [](Case& c, const std::string& project) {
            return Case::Notes(c.Project(project));
          },
          py::arg("project"),
          R"(The notes of a project as dicts (title, text, author, date);
KeyError when there is no such project.)")
      .def("add_project", &Case::AddProject, py::arg("name"),
           py::arg("engineer") = "", py::arg("comments") = "",
           R"(Adds a notes project; ValueError when the name is empty or
taken.)")
      .def("add_note", &Case::AddNote, py::arg("project"), py::arg("title"),
           py::arg("text"), py::arg("author") = "",
           R"(Adds a note at the end of a project's notes; KeyError when
there is no such project.)")
      .def("save", &Case::Save, py::arg("backups") = py::none(),
           R"(Saves the case through its own save. backups (0 to 10) sets
how many backups to keep for this save; None keeps the setting
"NCaseBackups" (default 1). ValueError for a count out of range; OSError
(with .key and .filename) when the save fails, the previous file and its
backups then unchanged.)")
      .def_property_readonly(
          "utility_database",
          [](const py::object& self) {
            Case& c = self.cast<Case&>();
            return UtilityDatabase(c.doc().UtilityDatabase(true), self);
          },
          R"(The case's utility database, saved with the case; it keeps the
case object alive while it is used.)")
      .def_property_readonly(
          "problem_reports", [](Case& c) { return ProblemReports(c.doc()); },
          R"(The problem reports as dicts, as `pemar case bugreport list
--json` gives them: title, date (MM/DD/YY), reported_by, program_version,
system_details, program_build_date, program_area, class ("bug" or
"enhancement"), priority ("high", "medium" or "low"), reproducibility
("always", "sometimes" or "never"; a stored value without a word as its
number) and description. Bytes that are not UTF-8 read as U+FFFD.)")
      .def(
          "add_problem_report",
          [](Case& c, const std::string& title,
             const std::optional<std::string>& by,
             const std::optional<std::string>& area,
             const std::optional<std::string>& description,
             const std::string& cls, const std::string& priority,
             const std::string& reproducibility) {
            AddProblemReport(
                c.doc(),
                {title, by.value_or(""), area.value_or(""),
                 description.value_or(""), cls, priority, reproducibility});
          },
          py::arg("title"), py::arg("by") = py::none(),
          py::arg("area") = py::none(), py::arg("description") = py::none(),
          py::arg("cls") = "bug", py::arg("priority") = "medium",
          py::arg("reproducibility") = "always",
          R"(Adds a problem report dated today, as `pemar case bugreport
add` does: it carries this library's version and the system's details.
by, area and description (the steps, one a line) may be left out. cls is
"bug" or "enhancement", priority "high", "medium" or "low",
reproducibility "always", "sometimes" or "never". ValueError for another
word or a title the case has already, nothing changing then. Like every
edit it stays in memory until save().)")
      .def(
          "write_problem_report",
          [](Case& c, const std::string& title,
             const std::filesystem::path& path) {
            WriteProblemReport(c.doc(), title, path.string());
          },
          py::arg("title"), py::arg("path"),
          R"(Writes the report's text file, byte for byte what `pemar case
bugreport write` writes. KeyError when there is no report of that title;
OSError (with .key and .filename) when the file cannot be written, a file
already there then left as it was.)")
      .def(
          "report", [](Case& c) { return CaseReportText(c.doc()); },
          R"(The whole case as the numbered text report `pemar case report`
prints.)");
}

}  // namespace pemar::python
