// Runs arbitrary programs of feature operations (creating, filing,
// selecting and deleting instances, changing property tables) on a case in
// memory, saving and reopening it along the way: every reopened case must
// equal the case that was saved (see RoundTripProgram.h for the program's
// form). Seeds are in fuzz/corpus/feature_operations/.

#include <cstddef>
#include <cstdint>

#include "fuzz/RoundTripProgram.h"

const unsigned pemar::fuzz::kTargetFamilies =
    pemar::fuzz::kCaseFamily | pemar::fuzz::kFeatureFamily;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::fuzz::RunRoundTripProgram(data, size, pemar::fuzz::kTargetFamilies);
  return 0;
}
