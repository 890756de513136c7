#include "pemar/config/ProgramConfiguration.h"

#include <cstring>

#include "pemar/framework/DynamicLibrary.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

constexpr const char* kKeywords[] = {"CONFIGURATIONNAME", "MANAGERS",
                                     "FEATURES", "REQUIREDDLLS", "VIEWLETS"};

struct Feature {
  const char* name;
  char mark;
};

// '_' marks "never enabled" and is the mark of "SolventRecovery".
constexpr Feature kFeatures[kConfigurationFeatureCount] = {
    {"PureComponentRegression", 'A'},
    {"FluidPhaseRegression", 'B'},
    {"PropertyTable", 'C'},
    {"PhaseEquilibrium", 'D'},
    {"ResidueCurveMap", 'E'},
    {"AzeotropeAnalysis", 'F'},
    {"DistillationRegionDiagram", 'G'},
    {"ColumnDesign", 'H'},
    {"SolventRecovery", '_'},
    {"SplitGenerator", 'I'},
    {"AzeotropicColumnSequencing", 'J'},
    {"ColumnSequencing", 'K'},
    {"ComplexColumn", 'L'},
    {"ThreeProductSystem", 'M'},
    {"SimpleColumn", 'N'},
    {"HI Case", 'O'},
    {"HI Project", 'P'},
    {"HI Total Site", 'Q'},
};

struct RequiredLibrary {
  const char* name;
  std::vector<int> features;
};

const std::vector<RequiredLibrary>& RequiredLibraries() {
  static const auto* table = new std::vector<RequiredLibrary>{
      {"VELTRA.DLL", {0, 1, 2, 3}},
      {"KORBIN.DLL", {15, 16, 17}},
      {"PEMARX.DLL", {4, 5, 6, 7, 9, 10, 11, 12, 13, 14}},
  };
  return *table;
}

constexpr const char* kManagers[] = {"FluidPackageManager", "StreamManager",
                                     "FeatureManager", "TRCViewManager"};

// The enabled marks of the last set-up: position i holds feature i's mark
// when it is enabled, '_' otherwise; positions past the end are disabled.
// One text for the process, as the feature registry sees one configuration.
Text& EnabledMarks() {
  static auto* marks = new Text;
  return *marks;
}

// Appends the marks of a group of features.
void PutFeatureKey(const char* group) {
  auto put = [](std::initializer_list<int> entries) {
    for (int i : entries) EnabledMarks().Append(kFeatures[i].mark);
  };
  if (std::strcmp(group, "PEMAR_THERMO") == 0) {
    put({0, 1, 2, 3});
  } else if (std::strcmp(group, "PEMAR_SEP") == 0) {
    put({0, 1, 2, 3, 4, 5, 6, 7});
    EnabledMarks().Append('_');
    put({9, 10});
  } else if (std::strcmp(group, "PEMAR_SEP_CCM") == 0) {
    put({11, 12, 13, 14});
  } else if (std::strcmp(group, "PEMAR_HI") == 0) {
    put({15});
  } else if (std::strcmp(group, "PEMAR_HI_ADM") == 0) {
    put({16, 17});
  }
}

// Position i of the enabled marks equals `reference`'s.
bool MarkMatches(std::size_t i, const Text& reference) {
  const Text& marks = EnabledMarks();
  return i < marks.Length() && marks[i] == reference[i];
}

bool IsEnabled(std::size_t i, const Text& reference) {
  return MarkMatches(i, reference) && EnabledMarks()[i] != '_';
}

}  // namespace

const char* ConfigurationFeatureName(int i) {
  return i >= 0 && i < kConfigurationFeatureCount ? kFeatures[i].name : nullptr;
}

ProgramConfiguration::ProgramConfiguration(const char*) {
  for (const Feature& f : kFeatures) reference_marks_.Append(f.mark);
}

ProgramConfiguration::~ProgramConfiguration() { Reset(); }

void ProgramConfiguration::Reset() { lists_.reset(); }

char ProgramConfiguration::IsKeyword(const char* text) {
  if (text == nullptr) return 0;
  for (const char* k : kKeywords) {
    if (std::strcmp(k, text) == 0) return 1;
  }
  return 0;
}

void ProgramConfiguration::SetupConfig(const char*) {
  Reset();
  lists_ = std::make_unique<KeywordLists>();
  viewlets_.clear();
  enabled_features_.clear();
  const Text command_line = GetCommandLine();
  EnabledMarks().Clear();

  const bool plexa = command_line.Contains("-plexa");
  const bool frakto = !plexa && command_line.Contains("-frakto");
  const bool molara = !plexa && !frakto && command_line.Contains("-molara3");
  if (plexa) {
    EnabledMarks() = Text(std::string(15, '_'));
    PutFeatureKey("PEMAR_HI");
    PutFeatureKey("PEMAR_HI_ADM");
  } else if (frakto) {
    PutFeatureKey("PEMAR_SEP");
    PutFeatureKey("PEMAR_SEP_CCM");
  } else if (molara) {
    PutFeatureKey("PEMAR_THERMO");
  } else {
    for (const char* group :
         {"PEMAR_SEP", "PEMAR_SEP_CCM", "PEMAR_HI", "PEMAR_HI_ADM"}) {
      PutFeatureKey(group);
    }
  }

  KeywordLists& lists = *lists_;
  lists["VIEWLETS"] = {};
  lists["MANAGERS"] = {std::begin(kManagers), std::end(kManagers)};

  std::vector<CVString>& libraries = lists["REQUIREDDLLS"];
  for (const RequiredLibrary& library : RequiredLibraries()) {
    for (int i : library.features) {
      if (MarkMatches(static_cast<std::size_t>(i), reference_marks_)) {
        libraries.emplace_back(library.name);
        break;
      }
    }
  }
  if (plexa) libraries.emplace_back("TRELLOB.DLL");

  std::vector<CVString>& features = lists["FEATURES"];
  for (std::size_t i = 0; i < EnabledMarks().Length(); ++i) {
    if (IsEnabled(i, reference_marks_)) {
      enabled_features_.emplace_back(kFeatures[i].name);
      features.emplace_back(kFeatures[i].name);
    }
  }

  configuration_name_ = plexa    ? "HEATWISE"
                        : frakto ? "FRAKTO"
                        : molara ? "KELVAR_WORKBENCH"
                                 : "HEATWISE";
  lists["CONFIGURATIONNAME"] = {configuration_name_};

  for (CVString& viewlet : lists["VIEWLETS"]) {
    itAddViewletString(&viewlet, &viewlets_);
  }
  lists.erase("VIEWLETS");
  configured_ = 1;
}

const char* ProgramConfiguration::_get_ConfigurationName() const {
  // One of the fixed names, not the dictionary's copy, which the next
  // set-up frees: callers keep the pointer for the life of the process.
  return lists_ ? configuration_name_ : nullptr;
}

std::vector<Text> ProgramConfiguration::GetKeywordList(
    const char* keyword) const {
  if (!lists_ || keyword == nullptr) return {};
  auto it = lists_->find(keyword);
  return it == lists_->end() ? std::vector<Text>() : it->second;
}

bool ProgramConfiguration::ListHas(const char* keyword,
                                   const char* name) const {
  if (!lists_ || name == nullptr) return false;
  auto it = lists_->find(keyword);
  if (it == lists_->end()) return false;
  for (const CVString& s : it->second) {
    if (itFindString(const_cast<CVString*>(&s), const_cast<char*>(name))) {
      return true;
    }
  }
  return false;
}

char ProgramConfiguration::IsConfigurationFeatureAvailable(
    const char* name) const {
  return ListHas("FEATURES", name) ? 1 : 0;
}

char ProgramConfiguration::IsConfigurationViewletAvailable(
    const char* name) const {
  return name != nullptr && viewlets_.count(name) != 0 ? 1 : 0;
}

char ProgramConfiguration::IsConfigurationManagerAvailable(
    const char* name) const {
  return ListHas("MANAGERS", name) ? 1 : 0;
}

char ProgramConfiguration::IsConfigurationFeatureAvailableAtAll(
    const char* name) const {
  return IsConfigurationFeatureAvailable(name) ||
                 IsConfigurationViewletAvailable(name) ||
                 IsConfigurationManagerAvailable(name)
             ? 1
             : 0;
}

const char* ProgramConfiguration::_get_ViewletName(const char* key) const {
  if (key == nullptr) return nullptr;
  auto it = viewlets_.find(key);
  return it == viewlets_.end() ? nullptr : it->second.c_str();
}

void ProgramConfiguration::LoadDLLs() {
  if (!configured_) return;
  if (!loaded_) loaded_ = std::make_unique<std::map<Text, void*>>();
  for (CVString& name : (*lists_)["REQUIREDDLLS"]) {
    itLoadDLL(&name, loaded_.get());
  }
}

void ProgramConfiguration::UnloadDLLs() {
  if (!loaded_) return;
  for (auto& entry : *loaded_) itFreeDLL(&entry, nullptr);
  loaded_->clear();
}

std::vector<Text> ProgramConfiguration::LoadedDLLs() const {
  std::vector<Text> names;
  if (loaded_) {
    for (const auto& entry : *loaded_) names.push_back(entry.first);
  }
  return names;
}

int ProgramConfiguration::itFindString(void* element, void* context) {
  if (element == nullptr || context == nullptr) return 0;
  return *static_cast<const CVString*>(element) ==
         static_cast<const char*>(context);
}

int ProgramConfiguration::itAddViewletString(void* element, void* context) {
  Text rest = *static_cast<const CVString*>(element);
  Text key = rest.Token();
  (*static_cast<std::map<Text, CVString>*>(context))[key] = rest;
  return 1;
}

int ProgramConfiguration::itLoadDLL(void* element, void* context) {
  const CVString& name = *static_cast<const CVString*>(element);
  auto& loaded = *static_cast<std::map<Text, void*>*>(context);
  if (loaded.count(name) != 0) return 1;
  LibraryLoader* loader = LibraryLoader::Default();
  void* library = loader->Load(name.str());
  if (library == nullptr) return 1;
  loaded[name] = library;
  if (LibraryFunction setup = loader->FindFunction(library, "SetupDLL")) {
    setup();
  }
  return 1;
}

int ProgramConfiguration::itFreeDLL(void* element, void*) {
  auto& entry = *static_cast<std::pair<const Text, void*>*>(element);
  LibraryLoader::Default()->Free(entry.second);
  return 1;
}

ProgramConfiguration* _get_theProgramConfiguration() {
  static auto* configuration = new ProgramConfiguration("");
  if (!configuration->IsConfigured()) configuration->SetupConfig("");
  return configuration;
}

}  // namespace pemar
