#include "pemar/reports/BugReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

VarDescription Choice(int number) {
  VarDescription desc("Choice", number);
  desc.SetType(107);
  return desc;
}

class BugReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemTexts("Debian 12", "512 MB free");
    session_.SetVersionText("2.1.7");
  }
  void TearDown() override { SetSystemTexts("", ""); }
  // The description part of the report text of `description`.
  static std::string DescriptionLines(const std::string& description) {
    BugReport r("Report1");
    r.SetDescription(description);
    const std::string text = r.ReportText();
    const std::size_t from = text.find("Description: \n") + 14;
    return text.substr(from, text.rfind("\n\n\tReproducibility") - from);
  }

  Session session_;
  ScopedSession scoped_session_{&session_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
};

// testdata/new_report.golden: the program version and system details are
// those of the moment the report was made.
TEST_F(BugReportTest, NewReportTextIsLaidOutByteForByte) {
  BugReport r("Report1");
  r.SetName("Pump trips");
  r.SetDate("12/07/26");
  r.SetReportedBy("R. Ames");
  r.SetProgramArea("Targeting");
  r.SetDescription("Open the case.\nRun the targeting.\n");
  EXPECT_TRUE(test_support::SameBytes(
      r.ReportText(),
      test_support::GoldenFile("pemar/reports/testdata/new_report.golden")));
}

// Rows (variable, value, marked character): each choice marks the blank
// between its brackets (the tab counting as character 0); a value out of
// range leaves its line unmarked (0); one an unsigned cannot hold is refused.
TEST_F(BugReportTest, EachChoiceMarksItsOwnEntry) {
  const char* const kLabels[] = {
      "\tClass:", "\tPriority:", "\tReproducibility:"};
  const unsigned kRows[][3] = {{100, 0, 14}, {100, 1, 27}, {100, 2, 0},
                               {101, 0, 14}, {101, 1, 27}, {101, 2, 46},
                               {101, 3, 0},  {102, 0, 21}, {102, 1, 34},
                               {102, 2, 50}, {102, 3, 0}};
  for (const auto& [number, value, marked] : kRows) {
    BugReport r("Report1");
    ASSERT_TRUE(r.Specify(Choice(number), value));
    EXPECT_EQ(r.Value(Choice(number)), value);
    const std::string text = r.ReportText();
    EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), marked ? 3 : 2);
    EXPECT_TRUE(!marked ||
                text[text.find(kLabels[number - 100]) + marked] == 'x')
        << text;
  }
  BugReport r("Report1");
  for (double value :
       {-1.0, -32767.0, std::nan(""), 1e300, 4294967296.0, HUGE_VAL}) {
    EXPECT_FALSE(r.Specify(Choice(101), value)) << value;
  }
  // Other numbers, and numbers of other types, are the framework's.
  EXPECT_TRUE(r.Specify(Choice(101), 2.9) && !r.Specify(Choice(103), 1.0));
  EXPECT_EQ(r.PriorityChoice(), BugReport::kLow);
  EXPECT_EQ(r.Value(VarDescription("Choice", 101)), kEmptyValue);
}

// Lines of up to 60 characters stay whole, longer ones are cut at words,
// the description ends at its first empty line, and a pass that finds only
// blanks ends its line.
TEST_F(BugReportTest, DescriptionLinesAreCutAtWordsPastSixtyCharacters) {
  const std::string a55(55, 'a'), c30(30, 'c'), w100(100, 'w');
  const std::map<std::string, std::string> rows = {
      {a55 + " bbbb", "\t\t" + a55 + " bbbb\n"},
      {a55 + " bbbbb", "\t\t" + a55 + " bbbbb \n"},
      {c30 + " " + a55 + " bbbbb", "\t\t" + c30 + " " + a55 + " \n\t\tbbbbb\n"},
      {"first\n\nthird", "\t\tfirst\n"},
      {w100 + " tail " + w100, "\t\t" + w100 + " \n\t\ttail " + w100 + " \n"},
      {"word" + std::string(80, ' '), "\t\tword \n"},
      {std::string(70, ' ') + "\nnext", "\t\tnext\n"},
      {"crlf\r\nline\r\n", "\t\tcrlf\n\t\tline\n"},
  };
  for (const auto& [description, lines] : rows) {
    EXPECT_EQ(DescriptionLines(description), lines) << description;
  }
}

// "FillEmptyEntries" gives an empty title the default name and an empty
// date today's; five texts are set and seven read.
TEST_F(BugReportTest, TextsAndEmptyEntries) {
  BugReport r("Report4");
  EXPECT_TRUE(r.Message("FillEmptyEntries"));
  EXPECT_EQ(r.GetName() + " " + r.Date(), "Report4 " + TodayDate());
  for (const char* name : {"Date", "ReportedBy", "ProgramBuildDate",
                           "ProgramArea", "StepByStepDescription"}) {
    EXPECT_TRUE(r.SpecifyText(VarDescription(name, 300), Text(name)));
    EXPECT_EQ(r.TextValue(VarDescription(name, 300)), name);
  }
  EXPECT_FALSE(r.SpecifyText(VarDescription("ProgramVersion", 300), "x"));
  EXPECT_EQ(r.TextValue(VarDescription("ProgramVersion", 1)) + " " +
                r.TextValue(VarDescription("SystemDetails", 1)),
            "2.1.7 Debian 12 512 MB free");
  EXPECT_FALSE(r.Message("Print"));
}

// Cancelling writes nothing. Whichever step of a write fails, the user is
// told with the file's name, and the file written before stays as it was.
TEST_F(BugReportTest, WriteGoesToThePickedFileOrLeavesItAsItWas) {
  using Op = FaultInjectingFileSystem::Op;
  BugReport r("Report2");
  EXPECT_TRUE(r.Message("Write"));
  EXPECT_TRUE(fs_.Files().empty());
  std::string asked;
  ScopedFilePicker picker([&](const Text& title, const Text& extension,
                              const FileFilters& f, const Text& proposed) {
    asked = title + " " + extension + " " + proposed + " " + f.at(0).first +
            "|" + f.at(0).second + " " + f.at(1).first + "|" + f.at(1).second;
    return Text("/pump.bug");
  });
  EXPECT_TRUE(r.Message("Write"));
  const std::string written = r.ReportText();
  EXPECT_EQ(asked,
            "WriteBugReportTitle BUG Report2 Problem Reports|BUG AllFiles|*");
  r.SetName("Changed");
  FaultInjectingFileSystem faults(&fs_);
  ScopedFileSystem scoped(&faults);
  for (Op op :
       {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename}) {
    faults.ClearFailures();
    faults.FailAt(op, 1);
    EXPECT_TRUE(r.Message("Write"));
    EXPECT_EQ(fs_.Files(),
              (std::map<std::string, std::string>{{"/pump.bug", written}}));
  }
  ASSERT_EQ(sink_.messages().size(), 5u);
  EXPECT_EQ(sink_.messages()[4].key + " " + sink_.messages()[4].args.at(0),
            "UnableToCreateDocument /pump.bug");
}

}  // namespace
}  // namespace pemar
