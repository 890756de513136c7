// pemar steam: water and steam properties after IFC-67 at one state, or at
// many states read as CSV.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Pictures.h"
#include "Registry.h"
#include "tooling/SteamPoint.h"

namespace pemar::cli {
namespace {

using tooling::kSteamPhaseUndecided;
using tooling::PhaseName;
using tooling::SteamNumber;
using tooling::SteamPoint;
using tooling::SteamProblem;

constexpr int kUndecided = kSteamPhaseUndecided;

SteamPoint Evaluate(double t, double p, int hint) {
  return tooling::EvaluateSteam(t, p, hint);
}

nlohmann::json ToJson(const std::optional<double>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

int RunPoint(double t, double p, int hint, bool json) {
  const SteamPoint point = Evaluate(t, p, hint);
  const std::string problem = SteamProblem(point);
  if (!problem.empty()) {
    PrintError(problem);
    return kExitFailed;
  }
  if (json) {
    nlohmann::json j = {
        {"temperature", t},
        {"pressure", p},
        {"phase", hint == kUndecided ? nlohmann::json(nullptr)
                                     : nlohmann::json(PhaseName(hint))},
        {"subregion", point.subregion},
        {"molar_volume", ToJson(point.molar_volume)},
        {"molar_enthalpy", ToJson(point.molar_enthalpy)},
        {"saturation_pressure", ToJson(point.saturation_pressure)},
        {"boiling_temperature", ToJson(point.boiling_temperature)}};
    std::cout << j.dump(2) << "\n";
    return kExitOk;
  }
  std::cout << "temperature          " << SteamNumber(t) << " K\n"
            << "pressure             " << SteamNumber(p) << " kPa\n"
            << "phase                "
            << (hint == kUndecided ? "not given" : PhaseName(hint)) << "\n"
            << "sub-region           " << point.subregion << "\n"
            << "molar volume         " << SteamNumber(point.molar_volume)
            << " m3/kmol\n"
            << "molar enthalpy       " << SteamNumber(point.molar_enthalpy)
            << " kJ/kmol\n"
            << "saturation pressure  " << SteamNumber(point.saturation_pressure)
            << " kPa at " << SteamNumber(t) << " K\n"
            << "boiling temperature  " << SteamNumber(point.boiling_temperature)
            << " K at " << SteamNumber(p) << " kPa\n";
  return kExitOk;
}

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitCsvFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(Trim(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

// A finite number filling the whole field.
bool ParseNumber(std::string_view field, double* value) {
  if (field.empty()) return false;
  const std::string text(field);
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(*value);
}

bool ParsePhase(std::string_view field, int* hint) {
  if (field.empty()) {
    *hint = kUndecided;
  } else if (field == "vapour") {
    *hint = 0;
  } else if (field == "liquid") {
    *hint = 1;
  } else {
    return false;
  }
  return true;
}

// Reads rows "temperature,pressure[,phase]" from `in` and writes one CSV row
// per readable input row. Rows that cannot be read are reported with their
// line number; any such row makes the result kExitFailed. The states read
// are added to `states`.
int RunCsv(std::istream& in, const std::string& source,
           std::vector<SteamState>* states) {
  std::cout << "temperature,pressure,phase,subregion,molar_volume,"
               "molar_enthalpy,saturation_pressure,boiling_temperature\n";
  std::string line;
  long number = 0;
  bool first_row = true;
  bool all_read = true;
  while (std::getline(in, line)) {
    ++number;
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty()) continue;
    const std::vector<std::string_view> fields = SplitCsvFields(trimmed);
    double t = 0.0;
    double p = 0.0;
    int hint = kUndecided;
    const bool is_first = first_row;
    first_row = false;
    std::string problem;
    if (fields.size() < 2 || fields.size() > 3) {
      problem = "expected temperature,pressure[,phase], found " +
                std::to_string(fields.size()) + " fields";
    } else if (!ParseNumber(fields[0], &t)) {
      // A first row that does not start with a number is a header.
      if (is_first) continue;
      problem =
          "temperature \"" + std::string(fields[0]) + "\" is not a number";
    } else if (!ParseNumber(fields[1], &p)) {
      problem = "pressure \"" + std::string(fields[1]) + "\" is not a number";
    } else if (fields.size() == 3 && !ParsePhase(fields[2], &hint)) {
      problem = "phase \"" + std::string(fields[2]) +
                "\" is neither vapour nor liquid";
    }
    if (!problem.empty()) {
      PrintError(source + " line " + std::to_string(number) + ": " + problem);
      all_read = false;
      continue;
    }
    const SteamPoint point = Evaluate(t, p, hint);
    states->push_back({t, p});
    std::cout << SteamNumber(t) << ',' << SteamNumber(p) << ','
              << PhaseName(hint) << ',' << point.subregion << ','
              << SteamNumber(point.molar_volume) << ','
              << SteamNumber(point.molar_enthalpy) << ','
              << SteamNumber(point.saturation_pressure) << ','
              << SteamNumber(point.boiling_temperature) << '\n';
  }
  if (in.bad()) {
    PrintError("cannot read " + source);
    return kExitFailed;
  }
  return all_read ? kExitOk : kExitFailed;
}

int RunCsvSource(const std::string& path, std::vector<SteamState>* states) {
  if (path.empty() || path == "-") {
    return RunCsv(std::cin, "standard input", states);
  }
  std::ifstream file(path);
  if (!file) {
    PrintError("cannot open " + path + " for reading");
    return kExitFailed;
  }
  return RunCsv(file, path, states);
}

// The chart of the states, when asked for and the command succeeded; a
// picture that cannot be written fails the command.
int WithChart(int code, const std::string& svg,
              const std::vector<SteamState>& states) {
  if (code != kExitOk || svg.empty()) return code;
  return WriteOutputFile(svg, SteamChartSvg(states)) ? kExitOk : kExitFailed;
}

struct SteamOptions {
  double temperature = 0.0;
  double pressure = 0.0;
  std::string phase;
  bool json = false;
  std::string csv;
  std::string svg;
};

CommandRegistration steam_registration(400, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "steam",
      "Water and steam properties after IFC-67: sub-region, molar volume "
      "and enthalpy, saturation pressure and boiling temperature");
  auto options = std::make_shared<SteamOptions>();
  auto* t = cmd->add_option("--temperature", options->temperature,
                            "Temperature in K");
  auto* p = cmd->add_option("--pressure", options->pressure, "Pressure in kPa");
  auto* phase = cmd->add_option("--phase", options->phase,
                                "Phase near saturation: vapour or liquid")
                    ->check(CLI::IsMember({"vapour", "liquid"}));
  auto* json = cmd->add_flag("--json", options->json, "Print as JSON");
  auto* csv = cmd->add_option("--csv", options->csv,
                              "Evaluate rows temperature,pressure[,phase] "
                              "(K, kPa) from FILE or standard input and "
                              "write CSV")
                  ->expected(0, 1)
                  ->type_name("[FILE]");
  csv->excludes(t)->excludes(p)->excludes(phase)->excludes(json);
  cmd->add_option("--svg", options->svg,
                  "Also draw the states on a pressure-temperature chart "
                  "(saturation curve, critical point, 2/3 boundary) as SVG");
  cmd->callback([options, t, p, csv, &exit_code] {
    std::vector<SteamState> states;
    if (csv->count() > 0) {
      exit_code =
          WithChart(RunCsvSource(options->csv, &states), options->svg, states);
      return;
    }
    if (t->count() == 0 || p->count() == 0) {
      PrintError("steam needs --temperature and --pressure, or --csv");
      exit_code = kExitUsage;
      return;
    }
    const int hint = options->phase == "vapour"   ? 0
                     : options->phase == "liquid" ? 1
                                                  : kUndecided;
    states.push_back({options->temperature, options->pressure});
    exit_code = WithChart(
        RunPoint(options->temperature, options->pressure, hint, options->json),
        options->svg, states);
  });
});

DemoRegistration steam_demo(
    400, "Steam properties", [](std::ostream& out, const std::string& dir) {
      struct Example {
        double t, p;
        int hint;
        const char* what;
      };
      const Example examples[] = {
          {300.0, 101.325, 1, "cold water"},
          {373.15, 101.325, 1, "boiling water"},
          {373.15, 101.325, 0, "steam over it"},
          {773.15, 800.0, 0, "superheated steam"},
          {700.0, 50000.0, 0, "supercritical fluid"},
          {640.0, 25000.0, 1, "hot compressed water"},
      };
      out << "Molar volume and enthalpy after IFC-67 (enthalpy zero point: "
             "liquid at the triple point is -287436 kJ/kmol).\n";
      char line[160];
      std::snprintf(line, sizeof line, "%-22s %8s %9s %3s %12s %13s\n", "",
                    "T [K]", "p [kPa]", "sub", "v [m3/kmol]", "h [kJ/kmol]");
      out << line;
      for (const Example& e : examples) {
        const SteamPoint point = Evaluate(e.t, e.p, e.hint);
        if (!point.molar_volume || !point.molar_enthalpy) return false;
        std::snprintf(line, sizeof line,
                      "%-22s %8.2f %9.3f %3d %12.6g %13.2f\n", e.what, e.t, e.p,
                      point.subregion, *point.molar_volume,
                      *point.molar_enthalpy);
        out << line;
      }
      const SteamPoint boiling = Evaluate(373.15, 101.325, 1);
      out << "Saturation pressure at 373.15 K: "
          << SteamNumber(boiling.saturation_pressure)
          << " kPa; boiling temperature at 101.325 kPa: "
          << SteamNumber(boiling.boiling_temperature) << " K\n";
      std::vector<SteamState> states;
      for (const Example& e : examples) states.push_back({e.t, e.p});
      const std::string chart = dir + "/steam-chart.svg";
      if (!WriteOutputFile(chart, SteamChartSvg(states))) return false;
      out << "Picture: " << chart << "\n";
      return true;
    });

}  // namespace
}  // namespace pemar::cli
