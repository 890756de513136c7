#include "pemar/utility/DefaultUtilManagerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

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

// The scripts of testdata/view.csv, one test each.
class DefaultUtilManagerViewScript : public testing::ScriptTest {};
TEST_P(DefaultUtilManagerViewScript, Runs) { Run("view.csv", GetParam()); }
INSTANTIATE_TEST_SUITE_P(Fuels, DefaultUtilManagerViewScript,
                         ::testing::ValuesIn(testing::Scripts("view.csv")),
                         testing::TableName);

TEST_F(DefaultUtilManagerViewTest, FuelIDsOutsideTheListGiveNoFactor) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double id : {3.0, -32767.0, 1e300, std::nan(""), 90.0, -inf}) {
    m_->SetValue("Air", CO2EmissionFactor, 1.0);
    m_->SetValue("Air", FuelSourceID, id);
    View().NotifyOneUtilityOfChanges(12, FuelSourceID);  // Air
    EXPECT_EQ(m_->GetValue("Air", CO2EmissionFactor), kEmptyValue) << id;
    EXPECT_EQ(m_->GetValue("Air", FuelEffFactor), 1.0);
  }
}

TEST_F(DefaultUtilManagerViewTest, EmptySelectedIndexStaysEmptyForList1) {
  Run("view.csv", "empty-selected-index");
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
    EXPECT_EQ(copy.GetDatabase()->Exists("Carried"), 1);
    EXPECT_EQ(copy.GetDatabase()->GetNumberOfDefaultUtilities(), 23);
    EXPECT_EQ(copy.IsCarbonTrackingEnabled(), view.IsCarbonTrackingEnabled());
    EXPECT_EQ(copy.GetSelectedDataSource(), view.GetSelectedDataSource());
    EXPECT_EQ(testing::Fields(copy.GetSelectedFuelSource()),
              testing::Fields(view.GetSelectedFuelSource()));
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
