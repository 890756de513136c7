#include "pemar/persist/CrossReference.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "pemar/persist/testing/FakeEngineeringManager.h"

namespace pemar {
namespace {

using test_support::FakeEngineeringManager;
using test_support::FakeProject;

class CrossReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("pemar-xref-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "refs.bin").string();
    project_ = manager_.AddProject("Site");
    scenario_ = project_->AddScenario("Base case");
    design_ = scenario_->AddDesign("Retrofit");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Stores with `store`, then reopens the file for `recall`.
  void RoundTrip(const std::function<bool(BinaryFile&)>& store,
                 const std::function<void(BinaryFile&)>& recall) {
    {
      BinaryFile file(Text(path_), Text{});
      ASSERT_TRUE(file.Create());
      ASSERT_TRUE(store(file));
      ASSERT_TRUE(file.Close());
    }
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Open(false));
    recall(file);
  }

  std::filesystem::path dir_;
  std::string path_;
  FakeEngineeringManager manager_;
  FakeProject* project_ = nullptr;
  test_support::FakeHiScenario* scenario_ = nullptr;
  test_support::FakeHenDesign* design_ = nullptr;
};

TEST_F(CrossReferenceTest, NullManagerFailsBeforeReading) {
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile& f) {
              IHENDesign* design = nullptr;
              EXPECT_FALSE(RecallDesignPointer(f, nullptr, &design));
              EXPECT_EQ(f.Position(), 0u);
            });
}

TEST_F(CrossReferenceTest, TruncatedReferenceFails) {
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile&) {});
  auto size = std::filesystem::file_size(path_);
  for (std::uintmax_t cut = 0; cut < size; ++cut) {
    std::filesystem::resize_file(path_, cut);
    BinaryFile f(Text(path_), Text{});
    ASSERT_TRUE(f.Open(false));
    IHENDesign* design = nullptr;
    EXPECT_FALSE(RecallDesignPointer(f, &manager_, &design)) << cut;
  }
}

TEST_F(CrossReferenceTest, NullPointersOfEveryKindRecallAsNull) {
  RoundTrip(
      [&](BinaryFile& f) {
        return StoreProjectPointer(f, nullptr) &&
               StoreScenarioPointer(
                   f, static_cast<IHeatIntegrationScenario*>(nullptr)) &&
               StoreDesignPointer(f, static_cast<IHENDesign*>(nullptr)) &&
               StoreScenarioPointer(f, static_cast<ISTScenario*>(nullptr)) &&
               StoreDesignPointer(f, static_cast<ISTDesign*>(nullptr)) &&
               StorePemarScenarioPointer(f, nullptr) &&
               StoreComplexColumnPointer(f, nullptr, "Site");
      },
      [&](BinaryFile& f) {
        void* kept = &manager_;
        IHeatIntegrationScenario* hi = scenario_;
        IHENDesign* hen = design_;
        ISTScenario* st = reinterpret_cast<ISTScenario*>(1);
        ISTDesign* std_ = reinterpret_cast<ISTDesign*>(1);
        IPemarScenario* ps = reinterpret_cast<IPemarScenario*>(1);
        IComplexColumn* col = reinterpret_cast<IComplexColumn*>(1);
        EXPECT_TRUE(RecallProjectPointer(f, &manager_, &kept, 501));
        EXPECT_EQ(kept, &manager_);  // left as the caller had it
        EXPECT_TRUE(RecallScenarioPointer(f, &manager_, &hi));
        EXPECT_TRUE(RecallDesignPointer(f, &manager_, &hen));
        EXPECT_TRUE(RecallScenarioPointer(f, &manager_, &st));
        EXPECT_TRUE(RecallDesignPointer(f, &manager_, &std_));
        EXPECT_TRUE(RecallPemarScenarioPointer(f, &manager_, &ps));
        EXPECT_TRUE(RecallComplexColumnPointer(f, &manager_, &col));
        EXPECT_EQ(hi, nullptr);
        EXPECT_EQ(hen, nullptr);
        EXPECT_EQ(st, nullptr);
        EXPECT_EQ(std_, nullptr);
        EXPECT_EQ(ps, nullptr);
        EXPECT_EQ(col, nullptr);
      });
}

TEST_F(CrossReferenceTest, BrokenChainIsStoredAsNullReference) {
  design_->Detach();  // a design that lost its scenario
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile& f) {
              IHENDesign* design = design_;
              EXPECT_TRUE(RecallDesignPointer(f, &manager_, &design));
              EXPECT_EQ(design, nullptr);
            });
  RoundTrip(
      [&](BinaryFile& f) {
        return StoreComplexColumnPointer(f, project_->AddColumn("C1"), nullptr);
      },
      [&](BinaryFile& f) {
        IComplexColumn* column = nullptr;
        EXPECT_TRUE(RecallComplexColumnPointer(f, &manager_, &column));
        EXPECT_EQ(column, nullptr);
      });
}

TEST_F(CrossReferenceTest, ScenarioAndDesignResolveByName) {
  RoundTrip(
      [&](BinaryFile& f) {
        return StoreScenarioPointer(
                   f, static_cast<IHeatIntegrationScenario*>(scenario_)) &&
               StoreDesignPointer(f, static_cast<IHENDesign*>(design_));
      },
      [&](BinaryFile& f) {
        IHeatIntegrationScenario* scenario = nullptr;
        IHENDesign* design = nullptr;
        EXPECT_TRUE(RecallScenarioPointer(f, &manager_, &scenario));
        EXPECT_TRUE(RecallDesignPointer(f, &manager_, &design));
        EXPECT_EQ(scenario, scenario_);
        EXPECT_EQ(design, design_);
      });
}

TEST_F(CrossReferenceTest, TotalSiteVariantAsksForItsOwnType) {
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile& f) {
              IHENDesign* design = nullptr;
              EXPECT_TRUE(RecallDesignTotalSitePointer(f, &manager_, &design));
              EXPECT_EQ(design, design_);
            });
}

TEST_F(CrossReferenceTest, DeletedDesignRecallsAsNull) {
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile& f) {
              scenario_->RemoveDesign("Retrofit");
              design_ = nullptr;
              IHENDesign* design = nullptr;
              EXPECT_TRUE(RecallDesignPointer(f, &manager_, &design));
              EXPECT_EQ(design, nullptr);
            });
}

TEST_F(CrossReferenceTest, MissingProjectFails) {
  FakeEngineeringManager empty;
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, design_); },
            [&](BinaryFile& f) {
              IHENDesign* design = nullptr;
              EXPECT_FALSE(RecallDesignPointer(f, &empty, &design));
            });
}

TEST_F(CrossReferenceTest, ScenarioWithUnknownNameFailsDesignRecall) {
  auto* gone = project_->AddScenario("Gone");
  auto* d = gone->AddDesign("D");
  RoundTrip([&](BinaryFile& f) { return StoreDesignPointer(f, d); },
            [&](BinaryFile& f) {
              FakeEngineeringManager other;
              other.AddProject("Site");  // same project name, no scenarios
              IHENDesign* design = nullptr;
              EXPECT_FALSE(RecallDesignPointer(f, &other, &design));
            });
}

TEST_F(CrossReferenceTest, ProjectReferenceCreatesUnknownProject) {
  FakeProject stored("New site");
  RoundTrip([&](BinaryFile& f) { return StoreProjectPointer(f, &stored); },
            [&](BinaryFile& f) {
              void* result = nullptr;
              EXPECT_TRUE(RecallProjectPointer(f, &manager_, &result, 501));
              ASSERT_NE(result, nullptr);
              EXPECT_EQ(manager_.objects().size(), 2u);
              EXPECT_STREQ(manager_.objects().back()->GetMyIdentifier(),
                           "New site");
            });
  RoundTrip([&](BinaryFile& f) { return StoreProjectPointer(f, &stored); },
            [&](BinaryFile& f) {
              void* result = &manager_;
              // No project of this type can be made: null and success.
              EXPECT_TRUE(RecallProjectPointer(f, &manager_, &result, 4242));
              EXPECT_EQ(result, nullptr);
            });
}

TEST_F(CrossReferenceTest, PemarScenarioIsStoredLikeSeparationScenario) {
  struct Scenario : IPemarScenario, ISTScenario {
    IPemarBaseObject* project;
    explicit Scenario(IPemarBaseObject* p) : project(p) {}
    int GetDesignCount() override { return 0; }
    IPemarBaseObject* GetProject() override { return project; }
    const char* GetName() override { return "Split"; }
    ISTDesign* FindDesign(const char*) override { return nullptr; }
  } scenario(project_);
  RoundTrip(
      [&](BinaryFile& f) { return StorePemarScenarioPointer(f, &scenario); },
      [&](BinaryFile&) {});
  std::ifstream a(path_, std::ios::binary);
  std::string bytesA((std::istreambuf_iterator<char>(a)), {});
  RoundTrip(
      [&](BinaryFile& f) {
        return StoreScenarioPointer(f, static_cast<ISTScenario*>(&scenario));
      },
      [&](BinaryFile&) {});
  std::ifstream b(path_, std::ios::binary);
  std::string bytesB((std::istreambuf_iterator<char>(b)), {});
  EXPECT_EQ(bytesA, bytesB);
}

TEST_F(CrossReferenceTest, PemarScenarioResolvesThroughTheScenarioLookup) {
  // A project of type 101 answers QueryInterface with an interface of the
  // layer above (here: its base object); its scenarios are found through
  // the IPemarScenarioProject it derives from.
  struct Scenario : IPemarScenario {
    IPemarBaseObject* project = nullptr;
    int GetDesignCount() override { return 0; }
    IPemarBaseObject* GetProject() override { return project; }
    const char* GetName() override { return "Split"; }
  };
  struct ScenarioProject : PemarBaseObject, IPemarScenarioProject {
    Scenario scenario;
    const char* GetMyIdentifier() override { return "Column study"; }
    hresult QueryInterface(long id, void** result) override {
      if (id != kPemarScenarioProjectType) {
        return PemarBaseObject::QueryInterface(id, result);
      }
      *result = static_cast<IPemarBaseObject*>(this);
      return kDone;
    }
    void FindScenario(const char* name, IPemarScenario** result) override {
      *result =
          name != nullptr && std::string(name) == "Split" ? &scenario : nullptr;
    }
  };
  auto* project = new ScenarioProject();
  project->scenario.project = project;
  manager_.Adopt(project);
  IPemarScenario* found = nullptr;
  RoundTrip(
      [&](BinaryFile& f) {
        return StorePemarScenarioPointer(f, &project->scenario);
      },
      [&](BinaryFile& f) {
        EXPECT_TRUE(RecallPemarScenarioPointer(f, &manager_, &found));
      });
  EXPECT_EQ(found, &project->scenario);
}

TEST_F(CrossReferenceTest, ComplexColumnResolvesByName) {
  IComplexColumn* column = project_->AddColumn("C-101");
  RoundTrip(
      [&](BinaryFile& f) {
        return StoreComplexColumnPointer(f, column, "Site");
      },
      [&](BinaryFile& f) {
        IComplexColumn* back = nullptr;
        EXPECT_TRUE(RecallComplexColumnPointer(f, &manager_, &back));
        EXPECT_EQ(back, column);
      });
}

}  // namespace
}  // namespace pemar
