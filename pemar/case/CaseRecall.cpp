// Reading a case file, and the case's class-data record in every layout.

#include <algorithm>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Messages.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {

unsigned char SimulationCase::StoreClassData(BinaryFile& file) {
  return WriteClassDataRecord(file);
}

unsigned char SimulationCase::WriteClassDataRecord(BinaryFile& file) {
  if (IsModified()) {
    ++save_counter_;
    SetModified(false);
  }
  if (!file.Write(save_counter_)) return 0;
  return Viewable::StorePointer(file, bug_report_manager_);
}

void SimulationCase::DiscardLater(Viewable* object) {
  if (object == nullptr) return;
  if (std::find(discarded_.begin(), discarded_.end(), object) ==
      discarded_.end()) {
    discarded_.push_back(object);
  }
}

void SimulationCase::DestroyDiscarded() {
  // The file chooses these objects: never the case, never the manager it
  // keeps, and each one once.
  std::vector<Viewable*> doomed;
  doomed.swap(discarded_);
  for (Viewable* object : doomed) {
    if (object == this || object == bug_report_manager_) continue;
    delete object;
  }
}

// Steps shared by the case's own record and the old placeholder. `revision`
// is the class-data revision of the record, `build` the build number of the
// program that saved the file. The save counter has been read already.
unsigned char SimulationCase::RecallOlderPointers(BinaryFile& file,
                                                  int revision, long build,
                                                  bool placeholder) {
  Viewable* object = nullptr;
  if (build < kCaseLayoutBuild) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    DiscardLater(object);
  }
  if (revision < 17) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    DiscardLater(object);
  }
  if (placeholder) {
    for (int i = 0; i < 3; ++i) {
      if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    }
    if (object != nullptr && object != this && revision < 16) {
      object->AddDeathPostee(this);
    }
  } else if (revision <= 17) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    if (object != nullptr && object != this && revision == 15) {
      object->AddDeathPostee(this);
    }
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    if (object != nullptr && object != this && revision < 16) {
      object->AddDeathPostee(this);
    }
  }
  if (build >= kCaseLayoutBuild && revision < 14) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
  }
  if (build >= kCaseLayoutBuild && revision >= 12) {
    Viewable* manager = nullptr;
    if (!Viewable::RecallPointerX(file, manager,
                                  BugReportManagerObjectType())) {
      return 0;
    }
    if (manager == this) return 0;
    bug_report_manager_ = manager;
    // Whatever the revision, the case must hear of the manager's death: a
    // failed recall, or a damaged file that names a short-lived object,
    // would otherwise leave it holding a dangling pointer.
    if (manager != nullptr && manager->DeathPosteeRefCount(this) == 0) {
      manager->AddDeathPostee(this);
    }
  }
  if (build >= kCaseLayoutBuild && revision >= 13 && revision <= 17) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
  }
  if (!placeholder && revision <= 17) {
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
  }
  return 1;
}

unsigned char SimulationCase::RecallClassData(BinaryFile& file) {
  int revision = SimCaseObjectType()->RecalledClassDataVersion();
  long build = GetObjectManager().SavedByBuildNumber();
  int counter = 0;
  if (!file.Read(counter)) return 0;
  save_counter_ = counter;
  unsigned char ok = RecallOlderPointers(file, revision, build, false);
  DestroyDiscarded();
  return ok;
}

unsigned char SimulationCase::RecallOldCaseParameters(BinaryFile& file) {
  ChunkHeader chunk;
  if (!chunk.Open(file)) return 0;
  // The framework document's own class data: nothing this library keeps.
  if (!DocumentObjectType()->RecallClassData(file, this)) return 0;
  if (!chunk.Close(file)) return 0;
  int counter = 0;
  if (!file.Read(counter)) return 0;
  save_counter_ = counter;
  int revision = static_cast<short>(counter & 0xFFFF);
  long build = GetObjectManager().SavedByBuildNumber();
  unsigned char ok = RecallOlderPointers(file, revision, build, true);
  DestroyDiscarded();
  return ok;
}

unsigned char SimulationCase::RecallDocument(const FileName& name) {
  SetFileName(name.Path());
  BinaryFile file(name.Path());
  if (!file.Open(false)) {
    ErrorMsg("RecallFailure", {name.Path()});
    return 0;
  }
  SignalBusy(1);
  unsigned char ok = header_.Recall(file, 1);
  unsigned char revision = header_.FileStructureRevision();
  if (ok && revision >= kFirstRevisionWithZero) {
    long zero = 0;
    ok = file.Read(zero);
  }
  if (ok && revision >= kFirstRevisionWithEngineering) {
    PemarBinaryFile wrapped(&file);
    ok = engineering_->Recall(&wrapped);
  }
  if (ok) ok = GetObjectManager().RecallObjects(file);
  if (ok) {
    engineering_->RecallFixUp();
    AdoptRecalledManagers();
  }
  SignalBusy(0);
  if (!ok) {
    ErrorMsg("RecallFailure", {name.Path()});
    return 0;
  }
  header_.SetFileStructureRevision(kCaseFileStructureRevision);
  FileName recalled(name.Path());
  if (recalled.HasReservedExtension() || header_.AskForNameFlag() != 0) {
    SetTempName();
  }
  return 1;
}

}  // namespace pemar
