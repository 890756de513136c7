#include "pemar/utility/DefaultUtilManagerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using testing::Fields;

constexpr int kAir = 12;  // position of "Air" in the built-in set

class DefaultUtilManagerViewTest : public testing::UtilityTest {
 protected:
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
};

TEST_F(DefaultUtilManagerViewTest, FuelIDsOutsideTheListGiveNoFactor) {
  DefaultUtilManagerView& v = View();
  m_->SetValue("Air", FuelSourceID, 47);
  v.NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.489e-05);
  m_->SetValue("Air", EFDataSource, 2);
  v.NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  v.NotifyOneUtilityOfChanges(-1, FuelSourceID);
  v.NotifyOneUtilityOfChanges(99, EFDataSource);
  const double inf = std::numeric_limits<double>::infinity();
  for (double id : {3.0, -32767.0, 1e300, std::nan(""), 90.0, -inf}) {
    m_->SetValue("Air", CO2EmissionFactor, 1.0);
    m_->SetValue("Air", FuelSourceID, id);
    v.NotifyOneUtilityOfChanges(kAir, FuelSourceID);
    EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue) << id;
    EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, SourcesAndPositionsAreChecked) {
  DefaultUtilManagerView& v = View();
  EXPECT_EQ(v.SetSelectedDataSource(3), 0);
  EXPECT_EQ(v.SetSelectedDataSource(-1), 0);
  EXPECT_EQ(v.SelectFuelSource(0), 0);
  EXPECT_EQ(v.SetSelectedDataSource(0), 1);
  EXPECT_EQ(v.GetSelectedDataSource(), -1);
  v.SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v.SetSelectedDataSource(0), 1);
  EXPECT_EQ(v.SelectFuelSource(46), 0);
  EXPECT_EQ(v.SelectFuelSource(-1), 0);
  EXPECT_EQ(v.SelectFuelSource(45), 1);
  EXPECT_EQ(v.GetFuelSourceList(2), nullptr);
}

TEST_F(DefaultUtilManagerViewTest, BuiltInListsHoldEveryFuel) {
  EXPECT_EQ(View().GetFuelSourceList(0)->size(), 46u);
  EXPECT_EQ(View().GetFuelSourceList(1)->size(), 44u);
  const struct {
    int list, i;
    const char* fields;  // name index CO2-factor efficiency
  } fuels[] = {{0, 0, "Aviation gasoline (AvGas) -32767 7e-05 1"},
               {0, 7, "Blast furnace gas -32767 0.0002594 1"},
               {0, 30, "Natural gas -32767 5.61e-05 1"},
               {0, 45, "Wood -32767 0 1"},
               {1, 0, "Asphalt -32767 7.964e-05 1"},
               {1, 13, "Dired sewage sludge -32767 0.00011596 1"},
               {1, 30, "Natural gas -32767 5.589e-05 1"},
               {1, 43, "Wood -32767 9.888e-05 1"}};
  for (const auto& f : fuels) {
    EXPECT_EQ(Fields(*View().GetFuelSourceList(f.list)->at(f.i)), f.fields);
  }
  ASSERT_NE(FindFuelByID(1, 76), nullptr);
  EXPECT_EQ(FindFuelByID(1, 76)->co2EmissionFactor, 5.589e-05);
  ASSERT_NE(FindFuelByID(0, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, 30)->co2EmissionFactor, 5.61e-05);
  EXPECT_EQ(FindFuelByID(1, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, std::nan("")), nullptr);
}

TEST_F(DefaultUtilManagerViewTest, FuelSelectionFollowsTheDataSource) {
  DefaultUtilManagerView& v = View();
  EXPECT_EQ(v.isFuelTypeOkToSelect(kAir, 46), 1);
  EXPECT_EQ(v.isFuelTypeOkToSelect(kAir, 45), 0);
  m_->SetValue("Air", EFDataSource, 0);
  EXPECT_EQ(v.isFuelTypeOkToSelect(kAir, 46), 0);
  EXPECT_EQ(v.isFuelTypeOkToSelect(kAir, 10), 1);
  v.NotifyOneUtilityOfChanges(kAir, EFDataSource);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1);
  m_->SetValue("Air", FuelSourceID, 30.7);
  v.NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.61e-05);
  m_->SetValue("Air", EFDataSource, 2);
  EXPECT_EQ(v.isFuelTypeOkToSelect(kAir, 10), 0);
}

TEST_F(DefaultUtilManagerViewTest, GlobalChoiceSparesUtilitiesWithTheirOwn) {
  DefaultUtilManagerView& v = View();
  v.SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v.SetSelectedDataSource(1), 1);
  EXPECT_EQ(v.SelectFuelSource(1), 1);
  m_->SetValue("Air", GlobalSetting, 0);
  m_->SetValue("Air", FuelSourceID, 5);
  v.NotifyAllUtilitiesOfGlobalChanges();
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), 5);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelSourceID), 47);
  EXPECT_EQ(m_->GetValue("Cooling Water", CO2EmissionFactor), 5.489e-05);
  EXPECT_EQ(m_->GetValue("Cooling Water", EFDataSource), 1);
  EXPECT_EQ(m_->GetValue("Cooling Water", FuelEffFactor), 1);
  v.SetCarbonTrackingEnabled(false);
  EXPECT_EQ(v.GetSelectedDataSource(), -1);
  EXPECT_EQ(v.GetOfferedFuelList(), nullptr);
  v.NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", GlobalSetting), 1);
  EXPECT_EQ(m_->GetValue("Air", EFDataSource), -1);
}

TEST_F(DefaultUtilManagerViewTest, UserFactorSourceHasUnitEfficiency) {
  DefaultUtilManagerView& v = View();
  v.SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v.SetSelectedDataSource(2), 1);
  // The selected fuel has no name.
  EXPECT_EQ(Fields(v.GetSelectedFuelSource()), " -32767 -32767 1");
  EXPECT_EQ(v.GetOfferedFuelList(), nullptr);
  v.SetUserEmissionFactor(6e-5);
  v.NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 6e-5);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
}

TEST_F(DefaultUtilManagerViewTest, EmptySelectedIndexStaysEmptyForList1) {
  View().SetCarbonTrackingEnabled(true);
  EXPECT_EQ(View().SetSelectedDataSource(1), 1);
  View().ResetSelectedFuelSource();
  View().NotifyAllUtilitiesOfGlobalChanges();
  for (int i = 0; i < m_->GetNumberOfDefaultUtilities(); ++i) {
    EXPECT_EQ(m_->GetValue(i, FuelSourceID), kEmptyValue);
    EXPECT_EQ(m_->GetValue(i, EFDataSource), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, UserSourcesEmptyFuelsAndNoDatabase) {
  EXPECT_FALSE(View().AddDefaultFuelSource(DefaultUtilManagerView::kUserFactor,
                                           "Mine", 1.0));
  FuelSourceStruct empty;
  EXPECT_EQ(empty.GetDisplayName(), "");
  EXPECT_EQ(empty.GetFuelEffFactor(), kEmptyValue);
  DefaultUtilManagerView no_database(nullptr, nullptr);
  EXPECT_FALSE(no_database.isFuelTypeOkToSelect(0, 50));
  no_database.NotifyAllUtilitiesOfGlobalChanges();
}

// Every state a user can leave the carbon settings in is stored and
// recalled as it was, the "no source chosen yet" one included; version 2
// data carry the database only.
TEST_F(DefaultUtilManagerViewTest, RecallGivesTheStoredCarbonState) {
  const struct {
    const char* name;
    bool tracking;
    int source;    // -2: leave as it is
    int position;  // -1: select nothing
    double user_factor;
  } states[] = {{"TrackingOff", false, -2, -1, 0.0},
                {"TrackingOnNoSourceChosen", true, -2, -1, 0.0},
                {"FirstListNoFuel", true, 0, -1, 0.0},
                {"FirstListFuel", true, 0, 30, 0.0},
                {"SecondListFuel", true, 1, 2, 0.0},
                {"UserFactorUnset", true, 2, -1, 0.0},
                {"UserFactorSet", true, 2, -1, 6e-5}};
  for (const auto& state : states) {
    SCOPED_TRACE(state.name);
    auto m = testing::NewManager();
    m->AddDefaultUtility("Carried");
    DefaultUtilManagerView view(nullptr, m.get());
    view.SetCarbonTrackingEnabled(state.tracking);
    if (state.source != -2) view.SetSelectedDataSource(state.source);
    if (state.position >= 0) {
      ASSERT_TRUE(view.SelectFuelSource(state.position));
    }
    if (state.user_factor != 0.0) view.SetUserEmissionFactor(state.user_factor);
    const std::string bytes = StoreView(view);
    DefaultUtilManagerView copy(nullptr, nullptr);
    ASSERT_TRUE(RecallView(copy, bytes));
    ASSERT_NE(copy.GetDatabase(), nullptr);
    // Stored again, the copy gives the same bytes: everything was read.
    EXPECT_EQ(StoreView(copy), bytes);
    EXPECT_EQ(copy.GetDatabase()->Exists("Carried"), 1);
    EXPECT_EQ(copy.GetOfferedFuelList(),
              copy.GetFuelSourceList(copy.GetSelectedDataSource()));
    DefaultUtilManagerView v2(nullptr, nullptr);
    ASSERT_TRUE(RecallView(v2, bytes, 2));
    EXPECT_NE(v2.GetDatabase(), nullptr);
    EXPECT_FALSE(v2.IsCarbonTrackingEnabled());
  }
}

TEST_F(DefaultUtilManagerViewTest, TruncatedClassDataChangesNothing) {
  View().SetCarbonTrackingEnabled(true);
  View().SetSelectedDataSource(1);
  View().SelectFuelSource(2);
  testing::ForEachTruncation(StoreView(View()), 32,
                             [&](const std::string& cut) {
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

TEST_F(DefaultUtilManagerViewTest, TypeIsRegisteredWithItsVersion) {
  const ObjectTypeInfo* type = FindObjectType("DefaultUtilManagerViewObject");
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->ClassDataVersion(), 3);
  EXPECT_EQ(View().Type(), type);
}

}  // namespace
}  // namespace pemar
