// FaultInjectingFileSystem: a FileSystem for tests that passes every call to
// another one and fails the N-th write, sync, close or rename on request.
//
// A test counts the operations of a successful run first (the counters), then
// repeats the run once for every operation with a failure injected there, and
// checks that nothing the user had was lost.

#ifndef PEMAR_FRAMEWORK_FAULTINJECTINGFILESYSTEM_H_
#define PEMAR_FRAMEWORK_FAULTINJECTINGFILESYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/FileSystem.h"

namespace pemar {

class PEMAR_EXPORT FaultInjectingFileSystem : public FileSystem {
 public:
  // kRename counts both RenameFile and RenameFileNoReplace; kOpenWrite
  // counts every open for writing (exclusive creates included); kSyncDir
  // counts SyncDirectory. The folder operations (current folder,
  // CreateDirectory) pass through uncounted.
  enum class Op {
    kWrite,
    kSync,
    kClose,
    kRename,
    kDelete,
    kOpenWrite,
    kSyncDir
  };

  // Passes calls to `target` (not owned; the real file system when null).
  explicit FaultInjectingFileSystem(FileSystem* target = nullptr);

  // Makes the n-th operation of kind `op` (counting from 1, from now) and
  // only that one fail. 0 injects nothing.
  void FailAt(Op op, int n);
  // Makes every operation of kind `op` fail from the n-th on.
  void FailFrom(Op op, int n);
  void ClearFailures();
  // Operations of kind `op` seen since construction or ResetCounts.
  int Count(Op op) const;
  void ResetCounts();

  // True when the current operation of kind `op` must fail; counts it.
  bool ShouldFail(Op op);

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

 private:
  static constexpr int kOps = 7;
  FileSystem* target_;
  int counts_[kOps] = {};
  int fail_at_[kOps] = {};
  int fail_from_[kOps] = {};
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_FAULTINJECTINGFILESYSTEM_H_
