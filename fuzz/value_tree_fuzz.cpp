// Reads arbitrary bytes as a stored value tree, as the report holder's recall
// does, and prints the tree as a numbered report. A tree that reads is
// stored again and read back, and must store to the same bytes a second
// time. Any input must give false results, never a crash, a hang or an
// allocation the input cannot justify.
//
// The seeds in fuzz/corpus/value_tree/ are trees stored by WriteCVValue;
// fuzz/make_value_tree_seeds.cpp writes them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/CVValue.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/reports/ReportHolder.h"

namespace {

// The bytes of `tree` stored in a file of its own.
std::string Stored(pemar::MemoryFileSystem& fs, const pemar::CVValue& tree) {
  pemar::BinaryFile out{pemar::Text("out.bin")};
  if (!out.Create() || !pemar::WriteCVValue(out, tree) || !out.Close()) {
    std::abort();  // a tree that was read must store again
  }
  return fs.GetFile("out.bin");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  fs.SetFile("in.bin", std::string(reinterpret_cast<const char*>(data), size));

  pemar::ReportHolder holder;
  pemar::BinaryFile in{pemar::Text("in.bin")};
  if (!in.Open() || !pemar::ReadCVValue(in, *holder.GetRoot())) return 0;
  holder.GetReport();
  holder.GetSectionString("Results/Targets");

  const std::string first = Stored(fs, *holder.GetRoot());
  fs.SetFile("in.bin", first);
  pemar::ReportHolder again;
  pemar::BinaryFile reread{pemar::Text("in.bin")};
  if (!reread.Open() || !pemar::ReadCVValue(reread, *again.GetRoot()) ||
      reread.Remaining() != 0 || Stored(fs, *again.GetRoot()) != first ||
      std::string(again.GetReport()) != holder.GetReport()) {
    std::abort();
  }
  return 0;
}
