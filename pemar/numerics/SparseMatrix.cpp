#include "pemar/numerics/SparseMatrix.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace pemar {
namespace {

int NonNegative(int v) { return v < 0 ? 0 : v; }

std::size_t TableSlots(int rows) { return 2 * static_cast<std::size_t>(rows); }

}  // namespace

PemarSparseMatrix::PemarSparseMatrix() : PemarSparseMatrix(8, 8) {}

PemarSparseMatrix::PemarSparseMatrix(int n) : PemarSparseMatrix(n, n) {}

PemarSparseMatrix::PemarSparseMatrix(int r, int c)
    : rows_(NonNegative(r)),
      columns_(NonNegative(c)),
      table_(TableSlots(rows_)) {}

PemarSparseMatrix::PemarSparseMatrix(const PemarSparseMatrix& other)
    : rows_(other.rows_),
      columns_(other.columns_),
      table_(other.table_.size()) {
  for (std::size_t i = 0; i < other.table_.size(); ++i) {
    if (other.table_[i]) table_[i] = std::make_unique<Row>(*other.table_[i]);
  }
}

PemarSparseMatrix& PemarSparseMatrix::operator=(
    const PemarSparseMatrix& other) {
  if (this != &other) {
    PemarSparseMatrix copy(other);
    rows_ = copy.rows_;
    columns_ = copy.columns_;
    table_.swap(copy.table_);
  }
  return *this;
}

PemarSparseMatrix::~PemarSparseMatrix() = default;

void PemarSparseMatrix::Resize() { Resize(8, 8); }

void PemarSparseMatrix::Resize(int n) { Resize(n, n); }

void PemarSparseMatrix::Resize(int r, int c) {
  rows_ = NonNegative(r);
  columns_ = NonNegative(c);
  std::vector<std::unique_ptr<Row>> table(TableSlots(rows_));
  table_.swap(table);
}

int PemarSparseMatrix::SetElement(int row, int col, const double& v) {
  if (row < 0 || row >= rows_) return 0;
  auto& slot = table_[row];
  if (!slot) slot = std::make_unique<Row>();
  (*slot)[col] = v;
  return 1;
}

double PemarSparseMatrix::GetElement(int row, int col) const {
  // Rows outside the matrix read as empty rather than outside the table.
  if (row < 0 || row >= rows_) return 0.0;
  const auto& slot = table_[row];
  if (!slot) return 0.0;
  auto it = slot->find(col);
  return it == slot->end() ? 0.0 : it->second;
}

int PemarSparseMatrix::GetElement(int row, int col, double& v) const {
  v = 0.0;
  if (row < 0 || col < 0 || row >= rows_ || col >= columns_) return 0;
  v = GetElement(row, col);
  return 1;
}

int PemarSparseMatrix::GetRow(int row, double* out) const {
  if (row < 0 || row >= rows_) return 0;
  if (out == nullptr) return 0;
  for (int j = 0; j < columns_; ++j) out[j] = 0.0;
  if (const auto& slot = table_[row]) {
    for (const auto& [col, value] : *slot) {
      if (col >= 0 && col < columns_) out[col] = value;
    }
  }
  return 1;
}

void PemarSparseMatrix::IncrementRow() {
  if (rows_ == INT_MAX) return;
  ++rows_;
  if (static_cast<std::size_t>(rows_) > table_.size()) {
    table_.resize(TableSlots(rows_));
  }
}

void PemarSparseMatrix::IncrementColumn() {
  if (columns_ < INT_MAX) ++columns_;
}

void PemarSparseMatrix::AppendMatrix(const PemarSparseMatrix* other) {
  if (other == nullptr) return;
  const int r2 = other->rows_;
  const int c2 = other->columns_;
  const std::int64_t rows = static_cast<std::int64_t>(rows_) + r2;
  const std::int64_t columns = static_cast<std::int64_t>(columns_) + c2;
  if (rows > INT_MAX || columns > INT_MAX) return;

  // The other matrix is read whole, shifted, before anything of this one
  // changes, so appending a matrix to itself reads a stable copy. A column
  // key that the shift would carry past the int range refuses the append.
  std::vector<std::unique_ptr<Row>> block(r2);
  for (int j = 0; j < r2; ++j) {
    const auto& src = other->table_[j];
    if (!src) continue;
    if (!src->empty() &&
        static_cast<std::int64_t>(src->rbegin()->first) + columns_ > INT_MAX) {
      return;
    }
    auto row = std::make_unique<Row>();
    for (const auto& [col, value] : *src) {
      row->emplace_hint(row->end(), col + columns_, value);
    }
    block[j] = std::move(row);
  }

  std::vector<std::unique_ptr<Row>> table(TableSlots(static_cast<int>(rows)));
  for (int i = 0; i < rows_; ++i) table[i] = std::move(table_[i]);
  for (int j = 0; j < r2; ++j) table[rows_ + j] = std::move(block[j]);
  table_.swap(table);
  rows_ = static_cast<int>(rows);
  columns_ = static_cast<int>(columns);
}

int PemarSparseMatrix::GetNumberOfNonZeroElements() const {
  std::int64_t count = 0;
  for (int i = 0; i < rows_; ++i) {
    if (table_[i]) count += static_cast<std::int64_t>(table_[i]->size());
  }
  return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}

const std::pair<const int, double>* PemarSparseMatrix::Find(int i,
                                                            int* row) const {
  if (i < 0) return nullptr;
  std::size_t left = static_cast<std::size_t>(i);
  for (int r = 0; r < rows_; ++r) {
    const auto& slot = table_[r];
    if (!slot) continue;
    if (left < slot->size()) {
      auto it = slot->begin();
      std::advance(it, static_cast<std::ptrdiff_t>(left));
      *row = r;
      return &*it;
    }
    left -= slot->size();
  }
  return nullptr;
}

bool PemarSparseMatrix::GetIthNonZeroRow(int i, int& row) const {
  int r;
  if (Find(i, &r) == nullptr) return false;
  row = r;
  return true;
}

bool PemarSparseMatrix::GetIthNonZeroColumn(int i, int& col) const {
  int r;
  const auto* entry = Find(i, &r);
  if (entry == nullptr) return false;
  col = entry->first;
  return true;
}

bool PemarSparseMatrix::GetIthNonZerothValue(int i, double& v) const {
  int r;
  const auto* entry = Find(i, &r);
  if (entry == nullptr) return false;
  v = entry->second;
  return true;
}

void PemarSparseMatrix::GetNonZeroValues(int* row_idx, int* col_idx,
                                         double* vals) const {
  std::size_t k = 0;
  for (int r = 0; r < rows_; ++r) {
    const auto& slot = table_[r];
    if (!slot) continue;
    for (const auto& [col, value] : *slot) {
      if (row_idx) row_idx[k] = r;
      if (col_idx) col_idx[k] = col;
      if (vals) vals[k] = value;
      ++k;
    }
  }
}

}  // namespace pemar
