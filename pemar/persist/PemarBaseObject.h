// Persistent, reference-counted engineering objects.
//
// IPemarBaseObject is the small interface that the library's engineering
// objects share: a reference count, a type number, a name, an interface query
// and a store/recall pair over an IPemarBinaryFile. It is always inherited
// virtually, so that an object reaching it by several paths holds one copy.
// PemarBaseObject is the standard partial implementation.
//
// The creator registry makes an object from a type number and a name; the
// suite's libraries register their project classes into it at load time.

#ifndef PEMAR_PERSIST_PEMARBASEOBJECT_H_
#define PEMAR_PERSIST_PEMARBASEOBJECT_H_

#include <cstdint>

#include "pemar/framework/Export.h"
#include "pemar/framework/Types.h"

namespace pemar {

class IEngineeringManager;
class IPemarBinaryFile;

// Interface id answered by every object: its IPemarBaseObject.
inline constexpr long kBaseObjectInterface = 1;

class PEMAR_EXPORT IPemarBaseObject {
 public:
  // Makes an object of a registered type: the creator's result for (name,
  // manager), or null when the type is not registered. The caller receives
  // the object with whatever references its creator gave it.
  using Creator = IPemarBaseObject* (*)(const char* name,
                                        IEngineeringManager* manager);

  virtual ~IPemarBaseObject();
  // Adds a reference; returns the new count.
  virtual long AddRef() = 0;
  // Drops a reference; the object destroys itself when the count was 1 and
  // then returns 0.
  virtual long Release() = 0;
  virtual long RefCount() = 0;
  virtual long GetObjectType() = 0;
  // The object's name; may be null. Valid while the object lives and its
  // name is not changed.
  virtual const char* GetMyIdentifier() = 0;
  // Fills *result with the object's interface for `interfaceId` (no
  // reference added) and returns 1; for an unknown id fills null and
  // returns 2.
  virtual hresult QueryInterface(long interfaceId, void** result) = 0;
  virtual unsigned char Store(IPemarBinaryFile* file) = 0;
  virtual unsigned char Recall(IPemarBinaryFile* file) = 0;

  static IPemarBaseObject* Create(long long type, IEngineeringManager* manager,
                                  const char* name);

 protected:
  // Adds a creator for `type` unless the type is registered already: the
  // first registration wins and later ones are ignored.
  static void Register(long long type, Creator creator);
};

// The standard behaviour: a reference count that starts at 0, type 1, the
// base interface only, and a store and recall that write and read nothing.
// Concrete classes supply GetMyIdentifier and override the rest as needed.
class PEMAR_EXPORT PemarBaseObject : public virtual IPemarBaseObject {
 public:
  PemarBaseObject() = default;
  // A copy is a new object: its count starts at 0.
  PemarBaseObject(const PemarBaseObject&) : IPemarBaseObject() {}
  PemarBaseObject& operator=(const PemarBaseObject&) { return *this; }
  ~PemarBaseObject() override;

  long AddRef() override;
  long Release() override;
  long RefCount() override;
  long GetObjectType() override;
  hresult QueryInterface(long interfaceId, void** result) override;
  unsigned char Store(IPemarBinaryFile* file) override;
  unsigned char Recall(IPemarBinaryFile* file) override;

 private:
  std::int32_t refCount_ = 0;
};

// Which part of the utility and economics database a store or recall covers.
enum StoreRecallType {
  AllData = 0,
  EconomicDataOnly = 1,
  UtilitiesOnly = 2,
  HeatTransferCoefficientsOnly = 3,
};

}  // namespace pemar

#endif  // PEMAR_PERSIST_PEMARBASEOBJECT_H_
