// pemar case bugreport: adding, listing and writing a case's problem reports.

#include "CaseBugReports.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "Registry.h"
#include "pemar/casereport/CaseBugReports.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportFields.h"
#include "tooling/ProblemReports.h"

namespace pemar::cli {
namespace {

struct BugReportOptions {
  std::string file;
  std::string title;
  std::string by;
  std::string area;
  std::string description;
  std::string description_file;
  std::string choice = "bug";
  std::string priority = "medium";
  std::string reproducibility = "always";
  std::string out;
  std::optional<int> backups;
  bool json = false;
};

unsigned ValueOf(BugReportChoice choice, const std::string& word) {
  return BugReportChoiceValue(choice, word).value_or(0);
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in),
              std::istreambuf_iterator<char>());
  return !in.bad();
}

int RunAdd(const BugReportOptions& o, const WithCase& withCase) {
  std::string description = o.description;
  if (!o.description_file.empty() &&
      !ReadWholeFile(o.description_file, description)) {
    PrintError("cannot read the description file " + o.description_file);
    return kExitFailed;
  }
  const int code =
      withCase(o.file, o.backups, [&](SimulationCase& doc, bool& changed) {
        BugReportEntry entry;
        entry.title = o.title;
        entry.reported_by = o.by;
        entry.program_area = o.area;
        entry.description = description;
        entry.class_choice = ValueOf(BugReportChoice::kClass, o.choice);
        entry.priority = ValueOf(BugReportChoice::kPriority, o.priority);
        entry.reproducibility =
            ValueOf(BugReportChoice::kReproducibility, o.reproducibility);
        switch (tooling::AddProblemReport(doc, entry)) {
          case AddBugReportResult::kTitleTaken:
            return o.file + " already has a problem report titled \"" +
                   o.title + "\"";
          case AddBugReportResult::kNoManager:
            return std::string("cannot make the reports");
          case AddBugReportResult::kAdded:
            break;
        }
        changed = true;
        return std::string();
      });
  if (code == kExitOk) {
    std::cout << "Added the problem report \"" << o.title << "\" to " << o.file
              << "\n";
  }
  return code;
}

int RunList(const BugReportOptions& o, const WithCase& withCase) {
  return withCase(o.file, std::nullopt, [&](SimulationCase& doc, bool&) {
    const nlohmann::ordered_json list = tooling::ProblemReportsJson(doc);
    if (o.json) {
      // Texts come from the file and may hold any bytes.
      std::cout << list.dump(2, ' ', false,
                             nlohmann::ordered_json::error_handler_t::replace)
                << "\n";
      return std::string();
    }
    if (list.empty()) std::cout << o.file << " has no problem reports\n";
    for (const auto& r : list) {
      std::cout << r["title"].get<std::string>() << " ("
                << r["date"].get<std::string>()
                << "): " << r["class"].get<std::string>() << ", priority "
                << r["priority"].get<std::string>() << ", reproducible "
                << r["reproducibility"].get<std::string>() << "\n";
    }
    return std::string();
  });
}

int RunWrite(const BugReportOptions& o, const WithCase& withCase) {
  const int code =
      withCase(o.file, std::nullopt, [&](SimulationCase& doc, bool&) {
        BugReport* report = FindCaseBugReport(doc, o.title);
        if (report == nullptr) {
          return o.file + " has no problem report titled \"" + o.title + "\"";
        }
        return WriteBugReportTo(*report, o.out) ? std::string()
                                                : "cannot write " + o.out;
      });
  if (code == kExitOk) {
    std::cout << "Wrote the problem report \"" << o.title << "\" to " << o.out
              << "\n";
  }
  return code;
}

}  // namespace

void AddBugReportCommands(CLI::App& caseCommand, int& exitCode,
                          const WithCase& withCase) {
  auto o = std::make_shared<BugReportOptions>();
  auto* bugs = caseCommand.add_subcommand(
      "bugreport", "Add, list and write the problem reports of a case");
  bugs->require_subcommand(1);

  auto* add = bugs->add_subcommand("add", "Add a problem report, dated today");
  add->add_option("FILE", o->file, "Case file")->required();
  add->add_option("--title", o->title, "Title of the report")->required();
  add->add_option("--by", o->by, "Who reports");
  add->add_option("--area", o->area, "Program area");
  auto* text =
      add->add_option("--description", o->description, "Steps, one a line");
  add->add_option("--description-file", o->description_file,
                  "Read the steps from this file")
      ->excludes(text);
  add->add_option("--class", o->choice, "bug or enhancement")
      ->check(CLI::IsMember(BugReportChoiceWords(BugReportChoice::kClass)));
  add->add_option("--priority", o->priority, "high, medium or low")
      ->check(CLI::IsMember(BugReportChoiceWords(BugReportChoice::kPriority)));
  add->add_option("--reproducibility", o->reproducibility,
                  "always, sometimes or never")
      ->check(CLI::IsMember(
          BugReportChoiceWords(BugReportChoice::kReproducibility)));
  add->add_option("--backups", o->backups,
                  "Backups to keep for this call (0 to 10; sets "
                  "NCaseBackups)")
      ->check(CLI::Range(0, 10));
  add->callback([o, &exitCode, withCase] { exitCode = RunAdd(*o, withCase); });

  auto* list = bugs->add_subcommand("list", "List the problem reports");
  list->add_option("FILE", o->file, "Case file")->required();
  list->add_flag("--json", o->json, "Print JSON with every field");
  list->callback(
      [o, &exitCode, withCase] { exitCode = RunList(*o, withCase); });

  auto* write = bugs->add_subcommand(
      "write", "Write a problem report's text file (the form's \"Write\")");
  write->add_option("FILE", o->file, "Case file")->required();
  write->add_option("TITLE", o->title, "Title of the report")->required();
  write->add_option("OUT", o->out, "Text file to write (.bug)")->required();
  write->callback(
      [o, &exitCode, withCase] { exitCode = RunWrite(*o, withCase); });
}

}  // namespace pemar::cli
