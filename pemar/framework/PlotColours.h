// Colour resources of plots: named application colours and references to
// them.
//
// An application colour is a name with red, green and blue values (0 to
// 255), registered once at load time in a process-wide table; registering a
// name again keeps the first values. A ColourResourceRef names a colour; it
// is what data sets hold and store. A reference to a name that is not
// registered stays as it is (it may come from a file of a program with more
// colours) and shows black.

#ifndef PEMAR_FRAMEWORK_PLOTCOLOURS_H_
#define PEMAR_FRAMEWORK_PLOTCOLOURS_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class BinaryFile;

struct PEMAR_EXPORT RgbColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// Registers `name` with its values (each clamped to 0 to 255). An empty
// name is ignored. True when the name was new.
PEMAR_EXPORT bool RegisterApplicationColour(const Text& name, int red,
                                            int green, int blue);
// True when `name` is registered; `*rgb` (when not null) gets its values.
PEMAR_EXPORT bool FindApplicationColour(const Text& name, RgbColour* rgb);

class PEMAR_EXPORT ColourResourceRef {
 public:
  ColourResourceRef() = default;
  explicit ColourResourceRef(const Text& name) : name_(name) {}

  const Text& Name() const { return name_; }
  // The registered values; black for a name that is not registered.
  RgbColour Rgb() const;

  // Stored as the name (a Text). Recall changes the reference only when
  // the read succeeds.
  unsigned char Store(BinaryFile& file) const;
  unsigned char Recall(BinaryFile& file);

  friend bool operator==(const ColourResourceRef&,
                         const ColourResourceRef&) = default;

 private:
  Text name_;
};

// The framework's default colour, "DefaultColour" (black), registered on
// first use.
PEMAR_EXPORT ColourResourceRef DefaultColour();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PLOTCOLOURS_H_
