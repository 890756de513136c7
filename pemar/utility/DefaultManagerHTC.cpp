// The database's heat-transfer-coefficient defaults.

#include <cstring>
#include <string_view>
#include <unordered_set>

#include "pemar/utility/DefaultManager.h"

namespace pemar {
namespace {

// Whether an entry of `list` has the name; compared as the C strings they
// are, without a copy of each name (the defaults are built this way for
// every new database).
template <typename List>
bool HasName(const List& list, const char* name) {
  for (const auto& entry : list) {
    if (std::strcmp(entry->GetName(), name) == 0) return true;
  }
  return false;
}

}  // namespace

void DefaultManager::SendHTCChanged(const char* name, int position) {
  SendAMessage(HTCDefaultsChanged, name, &position);
}

int DefaultManager::GetNumberOfHTCDefaultValues() {
  return static_cast<int>(htc_.size());
}

double DefaultManager::GetHTCDefaultValue(int i) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues()) return 0.0;
  return htc_[static_cast<std::size_t>(i)]->GetHTCValue();
}

const char* DefaultManager::GetHTCDefaultValueName(int i) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues()) return nullptr;
  return htc_[static_cast<std::size_t>(i)]->GetName();
}

const char* DefaultManager::GetHTCDefaultValueNote(int i) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues()) return nullptr;
  return htc_[static_cast<std::size_t>(i)]->GetNote();
}

hresult DefaultManager::AddHTCDefaultValue(const char* name, double value,
                                           const char* note) {
  hasHTCList_ = true;
  if (name == nullptr || HasName(htc_, name)) return kRejected;
  AppendHTCDefaultValue(name, value, note);
  return kDone;
}

void DefaultManager::AppendHTCDefaultValue(const char* name, double value,
                                           const char* note) {
  auto entry = std::make_unique<DefHeatTransferCoefficient>();
  const CVString name_text = name;
  const CVString note_text = note;
  entry->SetName(&name_text);
  entry->SetNote(&note_text);
  // The first entry is the default for entries added without a value.
  if (value == 0.0) value = htc_.empty() ? 0.0 : htc_.front()->GetHTCValue();
  entry->SetHTCValue(value);
  htc_.push_back(std::move(entry));
  SendHTCChanged(name_text.c_str(), GetNumberOfHTCDefaultValues() - 1);
}

hresult DefaultManager::DeleteHTCDefaultValue(int i) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues()) return kRejected;
  // The receivers get the name after the entry is gone.
  const CVString name = htc_[static_cast<std::size_t>(i)]->GetName();
  htc_.erase(htc_.begin() + i);
  SendHTCChanged(name.c_str(), i);
  return kDone;
}

hresult DefaultManager::SetHTCDefaultValue(int i, double value) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues() || !(value > 0.0)) {
    return kRejected;
  }
  DefHeatTransferCoefficient& entry = *htc_[static_cast<std::size_t>(i)];
  entry.SetHTCValue(value);
  SendHTCChanged(entry.GetName(), i);
  return kDone;
}

hresult DefaultManager::SetHTCDefaultValueName(int i, const char* name) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues() || name == nullptr ||
      HasName(htc_, name)) {
    return kRejected;
  }
  DefHeatTransferCoefficient& entry = *htc_[static_cast<std::size_t>(i)];
  const CVString text = name;
  entry.SetName(&text);
  SendHTCChanged(entry.GetName(), i);
  return kDone;
}

hresult DefaultManager::SetHTCDefaultValueNote(int i, const char* note) {
  if (i < 0 || i >= GetNumberOfHTCDefaultValues()) return kRejected;
  DefHeatTransferCoefficient& entry = *htc_[static_cast<std::size_t>(i)];
  const CVString text = note;
  entry.SetNote(&text);
  SendHTCChanged(entry.GetName(), i);
  return kDone;
}

void DefaultManager::AddHTCDefaultValues(const HTCDefaultEntry* entries,
                                         std::size_t count) {
  hasHTCList_ = true;
  // The names present are gathered once: every new and every recalled
  // database is given its defaults this way, and a scan of the list for
  // each entry made that quadratic.
  std::unordered_set<std::string_view> names;
  names.reserve(htc_.size() + count);
  for (const auto& entry : htc_) names.insert(entry->GetName());
  for (std::size_t i = 0; i < count; ++i) {
    const char* name = entries[i].name;
    if (name != nullptr && names.insert(name).second) {
      AppendHTCDefaultValue(name, entries[i].value, nullptr);
    }
  }
}

void DefaultManager::SetUpHTCDefaults() {
  std::size_t count = 0;
  const HTCDefaultEntry* built_in = BuiltInHTCDefaults(&count);
  AddHTCDefaultValues(built_in, count);
  if (LoadDefaultFile("DefaultHeatTranCoeff", HeatTransferCoefficientsOnly)) {
    return;
  }
  const HTCDefaultEntry* fallback = FallbackHTCDefaults(&count);
  AddHTCDefaultValues(fallback, count);
}

}  // namespace pemar
