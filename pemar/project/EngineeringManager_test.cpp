#include "pemar/project/EngineeringManager.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/project/NotesProject.h"
#include "pemar/project/testing/ProjectTestSupport.h"

namespace pemar {
namespace {

using test_support::ProjectText;

// A project of a type of the suite's analysis libraries (501 or 601) that
// remembers the manager it was made with and counts the live instances.
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

  static inline int live = 0;
  long type_;
};

template <long kType>
IPemarBaseObject* MakeTyped(const char* name, IEngineeringManager* manager) {
  return new TypedProject(kType, manager, name);
}

struct TestTypes : PemarBaseObject {
  static void RegisterAll() {
    Register(501, &MakeTyped<501>);
    Register(601, &MakeTyped<601>);
    NotesProject::RegisterType();
  }
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

IPemarBaseObject* Find(EngineeringManager& m, const char* name) {
  IPemarBaseObject* o = nullptr;
  m.GetProjectByName(name, &o, kProjectInterface);
  return o;
}

CPemarProject* FindProject(EngineeringManager& m, const char* name) {
  return dynamic_cast<CPemarProject*>(Find(m, name));
}

// The 4-byte little-endian words, as ints and longs are stored.
std::string Words(std::initializer_list<int> words) {
  std::string s;
  for (unsigned w : words) {
    for (int b = 0; b < 4; ++b) s += static_cast<char>(w >> (8 * b));
  }
  return s;
}

Case* MakeCase() { return new Case; }

class EngineeringManagerTest : public test_support::RecordTest {
 protected:
  void SetUp() override {
    TestTypes::RegisterAll();
    TearDown();  // a fresh engine and configuration
    TypedProject::live = 0;
  }
  void TearDown() override {
    ResetProcessCaseEngine();
    ResetConfigStore();
  }

  // A manager holding a notes project with two notes, a heat-integration
  // project and a second notes project.
  static void Fill(EngineeringManager& m) {
    auto* a = dynamic_cast<NotesProject*>(m.AddEngObject("A", 701, 0));
    a->AddNote();
    a->SetNoteText(0, "first");
    a->AddNote();
    a->SetComments("notes of A");
    m.AddEngObject("B", 501, 0);
    m.AddEngObject("C", 701, 0);
  }
  // Has `m`'s console errors logged in r_.
  void Listen(EngineeringManager& m) {
    m.AddNotificationReceiver(&r_);
    m.AddValidMessage(&r_, ConsoleErrors);
  }
  static hresult Create(EngineeringManager& m, const char* file,
                        const char* name, char source,
                        IDispatch* application = nullptr) {
    return m.CreateVistaroCase(file, name, source, nullptr, application,
                               nullptr, nullptr, false);
  }

  test_support::LoggingReceiver r_;
};

// ------------------------------------------------------ store and recall

TEST_F(EngineeringManagerTest, LayoutHasTypeNumberBeforeEachObjectRecord) {
  const std::string golden = test_support::ProjectGolden("manager_one_project");
  EngineeringManager m;
  ASSERT_TRUE(test_support::RecallsAll(fs_, golden, m));
  EXPECT_EQ(Listing(m), "N:701:2 ");
  EXPECT_EQ(ProjectText(*FindProject(m, "N")),
            "'N'--'12/31/99' notes 0 last 99");
  EXPECT_TRUE(test_support::SameBytes(StoreBytes(m), golden));
}

TEST_F(EngineeringManagerTest, DamagedOrMalformedRecordFailsAndMakesNothing) {
  EngineeringManager source;
  Fill(source);
  auto recall = [&](const std::string& damaged) {
    EngineeringManager target;
    target.AddEngObject("Kept", 701, 0);
    const std::string before = Listing(target);
    const bool recalled = RecallBytes(target, damaged);
    // Nothing is left on the recall list by a failure, nothing made lives.
    target.RecallFixUp();
    if (!recalled) {
      EXPECT_EQ(Listing(target), before);
      EXPECT_EQ(TypedProject::live, 1);  // only the source's B
    }
    return recalled;
  };
  test_support::ForEachDamagedCopy(StoreBytes(source), recall);
  // Counts that are negative or that the bytes left could not hold, a
  // negative revision, a type nothing registered after a good object, and
  // the project interface type, which the manager never makes.
  const std::string good = StoreBytes(*Find(source, "B"));
  const std::pair<int, std::string> rows[] = {
      {2, Words({-1, 701, 0})},
      {2, Words({INT_MIN, 701, 0})},
      {2, Words({INT_MAX, 701, 0})},
      {2, Words({5, 701, 0})},
      {0, Words({INT_MAX, 0})},
      {1, Words({INT_MAX, 0})},
      {-1, Words({0})},
      {2, Words({2, 501}) + good + Words({424242})},
      {2, Words({1, 101, 0})}};
  for (const auto& row : rows) {
    EXPECT_FALSE(recall(Chunk(row.first, row.second))) << "row " << &row - rows;
  }
}

TEST_F(EngineeringManagerTest, RecallKeepsOrderAndRecallFixUpDropsItsRefs) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  EngineeringManager target;
  ASSERT_TRUE(RecallBytes(target, bytes));
  EXPECT_EQ(StoreBytes(target), bytes);
  // A notes project keeps its creator's reference besides the recall's.
  EXPECT_EQ(Listing(target), "A:701:2 B:501:1 C:701:2 ");
  EXPECT_EQ(ProjectText(*FindProject(target, "A")),
            ProjectText(*FindProject(source, "A")));
  EXPECT_EQ(FindProject(target, "B")->GetPemarCentralObject(), &target);
  EXPECT_EQ(FindProject(target, "A")->GetPemarCentralObject(), nullptr);
  // A cross-reference to B, resolved by name, adds its own reference.
  EXPECT_EQ(target.AddEngObject("B", 501, 1), Find(target, "B"));
  EXPECT_EQ(TypedProject::live, 2);
  // B lives on its cross-reference, the notes projects on their creator's
  // reference; a 501 that nothing referred to would be gone. A second fix-up
  // finds no recall list and does nothing.
  for (int pass = 0; pass < 2; ++pass) {
    target.RecallFixUp();
    EXPECT_EQ(Listing(target), "A:701:1 B:501:1 C:701:1 ");
    EXPECT_EQ(TypedProject::live, 2);
  }
}

TEST_F(EngineeringManagerTest,
       OldRevisionsRecallHeatIntegrationThenSeparation) {
  TypedProject h1(501, nullptr, "H1"), h2(501, nullptr, "H2");
  TypedProject s1(601, nullptr, "S1");
  const std::string payload = Words({2}) + StoreBytes(h1) + StoreBytes(h2) +
                              Words({1}) + StoreBytes(s1);
  for (int revision : {0, 1}) {
    EngineeringManager m;
    ASSERT_TRUE(RecallBytes(m, Chunk(revision, payload))) << revision;
    EXPECT_EQ(Listing(m), "H1:501:1 H2:501:1 S1:601:1 ");
    const std::string current = StoreBytes(m);
    // RecallFixUp skips H1, destroyed meanwhile, and destroys the others,
    // which nothing else refers to.
    EXPECT_EQ(m.RemoveEngObject(Find(m, "H1")), kDone);
    m.RecallFixUp();
    EXPECT_EQ(m.GetProjectSize(1), 0);
    EXPECT_EQ(TypedProject::live, 3);
    // Stored again, the current revision holds types.
    EngineeringManager again;
    ASSERT_TRUE(RecallBytes(again, current));
    EXPECT_EQ(Listing(again), "H1:501:1 H2:501:1 S1:601:1 ");
  }
}

// --------------------------------------------------- registry and counts

TEST_F(EngineeringManagerTest, EachAddIsAReferenceAndDestructionDropsAll) {
  {
    EngineeringManager m;
    IPemarBaseObject* first = m.AddEngObject("P", 501, 0);
    ASSERT_NE(first, nullptr);
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
}

TEST_F(EngineeringManagerTest, LookupsAnswerByTypeAndInterfacesAreNeverMade) {
  EngineeringManager m;
  EXPECT_EQ(m.AddEngObject("A", 101, 1), nullptr);  // nothing to find
  Fill(m);
  IPemarBaseObject* found = reinterpret_cast<IPemarBaseObject*>(&m);
  m.GetProjectByName(nullptr, &found, 1);
  EXPECT_EQ(found, nullptr);
  m.GetProjectByName("B", &found, 701);
  EXPECT_EQ(found, nullptr);
  m.GetProjectByName("B", &found, 501);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(m.GetProjectSize(701), 2);
  EXPECT_EQ(m.GetProjectSize(101), 3);
  IPemarBaseObject* kept = found;
  for (int outside : {2, -1}) {
    m.GetProjectByNum(outside, 701, &kept);
    EXPECT_EQ(kept, found);  // left unchanged
  }
  m.GetProjectByNum(1, 701, &kept);
  EXPECT_STREQ(kept->GetMyIdentifier(), "C");
  // The project interface type finds a listed project only for a cross-
  // reference (flag 1); the registered-type check comes before anything.
  IPemarBaseObject* a = Find(m, "A");
  const long refs = a->RefCount();
  EXPECT_EQ(m.AddEngObject("A", 101, 0), nullptr);
  EXPECT_EQ(m.AddEngObject("A", 101, 1), a);
  EXPECT_EQ(a->RefCount(), refs + 1);
  EXPECT_EQ(m.AddEngObject("A", 1, 0), nullptr);
  EXPECT_EQ(m.AddEngObject("Q", 609, 0), nullptr);  // nothing registered
}

// ------------------------------------------------------------------ cases

TEST_F(EngineeringManagerTest, ConfiguredVersionChoosesAutomationIdentifier) {
  Engine().caseFactory = &MakeCase;
  EngineeringManager m;
  EXPECT_EQ(Create(m, "plant.kcs", "c", 0), kRejected);  // absent: 0
  // Unknown versions pass an empty identifier, never stale buffer bytes, and
  // leave a given buffer as it was.
  for (double version :
       {2.0, 7.0, -1.0, 5.0, double{NAN}, double{INFINITY}, 1e300}) {
    SetConfigData(Text("MeridORVEXVersion"), version);
    EXPECT_EQ(Create(m, "plant.kcs", "c", 0), kRejected) << version;
  }
  char buffer[kAutomationIdSize] = "untouched";
  m.GetMeridORVEXVersion(buffer);
  EXPECT_STREQ(buffer, "untouched");
  // With an application, the latest identifier whatever the configuration.
  int application = 0;
  Create(m, "plant.kcs", "c", 0, reinterpret_cast<IDispatch*>(&application));
  const std::string none = "CASEBuildFromKCS ",
                    id = none + "ORVEX.Application.V";
  EXPECT_EQ(EngineCallLog(),
            (std::vector<std::string>{id + "8.8", id + "10.0", none, none, none,
                                      none, none, none, id + "12.0"}));
  m.ClearAllVistaroCases();
}

TEST_F(EngineeringManagerTest, CreateVistaroCaseNeedsAnEngineCaseAndAModel) {
  EngineeringManager m;
  EXPECT_EQ(Create(m, "f", "c", 9), kRejected);  // CASENew makes nothing here
  Engine().caseFactory = &MakeCase;
  EXPECT_EQ(Create(m, "f", nullptr, 9), kRejected);
  EXPECT_EQ(Create(m, nullptr, "c", 9), kRejected);
  // Any other source reads nothing and counts as success.
  EXPECT_EQ(Create(m, "f", "c", 9), kDone);
  Case* made = m.GetVistaroCase("c");
  ASSERT_NE(made, nullptr);
  EXPECT_NE(CASEGetModel(made), nullptr);
  EXPECT_EQ(made->RefCount(), 1);
  Engine().defaultCaseHasModel = false;
  EXPECT_EQ(Create(m, "f", "d", 9), kRejected);
  // Source 3 without a workbook fails cleanly.
  Engine().defaultCaseHasModel = true;
  EXPECT_EQ(Create(m, "f", "e", 3), kRejected);
  m.ClearAllVistaroCases();
}

TEST_F(EngineeringManagerTest, StoredCasesHoldOneReferenceEach) {
  EngineeringManager m;
  Case* a = new Case;
  m.AddCase("a", a);
  EXPECT_EQ(a->RefCount(), 2);
  EXPECT_EQ(m.GetVistaroCase("a"), nullptr);  // no engine link yet
  m.InterpretVistaroCase("a", nullptr, nullptr);
  EXPECT_EQ(m.GetVistaroCase("a"), a);
  EXPECT_EQ(m.GetVistaroCase(nullptr), nullptr);
  m.ClearVistaroCase("a");
  EXPECT_EQ(a->RefCount(), 1);
  EXPECT_EQ(m.GetVistaroCase("a"), nullptr);
  m.ClearVistaroCase("a");
  m.ClearVistaroCase(nullptr);
  m.AddCase("a", a);
  m.AddCase("a", a);  // the same case again keeps one reference for it
  EXPECT_EQ(a->RefCount(), 2);
  m.ClearAllVistaroCases();
  EXPECT_EQ(a->RefCount(), 1);
  CASERelease(a);
}

// Both simulator builds stop where the simulator is missing: the temporary
// case is released, and the saved case is written to the folder joined with
// the platform's separator.
TEST_F(EngineeringManagerTest, SimulatorBuildsStopAtTheMissingSimulator) {
  static Case* temporary;
  temporary = nullptr;
  Engine().caseFactory = [] {
    temporary = new Case;
    temporary->AddRef();  // the test's own, to see the count after
    return temporary;
  };
  EngineeringManager m;
  Listen(m);
  EXPECT_EQ(m.BuildOrvexCase("plant.kcs", nullptr, nullptr), kDone);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->RefCount(), 1);
  CASERelease(temporary);
  EngineCallLog().clear();
  Case c;
  EXPECT_EQ(m.BuildOrvexCaseFromVisCase("saved", &c, "/work/cases"), kDone);
  const std::string xml =
      std::string("/work/cases") + kPathSeparator + "orvex.xml";
  EXPECT_EQ(EngineCallLog(),
            (std::vector<std::string>{"CASESave " + xml, "_set_FilePath " + xml,
                                      "InitOrvex"}));
  EXPECT_EQ(r_.log,
            "70:No process simulator is available\n "
            "70:No process simulator is available\n ");
}

// -------------------------------------------------------- console errors

// Only text newer than the engine link and than the last relay goes out. A
// negative size means no text; text that fills the whole buffer without a
// terminator is cut at its last byte.
TEST_F(EngineeringManagerTest, UpdateErrorsRelaysOnlyNewConsoleText) {
  Console() = {3, 8, "old text"};
  EngineeringManager m;
  Listen(m);
  EXPECT_TRUE(m.UpdateErrors());  // no engine link yet: nothing
  m.InterpretVistaroCase("none", nullptr, nullptr);  // makes the link
  EXPECT_TRUE(m.UpdateErrors());  // text older than the link: nothing
  WriteConsoleLine("E101 Flash failed");
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_TRUE(m.UpdateErrors());  // unchanged transaction: nothing
  WriteConsoleLine("E102 Column dry");
  WriteConsoleLine("E103 No feed");
  EXPECT_TRUE(m.UpdateErrors());
  Console() = {20, -1, "abc"};
  EXPECT_TRUE(m.UpdateErrors());
  Console() = {21, 10, "x", true};
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_EQ(r_.log,
            "70:E101 Flash failed\n 70:E102 Column dry\nE103 No feed\n "
            "70:" +
                std::string(10 + 127, 'x') + " ");
  EXPECT_EQ(r_.datas, (std::vector<void*>{&m, &m, &m}));
}

}  // namespace
}  // namespace pemar
