#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/testing/CrashSimulatingFileSystem.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/UtilityFiles.h"
#include "pemar/utility/testing/RecordingReceiver.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

using testing::RecordingReceiver;

std::unique_ptr<DefaultManager> NewManager() {
  return std::unique_ptr<DefaultManager>(
      static_cast<DefaultManager*>(CreateDefaultUtilManager()));
}

bool Flag(IPemarBinaryFile* f, bool b) {
  return f->Write(static_cast<unsigned char>(b ? 1 : 0));
}

class UtilityPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(dir_.Folder());
    m_ = NewManager();
  }
  void TearDown() override { SetExecutableFolder(""); }

  bool Save(DefaultManager* m, const std::string& path, StoreRecallType t) {
    return testing::WriteChunked(
        path, [&](IPemarBinaryFile* f) { return m->Store(f, t) != 0; });
  }
  bool Load(DefaultManager* m, const std::string& path, StoreRecallType t) {
    PemarBinaryFile f(path.c_str());
    return m->Recall(&f, t) != 0;
  }
  // The manager's whole content as stored bytes, to see that nothing moved.
  std::vector<char> Snapshot(DefaultManager* m) {
    std::string path = dir_.Path("snapshot.bin");
    EXPECT_TRUE(Save(m, path, AllData));
    return testing::ReadBytes(path);
  }

  testing::ScratchDir dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  std::unique_ptr<DefaultManager> m_;
};

// --- Damaged files leave the database as it was ------------------------------

TEST_F(UtilityPersistenceTest, EveryTruncationOfEveryTypeFailsCleanly) {
  m_->AddEconomicData("Plate");
  m_->SetValue("Air", UtilityCost, 3.0);
  for (StoreRecallType type : {AllData, EconomicDataOnly, UtilitiesOnly,
                               HeatTransferCoefficientsOnly}) {
    std::string path = dir_.Path("full.bin");
    ASSERT_TRUE(Save(m_.get(), path, type));
    std::vector<char> bytes = testing::ReadBytes(path);
    auto target = NewManager();
    RecordingReceiver receiver(target.get());
    const std::vector<char> before = Snapshot(target.get());
    for (std::size_t n = 0; n < bytes.size(); n += 1 + n / 64) {
      std::string cut = dir_.Path("cut.bin");
      testing::WriteBytes(cut,
                          std::vector<char>(bytes.begin(), bytes.begin() + n));
      EXPECT_FALSE(Load(target.get(), cut, type)) << type << " " << n;
    }
    EXPECT_TRUE(receiver.events.empty());
    EXPECT_EQ(Snapshot(target.get()), before) << type;
    ASSERT_NE(target->GetEconomicDataPointer(), nullptr);
  }
}

TEST_F(UtilityPersistenceTest, CutInsideThirdUtilityKeepsAllUtilities) {
  std::string path = dir_.Path("three.hud");
  auto source = NewManager();
  while (source->GetNumberOfDefaultUtilities() > 3) {
    source->RemoveDefaultUtility(source->GetDefaultUtilityName(3));
  }
  ASSERT_TRUE(Save(source.get(), path, UtilitiesOnly));
  std::vector<char> bytes = testing::ReadBytes(path);
  bytes.resize(bytes.size() - 20);
  testing::WriteBytes(path, bytes);
  RecordingReceiver receiver(m_.get());
  EXPECT_FALSE(Load(m_.get(), path, UtilitiesOnly));
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(receiver.Count(UtilityRemoved), 0);
  char* name = nullptr;
  m_->GetCurrentFileName(kCurrentUtilitiesFileName, name);
  EXPECT_STREQ(name, "Default File");
}

TEST_F(UtilityPersistenceTest, CountsTheFileCannotHoldAreRefused) {
  for (int count : {-1, 0x7FFFFFFF, 1000}) {
    std::string path = dir_.Path("count.bin");
    ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
      ChunkHeader* h = nullptr;
      bool ok = f->CreateChunk(&h, 5) && Flag(f, true) && f->Write(count) &&
                DefaultUtility().Store(f) && f->Write(0);
      return f->CloseChunk(h) && ok;
    }));
    RecordingReceiver receiver(m_.get());
    EXPECT_FALSE(Load(m_.get(), path, UtilitiesOnly)) << count;
    EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
    EXPECT_TRUE(receiver.events.empty());
  }
  for (int count : {-1, 0x7FFFFFFF}) {
    std::string path = dir_.Path("htc.bin");
    ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
      ChunkHeader* h = nullptr;
      bool ok = f->CreateChunk(&h, 5) && Flag(f, true) && f->Write(count) &&
                f->Write(0);
      return f->CloseChunk(h) && ok;
    }));
    EXPECT_FALSE(Load(m_.get(), path, HeatTransferCoefficientsOnly));
    EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 28);
  }
}

TEST_F(UtilityPersistenceTest, ShortDefaultSetKeepsTheCurrentOne) {
  std::string path = dir_.Path("econ.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
    ChunkHeader* h = nullptr;
    ChunkHeader* d = nullptr;
    CVString name = "DEFAULT";
    bool ok = f->CreateChunk(&h, 5) && Flag(f, true) && f->CreateChunk(&d, 3) &&
              WriteCVString(f, &name) && f->Write(9.0);
    ok = f->CloseChunk(d) && ok;
    ok = ok && Flag(f, false) && Flag(f, false) && f->Write(0);
    return f->CloseChunk(h) && ok;
  }));
  m_->SetEconomicData(EconomicCoefficient0, 2.0, "DEFAULT");
  EXPECT_FALSE(Load(m_.get(), path, EconomicDataOnly));
  ASSERT_NE(m_->GetEconomicDataPointer(), nullptr);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "DEFAULT"), 2.0);
}

TEST_F(UtilityPersistenceTest, WrongTypeFileFailsWithoutChange) {
  std::string path = dir_.Path("set.htc");
  ASSERT_TRUE(Save(m_.get(), path, HeatTransferCoefficientsOnly));
  auto target = NewManager();
  const std::vector<char> before = Snapshot(target.get());
  EXPECT_FALSE(Load(target.get(), path, UtilitiesOnly));
  EXPECT_EQ(Snapshot(target.get()), before);
}

// --- Round trips and the sections of each type -------------------------------

TEST_F(UtilityPersistenceTest, AllDataRoundTripsByteForByte) {
  m_->AddEconomicData("Plate");
  m_->SetEconomicData(EconomicCoefficient1, 4.0, "Plate");
  m_->AddHTCDefaultValue("Mine", 1.25, "note");
  m_->AddDefaultUtility("X");
  m_->SetValue("Air", FuelSourceID, 30);
  m_->SetMode(3);
  std::string path = dir_.Path("all.bin");
  ASSERT_TRUE(Save(m_.get(), path, AllData));
  DefaultManager target;
  ASSERT_TRUE(Load(&target, path, AllData));
  EXPECT_EQ(Snapshot(&target), testing::ReadBytes(path));
  EXPECT_EQ(target.GetMode(), 3);
  EXPECT_EQ(target.GetEconomicData(EconomicCoefficient1, "plate"), 4.0);
  EXPECT_EQ(target.CompareComp("Air", "Air", 1.0), 1);
}

TEST_F(UtilityPersistenceTest, UtilitySetReplacesUtilitiesWithAnnouncements) {
  auto source = NewManager();
  source->RemoveDefaultUtility("Air");
  source->AddDefaultUtility("Mine");
  std::string path = dir_.Path("mine.hud");
  ASSERT_TRUE(Save(source.get(), path, UtilitiesOnly));
  RecordingReceiver receiver(m_.get());
  ASSERT_TRUE(Load(m_.get(), path, UtilitiesOnly));
  ASSERT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  for (int i = 0; i < 22; ++i) {
    EXPECT_STREQ(m_->GetDefaultUtilityName(i),
                 source->GetDefaultUtilityName(i));
  }
  EXPECT_EQ(receiver.Count(UtilityRemoved), 22);
  EXPECT_EQ(receiver.Texts(UtilityAdded).back(), "Mine");
  EXPECT_EQ(receiver.Count(UtilityAdded), 22);
  char* name = nullptr;
  m_->GetCurrentFileName(kCurrentUtilitiesFileName, name);
  EXPECT_EQ(std::string(name), path);
  m_->GetCurrentFileName(kCurrentEconomicsFileName, name);
  EXPECT_STREQ(name, "Default File");
  char* untouched = nullptr;
  m_->GetCurrentFileName("NoSuchKey", untouched);
  m_->GetCurrentFileName(nullptr, untouched);
  EXPECT_EQ(untouched, nullptr);
}

TEST_F(UtilityPersistenceTest, ZeroUtilityCountKeepsTheUtilities) {
  std::string path = dir_.Path("zero.hud");
  ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
    ChunkHeader* h = nullptr;
    bool ok =
        f->CreateChunk(&h, 5) && Flag(f, true) && f->Write(0) && f->Write(0);
    return f->CloseChunk(h) && ok;
  }));
  ASSERT_TRUE(Load(m_.get(), path, UtilitiesOnly));
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
}

TEST_F(UtilityPersistenceTest, EconomicListFlagFalseRemovesNamedSets) {
  m_->AddEconomicData("Plate");
  m_->SetEconomicData(EconomicCoefficient0, 2.0, "DEFAULT");
  std::string path = dir_.Path("econ.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
    ChunkHeader* h = nullptr;
    bool ok = f->CreateChunk(&h, 5) && Flag(f, false) && Flag(f, false) &&
              Flag(f, false) && f->Write(0);
    return f->CloseChunk(h) && ok;
  }));
  ASSERT_TRUE(Load(m_.get(), path, EconomicDataOnly));
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
  EXPECT_EQ(m_->GetEconomicDataDict(), nullptr);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "DEFAULT"), 2.0);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  char* name = nullptr;
  m_->GetCurrentFileName(kCurrentEconomicsFileName, name);
  EXPECT_EQ(std::string(name), path);
  EXPECT_EQ(m_->AddEconomicData("Plate"), 1);
}

TEST_F(UtilityPersistenceTest, DuplicateEconomicKeysKeepTheFirstSet) {
  std::string path = dir_.Path("dup.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
    ChunkHeader* h = nullptr;
    bool ok = f->CreateChunk(&h, 5) && Flag(f, false) && Flag(f, false) &&
              Flag(f, true) && f->Write(3);
    const char* names[] = {"Shell & Tube", "SHELL & TUBE", "default"};
    for (int i = 0; i < 3; ++i) {
      EconomicData set;
      set.SetExchangerType(names[i]);
      set.SetEconomicData(EconomicCoefficient0, i + 1.0);
      ok = ok && set.Store(f);
    }
    ok = ok && f->Write(0);
    return f->CloseChunk(h) && ok;
  }));
  ASSERT_TRUE(Load(m_.get(), path, EconomicDataOnly));
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 2);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "shell & tube"), 1.0);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "SHELL & TUBE");
  EXPECT_EQ(m_->GetEconomicDataName(2), nullptr);
  m_->Lock();
  m_->Unlock();
}

// Writes a manager chunk of an older revision holding one utility "Old" and
// one coefficient entry in that revision's layout.
bool WriteOldManager(IPemarBinaryFile* f, int revision) {
  ChunkHeader* h = nullptr;
  bool ok = f->CreateChunk(&h, revision) && Flag(f, true) && f->Write(1);
  DefaultUtility old("Old", HotSegment, 100, 90, 1, 1, 95, 0, 5, "Shell & Tube",
                     1, 1, 1, 1);
  ok = ok && old.Store(f);
  ok = ok && Flag(f, false) && Flag(f, false) && Flag(f, false);
  if (revision >= 2) {
    ok = ok && Flag(f, true) && f->Write(1);
    CVString name = "Entry";
    if (revision == 2) {
      ok = ok && WriteCVString(f, &name) && f->Write(0.75);
    } else {
      DefHeatTransferCoefficient entry;
      entry.SetName(&name);
      CVString note = "kept";
      entry.SetNote(&note);
      entry.SetHTCValue(0.75);
      ok = ok && entry.Store(f);
    }
  }
  if (revision >= 4) {
    CVString key = kCurrentUtilitiesFileName;
    CVString value = "old.hud";
    ok = ok && Flag(f, true) && f->Write(1) && WriteCVString(f, &key) &&
         WriteCVString(f, &value);
  }
  if (revision >= 5) ok = ok && f->Write(4);
  return f->CloseChunk(h) && ok;
}

TEST_F(UtilityPersistenceTest, EachManagerRevisionReadsOnlyItsSections) {
  for (int revision = 1; revision <= 5; ++revision) {
    std::string path = dir_.Path("r" + std::to_string(revision));
    ASSERT_TRUE(testing::WriteChunked(path, [&](IPemarBinaryFile* f) {
      return WriteOldManager(f, revision);
    }));
    auto m = NewManager();
    ASSERT_TRUE(Load(m.get(), path, AllData)) << revision;
    EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 1);
    EXPECT_EQ(m->GetValue("Old", ARTempHigh), 95);
    EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), revision >= 2 ? 1 : 28);
    if (revision >= 2) {
      EXPECT_STREQ(m->GetHTCDefaultValueName(0), "Entry");
      EXPECT_EQ(m->GetHTCDefaultValue(0), 0.75);
      EXPECT_STREQ(m->GetHTCDefaultValueNote(0), revision >= 3 ? "kept" : "");
    }
    char* name = nullptr;
    m->GetCurrentFileName(kCurrentUtilitiesFileName, name);
    EXPECT_STREQ(name, revision >= 4 ? "old.hud" : "Default File");
    // File names read from the file replace the dictionary entirely.
    name = nullptr;
    m->GetCurrentFileName(kCurrentEconomicsFileName, name);
    if (revision >= 4) {
      EXPECT_EQ(name, nullptr);
    } else {
      EXPECT_STREQ(name, "Default File");
    }
    EXPECT_EQ(m->GetMode(), revision >= 5 ? 4 : 0);
  }
}

// --- Default files -----------------------------------------------------------

TEST_F(UtilityPersistenceTest, DefaultFilesBesideTheProgramAreUsed) {
  auto source = NewManager();
  while (source->GetNumberOfDefaultUtilities() > 2) {
    source->RemoveDefaultUtility(source->GetDefaultUtilityName(2));
  }
  source->AddHTCDefaultValue("Only here", 2.0, nullptr);
  source->SetEconomicData(EconomicOperatingHours, 8000, "DEFAULT");
  ASSERT_TRUE(Save(source.get(), dir_.Path("util.hud"), UtilitiesOnly));
  ASSERT_TRUE(
      Save(source.get(), dir_.Path("coef.htc"), HeatTransferCoefficientsOnly));
  ASSERT_TRUE(Save(source.get(), dir_.Path("cost.dat"), EconomicDataOnly));
  SetConfigString("DefaultUtility", "util.hud");
  SetConfigString("DefaultHeatTranCoeff", "coef.htc");
  SetConfigString("DefaultCapitalCost", "cost.dat");
  EXPECT_EQ(GetDefaultFileName("DefaultUtility"), "util.hud");
  EXPECT_EQ(GetDefaultFilePath("DefaultUtility"), dir_.Folder() + "util.hud");
  auto m = NewManager();
  EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 2);
  EXPECT_EQ(m->CompareComp("LP Steam", "H2O", 1.0), 1);
  EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), 29);
  EXPECT_STREQ(m->GetHTCDefaultValueName(28), "Only here");
  EXPECT_EQ(m->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8000);
  char* name = nullptr;
  m->GetCurrentFileName(kCurrentUtilitiesFileName, name);
  EXPECT_EQ(std::string(name), dir_.Folder() + "util.hud");
}

TEST_F(UtilityPersistenceTest, CorruptOrAbsentDefaultFilesGiveBuiltIns) {
  testing::WriteBytes(dir_.Path("util.hud"), {'j', 'u', 'n', 'k'});
  testing::WriteBytes(dir_.Path("coef.htc"), {});
  SetConfigString("DefaultUtility", "util.hud");
  SetConfigString("DefaultHeatTranCoeff", "coef.htc");
  SetConfigString("DefaultCapitalCost", "missing.dat");
  auto m = NewManager();
  EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(m->GetValue("LP Steam", ARTempHigh), 115.5);
  EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), 28);
  EXPECT_EQ(m->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  char* name = nullptr;
  m->GetCurrentFileName(kCurrentUtilitiesFileName, name);
  EXPECT_STREQ(name, "Default File");
}

TEST_F(UtilityPersistenceTest, DefaultFileWithoutUtilitiesIsNotNamed) {
  auto empty = NewManager();
  while (empty->GetNumberOfDefaultUtilities() > 0) {
    empty->RemoveDefaultUtility(empty->GetDefaultUtilityName(0));
  }
  ASSERT_TRUE(Save(empty.get(), dir_.Path("util.hud"), UtilitiesOnly));
  SetConfigString("DefaultUtility", "util.hud");
  auto m = NewManager();
  EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 22);
  char* name = nullptr;
  m->GetCurrentFileName(kCurrentUtilitiesFileName, name);
  EXPECT_STREQ(name, "Default File");
}

TEST_F(UtilityPersistenceTest, FileHelpersHandleNullAndLongPaths) {
  EXPECT_EQ(DoesFileExist(nullptr), 0);
  EXPECT_EQ(DoesFileExist(""), 0);
  EXPECT_EQ(DoesFileExist(dir_.Path("none").c_str()), 0);
  testing::WriteBytes(dir_.Path("some"), {'x'});
  EXPECT_EQ(DoesFileExist(dir_.Path("some").c_str()), 1);
  EXPECT_EQ(GetFilePointer(nullptr), nullptr);
  EXPECT_EQ(GetDefaultFileName(nullptr), "");
  EXPECT_EQ(GetDefaultFileName("DefaultUtility"), "");

  char buffer[kMaxPathBuffer + 16];
  std::memset(buffer, 'C', sizeof(buffer));
  FindFilePath("Executable", buffer);
  EXPECT_EQ(std::string(buffer), dir_.Folder());

  const std::string long_folder =
      kPathSeparator + std::string(299, 'a') + kPathSeparator;
  SetExecutableFolder(long_folder);
  std::memset(buffer, 'C', sizeof(buffer));
  FindFilePath("Executable", buffer);
  EXPECT_EQ(buffer[0], '\0');
  for (std::size_t i = kMaxPathBuffer; i < sizeof(buffer); ++i) {
    EXPECT_EQ(buffer[i], 'C');
  }
  std::vector<char> big(400);
  EXPECT_EQ(FindFilePath("Executable", big.data(), big.size()),
            long_folder.size());
  EXPECT_EQ(std::string(big.data()), long_folder);
}

TEST_F(UtilityPersistenceTest, FailedSaveLeavesThePreviousSetIntact) {
  std::string path = dir_.Path("set.hud");
  // A file of the old fixed temporary name is the user's, never the save's.
  const std::vector<char> own = {'o', 'w', 'n'};
  testing::WriteBytes(path + ".tmp", own);
  auto folderSize = [&] {
    return std::distance(std::filesystem::directory_iterator(dir_.Path("")),
                         {});
  };
  ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
  const std::vector<char> old_bytes = testing::ReadBytes(path);
  m_->AddDefaultUtility("New");
  for (auto op : {FaultInjectingFileSystem::Op::kWrite,
                  FaultInjectingFileSystem::Op::kSync,
                  FaultInjectingFileSystem::Op::kClose,
                  FaultInjectingFileSystem::Op::kRename,
                  FaultInjectingFileSystem::Op::kOpenWrite}) {
    FaultInjectingFileSystem faulty;
    faulty.FailFrom(op, 1);
    ScopedFileSystem scoped(&faulty);
    EXPECT_FALSE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
    EXPECT_EQ(testing::ReadBytes(path), old_bytes);
    EXPECT_EQ(folderSize(), 2);
  }
  ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
  EXPECT_EQ(testing::ReadBytes(path + ".tmp"), own);
  EXPECT_EQ(folderSize(), 2);
  auto target = NewManager();
  ASSERT_TRUE(OpenUtilitySet(target.get(), path.c_str(), UtilitiesOnly));
  EXPECT_EQ(target->Exists("New"), 1);
  EXPECT_FALSE(
      OpenUtilitySet(target.get(), dir_.Path("no").c_str(), UtilitiesOnly));
  EXPECT_FALSE(SaveUtilitySet(nullptr, path.c_str(), UtilitiesOnly));
}

// A power cut at any point of saving a set leaves, under the chosen name,
// the old set or the new one (or, for a first save, nothing).
TEST_F(UtilityPersistenceTest, CrashWhileSavingASetLeavesTheOldOrTheNewSet) {
  const std::string path = "/sets/set.hud";
  for (bool existed : {true, false}) {
    SCOPED_TRACE(existed);
    test_support::CrashSimulatingFileSystem fs;
    ScopedFileSystem scoped(&fs);
    if (existed) {
      ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
    }
    const std::string before = fs.GetFile(path);
    fs.StartRecording();
    m_->AddDefaultUtility(existed ? "Newer" : "New");
    ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
    const std::string after = fs.GetFile(path);
    std::size_t states = fs.ForEachCrashState([&](const auto& files) {
      auto it = files.find(path);
      if (it == files.end()) {
        EXPECT_FALSE(existed) << "the set is gone";
      } else {
        EXPECT_TRUE(it->second == after || (existed && it->second == before));
      }
    });
    std::cout << "[ crash    ] utility set save, "
              << (existed ? "over a set" : "first save") << ": " << states
              << " crash states\n";
  }
}

}  // namespace
}  // namespace pemar
