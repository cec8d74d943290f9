// KxlSem is a recursive lock: the thread that holds it may take it again.
// It wraps one platform lock object, kept inside the KxlSem itself so that
// creating a KxlSem allocates nothing.
#ifndef KXLI_KXLSEM_HPP_
#define KXLI_KXLSEM_HPP_

#include "kxlexp.hpp"

class KXL_EXPORT KxlSem {
 public:
  KxlSem();
  ~KxlSem();
  KxlSem(const KxlSem &) = delete;
  KxlSem &operator=(const KxlSem &) = delete;

  // Blocks until the lock is held by this thread; returns true.
  bool lock();
  // REQUIRES: this thread holds the lock. Returns true.
  bool unlock();

 private:
  // Room for the platform lock (a critical section or a recursive mutex).
  alignas(8) unsigned char platformLock_[64];
};

#endif  // KXLI_KXLSEM_HPP_
