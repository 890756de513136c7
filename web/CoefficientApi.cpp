// /api/coefficients: the heat-transfer-coefficient defaults, addressed by
// their position in the list. Every change goes through the database, which
// announces each one itself; its silent refusals are reported with the
// messages its editor uses ("HCValueTooSmall", "CannotDeleteHTC",
// "NameNotUnique").

#include <string>

#include "pemar/framework/Messages.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "web/Api.h"
#include "web/UtilityRows.h"

namespace pemar::web {
namespace {

Json CoefficientRow(IDefaultUtilityManager& db, int i) {
  return {{"index", i},
          {"name", Str(db.GetHTCDefaultValueName(i))},
          {"value", JsonNumber(db.GetHTCDefaultValue(i))},
          {"note", Str(db.GetHTCDefaultValueNote(i))}};
}

Json CoefficientRows(IDefaultUtilityManager& db) {
  Json rows = Json::array();
  for (int i = 0; i < db.GetNumberOfHTCDefaultValues(); ++i) {
    rows.push_back(CoefficientRow(db, i));
  }
  return rows;
}

// The position named by the path, or nullopt with `error` set to a 404.
std::optional<int> CoefficientPosition(ApiCall& call,
                                       std::optional<Response>& error) {
  const std::string& text = call.params[0];
  const int count = call.workspace.utilities()->GetNumberOfHTCDefaultValues();
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(text) >= count) {
    error = Response::Error(404, "no heat-transfer coefficient at position " +
                                     text + " (there are " +
                                     std::to_string(count) + ")");
    return std::nullopt;
  }
  return std::stoi(text);
}

std::optional<Response> RefuseUnlessCoefficientsKept(const ApiCall& call) {
  return RefuseUnlessSaved(call, HeatTransferCoefficientsOnly,
                           "heat-transfer-coefficient changes");
}

Response ListCoefficients(ApiCall& call) {
  return call.Reply(
      {{"coefficients", CoefficientRows(*call.workspace.utilities())}});
}

Response AddCoefficient(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {"name", "value", "note"}, {"name"})) {
    return *bad;
  }
  std::optional<Response> bad;
  const auto name = TextMember(call.body, "name", bad);
  const auto value = NumberMember(call.body, "value", bad);
  const auto note = TextMember(call.body, "note", bad);
  if (bad) return *bad;
  if (name->empty()) return BadRequest("a coefficient needs a name");
  if (auto kept = RefuseUnlessCoefficientsKept(call)) return *kept;
  // 0 (or no value) takes the first entry's value, as the database does.
  if (value && *value < 0.0) {
    ErrorMsg("HCValueTooSmall");
    return call.Refused("the value must be above zero");
  }
  IDefaultUtilityManager& db = *call.workspace.utilities();
  if (!db.AddHTCDefaultValue(name->c_str(), value.value_or(0.0),
                             note ? note->c_str() : nullptr)) {
    ErrorMsg("NameNotUnique");
    return call.Refused("another coefficient is named \"" + *name + "\"");
  }
  return call.Reply(
      {{"coefficient",
        CoefficientRow(db, db.GetNumberOfHTCDefaultValues() - 1)}});
}

Response EditCoefficient(ApiCall& call) {
  if (auto bad =
          CheckMembers(call.body, {"field", "value"}, {"field", "value"})) {
    return *bad;
  }
  std::optional<Response> bad;
  const auto field = TextMember(call.body, "field", bad);
  if (bad) return *bad;
  if (*field != "name" && *field != "value" && *field != "note") {
    return BadRequest("unknown field \"" + *field +
                      "\"; give one of name, value, note");
  }
  std::optional<double> number;
  std::optional<std::string> text;
  if (*field == "value") {
    if (!call.body["value"].is_null()) {
      number = NumberMember(call.body, "value", bad);
    }
  } else {
    text = TextMember(call.body, "value", bad);
  }
  if (bad) return *bad;
  const std::optional<int> i = CoefficientPosition(call, bad);
  if (!i) return *bad;
  if (auto kept = RefuseUnlessCoefficientsKept(call)) return *kept;
  IDefaultUtilityManager& db = *call.workspace.utilities();
  if (*field == "value") {
    // Clearing a value is refused before the database sees it.
    if (!number || *number == kEmptyValue) {
      ErrorMsg("CannotDeleteHTC");
      return call.Refused("a coefficient cannot be cleared");
    }
    if (!db.SetHTCDefaultValue(*i, *number)) {
      ErrorMsg("HCValueTooSmall");
      return call.Refused("the value must be above zero");
    }
  } else if (*field == "name") {
    if (!db.SetHTCDefaultValueName(*i, text->c_str())) {
      ErrorMsg("NameNotUnique");
      return call.Refused("another coefficient is named \"" + *text + "\"");
    }
  } else if (!db.SetHTCDefaultValueNote(*i, text->c_str())) {
    return call.Refused("the note cannot be changed");
  }
  return call.Reply({{"coefficient", CoefficientRow(db, *i)}});
}

Response RemoveCoefficient(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {}, {})) return *bad;
  std::optional<Response> bad;
  const std::optional<int> i = CoefficientPosition(call, bad);
  if (!i) return *bad;
  if (auto kept = RefuseUnlessCoefficientsKept(call)) return *kept;
  IDefaultUtilityManager& db = *call.workspace.utilities();
  const std::string name = Str(db.GetHTCDefaultValueName(*i));
  if (!db.DeleteHTCDefaultValue(*i)) {
    return call.Refused("the coefficient cannot be deleted");
  }
  // Positions after it moved up: the whole list comes back.
  return call.Reply({{"removed", name}, {"coefficients", CoefficientRows(db)}});
}

}  // namespace

void AddCoefficientRoutes(RouteTable& table) {
  table.Add({"GET", "/api/coefficients", ListCoefficients, ""});
  // The database announces every accepted change of a coefficient itself.
  table.Add({"POST", "/api/coefficients", AddCoefficient, ""});
  table.Add({"PATCH", "/api/coefficients/{}", EditCoefficient, ""});
  table.Add({"DELETE", "/api/coefficients/{}", RemoveCoefficient, ""});
}

}  // namespace pemar::web
