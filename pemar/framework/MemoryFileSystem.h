// MemoryFileSystem: a FileSystem whose files live in memory, for tests and
// fuzz targets that must not touch the disk.
//
// Files are kept by their full path text; a file needs no folder. Folders
// are a separate set of paths ("/" and those made by CreateDirectory,
// with their parents), so that the current folder can be entered and left.
// Folder paths are compared after dropping a trailing '/'; a relative path
// is taken inside the current folder, which starts as "/". Syncing
// always succeeds.

#ifndef PEMAR_FRAMEWORK_MEMORYFILESYSTEM_H_
#define PEMAR_FRAMEWORK_MEMORYFILESYSTEM_H_

#include <map>
#include <memory>
#include <set>
#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/FileSystem.h"

namespace pemar {

class PEMAR_EXPORT MemoryFileSystem : public FileSystem {
 public:
  // Puts a file in place with the given contents.
  void SetFile(const std::string& path, std::string contents);
  // The contents of a file; empty when it does not exist.
  std::string GetFile(const std::string& path) const;
  // Every file by path, with its contents.
  std::map<std::string, std::string> Files() const;

  std::unique_ptr<WritableFile> NewWritableFile(
      const std::string& path) override;
  std::unique_ptr<WritableFile> NewAppendableFile(
      const std::string& path) override;
  std::unique_ptr<WritableFile> NewExclusiveFile(
      const std::string& path) override;
  std::unique_ptr<ReadableFile> NewReadableFile(
      const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool IsWritable(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool RenameFileNoReplace(const std::string& from,
                           const std::string& to) override;
  bool DeleteFile(const std::string& path) override;
  bool GetModificationTime(const std::string& path,
                           std::int64_t* seconds) override;
  bool SetModificationTime(const std::string& path,
                           std::int64_t seconds) override;
  bool SyncDirectory(const std::string& path) override;
  bool GetCurrentDirectory(std::string* path) override;
  bool SetCurrentDirectory(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  // True when `path` is a folder here.
  bool DirectoryExists(const std::string& path) const;

 private:
  std::string FolderPath(const std::string& path) const;

  struct File {
    std::shared_ptr<std::string> contents;
    std::int64_t modified = 0;
  };
  std::map<std::string, File> files_;
  std::set<std::string> folders_{"/"};
  std::string current_ = "/";
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_MEMORYFILESYSTEM_H_
