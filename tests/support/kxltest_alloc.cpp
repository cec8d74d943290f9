// Counts the library's allocations that may fail, and fails the chosen
// ones, through the common-services layer's allocation check. The check is
// installed for the whole test program; it works wherever the library is
// loaded from, a Windows DLL bound to its own allocator included.

#include <atomic>
#include <cstdint>

#include "kxecs.h"
#include "kxltest.hpp"

namespace {

std::atomic<long> allocations{0};
std::atomic<long> failAt{0};  // 0: none
std::atomic<bool> failAfter{false};
std::atomic<long> failures{0};

int refuseChosen(std::uint64_t, void *) {
  const long number = allocations.fetch_add(1) + 1;
  const long target = failAt.load();
  if (target == 0) return 0;
  if (number == target || (failAfter.load() && number > target)) {
    failures.fetch_add(1);
    return 1;
  }
  return 0;
}

struct Installed {
  Installed() { xcsSetAllocationCheck(&refuseChosen, nullptr); }
} const installed;

}  // namespace

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
