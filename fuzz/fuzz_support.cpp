#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>

// Allocations the library asks for with nothrow new and cannot get (sizes
// near the top of size_t) must come back null, as they do outside the
// sanitizers, so that the library's own "storage not available" paths run.
// The sanitizer runtimes look these up in the program, so this file is
// compiled with default visibility (fuzz/CMakeLists.txt).
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char *__tsan_default_options() { return "allocator_may_return_null=1"; }

void kxlfuzz::broken(const char *file, int line, const char *property) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}
