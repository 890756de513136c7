#include "pemar/framework/ObjectManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"
#include "pemar/framework/testing/LargestAllocation.h"

namespace pemar {
namespace {

std::vector<Text>& FixUpLog() {
  static std::vector<Text> log;
  return log;
}

class Node;
class Sheet;

// A document with a counter and a pointer to one of its objects.
class Sheet : public Document {
 public:
  Sheet();
  int counter = 0;
  Viewable* favourite = nullptr;
};

// An object with a value and a pointer to another object. A negative value
// makes it ask to be discarded after a recall.
class Node : public Viewable {
 public:
  Node(Viewable* owner, const Text& name);
  Node(Viewable* owner, const Text& name, const ObjectTypeInfo* type)
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

const ObjectTypeInfo* NodeType();

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
    return file.Read(node->value) &&
           Viewable::RecallPointerX(file, node->peer, NodeType());
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

// A node whose class data names an object that it deletes, the way readers
// of old layouts drop objects they no longer keep.
class KillerInfoT : public NodeInfoT {
 public:
  using NodeInfoT::NodeInfoT;
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    return Viewable::StorePointer(file, static_cast<Node*>(object)->peer);
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* /*object*/) const override {
    Viewable* victim = nullptr;
    if (!Viewable::RecallPointerX(file, victim, nullptr)) return 0;
    delete victim;
    return 1;
  }
};

const ObjectTypeInfo* KillerType() {
  static KillerInfoT* type =
      new KillerInfoT("ObjectManagerTestKillerObject", NodeType(), "Killer", 0,
                      0, "tkill", kEmptyMarker);
  return type;
}

Sheet::Sheet() : Document(nullptr, SheetType()) {}

Node::Node(Viewable* owner, const Text& name) : Viewable(owner, NodeType()) {
  SetName(name);
}

class ObjectManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FixUpLog().clear();
    MutableNodeType().SetClassDataVersion(3);
    dir_ =
        std::filesystem::temp_directory_path() /
        ("pemar-objects-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "sheet.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

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

  void Save(Sheet& sheet) {
    sheet.SetFileName(path_);
    ASSERT_TRUE(sheet.SaveDocument(0));
  }

  static Node* Find(Sheet& sheet, const char* name) {
    for (Viewable* v : sheet.GetObjectManager().Objects(NodeType())) {
      if (v->GetName() == name) return static_cast<Node*>(v);
    }
    return nullptr;
  }

  std::vector<unsigned char> Bytes() {
    std::ifstream in(path_, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
  }
  void SetBytes(const std::vector<unsigned char>& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  // Recalls the file into a fresh sheet; checks a failure left nothing.
  bool RecallFresh() {
    Sheet sheet;
    bool ok = sheet.RecallDocument(FileName(Text(path_)));
    if (!ok) {
      EXPECT_EQ(sheet.GetObjectManager().Count(), 1u);
    }
    return ok;
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(ObjectManagerTest, EveryTruncationFailsCleanly) {
  {
    Sheet sheet;
    Build(sheet);
    Save(sheet);
  }
  std::vector<unsigned char> whole = Bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SetBytes(std::vector<unsigned char>(whole.begin(), whole.begin() + n));
    EXPECT_FALSE(RecallFresh()) << n;
  }
}

TEST_F(ObjectManagerTest, CorruptedBytesNeverCrashOrLeak) {
  {
    Sheet sheet;
    Build(sheet);
    Save(sheet);
  }
  std::vector<unsigned char> whole = Bytes();
  for (std::size_t at = 0; at < whole.size(); ++at) {
    // Every bit flipped: lengths, counts, ids and markers alike.
    std::vector<unsigned char> damaged = whole;
    damaged[at] = static_cast<unsigned char>(~damaged[at]);
    SetBytes(damaged);
    RecallFresh();
  }
}

TEST_F(ObjectManagerTest, HugeCountFailsWithoutAllocatingIt) {
  Sheet sheet;
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create());
  ChunkHeader section;
  ASSERT_TRUE(section.Create(file, 1));
  ASSERT_TRUE(file.Write(0x7FFFFFFFu));
  ASSERT_TRUE(file.Write(1u));
  ASSERT_TRUE(section.Close(file));
  ASSERT_TRUE(file.Close());

  BinaryFile in(path_, Text());
  ASSERT_TRUE(in.Open(false));
  test_support::LargestAllocation watch;
  EXPECT_FALSE(sheet.GetObjectManager().RecallObjects(in));
  // Only the file's read buffer; the count would need gigabytes.
  EXPECT_LT(watch.Largest(), 1u << 20);
}

// Writes a section by hand: the sheet record, then the given node records
// (id, type name, owner id), each with empty class data.
struct RawRecord {
  unsigned int id;
  const char* type;
  unsigned int owner;
};

void WriteSection(const std::string& path,
                  const std::vector<RawRecord>& records) {
  BinaryFile file(path, Text());
  ASSERT_TRUE(file.Create());
  ChunkHeader section;
  ASSERT_TRUE(section.Create(file, 1));
  ASSERT_TRUE(file.Write(static_cast<unsigned int>(records.size())));
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
  const std::vector<std::vector<RawRecord>> cases = {
      {{1, sheet, 0}, {2, "NoSuchObject", 1}},      // unknown type
      {{1, sheet, 0}, {0, node, 1}},                // id 0
      {{1, sheet, 0}, {1, node, 1}},                // repeated id
      {{1, sheet, 0}, {2, node, 3}, {3, node, 1}},  // owner comes later
      {{1, sheet, 0}, {2, node, 2}},                // owns itself
      {{1, sheet, 0}, {2, node, 0}},                // no owner
      {{1, node, 0}},                               // first is not the document
      {{1, "ViewableObject", 0}, {2, node, 1}},     // wrong document type
      {{1, sheet, 0}, {2, "DocumentObject", 1}},    // type that cannot recall
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    WriteSection(path_, cases[i]);
    Sheet target;
    BinaryFile file(path_, Text());
    ASSERT_TRUE(file.Open(false));
    EXPECT_FALSE(target.GetObjectManager().RecallObjects(file)) << i;
    EXPECT_EQ(target.GetObjectManager().Count(), 1u) << i;
    EXPECT_EQ(target.GetName(), "") << i;
  }
  // The same shape with sound values reads.
  WriteSection(path_, {{1, sheet, 0}, {7, node, 1}, {9, node, 7}});
  Sheet target;
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Open(false));
  EXPECT_TRUE(target.GetObjectManager().RecallObjects(file));
  EXPECT_EQ(target.GetObjectManager().Count(), 3u);
}

TEST_F(ObjectManagerTest, RoundTripKeepsOwnersNamesAndPointers) {
  {
    Sheet sheet;
    Build(sheet);
    Save(sheet);
    EXPECT_FALSE(sheet.IsModified());
  }
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(sheet.GetObjectManager().Count(), 4u);
  EXPECT_EQ(sheet.counter, 41);
  Node* a = Find(sheet, "a");
  Node* b = Find(sheet, "b");
  Node* c = Find(sheet, "c");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->GetOwner(), &sheet);
  EXPECT_EQ(b->GetOwner(), a);
  EXPECT_EQ(c->GetOwner(), &sheet);
  EXPECT_EQ(a->value, 1);
  EXPECT_EQ(b->value, 2);
  EXPECT_EQ(c->value, 3);
  // a's record comes before c's: a forward reference.
  EXPECT_EQ(a->peer, c);
  EXPECT_EQ(c->peer, a);
  EXPECT_EQ(b->peer, nullptr);
  EXPECT_EQ(sheet.favourite, b);
  EXPECT_TRUE(sheet.DocumentFileHeader()->IsConfirmed());
  EXPECT_EQ(sheet.GetObjectManager().SavedByBuildNumber(),
            kFrameworkBuildNumber);
}

TEST_F(ObjectManagerTest, RecallSeesStoredVersionNotCurrentOne) {
  {
    Sheet sheet;
    Build(sheet);
    Save(sheet);
  }
  MutableNodeType().SetClassDataVersion(4);
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(Find(sheet, "a")->seen_version, 3);
  EXPECT_EQ(NodeType()->RecalledClassDataVersion(), 3);
  EXPECT_EQ(NodeType()->ClassDataVersion(), 4);
}

TEST_F(ObjectManagerTest, RejectedObjectsAreDiscardedBeforeFixUps) {
  {
    Sheet sheet;
    Build(sheet);
    Node* doomed = new Node(&sheet, "doomed");
    doomed->value = -1;
    new Node(doomed, "orphan");
    Save(sheet);
  }
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
  {
    Sheet sheet;
    Build(sheet);
    Node* c = Find(sheet, "c");
    Find(sheet, "a")->peer = nullptr;
    // Both killers name c; the second finds it already gone.
    new Node(&sheet, "killer0", KillerType());
    new Node(&sheet, "killer1", KillerType());
    Find(sheet, "killer0")->peer = c;
    Find(sheet, "killer1")->peer = c;
    Save(sheet);
  }
  Sheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(Find(sheet, "c"), nullptr);
  EXPECT_EQ(sheet.GetObjectManager().Count(), 5u);
  EXPECT_EQ(FixUpLog(), (std::vector<Text>{"sheet:Sheet 1", "a", "b", "killer0",
                                           "killer1"}));
}

TEST_F(ObjectManagerTest, FailedSaveKeepsThePreviousFile) {
  {
    Sheet sheet;
    Build(sheet);
    Save(sheet);
  }
  const std::vector<unsigned char> before = Bytes();
  using Op = FaultInjectingFileSystem::Op;
  for (Op op :
       {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename}) {
    for (int n = 1;; ++n) {
      FaultInjectingFileSystem fs;
      ScopedFileSystem scoped(&fs);
      fs.FailAt(op, n);
      Sheet sheet;
      Build(sheet);
      sheet.counter = 99;
      sheet.SetFileName(path_);
      sheet.SetModified(true);
      bool saved = sheet.SaveDocument(0);
      if (saved) {
        // Past the last operation of this kind: the save went through.
        SetBytes(before);
        break;
      }
      EXPECT_TRUE(sheet.IsModified());
      EXPECT_EQ(Bytes(), before) << static_cast<int>(op) << " " << n;
      EXPECT_FALSE(std::filesystem::exists(path_ + ".tmp"));
    }
  }
}

TEST_F(ObjectManagerTest, PointerToWrongTypeFailsRecall) {
  {
    Sheet sheet;
    Build(sheet);
    // A node pointing at the document, which is not a node.
    Find(sheet, "b")->peer = &sheet;
    Save(sheet);
  }
  EXPECT_FALSE(RecallFresh());
}

TEST_F(ObjectManagerTest, PointerOutsideAStoreFails) {
  Sheet sheet;
  Node* a = new Node(&sheet, "a");
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(Viewable::StorePointer(file, nullptr));
  EXPECT_FALSE(Viewable::StorePointer(file, a));
  ASSERT_TRUE(file.Close());

  BinaryFile in(path_, Text());
  ASSERT_TRUE(in.Open(false));
  Viewable* got = a;
  EXPECT_TRUE(Viewable::RecallPointerX(in, got, nullptr));
  EXPECT_EQ(got, nullptr);
}

TEST_F(ObjectManagerTest, PointerToAnotherDocumentsObjectFailsStore) {
  Sheet other;
  Node* stranger = new Node(&other, "stranger");
  Sheet sheet;
  Build(sheet);
  Find(sheet, "a")->peer = stranger;
  sheet.SetFileName(path_);
  EXPECT_FALSE(sheet.SaveDocument(0));
  EXPECT_FALSE(std::filesystem::exists(path_ + ".tmp"));
}

TEST_F(ObjectManagerTest, UnconfirmedSaveIsNotRecalled) {
  Sheet sheet;
  Build(sheet);
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(sheet.DocumentFileHeader()->Store(file));
  ASSERT_TRUE(sheet.GetObjectManager().StoreObjects(file));
  ASSERT_TRUE(file.Close());  // stopped before MarkOK
  EXPECT_FALSE(RecallFresh());
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

std::size_t FindBytes(const std::vector<unsigned char>& bytes,
                      const std::string& what) {
  std::string all(bytes.begin(), bytes.end());
  return all.find(what);
}

TEST_F(ObjectManagerTest, OldTypeNumberRecordRoundTrip) {
  {
    OldSheet sheet;
    Node* old = new Node(&sheet, "old", OldSheet::OldNodeType());
    old->value = 7;
    new Node(&sheet, "plain");
    sheet.SetFileName(path_);
    ASSERT_TRUE(sheet.SaveDocument(0));
  }
  std::vector<unsigned char> bytes = Bytes();
  EXPECT_NE(FindBytes(bytes, "#24657"), std::string::npos);
  EXPECT_EQ(FindBytes(bytes, "ObjectManagerTestOldNodeObject"),
            std::string::npos);

  OldSheet sheet;
  ASSERT_TRUE(sheet.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(sheet.fixups, 1);
  auto olds = sheet.GetObjectManager().Objects(OldSheet::OldNodeType());
  ASSERT_EQ(olds.size(), 1u);
  EXPECT_EQ(olds[0]->GetName(), "old");
  EXPECT_EQ(static_cast<Node*>(olds[0])->value, 7);
  EXPECT_EQ(sheet.GetObjectManager().Count(), 3u);
}

TEST_F(ObjectManagerTest, UnknownOldTypeNumberFailsRecall) {
  {
    OldSheet sheet;
    new Node(&sheet, "old", OldSheet::OldNodeType());
    sheet.SetFileName(path_);
    ASSERT_TRUE(sheet.SaveDocument(0));
  }
  const std::vector<unsigned char> good = Bytes();
  {
    // The document does not know the number.
    OldSheet sheet;
    sheet.known = false;
    EXPECT_FALSE(sheet.RecallDocument(FileName(Text(path_))));
    EXPECT_EQ(sheet.fixups, 1);
    EXPECT_EQ(sheet.GetObjectManager().Count(), 1u);
  }
  std::size_t at = FindBytes(good, "#24657");
  ASSERT_NE(at, std::string::npos);
  // Another number, and texts that are not numbers, name no type.
  for (const char* other : {"#24658", "#2465a", "#1 2 3", "##### "}) {
    std::vector<unsigned char> bytes = good;
    for (std::size_t i = 0; i < 6; ++i) {
      bytes[at + i] = static_cast<unsigned char>(other[i]);
    }
    SetBytes(bytes);
    OldSheet sheet;
    EXPECT_FALSE(sheet.RecallDocument(FileName(Text(path_)))) << other;
    EXPECT_EQ(sheet.GetObjectManager().Count(), 1u);
  }
}

}  // namespace
}  // namespace pemar
