// The features of a case as the tool shows and changes them.

#include "tooling/CaseFeatures.h"

#include <cstdio>

#include "pemar/case/CaseManagers.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureInstances.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/framework/Types.h"
#include "tooling/Format.h"

namespace pemar::tooling {
namespace {

std::string Number(double value) { return ShortNumber(value, "n/a"); }

std::string Technology(const std::string& key) {
  return FeatureTechnology(key);
}

std::string RangeText(const PropertyTableFeature& table) {
  return Number(table.From()) + " to " + Number(table.To()) + " K at " +
         Number(table.Pressure()) + " kPa, " +
         std::to_string(table.Rows().size()) + " rows";
}

}  // namespace

void RegisterToolFeatures() { PropertyTableFeature::RegisterFeature(); }

ExpMgrView* FeatureManager(SimulationCase& doc, bool create) {
  if (create) {
    return dynamic_cast<ExpMgrView*>(CaseBuildManager(&doc, "FeatureManager"));
  }
  return CaseFeatureManager(&doc);
}

std::string FeatureKey(ExpMgrView& manager, Viewable* instance) {
  return FeatureKeyOf(manager, instance);
}

Viewable* AddFeature(ExpMgrView& manager, const std::string& key,
                     const PropertyTableRange& range, std::string& error) {
  const bool table = key == kPropertyTableKey;
  if (range.Given() && !table) {
    error = "a range (from, to, pressure) belongs to " +
            std::string(kPropertyTableKey) + " features only";
    return nullptr;
  }
  if (table) {
    // Checked before anything is made, so that a refused range adds
    // nothing.
    PropertyTableFeature probe(nullptr, nullptr);
    if (!probe.SetRange(range.from.value_or(probe.From()),
                        range.to.value_or(probe.To()),
                        range.pressure.value_or(probe.Pressure()))) {
      error = "a property table needs " + Number(kPropertyTableMinK) +
              " K <= from <= to <= " + Number(kPropertyTableMaxK) +
              " K and a pressure above 0 and up to " +
              Number(kPropertyTableMaxKPa) + " kPa";
      return nullptr;
    }
  }
  Viewable* instance = manager.AddExperiment(key.c_str(), nullptr);
  if (instance == nullptr) {
    error = "cannot add a feature \"" + key + "\"";
    return nullptr;
  }
  if (auto* t = dynamic_cast<PropertyTableFeature*>(instance)) {
    t->SetRange(range.from.value_or(t->From()), range.to.value_or(t->To()),
                range.pressure.value_or(t->Pressure()));
  }
  return instance;
}

nlohmann::ordered_json FeaturesJson(SimulationCase& doc, bool rows) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  ExpMgrView* manager = FeatureManager(doc, false);
  if (manager == nullptr) return list;
  for (Viewable* instance : manager->AllInstances()) {
    const std::string key = FeatureKey(*manager, instance);
    nlohmann::ordered_json j = {{"name", instance->GetName().str()},
                                {"key", key},
                                {"technology", Technology(key)}};
    if (auto* t = dynamic_cast<PropertyTableFeature*>(instance)) {
      j["from_K"] = t->From();
      j["to_K"] = t->To();
      j["pressure_kPa"] = t->Pressure();
      if (rows) {
        nlohmann::ordered_json r = nlohmann::ordered_json::array();
        for (const PropertyTableRow& row : t->Rows()) {
          r.push_back({{"temperature_K", row.temperature},
                       {"phase", row.phase == 1 ? "liquid" : "vapour"},
                       {"enthalpy_kJ_per_kmol", JsonNumber(row.enthalpy)},
                       {"volume_m3_per_kmol", JsonNumber(row.volume)}});
        }
        j["rows"] = r;
      } else {
        j["rows"] = t->Rows().size();
      }
    }
    list.push_back(j);
  }
  return list;
}

void PrintFeatures(std::ostream& out, SimulationCase& doc, bool rows,
                   const std::string& indent) {
  ExpMgrView* manager = FeatureManager(doc, false);
  const std::size_t n = manager == nullptr ? 0 : manager->AllInstances().size();
  out << indent
      << "features:           " << (n == 0 ? "none" : std::to_string(n))
      << "\n";
  if (manager == nullptr) return;
  for (Viewable* instance : manager->AllInstances()) {
    const std::string key = FeatureKey(*manager, instance);
    out << indent << "  " << instance->GetName().str() << " (" << key;
    if (!Technology(key).empty()) out << ", " << Technology(key);
    out << ")";
    auto* t = dynamic_cast<PropertyTableFeature*>(instance);
    if (t != nullptr) out << ": " << RangeText(*t);
    out << "\n";
    if (t == nullptr || !rows) continue;
    out << indent << "    T/K        phase    H/(kJ/kmol)    V/(m3/kmol)\n";
    for (const PropertyTableRow& row : t->Rows()) {
      char line[128];
      std::snprintf(line, sizeof line, "    %-10s %-8s %-14s %s",
                    Number(row.temperature).c_str(),
                    row.phase == 1 ? "liquid" : "vapour",
                    Number(row.enthalpy).c_str(), Number(row.volume).c_str());
      out << indent << line << "\n";
    }
  }
}

}  // namespace pemar::tooling
