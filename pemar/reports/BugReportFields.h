// BugReportFields: the choices of a problem report in words, and its fields
// as plain named texts, so that every front end (the pemar tool, the Python
// package) names and lists reports alike.
//
// The words are lower case and matched exactly: class "bug", "enhancement";
// priority "high", "medium", "low"; reproducibility "always", "sometimes",
// "never", each list in the order of the choice's values (BugReport.h).

#ifndef PEMAR_REPORTS_BUGREPORTFIELDS_H_
#define PEMAR_REPORTS_BUGREPORTFIELDS_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class BugReport;
class BugReportManager;

enum class BugReportChoice { kClass, kPriority, kReproducibility };

// The words of `choice`, in the order of its values. The list lives as long
// as the program.
PEMAR_EXPORT const std::vector<std::string>& BugReportChoiceWords(
    BugReportChoice choice);

// The value `word` names; nullopt for any other text.
PEMAR_EXPORT std::optional<unsigned> BugReportChoiceValue(
    BugReportChoice choice, std::string_view word);

// The word of `value`; a value without a word (an older or damaged file)
// as its decimal number.
PEMAR_EXPORT std::string BugReportChoiceWord(BugReportChoice choice,
                                             unsigned value);

// A report's fields as (name, text) pairs in this order: title, date,
// reported_by, program_version, system_details, program_build_date,
// program_area, class, priority, reproducibility (the three as words, see
// BugReportChoiceWord), description. Texts are the stored bytes and need
// not be UTF-8.
using BugReportFieldList = std::vector<std::pair<std::string, std::string>>;
PEMAR_EXPORT BugReportFieldList BugReportFields(const BugReport& report);

// The fields of each report of `manager`, in its order; empty for null.
PEMAR_EXPORT std::vector<BugReportFieldList> BugReportFieldLists(
    const BugReportManager* manager);

}  // namespace pemar

#endif  // PEMAR_REPORTS_BUGREPORTFIELDS_H_
