// /api/utilities: the utility table, its edits, the utility recommended for
// a process temperature and the ladder picture.
//
// Every edit goes through the database's own checked operations; a refusal
// answers 422 with the database's message, and the rows whose values the
// edit moved (the AR ranges of neighbouring utilities, typically) come back
// with an accepted one.

#include <cmath>
#include <cstdlib>
#include <string>

#include "pemar/diag/LadderSvg.h"
#include "pemar/framework/Messages.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "web/Api.h"
#include "web/UtilityRows.h"

namespace pemar::web {
namespace {

struct NumericField {
  const char* name;
  DefaultUtilityParameter parameter;
};

// The numeric fields a page edits, set through the database's SetValue.
constexpr NumericField kNumericFields[] = {
    {"inlet", InletTemperature},      {"outlet", OutletTemperature},
    {"htc", HeatTransferCoefficient}, {"cost", UtilityCost},
    {"ar_high", ARTempHigh},          {"ar_low", ARTempLow},
    {"delta_t_min", DeltaTmin}};

const DefaultUtility* FindUtility(IDefaultUtilityManager& db,
                                  const std::string& name) {
  for (int i = 0; i < db.GetNumberOfDefaultUtilities(); ++i) {
    const DefaultUtility* u = db.GetDefaultUtility(i);
    if (u != nullptr && Str(u->GetUtilityName()) == name) return u;
  }
  return nullptr;
}

// A number for the database: JSON null stands for the empty value.
std::optional<double> NumberOrEmpty(const Json& body, const char* member,
                                    std::optional<Response>& error) {
  auto it = body.find(member);
  if (it != body.end() && it->is_null()) return kEmptyValue;
  return NumberMember(body, member, error);
}

Response ListUtilities(ApiCall& call) {
  return call.Reply({{"utilities", UtilityRows(*call.workspace.utilities())},
                     {"exchanger_types", ExchangerTypes()}});
}

// Applies one field edit and sets `accepted`; on a refusal the database's
// message is among the call's messages, else `refusal` says why. Answers
// 400 itself for an unknown field or a value of the wrong type.
std::optional<Response> ApplyEdit(ApiCall& call, const std::string& name,
                                  const std::string& field, bool& accepted,
                                  std::string& refusal) {
  IDefaultUtilityManager& db = *call.workspace.utilities();
  std::optional<Response> bad;
  for (const NumericField& f : kNumericFields) {
    if (field != f.name) continue;
    const std::optional<double> value = NumberOrEmpty(call.body, "value", bad);
    if (bad) return bad;
    accepted = db.SetValue(name.c_str(), f.parameter, *value) != 0;
    refusal = "the " + field + " of \"" + name + "\" cannot take that value";
    return std::nullopt;
  }
  if (field == "name") {
    const std::optional<std::string> text = TextMember(call.body, "value", bad);
    if (bad) return bad;
    if (text->empty()) return BadRequest("a utility needs a name");
    accepted = db.RenameDefaultUtility(name.c_str(), text->c_str()) != 0;
    // The database refuses silently; its editor shows this message.
    if (!accepted) ErrorMsg("DefaultUtilityNameError", {Text(*text)});
    refusal = "another utility is named \"" + *text + "\"";
    return std::nullopt;
  }
  if (field == "exchanger_type") {
    const std::optional<std::string> text = TextMember(call.body, "value", bad);
    if (bad) return bad;
    accepted = db.SetExchangerType(name.c_str(), text->c_str()) == nullptr;
    refusal = "\"" + *text + "\" does not suit \"" + name + "\"";
    return std::nullopt;
  }
  return BadRequest("unknown field \"" + field +
                    "\"; give one of inlet, outlet, htc, cost, ar_high, "
                    "ar_low, delta_t_min, name, exchanger_type");
}

Response EditUtility(ApiCall& call) {
  if (auto bad =
          CheckMembers(call.body, {"field", "value"}, {"field", "value"})) {
    return *bad;
  }
  std::optional<Response> bad;
  const std::optional<std::string> field = TextMember(call.body, "field", bad);
  if (bad) return *bad;
  IDefaultUtilityManager& db = *call.workspace.utilities();
  const std::string& name = call.params[0];
  if (!FindUtility(db, name)) return NotFound("utility", name);

  const Json before = UtilityRows(db);
  const std::uint64_t sequence = call.workspace.events().LastSequence();
  bool accepted = false;
  std::string refusal;
  {
    ScopedDatabaseErrors relay(call.workspace.utilities());
    if (auto wrong = ApplyEdit(call, name, *field, accepted, refusal)) {
      return *wrong;
    }
  }
  // A delta-T min below 1 is "done" without a change, with a warning.
  if (!accepted || call.messages.HasError()) return call.Refused(refusal);
  const Json after = UtilityRows(db);
  const std::string now_named =
      *field == "name" ? call.body["value"].get<std::string>() : name;
  AnnounceUnlessAnnounced(call, sequence, "utilities");
  return call.Reply({{"utility", UtilityRow(*FindUtility(db, now_named))},
                     {"changed", ChangedRows(before, after)}});
}

Response AddUtility(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {"name", "clone_of"}, {})) return *bad;
  std::optional<Response> bad;
  const std::optional<std::string> name = TextMember(call.body, "name", bad);
  if (bad) return *bad;
  const std::optional<std::string> source =
      TextMember(call.body, "clone_of", bad);
  if (bad) return *bad;
  if (!source && !name) return BadRequest("the field \"name\" is missing");
  if (name && name->empty()) return BadRequest("a utility needs a name");
  IDefaultUtilityManager& db = *call.workspace.utilities();
  if (source && FindUtility(db, *source) == nullptr) {
    return NotFound("utility", *source);
  }
  if (name && db.Exists(name->c_str())) {
    return call.Refused("a utility named \"" + *name + "\" exists already");
  }
  const Json before = UtilityRows(db);
  std::string added;
  if (source) {
    if (!db.CloneDefaultUtility(source->c_str())) {
      return call.Refused("\"" + *source + "\" cannot be copied");
    }
    // The database names the copy "<source> - n"; the last row is it.
    added = Str(db.GetDefaultUtilityName(db.GetNumberOfDefaultUtilities() - 1));
    if (name && !db.RenameDefaultUtility(added.c_str(), name->c_str())) {
      return call.Refused("the copy cannot be named \"" + *name + "\"");
    }
    if (name) added = *name;
  } else {
    if (!db.AddDefaultUtility(name->c_str())) {
      return call.Refused("a utility named \"" + *name + "\" exists already");
    }
    added = *name;
  }
  return call.Reply({{"utility", UtilityRow(*FindUtility(db, added))},
                     {"changed", ChangedRows(before, UtilityRows(db))}});
}

Response RemoveUtility(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {}, {})) return *bad;
  IDefaultUtilityManager& db = *call.workspace.utilities();
  const std::string& name = call.params[0];
  if (!FindUtility(db, name)) return NotFound("utility", name);
  const Json before = UtilityRows(db);
  if (!db.RemoveDefaultUtility(name.c_str())) {
    return call.Refused("\"" + name + "\" cannot be removed");
  }
  return call.Reply(
      {{"removed", name}, {"changed", ChangedRows(before, UtilityRows(db))}});
}

// A finite number written in full ("12.5", "-30"), or nullopt.
std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

Response Recommend(ApiCall& call) {
  const std::optional<double> t = ParseNumber(call.Query("temperature"));
  if (!t) {
    return BadRequest("the query needs temperature=<degrees Celsius>");
  }
  const std::string side = call.Query("side");
  if (side != "hot" && side != "cold") {
    return BadRequest("the query needs side=hot or side=cold");
  }
  const std::string exchanger = call.Query("exchanger");
  IDefaultUtilityManager& db = *call.workspace.utilities();
  const char* found = db.GetRecommendedUtilityName(
      *t, side == "hot" ? HotSegment : ColdSegment,
      exchanger.empty() ? nullptr : exchanger.c_str());
  if (found == nullptr) {
    return call.Reply({{"name", nullptr}, {"utility", nullptr}});
  }
  const std::string name = found;
  return call.Reply(
      {{"name", name}, {"utility", UtilityRow(*FindUtility(db, name))}});
}

Response Ladder(ApiCall& call) {
  Response r;
  r.content_type = "image/svg+xml";
  r.body = RenderUtilityLadderSvg(*call.workspace.utilities());
  return r;
}

}  // namespace

void AddUtilityRoutes(RouteTable& table) {
  table.Add({"GET", "/api/utilities", ListUtilities, ""});
  table.Add({"GET", "/api/utilities/recommend", Recommend, ""});
  table.Add({"GET", "/api/utilities/ladder.svg", Ladder, ""});
  // The database announces additions, renames, removals and most field
  // edits itself; EditUtility announces the others.
  table.Add({"POST", "/api/utilities", AddUtility, ""});
  table.Add({"PATCH", "/api/utilities/{}", EditUtility, ""});
  table.Add({"DELETE", "/api/utilities/{}", RemoveUtility, ""});
}

}  // namespace pemar::web
