// /api/economics: the capital-cost data sets (one per exchanger type, and
// "DEFAULT" for every type without its own) and the database-wide economic
// parameters, each value with its status: 1 editable, 2 locked. The
// database announces none of these changes; the routes do.

#include <string>

#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/EconomicData.h"
#include "web/Api.h"
#include "web/UtilityRows.h"

namespace pemar::web {
namespace {

constexpr const char* kDefaultSet = "DEFAULT";

struct EconomicField {
  const char* name;
  EconomicDataType type;
  bool info;  // held by the database-wide record, not by a set
};

constexpr EconomicField kEconomicFields[] = {
    {"coefficient0", EconomicCoefficient0, false},
    {"coefficient1", EconomicCoefficient1, false},
    {"coefficient2", EconomicCoefficient2, false},
    {"switch", EconomicSwitch, false},
    {"parameter3", EconomicParameter3, true},
    {"parameter4", EconomicParameter4, true},
    {"operating_hours", EconomicOperatingHours, true}};

// The economic operations live on the database class itself.
DefaultManager* Economics(ApiCall& call) {
  return dynamic_cast<DefaultManager*>(call.workspace.utilities());
}

Response NoEconomics() {
  return Response::Error(500, "this utility database keeps no economic data");
}

Json EconomicValue(double value, char status) {
  return {{"value", value}, {"status", static_cast<int>(status)}};
}

Json EconomicSetJson(const EconomicData& set, const std::string& name) {
  Json values = Json::object();
  for (const EconomicField& f : kEconomicFields) {
    if (f.info) continue;
    values[f.name] = EconomicValue(set.GetEconomicData(f.type),
                                   set.GetVariableStatus(f.type));
  }
  return {{"name", name},
          {"locked", set.IsLocked()},
          {"valid", set.IsValid() != 0},
          {"values", values}};
}

Json EconomicsJson(DefaultManager& db) {
  Json sets = Json::array();
  for (int i = 0; i < db.GetNumberOfEconomicData(); ++i) {
    const char* name = db.GetEconomicDataName(i);
    if (name == nullptr) continue;
    const EconomicData* set =
        i == 0 ? db.GetEconomicDataPointer() : db.GetEconomicDataPointer(name);
    if (set != nullptr) sets.push_back(EconomicSetJson(*set, name));
  }
  Json info = nullptr;
  if (const EconomicInfo* record = db.GetEconomicInfoPointer()) {
    Json values = Json::object();
    for (const EconomicField& f : kEconomicFields) {
      if (!f.info) continue;
      values[f.name] = EconomicValue(record->GetEconomicInfo(f.type),
                                     record->GetVariableStatus(f.type));
    }
    info = {{"locked", record->IsLocked()},
            {"valid", record->IsValid() != 0},
            {"values", values}};
  }
  return {{"locked", db.IsLocked()},
          {"info", info},
          {"sets", sets},
          {"exchanger_types", ExchangerTypes()}};
}

std::optional<Response> RefuseUnlessEconomicsKept(const ApiCall& call) {
  return RefuseUnlessSaved(call, EconomicDataOnly, "capital-cost changes");
}

bool HasEconomicSet(DefaultManager& db, const std::string& name) {
  if (name == kDefaultSet) return true;
  const EconomicDataDictionary* dict = db.GetEconomicDataDict();
  return dict != nullptr && dict->count(CVString(name)) != 0;
}

Response ShowEconomics(ApiCall& call) {
  DefaultManager* db = Economics(call);
  if (db == nullptr) return NoEconomics();
  return call.Reply(EconomicsJson(*db));
}

// {"locked": bool} locks or unlocks every economic value and the list of
// sets; {"set"?, "field", "value"} changes one value.
Response EditEconomics(ApiCall& call) {
  if (auto bad =
          CheckMembers(call.body, {"set", "field", "value", "locked"}, {})) {
    return *bad;
  }
  std::optional<Response> bad;
  const auto locked = BoolMember(call.body, "locked", bad);
  const auto set = TextMember(call.body, "set", bad);
  const auto field = TextMember(call.body, "field", bad);
  if (bad) return *bad;
  if (locked && (set || field || call.body.contains("value"))) {
    return BadRequest("\"locked\" goes alone");
  }
  if (!locked && (!field || !call.body.contains("value"))) {
    return BadRequest("give \"field\" and \"value\", or \"locked\"");
  }
  DefaultManager* db = Economics(call);
  if (db == nullptr) return NoEconomics();
  if (auto kept = RefuseUnlessEconomicsKept(call)) return *kept;
  if (locked) {
    if (*locked) {
      db->Lock();
    } else {
      db->Unlock();
    }
    return call.Reply(EconomicsJson(*db));
  }
  const EconomicField* chosen = nullptr;
  for (const EconomicField& f : kEconomicFields) {
    if (*field == f.name) chosen = &f;
  }
  if (chosen == nullptr) {
    return BadRequest("unknown field \"" + *field +
                      "\"; give one of coefficient0, coefficient1, "
                      "coefficient2, switch, parameter3, parameter4, "
                      "operating_hours");
  }
  double value = 0.0;
  if (chosen->type == EconomicSwitch && call.body["value"].is_boolean()) {
    value = call.body["value"].get<bool>() ? 1.0 : 0.0;
  } else {
    const auto number = NumberMember(call.body, "value", bad);
    if (bad) return *bad;
    value = *number;
  }
  // The database finds a set under its upper-cased name.
  const std::string name = chosen->info
                               ? std::string(kDefaultSet)
                               : Text(set.value_or(kDefaultSet)).Upper().str();
  if (!HasEconomicSet(*db, name)) return NotFound("capital-cost set", name);
  if (db->SetEconomicData(chosen->type, value, name.c_str())) {
    return call.Reply(EconomicsJson(*db));
  }
  const bool is_locked =
      chosen->info ? db->GetEconomicInfoPointer() == nullptr ||
                         db->GetEconomicInfoPointer()->IsLocked()
                   : db->GetEconomicDataPointer(name.c_str())->IsLocked();
  if (is_locked) {
    return Response::Error(409, "the " + *field + " of " + name +
                                    " is locked; unlock the economic data "
                                    "first");
  }
  return call.Refused("the " + *field + " of " + name +
                      " cannot take that value");
}

Response AddSet(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {"name"}, {"name"})) return *bad;
  std::optional<Response> bad;
  const auto name = TextMember(call.body, "name", bad);
  if (bad) return *bad;
  if (name->empty()) return BadRequest("a capital-cost set needs a name");
  DefaultManager* db = Economics(call);
  if (db == nullptr) return NoEconomics();
  if (auto kept = RefuseUnlessEconomicsKept(call)) return *kept;
  if (db->IsLocked()) {
    return Response::Error(409,
                           "the economic data are locked; unlock them "
                           "before adding a set");
  }
  if (!db->AddEconomicData(name->c_str())) {
    return call.Refused("a capital-cost set named \"" + *name +
                        "\" exists already (names ignore letter case)");
  }
  return call.Reply(EconomicsJson(*db));
}

Response RemoveSet(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {}, {})) return *bad;
  DefaultManager* db = Economics(call);
  if (db == nullptr) return NoEconomics();
  const std::string& name = call.params[0];
  if (!HasEconomicSet(*db, name)) return NotFound("capital-cost set", name);
  if (auto kept = RefuseUnlessEconomicsKept(call)) return *kept;
  if (db->IsLocked()) {
    return Response::Error(409,
                           "the economic data are locked; unlock them "
                           "before deleting a set");
  }
  if (!db->DeleteEconomicData(name.c_str())) {
    return call.Refused("the set " + name +
                        " applies to every exchanger type without a set of "
                        "its own and cannot be deleted");
  }
  return call.Reply(EconomicsJson(*db));
}

}  // namespace

void AddEconomicsRoutes(RouteTable& table) {
  table.Add({"GET", "/api/economics", ShowEconomics, ""});
  table.Add({"PATCH", "/api/economics", EditEconomics, "economics"});
  table.Add({"POST", "/api/economics", AddSet, "economics"});
  table.Add({"DELETE", "/api/economics/{}", RemoveSet, "economics"});
}

}  // namespace pemar::web
