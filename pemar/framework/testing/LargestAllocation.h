// Test support: watches the size of the largest single allocation made
// through operator new while a LargestAllocation is alive, so that tests can
// prove a damaged length in a file did not make the reader allocate it.

#ifndef PEMAR_FRAMEWORK_TESTING_LARGESTALLOCATION_H_
#define PEMAR_FRAMEWORK_TESTING_LARGESTALLOCATION_H_

#include <cstddef>

namespace pemar::test_support {

class LargestAllocation {
 public:
  LargestAllocation();
  ~LargestAllocation();
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;

  // The largest single allocation, in bytes, since construction.
  std::size_t Largest() const;
};

// Records one allocation of n bytes; used by the replaced operator new.
void NoteAllocation(std::size_t n);

}  // namespace pemar::test_support

#endif  // PEMAR_FRAMEWORK_TESTING_LARGESTALLOCATION_H_
