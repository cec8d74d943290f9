// Loading and unloading shared libraries (DLLs on Windows) from a test, so
// that a test can watch what a library does when it is loaded and unloaded.
#ifndef KXLI_TESTS_KXLMODULE_HPP_
#define KXLI_TESTS_KXLMODULE_HPP_

#include <string>

namespace kxltest {

// Loads `file` and returns its handle, or null (moduleError() says why).
void *loadModule(const std::string &file);
// The address of the exported entry `name` of `module`, or null.
void *moduleEntry(void *module, const char *name);
// Gives up one reference to `module`; true when the platform accepted it.
bool unloadModule(void *module);
// The platform's explanation of the last failure.
std::string moduleError();

// The handle of the library `file` if it is already loaded, without keeping
// a reference to it; null when it is not loaded.
void *loadedModuleHandle(const std::string &file);

}  // namespace kxltest

#endif  // KXLI_TESTS_KXLMODULE_HPP_
