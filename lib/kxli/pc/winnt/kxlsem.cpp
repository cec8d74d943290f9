// KxlSem on a critical section.

#include "kxlsem.hpp"

#include <windows.h>

#include <new>

namespace {

CRITICAL_SECTION *criticalSection(unsigned char *storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION *>(storage));
}

}  // namespace

KxlSem::KxlSem() {
  static_assert(sizeof(CRITICAL_SECTION) <= sizeof(platformLock_), "lock storage too small");
  static_assert(alignof(CRITICAL_SECTION) <= 8, "lock storage misaligned");
  InitializeCriticalSection(new (platformLock_) CRITICAL_SECTION);
}

KxlSem::~KxlSem() { DeleteCriticalSection(criticalSection(platformLock_)); }

bool KxlSem::lock() {
  EnterCriticalSection(criticalSection(platformLock_));
  return true;
}

bool KxlSem::unlock() {
  LeaveCriticalSection(criticalSection(platformLock_));
  return true;
}
