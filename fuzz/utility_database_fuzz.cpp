// Recalls arbitrary bytes as a utility database file. The first byte picks
// what the rest is read as: 0 to 3 a database chunk of that StoreRecallType,
// 4 one utility record, 5 the class data of the database editor. A recall
// may fail but must never crash, hang or allocate what the input cannot
// justify; a failed recall must leave the database usable.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "pemar/diag/LadderSvg.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace {

std::string ScratchPath() {
  static const std::string path =
      "/tmp/pemar_utility_fuzz_" + std::to_string(::getpid()) + ".bin";
  return path;
}

void Exercise(pemar::DefaultManager& m) {
  // The database must answer normally whatever the recall did, and draw
  // whatever values it holds.
  pemar::RenderUtilityLadderSvg(m);
  m.GetRecommendedUtilityName(40.0, pemar::ColdSegment, nullptr);
  m.GetMostEconomicalUtilityName(100.0, pemar::HotSegment);
  m.GetRecommendedUtilityForDataExt(100.0, pemar::HotSegment, -300.0);
  m.RestoreDefaultUtilities();
  m.GetEconomicDataName(m.GetNumberOfEconomicData() - 1);
  m.Lock();
  m.Unlock();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1) return 0;
  const int selector = data[0] % 6;
  const std::string path = ScratchPath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1),
              static_cast<std::streamsize>(size - 1));
  }
  static bool configured = [] {
    pemar::ResetConfigStore();
    return true;
  }();
  (void)configured;

  if (selector < 4) {
    pemar::DefaultManager m;
    m.SetUpDefaults();
    pemar::PemarBinaryFile file(path.c_str());
    if (m.Recall(&file, static_cast<pemar::StoreRecallType>(selector))) {
      pemar::DefaultManager copy(m);
      Exercise(copy);
    }
    Exercise(m);
  } else if (selector == 4) {
    pemar::DefaultUtility utility;
    pemar::PemarBinaryFile file(path.c_str());
    utility.Recall(&file);
    pemar::DefaultUtility copy(utility);
    copy.CompareComp("H2O", 1.0);
  } else {
    pemar::DefaultUtilManagerView view(nullptr, nullptr);
    pemar::BinaryFile file{pemar::Text(path), pemar::Text()};
    if (file.Open()) view.RecallClassData(file, 3);
    view.NotifyAllUtilitiesOfGlobalChanges();
  }
  pemar::FileSystem::Default()->DeleteFile(path);
  return 0;
}
