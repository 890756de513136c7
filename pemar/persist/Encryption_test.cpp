#include "pemar/persist/Encryption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/testing/CrashSimulatingFileSystem.h"
#include "pemar/persist/EncryptionInternal.h"

namespace pemar {
namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const fs::path& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

Bytes RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes data(n, '\0');
  for (auto& c : data) c = static_cast<char>(gen());
  return data;
}

class EncryptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::path(::testing::TempDir()) /
        ("pemar_tea_" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const char* name) const { return (dir_ / name).string(); }

  // Names of the files in the test folder.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// The published TEA vectors: six words start at zero; step n enciphers words
// n, n+1 with words n+2 ... n+5 as the key and copies word n to n+6. Printed
// after the steps that are powers of two, then undone back to zeros.
TEST_F(EncryptionTest, PublishedVectors) {
  std::uint32_t zero_key[4] = {0, 0, 0, 0};
  std::uint32_t block[2] = {0, 0};
  TeaEncipher(block, zero_key);
  EXPECT_EQ(block[0], 0x41EA3A0Au);
  EXPECT_EQ(block[1], 0x94BAA940u);
  TeaDecipher(block, zero_key);
  EXPECT_EQ(block[0], 0u);
  EXPECT_EQ(block[1], 0u);

  const std::vector<std::vector<std::uint32_t>> expected = {
      {0x41ea3a0a, 0x94baa940, 0, 0, 0, 0},
      {0x4e8e7829, 0x7d8236d8, 0, 0, 0, 0x41ea3a0a},
      {0xb84e28af, 0xb6b62088, 0, 0x41ea3a0a, 0x4e8e7829, 0xc88ba95e},
      {0x5ddf75d9, 0x7a4ce68f, 0xb84e28af, 0xa0a47295, 0xed650698, 0x1024eea0},
      {0x4ec5d2e2, 0x5ada1d89, 0xa9c3801a, 0x32a1e654, 0x08b63bb9, 0x21410574},
      {0x7d2c6c57, 0x7a6adb4d, 0x69c53e0f, 0x60388ada, 0xdf70a1f5, 0xd9cb4e09},
      {0x2bb0f1b3, 0xc023ed11, 0x5c60bff2, 0x7072d01c, 0x4513c5eb, 0x8f3a38ab}};
  std::vector<std::uint32_t> pz(80, 0);
  std::size_t row = 0;
  for (int n = 1; n <= 64; ++n) {
    TeaEncipher(&pz[n], &pz[n + 2]);
    if ((n & (n - 1)) == 0) {
      ASSERT_LT(row, expected.size());
      std::vector<std::uint32_t> got(pz.begin() + n, pz.begin() + n + 6);
      EXPECT_EQ(got, expected[row]) << "after step " << n;
      ++row;
    }
    pz[n + 6] = pz[n];
  }
  for (int n = 64; n >= 1; --n) {
    pz[n] = pz[n + 6];
    TeaDecipher(&pz[n], &pz[n + 2]);
  }
  EXPECT_EQ(std::vector<std::uint32_t>(pz.begin() + 1, pz.begin() + 7),
            std::vector<std::uint32_t>(6, 0));
}

// The file rules written out literally and independently of the library's
// streaming code: the first 10,000,000 bytes at most, taken one at a time;
// each whole block is two little-endian words L and R, enciphered with the
// round functions inline; the rest stays as it is.
Bytes ReferenceTransform(const Bytes& source, bool encipher) {
  const std::uint32_t* k = encryption_internal::kFileKey;
  const std::size_t n = std::min<std::size_t>(source.size(), 10'000'000);
  Bytes out = source.substr(0, n);
  auto word = [&](std::size_t at) {
    std::uint32_t w = 0;
    for (int b = 3; b >= 0; --b) {
      w = (w << 8) | static_cast<unsigned char>(out[at + b]);
    }
    return w;
  };
  auto put = [&](std::size_t at, std::uint32_t w) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<char>(w >> (8 * b));
  };
  for (std::size_t i = 0; i + 8 <= n; i += 8) {
    std::uint32_t l = word(i), r = word(i + 4);
    if (encipher) {
      std::uint32_t sum = 0;
      for (int cycle = 0; cycle < 32; ++cycle) {
        sum += 0x9E3779B9u;
        l += ((r << 4) + k[0]) ^ (r + sum) ^ ((r >> 5) + k[1]);
        r += ((l << 4) + k[2]) ^ (l + sum) ^ ((l >> 5) + k[3]);
      }
    } else {
      std::uint32_t sum = 0xC6EF3720u;
      for (int cycle = 0; cycle < 32; ++cycle) {
        r -= ((l << 4) + k[2]) ^ (l + sum) ^ ((l >> 5) + k[3]);
        l -= ((r << 4) + k[0]) ^ (r + sum) ^ ((r >> 5) + k[1]);
        sum -= 0x9E3779B9u;
      }
    }
    put(i, l);
    put(i + 4, r);
  }
  return out;
}

TEST_F(EncryptionTest, OutputFollowsTheBlockRulesExactly) {
  for (std::size_t n : {std::size_t{0}, std::size_t{7}, std::size_t{8},
                        std::size_t{9}, std::size_t{(1 << 20) + 3}}) {
    SCOPED_TRACE(n);
    const Bytes data = RandomBytes(n, static_cast<unsigned>(n) + 100);
    WriteAll(Path("plain"), data);
    EncryptFileA(Path("plain"), Path("enc"));
    DecryptFileA(Path("plain"), Path("dec"));
    EXPECT_TRUE(ReadAll(Path("enc")) == ReferenceTransform(data, true));
    EXPECT_TRUE(ReadAll(Path("dec")) == ReferenceTransform(data, false));
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
    EXPECT_TRUE(bytes == ReferenceTransform(data.substr(0, n), true));
    encryption_internal::DecipherBlocks(p, n);
    EXPECT_TRUE(bytes == data.substr(0, n));
  }
}

// Pins the key and the word order: files enciphered by earlier builds must
// stay readable. Expected bytes computed outside the library.
TEST_F(EncryptionTest, KnownFileEnciphersToKnownBytes) {
  Bytes data;
  for (int i = 0; i < 19; ++i) data.push_back(static_cast<char>(i));
  WriteAll(Path("plain"), data);
  EncryptFileA(Path("plain"), Path("enc"));
  const Bytes enc = ReadAll(Path("enc"));
  std::string hex;
  for (unsigned char c : enc) hex += Text::Format("%02x", c).str();
  EXPECT_EQ(hex, "4a3c2a68fc15a403f573931fc1168b86101112");
  DecryptFileA(Path("enc"), Path("dec"));
  EXPECT_EQ(ReadAll(Path("dec")), data);
}

TEST_F(EncryptionTest, FilesOfAnyLengthRoundTrip) {
  for (std::size_t n :
       {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{9},
        std::size_t{(1 << 20) + 3}, std::size_t{25'000'000}}) {
    SCOPED_TRACE(n);
    const Bytes data = RandomBytes(n, static_cast<unsigned>(n));
    WriteAll(Path("plain"), data);
    EncryptFileA(Path("plain"), Path("enc"));
    const Bytes enc = ReadAll(Path("enc"));
    ASSERT_EQ(enc.size(), n);
    // Only the final n mod 8 bytes stay plain.
    EXPECT_EQ(enc.substr(n - n % 8), data.substr(n - n % 8));
    if (n >= 8) {
      EXPECT_NE(enc.substr(0, 8), data.substr(0, 8));
    }
    DecryptFileA(Path("enc"), Path("dec"));
    EXPECT_TRUE(ReadAll(Path("dec")) == data);
  }
}

TEST_F(EncryptionTest, FirstTenMillionBytesAreAsIfEncipheredAlone) {
  const Bytes data = RandomBytes(10'000'013, 7);
  WriteAll(Path("long"), data);
  WriteAll(Path("head"), data.substr(0, 10'000'000));
  EncryptFileA(Path("long"), Path("long.enc"));
  EncryptFileA(Path("head"), Path("head.enc"));
  const Bytes long_enc = ReadAll(Path("long.enc"));
  ASSERT_EQ(long_enc.size(), data.size());
  EXPECT_TRUE(long_enc.substr(0, 10'000'000) == ReadAll(Path("head.enc")));
  EXPECT_TRUE(long_enc.substr(0, 10'000'000) == ReferenceTransform(data, true));
  // The 13 bytes after it: one whole block enciphered, five plain.
  EXPECT_EQ(long_enc.substr(10'000'008), data.substr(10'000'008));
  EXPECT_NE(long_enc.substr(10'000'000, 8), data.substr(10'000'000, 8));
  DecryptFileA(Path("long.enc"), Path("long.dec"));
  EXPECT_TRUE(ReadAll(Path("long.dec")) == data);
}

TEST_F(EncryptionTest, MissingSourceLeavesTargetAlone) {
  const Bytes previous(100, 'p');
  WriteAll(Path("target"), previous);
  EncryptFileA(Path("no-such-file"), Path("target"));
  EXPECT_EQ(ReadAll(Path("target")), previous);
  EXPECT_EQ(DecryptFileWithStatus(Path("no-such-file"), Path("target")),
            CipherFileStatus::kSourceUnreadable);
  EXPECT_EQ(ReadAll(Path("target")), previous);
  EXPECT_EQ(Listing(), std::vector<std::string>{"target"});

  // An existing empty source does empty the target.
  WriteAll(Path("empty"), "");
  EXPECT_EQ(EncryptFileWithStatus(Path("empty"), Path("target")),
            CipherFileStatus::kOk);
  EXPECT_EQ(ReadAll(Path("target")), "");
}

TEST_F(EncryptionTest, InPlaceEncryptionRestoresTheFile) {
  const Bytes data = RandomBytes((3 << 20) + 5, 11);
  WriteAll(Path("f"), data);
  EncryptFileA(Path("f"), Path("f"));
  EXPECT_FALSE(ReadAll(Path("f")) == data);
  DecryptFileA(Path("f"), Path("f"));
  EXPECT_TRUE(ReadAll(Path("f")) == data);
  EXPECT_EQ(Listing(), std::vector<std::string>{"f"});
}

// The temporary file is a new name: a file of the old fixed temporary name
// stays untouched, also when it is the source.
TEST_F(EncryptionTest, TemporaryFileNeverReplacesAnExistingFile) {
  const Bytes own = RandomBytes(4099, 3);
  WriteAll(Path("out.tmp"), own);
  WriteAll(Path("in"), "0123456789abcdef");
  ASSERT_EQ(EncryptFileWithStatus(Path("in"), Path("out")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(ReadAll(Path("out.tmp")) == own);
  ASSERT_EQ(EncryptFileWithStatus(Path("out.tmp"), Path("out")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(ReadAll(Path("out.tmp")) == own);
  ASSERT_EQ(DecryptFileWithStatus(Path("out"), Path("back")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(ReadAll(Path("back")) == own);
  EXPECT_EQ(Listing(),
            (std::vector<std::string>{"back", "in", "out", "out.tmp"}));
}

TEST_F(EncryptionTest, UnwritableTargetIsReported) {
  WriteAll(Path("in"), "12345678");
  EXPECT_EQ(EncryptFileWithStatus(Path("in"), Path("no-dir/out")),
            CipherFileStatus::kTargetUnwritable);
  EncryptFileA(Path("in"), Path("no-dir/out"));  // silently nothing
  EXPECT_EQ(Listing(), std::vector<std::string>{"in"});
}

// Every write, sync, close, rename and open of the run fails once in turn:
// each time the target keeps its previous contents and no temporary file is
// left behind.
TEST_F(EncryptionTest, InjectedWriteFailuresNeverDamageTheTarget) {
  const Bytes data = RandomBytes((3 << 20) + 5, 5);
  const Bytes previous = "previous contents";
  WriteAll(Path("in"), data);
  FaultInjectingFileSystem faulty;
  ScopedFileSystem scoped(&faulty);

  using Op = FaultInjectingFileSystem::Op;
  WriteAll(Path("out"), previous);
  faulty.ResetCounts();
  ASSERT_EQ(EncryptFileWithStatus(Path("in"), Path("out")),
            CipherFileStatus::kOk);
  const Bytes good = ReadAll(Path("out"));
  const std::vector<Op> ops = {Op::kOpenWrite, Op::kWrite, Op::kSync,
                               Op::kClose, Op::kRename};
  std::vector<int> counts(ops.size());
  for (std::size_t i = 0; i < ops.size(); ++i) counts[i] = faulty.Count(ops[i]);
  int failures_tried = 0;
  for (std::size_t i = 0; i < ops.size(); ++i) {
    const Op op = ops[i];
    const int count = counts[i];
    EXPECT_GE(count, 1);
    for (int n = 1; n <= count; ++n) {
      SCOPED_TRACE(testing::Message()
                   << "op " << static_cast<int>(op) << " failing at " << n);
      WriteAll(Path("out"), previous);
      faulty.ResetCounts();
      faulty.FailAt(op, n);
      EXPECT_EQ(EncryptFileWithStatus(Path("in"), Path("out")),
                CipherFileStatus::kTargetUnwritable);
      faulty.ClearFailures();
      EXPECT_EQ(ReadAll(Path("out")), previous);
      EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "out"}));
      ++failures_tried;
    }
  }
  EXPECT_GE(failures_tried, 8);
  // And the same run without failures still gives the right file.
  EXPECT_EQ(EncryptFileWithStatus(Path("in"), Path("out")),
            CipherFileStatus::kOk);
  EXPECT_TRUE(ReadAll(Path("out")) == good);
}

// A read error in mid-file is not taken for its end.
class FailingReadFileSystem : public FaultInjectingFileSystem {
 public:
  class File : public ReadableFile {
   public:
    File(std::unique_ptr<ReadableFile> base, int fail_at)
        : base_(std::move(base)), fail_at_(fail_at) {}
    std::int64_t ReadAt(std::uint64_t offset, void* buffer,
                        std::size_t n) override {
      if (++reads_ == fail_at_) return -1;
      return base_->ReadAt(offset, buffer, n);
    }
    std::uint64_t Size() const override { return base_->Size(); }

   private:
    std::unique_ptr<ReadableFile> base_;
    int fail_at_;
    int reads_ = 0;
  };
  std::unique_ptr<ReadableFile> NewReadableFile(
      const std::string& path) override {
    auto base = FaultInjectingFileSystem::NewReadableFile(path);
    if (!base) return nullptr;
    return std::make_unique<File>(std::move(base), 2);
  }
};

TEST_F(EncryptionTest, ReadErrorInMidFileLeavesTargetAlone) {
  WriteAll(Path("in"), RandomBytes((2 << 20) + 1, 9));
  WriteAll(Path("out"), "previous");
  FailingReadFileSystem failing;
  ScopedFileSystem scoped(&failing);
  EXPECT_EQ(EncryptFileWithStatus(Path("in"), Path("out")),
            CipherFileStatus::kSourceUnreadable);
  EXPECT_EQ(ReadAll(Path("out")), "previous");
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
    test_support::CrashSimulatingFileSystem fs;
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
    std::size_t states = fs.ForEachCrashState([&](const auto& files) {
      auto it = files.find(target);
      if (it == files.end()) {
        EXPECT_FALSE(scenario.targetExists) << "the target is gone";
      } else {
        EXPECT_TRUE(it->second == before || it->second == after);
      }
      if (target != source) {
        EXPECT_TRUE(files.at(source) == plain);
      }
    });
    std::cout << "[ crash    ] " << scenario.name << ": " << states
              << " crash states\n";
  }
}

}  // namespace
}  // namespace pemar
