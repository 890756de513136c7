#include "pemar/reports/BugReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"

namespace pemar {
namespace {

// The text of a report whose description and choices vary; the rest is the
// fixture's.
std::string Expected(const std::string& choices, const std::string& lines,
                     const std::string& reproducibility) {
  return "\n\n\tTitle: \tPump trips\n\tDate: \t12/07/26\n"
         "\n\tReported By: \tR. Ames\n"
         "\n\tProgram Build: 2.1.7\n"
         "\n\tSystem Details: Linux 6.1 512 MB of memory free\n"
         "\n" +
         choices +
         "\n\tProgram Area: \tTargeting\n"
         "\n\tStep-By-Step Description: \n" +
         lines + "\n\n" + reproducibility + "\f";
}

class BugReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemTexts("Linux 6.1", "512 MB of memory free");
    session_.SetVersionText("2.1.7");
  }
  void TearDown() override {
    SetSystemTexts("", "");
    SetFilePicker(nullptr);
  }
  // A report with every text filled in.
  static void Fill(BugReport& r) {
    r.SetName("Pump trips");
    r.SetDate("12/07/26");
    r.SetReportedBy("R. Ames");
    r.SetProgramArea("Targeting");
  }
  // The description part of the report text of `description`.
  static std::string DescriptionLines(const std::string& description) {
    BugReport r("Report1");
    r.SetDescription(description);
    const std::string text = r.ReportText();
    const std::string head = "Description: \n";
    const std::size_t from = text.find(head) + head.size();
    return text.substr(from, text.rfind("\n\n\tReproducibility") - from);
  }
  // Scripts the file picker to answer `path`, remembering what it was
  // asked.
  void PickerAnswers(const std::string& path) {
    SetFilePicker([this, path](const Text& title, const Text& extension,
                               const FileFilters& filters,
                               const Text& proposed) {
      asked_ = {title.str(), extension.str(), proposed.str()};
      for (const auto& [description, type] : filters) {
        asked_.push_back(description.str() + "|" + type.str());
      }
      return Text(path);
    });
  }

  Session session_;
  ScopedSession scoped_session_{&session_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  std::vector<std::string> asked_;
};

TEST_F(BugReportTest, NewReportHasMediumPriorityAndTheSessionsTexts) {
  BugReport r("Report1");
  Fill(r);
  r.SetDescription("Open the case.\nRun the targeting.\n");
  EXPECT_EQ(r.ReportText(),
            Expected("\tClass:      [x] Bug      [ ] Enhancement\n"
                     "\tPriority:   [ ] High     [x] Medium         [ ] Low\n",
                     "\t\tOpen the case.\n\t\tRun the targeting.\n",
                     "\tReproducibility:   [x] Always   [ ] Sometimes   "
                     "[ ] Never\n"));
  EXPECT_EQ(r.DefaultName(), "Report1");
}

// Each choice marks the blank between its brackets; a value out of range
// leaves its line unmarked.
TEST_F(BugReportTest, EachChoiceMarksItsOwnEntry) {
  struct Row {
    int number;  // of the choice variable
    unsigned value;
    std::size_t marked;  // counting the tab as 0; 0 for none
  };
  const Row rows[] = {{100, 0, 14}, {100, 1, 27}, {100, 2, 0}, {101, 0, 14},
                      {101, 1, 27}, {101, 2, 46}, {101, 3, 0}, {102, 0, 21},
                      {102, 1, 34}, {102, 2, 50}, {102, 3, 0}};
  const char* const kLabels[] = {
      "\tClass:", "\tPriority:", "\tReproducibility:"};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.number << " " << row.value);
    BugReport r("Report1");
    VarDescription desc("Choice", row.number);
    desc.SetType(107);
    ASSERT_TRUE(r.Specify(desc, row.value));
    EXPECT_EQ(r.Value(desc), row.value);
    const std::string text = r.ReportText();
    const std::size_t at = text.find(kLabels[row.number - 100]);
    const std::string line = text.substr(at, text.find('\n', at) - at);
    const std::size_t x = line.find('x');
    EXPECT_EQ(x == std::string::npos ? 0 : x, row.marked);
    EXPECT_EQ(line.find('x', x + (x != std::string::npos)), std::string::npos);
  }
}

// Lines up to 60 characters stay whole; longer ones are cut at words; the
// description ends at its first empty line; a pass over nothing but
// blanks ends the line.
TEST_F(BugReportTest, DescriptionLinesAreCutAtWordsPastSixtyCharacters) {
  const std::string sixty = std::string(55, 'a') + " bbbb";
  const std::string sixtyOne = std::string(55, 'a') + " bbbbb";
  const std::string longWord(100, 'w');
  struct Row {
    std::string description;
    std::string lines;
  };
  const Row rows[] = {
      {sixty, "\t\t" + sixty + "\n"},
      {sixtyOne, "\t\t" + sixtyOne + " \n"},
      {std::string(30, 'c') + " " + sixtyOne, "\t\t" + std::string(30, 'c') +
                                                  " " + std::string(55, 'a') +
                                                  " \n" + "\t\tbbbbb\n"},
      {"first\n\nthird", "\t\tfirst\n"},
      {"", ""},
      {longWord + " tail " + longWord,
       "\t\t" + longWord + " \n\t\ttail " + longWord + " \n"},
      {"word" + std::string(80, ' '), "\t\tword \n"},
      {std::string(70, ' ') + "\nnext", "\t\tnext\n"},
      {"crlf\r\nline\r\n", "\t\tcrlf\n\t\tline\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.description);
    EXPECT_EQ(DescriptionLines(row.description), row.lines);
  }
}

TEST_F(BugReportTest, ChoicesRefuseValuesAnUnsignedCannotHold) {
  const double kRefused[] = {-1.0,
                             -32767.0,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             1e300,
                             4294967296.0};
  BugReport r("Report1");
  VarDescription priority("Priority", 101);
  priority.SetType(107);
  for (double value : kRefused) {
    EXPECT_FALSE(r.Specify(priority, value)) << value;
    EXPECT_EQ(r.PriorityChoice(), BugReport::kMedium) << value;
  }
  EXPECT_TRUE(r.Specify(priority, 2.9));
  EXPECT_EQ(r.PriorityChoice(), BugReport::kLow);
  // Other numbers and other types are the framework's.
  EXPECT_EQ(r.Value(VarDescription("Priority", 101)), kEmptyValue);
  priority.number = 103;
  EXPECT_FALSE(r.Specify(priority, 1.0));
}

TEST_F(BugReportTest, FiveTextsAreSetAndSevenRead) {
  BugReport r("Report1");
  const char* const kSettable[] = {"Date", "ReportedBy", "ProgramBuildDate",
                                   "ProgramArea", "StepByStepDescription"};
  for (const char* name : kSettable) {
    EXPECT_TRUE(r.SpecifyText(VarDescription(name, 300), Text(name)));
    EXPECT_EQ(r.TextValue(VarDescription(name, 300)), name);
  }
  for (const char* name : {"ProgramVersion", "SystemDetails", "Title"}) {
    EXPECT_FALSE(r.SpecifyText(VarDescription(name, 300), Text("x")));
  }
  EXPECT_EQ(r.TextValue(VarDescription("ProgramVersion", 1)), "2.1.7");
  EXPECT_EQ(r.TextValue(VarDescription("SystemDetails", 1)),
            "Linux 6.1 512 MB of memory free");
  EXPECT_EQ(r.Description(), "StepByStepDescription");
}

TEST_F(BugReportTest, FillEmptyEntriesGivesTheDefaultNameAndToday) {
  BugReport r("Report4");
  EXPECT_TRUE(r.Message("FillEmptyEntries"));
  EXPECT_EQ(r.GetName(), "Report4");
  EXPECT_EQ(r.Date(), TodayDate());
  Fill(r);
  r.FillEmptyEntries();
  EXPECT_EQ(r.GetName(), "Pump trips");
  EXPECT_EQ(r.Date(), "12/07/26");
  EXPECT_FALSE(r.Message("Print"));
}

TEST_F(BugReportTest, WriteAsksForANameAndWritesTheTextThere) {
  BugReport r("Report2");
  Fill(r);
  EXPECT_TRUE(r.Message("Write"));  // cancelled: nothing written
  EXPECT_TRUE(fs_.Files().empty());
  PickerAnswers("/reports/pump.bug");
  EXPECT_TRUE(r.Message("Write"));
  EXPECT_EQ(fs_.GetFile("/reports/pump.bug"), r.ReportText());
  EXPECT_EQ(asked_,
            (std::vector<std::string>{"WriteBugReportTitle", "BUG", "Report2",
                                      "Problem Reports|BUG", "AllFiles|*"}));
  EXPECT_EQ(fs_.Files().size(), 1u);
  EXPECT_TRUE(sink_.messages().empty());
}

// Whichever step of the write fails, the user is told with the file's
// name, and no partial file is left: an earlier report stays as it was.
TEST_F(BugReportTest, FailedWriteIsShownAndLeavesNoPartialFile) {
  using Op = FaultInjectingFileSystem::Op;
  BugReport r("Report1");
  Fill(r);
  fs_.SetFile("/old.bug", "earlier report");
  FaultInjectingFileSystem faults(&fs_);
  ScopedFileSystem scoped(&faults);
  PickerAnswers("/old.bug");
  for (Op op :
       {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename}) {
    faults.ClearFailures();
    faults.FailAt(op, 1);
    sink_.Clear();
    EXPECT_TRUE(r.Message("Write"));
    ASSERT_EQ(sink_.messages().size(), 1u);
    EXPECT_EQ(sink_.messages()[0].key, "UnableToCreateDocument");
    EXPECT_EQ(sink_.messages()[0].args, std::vector<Text>{"/old.bug"});
    EXPECT_EQ(
        fs_.Files(),
        (std::map<std::string, std::string>{{"/old.bug", "earlier report"}}));
  }
}

}  // namespace
}  // namespace pemar
