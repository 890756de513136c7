// Recalls arbitrary bytes as a stored simple table. A failed recall must
// leave the table as it was; a successful one must store and recall again to
// the same rows.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/numerics/SimpleTable.h"

namespace {

// The input and the re-stored copy live in memory, not on the disk.
constexpr char kIn[] = "in.bin";
constexpr char kOut[] = "out.bin";

// Bit equality, so that NaN cells compare equal to themselves.
bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameRows(const pemar::PemarSimpleTable& a,
              const pemar::PemarSimpleTable& b) {
  if (a.GetNumberOfPoints() != b.GetNumberOfPoints()) return false;
  for (int i = 0; i < a.GetNumberOfPoints(); ++i) {
    if (!SameBits(a.GetWeight(i), b.GetWeight(i)) ||
        !SameBits(a.GetX(i), b.GetX(i)) || !SameBits(a.GetQ(i), b.GetQ(i)) ||
        !SameBits(a.GetY(i), b.GetY(i))) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  fs.SetFile(kIn, std::string(reinterpret_cast<const char*>(data), size));
  pemar::PemarSimpleTable table;
  table.SetX(1, 2.5);
  const pemar::PemarSimpleTable before(table);
  bool recalled;
  {
    pemar::BinaryFile file{pemar::Text(kIn)};
    if (!file.Open()) return 0;
    recalled = table.RecallClassData(file);
  }
  if (!recalled) {
    if (!SameRows(table, before)) std::abort();
    return 0;
  }

  {
    pemar::BinaryFile file{pemar::Text(kOut)};
    if (!file.Create() || !table.StoreClassData(file) || !file.Close()) {
      return 0;
    }
  }
  pemar::PemarSimpleTable again;
  {
    pemar::BinaryFile file{pemar::Text(kOut)};
    if (!file.Open() || !again.RecallClassData(file)) std::abort();
  }
  if (!SameRows(table, again)) std::abort();

  table.SortOnX();
  table.AnyEmpty(true);
  table.SetY(table.GetNumberOfPoints(), 1.0);
  return 0;
}
