#include "pemar/numerics/LinearizeFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace pemar {
namespace {

// The error measure and enumeration written the plain way, without pruning:
// the pruned search must agree with it list for list.
double NaiveError(const std::vector<double>& f, const std::vector<double>& x,
                  const std::vector<int>& b) {
  const int n = static_cast<int>(f.size());
  const int m = static_cast<int>(b.size()) - 1;
  double sum = 0.0;
  for (int i = 1; i <= n - 2; ++i) {
    int k = 1;
    for (int j = 1; j <= m; ++j) {
      if (b[j - 1] <= i && i <= b[j]) {
        k = j;
        break;
      }
    }
    if (b[k] == b[k - 1]) {
      sum = 1e24;
      continue;
    }
    int a = b[k - 1], c = b[k];
    double d = (f[c] - f[a]) * (x[i] - x[a]);
    if (d != 0.0) d /= (x[c] - x[a]);
    sum += std::fabs((x[i + 1] - x[i - 1]) * (f[i] - f[a] - d));
  }
  return sum;
}

std::vector<int> NaiveSearch(const std::vector<double>& f,
                             const std::vector<double>& x, int m,
                             const std::vector<int>& lower,
                             const std::vector<int>& upper, double* best) {
  const int n = static_cast<int>(f.size());
  std::vector<int> b(m + 1), result;
  b[0] = 0;
  b[m] = n - 1;
  *best = 1e24;
  // Odometer over breakpoints 1 ... m - 1, the last one fastest.
  for (int k = 1; k < m; ++k) b[k] = lower[k];
  for (;;) {
    double e = NaiveError(f, x, b);
    if (e < *best) {
      *best = e;
      result = b;
    }
    int k = m - 1;
    while (k >= 1 && b[k] == upper[k]) {
      b[k] = lower[k];
      --k;
    }
    if (k < 1) break;
    ++b[k];
  }
  return result;
}

class LinearizeFunctionTest : public ::testing::Test {
 protected:
  void SetCurve(std::vector<double> x, std::vector<double> f) {
    x_ = std::move(x);
    f_ = std::move(f);
  }
  std::vector<double> x_, f_;
};

TEST_F(LinearizeFunctionTest, RefusesNullVectorsAndEmptyFunction) {
  LinearizeFunction lin;
  double v[3] = {0, 1, 2};
  EXPECT_FALSE(lin.SetFunctionVector(nullptr, v, 3));
  EXPECT_FALSE(lin.SetFunctionVector(v, nullptr, 3));
  EXPECT_FALSE(lin.SetFunctionVector(v, v, 0));
  EXPECT_FALSE(lin.SetFunctionVector(v, v, -4));
  lin.SetNumberOfLinearSegments(2);
  EXPECT_EQ(lin.GetLinearizedPoints(), nullptr);
}

TEST_F(LinearizeFunctionTest, SegmentCountBelowOneIsRefused) {
  LinearizeFunction lin;
  EXPECT_TRUE(lin.SetNumberOfLinearSegments(3));
  EXPECT_FALSE(lin.SetNumberOfLinearSegments(0));
  EXPECT_FALSE(lin.SetNumberOfLinearSegments(-2));
  EXPECT_EQ(lin.GetNumberOfLinearSegments(), 3);
}

TEST_F(LinearizeFunctionTest, OneSegmentGivesNoList) {
  double f[3] = {0, 1, 0}, x[3] = {0, 1, 2};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  EXPECT_EQ(lin.GetLinearizedPoints(), nullptr);
  double p;
  EXPECT_FALSE(lin.GetPerformance(p));
}

TEST_F(LinearizeFunctionTest, KinkAtTheMiddleIsFoundExactly) {
  double f[3] = {0, 1, 0}, x[3] = {0, 1, 2};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  ASSERT_TRUE(lin.SetNumberOfLinearSegments(2));
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[2], 2);
  double error = -1, p = -1;
  EXPECT_TRUE(lin.GetError(error));
  EXPECT_EQ(error, 0.0);
  EXPECT_TRUE(lin.GetPerformance(p));
  EXPECT_EQ(p, 1.0);
  // A second call returns the stored list without searching.
  EXPECT_EQ(lin.GetLinearizedPoints(), b);
}

TEST_F(LinearizeFunctionTest, NaNInFunctionGivesNoList) {
  double f[3] = {0, std::numeric_limits<double>::quiet_NaN(), 0};
  double x[3] = {0, 1, 2};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  ASSERT_TRUE(lin.SetNumberOfLinearSegments(2));
  EXPECT_EQ(lin.GetLinearizedPoints(), nullptr);
  double p;
  EXPECT_FALSE(lin.GetPerformance(p));
}

TEST_F(LinearizeFunctionTest, ExactSingleChordHasPerformanceOne) {
  double f[5] = {0, 2, 4, 6, 8}, x[5] = {0, 1, 2, 3, 4};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 5));
  ASSERT_TRUE(lin.SetNumberOfLinearSegments(2));
  ASSERT_NE(lin.GetLinearizedPoints(), nullptr);
  double p = 0;
  EXPECT_TRUE(lin.GetPerformance(p));
  EXPECT_EQ(p, 1.0);
}

TEST_F(LinearizeFunctionTest, ConstraintRules) {
  double f[6] = {0, 1, 4, 9, 16, 25}, x[6] = {0, 1, 2, 3, 4, 5};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 6));
  ASSERT_TRUE(lin.SetNumberOfLinearSegments(3));
  EXPECT_FALSE(lin.SetConstraint(0, 1, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(3, 1, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(1, -1, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(1, 6, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(1, 2, static_cast<ConstraintType>(3)));
  EXPECT_TRUE(lin.SetConstraint(1, 2, kUpperBound));
  EXPECT_FALSE(lin.SetConstraint(1, 3, kLowerBound));  // above the upper
  EXPECT_TRUE(lin.SetConstraint(2, 4, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(2, 3, kUpperBound));  // below the lower
  EXPECT_TRUE(lin.SetConstraint(2, 5, kFixed));
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_LE(b[1], 2);
  EXPECT_EQ(b[2], 5);
}

TEST_F(LinearizeFunctionTest, MaxSegmentsOutsideOneToTenIsIgnored) {
  LinearizeFunction lin;
  lin.SetMaxSegments(11);
  EXPECT_EQ(lin.GetMaxSegments(), 10);
  lin.SetMaxSegments(0);
  EXPECT_EQ(lin.GetMaxSegments(), 10);
  lin.SetMaxSegments(4);
  EXPECT_EQ(lin.GetMaxSegments(), 4);
}

// The pruned search must pick the same list, and score it with the same
// bits, as the plain enumeration: on random curves, on curves with exact
// ties (symmetric, integer-valued), with default bounds (lists that go
// backwards included) and with narrowed bounds.
TEST_F(LinearizeFunctionTest, PrunedSearchMatchesPlainEnumeration) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 3 + trial % 9;
    const int m = 2 + trial % 3;
    std::vector<double> x(n), f(n);
    for (int i = 0; i < n; ++i) {
      x[i] = trial % 2 ? i : i + unit(rng);
      if (trial % 3 == 0) {
        f[i] = (i - (n - 1) / 2.0) * (i - (n - 1) / 2.0);  // symmetric
      } else if (trial % 3 == 1) {
        f[i] = static_cast<int>(unit(rng) * 4);  // many ties
      } else {
        f[i] = std::exp(unit(rng) * 3);
      }
    }
    LinearizeFunction lin;
    ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), n));
    ASSERT_TRUE(lin.SetNumberOfLinearSegments(m));
    std::vector<int> lower(m + 1, 0), upper(m + 1, n - 1);
    if (trial % 4 == 3) {
      // Non-decreasing forced bounds, as the automatic driver sets them.
      for (int k = 1; k < m; ++k) {
        lower[k] = (k - 1) * (n - 1) / (m - 1);
        upper[k] = k * (n - 1) / (m - 1);
        ASSERT_TRUE(lin.SetConstraint(k, lower[k], kLowerBound));
        ASSERT_TRUE(lin.SetConstraint(k, upper[k], kUpperBound));
      }
    }
    double naive_best;
    std::vector<int> expected = NaiveSearch(f, x, m, lower, upper, &naive_best);
    int* b = lin.GetLinearizedPoints();
    ASSERT_NE(b, nullptr) << "trial " << trial;
    EXPECT_EQ(std::vector<int>(b, b + m + 1), expected) << "trial " << trial;
    double error;
    ASSERT_TRUE(lin.GetError(error));
    EXPECT_EQ(error, naive_best) << "trial " << trial;
    EXPECT_EQ(lin.EvaluateError(b, m), naive_best);
  }
}

// Long segments take the bound computation's sampled sums; the winner must
// still be the plain enumeration's.
TEST_F(LinearizeFunctionTest, PrunedSearchMatchesOnLongSegments) {
  const int n = 120;
  std::vector<double> x(n), f(n);
  for (int i = 0; i < n; ++i) {
    x[i] = 0.1 * i;
    f[i] = 50.0 * (1.0 - std::exp(-0.4 * x[i])) + std::sin(2.0 * x[i]);
  }
  for (int m = 3; m <= 4; ++m) {
    LinearizeFunction lin;
    ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), n));
    ASSERT_TRUE(lin.SetNumberOfLinearSegments(m));
    std::vector<int> lower(m + 1, 0), upper(m + 1, n - 1);
    for (int k = 1; k < m; ++k) {
      lower[k] = (k - 1) * (n - 1) / (m - 1);
      upper[k] = k * (n - 1) / (m - 1);
      ASSERT_TRUE(lin.SetConstraint(k, lower[k], kLowerBound));
      ASSERT_TRUE(lin.SetConstraint(k, upper[k], kUpperBound));
    }
    double naive_best;
    std::vector<int> expected = NaiveSearch(f, x, m, lower, upper, &naive_best);
    int* b = lin.GetLinearizedPoints();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::vector<int>(b, b + m + 1), expected) << "m " << m;
    double error;
    ASSERT_TRUE(lin.GetError(error));
    EXPECT_EQ(error, naive_best);
  }
}

TEST_F(LinearizeFunctionTest, EvaluateErrorRejectsIndicesOutOfRange) {
  double f[4] = {0, 1, 0, 1}, x[4] = {0, 1, 2, 3};
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 4));
  int bad[3] = {0, 7, 3};
  EXPECT_EQ(lin.EvaluateError(bad, 2), 1e24);
  int chord[2] = {0, 3};
  EXPECT_GT(lin.EvaluateError(chord, 1), 0.0);
}

TEST_F(LinearizeFunctionTest, CopiesOwnTheirBreakpoints) {
  double f[4] = {0, 3, 1, 2}, x[4] = {0, 1, 2, 3};
  LinearizeFunction a;
  ASSERT_TRUE(a.SetFunctionVector(f, x, 4));
  ASSERT_TRUE(a.SetNumberOfLinearSegments(2));
  int* pa = a.GetLinearizedPoints();
  ASSERT_NE(pa, nullptr);
  LinearizeFunction b(a);
  int* pb = b.GetLinearizedPoints();
  ASSERT_NE(pb, nullptr);
  EXPECT_NE(pa, pb);
  EXPECT_EQ(pa[1], pb[1]);
  a.SetNumberOfLinearSegments(3);
  LinearizeFunction c;
  c = b;
  EXPECT_EQ(c.GetLinearizedPoints()[1], pb[1]);
}

class AutoLinearizeFunctionTest : public ::testing::Test {};

TEST_F(AutoLinearizeFunctionTest, CollinearPointsGiveTheSingleChord) {
  double f[6] = {1, 3, 5, 7, 9, 11}, x[6] = {0, 1, 2, 3, 4, 5};
  AutoLinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 6));
  EXPECT_LT(lin.GetTolerance(), 0.1);
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(lin.GetNumberOfLinearSegments(), 1);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 5);
}

TEST_F(AutoLinearizeFunctionTest, FlatFunctionTwiceStaysTheSingleChord) {
  double f[5] = {2, 2, 2, 2, 2}, x[5] = {0, 1, 2, 3, 4};
  AutoLinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 5));
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 5));
  EXPECT_LT(lin.GetTolerance(), 0.1);
  EXPECT_GE(lin.GetTolerance(), 0.0);
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(lin.GetNumberOfLinearSegments(), 1);
  EXPECT_EQ(b[1], 4);
}

TEST_F(AutoLinearizeFunctionTest, ToleranceRules) {
  AutoLinearizeFunction lin;
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.9);
  lin.SetToleranceExternally(0.0);
  lin.SetToleranceExternally(1.5);
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.9);
  lin.SetToleranceExternally(1.0);
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 1.0);
  // Slopes 1 and 1.5: r = 0.5, so each new function halves the tolerance.
  double f[3] = {0, 1, 2.5}, x[3] = {0, 1, 2};
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.5);
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.25);
}

TEST_F(AutoLinearizeFunctionTest, SecondSearchWithoutNewFunctionIsNull) {
  std::vector<double> x(30), f(30);
  for (int i = 0; i < 30; ++i) {
    x[i] = i;
    f[i] = std::exp(i / 6.0);
  }
  AutoLinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), 30));
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  const int m = lin.GetNumberOfLinearSegments();
  EXPECT_GE(m, 2);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[m], 29);
  for (int k = 1; k <= m; ++k) EXPECT_LE(b[k - 1], b[k]);
  double p;
  ASSERT_TRUE(lin.GetPerformance(p));
  EXPECT_GT(p, 0.0);
  EXPECT_EQ(lin.GetLinearizedPoints(), nullptr);
  ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), 30));
  EXPECT_NE(lin.GetLinearizedPoints(), nullptr);
}

// The driver's passes, replayed by hand with the plain class: each pass
// narrows breakpoint k to lie between breakpoints k - 1 and k of the
// previous pass, and the driver stops by the tolerance rule.
TEST_F(AutoLinearizeFunctionTest, PassesNarrowBoundsAndStopByTolerance) {
  std::vector<double> x(40), f(40);
  for (int i = 0; i < 40; ++i) {
    x[i] = i * 0.25;
    f[i] = std::sqrt(x[i]) + 0.2 * std::sin(3 * x[i]);
  }
  AutoLinearizeFunction autolin;
  ASSERT_TRUE(autolin.SetFunctionVector(f.data(), x.data(), 40));
  const double tolerance = autolin.GetTolerance();
  int* got = autolin.GetLinearizedPoints();
  ASSERT_NE(got, nullptr);
  const int m_auto = autolin.GetNumberOfLinearSegments();

  LinearizeFunction plain;
  ASSERT_TRUE(plain.SetFunctionVector(f.data(), x.data(), 40));
  std::vector<int> previous;
  double p = 0.0;
  int m = 1;
  for (;;) {
    ++m;
    double previous_p = p;
    ASSERT_TRUE(plain.SetNumberOfLinearSegments(m));
    for (int k = 1; k < m && !previous.empty(); ++k) {
      plain.SetConstraint(k, previous[k - 1], kLowerBound);
      plain.SetConstraint(k, previous[k], kUpperBound);
    }
    int* b = plain.GetLinearizedPoints();
    ASSERT_NE(b, nullptr);
    previous.assign(b, b + m + 1);
    ASSERT_TRUE(plain.GetPerformance(p));
    if (m >= 39 || m >= 10 || !(p > 0)) break;
    if (!(tolerance > previous_p / p || tolerance > p)) break;
  }
  EXPECT_EQ(m_auto, m);
  EXPECT_EQ(std::vector<int>(got, got + m_auto + 1), previous);
}

TEST_F(AutoLinearizeFunctionTest, MaxSegmentsCapsTheDriver) {
  std::vector<double> x(25), f(25);
  for (int i = 0; i < 25; ++i) {
    x[i] = i;
    f[i] = (i % 2) * 5.0 + i;  // zig-zag never fits well
  }
  AutoLinearizeFunction lin;
  lin.SetMaxSegments(3);
  ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), 25));
  ASSERT_NE(lin.GetLinearizedPoints(), nullptr);
  EXPECT_LE(lin.GetNumberOfLinearSegments(), 3);
}

}  // namespace
}  // namespace pemar
