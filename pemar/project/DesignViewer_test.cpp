#include "pemar/project/DesignViewer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/testing/ProjectTestSupport.h"
#include "pemar/project/testing/ScenarioProject.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ScenarioProject;

// "name[project]", then each scenario entry with its designs; '*' marks the
// current ones.
std::string Tree(DesignViewerProject& v) {
  std::string s = v.GetName().str() + "[" +
                  (v.GetProject() ? v.GetProject()->GetProjectName() : "-") +
                  "]";
  for (DesignViewerScenario* sc : v.ScenariosVal()) {
    s += (sc == v.GetCurrentScenario() ? " *" : " ") + sc->GetName().str() +
         (sc->GetmyScenario() ? "{" : "{!");
    for (DesignViewerDesign* d : sc->GetDesignObjs()) {
      s += (d == sc->GetCurrentDesign() ? " *" : " ") + d->GetName().str();
    }
    s += " }";
  }
  return s;
}

// Writes the bytes it is given as the class data of a project view, under a
// name one letter off the real type's, which the test then puts right.
struct StandInInfoT : ObjectTypeInfo {
  StandInInfoT()
      : ObjectTypeInfo("DesignViewerProjectObjecX", ViewableObjectType(), "X",
                       0, 1, "", kEmptyMarker) {}
  unsigned char StoreClassData(BinaryFile& f, Viewable*) const override {
    return f.WriteBytes(payload.data(), payload.size());
  }
  std::string payload;
};

// A case (id 1) holding project "Crude unit" and a viewer (id 2) of it:
// "Base case" (3) with designs D1 (4) and D2 (5), "Retrofit" (6) with R1
// (7), the last one made of each current.
class DesignViewerTest : public test_support::RecordTest {
 protected:
  std::unique_ptr<SimulationCase> NewCase(const char* file) {
    auto made = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    made->SetFileName(Text(file));
    ScenarioProject::RegisterType();
    EngineeringManager* m = made->GetEngineeringManager();
    m->RemoveEngObject(m->AddEngObject("Crude unit", 604, 0));  // list's only
    return made;
  }
  IPemarBaseObject* Project(SimulationCase& c) {
    IPemarBaseObject* p = nullptr;
    c.GetEngineeringManager()->GetProjectByName("Crude unit", &p, 1);
    return p;
  }
  DesignViewerProject* AddViewer(SimulationCase& c) {
    auto* v = new DesignViewerProject(&c, "Viewer", "Base case",
                                      AsPemarProject(Project(c)));
    v->GetScenario(0)->AddDesignEntry("D1");
    v->GetScenario(0)->AddDesignEntry("D2");
    v->AddScenEntry("Retrofit");
    v->GetScenario(1)->AddDesignEntry("R1");
    return v;
  }
  // The case saved with the stand-in viewer's `payload`, then recalled.
  std::unique_ptr<SimulationCase> RecallWithViewerData(std::string payload) {
    static StandInInfoT* standIn = new StandInInfoT;
    standIn->payload = std::move(payload);
    {
      auto c = NewCase("/in.kcs");
      auto* v = new Viewable(c.get(), standIn);
      v->SetName("Viewer");
      auto* base = new DesignViewerScenario(nullptr, v, "Base case", nullptr);
      base->AddDesignEntry("D1");
      base->AddDesignEntry("D2");
      new DesignViewerScenario(nullptr, v, "Retrofit", nullptr);
      EXPECT_TRUE(c->SaveDocument(0));
    }
    std::string bytes = fs_.GetFile("/in.kcs");
    bytes[bytes.find("ObjecX") + 5] = 't';
    fs_.SetFile("/in.kcs", bytes);
    auto c = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    return c->RecallDocument(FileName(Text("/in.kcs"))) ? std::move(c)
                                                        : nullptr;
  }
  DesignViewerProject* ViewerOf(Document& c) {
    auto views = c.GetObjectManager().Objects(DesignViewerProjectObjectType());
    return views.empty() ? nullptr
                         : dynamic_cast<DesignViewerProject*>(views.front());
  }

  DiscardingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  std::unique_ptr<SimulationCase> case_ = NewCase("/a.kcs");
  DesignViewerProject* viewer_ = AddViewer(*case_);
};

TEST_F(DesignViewerTest, LookupsOutsideTheListsFindNothing) {
  DesignViewerScenario* retrofit = viewer_->GetScenario(1);
  viewer_->AddScenEntry("Extra");  // beyond the project's two scenarios
  retrofit->AddDesignEntry("R2");  // beyond the scenario's one design
  EXPECT_EQ(viewer_->FindMatch("Retrofit"), 1);
  EXPECT_EQ(viewer_->FindMatch("Nowhere"), 0);
  EXPECT_EQ(viewer_->FindMatch("Extra"), 0);
  EXPECT_EQ(retrofit->FindDesignMatch("R1"), 0);
  EXPECT_EQ(retrofit->FindDesignMatch("Nowhere"), -1);
  EXPECT_EQ(retrofit->FindDesignMatch("R2"), -1);
  for (int i : {-1, 3}) EXPECT_EQ(viewer_->GetScenario(i), nullptr) << i;
  for (int i : {-1, 2}) EXPECT_EQ(retrofit->GetDesign(i), nullptr) << i;
  EXPECT_EQ(Tree(*viewer_),
            "Viewer[Crude unit] Base case{ D1 *D2 } Retrofit{ R1 *R2 } "
            "*Extra{! }");
}

TEST_F(DesignViewerTest, RemovingAnEntryMakesTheFirstRemainingCurrent) {
  DesignViewerScenario* base = viewer_->GetScenario(0);
  base->RemoveDesignEntry(-1);
  base->RemoveDesignEntry(2);
  viewer_->RemoveScEntry(5);
  EXPECT_EQ(Tree(*viewer_),
            "Viewer[Crude unit] Base case{ D1 *D2 } *Retrofit{ *R1 }");
  base->RemoveDesignEntry(1);  // the current design
  viewer_->RemoveScEntry(1);   // handed back, not destroyed
  EXPECT_EQ(Tree(*viewer_), "Viewer[Crude unit] *Base case{ *D1 }");
  base->RemoveDesignEntry(0);
  viewer_->RemoveScEntry(0);
  EXPECT_EQ(Tree(*viewer_), "Viewer[Crude unit]");
  EXPECT_EQ(viewer_->GetCurrentScenario(), nullptr);
  EXPECT_EQ(base->GetCurrentDesign(), nullptr);
}

TEST_F(DesignViewerTest, AttachedNamesLeadBackToTheirObjects) {
  DesignViewerScenario* base = viewer_->GetScenario(0);
  EXPECT_EQ(viewer_->AttachedName(base),
            "DesignViewerScenario.200.0(Base case)");
  EXPECT_EQ(base->AttachedName(base->GetDesign(1)),
            "DesignViewerDesign.200.1 (D2)");
  const struct {
    const char* text;
    Viewable* expected;
  } cases[] = {
      {"DesignViewerScenario.200.1(Retrofit)", viewer_->GetScenario(1)},
      {"DesignViewerScenario.200.0(Base case)/DesignViewerDesign.200.1 (D2)",
       base->GetDesign(1)},
      {"DesignViewerScenario.200.2", nullptr},
      {"DesignViewerScenario.200.-1/DesignViewerDesign.200.0", nullptr},
      {"Viewable.200.0", nullptr},
  };
  for (const auto& c : cases) {
    VarDescription d;
    ASSERT_TRUE(VarDescription::Parse(c.text, &d)) << c.text;
    EXPECT_EQ(viewer_->AttachedObject(d), c.expected) << c.text;
  }
  VarDescription self("Viewable", 1);
  self.flags = kVarFlagSelf;
  EXPECT_EQ(viewer_->AttachedObject(self), viewer_);
  DimInfo scenarios;
  DimInfo designs;
  viewer_->AddScenEntry("Extra");
  EXPECT_TRUE(viewer_->Dimensions(VarDescription("DesignViewerScenario", 200),
                                  scenarios));
  EXPECT_TRUE(
      base->Dimensions(VarDescription("DesignViewerDesign", 200), designs));
  EXPECT_EQ(scenarios.Dim(0), 2);  // the project's count, not the entries'
  EXPECT_EQ(designs.Dim(0), 2);
}

TEST_F(DesignViewerTest, ViewerHoldsOneReferenceToItsProject) {
  IPemarBaseObject* project = Project(*case_);
  EXPECT_EQ(project->RefCount(), 2);
  delete viewer_;  // before the case: the reference goes back
  EXPECT_EQ(project->RefCount(), 1);
  // Closing a case with a viewer destroys the manager (and project) before
  // the viewer, which then leaves the project alone.
  AddViewer(*case_);
  case_.reset();
}

// The saved tree has the layout of testdata/design_viewer_case.golden
// (written from docs/file-format.md, with 12/07/26 for the project's date,
// today), which reopens as the tree.
TEST_F(DesignViewerTest, SavedTreeHasTheDocumentedLayout) {
  ASSERT_TRUE(case_->SaveDocument(0));
  std::string bytes = fs_.GetFile("/a.kcs");
  const std::size_t date = bytes.find(TodayDate().str());
  ASSERT_NE(date, std::string::npos);
  const std::string golden = test_support::ProjectGolden("design_viewer_case");
  EXPECT_TRUE(
      test_support::SameBytes(bytes.replace(date, 8, "12/07/26"), golden));
  fs_.SetFile("/golden.kcs", golden);
  auto reopened = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
  ASSERT_TRUE(reopened->RecallDocument(FileName(Text("/golden.kcs"))));
  ASSERT_NE(ViewerOf(*reopened), nullptr);
  EXPECT_EQ(Tree(*ViewerOf(*reopened)), Tree(*viewer_));
  EXPECT_EQ(Project(*reopened)->RefCount(), 2);  // the list's and the view's
}

TEST_F(DesignViewerTest, ViewerOfAPlainDocumentReopensWithoutItsProject) {
  ScenarioProject project(nullptr, "Crude unit");  // borrowed: no manager
  {
    Document plain(nullptr, DocumentObjectType());
    auto* v = new DesignViewerProject(&plain, "Viewer", "Base case", &project);
    v->GetScenario(0)->AddDesignEntry("D1");
    plain.SetFileName("/plain.doc");
    ASSERT_TRUE(plain.SaveDocument(0));
  }
  Document reopened(nullptr, DocumentObjectType());
  ASSERT_TRUE(reopened.RecallDocument(FileName(Text("/plain.doc"))));
  ASSERT_NE(ViewerOf(reopened), nullptr);
  EXPECT_EQ(Tree(*ViewerOf(reopened)), "Viewer[-] *Base case{! *D1 }");
}

TEST_F(DesignViewerTest, DesignOfAnotherDocumentOrNoneIsRefused) {
  auto other = NewCase("/b.kcs");
  auto* foreign = new DesignViewerDesign(nullptr, other.get(), "F",
                                         DesignViewerDesignObjectType());
  auto loose = std::make_unique<DesignViewerDesign>(
      nullptr, nullptr, "L", DesignViewerDesignObjectType());
  DesignViewerScenario* retrofit = viewer_->GetScenario(1);
  retrofit->AddDesignEntry(foreign);
  retrofit->AddDesignEntry(loose.get());
  EXPECT_EQ(retrofit->GetDesignObjs().size(), 1u);
  EXPECT_TRUE(case_->SaveDocument(0));
}

TEST_F(DesignViewerTest, RecalledListsSkipNullsAndRepeats) {
  // Project reference, current 6, scenarios 3, 0, 3, 6, then 1 dropped.
  const std::string head =
      Bytes("A5 5A 01 00 0E 00 00 00 0A 00 00 00 'Crude unit' 06 00 00 00");
  auto recalled = RecallWithViewerData(
      head + Bytes("04 00 00 00 03 00 00 00 00 00 00 00 03 00 00 00 "
                   "06 00 00 00 01 00 00 00 03 00 00 00"));
  ASSERT_NE(recalled, nullptr);
  EXPECT_EQ(Tree(*ViewerOf(*recalled)),
            "Viewer[Crude unit] Base case{! D1 *D2 } *Retrofit{! }");
  EXPECT_EQ(Project(*recalled)->RefCount(), 2);
}

TEST_F(DesignViewerTest, CutOrMiscountedRecordFailsTheRecall) {
  const std::string whole = Bytes(
      "A5 5A 01 00 0E 00 00 00 0A 00 00 00 'Crude unit' 06 00 00 00 "
      "02 00 00 00 03 00 00 00 06 00 00 00 00 00 00 00");
  for (std::size_t n = 0; n < whole.size(); ++n) {
    EXPECT_EQ(RecallWithViewerData(whole.substr(0, n)), nullptr) << n;
  }
  const std::size_t count = whole.size() - 16;
  for (const char* bad : {"FF FF FF FF", "FF FF FF 7F", "04 00 00 00"}) {
    std::string damaged = whole;
    damaged.replace(count, 4, Bytes(bad));
    EXPECT_EQ(RecallWithViewerData(damaged), nullptr) << bad;
  }
  EXPECT_NE(RecallWithViewerData(whole), nullptr);
}

}  // namespace
}  // namespace pemar
