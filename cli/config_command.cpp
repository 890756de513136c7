// pemar config: the program configuration that this command line selects,
// the installation folders the registry gives, and the size of the
// component name map.
//
// The switches --plexa, --frakto and --molara3 reach the configuration as
// part of the command line, exactly as a suite program's own switches do:
// the configuration finds "-plexa" in "--plexa".

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Registry.h"
#include "pemar/config/CompNameMap.h"
#include "pemar/config/InstallationFolders.h"
#include "pemar/config/ProgramConfiguration.h"

namespace pemar::cli {
namespace {

struct ConfigOptions {
  bool plexa = false;
  bool frakto = false;
  bool molara3 = false;
  std::string kelvar_value = "InstallDir";
  bool json = false;
};

std::vector<std::string> Strings(const std::vector<Text>& texts) {
  return {texts.begin(), texts.end()};
}

// The folder, or null when the registry does not have it.
nlohmann::ordered_json Folder(bool found, const char* buffer) {
  return found ? nlohmann::ordered_json(buffer)
               : nlohmann::ordered_json(nullptr);
}

int RunConfig(const ConfigOptions& o) {
  ProgramConfiguration config;
  config.SetupConfig("");
  char common[4096];
  char kelvar[4096];
  const bool has_common = GetCommonFilesDir(common, sizeof common);
  const bool has_kelvar =
      GetKELVARDir(o.kelvar_value.c_str(), kelvar, sizeof kelvar);

  nlohmann::ordered_json j;
  j["configuration"] = config._get_ConfigurationName();
  j["features"] = Strings(config._get_EnabledFeatureList());
  j["managers"] = Strings(config.GetKeywordList("MANAGERS"));
  j["required_libraries"] = Strings(config.GetKeywordList("REQUIREDDLLS"));
  j["common_files_folder"] = Folder(has_common, common);
  j["kelvar_folder"] = Folder(has_kelvar, kelvar);
  j["component_names"] = getMyORVEXCompNameDict()->size();
  if (o.json) {
    std::cout << j.dump(2) << "\n";
    return kExitOk;
  }
  auto list = [](const char* title, const nlohmann::ordered_json& items) {
    std::cout << title << " (" << items.size() << "):\n";
    for (const auto& item : items) {
      std::cout << "  " << item.get<std::string>() << "\n";
    }
  };
  std::cout << "configuration: " << j["configuration"].get<std::string>()
            << "\n";
  list("enabled features", j["features"]);
  list("managers", j["managers"]);
  list("required libraries", j["required_libraries"]);
  std::cout << "common files folder: "
            << (has_common ? common : "(not in the registry)") << "\n"
            << "thermodynamics folder (" << o.kelvar_value
            << "): " << (has_kelvar ? kelvar : "(not in the registry)") << "\n"
            << "component name map: " << j["component_names"].get<std::size_t>()
            << " names\n";
  return kExitOk;
}

CommandRegistration config_registration(600, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "config",
      "The program configuration for this command line: name, enabled "
      "features, managers and required libraries; the installation folders "
      "from the registry; the size of the component name map");
  auto o = std::make_shared<ConfigOptions>();
  auto* plexa = cmd->add_flag("--plexa", o->plexa,
                              "As the heat-integration product is started");
  auto* frakto = cmd->add_flag("--frakto", o->frakto,
                               "As the separation-technology product is "
                               "started");
  auto* molara3 = cmd->add_flag("--molara3", o->molara3,
                                "As the thermodynamics workbench is started");
  plexa->excludes(frakto)->excludes(molara3);
  frakto->excludes(molara3);
  cmd->add_option("--kelvar-value", o->kelvar_value,
                  "The value of the thermodynamics package's registry key "
                  "to show")
      ->capture_default_str();
  cmd->add_flag("--json", o->json, "Print as JSON");
  cmd->callback([o, &exit_code] { exit_code = RunConfig(*o); });
});

}  // namespace
}  // namespace pemar::cli
