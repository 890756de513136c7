#include "pemar/framework/testing/LargestAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace pemar::test_support {
namespace {

std::atomic<int> g_watchers{0};
std::atomic<std::size_t> g_largest{0};

}  // namespace

// Called from the global operator new below, outside this namespace.
void NoteAllocation(std::size_t n) {
  if (g_watchers.load(std::memory_order_relaxed) == 0) return;
  std::size_t seen = g_largest.load(std::memory_order_relaxed);
  while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {
  }
}

LargestAllocation::LargestAllocation() {
  g_largest = 0;
  ++g_watchers;
}

LargestAllocation::~LargestAllocation() { --g_watchers; }

std::size_t LargestAllocation::Largest() const { return g_largest.load(); }

}  // namespace pemar::test_support

// Replacing the global allocation functions lets every allocation be seen,
// including those made inside the standard library.
void* operator new(std::size_t n) {
  pemar::test_support::NoteAllocation(n);
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t n) { return ::operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The non-throwing forms too, so that every allocation and its release go
// through the same pair (the standard library's temporary buffers use them).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  pemar::test_support::NoteAllocation(n);
  return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept {
  return ::operator new(n, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
