#include "pemar/framework/MessageTexts.h"

#include <algorithm>
#include <iterator>

namespace pemar {
namespace {

// Sorted by key in byte order (upper case before lower case); the
// static_assert below keeps it so. A "%s" takes the message's next argument.
constexpr MessageText kTexts[] = {
    {"AirCoolerNotValidOnHotUtility",
     "An air cooler cannot serve a hot utility: an air cooler takes heat "
     "away. Choose another exchanger type, or make the utility a cold one."},
    {"AllFiles", "All files"},
    {"CannotDeleteHTC",
     "A heat-transfer coefficient cannot be cleared; enter a value above "
     "zero or delete the entry."},
    {"Case", "Case"},
    {"ColdStreamInletTemperatureUpdateError",
     "The inlet temperature of a cold utility must be below its outlet "
     "temperature; the temperature was not changed."},
    {"ColdStreamOutletTemperatureUpdateError",
     "The outlet temperature of a cold utility must be above its inlet "
     "temperature; the temperature was not changed."},
    {"ConfirmDeleteExperiment",
     "Delete the selected feature and everything in it? This cannot be "
     "undone."},
    {"ConfirmDeleteRCMPlot",
     "Delete this residue curve map plot? This cannot be undone."},
    {"DefaultUtilityNameError",
     "Cannot rename the utility to \"%s\": another utility has that name."},
    {"DeltaTMinWarning",
     "The minimum temperature difference (delta-T min) of a utility must be "
     "at least 1 degree; the value was not changed."},
    {"ErrorFingingFile", "Cannot find %s; nothing was changed."},
    {"FRAKTOFiles", "FRAKTO cases"},
    {"FRAKTOOpenTitle", "Open FRAKTO Case"},
    {"FRAKTOSaveTitle", "Save FRAKTO Case As"},
    {"FailedToCreateFeature",
     "Cannot create the feature %s: no library of this program makes it."},
    {"FileWriteProtected",
     "Cannot write %s: the file is write-protected. Save under another name "
     "or make the file writable."},
    {"FiredHeaterNotValidOnColdUtility",
     "A fired heater cannot serve a cold utility: a fired heater gives heat. "
     "Choose another exchanger type, or make the utility a hot one."},
    {"HCValueTooSmall",
     "A heat-transfer coefficient must be above zero; the value was not "
     "changed."},
    {"HeatIntegrationDefaultFile", "Heat integration defaults"},
    {"HeatIntegrationHTCDefaultFile", "Heat-transfer coefficient defaults"},
    {"HeatIntegrationUtilityDefaultFile", "Utility defaults"},
    {"HotStreamInletTemperatureUpdateError",
     "The inlet temperature of a hot utility must be above its outlet "
     "temperature; the temperature was not changed."},
    {"HotStreamOutletTemperatureUpdateError",
     "The outlet temperature of a hot utility must be below its inlet "
     "temperature; the temperature was not changed."},
    {"LogicalTypeLabel", "Objects"},
    {"MOLARA3Files", "MOLARA 3 cases"},
    {"NameNotUnique",
     "Another heat-transfer coefficient has that name already; choose "
     "another name."},
    {"OpenHIPreferences", "Open Heat Integration Defaults"},
    {"PLEXAFiles", "PLEXA cases"},
    {"PLEXAOpenTitle", "Open PLEXA Case"},
    {"PLEXASaveTitle", "Save PLEXA Case As"},
    {"RecallFailure",
     "Cannot open %s: the file is missing, damaged or not a case file."},
    {"RecallPreferenceError",
     "Cannot read the defaults from %s: the file is missing, damaged or "
     "holds another kind of set. Nothing was changed."},
    {"SaveCaseError",
     "The case could not be saved as %s; the previous case file is "
     "unchanged."},
    {"SaveHIPreferences", "Save Heat Integration Defaults"},
    {"SavePreferenceError",
     "Cannot save the defaults to %s; any previous file of that name is "
     "unchanged."},
    {"SteamGeneratorNotValidOnHotUtility",
     "A steam generator cannot serve a hot utility: a steam generator takes "
     "heat away. Choose another exchanger type, or make the utility a cold "
     "one."},
    {"SteamReboilerNotValidOnColdUtility",
     "A steam reboiler cannot serve a cold utility: a steam reboiler gives "
     "heat. Choose another exchanger type, or make the utility a hot one."},
    {"StoreCaseFailed", "The case was not saved."},
    {"StoreCaseOK", "The case is saved."},
    {"StoringCase", "Saving the case to %s ..."},
    {"TPLConnections", "Connections"},
    {"TPLInitialWizardView", "Initial Wizard View"},
    {"TPLOpenTitle", "Open Template"},
    {"TPLSaveAsTitle", "Save Template As"},
    {"TPLVariables", "Variables"},
    {"TplFiles", "Templates"},
    {"UnableToCreateDocument",
     "Cannot create the file %s. Check that its folder exists and that you "
     "may write there."},
    {"UnableToDeleteFile",
     "Cannot delete %s to make room for the saved case; the previous case "
     "file is unchanged. Close any program that uses the file and save "
     "again."},
    {"UnableToRenameFile",
     "Cannot rename %s to %s; the previous case file is unchanged."},
    {"UnableToSyncFolder",
     "%s is written, but its folder could not be flushed to disk: if the "
     "computer stops now, the change may be lost."},
    {"UnknownProgramFolder",
     "Cannot look for %s beside the program: the program's folder is not "
     "known."},
    {"UnsupportedFeature",
     "The feature %s is not available in this configuration of the "
     "program."},
    {"WORKBENCHFiles", "Workbench cases"},
    {"WORKBENCHOpenTitle", "Open Workbench Case"},
    {"WORKBENCHSaveTitle", "Save Workbench Case As"},
    {"WriteBugReportTitle", "Write Problem Report"},
    {"ZENTRIKFiles", "ZENTRIK cases"},
    {"ZENTRIKOpenTitle", "Open ZENTRIK Case"},
    {"ZENTRIKSaveTitle", "Save ZENTRIK Case As"},
    // Levels of a document's status information.
    {"status0", "Information"},
    {"status1", "Warning"},
    {"status2", "Error"},
    // Labels of the two built-in fuel lists.
    {"utilEU", "EU"},
    {"utilUS", "US"},
};

constexpr bool KeyBefore(const MessageText& a, const MessageText& b) {
  return std::string_view(a.key) < std::string_view(b.key);
}

constexpr bool SortedAndUnique() {
  for (std::size_t i = 1; i < std::size(kTexts); ++i) {
    if (!KeyBefore(kTexts[i - 1], kTexts[i])) return false;
  }
  return true;
}

static_assert(SortedAndUnique(), "message texts must be sorted by key");

}  // namespace

std::span<const MessageText> EnglishMessageTexts() { return kTexts; }

const char* EnglishMessageText(std::string_view key) {
  const auto* it =
      std::lower_bound(std::begin(kTexts), std::end(kTexts), key,
                       [](const MessageText& t, std::string_view k) {
                         return std::string_view(t.key) < k;
                       });
  if (it == std::end(kTexts) || std::string_view(it->key) != key) {
    return nullptr;
  }
  return it->text;
}

}  // namespace pemar
