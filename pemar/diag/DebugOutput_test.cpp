#include "pemar/diag/DebugOutput.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

// Trace files live in memory, behind a file system that fails on request.
class DebugOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(out_.Create()); }
  // What reached out_'s file; out_ is closed.
  std::string Written() {
    out_.Close();
    return memory_.GetFile("trace.log");
  }

  MemoryFileSystem memory_;
  FaultInjectingFileSystem fs_{&memory_};
  ScopedFileSystem scoped_{&fs_};
  PmDebugOut out_{"trace", 3, true};
};

TEST_F(DebugOutputTest, NothingIsWrittenWithoutAnOpenFile) {
  PmDebugOut out("idle", 1, false);
  double values[] = {1.0, 2.0};
  out.PrintText("x");
  out.PrintValue(1.0);
  out.PrintArray("t", values, 0, 2, 1);
  out.ResetTimer();
  EXPECT_FALSE(out.File().PutChar('x'));
  EXPECT_FALSE(out.File().PutText("x", true));
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(memory_.FileExists("idle.log"));
  // Nor when the file cannot be opened, whichever way.
  fs_.FailFrom(FaultInjectingFileSystem::Op::kOpenWrite, 1);
  EXPECT_FALSE(out.Create());
  EXPECT_FALSE(out.OpenDebugFile());
  EXPECT_FALSE(out.File().Open(true));
  EXPECT_EQ(ResetDebugFile(true, "idle", nullptr, 1), nullptr);
  EXPECT_EQ(ResetDebugFile(true, "idle", new PmDebugOut(out), 0), nullptr);
}

TEST_F(DebugOutputTest, FileIsNamedLogMovesOpenAndReportsFailedWrites) {
  DebugOutputFile first("file");
  EXPECT_EQ(first.FileName(), "file.log");
  EXPECT_FALSE(first.Exists());
  ASSERT_TRUE(first.Create());
  EXPECT_TRUE(first.Exists());
  EXPECT_TRUE(first.PutText("a%sb", true));
  DebugOutputFile second(std::move(first));
  EXPECT_TRUE(second.PutChar('c'));
  second = DebugOutputFile("other");  // closes the file it had
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(memory_.GetFile("file.log"), "a%sb\nc");

  // A failed write is reported, never crashes, and a fresh open starts over.
  ASSERT_TRUE(second.Create());
  EXPECT_TRUE(second.PutText("buffered", true));
  fs_.FailFrom(FaultInjectingFileSystem::Op::kWrite, 1);
  EXPECT_FALSE(second.Flush());
  EXPECT_FALSE(second.PutChar('x'));
  EXPECT_TRUE(second.Close());
  fs_.ClearFailures();
  ASSERT_TRUE(second.Create());
  EXPECT_TRUE(second.PutChar('y'));
  EXPECT_TRUE(second.Close());
  EXPECT_EQ(memory_.GetFile("other.log"), "y");
}

// Values are 13-character fields; arrays and matrices wrap after perLine.
TEST_F(DebugOutputTest, PrintsFixedWidthFieldsInFullWhateverTheSize) {
  for (double v : {-32767.0, 0.0, 12.5, -12.5, -0.5, 0.00005, 2e6, 0.0001,
                   1000000.0, -0.000001, 1e300})
    out_.PrintValue(v);
  double a[] = {9.0, 1.0, 2.0, 3.0, 4.0, 5.0};
  out_.PrintArray("|T", a, 1, 6, 2);
  out_.PrintArray("|U", a, 1, 3, 0);
  out_.PrintArray("|V", a, 1, 3, 2);  // exactly one line: no line feed
  out_.PrintArray("|W", nullptr, 0, 3, 2);
  out_.PrintArray("|X", a, 3, 1, 2);  // empty range: the title only
  const double* m[] = {a + 1, a + 3};
  out_.PrintMatrix("|M", m, 2, 3, 0);
  out_.PrintMatrix("|N", m, 1, 3, 2);
  out_.PrintMatrix("|O", nullptr, 1, 3, 2);
  auto f = [](double v) { return Text::Format("%13.5f", v).str(); };
  std::string expected =
      "        EMPTY         zero     12.50000 -1.25000e+01 -5.00000e-01"
      "  5.00000e-05  2.00000e+06      0.000101000000.00000 -1.00000e-06"
      " 1.00000e+300|T\n" +
      f(1) + f(2) + "\n" + f(3) + f(4) + "\n" + f(5) + "|U" + f(1) + f(2) +
      "|V" + f(1) + f(2) + "|X|M\n     " + f(1) + f(2) + f(3) + "\n     " +
      f(3) + f(4) + f(5) + "|N\n     " + f(1) + f(2) + "\n     " + f(3);
  // Far more than one buffer's worth.
  for (int i = 0; i < 20000; ++i) {
    out_.PrintValue(i + 0.5);
    expected += f(i + 0.5);
  }
  EXPECT_EQ(Written(), expected);
}

TEST_F(DebugOutputTest, TimerBannersShowElapsedSeconds) {
  const double before = out_.GetTime();
  out_.ResetTimer();
  EXPECT_GE(out_.TimerStart(), before);
  const double lapse = out_.LapseTime();
  EXPECT_GE(lapse, 0.0);
  EXPECT_LE(lapse, out_.GetTime() - before);
  const std::string seconds = Text::Format("%8.4f", lapse).str();
  EXPECT_EQ(Written(),
            "\n\n +......Start Timer......+ \n\n\n\n +......Lapse Time " +
                seconds + " sec......+ \n\n");
}

TEST_F(DebugOutputTest, CopiesNeverShareTheOpenFile) {
  out_.PrintText("a");
  {
    PmDebugOut copy(out_);
    EXPECT_FALSE(copy.File().IsOpen());
    EXPECT_EQ(copy.File().FileName(), "trace.log");
    EXPECT_TRUE(copy.Level() == 3 && copy.Append());
    PmDebugOut assigned("other", 1, false);
    ASSERT_TRUE(assigned.Create());
    assigned = out_;
    EXPECT_FALSE(assigned.File().IsOpen());
  }
  out_.PrintText("b");
  EXPECT_EQ(Written(), "ab");
}

// newFile 0 appends to the file (created when absent), any other value
// starts it over; a reused object keeps its own name.
TEST_F(DebugOutputTest, ResetDebugFileSwitchesTracingOnAndOff) {
  EXPECT_EQ(ResetDebugFile(false, "reset", nullptr, 0), nullptr);
  PmDebugOut* out = ResetDebugFile(true, "reset", nullptr, 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Level(), 1);
  out->PrintText("first");
  out = ResetDebugFile(true, "ignored", out, 0);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->Append());
  out->PrintText("+second");
  EXPECT_EQ(ResetDebugFile(false, "reset", out, 0), nullptr);
  EXPECT_EQ(memory_.GetFile("reset.log"), "first+second");
  out = ResetDebugFile(true, "reset", nullptr, 2);
  ASSERT_NE(out, nullptr);
  out->PrintText("new");
  delete out;
  EXPECT_EQ(memory_.GetFile("reset.log"), "new");
  EXPECT_FALSE(memory_.FileExists("ignored.log"));
}

}  // namespace
}  // namespace pemar
