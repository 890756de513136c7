// DefHeatTransferCoefficient: one typical film heat-transfer coefficient for
// a kind of process fluid, with a free-text note, and the built-in lists.
//
// The value is in kW/(m2 K), as the utility coefficient. A new entry has an
// empty name and note and the value 0.0.

#ifndef PEMAR_UTILITY_DEFHEATTRANSFERCOEFFICIENT_H_
#define PEMAR_UTILITY_DEFHEATTRANSFERCOEFFICIENT_H_

#include <cstddef>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class IPemarBinaryFile;

class PEMAR_EXPORT DefHeatTransferCoefficient {
 public:
  static constexpr int kRevision = 1;

  DefHeatTransferCoefficient() = default;
  DefHeatTransferCoefficient(const DefHeatTransferCoefficient&) = default;
  DefHeatTransferCoefficient& operator=(const DefHeatTransferCoefficient&) =
      default;
  virtual ~DefHeatTransferCoefficient();

  // Valid until the text is changed or the entry destroyed.
  const char* GetName() const { return name_.c_str(); }
  const char* GetNote() const { return note_.c_str(); }
  double GetHTCValue() const { return value_; }
  // Copy the text; null gives the empty text.
  void SetName(const CVString* name) { name_ = name ? *name : CVString(); }
  void SetNote(const CVString* note) { note_ = note ? *note : CVString(); }
  void SetHTCValue(double value) { value_ = value; }

  // One chunk of revision 1: name, note, value.
  unsigned char Store(IPemarBinaryFile* file) const;
  // Reads that chunk; the entry changes only when all of it was read.
  unsigned char Recall(IPemarBinaryFile* file);

 private:
  CVString name_;
  CVString note_;
  double value_ = 0.0;
};

struct HTCDefaultEntry {
  const char* name;
  double value;
};

// The 26 built-in entries, "DEFAULT" 0.2 first.
PEMAR_EXPORT const HTCDefaultEntry* BuiltInHTCDefaults(std::size_t* count);
// The list offered when the coefficient default file cannot be recalled:
// the same with "<default>" in place of "DEFAULT" and "Condensing/Reboiling
// Steam" 6.0 after "Caustic Soda Solution" (27 entries).
PEMAR_EXPORT const HTCDefaultEntry* FallbackHTCDefaults(std::size_t* count);

}  // namespace pemar

#endif  // PEMAR_UTILITY_DEFHEATTRANSFERCOEFFICIENT_H_
