#include "pemar/framework/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace pemar {
namespace {

class MemoryWritableFile final : public WritableFile {
 public:
  explicit MemoryWritableFile(std::shared_ptr<std::string> contents)
      : contents_(std::move(contents)) {}
  bool Append(const void* data, std::size_t n) override {
    contents_->append(static_cast<const char*>(data), n);
    return true;
  }
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
    if (offset + n > contents_->size()) contents_->resize(offset + n);
    std::memcpy(contents_->data() + offset, data, n);
    return true;
  }
  bool Sync() override { return true; }
  bool Close() override { return true; }

 private:
  std::shared_ptr<std::string> contents_;
};

class MemoryReadableFile final : public ReadableFile {
 public:
  explicit MemoryReadableFile(std::shared_ptr<std::string> contents)
      : contents_(std::move(contents)), size_(contents_->size()) {}
  std::int64_t ReadAt(std::uint64_t offset, void* buffer,
                      std::size_t n) override {
    if (offset >= contents_->size()) return 0;
    std::size_t take = std::min<std::size_t>(
        n, contents_->size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, contents_->data() + offset, take);
    return static_cast<std::int64_t>(take);
  }
  std::uint64_t Size() const override { return size_; }

 private:
  std::shared_ptr<std::string> contents_;
  std::uint64_t size_;
};

}  // namespace

void MemoryFileSystem::SetFile(const std::string& path, std::string contents) {
  files_[path].contents = std::make_shared<std::string>(std::move(contents));
}

std::string MemoryFileSystem::GetFile(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : *it->second.contents;
}

std::map<std::string, std::string> MemoryFileSystem::Files() const {
  std::map<std::string, std::string> files;
  for (const auto& [path, file] : files_) files[path] = *file.contents;
  return files;
}

std::unique_ptr<WritableFile> MemoryFileSystem::NewWritableFile(
    const std::string& path) {
  SetFile(path, std::string());
  return std::make_unique<MemoryWritableFile>(files_[path].contents);
}

std::unique_ptr<WritableFile> MemoryFileSystem::NewAppendableFile(
    const std::string& path) {
  auto& file = files_[path];
  if (!file.contents) file.contents = std::make_shared<std::string>();
  return std::make_unique<MemoryWritableFile>(file.contents);
}

std::unique_ptr<WritableFile> MemoryFileSystem::NewExclusiveFile(
    const std::string& path) {
  if (FileExists(path)) return nullptr;
  return NewWritableFile(path);
}

std::unique_ptr<ReadableFile> MemoryFileSystem::NewReadableFile(
    const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) return nullptr;
  return std::make_unique<MemoryReadableFile>(it->second.contents);
}

bool MemoryFileSystem::FileExists(const std::string& path) {
  return files_.count(path) != 0;
}

bool MemoryFileSystem::IsWritable(const std::string& path) {
  return FileExists(path);
}

bool MemoryFileSystem::RenameFile(const std::string& from,
                                  const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return false;
  File moved = it->second;
  files_.erase(it);
  files_[to] = moved;
  return true;
}

bool MemoryFileSystem::RenameFileNoReplace(const std::string& from,
                                           const std::string& to) {
  if (files_.count(to) != 0 || files_.count(from) == 0) return false;
  return RenameFile(from, to);
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  return files_.erase(path) != 0;
}

bool MemoryFileSystem::GetModificationTime(const std::string& path,
                                           std::int64_t* seconds) {
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  *seconds = it->second.modified;
  return true;
}

bool MemoryFileSystem::SetModificationTime(const std::string& path,
                                           std::int64_t seconds) {
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  it->second.modified = seconds;
  return true;
}

std::string MemoryFileSystem::FolderPath(const std::string& path) const {
  std::string full = path;
  if (full.empty() || full.front() != '/') {
    full = current_ == "/" ? "/" + full : current_ + "/" + full;
  }
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

bool MemoryFileSystem::DirectoryExists(const std::string& path) const {
  return folders_.count(FolderPath(path)) != 0;
}

bool MemoryFileSystem::SyncDirectory(const std::string& /*path*/) {
  return true;
}

bool MemoryFileSystem::GetCurrentDirectory(std::string* path) {
  if (path == nullptr) return false;
  *path = current_;
  return true;
}

bool MemoryFileSystem::SetCurrentDirectory(const std::string& path) {
  if (path.empty() || !DirectoryExists(path)) return false;
  current_ = FolderPath(path);
  return true;
}

bool MemoryFileSystem::CreateDirectory(const std::string& path) {
  if (path.empty()) return false;
  std::string full = FolderPath(path);
  if (files_.count(full) != 0 || files_.count(full + "/") != 0) return false;
  // The parents come with it, as a tree of folders has no gaps.
  for (std::size_t slash = full.find('/', 1); slash != std::string::npos;
       slash = full.find('/', slash + 1)) {
    folders_.insert(full.substr(0, slash));
  }
  folders_.insert(full);
  return true;
}

}  // namespace pemar
