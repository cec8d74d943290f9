#include "kxlmodule.hpp"

#ifdef _WIN32

#include <windows.h>

namespace kxltest {

void *loadModule(const std::string &file) { return LoadLibraryA(file.c_str()); }

void *moduleEntry(void *module, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool unloadModule(void *module) { return FreeLibrary(static_cast<HMODULE>(module)) != 0; }

std::string moduleError() { return "Windows error " + std::to_string(GetLastError()); }

void *loadedModuleHandle(const std::string &file) { return GetModuleHandleA(file.c_str()); }

}  // namespace kxltest

#else

#include <dlfcn.h>

namespace kxltest {

void *loadModule(const std::string &file) { return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); }

void *moduleEntry(void *module, const char *name) { return dlsym(module, name); }

bool unloadModule(void *module) { return dlclose(module) == 0; }

std::string moduleError() {
  const char *text = dlerror();
  return text != nullptr ? text : "unknown dynamic loader error";
}

// dlopen with RTLD_NOLOAD takes a reference only when the library is
// loaded; it is given back at once.
void *loadedModuleHandle(const std::string &file) {
  void *handle = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

}  // namespace kxltest

#endif
