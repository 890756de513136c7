#include "pemar/framework/Document.h"

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/FileSystem.h"

namespace pemar {

Document::Document(Viewable* owner, const ObjectTypeInfo* type)
    : Viewable(DocumentTag{}, owner, type),
      objects_(std::make_unique<ObjectManager>(this)) {
  objects_->Register(this);
}

Document::Document(ObjectInstanceInfo& info)
    : Viewable(DocumentTag{}, info),
      objects_(std::make_unique<ObjectManager>(this)) {
  objects_->Register(this);
}

Document::~Document() {
  // While the document is still whole enough to hear of their deaths.
  objects_->DestroyAfter(0);
  objects_->Unregister(this);
}

PackedBinaryFileHeader* Document::DocumentFileHeader() { return &header_; }

unsigned char Document::SaveDocument(unsigned char /*flag*/) {
  if (file_name_.IsEmpty()) return 0;
  Text temp = file_name_ + ".tmp";
  BinaryFile file(temp, Text());
  if (!file.Create()) return 0;
  PackedBinaryFileHeader* header = DocumentFileHeader();
  unsigned char ok = 1;
  if (header != nullptr && !header->Store(file)) ok = 0;
  if (ok && !objects_->StoreObjects(file)) ok = 0;
  if (ok && header != nullptr && !header->MarkOK(file)) ok = 0;
  if (ok && !file.Sync()) ok = 0;
  if (!file.Close()) ok = 0;
  if (ok && !FileSystem::Default()->RenameFile(temp.str(), file_name_.str())) {
    ok = 0;
  }
  if (!ok) {
    FileSystem::Default()->DeleteFile(temp.str());
    return 0;
  }
  modified_ = false;
  return 1;
}

const ObjectTypeInfo* Document::FixupOldObjectType(long /*oldType*/) {
  return nullptr;
}

unsigned char Document::RecallDocument(const FileName& name) {
  file_name_ = name.Path();
  BinaryFile file(name.Path(), Text());
  if (!file.Open(false)) return 0;
  PackedBinaryFileHeader* header = DocumentFileHeader();
  if (header != nullptr && !header->Recall(file, 1)) return 0;
  return objects_->RecallObjects(file);
}

}  // namespace pemar
