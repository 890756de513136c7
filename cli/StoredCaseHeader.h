// The header of a case file as the file holds it, for the commands that show
// it: the library's description of case files (StoredCaseHeader and
// ReadStoredCaseHeader in pemar/case/CaseFileDump.h).

#ifndef PEMAR_CLI_STOREDCASEHEADER_H_
#define PEMAR_CLI_STOREDCASEHEADER_H_

#include "pemar/case/CaseFileDump.h"

#endif  // PEMAR_CLI_STOREDCASEHEADER_H_
