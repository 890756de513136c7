#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/utility/UtilityFiles.h"
#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using testing::Chunk;
using testing::Flags;
using testing::NewManager;
using testing::RecordingReceiver;

class UtilityPersistenceTest : public testing::UtilityTest {
 protected:
  // The bytes of a manager chunk of `revision` holding what `body` writes.
  std::string ManagerChunk(int revision, const testing::ChunkBody& body) {
    return Chunked([&](IPemarBinaryFile* f) {
      return Chunk(f, revision, [&] { return body(f); });
    });
  }
  static std::string CurrentFile(const char* key, DefaultManager* m) {
    char* name = nullptr;
    m->GetCurrentFileName(key, name);
    return name ? name : "(null)";
  }
  // Puts `bytes` beside the program as the default file of `key`.
  void PutDefault(const char* key, const std::string& file,
                  const std::string& bytes) {
    fs_.SetFile(kProgramFolder + file, bytes);
    SetConfigString(key, file.c_str());
  }
};

// --- Damaged files leave the database as it was ------------------------------

TEST_F(UtilityPersistenceTest, EveryTruncationOfEveryTypeFailsCleanly) {
  m_->AddEconomicData("Plate");
  m_->SetValue("Air", UtilityCost, 3.0);
  for (StoreRecallType type : {AllData, EconomicDataOnly, UtilitiesOnly,
                               HeatTransferCoefficientsOnly}) {
    SCOPED_TRACE(type);
    const std::string bytes = Save(m_.get(), type);
    auto target = NewManager();
    RecordingReceiver receiver(target.get());
    const std::string before = Save(target.get());
    testing::ForEachTruncation(bytes, 64, [&](const std::string& cut) {
      EXPECT_FALSE(Load(target.get(), cut, type));
    });
    EXPECT_EQ(receiver.Log(), "");
    EXPECT_EQ(Save(target.get()), before);
    ASSERT_NE(target->GetEconomicDataPointer(), nullptr);
  }
}

TEST_F(UtilityPersistenceTest, CutInsideThirdUtilityKeepsAllUtilities) {
  auto source = NewManager();
  while (source->GetNumberOfDefaultUtilities() > 3) {
    source->RemoveDefaultUtility(source->GetDefaultUtilityName(3));
  }
  std::string bytes = Save(source.get(), UtilitiesOnly);
  bytes.resize(bytes.size() - 20);
  EXPECT_FALSE(Load(m_.get(), bytes, UtilitiesOnly));
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(receiver_->Count("Removed("), 0);
  EXPECT_EQ(CurrentFile(kCurrentUtilitiesFileName, m_.get()), "Default File");
}

TEST_F(UtilityPersistenceTest, CountsTheFileCannotHoldAreRefused) {
  for (int count : {-1, 0x7FFFFFFF, 1000}) {
    EXPECT_FALSE(Load(m_.get(),
                      ManagerChunk(5,
                                   [&](IPemarBinaryFile* f) {
                                     return Flags(f, {true}) &&
                                            f->Write(count) &&
                                            DefaultUtility().Store(f) &&
                                            f->Write(0);
                                   }),
                      UtilitiesOnly))
        << count;
    EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
    EXPECT_EQ(receiver_->Log(), "");
  }
  for (int count : {-1, 0x7FFFFFFF}) {
    EXPECT_FALSE(Load(m_.get(),
                      ManagerChunk(5,
                                   [&](IPemarBinaryFile* f) {
                                     return Flags(f, {true}) &&
                                            f->Write(count) && f->Write(0);
                                   }),
                      HeatTransferCoefficientsOnly));
    EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 28);
  }
}

TEST_F(UtilityPersistenceTest, ShortDefaultSetKeepsTheCurrentOne) {
  const std::string bytes = ManagerChunk(5, [](IPemarBinaryFile* f) {
    CVString name = "DEFAULT";
    return Flags(f, {true}) &&
           Chunk(f, 3,
                 [&] { return WriteCVString(f, &name) && f->Write(9.0); }) &&
           Flags(f, {false, false}) && f->Write(0);
  });
  m_->SetEconomicData(EconomicCoefficient0, 2.0, "DEFAULT");
  EXPECT_FALSE(Load(m_.get(), bytes, EconomicDataOnly));
  ASSERT_NE(m_->GetEconomicDataPointer(), nullptr);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "DEFAULT"), 2.0);
}

TEST_F(UtilityPersistenceTest, WrongTypeFileFailsWithoutChange) {
  const std::string bytes = Save(m_.get(), HeatTransferCoefficientsOnly);
  auto target = NewManager();
  const std::string before = Save(target.get());
  EXPECT_FALSE(Load(target.get(), bytes, UtilitiesOnly));
  EXPECT_EQ(Save(target.get()), before);
}

// --- Round trips and the sections of each type -------------------------------

TEST_F(UtilityPersistenceTest, AllDataRoundTripsByteForByte) {
  m_->AddEconomicData("Plate");
  m_->SetEconomicData(EconomicCoefficient1, 4.0, "Plate");
  m_->AddHTCDefaultValue("Mine", 1.25, "note");
  m_->AddDefaultUtility("X");
  m_->SetValue("Air", FuelSourceID, 30);
  m_->SetMode(3);
  const std::string bytes = Save(m_.get());
  DefaultManager target;
  ASSERT_TRUE(Load(&target, bytes));
  EXPECT_EQ(Save(&target), bytes);
  EXPECT_EQ(target.GetMode(), 3);
  EXPECT_EQ(target.GetEconomicData(EconomicCoefficient1, "plate"), 4.0);
  EXPECT_EQ(target.CompareComp("Air", "Air", 1.0), 1);
}

TEST_F(UtilityPersistenceTest, UtilitySetReplacesUtilitiesWithAnnouncements) {
  auto source = NewManager();
  source->RemoveDefaultUtility("Air");
  source->AddDefaultUtility("Mine");
  ASSERT_TRUE(SaveUtilitySet(source.get(), "mine.hud", UtilitiesOnly));
  ASSERT_TRUE(OpenUtilitySet(m_.get(), "mine.hud", UtilitiesOnly));
  ASSERT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  for (int i = 0; i < 22; ++i) {
    EXPECT_STREQ(m_->GetDefaultUtilityName(i),
                 source->GetDefaultUtilityName(i));
  }
  EXPECT_EQ(receiver_->Count("Removed("), 22);
  EXPECT_NE(receiver_->Log().find("Added(Mine)"), std::string::npos);
  EXPECT_EQ(receiver_->Count("Added("), 22);
  EXPECT_EQ(CurrentFile(kCurrentUtilitiesFileName, m_.get()), "mine.hud");
  EXPECT_EQ(CurrentFile(kCurrentEconomicsFileName, m_.get()), "Default File");
  EXPECT_EQ(CurrentFile("NoSuchKey", m_.get()), "(null)");
  EXPECT_EQ(CurrentFile(nullptr, m_.get()), "(null)");
}

TEST_F(UtilityPersistenceTest, ZeroUtilityCountKeepsTheUtilities) {
  ASSERT_TRUE(Load(m_.get(),
                   ManagerChunk(5,
                                [](IPemarBinaryFile* f) {
                                  return Flags(f, {true}) && f->Write(0) &&
                                         f->Write(0);
                                }),
                   UtilitiesOnly));
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
}

TEST_F(UtilityPersistenceTest, EconomicListFlagFalseRemovesNamedSets) {
  m_->AddEconomicData("Plate");
  m_->SetEconomicData(EconomicCoefficient0, 2.0, "DEFAULT");
  fs_.SetFile("econ.bin", ManagerChunk(5, [](IPemarBinaryFile* f) {
                return Flags(f, {false, false, false}) && f->Write(0);
              }));
  ASSERT_TRUE(OpenUtilitySet(m_.get(), "econ.bin", EconomicDataOnly));
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
  EXPECT_EQ(m_->GetEconomicDataDict(), nullptr);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "DEFAULT"), 2.0);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  EXPECT_EQ(CurrentFile(kCurrentEconomicsFileName, m_.get()), "econ.bin");
  EXPECT_EQ(m_->AddEconomicData("Plate"), 1);
}

TEST_F(UtilityPersistenceTest, DuplicateEconomicKeysKeepTheFirstSet) {
  const std::string bytes = ManagerChunk(5, [](IPemarBinaryFile* f) {
    bool ok = Flags(f, {false, false, true}) && f->Write(3);
    const char* names[] = {"Shell & Tube", "SHELL & TUBE", "default"};
    for (int i = 0; i < 3; ++i) {
      EconomicData set;
      set.SetExchangerType(names[i]);
      set.SetEconomicData(EconomicCoefficient0, i + 1.0);
      ok = ok && set.Store(f);
    }
    return ok && f->Write(0);
  });
  ASSERT_TRUE(Load(m_.get(), bytes, EconomicDataOnly));
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 2);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "shell & tube"), 1.0);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "SHELL & TUBE");
  EXPECT_EQ(m_->GetEconomicDataName(2), nullptr);
  m_->Lock();
  m_->Unlock();
}

// Writes the items of a manager chunk of an older revision holding one
// utility "Old" and one coefficient entry in that revision's layout.
bool WriteOldManager(IPemarBinaryFile* f, int revision) {
  DefaultUtility old("Old", HotSegment, 100, 90, 1, 1, 95, 0, 5, "Shell & Tube",
                     1, 1, 1, 1);
  CVString name = "Entry";
  CVString note = "kept";
  CVString key = kCurrentUtilitiesFileName;
  CVString value = "old.hud";
  DefHeatTransferCoefficient entry;
  entry.SetName(&name);
  entry.SetNote(&note);
  entry.SetHTCValue(0.75);
  bool ok = Flags(f, {true}) && f->Write(1) && old.Store(f) &&
            Flags(f, {false, false, false});
  if (revision >= 2) ok = ok && Flags(f, {true}) && f->Write(1);
  if (revision == 2) ok = ok && WriteCVString(f, &name) && f->Write(0.75);
  if (revision >= 3) ok = ok && entry.Store(f);
  if (revision >= 4) {
    ok = ok && Flags(f, {true}) && f->Write(1) && WriteCVString(f, &key) &&
         WriteCVString(f, &value);
  }
  return ok && (revision < 5 || f->Write(4));
}

TEST_F(UtilityPersistenceTest, EachManagerRevisionReadsOnlyItsSections) {
  for (int revision = 1; revision <= 5; ++revision) {
    SCOPED_TRACE(revision);
    auto m = NewManager();
    ASSERT_TRUE(Load(m.get(), ManagerChunk(revision, [&](IPemarBinaryFile* f) {
                       return WriteOldManager(f, revision);
                     })));
    EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 1);
    EXPECT_EQ(m->GetValue("Old", ARTempHigh), 95);
    EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), revision >= 2 ? 1 : 28);
    if (revision >= 2) {
      EXPECT_STREQ(m->GetHTCDefaultValueName(0), "Entry");
      EXPECT_EQ(m->GetHTCDefaultValue(0), 0.75);
      EXPECT_STREQ(m->GetHTCDefaultValueNote(0), revision >= 3 ? "kept" : "");
    }
    EXPECT_EQ(CurrentFile(kCurrentUtilitiesFileName, m.get()),
              revision >= 4 ? "old.hud" : "Default File");
    // File names read from the file replace the dictionary entirely.
    EXPECT_EQ(CurrentFile(kCurrentEconomicsFileName, m.get()),
              revision >= 4 ? "(null)" : "Default File");
    EXPECT_EQ(m->GetMode(), revision >= 5 ? 4 : 0);
  }
}

// --- Default files -----------------------------------------------------------

TEST_F(UtilityPersistenceTest, DefaultFilesBesideTheProgramAreUsed) {
  while (m_->GetNumberOfDefaultUtilities() > 2) {
    m_->RemoveDefaultUtility(m_->GetDefaultUtilityName(2));
  }
  m_->AddHTCDefaultValue("Only here", 2.0, nullptr);
  m_->SetEconomicData(EconomicOperatingHours, 8000, "DEFAULT");
  PutDefault("DefaultUtility", "util.hud", Save(m_.get(), UtilitiesOnly));
  PutDefault("DefaultHeatTranCoeff", "coef.htc",
             Save(m_.get(), HeatTransferCoefficientsOnly));
  PutDefault("DefaultCapitalCost", "cost.dat",
             Save(m_.get(), EconomicDataOnly));
  EXPECT_EQ(GetDefaultFileName("DefaultUtility"), "util.hud");
  EXPECT_EQ(GetDefaultFilePath("DefaultUtility"), "/prog/util.hud");
  auto m = NewManager();
  EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 2);
  EXPECT_EQ(m->CompareComp("LP Steam", "H2O", 1.0), 1);
  EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), 29);
  EXPECT_STREQ(m->GetHTCDefaultValueName(28), "Only here");
  EXPECT_EQ(m->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8000);
  EXPECT_EQ(CurrentFile(kCurrentUtilitiesFileName, m.get()), "/prog/util.hud");
}

// A corrupt, empty or absent default file, or a set without utilities, is
// not taken and not named.
TEST_F(UtilityPersistenceTest, UnusableDefaultFilesGiveBuiltIns) {
  PutDefault("DefaultHeatTranCoeff", "coef.htc", "");
  SetConfigString("DefaultCapitalCost", "missing.dat");
  while (m_->GetNumberOfDefaultUtilities() > 0) {
    m_->RemoveDefaultUtility(m_->GetDefaultUtilityName(0));
  }
  for (const std::string& util :
       {std::string("junk"), Save(m_.get(), UtilitiesOnly)}) {
    PutDefault("DefaultUtility", "util.hud", util);
    auto m = NewManager();
    EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 22);
    EXPECT_EQ(m->GetValue("LP Steam", ARTempHigh), 115.5);
    EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), 28);
    EXPECT_EQ(m->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
    EXPECT_EQ(CurrentFile(kCurrentUtilitiesFileName, m.get()), "Default File");
  }
}

TEST_F(UtilityPersistenceTest, FileHelpersHandleNullAndLongPaths) {
  EXPECT_EQ(DoesFileExist(nullptr), 0);
  EXPECT_EQ(DoesFileExist(""), 0);
  EXPECT_EQ(DoesFileExist("/none"), 0);
  fs_.SetFile("/some", "x");
  EXPECT_EQ(DoesFileExist("/some"), 1);
  EXPECT_EQ(GetFilePointer(nullptr), nullptr);
  EXPECT_EQ(GetDefaultFileName(nullptr), "");
  EXPECT_EQ(GetDefaultFileName("DefaultUtility"), "");

  char buffer[kMaxPathBuffer + 16];
  std::memset(buffer, 'C', sizeof(buffer));
  FindFilePath("Executable", buffer);
  EXPECT_EQ(std::string(buffer), kProgramFolder);

  const std::string long_folder =
      kPathSeparator + std::string(299, 'a') + kPathSeparator;
  SetExecutableFolder(long_folder);
  std::memset(buffer, 'C', sizeof(buffer));
  FindFilePath("Executable", buffer);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(std::string(buffer + kMaxPathBuffer, 16), std::string(16, 'C'));
  std::vector<char> big(400);
  EXPECT_EQ(FindFilePath("Executable", big.data(), big.size()),
            long_folder.size());
  EXPECT_EQ(std::string(big.data()), long_folder);
}

TEST_F(UtilityPersistenceTest, FailedSaveLeavesThePreviousSetIntact) {
  const char* path = "/sets/set.hud";
  // A file of the old fixed temporary name is the user's, never the save's.
  fs_.SetFile("/sets/set.hud.tmp", "own");
  ASSERT_TRUE(SaveUtilitySet(m_.get(), path, UtilitiesOnly));
  const std::string old_bytes = fs_.GetFile(path);
  m_->AddDefaultUtility("New");
  for (auto op : {FaultInjectingFileSystem::Op::kWrite,
                  FaultInjectingFileSystem::Op::kSync,
                  FaultInjectingFileSystem::Op::kClose,
                  FaultInjectingFileSystem::Op::kRename,
                  FaultInjectingFileSystem::Op::kOpenWrite}) {
    FaultInjectingFileSystem faulty(&fs_);
    faulty.FailFrom(op, 1);
    ScopedFileSystem scoped(&faulty);
    EXPECT_FALSE(SaveUtilitySet(m_.get(), path, UtilitiesOnly));
    EXPECT_EQ(fs_.GetFile(path), old_bytes);
    EXPECT_EQ(fs_.Files().size(), 2u);
  }
  ASSERT_TRUE(SaveUtilitySet(m_.get(), path, UtilitiesOnly));
  EXPECT_EQ(fs_.GetFile("/sets/set.hud.tmp"), "own");
  EXPECT_EQ(fs_.Files().size(), 2u);
  auto target = NewManager();
  ASSERT_TRUE(OpenUtilitySet(target.get(), path, UtilitiesOnly));
  EXPECT_EQ(target->Exists("New"), 1);
  EXPECT_FALSE(OpenUtilitySet(target.get(), "/sets/no", UtilitiesOnly));
  EXPECT_FALSE(SaveUtilitySet(nullptr, path, UtilitiesOnly));
}

// A power cut at any point of saving a set leaves, under the chosen name,
// the old set or the new one (or, for a first save, nothing).
TEST_F(UtilityPersistenceTest, CrashWhileSavingASetLeavesTheOldOrTheNewSet) {
  const std::string path = "/sets/set.hud";
  for (bool existed : {true, false}) {
    SCOPED_TRACE(existed);
    CrashSimulatingFileSystem fs;
    ScopedFileSystem scoped(&fs);
    if (existed) {
      ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
    }
    const std::string before = fs.GetFile(path);
    fs.StartRecording();
    m_->AddDefaultUtility(existed ? "Newer" : "New");
    ASSERT_TRUE(SaveUtilitySet(m_.get(), path.c_str(), UtilitiesOnly));
    const std::string after = fs.GetFile(path);
    EXPECT_GT(fs.ForEachCrashState([&](const auto& files) {
      auto it = files.find(path);
      if (it == files.end()) {
        EXPECT_FALSE(existed) << "the set is gone";
      } else {
        EXPECT_TRUE(it->second == after || (existed && it->second == before));
      }
    }),
              0u);
  }
}

}  // namespace
}  // namespace pemar
