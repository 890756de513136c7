#include "pemar/numerics/SimpleTable.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "pemar/framework/BinaryFile.h"

namespace pemar {
namespace {

constexpr unsigned int kSimpleTableLayoutVersion = 1;
constexpr double kKelvinOffset = 273.15;

// A column of `rows` doubles, or null when rows is 0 or the memory cannot be
// had.
std::unique_ptr<double[]> NewColumn(std::size_t rows) {
  if (rows == 0) return nullptr;
  return std::unique_ptr<double[]>(new (std::nothrow) double[rows]);
}

std::unique_ptr<double[]> CopyColumn(const double* source, int rows) {
  if (rows <= 0) return nullptr;
  std::unique_ptr<double[]> column(new double[rows]);
  std::copy(source, source + rows, column.get());
  return column;
}

}  // namespace

PemarSimpleTable::PemarSimpleTable() = default;

PemarSimpleTable::PemarSimpleTable(int n, double* weight, double* x, double* q,
                                   double* y)
    : weight_(weight), x_(x), q_(q), y_(y) {
  if (n > 0 && weight && x && q && y) {
    count_ = n;
  } else {
    Clear();
  }
}

PemarSimpleTable::PemarSimpleTable(const PemarSimpleTable& other)
    : ready_(other.ready_),
      cp_data_(other.cp_data_),
      count_(other.count_),
      weight_(CopyColumn(other.weight_.get(), other.count_)),
      x_(CopyColumn(other.x_.get(), other.count_)),
      q_(CopyColumn(other.q_.get(), other.count_)),
      y_(CopyColumn(other.y_.get(), other.count_)) {}

PemarSimpleTable& PemarSimpleTable::operator=(const PemarSimpleTable& other) {
  if (this != &other) {
    PemarSimpleTable copy(other);
    std::swap(ready_, copy.ready_);
    std::swap(cp_data_, copy.cp_data_);
    std::swap(count_, copy.count_);
    weight_.swap(copy.weight_);
    x_.swap(copy.x_);
    q_.swap(copy.q_);
    y_.swap(copy.y_);
  }
  return *this;
}

PemarSimpleTable::~PemarSimpleTable() = default;

void PemarSimpleTable::Clear() {
  weight_.reset();
  x_.reset();
  q_.reset();
  y_.reset();
  count_ = 0;
}

bool PemarSimpleTable::Grow(int rows) {
  const std::size_t size = static_cast<std::size_t>(rows);
  Column w = NewColumn(size), x = NewColumn(size), q = NewColumn(size),
         y = NewColumn(size);
  if (!w || !x || !q || !y) return false;
  for (int i = 0; i < rows; ++i) {
    const bool old = i < count_;
    w[i] = old ? weight_[i] : 1.0;
    x[i] = old ? x_[i] : kEmptyValue;
    q[i] = old ? q_[i] : kEmptyValue;
    y[i] = old ? y_[i] : kEmptyValue;
  }
  weight_.swap(w);
  x_.swap(x);
  q_.swap(q);
  y_.swap(y);
  count_ = rows;
  return true;
}

void PemarSimpleTable::SetCell(Column PemarSimpleTable::*column, int i,
                               double v) {
  if (i < 0) return;
  if (i >= count_) {
    if (v == kEmptyValue) return;
    if (i == INT_MAX || !Grow(i + 1)) return;
  }
  (this->*column)[i] = v;
  ready_ = false;
  RemoveEmptyRows();
}

void PemarSimpleTable::RemoveEmptyRows() {
  int kept = 0;
  for (int i = 0; i < count_; ++i) {
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
  if (kept == count_) return;
  const std::size_t size = static_cast<std::size_t>(kept);
  Column w = NewColumn(size), x = NewColumn(size), q = NewColumn(size),
         y = NewColumn(size);
  // Should the smaller columns not be had, the larger ones serve as well.
  if (kept > 0 && (!w || !x || !q || !y)) {
    count_ = kept;
    return;
  }
  std::copy(weight_.get(), weight_.get() + kept, w.get());
  std::copy(x_.get(), x_.get() + kept, x.get());
  std::copy(q_.get(), q_.get() + kept, q.get());
  std::copy(y_.get(), y_.get() + kept, y.get());
  weight_.swap(w);
  x_.swap(x);
  q_.swap(q);
  y_.swap(y);
  count_ = kept;
}

void PemarSimpleTable::SwapRow(int i, int j) {
  std::swap(weight_[i], weight_[j]);
  std::swap(x_[i], x_[j]);
  std::swap(q_[i], q_[j]);
  std::swap(y_[i], y_[j]);
}

void PemarSimpleTable::SortOnX() {
  int gap = count_;
  bool swapped = true;
  while (gap > 1 || swapped) {
    gap = static_cast<int>(gap / 1.3);
    if (gap == 0) gap = 1;
    if (gap == 9 || gap == 10) gap = 11;
    swapped = false;
    for (int i = 0; i + gap < count_; ++i) {
      if (x_[i] > x_[i + gap]) {
        SwapRow(i, i + gap);
        swapped = true;
      }
    }
  }
}

bool PemarSimpleTable::AnyEmpty(bool check_q) {
  bool any = false;
  for (int i = 0; i < count_; ++i) {
    if (weight_[i] == kEmptyValue) weight_[i] = 1.0;
    if (x_[i] == kEmptyValue || y_[i] == kEmptyValue ||
        (check_q && q_[i] == kEmptyValue)) {
      any = true;
    }
  }
  return any;
}

void PemarSimpleTable::ShiftX(double delta) {
  for (int i = 0; i < count_; ++i) x_[i] += delta;
}

void PemarSimpleTable::ToKelvin() { ShiftX(kKelvinOffset); }

void PemarSimpleTable::FromKelvin() { ShiftX(-kKelvinOffset); }

bool PemarSimpleTable::StoreClassData(BinaryFile& file) const {
  const unsigned int count = static_cast<unsigned int>(count_);
  return file.Write(kSimpleTableLayoutVersion) && file.Write(count_) &&
         file.Write(weight_.get(), count) && file.Write(x_.get(), count) &&
         file.Write(q_.get(), count) && file.Write(y_.get(), count);
}

bool PemarSimpleTable::RecallClassData(BinaryFile& file) {
  unsigned int version = 0;
  int n = 0;
  if (!file.Read(version)) return false;  // every version reads alike
  if (!file.Read(n)) return false;
  if (n < 0) return false;
  // Four columns of n doubles must still be in the file before anything is
  // allocated for them.
  if (32 * static_cast<std::uint64_t>(n) > file.Remaining()) return false;
  const std::size_t size = static_cast<std::size_t>(n);
  Column w = NewColumn(size), x = NewColumn(size), q = NewColumn(size),
         y = NewColumn(size);
  if (n > 0 && (!w || !x || !q || !y)) return false;
  const unsigned int count = static_cast<unsigned int>(n);
  if (!file.Read(w.get(), count) || !file.Read(x.get(), count) ||
      !file.Read(q.get(), count) || !file.Read(y.get(), count)) {
    return false;
  }
  weight_.swap(w);
  x_.swap(x);
  q_.swap(q);
  y_.swap(y);
  count_ = n;
  return true;
}

}  // namespace pemar
