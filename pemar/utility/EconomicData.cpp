#include "pemar/utility/EconomicData.h"

#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/ChunkGuard.h"

namespace pemar {

using utility_internal::ChunkGuard;
using utility_internal::ReadFlag;
using utility_internal::WriteFlag;

EconomicData::EconomicData(const EconomicData& other)
    : locked_(other.locked_),
      name_(other.name_ ? std::make_unique<CVString>(*other.name_) : nullptr),
      switch_(other.switch_) {
  for (int i = 0; i < 3; ++i) coefficients_[i] = other.coefficients_[i];
}

EconomicData& EconomicData::operator=(const EconomicData& other) {
  if (this != &other) {
    EconomicData copy(other);
    locked_ = copy.locked_;
    name_ = std::move(copy.name_);
    for (int i = 0; i < 3; ++i) coefficients_[i] = copy.coefficients_[i];
    switch_ = copy.switch_;
  }
  return *this;
}

double EconomicData::GetEconomicData(EconomicDataType type) const {
  switch (type) {
    case EconomicCoefficient0:
    case EconomicCoefficient1:
    case EconomicCoefficient2:
      return coefficients_[type];
    case EconomicSwitch:
      return switch_ ? 1.0 : 0.0;
    default:
      return 0.0;
  }
}

hresult EconomicData::SetEconomicData(EconomicDataType type, double value) {
  if (locked_) return kRejected;
  switch (type) {
    case EconomicCoefficient0:
    case EconomicCoefficient1:
    case EconomicCoefficient2:
      coefficients_[type] = value;
      break;
    case EconomicSwitch:
      switch_ = value == 0.0 ? 0 : 1;
      break;
    default:
      break;
  }
  return kDone;
}

char EconomicData::GetVariableStatus(EconomicDataType) const {
  return locked_ ? 2 : 1;
}

void EconomicData::SetExchangerType(const CVString& name) {
  if (name_) {
    *name_ = name;
  } else {
    name_ = std::make_unique<CVString>(name);
  }
}

int EconomicData::IsValid() const {
  return coefficients_[1] >= 1e-8 && coefficients_[2] >= 1e-8 ? 1 : 0;
}

unsigned char EconomicData::Store(IPemarBinaryFile* file) const {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Create(kRevision) || !WriteCVString(file, name_.get()) ||
      !file->Write(coefficients_, 3) || !WriteFlag(file, locked_) ||
      !file->Write(switch_)) {
    return 0;
  }
  return chunk.Close();
}

unsigned char EconomicData::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Open()) return 0;
  const int revision = chunk.Revision();
  EconomicData read(*this);
  read.name_ = std::make_unique<CVString>();
  if (!ReadCVString(file, read.name_.get()) ||
      !file->Read(read.coefficients_, 3)) {
    return 0;
  }
  if (revision >= 2 && !ReadFlag(file, &read.locked_)) return 0;
  if (revision >= 3) {
    int stored = 0;
    if (!file->Read(stored)) return 0;
    read.switch_ = stored != 0 ? 1 : 0;
  }
  if (!chunk.Close()) return 0;
  *this = read;
  return 1;
}

double EconomicInfo::GetEconomicInfo(EconomicDataType type) const {
  switch (type) {
    case EconomicParameter3:
      return parameter3_;
    case EconomicParameter4:
      return parameter4_;
    case EconomicOperatingHours:
      return operatingHours_;
    default:
      return 0.0;
  }
}

hresult EconomicInfo::SetEconomicInfo(EconomicDataType type, double value) {
  if (locked_) return kRejected;
  switch (type) {
    case EconomicParameter3:
      parameter3_ = value;
      break;
    case EconomicParameter4:
      parameter4_ = value;
      break;
    case EconomicOperatingHours:
      operatingHours_ = value;
      break;
    default:
      break;
  }
  return kDone;
}

char EconomicInfo::GetVariableStatus(EconomicDataType) const {
  return locked_ ? 2 : 1;
}

int EconomicInfo::IsValid() const { return parameter4_ >= 1e-8 ? 1 : 0; }

unsigned char EconomicInfo::Store(IPemarBinaryFile* file) const {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Create(kRevision) || !file->Write(parameter3_) ||
      !file->Write(parameter4_) || !WriteFlag(file, locked_) ||
      !file->Write(operatingHours_)) {
    return 0;
  }
  return chunk.Close();
}

unsigned char EconomicInfo::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Open()) return 0;
  const int revision = chunk.Revision();
  EconomicInfo read(*this);
  if (!file->Read(read.parameter3_) || !file->Read(read.parameter4_)) return 0;
  if (revision >= 2 && !ReadFlag(file, &read.locked_)) return 0;
  read.operatingHours_ = kDefaultOperatingHours;
  if (revision >= 3 && !file->Read(read.operatingHours_)) return 0;
  if (!chunk.Close()) return 0;
  *this = read;
  return 1;
}

}  // namespace pemar
