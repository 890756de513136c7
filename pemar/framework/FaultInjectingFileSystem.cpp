#include "pemar/framework/FaultInjectingFileSystem.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;

class FaultyWritableFile final : public WritableFile {
 public:
  FaultyWritableFile(std::unique_ptr<WritableFile> target,
                     FaultInjectingFileSystem* fs)
      : target_(std::move(target)), fs_(fs) {}
  bool Append(const void* data, std::size_t n) override {
    if (fs_->ShouldFail(Op::kWrite)) return false;
    return target_->Append(data, n);
  }
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
    if (fs_->ShouldFail(Op::kWrite)) return false;
    return target_->WriteAt(offset, data, n);
  }
  bool Sync() override {
    if (fs_->ShouldFail(Op::kSync)) return false;
    return target_->Sync();
  }
  bool Close() override {
    bool ok = target_->Close();
    if (fs_->ShouldFail(Op::kClose)) return false;
    return ok;
  }

 private:
  std::unique_ptr<WritableFile> target_;
  FaultInjectingFileSystem* fs_;
};

}  // namespace

FaultInjectingFileSystem::FaultInjectingFileSystem(FileSystem* target)
    : target_(target ? target : FileSystem::Posix()) {}

void FaultInjectingFileSystem::FailAt(Op op, int n) {
  fail_at_[static_cast<int>(op)] =
      n > 0 ? counts_[static_cast<int>(op)] + n : 0;
}

void FaultInjectingFileSystem::FailFrom(Op op, int n) {
  fail_from_[static_cast<int>(op)] =
      n > 0 ? counts_[static_cast<int>(op)] + n : 0;
}

void FaultInjectingFileSystem::ClearFailures() {
  for (int i = 0; i < kOps; ++i) fail_at_[i] = fail_from_[i] = 0;
}

int FaultInjectingFileSystem::Count(Op op) const {
  return counts_[static_cast<int>(op)];
}

void FaultInjectingFileSystem::ResetCounts() {
  ClearFailures();
  for (int& c : counts_) c = 0;
}

bool FaultInjectingFileSystem::ShouldFail(Op op) {
  int i = static_cast<int>(op);
  int n = ++counts_[i];
  return (fail_at_[i] != 0 && n == fail_at_[i]) ||
         (fail_from_[i] != 0 && n >= fail_from_[i]);
}

std::unique_ptr<WritableFile> FaultInjectingFileSystem::NewWritableFile(
    const std::string& path) {
  if (ShouldFail(Op::kOpenWrite)) return nullptr;
  auto file = target_->NewWritableFile(path);
  if (!file) return nullptr;
  return std::make_unique<FaultyWritableFile>(std::move(file), this);
}

std::unique_ptr<WritableFile> FaultInjectingFileSystem::NewAppendableFile(
    const std::string& path) {
  if (ShouldFail(Op::kOpenWrite)) return nullptr;
  auto file = target_->NewAppendableFile(path);
  if (!file) return nullptr;
  return std::make_unique<FaultyWritableFile>(std::move(file), this);
}

std::unique_ptr<WritableFile> FaultInjectingFileSystem::NewExclusiveFile(
    const std::string& path) {
  if (ShouldFail(Op::kOpenWrite)) return nullptr;
  auto file = target_->NewExclusiveFile(path);
  if (!file) return nullptr;
  return std::make_unique<FaultyWritableFile>(std::move(file), this);
}

std::unique_ptr<ReadableFile> FaultInjectingFileSystem::NewReadableFile(
    const std::string& path) {
  return target_->NewReadableFile(path);
}

bool FaultInjectingFileSystem::FileExists(const std::string& path) {
  return target_->FileExists(path);
}

bool FaultInjectingFileSystem::IsWritable(const std::string& path) {
  return target_->IsWritable(path);
}

bool FaultInjectingFileSystem::RenameFile(const std::string& from,
                                          const std::string& to) {
  if (ShouldFail(Op::kRename)) return false;
  return target_->RenameFile(from, to);
}

bool FaultInjectingFileSystem::RenameFileNoReplace(const std::string& from,
                                                   const std::string& to) {
  if (ShouldFail(Op::kRename)) return false;
  return target_->RenameFileNoReplace(from, to);
}

bool FaultInjectingFileSystem::SyncDirectory(const std::string& path) {
  if (ShouldFail(Op::kSyncDir)) return false;
  return target_->SyncDirectory(path);
}

bool FaultInjectingFileSystem::GetCurrentDirectory(std::string* path) {
  return target_->GetCurrentDirectory(path);
}

bool FaultInjectingFileSystem::SetCurrentDirectory(const std::string& path) {
  return target_->SetCurrentDirectory(path);
}

bool FaultInjectingFileSystem::CreateDirectory(const std::string& path) {
  return target_->CreateDirectory(path);
}

bool FaultInjectingFileSystem::DeleteFile(const std::string& path) {
  if (ShouldFail(Op::kDelete)) return false;
  return target_->DeleteFile(path);
}

bool FaultInjectingFileSystem::GetModificationTime(const std::string& path,
                                                   std::int64_t* seconds) {
  return target_->GetModificationTime(path, seconds);
}

bool FaultInjectingFileSystem::SetModificationTime(const std::string& path,
                                                   std::int64_t seconds) {
  return target_->SetModificationTime(path, seconds);
}

}  // namespace pemar
