// Load and unload notifications for an ELF shared object: a constructor and
// a destructor call KxlLibraryMain with this library's own handle, and the
// clean-up chain looks its names up with dlsym.

#include "kxlmain.hpp"

#include <dlfcn.h>

#include "kxllib.hpp"

namespace {

// The handle of this very library, found at load from the address of one of
// its own functions. The extra reference dlopen takes is given back at
// once, so the handle names the library without keeping it loaded.
void *ownHandle() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void *>(&KxlLibraryMain), &info) == 0) return nullptr;
  void *handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

void *module = nullptr;

__attribute__((constructor)) void onLoad() {
  module = ownHandle();
  KxlLibraryMain(module, KXL_PROCESS_ATTACH);
}

__attribute__((destructor)) void onUnload() { KxlLibraryMain(module, KXL_PROCESS_DETACH); }

}  // namespace

KxlCleanUpEntry kxlFindExport(void *module, const char *name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<KxlCleanUpEntry>(dlsym(module, name));
}
