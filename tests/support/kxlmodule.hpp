// Loading and unloading shared libraries (DLLs on Windows) from a test, so
// that a test can watch what a library does when it is loaded and unloaded.
#ifndef KXLI_TESTS_KXLMODULE_HPP_
#define KXLI_TESTS_KXLMODULE_HPP_

#include <string>

namespace kxltest {

// A library loaded for the lifetime of the object (or until unload()).
class LoadedModule {
 public:
  // Loads `file`; check loaded() and error().
  explicit LoadedModule(const std::string &file);
  ~LoadedModule();
  LoadedModule(const LoadedModule &) = delete;
  LoadedModule &operator=(const LoadedModule &) = delete;

  bool loaded() const { return handle_ != nullptr; }
  // The platform's explanation of the last failure.
  const std::string &error() const { return error_; }
  // The address of the exported entry `name`, or null.
  void *find(const char *name);
  // Gives up this object's reference; true when the platform accepted it.
  bool unload();

 private:
  void *handle_;
  std::string error_;
};

// The handle of the library `file` if it is already loaded, without keeping
// a reference to it; null when it is not loaded.
void *loadedModuleHandle(const std::string &file);

}  // namespace kxltest

#endif  // KXLI_TESTS_KXLMODULE_HPP_
