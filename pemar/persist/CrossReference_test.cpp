#include "pemar/persist/CrossReference.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/testing/FakeEngineeringManager.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar {
namespace {

using test_support::FakeEngineeringManager;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

// The layout of one reference, from testdata/<kind>_reference.golden.
std::string Reference(const std::string& kind) {
  return test_support::GoldenFile("pemar/persist/testdata/" + kind +
                                  "_reference.golden");
}

class CrossReferenceTest : public ::testing::Test {
 protected:
  // What recalling a design reference from `bytes` through `manager`
  // answers; recalled_ gets the design.
  bool RecallDesign(const std::string& bytes, IEngObjectRegistry* manager) {
    fs_.SetFile("ref.bin", bytes);
    BinaryFile file{Text("ref.bin")};
    EXPECT_TRUE(file.Open(false));
    recalled_ = design_;
    return RecallDesignPointer(file, manager, &recalled_);
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  FakeEngineeringManager manager_;
  test_support::FakeProject* project_ = manager_.AddProject("Site");
  test_support::FakeHiScenario* scenario_ = &project_->scenario;
  IHENDesign* design_ = &scenario_->design;
  IComplexColumn* column_ = &project_->column;
  const std::string kNull = Reference("null");
  const std::string kDesign = Reference("design");
  IHENDesign* recalled_ = nullptr;
};

// A design reference cut anywhere, or recalled without a manager or through a
// registry missing its project or scenario, fails; a missing design alone
// recalls as null.
TEST_F(CrossReferenceTest, DesignReferenceCutOrMissingALinkFails) {
  test_support::ForEachTruncation(kDesign, 0, [&](const std::string& cut) {
    EXPECT_FALSE(RecallDesign(cut, &manager_));
  });
  EXPECT_FALSE(RecallDesign(kDesign, nullptr));
  FakeEngineeringManager other;
  EXPECT_FALSE(RecallDesign(kDesign, &other));
  other.AddProject("Site")->scenario.name = "Other";  // no "Base case"
  EXPECT_FALSE(RecallDesign(kDesign, &other));
  scenario_->design.name = "Other";  // no "Retrofit"
  EXPECT_TRUE(RecallDesign(kDesign, &manager_));
  EXPECT_EQ(recalled_, nullptr);
}

// Null references of every kind, and chains with a null link, store the
// null reference, which recalls as null (a project as the caller had it).
TEST_F(CrossReferenceTest, NullOrBrokenReferencesOfEveryKindRecallAsNull) {
  test_support::FakeHenDesign orphan(nullptr, "Orphan");
  const std::string written = WrittenBytes(fs_, [&](BinaryFile& f) {
    return StoreProjectPointer(f, nullptr) &&
           StoreScenarioPointer(f, static_cast<ISTScenario*>(nullptr)) &&
           StoreDesignPointer(f, static_cast<ISTDesign*>(nullptr)) &&
           StorePemarScenarioPointer(f, nullptr) &&
           StoreComplexColumnPointer(f, nullptr, "Site") &&
           StoreDesignPointer(f, &orphan) &&
           StoreComplexColumnPointer(f, column_, nullptr);
  });
  std::string nulls;
  for (int i = 0; i < 7; ++i) nulls += kNull;
  EXPECT_TRUE(SameBytes(written, nulls));
  void* kept = &manager_;
  IHENDesign* hen = design_;
  IPemarScenario* ps = scenario_;
  IComplexColumn* col = column_;
  EXPECT_TRUE(
      ReadsAll(fs_, nulls.substr(0, 4 * kNull.size()), [&](BinaryFile& f) {
        return RecallProjectPointer(f, &manager_, &kept, 501) &&
               RecallDesignPointer(f, &manager_, &hen) &&
               RecallPemarScenarioPointer(f, &manager_, &ps) &&
               RecallComplexColumnPointer(f, &manager_, &col);
      }));
  EXPECT_EQ(kept, &manager_);
  EXPECT_TRUE(!hen && !ps && !col);
}

// Every kind stores its layout, and resolves by name from it.
TEST_F(CrossReferenceTest, EveryKindStoresItsLayoutAndResolvesByName) {
  IHeatIntegrationScenario* hi = scenario_;
  const std::string written = WrittenBytes(fs_, [&](BinaryFile& f) {
    return StoreProjectPointer(f, project_) && StoreScenarioPointer(f, hi) &&
           StoreScenarioPointer(f, hi) && StoreDesignPointer(f, design_) &&
           StoreDesignPointer(f, design_) &&
           StoreComplexColumnPointer(f, column_, "Site");
  });
  const std::string scenario = Reference("scenario");
  const std::string bytes = Reference("project") + scenario + scenario +
                            kDesign + kDesign + Reference("column");
  EXPECT_TRUE(SameBytes(written, bytes));
  void* project = nullptr;
  IHeatIntegrationScenario* total_site = hi = nullptr;
  IHENDesign *design = nullptr, *total_site_design = nullptr;
  IComplexColumn* column = nullptr;
  EXPECT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& f) {
    return RecallProjectPointer(f, &manager_, &project, 501) &&
           RecallScenarioPointer(f, &manager_, &hi) &&
           RecallScenarioTotalSitePointer(f, &manager_, &total_site) &&
           RecallDesignPointer(f, &manager_, &design) &&
           RecallDesignTotalSitePointer(f, &manager_, &total_site_design) &&
           RecallComplexColumnPointer(f, &manager_, &column);
  }));
  EXPECT_EQ(project, static_cast<IHeatIntegrationProject*>(project_));
  EXPECT_TRUE(hi == scenario_ && total_site == scenario_);
  EXPECT_EQ(column, column_);
  EXPECT_TRUE(design == design_ && total_site_design == design_);
}

// A project the registry lacks is created when one of the type asked can
// be made; otherwise the reference recalls as null, with success.
TEST_F(CrossReferenceTest, ProjectReferenceCreatesUnknownProject) {
  const std::string bytes =
      test_support::Bytes("A5 5A 01 00 0C 00 00 00 08 00 00 00 'New site'");
  void* result = nullptr;
  for (long type : {501L, 4242L}) {
    EXPECT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& f) {
      return RecallProjectPointer(f, &manager_, &result, type);
    }));
    ASSERT_EQ(result != nullptr, type == 501) << type;
  }
  ASSERT_EQ(manager_.objects().size(), 2u);
  EXPECT_STREQ(manager_.objects().back()->GetMyIdentifier(), "New site");
}

}  // namespace
}  // namespace pemar
