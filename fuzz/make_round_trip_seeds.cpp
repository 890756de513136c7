// Writes the seeds of the round-trip fuzz targets into their corpus folders
// (fuzz/corpus/<target>/), or, with --check (a ctest), checks that the
// stored seeds are these and still do what they were made for:
//
//   cmake --build build/dev --target make_round_trip_seeds
//   build/dev/fuzz/make_round_trip_seeds fuzz/corpus
//   build/dev/fuzz/make_round_trip_seeds --check fuzz/corpus
//
// A seed is written as its operations, each an operation code and the
// argument bytes that operation reads (RoundTripProgram.cpp). Running a
// seed must run exactly these operations in this order, which catches
// argument bytes that no longer line up. A seed kept for a case that once
// failed its round trip also names the state it must reach, checked after
// each operation: a seed whose operations change meaning would no longer
// test that case.
//
// Seeds not listed here (the random programs mixed*.bin of
// feature_operations) are left alone.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/RoundTripProgram.h"
#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/diag/PlotView.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace {

using namespace pemar::fuzz;  // the operation codes and families
using pemar::SimulationCase;

// What a seed must reach: true once the case, after an operation of code
// `code`, is in the state the seed was made for.
using Goal = std::function<bool(OperationCode code, SimulationCase& theCase)>;

struct Seed {
  const char* target;
  const char* file;
  unsigned families;
  std::vector<std::vector<std::uint8_t>> operations;
  Goal goal;  // empty: running the operations is enough
};

pemar::IDefaultUtilityManager* Database(SimulationCase& theCase) {
  pemar::DefaultUtilManagerView* view = theCase.UtilityDatabaseView(false);
  return view != nullptr ? view->GetDatabase() : nullptr;
}

pemar::DefaultUtility* Utility(SimulationCase& theCase, const char* name) {
  pemar::IDefaultUtilityManager* db = Database(theCase);
  for (int i = 0; db != nullptr && i < db->GetNumberOfDefaultUtilities(); ++i) {
    pemar::DefaultUtility* u = db->GetDefaultUtility(i);
    if (u != nullptr && std::strcmp(u->GetUtilityName(), name) == 0) return u;
  }
  return nullptr;
}

int Projects(SimulationCase& theCase) {
  return theCase.GetEngineeringManager()->GetProjectSize(
      pemar::kNotesProjectType);
}

int MostNotes(SimulationCase& theCase) {
  int most = 0;
  for (int i = 0; i < Projects(theCase); ++i) {
    pemar::IPemarBaseObject* object = nullptr;
    theCase.GetEngineeringManager()->GetProjectByNum(
        i, pemar::kNotesProjectType, &object);
    if (pemar::IPemarProject* project = pemar::AsPemarProject(object)) {
      most = std::max(most, project->GetNumberOfNotes());
    }
  }
  return most;
}

std::size_t Reports(SimulationCase& theCase) {
  auto* manager =
      dynamic_cast<pemar::BugReportManager*>(theCase.BugReportManagerObject());
  return manager != nullptr ? manager->Reports().size() : 0;
}

std::size_t PlotViews(SimulationCase& theCase) {
  return theCase.GetObjectManager().Objects(pemar::PlotViewObjectType()).size();
}

// Goals, each checked on the case just reopened.
Goal AfterRoundTrip(std::function<bool(SimulationCase&)> state) {
  return [state](OperationCode code, SimulationCase& theCase) {
    return code == kRoundTrip && state(theCase);
  };
}

const std::vector<Seed>& Seeds() {
  static const std::vector<Seed> seeds = {
      {"case_operations", "empty.bin", kCaseFamily, {}, nullptr},
      {"case_operations",
       "projects_notes.bin",
       kCaseFamily,
       {{kAddProject, 1, 0},
        {kAddNote, 0},
        {kAddNote, 0},
        {kSetNoteText, 0, 0, 0, 3, 0, 1, 2},
        {kSetNoteText, 0, 0, 2, 2, 7, 0},
        {kSetProjectText, 0, 1, 3, 0, 1, 2},
        {kRoundTrip},
        {kRenameProject, 0, 2, 2, 0},
        {kAskNoteTitle, 0, 1, 0},
        {kSetCaseText, 0, 4, 0, 1, 5, 3},
        {kSetCaseText, 1},
        {kRoundTrip},
        {kDeleteNote, 0, 0},
        {kDeleteProject, 0}},
       AfterRoundTrip([](SimulationCase& c) { return MostNotes(c) == 2; })},
      {"case_operations",
       "two_projects_view.bin",
       kCaseFamily,
       {{kAddProject, 1, 1},
        {kAddProject, 2, 0, 2},
        {kAddProject, 1, 1},
        {kSetProjectText, 1, 0, 4, 0, 1, 2, 3},
        {kAddNote, 9},
        {kRoundTrip},
        {kAddNote, 1},
        {kSetNoteText, 1, 0, 1, 5, 0, 1, 2, 3, 4},
        {kRoundTrip},
        {kSetCaseText, 2},
        {kRoundTrip},
        {kSetCaseText, 2},
        {kSetCaseText, 0, 3, 5, 6, 7},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) { return Projects(c) >= 2; })},

      {"utility_operations", "empty.bin", kUtilityFamily, {}, nullptr},
      {"utility_operations",
       "economics.bin",
       kUtilityFamily,
       {{kAddEconomicSet, 0, 1, 0},
        {kSetEconomicValue, 0, 5, 1},
        {kSetEconomicValue, 5, 24, 0, 1, 0},
        {kLockEconomics, 1},
        {kRoundTrip},
        {kLockEconomics, 0},
        {kReplaceEconomics, 2, 2, 1, 1, 5, 1, 2, 6},
        {kReplaceEconomics, 0, 20, 21, 4},
        {kReplaceEconomics, 1, 5, 1},
        {kRoundTrip},
        {kDeleteEconomicSet, 0, 1, 1},
        {kRoundTrip}},
       nullptr},
      {"utility_operations",
       "fuel.bin",
       kUtilityFamily,
       {{kSetTracking, 1},
        {kRenameUtility, 21, 31},
        {kApplyGlobalFuel, 1},
        {kRoundTrip},
        {kChangeUtilityFuel, 0, 0, 14},
        {kChangeUtilityFuel, 1, 1, 1},
        {kSetDataSource, 3},
        {kSetUserFactor, 11},
        {kApplyGlobalFuel, 0},
        {kRoundTrip},
        {kSetTracking, 0},
        {kApplyGlobalFuel, 1},
        {kAddFuelSource, 0, 2, 0, 1, 9},
        {kSwapDatabase},
        {kRoundTrip},
        {kSwapDatabase},
        {kRoundTrip}},
       nullptr},
      {"utility_operations",
       "htc.bin",
       kUtilityFamily,
       {{kEditHTC, 0, 0, 1, 0, 2, 0, 1, 6},
        {kEditHTC, 2, 0, 0, 0, 10},
        {kEditHTC, 3, 1, 1, 2, 0, 0},
        {kEditHTC, 4, 2, 0, 3, 1, 2, 3, 0},
        {kSetMode, 1},
        {kRoundTrip},
        {kEditHTC, 1, 0, 0, 0, 0},
        {kSetMode, 0},
        {kRoundTrip}},
       nullptr},
      // Every utility removed: the reopened database must stay empty, not
      // fall back to the built-in utilities.
      {"utility_operations", "remove_all_utilities.bin", kUtilityFamily,
       std::vector<std::vector<std::uint8_t>>(22, {kRemoveUtility, 1}),
       AfterRoundTrip([](SimulationCase& c) {
         pemar::IDefaultUtilityManager* db = Database(c);
         return db != nullptr && db->GetNumberOfDefaultUtilities() == 0;
       })},
      // A composition set by hand on a steam utility (one component "A")
      // must survive the reopen.
      {"utility_operations",
       "steam_composition.bin",
       kUtilityFamily,
       {{kSetComposition, 1, 1, 1, 1, 24}},
       AfterRoundTrip([](SimulationCase& c) {
         const pemar::DefaultUtility* steam = Utility(c, "LP Steam");
         return steam != nullptr && steam->GetComponentCount() == 1 &&
                std::strcmp(steam->GetComponentName(0), "A") == 0;
       })},
      // Carbon tracking switched on before a data source was chosen: the
      // case is saved and reopened in that state.
      {"utility_operations",
       "tracking_without_source.bin",
       kUtilityFamily,
       {{kSetTracking, 1},
        {kRoundTrip},
        {kSetDataSource, 2},
        {kSelectFuel, 31},
        {kRoundTrip},
        {kSetTracking, 0},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) {
         pemar::DefaultUtilManagerView* view = c.UtilityDatabaseView(false);
         return view != nullptr && view->IsCarbonTrackingEnabled() &&
                view->GetSelectedDataSource() < 0;
       })},
      {"utility_operations",
       "utilities.bin",
       kUtilityFamily,
       {{kAddUtility, 1, 0},
        {kSetUtilityValue, 0, 1, 0, 0, 6},
        {kSetUtilityValue, 0, 1, 0, 1, 5},
        {kCloneUtility, 0, 1, 0},
        {kSetExchangerType, 1, 1},
        {kSetComposition, 1, 2, 1, 0, 0, 1, 2, 24},
        {kRoundTrip},
        {kRenameUtility, 0, 1, 0, 0, 2, 0, 1},
        {kSetUtilityValue, 0, 2, 0, 1, 8, 14},
        {kRoundTrip},
        {kRestoreUtilities},
        {kRoundTrip}},
       nullptr},

      {"feature_operations",
       "empty.bin",
       kCaseFamily | kFeatureFamily,
       {},
       nullptr},
      {"feature_operations",
       "add_select_delete.bin",
       kCaseFamily | kFeatureFamily,
       {{kAddFeature, 0},
        {kAddFeature, 1},
        {kAddFeature, 2},
        {kAddFeature, 0},
        {kRenameProject, 12, 0},
        {kSetCaseText, 13},
        {kRenameProject, 1, 1, 18},
        {kSelectFeature, 1, 1, 1},
        {kSetTableRange, 0, 5, 7, 9},
        {kRoundTrip},
        {kDeleteFeature, 0, 0, 18}},
       AfterRoundTrip([](SimulationCase& c) {
         pemar::ExpMgrView* m = pemar::CaseFeatureManager(&c);
         return m != nullptr && m->AllInstances().size() >= 2;
       })},

      {"report_operations",
       "empty.bin",
       kCaseFamily | kReportFamily,
       {},
       nullptr},
      {"report_operations",
       "reports_edited.bin",
       kCaseFamily | kReportFamily,
       {{kMakeReportManager},
        {kNewReport},
        {kNewReport},
        {kSetReportText, 0, 4, 5, 0, 1, 2, 3, 0},
        {kSetReportChoice, 1, 1, 4},
        {kSetReportChoice, 0, 0, 2},
        {kSetReportChoice, 0, 2, 25},
        {kFillReport, 0},
        {kRoundTrip},
        {kWriteReport, 1},
        {kDeleteReport, 0},
        {kSetReportChoice, 0, 3, 1},
        {kSetReportText, 0, 5, 3, 0, 0, 1},
        {kRoundTrip},
        {kDropReportManager, 0},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) { return Reports(c) == 2; })},
      {"report_operations",
       "reports_with_projects.bin",
       kCaseFamily | kReportFamily,
       {{kAddProject, 2, 0, 1},
        {kMakeReportManager},
        {kNewReport},
        {kSetReportText, 0, 1, 4, 0, 1, 0, 1},
        {kSetProjectText, 0, 1, 3, 0, 1, 2},
        {kNewReport},
        {kSetReportText, 1, 0, 2, 6, 7},
        {kRoundTrip},
        {kDeleteReport, 1},
        {kNewReport},
        {kFillReport, 1},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) {
         return Reports(c) == 2 && Projects(c) == 1;
       })},

      {"plot_operations",
       "named_plots",
       kCaseFamily | kPlotFamily,
       {{kAddCurve, 3, 0, 1, 2, 0, 30, 12},
        {kAddNamedPlot, 0, 0, 1, 2, 0, 1, 1, 0},
        {kAddNamedPlot, 0, 2, 0, 0, 0},
        {kAddPlotView, 0, 3, 2, 0, 0, 2},
        {kRoundTrip},
        {kDeletePlotView, 0, 0},
        {kRoundTrip}},
       nullptr},
      {"plot_operations",
       "three_dim_rebuild",
       kCaseFamily | kPlotFamily,
       {{kAddCurve, 0, 5, 50, 9},
        {kAddPlotView, 0, 1, 0},
        {kAddPlotRecord, 0, 0, 0, 0, 1, 0, 2, 1, 2},
        {kAddNote, 19},
        {kAddProject, 1, 23},
        {kRebuildPlot, 0, 1},
        {kRoundTrip},
        {kRebuildPlot, 0, 0},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) { return PlotViews(c) == 1; })},
      {"plot_operations",
       "triangle_toggle",
       kCaseFamily | kPlotFamily,
       {{kAddCurve, 1, 0, 10, 100, 20},
        {kAddPlotView, 0, 2, 1, 1},
        {kAddPlotRecord, 0, 2, 2, 0, 1, 3, 4, 2, 0, 1, 2},
        {kAddProject, 13, 0},
        {kSetProjectText, 0, 3, 4, 0, 40, 1, 1},
        {kCommandPlotView, 0, 2},
        {kRoundTrip},
        {kCommandPlotView, 0, 0},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) { return PlotViews(c) == 1; })},
      {"plot_operations",
       "two_dim_curve",
       kCaseFamily | kPlotFamily,
       {{kAddCurve, 2, 0, 1, 26, 200, 13},
        {kAddPlotView, 0, 0, 1, 0},
        {kAddPlotRecord, 0, 0, 3, 0, 1, 2, 6, 1, 4, 0, 17, 0},
        {kAddProject, 1, 3},
        {kAddProject, 1, 2},
        {kSetPlotText, 0, 3, 2, 0},
        {kRoundTrip}},
       AfterRoundTrip([](SimulationCase& c) { return PlotViews(c) == 1; })},
  };
  return seeds;
}

std::string Bytes(const Seed& seed) {
  std::string bytes;
  for (const auto& operation : seed.operations) {
    bytes.append(operation.begin(), operation.end());
  }
  return bytes;
}

// Runs the seed; empty when it runs its operations and reaches its goal,
// else what went wrong.
std::string Check(const Seed& seed) {
  std::vector<OperationCode> ran;
  bool reached = !seed.goal;
  const std::string bytes = Bytes(seed);
  RunRoundTripProgram(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                      bytes.size(), seed.families,
                      [&](OperationCode code, SimulationCase& theCase) {
                        ran.push_back(code);
                        if (!reached && seed.goal(code, theCase))
                          reached = true;
                      });
  // The closing round trip is not the seed's.
  if (!ran.empty()) ran.pop_back();
  std::vector<OperationCode> listed;
  for (const auto& operation : seed.operations) {
    listed.push_back(static_cast<OperationCode>(operation.front()));
  }
  if (ran != listed) {
    return "runs " + std::to_string(ran.size()) + " operations, not the " +
           std::to_string(listed.size()) + " listed";
  }
  if (!reached) return "no longer reaches what it was made for";
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: make_round_trip_seeds [--check] FOLDER\n");
    return 2;
  }
  const std::string folder = argv[argc - 1];
  int failed = 0;
  for (const Seed& seed : Seeds()) {
    const std::string path =
        folder + "/" + seed.target + "/" + std::string(seed.file);
    const std::string problem = Check(seed);
    if (!problem.empty()) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.c_str());
      ++failed;
      continue;
    }
    const std::string bytes = Bytes(seed);
    if (check) {
      std::ifstream in(path, std::ios::binary);
      const std::string stored((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
        ++failed;
      } else if (stored != bytes) {
        std::fprintf(stderr, "%s: differs from the seed made here\n",
                     path.c_str());
        ++failed;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: could not be written\n", path.c_str());
      ++failed;
    }
  }
  std::printf("%s %zu seeds\n", check ? "checked" : "wrote", Seeds().size());
  return failed == 0 ? 0 : 1;
}
