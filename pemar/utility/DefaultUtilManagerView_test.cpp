#include "pemar/utility/DefaultUtilManagerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using testing::Fields;

constexpr int kAir = 12;  // position of "Air" in the built-in set

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
  v_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.489e-05);
  m_->SetValue("Air", EFDataSource, 2);
  v_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  v_->NotifyOneUtilityOfChanges(-1, FuelSourceID);
  v_->NotifyOneUtilityOfChanges(99, EFDataSource);
  const double inf = std::numeric_limits<double>::infinity();
  for (double id : {3.0, -32767.0, 1e300, std::nan(""), 90.0, -inf}) {
    m_->SetValue("Air", CO2EmissionFactor, 1.0);
    m_->SetValue("Air", FuelSourceID, id);
    v_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
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
}

TEST_F(DefaultUtilManagerViewTest, BuiltInListsHoldEveryFuel) {
  EXPECT_EQ(v_->GetFuelSourceList(0)->size(), 46u);
  EXPECT_EQ(v_->GetFuelSourceList(1)->size(), 44u);
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
    EXPECT_EQ(Fields(*v_->GetFuelSourceList(f.list)->at(f.i)), f.fields);
  }
  ASSERT_NE(FindFuelByID(1, 76), nullptr);
  EXPECT_EQ(FindFuelByID(1, 76)->co2EmissionFactor, 5.589e-05);
  ASSERT_NE(FindFuelByID(0, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, 30)->co2EmissionFactor, 5.61e-05);
  EXPECT_EQ(FindFuelByID(1, 30), nullptr);
  EXPECT_EQ(FindFuelByID(0, std::nan("")), nullptr);
}

TEST_F(DefaultUtilManagerViewTest, FuelSelectionFollowsTheDataSource) {
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAir, 46), 1);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAir, 45), 0);
  m_->SetValue("Air", EFDataSource, 0);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAir, 46), 0);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAir, 10), 1);
  v_->NotifyOneUtilityOfChanges(kAir, EFDataSource);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1);
  m_->SetValue("Air", FuelSourceID, 30.7);
  v_->NotifyOneUtilityOfChanges(kAir, FuelSourceID);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 5.61e-05);
  m_->SetValue("Air", EFDataSource, 2);
  EXPECT_EQ(v_->isFuelTypeOkToSelect(kAir, 10), 0);
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
  v_->SetCarbonTrackingEnabled(false);
  EXPECT_EQ(v_->GetSelectedDataSource(), -1);
  EXPECT_EQ(v_->GetOfferedFuelList(), nullptr);
  v_->NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", GlobalSetting), 1);
  EXPECT_EQ(m_->GetValue("Air", EFDataSource), -1);
}

TEST_F(DefaultUtilManagerViewTest, UserFactorSourceHasUnitEfficiency) {
  v_->SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v_->SetSelectedDataSource(2), 1);
  // The selected fuel has no name.
  EXPECT_EQ(Fields(v_->GetSelectedFuelSource()), " -32767 -32767 1");
  EXPECT_EQ(v_->GetOfferedFuelList(), nullptr);
  v_->SetUserEmissionFactor(6e-5);
  v_->NotifyOneUtilityOfGlobalChanges(kAir);
  EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), 6e-5);
  EXPECT_EQ(m_->GetValue("Air", FuelSourceID), kEmptyValue);
}

TEST_F(DefaultUtilManagerViewTest, EmptySelectedIndexStaysEmptyForList1) {
  v_->SetCarbonTrackingEnabled(true);
  EXPECT_EQ(v_->SetSelectedDataSource(1), 1);
  v_->ResetSelectedFuelSource();
  v_->NotifyAllUtilitiesOfGlobalChanges();
  for (int i = 0; i < m_->GetNumberOfDefaultUtilities(); ++i) {
    EXPECT_EQ(m_->GetValue(i, FuelSourceID), kEmptyValue);
    EXPECT_EQ(m_->GetValue(i, EFDataSource), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, UserSourcesEmptyFuelsAndNoDatabase) {
  EXPECT_FALSE(v_->AddDefaultFuelSource(DefaultUtilManagerView::kUserFactor,
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
    EXPECT_EQ(copy.GetOfferedFuelList(),
              copy.GetFuelSourceList(copy.GetSelectedDataSource()));
    DefaultUtilManagerView v2(nullptr, nullptr);
    ASSERT_TRUE(RecallView(v2, bytes, 2));
    EXPECT_NE(v2.GetDatabase(), nullptr);
    EXPECT_FALSE(v2.IsCarbonTrackingEnabled());
  }
}

TEST_F(DefaultUtilManagerViewTest, TruncatedClassDataChangesNothing) {
  v_->SetCarbonTrackingEnabled(true);
  v_->SetSelectedDataSource(1);
  v_->SelectFuelSource(2);
  testing::ForEachTruncation(StoreView(*v_), 32, [&](const std::string& cut) {
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
  EXPECT_EQ(v_->Type(), type);
}

}  // namespace
}  // namespace pemar
