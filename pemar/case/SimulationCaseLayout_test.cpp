// The byte layout of a whole case file: header, engineering manager, object
// section and the case's class data with its pointer record, written by hand
// from docs/file-format.md ("Document files", "Case files").

#include <gtest/gtest.h>

#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/persist/testing/GoldenBytes.h"

namespace pemar {
namespace {

using test_support::SameBytes;

// Stands in for the problem-report library's manager type while it lives.
class BugReportManagerType : public ObjectTypeInfo {
 public:
  BugReportManagerType()
      : ObjectTypeInfo("BugReportManagerObject", ViewableObjectType(),
                       "BugReportManager", 0, 0, "bugmgr", kEmptyMarker) {}
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Viewable(info);
  }
};

class SimulationCaseLayoutTest : public test_support::CaseTest {
 protected:
  BugReportManagerType bug_report_type_;
};

TEST_F(SimulationCaseLayoutTest, CaseWithItsBugReportManager) {
  const std::string bytes = test_support::Bytes(
      "'PemarCaseV3.00K '"       // stamp
      "A5 5A 01 00 AE 00 00 00"  // envelope: revision 1, the rest of the file
      "A5 5A 01 00 13 00 00 00"  // fields: revision 1, 19 bytes
      "34 08 00 00"              //   saved by build 2100
      "D0 07 00 00"              //   required build 2000
      "08"                       //   structure revision
      "00 00"                    //   ask for a name
      "00 00 00 00"              //   description ""
      "00 00 00 00"              //   original name ""
      "00 00 00 00"              // zero
      "A5 5A 02 00 04 00 00 00"  // engineering manager: revision 2, 4 bytes
      "00 00 00 00"              //   no objects
      "A5 5A 01 00 7B 00 00 00"  // object section: revision 1, 123 bytes
      "02 00 00 00"              //   count
      "01 00 00 00"              //   id
      "0D 00 00 00 'SimCaseObject'"
      "00 00 00 00"         //   owner: none
      "04 00 00 00 'Case'"  //   name
      "12 00 00 00"         //   class-data version 18
      "02 00 00 00"         //   id
      "16 00 00 00 'BugReportManagerObject'"
      "01 00 00 00"  //   owner: the case
      "10 00 00 00 'BugReportManager'"
      "00 00 00 00"                //   class-data version 0
      "A5 5A 01 00 08 00 00 00"    //   the case's class data: 8 bytes
      "01 00 00 00"                //     save counter
      "02 00 00 00"                //     bug report manager: pointer to id 2
      "A5 5A 01 00 00 00 00 00");  //   the manager's class data: none
  auto stored = NewCase("stored.kcs");
  ASSERT_TRUE(stored->Message("BugReportMgr"));
  ASSERT_NE(stored->BugReportManagerObject(), nullptr);
  stored->SetModified(true);  // the save counts it
  ASSERT_TRUE(stored->SaveDocument(0));
  EXPECT_TRUE(SameBytes(Bytes("stored.kcs"), bytes));

  WriteBytes("golden.kcs", bytes);
  auto recalled = Reopen("golden.kcs");
  ASSERT_NE(recalled, nullptr);
  EXPECT_EQ(recalled->SaveCounter(), 1);
  ASSERT_NE(recalled->BugReportManagerObject(), nullptr);
  EXPECT_EQ(recalled->BugReportManagerObject()->GetName(), "BugReportManager");
  EXPECT_EQ(recalled->BugReportManagerObject()->GetOwner(), recalled.get());
  EXPECT_EQ(recalled->GetEngineeringManager()->GetProjectSize(1), 0);
}

}  // namespace
}  // namespace pemar
