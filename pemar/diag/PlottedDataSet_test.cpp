#include "pemar/diag/PlottedDataSet.h"

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

// The record of testdata/plotted_data_set_r3.golden.
PlottedDataSet FeedRecord() {
  PlottedDataSet r(110, "Feeds");
  r.SetDataColour(GetColourID(2));
  r.SetLine(3, 2.0, true);
  r.SetArrow(2.0);
  r.SetSymbol(102, 2.0, true);
  r.SetLegend(true);
  r.AddMoniker(0, "Feed.300.0.[]");
  r.AddMoniker(1, "Feed.301.0.[]");
  r.AddMoniker(2, "Feed.302.1.[]");
  r.SetShowTextOnPlot(true);
  return r;
}

class PlottedDataSetTest : public ::testing::Test {
 protected:
  bool Recall(PlottedDataSet& r, const std::string& bytes) {
    return test_support::RecallClassDataFromBytes(fs_, r, bytes);
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

TEST_F(PlottedDataSetTest, TruncatedRecordFailsRecallAndKeepsTheRecord) {
  const std::string bytes =
      GoldenFile("pemar/diag/testdata/plotted_data_set_r3.golden");
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    PlottedDataSet r(7, "kept");
    EXPECT_FALSE(Recall(r, bytes.substr(0, n))) << n << " bytes";
    EXPECT_EQ(r, PlottedDataSet(7, "kept")) << n << " bytes";
  }
}

TEST_F(PlottedDataSetTest, NewerRevisionFailsRecall) {
  std::string bytes =
      GoldenFile("pemar/diag/testdata/plotted_data_set_r3.golden");
  bytes[0] = 4;
  PlottedDataSet r;
  EXPECT_FALSE(Recall(r, bytes));
  EXPECT_EQ(r, PlottedDataSet());
}

TEST_F(PlottedDataSetTest, DefaultRecordHasTheDocumentedSettings) {
  const PlottedDataSet r;
  EXPECT_EQ(r.GetId(), -32767);
  EXPECT_EQ(r.GetSymbol(), 101);
  EXPECT_EQ(r.GetSymbolSize(), 1.0);
  EXPECT_EQ(r.GetLineStyle() * 10 + r.GetLineWidth(), 1);  // style 0, width 1
  EXPECT_TRUE(r.GetShowSymbols() && r.GetShowLine());
  EXPECT_FALSE(r.GetShowInLegend() || r.IsArrow() || r.GetShowTextOnPlot());
  EXPECT_EQ(r.GetDataColour(), DefaultColour());
}

TEST_F(PlottedDataSetTest, LineWidthIsTruncatedOnlyWhenItFitsAnInt) {
  const double kInf = std::numeric_limits<double>::infinity();
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double width;
    int stored;
  } kCases[] = {{2.9, 2},  {-2.9, -2}, {0.5, 0},         {kNaN, 1},
                {kInf, 1}, {-kInf, 1}, {2147483648.0, 1}};
  for (const auto& c : kCases) {
    PlottedDataSet r;
    r.SetLine(4, c.width, false);
    EXPECT_EQ(r.GetLineWidth(), c.stored) << c.width;
    EXPECT_EQ(r.GetLineStyle(), 4);
    EXPECT_FALSE(r.GetShowLine());
  }
}

TEST_F(PlottedDataSetTest, MonikersOutsideZeroToThreeAreIgnored) {
  PlottedDataSet r;
  for (int i : {-1, 4, 1000}) r.AddMoniker(i, "x");
  EXPECT_EQ(r, PlottedDataSet());
  EXPECT_EQ(r.GetMoniker(4), "");
  r.AddMoniker(3, "Flow.300.[]");
  EXPECT_EQ(r.GetMoniker(3), "Flow.300.[]");
}

TEST_F(PlottedDataSetTest, StoresTheDocumentedBytes) {
  const PlottedDataSet r = FeedRecord();
  const std::string bytes = WrittenBytes(
      fs_, [&](BinaryFile& file) { return r.StoreClassData(file) != 0; });
  EXPECT_TRUE(SameBytes(
      bytes, GoldenFile("pemar/diag/testdata/plotted_data_set_r3.golden")));
}

TEST_F(PlottedDataSetTest, OlderRevisionsKeepTheDefaultsOfWhatTheyLack) {
  for (int revision : {1, 2, 3}) {
    PlottedDataSet r;
    EXPECT_TRUE(
        ReadsAll(fs_,
                 GoldenFile("pemar/diag/testdata/plotted_data_set_r" +
                            std::to_string(revision) + ".golden"),
                 [&](BinaryFile& f) { return r.RecallClassData(f) != 0; }));
    EXPECT_EQ(r.IsArrow(), revision >= 2) << revision;
    EXPECT_EQ(r.GetShowTextOnPlot(), revision >= 3) << revision;
    PlottedDataSet expected = FeedRecord();
    expected.SetShowTextOnPlot(r.GetShowTextOnPlot());
    EXPECT_TRUE(revision < 2 || r == expected);
  }
}

TEST_F(PlottedDataSetTest, MonikersInTheVariableTextForm) {
  EXPECT_EQ(CreateMoniker("Flow", 3, -32767, true), "Flow.3.[]");
  EXPECT_EQ(CreateMoniker("Flow", 3, 5, false), "Flow.3.5");
}

TEST_F(PlottedDataSetTest, ListOwnsItsRecordsAndRemovesThemById) {
  PlottedDataSetList list;
  list.Append(new PlottedDataSet(1, "a"));
  list.Append(nullptr);
  list.Append(new PlottedDataSet(2, "b"));
  list.Append(new PlottedDataSet(1, "c"));
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.RemoveId(1), 2u);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.At(0)->GetLabel(), "b");
  EXPECT_EQ(list.At(1), nullptr);
  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0u);
}

TEST_F(PlottedDataSetTest, StandardColoursAndTheDefaultForOtherIndexes) {
  const struct {
    int i;
    const char* name;
    RgbColour rgb;
  } kColours[] = {
      {0, "Pemar0", {255, 0, 0}},      {5, "Pemar5", {128, 64, 64}},
      {15, "Pemar15", {255, 60, 60}},  {19, "Pemar19", {60, 128, 60}},
      {-1, "PemarDefault", {0, 0, 0}}, {20, "PemarDefault", {0, 0, 0}}};
  for (const auto& c : kColours) {
    EXPECT_EQ(GetColourID(c.i).Name(), c.name);
    EXPECT_EQ(GetColourID(c.i).Rgb(), c.rgb) << c.i;
    EXPECT_TRUE(FindApplicationColour(c.name, nullptr));
  }
}

}  // namespace
}  // namespace pemar
