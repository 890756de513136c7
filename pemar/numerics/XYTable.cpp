#include "pemar/numerics/XYTable.h"

#include <algorithm>
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

constexpr unsigned int kXYTableLayoutVersion = 1;

// A table without columns stores no bytes per row, and one without rows no
// bytes per column, so those counts cannot be checked against the file;
// these bound what a recall accepts (and what later growth would allocate).
constexpr int kMaxRowsWithoutColumns = 1 << 16;
constexpr int kMaxColumnsWithoutRows = 1 << 16;

}  // namespace

XYTableClass::XYTableClass() = default;

XYTableClass::XYTableClass(int columns, int capacity)
    : columns_(columns < 0 ? 0 : columns) {
  const int rows = capacity < 0 ? 0 : capacity;
  rows_.reserve(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    rows_.emplace_back(static_cast<std::size_t>(columns_), kEmptyValue);
  }
}

XYTableClass::~XYTableClass() = default;

void XYTableClass::InputData(int first_column, int count, const double* values,
                             int row) {
  if (row < 0 && row != kEmptyMarker) return;
  if (first_column < 0 || count < 0) return;
  if (static_cast<std::int64_t>(first_column) + count > columns_) return;
  if (values == nullptr && count > 0) return;

  int target;
  if (row == kEmptyMarker || row >= points_) {
    const std::int64_t points = row == kEmptyMarker
                                    ? static_cast<std::int64_t>(points_) + 1
                                    : static_cast<std::int64_t>(row) + 1;
    if (points > INT_MAX) return;
    if (points > Capacity()) {
      const std::int64_t extra =
          row == kEmptyMarker ? 10 : static_cast<std::int64_t>(row) + 11;
      const std::int64_t capacity = Capacity() + extra;
      if (capacity > INT_MAX) return;
      const int before = Capacity();
      ExpandTableSize(static_cast<int>(extra));
      if (Capacity() == before) return;  // could not be allocated
    }
    // Rows that become points start empty, whatever a spare row held (a
    // cleared table keeps its old rows as spares).
    for (int i = points_; i < points; ++i) {
      std::fill(rows_[i].begin(), rows_[i].end(), kEmptyValue);
    }
    points_ = static_cast<int>(points);
    target = points_ - 1;
  } else {
    target = row;
  }
  Row& cells = rows_[target];
  for (int j = 0; j < count; ++j) cells[first_column + j] = values[j];
}

bool XYTableClass::InputData(int row, int col, double v) {
  if (row < 0 || row >= points_ || col < 0 || col >= columns_) return false;
  rows_[row][col] = v;
  return true;
}

double* XYTableClass::Value(int row, int col) {
  return const_cast<double*>(std::as_const(*this).Value(row, col));
}

const double* XYTableClass::Value(int row, int col) const {
  if (row == kEmptyMarker) {
    return points_ > 0 ? rows_[points_ - 1].data() : nullptr;
  }
  if (row < 0 || row >= points_) return nullptr;
  if (col == kEmptyMarker) return rows_[row].data();
  if (col < 0 || col >= columns_) return nullptr;
  return &rows_[row][col];
}

void XYTableClass::NewTableSize(int columns, int rows) {
  if (columns < 0 || rows < 0) return;
  std::vector<Row> table;
  try {
    table.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
      Row cells(static_cast<std::size_t>(columns), kEmptyValue);
      if (i < points_) {
        const int keep = columns < columns_ ? columns : columns_;
        for (int j = 0; j < keep; ++j) cells[j] = rows_[i][j];
      }
      table.push_back(std::move(cells));
    }
  } catch (const std::bad_alloc&) {
    return;
  } catch (const std::length_error&) {
    return;
  }
  rows_.swap(table);
  points_ = rows;
  columns_ = columns;
}

void XYTableClass::ExpandTableSize(int extra) {
  if (extra <= 0) return;
  if (static_cast<std::int64_t>(Capacity()) + extra > INT_MAX) return;
  try {
    // Reserving first keeps the existing rows in place if the new ones
    // cannot be made.
    rows_.reserve(rows_.size() + static_cast<std::size_t>(extra));
    const Row spare(static_cast<std::size_t>(columns_), kEmptyValue);
    std::vector<Row> added(static_cast<std::size_t>(extra), spare);
    for (auto& row : added) rows_.push_back(std::move(row));
  } catch (const std::bad_alloc&) {
    // Nothing was appended: the moves above cannot fail once reserved.
  } catch (const std::length_error&) {
  }
}

bool XYTableClass::InsertDataFrom(const XYTableClass& other, int at,
                                  bool reverse) {
  if (other.columns_ != columns_) return false;
  if (other.points_ == 0) return true;
  if (at == kEmptyMarker) at = points_;
  if (at < 0 || at > points_) return false;
  const std::int64_t total = static_cast<std::int64_t>(points_) + other.points_;
  if (total > INT_MAX) return false;

  std::vector<Row> table;
  try {
    // Copies of other's points are made first, so inserting a table into
    // itself reads rows that are not being moved.
    std::vector<Row> copies(other.rows_.begin(),
                            other.rows_.begin() + other.points_);
    table.reserve(static_cast<std::size_t>(total));
    for (int i = 0; i < at; ++i) table.push_back(std::move(rows_[i]));
    if (reverse) {
      for (auto it = copies.rbegin(); it != copies.rend(); ++it) {
        table.push_back(std::move(*it));
      }
    } else {
      for (auto& row : copies) table.push_back(std::move(row));
    }
    for (int i = at; i < points_; ++i) table.push_back(std::move(rows_[i]));
  } catch (const std::bad_alloc&) {
    return false;
  }
  rows_.swap(table);
  points_ = static_cast<int>(total);
  return true;
}

bool XYTableClass::StoreClassData(BinaryFile& file) const {
  if (!file.Write(kXYTableLayoutVersion) || !file.Write(points_) ||
      !file.Write(columns_) || !file.Write(Capacity())) {
    return false;
  }
  const unsigned int count = static_cast<unsigned int>(columns_);
  for (const Row& row : rows_) {
    if (!file.Write(row.empty() ? nullptr : row.data(), count)) return false;
  }
  return true;
}

bool XYTableClass::RecallClassData(BinaryFile& file) {
  unsigned int version = 0;
  int points = 0, columns = 0, capacity = 0;
  if (!file.Read(version) || !file.Read(points) || !file.Read(columns) ||
      !file.Read(capacity)) {
    return false;
  }
  if (columns < 0 || capacity < 0 || points < 0 || points > capacity) {
    return false;
  }
  // capacity x columns doubles must still be in the file before anything is
  // allocated for them (compared by division, which cannot overflow).
  if (columns > 0) {
    const std::uint64_t row_bytes = 8 * static_cast<std::uint64_t>(columns);
    if (static_cast<std::uint64_t>(capacity) > file.Remaining() / row_bytes) {
      return false;
    }
  } else if (capacity > kMaxRowsWithoutColumns) {
    return false;
  }
  if (capacity == 0 && columns > kMaxColumnsWithoutRows) return false;

  std::vector<Row> table;
  table.reserve(static_cast<std::size_t>(capacity));
  const unsigned int count = static_cast<unsigned int>(columns);
  for (int i = 0; i < capacity; ++i) {
    Row& row = table.emplace_back(static_cast<std::size_t>(columns));
    if (!file.Read(row.empty() ? nullptr : row.data(), count)) return false;
  }
  rows_.swap(table);
  points_ = points;
  columns_ = columns;
  return true;
}

}  // namespace pemar
