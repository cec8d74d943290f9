#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>

// Allocations that cannot succeed come back null, as outside the sanitizers,
// so that the library's "storage not available" paths run. The runtimes look
// these up: default visibility (fuzz/CMakeLists.txt).
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char *__tsan_default_options() { return "allocator_may_return_null=1"; }

void kxlfuzz::broken(const char *file, int line, const char *property) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}
