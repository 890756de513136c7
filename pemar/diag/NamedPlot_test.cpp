#include "pemar/diag/NamedPlot.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar {
namespace {

class NamedPlotTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
  Document document_{nullptr, DocumentObjectType()};
  SaturationCurve* curve_ = new SaturationCurve(&document_);
};

TEST_F(NamedPlotTest, RecalledWithoutAPlotDoesNothingAndAnswersFalse) {
  // A damaged file may give a type without its plot: both references null.
  for (PlotTypeEnum type : {kTwoDimPlotType, kEquTriPlotType}) {
    SCOPED_TRACE(type);
    std::string bytes(8, '\0');
    bytes += std::string(1, static_cast<char>(type)) + std::string(7, '\0');
    ObjectInstanceInfo info(curve_, "", NamedPlotObjectType());
    NamedPlot plot(info);
    NamedPlotObjectType()->SetRecalledClassDataVersion(1);
    ASSERT_TRUE(test_support::RecallClassDataFromBytes(fs_, plot, bytes));
    EXPECT_EQ(plot.GetPlotType(), type);
    plot.SetTitle("t");
    plot.SetLabel("a", "b", "c");
    plot.SetLogAxis(true, true);
    plot.AddDataSet(1, "a.1.[]", "b.1.[]", "l", GetColourID(0), 101, true);
    plot.AddArrowDataSet(2, "a.1.[]", "b.1.[]", GetColourID(0), true);
    plot.AddMouseMoniker("x.1", "y.1");
    EXPECT_FALSE(plot.GetXLogAxis() || plot.GetYLogAxis());
  }
}

TEST_F(NamedPlotTest, EachTypeOwnsItsKindOfPlotOrNone) {
  const struct {
    PlotTypeEnum type;
    const ObjectTypeInfo* plot_type;
  } kTypes[] = {{kTwoDimPlotType, TwoDimPlotType()},
                {kThreeDimPlotType, nullptr},
                {kEquTriPlotType, EquTriDimPlotType()},
                {7, nullptr}};
  for (const auto& t : kTypes) {
    SCOPED_TRACE(t.type);
    auto* named = new NamedPlot(curve_, t.type, "Curve");
    EXPECT_EQ(named->GetPlotType(), t.type);
    EXPECT_EQ(named->GetPlotName(), "Curve");
    PlotObject* plot = named->GetPlotObject();
    ASSERT_EQ(plot != nullptr, t.plot_type != nullptr);
    if (plot == nullptr) {
      delete named;
      continue;
    }
    EXPECT_TRUE(plot->IsA(t.plot_type));
    EXPECT_EQ(plot->GetOwner(), curve_);
    delete named;  // and its plot, which the sanitizers would see leak
  }
}

TEST_F(NamedPlotTest, LabelsAndLogAxesReachThePlot) {
  NamedPlot two(curve_, kTwoDimPlotType, "p");
  two.SetTitle("Saturation");
  two.SetLabel("T", "p", "unused");
  two.SetLogAxis(false, true);
  PlotObject* plot = two.GetPlotObject();
  EXPECT_EQ(plot->Title(), "Saturation");
  EXPECT_TRUE(plot->Axis(1)->label_visible);
  EXPECT_TRUE(!two.GetXLogAxis() && two.GetYLogAxis());
}

TEST_F(NamedPlotTest, DataSetsFollowLinesSymbolsAndLabels) {
  NamedPlot named(curve_, kTwoDimPlotType, "p");
  PlotDataArea& area = named.GetPlotObject()->DataArea();
  named.AddDataSet(1, "Temperature.300.[]", "Pressure.300.[]", "",
                   GetColourID(1), kNoSymbol, true);
  named.AddDataSet(1, "x.1", "y.1", "again", GetColourID(2), 101, false);
  named.AddDataSet(2, "x.1", "y.1", "none", GetColourID(2), kNoSymbol, false);
  named.AddDataSet(3, "Temperature.300.[]", "Pressure.300.[]", "dots",
                   GetColourID(3), 104, false);
  ASSERT_EQ(area.Count(), 2u);
  const PlotDataSet* line = area.Find(1);
  EXPECT_EQ(line->kind, DataSetKind::kLine);
  // No symbols, and out of the legend without a label.
  EXPECT_FALSE(line->show_symbols || line->show_in_legend);
  EXPECT_EQ(area.Find(3)->kind, DataSetKind::kPoint);
  EXPECT_TRUE(area.Find(3)->show_in_legend);
  named.AddArrowDataSet(4, "x.1", "y.1", GetColourID(0), true);  // 2D: none
  named.RemoveDataSet(1);
  EXPECT_EQ(area.Count(), 1u);
  named.RemoveAllDataSets();
  EXPECT_EQ(area.Count(), 0u);
}

TEST_F(NamedPlotTest, TriangleTakesArrowsAndMouseMonikers) {
  NamedPlot named(curve_, kEquTriPlotType, "t");
  named.AddArrowDataSet(9, "a.1.[]", "b.1.[]", GetColourID(4), false);
  named.AddMouseMoniker(":ExtraData.510", ":ExtraData.511");
  auto* plot = dynamic_cast<EquTriDimPlot*>(named.GetPlotObject());
  const PlotDataSet* arrow = plot->DataArea().Find(9);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->kind, DataSetKind::kArrow);
  EXPECT_FALSE(arrow->show_line || arrow->show_in_legend);
  EXPECT_EQ(plot->MouseYMoniker(), ":ExtraData.511");
}

TEST_F(NamedPlotTest, SetToBeDeletedMessageWhateverFollows) {
  NamedPlot named(curve_, kTwoDimPlotType, "p");
  EXPECT_EQ(named.Message("Other"), 0);
  EXPECT_FALSE(named.IsToBeDeleted());
  EXPECT_EQ(named.Message("SetToBeDeletedTrue now 1 2"), 1);
  EXPECT_TRUE(named.IsToBeDeleted());
  EXPECT_FALSE(NamedPlotObjectType()->CheckRecalledPointers(&named));
}

// A document holding a saturation curve and a named plot of it stores the
// bytes of testdata/named_plot_document.golden (written from
// docs/file-format.md), which recall as that curve and plot.
TEST_F(NamedPlotTest, DocumentWithANamedPlotHasTheDocumentedLayout) {
  ASSERT_TRUE(curve_->SetRange(280.0, 640.0, 10));
  auto* named = new NamedPlot(curve_, kTwoDimPlotType, "Saturation");
  named->SetLabel("T", "p", "");
  named->SetLogAxis(false, true);
  named->AddDataSet(1, "Temperature.300.[]", "Pressure.300.[]", "p sat",
                    GetColourID(2), 101, true);
  document_.SetFileName("/plots.doc");
  ASSERT_TRUE(document_.SaveDocument(0));
  const std::string golden = test_support::GoldenFile(
      "pemar/diag/testdata/named_plot_document.golden");
  EXPECT_TRUE(test_support::SameBytes(fs_.GetFile("/plots.doc"), golden));

  fs_.SetFile("/golden.doc", golden);
  Document again(nullptr, DocumentObjectType());
  ASSERT_TRUE(again.RecallDocument(FileName(Text("/golden.doc"))));
  auto curves = again.GetObjectManager().Objects(SaturationCurveObjectType());
  ASSERT_EQ(curves.size(), 1u);
  auto* curve = dynamic_cast<SaturationCurve*>(curves[0]);
  EXPECT_EQ(curve->From(), 280.0);
  EXPECT_EQ(curve->To(), 640.0);
  auto found = again.GetObjectManager().Objects(NamedPlotObjectType());
  ASSERT_EQ(found.size(), 1u);
  auto* recalled = dynamic_cast<NamedPlot*>(found[0]);
  EXPECT_EQ(recalled->GetPlotName(), "Saturation");
  ASSERT_NE(recalled->GetPlotObject(), nullptr);
  EXPECT_TRUE(recalled->GetYLogAxis());
  EXPECT_EQ(recalled->GetPlotObject()->DataArea().At(0),
            named->GetPlotObject()->DataArea().At(0));
  const auto points = recalled->GetPlotObject()->Points(1);
  ASSERT_EQ(points.size(), 10u);
  EXPECT_EQ(points[9].x, 640.0);
  EXPECT_EQ(points[9].y, curve->Pressure(9));
}

}  // namespace
}  // namespace pemar
