// /api/fuels: carbon tracking of a case: the two fuel lists, the
// database-wide fuel choice of the case's utility database editor, and each
// utility's fuel figures. Every change goes through the editor's own
// operations; choosing a fuel (or, for the user's own data source, a
// factor) applies it to every utility that follows the database-wide
// choice. A utility set keeps no fuel choice: these routes need a case.

#include <string>
#include <vector>

#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityDescription.h"
#include "web/Api.h"
#include "web/UtilityRows.h"

namespace pemar::web {
namespace {

Response NoCaseForFuels() {
  return Response::Error(
      404,
      "fuels and carbon tracking are kept only with a case; this "
      "server edits a utility set");
}

Json FuelList(const std::vector<FuelSourceStruct*>& list, int first_id) {
  Json fuels = Json::array();
  for (std::size_t i = 0; i < list.size(); ++i) {
    fuels.push_back(
        {{"position", i},
         {"id", first_id + static_cast<int>(i)},
         {"name", list[i]->GetName().str()},
         {"co2_emission_factor", JsonNumber(list[i]->GetCO2EmissionFactor())}});
  }
  return fuels;
}

Json UtilityFuels(IDefaultUtilityManager& db) {
  Json rows = Json::array();
  for (int i = 0; i < db.GetNumberOfDefaultUtilities(); ++i) {
    const DefaultUtility* u = db.GetDefaultUtility(i);
    if (u == nullptr) continue;
    rows.push_back(
        {{"name", Str(u->GetUtilityName())},
         {"data_source", JsonNumber(u->GetEFDataSource())},
         {"fuel_id", JsonNumber(u->GetFuelSourceID())},
         {"fuel", Str(UtilityFuelName(*u))},
         {"co2_emission_factor", JsonNumber(u->GetCO2EmissionFactor())},
         {"efficiency_factor", JsonNumber(u->GetFuelEffFactor())},
         {"follows_selection", u->IsGlobalSetting() != 0.0}});
  }
  return rows;
}

Json FuelState(DefaultUtilManagerView& view) {
  const FuelSourceStruct& chosen = view.GetSelectedFuelSource();
  const int source = view.GetSelectedDataSource();
  Json lists = Json::array();
  for (int list = 0; list < 2; ++list) {
    lists.push_back({{"data_source", list},
                     {"label_key", list == 0 ? "utilEU" : "utilUS"},
                     {"fuels", FuelList(*view.GetFuelSourceList(list),
                                        list == 0 ? 0 : kFuelList1FirstID)}});
  }
  const auto* offered = view.GetOfferedFuelList();
  return {{"carbon_tracking", view.IsCarbonTrackingEnabled()},
          {"data_source", source == DefaultUtilManagerView::kNoDataSource
                              ? Json(nullptr)
                              : Json(source)},
          {"selected",
           {{"position", chosen.GetFuelIndex() == kEmptyValue
                             ? Json(nullptr)
                             : Json(static_cast<int>(chosen.GetFuelIndex()))},
            {"name", chosen.GetName().str()},
            {"co2_emission_factor", JsonNumber(chosen.GetCO2EmissionFactor())},
            {"efficiency_factor", JsonNumber(chosen.GetFuelEffFactor())}}},
          {"offered",
           offered ? FuelList(*offered, source == 1 ? kFuelList1FirstID : 0)
                   : Json::array()},
          {"lists", lists},
          {"utilities", UtilityFuels(*view.GetDatabase())}};
}

Response ShowFuels(ApiCall& call) {
  DefaultUtilManagerView* view = call.workspace.utility_view();
  if (view == nullptr || view->GetDatabase() == nullptr)
    return NoCaseForFuels();
  return call.Reply(FuelState(*view));
}

// Exactly one of "carbon_tracking", "data_source", "selected" and
// "user_emission_factor".
Response EditFuels(ApiCall& call) {
  if (auto bad = CheckMembers(call.body,
                              {"carbon_tracking", "data_source", "selected",
                               "user_emission_factor"},
                              {})) {
    return *bad;
  }
  if (call.body.size() != 1) {
    return BadRequest(
        "give exactly one of carbon_tracking, data_source, selected, "
        "user_emission_factor");
  }
  DefaultUtilManagerView* view = call.workspace.utility_view();
  if (view == nullptr || view->GetDatabase() == nullptr)
    return NoCaseForFuels();
  std::optional<Response> bad;
  const auto tracking = BoolMember(call.body, "carbon_tracking", bad);
  const auto factor = NumberMember(call.body, "user_emission_factor", bad);
  if (bad) return *bad;
  for (const char* member : {"data_source", "selected"}) {
    if (call.body.contains(member) && !call.body[member].is_number_integer()) {
      return BadRequest("the field \"" + std::string(member) +
                        "\" must be a whole number");
    }
  }
  IDefaultUtilityManager& db = *view->GetDatabase();
  const Json before = UtilityFuels(db);
  bool apply = false;
  if (tracking) {
    view->SetCarbonTrackingEnabled(*tracking);
  } else if (call.body.contains("data_source")) {
    const long long source = call.body["data_source"].get<long long>();
    if (!view->IsCarbonTrackingEnabled()) {
      return call.Refused("carbon tracking is off: switch it on first");
    }
    if (source < 0 || source > 2 ||
        !view->SetSelectedDataSource(static_cast<int>(source))) {
      return call.Refused(
          "the data source must be 0 (first list), 1 (second list) or 2 "
          "(a factor of your own)");
    }
  } else if (call.body.contains("selected")) {
    const long long position = call.body["selected"].get<long long>();
    if (position < 0 || position > 1000000 ||
        !view->SelectFuelSource(static_cast<int>(position))) {
      return call.Refused(view->GetOfferedFuelList() == nullptr
                              ? "no fuel list is offered: choose data "
                                "source 0 or 1 first"
                              : "no fuel at position " +
                                    std::to_string(position) +
                                    " of the offered list");
    }
    apply = true;
  } else {
    if (view->GetSelectedDataSource() != DefaultUtilManagerView::kUserFactor) {
      return call.Refused(
          "a factor of your own needs data source 2 (choose it first)");
    }
    view->SetUserEmissionFactor(*factor);
    apply = true;
  }
  if (apply) view->NotifyAllUtilitiesOfGlobalChanges();
  Json state = FuelState(*view);
  state["changed"] = ChangedRows(before, state["utilities"]);
  // The database does not announce changes of fuel figures.
  if (!state["changed"].empty()) {
    call.workspace.events().Publish("utilities", "server");
  }
  return call.Reply(std::move(state));
}

}  // namespace

void AddFuelRoutes(RouteTable& table) {
  table.Add({"GET", "/api/fuels", ShowFuels, ""});
  table.Add({"PATCH", "/api/fuels", EditFuels, "fuels"});
}

}  // namespace pemar::web
