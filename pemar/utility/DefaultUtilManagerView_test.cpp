#include "pemar/utility/DefaultUtilManagerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using testing::Fields;

constexpr int kAirAt = 12;  // position of "Air" in the built-in set

// v_ is the editor of the fixture's database.
class DefaultUtilManagerViewTest : public testing::UtilityTest {
 protected:
  void SetUp() override {
    UtilityTest::SetUp();
    v_ = std::make_unique<DefaultUtilManagerView>(nullptr, m_.get());
  }
  std::string StoreView(DefaultUtilManagerView& view) {
    return test_support::WrittenBytes(
        fs_, [&](BinaryFile& file) { return view.StoreClassData(file); });
  }
  bool RecallView(DefaultUtilManagerView& view, const std::string& bytes,
                  int version = 3) {
    fs_.SetFile("view.bin", bytes);
    BinaryFile file{Text("view.bin")};
    return file.Open() && view.RecallClassData(file, version);
  }
  std::unique_ptr<DefaultUtilManagerView> v_;
};

TEST_F(DefaultUtilManagerViewTest, FuelIDsOutsideTheListGiveNoFactor) {
  m_->SetValue("Air", FuelSourceID, 47);
  v_->NotifyOneUtilityOfChanges(kAirAt, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.489e-05);
  m_->SetValue("Air", EFDataSource, 2);
  v_->NotifyOneUtilityOfChanges(kAirAt, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  v_->NotifyOneUtilityOfChanges(-1, FuelSourceID);
  v_->NotifyOneUtilityOfChanges(99, EFDataSource);
  const double inf = std::numeric_limits<double>::infinity();
  for (double id : {3.0, -32767.0, 1e300, std::nan(""), 90.0, -inf}) {
    m_->SetValue("Air", CO2EmissionFactor, 1.0);
    m_->SetValue("Air", FuelSourceID, id);
    v_->NotifyOneUtilityOfChanges(kAirAt, FuelSourceID);
    EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue) << id;
    EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, SourcesAndPositionsAreChecked) {
  EXPECT_EQ(v_->SetSelectedDataSource(3), 0);
  EXPECT_EQ(v_->SetSelectedDataSource(-1), 0);
  EXPECT_EQ(v_->SelectFuelSource(0), 0);
  EXPECT_EQ(v_->SetSelectedDataSource(0), 1);
  EXPECT_EQ(v_->GetSelectedDataSource(), -1);
  v_->SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v_->SetSelectedDataSource(0), 1);
  EXPECT_EQ(v_->SelectFuelSource(46), 0);
  EXPECT_EQ(v_->SelectFuelSource(-1), 0);
  EXPECT_EQ(v_->SelectFuelSource(45), 1);
  EXPECT_EQ(v_->GetFuelSourceList(2), nullptr);
  EXPECT_EQ(FindFuelByID(1, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, std::nan("")), nullptr);
}

TEST_F(DefaultUtilManagerViewTest, FuelSelectionFollowsTheDataSource) {
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAirAt, 46), 1);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAirAt, 45), 0);
  m_->SetValue("Air", EFDataSource, 0);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAirAt, 46), 0);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAirAt, 10), 1);
  v_->NotifyOneUtilityOfChanges(kAirAt, EFDataSource);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1);
  m_->SetValue("Air", FuelSourceID, 30.7);
  v_->NotifyOneUtilityOfChanges(kAirAt, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.61e-05);
  m_->SetValue("Air", EFDataSource, 2);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAirAt, 10), 0);
}

TEST_F(DefaultUtilManagerViewTest, GlobalChoiceSparesUtilitiesWithTheirOwn) {
  v_->SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v_->SetSelectedDataSource(1), 1);
  EXPECT_EQ(v_->SelectFuelSource(1), 1);
  m_->SetValue("Air", GlobalSetting, 0);
  m_->SetValue("Air", FuelSourceID, 5);
  v_->NotifyAllUtilitiesOfGlobalChanges();
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), 5);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelSourceID), 47);
  EXPECT_EQ(m_->GetValue("Cooling Water", CO2EmissionFactor), 5.489e-05);
  EXPECT_EQ(m_->GetValue("Cooling Water", EFDataSource), 1);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelEffFactor), 1);
}

TEST_F(DefaultUtilManagerViewTest, UserFactorSourceHasUnitEfficiency) {
  v_->SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v_->SetSelectedDataSource(2), 1);
  // The selected fuel has no name.
  EXPECT_EQ(Fields(v_->GetSelectedFuelSource()), " -32767 -32767 1");
  EXPECT_EQ(v_->GetOfferedFuelList(), nullptr);
  v_->SetUserEmissionFactor(6e-5);
  v_->NotifyOneUtilityOfGlobalChanges(kAirAt);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 6e-5);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
}

TEST_F(DefaultUtilManagerViewTest, UserSourcesEmptyFuelsAndNoDatabase) {
  EXPECT_FALSE(v_->AddDefaultFuelSource(DefaultUtilManagerView::kUserFactor,
                                        "Mine", 1.0));
  DefaultUtilManagerView no_database(nullptr, nullptr);
  EXPECT_FALSE(no_database.isFuelTypeOkToSelect(0, 50));
  no_database.NotifyAllUtilitiesOfGlobalChanges();
}

// Version 2 data carry the database only.
TEST_F(DefaultUtilManagerViewTest, Version2DataCarryTheDatabaseOnly) {
  v_->SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(v_->SetSelectedDataSource(1) && v_->SelectFuelSource(2));
  DefaultUtilManagerView v2(nullptr, nullptr);
  ASSERT_TRUE(RecallView(v2, StoreView(*v_), 2));
  EXPECT_NE(v2.GetDatabase(), nullptr);
  EXPECT_FALSE(v2.IsCarbonTrackingEnabled());
}

TEST_F(DefaultUtilManagerViewTest, TruncatedClassDataChangesNothing) {
  v_->SetCarbonTrackingEnabled(true);
  v_->SetSelectedDataSource(1);
  v_->SelectFuelSource(2);
  test_support::ForEachTruncation(
      StoreView(*v_), 32, [&](const std::string& cut) {
        DefaultUtilManagerView target(nullptr, m_.get());
        EXPECT_FALSE(RecallView(target, cut));
        EXPECT_EQ(target.GetDatabase(), m_.get());
        EXPECT_FALSE(target.IsCarbonTrackingEnabled());
      });
  // A data source outside 0 to 2 is refused.
  DefaultUtilManagerView target(nullptr, nullptr);
  EXPECT_FALSE(RecallView(target, testing::Golden("editor_bad_source")));
  EXPECT_EQ(target.GetDatabase(), nullptr);
}

// The fuel lists are made when first used; whichever call comes first, the
// view answers as if they had been made with it.
TEST_F(DefaultUtilManagerViewTest, FuelListsMadeOnFirstUseHoldTheBuiltInFuels) {
  const std::size_t first = v_->GetFuelSourceList(0)->size();
  const std::size_t second = v_->GetFuelSourceList(1)->size();
  using View = DefaultUtilManagerView;
  const std::function<void(View&)> first_calls[] = {
      [](View& v) { v.GetFuelSourceList(1); },
      [](View& v) { v.GetOfferedFuelList(); },
      [](View& v) { v.SelectFuelSource(0); },
      [](View& v) { v.isFuelTypeOkToSelect(kAirAt, 0); },
      [](View& v) { v.NotifyOneUtilityOfChanges(kAirAt, FuelSourceID); },
      [](View& v) {
        v.SetCarbonTrackingEnabled(true);
        v.SetSelectedDataSource(1);
      },
  };
  for (const auto& call : first_calls) {
    View view(nullptr, m_.get());
    call(view);
    EXPECT_EQ(view.GetFuelSourceList(0)->size(), first);
    EXPECT_EQ(view.GetFuelSourceList(1)->size(), second);
  }
  View added(nullptr, nullptr);
  ASSERT_TRUE(added.AddDefaultFuelSource(View::kSecondFuelList, "Mine", 1.0));
  EXPECT_EQ(added.GetFuelSourceList(1)->size(), second + 1);
  EXPECT_EQ(added.GetFuelSourceList(1)->back()->GetName(), Text("Mine"));
  // Each call appends the built-in fuels once more.
  View twice(nullptr, nullptr);
  twice.SetupDefaultFuelSourceList();
  EXPECT_EQ(twice.GetFuelSourceList(0)->size(), 2 * first);
  twice.SetCarbonTrackingEnabled(true);
  twice.SetSelectedDataSource(0);
  EXPECT_EQ(twice.GetOfferedFuelListSource(), 0);
  EXPECT_EQ(twice.GetOfferedFuelList(), twice.GetFuelSourceList(0));
}

// A stored database is taken whole; only the sections it lacks get the
// defaults a new database has.
TEST_F(DefaultUtilManagerViewTest,
       RecalledDatabaseTakesDefaultsOnlyWhereItLacks) {
  DefaultManager bare;  // no section of its own
  DefaultUtilManagerView lacking(nullptr, &bare);
  DefaultUtilManagerView from_lacking(nullptr, nullptr);
  ASSERT_TRUE(RecallView(from_lacking, StoreView(lacking)));
  DefaultManager defaults;
  defaults.SetUpDefaultsWithoutUtilities();
  auto* db = dynamic_cast<DefaultManager*>(from_lacking.GetDatabase());
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->GetNumberOfDefaultUtilities(), 0);
  EXPECT_EQ(db->GetNumberOfHTCDefaultValues(),
            defaults.GetNumberOfHTCDefaultValues());
  EXPECT_EQ(db->GetNumberOfEconomicData(), defaults.GetNumberOfEconomicData());

  ASSERT_EQ(m_->DeleteHTCDefaultValue(0), kDone);
  ASSERT_EQ(m_->SetEconomicData(EconomicOperatingHours, 4000.0, "DEFAULT"),
            kDone);
  DefaultUtilManagerView from_whole(nullptr, nullptr);
  ASSERT_TRUE(RecallView(from_whole, StoreView(*v_)));
  db = dynamic_cast<DefaultManager*>(from_whole.GetDatabase());
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->GetNumberOfDefaultUtilities(),
            m_->GetNumberOfDefaultUtilities());
  EXPECT_EQ(db->GetNumberOfHTCDefaultValues(),
            m_->GetNumberOfHTCDefaultValues());
  EXPECT_STREQ(db->GetHTCDefaultValueName(0), m_->GetHTCDefaultValueName(0));
  EXPECT_EQ(db->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 4000.0);
}

}  // namespace
}  // namespace pemar
