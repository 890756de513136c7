#include "pemar/casereport/CaseDescription.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

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

// Exact: hexadecimal floating point keeps every bit but NaN's, written as
// printf's "%a" writes it ("0x1.8p+1", "-0x0p+0", "0x0.0000000000001p-1022",
// "inf"), but without printf, which took most of a description's time.
// Written into `buffer`, which the result points into.
std::string_view ExactNumber(double value, char (&buffer)[64]) {
  if (std::isnan(value)) return "nan";
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  char* p = buffer;
  if ((bits >> 63) != 0) *p++ = '-';
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0x7ff) {
    std::memcpy(p, "inf", 3);
    return std::string_view(buffer, static_cast<std::size_t>(p + 3 - buffer));
  }
  // Subnormals keep the smallest exponent, with a leading 0.
  const int exponent =
      biased != 0 ? biased - 1023 : (fraction != 0 ? -1022 : 0);
  *p++ = '0';
  *p++ = 'x';
  *p++ = biased != 0 ? '1' : '0';
  if (fraction != 0) {
    static constexpr char kHex[] = "0123456789abcdef";
    *p++ = '.';
    for (int shift = 48; fraction != 0; shift -= 4) {
      *p++ = kHex[(fraction >> shift) & 15];
      fraction &= (std::uint64_t{1} << shift) - 1;
    }
  }
  *p++ = 'p';
  *p++ = exponent < 0 ? '-' : '+';
  unsigned magnitude =
      static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  char digits[8];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) *p++ = digits[--count];
  return std::string_view(buffer, static_cast<std::size_t>(p - buffer));
}

// Absent strings differ from empty ones; quotes show trailing blanks, and
// escapes keep one value on one line.
std::string Quoted(const char* text) {
  return text == nullptr ? std::string("(none)") : QuotedEscaped(text);
}

// Writes "key = value" lines, each key after the writer's prefix. A case
// is described twice in every round trip of the fuzz targets, so the lines
// go straight into the text, each with as few appends as it can: no string
// is made for a key or a value, and a short line goes in at once.
class Writer {
 public:
  explicit Writer(std::string* out, std::string_view prefix = {})
      : out_(out), prefix_(prefix) {}
  void Line(std::string_view key, std::string_view value) {
    char line[256];
    const std::size_t size = prefix_.size() + key.size() + value.size() + 4;
    if (size > sizeof line) {
      Head(key);
      *out_ += value;
      *out_ += '\n';
      return;
    }
    char* p = Put(line, prefix_);
    p = Put(p, key);
    p = Put(p, " = ");
    p = Put(p, value);
    *p = '\n';
    out_->append(line, size);
  }
  // As Quoted writes it.
  void Text(std::string_view key, const char* text) {
    if (text == nullptr) {
      Line(key, "(none)");
      return;
    }
    Head(key);
    AppendQuotedEscaped(text, out_);
    *out_ += '\n';
  }
  void Real(std::string_view key, double value) {
    char buffer[64];
    Line(key, ExactNumber(value, buffer));
  }
  void Int(std::string_view key, long value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    Line(key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
  }

 private:
  static char* Put(char* p, std::string_view piece) {
    // An empty view may have no data at all, which memcpy must not see.
    if (!piece.empty()) std::memcpy(p, piece.data(), piece.size());
    return p + piece.size();
  }
  // The line up to its value.
  void Head(std::string_view key) {
    *out_ += prefix_;
    *out_ += key;
    *out_ += " = ";
  }

  std::string* out_;
  std::string_view prefix_;
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

// Keys after the utility's prefix.
void DescribeUtility(const DefaultUtility& u, Writer& w) {
  w.Text("name", u.GetUtilityName());
  w.Int("heatType", u.GetHeatType());
  w.Text("exchangerType", u.GetExchangerType().c_str());
  w.Real("inletT", u.GetInletTemperature());
  w.Real("outletT", u.GetOutletTemperature());
  w.Real("htc", u.GetHeatTransferCoefficient());
  w.Real("cost", u.GetUtilityCost());
  w.Real("arHigh", u.GetARTempHigh());
  w.Real("arLow", u.GetARTempLow());
  w.Real("deltaTmin", u.GetDeltaTmin());
  w.Real("viscosity", u.GetViscosity());
  w.Real("thermCond", u.GetThermCond());
  w.Real("massDensity", u.GetMassDensity());
  w.Real("massHeatCap", u.GetMassHeatCap());
  w.Int("htcCalculated", u.IsHTCCalculated());
  w.Real("efDataSource", u.GetEFDataSource());
  w.Real("co2EmissionFactor", u.GetCO2EmissionFactor());
  w.Real("fuelSourceID", u.GetFuelSourceID());
  w.Real("fuelEffFactor", u.GetFuelEffFactor());
  w.Real("globalSetting", u.IsGlobalSetting());
  w.Int("components", u.GetComponentCount());
  for (int c = 0; c < u.GetComponentCount(); ++c) {
    const std::string q = "component[" + std::to_string(c) + "].";
    w.Text(q + "name", u.GetComponentName(c));
    w.Real(q + "fraction", u.GetComponentFraction(c));
  }
}

// Keys after `p`.
void DescribeEconomicData(const EconomicData* data, const std::string& p,
                          std::string* out) {
  Writer w(out, p);
  if (data == nullptr) {
    w.Line("", "(none)");
    return;
  }
  const CVString* name = data->GetExchangerType();
  w.Text("name", name != nullptr ? name->c_str() : nullptr);
  w.Int("locked", data->IsLocked());
  for (EconomicDataType t : {EconomicCoefficient0, EconomicCoefficient1,
                             EconomicCoefficient2, EconomicSwitch}) {
    w.Real("value[" + std::to_string(t) + "]", data->GetEconomicData(t));
  }
}

void DescribeEconomics(DefaultManager& m, std::string* out) {
  Writer w(out);
  DescribeEconomicData(m.GetEconomicDataPointer(), "economics.default.", out);
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
                           "economics.list[" + std::to_string(i) + "].", out);
    }
  } else {
    w.Line("economics.list", "(none)");
  }
  // The dictionary is what lookups by name use; its keys must still match.
  if (const EconomicDataDictionary* dict = m.GetEconomicDataDict()) {
    w.Int("economics.dict", static_cast<long>(dict->size()));
    for (const auto& [key, data] : *dict) {
      DescribeEconomicData(data, "economics.dict[" + key.str() + "].", out);
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

// The describers below write into the caller's text. Descriptions are
// made often (twice for every save and reopen a test checks), and texts
// built apart and then copied into the next took most of their time.
void AppendUtilityDatabase(IDefaultUtilityManager* database, std::string* out) {
  Writer w(out);
  if (database == nullptr) {
    w.Line("database", "(none)");
    return;
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
    Writer by_utility(out, p);
    DescribeUtility(*utility, by_utility);
  }
  const int htc = database->GetNumberOfHTCDefaultValues();
  w.Int("htc", htc);
  for (int i = 0; i < htc; ++i) {
    const std::string p = "htc[" + std::to_string(i) + "].";
    Writer by_entry(out, p);
    by_entry.Text("name", database->GetHTCDefaultValueName(i));
    by_entry.Text("note", database->GetHTCDefaultValueNote(i));
    by_entry.Real("value", database->GetHTCDefaultValue(i));
  }
  for (const char* key :
       {kCurrentUtilitiesFileName, kCurrentEconomicsFileName}) {
    char* name = nullptr;
    database->GetCurrentFileName(key, name);
    w.Text(std::string("file.") + key, name);
  }
  w.Int("mode", database->GetMode());
  if (auto* manager = dynamic_cast<DefaultManager*>(database)) {
    DescribeEconomics(*manager, out);
  }
}

void AppendUtilityView(DefaultUtilManagerView* view, std::string* out) {
  Writer w(out);
  if (view == nullptr) {
    w.Line("view", "(none)");
    return;
  }
  w.Text("view.name", view->GetName().c_str());
  w.Int("view.carbonTracking", view->IsCarbonTrackingEnabled());
  w.Int("view.selectedSource", view->GetSelectedDataSource());
  const FuelSourceStruct& fuel = view->GetSelectedFuelSource();
  w.Text("view.fuel.name", fuel.GetName().c_str());
  w.Real("view.fuel.index", fuel.GetFuelIndex());
  w.Real("view.fuel.co2EmissionFactor", fuel.GetCO2EmissionFactor());
  w.Real("view.fuel.effFactor", fuel.GetFuelEffFactor());
  w.Int("view.offered", view->GetOfferedFuelListSource());
  AppendUtilityDatabase(view->GetDatabase(), out);
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
  AppendUtilityDatabase(database, &out);
  return out;
}

std::string DescribeUtilityView(DefaultUtilManagerView* view) {
  std::string out;
  AppendUtilityView(view, &out);
  return out;
}

std::string DescribeCase(SimulationCase& theCase) {
  std::string out;
  DescribeCase(theCase, &out);
  return out;
}

void DescribeCase(SimulationCase& theCase, std::string* text) {
  text->clear();
  std::string& out = *text;
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
  AppendUtilityView(theCase.UtilityDatabaseView(false), &out);
  out += DescribeFeatures(CaseFeatureManager(&theCase));
  out += DescribeDesignViewers(theCase);
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
  // Written piece by piece into the text, as the case's lines are.
  std::string out;
  auto name = [&out](const Viewable* v) {
    if (v == nullptr) {
      out += "(none)";
    } else {
      out += QuotedEscaped(v->GetName().c_str());
    }
  };
  auto quoted = [&out](const Text& text) {
    out += QuotedEscaped(text.c_str());
  };
  auto hex = [&out](double v) {
    char buffer[64];
    out += ExactNumber(v, buffer);
  };
  for (const Viewable* v : manager->AllInstances()) {
    out += "feature ";
    name(v);
    if (auto* t = dynamic_cast<const PropertyTableFeature*>(v)) {
      out += " table ";
      hex(t->From());
      out += ' ';
      hex(t->To());
      out += ' ';
      hex(t->Pressure());
      for (const PropertyTableRow& r : t->Rows()) {
        out += " [";
        hex(r.temperature);
        out += ' ';
        out += std::to_string(r.phase);
        out += ' ';
        hex(r.enthalpy);
        out += ' ';
        hex(r.volume);
        out += ']';
      }
    }
    out += '\n';
  }
  for (const Text& list : manager->ListNames()) {
    out += "features.list ";
    quoted(list);
    out += ':';
    for (const Viewable* v : *manager->InstanceList(list.c_str())) {
      out += ' ';
      name(v);
    }
    out += '\n';
  }
  for (const TechnologyManagerView* t : manager->TechnologyManagers()) {
    out += "features.technology ";
    name(t);
    out += ' ';
    quoted(t->Technology());
    out += " chosen ";
    quoted(t->ChosenList());
    out += " selected ";
    name(t->Selected());
    out += ' ';
    quoted(t->SelectedName());
    out += '\n';
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
