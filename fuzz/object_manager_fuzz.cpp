// Recalls arbitrary bytes as a document file (header, then object section)
// and, separately, as a bare object section, into documents with a few
// registered object types. Their class data reads numbers, texts and pointer
// records, asks for some objects to be discarded, and deletes objects that
// pointer records name during the recall.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"

namespace pemar {
namespace {

const ObjectTypeInfo* FuzzNodeType();

// Both kinds of object keep their pointer only while the object lives: they
// are its death postees.
class FuzzSheet : public Document {
 public:
  FuzzSheet();
  void DisconnectDeadObject(Viewable* dying) override {
    if (dying == favourite) favourite = nullptr;
  }
  Viewable* favourite = nullptr;
};

class FuzzNode : public Viewable {
 public:
  explicit FuzzNode(ObjectInstanceInfo& info) : Viewable(info) {}
  void DisconnectDeadObject(Viewable* dying) override {
    if (dying == peer) peer = nullptr;
  }
  int value = 0;
  Text label;
  Viewable* peer = nullptr;
};

unsigned char Watch(Viewable* watcher, Viewable* watched) {
  if (watched != nullptr) watched->AddDeathPostee(watcher);
  return 1;
}

class FuzzSheetInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* sheet = static_cast<FuzzSheet*>(object);
    return Viewable::RecallPointerX(file, sheet->favourite, FuzzNodeType()) &&
           Watch(sheet, sheet->favourite);
  }
};

class FuzzNodeInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new FuzzNode(info);
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* node = static_cast<FuzzNode*>(object);
    if (!file.Read(node->value) || !file.Read(node->label)) return 0;
    if (RecalledClassDataVersion() >= 2) {
      return Viewable::RecallPointerX(file, node->peer, nullptr) &&
             Watch(node, node->peer);
    }
    return 1;
  }
  unsigned char CheckRecalledPointers(Viewable* object) const override {
    return static_cast<FuzzNode*>(object)->value >= 0;
  }
  void RecallFixUp(Viewable* object) const override {
    // Touches the peer, so that a dangling one would show under the
    // sanitizer.
    auto* node = static_cast<FuzzNode*>(object);
    if (node->peer != nullptr) node->label = node->peer->GetName();
  }
};

// A node that deletes the object its pointer record names, as old-layout
// readers do with objects they no longer keep.
class FuzzKillerInfoT : public FuzzNodeInfoT {
 public:
  using FuzzNodeInfoT::FuzzNodeInfoT;
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    Viewable* victim = nullptr;
    if (!Viewable::RecallPointerX(file, victim, nullptr)) return 0;
    if (victim != nullptr && victim != object &&
        victim != object->GetDocument()) {
      delete victim;
    }
    return 1;
  }
  unsigned char CheckRecalledPointers(Viewable*) const override { return 1; }
  void RecallFixUp(Viewable*) const override {}
};

const ObjectTypeInfo* FuzzSheetType() {
  static auto* type =
      new FuzzSheetInfoT("FuzzSheetObject", DocumentObjectType(), "FuzzSheet",
                         0, 0, "fsheet", kEmptyMarker);
  return type;
}

const ObjectTypeInfo* FuzzNodeType() {
  static auto* type = [] {
    auto* t = new FuzzNodeInfoT("FuzzNodeObject", ViewableObjectType(),
                                "FuzzNode", 0, 0, "fnode", kEmptyMarker);
    t->SetClassDataVersion(2);
    return t;
  }();
  return type;
}

const ObjectTypeInfo* FuzzKillerType() {
  static auto* type =
      new FuzzKillerInfoT("FuzzKillerObject", FuzzNodeType(), "FuzzKiller", 0,
                          0, "fkill", kEmptyMarker);
  return type;
}

FuzzSheet::FuzzSheet() : Document(nullptr, FuzzSheetType()) {}

}  // namespace
}  // namespace pemar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace pemar;
  FuzzNodeType();
  FuzzKillerType();
  MemoryFileSystem fs;
  fs.SetFile("input.fsh",
             std::string(reinterpret_cast<const char*>(data), size));
  ScopedFileSystem scoped(&fs);
  {
    FuzzSheet sheet;
    sheet.RecallDocument(FileName(Text("input.fsh")));
  }
  {
    FuzzSheet sheet;
    BinaryFile file("input.fsh", Text());
    if (file.Open(false)) sheet.GetObjectManager().RecallObjects(file);
  }
  return 0;
}
