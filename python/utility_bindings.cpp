// pemar.UtilityDatabase and pemar.fuels: the heat-integration utility
// database with the rows `pemar utilities --json`, `pemar htc --json` and
// `pemar fuels --json` print, edits through the database's own checks, and
// utility and coefficient sets read and written as the library does.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "bindings.h"
#include "errors.h"
#include "pemar/framework/Containers.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/UtilityDescription.h"
#include "pemar/utility/UtilityFiles.h"
#include "utility_database.h"

namespace py = pybind11;

namespace pemar::python {

UtilityDatabase::UtilityDatabase()
    : owned_(CreateDefaultUtilManager()), db_(owned_.get()) {}

UtilityDatabase::UtilityDatabase(IDefaultUtilityManager* db, py::object owner)
    : db_(db), owner_(std::move(owner)) {}

namespace {

py::dict UtilityRow(const DefaultUtility& u) {
  py::dict row;
  row["name"] = u.GetUtilityName() ? u.GetUtilityName() : "";
  row["type"] = HeatTypeName(u.GetHeatType());
  row["inlet_temperature"] = Number(u.GetInletTemperature());
  row["outlet_temperature"] = Number(u.GetOutletTemperature());
  row["ar_low"] = Number(u.GetARTempLow());
  row["ar_high"] = Number(u.GetARTempHigh());
  row["delta_t_min"] = Number(u.GetDeltaTmin());
  row["htc"] = Number(u.GetHeatTransferCoefficient());
  row["cost"] = Number(u.GetUtilityCost());
  row["exchanger_type"] = u.GetExchangerType().str();
  row["fuel"] = UtilityFuelName(u);
  row["co2_emission_factor"] = Number(u.GetCO2EmissionFactor());
  return row;
}

py::object RowOf(IDefaultUtilityManager* db, const char* name) {
  for (int i = 0; name != nullptr && i < db->GetNumberOfDefaultUtilities();
       ++i) {
    const DefaultUtility* u = db->GetDefaultUtility(i);
    if (u->GetUtilityName() && std::string(u->GetUtilityName()) == name) {
      return UtilityRow(*u);
    }
  }
  return py::none();
}

SegmentHeatType TypeOf(bool hot) { return hot ? HotSegment : ColdSegment; }

StoreRecallType SectionOf(const std::string& what) {
  if (what == "utilities") return UtilitiesOnly;
  if (what == "coefficients") return HeatTransferCoefficientsOnly;
  throw py::value_error(
      "what must be \"utilities\" or \"coefficients\", not \"" + what + "\"");
}

// The fields an edit may name, as the rows name them.
const std::map<std::string, DefaultUtilityParameter>& Fields() {
  static const auto* fields =
      new std::map<std::string, DefaultUtilityParameter>{
          {"inlet_temperature", InletTemperature},
          {"outlet_temperature", OutletTemperature},
          {"ar_low", ARTempLow},
          {"ar_high", ARTempHigh},
          {"delta_t_min", DeltaTmin},
          {"htc", HeatTransferCoefficient},
          {"cost", UtilityCost},
          {"co2_emission_factor", CO2EmissionFactor}};
  return *fields;
}

void RequireUtility(IDefaultUtilityManager* db, const std::string& name) {
  if (!db->Exists(name.c_str())) {
    throw py::key_error("no utility named \"" + name + "\"");
  }
}

// A refused edit, or one the library answered with an error message:
// ValueError with the library's key (None when it gave none).
void CheckEdit(bool done, const MessageCapture& capture,
               const std::string& what) {
  const Reason reason = capture.First();
  if (done && reason.key.empty()) return;
  Raise(PyExc_ValueError, "the database refused " + what, reason);
}

void SetField(UtilityDatabase& self, const std::string& name,
              const std::string& field, double value) {
  IDefaultUtilityManager* db = self.get();
  RequireUtility(db, name);
  const auto it = Fields().find(field);
  if (it == Fields().end()) {
    throw py::key_error("no field \"" + field + "\" to set");
  }
  MessageCapture capture(db);
  const hresult done = db->SetValue(name.c_str(), it->second, value);
  CheckEdit(done == 1, capture,
            field + " = " + std::to_string(value) + " for \"" + name + "\"");
}

void SetExchanger(UtilityDatabase& self, const std::string& name,
                  const std::string& type) {
  IDefaultUtilityManager* db = self.get();
  RequireUtility(db, name);
  MessageCapture capture(db);
  const char* refusal = db->SetExchangerType(name.c_str(), type.c_str());
  if (refusal != nullptr) {
    Raise(PyExc_ValueError,
          "the database refused the exchanger type \"" + type + "\" for \"" +
              name + "\"",
          ReasonOf(refusal));
  }
}

void AddUtility(UtilityDatabase& self, const std::string& name) {
  MessageCapture capture(self.get());
  CheckEdit(self.get()->AddDefaultUtility(name.c_str()) == 1, capture,
            "a utility named \"" + name + "\"");
}

void RemoveUtility(UtilityDatabase& self, const std::string& name) {
  RequireUtility(self.get(), name);
  MessageCapture capture(self.get());
  CheckEdit(self.get()->RemoveDefaultUtility(name.c_str()) == 1, capture,
            "to remove \"" + name + "\"");
}

void Open(UtilityDatabase& self, const std::filesystem::path& file,
          const std::string& what) {
  const std::string path = file.string();
  const StoreRecallType section = SectionOf(what);
  MessageCapture capture;
  if (!OpenUtilitySet(self.get(), path.c_str(), section)) {
    Raise(PyExc_OSError,
          "cannot read the " + what + " set " + path +
              ": the file is missing, damaged or holds another kind of set",
          capture.First(), path);
  }
}

void Save(UtilityDatabase& self, const std::filesystem::path& file,
          const std::string& what) {
  const std::string path = file.string();
  const StoreRecallType section = SectionOf(what);
  MessageCapture capture;
  if (!SaveUtilitySet(self.get(), path.c_str(), section)) {
    Raise(PyExc_OSError,
          "cannot write the " + what + " set " + path +
              "; any previous file of that name is unchanged",
          capture.First(), path);
  }
}

py::list Utilities(const UtilityDatabase& self) {
  py::list rows;
  IDefaultUtilityManager* db = self.get();
  for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
    rows.append(UtilityRow(*db->GetDefaultUtility(i)));
  }
  return rows;
}

py::list Coefficients(const UtilityDatabase& self) {
  py::list rows;
  IDefaultUtilityManager* db = self.get();
  for (int i = 0; i < db->GetNumberOfHTCDefaultValues(); ++i) {
    py::dict row;
    row["name"] = db->GetHTCDefaultValueName(i);
    row["value"] = db->GetHTCDefaultValue(i);
    row["note"] = db->GetHTCDefaultValueNote(i);
    rows.append(row);
  }
  return rows;
}

py::list Usable(const UtilityDatabase& self, double t, bool hot) {
  CVList found;
  self.get()->GetUsableUtilList(t, TypeOf(hot), &found);
  py::list rows;
  for (void* item : found) {
    rows.append(UtilityRow(*static_cast<DefaultUtility*>(item)));
  }
  return rows;
}

py::list Fuels() {
  py::list lists;
  int id = 0;
  for (int list = 0; list < 2; ++list) {
    std::size_t count = 0;
    const FuelTableEntry* entries = BuiltInFuelList(list, &count);
    py::list fuels;
    for (std::size_t i = 0; i < count; ++i, ++id) {
      py::dict fuel;
      fuel["id"] = id;
      fuel["name"] = entries[i].name;
      fuel["co2_emission_factor"] = entries[i].co2EmissionFactor;
      fuels.append(fuel);
    }
    py::dict entry;
    entry["list"] = list;
    entry["fuels"] = fuels;
    lists.append(entry);
  }
  return lists;
}

}  // namespace

void DefineUtilities(py::module_& m) {
  py::class_<UtilityDatabase>(m, "UtilityDatabase", R"(
The heat-integration utility and economics database.

UtilityDatabase() holds the library's defaults: the default files named by
the configuration ("DefaultUtility", "DefaultHeatTranCoeff",
"DefaultCapitalCost") when they can be read, else the 22 built-in utilities
and the built-in coefficient and cost tables. Temperatures are degrees
Celsius; a field the database leaves empty is None in the rows.
)")
      .def(py::init<>())
      .def("open", &Open, py::arg("path"), py::arg("what") = "utilities",
           R"(Replaces the utilities (what="utilities", a .hud set) or the
heat-transfer-coefficient defaults (what="coefficients", a .htc set) with the
set in the file. OSError (with .key and .filename) when the file is missing,
damaged or holds another kind of set; the database is then unchanged.)")
      .def("save", &Save, py::arg("path"), py::arg("what") = "utilities",
           R"(Writes the utilities or the coefficient defaults as a set file,
crash-safely. OSError (with .key and .filename) when it cannot be written;
a previous file of that name is then unchanged.)")
      .def("utilities", &Utilities,
           R"(The utilities in list order, as dicts with the columns of
`pemar utilities --json`: name, type ("hot"/"cold"/"undefined"),
inlet_temperature, outlet_temperature, ar_low, ar_high, delta_t_min, htc,
cost, exchanger_type, fuel, co2_emission_factor.)")
      .def(
          "recommend",
          [](const UtilityDatabase& self, double t, bool hot,
             std::optional<std::string> exchanger) {
            return RowOf(
                self.get(),
                self.get()->GetRecommendedUtilityName(
                    t, TypeOf(hot), exchanger ? exchanger->c_str() : nullptr));
          },
          py::arg("T"), py::arg("hot") = true,
          py::arg("exchanger") = py::none(),
          R"(The recommended utility for process temperature T (C): the first
of this heat type (hot: heating) whose AR range holds T, and of the exchanger
type when given. A row dict, or None when no utility serves.)")
      .def(
          "cheapest",
          [](const UtilityDatabase& self, double t, bool hot) {
            return RowOf(self.get(), self.get()->GetMostEconomicalUtilityName(
                                         t, TypeOf(hot)));
          },
          py::arg("T"), py::arg("hot") = true,
          R"(The most economical usable utility for process temperature T
(C) (credits count as cheaper): a row dict, or None.)")
      .def("usable", &Usable, py::arg("T"), py::arg("hot") = true,
           R"(Every utility usable at process temperature T (C), as row
dicts in list order; empty when none.)")
      .def("heat_transfer_coefficients", &Coefficients,
           R"(The heat-transfer-coefficient defaults as dicts with the keys
of `pemar htc --json`: name, value (kW/m2K), note.)")
      .def("set", &SetField, py::arg("name"), py::arg("field"),
           py::arg("value"),
           R"(Sets one field of a utility through the database's own checks.
field is one of inlet_temperature, outlet_temperature, ar_low, ar_high,
delta_t_min, htc, cost, co2_emission_factor. KeyError for an unknown utility
or field; ValueError, with the library's message key as .key, when the
database refuses the value (then nothing changed).)")
      .def("set_exchanger_type", &SetExchanger, py::arg("name"),
           py::arg("type"),
           R"(Sets a utility's exchanger type; ValueError with the library's
message key as .key when the type does not suit the utility.)")
      .def("add_utility", &AddUtility, py::arg("name"),
           R"(Adds an empty utility; ValueError when the name is taken or
not allowed.)")
      .def("remove_utility", &RemoveUtility, py::arg("name"),
           R"(Removes a utility; KeyError when there is none of that name.)");

  m.def("fuels", &Fuels, R"(The two built-in fuel lists, as
`pemar fuels --json` gives them: [{"list": 0, "fuels": [{"id", "name",
"co2_emission_factor"}, ...]}, {"list": 1, ...}]; IDs run on across both.)");
}

}  // namespace pemar::python
