#include "pemar/numerics/SimpleTable.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr unsigned int kLayoutVersion = 1;
constexpr double kKelvinOffset = 273.15;

}  // namespace

PemarSimpleTable::PemarSimpleTable() = default;

PemarSimpleTable::PemarSimpleTable(int n, double* weight, double* x, double* q,
                                   double* y) {
  if (n > 0) {
    auto adopt = [n](std::vector<double>& column, const double* source) {
      if (source != nullptr) {
        column.assign(source, source + n);
      } else {
        column.assign(static_cast<std::size_t>(n), kEmptyValue);
      }
    };
    adopt(weight_, weight);
    adopt(x_, x);
    adopt(q_, q);
    adopt(y_, y);
  }
  delete[] weight;
  delete[] x;
  delete[] q;
  delete[] y;
}

PemarSimpleTable::~PemarSimpleTable() = default;

void PemarSimpleTable::Clear() {
  weight_.clear();
  x_.clear();
  q_.clear();
  y_.clear();
  weight_.shrink_to_fit();
  x_.shrink_to_fit();
  q_.shrink_to_fit();
  y_.shrink_to_fit();
}

double PemarSimpleTable::Cell(const std::vector<double>& column, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= column.size()) {
    return kEmptyValue;
  }
  return column[i];
}

void PemarSimpleTable::SetCell(std::vector<double>& column, int i, double v) {
  if (i < 0) return;
  const int count = GetNumberOfPoints();
  if (i >= count) {
    if (v == kEmptyValue) return;
    if (i == INT_MAX) return;
    // Grow all four columns or none.
    const std::size_t rows = static_cast<std::size_t>(i) + 1;
    try {
      std::vector<double> w(weight_), x(x_), q(q_), y(y_);
      w.resize(rows, 1.0);
      x.resize(rows, kEmptyValue);
      q.resize(rows, kEmptyValue);
      y.resize(rows, kEmptyValue);
      // `column` is one of the four members; find its grown copy.
      std::vector<double>* grown = &column == &weight_ ? &w
                                   : &column == &x_    ? &x
                                   : &column == &q_    ? &q
                                                       : &y;
      (*grown)[i] = v;
      weight_.swap(w);
      x_.swap(x);
      q_.swap(q);
      y_.swap(y);
    } catch (const std::bad_alloc&) {
      return;
    } catch (const std::length_error&) {
      return;
    }
  } else {
    column[i] = v;
  }
  ready_ = false;
  RemoveEmptyRows();
}

void PemarSimpleTable::RemoveEmptyRows() {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < x_.size(); ++i) {
    if (weight_[i] == kEmptyValue && x_[i] == kEmptyValue &&
        q_[i] == kEmptyValue && y_[i] == kEmptyValue) {
      continue;
    }
    weight_[kept] = weight_[i];
    x_[kept] = x_[i];
    q_[kept] = q_[i];
    y_[kept] = y_[i];
    ++kept;
  }
  if (kept == x_.size()) return;
  weight_.resize(kept);
  x_.resize(kept);
  q_.resize(kept);
  y_.resize(kept);
  weight_.shrink_to_fit();
  x_.shrink_to_fit();
  q_.shrink_to_fit();
  y_.shrink_to_fit();
}

void PemarSimpleTable::SortOnX() {
  const int count = GetNumberOfPoints();
  int gap = count;
  bool swapped = true;
  while (gap > 1 || swapped) {
    gap = static_cast<int>(gap / 1.3);
    if (gap == 0) gap = 1;
    if (gap == 9 || gap == 10) gap = 11;
    swapped = false;
    for (int i = 0; i + gap < count; ++i) {
      if (x_[i] > x_[i + gap]) {
        std::swap(weight_[i], weight_[i + gap]);
        std::swap(x_[i], x_[i + gap]);
        std::swap(q_[i], q_[i + gap]);
        std::swap(y_[i], y_[i + gap]);
        swapped = true;
      }
    }
  }
}

bool PemarSimpleTable::AnyEmpty(bool check_q) {
  bool any = false;
  for (std::size_t i = 0; i < x_.size(); ++i) {
    if (weight_[i] == kEmptyValue) weight_[i] = 1.0;
    if (x_[i] == kEmptyValue || y_[i] == kEmptyValue ||
        (check_q && q_[i] == kEmptyValue)) {
      any = true;
    }
  }
  return any;
}

void PemarSimpleTable::ShiftX(double delta) {
  for (double& v : x_) v += delta;
}

void PemarSimpleTable::ToKelvin() { ShiftX(kKelvinOffset); }

void PemarSimpleTable::FromKelvin() { ShiftX(-kKelvinOffset); }

bool PemarSimpleTable::StoreClassData(BinaryFile& file) const {
  const int n = GetNumberOfPoints();
  const unsigned int count = static_cast<unsigned int>(n);
  auto data = [](const std::vector<double>& column) {
    return column.empty() ? nullptr : column.data();
  };
  return file.Write(kLayoutVersion) && file.Write(n) &&
         file.Write(data(weight_), count) && file.Write(data(x_), count) &&
         file.Write(data(q_), count) && file.Write(data(y_), count);
}

bool PemarSimpleTable::RecallClassData(BinaryFile& file) {
  unsigned int version = 0;
  int n = 0;
  if (!file.Read(version)) return false;  // every version reads alike
  if (!file.Read(n)) return false;
  if (n < 0) return false;
  // Four columns of n doubles must still be in the file before anything is
  // allocated for them.
  const std::uint64_t needed = 32 * static_cast<std::uint64_t>(n);
  if (needed > file.Remaining()) return false;
  const std::size_t rows = static_cast<std::size_t>(n);
  std::vector<double> w(rows), x(rows), q(rows), y(rows);
  const unsigned int count = static_cast<unsigned int>(n);
  if (!file.Read(w.data(), count) || !file.Read(x.data(), count) ||
      !file.Read(q.data(), count) || !file.Read(y.data(), count)) {
    return false;
  }
  weight_.swap(w);
  x_.swap(x);
  q_.swap(q);
  y_.swap(y);
  return true;
}

}  // namespace pemar
