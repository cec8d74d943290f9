// Replaces the global nothrow allocation functions for the whole test
// program. On ELF platforms the library's nothrow allocations bind to these
// too, so a test can make the N-th of them fail.

#include <atomic>
#include <new>

#include "kxlcac.hpp"
#include "kxltest.hpp"

namespace {

std::atomic<long> allocations{0};
std::atomic<long> failAt{0};  // 0: none
std::atomic<bool> failAfter{false};
std::atomic<long> failures{0};

bool nextAllocationFails() {
  const long number = allocations.fetch_add(1) + 1;
  const long target = failAt.load();
  if (target == 0) return false;
  if (number == target || (failAfter.load() && number > target)) {
    failures.fetch_add(1);
    return true;
  }
  return false;
}

}  // namespace

void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  if (nextAllocationFails()) return nullptr;
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  if (nextAllocationFails()) return nullptr;
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

void operator delete(void *pointer, const std::nothrow_t &) noexcept { ::operator delete(pointer); }

void operator delete[](void *pointer, const std::nothrow_t &) noexcept {
  ::operator delete[](pointer);
}

namespace kxltest {

AllocationFailure::AllocationFailure(long nth, bool andAfter) {
  failures.store(0);
  failAfter.store(andAfter);
  failAt.store(allocations.load() + nth);
}

AllocationFailure::~AllocationFailure() {
  failAt.store(0);
  failAfter.store(false);
}

long AllocationFailure::failed() const { return failures.load(); }

AllocationCounter::AllocationCounter() : start_(allocations.load()) {}

long AllocationCounter::count() const { return allocations.load() - start_; }

}  // namespace kxltest

namespace kxltest {

// The library's buffers come from the nothrow allocation; where its calls
// bind to the replacements above, growing a cache is counted here.
bool allocationFailureWorks() {
  static const bool works = [] {
    AllocationCounter counter;
    KxlCac cache;
    cache.resizeBuffer(16);
    return counter.count() > 0;
  }();
  return works;
}

}  // namespace kxltest
