// Water and steam properties for the steam page, as `pemar steam` gives
// them.
//
//   GET /api/steam?temperature=T&pressure=P[&phase=vapour|liquid]
//   GET /api/steam/chart.svg?temperature=T&pressure=P
//
// T in K, p in kPa. A missing or non-numeric value, an unknown phase, and
// a state the steam formulation does not cover (the reason in words)
// answer 400. Both work with a case or a utility set.

#include <cmath>
#include <cstdlib>
#include <string>

#include "pemar/diag/SteamChart.h"
#include "tooling/SteamPoint.h"
#include "web/Api.h"

namespace pemar::web {
namespace steam {
namespace {

// A finite number filling the whole query value; nullopt, with `error`
// set, otherwise.
std::optional<double> QueryNumber(ApiCall& call, const char* name,
                                  const char* unit,
                                  std::optional<Response>& error) {
  if (error) return std::nullopt;
  const std::string text = call.Query(name);
  if (text.empty()) {
    error = BadRequest("give the " + std::string(name) + " in " + unit + " (?" +
                       name + "=)");
    return std::nullopt;
  }
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) {
    error = BadRequest("the " + std::string(name) + " \"" + text +
                       "\" is not a number");
    return std::nullopt;
  }
  return value;
}

// The state of the query, or `error` set to the 400 that says why not.
tooling::SteamPoint QueryState(ApiCall& call, std::optional<Response>& error) {
  const auto t = QueryNumber(call, "temperature", "K", error);
  const auto p = QueryNumber(call, "pressure", "kPa", error);
  const std::string phase = call.Query("phase");
  int hint = tooling::kSteamPhaseUndecided;
  if (phase == "vapour") {
    hint = 0;
  } else if (phase == "liquid") {
    hint = 1;
  } else if (!phase.empty() && !error) {
    error = BadRequest("the phase must be vapour or liquid");
  }
  if (error) return {};
  tooling::SteamPoint point = tooling::EvaluateSteam(*t, *p, hint);
  const std::string problem = tooling::SteamProblem(point);
  if (!problem.empty()) error = BadRequest(problem);
  return point;
}

Json Optional(const std::optional<double>& value) {
  return value ? Json(*value) : Json(nullptr);
}

Response State(ApiCall& call) {
  std::optional<Response> error;
  const tooling::SteamPoint point = QueryState(call, error);
  if (error) return *error;
  const bool undecided = point.hint == tooling::kSteamPhaseUndecided;
  return call.Reply(
      {{"temperature", point.temperature},
       {"pressure", point.pressure},
       {"phase",
        undecided ? Json(nullptr) : Json(tooling::PhaseName(point.hint))},
       {"subregion", point.subregion},
       {"molar_volume", Optional(point.molar_volume)},
       {"molar_enthalpy", Optional(point.molar_enthalpy)},
       {"saturation_pressure", Optional(point.saturation_pressure)},
       {"boiling_temperature", Optional(point.boiling_temperature)}});
}

Response Chart(ApiCall& call) {
  std::optional<Response> error;
  const tooling::SteamPoint point = QueryState(call, error);
  if (error) return *error;
  Response r;
  r.content_type = "image/svg+xml";
  r.body = SteamChartSvg({{point.temperature, point.pressure}});
  return r;
}

}  // namespace
}  // namespace steam

void AddSteamRoutes(RouteTable& table) {
  table.Add({"GET", "/api/steam", steam::State, ""});
  table.Add({"GET", "/api/steam/chart.svg", steam::Chart, ""});
}

}  // namespace pemar::web
