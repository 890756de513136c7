// FileSystem: the one layer under every file the library touches.
//
// Binary files, text files, saves with backups and encryption all open,
// write, flush, rename and delete through the process-wide FileSystem, so that
// a test can put a fault-injecting one in its place (see
// FaultInjectingFileSystem.h) and prove that a failed write never loses the
// user's previous file, or a crash-simulating one
// (CrashSimulatingFileSystem.h) and prove the same of a power cut at
// any point.
//
// All operations report failure by their result; none throws.

#ifndef PEMAR_FRAMEWORK_FILESYSTEM_H_
#define PEMAR_FRAMEWORK_FILESYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

// A file open for writing. Writes go to the operating system as they come
// (callers buffer); Sync forces what was written to the disk.
class PEMAR_EXPORT WritableFile {
 public:
  virtual ~WritableFile();
  // Appends at the current end of the file.
  virtual bool Append(const void* data, std::size_t n) = 0;
  // Overwrites bytes already written, at an absolute offset.
  virtual bool WriteAt(std::uint64_t offset, const void* data,
                       std::size_t n) = 0;
  // Forces the data to stable storage (fsync).
  virtual bool Sync() = 0;
  // Closes the file; a failed close means the data may not be there.
  virtual bool Close() = 0;
};

// A file open for reading at any offset.
class PEMAR_EXPORT ReadableFile {
 public:
  virtual ~ReadableFile();
  // Reads up to n bytes at offset into buffer; returns the count read (less
  // than n only at the end of the file), or -1 on an error.
  virtual std::int64_t ReadAt(std::uint64_t offset, void* buffer,
                              std::size_t n) = 0;
  // The size of the file when it was opened.
  virtual std::uint64_t Size() const = 0;
};

class PEMAR_EXPORT FileSystem {
 public:
  virtual ~FileSystem();

  // Creates or truncates a file for writing; null when that fails.
  virtual std::unique_ptr<WritableFile> NewWritableFile(
      const std::string& path) = 0;
  // Opens an existing file for writing at its end (created when absent);
  // null when that fails.
  virtual std::unique_ptr<WritableFile> NewAppendableFile(
      const std::string& path) = 0;
  // Creates `path` for writing only when no file of that name exists yet
  // (an exclusive create, O_CREAT | O_EXCL); null when one exists or the
  // file cannot be made. Never truncates or replaces a file.
  virtual std::unique_ptr<WritableFile> NewExclusiveFile(
      const std::string& path) = 0;
  // Opens an existing file for reading; null when it is absent or unreadable.
  virtual std::unique_ptr<ReadableFile> NewReadableFile(
      const std::string& path) = 0;

  // Creates a new, empty temporary file in the folder of `target`, under a
  // name that no file had: `target` followed by ".<number>.tmp". The name is
  // taken with NewExclusiveFile, so an existing file of any name, the old
  // fixed `target` + ".tmp" included, is never replaced. Stores the name in
  // `*path`. Null when no name could be taken (after a bounded number of
  // tries) or `path` is null.
  std::unique_ptr<WritableFile> NewTemporaryFile(const std::string& target,
                                                 std::string* path);

  virtual bool FileExists(const std::string& path) = 0;
  // True when the file exists and may be written.
  virtual bool IsWritable(const std::string& path) = 0;
  // Renames, replacing an existing target.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // Renames only when nothing is named `to` yet; fails, leaving both names
  // as they were, when `to` exists. Never replaces a file, also on platforms
  // whose plain rename would. The base answer checks FileExists and then
  // renames (not atomic); the real and the in-memory file systems refuse
  // atomically.
  virtual bool RenameFileNoReplace(const std::string& from,
                                   const std::string& to);
  virtual bool DeleteFile(const std::string& path) = 0;
  // Seconds since the epoch of the last change; false when absent.
  virtual bool GetModificationTime(const std::string& path,
                                   std::int64_t* seconds) = 0;
  virtual bool SetModificationTime(const std::string& path,
                                   std::int64_t seconds) = 0;

  // Forces the folder `path` (its list of names: creations, renames and
  // deletions inside it) to stable storage. False when that fails or the
  // folder cannot be opened. The base answers true.
  virtual bool SyncDirectory(const std::string& path);
  // SyncDirectory of the folder that holds the file `path` (the current
  // folder for a bare name).
  bool SyncDirectoryOf(const std::string& path);

  // The process's current folder, without a trailing separator. The base
  // answers false.
  virtual bool GetCurrentDirectory(std::string* path);
  // Makes `path` the current folder; false when it is not an existing
  // folder. The base answers false.
  virtual bool SetCurrentDirectory(const std::string& path);
  // Creates the folder `path`; its parent must exist (one level, like
  // mkdir). True when `path` is a folder afterwards, also when it already
  // was; false when it cannot be made or a file has that name. The base
  // answers false.
  virtual bool CreateDirectory(const std::string& path);

  // The process-wide file system: the real one unless a test installed
  // another with SetDefault. Never null.
  static FileSystem* Default();
  // Installs fs (not owned; null restores the real one). Returns the
  // previous one.
  static FileSystem* SetDefault(FileSystem* fs);
  // The real, operating-system file system.
  static FileSystem* Posix();
};

// Puts a file system in place for the life of the guard.
class PEMAR_EXPORT ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem* fs)
      : previous_(FileSystem::SetDefault(fs)) {}
  ~ScopedFileSystem() { FileSystem::SetDefault(previous_); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

// Writes data to path so that the previous contents survive any failure:
// the bytes go to a new temporary file beside it (NewTemporaryFile), are
// synced, the temporary file then takes the name, and the folder is synced
// so that the new name survives a crash.
// On a failure before the rename the temporary file is removed and path is
// left as it was. A failed folder sync after the rename also answers false:
// path then holds the new data, whose name may not yet be on disk.
PEMAR_EXPORT bool WriteFileAtomically(const std::string& path, const void* data,
                                      std::size_t n);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_FILESYSTEM_H_
