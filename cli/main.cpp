// pemar: the command-line tool of the pemar library.

#include <algorithm>
#include <iostream>

#include "Registry.h"
#include "pemar/framework/FileSystem.h"

namespace pemar::cli {

std::vector<CommandEntry>& Commands() {
  static std::vector<CommandEntry> commands;
  return commands;
}

std::vector<DemoEntry>& DemoSteps() {
  static std::vector<DemoEntry> steps;
  return steps;
}

void PrintError(const std::string& message) {
  std::cerr << "pemar: " << message << "\n";
}

bool WriteOutputFile(const std::string& path, const std::string& data,
                     const std::string& what) {
  if (WriteFileAtomically(path, data.data(), data.size())) return true;
  PrintError("cannot write " + what + path +
             "; any previous file of that name is unchanged");
  return false;
}

}  // namespace pemar::cli

int main(int argc, char** argv) {
  using namespace pemar::cli;
  CLI::App app{
      "pemar: the common library of the process-engineering design suite, "
      "from the command line"};
  app.set_version_flag("--version",
                       std::string("pemar ") + PEMAR_VERSION_STRING);
  app.require_subcommand(1);
  // Options are written alike everywhere; on Windows CLI11 would otherwise
  // also take "/name" for an option, and so a path from the drive's root.
  // Subcommands inherit this when they are made, below.
  app.allow_windows_style_options(false);

  auto& commands = Commands();
  std::stable_sort(
      commands.begin(), commands.end(),
      [](const auto& a, const auto& b) { return a.order < b.order; });
  int exit_code = kExitOk;
  for (auto& command : commands) command.setup(app, exit_code);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int rc = app.exit(e);
    // Help and version are successes; every other parse error is misuse.
    return rc == 0 ? kExitOk : kExitUsage;
  }
  return exit_code;
}
