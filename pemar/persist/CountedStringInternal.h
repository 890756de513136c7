// The counted string record for the library's own records that put a
// presence flag of their own in front of it. Not part of the exported
// interface.

#ifndef PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_
#define PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_

#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::persist_internal {

// Writes unsigned char 1 followed by WriteCVString's record of `text`: the
// same bytes as the two writes, in one call for a short text. False at the
// first failed write.
unsigned char WriteFlaggedCVString(IPemarBinaryFile* file,
                                   const CVString& text);

}  // namespace pemar::persist_internal

#endif  // PEMAR_PERSIST_COUNTEDSTRINGINTERNAL_H_
