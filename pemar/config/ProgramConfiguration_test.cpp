#include "pemar/config/ProgramConfiguration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBaseObject.h"

namespace pemar {
namespace {

std::vector<std::string> Strings(const std::vector<Text>& texts) {
  return {texts.begin(), texts.end()};
}

// Feature names by table index.
std::vector<std::string> Features(const std::vector<int>& indexes) {
  std::vector<std::string> names;
  for (int i : indexes) names.emplace_back(ConfigurationFeatureName(i));
  return names;
}

class ProgramConfigurationTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCommandLine(Text()); }

  // A configuration set up for `commandLine`.
  void Configure(const char* commandLine) {
    SetCommandLine(commandLine);
    config_.SetupConfig("");
  }

  ProgramConfiguration config_;
};

// The switches are substrings anywhere, the program path included; -plexa
// wins over -frakto, which wins over -molara3.
TEST_F(ProgramConfigurationTest, CommandLineDecidesNameFeaturesAndLibraries) {
  const std::vector<int> frakto = {0, 1, 2,  3,  4,  5,  6,
                                   7, 9, 10, 11, 12, 13, 14};
  const struct {
    const char* command_line;
    const char* name;
    std::vector<std::string> features, libraries;
  } rows[] = {
      {"suite.exe -plexa",
       "HEATWISE",
       Features({15, 16, 17}),
       {"KORBIN.DLL", "TRELLOB.DLL"}},
      {"suite.exe -molara3 -frakto -plexa",
       "HEATWISE",
       Features({15, 16, 17}),
       {"KORBIN.DLL", "TRELLOB.DLL"}},
      {"suite.exe -frakto",
       "FRAKTO",
       Features(frakto),
       {"VELTRA.DLL", "PEMARX.DLL"}},
      {"/opt/x-frakto/suite -molara3",
       "FRAKTO",
       Features(frakto),
       {"VELTRA.DLL", "PEMARX.DLL"}},
      {"suite.exe --molara3x",
       "KELVAR_WORKBENCH",
       Features({0, 1, 2, 3}),
       {"VELTRA.DLL"}},
      {"suite.exe -plex -molara",
       "HEATWISE",
       Features({0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17}),
       {"VELTRA.DLL", "KORBIN.DLL", "PEMARX.DLL"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command_line);
    Configure(row.command_line);
    ASSERT_TRUE(config_.IsConfigured());
    EXPECT_STREQ(config_._get_ConfigurationName(), row.name);
    EXPECT_EQ(Strings(config_._get_EnabledFeatureList()), row.features);
    EXPECT_EQ(Strings(config_.GetKeywordList("FEATURES")), row.features);
    EXPECT_EQ(Strings(config_.GetKeywordList("REQUIREDDLLS")), row.libraries);
    EXPECT_EQ(Strings(config_.GetKeywordList("MANAGERS")),
              (std::vector<std::string>{"FluidPackageManager", "StreamManager",
                                        "FeatureManager", "TRCViewManager"}));
    for (int i = 0; i < kConfigurationFeatureCount; ++i) {
      const char* feature = ConfigurationFeatureName(i);
      bool listed = std::find(row.features.begin(), row.features.end(),
                              feature) != row.features.end();
      EXPECT_EQ(config_.IsConfigurationFeatureAvailable(feature) != 0, listed)
          << feature;
    }
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailable("SolventRecovery"));
    EXPECT_TRUE(config_.IsConfigurationFeatureAvailableAtAll("FeatureManager"));
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll("Nothing"));
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll(nullptr));
    EXPECT_EQ(config_._get_ViewletName("FeatureManager"), nullptr);
    EXPECT_FALSE(config_.IsConfigurationViewletAvailable(""));
  }
}

TEST_F(ProgramConfigurationTest,
       AnswersNothingBeforeSetUpAndKnowsFiveKeywords) {
  EXPECT_FALSE(config_.IsConfigured());
  EXPECT_EQ(config_._get_ConfigurationName(), nullptr);
  EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll("FeatureManager"));
  config_.LoadDLLs();
  EXPECT_TRUE(config_.LoadedDLLs().empty());
  for (const char* k : {"CONFIGURATIONNAME", "MANAGERS", "FEATURES",
                        "REQUIREDDLLS", "VIEWLETS"}) {
    EXPECT_TRUE(ProgramConfiguration::IsKeyword(k)) << k;
  }
  for (const char* k : {"features", "", static_cast<const char*>(nullptr)}) {
    EXPECT_FALSE(ProgramConfiguration::IsKeyword(k));
  }
  // The process-wide instance is configured on first use.
  ProgramConfiguration* config = _get_theProgramConfiguration();
  EXPECT_TRUE(config->IsConfigured());
  EXPECT_EQ(config, _get_theProgramConfiguration());
  // Set up again, it follows the new command line.
  Configure("suite -molara3");
  Configure("suite -plexa");
  EXPECT_STREQ(config_._get_ConfigurationName(), "HEATWISE");
  EXPECT_EQ(Strings(config_._get_EnabledFeatureList()), Features({15, 16, 17}));
}

// The test feature libraries libveltra.so and libkorbin.so (veltra.dll and
// korbin.dll on Windows) sit beside this program; PEMARX.DLL does not exist.
TEST_F(ProgramConfigurationTest, LoadsEachLibraryOnceAndAgainAfterAnUnload) {
  ResetConfigStore();
  Configure("suite");
  auto setups = [] {
    return std::make_pair(GetConfigData("SetupDLL.VELTRA", 0),
                          GetConfigData("SetupDLL.KORBIN", 0));
  };
  config_.LoadDLLs();
  config_.LoadDLLs();
  ASSERT_EQ(Strings(config_.LoadedDLLs()),
            (std::vector<std::string>{"KORBIN.DLL", "VELTRA.DLL"}))
      << "build the test feature libraries beside this program";
  EXPECT_EQ(setups(), std::make_pair(1.0, 1.0));

  // What the libraries registered stays callable after they are freed, and
  // after a reload (which runs "SetupDLL" again).
  for (int round = 0; round < 2; ++round) {
    config_.UnloadDLLs();
    EXPECT_TRUE(config_.LoadedDLLs().empty());
    IPemarBaseObject* object = IPemarBaseObject::Create(9001, nullptr, "x");
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetMyIdentifier(), "VELTRA");
    object->AddRef();
    object->Release();
    ViewableBuilderFnc builder = FindViewableBuilderFnc("KORBINManager");
    ASSERT_NE(builder, nullptr);
    delete builder(nullptr, "KORBINManager");
    config_.LoadDLLs();
  }
  EXPECT_EQ(setups(), std::make_pair(3.0, 3.0));
  config_.UnloadDLLs();
  ResetConfigStore();
}

}  // namespace
}  // namespace pemar
