// pemar case: case files from the command line.
//
// The tool registers the library's plain notes project (type 701) and its
// steam property table feature, so that people can keep projects, notes and
// property tables in a case without an analysis library.
// Every change opens the case, changes it, marks it modified and saves it
// through the case's own save, which writes a temporary file first and
// rotates the backups as the configuration value "NCaseBackups" says
// (--backups sets it for one call). Failures reach the user as the texts of
// the messages the library reported, each with its message key.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "CaseBugReports.h"
#include "CasePlot.h"
#include "Registry.h"
#include "pemar/case/CaseFileDump.h"
#include "pemar/case/FlowsheetExportFileLocation.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/casereport/CaseReport.h"
#include "pemar/casereport/CaseReportPage.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ScopedSettings.h"
#include "pemar/framework/Types.h"
#include "pemar/numerics/SteamProperties.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityTypes.h"
#include "tooling/CaseFeatures.h"
#include "tooling/CasePlots.h"
#include "tooling/CaseProjects.h"

namespace pemar::cli {
namespace {

using tooling::AddFeature;
using tooling::AddNote;
using tooling::AddProject;
using tooling::AddSaturationPlot;
using tooling::CaseInfoJson;
using tooling::FeatureManager;
using tooling::FeaturesJson;
using tooling::FindProject;
using tooling::NotesJson;
using tooling::PrintFeatures;
using tooling::PrintPlots;
using tooling::Projects;
using tooling::PropertyTableRange;
using tooling::RegisterCaseTypes;

std::string Str(const char* s) { return s ? std::string(s) : std::string(); }

// Names and notes come from the file and may hold any bytes; bytes that are
// not UTF-8 are shown as replacement characters rather than failing.
std::string JsonText(const nlohmann::ordered_json& j) {
  return j.dump(2, ' ', false,
                nlohmann::ordered_json::error_handler_t::replace);
}

std::string Notes(int n) {
  return std::to_string(n) + (n == 1 ? " note" : " notes");
}

// Keeps the library's error messages for the report to the user; trace and
// status lines of a save are not the tool's output.
class ErrorCollector : public MessageSink {
 public:
  void Deliver(const Message& message) override {
    if (message.kind == MessageKind::kError) errors_.push_back(message);
  }
  // Prints `what` with the reasons the library gave, each as its text
  // followed by its message key, then forgets them.
  void Report(const std::string& what) {
    std::string message = what;
    for (const Message& m : errors_) {
      message += "\n  " + m.text.str() + " (" + m.key.str() + ")";
    }
    PrintError(message);
    errors_.clear();
  }

 private:
  std::vector<Message> errors_;
};

// The case of one command. Declared after the collector, so that messages
// sent while the case is destroyed still find it.
struct OpenedCase {
  ErrorCollector errors;
  ScopedMessageSink sink{&errors};
  std::unique_ptr<SimulationCase> doc;
};

void Prepare() { RegisterCaseTypes(); }

// Reads `path`; false, with the reason printed, when it cannot.
bool Open(const std::string& path, OpenedCase& c) {
  Prepare();
  ScopedCommandLine line("pemar");
  c.doc = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
  if (c.doc->RecallDocument(FileName(Text(path)))) return true;
  std::error_code ec;
  c.errors.Report(std::filesystem::exists(path, ec)
                      ? "cannot read the case " + path
                      : "cannot read the case " + path + ": no such file");
  c.doc.reset();
  return false;
}

// Saves a changed case through its own save; false, with the reason printed,
// when the save failed (the previous file and its backups are then intact).
bool Save(OpenedCase& c, std::optional<int> backups) {
  if (c.doc->IsTempName()) {
    PrintError(tooling::BackupCaseRefusal(c.doc->GetFileName().str()));
    return false;
  }
  ScopedBackups scoped(backups);
  const std::string path = c.doc->GetFileName().str();
  std::error_code ec;
  const bool existed = std::filesystem::exists(path, ec);
  c.doc->SetModified(true);
  if (c.doc->SaveDocument(0)) return true;
  c.errors.Report(
      "cannot save the case " + path +
      (existed ? "; the previous file and its backups are unchanged" : ""));
  return false;
}

void PrintNotes(std::ostream& out, IPemarProject* p,
                const std::string& indent) {
  for (int i = 0; i < p->GetNumberOfNotes(); ++i) {
    const std::string title = Str(p->GetNoteTitle(i));
    const std::string author = Str(p->GetNoteAuthor(i));
    out << indent << i + 1 << ". " << title << " ("
        << (author.empty() ? "" : author + ", ") << Str(p->GetNoteDate(i))
        << ")\n"
        << indent << "   " << Str(p->GetNoteText(i)) << "\n";
  }
}

void PrintProject(std::ostream& out, IPemarProject* p) {
  const std::string engineer = Str(p->GetEngineersName());
  const std::string comments = Str(p->GetComments());
  out << "  " << Str(p->GetProjectName()) << " (created " << Str(p->GetDate());
  if (!engineer.empty()) out << ", engineer " << engineer;
  out << ", " << Notes(p->GetNumberOfNotes()) << ")\n";
  if (!comments.empty()) out << "    comments: " << comments << "\n";
  PrintNotes(out, p, "    ");
}

void PrintUtilitySummary(std::ostream& out, SimulationCase& doc) {
  IDefaultUtilityManager* db = doc.UtilityDatabase(false);
  if (db == nullptr) {
    out << "utility database:   none\n";
    return;
  }
  out << "utility database:   " << db->GetNumberOfDefaultUtilities()
      << " utilities, " << db->GetNumberOfHTCDefaultValues()
      << " heat-transfer-coefficient defaults\n  ";
  for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
    out << (i == 0 ? "" : ", ") << Str(db->GetDefaultUtilityName(i));
  }
  out << "\n";
}

void PrintContents(std::ostream& out, SimulationCase& doc) {
  const auto projects = Projects(doc);
  out << "projects:           " << projects.size() << "\n";
  for (IPemarProject* p : projects) PrintProject(out, p);
  PrintUtilitySummary(out, doc);
  PrintFeatures(out, doc, false, "");
}

void PrintInfo(std::ostream& out, const std::string& path,
               const StoredCaseHeader& h, SimulationCase& doc) {
  out << "file:               " << path << "\n"
      << "identity stamp:     \"" << h.stamp << "\"\n"
      << "build number:       " << h.build << " (readable from build "
      << h.requiredBuild << ")\n"
      << "structure revision: " << h.structureRevision << "\n"
      << "save counter:       " << doc.SaveCounter() << "\n";
  PrintContents(out, doc);
}

// ------------------------------------------------------------- commands

struct CaseOptions {
  std::string file;
  std::string other;  // the second case of "compare"
  std::string out;    // the report file of "report"
  std::string html;   // the report page of "report"
  std::string svg;    // the picture folder of "plot"
  std::string mode = "sim";
  std::string project;
  std::string engineer;
  std::string comments;
  std::string title;
  std::string text;
  std::string author;
  std::optional<int> backups;
  bool json = false;
  std::string key;
  std::string name;
  PropertyTableRange range;
};

bool HasCaseExtension(const std::string& path) {
  return FileName(Text(path)).FileType() == "SIM";
}

int RunNew(const CaseOptions& o) {
  std::error_code ec;
  if (std::filesystem::exists(o.file, ec)) {
    PrintError(o.file + " already exists; case new does not replace a file");
    return kExitFailed;
  }
  Prepare();
  OpenedCase c;
  {
    // "sim" is the default mode and needs no switch.
    ScopedCommandLine line(o.mode == "sim" ? "pemar" : "pemar -" + o.mode);
    c.doc = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
  }
  c.doc->SetFileName(Text(o.file));
  if (c.doc->UtilityDatabase(true) == nullptr) {
    PrintError("cannot make the utility database of the new case");
    return kExitFailed;
  }
  if (!Save(c, o.backups)) return kExitFailed;
  std::cout << "Created " << o.file << " (document type "
            << c.doc->DocumentType().str() << ", "
            << c.doc->UtilityDatabase(false)->GetNumberOfDefaultUtilities()
            << " utilities)\n";
  if (!HasCaseExtension(o.file)) {
    std::cout << "Note: backups are kept only for case files named *."
              << ExtensionForFileType("SIM").str() << "\n";
  }
  return kExitOk;
}

int RunInfo(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  const StoredCaseHeader h = ReadStoredCaseHeader(o.file);
  SimulationCase& doc = *c.doc;
  if (o.json) {
    std::cout << JsonText(CaseInfoJson(o.file, doc)) << "\n";
    return kExitOk;
  }
  PrintInfo(std::cout, o.file, h, doc);
  return kExitOk;
}

int RunProjectAdd(const CaseOptions& o) {
  if (o.project.empty()) {
    PrintError("a project needs a name");
    return kExitUsage;
  }
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  if (FindProject(*c.doc, o.project) != nullptr) {
    PrintError(o.file + " already has a project named \"" + o.project + "\"");
    return kExitFailed;
  }
  if (AddProject(*c.doc, o.project, o.engineer, o.comments) == nullptr) {
    PrintError("cannot make the project \"" + o.project + "\"");
    return kExitFailed;
  }
  if (!Save(c, o.backups)) return kExitFailed;
  std::cout << "Added the project \"" << o.project << "\" to " << o.file
            << "\n";
  return kExitOk;
}

int RunNoteAdd(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  IPemarProject* project = FindProject(*c.doc, o.project);
  if (project == nullptr) {
    PrintError(o.file + " has no project named \"" + o.project + "\"");
    return kExitFailed;
  }
  AddNote(project, o.title, o.text, o.author);
  if (!Save(c, o.backups)) return kExitFailed;
  std::cout << "Added the note \"" << o.title << "\" to the project \""
            << o.project << "\" (" << Notes(project->GetNumberOfNotes())
            << ")\n";
  return kExitOk;
}

int RunNotes(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  std::vector<IPemarProject*> projects;
  if (o.project.empty()) {
    projects = Projects(*c.doc);
  } else if (IPemarProject* p = FindProject(*c.doc, o.project)) {
    projects.push_back(p);
  } else {
    PrintError(o.file + " has no project named \"" + o.project + "\"");
    return kExitFailed;
  }
  if (o.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (IPemarProject* p : projects) {
      list.push_back(
          {{"project", Str(p->GetProjectName())}, {"notes", NotesJson(p)}});
    }
    std::cout << JsonText(list) << "\n";
    return kExitOk;
  }
  for (IPemarProject* p : projects) {
    std::cout << Str(p->GetProjectName()) << ": "
              << Notes(p->GetNumberOfNotes()) << "\n";
    PrintNotes(std::cout, p, "  ");
  }
  return kExitOk;
}

// Whether two case files hold the same model: everything a save keeps (the
// save counter included), not the bytes, so files written by other builds
// or in an older layout compare by what they hold.
int RunCompare(const CaseOptions& o) {
  OpenedCase first;
  OpenedCase second;
  if (!Open(o.file, first) || !Open(o.other, second)) return kExitFailed;
  const std::string difference =
      FirstDifference(DescribeCase(*first.doc), DescribeCase(*second.doc));
  if (difference.empty()) {
    std::cout << o.file << " and " << o.other << " hold the same case\n";
    return kExitOk;
  }
  // "expected" is the first file's line, "actual" the second's.
  std::cout << o.file << " and " << o.other << " differ at " << difference;
  return kExitFailed;
}

// The whole case as a numbered text report, on the standard output or
// written to --out through the atomic write, so an old report of that name
// survives a failed write.
// --html writes the report as a web page with the utility ladder and the
// plot views drawn, through the atomic write as well.
int RunReport(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  const std::string text = CaseReportText(*c.doc);
  if (o.out.empty() && o.html.empty()) {
    std::cout << text;
    return kExitOk;
  }
  if (!o.out.empty()) {
    if (!WriteOutputFile(o.out, text, "the report ")) return kExitFailed;
    std::cout << "report of " << o.file << " written to " << o.out << "\n";
  }
  if (!o.html.empty()) {
    if (!WriteOutputFile(o.html, CaseReportHtml(*c.doc), "the report page ")) {
      return kExitFailed;
    }
    std::cout << "report page of " << o.file << " written to " << o.html
              << "\n";
  }
  return kExitOk;
}

int RunFeatureAdd(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  ExpMgrView* manager = FeatureManager(*c.doc, true);
  std::string error;
  Viewable* added =
      manager ? AddFeature(*manager, o.key, o.range, error) : nullptr;
  if (added == nullptr) {
    c.errors.Report(error.empty() ? "cannot add a feature" : error);
    return kExitFailed;
  }
  const std::string name = added->GetName().str();
  if (!Save(c, o.backups)) return kExitFailed;
  std::cout << "Added the feature \"" << name << "\" (" << o.key << ") to "
            << o.file << "\n";
  return kExitOk;
}

int RunFeatureList(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  if (o.json) {
    std::cout << JsonText(FeaturesJson(*c.doc, true)) << "\n";
  } else {
    PrintFeatures(std::cout, *c.doc, true, "");
  }
  return kExitOk;
}

int RunFeatureDelete(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  ExpMgrView* manager = FeatureManager(*c.doc, false);
  Viewable* instance = nullptr;
  if (manager != nullptr) {
    for (Viewable* v : manager->AllInstances()) {
      if (v->GetName() == o.name.c_str()) instance = v;
    }
  }
  if (instance == nullptr) {
    PrintError(o.file + " has no feature named \"" + o.name + "\"");
    return kExitFailed;
  }
  manager->DisconnectView(instance);
  delete instance;
  if (!Save(c, o.backups)) return kExitFailed;
  std::cout << "Deleted the feature \"" << o.name << "\" from " << o.file
            << "\n";
  return kExitOk;
}

int RunCasePlot(const CaseOptions& o) {
  OpenedCase c;
  if (!Open(o.file, c)) return kExitFailed;
  PrintPlots(std::cout, *c.doc);
  if (!o.svg.empty() && !WritePlotPictures(std::cout, *c.doc, o.svg)) {
    return kExitFailed;
  }
  return kExitOk;
}

// Opens, works on and saves a case for the commands of other files.
int RunWithCase(const std::string& file, std::optional<int> backups,
                const CaseWork& work) {
  OpenedCase c;
  if (!Open(file, c)) return kExitFailed;
  bool changed = false;
  const std::string error = work(*c.doc, changed);
  if (!error.empty()) {
    c.errors.Report(error);
    return kExitFailed;
  }
  return changed && !Save(c, backups) ? kExitFailed : kExitOk;
}

void AddBackupsOption(CLI::App* cmd, CaseOptions& o) {
  cmd->add_option("--backups", o.backups,
                  "Backups to keep for this call (0 to 10; sets "
                  "NCaseBackups)")
      ->check(CLI::Range(0, 10));
}

CommandRegistration case_registration(300, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "case", "Make and inspect case files: projects, notes, backups");
  cmd->require_subcommand(1);
  auto o = std::make_shared<CaseOptions>();

  auto* make = cmd->add_subcommand(
      "new", "Make a case holding a utility database (never replaces a file)");
  make->add_option("FILE", o->file, "Case file to make")->required();
  make->add_option("--mode", o->mode, "Application mode of the case")
      ->check(CLI::IsMember({"sim", "plexa", "frakto", "molara3"}));
  AddBackupsOption(make, *o);
  make->callback([o, &exit_code] { exit_code = RunNew(*o); });

  auto* info = cmd->add_subcommand(
      "info", "Show a case: header, save counter, projects, notes, utilities");
  info->add_option("FILE", o->file, "Case file")->required();
  info->add_flag("--json", o->json, "Print JSON");
  info->callback([o, &exit_code] { exit_code = RunInfo(*o); });

  auto* project = cmd->add_subcommand("project", "Change the projects");
  project->require_subcommand(1);
  auto* add = project->add_subcommand("add", "Add a notes project");
  add->add_option("FILE", o->file, "Case file")->required();
  add->add_option("NAME", o->project, "Project name")->required();
  add->add_option("--engineer", o->engineer, "Engineer's name");
  add->add_option("--comments", o->comments, "Comments");
  AddBackupsOption(add, *o);
  add->callback([o, &exit_code] { exit_code = RunProjectAdd(*o); });

  auto* note = cmd->add_subcommand("note", "Change the notes of a project");
  note->require_subcommand(1);
  auto* noteAdd = note->add_subcommand("add", "Add a note to a project");
  noteAdd->add_option("FILE", o->file, "Case file")->required();
  noteAdd->add_option("PROJECT", o->project, "Project name")->required();
  noteAdd->add_option("--title", o->title, "Note title")->required();
  noteAdd->add_option("--text", o->text, "Note text")->required();
  noteAdd->add_option("--author", o->author, "Note author");
  AddBackupsOption(noteAdd, *o);
  noteAdd->callback([o, &exit_code] { exit_code = RunNoteAdd(*o); });

  auto* notes = cmd->add_subcommand(
      "notes", "List the notes of every project, or of one");
  notes->add_option("FILE", o->file, "Case file")->required();
  notes->add_option("PROJECT", o->project, "Only this project");
  notes->add_flag("--json", o->json, "Print JSON");
  notes->callback([o, &exit_code] { exit_code = RunNotes(*o); });

  auto* compare = cmd->add_subcommand(
      "compare",
      "Say whether two case files hold the same case, or where "
      "they first differ (exit 1)");
  compare->add_option("FILE", o->file, "First case file")->required();
  compare->add_option("OTHER", o->other, "Second case file")->required();
  compare->callback([o, &exit_code] { exit_code = RunCompare(*o); });

  auto* report = cmd->add_subcommand(
      "report", "Print the whole case as a numbered text report");
  report->add_option("FILE", o->file, "Case file")->required();
  report->add_option("--out", o->out, "Write the report to this file");
  report->add_option("--html", o->html,
                     "Write the report as one self-contained web page, with "
                     "the utility ladder and the plot views drawn");
  report->callback([o, &exit_code] { exit_code = RunReport(*o); });

  auto* feature = cmd->add_subcommand(
      "feature", "Add, list and delete feature instances (property tables)");
  feature->require_subcommand(1);
  auto* featureAdd = feature->add_subcommand(
      "add", "Add an instance of a feature, named uniquely");
  featureAdd->add_option("FILE", o->file, "Case file")->required();
  featureAdd->add_option("KEY", o->key, "Feature key (PropertyTable)")
      ->required();
  featureAdd->add_option("--from", o->range.from,
                         "Property table: lowest temperature in K");
  featureAdd->add_option("--to", o->range.to,
                         "Property table: highest temperature in K");
  featureAdd->add_option("--pressure", o->range.pressure,
                         "Property table: pressure in kPa");
  AddBackupsOption(featureAdd, *o);
  featureAdd->callback([o, &exit_code] { exit_code = RunFeatureAdd(*o); });
  auto* featureList =
      feature->add_subcommand("list", "List the features, with table rows");
  featureList->add_option("FILE", o->file, "Case file")->required();
  featureList->add_flag("--json", o->json, "Print JSON");
  featureList->callback([o, &exit_code] { exit_code = RunFeatureList(*o); });
  auto* featureDelete =
      feature->add_subcommand("delete", "Delete a feature instance by name");
  featureDelete->add_option("FILE", o->file, "Case file")->required();
  featureDelete->add_option("NAME", o->name, "Instance name")->required();
  AddBackupsOption(featureDelete, *o);
  featureDelete->callback(
      [o, &exit_code] { exit_code = RunFeatureDelete(*o); });

  auto* plot = cmd->add_subcommand(
      "plot", "List the plot views with their data sets and points");
  plot->add_option("FILE", o->file, "Case file")->required();
  plot->add_option("--svg", o->svg,
                   "Also draw each plot as an SVG file in this folder");
  plot->callback([o, &exit_code] { exit_code = RunCasePlot(*o); });

  AddBugReportCommands(*cmd, exit_code, RunWithCase);
});

// ------------------------------------------------------------- demo

std::string ProcessNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

void ShowFiles(std::ostream& out, const std::filesystem::path& folder,
               const std::string& stem) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().stem().string() == stem) {
      names.push_back(entry.path().filename().string() + " (" +
                      std::to_string(entry.file_size(ec)) + " bytes)");
    }
  }
  std::sort(names.begin(), names.end());
  out << "  on disk:";
  for (const std::string& n : names) out << " " << n;
  out << "\n";
}

// Notes that tie the tour together: what the case's own utility database
// recommends, and a steam point for the reboiler.
void AddTourNotes(IPemarProject* project, IDefaultUtilityManager* db) {
  const struct {
    double t;
    SegmentHeatType type;
  } queries[] = {{200, HotSegment}, {40, ColdSegment}};
  for (const auto& q : queries) {
    const char* name = db->GetRecommendedUtilityName(q.t, q.type, nullptr);
    AddNote(project,
            std::string(q.type == HotSegment ? "Heating" : "Cooling") + " at " +
                ProcessNumber(q.t) + " C",
            std::string("The case's utility database recommends ") +
                (name ? name : "no utility") + ".",
            "pemar demo");
  }
  const double h = SteamEnthalpyCalcTPi(500.0, 1500.0, 0);
  AddNote(project, "Reboiler steam",
          "Steam at 500 K and 1500 kPa: molar enthalpy " +
              (h == kEmptyValue ? std::string("not available")
                                : ProcessNumber(h) + " kJ/kmol") +
              " (IFC-67).",
          "pemar demo");
}

bool CaseDemo(std::ostream& out, const std::string& work_dir) {
  Prepare();
  std::string path;
  if (work_dir.empty()) {
    Text name;
    Text folder;
    FlowsheetExportFileLocation(name, folder);
    path = name.str();
  } else {
    path = (std::filesystem::path(work_dir) / "tour.kcs").string();
  }
  if (path.empty()) return false;
  const std::filesystem::path file(path);
  if (!work_dir.empty()) {
    // A fresh tour: no backups left from an earlier run.
    std::error_code ec;
    for (const char* ext : {".kcs", ".bk0", ".bk1", ".tmp"}) {
      std::filesystem::remove(
          std::filesystem::path(file).replace_extension(ext), ec);
    }
  }

  ScopedBackups backups(2);
  {
    OpenedCase c;
    {
      ScopedCommandLine line("pemar");
      c.doc = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    }
    c.doc->SetFileName(Text(path));
    IDefaultUtilityManager* db = c.doc->UtilityDatabase(true);
    IPemarProject* project =
        db ? AddProject(*c.doc, "Crude unit", "A. Engineer",
                        "Heat integration of the preheat train")
           : nullptr;
    if (project == nullptr) return false;
    AddTourNotes(project, db);
    ExpMgrView* features = FeatureManager(*c.doc, true);
    std::string error;
    PropertyTableRange range{350.0, 450.0, 101.325};
    Viewable* table = features
                          ? AddFeature(*features, "PropertyTable", range, error)
                          : nullptr;
    if (table == nullptr || !AddSaturationPlot(*c.doc)) return false;
    out << "A new case with the project \"Crude unit\" (3 notes), its "
           "utility database, the feature \""
        << table->GetName().str()
        << "\" (a steam table, 350 to 450 K at 101.325 kPa) and a plot view "
           "of the steam saturation curve; NCaseBackups is 2.\n";
    if (!Save(c, std::nullopt)) return false;
    out << "First save of " << path << ":\n";
    ShowFiles(out, file.parent_path(), file.stem().string());
    AddNote(project, "Review", "Checked by the lead engineer.", "B. Lead");
    if (!Save(c, std::nullopt)) return false;
    out << "Second save, after one more note: the first file is the backup\n";
    ShowFiles(out, file.parent_path(), file.stem().string());
  }

  OpenedCase reopened;
  if (!Open(path, reopened)) return false;
  out << "\nReopened:\n$ pemar case info " << path << "\n";
  PrintInfo(out, path, ReadStoredCaseHeader(path), *reopened.doc);
  out << "\n$ pemar case feature list " << path << "\n";
  PrintFeatures(out, *reopened.doc, true, "");
  const std::string pictures = (file.parent_path() / "tour-plots").string();
  out << "\n$ pemar case plot " << path << " --svg " << pictures << "\n";
  PrintPlots(out, *reopened.doc);
  if (!WritePlotPictures(out, *reopened.doc, pictures)) return false;
  const std::string page = (file.parent_path() / "tour-report.html").string();
  out << "\n$ pemar case report " << path << " --html " << page << "\n";
  if (!WriteCaseReportHtml(*reopened.doc, page)) return false;
  out << "Report page: " << page << "\n";
  out << "(pemar dump " << path << " shows its chunks by section.)\n";
  return true;
}

DemoRegistration case_demo(600, "Case document", CaseDemo);

}  // namespace
}  // namespace pemar::cli
