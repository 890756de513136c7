// What the utility, coefficient, economics and fuel areas of the API share:
// a utility as one JSON row (the columns of `pemar utilities`), the check
// that a Save of the workspace keeps a section, the relay of the utility
// database's error notifications into the call's messages, and the
// announcement of a change the library did not announce itself.

#ifndef PEMAR_WEB_UTILITYROWS_H_
#define PEMAR_WEB_UTILITYROWS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "pemar/framework/Types.h"
#include "pemar/project/Notification.h"
#include "web/Api.h"

namespace pemar {
class DefaultUtility;
class IDefaultUtilityManager;
}  // namespace pemar

namespace pemar::web {

// {"name", "type", "inlet", "outlet", "ar_low", "ar_high", "delta_t_min",
//  "htc", "cost", "exchanger_type", "fuel", "co2_emission_factor"}; the
// empty value as null.
Json UtilityRow(const DefaultUtility& utility);
// Every utility's row, in the database's order.
Json UtilityRows(IDefaultUtilityManager& db);
// The rows of `after` that are new or differ from the row of that name in
// `before` (both arrays of UtilityRow).
Json ChangedRows(const Json& before, const Json& after);

// The exchanger types the library knows, in the order a page offers them.
Json ExchangerTypes();

// 409 when a Save of the workspace would not keep `section` (a utility set
// saved with its utilities only keeps no coefficients or economics);
// `what` names the change ("coefficient changes"). Every file a workspace
// opens keeps its utilities, so utility changes need no such check.
std::optional<Response> RefuseUnlessSaved(const ApiCall& call,
                                          StoreRecallType section,
                                          const std::string& what);

// While alive, shows the utility database's error notifications (the
// "DeltaTMinWarning" it sends instead of an error message) as error
// messages, as the database's editor does, so that they reach the call.
class ScopedDatabaseErrors : private INotificationReceiver {
 public:
  explicit ScopedDatabaseErrors(IDefaultUtilityManager* db);
  ~ScopedDatabaseErrors() override;
  ScopedDatabaseErrors(const ScopedDatabaseErrors&) = delete;
  ScopedDatabaseErrors& operator=(const ScopedDatabaseErrors&) = delete;

 private:
  void NotifyChange(ChangeWhat what, const char* text, void* data) override;
  IDefaultUtilityManager* db_;
};

// Publishes `topic` unless an event was published since `sequence` (the
// library's own notification, which the workspace turns into one). Some
// edits of the database (AR temperatures, exchanger types, fuel fields, or
// any edit while the database holds back its broadcasts) announce nothing.
void AnnounceUnlessAnnounced(ApiCall& call, std::uint64_t sequence,
                             const std::string& topic);

}  // namespace pemar::web

#endif  // PEMAR_WEB_UTILITYROWS_H_
