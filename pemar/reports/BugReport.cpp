// A problem report: its fields, its variables and its text file.

#include "pemar/reports/BugReport.h"

#include <cmath>

#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr int kChoiceType = 107;
constexpr int kClassNumber = 100;
constexpr int kPriorityNumber = 101;
constexpr int kReproducibilityNumber = 102;

class BugReportObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
};

const ObjectTypeInfo* const kBugReportTypeRegistered = BugReportObjectType();

// A choice line with the blank between the brackets of entry `value`
// replaced by 'x'; `marks` gives the character of each entry, the leading
// tab being character 0. A value without an entry marks nothing.
template <std::size_t N>
std::string ChoiceLine(const char* line, const std::size_t (&marks)[N],
                       unsigned value) {
  std::string out(line);
  if (value < N) out[marks[value]] = 'x';
  return out;
}

// The pieces of one description line, each followed by a line feed. A line
// of up to kBugReportLineWidth characters is one piece. A longer one is cut
// by words (runs of characters other than blanks and tabs): words are taken
// from its front, each followed by one blank, until the piece is longer than
// the width or the line has none left; the rest is cut the same way. A pass
// that finds no word ends the line, so trailing blanks are dropped.
void AppendDescriptionLine(Text rest, std::string& out) {
  while (!rest.IsEmpty()) {
    if (rest.Length() <= kBugReportLineWidth) {
      out += "\t\t" + rest.str() + "\n";
      return;
    }
    std::string piece;
    while (piece.size() <= kBugReportLineWidth) {
      Text word = rest.Token();
      if (word.IsEmpty()) break;
      piece += word.str() + " ";
    }
    if (piece.empty()) return;
    out += "\t\t" + piece + "\n";
  }
}

}  // namespace

const ObjectTypeInfo* BugReportObjectType() {
  static BugReportObjectInfoT* type = [] {
    auto* t =
        new BugReportObjectInfoT("BugReportObject", ViewableObjectType(),
                                 "BugReport", 0, 0, "bugrep", kEmptyMarker);
    t->SetDisplayName("Problem Report");
    return t;
  }();
  (void)kBugReportTypeRegistered;
  return type;
}

BugReport::BugReport(const Text& defaultName)
    : Viewable(nullptr, BugReportObjectType()), default_name_(defaultName) {
  if (Session* session = Session::Current()) {
    program_version_ = session->VersionText();
  }
  system_details_ = OperatingSystemText() + " " + FreeResourcesText();
}

void BugReport::FillEmptyEntries() {
  if (date_.IsEmpty()) date_ = TodayDate();
  if (GetName().IsEmpty()) SetName(default_name_);
}

std::string BugReport::ReportText() const {
  static constexpr std::size_t kClassMarks[] = {14, 27};
  static constexpr std::size_t kPriorityMarks[] = {14, 27, 46};
  static constexpr std::size_t kReproducibilityMarks[] = {21, 34, 50};
  std::string out = "\n\n";
  out += "\tTitle: \t" + GetName().str() + "\n";
  out += "\tDate: \t" + date_.str() + "\n";
  out += "\n\tReported By: \t" + reported_by_.str() + "\n";
  out += "\n\tProgram Build: " + program_version_.str() + "\n";
  out += "\n\tSystem Details: " + system_details_.str() + "\n";
  out += "\n";
  out += ChoiceLine("\tClass:      [ ] Bug      [ ] Enhancement\n", kClassMarks,
                    class_);
  out += ChoiceLine("\tPriority:   [ ] High     [ ] Medium         [ ] Low\n",
                    kPriorityMarks, priority_);
  out += "\n";
  out += "\tProgram Area: \t" + program_area_.str() + "\n";
  out += "\n\tStep-By-Step Description: \n";
  for (const Text& line : description_.Lines()) {
    if (line.IsEmpty()) break;
    AppendDescriptionLine(line, out);
  }
  out += "\n\n";
  out += ChoiceLine(
      "\tReproducibility:   [ ] Always   [ ] Sometimes   [ ] Never\n",
      kReproducibilityMarks, reproducibility_);
  out += '\f';
  return out;
}

bool BugReport::Write() {
  const ObjectTypeInfo* type = BugReportObjectType();
  const Text path = PickFile(FindString("WriteBugReportTitle"), Text("BUG"),
                             {{type->PluralDisplayName(), Text("BUG")},
                              {FindString("AllFiles"), Text("*")}},
                             default_name_);
  if (path.IsEmpty()) return false;
  const std::string text = ReportText();
  if (!WriteFileAtomically(path.str(), text.data(), text.size())) {
    ErrorMsg("UnableToCreateDocument", {path});
    return false;
  }
  return true;
}

unsigned* BugReport::Choice(const VarDescription& desc) {
  if (desc.Type() != kChoiceType) return nullptr;
  switch (desc.Number()) {
    case kClassNumber:
      return &class_;
    case kPriorityNumber:
      return &priority_;
    case kReproducibilityNumber:
      return &reproducibility_;
    default:
      return nullptr;
  }
}

Text* BugReport::TextField(const VarDescription& desc, bool settable) {
  if (desc.VariableIs("Date")) return &date_;
  if (desc.VariableIs("ReportedBy")) return &reported_by_;
  if (desc.VariableIs("ProgramBuildDate")) return &program_build_date_;
  if (desc.VariableIs("ProgramArea")) return &program_area_;
  if (desc.VariableIs("StepByStepDescription")) return &description_;
  if (settable) return nullptr;
  if (desc.VariableIs("ProgramVersion")) return &program_version_;
  if (desc.VariableIs("SystemDetails")) return &system_details_;
  return nullptr;
}

double BugReport::Value(const VarDescription& desc) {
  if (const unsigned* field = Choice(desc)) return *field;
  return Viewable::Value(desc);
}

unsigned char BugReport::Specify(const VarDescription& desc, double value) {
  unsigned* field = Choice(desc);
  if (field == nullptr) return Viewable::Specify(desc, value);
  // Only values an unsigned field can take; the rest (the empty value
  // among them) set nothing.
  if (!std::isfinite(value) || value < 0.0 || value >= 4294967296.0) return 0;
  *field = static_cast<unsigned>(value);
  return 1;
}

Text BugReport::TextValue(const VarDescription& desc) {
  if (const Text* field = TextField(desc, false)) return *field;
  return Viewable::TextValue(desc);
}

unsigned char BugReport::SpecifyText(const VarDescription& desc,
                                     const Text& value) {
  Text* field = TextField(desc, true);
  if (field == nullptr) return Viewable::SpecifyText(desc, value);
  *field = value;
  return 1;
}

int BugReport::Message(const Text& command) {
  if (command == "Write") {
    Write();
    return 1;
  }
  if (command == "FillEmptyEntries") {
    FillEmptyEntries();
    return 1;
  }
  return Viewable::Message(command);
}

}  // namespace pemar
