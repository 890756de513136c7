#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Reports.h"
#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

VarDescription Var(const char* name, int index = 0, int number = 300) {
  VarDescription desc(name, number);
  desc.SetIndex(index);
  return desc;
}

VarDescription Typed(int type, int number) {
  VarDescription desc("Typed", number);
  desc.SetType(type);
  return desc;
}

class CaseCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommandLine("pemar_tests");
    ClearOpenedViews();
    // The saved filter is one slot for the whole process: put its start
    // value back, and leave this case's filter unknown as in a new case.
    case_.Message("PushFindFilter ViewableObject");
    case_.Message("PushFindFilter NoSuchType");
  }
  void TearDown() override {
    SetCommandLine(Text());
    Document::SetUnhandledMessageResult(0);
  }

  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  SimulationCase case_{Text("SIM"), nullptr};
};

TEST_F(CaseCommandsTest, SavedFilterIsOneSlotNotAStack) {
  SimulationCase fresh(Text(), nullptr);
  EXPECT_TRUE(fresh.Message("PopFindFilter"));  // before any push
  EXPECT_EQ(fresh.FindFilter(), ViewableObjectType());
  for (const auto& [command, filter] :
       {std::pair{"PushFindFilter DocumentObject", DocumentObjectType()},
        {"PushFindFilter SimCaseObject", SimCaseObjectType()},
        {"PopFindFilter", DocumentObjectType()},
        {"PopFindFilter", DocumentObjectType()}}) {
    EXPECT_TRUE(case_.Message(command));
    EXPECT_EQ(case_.FindFilter(), filter) << command;
  }
}

TEST_F(CaseCommandsTest, CommandsAndTheirResults) {
  case_.SetEnvironmentNumber(1);
  EXPECT_TRUE(case_.Message("EnterBuild"));
  EXPECT_EQ(case_.EnvironmentNumber(), 1);
  EXPECT_TRUE(case_.Message("EnterBasis"));
  EXPECT_EQ(case_.EnvironmentNumber(), 2);
  EXPECT_EQ(case_.Value(Typed(104, 303)), 0.0);
  EXPECT_TRUE(case_.Message("EnterBuild"));
  EXPECT_EQ(case_.EnvironmentNumber(), 1);
  EXPECT_EQ(case_.Value(Typed(104, 303)), 1.0);

  EXPECT_TRUE(case_.Message("CaseInfo"));
  EXPECT_EQ(OpenedViews().size(), 1u);
  // The problem-report manager is not loaded in this program.
  EXPECT_TRUE(case_.Message("BugReportMgr"));
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "BugReportMgrNotAvailable"));
  EXPECT_EQ(case_.BugReportManagerObject(), nullptr);

  Document::SetUnhandledMessageResult(7);
  EXPECT_EQ(case_.Message("NoSuchCommand with words"), 7);
  Document::SetUnhandledMessageResult(0);
  EXPECT_EQ(case_.Message(""), 0);
}

// Without a report (no name, or the manager refuses) nothing is printed.
TEST_F(CaseCommandsTest, AllViewableReportsShowsObjectsWhoseTypeHasAReport) {
  static ObjectTypeInfo* reported = [] {
    auto* type = new ObjectTypeInfo("TestReportedObject", ViewableObjectType(),
                                    "Reported", 0, 0, "rep", kEmptyMarker);
    type->SetHasReport(true);
    return type;
  }();
  Viewable shown(&case_, reported);
  Viewable hidden(&case_, ViewableObjectType());
  ReportManager* reports = case_.GetReportManager();
  EXPECT_TRUE(case_.Message("AllViewableReports"));
  reports->SetRefuseReports(true);
  EXPECT_TRUE(case_.Message("AllViewableReports Everything"));
  EXPECT_TRUE(reports->PrintedReports().empty());
  reports->SetRefuseReports(false);
  EXPECT_TRUE(case_.Message("AllViewableReports Everything"));
  ASSERT_EQ(reports->PrintedReports().size(), 1u);
  const ReportManager::PrintRecord& print = reports->PrintedReports()[0];
  EXPECT_EQ(print.report, "Everything");
  EXPECT_TRUE(print.report_flag);
  EXPECT_TRUE(print.manager_printing);
  EXPECT_EQ(print.sources, std::vector<const Viewable*>{&shown});
  EXPECT_FALSE(reports->IsPrinting());
}

TEST_F(CaseCommandsTest, TextVariables) {
  case_.StatusLists().push_back(
      {StatusInfo{"Own text", "", 1}, StatusInfo{"", "KeyedStatus", 2}});
  case_.StatusLists().push_back({StatusInfo{"Second list", "", 3}});
  EXPECT_TRUE(case_.SpecifyText(Var("Description"), "Debottleneck"));
  EXPECT_EQ(case_.CaseFileHeader()->Description(), "Debottleneck");
  case_.SetFileName("/tmp/folder/plant.kcs");
  struct Row {
    const char* command;  // sent before the variable is read
    const char* name;
    int index;
    Text expected;
  };
  const Row rows[] = {
      {"", "StatusDescription", 0, "Own text"},
      {"", "StatusDescription", 1, FindString("KeyedStatus")},
      {"", "StatusDescription", 2, "Second list"},
      {"", "StatusLevel", 2, FindString("status3")},
      {"", "Description", 0, "Debottleneck"},
      {"", "TemplatePageTabs", 1, FindString("TPLVariables")},
      {"", "TemplatePageTabs", 2, FindString("TPLInitialWizardView")},
      {"", "TemplatePageTabs", 7, FindString("TPLConnections")},
      {"", "CaseFileName", 0, "plant.kcs"},
      {"", "FilterType", 0, FindString("LogicalTypeLabel")},
      {"PushFindFilter SimCaseObject", "FilterType", 0, "Cases"},
      {"PushFindFilter SimulationObjectObject", "FilterType", 0,
       "Simulation Objects"},
  };
  for (const Row& row : rows) {
    if (*row.command) case_.Message(row.command);
    EXPECT_EQ(case_.TextValue(Var(row.name, row.index)), row.expected)
        << row.name << "[" << row.index << "]";
  }
  for (int index : {-1, 3, 1000}) {
    EXPECT_EQ(case_.TextValue(Var("StatusDescription", index)), "");
    EXPECT_EQ(case_.TextValue(Var("StatusLevel", index)), "");
  }
  DimInfo dims;
  EXPECT_TRUE(case_.Dimensions(Var("FlowSheetObject"), dims));
  EXPECT_EQ(dims.Dim(0), 3);
  EXPECT_TRUE(case_.SpecifyText(Typed(1519, 306), "notes"));
  EXPECT_EQ(case_.FreeText(), "notes");
}

TEST_F(CaseCommandsTest, ObjectTypeVariable) {
  // An unknown type asks the user to pick one.
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), 0.0));
  EXPECT_EQ(OpenedViews(), std::vector<Text>{"FindObjectTypeView"});
  EXPECT_EQ(case_.Value(Var("ObjectType", 0)), 0.0);
  case_.Message("PushFindFilter SimCaseObject");
  double encoded = case_.Value(Var("ObjectType", 1));
  EXPECT_GT(encoded, 0.0);
  // A known type resets the filter from the default, which is unknown.
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), encoded));
  EXPECT_EQ(case_.FindFilter(), nullptr);
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), -1e300));
  EXPECT_EQ(case_.Value(Typed(106, 300)), 0.0);
}

TEST_F(CaseCommandsTest, OpenPromptFollowsTheMode) {
  FNPromptStruct main;
  case_.GetOpenFilenamePrompt(main);
  EXPECT_EQ(main.mode, 5);
  EXPECT_EQ(main.default_type, "SIM");
  EXPECT_EQ(main.title, FindString("ZENTRIKOpenTitle"));
  ASSERT_EQ(main.filters.size(), 4u);
  EXPECT_EQ(main.filters[3].second, "PLEXA");
  ASSERT_NE(main.header_maker, nullptr);
  std::unique_ptr<PackedBinaryFileHeader> header(main.header_maker());
  char stamp[16];
  header->GetIDStamp(stamp);
  EXPECT_EQ(std::string(stamp, 16), "PemarCaseV3.00K ");

  SetCommandLine("app -molara3 -frakto");
  FNPromptStruct column, save, tpl;
  case_.GetOpenFilenamePrompt(column);
  EXPECT_EQ(column.default_type, "FRAKTO");
  ASSERT_EQ(column.filters.size(), 4u);
  EXPECT_EQ(column.filters[1].second, "MOLARA");
  case_.GetSaveAsFilenamePrompt(save);
  EXPECT_EQ(save.mode, 53);
  EXPECT_EQ(save.title, FindString("FRAKTOSaveTitle"));
  EXPECT_EQ(save.filters.size(), 1u);
  tpl.default_type = "TPL";
  case_.GetOpenFilenamePrompt(tpl);
  EXPECT_EQ(tpl.default_type, "TPL");
  ASSERT_EQ(tpl.filters.size(), 2u);
  EXPECT_EQ(tpl.filters[1].second, "*");
}

}  // namespace
}  // namespace pemar
