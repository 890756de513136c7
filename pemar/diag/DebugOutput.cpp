#include "pemar/diag/DebugOutput.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Types.h"

namespace pemar {

namespace {

// Large enough that a trace of many small values costs few system calls,
// small enough that little is lost when the process dies.
constexpr std::size_t kFlushThreshold = std::size_t{64} * 1024;

// The 13-character field of one value.
std::string FormatValue(double v) {
  if (v == kEmptyValue) return "        EMPTY";
  if (v == 0.0) return "         zero";
  char field[64];
  const double magnitude = std::fabs(v);
  if (magnitude < 0.0001 || magnitude > 1000000.0 || v < -0.00001) {
    std::snprintf(field, sizeof field, "%13.5e", v);
  } else {
    std::snprintf(field, sizeof field, "%13.5f", v);
  }
  return field;
}

}  // namespace

// ---------------------------------------------------------------------------
// DebugOutputFile

DebugOutputFile::DebugOutputFile(const Text& name)
    : file_name_(name + ".log") {}

DebugOutputFile::~DebugOutputFile() { Close(); }

DebugOutputFile::DebugOutputFile(const DebugOutputFile& other)
    : file_name_(other.file_name_) {}

DebugOutputFile& DebugOutputFile::operator=(const DebugOutputFile& other) {
  if (this != &other) {
    Close();
    file_name_ = other.file_name_;
  }
  return *this;
}

DebugOutputFile::DebugOutputFile(DebugOutputFile&& other) noexcept
    : file_name_(std::move(other.file_name_)),
      file_(std::move(other.file_)),
      buffer_(std::move(other.buffer_)),
      failed_(other.failed_) {
  other.buffer_.clear();
  other.failed_ = false;
}

DebugOutputFile& DebugOutputFile::operator=(DebugOutputFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_name_ = std::move(other.file_name_);
    file_ = std::move(other.file_);
    buffer_ = std::move(other.buffer_);
    failed_ = other.failed_;
    other.buffer_.clear();
    other.failed_ = false;
  }
  return *this;
}

bool DebugOutputFile::Create() { return OpenWith(/*append=*/false); }

bool DebugOutputFile::Open(bool append) { return OpenWith(append); }

bool DebugOutputFile::OpenWith(bool append) {
  Close();
  FileSystem* fs = FileSystem::Default();
  file_ = append ? fs->NewAppendableFile(file_name_.str())
                 : fs->NewWritableFile(file_name_.str());
  return file_ != nullptr;
}

bool DebugOutputFile::Exists() const {
  return FileSystem::Default()->IsWritable(file_name_.str());
}

bool DebugOutputFile::Write(const char* data, std::size_t n) {
  if (!file_ || failed_) return false;
  buffer_.append(data, n);
  if (buffer_.size() >= kFlushThreshold) return Flush();
  return true;
}

bool DebugOutputFile::PutChar(char c) { return Write(&c, 1); }

bool DebugOutputFile::PutText(const Text& text, bool newline) {
  if (!Write(text.c_str(), text.Length())) return false;
  return !newline || Write("\n", 1);
}

bool DebugOutputFile::Flush() {
  if (!file_ || failed_) return false;
  if (buffer_.empty()) return true;
  // After a failed append the file holds an unknown part of the buffer;
  // later output would only garble it further, so the file stays failed.
  failed_ = !file_->Append(buffer_.data(), buffer_.size());
  buffer_.clear();
  return !failed_;
}

bool DebugOutputFile::Close() {
  if (file_) {
    Flush();
    file_->Close();
    file_.reset();
  }
  buffer_.clear();
  failed_ = false;
  return true;
}

// ---------------------------------------------------------------------------
// PmDebugOut

PmDebugOut::PmDebugOut(const Text& name, int level, bool append)
    : level_(level), append_(append), file_(name) {}

PmDebugOut::~PmDebugOut() = default;

bool PmDebugOut::OpenDebugFile() {
  return file_.Open(append_ && file_.Exists());
}

void PmDebugOut::PrintText(const Text& text) { file_.PutText(text, false); }

void PmDebugOut::PrintValue(double v) {
  if (!file_.IsOpen()) return;
  file_.PutText(FormatValue(v), false);
}

void PmDebugOut::PrintArray(const Text& title, const double* a, int from,
                            int to, int perLine) {
  if (a == nullptr || !file_.IsOpen()) return;
  file_.PutText(title, false);
  // In 64 bits so that extreme from and to cannot overflow.
  const std::int64_t n = static_cast<std::int64_t>(to) - from;
  if (perLine >= 1 && n > perLine) file_.PutChar('\n');
  for (std::int64_t k = 0; k < n; ++k) {
    if (perLine >= 1 && k > 0 && k % perLine == 0) file_.PutChar('\n');
    PrintValue(a[from + k]);
  }
}

void PmDebugOut::PrintMatrix(const Text& title, const double* const* m,
                             int rows, int cols, int perLine) {
  if (m == nullptr || !file_.IsOpen()) return;
  file_.PutText(title, false);
  for (int r = 0; r < rows; ++r) {
    const double* row = m[r];
    if (row == nullptr) continue;
    if (perLine <= 0) file_.PutText("\n     ", false);
    for (int c = 0; c < cols; ++c) {
      if (perLine > 0 && c % perLine == 0) file_.PutText("\n     ", false);
      PrintValue(row[c]);
    }
  }
}

void PmDebugOut::ResetTimer() {
  timer_start_ = GetTime();
  PrintText("\n\n +......Start Timer......+ \n\n");
}

double PmDebugOut::LapseTime() {
  const double t = GetTime() - timer_start_;
  PrintText(Text::Format("\n\n +......Lapse Time %8.4f sec......+ \n\n", t));
  return t;
}

double PmDebugOut::GetTime() const {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point origin = Clock::now();
  return std::chrono::duration<double>(Clock::now() - origin).count();
}

// ---------------------------------------------------------------------------

PmDebugOut* ResetDebugFile(bool on, const Text& name, PmDebugOut* current,
                           FuzzyBoolean newFile) {
  if (!on) {
    delete current;
    return nullptr;
  }
  PmDebugOut* out = current;
  if (out != nullptr) {
    out->Close();
  } else {
    out = new PmDebugOut(name, 1, false);
  }
  out->SetAppend(newFile == 0);
  if (!out->OpenDebugFile()) {
    delete out;
    return nullptr;
  }
  return out;
}

}  // namespace pemar
