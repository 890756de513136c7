#include "pemar/reports/BugReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/reports/BugReportFields.h"
#include "pemar/reports/BugReportManager.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

VarDescription Choice(int number) {
  VarDescription desc("Choice", number);
  desc.SetType(107);
  return desc;
}

// The fields of the reports of `m`, "name=text" joined by blanks, a line each.
std::string FieldsOf(const BugReportManager* m) {
  std::string all;
  for (const BugReportFieldList& fields : BugReportFieldLists(m)) {
    for (const auto& [name, text] : fields) all += name + "=" + text + " ";
    all.back() = '\n';
  }
  return all;
}

// Reports and managers made under known system texts and program version.
class BugReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemTexts("Debian 12", "512 MB free");
    session_.SetVersionText("2.1.7");
    ClearOpenedViews();
  }
  void TearDown() override { SetSystemTexts("", ""); }
  // The class data that `m` stores in type version `version`.
  std::string Stored(BugReportManager& m, int version) {
    auto* type = const_cast<ObjectTypeInfo*>(BugReportManagerObjectType());
    type->SetClassDataVersion(version);
    const std::string bytes = test_support::WrittenBytes(
        fs_, [&](BinaryFile& f) { return m.StoreClassData(f); });
    type->SetClassDataVersion(kBugReportManagerVersion);
    return bytes;
  }
  bool Recall(const std::string& bytes, int version, BugReportManager& m) {
    return test_support::ReadsAll(fs_, bytes, [&](BinaryFile& f) {
      return m.RecallClassData(f, version);
    });
  }

  Session session_;
  ScopedSession scoped_session_{&session_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  const std::string golden_ = test_support::GoldenFile(
      "pemar/reports/testdata/bug_report_manager_v1.golden");
};
using BugReportManagerTest = BugReportTest;

// "FillEmptyEntries" fills an empty title and date. Five texts are set by
// name and seven read; they make the text of testdata/new_report.golden.
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

// A choice marks its entry (character 0 the tab) and reads as its word, one
// beyond them marks nothing and reads as its number, one too large for an
// unsigned is refused. Only the exact words read as values.
TEST_F(BugReportTest, EachChoiceMarksItsOwnEntryAndReadsAsItsWord) {
  const struct {
    const char* label;
    std::vector<std::string> words;
    std::vector<std::size_t> marked;  // the character each value marks
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

// Lines of up to 60 characters stay whole, longer ones are cut at words; an
// empty line ends the description, a pass finding only blanks its line.
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
        << text;
  }
}

// Cancelling writes nothing. Whichever step of a write fails, the user is
// told with the file's name, and the file written before stays as it was.
TEST_F(BugReportTest, WriteGoesToThePickedFileOrLeavesItAsItWas) {
  using Op = FaultInjectingFileSystem::Op;
  BugReport r("Report2");
  EXPECT_TRUE(r.Message("Write") && fs_.Files().empty());
  ScopedFilePicker picker([](const Text& title, const Text& extension,
                             const FileFilters& filters, const Text& proposed) {
    EXPECT_EQ(title + " " + extension + " " + proposed,
              "Write Problem Report BUG Report2");
    EXPECT_EQ(filters,
              (FileFilters{{"Problem Reports", "BUG"}, {"All files", "*"}}));
    return Text("/pump.bug");
  });
  EXPECT_TRUE(r.Message("Write"));
  const std::string written = r.ReportText();
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

// New reports are numbered after the count; a deleted one leaves the list.
TEST_F(BugReportManagerTest, ReportsAreListedReachedAndNamedByPosition) {
  BugReportManager m(nullptr);
  EXPECT_TRUE(m.Message("NewBugReport"));
  EXPECT_EQ(OpenedViews(), std::vector<Text>{"BugReportObject"});
  delete m.NewReport();
  BugReport* second = m.NewReport();
  EXPECT_EQ(second->DefaultName() + second->GetName(), "Report2");
  VarDescription reports("BugReport", 200);
  DimInfo dims;
  EXPECT_TRUE(m.Dimensions(reports, dims) && dims.Dim(0) == 2);
  reports.position = 1;
  EXPECT_EQ(m.AttachedObject(reports), second);
  EXPECT_EQ(m.AttachedName(second), "BugReport.200.1");
  for (const char* outside :
       {"BugReport.200.2", "BugReport.200.-1", "BugReport.200",
        "BugReport.200.0/Viewable.600.(X)", "Viewable.200.0"}) {
    EXPECT_TRUE(VarDescription::Parse(outside, &reports)) << outside;
    EXPECT_EQ(m.AttachedObject(reports), nullptr) << outside;
  }
}

// testdata/bug_report_manager_v1.golden both ways, with program version and
// system details of a new report; version 2 filled and read back. Cuts fail
// keeping whole reports, flips never crash, a count too large makes nothing.
TEST_F(BugReportManagerTest, StoredVersionsReadBackAndDamageFails) {
  session_.SetVersionText("1.0");
  BugReportManager stored(nullptr);
  ASSERT_TRUE(Recall(golden_, 1, stored));
  const std::string program =
      " program_version=1.0 system_details=Debian 12 512 MB free ";
  EXPECT_EQ(FieldsOf(&stored),
            "title=Pump trips date=12/07/26 reported_by=R. Ames" + program +
                "program_build_date=11/30/26 program_area=Targeting "
                "class=enhancement priority=high reproducibility=never "
                "description=Open.\nRun.\n\n"
                "title=Report2 date=12/08/26 reported_by=" +
                program +
                "program_build_date= program_area= class=bug priority=medium "
                "reproducibility=always description=\n");
  EXPECT_TRUE(test_support::SameBytes(Stored(stored, 1), golden_));
  EXPECT_EQ(FieldsOf(nullptr), "");
  BugReport* second = stored.Reports().at(1);
  second->SetName("");
  second->SetDate("");
  second->SetPriorityChoice(7);
  const std::string version2 = Stored(stored, 2);
  EXPECT_EQ(second->GetName() + " " + second->Date(),
            "Report2 " + TodayDate());  // filled in
  session_.SetVersionText("2.0");
  BugReportManager recalled(nullptr);
  ASSERT_TRUE(Recall(version2, 2, recalled));
  EXPECT_EQ(FieldsOf(&recalled), FieldsOf(&stored));
  EXPECT_NE(FieldsOf(&recalled).find(" priority=7 "), std::string::npos);

  for (const auto& [version, bytes] : {std::pair{2, version2}, {1, golden_}}) {
    const std::size_t start = bytes.find("Report2") - 4;  // its title's length
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      BugReportManager cut(nullptr), flipped(nullptr);
      EXPECT_FALSE(Recall(bytes.substr(0, i), version, cut)) << i;
      EXPECT_EQ(cut.Reports().size(), i >= start ? 1u : 0u) << i;
      std::string bad = bytes;
      bad[i] = static_cast<char>(bad[i] ^ 0xFF);
      Recall(bad, version, flipped);
    }
  }
  BugReportManager m(nullptr);
  EXPECT_FALSE(
      Recall(std::string("\xff\xff\xff\x0f", 4) + std::string(40, 0), 2, m) ||
      !m.Reports().empty());
}

}  // namespace
}  // namespace pemar
