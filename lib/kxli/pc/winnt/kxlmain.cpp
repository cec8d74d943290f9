// The DLL entry point: process attach and detach go to KxlLibraryMain with
// the module handle Windows gives, and the clean-up chain looks its names
// up with GetProcAddress on that handle.

#include "kxlmain.hpp"

#include <windows.h>

#include "kxllib.hpp"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    KxlLibraryMain(instance, KXL_PROCESS_ATTACH);
  } else if (reason == DLL_PROCESS_DETACH) {
    KxlLibraryMain(instance, KXL_PROCESS_DETACH);
  }
  return TRUE;
}

KxlCleanUpEntry kxlFindExport(void *module, const char *name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<KxlCleanUpEntry>(
      reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name)));
}
