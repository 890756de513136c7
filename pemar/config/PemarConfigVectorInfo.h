// PemarConfigVectorInfo: configuration texts that other libraries add to the
// preferences at run time.
//
// A list of configuration-store keys, each with the label shown beside it;
// the configuration manager shows them as an indexed table whose values are
// the store's texts under those keys. One process-wide instance exists from
// load on (_get_PemarConfigVectorInfo).
//
// Indexes start at 0; an index outside the list finds nothing and changes
// nothing. Null keys and labels are ignored (AddItem) or refused.

#ifndef PEMAR_CONFIG_PEMARCONFIGVECTORINFO_H_
#define PEMAR_CONFIG_PEMARCONFIGVECTORINFO_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class PEMAR_EXPORT PemarConfigVectorInfo {
 public:
  // Appends key and label, unless the key (compared byte for byte) is there
  // already: then the first label stays. A null key is ignored; a null label
  // is the empty text.
  void AddItem(const char* key, const char* label);
  // Replaces the key at `index`; nothing for a null key or an index outside
  // the list.
  void ChangeItem(long index, const char* key);
  // The key or label at `index`, valid until the list next changes; null
  // outside the list.
  const char* GetConfigInfo(long index) const;
  const char* GetConfigLabel(long index) const;
  long lnumConfigItems() const { return static_cast<long>(keys_.size()); }

 private:
  bool FindItem(long& index, const char* key) const;
  bool InRange(long index) const {
    return index >= 0 && index < lnumConfigItems();
  }

  std::vector<CVString> keys_;
  std::vector<CVString> labels_;
};

// The process-wide instance; never null.
PEMAR_EXPORT PemarConfigVectorInfo* _get_PemarConfigVectorInfo();

}  // namespace pemar

#endif  // PEMAR_CONFIG_PEMARCONFIGVECTORINFO_H_
