// Writes the seed corpus of design_viewer_fuzz: case files holding design
// viewers, saved by the library. Not part of the build; run it by hand when
// the viewers' class data changes (the second line is one command):
//
//   cmake --build build/<dir> --target pemar_internal
//   c++ -std=c++20 -I. fuzz/make_design_viewer_seeds.cpp
//       build/<dir>/libpemar_internal.a -ldl -o /tmp/make_design_viewer_seeds
//   /tmp/make_design_viewer_seeds fuzz/corpus/design_viewer
//
// The cases are saved into a file system in memory and then copied out.
// Note dates are the day of the run.

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/testing/ScenarioProject.h"

namespace {

using pemar::DesignViewerProject;
using pemar::SimulationCase;
using pemar::Text;

// The project of that name, listed by the case's manager only.
pemar::IPemarProject* AddProject(SimulationCase& theCase, const char* name) {
  pemar::EngineeringManager* m = theCase.GetEngineeringManager();
  pemar::IPemarBaseObject* project =
      m->AddEngObject(name, pemar::test_support::kScenarioProjectType, 0);
  m->RemoveEngObject(project);
  return pemar::AsPemarProject(project);
}

// A viewer with "Base case" (designs D1, D2) and "Retrofit" (R1).
DesignViewerProject* AddViewer(SimulationCase& theCase, const char* name,
                               pemar::IPemarProject* project) {
  auto* viewer =
      new DesignViewerProject(&theCase, Text(name), Text("Base case"), project);
  viewer->GetScenario(0)->AddDesignEntry(Text("D1"));
  viewer->GetScenario(0)->AddDesignEntry(Text("D2"));
  viewer->AddScenEntry(Text("Retrofit"));
  viewer->GetScenario(1)->AddDesignEntry(Text("R1"));
  return viewer;
}

bool WriteSeed(pemar::MemoryFileSystem& fs, const std::string& folder,
               const char* name,
               const std::function<void(SimulationCase&)>& fill) {
  SimulationCase theCase(Text("SIM"), nullptr);
  theCase.SetFileName(Text("/seed.kcs"));
  fill(theCase);
  if (!theCase.SaveDocument(0)) return false;
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out << fs.GetFile("/seed.kcs");
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  pemar::ResetConfigStore();
  pemar::SetCommandLine(Text("make_design_viewer_seeds"));
  pemar::test_support::ScenarioProject::RegisterType();
  pemar::DiscardingMessageSink sink;
  pemar::ScopedMessageSink scoped_sink(&sink);
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  const std::string folder = argv[1];
  bool ok =
      WriteSeed(fs, folder, "viewer.kcs",
                [](SimulationCase& c) {
                  AddViewer(c, "Viewer", AddProject(c, "Crude unit"));
                }) &&
      WriteSeed(fs, folder, "no_project.kcs",
                [](SimulationCase& c) { AddViewer(c, "Viewer", nullptr); }) &&
      WriteSeed(fs, folder, "two_viewers.kcs", [](SimulationCase& c) {
        DesignViewerProject* first =
            AddViewer(c, "First", AddProject(c, "Crude unit"));
        DesignViewerProject* second =
            AddViewer(c, "Second", AddProject(c, "Vacuum unit"));
        // A design listed by two scenarios, an entry beyond the project's
        // scenarios, and a scenario view taken off its list.
        second->GetScenario(1)->AddDesignEntry(
            first->GetScenario(0)->GetDesign(1));
        first->AddScenEntry(Text("Extra"));
        second->RemoveScEntry(0);
      });
  return ok ? 0 : 1;
}
