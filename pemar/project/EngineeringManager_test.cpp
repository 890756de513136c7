#include "pemar/project/EngineeringManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/project/NotesProject.h"
#include "pemar/project/testing/ProjectTestSupport.h"

namespace pemar {
namespace {

// A project of type 501 or 601, made with the manager, counting instances.
class TypedProject : public NotesProject {
 public:
  TypedProject(long type, IEngineeringManager* manager, const char* name)
      : NotesProject(manager, name), type_(type) {
    ++live;
  }
  ~TypedProject() override { --live; }
  long GetObjectType() override { return type_; }
  hresult QueryInterface(long id, void** result) override {
    if (id != type_) return CPemarProject::QueryInterface(id, result);
    *result = this;
    return kDone;
  }

  template <long kType>
  static IPemarBaseObject* Make(const char* name, IEngineeringManager* m) {
    return new TypedProject(kType, m, name);
  }
  static void RegisterTypes() {
    Register(501, &Make<501>);
    Register(601, &Make<601>);
    NotesProject::RegisterType();
  }

  static inline int live = 0;
  long type_;
};

// Names, types and reference counts of the listed objects, in list order.
std::string Listing(EngineeringManager& m) {
  std::string s;
  for (int i = 0; i < m.GetProjectSize(1); ++i) {
    IPemarBaseObject* o = nullptr;
    m.GetProjectByNum(i, 1, &o);
    s += std::string(o->GetMyIdentifier()) + ":" +
         std::to_string(o->GetObjectType()) + ":" +
         std::to_string(o->RefCount()) + " ";
  }
  return s;
}

CPemarProject* Find(EngineeringManager& m, const char* name) {
  IPemarBaseObject* o = nullptr;
  m.GetProjectByName(name, &o, kProjectInterface);
  return dynamic_cast<CPemarProject*>(o);
}

class EngineeringManagerTest : public test_support::RecordTest {
 protected:
  void SetUp() override {
    TypedProject::RegisterTypes();
    TearDown();  // a fresh engine and configuration
    m_.AddNotificationReceiver(&r_);
    m_.AddValidMessage(&r_, ConsoleErrors);
    Engine().caseFactory = [] { return new Case; };
  }
  void TearDown() override {
    m_.ClearAllVistaroCases();
    ResetProcessCaseEngine();
    ResetConfigStore();
  }
  hresult Create(const char* file, const char* name, char source,
                 IDispatch* application = nullptr) {
    return m_.CreateVistaroCase(file, name, source, nullptr, application,
                                nullptr, nullptr, false);
  }

  // Notes project "A" with a note, then projects "B" (501) and "C" (701).
  const std::string golden_ =
      test_support::ProjectGolden("manager_three_projects");
  test_support::LoggingReceiver r_;  // logs m_'s console errors
  EngineeringManager m_;
};

TEST_F(EngineeringManagerTest, DamagedOrMalformedRecordFailsAndMakesNothing) {
  auto recall = [&](const std::string& damaged) {
    EngineeringManager target;
    target.AddEngObject("Kept", 701, 0);
    const bool recalled = test_support::RecallFromBytes(fs_, target, damaged);
    target.RecallFixUp();  // a failure leaves nothing on the recall list
    if (!recalled) {
      EXPECT_EQ(Listing(target), "Kept:701:2 ");
      EXPECT_EQ(TypedProject::live, 0);  // nothing made lives
    }
    return recalled;
  };
  test_support::ForEachDamagedCopy(golden_, recall);
  // Malformed chunks, each described in its golden file.
  for (std::string name :
       {"count_negative", "count_int_min", "count_int_max", "count_too_big",
        "revision0_count_too_big", "revision1_count_too_big",
        "revision_negative", "unknown_type", "interface_type"}) {
    EXPECT_FALSE(recall(test_support::ProjectGolden("manager_" + name)))
        << name;
  }
}

TEST_F(EngineeringManagerTest, RecallKeepsOrderAndRecallFixUpDropsItsRefs) {
  ASSERT_TRUE(test_support::RecallsAll(fs_, golden_, m_));
  EXPECT_TRUE(
      test_support::SameBytes(test_support::StoreToBytes(fs_, m_), golden_));
  // A notes project keeps its creator's reference besides the recall's.
  EXPECT_EQ(Listing(m_), "A:701:2 B:501:1 C:701:2 ");
  EXPECT_EQ(test_support::ProjectText(*Find(m_, "A")),
            "'A'-'notes of A''12/31/99' notes 1 "
            "('first'-'Note - 1''01/02/03') last 0");
  EXPECT_EQ(Find(m_, "B")->GetPemarCentralObject(), &m_);
  EXPECT_EQ(Find(m_, "A")->GetPemarCentralObject(), nullptr);
  EXPECT_EQ(m_.AddEngObject("B", 501, 1), Find(m_, "B"));  // a cross-reference
  // B lives on its cross-reference, the notes projects on their creator's.
  for (int pass = 0; pass < 2; ++pass) {
    m_.RecallFixUp();
    EXPECT_EQ(Listing(m_), "A:701:1 B:501:1 C:701:1 ");
    EXPECT_EQ(TypedProject::live, 1);
  }
}

TEST_F(EngineeringManagerTest,
       OldRevisionsRecallHeatIntegrationThenSeparation) {
  std::string bytes = test_support::ProjectGolden("manager_old_revision");
  for (char revision : {1, 0}) {
    bytes[2] = revision;
    EngineeringManager m;
    ASSERT_TRUE(test_support::RecallsAll(fs_, bytes, m)) << int{revision};
    EXPECT_EQ(Listing(m), "H1:501:1 H2:501:1 S1:601:1 ");
    // RecallFixUp skips H1, gone meanwhile, and destroys the unreferenced.
    EXPECT_EQ(m.RemoveEngObject(Find(m, "H1")), kDone);
    m.RecallFixUp();
    EXPECT_EQ(m.GetProjectSize(1), 0);
    EXPECT_EQ(TypedProject::live, 0);
  }
}

// Each add is a reference, each remove drops one, destruction drops all.
// The project interface type finds a project only for a cross-reference.
TEST_F(EngineeringManagerTest, RegistryCountsReferencesAndAnswersByType) {
  {
    EngineeringManager m;
    IPemarBaseObject* first = m.AddEngObject("P", 501, 0);
    EXPECT_EQ(m.AddEngObject("P", 501, 0), first);
    EXPECT_EQ(Listing(m), "P:501:2 ");
    for (int left : {1, 0}) {
      EXPECT_EQ(m.RemoveEngObject(first), kDone);
      EXPECT_EQ(m.GetProjectSize(501), left);
      EXPECT_EQ(TypedProject::live, left);
    }
    EXPECT_EQ(m.RemoveEngObject(nullptr), kRejected);
    for (const char* name : {"H", "H"}) m.AddEngObject(name, 501, 0);
    m.AddEngObject("S", 601, 0);
    EXPECT_EQ(TypedProject::live, 2);
  }
  EXPECT_EQ(TypedProject::live, 0);
  EXPECT_EQ(m_.AddEngObject("A", 101, 1), nullptr);  // nothing to find
  ASSERT_TRUE(test_support::RecallsAll(fs_, golden_, m_));
  IPemarBaseObject* found = reinterpret_cast<IPemarBaseObject*>(&m_);
  m_.GetProjectByName(nullptr, &found, 1);
  EXPECT_EQ(found, nullptr);
  m_.GetProjectByName("B", &found, 701);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(m_.GetProjectSize(701), 2);
  EXPECT_EQ(m_.GetProjectSize(101), 3);
  IPemarBaseObject* kept = Find(m_, "B");
  for (int outside : {2, -1}) {
    m_.GetProjectByNum(outside, 701, &kept);
    EXPECT_EQ(kept, Find(m_, "B"));  // left unchanged
  }
  m_.GetProjectByNum(1, 701, &kept);
  EXPECT_STREQ(kept->GetMyIdentifier(), "C");
  EXPECT_EQ(m_.AddEngObject("A", 101, 0), nullptr);
  EXPECT_EQ(m_.AddEngObject("A", 101, 1), Find(m_, "A"));
  EXPECT_EQ(Listing(m_), "A:701:3 B:501:1 C:701:2 ");
  EXPECT_EQ(m_.AddEngObject("A", 1, 0), nullptr);
  EXPECT_EQ(m_.AddEngObject("Q", 609, 0), nullptr);  // nothing registered
}

// The configured version picks the identifier; a case needs a model.
TEST_F(EngineeringManagerTest, CreateVistaroCaseUsesConfigurationAndModel) {
  EXPECT_EQ(Create("plant.kcs", "c", 0), kRejected);  // absent: 0
  // Unknown versions pass an empty identifier and leave a buffer as it was.
  for (double version :
       {2.0, 7.0, -1.0, 5.0, double{NAN}, double{INFINITY}, 1e300}) {
    SetConfigData(Text("MeridORVEXVersion"), version);
    EXPECT_EQ(Create("plant.kcs", "c", 0), kRejected) << version;
  }
  char buffer[kAutomationIdSize] = "untouched";
  m_.GetMeridORVEXVersion(buffer);
  EXPECT_STREQ(buffer, "untouched");
  // With an application, the latest identifier whatever the configuration.
  int application = 0;
  Create("plant.kcs", "c", 0, reinterpret_cast<IDispatch*>(&application));
  const std::string none = "CASEBuildFromKCS ",
                    id = none + "ORVEX.Application.V";
  EXPECT_EQ(EngineCallLog(),
            (std::vector<std::string>{id + "8.8", id + "10.0", none, none, none,
                                      none, none, none, id + "12.0"}));
  EXPECT_EQ(Create("f", nullptr, 9), kRejected);
  EXPECT_EQ(Create(nullptr, "c", 9), kRejected);
  EXPECT_EQ(Create("f", "c", 9), kDone);  // other sources read nothing
  Case* made = m_.GetVistaroCase("c");
  ASSERT_NE(made, nullptr);
  EXPECT_NE(CASEGetModel(made), nullptr);
  EXPECT_EQ(made->RefCount(), 1);
  EXPECT_EQ(Create("f", "e", 3), kRejected);  // no workbook: a clean failure
  Engine().defaultCaseHasModel = false;
  EXPECT_EQ(Create("f", "d", 9), kRejected);
  Engine().caseFactory = nullptr;  // CASENew makes nothing
  EXPECT_EQ(Create("f", "g", 9), kRejected);
}

TEST_F(EngineeringManagerTest, StoredCasesHoldOneReferenceEach) {
  Case a;
  m_.AddCase("a", &a);
  EXPECT_EQ(a.RefCount(), 2);
  EXPECT_EQ(m_.GetVistaroCase("a"), nullptr);  // no engine link yet
  m_.InterpretVistaroCase("a", nullptr, nullptr);
  EXPECT_EQ(m_.GetVistaroCase("a"), &a);
  EXPECT_EQ(m_.GetVistaroCase(nullptr), nullptr);
  m_.ClearVistaroCase("a");
  EXPECT_EQ(a.RefCount(), 1);
  EXPECT_EQ(m_.GetVistaroCase("a"), nullptr);
  m_.ClearVistaroCase("a");
  m_.ClearVistaroCase(nullptr);
  m_.AddCase("a", &a);
  m_.AddCase("a", &a);  // the same case again keeps one reference for it
  EXPECT_EQ(a.RefCount(), 2);
  m_.ClearAllVistaroCases();
  EXPECT_EQ(a.RefCount(), 1);
}

// Both simulator builds stop at the missing simulator: the temporary case is
// released, and the case is saved in the folder joined with the separator.
TEST_F(EngineeringManagerTest, SimulatorBuildsStopAtTheMissingSimulator) {
  Case temporary;      // the test's own reference keeps it
  temporary.AddRef();  // the one CASENew gives
  static Case* made;
  made = &temporary;
  Engine().caseFactory = [] { return made; };
  EXPECT_EQ(m_.BuildOrvexCase("plant.kcs", nullptr, nullptr), kDone);
  EXPECT_EQ(temporary.RefCount(), 1);
  EngineCallLog().clear();
  EXPECT_EQ(m_.BuildOrvexCaseFromVisCase("saved", &temporary, "/work/cases"),
            kDone);
  const std::string xml =
      std::string("/work/cases") + kPathSeparator + "orvex.xml";
  EXPECT_EQ(EngineCallLog(),
            (std::vector<std::string>{"CASESave " + xml, "_set_FilePath " + xml,
                                      "InitOrvex"}));
  const std::string missing = "70:No process simulator is available\n ";
  EXPECT_EQ(r_.log, missing + missing);
}

// Only new text goes out; a negative size means none, and a buffer filled
// without a terminator is cut at its last byte.
TEST_F(EngineeringManagerTest, UpdateErrorsRelaysOnlyNewConsoleText) {
  Console() = {3, 8, "old text"};
  EXPECT_TRUE(m_.UpdateErrors());  // no engine link yet: nothing
  m_.InterpretVistaroCase("none", nullptr, nullptr);  // makes the link
  EXPECT_TRUE(m_.UpdateErrors());  // text older than the link: nothing
  WriteConsoleLine("E101 Flash failed");
  EXPECT_TRUE(m_.UpdateErrors());
  EXPECT_TRUE(m_.UpdateErrors());  // unchanged transaction: nothing
  WriteConsoleLine("E102 Column dry");
  WriteConsoleLine("E103 No feed");
  EXPECT_TRUE(m_.UpdateErrors());
  Console() = {20, -1, "abc"};
  EXPECT_TRUE(m_.UpdateErrors());
  Console() = {21, 10, "x", true};
  EXPECT_TRUE(m_.UpdateErrors());
  EXPECT_EQ(r_.log,
            "70:E101 Flash failed\n 70:E102 Column dry\nE103 No feed\n "
            "70:" +
                std::string(10 + 127, 'x') + " ");
  EXPECT_EQ(r_.datas, (std::vector<void*>{&m_, &m_, &m_}));
}

}  // namespace
}  // namespace pemar
