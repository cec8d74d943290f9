// The DLL entry point: process attach and detach go to KxlLibraryMain with
// the module handle Windows gives, and the clean-up chain looks its names
// up with GetProcAddress on that handle.

#include "kxlmain.hpp"

#include <windows.h>

#include "kxllib.hpp"

// Called by the C runtime's DLL start-up after it has constructed the
// library's static objects (and, at unload, before it destroys them).
// Thread attach and detach need nothing.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    KxlLibraryMain(instance, KXL_PROCESS_ATTACH);
  } else if (reason == DLL_PROCESS_DETACH) {
    KxlLibraryMain(instance, KXL_PROCESS_DETACH);
  }
  return TRUE;
}

// GetProcAddress hands every entry out as a FARPROC; the clean-up entries
// take no arguments and return nothing, so the address is converted back to
// that type (a conversion between function pointer types, exact on the
// round trip).
KxlCleanUpEntry kxlFindExport(void *module, const char *name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<KxlCleanUpEntry>(GetProcAddress(static_cast<HMODULE>(module), name));
}
