#include "pemar/features/ExpMgrView.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Session.h"
#include "tests/support/CaseSaveFaults.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using Strings = std::vector<std::string>;

Strings Names(const std::vector<Viewable*>* list) {
  Strings names;
  if (list != nullptr) {
    for (Viewable* v : *list) names.push_back(v->GetName().str());
  }
  return names;
}

VarDescription Desc(int number, int index = 0, const char* offset = nullptr) {
  VarDescription desc("Viewable", number);
  desc.index = index;
  desc.has_offset_name = offset != nullptr;
  if (offset != nullptr) desc.offset_name = Text(offset);
  return desc;
}

class FeatureManagerTest : public test_support::SaveFaultTest {
 protected:
  void SetUp() override {
    SaveFaultTest::SetUp();
    test_support::RegisterTestFeatures();
    theCase_ = NewCase("features.kcs");
    manager_ = static_cast<ExpMgrView*>(
        CaseBuildManager(theCase_.get(), "FeatureManager"));
    ASSERT_NE(manager_, nullptr);
  }
  void TearDown() override {
    SetResponder(nullptr);
    MutableType()->SetClassDataVersion(kExpMgrViewVersion);
    theCase_.reset();
    SaveFaultTest::TearDown();
  }

  static ObjectTypeInfo* MutableType() {
    return const_cast<ObjectTypeInfo*>(ExpMgrViewObjectType());
  }
  // A case saving to `file` with a project named `marker` and a feature
  // manager holding `tables` property tables (each over its own range), an
  // instance of each other creatable feature per table, and a selection.
  std::unique_ptr<SimulationCase> FeatureCase(const std::string& file,
                                              const char* marker, int tables,
                                              int notes = 2) {
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
    if (auto* sep = manager->FindTechnologyManager("Separation Manager")) {
      sep->SetChosenList("ResidueCurveMap");
      sep->Reselect("Residue Curve Map1");
    }
    return theCase;
  }
  Viewable* Add(const char* key) {
    return manager_->AddExperiment(key, nullptr);
  }
  TechnologyManagerView* Separation() {
    return manager_->FindTechnologyManager("Separation Manager");
  }
  // Saves the case and reopens it; the reopened case's feature manager.
  ExpMgrView* SaveAndReopen() {
    theCase_->SetModified(true);
    EXPECT_TRUE(theCase_->SaveDocument(0));
    reopened_ = Reopen("features.kcs");
    return reopened_ ? CaseFeatureManager(reopened_.get()) : nullptr;
  }

  std::unique_ptr<SimulationCase> theCase_;
  std::unique_ptr<SimulationCase> reopened_;
  ExpMgrView* manager_ = nullptr;
};

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

TEST_F(FeatureManagerTest, CreatingReportsRefusalsAndFilesEachInstanceOnce) {
  const struct {
    const char* key;
    bool made;
    const char* message;  // null: none
  } cases[] = {{"PropertyTable", true, nullptr},
               {"ResidueCurveMap", true, nullptr},
               {"StreamManager", false, "UnsupportedFeature"},
               {"NoSuchKey", false, "UnsupportedFeature"},
               {"All Separation", false, nullptr},
               {"ColumnDesign", false, "FailedToCreateFeature"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    sink_.Clear();
    EXPECT_EQ(Add(c.key) != nullptr, c.made);
    ASSERT_EQ(sink_.messages().size(), c.message ? 1u : 0u);
    if (c.message != nullptr) {
      EXPECT_EQ(sink_.messages()[0].key, c.message);
      EXPECT_EQ(sink_.messages()[0].args, std::vector<Text>{c.key});
    }
  }
  ASSERT_EQ(manager_->AllInstances().size(), 2u);

  // Each instance is filed once per list.
  Viewable* table = manager_->AllInstances()[0];
  EXPECT_EQ(table->GetOwner(), manager_);
  manager_->AddExperimentOldCS("PropertyTable", table);
  EXPECT_TRUE(manager_->Message("CreateFeature PropertyTable"));
  Viewable* hi = Add("HI Case");
  EXPECT_EQ(Names(manager_->InstanceList("PropertyTable")),
            (Strings{"Property Table1", "Property Table2"}));
  EXPECT_EQ(manager_->GetNumberExperiments("All Thermodynamics"), 2);
  EXPECT_EQ(manager_->GetNumberExperiments("All Heat Integration"), 1);
  EXPECT_EQ(manager_->GetNumberExperiments("Unknown"), 0);
  EXPECT_EQ(manager_->InstanceList("Unknown"), nullptr);
  EXPECT_EQ(manager_->AllInstances().size(), 4u);
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

  TechnologyManagerView* sep = Separation();
  ASSERT_NE(sep, nullptr);
  EXPECT_EQ(manager_->AttachedName(table), "Viewable.500.0");
  EXPECT_EQ(manager_->AttachedName(sep), "Viewable.600.(Separation Manager)");
  const struct {
    const char* name;
    Viewable* object;
  } rows[] = {{"Viewable.500.0", table},
              {"Viewable.500.7", nullptr},
              {"Viewable.600.(Separation Manager)", sep},
              {"Viewable.700.(Separation Manager)", sep}};
  for (const auto& row : rows) {
    VarDescription parsed;
    ASSERT_TRUE(VarDescription::Parse(row.name, &parsed));
    EXPECT_EQ(manager_->AttachedObject(parsed), row.object) << row.name;
  }
  EXPECT_EQ(manager_->ViewNotification(0, 0, "SeparationView"), 0);
}

TEST_F(FeatureManagerTest, TechnologyManagerListsSelectsAndDeletes) {
  Add("ResidueCurveMap");
  Add("ResidueCurveMap");
  TechnologyManagerView* sep = Separation();
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

  // An instance deleted by anyone leaves every list and the selection.
  sep->SpecifyText(Desc(501), "Residue Curve Map2");
  Viewable* second = sep->Selected();
  ASSERT_NE(second, nullptr);
  delete second;
  EXPECT_EQ(sep->Selected(), nullptr);
  EXPECT_EQ(sep->SelectedName(), "");
  EXPECT_EQ(manager_->GetNumberExperiments("All Separation"), 2);
  EXPECT_TRUE(manager_->DeleteView("ResidueCurveMap", "Residue Curve Map1"));
  EXPECT_FALSE(manager_->DeleteView("ResidueCurveMap", "Residue Curve Map1"));
  EXPECT_EQ(Names(&manager_->AllInstances()), Strings{"Residue Curve Map3"});

  // "DeleteFeature" asks first, unless the program was started by automation.
  sep->Reselect("Residue Curve Map3");
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

// Stored at the current type version and at the one before it.
TEST_F(FeatureManagerTest, FeaturesComeBackWithTheCase) {
  for (int version : {2, 1}) {
    SCOPED_TRACE(version);
    theCase_ = FeatureCase("features.kcs", "Project", 2);
    manager_ = CaseFeatureManager(theCase_.get());
    MutableType()->SetClassDataVersion(version);

    ExpMgrView* back = SaveAndReopen();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(CaseBuildManager(reopened_.get(), "FeatureManager"), back);
    EXPECT_EQ(
        reopened_->GetObjectManager().Objects(ExpMgrViewObjectType()).size(),
        1u);
    EXPECT_EQ(back->GetName(), "FeatureManager");
    EXPECT_EQ(Names(&back->AllInstances()), Names(&manager_->AllInstances()));
    for (const Text& list : manager_->ListNames()) {
      EXPECT_EQ(Names(back->InstanceList(list.c_str())),
                Names(manager_->InstanceList(list.c_str())))
          << list.str();
    }
    ASSERT_EQ(back->TechnologyManagers().size(), 3u);
    auto table = [](ExpMgrView* m) {
      return dynamic_cast<PropertyTableFeature*>(
          m->GetExperiment("PropertyTable", "Property Table2"));
    };
    ASSERT_TRUE(table(manager_) != nullptr && table(back) != nullptr);
    EXPECT_EQ(table(back)->Rows(), table(manager_)->Rows());
    EXPECT_EQ(table(back)->Pressure(), 102.325);
    TechnologyManagerView* sep =
        back->FindTechnologyManager("Separation Manager");
    ASSERT_NE(sep, nullptr);
    // Version 1 kept no selection: the technology managers are made anew.
    EXPECT_EQ(sep->ChosenList(), version < 2 ? "" : "ResidueCurveMap");
    if (version < 2) continue;
    ASSERT_NE(sep->Selected(), nullptr);
    EXPECT_EQ(sep->Selected()->GetName(), "Residue Curve Map1");
    // The recalled selection still hears of its instance's death.
    back->DeleteView("ResidueCurveMap", "Residue Curve Map1");
    EXPECT_EQ(sep->Selected(), nullptr);
  }
}

// The layouts of the feature manager at both type versions and of its
// technology managers, pinned by whole case files (testdata/*.golden): a
// case with an instance of two features, one of them selected, stores the
// bytes of its golden file, and the golden file reopens with its lists and
// selection (version 1 kept no selection).
TEST_F(FeatureManagerTest, CaseWithFeaturesHasTheDocumentedLayout) {
  for (int version : {2, 1}) {
    SCOPED_TRACE(version);
    theCase_ = NewCase("features.kcs");
    manager_ = static_cast<ExpMgrView*>(
        CaseBuildManager(theCase_.get(), "FeatureManager"));
    Add("HI Case");
    Add("ResidueCurveMap");
    Separation()->SetChosenList("ResidueCurveMap");
    Separation()->Reselect("Residue Curve Map1");
    MutableType()->SetClassDataVersion(version);
    theCase_->SetModified(true);
    ASSERT_TRUE(theCase_->SaveDocument(0));
    const std::string name = "feature_manager_v" + std::to_string(version);
    const std::string golden =
        test_support::GoldenFile("pemar/features/testdata/" + name + ".golden");
    EXPECT_TRUE(test_support::SameBytes(Bytes("features.kcs"), golden));
    WriteBytes(name, golden);
    reopened_ = Reopen(name);
    ASSERT_NE(reopened_, nullptr);
    ExpMgrView* back = CaseFeatureManager(reopened_.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->ListNames(), manager_->ListNames());
    for (const Text& list : manager_->ListNames()) {
      EXPECT_EQ(Names(back->InstanceList(list.c_str())),
                Names(manager_->InstanceList(list.c_str())));
    }
    Viewable* selected =
        back->FindTechnologyManager("Separation Manager")->Selected();
    EXPECT_EQ(selected ? selected->GetName().str() : "",
              version < 2 ? "" : "Residue Curve Map1");
  }
}

// Every write, sync, close, rename, delete and open of the save of a case
// with features is made to fail in turn: the old case and its backups, all
// real case files with features of their own, come back whole.
TEST_F(FeatureManagerTest, FailureAtEveryStepOfTheSaveLosesNoFeature) {
  SetConfigData("NCaseBackups", 3);
  const int failures = FailEachStepOfTheSave(
      [&] {
        ASSERT_TRUE(FeatureCase("a.bk0", "Zero", 1)->SaveDocument(0));
        ASSERT_TRUE(FeatureCase("a.bk1", "One", 2)->SaveDocument(0));
        ASSERT_TRUE(FeatureCase("a.kcs", "Old", 3)->SaveDocument(0));
      },
      // The notes make the file span several writes of its buffer.
      [&] { return FeatureCase("a.kcs", "New", 40, 3000); });
  EXPECT_GT(failures, 5);
}

TEST_F(FeatureManagerTest, OldListNamesAreRecalledUnderTheirNewNames) {
  manager_->AddExperimentOldCS("HeatIntegrationTargeting", Add("HI Case"));
  manager_->AddExperimentOldCS("HeatIntegrationProject", Add("HI Case"));
  ExpMgrView* back = SaveAndReopen();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->InstanceList("HeatIntegrationTargeting"), nullptr);
  EXPECT_EQ(back->InstanceList("HeatIntegrationProject"), nullptr);
  EXPECT_EQ(Names(back->InstanceList("HI Case")),
            (Strings{"HI Case1", "HI Case2"}));
  EXPECT_EQ(Names(back->InstanceList("HI Project")), Strings{"HI Case2"});
}

// A stand-in whose class data no real object would write. Its name differs
// from a real type's in the last letter only; the saved file is patched to
// the real name, so that the recall reads the record as that type.
struct ForgedInfoT : ObjectTypeInfo {
  ForgedInfoT(const char* name, int version,
              std::function<bool(BinaryFile&)> writer)
      : ObjectTypeInfo(name, ViewableObjectType(), "Forged", 0, 0, "",
                       kEmptyMarker),
        write(std::move(writer)) {
    SetClassDataVersion(version);
  }
  unsigned char StoreClassData(BinaryFile& file, Viewable*) const override {
    return write(file);
  }
  std::function<bool(BinaryFile&)> write;
};

bool WritePointers(BinaryFile& file, const std::vector<Viewable*>& list) {
  bool ok = file.Write(static_cast<int>(list.size()));
  for (Viewable* v : list) ok = ok && Viewable::StorePointer(file, v);
  return ok;
}

TEST_F(FeatureManagerTest, RecalledDuplicatesAndNullsAreListedOnce) {
  for (int version : {2, 1}) {
    SCOPED_TRACE(version);
    theCase_ = NewCase("features.kcs");
    Viewable *instance = nullptr, *tech = nullptr, *forged = nullptr;
    ForgedInfoT managerType("ExpMgrViewObjecX", version, [&](BinaryFile& f) {
      if (version < 2) {
        return WritePointers(f, {nullptr, instance, instance}) &&
               WritePointers(f, {nullptr, nullptr}) && f.Write(0) &&
               f.Write(0) && f.Write(0);
      }
      return f.Write(1) && f.Write(Text("PropertyTable")) &&
             WritePointers(f, {instance, nullptr, instance}) &&
             WritePointers(f, {instance, instance, forged}) &&
             WritePointers(f, {tech, tech, nullptr});
    });
    ForgedInfoT techType("TechnologyManagerViewObjecX", 1, [&](BinaryFile& f) {
      return Viewable::StorePointer(f, forged) &&
             Viewable::StorePointer(f, nullptr) && f.Write(Text()) &&
             f.Write(Text("Thermodynamics")) && f.Write(Text());
    });
    forged = new Viewable(theCase_.get(), &managerType);
    forged->SetName("FeatureManager");
    instance = new PropertyTableFeature(forged, "Property Table1");
    tech = new Viewable(forged, &techType);
    theCase_->SetModified(true);
    ASSERT_TRUE(theCase_->SaveDocument(0));
    std::string bytes = Bytes("features.kcs");
    for (std::string name : {"ExpMgrViewObjec", "TechnologyManagerViewObjec"}) {
      bytes.replace(bytes.find(name + "X"), name.size() + 1, name + "t");
    }
    WriteBytes("features.kcs", bytes);
    reopened_ = Reopen("features.kcs");
    ASSERT_NE(reopened_, nullptr);
    ExpMgrView* back = CaseFeatureManager(reopened_.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Names(&back->AllInstances()), Strings{"Property Table1"});
    EXPECT_EQ(back->GetNumberExperiments("PropertyTable"), 1);
    EXPECT_EQ(back->TechnologyManagers().size(), version < 2 ? 3u : 1u);
    reopened_.reset();  // each object deleted once
  }
}

}  // namespace
}  // namespace pemar
