#include "pemar/config/PemarConfigVectorInfo.h"

namespace pemar {

void PemarConfigVectorInfo::AddItem(const char* key, const char* label) {
  long index = 0;
  if (key == nullptr || FindItem(index, key)) return;
  keys_.emplace_back(key);
  labels_.emplace_back(label);
}

void PemarConfigVectorInfo::ChangeItem(long index, const char* key) {
  if (key == nullptr || !InRange(index)) return;
  keys_[static_cast<std::size_t>(index)] = key;
}

const char* PemarConfigVectorInfo::GetConfigInfo(long index) const {
  return InRange(index) ? keys_[static_cast<std::size_t>(index)].c_str()
                        : nullptr;
}

const char* PemarConfigVectorInfo::GetConfigLabel(long index) const {
  return InRange(index) ? labels_[static_cast<std::size_t>(index)].c_str()
                        : nullptr;
}

bool PemarConfigVectorInfo::FindItem(long& index, const char* key) const {
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) {
      index = static_cast<long>(i);
      return true;
    }
  }
  return false;
}

PemarConfigVectorInfo* _get_PemarConfigVectorInfo() {
  static auto* info = new PemarConfigVectorInfo;
  return info;
}

namespace {
// Created at load, before other libraries add their items.
[[maybe_unused]] const PemarConfigVectorInfo* const kLoadedVectorInfo =
    _get_PemarConfigVectorInfo();
}  // namespace

}  // namespace pemar
