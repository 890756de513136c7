#include "pemar/framework/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "pemar/framework/Utf8PathInternal.h"

#if defined(_WIN32)
#include <windows.h>
// The file system's own operations share these names.
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif
#endif

namespace pemar {

WritableFile::~WritableFile() = default;
ReadableFile::~ReadableFile() = default;
FileSystem::~FileSystem() = default;

bool FileSystem::RenameFileNoReplace(const std::string& from,
                                     const std::string& to) {
  if (FileExists(to)) return false;
  return RenameFile(from, to);
}

std::unique_ptr<WritableFile> FileSystem::NewTemporaryFile(
    const std::string& target, std::string* path) {
  // Names are numbered per process; another process, or a file left by an
  // earlier run, holds a number only until the next free one is tried.
  static std::atomic<unsigned> next{1};
  constexpr int kTries = 1000;
  if (path == nullptr) return nullptr;
  for (int i = 0; i < kTries; ++i) {
    std::string candidate = target + "." + std::to_string(next++) + ".tmp";
    std::unique_ptr<WritableFile> file = NewExclusiveFile(candidate);
    if (file) {
      *path = std::move(candidate);
      return file;
    }
    // A name that is free but cannot be made (no such folder, no room) will
    // not be made under the next number either.
    if (!FileExists(candidate)) return nullptr;
  }
  return nullptr;
}

bool FileSystem::SyncDirectory(const std::string& /*path*/) { return true; }

bool FileSystem::SyncDirectoryOf(const std::string& path) {
  std::string folder = Utf8FromPath(PathFromUtf8(path).parent_path());
  return SyncDirectory(folder.empty() ? std::string(".") : folder);
}

bool FileSystem::GetCurrentDirectory(std::string* /*path*/) { return false; }

bool FileSystem::SetCurrentDirectory(const std::string& /*path*/) {
  return false;
}

bool FileSystem::CreateDirectory(const std::string& /*path*/) { return false; }

namespace {

#if defined(_WIN32)

// The wide-character form of a UTF-8 file name, for the Win32 calls.
std::wstring Wide(const std::string& path) {
  return PathFromUtf8(path).wstring();
}

// Other handles may read, write, rename and delete the file while it is open,
// as on POSIX.
constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Reads or writes n bytes at an absolute offset through a handle opened for
// synchronous access; the OVERLAPPED block only carries the offset.
OVERLAPPED OverlappedAt(std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// A single WriteFile or ReadFile moves at most this many bytes.
constexpr std::size_t kMaxTransfer = 1u << 30;

class WinWritableFile final : public WritableFile {
 public:
  explicit WinWritableFile(HANDLE h) : h_(h) {}
  ~WinWritableFile() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  bool Append(const void* data, std::size_t n) override {
    LARGE_INTEGER size;
    if (h_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(h_, &size)) return false;
    return WriteAt(static_cast<std::uint64_t>(size.QuadPart), data, n);
  }
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
      DWORD chunk = static_cast<DWORD>(n < kMaxTransfer ? n : kMaxTransfer);
      DWORD done = 0;
      OVERLAPPED at = OverlappedAt(offset);
      if (!WriteFile(h_, p, chunk, &done, &at) || done == 0) return false;
      p += done;
      offset += done;
      n -= done;
    }
    return true;
  }
  bool Sync() override {
    return h_ != INVALID_HANDLE_VALUE && FlushFileBuffers(h_) != 0;
  }
  bool Close() override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

class WinReadableFile final : public ReadableFile {
 public:
  WinReadableFile(HANDLE h, std::uint64_t size) : h_(h), size_(size) {}
  ~WinReadableFile() override { CloseHandle(h_); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer,
                      std::size_t n) override {
    char* p = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < n) {
      std::size_t left = n - total;
      DWORD chunk =
          static_cast<DWORD>(left < kMaxTransfer ? left : kMaxTransfer);
      DWORD got = 0;
      OVERLAPPED at = OverlappedAt(offset + total);
      if (!ReadFile(h_, p + total, chunk, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        return -1;
      }
      if (got == 0) break;
      total += got;
    }
    return static_cast<std::int64_t>(total);
  }
  std::uint64_t Size() const override { return size_; }

 private:
  HANDLE h_;
  std::uint64_t size_;
};

#else

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Append(const void* data, std::size_t n) override {
    if (fd_ < 0) return false;
    if (::lseek(fd_, 0, SEEK_END) < 0) return false;
    return WriteAll(data, n);
  }
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
      ssize_t done = ::pwrite(fd_, p, n, static_cast<off_t>(offset));
      if (done < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += done;
      offset += static_cast<std::uint64_t>(done);
      n -= static_cast<std::size_t>(done);
    }
    return true;
  }
  bool Sync() override { return fd_ >= 0 && ::fsync(fd_) == 0; }
  bool Close() override {
    if (fd_ < 0) return false;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  bool WriteAll(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
      ssize_t done = ::write(fd_, p, n);
      if (done < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += done;
      n -= static_cast<std::size_t>(done);
    }
    return true;
  }
  int fd_;
};

class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixReadableFile() override { ::close(fd_); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer,
                      std::size_t n) override {
    char* p = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < n) {
      ssize_t got = ::pread(fd_, p + total, n - total,
                            static_cast<off_t>(offset + total));
      if (got < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (got == 0) break;
      total += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(total);
  }
  std::uint64_t Size() const override { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
};

#endif

class OsFileSystem final : public FileSystem {
 public:
  std::unique_ptr<WritableFile> NewWritableFile(
      const std::string& path) override {
    return Open(path, /*append=*/false);
  }
  std::unique_ptr<WritableFile> NewAppendableFile(
      const std::string& path) override {
    return Open(path, /*append=*/true);
  }

  std::unique_ptr<WritableFile> NewExclusiveFile(
      const std::string& path) override {
#if defined(_WIN32)
    return OpenWith(path, CREATE_NEW);
#else
    int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
#endif
  }

  std::unique_ptr<ReadableFile> NewReadableFile(
      const std::string& path) override {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), ec)) {
      return nullptr;
    }
#if defined(_WIN32)
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
      CloseHandle(h);
      return nullptr;
    }
    return std::make_unique<WinReadableFile>(
        h, static_cast<std::uint64_t>(size.QuadPart));
#else
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixReadableFile>(
        fd, static_cast<std::uint64_t>(st.st_size));
#endif
  }

  bool FileExists(const std::string& path) override {
    std::error_code ec;
    return std::filesystem::exists(PathFromUtf8(path), ec);
  }

  bool IsWritable(const std::string& path) override {
    if (!FileExists(path)) return false;
#if defined(_WIN32)
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_READONLY) == 0;
#else
    return ::access(path.c_str(), W_OK) == 0;
#endif
  }

  bool RenameFile(const std::string& from, const std::string& to) override {
#if defined(_WIN32)
    // Replaces `to` in one step; write-through returns only once the new name
    // is on the disk, which is what the folder sync gives on POSIX.
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
#endif
  }

  bool RenameFileNoReplace(const std::string& from,
                           const std::string& to) override {
#if defined(_WIN32)
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_WRITE_THROUGH) != 0;
#else
#if defined(__linux__) && defined(SYS_renameat2)
    constexpr unsigned int kRenameNoReplace = 1;  // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                  kRenameNoReplace) == 0) {
      return true;
    }
    // Older kernels and some file systems do not know the flag; anything
    // else (EEXIST above all) is the answer.
    if (errno != ENOSYS && errno != EINVAL) return false;
#endif
    // A hard link fails with EEXIST when `to` exists, so no window opens in
    // which another file could be replaced.
    if (::link(from.c_str(), to.c_str()) == 0) {
      if (::unlink(from.c_str()) == 0) return true;
      // Two names for one file: take the new one back.
      ::unlink(to.c_str());
      return false;
    }
    if (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP) {
      // A file system without hard links: the best left is to look first.
      if (FileExists(to)) return false;
      return RenameFile(from, to);
    }
    return false;
#endif
  }

  bool DeleteFile(const std::string& path) override {
    std::error_code ec;
    return std::filesystem::remove(PathFromUtf8(path), ec) && !ec;
  }

  bool GetModificationTime(const std::string& path,
                           std::int64_t* seconds) override {
    std::error_code ec;
    auto t = std::filesystem::last_write_time(PathFromUtf8(path), ec);
    if (ec) return false;
    auto sys = std::chrono::file_clock::to_sys(t);
    *seconds =
        std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch())
            .count();
    return true;
  }

  bool SetModificationTime(const std::string& path,
                           std::int64_t seconds) override {
    std::error_code ec;
    auto sys =
        std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
    std::filesystem::last_write_time(
        PathFromUtf8(path), std::chrono::file_clock::from_sys(sys), ec);
    return !ec;
  }

  bool SyncDirectory(const std::string& path) override {
#if defined(_WIN32)
    // Windows cannot sync a folder; renames are written through instead
    // (MOVEFILE_WRITE_THROUGH), and NTFS journals its folder entries.
    std::error_code ec;
    return std::filesystem::is_directory(PathFromUtf8(path), ec);
#else
    int fd = ::open(path.empty() ? "." : path.c_str(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    // Some file systems cannot sync a folder and say so; that is no loss.
    if (!ok && (errno == EINVAL || errno == ENOTSUP)) ok = true;
    ok = ::close(fd) == 0 && ok;
    return ok;
#endif
  }

  bool GetCurrentDirectory(std::string* path) override {
    std::error_code ec;
    std::filesystem::path current = std::filesystem::current_path(ec);
    if (ec || path == nullptr) return false;
    *path = Utf8FromPath(current);
    return true;
  }

  bool SetCurrentDirectory(const std::string& path) override {
    std::error_code ec;
    std::filesystem::current_path(PathFromUtf8(path), ec);
    return !ec;
  }

  bool CreateDirectory(const std::string& path) override {
    std::error_code ec;
    std::filesystem::path folder = PathFromUtf8(path);
    std::filesystem::create_directory(folder, ec);
    if (ec) return false;
    return std::filesystem::is_directory(folder, ec);
  }

 private:
#if defined(_WIN32)
  // Opens `path` for writing as `disposition` says (CREATE_ALWAYS,
  // OPEN_ALWAYS or CREATE_NEW).
  std::unique_ptr<WritableFile> OpenWith(const std::string& path,
                                         DWORD disposition) {
    HANDLE h =
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinWritableFile>(h);
  }
#endif

  std::unique_ptr<WritableFile> Open(const std::string& path, bool append) {
#if defined(_WIN32)
    return OpenWith(path, append ? OPEN_ALWAYS : CREATE_ALWAYS);
#else
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? 0 : O_TRUNC);
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
#endif
  }
};

FileSystem* g_installed_file_system = nullptr;

}  // namespace

FileSystem* FileSystem::Posix() {
  static OsFileSystem* os = new OsFileSystem;
  return os;
}

FileSystem* FileSystem::Default() {
  return g_installed_file_system ? g_installed_file_system : Posix();
}

FileSystem* FileSystem::SetDefault(FileSystem* fs) {
  FileSystem* previous = g_installed_file_system;
  g_installed_file_system = fs;
  return previous;
}

bool WriteFileAtomically(const std::string& path, const void* data,
                         std::size_t n) {
  FileSystem* fs = FileSystem::Default();
  std::string temp;
  std::unique_ptr<WritableFile> file = fs->NewTemporaryFile(path, &temp);
  if (!file) return false;
  bool ok = (n == 0 || file->Append(data, n)) && file->Sync();
  ok = file->Close() && ok;
  file.reset();
  if (ok) ok = fs->RenameFile(temp, path);
  if (!ok) {
    fs->DeleteFile(temp);
    return false;
  }
  return fs->SyncDirectoryOf(path);
}

}  // namespace pemar
