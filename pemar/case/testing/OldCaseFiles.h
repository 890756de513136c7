// Test support: case files as older programs wrote them.
//
// Header-only and free of test-framework code, so that the tests and the
// fuzz corpus generator share it.

#ifndef PEMAR_CASE_TESTING_OLDCASEFILES_H_
#define PEMAR_CASE_TESTING_OLDCASEFILES_H_

#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/persist/SimulationCaseFileHeader.h"
#include "pemar/project/EngineeringManager.h"

namespace pemar::test_support {

// Writes `counter`, then `pointers` as pointer records: the class data of
// the older case revisions and of the old case parameters.
inline bool WriteCounterAndPointers(BinaryFile& file, int counter,
                                    const std::vector<Viewable*>& pointers) {
  if (!file.Write(counter)) return false;
  for (Viewable* object : pointers) {
    if (!Viewable::StorePointer(file, object)) return false;
  }
  return true;
}

// A case whose class data has the shape of the older class-data revisions.
class OldLayoutCase : public SimulationCase {
 public:
  OldLayoutCase() : SimulationCase(Text("SIM"), nullptr) {}
  int counter = 7;
  std::vector<Viewable*> pointers;

 protected:
  unsigned char WriteClassDataRecord(BinaryFile& file) override {
    return WriteCounterAndPointers(file, counter, pointers);
  }
};

// The class-data revision that the case type writes, while it lives.
class ScopedCaseRevision {
 public:
  explicit ScopedCaseRevision(int revision) {
    Type()->SetClassDataVersion(revision);
  }
  ~ScopedCaseRevision() { Type()->SetClassDataVersion(kCaseClassDataVersion); }
  ScopedCaseRevision(const ScopedCaseRevision&) = delete;
  ScopedCaseRevision& operator=(const ScopedCaseRevision&) = delete;

 private:
  static ObjectTypeInfo* Type() {
    return const_cast<ObjectTypeInfo*>(SimCaseObjectType());
  }
};

// Old files stored the case parameters as an object of their own, whose type
// is written by number ("#24657"). Its class data: the framework document's
// (an empty chunk), `counter` (the class-data revision in its low 16 bits),
// then `pointers` as pointer records.
class OldParametersType : public ObjectTypeInfo {
 public:
  explicit OldParametersType(const char* typeName)
      : ObjectTypeInfo(typeName, ViewableObjectType(), "OldCaseParameters", 0,
                       0, "oldparam", kEmptyMarker) {
    SetOldTypeNumber(kOldCaseParametersTypeNumber);
  }
  int counter = (3 << 16) | 15;
  std::vector<Viewable*> pointers;
  unsigned char StoreClassData(BinaryFile& file, Viewable*) const override {
    ChunkHeader chunk;
    return chunk.Create(file, 1) && chunk.Close(file) &&
           WriteCounterAndPointers(file, counter, pointers);
  }
};

// Writes `theCase` to `path` the way a program of `build` wrote files of
// structure `revision`: the 32-bit 0 from revision 8 on, the engineering
// objects' chunk from revision 7 on. False when a write fails.
inline bool WriteOldCaseFile(SimulationCase& theCase, const Text& path,
                             unsigned char revision, long build) {
  struct BuildHeader : SimulationCaseFileHeader {
    long build;
    long StoreBuildNumber() const override { return build; }
  } header;
  header.build = build;
  header.SetFileStructureRevision(revision);
  BinaryFile file(path);
  bool ok = file.Create() && header.Store(file);
  if (ok && revision >= kFirstRevisionWithZero) ok = file.Write(0L);
  if (ok && revision >= kFirstRevisionWithEngineering) {
    PemarBinaryFile wrapped(&file);
    ok = theCase.GetEngineeringManager()->Store(&wrapped);
  }
  ok = ok && theCase.GetObjectManager().StoreObjects(file) &&
       header.MarkOK(file);
  return file.Close() && ok;
}

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_OLDCASEFILES_H_
