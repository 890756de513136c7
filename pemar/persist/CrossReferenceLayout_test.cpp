// The byte layout of object references, written by hand from
// docs/file-format.md ("Object references").

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/persist/testing/FakeEngineeringManager.h"
#include "pemar/persist/testing/GoldenBytes.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

class CrossReferenceLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_ = manager_.AddProject("Site");
    scenario_ = project_->AddScenario("Base case");
    design_ = scenario_->AddDesign("Retrofit");
    column_ = project_->AddColumn("C-101");
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  test_support::FakeEngineeringManager manager_;
  test_support::FakeProject* project_ = nullptr;
  test_support::FakeHiScenario* scenario_ = nullptr;
  test_support::FakeHenDesign* design_ = nullptr;
  IComplexColumn* column_ = nullptr;
};

TEST_F(CrossReferenceLayoutTest, EveryKindIsOneChunkOfNames) {
  IEngObjectRegistry* m = &manager_;
  IHeatIntegrationScenario* scenario = scenario_;
  IHENDesign* design = design_;
  IComplexColumn* column = column_;
  struct Reference {
    const char* kind;
    std::function<unsigned char(BinaryFile&)> store;
    std::string bytes;
    // Recalls the reference into *object.
    std::function<unsigned char(BinaryFile&, const void**)> recall;
    const void* object;
  };
  const Reference references[] = {
      {"null",
       [](BinaryFile& f) {
         return StoreDesignPointer(f, static_cast<IHENDesign*>(nullptr));
       },
       Bytes("A5 5A 01 00 0F 00 00 00"      // chunk: revision 1, 15 bytes
             "0B 00 00 00 'NULL_OBJECT'"),  // Text
       [&](BinaryFile& f, const void** object) {
         IHENDesign* d = design;  // a null reference clears it
         unsigned char ok = RecallDesignPointer(f, m, &d);
         *object = d;
         return ok;
       },
       nullptr},
      {"project",
       [&](BinaryFile& f) { return StoreProjectPointer(f, project_); },
       Bytes("A5 5A 01 00 08 00 00 00"  // chunk: revision 1, 8 bytes
             "04 00 00 00 'Site'"),     // project
       [&](BinaryFile& f, const void** object) {
         void* p = nullptr;
         unsigned char ok =
             RecallProjectPointer(f, m, &p, kHeatIntegrationProjectType);
         *object = p;
         return ok;
       },
       static_cast<IHeatIntegrationProject*>(project_)},
      {"scenario",
       [&](BinaryFile& f) { return StoreScenarioPointer(f, scenario); },
       Bytes("A5 5A 01 00 15 00 00 00"    // chunk: revision 1, 21 bytes
             "04 00 00 00 'Site'"         // project
             "09 00 00 00 'Base case'"),  // scenario
       [&](BinaryFile& f, const void** object) {
         IHeatIntegrationScenario* s = nullptr;
         unsigned char ok = RecallScenarioPointer(f, m, &s);
         *object = s;
         return ok;
       },
       scenario},
      {"design", [&](BinaryFile& f) { return StoreDesignPointer(f, design); },
       Bytes("A5 5A 01 00 21 00 00 00"   // chunk: revision 1, 33 bytes
             "04 00 00 00 'Site'"        // project
             "09 00 00 00 'Base case'"   // scenario
             "08 00 00 00 'Retrofit'"),  // design
       [&](BinaryFile& f, const void** object) {
         IHENDesign* d = nullptr;
         unsigned char ok = RecallDesignPointer(f, m, &d);
         *object = d;
         return ok;
       },
       design},
      {"column",
       [&](BinaryFile& f) {
         return StoreComplexColumnPointer(f, column, "Site");
       },
       Bytes("A5 5A 01 00 11 00 00 00"  // chunk: revision 1, 17 bytes
             "04 00 00 00 'Site'"       // project, as the caller named it
             "05 00 00 00 'C-101'"),    // column
       [&](BinaryFile& f, const void** object) {
         IComplexColumn* c = nullptr;
         unsigned char ok = RecallComplexColumnPointer(f, m, &c);
         *object = c;
         return ok;
       },
       column},
  };
  for (const Reference& r : references) {
    SCOPED_TRACE(r.kind);
    EXPECT_TRUE(SameBytes(WrittenBytes(fs_, r.store), r.bytes));
    const void* object = &references;  // anything but the expected one
    EXPECT_TRUE(ReadsAll(fs_, r.bytes, [&](BinaryFile& f) {
      return r.recall(f, &object) != 0;
    }));
    EXPECT_EQ(object, r.object);
  }
}

}  // namespace
}  // namespace pemar
