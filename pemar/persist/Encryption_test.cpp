#include "pemar/persist/Encryption.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/EncryptionInternal.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;
using enum CipherFileStatus;
using Names = std::vector<std::string>;

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string data(n, '\0');
  for (auto& c : data) c = static_cast<char>(gen());
  return data;
}

// The block rules: each whole 8-byte block is two little-endian words
// enciphered with the file key; the rest stays as it is.
std::string Enciphered(std::string out) {
  for (std::size_t i = 0; i + 8 <= out.size(); i += 8) {
    std::uint32_t w[2] = {0, 0};
    for (int b = 7; b >= 0; --b) {
      w[b / 4] = (w[b / 4] << 8) | static_cast<unsigned char>(out[i + b]);
    }
    TeaEncipher(w, encryption_internal::kFileKey);
    for (int b = 0; b < 8; ++b) {
      out[i + b] = static_cast<char>(w[b / 4] >> (8 * (b % 4)));
    }
  }
  return out;
}

CipherFileStatus Encrypt(const char* source, const char* target) {
  return EncryptFileWithStatus(Text(source), Text(target));
}

class EncryptionTest : public ::testing::Test {
 protected:
  Names Listing() const {
    Names names;
    for (const auto& [name, contents] : fs_.Files()) names.push_back(name);
    return names;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

// The chain of testdata/tea_vectors.golden, checked after the steps that
// are powers of two, then undone back to zeros.
TEST_F(EncryptionTest, PublishedVectors) {
  const std::string table =
      test_support::GoldenFile("pemar/persist/testdata/tea_vectors.golden");
  std::vector<std::uint32_t> expected(table.size() / 4), seen, pz(80, 0);
  for (std::size_t i = 0; i < table.size(); ++i) {
    expected[i / 4] =
        expected[i / 4] << 8 | static_cast<unsigned char>(table[i]);
  }
  for (int n = 1; n <= 64; ++n) {
    TeaEncipher(&pz[n], &pz[n + 2]);
    if ((n & (n - 1)) == 0) seen.insert(seen.end(), &pz[n], &pz[n + 6]);
    pz[n + 6] = pz[n];
  }
  EXPECT_EQ(seen, expected);
  for (int n = 64; n >= 1; --n) {
    pz[n] = pz[n + 6];
    TeaDecipher(&pz[n], &pz[n + 2]);
  }
  EXPECT_EQ(std::vector<std::uint32_t>(&pz[1], &pz[7]),
            std::vector<std::uint32_t>(6, 0));
}

// Pins the key and the word order (testdata/file_cipher.golden); then at
// every length around the groups of blocks enciphered together, and for
// files past the 10,000,000 bytes that were once the limit, the bytes are
// those of the block rules and decrypt, in place, to the original.
TEST_F(EncryptionTest, EveryLengthFollowsTheBlockRulesAndRoundTrips) {
  const std::string known =
      test_support::GoldenFile("pemar/persist/testdata/file_cipher.golden");
  EXPECT_TRUE(Enciphered(known.substr(0, 19)) == known.substr(19));
  const std::string data = RandomBytes(300, 1);
  for (std::size_t n = 0; n <= data.size(); ++n) {
    std::string bytes = data.substr(0, n);
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    encryption_internal::EncipherBlocks(p, n);
    EXPECT_TRUE(bytes == Enciphered(data.substr(0, n))) << n;
    encryption_internal::DecipherBlocks(p, n);
    EXPECT_TRUE(bytes == data.substr(0, n)) << n;
  }
  for (std::size_t n :
       {0, 7, 8, 9, 19, (1 << 20) + 3, 10'000'013, 25'000'000}) {
    SCOPED_TRACE(n);
    const std::string plain = RandomBytes(n, static_cast<unsigned>(n));
    fs_.SetFile("plain", plain);
    EncryptFileA(Text("plain"), Text("f"));
    EXPECT_TRUE(fs_.GetFile("f") == Enciphered(plain));
    DecryptFileA(Text("f"), Text("f"));
    EXPECT_TRUE(fs_.GetFile("f") == plain);
    EXPECT_EQ(Listing(), (Names{"f", "plain"}));
  }
}

// Every write, sync, close, rename and open of the run fails once in turn:
// each time the target keeps its previous contents and no temporary file is
// left behind.
TEST_F(EncryptionTest, InjectedWriteFailuresNeverDamageTheTarget) {
  const std::string previous = "previous contents";
  fs_.SetFile("in", RandomBytes((3 << 20) + 5, 5));
  fs_.SetFile("out", previous);
  FaultInjectingFileSystem faulty(&fs_);
  ScopedFileSystem scoped(&faulty);
  ASSERT_EQ(Encrypt("in", "out"), kOk);
  int failures_tried = 0;
  for (Op op :
       {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename}) {
    const int count = faulty.Count(op);
    EXPECT_GE(count, 1);
    for (int n = 1; n <= count; ++n, ++failures_tried) {
      SCOPED_TRACE(testing::Message()
                   << "op " << static_cast<int>(op) << " failing at " << n);
      fs_.SetFile("out", previous);
      faulty.ResetCounts();
      faulty.FailAt(op, n);
      EXPECT_EQ(Encrypt("in", "out"), kTargetUnwritable);
      faulty.ClearFailures();
      EXPECT_EQ(fs_.GetFile("out"), previous);
      EXPECT_EQ(Listing(), (Names{"in", "out"}));
    }
    faulty.ResetCounts();
    ASSERT_EQ(Encrypt("in", "out"), kOk);
  }
  EXPECT_GE(failures_tried, 8);
}

// A source that does not open, or whose reading fails in mid-file (which
// is not taken for its end), leaves the target alone.
TEST_F(EncryptionTest, UnreadableSourceLeavesTargetAlone) {
  struct FailingRead : FaultInjectingFileSystem {
    using FaultInjectingFileSystem::FaultInjectingFileSystem;
    struct File : ReadableFile {
      std::unique_ptr<ReadableFile> base;
      int reads = 0;
      std::int64_t ReadAt(std::uint64_t at, void* to, std::size_t n) override {
        return ++reads == 2 ? -1 : base->ReadAt(at, to, n);
      }
      std::uint64_t Size() const override { return base->Size(); }
    };
    std::unique_ptr<ReadableFile> NewReadableFile(
        const std::string& path) override {
      auto file = std::make_unique<File>();
      file->base = FaultInjectingFileSystem::NewReadableFile(path);
      return file->base ? std::move(file) : nullptr;
    }
  } failing(&fs_);
  ScopedFileSystem scoped(&failing);
  fs_.SetFile("in", RandomBytes((2 << 20) + 1, 9));
  fs_.SetFile("out", "previous");
  for (const char* source : {"no-such-file", "in"}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(Encrypt(source, "out"), kSourceUnreadable);
    EXPECT_EQ(fs_.GetFile("out"), "previous");
    EXPECT_EQ(Listing(), (Names{"in", "out"}));
  }
}

// A power cut at any point of a transformation leaves the target as it
// was, or exactly the new bytes, and every other file as it was: the source,
// and a file of the old fixed temporary name, also when it is the source.
TEST_F(EncryptionTest, CrashAtAnyPointLeavesTheOldOrTheNewTarget) {
  // Three pieces, so that a crash can fall between the writes.
  const CrashSimulatingFileSystem::State files = {
      {"/c/in", RandomBytes((2 << 20) + 13, 21)},
      {"/c/out", "previous"},
      {"/c/out.tmp", RandomBytes(4099, 3)}};
  const struct {
    std::string source, target;
  } scenarios[] = {{"/c/in", "/c/out"},
                   {"/c/in", "/c/new"},
                   {"/c/in", "/c/in"},
                   {"/c/out.tmp", "/c/out"}};
  for (const auto& s : scenarios) {
    SCOPED_TRACE(&s - scenarios);
    CrashSimulatingFileSystem fs;
    for (const auto& [name, contents] : files) fs.SetFile(name, contents);
    const std::string before = fs.GetFile(s.target);
    ScopedFileSystem scoped(&fs);
    fs.StartRecording();
    EncryptFileA(Text(s.source), Text(s.target));
    const std::string after = fs.GetFile(s.target);
    ASSERT_NE(after, before);
    fs.ForEachCrashState([&](const auto& state) {
      for (const auto& [name, contents] : files) {
        if (name == s.target) continue;
        EXPECT_TRUE(state.count(name) && state.at(name) == contents) << name;
      }
      auto it = state.find(s.target);
      if (it == state.end()) {
        EXPECT_EQ(files.count(s.target), 0u) << "the target is gone";
      } else {
        EXPECT_TRUE(it->second == before || it->second == after);
      }
    });
  }
}

}  // namespace
}  // namespace pemar
