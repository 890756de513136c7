// SimulationCaseFileHeader: the header of every case file.
//
// It is the framework's document header with the case's identity stamps. A
// new case file is stamped "PemarCaseV3.00K "; a file is accepted when its
// stamp is that one, the older case stamp "PemarCaseV1.00K ", or the stamp
// of a case file of one of the suite's other applications. Stamps are 16
// characters, space-padded, with no terminator, and compared over all 16
// bytes.
//
// After every recall of a case header, successful or not, the build number
// that the header holds is published in savedCaseBuildNumber for the suite's
// other libraries (0 when not even that could be read).

#ifndef PEMAR_PERSIST_SIMULATIONCASEFILEHEADER_H_
#define PEMAR_PERSIST_SIMULATIONCASEFILEHEADER_H_

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/PackedBinaryFileHeader.h"

namespace pemar {

// The build number of the last case file whose header was recalled; 0 until
// the first recall. Process-wide; not synchronised.
PEMAR_EXPORT extern int savedCaseBuildNumber;

// The file structure revision that a new or successfully recalled case
// carries.
inline constexpr unsigned char kCaseFileStructureRevision = 8;
// Case files from this structure revision on hold the engineering objects'
// chunk after the header; from the next one on, a 32-bit 0 precedes it.
inline constexpr unsigned char kFirstRevisionWithEngineering = 7;
inline constexpr unsigned char kFirstRevisionWithZero = 8;

class PEMAR_EXPORT SimulationCaseFileHeader : public PackedBinaryFileHeader {
 public:
  SimulationCaseFileHeader() = default;
  ~SimulationCaseFileHeader() override;

  // Copies the 16 characters of "PemarCaseV3.00K " into `stamp` (no
  // terminator is added; the buffer must hold 16 bytes).
  void GetIDStamp(char* stamp) override;
  // True when the 16 bytes found equal the 16 bytes expected, or equal one of
  // the other accepted stamps. Both buffers hold 16 bytes.
  unsigned char CheckIDStamp(char* found, char* expected) override;
  // The framework header's recall; then publishes the header's build number
  // in savedCaseBuildNumber, whatever the result.
  unsigned char Recall(BinaryFile& file, unsigned char flag) override;

  // Copies the 16 characters of the older stamp "PemarCaseV1.00K ".
  void GetOldIDStamp(char* stamp);
};

}  // namespace pemar

#endif  // PEMAR_PERSIST_SIMULATIONCASEFILEHEADER_H_
