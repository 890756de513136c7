#include "pemar/framework/ObjectManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"
#include "pemar/framework/testing/LargestAllocation.h"

namespace pemar {
namespace {

std::vector<Text>& FixUpLog() {
  static std::vector<Text> log;
  return log;
}

const ObjectTypeInfo* NodeType();

// A document with a counter and a pointer to one of its objects.
class Sheet : public Document {
 public:
  Sheet();
  int counter = 0;
  Viewable* favourite = nullptr;
};

// An object with a value and a pointer to another object. A negative value
// makes it ask to be discarded after a recall. A node named "killer..."
// deletes the object it points to as soon as it reads the pointer, the way
// readers of old layouts drop objects they no longer keep.
class Node : public Viewable {
 public:
  Node(Viewable* owner, const Text& name,
       const ObjectTypeInfo* type = NodeType())
      : Viewable(owner, type) {
    SetName(name);
  }
  explicit Node(ObjectInstanceInfo& info) : Viewable(info) {}
  int value = 0;
  Viewable* peer = nullptr;
  int seen_version = -1;
};

class SheetInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* sheet = static_cast<Sheet*>(object);
    return file.Write(sheet->counter) &&
           Viewable::StorePointer(file, sheet->favourite);
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* sheet = static_cast<Sheet*>(object);
    return file.Read(sheet->counter) &&
           Viewable::RecallPointerX(file, sheet->favourite, nullptr);
  }
  void RecallFixUp(Viewable* object) const override {
    FixUpLog().push_back(Text("sheet:") + object->GetName());
  }
};

class NodeInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Node(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* node = static_cast<Node*>(object);
    return file.Write(node->value) && Viewable::StorePointer(file, node->peer);
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* node = static_cast<Node*>(object);
    node->seen_version = RecalledClassDataVersion();
    if (!file.Read(node->value) ||
        !Viewable::RecallPointerX(file, node->peer, NodeType())) {
      return 0;
    }
    if (node->GetName().StartsWith("killer")) {
      delete node->peer;
      node->peer = nullptr;
    }
    return 1;
  }
  unsigned char CheckRecalledPointers(Viewable* object) const override {
    return static_cast<Node*>(object)->value >= 0;
  }
  void RecallFixUp(Viewable* object) const override {
    FixUpLog().push_back(object->GetName());
  }
};

const ObjectTypeInfo* SheetType() {
  static SheetInfoT* type =
      new SheetInfoT("ObjectManagerTestSheetObject", DocumentObjectType(),
                     "Sheet", 0, 0, "tsheet", kEmptyMarker);
  return type;
}

NodeInfoT& MutableNodeType() {
  static NodeInfoT* type =
      new NodeInfoT("ObjectManagerTestNodeObject", ViewableObjectType(), "Node",
                    0, 0, "tnode", kEmptyMarker);
  return *type;
}

const ObjectTypeInfo* NodeType() { return &MutableNodeType(); }

Sheet::Sheet() : Document(nullptr, SheetType()) {}

class ObjectManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FixUpLog().clear();
    MutableNodeType().SetClassDataVersion(3);
  }

  // doc owns a and c; a owns b. a points forward to c, c back to a; the
  // document points at b.
  void Build(Sheet& sheet) {
    sheet.SetName("Sheet 1");
    sheet.counter = 41;
    Node* a = new Node(&sheet, "a");
    Node* b = new Node(a, "b");
    Node* c = new Node(&sheet, "c");
    a->value = 1;
    b->value = 2;
    c->value = 3;
    a->peer = c;
    c->peer = a;
    sheet.favourite = b;
  }

  void SaveBuilt(const std::function<void(Sheet&)>& change = nullptr) {
    Sheet sheet;
    Build(sheet);
    if (change) change(sheet);
    sheet.SetFileName(path_);
    ASSERT_TRUE(sheet.SaveDocument(0));
    EXPECT_FALSE(sheet.IsModified());
  }

  static Node* Find(Sheet& sheet, const char* name) {
    for (Viewable* v : sheet.GetObjectManager().Objects(NodeType())) {
      if (v->GetName() == name) return static_cast<Node*>(v);
    }
    return nullptr;
  }

  std::string Bytes() { return fs_.GetFile(path_); }
  void SetBytes(const std::string& bytes) { fs_.SetFile(path_, bytes); }

  // Recalls the file into a fresh sheet; checks a failure left nothing.
  bool RecallFresh() {
    Sheet sheet;
    bool ok = sheet.RecallDocument(FileName(Text(path_)));
    if (!ok) {
      EXPECT_EQ(sheet.GetObjectManager().Count(), 1u);
    }
    return ok;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  const std::string path_ = "sheet.bin";
};

// Every cut fails; every byte flipped (lengths, counts, ids and markers
// alike) fails or reads, but never crashes or leaks.
TEST_F(ObjectManagerTest, EveryTruncationOrFlippedByteFailsCleanly) {
  SaveBuilt();
  const std::string whole = Bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SetBytes(whole.substr(0, n));
    EXPECT_FALSE(RecallFresh()) << n;
    std::string damaged = whole;
    damaged[n] = static_cast<char>(~damaged[n]);
    SetBytes(damaged);
    RecallFresh();
  }
}

// Writes a section by hand: `count` (0: the number of records), then the
// records (id, type name, owner id), each with empty class data.
struct RawRecord {
  unsigned int id;
  const char* type;
  unsigned int owner;
};

void WriteSection(const std::string& path,
                  const std::vector<RawRecord>& records,
                  unsigned int count = 0) {
  BinaryFile file(path, Text());
  ASSERT_TRUE(file.Create());
  ChunkHeader section;
  ASSERT_TRUE(section.Create(file, 1));
  ASSERT_TRUE(
      file.Write(count ? count : static_cast<unsigned int>(records.size())));
  for (const RawRecord& r : records) {
    ASSERT_TRUE(file.Write(r.id) && file.Write(Text(r.type)) &&
                file.Write(r.owner) && file.Write(Text("n")) && file.Write(0));
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    ChunkHeader chunk;
    ASSERT_TRUE(chunk.Create(file, 1));
    if (i == 0) {
      ASSERT_TRUE(file.Write(0) && file.Write(0u));
    } else {
      ASSERT_TRUE(file.Write(5) && file.Write(0u));
    }
    ASSERT_TRUE(chunk.Close(file));
  }
  ASSERT_TRUE(section.Close(file));
  ASSERT_TRUE(file.Close());
}

TEST_F(ObjectManagerTest, DamagedTablesFailAndCreateNothing) {
  const char* sheet = "ObjectManagerTestSheetObject";
  const char* node = "ObjectManagerTestNodeObject";
  const struct {
    const char* what;
    std::vector<RawRecord> records;
    unsigned int count = 0;
    unsigned int objects = 1;  // in the sheet after the recall
  } cases[] = {
      {"unknown type", {{1, sheet, 0}, {2, "NoSuchObject", 1}}},
      {"id 0", {{1, sheet, 0}, {0, node, 1}}},
      {"repeated id", {{1, sheet, 0}, {1, node, 1}}},
      {"owner comes later", {{1, sheet, 0}, {2, node, 3}, {3, node, 1}}},
      {"owns itself", {{1, sheet, 0}, {2, node, 2}}},
      {"no owner", {{1, sheet, 0}, {2, node, 0}}},
      {"first is not the document", {{1, node, 0}}},
      {"wrong document type", {{1, "ViewableObject", 0}, {2, node, 1}}},
      {"type that cannot recall", {{1, sheet, 0}, {2, "DocumentObject", 1}}},
      {"count beyond the file", {{1, sheet, 0}}, 0x7FFFFFFF},
      {"the same shape with sound values reads",
       {{1, sheet, 0}, {7, node, 1}, {9, node, 7}},
       0,
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSection(path_, c.records, c.count);
    Sheet target;
    BinaryFile file(path_, Text());
    ASSERT_TRUE(file.Open(false));
    test_support::LargestAllocation watch;
    EXPECT_EQ(target.GetObjectManager().RecallObjects(file) != 0,
              c.objects > 1);
    // Only the read buffer: the huge count is never allocated.
    EXPECT_LT(watch.Largest(), 1u << 20);
    EXPECT_EQ(target.GetObjectManager().Count(), c.objects);
    EXPECT_EQ(target.GetName(), c.objects > 1 ? "n" : "");
  }
}

// A reader sees the version its record was stored with, not the current one.
TEST_F(ObjectManagerTest, RoundTripKeepsOwnersNamesPointersAndStoredVersion) {
  SaveBuilt();
  MutableNodeType().SetClassDataVersion(4);
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(sheet.GetObjectManager().Count(), 4u);
  EXPECT_EQ(sheet.counter, 41);
  Node *a = Find(sheet, "a"), *b = Find(sheet, "b"), *c = Find(sheet, "c");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(
      (std::vector<Viewable*>{a->GetOwner(), b->GetOwner(), c->GetOwner()}),
      (std::vector<Viewable*>{&sheet, a, &sheet}));
  EXPECT_EQ((std::vector<int>{a->value, b->value, c->value}),
            (std::vector<int>{1, 2, 3}));
  // a's record comes before c's: a forward reference.
  EXPECT_EQ(
      (std::vector<Viewable*>{a->peer, c->peer, b->peer, sheet.favourite}),
      (std::vector<Viewable*>{c, a, nullptr, b}));
  EXPECT_TRUE(sheet.DocumentFileHeader()->IsConfirmed());
  EXPECT_EQ(sheet.GetObjectManager().SavedByBuildNumber(),
            kFrameworkBuildNumber);
  EXPECT_EQ(a->seen_version, 3);
  EXPECT_EQ(NodeType()->RecalledClassDataVersion(), 3);
  EXPECT_EQ(NodeType()->ClassDataVersion(), 4);
}

TEST_F(ObjectManagerTest, RejectedObjectsAreDiscardedBeforeFixUps) {
  SaveBuilt([](Sheet& sheet) {
    Node* doomed = new Node(&sheet, "doomed");
    doomed->value = -1;
    new Node(doomed, "orphan");
  });
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(Find(sheet, "doomed"), nullptr);
  Node* orphan = Find(sheet, "orphan");
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(orphan->GetOwner(), &sheet);
  // Fix-ups run in file order over what was kept, document first.
  EXPECT_EQ(FixUpLog(),
            (std::vector<Text>{"sheet:Sheet 1", "a", "b", "c", "orphan"}));
}

TEST_F(ObjectManagerTest, ObjectDeletedDuringRecallReadsAsNull) {
  SaveBuilt([](Sheet& sheet) {
    Find(sheet, "a")->peer = nullptr;
    // Both killers name c; the second finds it already gone.
    for (const char* name : {"killer0", "killer1"})
      (new Node(&sheet, name))->peer = Find(sheet, "c");
  });
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(Find(sheet, "c"), nullptr);
  EXPECT_EQ(sheet.GetObjectManager().Count(), 5u);
  EXPECT_EQ(FixUpLog(), (std::vector<Text>{"sheet:Sheet 1", "a", "b", "killer0",
                                           "killer1"}));
}

TEST_F(ObjectManagerTest, FailedSaveKeepsThePreviousFile) {
  SaveBuilt();
  const std::string before = Bytes();
  using Op = FaultInjectingFileSystem::Op;
  for (Op op :
       {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename}) {
    for (int n = 1;; ++n) {
      FaultInjectingFileSystem fs(&fs_);
      ScopedFileSystem scoped(&fs);
      fs.FailAt(op, n);
      Sheet sheet;
      Build(sheet);
      sheet.counter = 99;
      sheet.SetFileName(path_);
      sheet.SetModified(true);
      if (sheet.SaveDocument(0)) {
        // Past the last operation of this kind: the save went through.
        SetBytes(before);
        break;
      }
      EXPECT_TRUE(sheet.IsModified());
      EXPECT_EQ(Bytes(), before) << static_cast<int>(op) << " " << n;
      EXPECT_EQ(fs_.Files().size(), 1u);  // no temporary file left
    }
  }
}

// A node pointing at the document, which is not a node; a save stopped
// before its confirmation (MarkOK).
TEST_F(ObjectManagerTest, PointerToWrongTypeOrUnconfirmedSaveFailsRecall) {
  SaveBuilt([](Sheet& sheet) { Find(sheet, "b")->peer = &sheet; });
  EXPECT_FALSE(RecallFresh());
  Sheet sheet;
  Build(sheet);
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create() && sheet.DocumentFileHeader()->Store(file) &&
              sheet.GetObjectManager().StoreObjects(file) && file.Close());
  EXPECT_FALSE(RecallFresh());
}

// Outside a save only null is stored, and reads back as null; a pointer to
// another document's object fails the save.
TEST_F(ObjectManagerTest, PointersOutsideTheSavedDocumentFailStore) {
  Sheet other;
  Node* stranger = new Node(&other, "stranger");
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(Viewable::StorePointer(file, nullptr));
  EXPECT_FALSE(Viewable::StorePointer(file, stranger));
  ASSERT_TRUE(file.Close());
  BinaryFile in(path_, Text());
  Viewable* got = stranger;
  EXPECT_TRUE(in.Open(false) && Viewable::RecallPointerX(in, got, nullptr));
  EXPECT_EQ(got, nullptr);

  Sheet sheet;
  Build(sheet);
  Find(sheet, "a")->peer = stranger;
  sheet.SetFileName(path_);
  EXPECT_FALSE(sheet.SaveDocument(0));
  EXPECT_EQ(fs_.Files().size(), 1u);  // no temporary file left
}

// A document of an old layout: its files named one type by the number
// 24657, which it maps back as long as `known` says so.
class OldSheet : public Document {
 public:
  OldSheet();
  const ObjectTypeInfo* FixupOldObjectType(long oldType) override {
    ++fixups;
    return known && oldType == 24657 ? OldNodeType() : nullptr;
  }
  static const ObjectTypeInfo* OldNodeType() {
    static NodeInfoT* type = [] {
      auto* t = new NodeInfoT("ObjectManagerTestOldNodeObject", NodeType(),
                              "OldNode", 0, 0, "toldnode", kEmptyMarker);
      t->SetOldTypeNumber(24657);
      return t;
    }();
    return type;
  }
  bool known = true;
  int fixups = 0;
};

const ObjectTypeInfo* OldSheetType() {
  static ObjectTypeInfo* type = new ObjectTypeInfo(
      "ObjectManagerTestOldSheetObject", DocumentObjectType(), "OldSheet", 0, 0,
      "toldsheet", kEmptyMarker);
  return type;
}

OldSheet::OldSheet() : Document(nullptr, OldSheetType()) {}

// The record names the type by its old number, not by its name. A document
// that does not know the number, another number, or texts that are not
// numbers name no type.
TEST_F(ObjectManagerTest, OldTypeNumberRecordRoundTripsAndOthersFailRecall) {
  {
    OldSheet sheet;
    (new Node(&sheet, "old", OldSheet::OldNodeType()))->value = 7;
    new Node(&sheet, "plain");
    sheet.SetFileName(path_);
    ASSERT_TRUE(sheet.SaveDocument(0));
  }
  const std::string good = Bytes();
  EXPECT_EQ(good.find("ObjectManagerTestOldNodeObject"), std::string::npos);
  const std::size_t at = good.find("#24657");
  ASSERT_NE(at, std::string::npos);
  {
    OldSheet sheet;
    ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
    EXPECT_EQ(sheet.fixups, 1);
    auto olds = sheet.GetObjectManager().Objects(OldSheet::OldNodeType());
    ASSERT_EQ(olds.size(), 1u);
    EXPECT_EQ(olds[0]->GetName(), "old");
    EXPECT_EQ(static_cast<Node*>(olds[0])->value, 7);
    EXPECT_EQ(sheet.GetObjectManager().Count(), 3u);
  }
  for (const char* other : {"", "#24658", "#2465a", "#1 2 3", "##### "}) {
    std::string bytes = good;
    bytes.replace(at, std::string(other).size(), other);
    SetBytes(bytes);
    OldSheet sheet;
    sheet.known = *other != '\0';
    EXPECT_FALSE(sheet.RecallDocument(FileName(Text(path_)))) << other;
    EXPECT_EQ(sheet.GetObjectManager().Count(), 1u);
    if (!sheet.known) {
      EXPECT_EQ(sheet.fixups, 1);
    }
  }
}

}  // namespace
}  // namespace pemar
