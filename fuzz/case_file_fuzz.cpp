// Recalls arbitrary bytes as a case file into a fresh case, from a file in
// memory. A recall may fail but must never crash, hang or allocate what the
// input cannot justify. A case that recalled must give its report page (all
// its pictures drawn) and save again, and what it saved must recall too: a
// file the library accepts is a file it can keep.
//
// The seed corpus fuzz/corpus/case_file/ is written by make_case_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <string>

#include "CaseFuzzing.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseReportPage.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/project/NotesProject.h"

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
  fs.SetFile(pemar::fuzzing::kInputCase,
             std::string(reinterpret_cast<const char*>(data), size));

  pemar::SimulationCase theCase(pemar::Text("SIM"), nullptr);
  if (!pemar::fuzzing::RecallCase(theCase, pemar::fuzzing::kInputCase)) {
    return 0;
  }
  pemar::CaseReportHtml(theCase);
  pemar::SimulationCase again(pemar::Text("SIM"), nullptr);
  pemar::fuzzing::SaveCopyAndRecall(theCase, again);
  return 0;
}
