// The main of a round-trip fuzz target built without libFuzzer. Given files
// and folders, it replays them (see Replay.h). Given --generated=N, it runs
// N programs made up by RunGeneratedRoundTripProgram from the target's
// families, so that every test run covers broad random programs, not only
// the stored seeds. Program i is made from the seed plus i; the seed is
// kDefaultSeed unless the environment variable PEMAR_ROUND_TRIP_SEED gives
// another (decimal, or hexadecimal with 0x).
//
// When a made-up program fails (a failed round trip aborts; a crash or a
// sanitizer report ends the process too), the seed, the program's number
// and its bytes in hex are printed first: `xxd -r -p` turns the bytes into
// a file that replays the failure and can be kept as a seed.

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/Replay.h"
#include "fuzz/RoundTripProgram.h"

#if defined(__SANITIZE_ADDRESS__)
#define PEMAR_FUZZ_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PEMAR_FUZZ_SANITIZED 1
#endif
#endif
#ifdef PEMAR_FUZZ_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr std::uint64_t kDefaultSeed = 20240611;

// The program being run, for the failure note.
std::uint64_t g_seed = 0;
long g_index = -1;
const std::vector<std::uint8_t>* g_program = nullptr;

// Prints the note without allocating: it may run in a signal handler.
void PrintFailedProgram() {
  if (g_program == nullptr) return;
  char line[160];
  std::snprintf(line, sizeof line,
                "\nmade-up program %ld of seed %llu "
                "(PEMAR_ROUND_TRIP_SEED=%llu) failed; its %zu bytes:\n",
                g_index, static_cast<unsigned long long>(g_seed),
                static_cast<unsigned long long>(g_seed), g_program->size());
  std::fputs(line, stderr);
  static constexpr char kHex[] = "0123456789abcdef";
  char hex[65];
  std::size_t n = 0;
  for (std::uint8_t byte : *g_program) {
    hex[n++] = kHex[byte >> 4];
    hex[n++] = kHex[byte & 15];
    if (n == 64) {
      hex[n] = '\0';
      std::fputs(hex, stderr);
      std::fputc('\n', stderr);
      n = 0;
    }
  }
  hex[n] = '\0';
  std::fputs(hex, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  g_program = nullptr;
}

extern "C" void OnFatalSignal(int signal) {
  PrintFailedProgram();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void WatchForFailures() {
  for (int signal : {SIGABRT, SIGSEGV, SIGFPE, SIGILL}) {
    std::signal(signal, OnFatalSignal);
  }
#ifdef PEMAR_FUZZ_SANITIZED
  __sanitizer_set_death_callback(PrintFailedProgram);
#endif
}

bool ParseSeed(const char* text, std::uint64_t* seed) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (end == text || *end != '\0') return false;
  *seed = value;
  return true;
}

int RunGenerated(const char* count_text) {
  char* end = nullptr;
  const long count = std::strtol(count_text, &end, 10);
  if (end == count_text || *end != '\0' || count <= 0) {
    std::fprintf(stderr, "--generated needs a positive count\n");
    return 2;
  }
  std::uint64_t seed = kDefaultSeed;
  if (const char* text = std::getenv("PEMAR_ROUND_TRIP_SEED")) {
    if (!ParseSeed(text, &seed)) {
      std::fprintf(stderr, "PEMAR_ROUND_TRIP_SEED is no number: %s\n", text);
      return 2;
    }
  }
  WatchForFailures();
  g_seed = seed;
  std::vector<std::uint8_t> program;
  for (long i = 0; i < count; ++i) {
    program.clear();
    g_index = i;
    g_program = &program;
    pemar::fuzz::RunGeneratedRoundTripProgram(
        seed + static_cast<std::uint64_t>(i), pemar::fuzz::kTargetFamilies,
        &program);
  }
  g_program = nullptr;
  std::printf("ran %ld made-up programs of seed %llu\n", count,
              static_cast<unsigned long long>(seed));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  static constexpr char kGenerated[] = "--generated=";
  if (argc == 2 &&
      std::strncmp(argv[1], kGenerated, sizeof kGenerated - 1) == 0) {
    return RunGenerated(argv[1] + sizeof kGenerated - 1);
  }
  return pemar::fuzz::ReplayInputs(argc - 1, argv + 1);
}
