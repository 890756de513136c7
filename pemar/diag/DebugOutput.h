// Plain-text trace files for numerical code.
//
// DebugOutputFile is a text file named by its owner with ".log" appended.
// PmDebugOut wraps one and adds fixed-width printing of values, arrays and
// matrices (13-character fields) and start/lapse timer banners.
// ResetDebugFile switches tracing on (creating or reopening the object and
// its file) or off (deleting it).
//
// All output goes through FileSystem::Default() with a buffer of our own, so
// bytes reach the file when the buffer fills, on Flush and on Close. Every
// printing operation does nothing when no file is open; nothing throws.
// Objects are not thread-safe; use one per thread.

#ifndef PEMAR_DIAG_DEBUGOUTPUT_H_
#define PEMAR_DIAG_DEBUGOUTPUT_H_

#include <memory>
#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class WritableFile;

// The framework's three-valued flag: 0 false, any other value true here.
using FuzzyBoolean = int;

class PEMAR_EXPORT DebugOutputFile {
 public:
  // The file becomes name + ".log"; no file is opened.
  explicit DebugOutputFile(const Text& name);
  // Flushes and closes an open file.
  ~DebugOutputFile();

  // A copy takes the file name only and has no open file, so that no file is
  // ever closed twice. Assignment first closes this object's own file.
  DebugOutputFile(const DebugOutputFile& other);
  DebugOutputFile& operator=(const DebugOutputFile& other);
  // A move hands the open file over; the source is left without one.
  DebugOutputFile(DebugOutputFile&& other) noexcept;
  DebugOutputFile& operator=(DebugOutputFile&& other) noexcept;

  // Opens the file for writing, created or truncated. An open file is closed
  // first. False when no file could be opened.
  bool Create();
  // Opens for appending when append is true (created when absent), for
  // writing from empty otherwise.
  bool Open(bool append);
  // True when the file exists and may be written.
  bool Exists() const;
  bool IsOpen() const { return file_ != nullptr; }

  // False when no file is open or a write failed. Writes are buffered: a
  // failure may show on a later call, on Flush or on Close.
  bool PutChar(char c);
  bool PutText(const Text& text, bool newline);
  // Hands the buffered bytes to the file; false when no file is open or the
  // write fails.
  bool Flush();
  // Writes out the buffer and closes the file. Always true, as callers of
  // the trace file rely on; afterwards no file is open.
  bool Close();

  // The name with ".log" appended.
  const Text& FileName() const { return file_name_; }

 private:
  bool OpenWith(bool append);
  bool Write(const char* data, std::size_t n);

  Text file_name_;
  std::unique_ptr<WritableFile> file_;
  std::string buffer_;
  bool failed_ = false;
};

class PEMAR_EXPORT PmDebugOut {
 public:
  // The file becomes name + ".log", timer start 0.0; no file is opened.
  // level is kept for callers and read by nothing here.
  PmDebugOut(const Text& name, int level, bool append);
  virtual ~PmDebugOut();

  // A copy takes name, level, append flag and timer start, but no open file
  // (see DebugOutputFile).
  PmDebugOut(const PmDebugOut& other) = default;
  PmDebugOut& operator=(const PmDebugOut& other) = default;

  // Opens the file with truncation.
  bool Create() { return file_.Create(); }
  // Always true; afterwards no file is open.
  bool Close() { return file_.Close(); }
  // With append false opens from empty; with append true appends when the
  // file exists and may be written, and opens from empty otherwise.
  bool OpenDebugFile();

  // Writes the text unchanged (no line feed added).
  void PrintText(const Text& text);
  // One 13-character field: "        EMPTY" for the empty value -32767.0,
  // "         zero" for 0.0, "%13.5e" when |v| < 1e-4, |v| > 1e6 or
  // v < -1e-5, and "%13.5f" otherwise.
  void PrintValue(double v);
  // The title, then a[from] ... a[to - 1] as 13-character fields, perLine to
  // a line (a line feed after the title when they take more than one line);
  // perLine < 1 puts all on the title's line. Nothing at all when a is
  // null. a must hold the indexes from to to - 1.
  void PrintArray(const Text& title, const double* a, int from, int to,
                  int perLine);
  // The title, then each row on a new line indented by five blanks, wrapped
  // after every perLine values when perLine > 0. Nothing at all when m is
  // null; a null row is skipped. m must hold rows rows of cols values.
  void PrintMatrix(const Text& title, const double* const* m, int rows,
                   int cols, int perLine);

  // Records GetTime() as the start and writes the start banner.
  void ResetTimer();
  // Seconds since the last ResetTimer (since the clock's origin when never
  // reset); writes them in the lapse banner and returns them.
  double LapseTime();
  // Seconds on a monotonic clock, counted from its first use in the
  // process. Never decreases.
  double GetTime() const;

  int Level() const { return level_; }
  bool Append() const { return append_; }
  void SetAppend(bool append) { append_ = append; }
  double TimerStart() const { return timer_start_; }
  DebugOutputFile& File() { return file_; }
  const DebugOutputFile& File() const { return file_; }

 private:
  int level_;
  bool append_;
  DebugOutputFile file_;
  double timer_start_ = 0.0;
};

// on = true: reuses current (closing its file; its name stays) or makes a
// new PmDebugOut(name, 1, ...); appends when newFile is 0 and the file exists
// and may be written, and starts from empty otherwise. Returns the object
// with its file open, or null after deleting the object when the file cannot
// be opened. on = false: deletes current (may be null) and returns null.
// The caller replaces its pointer by the result and owns it.
PEMAR_EXPORT PmDebugOut* ResetDebugFile(bool on, const Text& name,
                                        PmDebugOut* current,
                                        FuzzyBoolean newFile);

}  // namespace pemar

#endif  // PEMAR_DIAG_DEBUGOUTPUT_H_
