// SaturationCurve: the steam saturation curve as a framework object whose
// variables a plot can show.
//
// It tabulates evenly spaced temperatures from `From` to `To` (K) and the
// saturation pressure at each (kPa, from the IFC-67 vapour-pressure
// function, SteamProperties.h). The indexed variables "Temperature.300.[]"
// and "Pressure.300.[]" give them (their size is the number of points;
// -32767 outside it), so a plot's data set with those monikers draws the
// curve. It accepts a plot view attached as "PlotView.999" and keeps it
// until the view dies.
//
// Stored with its document ("SaturationCurveObject", class
// "SaturationCurve", identifier "satcurve", version 1): from:double
// to:double points:int32; the values are computed again on recall.

#ifndef PEMAR_DIAG_SATURATIONCURVE_H_
#define PEMAR_DIAG_SATURATIONCURVE_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;

// The range a curve accepts: the triple point to the critical point, and
// 2 to 1000 points.
inline constexpr double kSaturationMinK = 273.16;
inline constexpr double kSaturationMaxK = 647.3;
inline constexpr int kSaturationMaxPoints = 1000;

PEMAR_EXPORT const ObjectTypeInfo* SaturationCurveObjectType();

class PEMAR_EXPORT SaturationCurve : public Viewable {
 public:
  // 300 K to 600 K in 13 points.
  explicit SaturationCurve(Viewable* owner);
  explicit SaturationCurve(ObjectInstanceInfo& info);

  // False, and the curve unchanged, unless kSaturationMinK <= from < to <=
  // kSaturationMaxK and 2 <= points <= kSaturationMaxPoints.
  bool SetRange(double from, double to, int points);
  double From() const { return from_; }
  double To() const { return to_; }
  int Points() const { return points_; }
  // Point i (K and kPa); -32767 outside 0 to Points() - 1.
  double Temperature(int i) const;
  double Pressure(int i) const;

  Viewable* AttachedView() const { return view_; }

  double Value(const VarDescription& desc) override;
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  unsigned char AttachObject(Viewable* object,
                             const VarDescription& desc) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  void DisconnectDeadObject(Viewable* dying) override;

  unsigned char StoreClassData(BinaryFile& file) const;
  // A stored range that SetRange refuses fails the recall.
  unsigned char RecallClassData(BinaryFile& file);

 private:
  double from_ = 300.0;
  double to_ = 600.0;
  int points_ = 13;
  Viewable* view_ = nullptr;
};

}  // namespace pemar

#endif  // PEMAR_DIAG_SATURATIONCURVE_H_
