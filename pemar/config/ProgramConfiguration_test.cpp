#include "pemar/config/ProgramConfiguration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBaseObject.h"

namespace pemar {
namespace {

using Strings = std::vector<std::string>;

Strings List(const std::vector<Text>& texts) {
  return {texts.begin(), texts.end()};
}

// Feature names by table index.
Strings Features(const std::vector<int>& indexes) {
  Strings names;
  for (int i : indexes) names.emplace_back(ConfigurationFeatureName(i));
  return names;
}

class ProgramConfigurationTest : public test_support::ConfigTest {
 protected:
  void TearDown() override { SetCommandLine(Text()); }

  void Configure(const char* commandLine) {
    SetCommandLine(commandLine);
    config_.SetupConfig("");
  }

  ProgramConfiguration config_;
};

// Nothing is known before the first set-up; each replaces the last. The
// switches are substrings anywhere, the program path included; -plexa wins
// over -frakto, over -molara3. "SolventRecovery" (8) is never enabled.
TEST_F(ProgramConfigurationTest, CommandLineDecidesNameFeaturesAndLibraries) {
  EXPECT_FALSE(config_.IsConfigured());
  EXPECT_EQ(config_._get_ConfigurationName(), nullptr);
  EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll("FeatureManager"));
  EXPECT_TRUE(ProgramConfiguration::IsKeyword("REQUIREDDLLS"));
  EXPECT_FALSE(ProgramConfiguration::IsKeyword("features") ||
               ProgramConfiguration::IsKeyword("") ||
               ProgramConfiguration::IsKeyword(nullptr));
  const std::vector<int> hi = {15, 16, 17}, thermo = {0, 1, 2, 3};
  const std::vector<int> sep = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14};
  const std::vector<int> all = {0,  1,  2,  3,  4,  5,  6,  7, 9,
                                10, 11, 12, 13, 14, 15, 16, 17};
  const Strings veltra = {"VELTRA.DLL", "PEMARX.DLL"};
  const Strings korbin = {"KORBIN.DLL", "TRELLOB.DLL"};
  const std::tuple<const char*, const char*, std::vector<int>, Strings> rows[] =
      {{"suite.exe -molara3 -frakto -plexa", "HEATWISE", hi, korbin},
       {"/opt/x-frakto/suite -molara3", "FRAKTO", sep, veltra},
       {"suite.exe --molara3x", "KELVAR_WORKBENCH", thermo, {"VELTRA.DLL"}},
       {"suite.exe -plex -molara",
        "HEATWISE",
        all,
        {"VELTRA.DLL", "KORBIN.DLL", "PEMARX.DLL"}}};
  const char* first_name = nullptr;
  for (const auto& [command_line, name, indexes, libraries] : rows) {
    SCOPED_TRACE(command_line);
    Configure(command_line);
    EXPECT_STREQ(config_._get_ConfigurationName(), name);
    if (!first_name) first_name = config_._get_ConfigurationName();
    EXPECT_EQ(List(config_._get_EnabledFeatureList()), Features(indexes));
    EXPECT_EQ(List(config_.GetKeywordList("REQUIREDDLLS")), libraries);
    for (int i = 0; i < kConfigurationFeatureCount; ++i) {
      const char* feature = ConfigurationFeatureName(i);
      EXPECT_EQ(config_.IsConfigurationFeatureAvailable(feature),
                std::ranges::count(indexes, i))
          << feature;
    }
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll(nullptr));
  }
  EXPECT_STREQ(first_name, "HEATWISE");  // valid after later set-ups
}

// The test feature libraries libveltra.so and libkorbin.so (veltra.dll and
// korbin.dll on Windows) sit beside this program; PEMARX.DLL does not exist.
// Each "SetupDLL" counts its calls in the configuration store.
TEST_F(ProgramConfigurationTest, LoadsEachLibraryOnceAndAgainAfterAnUnload) {
  Configure("suite");
  config_.LoadDLLs();
  config_.LoadDLLs();
  ASSERT_EQ(List(config_.LoadedDLLs()), (Strings{"KORBIN.DLL", "VELTRA.DLL"}))
      << "build the test feature libraries beside this program";
  // What the libraries registered stays callable after they are freed, and
  // after a reload, which runs "SetupDLL" again; loading twice runs it once.
  for (int round = 0; round < 2; ++round) {
    config_.UnloadDLLs();
    IPemarBaseObject* object = IPemarBaseObject::Create(9001, nullptr, "x");
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetMyIdentifier(), "VELTRA");
    object->AddRef();
    EXPECT_EQ(object->Release(), 0);  // frees it through the library's code
    ViewableBuilderFnc builder = FindViewableBuilderFnc("KORBINManager");
    ASSERT_NE(builder, nullptr);
    delete builder(nullptr, "KORBINManager");
    config_.LoadDLLs();
  }
  EXPECT_EQ(GetConfigData("SetupDLL.VELTRA"), 3);
  EXPECT_EQ(GetConfigData("SetupDLL.KORBIN"), 3);
  config_.UnloadDLLs();
}

}  // namespace
}  // namespace pemar
