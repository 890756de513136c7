// Reads arbitrary bytes as a file of chunked records: nested chunks, typed
// values, texts and counted strings, then scans its chunk tree the way the
// dump tool does. Any input must give false results, never a crash, a hang
// or an allocation the input cannot justify.

#include <cstddef>
#include <cstdint>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ChunkScan.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace {

// Walks the records of the innermost open chunk, descending into chunks.
void Walk(pemar::PemarBinaryFile& file, int depth) {
  for (int step = 0; step < 64; ++step) {
    pemar::ChunkHeader* h = nullptr;
    if (depth < 16 && file.OpenChunk(&h)) {
      int revision = file.Revision(h);
      if (revision % 2 == 0) {
        int count = 0;
        double values[4];
        pemar::Text text;
        pemar::CVString name;
        (void)(file.Read(count) && file.Read(values, 4) && file.Read(text) &&
               pemar::ReadCVString(&file, &name));
        Walk(file, depth + 1);
      } else {
        file.SkipChunkData();
      }
      file.CloseChunk(h);
    } else {
      if (h != nullptr) file.CloseChunk(h);
      char c;
      if (!file.Read(c)) return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  fs.SetFile("in.bin", std::string(reinterpret_cast<const char*>(data), size));
  {
    pemar::PemarBinaryFile file("in.bin");
    Walk(file, 0);
  }
  {
    pemar::PemarBinaryFile file("in.bin");
    pemar::CVString text;
    while (pemar::ReadCVString(&file, &text)) {
    }
  }
  pemar::ChunkScanResult result;
  pemar::ScanChunks("in.bin", &result);
  return 0;
}
