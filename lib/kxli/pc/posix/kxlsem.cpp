// KxlSem on a recursive mutex.

#include "kxlsem.hpp"

#include <mutex>
#include <new>

namespace {

using PlatformLock = std::recursive_mutex;

PlatformLock &platformLock(unsigned char *storage) {
  return *std::launder(reinterpret_cast<PlatformLock *>(storage));
}

}  // namespace

KxlSem::KxlSem() {
  static_assert(sizeof(PlatformLock) <= sizeof(platformLock_), "lock storage too small");
  static_assert(alignof(PlatformLock) <= 8, "lock storage misaligned");
  new (platformLock_) PlatformLock();
}

KxlSem::~KxlSem() { platformLock(platformLock_).~PlatformLock(); }

bool KxlSem::lock() {
  platformLock(platformLock_).lock();
  return true;
}

bool KxlSem::unlock() {
  platformLock(platformLock_).unlock();
  return true;
}
