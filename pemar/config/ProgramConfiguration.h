// ProgramConfiguration: which configuration of the suite is running.
//
// The suite runs as the heat-integration product, the separation-technology
// product, the thermodynamics workbench, or all of them together. The
// configuration is decided from the process command line (GetCommandLine in
// Platform.h), by substring search anywhere in it, the program path
// included; the first of these wins:
//
//   contains   configuration       enabled features           libraries
//   -plexa     "HEATWISE"          HI Case/Project/Site       KORBIN, TRELLOB
//   -frakto    "FRAKTO"            separation and thermo      VELTRA, PEMARX
//   -molara3   "KELVAR_WORKBENCH"  thermodynamics             VELTRA
//   (none)     "HEATWISE"          all of them                VELTRA, KORBIN,
//                                                             PEMARX
//
// (libraries as the suite names them, "VELTRA.DLL"). "SolventRecovery" is
// never enabled. Every configuration offers the managers
// "FluidPackageManager", "StreamManager", "FeatureManager" and
// "TRCViewManager", and no viewlets.
//
// The configuration is a dictionary from the keywords "CONFIGURATIONNAME",
// "MANAGERS", "FEATURES", "REQUIREDDLLS" and "VIEWLETS" to lists of texts.
// One process-wide instance is configured on first use
// (_get_theProgramConfiguration); SetupConfig decides again from the
// current command line.
//
// LoadDLLs loads the required libraries through the process-wide
// LibraryLoader (DynamicLibrary.h: on Linux "VELTRA.DLL" is "libveltra.so",
// looked for beside the program first, then through the system's search,
// never in the current folder) and calls each one's "SetupDLL" entry point
// once per load. A library that cannot be loaded is skipped without a
// message (the system loader shows one when the program's folder is
// unknown) and tried again by the next LoadDLLs. The system loader keeps a
// library's code mapped after it is freed, so functions it registered stay
// callable after UnloadDLLs and a later reload.
//
// Answers of the Is... queries are char, non-zero for true. Null names find
// nothing.

#ifndef PEMAR_CONFIG_PROGRAMCONFIGURATION_H_
#define PEMAR_CONFIG_PROGRAMCONFIGURATION_H_

#include <map>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// The feature table: 18 features in a fixed order.
inline constexpr int kConfigurationFeatureCount = 18;
// Name of feature i (0 to 17); null outside the table.
PEMAR_EXPORT const char* ConfigurationFeatureName(int i);

class PEMAR_EXPORT ProgramConfiguration {
 public:
  // Not configured yet; the argument is ignored.
  explicit ProgramConfiguration(const char* unused = "");
  ProgramConfiguration(const ProgramConfiguration&) = delete;
  ProgramConfiguration& operator=(const ProgramConfiguration&) = delete;
  // Leaves loaded libraries loaded.
  ~ProgramConfiguration();

  // Builds the configuration from the command line; the argument is
  // ignored.
  void SetupConfig(const char* unused);
  bool IsConfigured() const { return configured_ != 0; }

  // True when `text` is one of the five keywords.
  static char IsKeyword(const char* text);

  // The configuration's name; null before set-up. Valid for the life of the
  // process, across later set-ups.
  const char* _get_ConfigurationName() const;
  // The names of the enabled features, in feature-table order.
  std::vector<Text> _get_EnabledFeatureList() const {
    return enabled_features_;
  }
  // The texts under a keyword ("MANAGERS", "REQUIREDDLLS", ...); empty for
  // "VIEWLETS" after set-up, for other texts and before set-up.
  std::vector<Text> GetKeywordList(const char* keyword) const;

  char IsConfigurationFeatureAvailable(const char* name) const;
  char IsConfigurationViewletAvailable(const char* name) const;
  char IsConfigurationManagerAvailable(const char* name) const;
  // Feature, else viewlet, else manager.
  char IsConfigurationFeatureAvailableAtAll(const char* name) const;
  // The viewlet's text for `key`; null when there is none. Valid until the
  // next set-up.
  const char* _get_ViewletName(const char* key) const;

  // Loads every required library not loaded yet and calls its "SetupDLL".
  // Does nothing before set-up.
  void LoadDLLs();
  // Frees every library loaded by LoadDLLs.
  void UnloadDLLs();
  // The libraries loaded now, by the suite's names, in name order.
  std::vector<Text> LoadedDLLs() const;

  // List callbacks in the framework's shape (element, context): non-zero
  // when the text `element` equals the zero-terminated `context`.
  static int itFindString(void* element, void* context);

 private:
  using KeywordLists = std::map<Text, std::vector<CVString>>;

  void Reset();
  bool ListHas(const char* keyword, const char* name) const;
  static int itAddViewletString(void* element, void* context);
  static int itLoadDLL(void* element, void* context);
  static int itFreeDLL(void* element, void* context);

  char configured_ = 0;
  std::vector<Text> enabled_features_;
  // One of the fixed names, which live as long as the process.
  const char* configuration_name_ = nullptr;
  Text reference_marks_;
  // Null until set up. "VIEWLETS" is moved into viewlets_ by the set-up.
  std::unique_ptr<KeywordLists> lists_;
  std::map<Text, CVString> viewlets_;
  // Null until the first LoadDLLs: library name to its handle.
  std::unique_ptr<std::map<Text, void*>> loaded_;
};

// The process-wide configuration, set up on first use.
PEMAR_EXPORT ProgramConfiguration* _get_theProgramConfiguration();

}  // namespace pemar

#endif  // PEMAR_CONFIG_PROGRAMCONFIGURATION_H_
