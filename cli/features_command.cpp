// pemar features: the features this program registers, by technology, and
// whether the running configuration enables them.
//
// The switches --plexa, --frakto and --molara3 reach the configuration as
// part of the command line; a feature the configuration does not know is
// not registered at all.

#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "Registry.h"
#include "pemar/config/ProgramConfiguration.h"
#include "pemar/features/FeatureRegistry.h"
#include "tooling/CaseFeatures.h"

namespace pemar::cli {
namespace {

using tooling::RegisterToolFeatures;

struct FeaturesOptions {
  bool json = false;
  bool plexa = false;
  bool frakto = false;
  bool molara3 = false;
};

int RunFeatures(const FeaturesOptions& o) {
  RegisterToolFeatures();
  ProgramConfiguration* config = _get_theProgramConfiguration();
  nlohmann::ordered_json technologies = nlohmann::ordered_json::array();
  for (const Text& technology : FeatureTechnologies()) {
    nlohmann::ordered_json features = nlohmann::ordered_json::array();
    for (const Text& key : TechnologyFeatureList(technology.c_str())) {
      const FeatureInfo* info = FindFeatureInfo(key.c_str());
      if (info == nullptr) continue;  // the "All" entry
      features.push_back({{"key", key.str()},
                          {"display_name", info->display_name.str()},
                          {"enabled", config->IsConfigurationFeatureAvailable(
                                          key.c_str()) != 0}});
    }
    technologies.push_back(
        {{"technology", technology.str()}, {"features", features}});
  }
  const char* name = config->_get_ConfigurationName();
  if (o.json) {
    nlohmann::ordered_json j = {{"configuration", name ? name : ""},
                                {"technologies", technologies}};
    std::cout << j.dump(2) << "\n";
    return kExitOk;
  }
  std::cout << "configuration: " << (name ? name : "") << "\n";
  if (technologies.empty()) std::cout << "no features registered\n";
  for (const auto& t : technologies) {
    std::cout << t["technology"].get<std::string>() << "\n";
    for (const auto& f : t["features"]) {
      std::cout << "  " << f["key"].get<std::string>() << "  \""
                << f["display_name"].get<std::string>() << "\"  "
                << (f["enabled"].get<bool>() ? "enabled" : "not enabled")
                << "\n";
    }
  }
  return kExitOk;
}

CommandRegistration features_registration(350, [](CLI::App& app,
                                                  int& exit_code) {
  auto o = std::make_shared<FeaturesOptions>();
  auto* cmd = app.add_subcommand("features",
                                 "List the registered features by technology");
  cmd->add_flag("--json", o->json, "Print JSON");
  cmd->add_flag("--plexa", o->plexa, "As the heat-integration product");
  cmd->add_flag("--frakto", o->frakto, "As the separation product");
  cmd->add_flag("--molara3", o->molara3, "As the thermodynamics workbench");
  cmd->callback([o, &exit_code] { exit_code = RunFeatures(*o); });
});

}  // namespace
}  // namespace pemar::cli
