// Runs arbitrary programs of problem-report operations, with the case's
// project and note operations, on a case in memory, saving and reopening it
// along the way: every reopened case must equal the case that was saved,
// every report field included (see RoundTripProgram.h for the program's
// form). Seeds are in fuzz/corpus/report_operations/.

#include <cstddef>
#include <cstdint>

#include "fuzz/RoundTripProgram.h"

const unsigned pemar::fuzz::kTargetFamilies =
    pemar::fuzz::kCaseFamily | pemar::fuzz::kReportFamily;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::fuzz::RunRoundTripProgram(data, size, pemar::fuzz::kTargetFamilies);
  return 0;
}
