// Runs arbitrary programs of plot operations (saturation curves, plot views
// of every type with their records, labels and commands, plots deleted and
// rebuilt, named plots) on a case in memory, saving and reopening it along
// the way: every reopened case, its plots' data sets and points included,
// must equal the case that was saved (see RoundTripProgram.h for the
// program's form). Seeds are in fuzz/corpus/plot_operations/.

#include <cstddef>
#include <cstdint>

#include "fuzz/RoundTripProgram.h"

const unsigned pemar::fuzz::kTargetFamilies =
    pemar::fuzz::kCaseFamily | pemar::fuzz::kPlotFamily;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::fuzz::RunRoundTripProgram(data, size, pemar::fuzz::kTargetFamilies);
  return 0;
}
