// pemar plot: draws points read from a CSV file as a character plot into a
// trace file and prints it. The demo adds the steam saturation curve.

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Registry.h"
#include "pemar/diag/DataPlot.h"
#include "pemar/diag/DebugOutput.h"
#include "pemar/diag/LinePlot.h"
#include "pemar/diag/TernaryLinePlot.h"
#include "pemar/framework/Text.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar::cli {
namespace {

namespace fs = std::filesystem;

// The columns of a plot: x, y (or a, b, c for a ternary plot) and kind.
struct PlotData {
  std::vector<double> first, second, third;
  std::vector<int> kind;
  bool has_third = false;
  int size() const { return static_cast<int>(first.size()); }
};

std::vector<Text> SplitFields(const Text& line) {
  std::vector<Text> fields;
  std::string field;
  std::stringstream in(line.str());
  while (std::getline(in, field, ',')) fields.push_back(Text(field).Trimmed());
  if (!line.IsEmpty() && line[line.Length() - 1] == ',') fields.push_back("");
  return fields;
}

// Reads "x,y[,kind]" or, for a ternary plot, "a,b[,c][,kind]" rows (c may be
// left empty). Blank lines and lines starting with '#' are skipped, and so is
// a first line that is not numeric (a header). False with *error set when the
// file cannot be read or a row is malformed.
bool ReadPoints(const std::string& path, bool ternary, PlotData* data,
                std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::string raw;
  int line_number = 0;
  bool first_row = true;
  std::optional<bool> with_third;
  while (std::getline(in, raw)) {
    ++line_number;
    const Text line = Text(raw).Trimmed();
    if (line.IsEmpty() || line[0] == '#') continue;
    const std::vector<Text> f = SplitFields(line);
    const std::string where = path + " line " + std::to_string(line_number);
    const std::size_t max_fields = ternary ? 4 : 3;
    double u = 0.0, v = 0.0, w = 0.0;
    const bool numeric =
        f.size() >= 2 && f[0].ToDouble(&u) && f[1].ToDouble(&v);
    if (!numeric && first_row) {
      first_row = false;  // a header
      continue;
    }
    first_row = false;
    if (f.size() < 2 || f.size() > max_fields) {
      *error = where + ": expected " +
               (ternary ? "a,b[,c][,kind]" : "x,y[,kind]") + ", got \"" +
               line.str() + "\"";
      return false;
    }
    if (!numeric) {
      *error = where + ": the first two fields must be numbers";
      return false;
    }
    std::size_t kind_field = 2;
    bool third = false;
    if (ternary && f.size() >= 3) {
      kind_field = 3;
      if (!f[2].IsEmpty()) {
        if (!f[2].ToDouble(&w)) {
          *error = where + ": c must be a number or empty";
          return false;
        }
        third = true;
      }
    }
    if (ternary) {
      if (with_third && *with_third != third) {
        *error = where + ": c must be given in every row or in none";
        return false;
      }
      with_third = third;
    }
    long kind = 0;
    if (f.size() > kind_field && !f[kind_field].IsEmpty() &&
        (!f[kind_field].ToInt(&kind) || kind < 0 || kind > 7)) {
      *error = where + ": the kind must be a whole number from 0 to 7";
      return false;
    }
    data->first.push_back(u);
    data->second.push_back(v);
    data->third.push_back(w);
    data->kind.push_back(static_cast<int>(kind));
  }
  if (in.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  data->has_third = with_third.value_or(false);
  return true;
}

struct PlotOptions {
  std::string csv;
  int mode = 0;
  std::optional<double> xmin, xmax, ymin, ymax;
  bool ternary = false;
  std::string log;
  bool json = false;
  std::string svg;
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Draws the plot into base + ".log"; false with *error set when the log
// cannot be written.
bool DrawPlot(const std::string& base, const PlotData& data,
              const PlotOptions& options, std::string* error) {
  PmDebugOut out(base, 1, false);
  if (!out.Create()) {
    *error = "cannot create the log file " + base + ".log";
    return false;
  }
  if (options.ternary) {
    TernaryLinePlot().Execute(&out, data.first.data(), data.second.data(),
                              data.has_third ? data.third.data() : nullptr,
                              data.kind.data(), data.size());
  } else {
    LinePlot().Execute(&out, data.first.data(), data.second.data(),
                       data.kind.data(), data.size(), options.mode,
                       options.xmin.value_or(0.0), options.xmax.value_or(0.0),
                       options.ymin.value_or(0.0), options.ymax.value_or(0.0));
  }
  out.PrintText("\n");
  if (!out.File().Flush()) {
    *error = "cannot write the log file " + base + ".log";
    return false;
  }
  out.Close();
  return true;
}

// The same points as an SVG picture: one point set for each kind of mark
// that the character plot tells apart, on the same axis ranges.
std::string PlotSvg(const PlotData& data, const PlotOptions& options) {
  static const struct {
    int first, last;
    const char* label;
    int colour;
  } kGroups[] = {{0, 0, "vapour (V)", 2},
                 {1, 1, "liquid (L)", 0},
                 {2, 2, "critical point (C)", 3},
                 {3, 6, "maximum or minimum (M)", 10},
                 {7, 7, "tabulated (0)", 6}};
  DataPlot picture(options.ternary ? kEquTriPlotType : kTwoDimPlotType);
  if (!options.ternary) picture.SetLabels("", "x", "y");
  for (const auto& group : kGroups) {
    std::vector<double> a, b, c;
    for (int i = 0; i < data.size(); ++i) {
      const int kind = data.kind[static_cast<std::size_t>(i)];
      if (kind < group.first || kind > group.last) continue;
      a.push_back(data.first[static_cast<std::size_t>(i)]);
      b.push_back(data.second[static_cast<std::size_t>(i)]);
      if (data.has_third) c.push_back(data.third[static_cast<std::size_t>(i)]);
    }
    if (a.empty()) continue;
    picture.Add(DataSetKind::kPoint, group.label, group.colour, a, b, c);
  }
  PlotParameters range(2);
  if (options.mode == 1) {
    range.SetRange(0, *options.xmin, *options.xmax);
    range.SetRange(1, *options.ymin, *options.ymax);
  } else if (options.mode >= 2) {
    range.SetRange(0, 0.0, 1.0);
    if (options.mode >= 3) {
      double low = 0.0;
      for (double y : data.second) low = std::min(low, std::floor(y));
      range.SetRange(1, low, 0.0);
    }
  }
  picture.Plot().SetParameters(&range);
  return picture.Svg();
}

int RunPointsPlot(PlotOptions options) {
  const bool any_range =
      options.xmin || options.xmax || options.ymin || options.ymax;
  if (options.ternary && (any_range || options.mode != 0)) {
    PrintError("--mode and the axis ranges do not apply to --ternary");
    return kExitUsage;
  }
  if (any_range && options.mode == 0) options.mode = 1;
  const bool all_ranges =
      options.xmin && options.xmax && options.ymin && options.ymax;
  if (options.mode == 1 && !all_ranges) {
    PrintError("--mode 1 needs all of --xmin, --xmax, --ymin and --ymax");
    return kExitUsage;
  }
  if (any_range && options.mode != 1) {
    PrintError("the axis ranges apply only to --mode 1");
    return kExitUsage;
  }

  PlotData data;
  std::string error;
  if (!ReadPoints(options.csv, options.ternary, &data, &error)) {
    PrintError(error);
    return kExitFailed;
  }
  if (data.size() == 0) {
    PrintError("no points in " + options.csv);
    return kExitFailed;
  }

  const bool keep_log = !options.log.empty();
  std::string base = options.log;
  if (!keep_log) {
    std::error_code ec;
    base = (fs::temp_directory_path(ec) /
            ("pemar-plot-" + std::to_string(::getpid())))
               .string();
  }
  if (!DrawPlot(base, data, options, &error)) {
    PrintError(error);
    return kExitFailed;
  }
  if (!options.svg.empty() &&
      !WriteOutputFile(options.svg, PlotSvg(data, options))) {
    return kExitFailed;
  }
  const std::string log_path = base + ".log";
  const std::string text = ReadText(log_path);
  if (!keep_log) {
    std::error_code ec;
    fs::remove(log_path, ec);
  }
  if (options.json) {
    nlohmann::json j = {
        {"points", data.size()},
        {"log", keep_log ? nlohmann::json(log_path) : nlohmann::json(nullptr)},
        {"plot", text}};
    std::cout << j.dump(2) << "\n";
  } else {
    std::cout << text;
  }
  return kExitOk;
}

CommandRegistration plot_registration(500, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "plot", "Draw x,y[,kind] points from a CSV file as a character plot");
  auto options = std::make_shared<PlotOptions>();
  cmd->add_option("file", options->csv, "CSV file of points")->required();
  cmd->add_option("--mode", options->mode,
                  "Axis ranges: 0 automatic, 1 given by --xmin ... --ymax, "
                  "2 x from 0 to 1, 3 x from 0 to 1 and y up to 0");
  auto range = [&](const char* name, std::optional<double>* target,
                   const char* help) {
    cmd->add_option_function<double>(
        name, [target](const double& v) { *target = v; }, help);
  };
  range("--xmin", &options->xmin, "Lowest x (with --mode 1)");
  range("--xmax", &options->xmax, "Highest x (with --mode 1)");
  range("--ymin", &options->ymin, "Lowest y (with --mode 1)");
  range("--ymax", &options->ymax, "Highest y (with --mode 1)");
  cmd->add_flag("--ternary", options->ternary,
                "Read a,b[,c][,kind] compositions and draw a triangle plot");
  cmd->add_option("--log", options->log,
                  "Keep the plot in the log file NAME.log");
  cmd->add_flag("--json", options->json, "Print as JSON");
  cmd->add_option("--svg", options->svg,
                  "Also draw the points as an SVG picture");
  cmd->callback([options, &exit_code] { exit_code = RunPointsPlot(*options); });
});

// The saturation pressure of water from 100 to 370 degC, ending at the
// critical point.
bool SaturationCurveDemo(std::ostream& out, const std::string& work_dir) {
  const double pc = SteamCriticalProperty("Pressure");     // kPa
  const double tc = SteamCriticalProperty("Temperature");  // K
  PlotData data;
  for (int step = 0; step <= 27; ++step) {
    const double celsius = 100.0 + 10.0 * step;
    data.first.push_back(celsius);
    data.second.push_back(Steam67ReducedVPCalcT(celsius + 273.15) * pc / 100.0);
    data.kind.push_back(0);
  }
  data.first.push_back(tc - 273.15);
  data.second.push_back(pc / 100.0);
  data.kind.push_back(2);

  const std::string base = (fs::path(work_dir) / "saturation-plot").string();
  PlotOptions options;
  std::string error;
  if (!DrawPlot(base, data, options, &error)) {
    PrintError(error);
    return false;
  }
  out << "Saturation pressure of water (bar, up the side) against "
         "temperature (degC, along the bottom); C is the critical point.\n"
      << ReadText(base + ".log") << "(also in " << base << ".log)\n";
  if (!WriteOutputFile(base + ".svg", PlotSvg(data, options))) return false;
  out << "Picture: " << base << ".svg\n";
  return true;
}

DemoRegistration plot_demo(500, "Character plot", SaturationCurveDemo);

}  // namespace
}  // namespace pemar::cli
