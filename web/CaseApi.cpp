// The case's own routes: its summary and its features. The routes of its
// projects, notes, problem reports, plots, report and views are added here
// too (CaseRoutes.h).
//
//   GET  /api/case           the summary of `pemar case info --json`
//   GET  /api/case/features  every feature instance, with table rows
//   POST /api/case/features  {"type", "from"?, "to"?, "pressure"?}

#include <string>

#include "pemar/case/SimulationCase.h"
#include "tooling/CaseFeatures.h"
#include "tooling/CaseProjects.h"
#include "web/CaseRoutes.h"

namespace pemar::web {
namespace case_routes {
namespace {

Response CaseInfo(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  return call.Reply(tooling::CaseInfoJson(call.workspace.path(), *doc));
}

Response Features(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  return call.Reply({{"features", tooling::FeaturesJson(*doc, true)}});
}

Response PostFeature(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  if (auto bad = CheckMembers(call.body, {"type", "from", "to", "pressure"},
                              {"type"})) {
    return *bad;
  }
  std::optional<Response> error;
  const auto type = TextMember(call.body, "type", error);
  tooling::PropertyTableRange range;
  range.from = NumberMember(call.body, "from", error);
  range.to = NumberMember(call.body, "to", error);
  range.pressure = NumberMember(call.body, "pressure", error);
  if (error) return *error;
  ExpMgrView* manager = tooling::FeatureManager(*doc, true);
  if (manager == nullptr) return call.Refused("cannot make the features");
  std::string why;
  Viewable* added = tooling::AddFeature(*manager, *type, range, why);
  if (added == nullptr) {
    return call.Refused(why.empty() ? "cannot add a feature" : why);
  }
  return call.Reply({{"name", added->GetName().str()},
                     {"features", tooling::FeaturesJson(*doc, true)}});
}

}  // namespace
}  // namespace case_routes

SimulationCase* OpenCase(ApiCall& call, std::optional<Response>& missing) {
  SimulationCase* doc = call.workspace.document();
  if (doc == nullptr) {
    missing = Response::Error(
        404,
        "projects, notes, features, problem reports, plots and the report "
        "are kept only with a case; this server edits a utility set");
  }
  return doc;
}

std::optional<int> Position(std::string_view segment, int count) {
  if (segment.empty() || segment.size() > 9 ||
      segment.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const int n = std::stoi(std::string(segment));
  if (n < 1 || n > count) return std::nullopt;
  return n;
}

void AddCaseRoutes(RouteTable& table) {
  table.Add({"GET", "/api/case", case_routes::CaseInfo, ""});
  table.Add({"GET", "/api/case/features", case_routes::Features, ""});
  table.Add(
      {"POST", "/api/case/features", case_routes::PostFeature, "features"});
  AddCaseNotesRoutes(table);
  AddCaseReportRoutes(table);
  AddViewRoutes(table);
}

}  // namespace pemar::web
