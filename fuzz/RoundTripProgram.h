// Runs fuzz input as a program of public operations on a case in memory,
// and checks that the case survives its own save and reopen unchanged.
//
// Each operation is one byte (taken modulo the number of operations of the
// chosen families) followed by its arguments, each drawn from the next
// bytes; a program that runs out of bytes reads zeros. Names come from a
// three-letter alphabet so that programs hit existing names often; numbers
// from a table of telling values (bounds, the empty value, NaN, infinities)
// or from eight raw bytes.
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

#ifndef PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_
#define PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_

#include <cstddef>
#include <cstdint>

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

// `families` is a non-empty combination of OperationFamily. With
// kUtilityFamily the case starts with its utility database editor.
void RunRoundTripProgram(const std::uint8_t* data, std::size_t size,
                         unsigned families);

}  // namespace pemar::fuzz

#endif  // PEMAR_FUZZ_ROUNDTRIPPROGRAM_H_
