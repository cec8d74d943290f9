#include "kxlmodule.hpp"

// The platform's loader, behind four functions.
#ifdef _WIN32

#include <windows.h>

namespace {

std::string lastError() { return "Windows error " + std::to_string(GetLastError()); }

void *load(const std::string &file) { return LoadLibraryA(file.c_str()); }

void *entry(void *handle, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

bool release(void *handle) { return FreeLibrary(static_cast<HMODULE>(handle)) != 0; }

void *alreadyLoaded(const std::string &file) { return GetModuleHandleA(file.c_str()); }

}  // namespace

#else

#include <dlfcn.h>

namespace {

std::string lastError() {
  const char *text = dlerror();
  return text != nullptr ? text : "unknown dynamic loader error";
}

void *load(const std::string &file) { return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); }

void *entry(void *handle, const char *name) { return dlsym(handle, name); }

bool release(void *handle) { return dlclose(handle) == 0; }

// dlopen with RTLD_NOLOAD takes a reference only when the library is
// loaded; it is given back at once.
void *alreadyLoaded(const std::string &file) {
  void *handle = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

}  // namespace

#endif

namespace kxltest {

LoadedModule::LoadedModule(const std::string &file) : handle_(load(file)) {
  if (handle_ == nullptr) error_ = "cannot load " + file + ": " + lastError();
}

LoadedModule::~LoadedModule() { unload(); }

void *LoadedModule::find(const char *name) {
  if (handle_ == nullptr) return nullptr;
  void *address = entry(handle_, name);
  if (address == nullptr) error_ = std::string("no entry ") + name + ": " + lastError();
  return address;
}

bool LoadedModule::unload() {
  if (handle_ == nullptr) return false;
  const bool released = release(handle_);
  if (!released) error_ = "cannot unload: " + lastError();
  handle_ = nullptr;
  return released;
}

void *loadedModuleHandle(const std::string &file) { return alreadyLoaded(file); }

}  // namespace kxltest
