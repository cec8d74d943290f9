#include "fuzz_support.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// Allocations the library asks for with nothrow new and cannot get (sizes
// near the top of size_t) must come back null, as they do outside the
// sanitizers, so that the library's own "storage not available" paths run.
// The sanitizer runtimes look these up in the program, so this file is
// compiled with default visibility (fuzz/CMakeLists.txt).
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char *__tsan_default_options() { return "allocator_may_return_null=1"; }

namespace kxlfuzz {

void broken(const char *file, int line, const char *property) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}

std::uint32_t Input::int32() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | byte();
  return value;
}

std::string Input::bytes(std::size_t count) {
  count = std::min(count, size_ - position_);
  position_ += count;
  return std::string(reinterpret_cast<const char *>(data_ + position_ - count), count);
}

std::size_t Input::size() {
  const std::uint8_t choice = byte();
  if (choice < 0x80) return static_cast<std::size_t>(choice & 0x7f) << 2 | (byte() & 3);
  if (choice < 0xc0) return static_cast<std::size_t>(byte()) << 8 | byte();
  return std::numeric_limits<std::size_t>::max() - (choice & 0x0f);
}

std::string Input::text(std::size_t limit) {
  const std::string chosen = bytes(std::min<std::size_t>(byte(), limit));
  return chosen.substr(0, std::strlen(chosen.c_str()));
}

void checkString(const KxlStr &string) {
  const char *text = string;
  KXLFUZZ_REQUIRE((string.storage() == 0) == (text == nullptr));
  if (text == nullptr) return KXLFUZZ_REQUIRE(string.length() == 0);
  KXLFUZZ_REQUIRE(std::memchr(text, '\0', string.storage()) != nullptr);
  KXLFUZZ_REQUIRE(string.length() == std::strlen(text));
  KXLFUZZ_REQUIRE(string.length() < string.storage());
}

void checkCache(const KxlCac &cache) {
  KXLFUZZ_REQUIRE(cache.dataOffset() <= cache.messageLength());
  KXLFUZZ_REQUIRE(cache.messageLength() <= cache.bufferLength());
  KXLFUZZ_REQUIRE((cache.bufferLength() == 0) == (cache.bufferPointer() == nullptr));
  KXLFUZZ_REQUIRE(cache.dataLength() == cache.messageLength() - cache.dataOffset());
}

std::string textOf(const KxlStr &string) {
  const char *text = string;
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace kxlfuzz
