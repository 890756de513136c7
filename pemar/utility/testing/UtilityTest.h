// Test helpers: a fixture holding a fresh utility database on an in-memory
// file system, and texts of records.

#ifndef PEMAR_UTILITY_TESTING_UTILITYTEST_H_
#define PEMAR_UTILITY_TESTING_UTILITYTEST_H_

#include <gtest/gtest.h>

#include <charconv>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/testing/RecordingReceiver.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar::testing {

// A database made as the program makes one.
inline std::unique_ptr<DefaultManager> NewManager() {
  return std::unique_ptr<DefaultManager>(
      static_cast<DefaultManager*>(CreateDefaultUtilManager()));
}

// The file name `m` keeps under `key`, or null.
inline const char* FileName(DefaultManager* m, const char* key) {
  char* name = nullptr;
  m->GetCurrentFileName(key, name);
  return name;
}

// The bytes of pemar/utility/testdata/`name`.golden.
inline std::string Golden(const std::string& name) {
  return test_support::GoldenFile("pemar/utility/testdata/" + name + ".golden");
}

// A number as the shortest text that reads back as the same double, so that
// comparing texts compares the values exactly.
inline std::string Num(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

using ChunkBody = std::function<bool(IPemarBinaryFile*)>;

// Every file lives in fs_; the program's folder is kProgramFolder, where no
// default file exists until a test puts one; the configuration starts
// empty; messages go to sink_; receiver_ records what m_ announces.
class UtilityTest : public ::testing::Test {
 protected:
  static constexpr const char* kProgramFolder = "/prog/";

  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(kProgramFolder);
    m_ = NewManager();
    receiver_ = std::make_unique<RecordingReceiver>(
        m_.get(), static_cast<IDefaultUtilityManager*>(m_.get()));
  }
  void TearDown() override { SetExecutableFolder(""); }

  // The bytes `body` writes through a chunked file; a failure fails the test.
  std::string Chunked(const ChunkBody& body) {
    return test_support::WrittenBytes(fs_, [&](BinaryFile& raw) {
      PemarBinaryFile file(&raw);
      return body(&file);
    });
  }
  // What `body` answers reading a chunked file that holds `bytes`.
  bool Unchunked(const std::string& bytes, const ChunkBody& body) {
    fs_.SetFile("read.bin", bytes);
    PemarBinaryFile file("read.bin");
    return body(&file);
  }
  // Store and recall of a section of a database.
  std::string Save(DefaultManager* m, StoreRecallType type = AllData) {
    return Chunked([&](IPemarBinaryFile* f) { return m->Store(f, type); });
  }
  bool Load(DefaultManager* m, const std::string& bytes,
            StoreRecallType type = AllData) {
    return Unchunked(bytes,
                     [&](IPemarBinaryFile* f) { return m->Recall(f, type); });
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  std::unique_ptr<DefaultManager> m_;
  std::unique_ptr<RecordingReceiver> receiver_;
};

inline std::string Nums(std::initializer_list<double> values) {
  std::string s;
  for (double v : values) s += " " + Num(v);
  return s;
}

// Every field a utility stores, in file order: name | inlet outlet
// coefficient cost AR-high AR-low heat-type delta-T-min | exchanger |
// viscosity conductivity density heat-capacity | component:fraction... |
// CO2-factor fuel-ID efficiency global EF-source HTC-calculated.
inline std::string Fields(const DefaultUtility& u) {
  std::string components;
  for (int i = 0; i < u.GetComponentCount(); ++i) {
    components += " " + std::string(u.GetComponentName(i)) + ":" +
                  Num(u.GetComponentFraction(i));
  }
  return std::string(u.GetUtilityName()) + " |" +
         Nums({u.GetInletTemperature(), u.GetOutletTemperature(),
               u.GetHeatTransferCoefficient(), u.GetUtilityCost(),
               u.GetARTempHigh(), u.GetARTempLow(), double(u.GetHeatType()),
               u.GetDeltaTmin()}) +
         " | " + u.GetExchangerType().c_str() + " |" +
         Nums({u.GetViscosity(), u.GetThermCond(), u.GetMassDensity(),
               u.GetMassHeatCap()}) +
         " |" + components + " |" +
         Nums({u.GetCO2EmissionFactor(), u.GetFuelSourceID(),
               u.GetFuelEffFactor(), u.IsGlobalSetting(), u.GetEFDataSource(),
               double(u.IsHTCCalculated())});
}

// A fuel as "name index CO2-factor efficiency".
inline std::string Fields(const FuelSourceStruct& fuel) {
  return std::string(fuel.GetName().c_str()) + " " + Num(fuel.GetFuelIndex()) +
         " " + Num(fuel.GetCO2EmissionFactor()) + " " +
         Num(fuel.GetFuelEffFactor());
}

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_UTILITYTEST_H_
