// Tests of the small pieces of the framework stand-in: text operations,
// messages, the configuration store and platform helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MessageTexts.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Text.h"

namespace pemar {
namespace {

TEST(TextTest, TokensKeyAndNumbers) {
  Text line("  DeltaTMinWarning 1.5\t -2 ");
  EXPECT_EQ(line.Token(), "DeltaTMinWarning");
  double a = 0, b = 0;
  EXPECT_TRUE(line.Token().ToDouble(&a));
  EXPECT_TRUE(line.Token().ToDouble(&b));
  EXPECT_EQ(a, 1.5);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(line.Token(), "");  // nothing left
  long n = 0;
  EXPECT_FALSE(Text("12x").ToInt(&n));
  EXPECT_FALSE(Text("").ToDouble(&a));
  EXPECT_TRUE(Text(" 42 ").ToInt(&n));
  EXPECT_EQ(n, 42);
}

TEST(TextTest, CaseTrimLinesAndFormat) {
  EXPECT_EQ(Text("Shell & tube").Upper(), "SHELL & TUBE");
  EXPECT_EQ(Text(" \t*** Warning \r\n").Trimmed(), "*** Warning");
  auto lines = Text("one\r\ntwo\n\nthree\n").Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "two");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(Text::Format("%13.5e|%d", 1.5, 7), "  1.50000e+00|7");
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)), "");
  EXPECT_TRUE(Text("-plexa -x").Contains("-plexa"));
}

TEST(MessagesTest, KeysReachTheSinkWithTheirTextAndQuestionsTheResponder) {
  RecordingMessageSink sink;
  ScopedMessageSink scope(&sink);
  SetString("UnableToRenameFile", "Cannot move %s to %s");
  ErrorMsg("UnableToRenameFile", {"a.kcs", "b.kcs"});
  ErrorMsg("NoTextForThisKey", 1.5, 0, 0);
  Trace("$: %s %n");  // outside text is shown as it is
  ClearTrace();
  UserStatusReport("Solving", 2);
  ASSERT_EQ(sink.messages().size(), 5u);
  EXPECT_EQ(sink.messages()[0].text, "Cannot move a.kcs to b.kcs");
  EXPECT_EQ(sink.messages()[1].args[0], "1.5");
  EXPECT_EQ(sink.messages()[1].text, "NoTextForThisKey 1.5 0 0");
  EXPECT_EQ(sink.messages()[2].text, "$: %s %n");
  EXPECT_TRUE(sink.Has(MessageKind::kClearTrace, ""));
  EXPECT_EQ(sink.messages()[4].number, 2);
  ClearStringTable();  // back to the English text
  EXPECT_EQ(FindString("UnableToRenameFile"),
            EnglishMessageText("UnableToRenameFile"));
  // Questions are answered by the responder, 1 without one.
  EXPECT_EQ(ResponseMsg("ConfirmDeleteRCMPlot", 2), 1);
  SetResponder([](const Message& q) {
    return q.key == "ConfirmDeleteExperiment" ? 0 : 1;
  });
  EXPECT_EQ(ResponseMsg("ConfirmDeleteExperiment", 2), 0);
  SetResponder(nullptr);
  EXPECT_EQ(ResponseMsg("ConfirmDeleteExperiment", 2), 1);
  EXPECT_EQ(sink.messages().size(), 8u);
}

// A text takes the arguments in order where it has "%s"; an argument's own
// "%s" stays as it is, and surplus arguments (the three numbers of an error
// notification) are not shown.
TEST(MessagesTest, KeyedTextsShowArgumentsInTheirPlaces) {
  const struct {
    const char* key;
    std::vector<Text> args;
    const char* shown;
  } kCases[] = {
      {"UnableToRenameFile",
       {"a.sim", "a.BK0"},
       "Cannot rename a.sim to a.BK0; the previous case file is unchanged."},
      {"RecallFailure",
       {"%s.sim"},
       "Cannot open %s.sim: the file is missing, damaged or not a case file."},
      {"DeltaTMinWarning",
       {"0", "0", "0"},
       "The minimum temperature difference (delta-T min) of a utility must be "
       "at least 1 degree; the value was not changed."},
      {"HotStreamInletTemperatureUpdateError",
       {},
       "The inlet temperature of a hot utility must be above its outlet "
       "temperature; the temperature was not changed."},
  };
  for (const auto& c : kCases) EXPECT_EQ(KeyedText(c.key, c.args), c.shown);
}

// A malformed or missing file leaves the store as it was.
TEST(ConfigStoreTest, DefaultsRoundTripAndBadFilesLeaveStoreUnchanged) {
  const auto dir =
      std::filesystem::temp_directory_path() / "pemar-standin-config";
  std::filesystem::create_directories(dir);
  ResetConfigStore();
  EXPECT_EQ(GetConfigData("NCaseBackups", 0), 1);
  EXPECT_EQ(GetConfigData("Absent", 7), 7);
  SetConfigData("NCaseBackups", 3, 1);
  SetConfigString("DefaultUtility", "my utilities.hud", 1, 1, 0);
  std::string path = (dir / "settings.ini").string();
  ASSERT_TRUE(SaveConfigFile(Text(path)));
  ResetConfigStore();
  EXPECT_EQ(GetConfigString("DefaultUtility"), "");
  ASSERT_TRUE(LoadConfigFile(Text(path)));
  EXPECT_EQ(GetConfigData("NCaseBackups"), 3);
  EXPECT_EQ(GetConfigString("DefaultUtility"), "my utilities.hud");
  std::ofstream(dir / "bad.ini") << "[numbers]\nNCaseBackups = many\n";
  EXPECT_FALSE(LoadConfigFile(Text((dir / "bad.ini").string())));
  EXPECT_FALSE(LoadConfigFile(Text((dir / "absent.ini").string())));
  EXPECT_EQ(GetConfigData("NCaseBackups", 0), 3);
  ResetConfigStore();
  std::filesystem::remove_all(dir);
}

TEST(PlatformTest, CommandLineFoldersAndFileTypes) {
  SetCommandLine("app.exe -frakto case.kcs");
  EXPECT_TRUE(GetCommandLine().Contains("-frakto"));
  SetCommandLine("");
  // The real one (GetCommandLineA on Windows) names this program.
  EXPECT_TRUE(GetCommandLine().Contains("pemar_framework_tests"));
  SetExecutableFolder("/opt/suite");
  EXPECT_EQ(BuildFilePath("Executable"),
            Text("/opt/suite") + Text(std::string(1, kPathSeparator)));
  // A folder that already ends with '/' gains nothing, on Windows too.
  SetExecutableFolder("/opt/suite/");
  EXPECT_EQ(BuildFilePath("Executable"), "/opt/suite/");
  SetExecutableFolder("");
  EXPECT_TRUE(BuildFilePath("").EndsWith(std::string(1, kPathSeparator)));
  EXPECT_EQ(ExtensionForFileType("SIM"), "kcs");
  EXPECT_EQ(ExtensionForFileType("HUD"), "hud");
  FileName name(Text("/cases/plant.kcs"));
  name.SetFileType("BK3");
  EXPECT_EQ(name.NameAndExtension(), "plant.bk3");
  EXPECT_TRUE(name.HasReservedExtension());
  name.SetFileType("SIM");
  EXPECT_FALSE(name.HasReservedExtension());
  EXPECT_EQ(TodayDate().Length(), 8u);
  EXPECT_FALSE(OperatingSystemText().IsEmpty());
  EXPECT_TRUE(FreeResourcesText().EndsWith(" MB of memory free"));
  SetSystemTexts("OS", "free");
  EXPECT_EQ(OperatingSystemText() + FreeResourcesText(), "OSfree");
  SetSystemTexts("", "");
}

}  // namespace
}  // namespace pemar
