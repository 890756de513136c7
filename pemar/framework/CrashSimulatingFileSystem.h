// CrashSimulatingFileSystem: an in-memory file system that records what a
// run did to its files and builds every state a power cut could have left.
//
// Failing a call is one thing (FaultInjectingFileSystem); a power cut is
// another: every call returned, but what had not been forced to the disk is
// gone. A file keeps only the bytes written before its last Sync for sure;
// of those written afterwards any part may have reached the disk. A create,
// rename or delete is sure only once the folder that holds the name has been
// synced (SyncDirectory); before that it may or may not have happened.
//
// Use: put the files in place (SetFile), call StartRecording (what is there
// now counts as on the disk), install the file system and run the operation
// under test; then ForEachCrashState hands every distinct state to a check.
//
// The model. Files are nodes; names point at nodes. A node's data operations
// (writes, truncation on create) are sure once a later Sync of it follows;
// a name operation once a later SyncDirectory of its folder (both folders
// for a rename) follows. For a crash after each prefix of the recorded
// operations (the empty one and the whole run included):
//   - the unsure data of every node is, in three states, all lost, all kept,
//     or torn: the first half of its bytes kept, in order, the rest lost;
//   - each unsure name operation happened or not: every combination when
//     there are at most kMaxExhaustiveNameOps of them, otherwise every
//     prefix of them in order and every set with one left out.
// The same data choice holds for all nodes of one state. States that come
// out equal are given once. Everything is deterministic.
//
// Files put with SetFile after StartRecording, and the modification
// stamps, are not recorded. Not thread-safe.

#ifndef PEMAR_FRAMEWORK_CRASHSIMULATINGFILESYSTEM_H_
#define PEMAR_FRAMEWORK_CRASHSIMULATINGFILESYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {

class PEMAR_EXPORT CrashSimulatingFileSystem : public MemoryFileSystem {
 public:
  // Every file by path, with its contents: one state of the disk.
  using State = std::map<std::string, std::string>;

  static constexpr std::size_t kMaxExhaustiveNameOps = 6;

  // One recorded operation. A node is a file's data, whatever its names;
  // kTruncate is an existing file opened for writing anew, kLink a new
  // file under its first name.
  enum class Kind {
    kWrite,
    kTruncate,
    kSync,
    kLink,
    kRename,
    kUnlink,
    kSyncDir
  };
  struct Op {
    explicit Op(Kind k) : kind(k) {}
    Kind kind;
    int node = -1;
    std::uint64_t offset = 0;  // kWrite
    std::string bytes;         // kWrite
    std::string name;          // kLink, kUnlink; kRename: the new name
    std::string from;          // kRename
    std::string folder;        // kSyncDir
  };

  // Takes the files now in place as on the disk and forgets earlier
  // operations.
  void StartRecording();
  // Operations recorded since StartRecording.
  std::size_t OperationCount() const { return ops_.size(); }
  // The same operations, in order, for a test that works out from them what
  // it should find.
  const std::vector<Op>& Operations() const { return ops_; }

  // The distinct states a crash after the first `prefix` operations could
  // leave.
  std::vector<State> CrashStates(std::size_t prefix) const;
  // Calls `check` once for every distinct state over all prefixes; returns
  // how many states were checked.
  std::size_t ForEachCrashState(
      const std::function<void(const State&)>& check) const;

  std::unique_ptr<WritableFile> NewWritableFile(
      const std::string& path) override;
  std::unique_ptr<WritableFile> NewAppendableFile(
      const std::string& path) override;
  std::unique_ptr<WritableFile> NewExclusiveFile(
      const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool RenameFileNoReplace(const std::string& from,
                           const std::string& to) override;
  bool DeleteFile(const std::string& path) override;
  bool SyncDirectory(const std::string& path) override;

 private:
  friend class RecordingFile;

  enum class Data { kLost, kKept, kTorn };

  // The node a write opens on `path`: the existing one (truncated unless
  // `append`), or a new one linked under the name.
  int OpenNode(const std::string& path, bool append);
  std::unique_ptr<WritableFile> Wrap(std::unique_ptr<WritableFile> file,
                                     int node);
  void Record(Op op) { ops_.push_back(std::move(op)); }
  bool IsSure(std::size_t op, std::size_t prefix) const;
  // The files after the first `prefix` operations: the sure ones, the
  // unsure name operations that `happenedNames` marks, and the unsure data
  // as `data` says.
  State Replay(std::size_t prefix, const std::vector<bool>& sure,
               const std::vector<std::size_t>& unsureNames,
               const std::vector<bool>& happenedNames, Data data) const;

  std::map<std::string, int> names_;    // the live names, as recorded
  std::map<int, std::uint64_t> sizes_;  // the live sizes, for appends
  int next_node_ = 0;
  std::map<std::string, int> base_names_;
  std::map<int, std::string> base_data_;
  std::vector<Op> ops_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CRASHSIMULATINGFILESYSTEM_H_
