// Shared by the kxli fuzz targets: the input read as a stream of choices,
// and the checks that end a run as a finding when a property breaks.
#ifndef KXLI_FUZZ_FUZZ_SUPPORT_HPP_
#define KXLI_FUZZ_FUZZ_SUPPORT_HPP_

#include <cstddef>
#include <cstdint>
#include <string>

#include "kxlcac.hpp"
#include "kxlstr.hpp"

namespace kxlfuzz {

// Ends the run as a finding, naming the broken property.
[[noreturn]] void broken(const char *file, int line, const char *property);

#define KXLFUZZ_REQUIRE(property) \
  ((property) ? static_cast<void>(0) : ::kxlfuzz::broken(__FILE__, __LINE__, #property))

// The fuzzer's input read front to back; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }
  std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
  std::uint32_t int32();
  std::string bytes(std::size_t count);  // up to `count` bytes, as they stand
  std::string rest() { return bytes(size_ - position_); }
  // A size: mostly below 512, sometimes any 16 bits, sometimes within 16 of
  // the top of size_t (where sums wrap and allocations cannot succeed).
  std::size_t size();
  // A text of up to `limit` bytes (an input byte gives its length), cut at
  // its first null byte.
  std::string text(std::size_t limit = 255);

 private:
  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Storage 0 exactly for the null string, a null byte within the storage,
// length below storage.
void checkString(const KxlStr &string);
// data offset <= message length <= buffer length, and a buffer exactly when
// the buffer length is not 0 (length 0 makes the cache automatic).
void checkCache(const KxlCac &cache);
// The text of a string, empty for a null string.
std::string textOf(const KxlStr &string);

// A target whose input drives a Session (made from the Input) through at
// most `maxSteps` calls of step(); its destructor may check what is left.
template <class Session>
int runSession(const std::uint8_t *data, std::size_t size, int maxSteps) {
  Input input(data, size);
  Session session(input);
  for (int steps = 0; steps < maxSteps && !input.empty(); ++steps) session.step();
  return 0;
}

}  // namespace kxlfuzz

#endif  // KXLI_FUZZ_FUZZ_SUPPORT_HPP_
