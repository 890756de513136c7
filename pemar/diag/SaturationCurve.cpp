#include "pemar/diag/SaturationCurve.h"

#include <cmath>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/ViewableProtocol.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {
namespace {

constexpr int kCurveNumber = 300;
constexpr int kAttachedViewNumber = 999;

class SaturationCurveObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new SaturationCurve(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* curve = dynamic_cast<SaturationCurve*>(object);
    return curve != nullptr ? curve->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* curve = dynamic_cast<SaturationCurve*>(object);
    return curve != nullptr ? curve->RecallClassData(file) : 0;
  }
};

const ObjectTypeInfo* const kSaturationCurveTypeRegistered = SaturationCurveObjectType();

bool IsCurveVariable(const VarDescription& desc) {
  return desc.Number() == kCurveNumber && desc.IsIndexed() &&
         (desc.VariableIs("Temperature") || desc.VariableIs("Pressure"));
}

}  // namespace

const ObjectTypeInfo* SaturationCurveObjectType() {
  static const ObjectTypeInfo* type = [] {
    auto* t = new SaturationCurveObjectInfoT(
        "SaturationCurveObject", ViewableObjectType(), "SaturationCurve", 0, 0,
        "satcurve", kEmptyMarker);
    t->SetClassDataVersion(1);
    t->SetDisplayName("Saturation Curve");
    return t;
  }();
  (void)kSaturationCurveTypeRegistered;
  return type;
}

SaturationCurve::SaturationCurve(Viewable* owner)
    : Viewable(owner, SaturationCurveObjectType()) {}

SaturationCurve::SaturationCurve(ObjectInstanceInfo& info) : Viewable(info) {}

bool SaturationCurve::SetRange(double from, double to, int points) {
  // Written so that NaN fails every comparison.
  if (!(from >= kSaturationMinK && from < to && to <= kSaturationMaxK) ||
      points < 2 || points > kSaturationMaxPoints) {
    return false;
  }
  from_ = from;
  to_ = to;
  points_ = points;
  return true;
}

double SaturationCurve::Temperature(int i) const {
  if (i < 0 || i >= points_) return kEmptyValue;
  return from_ + (to_ - from_) * i / (points_ - 1);
}

double SaturationCurve::Pressure(int i) const {
  const double t = Temperature(i);
  if (t == kEmptyValue) return kEmptyValue;
  const double p = Steam67ReducedVPCalcT(t) * SteamCriticalProperty("Pressure");
  return std::isfinite(p) ? p : kEmptyValue;
}

double SaturationCurve::Value(const VarDescription& desc) {
  if (!IsCurveVariable(desc)) return Viewable::Value(desc);
  return desc.VariableIs("Temperature") ? Temperature(desc.Index())
                                        : Pressure(desc.Index());
}

unsigned char SaturationCurve::Dimensions(const VarDescription& desc,
                                          DimInfo& dims) {
  if (!IsCurveVariable(desc)) return Viewable::Dimensions(desc, dims);
  dims.AddDim(points_);
  return 1;
}

unsigned char SaturationCurve::AttachObject(Viewable* object,
                                            const VarDescription& desc) {
  if (!desc.VariableIs("PlotView") || desc.Number() != kAttachedViewNumber) {
    return Viewable::AttachObject(object, desc);
  }
  if (object == view_) return 1;
  if (view_ != nullptr) view_->RemoveDeathPostee(this);
  view_ = object;
  if (view_ != nullptr) view_->AddDeathPostee(this);
  return 1;
}

Viewable* SaturationCurve::AttachedObject(const VarDescription& desc) {
  if (desc.VariableIs("PlotView") && desc.Number() == kAttachedViewNumber) {
    return view_;
  }
  return Viewable::AttachedObject(desc);
}

void SaturationCurve::DisconnectDeadObject(Viewable* dying) {
  if (dying == view_) view_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

unsigned char SaturationCurve::StoreClassData(BinaryFile& file) const {
  return file.Write(from_) && file.Write(to_) && file.Write(points_);
}

unsigned char SaturationCurve::RecallClassData(BinaryFile& file) {
  double from = 0.0;
  double to = 0.0;
  int points = 0;
  return file.Read(from) && file.Read(to) && file.Read(points) &&
         SetRange(from, to, points);
}

}  // namespace pemar
