#include "pemar/reports/BugReportFields.h"

#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {

const std::vector<std::string>& BugReportChoiceWords(BugReportChoice choice) {
  static const auto* const kClasses =
      new std::vector<std::string>{"bug", "enhancement"};
  static const auto* const kPriorities =
      new std::vector<std::string>{"high", "medium", "low"};
  static const auto* const kReproducibility =
      new std::vector<std::string>{"always", "sometimes", "never"};
  switch (choice) {
    case BugReportChoice::kClass:
      return *kClasses;
    case BugReportChoice::kPriority:
      return *kPriorities;
    case BugReportChoice::kReproducibility:
      break;
  }
  return *kReproducibility;
}

std::optional<unsigned> BugReportChoiceValue(BugReportChoice choice,
                                             std::string_view word) {
  const std::vector<std::string>& words = BugReportChoiceWords(choice);
  for (unsigned i = 0; i < words.size(); ++i) {
    if (words[i] == word) return i;
  }
  return std::nullopt;
}

std::string BugReportChoiceWord(BugReportChoice choice, unsigned value) {
  const std::vector<std::string>& words = BugReportChoiceWords(choice);
  return value < words.size() ? words[value] : std::to_string(value);
}

BugReportFieldList BugReportFields(const BugReport& r) {
  return {
      {"title", r.GetName().str()},
      {"date", r.Date().str()},
      {"reported_by", r.ReportedBy().str()},
      {"program_version", r.ProgramVersion().str()},
      {"system_details", r.SystemDetails().str()},
      {"program_build_date", r.ProgramBuildDate().str()},
      {"program_area", r.ProgramArea().str()},
      {"class", BugReportChoiceWord(BugReportChoice::kClass, r.ClassChoice())},
      {"priority",
       BugReportChoiceWord(BugReportChoice::kPriority, r.PriorityChoice())},
      {"reproducibility", BugReportChoiceWord(BugReportChoice::kReproducibility,
                                              r.ReproducibilityChoice())},
      {"description", r.Description().str()}};
}

std::vector<BugReportFieldList> BugReportFieldLists(
    const BugReportManager* manager) {
  std::vector<BugReportFieldList> lists;
  if (manager == nullptr) return lists;
  for (const BugReport* r : manager->Reports()) {
    lists.push_back(BugReportFields(*r));
  }
  return lists;
}

}  // namespace pemar
