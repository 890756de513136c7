// The features of a case as the tool and the web application show and
// change them.
//
// The front ends register the library's own feature, the steam property table
// (PropertyTableFeature.h); feature libraries of the suite are not loaded.

#ifndef PEMAR_TOOLING_CASEFEATURES_H_
#define PEMAR_TOOLING_CASEFEATURES_H_

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/features/ExpMgrView.h"

namespace pemar::tooling {

// Registers the tool's features; safe to call again.
void RegisterToolFeatures();

// The case's feature manager; null when the case has none and `create` is
// false.
ExpMgrView* FeatureManager(SimulationCase& doc, bool create);

// The key under which an instance is filed (not an "All" list); empty when
// none.
std::string FeatureKey(ExpMgrView& manager, Viewable* instance);

struct PropertyTableRange {
  std::optional<double> from;
  std::optional<double> to;
  std::optional<double> pressure;
  bool Given() const { return from || to || pressure; }
};

// Adds an instance of `key`, with the range for a property table. Null,
// with the reason in `error` (or the library's messages), when it cannot.
Viewable* AddFeature(ExpMgrView& manager, const std::string& key,
                     const PropertyTableRange& range, std::string& error);

nlohmann::ordered_json FeaturesJson(SimulationCase& doc, bool rows);
// One line per instance (and the rows of property tables when `rows`).
void PrintFeatures(std::ostream& out, SimulationCase& doc, bool rows,
                   const std::string& indent);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_CASEFEATURES_H_
