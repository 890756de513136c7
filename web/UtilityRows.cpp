#include "web/UtilityRows.h"

#include <map>

#include "pemar/framework/Messages.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityDescription.h"
#include "tooling/UtilityJson.h"

namespace pemar::web {

Json UtilityRow(const DefaultUtility& u) {
  return tooling::UtilityJson(u, "inlet", "outlet");
}

Json UtilityRows(IDefaultUtilityManager& db) {
  Json rows = Json::array();
  for (int i = 0; i < db.GetNumberOfDefaultUtilities(); ++i) {
    if (const DefaultUtility* u = db.GetDefaultUtility(i)) {
      rows.push_back(UtilityRow(*u));
    }
  }
  return rows;
}

Json ChangedRows(const Json& before, const Json& after) {
  std::map<std::string, const Json*> old_rows;
  for (const Json& row : before)
    old_rows[row["name"].get<std::string>()] = &row;
  Json changed = Json::array();
  for (const Json& row : after) {
    auto it = old_rows.find(row["name"].get<std::string>());
    if (it == old_rows.end() || *it->second != row) changed.push_back(row);
  }
  return changed;
}

Json ExchangerTypes() {
  return {kShellAndTube, kFiredHeater,    kSteamReboiler,
          kAirCooler,    kSteamGenerator, kElectricity};
}

std::optional<Response> RefuseUnlessSaved(const ApiCall& call,
                                          StoreRecallType section,
                                          const std::string& what) {
  const StoreRecallType kept = call.workspace.saved_sections();
  if (kept == AllData || kept == section) return std::nullopt;
  return Response::Error(409,
                         "this file keeps only its " +
                             std::string(kept == UtilitiesOnly ? "utilities"
                                         : kept == HeatTransferCoefficientsOnly
                                             ? "heat-transfer coefficients"
                                             : "capital-cost data") +
                             ": a Save would not keep " + what);
}

ScopedDatabaseErrors::ScopedDatabaseErrors(IDefaultUtilityManager* db)
    : db_(db) {
  db_->AddNotificationReceiver(this);
  db_->AddValidMessage(this, ErrorMessage);
}

ScopedDatabaseErrors::~ScopedDatabaseErrors() {
  db_->RemoveNotificationReceiver(this);
}

void ScopedDatabaseErrors::NotifyChange(ChangeWhat what, const char* text,
                                        void* /*data*/) {
  if (what == ErrorMessage && text != nullptr) ErrorMsg(Text(text));
}

void AnnounceUnlessAnnounced(ApiCall& call, std::uint64_t sequence,
                             const std::string& topic) {
  if (call.workspace.events().LastSequence() == sequence) {
    call.workspace.events().Publish(topic, "server");
  }
}

}  // namespace pemar::web
