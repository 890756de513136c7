#include "pemar/persist/SimulationCaseFileHeader.h"

#include <climits>
#include <cstring>

namespace pemar {

int savedCaseBuildNumber = 0;

namespace {

constexpr char kMyID[kIDStampSize + 1] = "PemarCaseV3.00K ";
constexpr char kMyOldID[kIDStampSize + 1] = "PemarCaseV1.00K ";
// Case files of the suite's other applications, which this one opens too.
constexpr const char* kOtherAcceptedIDs[] = {
    "PemarCaseFrakto ",
    "PemarCasePlexa  ",
    "PemarCaseMolara ",
};

bool SameStamp(const char* a, const char* b) {
  return std::memcmp(a, b, kIDStampSize) == 0;
}

}  // namespace

SimulationCaseFileHeader::~SimulationCaseFileHeader() = default;

void SimulationCaseFileHeader::GetIDStamp(char* stamp) {
  std::memcpy(stamp, kMyID, kIDStampSize);
}

void SimulationCaseFileHeader::GetOldIDStamp(char* stamp) {
  std::memcpy(stamp, kMyOldID, kIDStampSize);
}

unsigned char SimulationCaseFileHeader::CheckIDStamp(char* found,
                                                     char* expected) {
  if (found == nullptr) return 0;
  if (expected != nullptr && SameStamp(found, expected)) return 1;
  if (SameStamp(found, kMyOldID)) return 1;
  for (const char* accepted : kOtherAcceptedIDs) {
    if (SameStamp(found, accepted)) return 1;
  }
  return 0;
}

unsigned char SimulationCaseFileHeader::Recall(BinaryFile& file,
                                               unsigned char flag) {
  unsigned char result = PackedBinaryFileHeader::Recall(file, flag);
  long build = BuildNumber();
  // The stored number is 32 bits; the clamp only matters where long is wider.
  if (build > INT_MAX) build = INT_MAX;
  if (build < INT_MIN) build = INT_MIN;
  savedCaseBuildNumber = static_cast<int>(build);
  return result;
}

}  // namespace pemar
