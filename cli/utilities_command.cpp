// pemar utilities, recommend, htc and fuels: the heat-integration utility
// database from the command line: the utility table with AR ranges, the
// utility that serves a process temperature, the heat-transfer-coefficient
// defaults and the fuel lists; saving and opening utility and coefficient
// sets. Without --open the database comes from the default files beside the
// program (DefaultUtilities.hud, DefaultCoefficients.htc,
// DefaultCapitalCost.dat, unless the configuration names others) and from
// the built-in tables where those are absent or unreadable.

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "Registry.h"
#include "pemar/diag/LadderSvg.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityDescription.h"
#include "pemar/utility/UtilityFiles.h"
#include "tooling/Format.h"
#include "tooling/UtilityJson.h"

namespace pemar::cli {
namespace {

using tooling::ShortNumber;

struct ManagerDeleter {
  void operator()(IDefaultUtilityManager* m) const {
    ReleaseDefaultUtilManager(m);
  }
};
using Database = std::unique_ptr<IDefaultUtilityManager, ManagerDeleter>;

std::string UtilityNumber(double value) { return ShortNumber(value, "-"); }

// The tool's default files, beside the program, unless the configuration
// names others.
void ConfigureDefaultFiles() {
  const struct {
    const char* key;
    const char* file;
  } defaults[] = {{"DefaultUtility", "DefaultUtilities.hud"},
                  {"DefaultHeatTranCoeff", "DefaultCoefficients.htc"},
                  {"DefaultCapitalCost", "DefaultCapitalCost.dat"}};
  for (const auto& d : defaults) {
    if (GetConfigString(d.key).IsEmpty()) SetConfigString(d.key, d.file);
  }
}

// The database the commands work on: the built-in defaults (or the default
// files, when configured), replaced by the set in `open` when given. Null,
// with the error already printed, when that set cannot be read.
Database LoadDatabase(const std::string& open, StoreRecallType type,
                      const char* what) {
  ConfigureDefaultFiles();
  Database db(CreateDefaultUtilManager());
  if (!open.empty() && !OpenUtilitySet(db.get(), open.c_str(), type)) {
    PrintError("cannot read the " + std::string(what) + " set " + open +
               ": the file is missing, damaged or holds another kind of set");
    return nullptr;
  }
  return db;
}

bool SaveDatabase(IDefaultUtilityManager* db, const std::string& save,
                  StoreRecallType type, const char* what) {
  if (save.empty() || SaveUtilitySet(db, save.c_str(), type)) return true;
  PrintError("cannot write the " + std::string(what) + " set " + save +
             "; any previous file of that name is unchanged");
  return false;
}

// The tool's JSON names the temperatures in full.
nlohmann::ordered_json UtilityJson(const DefaultUtility& u) {
  return tooling::UtilityJson(u, "inlet_temperature", "outlet_temperature");
}

void PrintUtilityTable(IDefaultUtilityManager* db, std::ostream& out) {
  char line[320];
  std::snprintf(line, sizeof line,
                "%-26s %-5s %8s %8s %9s %9s %6s %9s %12s %-16s %-14s %s\n",
                "name", "type", "inlet C", "outlet C", "AR low C", "AR high C",
                "dTmin", "HTC", "cost", "exchanger", "fuel", "CO2 factor");
  out << line;
  for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
    const DefaultUtility& u = *db->GetDefaultUtility(i);
    const char* name = u.GetUtilityName();
    std::snprintf(line, sizeof line,
                  "%-26s %-5s %8s %8s %9s %9s %6s %9s %12s %-16s %-14s %s\n",
                  name ? name : "", HeatTypeName(u.GetHeatType()),
                  UtilityNumber(u.GetInletTemperature()).c_str(),
                  UtilityNumber(u.GetOutletTemperature()).c_str(),
                  UtilityNumber(u.GetARTempLow()).c_str(),
                  UtilityNumber(u.GetARTempHigh()).c_str(),
                  UtilityNumber(u.GetDeltaTmin()).c_str(),
                  UtilityNumber(u.GetHeatTransferCoefficient()).c_str(),
                  UtilityNumber(u.GetUtilityCost()).c_str(),
                  u.GetExchangerType().c_str(), UtilityFuelName(u),
                  UtilityNumber(u.GetCO2EmissionFactor()).c_str());
    out << line;
  }
}

struct UtilitiesOptions {
  std::string open;
  std::string save;
  bool json = false;
  std::string svg;  // the utility ladder; utilities only
};

int RunUtilities(const UtilitiesOptions& o) {
  Database db = LoadDatabase(o.open, UtilitiesOnly, "utility");
  if (!db) return kExitFailed;
  if (!SaveDatabase(db.get(), o.save, UtilitiesOnly, "utility")) {
    return kExitFailed;
  }
  if (o.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
      list.push_back(UtilityJson(*db->GetDefaultUtility(i)));
    }
    std::cout << list.dump(2) << "\n";
  } else {
    PrintUtilityTable(db.get(), std::cout);
  }
  if (!o.svg.empty() && !WriteOutputFile(o.svg, RenderUtilityLadderSvg(*db))) {
    return kExitFailed;
  }
  return kExitOk;
}

struct RecommendOptions {
  double temperature = 0.0;
  bool hot = false;
  bool cold = false;
  std::string exchanger;
  bool cheapest = false;
  bool usable = false;
  std::string open;
  bool json = false;
};

int RunRecommend(const RecommendOptions& o) {
  if (o.hot == o.cold) {
    PrintError("give exactly one of --hot and --cold");
    return kExitUsage;
  }
  Database db = LoadDatabase(o.open, UtilitiesOnly, "utility");
  if (!db) return kExitFailed;
  const SegmentHeatType type = o.hot ? HotSegment : ColdSegment;
  std::vector<const DefaultUtility*> found;
  if (o.usable) {
    CVList list;
    db->GetUsableUtilList(o.temperature, type, &list);
    for (void* item : list) found.push_back(static_cast<DefaultUtility*>(item));
  } else {
    const char* name =
        o.cheapest ? db->GetMostEconomicalUtilityName(o.temperature, type)
                   : db->GetRecommendedUtilityName(
                         o.temperature, type,
                         o.exchanger.empty() ? nullptr : o.exchanger.c_str());
    for (int i = 0; name && i < db->GetNumberOfDefaultUtilities(); ++i) {
      const DefaultUtility* u = db->GetDefaultUtility(i);
      if (u->GetUtilityName() && std::string(u->GetUtilityName()) == name) {
        found.push_back(u);
        break;
      }
    }
  }
  if (found.empty()) {
    std::string message = std::string("no ") + HeatTypeName(type) +
                          " utility serves a process temperature of " +
                          UtilityNumber(o.temperature) + " C";
    if (!o.exchanger.empty()) {
      message += " with the exchanger type \"" + o.exchanger + "\"";
    }
    PrintError(message);
    return kExitFailed;
  }
  if (o.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const DefaultUtility* u : found) list.push_back(UtilityJson(*u));
    std::cout << (o.usable ? list.dump(2) : list[0].dump(2)) << "\n";
    return kExitOk;
  }
  for (const DefaultUtility* u : found) {
    std::cout << u->GetUtilityName() << " (AR "
              << UtilityNumber(u->GetARTempLow()) << " to "
              << UtilityNumber(u->GetARTempHigh()) << " C, cost "
              << UtilityNumber(u->GetUtilityCost()) << ", "
              << u->GetExchangerType().str() << ")\n";
  }
  return kExitOk;
}

int RunHtc(const UtilitiesOptions& o) {
  Database db = LoadDatabase(o.open, HeatTransferCoefficientsOnly,
                             "heat-transfer-coefficient");
  if (!db) return kExitFailed;
  if (!SaveDatabase(db.get(), o.save, HeatTransferCoefficientsOnly,
                    "heat-transfer-coefficient")) {
    return kExitFailed;
  }
  const int n = db->GetNumberOfHTCDefaultValues();
  if (o.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (int i = 0; i < n; ++i) {
      list.push_back({{"name", db->GetHTCDefaultValueName(i)},
                      {"value", db->GetHTCDefaultValue(i)},
                      {"note", db->GetHTCDefaultValueNote(i)}});
    }
    std::cout << list.dump(2) << "\n";
    return kExitOk;
  }
  char line[256];
  std::snprintf(line, sizeof line, "%-45s %12s  %s\n", "name", "HTC kW/m2K",
                "note");
  std::cout << line;
  for (int i = 0; i < n; ++i) {
    std::snprintf(line, sizeof line, "%-45s %12s  %s\n",
                  db->GetHTCDefaultValueName(i),
                  UtilityNumber(db->GetHTCDefaultValue(i)).c_str(),
                  db->GetHTCDefaultValueNote(i));
    std::cout << line;
  }
  return kExitOk;
}

int RunFuels(bool json) {
  nlohmann::ordered_json lists = nlohmann::ordered_json::array();
  int id = 0;
  for (int list = 0; list < 2; ++list) {
    std::size_t count = 0;
    const FuelTableEntry* entries = BuiltInFuelList(list, &count);
    nlohmann::ordered_json fuels = nlohmann::ordered_json::array();
    if (!json) std::cout << (list == 0 ? "" : "\n") << "list " << list << "\n";
    for (std::size_t i = 0; i < count; ++i, ++id) {
      if (json) {
        fuels.push_back(
            {{"id", id},
             {"name", entries[i].name},
             {"co2_emission_factor", entries[i].co2EmissionFactor}});
      } else {
        char line[128];
        std::snprintf(line, sizeof line, "%4d  %-42s %s\n", id, entries[i].name,
                      UtilityNumber(entries[i].co2EmissionFactor).c_str());
        std::cout << line;
      }
    }
    lists.push_back({{"list", list}, {"fuels", fuels}});
  }
  if (json) std::cout << lists.dump(2) << "\n";
  return kExitOk;
}

CommandRegistration utilities_registration(200, [](CLI::App& app,
                                                   int& exit_code) {
  auto* cmd = app.add_subcommand(
      "utilities", "Show the heating and cooling utility database");
  auto o = std::make_shared<UtilitiesOptions>();
  cmd->add_option("--open", o->open, "Read a saved utility set (.hud)");
  cmd->add_option("--save", o->save, "Write the utilities to a set file");
  cmd->add_flag("--json", o->json, "Print JSON");
  cmd->add_option("--svg", o->svg,
                  "Also draw the utility temperature ladder as SVG");
  cmd->callback([o, &exit_code] { exit_code = RunUtilities(*o); });
});

CommandRegistration recommend_registration(201, [](CLI::App& app,
                                                   int& exit_code) {
  auto* cmd = app.add_subcommand(
      "recommend", "The utility that serves a process temperature (C)");
  auto o = std::make_shared<RecommendOptions>();
  cmd->add_option("temperature", o->temperature,
                  "Process temperature in degrees Celsius")
      ->required();
  auto* hot = cmd->add_flag("--hot", o->hot, "A hot utility (heating)");
  auto* cold = cmd->add_flag("--cold", o->cold, "A cold utility (cooling)");
  hot->excludes(cold);
  auto* exchanger = cmd->add_option("--exchanger", o->exchanger,
                                    "Only utilities of this exchanger type");
  auto* cheapest =
      cmd->add_flag("--cheapest", o->cheapest, "The most economical one");
  auto* usable = cmd->add_flag("--usable", o->usable, "Every usable utility");
  cheapest->excludes(usable);
  exchanger->excludes(cheapest)->excludes(usable);
  cmd->add_option("--open", o->open, "Read a saved utility set (.hud)");
  cmd->add_flag("--json", o->json, "Print JSON");
  cmd->callback([o, &exit_code] { exit_code = RunRecommend(*o); });
});

CommandRegistration htc_registration(202, [](CLI::App& app, int& exit_code) {
  auto* cmd =
      app.add_subcommand("htc", "Show the heat-transfer-coefficient defaults");
  auto o = std::make_shared<UtilitiesOptions>();
  cmd->add_option("--open", o->open, "Read a saved coefficient set (.htc)");
  cmd->add_option("--save", o->save, "Write the coefficients to a set file");
  cmd->add_flag("--json", o->json, "Print JSON");
  cmd->callback([o, &exit_code] { exit_code = RunHtc(*o); });
});

CommandRegistration fuels_registration(203, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "fuels", "Show the two fuel lists with their CO2 emission factors");
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "Print JSON");
  cmd->callback([json, &exit_code] { exit_code = RunFuels(*json); });
});

DemoRegistration utilities_demo(
    200, "Utility database",
    [](std::ostream& out, const std::string& work_dir) {
      Database db(CreateDefaultUtilManager());
      PrintUtilityTable(db.get(), out);
      out << "\nRecommended utilities for a few process temperatures:\n";
      const struct {
        double t;
        SegmentHeatType type;
      } queries[] = {{100, HotSegment}, {200, HotSegment},  {500, HotSegment},
                     {40, ColdSegment}, {100, ColdSegment}, {-30, ColdSegment}};
      for (const auto& q : queries) {
        const char* name = db->GetRecommendedUtilityName(q.t, q.type, nullptr);
        const char* cheapest = db->GetMostEconomicalUtilityName(q.t, q.type);
        out << "  " << (q.type == HotSegment ? "heat " : "cool ")
            << UtilityNumber(q.t) << " C: " << (name ? name : "none")
            << " (cheapest: " << (cheapest ? cheapest : "none") << ")\n";
      }
      const std::string path = work_dir + "/utilities.hud";
      if (!SaveUtilitySet(db.get(), path.c_str(), UtilitiesOnly)) return false;
      Database reopened(CreateDefaultUtilManager());
      if (!OpenUtilitySet(reopened.get(), path.c_str(), UtilitiesOnly)) {
        return false;
      }
      out << "\nSaved and reopened " << path << ": "
          << reopened->GetNumberOfDefaultUtilities() << " utilities\n";
      const std::string ladder = work_dir + "/utility-ladder.svg";
      if (!WriteOutputFile(ladder, RenderUtilityLadderSvg(*db))) return false;
      out << "Picture: " << ladder << "\n";
      return true;
    });

}  // namespace
}  // namespace pemar::cli
