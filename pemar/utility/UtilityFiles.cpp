#include "pemar/utility/UtilityFiles.h"

#include <cstring>
#include <memory>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {

hresult DoesFileExist(const char* path) {
  if (path == nullptr || *path == '\0') return kRejected;
  return FileSystem::Default()->FileExists(path) ? kDone : kRejected;
}

PemarBinaryFile* GetFilePointer(const char* path) {
  if (path == nullptr) return nullptr;
  return new PemarBinaryFile(path);
}

Text GetDefaultFileName(const char* key) {
  if (key == nullptr) return Text();
  return GetConfigString(key);
}

Text GetDefaultFilePath(const char* key) {
  const Text name = GetDefaultFileName(key);
  if (name.IsEmpty()) return Text();
  return BuildFilePath("Executable") + name;
}

void FindFilePath(const char* name, char* buffer) {
  FindFilePath(name, buffer, kMaxPathBuffer);
}

std::size_t FindFilePath(const char* name, char* buffer, std::size_t size) {
  const Text path = BuildFilePath(name);
  if (buffer != nullptr && size > 0) {
    if (path.Length() < size) {
      std::memcpy(buffer, path.c_str(), path.Length() + 1);
    } else {
      buffer[0] = '\0';
    }
  }
  return path.Length();
}

bool SaveUtilitySet(IDefaultUtilityManager* manager, const char* path,
                    StoreRecallType type) {
  if (manager == nullptr || path == nullptr || *path == '\0') return false;
  FileSystem* fs = FileSystem::Default();
  if (fs->FileExists(path) && !fs->IsWritable(path)) return false;
  const bool written = ReplaceFileWith(path, [&](BinaryFile& file) {
    PemarBinaryFile wrapped(&file);
    return manager->Store(&wrapped, type) != 0;
  });
  if (!written) return false;
  // The set is in place; a folder that cannot be synced does not undo that.
  fs->SyncDirectoryOf(path);
  return true;
}

bool OpenUtilitySet(IDefaultUtilityManager* manager, const char* path,
                    StoreRecallType type) {
  if (manager == nullptr || !DoesFileExist(path)) return false;
  std::unique_ptr<PemarBinaryFile> file(GetFilePointer(path));
  return file != nullptr && manager->Recall(file.get(), type) != 0;
}

}  // namespace pemar
