#include "pemar/framework/PlotObjects.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar {
namespace {

using test_support::GoldenFile;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

// Answers "a.300.[]" with 0, 1, 2 ... and "b.300.[]" with 10, 11 ...; the
// size of "a" is settable, "b" has 3 values, "c.1" is one plain value.
class Source : public Viewable {
 public:
  Source() : Viewable(nullptr, nullptr) {}
  double Value(const VarDescription& d) override {
    if (d.VariableIs("c")) return 7.5;
    return (d.VariableIs("b") ? 10.0 : 0.0) + d.Index();
  }
  unsigned char Dimensions(const VarDescription& d, DimInfo& dims) override {
    if (d.VariableIs("a")) dims.AddDim(a_size);
    if (d.VariableIs("b")) dims.AddDim(3);
    return d.VariableIs("a") || d.VariableIs("b");
  }
  int a_size = 5;
};

// The plot of testdata/plot_triangle.golden.
void FillTriangle(EquTriDimPlot& plot) {
  plot.SetTitle("Feeds");
  plot.SetMappingStyle(ScaleMapping::kLogarithmic);
  for (int i = 0; i < 3; ++i) {
    plot.Axis(i)->label = std::string(1, "ABC"[i]);
    plot.Axis(i)->label_visible = true;
    plot.Axis(i)->number_format = "%.1g";
  }
  PlotDataSet* set =
      plot.DataArea().Create(DataSetKind::kPoint, 4, {"a.300.[]", "b.300.[]"},
                             "x", ColourResourceRef("Pemar1"), 102);
  set->symbol_size = 2.5;
  set->show_text_on_plot = true;
  plot.AmIAnEquTriangle(false);
  plot.SetMouseMonikers(":ExtraData.510", ":ExtraData.511");
}

class PlotObjectsTest : public ::testing::Test {
 protected:
  bool Recall(PlotObject& plot, const std::string& bytes) {
    return test_support::RecallClassDataFromBytes(fs_, plot, bytes);
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
  Source source_;
};

TEST_F(PlotObjectsTest, TruncatedOrDamagedClassDataLeavesThePlot) {
  const std::string bytes =
      GoldenFile("pemar/framework/testdata/plot_triangle.golden");
  std::vector<std::string> damaged;
  for (std::size_t n = 0; n < bytes.size(); ++n)
    damaged.push_back(bytes.substr(0, n));
  // Values the reader refuses, at their offsets: mapping 3, axis count 2,
  // data-set kind 3, four monikers.
  const struct {
    std::size_t at;
    char value;
  } kRefused[] = {{11, 3}, {15, 2}, {87, 3}, {91, 4}};
  for (const auto& r : kRefused) {
    damaged.push_back(bytes);
    damaged.back()[r.at] = r.value;
  }
  for (const std::string& d : damaged) {
    EquTriDimPlot plot(nullptr, nullptr);
    plot.SetTitle("kept");
    EXPECT_FALSE(Recall(plot, d)) << d.size() << " bytes";
    EXPECT_EQ(plot.Title(), "kept");
    EXPECT_EQ(plot.DataArea().Count(), 0u);
  }
}

TEST_F(PlotObjectsTest, RepeatedDataSetIdFailsRecall) {
  TwoDimPlot plot(nullptr, nullptr);
  for (int id : {1000, 2000})
    plot.DataArea().Create(DataSetKind::kLine, id, {}, "", DefaultColour(), 1);
  std::string bytes = WrittenBytes(
      fs_, [&](BinaryFile& file) { return plot.StoreClassData(file) != 0; });
  // The second id (2000, D0 07) becomes the first (1000, E8 03).
  const std::size_t second = bytes.find(std::string("\xD0\x07\0\0", 4));
  ASSERT_NE(second, std::string::npos);
  bytes.replace(second, 2, "\xE8\x03");
  TwoDimPlot again(nullptr, nullptr);
  EXPECT_FALSE(Recall(again, bytes));
}

TEST_F(PlotObjectsTest, StoresAndReadsTheDocumentedBytes) {
  EquTriDimPlot plot(nullptr, nullptr);
  FillTriangle(plot);
  const std::string golden =
      GoldenFile("pemar/framework/testdata/plot_triangle.golden");
  EXPECT_TRUE(SameBytes(WrittenBytes(fs_,
                                     [&](BinaryFile& file) {
                                       return plot.StoreClassData(file) != 0;
                                     }),
                        golden));
  EquTriDimPlot again(nullptr, nullptr);
  EXPECT_TRUE(ReadsAll(fs_, golden, [&](BinaryFile& file) {
    return again.RecallClassData(file) != 0;
  }));
  EXPECT_EQ(again.DataArea().At(0), plot.DataArea().At(0));
  EXPECT_EQ(*again.Axis(2), *plot.Axis(2));
  EXPECT_FALSE(again.IsEquTriangle());
  EXPECT_EQ(again.MouseYMoniker(), ":ExtraData.511");
}

TEST_F(PlotObjectsTest, ParameterSetsOfTheOtherDimensionAreRefused) {
  PlotParameters parameters(3);
  parameters.SetRange(2, 1.0, 2.0);
  parameters.SetGrid(true);
  const std::string bytes = WrittenBytes(fs_, [&](BinaryFile& file) {
    return StorePlotParameters(file, &parameters) != 0;
  });
  std::unique_ptr<PlotParameters> read;
  EXPECT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& file) {
    return RecallPlotParameters(file, 3, read) != 0;
  }));
  EXPECT_EQ(*read, parameters);
  fs_.SetFile("p.bin", bytes);
  BinaryFile file{Text("p.bin")};
  EXPECT_FALSE(file.Open() && RecallPlotParameters(file, 2, read));
  EXPECT_EQ(*read, parameters);
}

TEST_F(PlotObjectsTest, PointsComeFromTheOwnersVariablesUpToTheShortest) {
  PlotDataSet set;
  set.monikers = {"a.300.[]", "b.300.[]"};
  auto points = DataSetPoints(&source_, set);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[2].x, 2.0);
  EXPECT_EQ(points[2].y, 12.0);
  EXPECT_EQ(points[2].z, -32767.0);
  set.monikers = {"c.1", "c.1", ""};
  EXPECT_EQ(DataSetPoints(&source_, set).size(), 1u);
  for (const char* bad : {"", "not a variable", "d.300.[]"}) {
    set.monikers = {"a.300.[]", bad};
    EXPECT_TRUE(DataSetPoints(&source_, set).empty()) << bad;
  }
  EXPECT_TRUE(DataSetPoints(nullptr, set).empty());
  source_.a_size = std::numeric_limits<int>::max();
  EXPECT_EQ(ResolveMoniker(&source_, "a.300.[]").size(), kMaxPlotPoints);
}

}  // namespace
}  // namespace pemar
