#include "pemar/project/EngineeringManager.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/persist/testing/StoredRecord.h"
#include "pemar/project/NotesProject.h"

namespace pemar {
namespace {

// A project of a type of the suite's analysis libraries (501 or 601) that
// remembers the manager it was made with and counts the live instances.
class TypedProject : public CPemarProject {
 public:
  TypedProject(long type, IEngineeringManager* manager, const char* name)
      : CPemarProject(manager, name), type_(type) {
    ++live;
  }
  ~TypedProject() override { --live; }
  const char* GetMyIdentifier() override { return GetProjectName(); }
  long GetObjectType() override { return type_; }
  hresult QueryInterface(long id, void** result) override {
    if (id == type_) {
      *result = this;
      return kDone;
    }
    return CPemarProject::QueryInterface(id, result);
  }
  void* GetProjectData() override { return nullptr; }
  int GetNumberOfScenarios() override { return 0; }
  void FindScenario(const char*, IPemarScenario** result) override {
    *result = nullptr;
  }

  static inline int live = 0;

 private:
  long type_;
};

struct TestTypes : PemarBaseObject {
  static void RegisterAll() {
    Register(501,
             [](const char* name,
                IEngineeringManager* manager) -> IPemarBaseObject* {
               return new TypedProject(501, manager, name);
             });
    Register(601,
             [](const char* name,
                IEngineeringManager* manager) -> IPemarBaseObject* {
               return new TypedProject(601, manager, name);
             });
    NotesProject::RegisterType();
  }
};

struct Receiver : INotificationReceiver {
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    kinds.push_back(what);
    texts.push_back(text ? text : "<null>");
    datas.push_back(data);
  }
  std::vector<int> kinds;
  std::vector<std::string> texts;
  std::vector<void*> datas;
};

// Names and types of the listed objects, in list order.
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

class EngineeringManagerTest : public ::testing::Test {
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

  std::string StoreBytes(EngineeringManager& m) {
    return test_support::StoreToBytes(fs_, m);
  }

  bool RecallBytes(EngineeringManager& m, const std::string& bytes) {
    return test_support::RecallFromBytes(fs_, m, bytes);
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

  // Makes a chunk of `revision` whose payload `body` writes.
  template <typename Body>
  std::string Chunk(int revision, Body body) {
    BinaryFile raw{Text("made.bin")};
    EXPECT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ChunkHeader* chunk = nullptr;
    EXPECT_TRUE(file.CreateChunk(&chunk, revision));
    body(file);
    EXPECT_TRUE(file.CloseChunk(chunk));
    EXPECT_TRUE(raw.Close());
    return fs_.GetFile("made.bin");
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

// ------------------------------------------------------ store and recall

TEST_F(EngineeringManagerTest, EveryTruncationFailsAndLeavesRegistryAsItWas) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  EngineeringManager target;
  target.AddEngObject("Kept", 701, 0);
  const std::string before = Listing(target);
  const int liveBefore = TypedProject::live;
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(RecallBytes(target, bytes.substr(0, n))) << n;
    ASSERT_EQ(Listing(target), before) << n;
    ASSERT_EQ(TypedProject::live, liveBefore) << n;
  }
  target.RecallFixUp();  // nothing to drop: no recall succeeded
  EXPECT_EQ(Listing(target), before);
}

TEST_F(EngineeringManagerTest, CorruptionNeverCrashesAndFailureChangesNothing) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  test_support::ForEachFlippedByte(bytes, [&](const std::string& damaged) {
    EngineeringManager target;
    target.AddEngObject("Kept", 701, 0);
    const std::string before = Listing(target);
    if (RecallBytes(target, damaged)) {
      target.RecallFixUp();
    } else {
      ASSERT_EQ(Listing(target), before);
    }
  });
}

TEST_F(EngineeringManagerTest, NegativeOrHugeCountFailsBeforeMakingAnything) {
  for (int count : {-1, INT_MIN, INT_MAX, 5}) {
    const std::string bytes = Chunk(2, [&](PemarBinaryFile& f) {
      f.Write(count);
      f.Write(701L);
      f.Write(0);
    });
    EngineeringManager m;
    EXPECT_FALSE(RecallBytes(m, bytes)) << count;
    EXPECT_EQ(m.GetProjectSize(1), 0);
  }
  for (int revision : {0, 1}) {
    const std::string bytes = Chunk(revision, [&](PemarBinaryFile& f) {
      f.Write(INT_MAX);
      f.Write(0);
    });
    EngineeringManager m;
    EXPECT_FALSE(RecallBytes(m, bytes));
    EXPECT_EQ(TypedProject::live, 0);
  }
}

TEST_F(EngineeringManagerTest, NegativeRevisionFails) {
  const std::string bytes = Chunk(-1, [](PemarBinaryFile& f) { f.Write(0); });
  EngineeringManager m;
  EXPECT_FALSE(RecallBytes(m, bytes));
}

TEST_F(EngineeringManagerTest, UnregisteredTypeFailsAndReleasesWhatWasMade) {
  EngineeringManager source;
  source.AddEngObject("H", 501, 0);
  const std::string bytes = Chunk(2, [&](PemarBinaryFile& f) {
    f.Write(2);
    IPemarBaseObject* h = nullptr;
    source.GetProjectByName("H", &h, 501);
    f.Write(501L);
    h->Store(&f);
    f.Write(424242L);
  });
  EngineeringManager m;
  EXPECT_EQ(TypedProject::live, 1);
  EXPECT_FALSE(RecallBytes(m, bytes));
  EXPECT_EQ(m.GetProjectSize(1), 0);
  EXPECT_EQ(TypedProject::live, 1);  // only the source's
  // Type 101 is a project interface, never made by the manager.
  const std::string project = Chunk(2, [](PemarBinaryFile& f) {
    f.Write(1);
    f.Write(101L);
  });
  EXPECT_FALSE(RecallBytes(m, project));
}

TEST_F(EngineeringManagerTest, StoreThenRecallKeepsObjectsInOrder) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  EngineeringManager target;
  ASSERT_TRUE(RecallBytes(target, bytes));
  // A notes project keeps its creator's reference besides the recall's.
  EXPECT_EQ(Listing(target), "A:701:2 B:501:1 C:701:2 ");
  IPemarBaseObject* a = nullptr;
  target.GetProjectByName("A", &a, 101);
  ASSERT_NE(a, nullptr);
  auto* project = dynamic_cast<NotesProject*>(a);
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->GetNumberOfNotes(), 2);
  EXPECT_STREQ(project->GetNoteText(0), "first");
  EXPECT_STREQ(project->GetComments(), "notes of A");
  IPemarBaseObject* b = nullptr;
  target.GetProjectByName("B", &b, 501);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(dynamic_cast<TypedProject*>(b)->GetPemarCentralObject(), &target);
  EXPECT_EQ(project->GetPemarCentralObject(), nullptr);
  EXPECT_EQ(StoreBytes(target), bytes);
}

TEST_F(EngineeringManagerTest, RecallFixUpDropsTheRecallReferences) {
  EngineeringManager source;
  Fill(source);
  const std::string bytes = StoreBytes(source);
  EngineeringManager target;
  ASSERT_TRUE(RecallBytes(target, bytes));
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

TEST_F(EngineeringManagerTest, RecallFixUpSkipsObjectsRemovedMeanwhile) {
  EngineeringManager source;
  source.AddEngObject("H", 501, 0);
  EngineeringManager target;
  ASSERT_TRUE(RecallBytes(target, StoreBytes(source)));
  IPemarBaseObject* h = nullptr;
  target.GetProjectByName("H", &h, 501);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(target.RemoveEngObject(h), kDone);  // destroyed here
  target.RecallFixUp();
  EXPECT_EQ(target.GetProjectSize(1), 0);
  EXPECT_EQ(TypedProject::live, 1);
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
    // Stored again, the current revision holds types.
    EngineeringManager again;
    ASSERT_TRUE(RecallBytes(again, StoreBytes(m)));
    EXPECT_EQ(Listing(again), Listing(m));
  }
}

// --------------------------------------------------- registry and counts

TEST_F(EngineeringManagerTest, AddEngObjectTwiceGivesOneObjectTwoReferences) {
  EngineeringManager m;
  IPemarBaseObject* first = m.AddEngObject("P", 501, 0);
  IPemarBaseObject* second = m.AddEngObject("P", 501, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(m.GetProjectSize(501), 1);
  EXPECT_EQ(first->RefCount(), 2);
  EXPECT_EQ(m.RemoveEngObject(first), kDone);
  EXPECT_EQ(m.GetProjectSize(501), 1);
  EXPECT_EQ(m.RemoveEngObject(first), kDone);
  EXPECT_EQ(m.GetProjectSize(501), 0);
  EXPECT_EQ(TypedProject::live, 0);
  EXPECT_EQ(m.RemoveEngObject(nullptr), kRejected);
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
  m.GetProjectByNum(2, 701, &kept);
  EXPECT_EQ(kept, found);  // only two: left unchanged
  m.GetProjectByNum(-1, 701, &kept);
  EXPECT_EQ(kept, found);
  m.GetProjectByNum(1, 701, &kept);
  EXPECT_STREQ(kept->GetMyIdentifier(), "C");
}

TEST_F(EngineeringManagerTest, DestructionReleasesEveryReference) {
  {
    EngineeringManager m;
    m.AddEngObject("H", 501, 0);
    m.AddEngObject("H", 501, 0);
    m.AddEngObject("S", 601, 0);
    EXPECT_EQ(TypedProject::live, 2);
  }
  EXPECT_EQ(TypedProject::live, 0);
}

// ------------------------------------------------------------------ cases

Case* MakeCase() { return new Case; }

TEST_F(EngineeringManagerTest, UnknownConfiguredVersionPassesEmptyIdentifier) {
  Engine().caseFactory = &MakeCase;
  EngineeringManager m;
  for (double value : {7.0, -1.0, 5.0, double{NAN}, double{INFINITY}, 1e300}) {
    SetConfigData(Text("MeridORVEXVersion"), value);
    EngineCallLog().clear();
    EXPECT_EQ(m.CreateVistaroCase("plant.kcs", "c", 0, nullptr, nullptr,
                                  nullptr, nullptr, false),
              kRejected);
    ASSERT_FALSE(EngineCallLog().empty());
    EXPECT_EQ(EngineCallLog().front(), "CASEBuildFromKCS ") << value;
  }
  m.ClearAllVistaroCases();
}

TEST_F(EngineeringManagerTest, ConfiguredVersionChoosesAutomationIdentifier) {
  Engine().caseFactory = &MakeCase;
  EngineeringManager m;
  SetConfigData(Text("MeridORVEXVersion"), 2.0);
  m.CreateVistaroCase("plant.kcs", "c", 0, nullptr, nullptr, nullptr, nullptr,
                      false);
  int dummy = 0;
  m.CreateVistaroCase("plant.kcs", "c", 0, nullptr,
                      reinterpret_cast<IDispatch*>(&dummy), nullptr, nullptr,
                      false);
  ASSERT_EQ(EngineCallLog().size(), 2u);
  EXPECT_EQ(EngineCallLog()[0], "CASEBuildFromKCS ORVEX.Application.V10.0");
  EXPECT_EQ(EngineCallLog()[1], "CASEBuildFromKCS ORVEX.Application.V12.0");
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
  EXPECT_EQ(m.CreateVistaroCase("f", "c", 9, nullptr, nullptr, nullptr, nullptr,
                                false),
            kRejected);  // CASENew makes nothing here
  Engine().caseFactory = &MakeCase;
  EXPECT_EQ(m.CreateVistaroCase("f", nullptr, 9, nullptr, nullptr, nullptr,
                                nullptr, false),
            kRejected);
  EXPECT_EQ(m.CreateVistaroCase(nullptr, "c", 9, nullptr, nullptr, nullptr,
                                nullptr, false),
            kRejected);
  // Any other source reads nothing and counts as success.
  EXPECT_EQ(m.CreateVistaroCase("f", "c", 9, nullptr, nullptr, nullptr, nullptr,
                                false),
            kDone);
  Case* made = m.GetVistaroCase("c");
  ASSERT_NE(made, nullptr);
  EXPECT_NE(CASEGetModel(made), nullptr);
  EXPECT_EQ(made->RefCount(), 1);
  Engine().defaultCaseHasModel = false;
  EXPECT_EQ(m.CreateVistaroCase("f", "d", 9, nullptr, nullptr, nullptr, nullptr,
                                false),
            kRejected);
  // Source 3 without a workbook fails cleanly.
  Engine().defaultCaseHasModel = true;
  EXPECT_EQ(m.CreateVistaroCase("f", "e", 3, nullptr, nullptr, nullptr, nullptr,
                                false),
            kRejected);
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
  ASSERT_EQ(r.texts.size(), 1u);
  EXPECT_EQ(r.texts[0], "No process simulator is available\n");
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
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_TRUE(r.kinds.empty());  // text older than the link
  WriteConsoleLine("E101 Flash failed");
  EXPECT_TRUE(m.UpdateErrors());
  ASSERT_EQ(r.kinds.size(), 1u);
  EXPECT_EQ(r.kinds[0], ConsoleErrors);
  EXPECT_EQ(r.texts[0], "E101 Flash failed\n");
  EXPECT_EQ(r.datas[0], static_cast<void*>(&m));
  EXPECT_TRUE(m.UpdateErrors());  // unchanged transaction: nothing
  EXPECT_EQ(r.kinds.size(), 1u);
  WriteConsoleLine("E102 Column dry");
  WriteConsoleLine("E103 No feed");
  EXPECT_TRUE(m.UpdateErrors());
  ASSERT_EQ(r.kinds.size(), 2u);
  EXPECT_EQ(r.texts[1], "E102 Column dry\nE103 No feed\n");
}

TEST_F(EngineeringManagerTest, NegativeConsoleSizeSendsNothing) {
  EngineeringManager m;
  Receiver r;
  m.AddNotificationReceiver(&r);
  m.AddValidMessage(&r, ConsoleErrors);
  m.InterpretVistaroCase("none", nullptr, nullptr);
  Console().transaction = 9;
  Console().size = -1;
  Console().text = "never";
  EXPECT_TRUE(m.UpdateErrors());
  EXPECT_TRUE(r.kinds.empty());
}

TEST_F(EngineeringManagerTest, UnterminatedConsoleTextIsCutAtTheBuffer) {
  EngineeringManager m;
  Receiver r;
  m.AddNotificationReceiver(&r);
  m.AddValidMessage(&r, ConsoleErrors);
  m.InterpretVistaroCase("none", nullptr, nullptr);
  Console().transaction = 1;
  Console().size = 10;
  Console().text = "abc";
  Console().fillWholeBuffer = true;
  EXPECT_TRUE(m.UpdateErrors());
  ASSERT_EQ(r.texts.size(), 1u);
  EXPECT_EQ(r.texts[0].size(), 10u + 127u);
}

// ------------------------------------------------------------ spreadsheets

}  // namespace
}  // namespace pemar
