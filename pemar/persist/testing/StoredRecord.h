// Moved to tests/support/StoredRecord.h, with the other byte-table helpers that
// every subsystem's tests share; this name stays for tests not yet moved.
#include "tests/support/StoredRecord.h"
