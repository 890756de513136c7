// Test helpers: a fixture holding a fresh utility database on an in-memory
// file system, chunk writers for hand-made records, and a loop over the
// truncations of stored bytes.

#ifndef PEMAR_UTILITY_TESTING_UTILITYTEST_H_
#define PEMAR_UTILITY_TESTING_UTILITYTEST_H_

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/testing/RecordingReceiver.h"

namespace pemar::testing {

// A database made as the program makes one.
inline std::unique_ptr<DefaultManager> NewManager() {
  return std::unique_ptr<DefaultManager>(
      static_cast<DefaultManager*>(CreateDefaultUtilManager()));
}

// The rows of `table` in pemar/utility/testdata/`file`, where each line
// "table,a,b,..." gives the row {a, b, ...}; other lines ("#" comments)
// are skipped. A missing file fails the current test.
inline std::vector<std::vector<std::string>> Rows(const std::string& file,
                                                  const std::string& table) {
  std::ifstream in(std::string(PEMAR_SOURCE_DIR) + "/pemar/utility/testdata/" +
                   file);
  EXPECT_TRUE(in) << "cannot read " << file;
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> row;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, ',');) {
      row.push_back(field);
    }
    if (!row.empty() && row[0] == table)
      rows.emplace_back(++row.begin(), row.end());
  }
  EXPECT_FALSE(rows.empty()) << "no rows " << table << " in " << file;
  return rows;
}

// A database parameter by its name ("ARTempLow"), or by number for one the
// enumeration does not name.
inline DefaultUtilityParameter Parameter(const std::string& name) {
  static const char* const kNames[] = {
      "InletTemperature", "OutletTemperature", "HeatTransferCoefficient",
      "HTCCalculated",    "UtilityCost",       "ARTempHigh",
      "ARTempLow",        "HeatType",          "DeltaTmin",
      "Viscosity",        "ThermCond",         "MassDensity",
      "MassHeatCap",      "FuelSourceID",      "CO2EmissionFactor",
      "FuelEffFactor",    "GlobalSetting",     "EFDataSource",
      "SimulationUtility"};
  for (int i = 0; i < 19; ++i) {
    if (name == kNames[i]) return DefaultUtilityParameter(i);
  }
  return DefaultUtilityParameter(std::stoi(name));
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
    BinaryFile raw{Text("written.bin")};
    EXPECT_TRUE(raw.Create());
    {
      PemarBinaryFile file(&raw);
      EXPECT_TRUE(body(&file));
    }
    EXPECT_TRUE(raw.Close());
    return fs_.GetFile("written.bin");
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

  // Runs the edits of `table` in testdata/edits.csv in order: with a value,
  // SetValue, which must give the answer if one is given; then, with a
  // value after, GetValue must give it.
  void Apply(const std::string& table) {
    for (const auto& r : Rows("edits.csv", table)) {
      SCOPED_TRACE(r[0] + " " + r[1] + " " + r[2]);
      const DefaultUtilityParameter p = Parameter(r[1]);
      if (!r[2].empty()) {
        hresult answer = m_->SetValue(r[0].c_str(), p, std::stod(r[2]));
        if (r.size() > 3 && !r[3].empty()) {
          EXPECT_EQ(answer, std::stoi(r[3]));
        }
      }
      if (r.size() > 4) {
        EXPECT_EQ(m_->GetValue(r[0].c_str(), p), std::stod(r[4]));
      }
    }
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  std::unique_ptr<DefaultManager> m_;
  std::unique_ptr<RecordingReceiver> receiver_;
};

// Writes a chunk of `revision` around what `body` writes; false when any
// step failed.
inline bool Chunk(IPemarBinaryFile* f, int revision,
                  const std::function<bool()>& body) {
  ChunkHeader* h = nullptr;
  bool ok = f->CreateChunk(&h, revision) && body();
  return f->CloseChunk(h) && ok;
}

// Writes each flag as one byte, 1 or 0.
inline bool Flags(IPemarBinaryFile* f, std::initializer_list<bool> flags) {
  for (bool b : flags) {
    if (!f->Write(static_cast<unsigned char>(b ? 1 : 0))) return false;
  }
  return true;
}

// Calls `check(cut)` for proper prefixes of `bytes`, shortest first: every
// length when `sparseness` is 0, else with steps growing by one for every
// `sparseness` bytes already covered, so that long records stay quick.
template <typename Check>
void ForEachTruncation(const std::string& bytes, std::size_t sparseness,
                       Check check) {
  for (std::size_t n = 0; n < bytes.size();
       n += 1 + (sparseness == 0 ? 0 : n / sparseness)) {
    SCOPED_TRACE(::testing::Message()
                 << "first " << n << " of " << bytes.size() << " bytes");
    check(bytes.substr(0, n));
  }
}

// A number as the shortest text that reads back as the same double, so that
// comparing texts compares the values exactly.
inline std::string Num(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// Every field a utility stores, in file order, blank-separated: name | inlet
// outlet coefficient cost AR-high AR-low heat-type delta-T-min | exchanger |
// viscosity conductivity density heat-capacity | component:fraction... |
// CO2-factor fuel-ID efficiency global EF-source HTC-calculated.
inline std::string Fields(const DefaultUtility& u) {
  std::string s = std::string(u.GetUtilityName()) + " |";
  for (double v :
       {u.GetInletTemperature(), u.GetOutletTemperature(),
        u.GetHeatTransferCoefficient(), u.GetUtilityCost(), u.GetARTempHigh(),
        u.GetARTempLow(), double(u.GetHeatType()), u.GetDeltaTmin()}) {
    s += " " + Num(v);
  }
  s += " | " + std::string(u.GetExchangerType().c_str()) + " |";
  for (double v : {u.GetViscosity(), u.GetThermCond(), u.GetMassDensity(),
                   u.GetMassHeatCap()}) {
    s += " " + Num(v);
  }
  s += " |";
  for (int i = 0; i < u.GetComponentCount(); ++i) {
    s += " " + std::string(u.GetComponentName(i)) + ":" +
         Num(u.GetComponentFraction(i));
  }
  s += " |";
  for (double v : {u.GetCO2EmissionFactor(), u.GetFuelSourceID(),
                   u.GetFuelEffFactor(), u.IsGlobalSetting(),
                   u.GetEFDataSource(), double(u.IsHTCCalculated())}) {
    s += " " + Num(v);
  }
  return s;
}

// A fuel as "name index CO2-factor efficiency".
inline std::string Fields(const FuelSourceStruct& fuel) {
  return std::string(fuel.GetName().c_str()) + " " + Num(fuel.GetFuelIndex()) +
         " " + Num(fuel.GetCO2EmissionFactor()) + " " +
         Num(fuel.GetFuelEffFactor());
}

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_UTILITYTEST_H_
