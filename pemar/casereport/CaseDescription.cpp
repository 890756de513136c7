#include "pemar/casereport/CaseDescription.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/diag/PlotDescription.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/persist/SuiteInterfaces.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/PemarProject.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace pemar {
namespace {

// The engineering manager's "every object" interface id.
constexpr long kDescribeAllObjects = 1;

// Exact: hexadecimal floating point keeps every bit but NaN's.
std::string ExactNumber(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%a", value);
  return buffer;
}

// Absent strings differ from empty ones; quotes show trailing blanks, and
// escapes keep one value on one line.
std::string Quoted(const char* text) {
  return text == nullptr ? std::string("(none)") : QuotedEscaped(text);
}

class Writer {
 public:
  explicit Writer(std::string* out) : out_(out) {}
  void Line(const std::string& key, const std::string& value) {
    *out_ += key;
    *out_ += " = ";
    *out_ += value;
    *out_ += '\n';
  }
  void Text(const std::string& key, const char* text) {
    Line(key, Quoted(text));
  }
  void Real(const std::string& key, double value) {
    Line(key, ExactNumber(value));
  }
  void Int(const std::string& key, long value) {
    Line(key, std::to_string(value));
  }

 private:
  std::string* out_;
};

// Every stored field of every problem report, in list order.
void DescribeBugReports(const BugReportManager& manager, Writer& w) {
  const auto& reports = manager.Reports();
  w.Int("bugReports", static_cast<long>(reports.size()));
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const BugReport& r = *reports[i];
    const std::string p = "bugReport[" + std::to_string(i) + "].";
    w.Text(p + "title", r.GetName().c_str());
    w.Text(p + "date", r.Date().c_str());
    w.Text(p + "reportedBy", r.ReportedBy().c_str());
    w.Text(p + "programVersion", r.ProgramVersion().c_str());
    w.Text(p + "systemDetails", r.SystemDetails().c_str());
    w.Text(p + "programBuildDate", r.ProgramBuildDate().c_str());
    w.Text(p + "programArea", r.ProgramArea().c_str());
    w.Text(p + "description", r.Description().c_str());
    w.Int(p + "class", r.ClassChoice());
    w.Int(p + "priority", r.PriorityChoice());
    w.Int(p + "reproducibility", r.ReproducibilityChoice());
  }
}

void DescribeUtility(const DefaultUtility& u, const std::string& p, Writer& w) {
  w.Text(p + "name", u.GetUtilityName());
  w.Int(p + "heatType", u.GetHeatType());
  w.Text(p + "exchangerType", u.GetExchangerType().c_str());
  w.Real(p + "inletT", u.GetInletTemperature());
  w.Real(p + "outletT", u.GetOutletTemperature());
  w.Real(p + "htc", u.GetHeatTransferCoefficient());
  w.Real(p + "cost", u.GetUtilityCost());
  w.Real(p + "arHigh", u.GetARTempHigh());
  w.Real(p + "arLow", u.GetARTempLow());
  w.Real(p + "deltaTmin", u.GetDeltaTmin());
  w.Real(p + "viscosity", u.GetViscosity());
  w.Real(p + "thermCond", u.GetThermCond());
  w.Real(p + "massDensity", u.GetMassDensity());
  w.Real(p + "massHeatCap", u.GetMassHeatCap());
  w.Int(p + "htcCalculated", u.IsHTCCalculated());
  w.Real(p + "efDataSource", u.GetEFDataSource());
  w.Real(p + "co2EmissionFactor", u.GetCO2EmissionFactor());
  w.Real(p + "fuelSourceID", u.GetFuelSourceID());
  w.Real(p + "fuelEffFactor", u.GetFuelEffFactor());
  w.Real(p + "globalSetting", u.IsGlobalSetting());
  w.Int(p + "components", u.GetComponentCount());
  for (int c = 0; c < u.GetComponentCount(); ++c) {
    const std::string q = p + "component[" + std::to_string(c) + "].";
    w.Text(q + "name", u.GetComponentName(c));
    w.Real(q + "fraction", u.GetComponentFraction(c));
  }
}

void DescribeEconomicData(const EconomicData* data, const std::string& p,
                          Writer& w) {
  if (data == nullptr) {
    w.Line(p, "(none)");
    return;
  }
  const CVString* name = data->GetExchangerType();
  w.Text(p + "name", name != nullptr ? name->c_str() : nullptr);
  w.Int(p + "locked", data->IsLocked());
  for (EconomicDataType t : {EconomicCoefficient0, EconomicCoefficient1,
                             EconomicCoefficient2, EconomicSwitch}) {
    w.Real(p + "value[" + std::to_string(t) + "]", data->GetEconomicData(t));
  }
}

void DescribeEconomics(DefaultManager& m, Writer& w) {
  DescribeEconomicData(m.GetEconomicDataPointer(), "economics.default.", w);
  if (const EconomicInfo* info = m.GetEconomicInfoPointer()) {
    w.Int("economics.info.locked", info->IsLocked());
    for (EconomicDataType t :
         {EconomicParameter3, EconomicParameter4, EconomicOperatingHours}) {
      w.Real("economics.info.value[" + std::to_string(t) + "]",
             info->GetEconomicInfo(t));
    }
  } else {
    w.Line("economics.info", "(none)");
  }
  if (const EconomicDataList* list = m.GetEconomicDataList()) {
    w.Int("economics.list", static_cast<long>(list->size()));
    for (std::size_t i = 0; i < list->size(); ++i) {
      DescribeEconomicData((*list)[i],
                           "economics.list[" + std::to_string(i) + "].", w);
    }
  } else {
    w.Line("economics.list", "(none)");
  }
  // The dictionary is what lookups by name use; its keys must still match.
  if (const EconomicDataDictionary* dict = m.GetEconomicDataDict()) {
    w.Int("economics.dict", static_cast<long>(dict->size()));
    for (const auto& [key, data] : *dict) {
      DescribeEconomicData(data, "economics.dict[" + key.str() + "].", w);
    }
  } else {
    w.Line("economics.dict", "(none)");
  }
}

void DescribeNote(CProjectNote* note, const std::string& p, Writer& w) {
  w.Text(p + "text", note->GetNoteText());
  w.Text(p + "author", note->GetNoteAuthor());
  w.Text(p + "title", note->GetNoteTitle());
  w.Text(p + "date", note->GetNoteDate());
}

}  // namespace

std::string DescribeProject(IPemarProject& project) {
  std::string out;
  Writer w(&out);
  w.Text("name", project.GetProjectName());
  w.Text("engineer", project.GetEngineersName());
  w.Text("comments", project.GetComments());
  w.Text("date", project.GetDate());
  const int notes = project.GetNumberOfNotes();
  w.Int("notes", notes);
  // The project's own GetNoteTitle would make a default title; the note's
  // does not.
  auto* concrete = dynamic_cast<CPemarProject*>(&project);
  for (int i = 0; concrete != nullptr && i < notes; ++i) {
    CProjectNote* note = concrete->GetNote(i);
    const std::string p = "note[" + std::to_string(i) + "].";
    if (note == nullptr) {
      w.Line(p, "(missing)");
      continue;
    }
    DescribeNote(note, p, w);
  }
  if (concrete != nullptr) w.Text("defaultTitle", concrete->DefaultTitleText());
  return out;
}

std::string DescribeUtilityDatabase(IDefaultUtilityManager* database) {
  std::string out;
  Writer w(&out);
  if (database == nullptr) {
    w.Line("database", "(none)");
    return out;
  }
  const int utilities = database->GetNumberOfDefaultUtilities();
  w.Int("utilities", utilities);
  for (int i = 0; i < utilities; ++i) {
    const std::string p = "utility[" + std::to_string(i) + "].";
    const DefaultUtility* utility = database->GetDefaultUtility(i);
    if (utility == nullptr) {
      w.Line(p, "(missing)");
      continue;
    }
    DescribeUtility(*utility, p, w);
  }
  const int htc = database->GetNumberOfHTCDefaultValues();
  w.Int("htc", htc);
  for (int i = 0; i < htc; ++i) {
    const std::string p = "htc[" + std::to_string(i) + "].";
    w.Text(p + "name", database->GetHTCDefaultValueName(i));
    w.Text(p + "note", database->GetHTCDefaultValueNote(i));
    w.Real(p + "value", database->GetHTCDefaultValue(i));
  }
  for (const char* key :
       {kCurrentUtilitiesFileName, kCurrentEconomicsFileName}) {
    char* name = nullptr;
    database->GetCurrentFileName(key, name);
    w.Text(std::string("file.") + key, name);
  }
  w.Int("mode", database->GetMode());
  if (auto* manager = dynamic_cast<DefaultManager*>(database)) {
    DescribeEconomics(*manager, w);
  }
  return out;
}

std::string DescribeUtilityView(DefaultUtilManagerView* view) {
  std::string out;
  Writer w(&out);
  if (view == nullptr) {
    w.Line("view", "(none)");
    return out;
  }
  w.Text("view.name", view->GetName().c_str());
  w.Int("view.carbonTracking", view->IsCarbonTrackingEnabled());
  w.Int("view.selectedSource", view->GetSelectedDataSource());
  const FuelSourceStruct& fuel = view->GetSelectedFuelSource();
  w.Text("view.fuel.name", fuel.GetName().c_str());
  w.Real("view.fuel.index", fuel.GetFuelIndex());
  w.Real("view.fuel.co2EmissionFactor", fuel.GetCO2EmissionFactor());
  w.Real("view.fuel.effFactor", fuel.GetFuelEffFactor());
  const auto* offered = view->GetOfferedFuelList();
  w.Int("view.offered", offered == nullptr                      ? -1
                        : offered == view->GetFuelSourceList(0) ? 0
                        : offered == view->GetFuelSourceList(1) ? 1
                                                                : 2);
  out += DescribeUtilityDatabase(view->GetDatabase());
  return out;
}

std::string DescribeCase(SimulationCase& theCase) {
  std::string out;
  Writer w(&out);
  const SimulationCaseFileHeader* header = theCase.CaseFileHeader();
  w.Int("header.structureRevision", header->FileStructureRevision());
  w.Text("header.description", header->Description().c_str());
  w.Text("header.originalName", header->OriginalName().c_str());
  w.Int("header.askForName", header->AskForNameFlag());
  w.Int("case.saveCounter", theCase.SaveCounter());
  Viewable* bugs = theCase.BugReportManagerObject();
  w.Text("case.bugReportManager",
         bugs != nullptr ? bugs->GetName().c_str() : nullptr);
  if (const auto* manager = dynamic_cast<const BugReportManager*>(bugs)) {
    DescribeBugReports(*manager, w);
  }

  // The framework objects that the case stores, by type and name.
  for (Viewable* object : theCase.GetObjectManager().Objects()) {
    if (object == &theCase) continue;
    w.Line("object", object->Type()->Name().str() + " " +
                         Quoted(object->GetName().c_str()));
  }

  EngineeringManager* engineering = theCase.GetEngineeringManager();
  const int objects = engineering->GetProjectSize(kDescribeAllObjects);
  w.Int("engineering.objects", objects);
  for (int i = 0; i < objects; ++i) {
    IPemarBaseObject* object = nullptr;
    engineering->GetProjectByNum(i, kDescribeAllObjects, &object);
    const std::string p = "engineering[" + std::to_string(i) + "].";
    if (object == nullptr) {
      w.Line(p, "(missing)");
      continue;
    }
    w.Int(p + "type", object->GetObjectType());
    w.Text(p + "id", object->GetMyIdentifier());
    if (IPemarProject* project = AsPemarProject(object)) {
      std::istringstream lines(DescribeProject(*project));
      for (std::string line; std::getline(lines, line);) {
        out += p + line + '\n';
      }
    }
  }
  const std::string plots = DescribeDocumentPlots(theCase);
  if (plots != "(no plot views)\n") out += plots;
  out += DescribeUtilityView(theCase.UtilityDatabaseView(false));
  out += DescribeFeatures(CaseFeatureManager(&theCase));
  out += DescribeDesignViewers(theCase);
  return out;
}

std::string DescribeDesignViewers(SimulationCase& theCase) {
  std::string out;
  auto name = [](const Viewable* v) {
    return v == nullptr ? std::string("(none)") : Quoted(v->GetName().c_str());
  };
  auto entries = [&](const auto& list, const Viewable* current) {
    std::string s;
    for (const Viewable* v : list) s += (v == current ? " *" : " ") + name(v);
    return s;
  };
  for (Viewable* object : theCase.GetObjectManager().Objects()) {
    if (auto* p = dynamic_cast<DesignViewerProject*>(object)) {
      IPemarProject* project = p->GetProject();
      out += "designViewer " + name(p) + " project " +
             Quoted(project ? project->GetProjectName() : nullptr) + ":" +
             entries(p->ScenariosVal(), p->GetCurrentScenario()) + "\n";
    } else if (auto* s = dynamic_cast<DesignViewerScenario*>(object)) {
      IPemarBaseObject* project = s->GetEngineeringProject();
      IPemarScenario* scenario = s->GetmyScenario();
      out += "designViewer.scenario " + name(s) + " project " +
             Quoted(project ? project->GetMyIdentifier() : nullptr) +
             " scenario " + Quoted(scenario ? scenario->GetName() : nullptr) +
             " owner " + name(s->OwningView()) + ":" +
             entries(s->GetDesignObjs(), s->GetCurrentDesign()) + "\n";
    } else if (auto* d = dynamic_cast<DesignViewerDesign*>(object)) {
      out += "designViewer.design " + name(d) + " creator " +
             name(d->GetCreator()) + "\n";
    }
  }
  return out;
}

std::string DescribeFeatures(ExpMgrView* manager) {
  if (manager == nullptr) return "features (none)\n";
  std::string out;
  auto name = [](const Viewable* v) {
    return v == nullptr ? std::string("(none)") : Quoted(v->GetName().c_str());
  };
  auto hex = [](double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%a", v);
    return std::isnan(v) ? std::string("nan") : std::string(buffer);
  };
  for (const Viewable* v : manager->AllInstances()) {
    out += "feature " + name(v);
    if (auto* t = dynamic_cast<const PropertyTableFeature*>(v)) {
      out += " table " + hex(t->From()) + " " + hex(t->To()) + " " +
             hex(t->Pressure());
      for (const PropertyTableRow& r : t->Rows()) {
        out += " [" + hex(r.temperature) + " " + std::to_string(r.phase) + " " +
               hex(r.enthalpy) + " " + hex(r.volume) + "]";
      }
    }
    out += "\n";
  }
  for (const Text& list : manager->ListNames()) {
    out += "features.list " + Quoted(list.c_str()) + ":";
    for (const Viewable* v : *manager->InstanceList(list.c_str())) {
      out += ' ';
      out += name(v);
    }
    out += "\n";
  }
  for (const TechnologyManagerView* t : manager->TechnologyManagers()) {
    out += "features.technology " + name(t) + " " +
           Quoted(t->Technology().c_str()) + " chosen " +
           Quoted(t->ChosenList().c_str()) + " selected " +
           name(t->Selected()) + " " + Quoted(t->SelectedName().c_str()) + "\n";
  }
  return out;
}

std::string FirstDifference(const std::string& expected,
                            const std::string& actual) {
  if (expected == actual) return std::string();
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string left;
  std::string right;
  for (int line = 1;; ++line) {
    const bool more_a = static_cast<bool>(std::getline(a, left));
    const bool more_b = static_cast<bool>(std::getline(b, right));
    if (!more_a) left = "(end of text)";
    if (!more_b) right = "(end of text)";
    if (left != right || !more_a || !more_b) {
      std::string difference = "line " + std::to_string(line);
      difference += ":\n  expected: ";
      difference += left;
      difference += "\n  actual:   ";
      difference += right;
      difference += '\n';
      return difference;
    }
  }
}

}  // namespace pemar
