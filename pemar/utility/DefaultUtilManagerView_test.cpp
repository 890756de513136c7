#include "pemar/utility/DefaultUtilManagerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class DefaultUtilManagerViewTest : public testing::UtilityTest {
 protected:
  // Index of "Air" in the built-in set.
  static constexpr int kAir = 12;

  std::string StoreView(DefaultUtilManagerView& view) {
    BinaryFile file{Text("view.bin")};
    EXPECT_TRUE(file.Create() && view.StoreClassData(file) && file.Close());
    return fs_.GetFile("view.bin");
  }
  bool RecallView(DefaultUtilManagerView& view, const std::string& bytes,
                  int version = 3) {
    fs_.SetFile("view.bin", bytes);
    BinaryFile file{Text("view.bin")};
    return file.Open() && view.RecallClassData(file, version);
  }

  void SetUp() override {
    UtilityTest::SetUp();
    view_ = std::make_unique<DefaultUtilManagerView>(nullptr, m_.get());
  }

  std::unique_ptr<DefaultUtilManagerView> view_;
};

// --- Bad IDs and sources -----------------------------------------------------

TEST_F(DefaultUtilManagerViewTest, FuelIDsOutsideTheListGiveNoFactor) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double id : {3.0, -32767.0, 1e300, nan, 90.0,
                    -std::numeric_limits<double>::infinity()}) {
    m_->SetValue("Air", CO2EmissionFactor, 1.0);
    m_->SetValue("Air", FuelSourceID, id);
    view_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
    EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue) << id;
    EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1.0);
  }
  m_->SetValue("Air", FuelSourceID, 47);
  view_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.489e-05);
  m_->SetValue("Air", EFDataSource, 2);
  view_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  view_->NotifyOneUtilityOfChanges(-1, FuelSourceID);
  view_->NotifyOneUtilityOfChanges(99, EFDataSource);
}

TEST_F(DefaultUtilManagerViewTest, EmptySelectedIndexStaysEmptyForList1) {
  view_->SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(view_->SetSelectedDataSource(1));
  view_->ResetSelectedFuelSource();
  view_->NotifyAllUtilitiesOfGlobalChanges();
  for (int i = 0; i < m_->GetNumberOfDefaultUtilities(); ++i) {
    EXPECT_EQ(m_->GetValue(i, FuelSourceID), kEmptyValue);
    EXPECT_EQ(m_->GetValue(i, EFDataSource), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, SourcesAndPositionsAreChecked) {
  EXPECT_FALSE(view_->AddDefaultFuelSource(DefaultUtilManagerView::kUserFactor,
                                           "Mine", 1.0));
  EXPECT_FALSE(view_->SetSelectedDataSource(3));
  EXPECT_FALSE(view_->SetSelectedDataSource(-1));
  EXPECT_FALSE(view_->SelectFuelSource(0));  // nothing offered yet
  // Without carbon tracking no data source is selected.
  EXPECT_TRUE(view_->SetSelectedDataSource(0));
  EXPECT_EQ(view_->GetSelectedDataSource(), -1);
  view_->SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(view_->SetSelectedDataSource(0));
  EXPECT_FALSE(view_->SelectFuelSource(46));
  EXPECT_FALSE(view_->SelectFuelSource(-1));
  EXPECT_TRUE(view_->SelectFuelSource(45));
  EXPECT_EQ(view_->GetFuelSourceList(2), nullptr);
  DefaultUtilManagerView no_database(nullptr, nullptr);
  EXPECT_FALSE(no_database.isFuelTypeOkToSelect(0, 50));
  no_database.NotifyAllUtilitiesOfGlobalChanges();
}

// --- The lists ---------------------------------------------------------------

TEST_F(DefaultUtilManagerViewTest, BuiltInListsHoldEveryFuel) {
  const auto* list0 = view_->GetFuelSourceList(0);
  const auto* list1 = view_->GetFuelSourceList(1);
  ASSERT_EQ(list0->size(), 46u);
  ASSERT_EQ(list1->size(), 44u);
  EXPECT_EQ((*list1)[30]->GetName(), "Natural gas");
  EXPECT_EQ((*list1)[30]->GetCO2EmissionFactor(), 5.589e-05);
  EXPECT_EQ((*list0)[30]->GetName(), "Natural gas");
  EXPECT_EQ((*list0)[30]->GetCO2EmissionFactor(), 5.61e-05);
  EXPECT_EQ((*list0)[0]->GetName(), "Aviation gasoline (AvGas)");
  EXPECT_EQ((*list0)[7]->GetCO2EmissionFactor(), 0.0002594);
  EXPECT_EQ((*list0)[45]->GetName(), "Wood");
  EXPECT_EQ((*list1)[13]->GetName(), "Dired sewage sludge");
  EXPECT_EQ((*list1)[43]->GetCO2EmissionFactor(), 9.888e-05);
  EXPECT_EQ((*list1)[0]->GetFuelIndex(), kEmptyValue);
  EXPECT_EQ((*list1)[0]->GetFuelEffFactor(), 1.0);
  EXPECT_EQ(FindFuelByID(1, 76)->co2EmissionFactor, 5.589e-05);
  EXPECT_EQ(FindFuelByID(0, 30)->co2EmissionFactor, 5.61e-05);
  EXPECT_EQ(FindFuelByID(1, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, std::nan("")), nullptr);
  FuelSourceStruct empty;
  EXPECT_EQ(empty.GetDisplayName(), "");
  EXPECT_EQ(empty.GetFuelEffFactor(), kEmptyValue);
}

// --- Per-utility and database-wide choices -----------------------------------

TEST_F(DefaultUtilManagerViewTest, FuelSelectionFollowsTheDataSource) {
  EXPECT_TRUE(view_->isFuelTypeOkToSelect(kAir, 46));
  EXPECT_FALSE(view_->isFuelTypeOkToSelect(kAir, 45));
  m_->SetValue("Air", EFDataSource, 0);
  EXPECT_FALSE(view_->isFuelTypeOkToSelect(kAir, 46));
  EXPECT_TRUE(view_->isFuelTypeOkToSelect(kAir, 10));
  view_->NotifyOneUtilityOfChanges(kAir, EFDataSource);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1.0);
  m_->SetValue("Air", FuelSourceID, 30.7);
  view_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.61e-05);
  m_->SetValue("Air", EFDataSource, 2);
  EXPECT_FALSE(view_->isFuelTypeOkToSelect(kAir, 10));
}

TEST_F(DefaultUtilManagerViewTest, GlobalChoiceSparesUtilitiesWithTheirOwn) {
  view_->SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(view_->SetSelectedDataSource(1));
  ASSERT_TRUE(view_->SelectFuelSource(1));  // "Biogas"
  m_->SetValue("Air", GlobalSetting, 0.0);
  m_->SetValue("Air", FuelSourceID, 5);
  view_->NotifyAllUtilitiesOfGlobalChanges();
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), 5);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelSourceID), 47);
  EXPECT_EQ(m_->GetValue("Cooling Water", CO2EmissionFactor), 5.489e-05);
  EXPECT_EQ(m_->GetValue("Cooling Water", EFDataSource), 1.0);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelEffFactor), 1.0);
  // With tracking off every utility follows, and becomes global again.
  view_->SetCarbonTrackingEnabled(false);
  EXPECT_EQ(view_->GetSelectedDataSource(), -1);
  EXPECT_EQ(view_->GetOfferedFuelList(), nullptr);
  view_->NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", GlobalSetting), 1.0);
  EXPECT_EQ(m_->GetValue("Air", EFDataSource), -1.0);
}

TEST_F(DefaultUtilManagerViewTest, UserFactorSourceHasUnitEfficiency) {
  view_->SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(view_->SetSelectedDataSource(2));
  EXPECT_EQ(view_->GetSelectedFuelSource().GetFuelEffFactor(), 1.0);
  EXPECT_EQ(view_->GetOfferedFuelList(), nullptr);
  view_->SetUserEmissionFactor(6e-5);
  view_->NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 6e-5);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
}

// --- Class data --------------------------------------------------------------

// Every state a user can leave the carbon settings in is stored and
// recalled as it was, the "no source chosen yet" one included.
struct CarbonState {
  const char* name;
  bool tracking;
  int source;    // -2: leave as it is
  int position;  // -1: select nothing
  double user_factor;
};

class CarbonStateRoundTrip : public DefaultUtilManagerViewTest,
                             public ::testing::WithParamInterface<CarbonState> {
};

TEST_P(CarbonStateRoundTrip, RecallGivesTheStoredState) {
  const CarbonState& state = GetParam();
  m_->AddDefaultUtility("Carried");
  view_->SetCarbonTrackingEnabled(state.tracking);
  if (state.source != -2) view_->SetSelectedDataSource(state.source);
  if (state.position >= 0) {
    ASSERT_TRUE(view_->SelectFuelSource(state.position));
  }
  if (state.user_factor != 0.0) view_->SetUserEmissionFactor(state.user_factor);
  const std::string bytes = StoreView(*view_);

  DefaultUtilManagerView copy(nullptr, nullptr);
  ASSERT_TRUE(RecallView(copy, bytes));
  ASSERT_NE(copy.GetDatabase(), nullptr);
  EXPECT_EQ(copy.GetDatabase()->Exists("Carried"), 1);
  EXPECT_EQ(copy.GetDatabase()->GetNumberOfDefaultUtilities(), 23);
  EXPECT_EQ(copy.IsCarbonTrackingEnabled(), view_->IsCarbonTrackingEnabled());
  EXPECT_EQ(copy.GetSelectedDataSource(), view_->GetSelectedDataSource());
  EXPECT_EQ(testing::Fields(copy.GetSelectedFuelSource()),
            testing::Fields(view_->GetSelectedFuelSource()));
  EXPECT_EQ(copy.GetOfferedFuelList(),
            copy.GetFuelSourceList(copy.GetSelectedDataSource()));

  // Version 2 data carry the database only.
  DefaultUtilManagerView v2(nullptr, nullptr);
  ASSERT_TRUE(RecallView(v2, bytes, 2));
  EXPECT_NE(v2.GetDatabase(), nullptr);
  EXPECT_FALSE(v2.IsCarbonTrackingEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    EveryReachableState, CarbonStateRoundTrip,
    ::testing::Values(CarbonState{"TrackingOff", false, -2, -1, 0.0},
                      CarbonState{"TrackingOnNoSourceChosen", true, -2, -1,
                                  0.0},
                      CarbonState{"FirstListNoFuel", true, 0, -1, 0.0},
                      CarbonState{"FirstListFuel", true, 0, 30, 0.0},
                      CarbonState{"SecondListFuel", true, 1, 2, 0.0},
                      CarbonState{"UserFactorUnset", true, 2, -1, 0.0},
                      CarbonState{"UserFactorSet", true, 2, -1, 6e-5}),
    [](const ::testing::TestParamInfo<CarbonState>& info) {
      return std::string(info.param.name);
    });

TEST_F(DefaultUtilManagerViewTest, TruncatedClassDataChangesNothing) {
  view_->SetCarbonTrackingEnabled(true);
  view_->SetSelectedDataSource(1);
  view_->SelectFuelSource(2);
  testing::ForEachTruncation(StoreView(*view_), 32,
                             [&](const std::string& cut) {
                               DefaultUtilManagerView target(nullptr, m_.get());
                               EXPECT_FALSE(RecallView(target, cut));
                               EXPECT_EQ(target.GetDatabase(), m_.get());
                               EXPECT_FALSE(target.IsCarbonTrackingEnabled());
                             });
  // A data source outside 0 to 2 is refused.
  BinaryFile file{Text("view.bin")};
  ASSERT_TRUE(file.Create() && file.Write(static_cast<unsigned char>(0)) &&
              file.Write(static_cast<unsigned char>(1)) && file.Write(9) &&
              file.Write(1.0) && file.Write(Text("x")) && file.Write(1.0) &&
              file.Write(1.0) && file.Close());
  DefaultUtilManagerView target(nullptr, nullptr);
  EXPECT_FALSE(RecallView(target, fs_.GetFile("view.bin")));
  EXPECT_EQ(target.GetDatabase(), nullptr);
}

TEST_F(DefaultUtilManagerViewTest, TypeIsRegisteredWithItsVersion) {
  const ObjectTypeInfo* type = FindObjectType("DefaultUtilManagerViewObject");
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->ClassDataVersion(), 3);
  EXPECT_EQ(view_->Type(), type);
}

}  // namespace
}  // namespace pemar
