// The fuzz targets' input as a stream of choices, and their shared checks.
#ifndef KXLI_FUZZ_FUZZ_SUPPORT_HPP_
#define KXLI_FUZZ_FUZZ_SUPPORT_HPP_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "kxli.hpp"

namespace kxlfuzz {

[[noreturn]] void broken(const char *file, int line, const char *property);

#define KXLFUZZ_REQUIRE(property) \
  ((property) ? static_cast<void>(0) : ::kxlfuzz::broken(__FILE__, __LINE__, #property))

// The fuzzer's input read front to back; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }
  std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
  std::uint32_t int32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | byte();
    return value;
  }
  std::string bytes(std::size_t count) {
    count = std::min(count, size_ - position_);
    position_ += count;
    return std::string(reinterpret_cast<const char *>(data_ + position_ - count), count);
  }
  // Mostly below 512, sometimes any 16 bits or within 16 of SIZE_MAX.
  std::size_t size() {
    const std::uint8_t choice = byte();
    if (choice < 0x80) return static_cast<std::size_t>(choice & 0x7f) << 2 | (byte() & 3);
    if (choice < 0xc0) return static_cast<std::size_t>(byte()) << 8 | byte();
    return SIZE_MAX - (choice & 0x0f);
  }
  // Up to `limit` bytes (an input byte gives the count), cut at a null.
  std::string text(std::size_t limit = 255) {
    const std::string chosen = bytes(std::min<std::size_t>(byte(), limit));
    return chosen.substr(0, std::strlen(chosen.c_str()));
  }

 private:
  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

inline std::string textOf(const KxlStr &string) {
  const char *text = string;
  return text != nullptr ? std::string(text) : std::string();
}

inline void checkString(const KxlStr &string) {
  const char *text = string;
  KXLFUZZ_REQUIRE((string.storage() == 0) == (text == nullptr));
  if (text == nullptr) return KXLFUZZ_REQUIRE(string.length() == 0);
  KXLFUZZ_REQUIRE(std::memchr(text, '\0', string.storage()) != nullptr);
  KXLFUZZ_REQUIRE(string.length() == std::strlen(text));
  KXLFUZZ_REQUIRE(string.length() < string.storage());
}

inline void checkCache(const KxlCac &cache) {
  KXLFUZZ_REQUIRE(cache.dataOffset() <= cache.messageLength());
  KXLFUZZ_REQUIRE(cache.messageLength() <= cache.bufferLength());
  KXLFUZZ_REQUIRE((cache.bufferLength() == 0) == (cache.bufferPointer() == nullptr));
  KXLFUZZ_REQUIRE(cache.dataLength() == cache.messageLength() - cache.dataOffset());
}

// Each target's body, run on every input by the fuzzer's entry point (fuzz_support.cpp).
void run(Input &input);

template <class Session>
void runSession(Input &input, int maxSteps) {
  Session session(input);
  for (int steps = 0; steps < maxSteps && !input.empty(); ++steps) session.step();
}

}  // namespace kxlfuzz

#endif  // KXLI_FUZZ_FUZZ_SUPPORT_HPP_
