#include "pemar/framework/Document.h"

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Reports.h"

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

namespace {

int g_unhandled_message_result = 0;

}  // namespace

PackedBinaryFileHeader* Document::DocumentFileHeader() { return &header_; }

void Document::EnterEnvironment(int number, int /*flag*/) {
  environment_number_ = number;
}

ReportManager* Document::GetReportManager() {
  for (Viewable* object : objects_->Objects(ReportManagerObjectType())) {
    auto* manager = dynamic_cast<ReportManager*>(object);
    if (manager != nullptr && manager->GetOwner() == this) return manager;
  }
  return new ReportManager(this);
}

void Document::NotifyActivated(bool /*active*/) { ++notify_activated_calls_; }

void Document::ViewDocument() {
  ++view_document_calls_;
  View();
}

void Document::UpdateViews(void* /*hint*/) { ++update_views_calls_; }

int Document::Message(const Text& /*command*/) {
  return g_unhandled_message_result;
}

void Document::SetUnhandledMessageResult(int result) {
  g_unhandled_message_result = result;
}

unsigned char Document::SaveDocument(unsigned char /*flag*/) {
  if (file_name_.IsEmpty()) return 0;
  PackedBinaryFileHeader* header = DocumentFileHeader();
  const bool written = ReplaceFileWith(file_name_.str(), [&](BinaryFile& file) {
    return (header == nullptr || header->Store(file)) &&
           objects_->StoreObjects(file) &&
           (header == nullptr || header->MarkOK(file));
  });
  if (!written) return 0;
  SyncFolderOfSavedFile(file_name_);
  modified_ = false;
  return 1;
}

void SyncFolderOfSavedFile(const Text& path) {
  if (!FileSystem::Default()->SyncDirectoryOf(path.str())) {
    TraceWarning("UnableToSyncFolder", {path});
  }
}

const ObjectTypeInfo* Document::FixupOldObjectType(long /*oldType*/) {
  return nullptr;
}

unsigned char Document::RecallDocument(const FileName& name) {
  file_name_ = name.Path();
  temp_name_ = name.IsTempName();
  BinaryFile file(name.Path(), Text());
  if (!file.Open(false)) return 0;
  PackedBinaryFileHeader* header = DocumentFileHeader();
  if (header != nullptr && !header->Recall(file, 1)) return 0;
  return objects_->RecallObjects(file);
}

}  // namespace pemar
