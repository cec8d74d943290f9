// The portable part of the library entry point: the library critical
// section and the clean-up chain. The platform files (pc/posix, pc/winnt)
// call KxlLibraryMain from their load and unload notifications.

#include "kxllib.hpp"

#include <atomic>
#include <cstdint>
#include <new>

#include "kxlmain.hpp"
#include "kxlsem.hpp"

namespace {

// The library critical section lives in static storage: it is constructed
// at attach and destroyed at detach, never allocated.
alignas(KxlSem) unsigned char criticalSectionStorage[sizeof(KxlSem)];
std::atomic<std::int32_t> criticalSectionInitialised{0};

// Entries run at detach, in this order; only those the module exports.
const char *const kCleanUpNames[] = {"KxlMgrCleanUp", "KxlQueCleanUp", "KxlStrCleanUp"};

KxlSem *criticalSection() {
  return std::launder(reinterpret_cast<KxlSem *>(criticalSectionStorage));
}

}  // namespace

KxlSem &kxlLibraryCriticalSection() { return *criticalSection(); }

extern "C" bool KxlLibraryMain(void *module, unsigned long reason) {
  if (reason == KXL_PROCESS_ATTACH) {
    if (criticalSectionInitialised.load() == 0) {
      new (criticalSectionStorage) KxlSem();
      criticalSectionInitialised.store(1);
    }
  } else if (reason == KXL_PROCESS_DETACH) {
    // The flag goes back to 0 so that a later attach in the same process
    // (a program driving the entry point itself) sets the section up again.
    if (criticalSectionInitialised.exchange(0) != 0) criticalSection()->~KxlSem();
    for (const char *name : kCleanUpNames) {
      if (KxlCleanUpEntry entry = kxlFindExport(module, name)) entry();
    }
  }
  return true;
}
