// The idioms by which kxli reads and writes fixed-width record fields
// (internal to kxli): text fields through KxlStr, binary fields from a
// KxlBin or a byte pointer, and 32-bit integers in raw bytes.
#ifndef KXLI_KXLFLD_HPP_
#define KXLI_KXLFLD_HPP_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kxlbin.hpp"
#include "kxlstr.hpp"

// The encoding every record is written in and the only one a header or
// trigger is read in: integers in little-endian order.
inline constexpr long kKxlNativeEncoding = 546;

// The field's bytes up to its first null byte (at most `width`), with
// trailing blanks removed when `stripBlanks`.
inline KxlStr kxlFieldText(const char *field, std::size_t width, bool stripBlanks) {
  KxlStr text;
  text.set(field, width);
  if (stripBlanks) text.stripTrailing(' ');
  return text;
}

// At most `width` characters of `text`, the rest `pad`; a cut text leaves
// its warning in the string class's error record.
inline void kxlSetFieldText(char *field, std::size_t width, const char *text, char pad) {
  KxlStr::copy(field, width, text, pad);
}

// A binary field of `width` bytes as a byte string.
inline KxlBin kxlFieldBytes(const unsigned char *field, std::size_t width) {
  return KxlBin(field, width);
}

// Copies a byte string of exactly `width` bytes into the field, or zeroes
// the field for an empty one. False for any other length, the field
// unchanged; the caller reports 6111.
inline bool kxlSetFieldBytes(unsigned char *field, std::size_t width, const KxlBin &value) {
  if (value.dataLength() == width) {
    std::memcpy(field, value.dataPointer(), width);
    return true;
  }
  if (value.dataLength() == 0) {
    std::memset(field, 0, width);
    return true;
  }
  return false;
}

// Copies `width` bytes from `bytes`, or zeroes the field for a null pointer.
inline void kxlSetFieldBytes(unsigned char *field, std::size_t width, const unsigned char *bytes) {
  if (bytes == nullptr) {
    std::memset(field, 0, width);
  } else {
    std::memcpy(field, bytes, width);
  }
}

// 32-bit integers at any byte position.
inline std::int32_t kxlGetInt32(const void *bytes) {
  std::int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

inline void kxlPutInt32(void *bytes, std::int32_t value) {
  std::memcpy(bytes, &value, sizeof value);
}

#endif  // KXLI_KXLFLD_HPP_
