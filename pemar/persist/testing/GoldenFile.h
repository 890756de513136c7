// Moved to tests/support/GoldenFile.h, with the other byte-table helpers that
// every subsystem's tests share; this name stays for tests not yet moved.
#include "tests/support/GoldenFile.h"
