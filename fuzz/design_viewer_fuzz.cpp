// Recalls arbitrary bytes as a case file holding design viewers: project,
// scenario and design views over projects with scenarios (the test project
// of type 604, pemar/project/testing/ScenarioProject.h). A recall may fail
// but must never crash, hang or allocate what the input cannot justify. A
// case that recalled must answer the viewers' lookups, save again and
// recall with the same viewers, and be destroyed with every view and
// project freed once (the sanitizers check that).
//
// The seed corpus fuzz/corpus/design_viewer/ is written by
// make_design_viewer_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CaseFuzzing.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/testing/ScenarioProject.h"

namespace {

// Asks every viewer for what the framework's forms ask.
void Browse(pemar::SimulationCase& theCase) {
  for (pemar::Viewable* object : theCase.GetObjectManager().Objects()) {
    auto* view = dynamic_cast<pemar::DesignViewerProject*>(object);
    if (view == nullptr) continue;
    for (pemar::DesignViewerScenario* scenario : view->ScenariosVal()) {
      view->AttachedName(scenario);
      for (pemar::DesignViewerDesign* design : scenario->GetDesignObjs()) {
        scenario->AttachedName(design);
      }
    }
    pemar::VarDescription path;
    if (pemar::VarDescription::Parse(
            "DesignViewerScenario.200.0/DesignViewerDesign.200.0", &path)) {
      view->AttachedObject(path);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const bool configured = [] {
    pemar::ResetConfigStore();
    pemar::SetCommandLine(pemar::Text("design_viewer_fuzz"));
    pemar::test_support::ScenarioProject::RegisterType();
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
  Browse(theCase);
  pemar::SimulationCase again(pemar::Text("SIM"), nullptr);
  pemar::fuzzing::SaveCopyAndRecall(theCase, again);
  if (pemar::DescribeDesignViewers(again) !=
      pemar::DescribeDesignViewers(theCase)) {
    std::abort();
  }
  return 0;
}
