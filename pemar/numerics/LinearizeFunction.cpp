#include "pemar/numerics/LinearizeFunction.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <new>

namespace pemar {
namespace {

// Stands for "no list yet" and for a list with an empty segment that holds a
// point; no list scoring this much is ever kept.
constexpr double kNoList = 1e24;

// The weighted deviation of point i from the chord a -> c. The division is
// skipped for a zero numerator so that a chord over equal abscissae costs
// nothing when it is flat.
inline double Term(const double* f, const double* x, int i, int a, int c) {
  double d = (f[c] - f[a]) * (x[i] - x[a]);
  if (d != 0.0) d /= (x[c] - x[a]);
  return std::fabs((x[i + 1] - x[i - 1]) * (f[i] - f[a] - d));
}

// The error of an arbitrary list b[0 ... m]: every interior point is charged
// to the first segment that spans it (segment 1 when none does). Stops as
// soon as the sum can no longer fall below `cutoff`; the value returned is
// then at least `cutoff` (or NaN), which is all a caller comparing against
// it needs. A later empty segment replaces the sum by kNoList, which is at
// least any cutoff in use, so stopping early never hides a better list.
double ListError(const double* f, const double* x, int n, const int* b, int m,
                 double cutoff) {
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
      sum = kNoList;
    } else {
      sum += Term(f, x, i, b[k - 1], b[k]);
    }
    if (!(sum < cutoff)) return sum;
  }
  return sum;
}

// Adds the terms of the points a + 1 ... min(c, n - 2) on the chord a -> c
// to `sum`, in point order, stopping once the sum reaches `cutoff`.
inline double AddSegment(const double* f, const double* x, int n, int a, int c,
                         double sum, double cutoff) {
  int last = c < n - 2 ? c : n - 2;
  for (int i = a + 1; i <= last; ++i) {
    sum += Term(f, x, i, a, c);
    if (!(sum < cutoff)) break;
  }
  return sum;
}

// The same sum as AddSegment from 0, for bounds only: the points are taken
// in interleaved passes (every stride-th point first), so that a sample
// spread over the whole chord reaches `cutoff` early when it is going to.
// Any part of the sum is a lower bound of the whole.
inline double SegmentBound(const double* f, const double* x, int n, int a,
                           int c, double cutoff) {
  const int last = c < n - 2 ? c : n - 2;
  const int count = last - a;
  if (count <= 0) return 0.0;
  const int stride = count >= 64 ? 16 : 1;
  double sum = 0.0;
  for (int start = a + 1; start < a + 1 + stride; ++start) {
    for (int i = start; i <= last; i += stride) {
      sum += Term(f, x, i, a, c);
    }
    if (!(sum < cutoff)) break;
  }
  return sum;
}

}  // namespace

// Depth-first enumeration of every breakpoint list within the bounds, in the
// order breakpoint 1 outermost, each ascending; the first list with the
// lowest error wins.
//
// The enumeration is exact but pruned. For a list whose breakpoints so far
// are non-decreasing, the points up to the last breakpoint are charged to
// known segments in point order, so the running sum at that depth is the
// very floating-point prefix of the full evaluation; since later points
// only add non-negative terms (or set the sum to kNoList), a prefix that has
// reached the best error rules out the whole subtree. When the bounds force
// every list to be non-decreasing (as the automatic driver's do), a lower
// bound on the rest (the cheapest chain of chords to the last point, by
// dynamic programming) prunes further, with a relative margin far above the
// rounding of any sum so that no list that could win is skipped.
class LinearizeFunction::Search {
 public:
  Search(const double* f, const double* x, int n, int m,
         const std::vector<int>& lower, const std::vector<int>& upper)
      : f_(f), x_(x), n_(n), m_(m), lower_(lower), upper_(upper) {}

  // Fills `result` with the winning list and returns its error; returns
  // kNoList with `result` untouched when no list scores below it.
  double Run(std::vector<int>& result) {
    bool forced = true;
    for (int k = 2; k <= m_ - 1; ++k) {
      if (lower_[k] < upper_[k - 1]) forced = false;
    }
    if (forced) ComputeLowerBounds();
    margin_ = 1.0 - (1e-9 + 4e-16 * static_cast<double>(n_));

    std::vector<int> b(m_ + 1);
    std::vector<double> partial(m_, 0.0);
    std::vector<char> monotone(m_, 1);
    b[0] = 0;
    b[m_] = n_ - 1;
    double best = kNoList;
    int k = 1;
    b[1] = lower_[1] - 1;
    while (k >= 1) {
      if (++b[k] > upper_[k]) {
        --k;
        continue;
      }
      const int c = b[k];
      monotone[k] = monotone[k - 1] && c >= b[k - 1];
      if (monotone[k]) {
        const int a = b[k - 1];
        double s;
        if (forced) {
          const double rest = bound_[k][c - lower_[k]];
          // Cheap test first: a lower bound of this segment's error kept
          // from the bound computation.
          if (k >= 2 && !pairs_.empty()) {
            double low = pairs_[k][static_cast<std::size_t>(a - lower_[k - 1]) *
                                       width_[k] +
                                   (c - lower_[k])];
            if ((partial[k - 1] + low + rest) * margin_ >= best) continue;
          }
          // The segment's sum may stop as soon as the bound rules the list
          // out; a stopped sum is still a lower bound of the whole one.
          const double cutoff = best / margin_ - rest;
          s = AddSegment(f_, x_, n_, a, c, partial[k - 1],
                         cutoff < best ? cutoff : best);
          if (!(s < best)) continue;
          if ((s + rest) * margin_ >= best) continue;
          if (!(s < cutoff)) {
            s = AddSegment(f_, x_, n_, a, c, partial[k - 1], best);
            if (!(s < best)) continue;
          }
        } else {
          s = AddSegment(f_, x_, n_, a, c, partial[k - 1], best);
          if (!(s < best)) continue;
        }
        partial[k] = s;
      }
      if (k < m_ - 1) {
        ++k;
        b[k] = lower_[k] - 1;
        continue;
      }
      double error =
          monotone[k] ? AddSegment(f_, x_, n_, b[k], n_ - 1, partial[k], best)
                      : ListError(f_, x_, n_, b.data(), m_, best);
      if (error < best) {
        best = error;
        result = b;
      }
    }
    return best;
  }

 private:
  // bound_[k][c - lower[k]]: the least error of points c + 1 ... n - 2 over
  // every non-decreasing way to place breakpoints k + 1 ... m - 1. When they
  // fit in memory, pairs_[k] keeps for every a in the range of breakpoint
  // k - 1 and c in that of breakpoint k a lower bound of the error of the
  // segment a -> c (the sum as far as it was taken, or 0 when skipped).
  void ComputeLowerBounds() {
    const double inf = std::numeric_limits<double>::infinity();
    bound_.assign(m_, {});
    width_.assign(m_, 0);
    std::size_t pair_count = 0;
    for (int k = 1; k <= m_ - 1; ++k) {
      width_[k] = static_cast<std::size_t>(upper_[k] - lower_[k]) + 1;
      if (k >= 2) pair_count += width_[k - 1] * width_[k];
    }
    if (m_ >= 3 && pair_count <= kMaxPairs) {
      pairs_.assign(m_, {});
      for (int k = 2; k <= m_ - 1; ++k) {
        pairs_[k].assign(width_[k - 1] * width_[k], 0.0);
      }
    }
    for (int k = m_ - 1; k >= 1; --k) {
      auto& here = bound_[k];
      here.assign(width_[k], inf);
      int best_next = k + 1 <= m_ - 1 ? lower_[k + 1] : 0;
      for (int c = lower_[k]; c <= upper_[k]; ++c) {
        double least = inf;
        if (k == m_ - 1) {
          least = AddSegment(f_, x_, n_, c, n_ - 1, 0.0, inf);
        } else {
          const auto& next = bound_[k + 1];
          double* kept =
              pairs_.empty()
                  ? nullptr
                  : pairs_[k + 1].data() +
                        static_cast<std::size_t>(c - lower_[k]) * width_[k + 1];
          // The best next breakpoint moves little from one c to the next;
          // trying the last one first makes most other sums stop early.
          auto consider = [&](int d) {
            double rest = next[d - lower_[k + 1]];
            if (!(rest < least)) return;
            double s = SegmentBound(f_, x_, n_, c, d, least - rest);
            if (kept) kept[d - lower_[k + 1]] = s;
            double total = s + rest;
            if (total < least) {
              least = total;
              best_next = d;
            }
          };
          const int first = best_next;
          consider(first);
          for (int d = lower_[k + 1]; d <= upper_[k + 1]; ++d) {
            if (d != first) consider(d);
          }
        }
        here[c - lower_[k]] = least;
      }
    }
  }

  // Beyond this many segment pairs (8 bytes each) the cheap test is skipped.
  static constexpr std::size_t kMaxPairs = std::size_t{1} << 22;

  const double* f_;
  const double* x_;
  int n_;
  int m_;
  const std::vector<int>& lower_;
  const std::vector<int>& upper_;
  std::vector<std::vector<double>> bound_;
  std::vector<std::vector<double>> pairs_;
  std::vector<std::size_t> width_;
  double margin_ = 1.0;
};

LinearizeFunction::LinearizeFunction() { SetNumberOfLinearSegments(1); }

LinearizeFunction::~LinearizeFunction() = default;

bool LinearizeFunction::SetFunctionVector(double* f, double* x, int n) {
  if (f == nullptr || x == nullptr || n < 1) return false;
  f_ = f;
  x_ = x;
  n_ = n;
  points_ready_ = false;
  single_error_ready_ = false;
  SetNumberOfLinearSegments(1);
  return true;
}

bool LinearizeFunction::SetNumberOfLinearSegments(int m) {
  if (m < 1 || m == INT_MAX) return false;
  std::vector<int> lower, upper;
  try {
    lower.assign(static_cast<std::size_t>(m) + 1, 0);
    upper.assign(static_cast<std::size_t>(m) + 1, n_ - 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  segments_ = m;
  points_ready_ = false;
  lower_.swap(lower);
  upper_.swap(upper);
  return true;
}

void LinearizeFunction::SetMaxSegments(int max_segments) {
  if (max_segments >= 1 && max_segments <= 10) max_segments_ = max_segments;
}

bool LinearizeFunction::SetConstraint(int index, int point,
                                      ConstraintType type) {
  if (index < 1 || index >= segments_ || point < 0 || point >= n_) {
    return false;
  }
  switch (type) {
    case kLowerBound:
      if (point > upper_[index]) return false;
      lower_[index] = point;
      return true;
    case kUpperBound:
      if (point < lower_[index]) return false;
      upper_[index] = point;
      return true;
    case kFixed:
      lower_[index] = point;
      upper_[index] = point;
      return true;
  }
  return false;
}

double LinearizeFunction::EvaluateError(const int* breakpoints, int m) const {
  if (f_ == nullptr || x_ == nullptr || breakpoints == nullptr || m < 1) {
    return 0.0;
  }
  for (int k = 0; k <= m; ++k) {
    if (breakpoints[k] < 0 || breakpoints[k] >= n_) return kNoList;
  }
  return ListError(f_, x_, n_, breakpoints, m,
                   std::numeric_limits<double>::infinity());
}

double LinearizeFunction::SingleSegmentError() {
  if (!single_error_ready_) {
    const int chord[2] = {0, n_ - 1};
    single_error_ = ListError(f_, x_, n_, chord, 1,
                              std::numeric_limits<double>::infinity());
    single_error_ready_ = true;
  }
  return single_error_;
}

int* LinearizeFunction::GetLinearizedPoints() {
  if (points_ready_) return points_.data();
  points_.clear();
  if (segments_ < 2 || f_ == nullptr || x_ == nullptr) return nullptr;

  single_error_ready_ = false;
  SingleSegmentError();

  std::vector<int> result;
  Search search(f_, x_, n_, segments_, lower_, upper_);
  best_error_ = search.Run(result);
  // A list is kept only when one scored: handing out an unwritten list
  // would make callers index their arrays with garbage.
  if (result.empty()) return nullptr;
  points_.swap(result);
  points_ready_ = true;
  return points_.data();
}

bool LinearizeFunction::GetPerformance(double& p) {
  if (!points_ready_) return false;
  double single = SingleSegmentError();
  // An exact single chord leaves nothing to improve: call it a perfect fit
  // rather than 1 - 0/0.
  p = single == 0.0 ? 1.0 : 1.0 - best_error_ / single;
  return true;
}

bool LinearizeFunction::GetError(double& error) const {
  if (!points_ready_) return false;
  error = best_error_;
  return true;
}

int* LinearizeFunction::SetSingleChord() {
  SetNumberOfLinearSegments(1);
  points_.assign({0, n_ - 1});
  return points_.data();
}

AutoLinearizeFunction::AutoLinearizeFunction() = default;

AutoLinearizeFunction::~AutoLinearizeFunction() = default;

bool AutoLinearizeFunction::SetFunctionVector(double* f, double* x, int n) {
  if (!LinearizeFunction::SetFunctionVector(f, x, n)) return false;
  AdjustTolerance();
  return true;
}

void AutoLinearizeFunction::SetToleranceExternally(double t) {
  if (t > 0.0 && t <= 1.0) tolerance_ = t;
}

void AutoLinearizeFunction::AdjustTolerance() {
  const double* fv = f();
  const double* xv = x();
  double smallest = 1e24;
  double largest = 0.0;
  for (int i = 1; i < number_of_points(); ++i) {
    double df = std::fabs(fv[i] - fv[i - 1]);
    double dx = std::fabs(xv[i] - xv[i - 1]);
    if (df > 1e-8 && dx > 1e-8) {
      double s = df / dx;
      if (s < smallest) smallest = s;
      if (s > largest) largest = s;
    }
  }
  double r = largest / smallest - 1.0;
  // Limited to 0 ... 1: a function with no counted slope (r = -1) must not
  // flip the sign of the tolerance, or every second flat function would get
  // the full search. A NaN ratio (infinite slopes) counts as straight.
  double factor = r < 1.0 ? r : 1.0;
  if (!(factor > 0.0)) factor = 0.0;
  tolerance_ *= factor;
}

int* AutoLinearizeFunction::GetLinearizedPoints() {
  if (points_ready()) return nullptr;
  if (f() == nullptr || x() == nullptr) return nullptr;
  const int cap = GetMaxSegments() > 0 ? GetMaxSegments() : 10;
  if (tolerance_ < 0.1) return SetSingleChord();

  const int n = number_of_points();
  int m = 1;
  double p = 0.0;
  std::vector<int> previous;
  int* last = nullptr;
  for (;;) {
    ++m;
    double previous_p = p;
    SetNumberOfLinearSegments(m);
    if (!previous.empty()) {
      for (int k = 1; k <= m - 1; ++k) {
        SetConstraint(k, previous[k - 1], kLowerBound);
        SetConstraint(k, previous[k], kUpperBound);
      }
    }
    last = LinearizeFunction::GetLinearizedPoints();
    if (last != nullptr) {
      previous.assign(last, last + m + 1);
    } else {
      previous.clear();
    }
    p = 1.0 - best_error() / SingleSegmentError();
    if (m >= n - 1 || m >= cap || !(p > 0.0)) break;
    if (!(tolerance_ > previous_p / p || tolerance_ > p)) break;
  }
  return last;
}

}  // namespace pemar
