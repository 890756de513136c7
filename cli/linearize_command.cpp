// pemar linearize: replaces a tabulated curve read from a CSV file by a chain
// of straight chords and prints the breakpoints, the error and the
// performance figure (1 a perfect fit, 0 no better than one chord).

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Pictures.h"
#include "Registry.h"
#include "pemar/framework/Text.h"
#include "pemar/numerics/LinearizeFunction.h"

namespace pemar::cli {
namespace {

// The plain search enumerates every list of interior breakpoints; beyond
// this many lists it would run for minutes, so the tool refuses.
constexpr double kMaxPlainLists = 5e7;

struct Curve {
  std::vector<double> x, f;
  int size() const { return static_cast<int>(x.size()); }
};

// Reads "x,f" rows. Blank lines and lines starting with '#' are skipped, and
// so is a first line that is not numeric (a header). False with *error set
// when the file cannot be read or a row is not two finite numbers.
bool ReadCurve(const std::string& path, Curve* curve, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::string raw;
  int line_number = 0;
  bool first_row = true;
  while (std::getline(in, raw)) {
    ++line_number;
    const Text line = Text(raw).Trimmed();
    if (line.IsEmpty() || line[0] == '#') continue;
    std::vector<Text> fields;
    std::stringstream split(line.str());
    std::string field;
    while (std::getline(split, field, ',')) {
      fields.push_back(Text(field).Trimmed());
    }
    if (line[line.Length() - 1] == ',') fields.push_back("");
    double x = 0.0, f = 0.0;
    const bool numeric =
        fields.size() == 2 && fields[0].ToDouble(&x) && fields[1].ToDouble(&f);
    if (!numeric && first_row) {
      first_row = false;  // a header
      continue;
    }
    first_row = false;
    const std::string where = path + " line " + std::to_string(line_number);
    if (!numeric) {
      *error = where + ": expected two numbers x,f, got \"" + line.str() + "\"";
      return false;
    }
    if (!std::isfinite(x) || !std::isfinite(f)) {
      *error = where + ": x and f must be finite numbers";
      return false;
    }
    curve->x.push_back(x);
    curve->f.push_back(f);
  }
  if (in.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  return true;
}

struct Fit {
  std::vector<int> breakpoints;
  double error = 0.0;
  double performance = 0.0;
  std::optional<double> tolerance;
};

// The error and performance of the list the object holds, also for the
// single chord, which the search does not score itself.
void Score(LinearizeFunction& lin, Fit* fit) {
  const int m = static_cast<int>(fit->breakpoints.size()) - 1;
  if (!lin.GetError(fit->error)) {
    fit->error = lin.EvaluateError(fit->breakpoints.data(), m);
  }
  if (!lin.GetPerformance(fit->performance)) {
    const int chord[2] = {0, fit->breakpoints.back()};
    const double single = lin.EvaluateError(chord, 1);
    fit->performance = single == 0.0 ? 1.0 : 1.0 - fit->error / single;
  }
}

// Runs the search; false with *error set when it gives no list.
bool RunFit(Curve& curve, std::optional<int> segments,
            std::optional<double> tolerance, Fit* fit, std::string* error) {
  const int n = curve.size();
  if (segments) {
    LinearizeFunction lin;
    lin.SetFunctionVector(curve.f.data(), curve.x.data(), n);
    if (*segments == 1) {
      fit->breakpoints = {0, n - 1};
    } else {
      lin.SetNumberOfLinearSegments(*segments);
      const int* points = lin.GetLinearizedPoints();
      if (points == nullptr) {
        *error = "no breakpoint list could be scored for this curve";
        return false;
      }
      fit->breakpoints.assign(points, points + *segments + 1);
    }
    Score(lin, fit);
    return true;
  }
  AutoLinearizeFunction lin;
  if (tolerance) lin.SetToleranceExternally(*tolerance);
  lin.SetFunctionVector(curve.f.data(), curve.x.data(), n);
  fit->tolerance = lin.GetTolerance();
  const int* points = lin.GetLinearizedPoints();
  if (points == nullptr) {
    *error = "no breakpoint list could be scored for this curve";
    return false;
  }
  const int m = lin.GetNumberOfLinearSegments();
  fit->breakpoints.assign(points, points + m + 1);
  Score(lin, fit);
  return true;
}

void PrintFit(const Curve& curve, const Fit& fit, bool json) {
  const int m = static_cast<int>(fit.breakpoints.size()) - 1;
  if (json) {
    nlohmann::json out;
    out["points"] = curve.size();
    out["mode"] = fit.tolerance ? "auto" : "segments";
    out["segments"] = m;
    auto& list = out["breakpoints"] = nlohmann::json::array();
    for (int index : fit.breakpoints) {
      list.push_back(
          {{"index", index}, {"x", curve.x[index]}, {"f", curve.f[index]}});
    }
    out["error"] = fit.error;
    out["performance"] = fit.performance;
    if (fit.tolerance) out["tolerance"] = *fit.tolerance;
    std::cout << out.dump(2) << "\n";
    return;
  }
  char line[160];
  std::cout << "points:      " << curve.size() << "\n";
  std::cout << "segments:    " << m << "\n";
  std::cout << "breakpoints:\n";
  std::snprintf(line, sizeof line, "  %8s %16s %16s\n", "index", "x", "f");
  std::cout << line;
  for (int index : fit.breakpoints) {
    std::snprintf(line, sizeof line, "  %8d %16.8g %16.8g\n", index,
                  curve.x[index], curve.f[index]);
    std::cout << line;
  }
  std::snprintf(line, sizeof line, "error:       %.6g\n", fit.error);
  std::cout << line;
  std::snprintf(line, sizeof line, "performance: %.6f\n", fit.performance);
  std::cout << line;
  if (fit.tolerance) {
    std::snprintf(line, sizeof line, "tolerance:   %.6g (after scaling)\n",
                  *fit.tolerance);
    std::cout << line;
  }
}

struct LinearizeOptions {
  std::string csv;
  int segments = 0;
  bool automatic = false;
  double tolerance = 0.0;
  bool json = false;
  std::string svg;
};

int RunLinearize(const LinearizeOptions& options, bool by_segments,
                 bool with_tolerance) {
  if (by_segments && options.segments < 1) {
    PrintError("--segments must be 1 or more");
    return kExitUsage;
  }
  if (with_tolerance &&
      !(options.tolerance > 0.0 && options.tolerance <= 1.0)) {
    PrintError("--tolerance must be above 0 and at most 1");
    return kExitUsage;
  }
  Curve curve;
  std::string error;
  if (!ReadCurve(options.csv, &curve, &error)) {
    PrintError(error);
    return kExitFailed;
  }
  const int n = curve.size();
  if (n < 2) {
    PrintError(options.csv + " holds " + std::to_string(n) +
               " point(s); at least 2 are needed");
    return kExitFailed;
  }
  std::optional<int> segments;
  if (by_segments) {
    segments = options.segments;
    if (*segments > n - 1) {
      PrintError(std::to_string(*segments) + " segments need at least " +
                 std::to_string(*segments + 1) + " points; " + options.csv +
                 " holds " + std::to_string(n));
      return kExitFailed;
    }
    if (std::pow(static_cast<double>(n), *segments - 1) > kMaxPlainLists) {
      PrintError("a search for " + std::to_string(*segments) +
                 " segments over " + std::to_string(n) +
                 " points has too many breakpoint combinations; use --auto "
                 "or fewer segments");
      return kExitFailed;
    }
  }
  std::optional<double> tolerance;
  if (with_tolerance) tolerance = options.tolerance;
  Fit fit;
  if (!RunFit(curve, segments, tolerance, &fit, &error)) {
    PrintError(error);
    return kExitFailed;
  }
  PrintFit(curve, fit, options.json);
  if (!options.svg.empty() &&
      !WriteOutputFile(options.svg,
                       LinearizeSvg(curve.x, curve.f, fit.breakpoints))) {
    return kExitFailed;
  }
  return kExitOk;
}

CommandRegistration linearize_registration(410, [](CLI::App& app,
                                                   int& exit_code) {
  auto* cmd = app.add_subcommand(
      "linearize",
      "Replace a curve x,f read from a CSV file by straight chords: "
      "breakpoints, error and performance");
  auto options = std::make_shared<LinearizeOptions>();
  cmd->add_option("FILE.csv", options->csv, "Rows x,f (a header row allowed)")
      ->required();
  auto* segments = cmd->add_option("--segments", options->segments,
                                   "Search the best N segments");
  auto* automatic = cmd->add_flag(
      "--auto", options->automatic,
      "Add segments until the fit meets the tolerance (the default)");
  auto* tolerance = cmd->add_option(
      "--tolerance", options->tolerance,
      "Quality tolerance of --auto, above 0 and at most 1 (default 0.9); "
      "scaled down for nearly straight curves");
  cmd->add_flag("--json", options->json, "Print as JSON");
  cmd->add_option("--svg", options->svg,
                  "Also draw the curve and its chords as an SVG picture");
  segments->excludes(automatic)->excludes(tolerance);
  cmd->callback([options, segments, tolerance, &exit_code] {
    exit_code =
        RunLinearize(*options, segments->count() > 0, tolerance->count() > 0);
  });
});

DemoRegistration linearize_demo(
    410, "Piecewise linearisation",
    [](std::ostream& out, const std::string& dir) {
      // A heating curve: steep at first, then flattening.
      Curve curve;
      for (int i = 0; i <= 40; ++i) {
        const double x = 0.25 * i;
        curve.x.push_back(x);
        curve.f.push_back(100.0 * (1.0 - std::exp(-0.5 * x)));
      }
      Fit fit;
      std::string error;
      if (!RunFit(curve, std::nullopt, std::nullopt, &fit, &error)) {
        out << error << "\n";
        return false;
      }
      out << "f = 100 (1 - exp(-x/2)) on 41 points from x = 0 to 10, fitted "
             "automatically:\n";
      char line[120];
      for (int index : fit.breakpoints) {
        std::snprintf(line, sizeof line, "  point %2d  x = %5.2f  f = %7.3f\n",
                      index, curve.x[index], curve.f[index]);
        out << line;
      }
      std::snprintf(line, sizeof line,
                    "%d segments, error %.4g, performance %.4f\n",
                    static_cast<int>(fit.breakpoints.size()) - 1, fit.error,
                    fit.performance);
      out << line;
      const std::string picture = dir + "/linearize.svg";
      if (!WriteOutputFile(picture,
                           LinearizeSvg(curve.x, curve.f, fit.breakpoints))) {
        return false;
      }
      out << "Picture: " << picture << "\n";
      return true;
    });

}  // namespace
}  // namespace pemar::cli
