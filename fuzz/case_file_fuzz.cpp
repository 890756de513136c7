// Recalls arbitrary bytes as a case file into a fresh case, from a file in
// memory. A recall may fail but must never crash, hang or allocate what the
// input cannot justify. A case that recalled must give its report page (all
// its pictures drawn) and save again, and what it saved must recall too: a
// file the library accepts is a file it can keep.
//
// The seed corpus fuzz/corpus/case_file/ is written by make_case_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/CaseReportPage.h"

namespace {

// The input, and the copy that a recalled case saves.
constexpr char kIn[] = "/in.kcs";
constexpr char kOut[] = "/out.kcs";

bool Recall(pemar::SimulationCase& theCase, const char* path) {
  return theCase.RecallDocument(pemar::FileName(pemar::Text(path))) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const bool configured = [] {
    pemar::ResetConfigStore();
    pemar::SetCommandLine(pemar::Text("case_file_fuzz"));
    pemar::NotesProject::RegisterType();
    return true;
  }();
  (void)configured;

  pemar::DiscardingMessageSink sink;
  pemar::ScopedMessageSink scoped_sink(&sink);
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scoped_fs(&fs);
  fs.SetFile(kIn, std::string(reinterpret_cast<const char*>(data), size));

  pemar::SimulationCase theCase(pemar::Text("SIM"), nullptr);
  if (!Recall(theCase, kIn)) return 0;
  pemar::CaseReportHtml(theCase);

  // A recall may ask for a new name (a reserved extension, the header's
  // flag); the copy goes where the target wants it.
  theCase.SetFileName(pemar::Text(kOut));
  if (!theCase.SaveDocument(0)) std::abort();
  pemar::SimulationCase again(pemar::Text("SIM"), nullptr);
  if (!Recall(again, kOut)) std::abort();
  return 0;
}
