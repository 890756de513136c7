// Recalls arbitrary bytes as the class data of a problem-report manager.
//
// The input is a type version (its first byte: odd gives 1, even 2) and
// the manager's class data (the rest). A recall may fail but must never
// crash, hang or allocate what the input cannot justify. Every report read
// has its text file's text made (the description wrapping sees any line),
// and a manager that recalled must store as version 2 and recall again to
// the same reports.
//
// Seeds in fuzz/corpus/bug_report_manager/ are written by
// fuzz/make_bug_report_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace {

bool Recall(pemar::MemoryFileSystem& fs, const std::string& bytes, int version,
            pemar::BugReportManager& manager) {
  fs.SetFile("in.bin", bytes);
  pemar::BinaryFile in{pemar::Text("in.bin")};
  return in.Open() && manager.RecallClassData(in, version);
}

// Every report's stored fields and text.
std::string Texts(const pemar::BugReportManager& manager) {
  std::string all;
  for (const pemar::BugReport* r : manager.Reports()) {
    all += r->ReportText() + r->ProgramBuildDate().str() + '\0';
  }
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const bool configured = [] {
    // Fixed texts, so that a report recalled from version 1 gets the same
    // system details both times.
    pemar::SetSystemTexts("Fuzz", "0 MB of memory free");
    return true;
  }();
  (void)configured;
  if (size == 0) return 0;

  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scoped(&fs);
  const int version = (data[0] & 1) ? 1 : 2;
  pemar::BugReportManager manager(nullptr);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool recalled = Recall(fs, bytes, version, manager);
  // Reports read before a failure stay listed: their texts are made too.
  [[maybe_unused]] const std::string texts = Texts(manager);
  if (!recalled) return 0;

  // The store writes version 2, the type's own.
  pemar::BinaryFile out{pemar::Text("out.bin")};
  if (!out.Create() || !manager.StoreClassData(out) || !out.Close()) {
    std::abort();
  }
  pemar::BugReportManager again(nullptr);
  if (!Recall(fs, fs.GetFile("out.bin"), 2, again)) std::abort();
  // Storing filled empty titles and dates; compare after that.
  if (Texts(again) != Texts(manager)) std::abort();
  return 0;
}
