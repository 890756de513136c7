// Replays a fuzz target over files and folders of inputs, without libFuzzer,
// so that every test run (with or without sanitizers) checks each seed and
// each crasher kept as a regression file.

#ifndef PEMAR_FUZZ_REPLAY_H_
#define PEMAR_FUZZ_REPLAY_H_

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

namespace pemar::fuzz {

// Feeds LLVMFuzzerTestOneInput every file of `paths` (folders are walked);
// prints how many ran. 0 when at least one ran and each could be read.
int ReplayInputs(int count, char** paths);

}  // namespace pemar::fuzz

#endif  // PEMAR_FUZZ_REPLAY_H_
