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

 private:
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

struct Receiver : INotificationReceiver {
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    EXPECT_EQ(what, ConsoleErrors);
    texts.push_back(text ? text : "<null>");
    datas.push_back(data);
  }
  std::vector<std::string> texts;
  std::vector<void*> datas;
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

Case* MakeCase() { return new Case; }

class EngineeringManagerTest : public test_support::RecordTest {
 protected:
  void SetUp() override {
    TestTypes::RegisterAll();
    ResetProcessCaseEngine();
    ResetConfigStore();
    TypedProject::live = 0;
  }
  void TearDown() override {
    ResetProcessCaseEngine();
    ResetConfigStore();
  }

  // A manager holding a notes project with two notes, a heat-integration
  // project and a second notes project.
  void Fill(EngineeringManager& m) {
    auto* a = dynamic_cast<NotesProject*>(m.AddEngObject("A", 701, 0));
    a->AddNote();
    a->SetNoteText(0, "first");
    a->AddNote();
    a->SetComments("notes of A");
    m.AddEngObject("B", 501, 0);
    m.AddEngObject("C", 701, 0);
  }

  static hresult Create(EngineeringManager& m, const char* file,
                        const char* name, char source,
                        IDispatch* application = nullptr) {
    return m.CreateVistaroCase(file, name, source, nullptr, application,
                               nullptr, nullptr, false);
  }
};

// ------------------------------------------------------ store and recall

// A manager holding one notes project "N" with only its name and `date`.
std::string ManagerBytes(const std::string& date) {
  const std::string dated = "01 01 09 00 00 00 '" + date + "' 00";
  return test_support::Bytes(
      "A5 5A 02 00 2B 00 00 00"   // chunk: revision 2, 43 bytes
      "01 00 00 00"               // count
      "BD 02 00 00"               // type 701
      "A5 5A 01 00 1B 00 00 00"   // project chunk: revision 1, 27 bytes
      "01 01 02 00 00 00 'N' 00"  //   name
      "00 00"                     //   comments, engineer: absent
      + dated +                   //   date
      "00 00");                   //   has-notes 0, default note title absent
}

TEST_F(EngineeringManagerTest, LayoutHasTypeNumberBeforeEachObjectRecord) {
  EngineeringManager stored;
  ASSERT_NE(stored.AddEngObject("N", kNotesProjectType, 0), nullptr);
  EXPECT_TRUE(test_support::SameBytes(StoreBytes(stored),
                                      ManagerBytes(TodayDate().str())));
  EngineeringManager recalled;
  ASSERT_TRUE(
      test_support::RecallsAll(fs_, ManagerBytes("12/31/99"), recalled));
  EXPECT_EQ(Listing(recalled), "N:701:2 ");
  EXPECT_EQ(ProjectText(*Find(recalled, "N")),
            "'N'--'12/31/99' notes 0 last 99");
}

TEST_F(EngineeringManagerTest, DamagedRecordFailsWithoutChangingTheRegistry) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  auto recall = [&](const std::string& damaged) {
    EngineeringManager target;
    target.AddEngObject("Kept", 701, 0);
    const std::string before = Listing(target);
    const int liveBefore = TypedProject::live;
    const bool recalled = RecallBytes(target, damaged);
    // Nothing is left on the recall list by a failure, nothing made lives.
    target.RecallFixUp();
    if (!recalled) {
      EXPECT_EQ(Listing(target), before);
      EXPECT_EQ(TypedProject::live, liveBefore);
    }
    return recalled;
  };
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(recall(bytes.substr(0, n))) << "cut at " << n;
  }
  test_support::ForEachFlippedByte(bytes, recall);
}

// The 4-byte little-endian words, as ints and longs are stored.
std::string Words(std::initializer_list<int> words) {
  std::string s;
  for (unsigned w : words) {
    for (int b = 0; b < 4; ++b) s += static_cast<char>(w >> (8 * b));
  }
  return s;
}

TEST_F(EngineeringManagerTest, MalformedChunkFailsAndLeavesNothingMade) {
  TypedProject h(501, nullptr, "H");
  const std::string good = StoreBytes(h);
  // Counts that are negative or that the bytes left could not hold, a
  // negative revision, a type nothing registered after a good object, and
  // the project interface type, which the manager never makes.
  const std::pair<int, std::string> cases[] = {
      {2, Words({-1, 701, 0})},
      {2, Words({INT_MIN, 701, 0})},
      {2, Words({INT_MAX, 701, 0})},
      {2, Words({5, 701, 0})},
      {0, Words({INT_MAX, 0})},
      {1, Words({INT_MAX, 0})},
      {-1, Words({0})},
      {2, Words({2, 501}) + good + Words({424242})},
      {2, Words({1, 101, 0})}};
  int row = 0;
  for (const auto& [revision, payload] : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << row++);
    const std::string bytes = Chunk(revision, [&](PemarBinaryFile& f) {
      for (char c : payload) f.Write(c);
    });
    EngineeringManager m;
    EXPECT_FALSE(RecallBytes(m, bytes));
    EXPECT_EQ(m.GetProjectSize(1), 0);
    EXPECT_EQ(TypedProject::live, 1);  // only h
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
  EXPECT_EQ(ProjectText(*Find(target, "A")), ProjectText(*Find(source, "A")));
  EXPECT_EQ(Find(target, "B")->GetPemarCentralObject(), &target);
  EXPECT_EQ(Find(target, "A")->GetPemarCentralObject(), nullptr);
  // A cross-reference to B, resolved by name, adds its own reference.
  EXPECT_NE(target.AddEngObject("B", 501, 1), nullptr);
  EXPECT_EQ(TypedProject::live, 2);
  target.RecallFixUp();
  // B lives on its cross-reference, the notes projects on their creator's
  // reference; a 501 that nothing referred to would be gone.
  EXPECT_EQ(Listing(target), "A:701:1 B:501:1 C:701:1 ");
  EXPECT_EQ(TypedProject::live, 2);
  target.RecallFixUp();  // the recall list is gone: nothing more happens
  EXPECT_EQ(Listing(target), "A:701:1 B:501:1 C:701:1 ");
}

TEST_F(EngineeringManagerTest,
       OldRevisionsRecallHeatIntegrationThenSeparation) {
  TypedProject h1(501, nullptr, "H1"), h2(501, nullptr, "H2");
  TypedProject s1(601, nullptr, "S1");
  for (int revision : {0, 1}) {
    const std::string bytes = Chunk(revision, [&](PemarBinaryFile& f) {
      f.Write(2);
      h1.Store(&f);
      h2.Store(&f);
      f.Write(1);
      s1.Store(&f);
    });
    EngineeringManager m;
    ASSERT_TRUE(RecallBytes(m, bytes)) << revision;
    EXPECT_EQ(Listing(m), "H1:501:1 H2:501:1 S1:601:1 ");
    const std::string current = StoreBytes(m);
    // RecallFixUp skips H1, destroyed meanwhile, and destroys the others,
    // which nothing else refers to.
    IPemarBaseObject* first = nullptr;
    m.GetProjectByNum(0, 1, &first);
    EXPECT_EQ(m.RemoveEngObject(first), kDone);
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

TEST_F(EngineeringManagerTest, AddEngObjectTwiceGivesOneObjectTwoReferences) {
  EngineeringManager m;
  IPemarBaseObject* first = m.AddEngObject("P", 501, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(m.AddEngObject("P", 501, 0), first);
  EXPECT_EQ(Listing(m), "P:501:2 ");
  EXPECT_EQ(m.RemoveEngObject(first), kDone);
  EXPECT_EQ(m.GetProjectSize(501), 1);
  EXPECT_EQ(m.RemoveEngObject(first), kDone);
  EXPECT_EQ(m.GetProjectSize(501), 0);
  EXPECT_EQ(TypedProject::live, 0);
  EXPECT_EQ(m.RemoveEngObject(nullptr), kRejected);
}

TEST_F(EngineeringManagerTest, DestructionReleasesEveryReference) {
  {
    EngineeringManager m;
    for (const char* name : {"H", "H"}) m.AddEngObject(name, 501, 0);
    m.AddEngObject("S", 601, 0);
    EXPECT_EQ(TypedProject::live, 2);
  }
  EXPECT_EQ(TypedProject::live, 0);
}

TEST_F(EngineeringManagerTest, ProjectInterfaceTypeIsFoundButNeverMade) {
  EngineeringManager m;
  EXPECT_EQ(m.AddEngObject("P", 101, 0), nullptr);
  EXPECT_EQ(m.AddEngObject("P", 101, 1), nullptr);
  IPemarBaseObject* notes = m.AddEngObject("P", 701, 0);
  ASSERT_NE(notes, nullptr);
  const long refs = notes->RefCount();
  EXPECT_EQ(m.AddEngObject("P", 101, 0), nullptr);
  EXPECT_EQ(m.AddEngObject("P", 101, 1), notes);
  EXPECT_EQ(notes->RefCount(), refs + 1);
  // Registered-type check comes before anything else.
  EXPECT_EQ(m.AddEngObject("P", 1, 0), nullptr);
  EXPECT_EQ(m.AddEngObject("Q", 609, 0), nullptr);  // nothing registered
}

TEST_F(EngineeringManagerTest, LookupsByNameAndPosition) {
  EngineeringManager m;
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
}

// ------------------------------------------------------------------ cases

TEST_F(EngineeringManagerTest, ConfiguredVersionChoosesAutomationIdentifier) {
  Engine().caseFactory = &MakeCase;
  EngineeringManager m;
  // Unknown versions pass an empty identifier, never stale buffer bytes.
  for (double version :
       {2.0, 7.0, -1.0, 5.0, double{NAN}, double{INFINITY}, 1e300}) {
    SetConfigData(Text("MeridORVEXVersion"), version);
    EngineCallLog().clear();
    const hresult result = Create(m, "plant.kcs", "c", 0);
    const std::string id = version == 2.0 ? "ORVEX.Application.V10.0" : "";
    if (id.empty()) {
      EXPECT_EQ(result, kRejected) << version;
    }
    EXPECT_EQ(EngineCallLog(),
              std::vector<std::string>{"CASEBuildFromKCS " + id})
        << version;
  }
  // With an application, the latest identifier whatever the configuration.
  int application = 0;
  EngineCallLog().clear();
  Create(m, "plant.kcs", "c", 0, reinterpret_cast<IDispatch*>(&application));
  EXPECT_EQ(EngineCallLog(), std::vector<std::string>{
                                 "CASEBuildFromKCS ORVEX.Application.V12.0"});
  char buffer[kAutomationIdSize] = "untouched";
  SetConfigData(Text("MeridORVEXVersion"), 9.0);
  m.GetMeridORVEXVersion(buffer);
  EXPECT_STREQ(buffer, "untouched");
  ResetConfigStore();  // absent key reads as 0
  m.GetMeridORVEXVersion(buffer);
  EXPECT_STREQ(buffer, "ORVEX.Application.V8.8");
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

TEST_F(EngineeringManagerTest, BuildOrvexCaseReleasesItsTemporaryCase) {
  static int made = 0;
  static Case* last = nullptr;
  Engine().caseFactory = []() -> Case* {
    ++made;
    last = new Case;
    last->AddRef();  // kept alive by the test to see its count
    return last;
  };
  EngineeringManager m;
  EXPECT_EQ(m.BuildOrvexCase("plant.kcs", nullptr, nullptr), kDone);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(last->RefCount(), 1);
  CASERelease(last);
}

TEST_F(EngineeringManagerTest, SimulatorCaseStopsAtTheMissingSimulator) {
  EngineeringManager m;
  Receiver r;
  m.AddNotificationReceiver(&r);
  m.AddValidMessage(&r, ConsoleErrors);
  Case c;
  EXPECT_EQ(m.BuildOrvexCaseFromVisCase("saved", &c, "/work/cases"), kDone);
  // Joined with the platform's separator.
  const std::string xml =
      std::string("/work/cases") + kPathSeparator + "orvex.xml";
  const std::vector<std::string> expected = {
      "CASESave " + xml, "_set_FilePath " + xml, "InitOrvex"};
  EXPECT_EQ(EngineCallLog(), expected);
  EXPECT_EQ(r.texts,
            std::vector<std::string>{"No process simulator is available\n"});
}

// -------------------------------------------------------- console errors

TEST_F(EngineeringManagerTest, UpdateErrorsRelaysOnlyNewConsoleText) {
  Console().transaction = 3;
  Console().text = "old text";
  Console().size = 8;
  EngineeringManager m;
  Receiver r;
  m.AddNotificationReceiver(&r);
  m.AddValidMessage(&r, ConsoleErrors);
  EXPECT_TRUE(m.UpdateErrors());  // no engine link yet: nothing
  m.InterpretVistaroCase("none", nullptr, nullptr);  // makes the link
  EXPECT_TRUE(m.UpdateErrors());  // text older than the link: nothing
  WriteConsoleLine("E101 Flash failed");
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_TRUE(m.UpdateErrors());  // unchanged transaction: nothing
  WriteConsoleLine("E102 Column dry");
  WriteConsoleLine("E103 No feed");
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_EQ(r.texts,
            (std::vector<std::string>{"E101 Flash failed\n",
                                      "E102 Column dry\nE103 No feed\n"}));
  EXPECT_EQ(r.datas, (std::vector<void*>{&m, &m}));
}

// A negative size means no text; text that fills the whole buffer without a
// terminator is cut at its last byte.
TEST_F(EngineeringManagerTest, BadConsoleAnswersAreSafe) {
  const struct {
    int size;
    bool fillWholeBuffer;
    std::vector<std::size_t> relayed;
  } cases[] = {{-1, false, {}}, {10, true, {10 + 127}}};
  for (const auto& c : cases) {
    ResetProcessCaseEngine();
    EngineeringManager m;
    Receiver r;
    m.AddNotificationReceiver(&r);
    m.AddValidMessage(&r, ConsoleErrors);
    m.InterpretVistaroCase("none", nullptr, nullptr);
    Console().transaction = 9;
    Console().size = c.size;
    Console().text = "abc";
    Console().fillWholeBuffer = c.fillWholeBuffer;
    EXPECT_TRUE(m.UpdateErrors());
    std::vector<std::size_t> sizes;
    for (const std::string& text : r.texts) sizes.push_back(text.size());
    EXPECT_EQ(sizes, c.relayed) << c.size;
  }
}

}  // namespace
}  // namespace pemar
