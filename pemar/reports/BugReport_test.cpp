#include "pemar/reports/BugReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/reports/BugReportFields.h"
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

  Session session_;
  ScopedSession scoped_session_{&session_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
};

// "FillEmptyEntries" gives an empty title the default name and an empty date
// today's. Five texts are set by name and seven read; with the program
// version and system details of the moment the report was made they give the
// text of testdata/new_report.golden.
TEST_F(BugReportTest, TextsByNameMakeTheReportTextByteForByte) {
  BugReport r("Report4");
  EXPECT_TRUE(r.Message("FillEmptyEntries"));
  EXPECT_EQ(r.GetName() + " " + r.Date(), "Report4 " + TodayDate());
  r.SetName("Pump trips");
  const std::pair<const char*, const char*> texts[] = {
      {"Date", "12/07/26"},
      {"ReportedBy", "R. Ames"},
      {"ProgramBuildDate", "11/30/26"},
      {"ProgramArea", "Targeting"},
      {"StepByStepDescription", "Open the case.\nRun the targeting.\n"}};
  for (const auto& [name, text] : texts) {
    EXPECT_TRUE(r.SpecifyText(VarDescription(name, 300), text));
    EXPECT_EQ(r.TextValue(VarDescription(name, 300)), text);
  }
  EXPECT_FALSE(r.SpecifyText(VarDescription("ProgramVersion", 300), "x"));
  EXPECT_EQ(r.TextValue(VarDescription("ProgramVersion", 1)) + " " +
                r.TextValue(VarDescription("SystemDetails", 1)),
            "2.1.7 Debian 12 512 MB free");
  EXPECT_FALSE(r.Message("Print"));
  EXPECT_TRUE(test_support::SameBytes(
      r.ReportText(),
      test_support::GoldenFile("pemar/reports/testdata/new_report.golden")));
}

// Each choice (variables 100 to 102) marks the blank between the brackets of
// its entry, the tab counting as character 0, and reads as its word. A value
// beyond the entries is kept, marks nothing and reads as its number; one an
// unsigned cannot hold is refused. Only the exact words read as values.
TEST_F(BugReportTest, EachChoiceMarksItsOwnEntryAndReadsAsItsWord) {
  const struct {
    const char* label;
    std::vector<std::string> words;
    std::vector<std::size_t> marked;
  } kChoices[] = {
      {"\tClass:", {"bug", "enhancement"}, {14, 27}},
      {"\tPriority:", {"high", "medium", "low"}, {14, 27, 46}},
      {"\tReproducibility:", {"always", "sometimes", "never"}, {21, 34, 50}}};
  for (int c = 0; c < 3; ++c) {
    const auto& [label, words, marked] = kChoices[c];
    const auto choice = static_cast<BugReportChoice>(c);
    EXPECT_EQ(BugReportChoiceWords(choice), words);
    for (unsigned value = 0; value <= words.size(); ++value) {
      BugReport r("Report1");
      ASSERT_TRUE(r.Specify(Choice(100 + c), value));
      EXPECT_EQ(r.Value(Choice(100 + c)), value);
      const std::string text = r.ReportText();
      const bool listed = value < words.size();
      EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), listed ? 3 : 2);
      EXPECT_TRUE(!listed || text[text.find(label) + marked[value]] == 'x')
          << text;
      const std::string word = listed ? words[value] : std::to_string(value);
      EXPECT_EQ(BugReportChoiceWord(choice, value), word);
      EXPECT_EQ(BugReportChoiceValue(choice, word),
                listed ? std::optional(value) : std::nullopt);
    }
    EXPECT_EQ(BugReportChoiceWord(choice, 4294967295u), "4294967295");
    for (const char* other : {"", "Bug", "High ", "urgent", "0"})
      EXPECT_EQ(BugReportChoiceValue(choice, other), std::nullopt) << other;
  }
  BugReport r("Report1");
  for (double value :
       {-1.0, -32767.0, std::nan(""), 1e300, 4294967296.0, HUGE_VAL})
    EXPECT_FALSE(r.Specify(Choice(101), value)) << value;
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
    BugReport r("Report1");
    r.SetDescription(description);
    const std::string text = r.ReportText();
    EXPECT_NE(text.find("Description: \n" + lines + "\n\n\tReproducibility"),
              std::string::npos)
        << description << "\n"
        << text;
  }
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
