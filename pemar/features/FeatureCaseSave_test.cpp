#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/SaveFaultLoop.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/features/testing/FeatureTestSupport.h"

namespace pemar {
namespace {

class FeatureCaseSaveTest : public test_support::SaveFaultTest {
 protected:
  void SetUp() override {
    SaveFaultTest::SetUp();
    test_support::RegisterTestFeatures();
  }

  // A case saving to `file` with a project named `marker` and a feature
  // manager holding `tables` property tables (each over its own range),
  // an instance of each other creatable feature per table, and a selection.
  std::unique_ptr<SimulationCase> FeatureCase(const std::string& file,
                                              const char* marker, int tables,
                                              int notes) {
    auto theCase = NewCase(file);
    AddProject(*theCase, marker, notes);
    auto* manager = static_cast<ExpMgrView*>(
        CaseBuildManager(theCase.get(), "FeatureManager"));
    for (int k = 0; k < tables; ++k) {
      for (const char* key : test_support::kCreatableFeatureKeys) {
        Viewable* made = manager->AddExperiment(key, nullptr);
        EXPECT_NE(made, nullptr) << key;
        if (auto* table = dynamic_cast<PropertyTableFeature*>(made)) {
          EXPECT_TRUE(table->SetRange(300.0 + k, 400.0 + 2 * k, 101.325 + k));
        }
      }
    }
    TechnologyManagerView* sep =
        manager->FindTechnologyManager("Separation Manager");
    if (sep != nullptr && tables > 0) {
      sep->SetChosenList("ResidueCurveMap");
      sep->Reselect("Residue Curve Map1");
    }
    return theCase;
  }
  bool SaveFeatureCase(const std::string& file, const char* marker,
                       int tables) {
    return FeatureCase(file, marker, tables, 2)->SaveDocument(0);
  }
};

// Every write, sync, close, rename, delete and open of the save of a case
// with features is made to fail in turn: the old case and its backups, all
// real case files with features of their own, come back whole.
TEST_F(FeatureCaseSaveTest, FailureAtEveryStepLosesNoFeature) {
  SetConfigData("NCaseBackups", 3);
  const int failures = FailEachStepOfTheSave(
      [&] {
        ASSERT_TRUE(SaveFeatureCase("a.bk0", "Zero", 1));
        ASSERT_TRUE(SaveFeatureCase("a.bk1", "One", 2));
        ASSERT_TRUE(SaveFeatureCase("a.kcs", "Old", 3));
      },
      [&] {
        // The notes make the file span several writes of its buffer.
        return FeatureCase("a.kcs", "New", 40, 3000);
      });
  EXPECT_GT(failures, 5);
}

}  // namespace
}  // namespace pemar
