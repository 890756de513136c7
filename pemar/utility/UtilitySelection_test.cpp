#include "pemar/utility/UtilitySelection.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using UtilitySelectionTest = testing::UtilityTest;

// What each way of choosing gives at a temperature: the first utility in
// list order whose range holds it (a range's upper end belongs to it for a
// hot stream, its lower end for a cold one), the cheapest whose range holds
// it (credits count as cheaper), and the one data extraction picks with no
// target to reach. An empty temperature or an undefined type gives none.
TEST_F(UtilitySelectionTest, EachChoiceAtATemperature) {
  const struct {
    double t;
    SegmentHeatType type;
    const char *recommended, *cheapest, *for_data_extraction;
  } choices[] = {
      {44.5, ColdSegment, "Air", "Cooling Water", "Air"},
      {115.5, HotSegment, "LP Steam", "MP Steam", "LP Steam"},
      {115.6, HotSegment, "MP Steam", "MP Steam", "MP Steam"},
      {40, ColdSegment, "Cooling Water", "Cooling Water", "Cooling Water"},
      {100, ColdSegment, "Air", "Air", "Air"},
      {100, HotSegment, "LP Steam", "LP Steam", "LP Steam"},
      {-50, HotSegment, "Refrigerant 2 Generation", "Refrigerant 2 Generation",
       "Refrigerant 2 Generation"},
      {kEmptyValue, HotSegment, nullptr, nullptr, nullptr},
      {40, UndefinedSegment, nullptr, nullptr, nullptr}};
  for (const auto& c : choices) {
    SCOPED_TRACE(::testing::Message() << c.t << " " << c.type);
    EXPECT_STREQ(m_->GetRecommendedUtilityName(c.t, c.type, nullptr),
                 c.recommended);
    EXPECT_STREQ(m_->GetMostEconomicalUtilityName(c.t, c.type), c.cheapest);
    EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(c.t, c.type, -300),
                 c.for_data_extraction);
  }
  // The ends of the whole scale.
  EXPECT_EQ(m_->GetRecommendedUtilityName(3000, ColdSegment, nullptr), nullptr);
  EXPECT_EQ(m_->GetRecommendedUtilityName(-273.15, HotSegment, nullptr),
            nullptr);
}

TEST_F(UtilitySelectionTest, RecommendationMustSuitTheExchanger) {
  EXPECT_STREQ(m_->GetRecommendedUtilityName(100, ColdSegment, "Air Cooler"),
               "Air");
  EXPECT_EQ(m_->GetRecommendedUtilityName(100, ColdSegment, "Shell & Tube"),
            nullptr);
  EXPECT_STREQ(m_->GetRecommendedUtilityName(500, HotSegment, "Fired Heater"),
               "Fired Heat (1000)");
}

TEST_F(UtilitySelectionTest, DataExtractionPrefersSimulationUtilities) {
  auto data_ext = [&](double t, SegmentHeatType type, double target) {
    return m_->GetRecommendedUtilityForDataExt(t, type, target);
  };
  // Outlet - delta-T min must reach the target: LP Steam gives 114, MP
  // Steam 164.
  EXPECT_STREQ(data_ext(100, HotSegment, 150), "MP Steam");
  // A simulation utility S with empty AR temperatures never matches.
  EXPECT_EQ(m_->AddDefaultUtility("S"), 1);
  m_->SetStreamType("S", ColdSegment);
  m_->SetValue("S", SimulationUtility, 1);
  EXPECT_STREQ(data_ext(40, ColdSegment, -273.15), "Cooling Water");
  m_->SetStreamType("S", HotSegment);
  EXPECT_STREQ(data_ext(100, HotSegment, -300), "LP Steam");
  m_->SetValue("HP Steam", SimulationUtility, 1);
  EXPECT_STREQ(data_ext(100, HotSegment, -300), "HP Steam");
}

// The answer is about the caller's list, which may hold earlier entries.
TEST_F(UtilitySelectionTest, UsableListIsAppendedToTheCallersList) {
  CVList list;
  list.push_back(nullptr);
  EXPECT_EQ(m_->GetUsableUtilList(kEmptyValue, HotSegment, &list), 0);
  EXPECT_EQ(m_->GetUsableUtilList(40, UndefinedSegment, &list), 0);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, nullptr), 0);
  list.clear();
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, &list), 1);
  EXPECT_EQ(list.size(), 6u);
  EXPECT_STREQ(static_cast<DefaultUtility*>(list[0])->GetUtilityName(),
               "Cooling Water");
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 1);
  list.clear();
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 0);
}

}  // namespace
}  // namespace pemar
