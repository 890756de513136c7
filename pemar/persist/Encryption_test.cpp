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

namespace pemar {
namespace {

using Bytes = std::string;
using Op = FaultInjectingFileSystem::Op;

Bytes RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes data(n, '\0');
  for (auto& c : data) c = static_cast<char>(gen());
  return data;
}

// The block rules written out literally and independently of the library's
// code: each whole 8-byte block is two little-endian words L and R,
// enciphered with the round functions inline; the rest stays as it is.
Bytes Enciphered(Bytes out) {
  const std::uint32_t* k = encryption_internal::kFileKey;
  for (std::size_t i = 0; i + 8 <= out.size(); i += 8) {
    std::uint32_t w[2] = {0, 0};
    for (int b = 7; b >= 0; --b) {
      w[b / 4] = (w[b / 4] << 8) | static_cast<unsigned char>(out[i + b]);
    }
    std::uint32_t sum = 0;
    for (int cycle = 0; cycle < 32; ++cycle) {
      sum += 0x9E3779B9u;
      w[0] += ((w[1] << 4) + k[0]) ^ (w[1] + sum) ^ ((w[1] >> 5) + k[1]);
      w[1] += ((w[0] << 4) + k[2]) ^ (w[0] + sum) ^ ((w[0] >> 5) + k[3]);
    }
    for (int b = 0; b < 8; ++b) {
      out[i + b] = static_cast<char>(w[b / 4] >> (8 * (b % 4)));
    }
  }
  return out;
}

class EncryptionTest : public ::testing::Test {
 protected:
  // The names of all files, in order.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& [name, contents] : fs_.Files()) names.push_back(name);
    return names;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

// The published TEA vectors: six words start at zero; step n enciphers words
// n, n+1 with words n+2 ... n+5 as the key and copies word n to n+6. Checked
// after the steps that are powers of two, then undone back to zeros.
TEST_F(EncryptionTest, PublishedVectors) {
  const std::vector<std::vector<std::uint32_t>> expected = {
      {0x41ea3a0a, 0x94baa940, 0, 0, 0, 0},
      {0x4e8e7829, 0x7d8236d8, 0, 0, 0, 0x41ea3a0a},
      {0xb84e28af, 0xb6b62088, 0, 0x41ea3a0a, 0x4e8e7829, 0xc88ba95e},
      {0x5ddf75d9, 0x7a4ce68f, 0xb84e28af, 0xa0a47295, 0xed650698, 0x1024eea0},
      {0x4ec5d2e2, 0x5ada1d89, 0xa9c3801a, 0x32a1e654, 0x08b63bb9, 0x21410574},
      {0x7d2c6c57, 0x7a6adb4d, 0x69c53e0f, 0x60388ada, 0xdf70a1f5, 0xd9cb4e09},
      {0x2bb0f1b3, 0xc023ed11, 0x5c60bff2, 0x7072d01c, 0x4513c5eb, 0x8f3a38ab}};
  std::vector<std::uint32_t> pz(80, 0);
  for (int n = 1, row = 0; n <= 64; ++n) {
    TeaEncipher(&pz[n], &pz[n + 2]);
    if ((n & (n - 1)) == 0) {
      EXPECT_EQ(std::vector<std::uint32_t>(&pz[n], &pz[n + 6]), expected[row++])
          << "after step " << n;
    }
    pz[n + 6] = pz[n];
  }
  for (int n = 64; n >= 1; --n) {
    pz[n] = pz[n + 6];
    TeaDecipher(&pz[n], &pz[n + 2]);
  }
  EXPECT_EQ(std::vector<std::uint32_t>(&pz[1], &pz[7]),
            std::vector<std::uint32_t>(6, 0));
}

// Files of any length, also past the 10,000,000 bytes that were once the
// limit, give the bytes of the block rules and decrypt to the original.
TEST_F(EncryptionTest, FilesOfAnyLengthFollowTheBlockRulesAndRoundTrip) {
  for (std::size_t n : {std::size_t{0}, std::size_t{7}, std::size_t{8},
                        std::size_t{9}, std::size_t{(1 << 20) + 3},
                        std::size_t{10'000'013}, std::size_t{25'000'000}}) {
    SCOPED_TRACE(n);
    const Bytes data = RandomBytes(n, static_cast<unsigned>(n));
    fs_.SetFile("plain", data);
    EncryptFileA(Text("plain"), Text("enc"));
    EXPECT_TRUE(fs_.GetFile("enc") == Enciphered(data));
    DecryptFileA(Text("enc"), Text("dec"));
    EXPECT_TRUE(fs_.GetFile("dec") == data);
  }
}

// Blocks go through the cipher several at a time, the rest one by one: at
// every length around those groups the bytes are those of the block rules.
TEST_F(EncryptionTest, InMemoryTransformFollowsTheBlockRulesAtEveryLength) {
  const Bytes data = RandomBytes(300, 1);
  for (std::size_t n = 0; n <= data.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes bytes = data.substr(0, n);
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    encryption_internal::EncipherBlocks(p, n);
    EXPECT_TRUE(bytes == Enciphered(data.substr(0, n)));
    encryption_internal::DecipherBlocks(p, n);
    EXPECT_TRUE(bytes == data.substr(0, n));
  }
}

// Pins the key and the word order: files enciphered by earlier builds must
// stay readable. Expected bytes computed outside the library.
TEST_F(EncryptionTest, KnownFileEnciphersToKnownBytes) {
  Bytes data;
  for (int i = 0; i < 19; ++i) data.push_back(static_cast<char>(i));
  fs_.SetFile("plain", data);
  EncryptFileA(Text("plain"), Text("enc"));
  std::string hex;
  for (unsigned char c : fs_.GetFile("enc")) {
    hex += Text::Format("%02x", c).str();
  }
  EXPECT_EQ(hex, "4a3c2a68fc15a403f573931fc1168b86101112");
}

// A source that does not open, or a target that cannot be written, leave
// the target as it was; an existing empty source does empty it.
TEST_F(EncryptionTest, UnreadableSourceOrUnwritableTargetLeavesTargetAlone) {
  const Bytes previous(100, 'p');
  fs_.SetFile("target", previous);
  EncryptFileA(Text("no-such-file"), Text("target"));
  EXPECT_EQ(DecryptFileWithStatus(Text("no-such-file"), Text("target")),
            CipherFileStatus::kSourceUnreadable);
  fs_.SetFile("empty", "");
  {
    FaultInjectingFileSystem faulty(&fs_);
    ScopedFileSystem scoped(&faulty);
    faulty.FailFrom(Op::kOpenWrite, 1);
    EXPECT_EQ(EncryptFileWithStatus(Text("empty"), Text("target")),
              CipherFileStatus::kTargetUnwritable);
    EncryptFileA(Text("empty"), Text("target"));  // silently nothing
  }
  EXPECT_EQ(fs_.GetFile("target"), previous);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"empty", "target"}));
  EXPECT_EQ(EncryptFileWithStatus(Text("empty"), Text("target")),
            CipherFileStatus::kOk);
  EXPECT_EQ(fs_.GetFile("target"), "");
}

TEST_F(EncryptionTest, InPlaceEncryptionRestoresTheFile) {
  const Bytes data = RandomBytes((3 << 20) + 5, 11);
  fs_.SetFile("f", data);
  EncryptFileA(Text("f"), Text("f"));
  EXPECT_FALSE(fs_.GetFile("f") == data);
  DecryptFileA(Text("f"), Text("f"));
  EXPECT_TRUE(fs_.GetFile("f") == data);
  EXPECT_EQ(Listing(), std::vector<std::string>{"f"});
}

// The temporary file is a new name: a file of the old fixed temporary name
// stays untouched, also when it is the source.
TEST_F(EncryptionTest, TemporaryFileNeverReplacesAnExistingFile) {
  const Bytes own = RandomBytes(4099, 3);
  fs_.SetFile("out.tmp", own);
  fs_.SetFile("in", "0123456789abcdef");
  ASSERT_EQ(EncryptFileWithStatus(Text("in"), Text("out")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(fs_.GetFile("out.tmp") == own);
  ASSERT_EQ(EncryptFileWithStatus(Text("out.tmp"), Text("out")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(fs_.GetFile("out.tmp") == own);
  ASSERT_EQ(DecryptFileWithStatus(Text("out"), Text("back")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(fs_.GetFile("back") == own);
  EXPECT_EQ(Listing(),
            (std::vector<std::string>{"back", "in", "out", "out.tmp"}));
}

// Every write, sync, close, rename and open of the run fails once in turn:
// each time the target keeps its previous contents and no temporary file is
// left behind.
TEST_F(EncryptionTest, InjectedWriteFailuresNeverDamageTheTarget) {
  const Bytes previous = "previous contents";
  fs_.SetFile("in", RandomBytes((3 << 20) + 5, 5));
  fs_.SetFile("out", previous);
  FaultInjectingFileSystem faulty(&fs_);
  ScopedFileSystem scoped(&faulty);
  ASSERT_EQ(EncryptFileWithStatus(Text("in"), Text("out")),
            CipherFileStatus::kOk);
  const Bytes good = fs_.GetFile("out");
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
      EXPECT_EQ(EncryptFileWithStatus(Text("in"), Text("out")),
                CipherFileStatus::kTargetUnwritable);
      faulty.ClearFailures();
      EXPECT_EQ(fs_.GetFile("out"), previous);
      EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "out"}));
    }
    faulty.ResetCounts();
    ASSERT_EQ(EncryptFileWithStatus(Text("in"), Text("out")),
              CipherFileStatus::kOk);
  }
  EXPECT_GE(failures_tried, 8);
  EXPECT_TRUE(fs_.GetFile("out") == good);
}

// A read error in mid-file is not taken for its end.
TEST_F(EncryptionTest, ReadErrorInMidFileLeavesTargetAlone) {
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
  EXPECT_EQ(EncryptFileWithStatus(Text("in"), Text("out")),
            CipherFileStatus::kSourceUnreadable);
  EXPECT_EQ(fs_.GetFile("out"), "previous");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "out"}));
}

// A power cut at any point of a transformation leaves the target as it
// was, or exactly the new bytes; the source is never touched.
TEST_F(EncryptionTest, CrashAtAnyPointLeavesTheOldOrTheNewTarget) {
  struct Scenario {
    const char* name;
    const char* target;
    bool targetExists;
    void (*transform)(const Text&, const Text&);
  };
  // Three pieces, so that a crash can fall between the writes.
  const Bytes plain = RandomBytes((2 << 20) + 13, 21);
  const std::string source = "/c/in";
  for (const Scenario& scenario :
       {Scenario{"encrypt over a file", "/c/out", true, EncryptFileA},
        Scenario{"encrypt to a new file", "/c/out", false, EncryptFileA},
        Scenario{"decrypt over a file", "/c/out", true, DecryptFileA},
        Scenario{"encrypt in place", "/c/in", true, EncryptFileA}}) {
    SCOPED_TRACE(scenario.name);
    const std::string target = scenario.target;
    CrashSimulatingFileSystem fs;
    fs.SetFile(source, plain);
    if (target != source && scenario.targetExists) {
      fs.SetFile(target, "previous contents");
    }
    const Bytes before = fs.GetFile(target);
    ScopedFileSystem scoped(&fs);
    fs.StartRecording();
    scenario.transform(Text(source), Text(target));
    const Bytes after = fs.GetFile(target);
    ASSERT_NE(after, before);
    fs.ForEachCrashState([&](const auto& files) {
      auto it = files.find(target);
      if (it == files.end()) {
        EXPECT_FALSE(scenario.targetExists) << "the target is gone";
      } else {
        EXPECT_TRUE(it->second == before || it->second == after);
      }
      EXPECT_TRUE(target == source || files.at(source) == plain);
    });
  }
}

}  // namespace
}  // namespace pemar
