#include "pemar/diag/PlotView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pemar/diag/PlotDescription.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/ViewLog.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar {
namespace {

using test_support::GoldenFile;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

const ObjectTypeInfo* RefusingOwnerType();

// An owner that counts its commands and refuses to attach plot views.
class RefusingOwner : public Viewable {
 public:
  explicit RefusingOwner(Viewable* owner)
      : Viewable(owner, RefusingOwnerType()) {}
  explicit RefusingOwner(ObjectInstanceInfo& info) : Viewable(info) {}
  int Message(const Text& command) override {
    commands.push_back(command);
    return 1;
  }
  std::vector<Text> commands;
};

const ObjectTypeInfo* RefusingOwnerType() {
  struct InfoT : ObjectTypeInfo {
    using ObjectTypeInfo::ObjectTypeInfo;
    Viewable* CreateInstanceForRecall(ObjectInstanceInfo& i) const override {
      return new RefusingOwner(i);
    }
  };
  static auto* type = new InfoT("RefusingOwnerObject", ViewableObjectType(),
                                "RefusingOwner", 0, 0, "", -32767);
  return type;
}

std::string Golden(int version) {
  static const char* const kFiles[] = {"",
                                       "v1_triangle",
                                       "v2_two_dim",
                                       "v3_two_dim",
                                       "v4_triangle",
                                       "v5_triangle",
                                       "v6_three_dim",
                                       "v7_three_dim"};
  return GoldenFile(std::string("pemar/diag/testdata/plot_view_") +
                    kFiles[version] + ".golden");
}

class PlotViewTest : public ::testing::Test {
 protected:
  // A view that a recall fills, in the curve.
  PlotView* RecalledView() {
    ObjectInstanceInfo info(curve_, "", PlotViewObjectType());
    return new PlotView(info);
  }
  bool Recall(PlotView& view, const std::string& bytes, int version) {
    PlotViewObjectType()->SetRecalledClassDataVersion(version);
    return test_support::RecallClassDataFromBytes(fs_, view, bytes);
  }
  // Saves the document and reads it into `again`.
  void Reopen(Document& again) {
    document_.SetFileName("/plots.doc");
    ASSERT_TRUE(document_.SaveDocument(0));
    ASSERT_TRUE(again.RecallDocument(FileName(Text("/plots.doc"))));
  }
  static PlotView* OnlyView(Document& document) {
    auto views = document.GetObjectManager().Objects(PlotViewObjectType());
    return views.size() == 1 ? dynamic_cast<PlotView*>(views[0]) : nullptr;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
  Document document_{nullptr, DocumentObjectType()};
  SaturationCurve* curve_ = new SaturationCurve(&document_);
};

TEST_F(PlotViewTest, TruncatedClassDataFailsRecallAndKeepsTheView) {
  for (int version = 1; version <= kPlotViewVersion; ++version) {
    const std::string bytes = Golden(version);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      PlotView* view = RecalledView();
      const std::string before = DescribePlotView(*view);
      EXPECT_FALSE(Recall(*view, bytes.substr(0, n), version))
          << "version " << version << ", " << n << " bytes";
      EXPECT_EQ(DescribePlotView(*view), before);
      delete view;
    }
  }
}

TEST_F(PlotViewTest, RecalledValuesOutsideTheirRangesAreMadeSafe) {
  std::string bytes = Golden(1);
  bytes[17] = 9;  // the first axis-order value
  PlotView* view = RecalledView();
  ASSERT_TRUE(Recall(*view, bytes, 1));
  EXPECT_EQ(view->AxisOrder(), (std::vector<int>{0, 1, 2}));
  bytes = Golden(5);
  bytes[0] = 7;  // a plot type without labels or plot
  ASSERT_TRUE(Recall(*view, bytes, 5));
  view->SetLabel(0, "z");
  EXPECT_EQ(view->TextValue(VarDescription("Label", 300)), "");
  EXPECT_EQ(view->ConstructPlot(), nullptr);
  delete view;
}

TEST_F(PlotViewTest, EveryVersionReadsWhatItHolds) {
  // Labels and axis order joined, state, delete disabled, 2D parameters.
  const struct {
    int version;
    PlotTypeEnum type;
    const char *labels, *order;
    int state;
    bool delete_disabled, parameters;
  } kVersions[] = {{1, 2, "A|B|C|", "201", 5, true, false},
                   {2, 0, "T|p|", "", 10, true, true},
                   {3, 0, "T|p|", "", 10, true, true},
                   {4, 2, "A|B|C|", "012", 10, false, false},
                   {5, 2, "|||", "012", 10, true, false},
                   {6, 1, "x|y|z|w|", "0123", 10, false, false},
                   {7, 1, "x|y|z|w|", "0123", 10, true, false}};
  for (const auto& v : kVersions) {
    SCOPED_TRACE(v.version);
    PlotView* view = RecalledView();
    PlotViewObjectType()->SetRecalledClassDataVersion(v.version);
    EXPECT_TRUE(ReadsAll(fs_, Golden(v.version), [&](BinaryFile& f) {
      return view->RecallClassData(f) != 0;
    }));
    std::string labels, order;
    for (int i = 0; i < view->LabelCount(); ++i) {
      labels += view->GetLabel(i).str() + "|";
    }
    for (int axis : view->AxisOrder()) order += std::to_string(axis);
    EXPECT_EQ(view->GetPlotType(), v.type);
    EXPECT_EQ(labels, v.labels);
    EXPECT_EQ(order, v.order);
    EXPECT_EQ(view->StoredState(), v.state);
    EXPECT_EQ(view->IsDeleteDisabled(), v.delete_disabled);
    EXPECT_EQ(view->GetParameters(0) != nullptr, v.parameters);
    delete view;
  }
}

TEST_F(PlotViewTest, StoresTheCurrentVersion) {
  PlotView view(nullptr);
  view.SetPlot(kThreeDimPlotType);
  delete view.GetPlotObject();  // the view forgets it
  view.SetSecondName("Run 2");
  for (int i = 0; i < 4; ++i) view.SetLabel(i, std::string(1, "xyzw"[i]));
  auto* record = new PlottedDataSet(7, "Path");
  record->SetDataColour(GetColourID(0));
  for (int i = 0; i < 3; ++i) {
    record->AddMoniker(i, std::string(1, "abc"[i]) + ".300.[]");
  }
  view.AddDataSet(record);
  const std::string bytes = WrittenBytes(
      fs_, [&](BinaryFile& file) { return view.StoreClassData(file) != 0; });
  EXPECT_TRUE(SameBytes(bytes, Golden(7)));
}

TEST_F(PlotViewTest, LabelIndexesOutsideTheTypeAreIgnored) {
  PlotView view(curve_);
  view.SetPlot(kTwoDimPlotType);
  view.SetLabel(2, "z");
  view.SetLabel(-1, "z");
  EXPECT_EQ(view.LabelCount(), 2);
  VarDescription label("Label", 300);
  for (int i : {-1, 2, 99}) {
    label.SetIndex(i);
    EXPECT_EQ(view.TextValue(label), "") << i;
  }
  view.SetLabel(1, "p / kPa");
  label.SetIndex(1);
  EXPECT_EQ(view.TextValue(label), "p / kPa");
  EXPECT_EQ(view.GetPlotObject()->Axis(1)->label, "p / kPa");
}

TEST_F(PlotViewTest, ViewWithoutOwnerOrPlotAnswersSafely) {
  PlotView* view = RecalledView();
  view->SetName("Lonely");
  EXPECT_EQ(view->Message("ChangeTriangleType"), 1);
  view->CallCalculate();
  VarDescription form("Viewable", 399);
  form.SetType(104);
  EXPECT_EQ(view->Value(form), 0.0);
  EXPECT_EQ(view->TextValue(VarDescription("Name", 200)), "Lonely");
  view->ToggleIntersection();
  delete view;
}

TEST_F(PlotViewTest, SetPlotMakesLabelsAxisOrderAndPlotOfEachType) {
  const struct {
    PlotTypeEnum type;
    int labels;
    std::vector<int> order;
    const ObjectTypeInfo* plot;
    const char* format;
  } kTypes[] = {{0, 2, {}, TwoDimPlotType(), "%.2g"},
                {1, 4, {0, 1, 2, 3}, ThreeDimPlotType(), "%.1g"},
                {2, 3, {0, 1, 2}, EquTriDimPlotType(), "%.1g"}};
  for (const auto& t : kTypes) {
    SCOPED_TRACE(t.type);
    PlotView view(curve_);
    view.SetName("Curve");
    view.SetMappingStyle(ScaleMapping::kLogarithmic);
    PlotObject* plot = view.SetPlot(t.type);
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(view.LabelCount(), t.labels);
    EXPECT_EQ(view.AxisOrder(), t.order);
    EXPECT_TRUE(plot->IsA(t.plot));
    EXPECT_EQ(plot->Title(), "Curve");
    EXPECT_EQ(plot->Axis(0)->number_format, t.format);
    EXPECT_EQ(plot->MappingStyle(), ScaleMapping::kLogarithmic);
    MessageInfo info{6, nullptr};
    EXPECT_TRUE(view.GenMessage(info) && info.object == plot);
    EXPECT_EQ(view.SetPlot(5), nullptr);  // deletes the plot
  }
}

TEST_F(PlotViewTest, RecordsBecomeDataSetsByKindAndPlot) {
  for (PlotTypeEnum type : {kTwoDimPlotType, kEquTriPlotType}) {
    SCOPED_TRACE(type);
    PlotView view(curve_);
    PlotDataArea& area = view.SetPlot(type)->DataArea();
    for (int id = 1; id <= 4; ++id) {
      auto* r = new PlottedDataSet(id, "r");
      for (int i = 0; i < 3; ++i) r->AddMoniker(i, "Pressure.300.[]");
      r->SetLine(2, 3.0, id == 1);      // 1: a line without symbols
      r->SetSymbol(104, 2.5, id == 2);  // 2: points
      if (id == 3) r->SetArrow(4.0);    // 3: an arrow; 4: nothing
      view.AddDataSet(r);
    }
    const bool triangle = type == kEquTriPlotType;
    ASSERT_EQ(area.Count(), triangle ? 3u : 2u);
    const PlotDataSet& line = *area.Find(1);
    EXPECT_EQ(line.kind, DataSetKind::kLine);
    EXPECT_EQ(line.symbol, kNoSymbol);
    EXPECT_EQ(line.line_width, triangle ? 3 : 0);
    EXPECT_EQ(area.Find(2)->kind, DataSetKind::kPoint);
    EXPECT_EQ(area.Find(2)->monikers.size(), triangle ? 3u : 2u);
    EXPECT_EQ(area.Find(2)->symbol_size, triangle ? 2.5 : 1.0);
    view.RemoveDataSet(2);
    EXPECT_EQ(area.Find(2), nullptr);
    view.RemoveAllDataSets();
    EXPECT_EQ(area.Count(), 0u);
  }
}

TEST_F(PlotViewTest, ToggleSwapsProfileEndingsAndSkipsEmptyMonikers) {
  PlotView view(curve_);
  view.SetPlot(kEquTriPlotType);
  auto* r = new PlottedDataSet(110, "profile");
  r->AddMoniker(0, "a0");
  r->AddMoniker(2, "b1");
  auto* other = new PlottedDataSet(109, "kept");
  other->AddMoniker(0, "c0");
  view.AddDataSet(r);
  view.AddDataSet(other);
  EXPECT_EQ(view.GetPlotObject()->InspectionEvents().size(), 2u);
  view.ToggleIntersection();
  EXPECT_EQ(r->GetMoniker(0) + r->GetMoniker(1) + r->GetMoniker(2), "a1b0");
  EXPECT_EQ(other->GetMoniker(0), "c0");
  EXPECT_EQ(view.GetPlotObject()->DataArea().Find(110)->monikers[0], "a1");
  // The interaction object toggles back on events 21 and 22.
  auto* triangle = dynamic_cast<EquTriDimPlot*>(view.GetPlotObject());
  EXPECT_TRUE(triangle->TriggerEvent(22));
  EXPECT_EQ(r->GetMoniker(0), "a0");
}

TEST_F(PlotViewTest, CommandsAndVariables) {
  auto* owner = new RefusingOwner(&document_);
  owner->SetName("Column");
  PlotView view(owner);
  view.SetName("Profiles");
  auto* triangle = dynamic_cast<EquTriDimPlot*>(view.SetPlot(kEquTriPlotType));
  VarDescription form("Viewable", 399);
  form.SetType(104);
  EXPECT_EQ(view.Message("ChangeTriangleType"), 1);
  EXPECT_EQ(view.Value(form), 1.0);
  form.number = 185;
  EXPECT_EQ(view.Value(form), 1.0);
  EXPECT_EQ(view.Value(VarDescription("PlotType", 300)), -32767.0);
  EXPECT_EQ(view.TextValue(VarDescription("Name", 200)), "Column: Profiles");
  VarDescription self("Viewable", 1);
  self.flags = kVarFlagSelf;
  EXPECT_EQ(view.AttachedObject(self), &view);

  ClearOpenedViews();
  view.Message("ViewPlotControl");
  triangle->SetHoldBackControlView(true);
  view.Message("ViewPlotControl");
  view.SetPlot(kTwoDimPlotType);
  view.Message("ViewPlotControl");
  EXPECT_EQ(OpenedViews(),
            (std::vector<Text>{"TriangleGraphControl", "PlotParameters"}));

  SetResponder([](const pemar::Message& q) {
    return q.key == "ConfirmDeleteRCMPlot" ? 0 : 1;
  });
  EXPECT_EQ(view.Message("Delete"), 1);  // kept: not confirmed
  SetResponder(nullptr);
  view.CallCalculate();
  EXPECT_EQ(owner->commands, std::vector<Text>{"Calculate"});
}

TEST_F(PlotViewTest, EachTypeComesBackFromItsDocument) {
  for (PlotTypeEnum type : {0, 1, 2}) {
    SCOPED_TRACE(type);
    auto* view = new PlotView(curve_);
    view->SetName("Saturation");
    view->SetPlot(type);
    view->SetLabel(0, "T / K");
    view->SetLogAxis(false, true);
    view->Message("ViewPlotControl");
    auto* r = new PlottedDataSet(1, "p sat");
    r->AddMoniker(0, "Temperature.300.[]");
    r->AddMoniker(1, "Pressure.300.[]");
    r->AddMoniker(2, "Temperature.300.[]");
    r->SetDataColour(GetColourID(3));
    view->AddDataSet(r);
    Document again(nullptr, DocumentObjectType());
    Reopen(again);
    PlotView* recalled = OnlyView(again);
    ASSERT_NE(recalled, nullptr);
    EXPECT_EQ(DescribePlotView(*recalled), DescribePlotView(*view));
    EXPECT_EQ(recalled->GetPlotObject()->Points(1).size(), 13u);
    delete view;
  }
}

TEST_F(PlotViewTest, RecalledTriangleIsSetUpAndAttachedToItsOwner) {
  auto* view = new PlotView(curve_);
  view->SetPlot(kEquTriPlotType);
  auto* r = new PlottedDataSet(111, "profile");
  r->AddMoniker(0, "Temperature.300.[]");
  r->AddMoniker(1, "x1");
  view->AddDataSet(r);
  Document again(nullptr, DocumentObjectType());
  Reopen(again);
  PlotView* recalled = OnlyView(again);
  ASSERT_NE(recalled, nullptr);
  auto* triangle = dynamic_cast<EquTriDimPlot*>(recalled->GetPlotObject());
  ASSERT_NE(triangle, nullptr);
  EXPECT_EQ(triangle->MouseXMoniker(), ":ExtraData.510");
  EXPECT_EQ(triangle->InspectionEvents().size(), 2u);  // CalcAll, x1
  auto* curve = dynamic_cast<SaturationCurve*>(recalled->GetPlotOwner());
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->AttachedView(), recalled);
}

TEST_F(PlotViewTest, ViewTheOwnerRefusesIsDeletedAfterTheRecall) {
  auto* owner = new RefusingOwner(&document_);
  auto* view = new PlotView(owner);
  view->SetPlot(kEquTriPlotType);
  auto* other = new PlotView(curve_);
  other->SetPlot(kTwoDimPlotType);
  Document again(nullptr, DocumentObjectType());
  Reopen(again);
  // Only the view the curve accepted is left; the refused one took its
  // plot with it.
  PlotView* kept = OnlyView(again);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->GetPlotType(), kTwoDimPlotType);
  EXPECT_TRUE(again.GetObjectManager().Objects(EquTriDimPlotType()).empty());
}

TEST_F(PlotViewTest, PlotRebuiltAfterTheOwnerDiedIsSavedWithTheView) {
  for (PlotTypeEnum type : {0, 1, 2}) {
    SCOPED_TRACE(type);
    auto* owner = new RefusingOwner(curve_);
    auto* view = new PlotView(owner);
    delete owner;  // the view passes to the curve
    ASSERT_EQ(view->GetPlotOwner(), nullptr);
    ASSERT_NE(view->SetPlot(type), nullptr);
    EXPECT_EQ(view->GetPlotObject()->GetOwner(), curve_);
    Document again(nullptr, DocumentObjectType());
    Reopen(again);
    PlotView* recalled = OnlyView(again);
    ASSERT_NE(recalled, nullptr);
    EXPECT_NE(recalled->GetPlotObject(), nullptr);
    delete view;
  }
}

}  // namespace
}  // namespace pemar
