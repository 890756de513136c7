// BugReport: one problem report of a case, written out as a text file.
//
// A report holds what a user fills in on its form: the date, who reports,
// the program area, a step-by-step description (several lines), and three
// choices: class (0 defect, 1 enhancement), priority (0 high, 1 medium,
// 2 low) and reproducibility (0 always, 1 sometimes, 2 never). The program
// version (the current Session's version text) and the system details (the
// operating-system text, a blank, the free-resources text) are taken when
// the report is made. Its view name is its title; its default name is the
// name it was made with ("Report3").
//
// Reports live in a BugReportManager (BugReportManager.h), which owns them
// and stores their fields with the case; a report is not an object of the
// case's object manager and has no document.
//
// Variables (the framework protocol):
//   - numbers of variable type 107: 100 class, 101 priority,
//     102 reproducibility. Specify truncates the value; a negative value, a
//     value of 2^32 or more and a value that is not finite leave the field
//     unchanged. A value outside a choice's range is kept and marks nothing;
//   - texts by name: "Date", "ReportedBy", "ProgramBuildDate",
//     "ProgramArea" and "StepByStepDescription" read and set;
//     "ProgramVersion" and "SystemDetails" read only;
//   - commands: "Write" (ReportText into a file the user picks, see Write)
//     and "FillEmptyEntries" (FillEmptyEntries).
// Everything else goes to Viewable.

#ifndef PEMAR_REPORTS_BUGREPORT_H_
#define PEMAR_REPORTS_BUGREPORT_H_

#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

// "BugReportObject", class name "BugReport", identifier "bugrep"; shown as
// "Problem Report". Reports are stored by their manager, never on their
// own: the type makes no object for a recall.
PEMAR_EXPORT const ObjectTypeInfo* BugReportObjectType();

// Characters of a description line that are written whole; a longer line
// is cut into pieces of at least one more character, ending at a word.
inline constexpr std::size_t kBugReportLineWidth = 60;

class PEMAR_EXPORT BugReport : public Viewable {
 public:
  enum Class : unsigned { kDefect = 0, kEnhancement = 1 };
  enum Priority : unsigned { kHigh = 0, kMedium = 1, kLow = 2 };
  enum Reproducibility : unsigned { kAlways = 0, kSometimes = 1, kNever = 2 };

  // A new report named `defaultName`, with an empty view name, outside any
  // document. The caller owns it.
  explicit BugReport(const Text& defaultName);

  const Text& DefaultName() const { return default_name_; }
  const Text& Date() const { return date_; }
  const Text& ReportedBy() const { return reported_by_; }
  const Text& ProgramVersion() const { return program_version_; }
  const Text& SystemDetails() const { return system_details_; }
  const Text& ProgramBuildDate() const { return program_build_date_; }
  const Text& ProgramArea() const { return program_area_; }
  const Text& Description() const { return description_; }
  unsigned ClassChoice() const { return class_; }
  unsigned PriorityChoice() const { return priority_; }
  unsigned ReproducibilityChoice() const { return reproducibility_; }

  void SetDate(const Text& text) { date_ = text; }
  void SetReportedBy(const Text& text) { reported_by_ = text; }
  void SetProgramVersion(const Text& text) { program_version_ = text; }
  void SetSystemDetails(const Text& text) { system_details_ = text; }
  void SetProgramBuildDate(const Text& text) { program_build_date_ = text; }
  void SetProgramArea(const Text& text) { program_area_ = text; }
  void SetDescription(const Text& text) { description_ = text; }
  // Any value is kept; one outside the choice's range marks nothing.
  void SetClassChoice(unsigned value) { class_ = value; }
  void SetPriorityChoice(unsigned value) { priority_ = value; }
  void SetReproducibilityChoice(unsigned value) { reproducibility_ = value; }

  // An empty date becomes today's (TodayDate), an empty view name the
  // default name.
  void FillEmptyEntries();

  // The report file's text, byte for byte (docs/file-format.md, "Problem
  // report text"). Description lines are written up to the first empty
  // line; lines longer than kBugReportLineWidth are cut at words.
  std::string ReportText() const;

  // Asks the file picker for a name (title "WriteBugReportTitle", default
  // extension "BUG", the proposed name the default name) and writes
  // ReportText there atomically, so that a failure leaves no partial file
  // and an existing file as it was. A failure shows "UnableToCreateDocument"
  // with the file name. Cancelling writes nothing. True when written.
  bool Write();

  double Value(const VarDescription& desc) override;
  unsigned char Specify(const VarDescription& desc, double value) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  // "Write" and "FillEmptyEntries"; both count as handled whatever happens.
  int Message(const Text& command) override;

 private:
  // The field a choice variable names; null for other descriptions.
  unsigned* Choice(const VarDescription& desc);
  // The text field a variable names; null for other names.
  Text* TextField(const VarDescription& desc, bool settable);

  Text default_name_;
  Text date_;
  Text reported_by_;
  Text program_version_;
  Text system_details_;
  Text program_build_date_;
  Text program_area_;
  Text description_;
  unsigned class_ = kDefect;
  unsigned priority_ = kMedium;
  unsigned reproducibility_ = kAlways;
};

}  // namespace pemar

#endif  // PEMAR_REPORTS_BUGREPORT_H_
