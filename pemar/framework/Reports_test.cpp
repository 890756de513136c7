#include "pemar/framework/Reports.h"

#include <gtest/gtest.h>

#include <vector>

#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/Viewable.h"

namespace pemar {
namespace {

class ReportsTest : public ::testing::Test {
 protected:
  ReportManager manager_{nullptr};
};

// No report for an empty name or from a refusing manager. A print records
// the details' sources in order, with both printing flags.
TEST_F(ReportsTest, ReportsMadeByNamePrintTheirSourcesInOrderWithBothFlags) {
  EXPECT_EQ(manager_.CreateReport(Text()), nullptr);
  manager_.SetRefuseReports(true);
  EXPECT_EQ(manager_.CreateReport("All"), nullptr);
  manager_.SetRefuseReports(false);
  Report* report = manager_.CreateReport("All");
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->GetName(), "All");
  EXPECT_EQ(report->Manager(), &manager_);
  EXPECT_TRUE(report->IsA(ReportObjectType()));
  ASSERT_EQ(manager_.CreatedReportNames().size(), 1u);
  EXPECT_EQ(manager_.Reports().size(), 1u);

  Viewable a(nullptr, ViewableObjectType());
  Viewable b(nullptr, ViewableObjectType());
  a.SetName("a");
  b.SetName("b");
  for (Viewable* source : {&b, &a, static_cast<Viewable*>(nullptr)}) {
    auto* detail = new DatasheetDetail;
    detail->SetDataSource(source);
    report->InsertDetail(detail);
  }
  report->InsertDetail(nullptr);
  EXPECT_EQ(report->DetailCount(), 3u);
  EXPECT_EQ(report->Detail(3), nullptr);

  manager_.SetPrinting(true);
  report->SetPrintFlag(true);
  report->PrintReport();
  manager_.SetPrinting(false);
  report->PrintReport();

  ASSERT_EQ(manager_.PrintedReports().size(), 2u);
  const auto& first = manager_.PrintedReports()[0];
  EXPECT_EQ(first.report, "All");
  EXPECT_TRUE(first.report_flag);
  EXPECT_TRUE(first.manager_printing);
  EXPECT_EQ(first.sources, (std::vector<const Viewable*>{&b, &a, nullptr}));
  EXPECT_EQ(first.source_names[0], "b");
  EXPECT_FALSE(manager_.PrintedReports()[1].manager_printing);
  EXPECT_EQ(report->TimesPrinted(), 2);
}

TEST_F(ReportsTest, DeadSourceAndDeadReportLeaveNothingDangling) {
  Report* report = manager_.CreateReport("R");
  Report* doomed = manager_.CreateReport("Doomed");
  auto* source = new Viewable(nullptr, ViewableObjectType());
  auto* detail = new DatasheetDetail;
  detail->SetDataSource(source);
  report->InsertDetail(detail);
  delete source;
  EXPECT_EQ(report->Detail(0)->DataSource(), nullptr);
  report->PrintReport();
  EXPECT_EQ(manager_.PrintedReports().back().sources[0], nullptr);

  delete doomed;
  ASSERT_EQ(manager_.Reports().size(), 1u);
  EXPECT_EQ(manager_.Reports()[0], report);
  // The manager destroys the report that is left (checked under ASan).
}

TEST_F(ReportsTest, ClosestTypeWithReportWalksUpTheParents) {
  ObjectTypeInfo base("ReportsTestBaseObject", ViewableObjectType(), "B", 0, 0,
                      "", kEmptyMarker);
  ObjectTypeInfo middle("ReportsTestMiddleObject", &base, "M", 0, 0, "",
                        kEmptyMarker);
  ObjectTypeInfo leaf("ReportsTestLeafObject", &middle, "L", 0, 0, "",
                      kEmptyMarker);
  EXPECT_EQ(GetClosestTypeWithReport(&leaf), nullptr);
  EXPECT_EQ(GetClosestTypeWithReport(nullptr), nullptr);
  base.SetHasReport(true);
  EXPECT_EQ(GetClosestTypeWithReport(&leaf), &base);
  middle.SetHasReport(true);
  EXPECT_EQ(GetClosestTypeWithReport(&leaf), &middle);
  leaf.SetHasReport(true);
  EXPECT_EQ(GetClosestTypeWithReport(&leaf), &leaf);
  EXPECT_FALSE(ViewableObjectType()->HasReport());
}

}  // namespace
}  // namespace pemar
