#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>

// Impossible allocations give null, so the library's own refusals run (the
// runtimes find these by default visibility: fuzz/CMakeLists.txt).
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char *__tsan_default_options() { return "allocator_may_return_null=1"; }

void kxlfuzz::broken(const char *file, int line, const char *property) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kxlfuzz::Input input(data, size);
  kxlfuzz::run(input);
  return 0;
}
