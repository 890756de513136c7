// The counted string record for the library's own records that put a
// presence flag of their own in front of it, written and read in one go.
// Not part of the exported interface.

#ifndef PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_
#define PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_

#include <optional>

#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::persist_internal {

// Writes unsigned char 1 followed by WriteCVString's record of `text`: the
// same bytes as the two writes, in one call for a short text. False at the
// first failed write.
unsigned char WriteFlaggedCVString(IPemarBinaryFile* file,
                                   const CVString& text);

// Reads what WriteFlaggedCVString writes, or a lone unsigned char 0 for an
// absent text: flag 0 leaves *text empty (nullopt) with success; flag 1
// reads the record into it (ReadCVString's rules); any other flag, or a
// failed read, gives false and leaves *text empty.
unsigned char ReadFlaggedCVString(IPemarBinaryFile* file,
                                  std::optional<CVString>* text);

}  // namespace pemar::persist_internal

#endif  // PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_
