// The helpers every area of the API shares, and the workspace's own routes.

#include "web/Api.h"

#include "pemar/framework/MessageTexts.h"
#include "pemar/framework/Types.h"

namespace pemar::web {
namespace {

const char* KindName(WorkspaceKind kind) {
  return kind == WorkspaceKind::kCase ? "case" : "utilities";
}

Json SectionsJson(StoreRecallType sections) {
  switch (sections) {
    case AllData:
      return {"utilities", "coefficients", "economics"};
    case UtilitiesOnly:
      return {"utilities"};
    case HeatTransferCoefficientsOnly:
      return {"coefficients"};
    case EconomicDataOnly:
      return {"economics"};
  }
  return Json::array();
}

Response SessionState(ApiCall& call) {
  Workspace& w = call.workspace;
  return call.Reply({{"kind", KindName(w.kind())},
                     {"path", w.path()},
                     {"modified", w.modified()},
                     {"saved_sections", SectionsJson(w.saved_sections())},
                     {"recovery",
                      {{"exists", w.RecoveryExists()},
                       {"path", Workspace::RecoveryPath(w.path())}}},
                     {"sequence", w.events().LastSequence()}});
}

Response Save(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {}, {})) return *bad;
  Workspace& w = call.workspace;
  if (!w.Save(&call.messages)) {
    return call.Refused("cannot save " + w.path() +
                        "; the previous file and its backups are unchanged");
  }
  // A document read from its recovery copy has now written the copy's
  // changes; any other document leaves the copy alone, since its changes
  // are nowhere else.
  if (w.opened_from_recovery()) w.RemoveRecoveryCopy();
  w.events().Publish("save", "server", w.path());
  return call.Reply({{"saved", true}, {"path", w.path()}});
}

Response MessageTable(ApiCall& call) {
  Json table = Json::object();
  for (const auto& [key, text] : EnglishMessageTexts()) {
    table[std::string(key)] = std::string(text);
  }
  return call.Reply({{"texts", table}});
}

}  // namespace

std::string ApiCall::Query(std::string_view name) const {
  return QueryValue(request.target, name);
}

Response ApiCall::Reply(Json value, int status) const {
  if (value.is_object()) value["messages"] = messages.Json();
  return Response::Json(status, value);
}

Response ApiCall::Refused(const std::string& fallback) const {
  Json body = {{"error", fallback}};
  for (const Message& m : messages.messages) {
    if (m.kind == MessageKind::kError) {
      body = {{"error", m.text.str()}, {"key", m.key.str()}};
      break;
    }
  }
  body["messages"] = messages.Json();
  return Response::Json(422, body);
}

Response BadRequest(const std::string& message) {
  return Response::Error(400, message);
}

Response NotFound(const std::string& what, const std::string& name) {
  return Response::Error(404, "no " + what + " named \"" + name + "\"");
}

std::optional<Response> CheckMembers(
    const Json& body, std::initializer_list<std::string_view> allowed,
    std::initializer_list<std::string_view> required) {
  if (!body.is_object()) return BadRequest("the body must be a JSON object");
  for (const auto& item : body.items()) {
    bool known = false;
    for (std::string_view a : allowed) known = known || a == item.key();
    if (!known) return BadRequest("unknown field \"" + item.key() + "\"");
  }
  for (std::string_view r : required) {
    if (!body.contains(std::string(r))) {
      return BadRequest("the field \"" + std::string(r) + "\" is missing");
    }
  }
  return std::nullopt;
}

std::optional<double> NumberMember(const Json& body, const char* name,
                                   std::optional<Response>& error) {
  auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  if (!it->is_number()) {
    error =
        BadRequest("the field \"" + std::string(name) + "\" must be a number");
    return std::nullopt;
  }
  return it->get<double>();
}

std::optional<std::string> TextMember(const Json& body, const char* name,
                                      std::optional<Response>& error) {
  auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  if (!it->is_string()) {
    error =
        BadRequest("the field \"" + std::string(name) + "\" must be a string");
    return std::nullopt;
  }
  return it->get<std::string>();
}

std::optional<bool> BoolMember(const Json& body, const char* name,
                               std::optional<Response>& error) {
  auto it = body.find(name);
  if (it == body.end()) return std::nullopt;
  if (!it->is_boolean()) {
    error = BadRequest("the field \"" + std::string(name) +
                       "\" must be true or false");
    return std::nullopt;
  }
  return it->get<bool>();
}

std::string Str(const char* text) { return text ? std::string(text) : ""; }

void AddSessionRoutes(RouteTable& table) {
  table.Add({"GET", "/api/session", SessionState, ""});
  table.Add({"POST", "/api/save", Save, "", /*changes_document=*/false});
  table.Add({"GET", "/api/messages", MessageTable, ""});
}

}  // namespace pemar::web
