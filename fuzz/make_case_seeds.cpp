// Writes the seed corpus of case_file_fuzz: real case files made by the
// library, in the current layout and in older ones. Not part of the build;
// run it by hand when the case file layout changes (the second line is
// one command):
//
//   cmake --build build/<dir> --target pemar_internal
//   c++ -std=c++20 -I. fuzz/make_case_seeds.cpp
//       build/<dir>/libpemar_internal.a -ldl -o /tmp/make_case_seeds
//   /tmp/make_case_seeds fuzz/corpus/case_file
//
// The cases are saved into a file system in memory (so no backups or
// temporary files appear in the corpus folder, and the utility database
// comes from the built-in tables, not from the machine's default files) and
// then copied out. Note dates are the day of the run.

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/persist/SimulationCaseFileHeader.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"

// Case files as older programs wrote them.
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

namespace {

using pemar::BinaryFile;
using pemar::SimulationCase;
using pemar::Text;
using pemar::Viewable;

using pemar::test_support::OldLayoutCase;
using pemar::test_support::OldParametersType;
using pemar::test_support::ScopedCaseRevision;

void AddProject(SimulationCase& theCase, const char* name, int notes) {
  pemar::IPemarBaseObject* object =
      theCase.GetEngineeringManager()->AddEngObject(
          name, pemar::kNotesProjectType, 0);
  pemar::IPemarProject* project = pemar::AsPemarProject(object);
  project->SetEngineersName("R. Alvarez");
  project->SetComments("Crude unit revamp, heat recovery study");
  for (int i = 0; i < notes; ++i) {
    project->AddNote();
    std::string title = "Pinch check " + std::to_string(i + 1);
    project->SetNoteTitle(i, title.c_str());
    project->SetNoteText(i, "Minimum approach 10 K; exchanger E-101 limits");
    project->SetNoteAuthor(i, "RA");
  }
}

// Saves through the case's own save.
std::string Saved(SimulationCase& theCase) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  theCase.SetFileName(Text("/seed.kcs"));
  if (!theCase.SaveDocument(0)) return std::string();
  return fs.GetFile("/seed.kcs");
}

// Writes the case by hand as a program of `build` wrote files of structure
// `revision`.
std::string WrittenByHand(SimulationCase& theCase, unsigned char revision,
                          long build) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  if (!pemar::test_support::WriteOldCaseFile(theCase, Text("/seed.kcs"),
                                             revision, build)) {
    return std::string();
  }
  return fs.GetFile("/seed.kcs");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_case_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  pemar::ResetConfigStore();
  pemar::SetCommandLine(Text("make_case_seeds"));
  pemar::NotesProject::RegisterType();
  pemar::DiscardingMessageSink sink;
  pemar::ScopedMessageSink scoped_sink(&sink);

  struct Seed {
    const char* name;
    std::function<std::string()> make;
  };
  const std::vector<Seed> seeds = {
      {"empty.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         return Saved(c);
       }},
      {"projects.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         AddProject(c, "Crude unit", 2);
         AddProject(c, "Vacuum unit", 1);
         return Saved(c);
       }},
      {"utility.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         c.UtilityDatabase(true);
         return Saved(c);
       }},
      {"projects_utility.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         AddProject(c, "Crude unit", 2);
         AddProject(c, "Vacuum unit", 1);
         c.UtilityDatabase(true);
         return Saved(c);
       }},
      {"structure6.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         c.UtilityDatabase(true);
         return WrittenByHand(c, 6, pemar::kCaseLayoutBuild);
       }},
      {"structure7.kcs",
       [] {
         SimulationCase c(Text("SIM"), nullptr);
         AddProject(c, "Crude unit", 2);
         return WrittenByHand(c, 7, pemar::kCaseLayoutBuild);
       }},
      // Class-data revision 16 of a build from 2000 on: the pointer records
      // of revision < 17 (1), <= 17 (3), the bug report manager (1),
      // 13 to 17 (1) and <= 17 (1).
      {"classdata16.kcs",
       [] {
         ScopedCaseRevision revision(16);
         OldLayoutCase c;
         c.counter = 3;
         c.pointers.assign(7, nullptr);
         AddProject(c, "Crude unit", 1);
         return WrittenByHand(c, 8, pemar::kCaseLayoutBuild);
       }},
      // Class-data revision 12 of a build before 2000: build < 2000 (1),
      // revision < 17 (1), <= 17 (3) and <= 17 (1); no bug report manager.
      {"classdata12_build1900.kcs",
       [] {
         ScopedCaseRevision revision(12);
         OldLayoutCase c;
         c.counter = 3;
         c.pointers.assign(6, nullptr);
         return WrittenByHand(c, 7, 1900);
       }},
      // The old case-parameter placeholder of class-data revision 15: an
      // object that the case destroys (named "Obsolete"), three records,
      // the bug report manager and one more record; "Watched" stays.
      {"old_parameters.kcs",
       [] {
         static OldParametersType* type =
             new OldParametersType("SeedOldCaseParameters");
         SimulationCase c(Text("SIM"), nullptr);
         auto* watched = new Viewable(&c, pemar::ViewableObjectType());
         watched->SetName("Watched");
         auto* placeholder = new Viewable(&c, type);
         auto* obsolete = new Viewable(&c, pemar::ViewableObjectType());
         obsolete->SetName("Obsolete");
         type->pointers = {obsolete, nullptr, nullptr,
                           watched,  nullptr, nullptr};
         std::string bytes = WrittenByHand(c, 8, pemar::kCaseLayoutBuild);
         delete placeholder;
         return bytes;
       }},
  };

  int failed = 0;
  for (const Seed& seed : seeds) {
    std::string bytes = seed.make();
    if (bytes.empty()) {
      std::fprintf(stderr, "%s: could not be written\n", seed.name);
      ++failed;
      continue;
    }
    std::ofstream out(folder + "/" + seed.name,
                      std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: could not be saved\n", seed.name);
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
