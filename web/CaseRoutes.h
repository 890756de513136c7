// The routes of the open case, kept in several sources: the case, its
// features and the routes below (CaseApi.cpp), projects and notes
// (CaseNotesApi.cpp), problem reports, plots and the report
// (CaseReportApi.cpp), and the views reached through their variables
// (ViewApi.cpp). AddCaseRoutes (Api.h) adds them all.

#ifndef PEMAR_WEB_CASEROUTES_H_
#define PEMAR_WEB_CASEROUTES_H_

#include <optional>
#include <string_view>

#include "web/Api.h"

namespace pemar {
class SimulationCase;
}

namespace pemar::web {

// The open case; null, with `missing` set to a 404 that says why, when the
// workspace holds a utility set.
SimulationCase* OpenCase(ApiCall& call, std::optional<Response>& missing);

// A position counted from 1 as a path segment gives it: digits only, at
// most `count`. Nullopt for anything else.
std::optional<int> Position(std::string_view segment, int count);

void AddCaseNotesRoutes(RouteTable& table);
void AddCaseReportRoutes(RouteTable& table);
void AddViewRoutes(RouteTable& table);

}  // namespace pemar::web

#endif  // PEMAR_WEB_CASEROUTES_H_
