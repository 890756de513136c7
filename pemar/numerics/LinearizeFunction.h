// Piecewise linearisation of a tabulated function.
//
// LinearizeFunction replaces a function given as n points (x[i], f[i]) by a
// chain of m straight chords between selected points, the breakpoints. It
// picks the breakpoints that minimise an area-like error: for every interior
// point i the deviation of f[i] from its chord, weighted by the width
// x[i+1] - x[i-1] of its neighbourhood. The result is a list of m + 1 point
// indices (first 0, last n - 1) into the caller's arrays.
//
// AutoLinearizeFunction adds a driver that raises the number of segments
// until the fit reaches a quality tolerance, each new breakpoint searched
// between two neighbouring breakpoints of the previous solution.
//
// The two function arrays belong to the caller and must outlive every call
// that uses them; the objects never copy or free them. Copies of an object
// share the caller's arrays and own their own breakpoints and bounds.
//
// Usage:
//   LinearizeFunction lin;
//   lin.SetFunctionVector(f, x, n);
//   lin.SetNumberOfLinearSegments(3);
//   lin.SetConstraint(1, 10, kFixed);   // optional
//   const int* points = lin.GetLinearizedPoints();  // 4 indices, or null
//   double p;
//   lin.GetPerformance(p);  // 1 perfect fit, 0 no better than one chord

#ifndef PEMAR_NUMERICS_LINEARIZEFUNCTION_H_
#define PEMAR_NUMERICS_LINEARIZEFUNCTION_H_

#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

// How SetConstraint restricts a breakpoint.
enum ConstraintType : int {
  kLowerBound = 0,
  kUpperBound = 1,
  kFixed = 2,
};

class PEMAR_EXPORT LinearizeFunction {
 public:
  // Ten segments at most for the automatic driver, one segment, no function.
  LinearizeFunction();
  LinearizeFunction(const LinearizeFunction&) = default;
  LinearizeFunction& operator=(const LinearizeFunction&) = default;
  virtual ~LinearizeFunction();

  // Sets the function: n values f against n abscissae x (borrowed, see the
  // file comment). False, with nothing changed, when either pointer is null
  // or n < 1. Otherwise resets to one segment with free bounds.
  virtual bool SetFunctionVector(double* f, double* x, int n);

  // The breakpoint list: m + 1 indices, owned by this object and valid until
  // the next search, SetNumberOfLinearSegments or destruction. Null when
  // there are fewer than two segments, no function, or when no breakpoint
  // list scores an error below 1e24 (for instance a NaN in f). A second call
  // without a change in between returns the same list without searching.
  //
  // The search is exhaustive over the bounds of the interior breakpoints:
  // its cost grows with the product of their ranges.
  virtual int* GetLinearizedPoints();

  // False for m < 1 (or m too large to hold). Otherwise sets m segments and
  // resets every bound to the whole function (0 ... n - 1).
  bool SetNumberOfLinearSegments(int m);
  int GetNumberOfLinearSegments() const { return segments_; }

  // Cap on the segments of the automatic driver; kept only for 1 ... 10.
  void SetMaxSegments(int max_segments);
  int GetMaxSegments() const { return max_segments_; }

  // Restricts interior breakpoint `index` (1 ... m - 1) to lie at or above
  // (kLowerBound), at or below (kUpperBound), or at (kFixed) point `point`
  // (0 ... n - 1). False, with nothing changed, for an index or point out of
  // range, a lower bound above the upper bound, an upper bound below the
  // lower bound or an unknown type. Bounds are reset by
  // SetNumberOfLinearSegments, so set them after it.
  bool SetConstraint(int index, int point, ConstraintType type);

  // p = 1 - (error of the breakpoint list) / (error of the single chord from
  // point 0 to point n - 1); 1 when the single chord is already exact. False
  // when no breakpoint list is ready.
  bool GetPerformance(double& p);

  // The error of the current breakpoint list; false when none is ready.
  bool GetError(double& error) const;

  // The error measure of any breakpoint list b[0 ... m] against the current
  // function (0 when n <= 2 or no function is set). Indices outside
  // 0 ... n - 1 give 1e24.
  double EvaluateError(const int* breakpoints, int m) const;

 protected:
  // The error of the single chord, computed if not current.
  double SingleSegmentError();
  // Replaces the stored list by the single chord {0, n - 1} (one segment).
  int* SetSingleChord();

  int number_of_points() const { return n_; }
  const double* f() const { return f_; }
  const double* x() const { return x_; }
  double best_error() const { return best_error_; }
  bool points_ready() const { return points_ready_; }

 private:
  // The exhaustive search of GetLinearizedPoints, with pruning that never
  // changes which list wins.
  class Search;

  int max_segments_ = 10;
  int n_ = 0;
  bool points_ready_ = false;
  std::vector<int> points_;  // empty: no list
  double* f_ = nullptr;
  double* x_ = nullptr;
  std::vector<int> upper_;
  std::vector<int> lower_;
  int segments_ = 1;
  double single_error_ = 0.0;
  double best_error_ = 0.0;
  bool single_error_ready_ = false;
};

class PEMAR_EXPORT AutoLinearizeFunction : public LinearizeFunction {
 public:
  // As the base, with tolerance 0.9.
  AutoLinearizeFunction();
  AutoLinearizeFunction(const AutoLinearizeFunction&) = default;
  AutoLinearizeFunction& operator=(const AutoLinearizeFunction&) = default;
  ~AutoLinearizeFunction() override;

  // As the base; then scales the tolerance by how far the function is from a
  // straight line (largest over smallest slope, minus one, limited to
  // 0 ... 1). Each new function scales the tolerance held at that moment
  // again. A nearly straight function drives the tolerance below 0.1.
  bool SetFunctionVector(double* f, double* x, int n) override;

  // Raises the number of segments from two until the fit reaches the
  // tolerance and the last segment no longer improved it by more than the
  // factor 1/tolerance, or the segments reach n - 1 or the cap. A tolerance
  // below 0.1 gives the single chord {0, n - 1} with one segment, without a
  // search (no list is then ready: GetPerformance and GetError answer false,
  // and EvaluateError scores the chord). Null when a list is already ready
  // (call SetFunctionVector again to search again) or no list scored.
  int* GetLinearizedPoints() override;

  // Kept only for 0 < t <= 1.
  void SetToleranceExternally(double t);
  double GetTolerance() const { return tolerance_; }

 private:
  void AdjustTolerance();

  double tolerance_ = 0.9;
};

}  // namespace pemar

#endif  // PEMAR_NUMERICS_LINEARIZEFUNCTION_H_
