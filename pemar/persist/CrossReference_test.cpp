#include "pemar/persist/CrossReference.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/testing/FakeEngineeringManager.h"
#include "pemar/persist/testing/GoldenBytes.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::FakeEngineeringManager;

// The byte layout of references, written by hand from docs/file-format.md
// ("Object references"): one chunk of revision 1 holding Text values.
const std::string kNull = Bytes(
    "A5 5A 01 00 0F 00 00 00"  // chunk: revision 1, 15 bytes
    "0B 00 00 00 'NULL_OBJECT'");
const std::string kProject =
    Bytes("A5 5A 01 00 08 00 00 00 04 00 00 00 'Site'");
const std::string kScenario =
    Bytes("A5 5A 01 00 15 00 00 00 04 00 00 00 'Site' 09 00 00 00 'Base case'");
const std::string kDesign = Bytes(
    "A5 5A 01 00 21 00 00 00 04 00 00 00 'Site' 09 00 00 00 'Base case'"
    "08 00 00 00 'Retrofit'");
const std::string kColumn =
    Bytes("A5 5A 01 00 11 00 00 00 04 00 00 00 'Site' 05 00 00 00 'C-101'");

class CrossReferenceTest : public ::testing::Test {
 protected:
  // What `recall` answers on a file holding `bytes`; a file that does not
  // open fails the test.
  template <typename Read>
  bool Recalled(const std::string& bytes, Read recall) {
    fs_.SetFile("ref.bin", bytes);
    BinaryFile file{Text("ref.bin")};
    EXPECT_TRUE(file.Open(false));
    return recall(file) != 0;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  FakeEngineeringManager manager_;
  test_support::FakeProject* project_ = manager_.AddProject("Site");
  test_support::FakeHiScenario* scenario_ = project_->AddScenario("Base case");
  IHENDesign* design_ = scenario_->AddDesign("Retrofit");
  IComplexColumn* column_ = project_->AddColumn("C-101");
};

// Null references of every kind, and chains with a null link, store the
// null reference, which recalls as null (a project as the caller had it).
TEST_F(CrossReferenceTest, NullOrBrokenReferencesOfEveryKindRecallAsNull) {
  test_support::FakeHenDesign orphan(nullptr, "Orphan");
  std::string nulls;
  for (int i = 0; i < 9; ++i) nulls += kNull;
  EXPECT_TRUE(test_support::SameBytes(
      test_support::WrittenBytes(
          fs_,
          [&](BinaryFile& f) {
            return StoreProjectPointer(f, nullptr) &&
                   StoreScenarioPointer(
                       f, static_cast<IHeatIntegrationScenario*>(nullptr)) &&
                   StoreDesignPointer(f, static_cast<IHENDesign*>(nullptr)) &&
                   StoreScenarioPointer(f,
                                        static_cast<ISTScenario*>(nullptr)) &&
                   StoreDesignPointer(f, static_cast<ISTDesign*>(nullptr)) &&
                   StorePemarScenarioPointer(f, nullptr) &&
                   StoreComplexColumnPointer(f, nullptr, "Site") &&
                   StoreDesignPointer(f, &orphan) &&
                   StoreComplexColumnPointer(f, column_, nullptr);
          }),
      nulls));
  void* kept = &manager_;
  IHeatIntegrationScenario* hi = scenario_;
  IHENDesign* hen = design_;
  auto* st = reinterpret_cast<ISTScenario*>(&kept);
  auto* std_ = reinterpret_cast<ISTDesign*>(&kept);
  IPemarScenario* ps = scenario_;
  IComplexColumn* col = column_;
  EXPECT_TRUE(test_support::ReadsAll(
      fs_, nulls.substr(0, 7 * kNull.size()), [&](BinaryFile& f) {
        return RecallProjectPointer(f, &manager_, &kept, 501) &&
               RecallScenarioPointer(f, &manager_, &hi) &&
               RecallDesignPointer(f, &manager_, &hen) &&
               RecallScenarioPointer(f, &manager_, &st) &&
               RecallDesignPointer(f, &manager_, &std_) &&
               RecallPemarScenarioPointer(f, &manager_, &ps) &&
               RecallComplexColumnPointer(f, &manager_, &col);
      }));
  EXPECT_EQ(kept, &manager_);
  EXPECT_TRUE(!hi && !hen && !st && !std_ && !ps && !col);
}

// Every kind stores its layout, and resolves by name from it; the generic
// and separation scenarios are stored like the heat-integration one.
TEST_F(CrossReferenceTest, EveryKindStoresItsLayoutAndResolvesByName) {
  struct Separation : ISTScenario {
    IPemarBaseObject* project;
    IPemarBaseObject* GetProject() override { return project; }
    const char* GetName() override { return "Base case"; }
    ISTDesign* FindDesign(const char*) override { return nullptr; }
  } separation;
  separation.project = project_;
  const std::string bytes = kProject + kScenario + kScenario + kScenario +
                            kDesign + kDesign + kColumn;
  EXPECT_TRUE(test_support::SameBytes(
      test_support::WrittenBytes(
          fs_,
          [&](BinaryFile& f) {
            return StoreProjectPointer(f, project_) &&
                   StoreScenarioPointer(
                       f, static_cast<IHeatIntegrationScenario*>(scenario_)) &&
                   StoreScenarioPointer(f, &separation) &&
                   StorePemarScenarioPointer(f, scenario_) &&
                   StoreDesignPointer(f, design_) &&
                   StoreDesignPointer(f, design_) &&
                   StoreComplexColumnPointer(f, column_, "Site");
          }),
      bytes));
  void* project = nullptr;
  IHeatIntegrationScenario *hi = nullptr, *total_site = nullptr;
  IPemarScenario* generic = nullptr;
  IHENDesign *design = nullptr, *total_site_design = nullptr;
  IComplexColumn* column = nullptr;
  EXPECT_TRUE(test_support::ReadsAll(fs_, bytes, [&](BinaryFile& f) {
    return RecallProjectPointer(f, &manager_, &project, 501) &&
           RecallScenarioPointer(f, &manager_, &hi) &&
           RecallScenarioTotalSitePointer(f, &manager_, &total_site) &&
           RecallPemarScenarioPointer(f, &manager_, &generic) &&
           RecallDesignPointer(f, &manager_, &design) &&
           RecallDesignTotalSitePointer(f, &manager_, &total_site_design) &&
           RecallComplexColumnPointer(f, &manager_, &column);
  }));
  EXPECT_EQ(project, static_cast<IHeatIntegrationProject*>(project_));
  EXPECT_EQ(hi, scenario_);
  EXPECT_EQ(total_site, scenario_);
  EXPECT_EQ(generic, scenario_);
  EXPECT_EQ(design, design_);
  EXPECT_EQ(total_site_design, design_);
  EXPECT_EQ(column, column_);
}

TEST_F(CrossReferenceTest, NullManagerFailsBeforeReading) {
  EXPECT_TRUE(Recalled(kDesign, [](BinaryFile& f) {
    IHENDesign* design = nullptr;
    return !RecallDesignPointer(f, nullptr, &design) && f.Position() == 0;
  }));
}

TEST_F(CrossReferenceTest, TruncatedReferenceFails) {
  for (std::size_t cut = 0; cut < kDesign.size(); ++cut) {
    EXPECT_FALSE(Recalled(kDesign.substr(0, cut), [&](BinaryFile& f) {
      IHENDesign* design = nullptr;
      return RecallDesignPointer(f, &manager_, &design);
    })) << cut;
  }
}

// A missing project or scenario fails the recall; a missing design only
// recalls as null.
TEST_F(CrossReferenceTest, MissingLinksOfADesign) {
  IHENDesign* design = design_;
  FakeEngineeringManager other;
  const auto recall = [&](BinaryFile& f) {
    return RecallDesignPointer(f, &other, &design);
  };
  EXPECT_FALSE(Recalled(kDesign, recall));
  other.AddProject("Site");  // the same project name, with no scenarios
  EXPECT_FALSE(Recalled(kDesign, recall));
  scenario_->designs.erase("Retrofit");
  EXPECT_TRUE(Recalled(kDesign, [&](BinaryFile& f) {
    return RecallDesignPointer(f, &manager_, &design);
  }));
  EXPECT_EQ(design, nullptr);
}

TEST_F(CrossReferenceTest, ProjectReferenceCreatesUnknownProject) {
  const std::string bytes =
      Bytes("A5 5A 01 00 0C 00 00 00 08 00 00 00 'New site'");
  void* result = nullptr;
  EXPECT_TRUE(Recalled(bytes, [&](BinaryFile& f) {
    return RecallProjectPointer(f, &manager_, &result, 501);
  }));
  ASSERT_NE(result, nullptr);
  ASSERT_EQ(manager_.objects().size(), 2u);
  EXPECT_STREQ(manager_.objects().back()->GetMyIdentifier(), "New site");
  // No project of this type can be made: null and success.
  EXPECT_TRUE(Recalled(bytes, [&](BinaryFile& f) {
    return RecallProjectPointer(f, &manager_, &result, 4242);
  }));
  EXPECT_EQ(result, nullptr);
}

}  // namespace
}  // namespace pemar
