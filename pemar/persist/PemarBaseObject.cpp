#include "pemar/persist/PemarBaseObject.h"

#include <map>

namespace pemar {
namespace {

// Built on first use, so that libraries registering at load time in any
// order find it ready.
std::map<long long, IPemarBaseObject::Creator>& CreatorRegistry() {
  static auto* registry = new std::map<long long, IPemarBaseObject::Creator>;
  return *registry;
}

}  // namespace

IPemarBaseObject::~IPemarBaseObject() = default;

IPemarBaseObject* IPemarBaseObject::Create(long long type,
                                           IEngineeringManager* manager,
                                           const char* name) {
  const auto& registry = CreatorRegistry();
  auto it = registry.find(type);
  if (it == registry.end() || it->second == nullptr) return nullptr;
  return it->second(name, manager);
}

void IPemarBaseObject::Register(long long type, Creator creator) {
  CreatorRegistry().emplace(type, creator);
}

PemarBaseObject::~PemarBaseObject() = default;

long PemarBaseObject::AddRef() { return ++refCount_; }

long PemarBaseObject::Release() {
  if (refCount_ == 1) {
    refCount_ = 0;
    delete this;
    return 0;
  }
  return --refCount_;
}

long PemarBaseObject::RefCount() { return refCount_; }

long PemarBaseObject::GetObjectType() { return 1; }

hresult PemarBaseObject::QueryInterface(long interfaceId, void** result) {
  if (result == nullptr) return kRejected;
  if (interfaceId == kBaseObjectInterface) {
    *result = static_cast<IPemarBaseObject*>(this);
    return kDone;
  }
  *result = nullptr;
  return kNoInterface;
}

unsigned char PemarBaseObject::Store(IPemarBinaryFile*) { return 1; }

unsigned char PemarBaseObject::Recall(IPemarBinaryFile*) { return 1; }

}  // namespace pemar
