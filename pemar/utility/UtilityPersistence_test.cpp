#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/utility/UtilityFiles.h"
#include "pemar/utility/testing/UtilityTest.h"
#include "tests/support/FaultLoop.h"

namespace pemar {
namespace {

using testing::FileName;
using testing::Golden;
using testing::NewManager;
using testing::RecordingReceiver;

class UtilityPersistenceTest : public testing::UtilityTest {
 protected:
  // Puts `bytes` beside the program as the default file of `key`.
  void PutDefault(const char* key, const std::string& file,
                  const std::string& bytes) {
    fs_.SetFile(kProgramFolder + file, bytes);
    SetConfigString(key, file.c_str());
  }
};

TEST_F(UtilityPersistenceTest, TruncatedFileFailsCleanly) {
  m_->AddEconomicData("Plate");
  m_->SetValue("Air", UtilityCost, 3.0);
  for (StoreRecallType type : {AllData, EconomicDataOnly, UtilitiesOnly,
                               HeatTransferCoefficientsOnly}) {
    SCOPED_TRACE(type);
    const std::string bytes = Save(m_.get(), type);
    auto target = NewManager();
    RecordingReceiver receiver(target.get());
    const std::string before = Save(target.get());
    test_support::ForEachTruncation(bytes, 64, [&](const std::string& cut) {
      EXPECT_FALSE(Load(target.get(), cut, type));
    });
    EXPECT_EQ(receiver.Log(), "");
    EXPECT_EQ(Save(target.get()), before);
  }
}

// Counts the file cannot hold, and a default economic set cut short, are
// refused and change nothing; a zero utility count is read as no utilities
// and keeps them.
TEST_F(UtilityPersistenceTest, CountsTheFileCannotHoldAreRefused) {
  m_->SetEconomicData(EconomicCoefficient0, 2.0, "DEFAULT");
  const struct {
    const char* file;
    StoreRecallType type;
    bool read;
  } cases[] = {{"count_utilities_negative", UtilitiesOnly, false},
               {"count_utilities_huge", UtilitiesOnly, false},
               {"count_utilities_zero", UtilitiesOnly, true},
               {"count_entries_negative", HeatTransferCoefficientsOnly, false},
               {"count_entries_huge", HeatTransferCoefficientsOnly, false},
               {"economics_short_default", EconomicDataOnly, false}};
  // A read names the file, so only the sections are compared.
  auto sections = [&] {
    return Save(m_.get(), UtilitiesOnly) +
           Save(m_.get(), HeatTransferCoefficientsOnly) +
           Save(m_.get(), EconomicDataOnly);
  };
  const std::string before = sections();
  for (const auto& c : cases) {
    EXPECT_EQ(Load(m_.get(), Golden(c.file), c.type), c.read) << c.file;
    EXPECT_EQ(sections(), before);
  }
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(UtilityPersistenceTest, UtilitySetReplacesUtilitiesWithAnnouncements) {
  auto source = NewManager();
  source->RemoveDefaultUtility("Air");
  source->AddDefaultUtility("Mine");
  ASSERT_TRUE(SaveUtilitySet(source.get(), "mine.hud", UtilitiesOnly));
  ASSERT_TRUE(OpenUtilitySet(m_.get(), "mine.hud", UtilitiesOnly));
  EXPECT_EQ(Save(m_.get(), UtilitiesOnly), Save(source.get(), UtilitiesOnly));
  // Each utility that goes is announced, then each that comes.
  auto builtin = NewManager();
  std::string log;
  for (int i = 0; i < 22; ++i) {
    log += "Removed(" + std::string(builtin->GetDefaultUtilityName(i)) +
           ") Changed(hi)* ";
  }
  for (int i = 0; i < 22; ++i) {
    log += "Added(" + std::string(source->GetDefaultUtilityName(i)) + ") ";
  }
  EXPECT_EQ(receiver_->Log() + " ", log);
  EXPECT_STREQ(FileName(m_.get(), kCurrentUtilitiesFileName), "mine.hud");
  EXPECT_STREQ(FileName(m_.get(), kCurrentEconomicsFileName), "Default File");
  EXPECT_EQ(FileName(m_.get(), "NoSuchKey"), nullptr);
  EXPECT_EQ(FileName(m_.get(), nullptr), nullptr);
}

// testdata/old_databases.golden holds one database of each older revision,
// in order, each with one utility "Old" and one coefficient entry.
TEST_F(UtilityPersistenceTest, EachManagerRevisionReadsOnlyItsSections) {
  ASSERT_TRUE(Unchunked(Golden("old_databases"), [&](IPemarBinaryFile* f) {
    for (int revision = 1; revision <= 5; ++revision) {
      SCOPED_TRACE(revision);
      auto m = NewManager();
      EXPECT_TRUE(m->Recall(f, AllData));
      EXPECT_EQ(m->GetNumberOfDefaultUtilities(), 1);
      EXPECT_EQ(m->GetValue("Old", ARTempHigh), 95);
      EXPECT_EQ(m->GetNumberOfHTCDefaultValues(), revision >= 2 ? 1 : 28);
      if (revision >= 2) {
        EXPECT_STREQ(m->GetHTCDefaultValueName(0), "Entry");
        EXPECT_EQ(m->GetHTCDefaultValue(0), 0.75);
        EXPECT_STREQ(m->GetHTCDefaultValueNote(0), revision >= 3 ? "kept" : "");
      }
      EXPECT_STREQ(FileName(m.get(), kCurrentUtilitiesFileName),
                   revision >= 4 ? "old.hud" : "Default File");
      // File names read from the file replace the dictionary entirely.
      EXPECT_STREQ(FileName(m.get(), kCurrentEconomicsFileName),
                   revision >= 4 ? nullptr : "Default File");
      EXPECT_EQ(m->GetMode(), revision >= 5 ? 4 : 0);
    }
    return true;
  }));
}

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
  auto m = NewManager();
  for (StoreRecallType type :
       {UtilitiesOnly, HeatTransferCoefficientsOnly, EconomicDataOnly}) {
    EXPECT_EQ(Save(m.get(), type), Save(m_.get(), type));
  }
  EXPECT_STREQ(FileName(m.get(), kCurrentUtilitiesFileName), "/prog/util.hud");
}

// A corrupt, empty or absent default file, or a set without utilities, is
// not taken and not named.
TEST_F(UtilityPersistenceTest, UnusableDefaultFilesGiveBuiltIns) {
  const std::string builtin = Save(m_.get());
  PutDefault("DefaultHeatTranCoeff", "coef.htc", "");
  SetConfigString("DefaultCapitalCost", "missing.dat");
  while (m_->GetNumberOfDefaultUtilities() > 0) {
    m_->RemoveDefaultUtility(m_->GetDefaultUtilityName(0));
  }
  for (const std::string& util :
       {std::string("junk"), Save(m_.get(), UtilitiesOnly)}) {
    PutDefault("DefaultUtility", "util.hud", util);
    EXPECT_EQ(Save(NewManager().get()), builtin);
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

// Every file operation of a save fails once in turn: the previous set stays
// whole, and a file of the old fixed temporary name, the user's, is kept.
TEST_F(UtilityPersistenceTest, FailedSaveLeavesThePreviousSetIntact) {
  const char* path = "/sets/set.hud";
  fs_.SetFile("/sets/set.hud.tmp", "own");
  ASSERT_TRUE(SaveUtilitySet(m_.get(), path, UtilitiesOnly));
  const std::string old_bytes = fs_.GetFile(path);
  m_->AddDefaultUtility("New");
  FaultInjectingFileSystem faulty(&fs_);
  ScopedFileSystem scoped(&faulty);
  auto save = [&] {
    fs_.SetFile(path, old_bytes);
    const bool saved = SaveUtilitySet(m_.get(), path, UtilitiesOnly);
    EXPECT_TRUE(saved || fs_.GetFile(path) == old_bytes);
    EXPECT_EQ(fs_.GetFile("/sets/set.hud.tmp"), "own");
    EXPECT_EQ(fs_.Files().size(), 2u);
    return saved;
  };
  EXPECT_GE(test_support::ForEachInjectedFailure(faulty, save), 4);
  auto target = NewManager();
  ASSERT_TRUE(OpenUtilitySet(target.get(), path, UtilitiesOnly));
  EXPECT_EQ(target->Exists("New"), 1);
  EXPECT_FALSE(OpenUtilitySet(target.get(), "/sets/no", UtilitiesOnly));
  EXPECT_FALSE(SaveUtilitySet(nullptr, path, UtilitiesOnly));
}

// A power cut at any point of saving a set leaves, under the chosen name,
// the old set or the new one (or, for a first save, nothing).
TEST_F(UtilityPersistenceTest, CrashWhileSavingASetLeavesTheOldOrTheNewSet) {
  for (bool existed : {true, false}) {
    SCOPED_TRACE(existed);
    CrashSimulatingFileSystem fs;
    if (existed) {
      ScopedFileSystem scoped(&fs);
      ASSERT_TRUE(SaveUtilitySet(m_.get(), "/sets/set.hud", UtilitiesOnly));
    }
    m_->AddDefaultUtility(existed ? "Newer" : "New");
    test_support::ExpectEveryCrashLeavesOldOrNew(fs, "/sets/set.hud", [&] {
      SaveUtilitySet(m_.get(), "/sets/set.hud", UtilitiesOnly);
    });
  }
}

}  // namespace
}  // namespace pemar
