#include "pemar/diag/DebugOutput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"

namespace pemar {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class DebugOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::path(::testing::TempDir()) /
        ("pemar_debug_" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    base_ = (dir_ / "trace").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs `print` on an open trace and returns what reached the file.
  template <typename F>
  std::string Printed(F print) {
    {
      PmDebugOut out(base_, 1, false);
      EXPECT_TRUE(out.Create());
      print(out);
    }
    return ReadAll(base_ + ".log");
  }

  fs::path dir_;
  std::string base_;
};

TEST_F(DebugOutputTest, PrintingWithoutOpenFileWritesNothing) {
  PmDebugOut out(base_, 1, false);
  double values[] = {1.0, 2.0};
  out.PrintText("x");
  out.PrintValue(1.0);
  out.PrintArray("t", values, 0, 2, 1);
  out.ResetTimer();
  EXPECT_FALSE(out.File().PutChar('x'));
  EXPECT_FALSE(out.File().PutText("x", true));
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(fs::exists(base_ + ".log"));
}

TEST_F(DebugOutputTest, UnopenableFileFailsOpenAndReset) {
  const std::string missing = (dir_ / "no-such-dir" / "trace").string();
  PmDebugOut out(missing, 1, false);
  EXPECT_FALSE(out.Create());
  EXPECT_FALSE(out.OpenDebugFile());
  EXPECT_FALSE(out.File().Open(true));
  EXPECT_EQ(ResetDebugFile(true, missing, nullptr, 1), nullptr);
  EXPECT_EQ(ResetDebugFile(true, missing, new PmDebugOut(missing, 1, false), 1),
            nullptr);
}

TEST_F(DebugOutputTest, FailedWriteIsReportedAndNeverCrashes) {
  FaultInjectingFileSystem failing;
  ScopedFileSystem scoped(&failing);
  DebugOutputFile file(base_);
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(file.PutText("buffered", true));
  failing.FailFrom(FaultInjectingFileSystem::Op::kWrite, 1);
  EXPECT_FALSE(file.Flush());
  EXPECT_FALSE(file.PutChar('x'));
  EXPECT_TRUE(file.Close());
  // A fresh open starts over.
  failing.ClearFailures();
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(file.PutChar('y'));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadAll(base_ + ".log"), "y");
}

TEST_F(DebugOutputTest, NameGetsLogSuffixAndTextIsWrittenUnchanged) {
  DebugOutputFile file(base_);
  EXPECT_EQ(file.FileName(), base_ + ".log");
  EXPECT_FALSE(file.Exists());
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(file.Exists());
  EXPECT_TRUE(file.PutText("a%sb", true));
  EXPECT_TRUE(file.PutChar('c'));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadAll(base_ + ".log"), "a%sb\nc");
}

TEST_F(DebugOutputTest, LargeOutputIsWrittenCompletely) {
  std::string expected;
  std::string got = Printed([&](PmDebugOut& out) {
    for (int i = 0; i < 20000; ++i) {
      out.PrintValue(i + 0.5);
      expected += Text::Format("%13.5f", i + 0.5).str();
    }
  });
  EXPECT_EQ(got, expected);
}

TEST_F(DebugOutputTest, ValueFieldsAreThirteenCharacters) {
  std::string got = Printed([](PmDebugOut& out) {
    for (double v : {-32767.0, 0.0, 12.5, -12.5, -0.5, 0.00005, 2e6, 0.0001,
                     1000000.0, -0.000001, 1e300}) {
      out.PrintValue(v);
      out.PrintText("|");
    }
  });
  EXPECT_EQ(got,
            "        EMPTY|"
            "         zero|"
            "     12.50000|"
            " -1.25000e+01|"
            " -5.00000e-01|"
            "  5.00000e-05|"
            "  2.00000e+06|"
            "      0.00010|"
            "1000000.00000|"
            " -1.00000e-06|"
            " 1.00000e+300|");
}

TEST_F(DebugOutputTest, ArrayWrapsAfterPerLineValues) {
  double a[] = {9.0, 1.0, 2.0, 3.0, 4.0, 5.0};
  std::string got = Printed([&](PmDebugOut& out) {
    out.PrintArray("T", a, 1, 6, 2);
    out.PrintArray("|U", a, 1, 3, 0);
    out.PrintArray("|V", a, 1, 3, 2);  // exactly one line: no line feed
    out.PrintArray("|W", nullptr, 0, 3, 2);
    out.PrintArray("|X", a, 3, 1, 2);  // empty range: the title only
  });
  const std::string one = "      1.00000", two = "      2.00000",
                    three = "      3.00000", four = "      4.00000",
                    five = "      5.00000";
  EXPECT_EQ(got, "T\n" + one + two + "\n" + three + four + "\n" + five + "|U" +
                     one + two + "|V" + one + two + "|X");
}

TEST_F(DebugOutputTest, MatrixRowsAreIndentedAndWrapped) {
  double r0[] = {1.0, 2.0, 3.0};
  double r1[] = {4.0, 5.0, 6.0};
  const double* m[] = {r0, r1};
  std::string got = Printed([&](PmDebugOut& out) {
    out.PrintMatrix("M", m, 2, 3, 0);
    out.PrintMatrix("|N", m, 1, 3, 2);
    out.PrintMatrix("|O", nullptr, 1, 3, 2);
  });
  auto f = [](double v) { return Text::Format("%13.5f", v).str(); };
  EXPECT_EQ(got, "M\n     " + f(1) + f(2) + f(3) + "\n     " + f(4) + f(5) +
                     f(6) + "|N\n     " + f(1) + f(2) + "\n     " + f(3));
}

TEST_F(DebugOutputTest, TimerBannersShowElapsedSeconds) {
  double lapse = -1.0;
  PmDebugOut probe(base_, 1, false);
  const double before = probe.GetTime();
  std::string got = Printed([&](PmDebugOut& out) {
    out.ResetTimer();
    EXPECT_GE(out.TimerStart(), before);
    lapse = out.LapseTime();
  });
  EXPECT_GE(lapse, 0.0);
  EXPECT_LE(lapse, probe.GetTime() - before);
  EXPECT_TRUE(std::regex_match(
      got, std::regex(
               "\n\n \\+\\.\\.\\.\\.\\.\\.Start Timer\\.\\.\\.\\.\\.\\.\\+ "
               "\n\n\n\n \\+\\.\\.\\.\\.\\.\\.Lapse Time [ 0-9]{3,}\\.[0-9]{4}"
               " sec\\.\\.\\.\\.\\.\\.\\+ \n\n")))
      << got;
  EXPECT_NE(got.find(Text::Format("Lapse Time %8.4f sec", lapse).str()),
            std::string::npos);
}

TEST_F(DebugOutputTest, CopiesNeverShareTheOpenFile) {
  PmDebugOut original(base_, 3, true);
  ASSERT_TRUE(original.Create());
  original.PrintText("a");
  {
    PmDebugOut copy(original);
    EXPECT_FALSE(copy.File().IsOpen());
    EXPECT_EQ(copy.File().FileName(), base_ + ".log");
    EXPECT_EQ(copy.Level(), 3);
    EXPECT_TRUE(copy.Append());
    PmDebugOut assigned(base_ + "2", 1, false);
    ASSERT_TRUE(assigned.Create());
    assigned = original;
    EXPECT_FALSE(assigned.File().IsOpen());
  }
  original.PrintText("b");
  original.Close();
  EXPECT_EQ(ReadAll(base_ + ".log"), "ab");
}

TEST_F(DebugOutputTest, MoveHandsOverTheOpenFile) {
  DebugOutputFile first(base_);
  ASSERT_TRUE(first.Create());
  first.PutChar('a');
  DebugOutputFile second(std::move(first));
  EXPECT_TRUE(second.PutChar('b'));
  second = DebugOutputFile(base_ + "2");
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(ReadAll(base_ + ".log"), "ab");
}

TEST_F(DebugOutputTest, OpenDebugFileAppendsOnlyWhenAsked) {
  {
    PmDebugOut out(base_, 1, true);
    ASSERT_TRUE(out.OpenDebugFile());  // absent: created
    out.PrintText("one");
  }
  {
    PmDebugOut out(base_, 1, true);
    ASSERT_TRUE(out.OpenDebugFile());
    out.PrintText("two");
  }
  EXPECT_EQ(ReadAll(base_ + ".log"), "onetwo");
  {
    PmDebugOut out(base_, 1, false);
    ASSERT_TRUE(out.OpenDebugFile());
    out.PrintText("three");
  }
  EXPECT_EQ(ReadAll(base_ + ".log"), "three");
}

TEST_F(DebugOutputTest, ResetDebugFileSwitchesTracingOnAndOff) {
  EXPECT_EQ(ResetDebugFile(false, base_, nullptr, 0), nullptr);
  EXPECT_FALSE(fs::exists(base_ + ".log"));

  PmDebugOut* out = ResetDebugFile(true, base_, nullptr, 1);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Level(), 1);
  out->PrintText("first");
  // Reused: its name stays, newFile 0 appends.
  out = ResetDebugFile(true, base_ + "-ignored", out, 0);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->Append());
  out->PrintText("+second");
  out = ResetDebugFile(false, base_, out, 0);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(ReadAll(base_ + ".log"), "first+second");
  EXPECT_FALSE(fs::exists(base_ + "-ignored.log"));

  // Any non-zero newFile truncates.
  out = ResetDebugFile(true, base_, nullptr, 2);
  ASSERT_NE(out, nullptr);
  out->PrintText("new");
  delete out;
  EXPECT_EQ(ReadAll(base_ + ".log"), "new");
}

}  // namespace
}  // namespace pemar
