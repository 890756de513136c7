#include "pemar/utility/DefaultUtility.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pemar/framework/Messages.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

// Writes a utility chunk of the given revision with the items it holds.
bool WriteUtilityChunk(IPemarBinaryFile* f, int revision, const char* name,
                       int heatType, int componentCount,
                       const std::vector<std::pair<const char*, double>>& comps,
                       bool cutInComponents = false) {
  ChunkHeader* h = nullptr;
  bool ok = f->CreateChunk(&h, revision);
  CVString n = name;
  ok = ok && WriteCVString(f, &n);
  const double temps[6] = {20, 25, 3.75, 2e-7, 44.5, 29.5};
  ok = ok && f->Write(temps, 6) && f->Write(heatType);
  if (revision >= 2) ok = ok && f->Write(5.0);
  CVString ex = "Shell & Tube";
  if (revision >= 3) ok = ok && WriteCVString(f, &ex);
  const double props[4] = {1.0, 0.603, 998, 4.183};
  if (revision >= 4) ok = ok && f->Write(props, 4);
  if (revision >= 5) {
    ok = ok && f->Write(componentCount);
    for (std::size_t i = 0; i < comps.size(); ++i) {
      CVString c = comps[i].first;
      ok = ok && WriteCVString(f, &c);
      if (cutInComponents && i + 1 == comps.size()) break;
      ok = ok && f->Write(comps[i].second);
    }
  }
  if (revision >= 6 && !cutInComponents) {
    const double fuel[3] = {7e-5, 3.0, 0.9};
    ok = ok && f->Write(fuel, 3) && f->Write(static_cast<unsigned char>(0)) &&
         f->Write(0.0);
  }
  if (revision >= 7 && !cutInComponents) {
    ok = ok && f->Write(static_cast<unsigned char>(1));
  }
  return f->CloseChunk(h) && ok;
}

class DefaultUtilityTest : public ::testing::Test {
 protected:
  bool RecallFrom(const std::string& path, DefaultUtility* u) {
    PemarBinaryFile f(path.c_str());
    return u->Recall(&f) != 0;
  }
  testing::ScratchDir dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
};

TEST_F(DefaultUtilityTest, HugeComponentCountFailsWithoutAllocating) {
  std::string path = dir_.Path("huge.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [](IPemarBinaryFile* f) {
    return WriteUtilityChunk(f, 7, "Cooling Water", 1, 0x7FFFFFFF,
                             {{"H2O", 1.0}});
  }));
  DefaultUtility u;
  EXPECT_FALSE(RecallFrom(path, &u));
  EXPECT_EQ(u.GetComponentCount(), 0);
  EXPECT_STREQ(u.GetUtilityName(), "UndefinedUtility");
}

TEST_F(DefaultUtilityTest, NegativeComponentCountGivesEmptyComposition) {
  std::string path = dir_.Path("neg.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [](IPemarBinaryFile* f) {
    return WriteUtilityChunk(f, 7, "X", 1, -5, {});
  }));
  DefaultUtility u;
  ASSERT_TRUE(RecallFrom(path, &u));
  EXPECT_EQ(u.GetComponentCount(), 0);
  EXPECT_DOUBLE_EQ(u.GetFuelSourceID(), 3.0);
  EXPECT_TRUE(u.IsHTCCalculated());
}

TEST_F(DefaultUtilityTest, CutInsideComponentsLeavesRecordAsItWas) {
  std::string path = dir_.Path("cut.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [](IPemarBinaryFile* f) {
    return WriteUtilityChunk(f, 7, "Mix", 1, 3, {{"A", 0.5}, {"B", 0.5}}, true);
  }));
  DefaultUtility u;
  EXPECT_FALSE(RecallFrom(path, &u));
  EXPECT_EQ(u.GetComponentCount(), 0);
  EXPECT_STREQ(u.GetUtilityName(), "UndefinedUtility");
}

TEST_F(DefaultUtilityTest, HeatTypeOutsideRangeReadsAsUndefined) {
  std::string path = dir_.Path("type.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [](IPemarBinaryFile* f) {
    return WriteUtilityChunk(f, 7, "X", 7, 0, {});
  }));
  DefaultUtility u;
  ASSERT_TRUE(RecallFrom(path, &u));
  EXPECT_EQ(u.GetHeatType(), UndefinedSegment);
}

TEST_F(DefaultUtilityTest, TruncatedFileFailsAtEveryLength) {
  std::string path = dir_.Path("full.bin");
  DefaultUtility source("Cooling Water", ColdSegment, 20, 25, 3.75, 2e-7, 44.5,
                        29.5, 5, "Shell & Tube", 1, 0.603, 998, 4.183);
  char name[] = "H2O";
  char* names[] = {name};
  double fractions[] = {1.0};
  source.SetComponents(1, names, fractions);
  ASSERT_TRUE(testing::WriteChunked(
      path, [&](IPemarBinaryFile* f) { return source.Store(f) != 0; }));
  std::vector<char> bytes = testing::ReadBytes(path);
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    std::string cut = dir_.Path("cut" + std::to_string(n));
    testing::WriteBytes(cut,
                        std::vector<char>(bytes.begin(), bytes.begin() + n));
    DefaultUtility u;
    EXPECT_FALSE(RecallFrom(cut, &u)) << n;
    EXPECT_STREQ(u.GetUtilityName(), "UndefinedUtility");
  }
}

TEST_F(DefaultUtilityTest, DefaultRecordRoundTrips) {
  std::string path = dir_.Path("rt.bin");
  DefaultUtility source;
  ASSERT_TRUE(testing::WriteChunked(
      path, [&](IPemarBinaryFile* f) { return source.Store(f) != 0; }));
  DefaultUtility u("Other", HotSegment, 1, 0, 1, 1, 1, 1, 1, "Fired Heater", 1,
                   1, 1, 1);
  ASSERT_TRUE(RecallFrom(path, &u));
  EXPECT_STREQ(u.GetUtilityName(), "UndefinedUtility");
  EXPECT_EQ(u.GetHeatType(), UndefinedSegment);
  EXPECT_EQ(u.GetComponentCount(), 0);
  EXPECT_EQ(u.IsGlobalSetting(), 1.0);
  EXPECT_EQ(u.GetDeltaTmin(), 10.0);
  EXPECT_EQ(u.GetExchangerType(), "Shell & Tube");
  EXPECT_EQ(u.GetInletTemperature(), kEmptyValue);
  EXPECT_EQ(u.GetCO2EmissionFactor(), 5.589e-5);
}

TEST_F(DefaultUtilityTest, EachOlderRevisionReadsOnlyItsItems) {
  for (int revision = 1; revision <= 7; ++revision) {
    std::string path = dir_.Path("r" + std::to_string(revision));
    ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
      return WriteUtilityChunk(f, revision, "Cooling Water", 1, 1,
                               {{"Water", 0.75}});
    }));
    DefaultUtility u;
    ASSERT_TRUE(RecallFrom(path, &u)) << revision;
    EXPECT_STREQ(u.GetUtilityName(), "Cooling Water");
    EXPECT_EQ(u.GetInletTemperature(), 20.0);
    EXPECT_EQ(u.GetHeatType(), ColdSegment);
    EXPECT_EQ(u.GetDeltaTmin(), revision >= 2 ? 5.0 : 10.0);
    EXPECT_EQ(u.GetViscosity(), revision >= 4 ? 1.0 : kEmptyValue);
    EXPECT_EQ(u.GetComponentCount(), revision >= 5 ? 1 : 0);
    if (revision >= 5) {
      // Older records get today's name; the current one keeps the user's.
      EXPECT_STREQ(u.GetComponentName(0), revision < 7 ? "H2O" : "Water");
      EXPECT_EQ(u.GetComponentFraction(0), 0.75);
    }
    EXPECT_EQ(u.GetFuelSourceID(), revision >= 6 ? 3.0 : 76.0);
    EXPECT_EQ(u.GetCO2EmissionFactor(), revision >= 6 ? 7e-5 : 5.589e-5);
    EXPECT_EQ(u.GetFuelEffFactor(), revision >= 6 ? 0.9 : 1.0);
    EXPECT_EQ(u.IsGlobalSetting(), revision >= 6 ? 0.0 : 1.0);
    EXPECT_EQ(u.GetEFDataSource(), revision >= 6 ? 0.0 : 1.0);
    EXPECT_EQ(u.IsHTCCalculated(), revision >= 7);
  }
}

TEST_F(DefaultUtilityTest, ExchangerTypeCheckFollowsHeatType) {
  DefaultUtility cold("C", ColdSegment, 20, 25, 1, 0, 0, 0, 5, "Shell & Tube",
                      1, 1, 1, 1);
  EXPECT_STREQ(cold.IsValidUtilType("Fired Heater"),
               "FiredHeaterNotValidOnColdUtility");
  EXPECT_TRUE(
      sink_.Has(MessageKind::kError, "FiredHeaterNotValidOnColdUtility"));
  EXPECT_STREQ(cold.IsValidUtilType("Steam Reboiler"),
               "SteamReboilerNotValidOnColdUtility");
  EXPECT_EQ(cold.IsValidUtilType("Air Cooler"), nullptr);
  DefaultUtility hot("H", HotSegment, 25, 20, 1, 0, 0, 0, 5, "Shell & Tube", 1,
                     1, 1, 1);
  EXPECT_STREQ(hot.IsValidUtilType("Air Cooler"),
               "AirCoolerNotValidOnHotUtility");
  EXPECT_STREQ(hot.IsValidUtilType("Steam Generator"),
               "SteamGeneratorNotValidOnHotUtility");
  DefaultUtility undefined;
  EXPECT_EQ(undefined.IsValidUtilType("Fired Heater"), nullptr);
  EXPECT_EQ(undefined.IsValidUtilType(nullptr), nullptr);
}

TEST_F(DefaultUtilityTest, CoefficientEstimateFromProperties) {
  DefaultUtility water("Cooling Water", ColdSegment, 20, 25, -32767, 0, 0, 0, 5,
                       "Shell & Tube", 1.0, 0.603, 998, 4.183);
  water.CalcHTCFromPropForORVEX();
  EXPECT_NEAR(water.GetHeatTransferCoefficient(), 3.5, 0.1);
  DefaultUtility zero("Z", ColdSegment, 20, 25, 1.25, 0, 0, 0, 5,
                      "Shell & Tube", 0.0, 0.603, 998, 4.183);
  zero.CalcHTCFromPropForORVEX();
  EXPECT_EQ(zero.GetHeatTransferCoefficient(), 1.25);
}

TEST_F(DefaultUtilityTest, CompositionComparisonAndCopies) {
  DefaultUtility u;
  EXPECT_TRUE(u.CompareComp("anything", 0.3));
  EXPECT_TRUE(u.CompareComp(nullptr, 0.3));
  char a[] = "H2O";
  char* names[] = {a};
  double fractions[] = {1.0};
  u.SetComponents(1, names, fractions);
  a[0] = 'X';  // the record keeps its own copy
  EXPECT_TRUE(u.CompareComp("H2O", 1.0));
  EXPECT_FALSE(u.CompareComp("H2O", 0.5));
  EXPECT_TRUE(u.CompareComp("N2", 0.0));
  EXPECT_FALSE(u.CompareComp("N2", 0.1));
  DefaultUtility copy(u);
  EXPECT_STREQ(copy.GetComponentName(0), "H2O");
  DefaultUtility clone(&u);
  EXPECT_EQ(clone.GetComponentCount(), 0);
  u.SetComponents(-1, names, fractions);
  EXPECT_EQ(u.GetComponentCount(), 0);
  u.SetComponents(2, nullptr, fractions);
  EXPECT_EQ(u.GetComponentCount(), 0);
}

}  // namespace
}  // namespace pemar
