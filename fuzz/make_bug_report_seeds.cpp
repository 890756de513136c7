// Writes the seed corpus of bug_report_manager_fuzz: the class data of
// problem-report managers as StoreClassData writes it in type versions 1
// and 2, each after the version byte the target reads first. Not part of
// the build; run it by hand when the record changes (the second line is one
// command):
//
//   cmake --build build/<dir> --target pemar_internal
//   c++ -std=c++20 -I. fuzz/make_bug_report_seeds.cpp
//       build/<dir>/libpemar_internal.a -ldl -o /tmp/make_bug_report_seeds
//   /tmp/make_bug_report_seeds fuzz/corpus/bug_report_manager

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace {

using Fill = std::function<void(pemar::BugReportManager&)>;

// Writes `name` with the version byte (1 odd, 2 even) and the class data;
// `cut` bytes are left off the end.
bool WriteSeed(pemar::MemoryFileSystem& fs, const std::string& folder,
               const char* name, int version, const Fill& fill,
               std::size_t cut = 0) {
  auto* type =
      const_cast<pemar::ObjectTypeInfo*>(pemar::BugReportManagerObjectType());
  type->SetClassDataVersion(version);
  pemar::BugReportManager manager(nullptr);
  fill(manager);
  pemar::BinaryFile file{pemar::Text("seed.bin")};
  if (!file.Create() || !manager.StoreClassData(file) || !file.Close()) {
    return false;
  }
  std::string bytes = fs.GetFile("seed.bin");
  bytes.resize(bytes.size() - std::min(cut, bytes.size()));
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out << static_cast<char>(version == 1 ? 1 : 0) << bytes;
  return static_cast<bool>(out);
}

void Filled(pemar::BugReportManager& m) {
  pemar::BugReport* r = m.NewReport();
  r->SetName("Pump trips");
  r->SetDate("12/07/26");
  r->SetReportedBy("R. Ames");
  r->SetProgramBuildDate("11/30/26");
  r->SetClassChoice(pemar::BugReport::kEnhancement);
  r->SetPriorityChoice(pemar::BugReport::kHigh);
  r->SetProgramArea("Targeting");
  r->SetDescription("Open the case.\n" + std::string(55, 'a') +
                    " bbbbb tail\n" + "word" + std::string(80, ' ') +
                    "\n\nafter the empty line");
  r->SetReproducibilityChoice(pemar::BugReport::kSometimes);
  m.NewReport()->SetPriorityChoice(7);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  pemar::SetSystemTexts("Linux 6.1", "512 MB of memory free");
  const std::string folder = argv[1];
  const Fill none = [](pemar::BugReportManager&) {};
  const bool ok = WriteSeed(fs, folder, "version1_empty", 1, none) &&
                  WriteSeed(fs, folder, "version1", 1, Filled) &&
                  WriteSeed(fs, folder, "version2_empty", 2, none) &&
                  WriteSeed(fs, folder, "version2", 2, Filled) &&
                  WriteSeed(fs, folder, "version2_truncated", 2, Filled, 9);
  if (!ok) std::fprintf(stderr, "a seed could not be written\n");
  return ok ? 0 : 1;
}
