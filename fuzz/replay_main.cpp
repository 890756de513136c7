// The main of a fuzz target built without libFuzzer: replays the files and
// folders of inputs it is given (see Replay.h).

#include "fuzz/Replay.h"

int main(int argc, char** argv) {
  return pemar::fuzz::ReplayInputs(argc - 1, argv + 1);
}
