// Self-registration of the tool's subcommands and demo steps.
//
// Each cli/<name>_command.cpp defines a static CommandRegistration (and, when
// it has something to show, a DemoRegistration); main.cpp builds the
// application from them in order. Exit codes: 0 success, 1 the requested
// work failed, 2 wrong usage.

#ifndef PEMAR_CLI_REGISTRY_H_
#define PEMAR_CLI_REGISTRY_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace pemar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Adds a subcommand to `app`; its callback stores the exit code in
// `exit_code`.
using CommandSetup = std::function<void(CLI::App& app, int& exit_code)>;

// One step of `pemar demo`: writes to `out`, may create files in
// `work_dir`, returns true on success.
using DemoStep =
    std::function<bool(std::ostream& out, const std::string& work_dir)>;

struct CommandEntry {
  int order;
  CommandSetup setup;
};

struct DemoEntry {
  int order;
  std::string title;
  DemoStep step;
};

std::vector<CommandEntry>& Commands();
std::vector<DemoEntry>& DemoSteps();

struct CommandRegistration {
  CommandRegistration(int order, CommandSetup setup) {
    Commands().push_back({order, std::move(setup)});
  }
};

struct DemoRegistration {
  DemoRegistration(int order, std::string title, DemoStep step) {
    DemoSteps().push_back({order, std::move(title), std::move(step)});
  }
};

// Writes "pemar: " + message to standard error.
void PrintError(const std::string& message);

// Writes `data` to `path` atomically (a picture, a report). False, with
// "cannot write <what><path>" printed, when it cannot; a previous file of
// that name is then unchanged.
bool WriteOutputFile(const std::string& path, const std::string& data,
                     const std::string& what = "");

}  // namespace pemar::cli

#endif  // PEMAR_CLI_REGISTRY_H_
