// The open and save-as prompts of each application mode.

#include <utility>
#include <vector>

#include "pemar/case/ApplicationModeInternal.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

using Mode = internal::ApplicationMode;

// The prompts test the switches in this order; the first found wins.
Mode PromptMode() {
  return internal::ModeFromCommandLine(
      {Mode::kHeatExchangerNetwork, Mode::kColumn, Mode::kWorkbench});
}

PackedBinaryFileHeader* MakeCaseFileHeader() {
  return new SimulationCaseFileHeader();
}

using Filters = std::vector<std::pair<const char*, const char*>>;

void Fill(FNPromptStruct& prompt, const char* titleKey,
          const Filters& filters) {
  prompt.title = FindString(titleKey);
  for (const auto& [descriptionKey, type] : filters) {
    prompt.AddFilter(FindString(descriptionKey), Text(type));
  }
}

}  // namespace

void SimulationCase::GetOpenFilenamePrompt(FNPromptStruct& prompt) {
  prompt.header_maker = &MakeCaseFileHeader;
  prompt.mode = 5;
  if (prompt.default_type == "TPL") {
    Fill(prompt, "TPLOpenTitle", {{"TplFiles", "TPL"}, {"AllFiles", "*"}});
    return;
  }
  Mode mode = PromptMode();
  prompt.default_type = internal::FileTypeOf(mode);
  switch (mode) {
    case Mode::kHeatExchangerNetwork:
      Fill(prompt, "PLEXAOpenTitle",
           {{"PLEXAFiles", "PLEXA"},
            {"ZENTRIKFiles", "SIM"},
            {"AllFiles", "*"}});
      return;
    case Mode::kColumn:
      Fill(prompt, "FRAKTOOpenTitle",
           {{"FRAKTOFiles", "FRAKTO"},
            {"MOLARA3Files", "MOLARA"},
            {"ZENTRIKFiles", "SIM"},
            {"AllFiles", "*"}});
      return;
    case Mode::kWorkbench:
      Fill(prompt, "WORKBENCHOpenTitle",
           {{"WORKBENCHFiles", "QRN"},
            {"MOLARA3Files", "MOLARA"},
            {"ZENTRIKFiles", "SIM"},
            {"AllFiles", "*"}});
      return;
    case Mode::kMain:
      Fill(prompt, "ZENTRIKOpenTitle",
           {{"ZENTRIKFiles", "SIM"},
            {"WORKBENCHFiles", "QRN"},
            {"FRAKTOFiles", "FRAKTO"},
            {"PLEXAFiles", "PLEXA"}});
      return;
  }
}

void SimulationCase::GetSaveAsFilenamePrompt(FNPromptStruct& prompt) {
  prompt.header_maker = &MakeCaseFileHeader;
  prompt.mode = 53;
  if (prompt.default_type == "TPL") {
    Fill(prompt, "TPLSaveAsTitle", {{"TplFiles", "TPL"}});
    return;
  }
  switch (PromptMode()) {
    case Mode::kHeatExchangerNetwork:
      Fill(prompt, "PLEXASaveTitle", {{"PLEXAFiles", "PLEXA"}});
      return;
    case Mode::kColumn:
      Fill(prompt, "FRAKTOSaveTitle", {{"FRAKTOFiles", "FRAKTO"}});
      return;
    case Mode::kWorkbench:
      Fill(prompt, "WORKBENCHSaveTitle", {{"WORKBENCHFiles", "QRN"}});
      return;
    case Mode::kMain:
      Fill(prompt, "ZENTRIKSaveTitle", {{"ZENTRIKFiles", "SIM"}});
      return;
  }
}

}  // namespace pemar
