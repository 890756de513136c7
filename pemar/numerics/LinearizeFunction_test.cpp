#include "pemar/numerics/LinearizeFunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace pemar {
namespace {

// The error measure written the plain way: the pruned search must agree
// with it, and with the plain enumeration below, list for list.
double NaiveError(const std::vector<double>& f, const std::vector<double>& x,
                  const std::vector<int>& b) {
  double sum = 0.0;
  for (int i = 1; i + 1 < static_cast<int>(f.size()); ++i) {
    int k = 1;  // the first segment holding i, else the first
    for (int j = static_cast<int>(b.size()) - 1; j >= 1; --j) {
      if (b[j - 1] <= i && i <= b[j]) k = j;
    }
    const int a = b[k - 1], c = b[k];
    const double d = (f[c] - f[a]) * (x[i] - x[a]);
    const double off = f[i] - f[a] - (d != 0.0 ? d / (x[c] - x[a]) : 0.0);
    sum = c == a ? 1e24 : sum + std::fabs((x[i + 1] - x[i - 1]) * off);
  }
  return sum;
}

// m segments of f against x, free or bounded as the driver bounds them: the
// odometer's first list of least error (the last breakpoint running
// fastest), scored with the same bits.
void ExpectPlainEnumerationsList(std::vector<double> f, std::vector<double> x,
                                 int m, bool bounded) {
  const int n = static_cast<int>(f.size());
  LinearizeFunction lin;
  ASSERT_TRUE(lin.SetFunctionVector(f.data(), x.data(), n) &&
              lin.SetNumberOfLinearSegments(m));
  std::vector<int> lower(m + 1, 0), upper(m + 1, n - 1);
  for (int k = 1; k < m && bounded; ++k) {
    lower[k] = (k - 1) * (n - 1) / (m - 1);
    upper[k] = k * (n - 1) / (m - 1);
    ASSERT_TRUE(lin.SetConstraint(k, lower[k], kLowerBound) &&
                lin.SetConstraint(k, upper[k], kUpperBound));
  }
  std::vector<int> list = lower, expected;
  list[m] = n - 1;
  double best = 1e24, error, p;
  for (int k = m; k >= 1; ++list[k]) {
    if (const double e = NaiveError(f, x, list); e < best)
      best = e, expected = list;
    for (k = m - 1; k >= 1 && list[k] == upper[k]; --k) list[k] = lower[k];
    if (k < 1) break;
  }
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(std::vector<int>(b, b + m + 1), expected);
  ASSERT_TRUE(lin.GetError(error) && lin.GetPerformance(p));
  EXPECT_EQ(error, best);
  EXPECT_EQ(lin.EvaluateError(b, m), best);
  // An exact single chord scores 1 by definition, not 1 - 0/0.
  const double single = NaiveError(f, x, {0, n - 1});
  EXPECT_EQ(p, single == 0.0 ? 1.0 : 1.0 - best / single);
  // A second call returns the stored list without searching.
  EXPECT_EQ(lin.GetLinearizedPoints(), b);
}

// The driver replayed: each pass adds a segment, breakpoint k between
// breakpoints k - 1 and k of the last, until the tolerance or the cap stops
// it. Searching again needs a new function.
void ExpectDriverReplay(std::vector<double> f, std::vector<double> x, int max) {
  const int n = static_cast<int>(f.size());
  AutoLinearizeFunction autolin;
  autolin.SetMaxSegments(max);
  ASSERT_TRUE(autolin.SetFunctionVector(f.data(), x.data(), n));
  const double tolerance = autolin.GetTolerance();
  int* got = autolin.GetLinearizedPoints();
  ASSERT_NE(got, nullptr);
  const std::vector<int> got_list(
      got, got + autolin.GetNumberOfLinearSegments() + 1);
  double p = 0.0;
  EXPECT_TRUE(autolin.GetPerformance(p) && p > 0.0);
  EXPECT_EQ(autolin.GetLinearizedPoints(), nullptr);
  ASSERT_TRUE(autolin.SetFunctionVector(f.data(), x.data(), n));
  EXPECT_NE(autolin.GetLinearizedPoints(), nullptr);

  LinearizeFunction plain;
  ASSERT_TRUE(plain.SetFunctionVector(f.data(), x.data(), n));
  std::vector<int> list;
  for (double previous_p = p = 0.0;; previous_p = p) {
    const int m = std::max(2, static_cast<int>(list.size()));
    ASSERT_TRUE(plain.SetNumberOfLinearSegments(m));
    for (int k = 1; k < m && !list.empty(); ++k) {
      plain.SetConstraint(k, list[k - 1], kLowerBound);
      plain.SetConstraint(k, list[k], kUpperBound);
    }
    int* b = plain.GetLinearizedPoints();
    ASSERT_NE(b, nullptr);
    list.assign(b, b + m + 1);
    ASSERT_TRUE(plain.GetPerformance(p));
    if (m >= n - 1 || m >= max || !(p > 0) ||
        !(tolerance > previous_p / p || tolerance > p)) {
      break;
    }
  }
  EXPECT_EQ(got_list, list);
}

// Refused settings change nothing: among them constraints out of range, of
// an unknown type, or crossing a bound already set.
TEST(LinearizeFunctionTest, BadSettingsAndConstraintsAreRefused) {
  LinearizeFunction lin;
  double f[6] = {0, 1, 4, 9, 16, 25}, x[6] = {0, 1, 2, 3, 4, 5};
  EXPECT_FALSE(lin.SetFunctionVector(nullptr, x, 3));
  EXPECT_FALSE(lin.SetFunctionVector(f, nullptr, 3));
  EXPECT_TRUE(lin.SetNumberOfLinearSegments(3));
  for (int bad : {0, -2}) {
    EXPECT_FALSE(lin.SetFunctionVector(f, x, bad));
    EXPECT_FALSE(lin.SetNumberOfLinearSegments(bad));
  }
  EXPECT_EQ(lin.GetNumberOfLinearSegments(), 3);
  for (int bad : {11, 0}) lin.SetMaxSegments(bad);
  EXPECT_EQ(lin.GetMaxSegments(), 10);
  lin.SetMaxSegments(4);
  EXPECT_EQ(lin.GetMaxSegments(), 4);
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 6) &&
              lin.SetNumberOfLinearSegments(3));
  for (auto [k, at] :
       {std::pair(0, 1), std::pair(3, 1), std::pair(1, -1), std::pair(1, 6)})
    EXPECT_FALSE(lin.SetConstraint(k, at, kLowerBound)) << k << ", " << at;
  EXPECT_FALSE(lin.SetConstraint(1, 2, static_cast<ConstraintType>(3)));
  EXPECT_TRUE(lin.SetConstraint(1, 2, kUpperBound));
  EXPECT_FALSE(lin.SetConstraint(1, 3, kLowerBound));
  EXPECT_TRUE(lin.SetConstraint(2, 4, kLowerBound));
  EXPECT_FALSE(lin.SetConstraint(2, 3, kUpperBound));
  EXPECT_TRUE(lin.SetConstraint(2, 5, kFixed));
  int* b = lin.GetLinearizedPoints();
  ASSERT_NE(b, nullptr);
  EXPECT_LE(b[1], 2);
  EXPECT_EQ(b[2], 5);
  // Breakpoints out of range score the error of no list.
  int out_of_range[4] = {0, 1, 6, 5};
  EXPECT_EQ(lin.EvaluateError(out_of_range, 3), 1e24);
}

// No function; one segment, what a new function resets to; a NaN that
// leaves every list at the error 1e24.
TEST(LinearizeFunctionTest, NoListWithoutFunctionSecondSegmentOrFiniteError) {
  double x[3] = {0, 1, 2}, nan[3] = {0, std::nan(""), 0}, p;
  LinearizeFunction none, one, not_finite;
  ASSERT_TRUE(none.SetNumberOfLinearSegments(2));
  ASSERT_TRUE(one.SetNumberOfLinearSegments(2) &&
              one.SetFunctionVector(x, x, 3));
  ASSERT_TRUE(not_finite.SetFunctionVector(nan, x, 3) &&
              not_finite.SetNumberOfLinearSegments(2));
  for (LinearizeFunction* lin : {&none, &one, &not_finite}) {
    EXPECT_EQ(lin->GetLinearizedPoints(), nullptr);
    EXPECT_FALSE(lin->GetPerformance(p));
  }
}

// Random curves with and without ties, free bounds (lists going backwards
// included) or narrowed; long segments take the sampled bound sums.
TEST(LinearizeFunctionTest, PrunedSearchMatchesPlainEnumeration) {
  ExpectPlainEnumerationsList({0, 2, 4, 6, 8}, {0, 1, 2, 3, 4}, 2, false);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    const int n = 3 + trial % 9;
    std::vector<double> x(n), f(n);
    for (int i = 0; i < n; ++i) {
      x[i] = trial % 2 ? i : i + unit(rng);
      const double c = i - (n - 1) / 2.0;
      f[i] = trial % 3 == 0   ? c * c
             : trial % 3 == 1 ? static_cast<int>(unit(rng) * 4)
                              : std::exp(unit(rng) * 3);
    }
    ExpectPlainEnumerationsList(f, x, 2 + trial % 3, trial % 4 == 3);
  }
  std::vector<double> x(120), f(120);
  for (int i = 0; i < 120; ++i) {
    x[i] = 0.1 * i;
    f[i] = 50.0 * (1.0 - std::exp(-0.4 * x[i])) + std::sin(2.0 * x[i]);
  }
  ExpectPlainEnumerationsList(f, x, 3, true);
  ExpectPlainEnumerationsList(f, x, 4, true);
}

// Each new function scales the tolerance; a straight (or flat, set twice)
// one drives it below 0.1: the single chord, without a search.
TEST(AutoLinearizeFunctionTest, ToleranceRulesAndTheSingleChord) {
  AutoLinearizeFunction lin;  // tolerance 0.9
  for (double bad : {0.0, 1.5}) lin.SetToleranceExternally(bad);
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.9);
  lin.SetToleranceExternally(1.0);
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 1.0);
  // Slopes 1 and 1.5: r = 0.5, so each new function halves the tolerance.
  double f[3] = {0, 1, 2.5}, x[6] = {0, 1, 2, 3, 4, 5};
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.5);
  ASSERT_TRUE(lin.SetFunctionVector(f, x, 3));
  EXPECT_DOUBLE_EQ(lin.GetTolerance(), 0.25);
  double line[6] = {1, 3, 5, 7, 9, 11}, flat[5] = {2, 2, 2, 2, 2};
  for (auto [g, n] : {std::pair(line, 6), std::pair(flat, 5)}) {
    AutoLinearizeFunction straight;
    ASSERT_TRUE(straight.SetFunctionVector(g, x, n));
    ASSERT_TRUE(g != flat || straight.SetFunctionVector(g, x, n));
    const double tolerance = straight.GetTolerance();
    EXPECT_TRUE(tolerance >= 0.0 && tolerance < 0.1) << tolerance;
    const int* b = straight.GetLinearizedPoints();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::vector<int>(b, b + straight.GetNumberOfLinearSegments() + 1),
              (std::vector<int>{0, n - 1}));
  }
}

// A smooth curve the tolerance rule stops, and a zig-zag the cap stops.
TEST(AutoLinearizeFunctionTest, PassesNarrowBoundsAndStopByToleranceOrCap) {
  std::vector<double> x(40), f(40), zigzag(25), i25(25);
  for (int i = 0; i < 40; ++i) {
    x[i] = i * 0.25;
    f[i] = std::sqrt(x[i]) + 0.2 * std::sin(3 * x[i]);
  }
  for (int i = 0; i < 25; ++i) zigzag[i] = (i % 2) * 5.0 + (i25[i] = i);
  ExpectDriverReplay(f, x, 10);
  ExpectDriverReplay(zigzag, i25, 3);
}

}  // namespace
}  // namespace pemar
