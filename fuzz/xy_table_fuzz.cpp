// Recalls arbitrary bytes as a stored x-y table. A failed recall must leave
// the table as it was; a successful one must hold consistent sizes and
// store and recall again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Types.h"
#include "pemar/numerics/XYTable.h"

namespace {

// The input and the re-stored copy live in memory, not on the disk.
constexpr char kIn[] = "in.bin";
constexpr char kOut[] = "out.bin";

bool StoreTo(const std::string& path, const pemar::XYTableClass& table) {
  pemar::BinaryFile file(path.c_str(), "");
  if (!file.Create()) return false;
  bool ok = table.StoreClassData(file);
  return file.Close() && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  fs.SetFile(kIn, std::string(reinterpret_cast<const char*>(data), size));
  pemar::XYTableClass table(2, 3);
  const double seed[2] = {1.0, 2.0};
  table.InputData(0, 2, seed, pemar::kEmptyMarker);
  bool recalled;
  {
    pemar::BinaryFile file{pemar::Text(kIn)};
    if (!file.Open()) return 0;
    recalled = table.RecallClassData(file);
  }
  if (!recalled) {
    if (table.NumbPoint() != 1 || table.NumbColumns() != 2 ||
        table.Capacity() != 3 || *table.Value(0, 1) != 2.0) {
      std::abort();
    }
    return 0;
  }
  if (table.NumbPoint() < 0 || table.NumbPoint() > table.Capacity() ||
      table.NumbColumns() < 0) {
    std::abort();
  }
  // Every point and every cell is reachable.
  for (int i = 0; i < table.NumbPoint(); ++i) {
    for (int j = 0; j < table.NumbColumns(); ++j) {
      volatile double v = *table.Value(i, j);
      (void)v;
    }
  }

  if (!StoreTo(kOut, table)) return 0;
  std::string first = fs.GetFile(kOut);
  pemar::XYTableClass again;
  {
    pemar::BinaryFile file{pemar::Text(kOut)};
    if (!file.Open() || !again.RecallClassData(file)) std::abort();
  }
  if (!StoreTo(kOut, again) || fs.GetFile(kOut) != first) std::abort();

  // Operations on what the file made must stay in bounds.
  pemar::XYTableClass copy(again);
  copy.InsertDataFrom(again, 0, true);
  if (copy.NumbColumns() > 0 && copy.NumbColumns() <= 8) {
    double row[8] = {0};
    copy.InputData(0, copy.NumbColumns(), row, pemar::kEmptyMarker);
  }
  return 0;
}
