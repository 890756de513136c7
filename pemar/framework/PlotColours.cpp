#include "pemar/framework/PlotColours.h"

#include <algorithm>
#include <map>

#include "pemar/framework/BinaryFile.h"

namespace pemar {
namespace {

std::map<Text, RgbColour>& Colours() {
  static auto* colours = new std::map<Text, RgbColour>();
  return *colours;
}

int Channel(int value) { return std::clamp(value, 0, 255); }

}  // namespace

bool RegisterApplicationColour(const Text& name, int red, int green, int blue) {
  if (name.IsEmpty()) return false;
  return Colours()
      .emplace(name, RgbColour{Channel(red), Channel(green), Channel(blue)})
      .second;
}

bool FindApplicationColour(const Text& name, RgbColour* rgb) {
  auto it = Colours().find(name);
  if (it == Colours().end()) return false;
  if (rgb != nullptr) *rgb = it->second;
  return true;
}

RgbColour ColourResourceRef::Rgb() const {
  RgbColour rgb;
  FindApplicationColour(name_, &rgb);
  return rgb;
}

unsigned char ColourResourceRef::Store(BinaryFile& file) const {
  return file.Write(name_);
}

unsigned char ColourResourceRef::Recall(BinaryFile& file) {
  Text name;
  if (!file.Read(name)) return 0;
  name_ = std::move(name);
  return 1;
}

ColourResourceRef DefaultColour() {
  static const bool registered =
      (RegisterApplicationColour("DefaultColour", 0, 0, 0), true);
  (void)registered;
  return ColourResourceRef("DefaultColour");
}

}  // namespace pemar
