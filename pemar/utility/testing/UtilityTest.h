// Test helpers: a fixture holding a fresh utility database on an in-memory
// file system, scripts of calls on it read from testdata/*.csv, and a loop
// over the truncations of stored bytes.

#ifndef PEMAR_UTILITY_TESTING_UTILITYTEST_H_
#define PEMAR_UTILITY_TESTING_UTILITYTEST_H_

#include <gtest/gtest.h>

#include <cctype>
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
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/testing/RecordingReceiver.h"
#include "tests/support/GoldenFile.h"

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

inline std::ifstream TestData(const std::string& file) {
  return std::ifstream(std::string(PEMAR_SOURCE_DIR) +
                       "/pemar/utility/testdata/" + file);
}

// The rows of `table` in pemar/utility/testdata/`file`, where each line
// "table,a,b,..." gives the row {a, b, ...}; other lines ("#" comments)
// are skipped. A missing file or table fails the current test.
inline std::vector<std::vector<std::string>> Rows(const std::string& file,
                                                  const std::string& table) {
  std::ifstream in = TestData(file);
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

// The tables of testdata/`file` that are scripts run on their own (by
// ScriptTest): those whose names start with a capital, in file order.
inline std::vector<std::string> Scripts(const std::string& file) {
  std::ifstream in = TestData(file);
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    const std::string name = line.substr(0, line.find(','));
    if (std::isupper(static_cast<unsigned char>(line[0])) &&
        (names.empty() || names.back() != name)) {
      names.push_back(name);
    }
  }
  if (names.empty()) names.push_back("NoScriptsFound");  // fails in Rows
  return names;
}

// The bytes of pemar/utility/testdata/`name`.golden.
inline std::string Golden(const std::string& name) {
  return test_support::GoldenFile("pemar/utility/testdata/" + name + ".golden");
}

// The value of an enumeration whose names, in order, are `names`, by its
// name, or by number for one the enumeration does not name.
inline int Enum(const std::string& name,
                std::initializer_list<const char*> names) {
  int i = 0;
  for (const char* n : names) {
    if (name == n) return i;
    ++i;
  }
  return std::stoi(name);
}

// A number as the shortest text that reads back as the same double, so that
// comparing texts compares the values exactly.
inline std::string Num(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

inline std::string Fields(const DefaultUtility& u);
inline std::string Fields(const FuelSourceStruct& fuel);

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

  // Runs the calls of `table` in testdata/`file` on `m` (m_ when null) in
  // order, each row "call,arguments...,answer"; the calls are those of Call
  // below. "_" leaves the answer unchecked, "''" expects an empty text;
  // numbers are compared as numbers; "null" is a null text or answer, "@3"
  // the name text of the utility at position 3. Parameters and economic
  // types go by name or number, heat types by number (0 hot, 1 cold, 2
  // undefined); -32767 is the empty value.
  void Run(const std::string& file, const std::string& table,
           DefaultManager* m = nullptr) {
    for (auto r : Rows(file, table)) {
      std::string trace;
      for (const auto& field : r) trace += field + ",";
      SCOPED_TRACE(trace);
      const std::string want = r.back() == "''" ? "" : r.back();
      r.pop_back();
      const std::string got = Call(m ? m : m_.get(), r);
      double g = 0, w = 0;
      if (want == "_") continue;
      if (Number(got, &g) && Number(want, &w)) {
        EXPECT_EQ(g, w);
      } else {
        EXPECT_EQ(got, want);
      }
    }
  }
  static bool Number(const std::string& t, double* v) {
    const char* end = t.data() + t.size();
    return !t.empty() && std::from_chars(t.data(), end, *v).ptr == end;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
  std::unique_ptr<DefaultManager> m_;
  std::unique_ptr<RecordingReceiver> receiver_;

  // The database editor of m_, made at first use.
  DefaultUtilManagerView& View() {
    if (!view_)
      view_ = std::make_unique<DefaultUtilManagerView>(nullptr, m_.get());
    return *view_;
  }

 private:
  std::unique_ptr<DefaultUtilManagerView> view_;

  std::string Call(DefaultManager* m, const std::vector<std::string>& a) {
    const std::string& c = a.at(0);
    auto s = [&](int i) -> const char* {
      if (a.at(i) == "null") return nullptr;
      return a[i][0] == '@'
                 ? m->GetDefaultUtilityName(std::stoi(a[i].substr(1)))
                 : a[i].c_str();
    };
    auto d = [&](int i) { return std::stod(a.at(i)); };
    auto n = [&](int i) { return std::stoi(a.at(i)); };
    auto h = [&](int i) { return SegmentHeatType(n(i)); };
    auto text = [](const char* t) { return std::string(t ? t : "null"); };
    // An argument that is a number is a position in the list.
    auto at = [&](int i) {
      return a.at(i).find_first_not_of("-0123456789") == std::string::npos;
    };
    auto p = [&](int i) {
      return DefaultUtilityParameter(Enum(
          a.at(i),
          {"InletTemperature", "OutletTemperature", "HeatTransferCoefficient",
           "HTCCalculated", "UtilityCost", "ARTempHigh", "ARTempLow",
           "HeatType", "DeltaTmin", "Viscosity", "ThermCond", "MassDensity",
           "MassHeatCap", "FuelSourceID", "CO2EmissionFactor", "FuelEffFactor",
           "GlobalSetting", "EFDataSource", "SimulationUtility"}));
    };
    auto e = [&](int i) {
      return EconomicDataType(Enum(
          a.at(i), {"Coefficient0", "Coefficient1", "Coefficient2",
                    "Parameter3", "Parameter4", "Switch", "OperatingHours"}));
    };
    if (c == "count") return Num(m->GetNumberOfDefaultUtilities());
    if (c == "name") return text(m->GetDefaultUtilityName(n(1)));
    if (c == "fields") return Fields(*m->GetDefaultUtility(n(1)));
    if (c == "exists") return Num(m->Exists(s(1)));
    if (c == "add") return Num(m->AddDefaultUtility(s(1)));
    if (c == "remove") return Num(m->RemoveDefaultUtility(s(1)));
    if (c == "rename") return Num(m->RenameDefaultUtility(s(1), s(2)));
    if (c == "clone") return Num(m->CloneDefaultUtility(s(1)));
    if (c == "restore") return Num(m->RestoreDefaultUtilities());
    if (c == "set") return Num(m->SetValue(s(1), p(2), d(3)));
    if (c == "get") {
      return Num(at(1) ? m->GetValue(n(1), p(2)) : m->GetValue(s(1), p(2)));
    }
    if (c == "stream") return Num(m->SetStreamType(s(1), h(2)));
    if (c == "comp") return Num(m->CompareComp(s(1), s(2), d(3)));
    if (c == "type") {
      return text(at(1) ? m->GetExchangerType(n(1))
                        : m->GetExchangerType(s(1)));
    }
    if (c == "set-type") {
      return text(at(1) ? m->SetExchangerType(n(1), s(2))
                        : m->SetExchangerType(s(1), s(2)));
    }
    if (c == "sims") return Num(m->GetNumberOfSimulationUtilities());
    if (c == "sim") return Num(m->AmISimulationUtility(n(1)));
    if (c == "file") {
      char* name = nullptr;
      m->GetCurrentFileName(s(1), name);
      return text(name);
    }
    if (c == "mode") {
      if (a.size() > 1) m->SetMode(n(1));
      return Num(m->GetMode());
    }
    if (c == "recommended") {
      return text(m->GetRecommendedUtilityName(d(1), h(2), s(3)));
    }
    if (c == "cheapest")
      return text(m->GetMostEconomicalUtilityName(d(1), h(2)));
    if (c == "data-ext") {
      return text(m->GetRecommendedUtilityForDataExt(d(1), h(2), d(3)));
    }
    if (c == "econ") return Num(m->GetEconomicData(e(1), s(2)));
    if (c == "econ-set") return Num(m->SetEconomicData(e(1), d(2), s(3)));
    if (c == "econ-add") return Num(m->AddEconomicData(s(1)));
    if (c == "econ-delete") return Num(m->DeleteEconomicData(s(1)));
    if (c == "econ-name") return text(m->GetEconomicDataName(n(1)));
    if (c == "econ-count") return Num(m->GetNumberOfEconomicData());
    if (c == "econ-status") return Num(m->GetVariableStatus(e(1)));
    if (c == "econ-valid") return Num(m->isEconomicDataValid(n(1)));
    if (c == "lock") return m->Lock(), "";
    if (c == "unlock") return m->Unlock(), "";
    if (c == "htc-count") return Num(m->GetNumberOfHTCDefaultValues());
    if (c == "htc") return Num(m->GetHTCDefaultValue(n(1)));
    if (c == "htc-name") return text(m->GetHTCDefaultValueName(n(1)));
    if (c == "htc-note") return text(m->GetHTCDefaultValueNote(n(1)));
    if (c == "htc-add") return Num(m->AddHTCDefaultValue(s(1), d(2), s(3)));
    if (c == "htc-delete") return Num(m->DeleteHTCDefaultValue(n(1)));
    if (c == "htc-set") return Num(m->SetHTCDefaultValue(n(1), d(2)));
    if (c == "htc-set-name") return Num(m->SetHTCDefaultValueName(n(1), s(2)));
    if (c == "htc-set-note") return Num(m->SetHTCDefaultValueNote(n(1), s(2)));
    // "log": what was announced since the last "log".
    if (c == "log") {
      const std::string log = receiver_->Log();
      receiver_->Clear();
      return log.empty() ? "-" : log;
    }
    if (c == "error") return Num(sink_.Has(MessageKind::kError, a.at(1)));
    // The fuel choices of the database editor, made at its first call.
    DefaultUtilManagerView& v = View();
    auto list = [&](int i) { return v.GetFuelSourceList(n(i)); };
    if (c == "notify") return v.NotifyOneUtilityOfChanges(n(1), p(2)), "";
    if (c == "notify-global")
      return v.NotifyOneUtilityOfGlobalChanges(n(1)), "";
    if (c == "notify-all") return v.NotifyAllUtilitiesOfGlobalChanges(), "";
    if (c == "tracking") return v.SetCarbonTrackingEnabled(n(1)), "";
    if (c == "source") return Num(v.SetSelectedDataSource(n(1)));
    if (c == "selected-source") return Num(v.GetSelectedDataSource());
    if (c == "select") return Num(v.SelectFuelSource(n(1)));
    if (c == "reset-fuel") return v.ResetSelectedFuelSource(), "";
    if (c == "user-factor") return v.SetUserEmissionFactor(d(1)), "";
    if (c == "fuel-ok") return Num(v.isFuelTypeOkToSelect(n(1), d(2)));
    if (c == "selected-fuel") return Fields(v.GetSelectedFuelSource());
    if (c == "fuels") return list(1) ? Num(list(1)->size()) : "null";
    if (c == "fuel") return Fields(*list(1)->at(n(2)));
    if (c == "offered") {
      const auto* offered = v.GetOfferedFuelList();
      return !offered                            ? "null"
             : offered == v.GetFuelSourceList(0) ? "0"
             : offered == v.GetFuelSourceList(1) ? "1"
                                                 : "?";
    }
    if (c == "find") {
      const FuelTableEntry* fuel = FindFuelByID(n(1), d(2));
      return fuel ? Num(fuel->co2EmissionFactor) : "null";
    }
    ADD_FAILURE() << "no call " << c;
    return "";
  }
};

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

// One test for each script of a file (see Scripts).
class ScriptTest : public UtilityTest,
                   public ::testing::WithParamInterface<std::string> {};
inline std::string TableName(const ::testing::TestParamInfo<std::string>& i) {
  return i.param;
}

// A fuel as "name index CO2-factor efficiency".
inline std::string Fields(const FuelSourceStruct& fuel) {
  return std::string(fuel.GetName().c_str()) + " " + Num(fuel.GetFuelIndex()) +
         " " + Num(fuel.GetCO2EmissionFactor()) + " " +
         Num(fuel.GetFuelEffFactor());
}

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_UTILITYTEST_H_
