#include "pemar/features/ExpMgrView.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Session.h"

namespace pemar {
namespace {

using test_support::RegisterTestFeatures;

std::vector<std::string> Names(const std::vector<Viewable*>* list) {
  std::vector<std::string> names;
  if (list != nullptr) {
    for (Viewable* v : *list) names.push_back(v->GetName().str());
  }
  return names;
}

VarDescription Desc(int number, int index = 0, const char* offset = nullptr) {
  VarDescription desc("Viewable", number);
  desc.index = index;
  if (offset != nullptr) {
    desc.has_offset_name = true;
    desc.offset_name = Text(offset);
  }
  return desc;
}

class FeatureManagerTest : public test_support::CaseTest {
 protected:
  void SetUp() override {
    CaseTest::SetUp();
    RegisterTestFeatures();
    theCase_ = NewCase("features.kcs");
    manager_ = static_cast<ExpMgrView*>(
        CaseBuildManager(theCase_.get(), "FeatureManager"));
    ASSERT_NE(manager_, nullptr);
  }
  void TearDown() override {
    SetResponder(nullptr);
    theCase_.reset();
    CaseTest::TearDown();
  }

  Viewable* Add(const char* key) {
    return manager_->AddExperiment(key, nullptr);
  }
  TechnologyManagerView* Technology(const char* name) {
    return manager_->FindTechnologyManager(Text(name) + " Manager");
  }
  // Saves the case and reopens it; the reopened case's feature manager.
  ExpMgrView* SaveAndReopen() {
    theCase_->SetModified(true);
    EXPECT_TRUE(theCase_->SaveDocument(0));
    reopened_ = Reopen("features.kcs");
    if (reopened_ == nullptr) return nullptr;
    return CaseFeatureManager(reopened_.get());
  }

  std::unique_ptr<SimulationCase> theCase_;
  std::unique_ptr<SimulationCase> reopened_;
  ExpMgrView* manager_ = nullptr;
};

// ------------------------------------------------ registration and names

TEST_F(FeatureManagerTest, RegistryKeepsFirstRecordAndTechnologyOrder) {
  _add_FeatureInfo("ResidueCurveMap", "Other", "Elsewhere", nullptr, nullptr);
  _add_FeatureInfo("SolventRecovery", "Never", "Separation", nullptr, nullptr);
  _add_FeatureInfo("NotAFeature", "Never", "Separation", nullptr, nullptr);
  ASSERT_NE(FindFeatureInfo("ResidueCurveMap"), nullptr);
  EXPECT_EQ(FindFeatureInfo("ResidueCurveMap")->display_name,
            "Residue Curve Map");
  EXPECT_EQ(FindFeatureInfo("SolventRecovery"), nullptr);
  EXPECT_EQ(FindFeatureInfo("NotAFeature"), nullptr);
  EXPECT_EQ(
      FeatureTechnologies(),
      (std::vector<Text>{"Thermodynamics", "Heat Integration", "Separation"}));
  EXPECT_EQ(TechnologyFeatureList("Separation"),
            (std::vector<Text>{"All Separation", "ResidueCurveMap",
                               "ColumnDesign", "StreamManager"}));
  EXPECT_TRUE(TechnologyFeatureList("Elsewhere").empty());
  EXPECT_TRUE(FindObjectType("HeatIntegrationType") != nullptr &&
              FindObjectType("SeparationType") != nullptr);
}

TEST_F(FeatureManagerTest, UniqueNameTakesTheFirstFreeNumber) {
  EXPECT_EQ(manager_->CreateUniqueName("PropertyTable"), "Property Table1");
  EXPECT_EQ(manager_->CreateUniqueName("Unregistered"), "");
  EXPECT_EQ(manager_->CreateUniqueName(nullptr), "");
  Viewable* first = Add("PropertyTable");
  Add("PropertyTable");
  Add("PropertyTable");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(manager_->DeleteView("PropertyTable", "Property Table2"));
  EXPECT_EQ(manager_->CreateUniqueName("PropertyTable"), "Property Table2");
  EXPECT_FALSE(manager_->UniqueName("Property Table1"));
  EXPECT_TRUE(manager_->UniqueName("Property Table2"));
  // Only a number written as the manager writes it takes that number.
  for (const char* other :
       {"Property Table01", "Property Table1x", "Property Table 1",
        "Property Table-1", "Property Table99999999999999999999999"}) {
    first->SetName(other);
    EXPECT_EQ(manager_->CreateUniqueName("PropertyTable"), "Property Table1")
        << other;
  }
}

// ------------------------------------------------ creating and filing

TEST_F(FeatureManagerTest, CreatingReportsWhatTheConfigurationRefuses) {
  const struct {
    const char* key;
    bool made;
    const char* message;  // null: none
  } cases[] = {
      {"PropertyTable", true, nullptr},
      {"ResidueCurveMap", true, nullptr},
      {"StreamManager", false, "UnsupportedFeature"},
      {"NoSuchKey", false, "UnsupportedFeature"},
      {"All Separation", false, nullptr},
      {"ColumnDesign", false, "FailedToCreateFeature"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    sink_.Clear();
    Viewable* made = Add(c.key);
    EXPECT_EQ(made != nullptr, c.made);
    if (c.message == nullptr) {
      EXPECT_TRUE(sink_.messages().empty());
    } else {
      ASSERT_EQ(sink_.messages().size(), 1u);
      EXPECT_EQ(sink_.messages()[0].key, c.message);
      EXPECT_EQ(sink_.messages()[0].args, std::vector<Text>{c.key});
    }
  }
  EXPECT_EQ(manager_->AllInstances().size(), 2u);
}

TEST_F(FeatureManagerTest, FilingListsAnInstanceOncePerList) {
  Viewable* table = Add("PropertyTable");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->GetOwner(), manager_);
  manager_->AddExperimentOldCS("PropertyTable", table);
  EXPECT_TRUE(manager_->Message("CreateFeature PropertyTable"));
  Viewable* hi = Add("HI Case");
  EXPECT_EQ(Names(manager_->InstanceList("PropertyTable")),
            (std::vector<std::string>{"Property Table1", "Property Table2"}));
  EXPECT_EQ(manager_->GetNumberExperiments("All Thermodynamics"), 2);
  EXPECT_EQ(manager_->GetNumberExperiments("All Heat Integration"), 1);
  EXPECT_EQ(manager_->GetNumberExperiments("Unknown"), 0);
  EXPECT_EQ(manager_->InstanceList("Unknown"), nullptr);
  EXPECT_EQ(manager_->AllInstances().size(), 3u);
  EXPECT_EQ(manager_->GetExperiment("All Heat Integration", "HI Case1"), hi);
  EXPECT_EQ(manager_->GetIthExperiment(0, "PropertyTable"), table);
  for (int outside : {-1, 2, 5}) {
    EXPECT_EQ(manager_->GetIthExperiment(outside, "PropertyTable"), nullptr);
  }
}

TEST_F(FeatureManagerTest, VariablesAddressInstancesAndTechnologies) {
  Viewable* table = Add("PropertyTable");
  VarDescription tech = Desc(500, 0, "Separation");
  tech.type = 104;
  EXPECT_EQ(manager_->Value(tech), 1.0);
  tech.offset_name = "Cooking";
  EXPECT_EQ(manager_->Value(tech), 0.0);

  Text name = manager_->AttachedName(table);
  EXPECT_EQ(name, "Viewable.500.0");
  VarDescription parsed;
  ASSERT_TRUE(VarDescription::Parse(name.str(), &parsed));
  EXPECT_EQ(manager_->AttachedObject(parsed), table);
  ASSERT_TRUE(VarDescription::Parse("Viewable.500.7", &parsed));
  EXPECT_EQ(manager_->AttachedObject(parsed), nullptr);

  TechnologyManagerView* sep = Technology("Separation");
  ASSERT_NE(sep, nullptr);
  name = manager_->AttachedName(sep);
  EXPECT_EQ(name, "Viewable.600.(Separation Manager)");
  for (const char* text : {"Viewable.600.(Separation Manager)",
                           "Viewable.700.(Separation Manager)"}) {
    ASSERT_TRUE(VarDescription::Parse(text, &parsed));
    EXPECT_EQ(manager_->AttachedObject(parsed), sep);
  }
  EXPECT_EQ(manager_->ViewNotification(0, 0, "SeparationView"), 0);
}

// ------------------------------------------------ deleting and selecting

TEST_F(FeatureManagerTest, AnInstanceDeletedByAnyoneLeavesEveryList) {
  Viewable* first = Add("ResidueCurveMap");
  Viewable* second = Add("ResidueCurveMap");
  TechnologyManagerView* sep = Technology("Separation");
  sep->SetChosenList("ResidueCurveMap");
  sep->SpecifyText(Desc(501), "Residue Curve Map2");
  EXPECT_EQ(sep->Selected(), second);
  delete second;
  EXPECT_EQ(sep->Selected(), nullptr);
  EXPECT_EQ(sep->SelectedName(), "");
  EXPECT_EQ(manager_->GetNumberExperiments("All Separation"), 1);
  EXPECT_TRUE(manager_->DeleteView("ResidueCurveMap", "Residue Curve Map1"));
  EXPECT_FALSE(manager_->DeleteView("ResidueCurveMap", "Residue Curve Map1"));
  EXPECT_TRUE(manager_->AllInstances().empty());
  (void)first;
}

TEST_F(FeatureManagerTest, TechnologyManagerShowsItsListsAndSelection) {
  Add("ResidueCurveMap");
  Add("ResidueCurveMap");
  TechnologyManagerView* sep = Technology("Separation");
  DimInfo dims;
  ASSERT_TRUE(sep->Dimensions(Desc(400), dims));
  EXPECT_EQ(dims.Dim(0), 4);
  EXPECT_EQ(sep->TextValue(Desc(400, 1)), "ResidueCurveMap");
  EXPECT_EQ(sep->TextValue(Desc(400, 9)), "");
  ASSERT_TRUE(sep->SpecifyText(Desc(401), "All Separation"));
  EXPECT_EQ(sep->Value(Desc(600)), 0.0);
  dims.Clear();
  ASSERT_TRUE(sep->Dimensions(Desc(500), dims));
  EXPECT_EQ(dims.Dim(0), 2);
  EXPECT_EQ(sep->TextValue(Desc(500, 1)), "Residue Curve Map2");
  sep->SpecifyText(Desc(501), "Residue Curve Map1");
  EXPECT_EQ(sep->Value(Desc(500)), 1.0);
  EXPECT_EQ(sep->AttachedObject(Desc(500)), sep->Selected());
  EXPECT_EQ(sep->AttachedName(sep->Selected()), "Viewable.500");
  sep->SpecifyText(Desc(501), "Nobody");
  EXPECT_EQ(sep->Selected(), nullptr);
  EXPECT_EQ(sep->SelectedName(), "Nobody");
  sep->Message("AddFeature");
  EXPECT_EQ(manager_->AllInstances().size(), 2u);  // "All": nothing made
  sep->SetChosenList("ResidueCurveMap");
  sep->Message("AddFeature");
  EXPECT_EQ(manager_->AllInstances().size(), 3u);
}

TEST_F(FeatureManagerTest, DeleteFeatureAsksUnlessStartedByAutomation) {
  Add("ResidueCurveMap");
  TechnologyManagerView* sep = Technology("Separation");
  sep->SetChosenList("ResidueCurveMap");
  sep->Reselect("Residue Curve Map1");
  Viewable* selected = sep->Selected();
  ASSERT_NE(selected, nullptr);

  SetResponder([](const Message&) { return 0; });
  sep->Message("DeleteFeature");
  EXPECT_EQ(sep->Selected(), selected);
  EXPECT_TRUE(sink_.Has(MessageKind::kResponse, "ConfirmDeleteExperiment"));

  sink_.Clear();
  Session session;
  session.SetStartedByAutomation(true);
  ScopedSession scoped(&session);
  sep->Message("DeleteFeature");
  EXPECT_FALSE(sink_.Has(MessageKind::kResponse, "ConfirmDeleteExperiment"));
  EXPECT_EQ(sep->Selected(), nullptr);
  EXPECT_EQ(sep->SelectedName(), "");
  EXPECT_TRUE(manager_->AllInstances().empty());
}

// ------------------------------------------------ store and recall

class FeatureStoreTest : public FeatureManagerTest,
                         public ::testing::WithParamInterface<int> {
 protected:
  static ObjectTypeInfo* MutableType() {
    return const_cast<ObjectTypeInfo*>(ExpMgrViewObjectType());
  }
  void TearDown() override {
    MutableType()->SetClassDataVersion(kExpMgrViewVersion);
    FeatureManagerTest::TearDown();
  }
};

TEST_P(FeatureStoreTest, FeaturesComeBackWithTheCase) {
  auto* table = static_cast<PropertyTableFeature*>(Add("PropertyTable"));
  ASSERT_TRUE(table->SetRange(350.0, 450.0, 500.0));
  Add("HI Case");
  Add("ResidueCurveMap");
  Add("ResidueCurveMap");
  TechnologyManagerView* sep = Technology("Separation");
  sep->SetChosenList("ResidueCurveMap");
  sep->Reselect("Residue Curve Map2");
  MutableType()->SetClassDataVersion(GetParam());

  ExpMgrView* back = SaveAndReopen();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(CaseBuildManager(reopened_.get(), "FeatureManager"), back);
  EXPECT_EQ(
      reopened_->GetObjectManager().Objects(ExpMgrViewObjectType()).size(), 1u);
  EXPECT_EQ(back->GetName(), "FeatureManager");
  EXPECT_EQ(Names(&back->AllInstances()), Names(&manager_->AllInstances()));
  for (const Text& list : manager_->ListNames()) {
    EXPECT_EQ(Names(back->InstanceList(list.c_str())),
              Names(manager_->InstanceList(list.c_str())))
        << list.str();
  }
  ASSERT_EQ(back->TechnologyManagers().size(), 3u);
  auto* tableBack = dynamic_cast<PropertyTableFeature*>(
      back->GetExperiment("PropertyTable", "Property Table1"));
  ASSERT_NE(tableBack, nullptr);
  EXPECT_EQ(tableBack->Rows(), table->Rows());
  EXPECT_EQ(tableBack->Pressure(), 500.0);
  TechnologyManagerView* sepBack =
      back->FindTechnologyManager("Separation Manager");
  ASSERT_NE(sepBack, nullptr);
  if (GetParam() >= 2) {
    EXPECT_EQ(sepBack->ChosenList(), "ResidueCurveMap");
    ASSERT_NE(sepBack->Selected(), nullptr);
    EXPECT_EQ(sepBack->Selected()->GetName(), "Residue Curve Map2");
    // The recalled selection still hears of its instance's death.
    back->DeleteView("ResidueCurveMap", "Residue Curve Map2");
    EXPECT_EQ(sepBack->Selected(), nullptr);
  } else {
    EXPECT_EQ(sepBack->ChosenList(), "");  // made anew
  }
}

INSTANTIATE_TEST_SUITE_P(BothTypeVersions, FeatureStoreTest,
                         ::testing::Values(2, 1));

TEST_F(FeatureManagerTest, OldListNamesAreRecalledUnderTheirNewNames) {
  Viewable* targeting = Add("HI Case");
  Viewable* project = Add("HI Case");
  manager_->AddExperimentOldCS("HeatIntegrationTargeting", targeting);
  manager_->AddExperimentOldCS("HeatIntegrationProject", project);
  ExpMgrView* back = SaveAndReopen();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->InstanceList("HeatIntegrationTargeting"), nullptr);
  EXPECT_EQ(back->InstanceList("HeatIntegrationProject"), nullptr);
  EXPECT_EQ(Names(back->InstanceList("HI Case")),
            (std::vector<std::string>{"HI Case1", "HI Case2"}));
  EXPECT_EQ(Names(back->InstanceList("HI Project")),
            (std::vector<std::string>{"HI Case2"}));
}

// A stand-in whose class data no real object would write. Its name differs
// from a real type's in the last letter only; the saved file is patched to
// the real name, so that the recall reads the record as that type.
class ForgedInfoT : public ObjectTypeInfo {
 public:
  ForgedInfoT(const char* name, int version,
              std::function<unsigned char(BinaryFile&)> write)
      : ObjectTypeInfo(name, ViewableObjectType(), "Forged", 0, 0, "",
                       kEmptyMarker),
        write_(std::move(write)) {
    SetClassDataVersion(version);
  }
  unsigned char StoreClassData(BinaryFile& file, Viewable*) const override {
    return write_(file);
  }

 private:
  std::function<unsigned char(BinaryFile&)> write_;
};

unsigned char WritePointers(BinaryFile& file,
                            const std::vector<Viewable*>& list) {
  if (!file.Write(static_cast<int>(list.size()))) return 0;
  for (Viewable* v : list) {
    if (!Viewable::StorePointer(file, v)) return 0;
  }
  return 1;
}

TEST_F(FeatureManagerTest, RecalledDuplicatesAndNullsAreListedOnce) {
  for (int version : {2, 1}) {
    SCOPED_TRACE(version);
    theCase_ = NewCase("features.kcs");
    Viewable* instance = nullptr;
    Viewable* tech = nullptr;
    Viewable* forged = nullptr;
    ForgedInfoT managerType("ExpMgrViewObjecX", version, [&](BinaryFile& f) {
      if (version < 2) {
        return static_cast<unsigned char>(
            WritePointers(f, {nullptr, instance, instance}) &&
            WritePointers(f, {nullptr, nullptr}) && f.Write(0) && f.Write(0) &&
            f.Write(0));
      }
      return static_cast<unsigned char>(
          f.Write(1) && f.Write(Text("PropertyTable")) &&
          WritePointers(f, {instance, nullptr, instance}) &&
          WritePointers(f, {instance, instance, forged}) &&
          WritePointers(f, {tech, tech, nullptr}));
    });
    ForgedInfoT techType("TechnologyManagerViewObjecX", 1, [&](BinaryFile& f) {
      return static_cast<unsigned char>(
          Viewable::StorePointer(f, forged) &&
          Viewable::StorePointer(f, nullptr) && f.Write(Text()) &&
          f.Write(Text("Thermodynamics")) && f.Write(Text()));
    });
    forged = new Viewable(theCase_.get(), &managerType);
    forged->SetName("FeatureManager");
    instance = new PropertyTableFeature(forged, "Property Table1");
    tech = new Viewable(forged, &techType);
    theCase_->SetModified(true);
    ASSERT_TRUE(theCase_->SaveDocument(0));
    std::string bytes = Bytes("features.kcs");
    for (const char* name : {"ExpMgrViewObjec", "TechnologyManagerViewObjec"}) {
      const std::string forgedName = std::string(name) + "X";
      bytes.replace(bytes.find(forgedName), forgedName.size(),
                    std::string(name) + "t");
    }
    WriteBytes("features.kcs", bytes);
    reopened_ = Reopen("features.kcs");
    ASSERT_NE(reopened_, nullptr);
    ExpMgrView* back = CaseFeatureManager(reopened_.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Names(&back->AllInstances()),
              std::vector<std::string>{"Property Table1"});
    EXPECT_EQ(back->GetNumberExperiments("PropertyTable"), 1);
    EXPECT_EQ(back->TechnologyManagers().size(), version < 2 ? 3u : 1u);
    reopened_.reset();  // each object deleted once
  }
}

}  // namespace
}  // namespace pemar
