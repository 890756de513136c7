// Runs fuzz input as a program of public operations on a case in memory,
// and checks that the case survives its own save and reopen unchanged.
//
// Each operation is one byte, its code (OperationCode below), followed by
// its arguments, each drawn from the next bytes; a program that runs out of
// bytes reads zeros. A byte that is no code, or the code of an operation of
// a family the target does not use, is skipped. Codes are fixed, so that a
// stored program keeps its meaning when operations are added. Names come
// from a three-letter alphabet so that programs hit existing names often;
// numbers from a table of telling values (bounds, the empty value, NaN,
// infinities) or from eight raw bytes.
//
// A round trip saves the case through SaveDocument into a MemoryFileSystem,
// recalls the file into a fresh case and compares the two descriptions of
// DescribeCase (pemar/casereport/CaseDescription.h); the program goes on with
// the reopened case.
// One runs whenever the program asks and always at its end. A failed save,
// a failed reopen or a difference prints both case descriptions' first
// differing line and the messages of the save and recall, then aborts, so
// that libFuzzer records the input. With the environment variable
// PEMAR_ROUND_TRIP_SHOW set, each reopened case's description is printed.
//
// Programs can also be made up: RunGeneratedRoundTripProgram draws the
// operations of the families and random arguments from a seed, and keeps
// the bytes it drew, which replay as the same program.

#ifndef PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_
#define PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pemar {
class SimulationCase;
}

namespace pemar::fuzz {

// Families of operations a program may use.
enum OperationFamily : unsigned {
  // Projects, notes, the case's description and original name, making the
  // utility database editor.
  kCaseFamily = 1u << 0,
  // Utilities, heat-transfer-coefficient defaults, economic sets and
  // parameters, and the editor's fuel selection.
  kUtilityFamily = 1u << 1,
  // Feature instances: creating (the property table and the test features
  // of features/testing/FeatureTestSupport.h), filing under further lists,
  // choosing lists and selecting in the technology managers, deleting, and
  // changing a property table's range.
  kFeatureFamily = 1u << 2,
  // Problem reports: making the case's report manager, new reports, every
  // text and choice of a report, filling empty entries, writing a report
  // file, deleting a report or the whole manager.
  kReportFamily = 1u << 3,
  // Plots: saturation curves, plot views of every type in them (records
  // added and removed, labels, log axes, triangles toggled and flipped,
  // parameter sets, plots deleted and rebuilt), and named plots.
  kPlotFamily = 1u << 4,
};

// The operations by code. Each family has a range of codes; a new
// operation takes an unused code of its family's range, and no code ever
// changes its meaning.
enum OperationCode : std::uint8_t {
  // Every family, 0xf0 to 0xff: save and reopen now (at most eight times
  // a program). A round trip costs more than any other operation; its code
  // keeps away from the small values that a fuzzer's mutations make most,
  // which had most inputs save and reopen several times.
  kRoundTrip = 0xf0,

  // kCaseFamily, 0x10 to 0x1f.
  kAddProject = 0x10,
  kRenameProject = 0x11,
  kDeleteProject = 0x12,
  kSetProjectText = 0x13,
  kAddNote = 0x14,
  kDeleteNote = 0x15,
  kSetNoteText = 0x16,
  kAskNoteTitle = 0x17,
  kSetCaseText = 0x18,
  kMakeUtilityView = 0x19,

  // kUtilityFamily, 0x20 to 0x3f.
  kAddUtility = 0x20,
  kRenameUtility = 0x21,
  kRemoveUtility = 0x22,
  kCloneUtility = 0x23,
  kRestoreUtilities = 0x24,
  kSetUtilityValue = 0x25,
  kSetExchangerType = 0x26,
  kSetStreamType = 0x27,
  kSetMode = 0x28,
  kSetComposition = 0x29,
  kEditHTC = 0x2a,
  kAddEconomicSet = 0x2b,
  kDeleteEconomicSet = 0x2c,
  kSetEconomicValue = 0x2d,
  kLockEconomics = 0x2e,
  kReplaceEconomics = 0x2f,
  kSetTracking = 0x30,
  kSetDataSource = 0x31,
  kSelectFuel = 0x32,
  kSetUserFactor = 0x33,
  kChangeUtilityFuel = 0x34,
  kApplyGlobalFuel = 0x35,
  kResetFuel = 0x36,
  kAddFuelSource = 0x37,
  kSwapDatabase = 0x38,

  // kFeatureFamily, 0x40 to 0x4f.
  kAddFeature = 0x40,
  kFileFeature = 0x41,
  kChooseList = 0x42,
  kSelectFeature = 0x43,
  kDeleteFeature = 0x44,
  kSetTableRange = 0x45,
  kDropFeatureManager = 0x46,

  // kReportFamily, 0x50 to 0x5f.
  kMakeReportManager = 0x50,
  kNewReport = 0x51,
  kSetReportText = 0x52,
  kSetReportChoice = 0x53,
  kFillReport = 0x54,
  kWriteReport = 0x55,
  kDeleteReport = 0x56,
  kDropReportManager = 0x57,

  // kPlotFamily, 0x60 to 0x6f.
  kAddCurve = 0x60,
  kAddPlotView = 0x61,
  kAddPlotRecord = 0x62,
  kRemovePlotRecord = 0x63,
  kSetPlotText = 0x64,
  kCommandPlotView = 0x65,
  kRebuildPlot = 0x66,
  kDeletePlotView = 0x67,
  kAddNamedPlot = 0x68,
};

// Told the code of each operation a program ran (skipped bytes aside), and
// kRoundTrip for the closing round trip, with the case as it then is: for
// tools that check what a stored program reaches.
using OperationObserver =
    std::function<void(OperationCode code, SimulationCase& theCase)>;

// `families` is a non-empty combination of OperationFamily. With
// kUtilityFamily the case starts with its utility database editor.
void RunRoundTripProgram(const std::uint8_t* data, std::size_t size,
                         unsigned families,
                         const OperationObserver& observer = nullptr);

// Runs a program made up from `seed`: 1 to 64 operations of `families` and
// round trips, drawn by the weights of the operation table (a few
// operations that need repeating to get far are drawn more often), with
// random argument bytes. Every byte the program reads is appended to
// `*program` as it is read, so after a failure it holds the program up to
// that point, and it replays as the same program.
void RunGeneratedRoundTripProgram(std::uint64_t seed, unsigned families,
                                  std::vector<std::uint8_t>* program);

// Each round-trip fuzz target defines the families its programs use.
extern const unsigned kTargetFamilies;

}  // namespace pemar::fuzz

#endif  // PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_
