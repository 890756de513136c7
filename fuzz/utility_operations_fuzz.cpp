// Runs arbitrary programs of utility database and database editor
// operations (utilities, heat-transfer-coefficient defaults, economic sets,
// the fuel selection) on a case in memory, saving and reopening it along
// the way: every reopened case must equal the case that was saved (see
// RoundTripProgram.h for the program's form). Seeds are in
// fuzz/corpus/utility_operations/.

#include <cstddef>
#include <cstdint>

#include "fuzz/RoundTripProgram.h"

const unsigned pemar::fuzz::kTargetFamilies = pemar::fuzz::kUtilityFamily;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::fuzz::RunRoundTripProgram(data, size, pemar::fuzz::kTargetFamilies);
  return 0;
}
