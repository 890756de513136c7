// Store and recall of the utility database as one chunk whose sections are
// chosen by StoreRecallType.
//
// Layout (revision 5): utilities (AllData, UtilitiesOnly); economics
// (AllData, EconomicDataOnly); heat-transfer coefficients (AllData,
// HeatTransferCoefficientsOnly; from revision 2, as entry chunks from 3);
// file names (AllData; from revision 4); the mode (always; from 5).
//
// Recall reads every section into temporaries and changes the database only
// when the whole chunk was read, so a damaged or truncated file leaves the
// database as it was.

#include <memory>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/ChunkGuard.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/UtilityFiles.h"

namespace pemar {

using utility_internal::ChunkGuard;
using utility_internal::ReadFlag;
using utility_internal::WriteFlag;

namespace {

constexpr int kManagerRevision = 5;
// Every stored element is at least one chunk header (8 bytes) or, for the
// file names, two string flags.
constexpr std::uint64_t kMinChunkBytes = 8;
constexpr std::uint64_t kMinFileNameBytes = 2;

bool HasUtilities(StoreRecallType type) {
  return type == AllData || type == UtilitiesOnly;
}
bool HasEconomics(StoreRecallType type) {
  return type == AllData || type == EconomicDataOnly;
}
bool HasHTC(StoreRecallType type) {
  return type == AllData || type == HeatTransferCoefficientsOnly;
}

}  // namespace

struct DefaultManager::RecalledSections {
  bool utilities_read = false;
  UtilityList utilities;
  std::unique_ptr<EconomicData> default_set;
  std::unique_ptr<EconomicInfo> info;
  bool list_flag_read = false;
  bool list_present = false;
  std::vector<std::unique_ptr<EconomicData>> sets;
  bool htc_read = false;
  HTCList htc;
  bool file_names_read = false;
  std::map<CVString, CVString> file_names;
  bool mode_read = false;
  int mode = 0;
};

unsigned char DefaultManager::StoreUtilities(IPemarBinaryFile* file) {
  if (!WriteFlag(file, hasUtilityList_)) return 0;
  if (!hasUtilityList_) return 1;
  if (!file->Write(static_cast<int>(utilities_.size()))) return 0;
  for (const auto& utility : utilities_) {
    if (!utility->Store(file)) return 0;
  }
  return 1;
}

unsigned char DefaultManager::StoreEconomics(IPemarBinaryFile* file) {
  if (!WriteFlag(file, defaultEconomicData_ != nullptr)) return 0;
  if (defaultEconomicData_ && !defaultEconomicData_->Store(file)) return 0;
  if (!WriteFlag(file, economicInfo_ != nullptr)) return 0;
  if (economicInfo_ && !economicInfo_->Store(file)) return 0;
  if (!WriteFlag(file, economicList_ != nullptr)) return 0;
  if (economicList_ == nullptr) return 1;
  if (!file->Write(static_cast<int>(economicList_->size()))) return 0;
  for (const EconomicData* set : *economicList_) {
    if (!set->Store(file)) return 0;
  }
  return 1;
}

unsigned char DefaultManager::StoreHTC(IPemarBinaryFile* file) {
  if (!WriteFlag(file, hasHTCList_)) return 0;
  if (!hasHTCList_) return 1;
  if (!file->Write(static_cast<int>(htc_.size()))) return 0;
  for (const auto& entry : htc_) {
    if (!entry->Store(file)) return 0;
  }
  return 1;
}

unsigned char DefaultManager::StoreFileNames(IPemarBinaryFile* file) {
  if (!WriteFlag(file, hasFileNames_)) return 0;
  if (!hasFileNames_) return 1;
  if (!file->Write(static_cast<int>(fileNames_.size()))) return 0;
  for (const auto& [key, name] : fileNames_) {
    CVString k = key;
    CVString n = name;
    if (!WriteCVString(file, &k) || !WriteCVString(file, &n)) return 0;
  }
  return 1;
}

unsigned char DefaultManager::Store(IPemarBinaryFile* file,
                                    StoreRecallType type) {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Create(kManagerRevision)) return 0;
  if (HasUtilities(type) && !StoreUtilities(file)) return 0;
  if (HasEconomics(type) && !StoreEconomics(file)) return 0;
  if (HasHTC(type) && !StoreHTC(file)) return 0;
  if (type == AllData && !StoreFileNames(file)) return 0;
  if (!file->Write(mode_)) return 0;
  return chunk.Close();
}

unsigned char DefaultManager::Recall(IPemarBinaryFile* file,
                                     StoreRecallType type) {
  if (file == nullptr) return 0;
  const CVString file_name = file->GetFileName();
  RecalledSections read;
  if (!ReadSections(file, type, &read)) return 0;
  ApplyRecalled(read, type, file_name);
  return 1;
}

unsigned char DefaultManager::RecallOverDefaults(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  const CVString file_name = file->GetFileName();
  RecalledSections read;
  if (!ReadSections(file, AllData, &read)) return 0;
  // A database saved by this library holds every section, and the defaults
  // would all be replaced; building them took a good part of a case's
  // reopening.
  const bool whole = read.utilities_read && read.default_set && read.info &&
                     read.list_flag_read && read.htc_read &&
                     read.file_names_read && read.mode_read;
  if (!whole) SetUpDefaultsWithoutUtilities();
  ApplyRecalled(read, AllData, file_name);
  return 1;
}

bool DefaultManager::ReadSections(IPemarBinaryFile* file, StoreRecallType type,
                                  RecalledSections* sections) {
  RecalledSections& read = *sections;
  ChunkGuard chunk(file);
  if (!chunk.Open()) return false;
  const int revision = chunk.Revision();
  if (revision < 1) return false;
  bool flag = false;
  int count = 0;

  if (HasUtilities(type)) {
    if (!ReadFlag(file, &flag)) return false;
    if (flag) {
      if (!ReadEntryCount(file, kMinChunkBytes, &count)) return false;
      // A count of 0 keeps the current utilities.
      read.utilities_read = count > 0;
      for (int i = 0; i < count; ++i) {
        auto utility = std::make_unique<DefaultUtility>();
        if (!utility->Recall(file)) return false;
        read.utilities.push_back(std::move(utility));
      }
    }
  }

  if (HasEconomics(type)) {
    if (!ReadFlag(file, &flag)) return false;
    if (flag) {
      read.default_set = std::make_unique<EconomicData>();
      if (!read.default_set->Recall(file)) return false;
    }
    if (!ReadFlag(file, &flag)) return false;
    if (flag) {
      read.info = std::make_unique<EconomicInfo>();
      if (!read.info->Recall(file)) return false;
    }
    if (!ReadFlag(file, &read.list_present)) return false;
    read.list_flag_read = true;
    if (read.list_present) {
      if (!ReadEntryCount(file, kMinChunkBytes, &count)) return false;
      for (int i = 0; i < count; ++i) {
        auto set = std::make_unique<EconomicData>();
        if (!set->Recall(file)) return false;
        read.sets.push_back(std::move(set));
      }
    }
  }

  if (HasHTC(type) && revision >= 2) {
    if (!ReadFlag(file, &flag)) return false;
    if (flag) {
      read.htc_read = true;
      if (!ReadEntryCount(file, revision >= 3 ? kMinChunkBytes : 9, &count)) {
        return false;
      }
      for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<DefHeatTransferCoefficient>();
        if (revision >= 3) {
          if (!entry->Recall(file)) return false;
        } else {
          CVString name;
          double value = 0.0;
          if (!ReadCVString(file, &name) || !file->Read(value)) return false;
          entry->SetName(&name);
          entry->SetHTCValue(value);
        }
        read.htc.push_back(std::move(entry));
      }
    }
  }

  if (type == AllData && revision >= 4) {
    if (!ReadFlag(file, &flag)) return false;
    if (flag) {
      read.file_names_read = true;
      if (!ReadEntryCount(file, kMinFileNameBytes, &count)) return false;
      for (int i = 0; i < count; ++i) {
        CVString key;
        CVString name;
        if (!ReadCVString(file, &key) || !ReadCVString(file, &name))
          return false;
        read.file_names[key] = name;
      }
    }
  }

  if (revision >= 5) {
    if (!file->Read(read.mode)) return false;
    read.mode_read = true;
  }
  return chunk.Close() != 0;
}

void DefaultManager::ApplyRecalled(RecalledSections& read, StoreRecallType type,
                                   const CVString& fileName) {
  if (read.utilities_read) {
    // Each current utility goes with its announcements, in list order, as
    // RemoveDefaultUtility would send them; the AR ranges are then those
    // the file holds.
    UtilityList old = std::move(utilities_);
    utilities_.clear();
    for (auto& utility : old) {
      const CVString name = utility->name_;
      utility.reset();
      SendAMessage(UtilityRemoved, name.c_str(), nullptr);
      NotifyDatabaseChanged();
    }
    hasUtilityList_ = true;
    for (auto& utility : read.utilities) {
      const CVString name = utility->name_;
      utilities_.push_back(std::move(utility));
      SendAMessage(UtilityAdded, name.c_str(), nullptr);
    }
  }
  if (read.default_set) SetEconomicData(read.default_set.release());
  if (read.info) SetEconomicInfo(read.info.release());
  if (read.list_flag_read) {
    ClearEconomicDictionary();
    delete economicDict_;
    economicDict_ = nullptr;
    delete economicList_;
    economicList_ = nullptr;
    if (read.list_present) {
      economicDict_ = new EconomicDataDictionary;
      economicList_ = new EconomicDataList;
      for (auto& set : read.sets) {
        const CVString key = set->GetExchangerType()
                                 ? set->GetExchangerType()->Upper()
                                 : CVString();
        // The first set of a name wins; "DEFAULT" is the default set's.
        if (key == "DEFAULT" || economicDict_->count(key) != 0) continue;
        set->SetExchangerType(key);
        EconomicData* owned = set.release();
        (*economicDict_)[key] = owned;
        economicList_->push_back(owned);
      }
    }
  }
  if (read.htc_read) {
    hasHTCList_ = true;
    htc_ = std::move(read.htc);
  }
  if (read.file_names_read) {
    hasFileNames_ = true;
    fileNames_ = std::move(read.file_names);
  }
  if (read.mode_read) mode_ = read.mode;
  if (type == EconomicDataOnly) {
    hasFileNames_ = true;
    fileNames_[kCurrentEconomicsFileName] = fileName;
  } else if (type == UtilitiesOnly) {
    hasFileNames_ = true;
    fileNames_[kCurrentUtilitiesFileName] = fileName;
  }
}

bool DefaultManager::LoadDefaultFile(const char* key, StoreRecallType type) {
  const Text path = GetDefaultFilePath(key);
  if (!DoesFileExist(path.c_str())) return false;
  std::unique_ptr<PemarBinaryFile> file(GetFilePointer(path.c_str()));
  return file != nullptr && Recall(file.get(), type) != 0;
}

}  // namespace pemar
