#include "pemar/framework/Viewable.h"

#include <algorithm>

#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

// Removes the last occurrence of v; lists are mostly unwound from the back.
void EraseLast(std::vector<Viewable*>& list, const Viewable* v) {
  auto it = std::find(list.rbegin(), list.rend(), v);
  if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

Viewable::Viewable(Viewable* owner, const ObjectTypeInfo* type)
    : owner_(owner), type_(type) {
  Attach(true);
}

Viewable::Viewable(ObjectInstanceInfo& info)
    : owner_(info.Owner()), type_(info.Type()), name_(info.Name()) {
  Attach(true);
}

Viewable::Viewable(DocumentTag, Viewable* owner, const ObjectTypeInfo* type)
    : owner_(owner), type_(type) {
  Attach(false);
}

Viewable::Viewable(DocumentTag, ObjectInstanceInfo& info)
    : owner_(info.Owner()), type_(info.Type()), name_(info.Name()) {
  Attach(false);
}

void Viewable::Attach(bool joinDocument) {
  if (owner_ != nullptr) owner_->AddOwned(this);
  if (!joinDocument || owner_ == nullptr) return;
  Document* document = owner_->GetDocument();
  if (document != nullptr) document->GetObjectManager().Register(this);
}

Viewable::~Viewable() {
  // Out of the manager first, so that no postee finds the dying object
  // among the document's objects.
  if (manager_ != nullptr) manager_->Unregister(this);

  // Postees may add or remove postees, or delete other objects, while they
  // are told; the list is therefore consumed from its live front.
  while (!postees_.empty()) {
    Viewable* postee = postees_.front().first;
    postees_.erase(postees_.begin());
    EraseLast(postee->watching_, this);
    postee->DisconnectDeadObject(this);
  }
  std::vector<Viewable*> watching;
  watching.swap(watching_);
  for (Viewable* watched : watching) {
    auto& list = watched->postees_;
    list.erase(
        std::remove_if(list.begin(), list.end(),
                       [this](const auto& e) { return e.first == this; }),
        list.end());
  }

  if (owner_ != nullptr) owner_->RemoveOwned(this);
  for (Viewable* child : owned_) {
    child->owner_ = owner_;
    if (owner_ != nullptr) owner_->AddOwned(child);
  }
}

void Viewable::AddOwned(Viewable* child) { owned_.push_back(child); }

void Viewable::RemoveOwned(Viewable* child) { EraseLast(owned_, child); }

Document* Viewable::GetDocument() {
  if (manager_ != nullptr) return manager_->document_;
  for (Viewable* v = this; v != nullptr; v = v->owner_) {
    if (Document* d = dynamic_cast<Document*>(v)) return d;
  }
  return nullptr;
}

bool Viewable::IsA(const ObjectTypeInfo* type) const {
  return type_ != nullptr && type_->IsA(type);
}

void Viewable::AddDeathPostee(Viewable* postee) {
  if (postee == nullptr || postee == this) return;
  for (auto& entry : postees_) {
    if (entry.first == postee) {
      ++entry.second;
      return;
    }
  }
  postees_.emplace_back(postee, 1);
  postee->watching_.push_back(this);
}

void Viewable::RemoveDeathPostee(Viewable* postee) {
  for (auto it = postees_.begin(); it != postees_.end(); ++it) {
    if (it->first != postee) continue;
    if (--it->second == 0) {
      postees_.erase(it);
      EraseLast(postee->watching_, this);
    }
    return;
  }
}

int Viewable::DeathPosteeRefCount(const Viewable* postee) const {
  for (const auto& entry : postees_) {
    if (entry.first == postee) return entry.second;
  }
  return 0;
}

void Viewable::DisconnectDeadObject(Viewable* /*dying*/) {}

double Viewable::Value(const VarDescription& /*desc*/) { return kEmptyValue; }

unsigned char Viewable::Specify(const VarDescription& /*desc*/,
                                double /*value*/) {
  return 0;
}

Text Viewable::TextValue(const VarDescription& /*desc*/) { return Text(); }

unsigned char Viewable::SpecifyText(const VarDescription& /*desc*/,
                                    const Text& /*value*/) {
  return 0;
}

void Viewable::EndSpec() {}

int Viewable::Message(const Text& /*command*/) { return 0; }

int Viewable::GenMessage(MessageInfo& /*info*/) { return 0; }

Viewable* Viewable::AttachedObject(const VarDescription& /*desc*/) {
  return nullptr;
}

unsigned char Viewable::AttachObject(Viewable* /*object*/,
                                     const VarDescription& /*desc*/) {
  return 0;
}

unsigned char Viewable::GetAttachableObjects(const VarDescription& /*desc*/,
                                             AttachableObjects& /*objects*/) {
  return 0;
}

unsigned char Viewable::Dimensions(const VarDescription& /*desc*/,
                                   DimInfo& /*dims*/) {
  return 0;
}

unsigned char Viewable::VariableStatus(const VarDescription& /*desc*/,
                                       ModifyState& /*state*/,
                                       int& /*status*/) {
  return 0;
}

int Viewable::ViewNotification(int /*kind*/, int /*task*/,
                               const Text& /*text*/) {
  return 0;
}

Text Viewable::AttachedName(Viewable* object) {
  return object != nullptr ? object->GetName() : Text();
}

void* Viewable::CastToClassType(const Text& /*className*/) { return nullptr; }

void Viewable::View() { OpenView(type_ != nullptr ? type_->Name() : name_); }

}  // namespace pemar
