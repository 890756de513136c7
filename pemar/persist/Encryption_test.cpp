#include "pemar/persist/Encryption.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/EncryptionInternal.h"
#include "tests/support/FaultLoop.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

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

// Every file operation of the run fails once in turn: each time the target
// keeps its previous contents and no temporary file is left behind.
TEST_F(EncryptionTest, InjectedFailuresNeverDamageTheTarget) {
  const std::string plain = RandomBytes((3 << 20) + 5, 5);
  const std::string enciphered = Enciphered(plain);
  fs_.SetFile("in", plain);
  FaultInjectingFileSystem faulty(&fs_);
  ScopedFileSystem scoped(&faulty);
  auto run = [&] {
    fs_.SetFile("out", "previous");
    const CipherFileStatus status = Encrypt("in", "out");
    EXPECT_TRUE(status == kOk || status == kTargetUnwritable);
    EXPECT_TRUE(fs_.GetFile("out") ==
                (status == kOk ? enciphered : "previous"));
    EXPECT_EQ(Listing(), (Names{"in", "out"}));
    return status == kOk;
  };
  EXPECT_GE(test_support::ForEachInjectedFailure(faulty, run), 8);
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
    test_support::ExpectEveryCrashLeavesOldOrNew(
        fs, s.target, [&] { EncryptFileA(Text(s.source), Text(s.target)); });
  }
}

}  // namespace
}  // namespace pemar
