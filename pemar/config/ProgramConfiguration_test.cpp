#include "pemar/config/ProgramConfiguration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBaseObject.h"

namespace pemar {
namespace {

using Strings = std::vector<std::string>;
using test_support::Rows;
using test_support::Split;

Strings List(const std::vector<Text>& texts) {
  return {texts.begin(), texts.end()};
}

// Each test starts with an empty configuration store.
class ProgramConfigurationTest : public test_support::ConfigTest {
 protected:
  void TearDown() override { SetCommandLine(Text()); }

  // A configuration set up for `commandLine`.
  void Configure(const std::string& commandLine) {
    SetCommandLine(commandLine);
    config_.SetupConfig("");
  }

  ProgramConfiguration config_;
};

// The configurations of testdata/configurations.csv, where the switches are
// substrings anywhere; -plexa wins over -frakto, which wins over -molara3.
TEST_F(ProgramConfigurationTest, CommandLineDecidesNameFeaturesAndLibraries) {
  for (const auto& r : Rows("configurations.csv", "config")) {
    SCOPED_TRACE(r[0]);
    Configure(r[0]);
    ASSERT_TRUE(config_.IsConfigured());
    EXPECT_STREQ(config_._get_ConfigurationName(), r[1].c_str());
    const Strings features = Split(r[2], '|');
    EXPECT_EQ(List(config_._get_EnabledFeatureList()), features);
    EXPECT_EQ(List(config_.GetKeywordList("FEATURES")), features);
    EXPECT_EQ(List(config_.GetKeywordList("REQUIREDDLLS")), Split(r[3], '|'));
    EXPECT_EQ(List(config_.GetKeywordList("MANAGERS")),
              (Strings{"FluidPackageManager", "StreamManager", "FeatureManager",
                       "TRCViewManager"}));
    for (int i = 0; i < kConfigurationFeatureCount; ++i) {
      const char* feature = ConfigurationFeatureName(i);
      EXPECT_EQ(config_.IsConfigurationFeatureAvailable(feature) != 0,
                std::count(features.begin(), features.end(), feature) == 1)
          << feature;
    }
    EXPECT_TRUE(config_.IsConfigurationFeatureAvailableAtAll("FeatureManager"));
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll("Nothing"));
    EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll(nullptr));
    EXPECT_EQ(config_._get_ViewletName("FeatureManager"), nullptr);
    EXPECT_FALSE(config_.IsConfigurationViewletAvailable(""));
  }
}

TEST_F(ProgramConfigurationTest, AnswersNothingBeforeSetUpAndKnowsKeywords) {
  EXPECT_FALSE(config_.IsConfigured());
  EXPECT_EQ(config_._get_ConfigurationName(), nullptr);
  EXPECT_FALSE(config_.IsConfigurationFeatureAvailableAtAll("FeatureManager"));
  config_.LoadDLLs();
  EXPECT_TRUE(config_.LoadedDLLs().empty());
  for (const auto& r : Rows("configurations.csv", "keyword")) {
    EXPECT_EQ(ProgramConfiguration::IsKeyword(r[0].c_str()) != 0, r[1] == "1")
        << r[0];
  }
  EXPECT_FALSE(ProgramConfiguration::IsKeyword(nullptr));
  // The process-wide instance is configured on first use.
  ProgramConfiguration* config = _get_theProgramConfiguration();
  EXPECT_TRUE(config->IsConfigured());
  EXPECT_EQ(config, _get_theProgramConfiguration());
  // Set up again, it follows the new command line.
  Configure("suite -molara3");
  Configure("suite -plexa");
  EXPECT_STREQ(config_._get_ConfigurationName(), "HEATWISE");
  EXPECT_EQ(List(config_._get_EnabledFeatureList()),
            (Strings{"HI Case", "HI Project", "HI Total Site"}));
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
  EXPECT_EQ(GetConfigData("SetupDLL.VELTRA"), 1);
  EXPECT_EQ(GetConfigData("SetupDLL.KORBIN"), 1);

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
  EXPECT_EQ(GetConfigData("SetupDLL.VELTRA"), 3);
  EXPECT_EQ(GetConfigData("SetupDLL.KORBIN"), 3);
  config_.UnloadDLLs();
}

}  // namespace
}  // namespace pemar
