// Recalls arbitrary bytes as the class data of a case's feature manager.
//
// The input is a type version (its first byte: odd gives 1, even 2) and
// the manager's class data (the rest). The target saves a case whose
// "FeatureManager" object stands in for a feature manager and writes the
// input as its class data, beside real objects for the data to point at (by
// id: 2 the manager, 3 and 4 property tables, 5 a heat-integration view, 6
// a technology manager), then makes the file name the real type and recalls
// it. A recall may fail but must never crash; a case that recalled must
// save and recall again, and be destroyed with every object deleted once.
//
// Seeds in fuzz/corpus/feature_manager/: the layouts of both type versions
// over those objects, duplicates and nulls included.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CaseFuzzing.h"
#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

namespace {

// Names one letter away from the real types, so that the saved file can be
// made to name them.
constexpr char kManagerStandIn[] = "ExpMgrViewObjecX";
constexpr char kTechnologyStandIn[] = "TechnologyManagerViewObjecX";

// Writes whatever bytes the target was given.
class StandInInfoT : public pemar::ObjectTypeInfo {
 public:
  explicit StandInInfoT(const char* name)
      : ObjectTypeInfo(name, pemar::ViewableObjectType(), "StandIn", 0, 0, "",
                       pemar::kEmptyMarker) {}
  unsigned char StoreClassData(pemar::BinaryFile& file,
                               pemar::Viewable* /*object*/) const override {
    return file.WriteBytes(payload.data(), payload.size());
  }
  std::string payload;
};

StandInInfoT& ManagerStandIn() {
  static auto* type = new StandInInfoT(kManagerStandIn);
  return *type;
}
StandInInfoT& TechnologyStandIn() {
  static auto* type = new StandInInfoT(kTechnologyStandIn);
  return *type;
}

// A technology manager record: manager 2, selection 3, texts.
std::string TechnologyPayload() {
  std::string bytes;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i));
  };
  auto putText = [&](const std::string& s) {
    put32(static_cast<std::uint32_t>(s.size()));
    bytes += s;
  };
  put32(2);
  put32(3);
  putText("PropertyTable");
  putText("Thermodynamics");
  putText("Property Table1");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const bool configured = [] {
    pemar::ResetConfigStore();
    pemar::SetCommandLine(pemar::Text("feature_manager_fuzz"));
    pemar::test_support::RegisterTestFeatures();
    TechnologyStandIn().payload = TechnologyPayload();
    return true;
  }();
  (void)configured;
  if (size == 0) return 0;

  pemar::DiscardingMessageSink sink;
  pemar::ScopedMessageSink scoped_sink(&sink);
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scoped_fs(&fs);

  StandInInfoT& managerType = ManagerStandIn();
  managerType.SetClassDataVersion((data[0] & 1) ? 1 : 2);
  managerType.payload.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  {
    pemar::SimulationCase original(pemar::Text("SIM"), nullptr);
    auto* manager = new pemar::Viewable(&original, &managerType);
    manager->SetName("FeatureManager");
    new pemar::PropertyTableFeature(manager, "Property Table1");
    new pemar::PropertyTableFeature(manager, "Property Table2");
    pemar::test_support::BuildPlainHI(manager, "HI Case1");
    new pemar::Viewable(manager, &TechnologyStandIn());
    original.SetFileName(pemar::Text(pemar::fuzzing::kInputCase));
    if (!original.SaveDocument(0)) std::abort();
  }
  std::string bytes = fs.GetFile(pemar::fuzzing::kInputCase);
  for (const char* name : {kManagerStandIn, kTechnologyStandIn}) {
    const std::size_t at = bytes.find(name);
    if (at == std::string::npos) std::abort();
    bytes[at + std::char_traits<char>::length(name) - 1] = 't';
  }
  fs.SetFile(pemar::fuzzing::kInputCase, bytes);

  pemar::SimulationCase theCase(pemar::Text("SIM"), nullptr);
  if (!pemar::fuzzing::RecallCase(theCase, pemar::fuzzing::kInputCase)) {
    return 0;
  }
  if (std::getenv("PEMAR_FEATURE_FUZZ_SHOW") != nullptr) {
    // For writing seeds: what the recalled manager lists.
    if (pemar::ExpMgrView* m = pemar::CaseFeatureManager(&theCase)) {
      std::fprintf(stderr, "instances %zu technology managers %zu\n",
                   m->AllInstances().size(), m->TechnologyManagers().size());
    }
  }
  pemar::SimulationCase again(pemar::Text("SIM"), nullptr);
  pemar::fuzzing::SaveCopyAndRecall(theCase, again);
  return 0;
}
