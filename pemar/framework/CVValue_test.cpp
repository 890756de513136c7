#include "pemar/framework/CVValue.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::GoldenFile;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

// A node and its subtree as one line, to compare trees.
std::string Describe(const CVValue& node) {
  std::string s = node.GetName().str() + ":" + std::to_string(node.GetType()) +
                  ":" + node.GetText().str();
  for (std::size_t i = 0; i < node.NumberOfChildren(); ++i)
    s += "{" + Describe(*node.GetChild(i)) + "}";
  return s;
}

// A stored chain of `levels` nested children, each with one child but the
// last.
std::string StoredChain(int levels) {
  std::string bytes = Bytes("01 00 00000000");
  for (int i = 0; i < levels; ++i)
    bytes += Bytes("01000000 01000000 'n' 0100 00000000");
  return bytes + Bytes("00000000");
}

class CVValueTest : public ::testing::Test {
 protected:
  CVValueTest() : root_(new CVValue()) {
    root_->AddChild("A", CVValue::kText, "x");
    root_->AddChild("B", CVValue::kContainer, "")
        ->AddChild("C", CVValue::kString, "y");
  }
  ~CVValueTest() override { root_->Release(); }

  // Reads `bytes` into a fresh root; its description, or "failed".
  std::string ReadBack(const std::string& bytes) {
    fs_.SetFile("tree.bin", bytes);
    BinaryFile file{Text("tree.bin")};
    CVValue* read = new CVValue();
    read->AddChild("kept", CVValue::kText, "before");
    std::string result =
        file.Open() && ReadCVValue(file, *read) ? Describe(*read) : "failed";
    if (result == "failed") {
      EXPECT_EQ(Describe(*read), ":1:{kept:64:before}");
    }
    read->Release();
    return result;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  CVValue* root_;
  const std::string golden_ =
      GoldenFile("pemar/framework/testdata/value_tree.golden");
};

TEST_F(CVValueTest, StoredTreeIsTheDocumentedRecord) {
  EXPECT_TRUE(SameBytes(
      WrittenBytes(fs_, [&](BinaryFile& f) { return WriteCVValue(f, *root_); }),
      golden_));
  CVValue* read = new CVValue();
  EXPECT_TRUE(ReadsAll(fs_, golden_,
                       [&](BinaryFile& f) { return ReadCVValue(f, *read); }));
  EXPECT_EQ(Describe(*read), Describe(*root_));
  EXPECT_FALSE(read->HasName());
  EXPECT_TRUE(read->GetChild(0)->HasName());
  read->Release();
}

// Every cut of the documented record fails, and so do records whose counts,
// lengths or depth go beyond what they hold; the tree read into is kept.
TEST_F(CVValueTest, TruncatedOrCorruptRecordsFailAndKeepTheTree) {
  for (std::size_t n = 0; n < golden_.size(); ++n)
    EXPECT_EQ(ReadBack(golden_.substr(0, n)), "failed") << n << " bytes";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"count beyond the bytes left",
       Bytes("0100 00000000 02000000 01000000 'A' 4000 00000000 00000000")},
      {"count of every bit", Bytes("0100 00000000 FFFFFFFF")},
      {"text longer than the file", Bytes("4000 FFFFFF7F 00000000")},
      {"name longer than the file",
       Bytes("0100 00000000 01000000 FFFFFFFF 4000")},
      {"nested one level too deep", StoredChain(CVValue::kMaxDepth + 1)},
      {"nested far too deep", StoredChain(100000)},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadBack(c.bytes), "failed") << c.what;
  EXPECT_NE(ReadBack(StoredChain(CVValue::kMaxDepth)), "failed");
}

TEST_F(CVValueTest, TreeDeeperThanStoredTreesIsNotWrittenAndGoesQuietly) {
  CVValue* deep = new CVValue();
  CVValue* node = deep;
  for (int i = 0; i < 100000; ++i)
    node = node->AddChild("n", CVValue::kContainer, "");
  BinaryFile file{Text("deep.bin")};
  ASSERT_TRUE(file.Create());
  EXPECT_FALSE(WriteCVValue(file, *deep));
  deep->Release();
}

TEST_F(CVValueTest, FollowPathFindsNodesByNames) {
  const struct {
    const char* path;
    const char* name;  // null: no node
  } cases[] = {
      {nullptr, ""},   {"", ""},          {"A", "A"},
      {"B/C", "C"},    {"C", nullptr},    {"B/", nullptr},
      {"/B", nullptr}, {"B//C", nullptr}, {"A/x", nullptr},
  };
  for (const auto& c : cases) {
    CVValue* node = root_->FollowPath(c.path);
    const char* shown = c.path ? c.path : "(null)";
    if (c.name == nullptr) {
      EXPECT_EQ(node, nullptr) << shown;
    } else {
      ASSERT_NE(node, nullptr) << shown;
      EXPECT_EQ(node->GetName(), c.name) << shown;
    }
  }
}

TEST_F(CVValueTest, DeletingAChildTakesItsSubtreeAndKeepsOthersReferenced) {
  CVValue* b = root_->FindChild("B");
  CVValue* c = b->FindChild("C");
  c->AddRef();
  EXPECT_FALSE(root_->DeleteChild(c));  // not a child of the root
  EXPECT_TRUE(root_->DeleteChild(b));
  EXPECT_EQ(root_->NumberOfChildren(), 1u);
  EXPECT_EQ(root_->FindChild("B"), nullptr);
  EXPECT_EQ(root_->FindChild(nullptr), nullptr);
  EXPECT_EQ(c->GetText(), "y");  // still held by the extra reference
  c->Release();
}

}  // namespace
}  // namespace pemar
