// The one way kxli obtains the storage whose lack it reports as "storage
// not available" (internal to kxli): the nothrow forms of the global
// operator new, each asked first of the common-services layer, whose
// allocation check (xcsSetAllocationCheck) may refuse it. So a program can
// make any of these allocations fail, whichever allocator the library is
// bound to (a Windows DLL binds its own), and see what the library then
// does; with no check installed the question is one inline load.
#ifndef KXLI_KXLNEW_HPP_
#define KXLI_KXLNEW_HPP_

#include <cstddef>
#include <new>

#include "kxecs.h"

// True when the installed allocation check refuses `size` bytes.
inline bool kxlAllocationRefused(std::size_t size) {
  return (xcsListeningNow() & XCS_LISTENING_ALLOCATION) != 0 && xcsAllocationRefused(size) != 0;
}

// `count` objects of T, default-initialised (bytes left unset); null when
// refused or when storage runs out.
template <class T>
T *kxlNewArray(std::size_t count) {
  if (kxlAllocationRefused(count * sizeof(T))) return nullptr;
  return new (std::nothrow) T[count];
}

// `count` objects of T, value-initialised (zero bytes); null as above.
template <class T>
T *kxlNewZeroedArray(std::size_t count) {
  if (kxlAllocationRefused(count * sizeof(T))) return nullptr;
  return new (std::nothrow) T[count]();
}

// One default-constructed T; null as above.
template <class T>
T *kxlNewObject() {
  if (kxlAllocationRefused(sizeof(T))) return nullptr;
  return new (std::nothrow) T;
}

#endif  // KXLI_KXLNEW_HPP_
