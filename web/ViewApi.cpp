// The framework views of the workspace, read and changed through their
// named variables as the library's forms do.
//
//   GET /api/views                               the views that can be reached
//   GET /api/views/{view}/variables/{name}       ?type=&index= (integers)
//   PUT /api/views/{view}/variables/{name}       {"value": number|string,
//                                                 "type"?, "index"?}
//
// {name} is a variable description in its text form ("Description.300",
// "ProgramArea.0"); its variable type code and index, which the framework
// takes from its variable tables, come as "type" and "index". A read
// answers the view's Value and TextValue; a number is set with Specify, a
// string with SpecifyText. A view that does not take the value answers 422
// with the library's message.
//
// Views: "case" (the case), "configuration" (the program's preferences
// object, one for the whole server, in a utility set too; read only),
// "features" (the
// feature manager, once the case has one), "problem-reports" and
// "problem-report-<n>" (the reports' manager and each report, once made),
// "plot-<n>" (each plot view of the case, in the case's order).

#include <cmath>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseBugReports.h"
#include "pemar/diag/PlotView.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/framework/ConfigManager.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"
#include "tooling/CaseFeatures.h"
#include "web/CaseRoutes.h"

namespace pemar::web {
namespace views {
namespace {

struct View {
  std::string name;
  Viewable* object;
  const char* topic;  // announced after a change through it
  // The preferences are only read: a change of them writes files (the
  // solver's choice file, folders) named by the request, outside the case.
  bool writable = true;
};

// The program's preferences object: made once, on first use, outside any
// document, and kept for the life of the process (its values live in the
// configuration store; the object keeps only what a form is editing).
Viewable* Configuration() {
  // Never destroyed: the library's own state may be gone by the time the
  // process's statics are.
  static ConfigManager* const manager = CreateConfigManager(nullptr);
  return manager;
}

std::vector<View> Views(Workspace& workspace) {
  std::vector<View> views;
  SimulationCase* doc = workspace.document();
  if (doc != nullptr) views.push_back({"case", doc, "case"});
  if (Viewable* config = Configuration()) {
    views.push_back({"configuration", config, "case", false});
  }
  if (doc == nullptr) return views;
  if (ExpMgrView* features = tooling::FeatureManager(*doc, false)) {
    views.push_back({"features", features, "features"});
  }
  if (BugReportManager* reports = CaseBugReportManager(*doc)) {
    views.push_back({"problem-reports", reports, "problem-reports"});
    int n = 0;
    for (BugReport* report : reports->Reports()) {
      views.push_back(
          {"problem-report-" + std::to_string(++n), report, "problem-reports"});
    }
  }
  int n = 0;
  for (Viewable* object : doc->GetObjectManager().Objects()) {
    if (dynamic_cast<PlotView*>(object) != nullptr) {
      views.push_back({"plot-" + std::to_string(++n), object, "plots"});
    }
  }
  return views;
}

const View* FindView(const std::vector<View>& views, const std::string& name) {
  for (const View& v : views) {
    if (v.name == name) return &v;
  }
  return nullptr;
}

// An integer from a query value; nullopt, with `error` set, when it is not
// one. Absent stays nullopt without an error.
std::optional<int> QueryInteger(ApiCall& call, const char* name,
                                std::optional<Response>& error) {
  const std::string text = call.Query(name);
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  int value = 0;
  const bool digits =
      text.find_first_not_of("-0123456789") == std::string::npos &&
      text.size() <= 10;
  if (digits) {
    try {
      value = std::stoi(text, &used);
    } catch (...) {
      used = 0;
    }
  }
  if (!digits || used != text.size()) {
    error = BadRequest("\"" + std::string(name) + "\" must be an integer");
    return std::nullopt;
  }
  return value;
}

std::optional<int> BodyInteger(const Json& body, const char* name,
                               std::optional<Response>& error) {
  const auto value = NumberMember(body, name, error);
  if (!value) return std::nullopt;
  if (std::trunc(*value) != *value || std::abs(*value) > 2147483647.0) {
    error = BadRequest("the field \"" + std::string(name) +
                       "\" must be an integer");
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

// The view and the description the route names, with the type and index
// given; `error` set when either cannot be had.
const View* RouteVariable(ApiCall& call, const std::vector<View>& views,
                          VarDescription& desc,
                          std::optional<Response>& error) {
  const View* view = FindView(views, call.params[0]);
  if (view == nullptr) {
    // Every view but the preferences belongs to a case.
    if (call.workspace.document() == nullptr) OpenCase(call, error);
    if (!error) error = NotFound("view", call.params[0]);
    return nullptr;
  }
  if (!VarDescription::Parse(call.params[1], &desc)) {
    error = BadRequest("\"" + call.params[1] +
                       "\" is not a variable description such as "
                       "\"Description.300\"");
    return nullptr;
  }
  return view;
}

Response VariableAnswer(ApiCall& call, const View& view,
                        const VarDescription& desc) {
  return call.Reply({{"view", view.name},
                     {"variable", desc.Format().str()},
                     {"type", desc.Type()},
                     {"index", desc.Index()},
                     {"value", JsonNumber(view.object->Value(desc))},
                     {"text", view.object->TextValue(desc).str()}});
}

Response ListViews(ApiCall& call) {
  Json list = Json::array();
  for (const View& v : Views(call.workspace)) {
    list.push_back({{"view", v.name}, {"title", v.object->GetName().str()}});
  }
  return call.Reply({{"views", list}});
}

Response ReadVariable(ApiCall& call) {
  const std::vector<View> views = Views(call.workspace);
  VarDescription desc;
  std::optional<Response> error;
  const View* view = RouteVariable(call, views, desc, error);
  const auto type = QueryInteger(call, "type", error);
  const auto index = QueryInteger(call, "index", error);
  if (error) return *error;
  if (type) desc.SetType(*type);
  if (index) desc.SetIndex(*index);
  return VariableAnswer(call, *view, desc);
}

Response WriteVariable(ApiCall& call) {
  if (auto bad =
          CheckMembers(call.body, {"value", "type", "index"}, {"value"})) {
    return *bad;
  }
  const std::vector<View> views = Views(call.workspace);
  VarDescription desc;
  std::optional<Response> error;
  const View* view = RouteVariable(call, views, desc, error);
  const auto type = BodyInteger(call.body, "type", error);
  const auto index = BodyInteger(call.body, "index", error);
  if (error) return *error;
  if (type) desc.SetType(*type);
  if (index) desc.SetIndex(*index);
  if (!view->writable) {
    return Response::Error(403, "the view \"" + view->name +
                                    "\" is only read here: changing it "
                                    "writes files outside the document");
  }
  const Json& value = call.body["value"];
  unsigned char taken = 0;
  if (value.is_number()) {
    taken = view->object->Specify(desc, value.get<double>());
  } else if (value.is_string()) {
    taken = view->object->SpecifyText(desc, Text(value.get<std::string>()));
  } else {
    return BadRequest("the field \"value\" must be a number or a string");
  }
  if (taken == 0) {
    return call.Refused("the view \"" + view->name + "\" did not take " +
                        desc.Format().str());
  }
  // The views send no change notification of their own.
  call.workspace.events().Publish(view->topic, "server", view->name);
  return VariableAnswer(call, *view, desc);
}

}  // namespace
}  // namespace views

void AddViewRoutes(RouteTable& table) {
  table.Add({"GET", "/api/views", views::ListViews, ""});
  table.Add({"GET", "/api/views/{}/variables/{}", views::ReadVariable, ""});
  table.Add({"PUT", "/api/views/{}/variables/{}", views::WriteVariable, ""});
}

}  // namespace pemar::web
