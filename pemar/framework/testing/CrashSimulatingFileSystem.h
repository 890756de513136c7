// The crash-simulating file system now lives beside the other file systems;
// this name stays for tests that still include it here.
#ifndef PEMAR_FRAMEWORK_TESTING_CRASHSIMULATINGFILESYSTEM_H_
#define PEMAR_FRAMEWORK_TESTING_CRASHSIMULATINGFILESYSTEM_H_
#include "pemar/framework/CrashSimulatingFileSystem.h"
namespace pemar::test_support {
using ::pemar::CrashSimulatingFileSystem;
}  // namespace pemar::test_support
#endif  // PEMAR_FRAMEWORK_TESTING_CRASHSIMULATINGFILESYSTEM_H_
