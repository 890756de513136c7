#include "pemar/diag/PlottedDataSet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pemar/framework/BinaryFile.h"

namespace pemar {
namespace {

struct StandardColour {
  int red;
  int green;
  int blue;
};

constexpr StandardColour kStandardColours[] = {
    {255, 0, 0},    {0, 255, 0},   {0, 0, 255},   {255, 0, 255},
    {0, 255, 255},  {128, 64, 64}, {0, 0, 128},   {64, 0, 128},
    {64, 128, 128}, {128, 0, 0},   {0, 128, 0},   {128, 128, 128},
    {128, 0, 128},  {128, 128, 0}, {0, 128, 128}, {255, 60, 60},
    {60, 255, 60},  {60, 60, 255}, {128, 60, 60}, {60, 128, 60},
};
constexpr int kStandardColourCount =
    sizeof kStandardColours / sizeof kStandardColours[0];

bool RegisterStandardColours() {
  for (int i = 0; i < kStandardColourCount; ++i) {
    const StandardColour& c = kStandardColours[i];
    RegisterApplicationColour("Pemar" + std::to_string(i), c.red, c.green,
                              c.blue);
  }
  RegisterApplicationColour("PemarDefault", 0, 0, 0);
  return true;
}

// At load, as the framework expects, and again (harmlessly) on first use
// from another library's static initialisation.
const bool kColoursRegistered = RegisterStandardColours();

}  // namespace

Text CreateMoniker(const Text& base, int i, int j, bool indexed) {
  // Only the numbers are formatted; the base is outside text.
  Text moniker = base + "." + Text(std::to_string(i));
  if (j != kEmptyMarker) moniker += "." + Text(std::to_string(j));
  if (indexed) moniker += ".[]";
  return moniker;
}

ColourResourceRef GetColourID(int i) {
  static const bool registered = RegisterStandardColours();
  (void)registered;
  (void)kColoursRegistered;
  if (i < 0 || i >= kStandardColourCount) {
    return ColourResourceRef("PemarDefault");
  }
  return ColourResourceRef("Pemar" + std::to_string(i));
}

void PlottedDataSet::SetSymbol(PointSymbolsEnum symbol, double size,
                               bool show) {
  symbol_ = symbol;
  symbol_size_ = size;
  show_symbols_ = show;
}

void PlottedDataSet::SetLine(LineStyles style, double width, bool show) {
  line_style_ = style;
  show_line_ = show;
  // Only a finite width whose whole part fits an int converts defined.
  if (std::isfinite(width) && width > -2147483649.0 && width < 2147483648.0) {
    line_width_ = static_cast<int>(width);
  }
}

void PlottedDataSet::AddMoniker(int i, const Text& moniker) {
  if (i < 0 || i >= kPlottedDataSetMonikers) return;
  monikers_[i] = moniker;
}

Text PlottedDataSet::GetMoniker(int i) const {
  if (i < 0 || i >= kPlottedDataSetMonikers) return Text();
  return monikers_[i];
}

void PlottedDataSet::SetArrow(double size) {
  symbol_size_ = size;
  arrow_ = true;
  show_line_ = false;
  show_symbols_ = false;
}

unsigned char PlottedDataSet::StoreClassData(BinaryFile& file) const {
  if (!file.Write(kPlottedDataSetRevision) || !file.Write(id_) ||
      !file.Write(label_) || !colour_.Store(file) || !file.Write(symbol_) ||
      !file.Write(symbol_size_) || !WriteFlag(file, show_symbols_) ||
      !file.Write(line_style_) ||
      !file.Write(static_cast<unsigned int>(line_width_)) ||
      !WriteFlag(file, show_line_) || !WriteFlag(file, show_in_legend_)) {
    return 0;
  }
  for (const Text& moniker : monikers_) {
    if (!file.Write(moniker)) return 0;
  }
  return WriteFlag(file, arrow_) && WriteFlag(file, show_text_on_plot_);
}

unsigned char PlottedDataSet::RecallClassData(BinaryFile& file) {
  unsigned int revision = 0;
  if (!file.Read(revision) || revision > kPlottedDataSetRevision) return 0;
  PlottedDataSet read;
  unsigned int width = 0;
  if (!file.Read(read.id_) || !file.Read(read.label_) ||
      !read.colour_.Recall(file) || !file.Read(read.symbol_) ||
      !file.Read(read.symbol_size_) || !ReadFlag(file, read.show_symbols_) ||
      !file.Read(read.line_style_) || !file.Read(width) ||
      !ReadFlag(file, read.show_line_) ||
      !ReadFlag(file, read.show_in_legend_)) {
    return 0;
  }
  read.line_width_ = static_cast<int>(width);
  for (Text& moniker : read.monikers_) {
    if (!file.Read(moniker)) return 0;
  }
  if (revision >= 2 && !ReadFlag(file, read.arrow_)) return 0;
  if (revision >= 3 && !ReadFlag(file, read.show_text_on_plot_)) return 0;
  *this = std::move(read);
  return 1;
}

void PlottedDataSetList::Append(PlottedDataSet* record) {
  if (record != nullptr) records_.emplace_back(record);
}

std::size_t PlottedDataSetList::RemoveId(int id) {
  const std::size_t before = records_.size();
  records_.erase(
      std::remove_if(records_.begin(), records_.end(),
                     [id](const auto& r) { return r->GetId() == id; }),
      records_.end());
  return before - records_.size();
}

PlottedDataSet* PlottedDataSetList::At(std::size_t i) const {
  return i < records_.size() ? records_[i].get() : nullptr;
}

}  // namespace pemar
