#include "pemar/numerics/SimpleTable.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

class PemarSimpleTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "simple_table_" +
            std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override { std::remove(path_.c_str()); }

  // A table of three rows: X = 3, 1, 2 with weight, Q and Y tagged by row.
  static PemarSimpleTable ThreeRows() {
    PemarSimpleTable t;
    const double xs[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
      t.SetX(i, xs[i]);
      t.SetWeight(i, 10 + i);
      t.SetQ(i, 20 + i);
      t.SetY(i, 30 + i);
    }
    return t;
  }

  // Writes raw bytes (version, n, then `doubles` values) as a stored record.
  void WriteRecord(int n, int doubles) {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write(1u));
    ASSERT_TRUE(file.Write(n));
    for (int i = 0; i < doubles; ++i) ASSERT_TRUE(file.Write(1.5 * i));
    ASSERT_TRUE(file.Close());
  }

  bool Recall(PemarSimpleTable& t) {
    BinaryFile file(path_.c_str(), "");
    if (!file.Open()) return false;
    return t.RecallClassData(file);
  }

  std::string path_;
};

TEST_F(PemarSimpleTableTest, HugeCountFailsRecallAndKeepsRows) {
  WriteRecord(0x7FFFFFFF, 1);
  PemarSimpleTable t = ThreeRows();
  EXPECT_FALSE(Recall(t));
  ASSERT_EQ(t.GetNumberOfPoints(), 3);
  EXPECT_EQ(t.GetX(0), 3.0);
}

TEST_F(PemarSimpleTableTest, NegativeCountFailsRecallAndKeepsRows) {
  WriteRecord(-1, 4);
  PemarSimpleTable t = ThreeRows();
  EXPECT_FALSE(Recall(t));
  EXPECT_EQ(t.GetNumberOfPoints(), 3);
}

TEST_F(PemarSimpleTableTest, TruncatedRecordFailsAtEveryCut) {
  PemarSimpleTable source = ThreeRows();
  {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(source.StoreClassData(file));
    ASSERT_TRUE(file.Close());
  }
  std::vector<unsigned char> bytes;
  {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Open());
    bytes.resize(file.Remaining());
    ASSERT_TRUE(file.ReadBytes(bytes.data(), bytes.size()));
  }
  ASSERT_EQ(bytes.size(), 8u + 3 * 32);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    {
      BinaryFile file(path_.c_str(), "");
      ASSERT_TRUE(file.Create());
      ASSERT_TRUE(file.WriteBytes(bytes.data(), cut));
      ASSERT_TRUE(file.Close());
    }
    PemarSimpleTable t;
    t.SetX(0, 42.0);
    EXPECT_FALSE(Recall(t)) << "cut at " << cut;
    ASSERT_EQ(t.GetNumberOfPoints(), 1);
    EXPECT_EQ(t.GetX(0), 42.0);
  }
}

TEST_F(PemarSimpleTableTest, ZeroCountRecallsAnEmptyTable) {
  WriteRecord(0, 0);
  PemarSimpleTable t = ThreeRows();
  EXPECT_TRUE(Recall(t));
  EXPECT_EQ(t.GetNumberOfPoints(), 0);
  EXPECT_EQ(t.GetXPointer(), nullptr);
}

TEST_F(PemarSimpleTableTest, StoreThenRecallKeepsRowsAndRecallersFlags) {
  PemarSimpleTable source = ThreeRows();
  source.SetCPData(false);
  {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(source.StoreClassData(file));
    ASSERT_TRUE(file.Close());
  }
  PemarSimpleTable t;
  t.SetReady(true);
  ASSERT_TRUE(Recall(t));
  ASSERT_EQ(t.GetNumberOfPoints(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(t.GetWeight(i), source.GetWeight(i));
    EXPECT_EQ(t.GetX(i), source.GetX(i));
    EXPECT_EQ(t.GetQ(i), source.GetQ(i));
    EXPECT_EQ(t.GetY(i), source.GetY(i));
  }
  EXPECT_TRUE(t.GetReady());
  EXPECT_TRUE(t.GetCPData());
}

TEST_F(PemarSimpleTableTest, GettersOutsideTheRowsGiveEmpty) {
  PemarSimpleTable t = ThreeRows();
  EXPECT_EQ(t.GetX(-1), kEmptyValue);
  EXPECT_EQ(t.GetX(3), kEmptyValue);
  EXPECT_EQ(t.GetWeight(INT_MAX), kEmptyValue);
  EXPECT_EQ(t.GUIX(-1), kEmptyValue);
  EXPECT_EQ(t.GUIY(3), kEmptyValue);
}

TEST_F(PemarSimpleTableTest, SetAtIntMaxChangesNothing) {
  PemarSimpleTable t = ThreeRows();
  t.SetReady(true);
  t.SetX(INT_MAX, 1.0);
  t.SetX(-1, 1.0);
  EXPECT_EQ(t.GetNumberOfPoints(), 3);
  EXPECT_TRUE(t.GetReady());
}

TEST_F(PemarSimpleTableTest, SetBeyondTheEndGrowsWithDefaultRows) {
  PemarSimpleTable t;
  t.SetReady(true);
  t.SetX(4, 10.0);
  ASSERT_EQ(t.GetNumberOfPoints(), 5);
  EXPECT_FALSE(t.GetReady());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(t.GetWeight(i), 1.0);
    EXPECT_EQ(t.GetQ(i), kEmptyValue);
    EXPECT_EQ(t.GetY(i), kEmptyValue);
    EXPECT_EQ(t.GetX(i), i == 4 ? 10.0 : kEmptyValue);
  }
}

TEST_F(PemarSimpleTableTest, EmptyValueBeyondTheEndChangesNothing) {
  PemarSimpleTable t = ThreeRows();
  t.SetReady(true);
  t.SetX(7, kEmptyValue);
  EXPECT_EQ(t.GetNumberOfPoints(), 3);
  EXPECT_TRUE(t.GetReady());
}

TEST_F(PemarSimpleTableTest, AllEmptyRowDisappears) {
  PemarSimpleTable t = ThreeRows();
  t.SetWeight(1, kEmptyValue);
  t.SetX(1, kEmptyValue);
  t.SetQ(1, kEmptyValue);
  EXPECT_EQ(t.GetNumberOfPoints(), 3);
  t.SetY(1, kEmptyValue);
  ASSERT_EQ(t.GetNumberOfPoints(), 2);
  EXPECT_EQ(t.GetX(0), 3.0);
  EXPECT_EQ(t.GetX(1), 2.0);
  EXPECT_EQ(t.GetY(1), 32.0);
}

TEST_F(PemarSimpleTableTest, SortOnXMovesWholeRows) {
  PemarSimpleTable t = ThreeRows();
  t.SortOnX();
  const double x[3] = {1, 2, 3}, tag[3] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(t.GetX(i), x[i]);
    EXPECT_EQ(t.GetWeight(i), 10 + tag[i]);
    EXPECT_EQ(t.GetQ(i), 20 + tag[i]);
    EXPECT_EQ(t.GetY(i), 30 + tag[i]);
  }
}

TEST_F(PemarSimpleTableTest, SortOnXOrdersLongTablesWithEmptyFirst) {
  PemarSimpleTable t;
  for (int i = 0; i < 40; ++i) t.SetX(i, (i * 17) % 40);
  t.SetWeight(40, 1.0);  // a row with an empty X
  t.SortOnX();
  ASSERT_EQ(t.GetNumberOfPoints(), 41);
  EXPECT_EQ(t.GetX(0), kEmptyValue);
  for (int i = 1; i < 41; ++i) EXPECT_EQ(t.GetX(i), i - 1);
}

TEST_F(PemarSimpleTableTest, AnyEmptyFillsWeightsAndChecksColumns) {
  PemarSimpleTable t;
  EXPECT_FALSE(t.AnyEmpty(true));
  t.SetX(0, 1.0);
  t.SetQ(0, 2.0);
  t.SetY(0, 3.0);
  t.SetWeight(0, kEmptyValue);
  ASSERT_EQ(t.GetNumberOfPoints(), 1);
  EXPECT_FALSE(t.AnyEmpty(false));
  EXPECT_EQ(t.GetWeight(0), 1.0);
  t.SetQ(0, kEmptyValue);
  EXPECT_FALSE(t.AnyEmpty(false));
  EXPECT_TRUE(t.AnyEmpty(true));
  t.SetY(0, kEmptyValue);
  EXPECT_TRUE(t.AnyEmpty(false));
}

TEST_F(PemarSimpleTableTest, KelvinShiftRoundTripsEveryX) {
  PemarSimpleTable t = ThreeRows();
  t.SetWeight(3, 1.0);  // empty X in row 3
  t.SetReady(true);
  t.ToKelvin();
  EXPECT_DOUBLE_EQ(t.GetX(1), 274.15);
  EXPECT_TRUE(t.GetReady());
  t.FromKelvin();
  EXPECT_DOUBLE_EQ(t.GetX(1), 1.0);
  EXPECT_EQ(t.GetX(3), kEmptyValue);
}

TEST_F(PemarSimpleTableTest, AdoptingConstructorOwnsArraysAndSetsFlags) {
  double* w = new double[2]{1, 1};
  double* x = new double[2]{5, 6};
  double* q = new double[2]{7, 8};
  double* y = new double[2]{9, 10};
  PemarSimpleTable t(2, w, x, q, y);
  EXPECT_EQ(t.GetXPointer(), x);  // adopted, not copied
  EXPECT_TRUE(t.GetCPData());
  EXPECT_FALSE(t.GetReady());
  ASSERT_EQ(t.GetNumberOfPoints(), 2);
  EXPECT_EQ(t.GetX(1), 6.0);
  EXPECT_EQ(t.GetY(0), 9.0);
  t.Clear();
  EXPECT_EQ(t.GetNumberOfPoints(), 0);
  EXPECT_EQ(t.GetWPointer(), nullptr);
  EXPECT_TRUE(t.GetCPData());
  // A missing column leaves the table empty; the others are still freed.
  PemarSimpleTable partial(1, new double[1]{1}, nullptr, new double[1]{2},
                           new double[1]{3});
  EXPECT_EQ(partial.GetNumberOfPoints(), 0);
  EXPECT_TRUE(partial.GetCPData());
}

}  // namespace
}  // namespace pemar
