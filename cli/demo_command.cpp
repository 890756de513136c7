// pemar demo: a tour of the library on its built-in defaults.

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "Registry.h"

namespace pemar::cli {
namespace {

int RunDemo(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path work =
      dir.empty() ? std::filesystem::temp_directory_path(ec) / "pemar-demo"
                  : std::filesystem::path(dir);
  std::filesystem::create_directories(work, ec);
  if (ec) {
    PrintError("cannot create the demo folder " + work.string() + ": " +
               ec.message());
    return kExitFailed;
  }
  auto steps = DemoSteps();
  std::stable_sort(
      steps.begin(), steps.end(),
      [](const auto& a, const auto& b) { return a.order < b.order; });
  std::cout << "pemar demo (files in " << work.string() << ")\n";
  for (const auto& step : steps) {
    std::cout << "\n== " << step.title << " ==\n";
    if (!step.step(std::cout, work.string())) {
      PrintError("demo step failed: " + step.title);
      return kExitFailed;
    }
  }
  return kExitOk;
}

CommandRegistration demo_registration(1000, [](CLI::App& app, int& exit_code) {
  auto* cmd =
      app.add_subcommand("demo", "Tour the library on its built-in defaults");
  auto dir = std::make_shared<std::string>();
  cmd->add_option("--dir", *dir, "Folder for the files the demo writes");
  cmd->callback([dir, &exit_code] { exit_code = RunDemo(*dir); });
});

}  // namespace
}  // namespace pemar::cli
