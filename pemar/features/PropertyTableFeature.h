// PropertyTableFeature: the library's own feature, a steam property table.
//
// So that programs without a feature library (the pemar tool, tests, fuzz
// targets) can see the feature manager work, the library offers one real
// feature: key "PropertyTable", display name "Property Table", technology
// "Thermodynamics". RegisterFeature enters it in the feature registry; like
// every feature it is admitted only where the program configuration lists
// "PropertyTable".
//
// A table holds a temperature range (K) at one pressure (kPa) and the rows
// computed from them with the IFC-67 steam functions (SteamProperties.h):
// kPropertyTableRows evenly spaced temperatures from the lower to the upper
// end (one row when they are equal), each with its phase (1 liquid below the
// boiling temperature, else 0 vapour), molar enthalpy (kJ/kmol) and molar
// volume (m3/kmol); a property the functions cannot give is -32767. The
// range, the pressure and the rows are kept with the case (class data in
// docs/file-format.md), so a reopened table shows the rows it was saved
// with.

#ifndef PEMAR_FEATURES_PROPERTYTABLEFEATURE_H_
#define PEMAR_FEATURES_PROPERTYTABLEFEATURE_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;

inline constexpr char kPropertyTableKey[] = "PropertyTable";
inline constexpr char kPropertyTableTechnology[] = "Thermodynamics";
inline constexpr int kPropertyTableRows = 11;
// The range a table accepts: the valid range of the steam functions.
inline constexpr double kPropertyTableMinK = 273.16;
inline constexpr double kPropertyTableMaxK = 1073.15;
inline constexpr double kPropertyTableMaxKPa = 100000.0;

// "PropertyTableObject", class "PropertyTableFeature", class-data version 1.
PEMAR_EXPORT const ObjectTypeInfo* PropertyTableObjectType();

struct PropertyTableRow {
  double temperature = 0.0;  // K
  int phase = 0;             // 0 vapour, 1 liquid
  double enthalpy = 0.0;     // kJ/kmol
  double volume = 0.0;       // m3/kmol

  friend bool operator==(const PropertyTableRow&,
                         const PropertyTableRow&) = default;
};

class PEMAR_EXPORT PropertyTableFeature : public Viewable {
 public:
  // A table named `name` (null: unnamed) under `parent`, computed over the
  // default range, 300 K to 500 K at 101.325 kPa.
  PropertyTableFeature(Viewable* parent, const char* name);
  explicit PropertyTableFeature(ObjectInstanceInfo& info);
  ~PropertyTableFeature() override;

  // Registers the feature (see the file comment); safe to call again.
  static void RegisterFeature();
  // The feature's builder.
  static Viewable* Build(Viewable* parent, const char* name);

  // Sets the range and pressure and computes the rows again. False, and the
  // table unchanged, unless kPropertyTableMinK <= from <= to <=
  // kPropertyTableMaxK and 0 < pressure <= kPropertyTableMaxKPa (all
  // finite).
  bool SetRange(double from, double to, double pressure);
  double From() const { return from_; }
  double To() const { return to_; }
  double Pressure() const { return pressure_; }
  const std::vector<PropertyTableRow>& Rows() const { return rows_; }

  unsigned char StoreClassData(BinaryFile& file);
  // Reads the whole record into temporaries first: a failed recall leaves
  // the table as it was.
  unsigned char RecallClassData(BinaryFile& file);

 private:
  double from_ = 300.0;
  double to_ = 500.0;
  double pressure_ = 101.325;
  std::vector<PropertyTableRow> rows_;
};

}  // namespace pemar

#endif  // PEMAR_FEATURES_PROPERTYTABLEFEATURE_H_
