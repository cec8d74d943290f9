// The idioms by which kxli reads and writes fixed-width record fields
// (internal to kxli): text fields through KxlStr, binary fields from a
// KxlBin or a byte pointer, and 32-bit integers.
//
// A record field is handed over as the array itself, so that its width is
// the array's and cannot be given wrong. Storage whose width is known only
// at run time (a tracker value, an exit-list slot) has the pointer-and-width
// forms below them.
//
// Integers are held in the records in the machine's own order, which is
// what the native encoding (kKxlNativeEncoding, little-endian) says they
// are in. A big-endian target would write records that lie about their
// encoding, so it does not build.
#ifndef KXLI_KXLFLD_HPP_
#define KXLI_KXLFLD_HPP_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kxlbin.hpp"
#include "kxlstr.hpp"

#if !defined(__BYTE_ORDER__) || !defined(__ORDER_LITTLE_ENDIAN__)
#error "the byte order of the target must be known: records are written little-endian"
#endif
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "records are written in the little-endian native encoding");

// The bytes at `field` up to the first null byte (at most `width`), with
// trailing blanks removed when `stripBlanks`.
inline KxlStr kxlTextAt(const char *field, std::size_t width, bool stripBlanks) {
  KxlStr text;
  text.set(field, width);
  if (stripBlanks) text.stripTrailing(' ');
  return text;
}

// `width` bytes at `field` as a byte string.
inline KxlBin kxlBytesAt(const unsigned char *field, std::size_t width) {
  return KxlBin(field, width);
}

// Copies a byte string of exactly `width` bytes to `field`, or zeroes the
// field for an empty one. False for any other length, the field unchanged;
// the caller reports 6111.
inline bool kxlSetBytesAt(unsigned char *field, std::size_t width, const KxlBin &value) {
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
inline void kxlSetBytesAt(unsigned char *field, std::size_t width, const unsigned char *bytes) {
  if (bytes == nullptr) {
    std::memset(field, 0, width);
  } else {
    std::memcpy(field, bytes, width);
  }
}

// A text field: its characters up to a null byte, blanks stripped or kept.
template <std::size_t N>
KxlStr kxlGetText(const char (&field)[N], bool stripBlanks) {
  return kxlTextAt(field, N, stripBlanks);
}

// At most the field's width of `text`, the rest `pad`; a cut text leaves
// its warning in the string class's error record.
template <std::size_t N>
void kxlSetText(char (&field)[N], const char *text, char pad) {
  KxlStr::copy(field, N, text, pad);
}

// Copies `text` into a field of a caller's record under the string
// class's lock (KxlStr::copyOut); what the copy reports stays in `text`.
template <std::size_t N>
bool kxlCopyOut(KxlStr &&text, char (&field)[N], char pad) {
  return text.copyOut(field, N, pad);
}

// A binary field as a byte string of its width.
template <std::size_t N>
KxlBin kxlGetBytes(const unsigned char (&field)[N]) {
  return kxlBytesAt(field, N);
}

// From a byte string of exactly the field's width, or empty (zeroes);
// false for any other length.
template <std::size_t N>
bool kxlSetBytes(unsigned char (&field)[N], const KxlBin &value) {
  return kxlSetBytesAt(field, N, value);
}

// From the field's width of bytes at `bytes`, or zeroes for null.
template <std::size_t N>
void kxlSetBytes(unsigned char (&field)[N], const unsigned char *bytes) {
  kxlSetBytesAt(field, N, bytes);
}

// A 32-bit integer field takes the low 32 bits of `value`.
inline void kxlSetInt32(std::int32_t &field, long value) {
  field = static_cast<std::int32_t>(value);
}

// Fills a field with `byte`.
template <class Byte, std::size_t N>
void kxlFill(Byte (&field)[N], char byte) {
  std::memset(field, byte, N);
}

// Stores the characters of a literal exactly as wide as the field (a
// structure id, say), without its null byte.
template <std::size_t N, std::size_t M>
void kxlSetChars(char (&field)[N], const char (&chars)[M]) {
  static_assert(M == N + 1, "the characters fill the field exactly");
  std::memcpy(field, chars, N);
}

// A 32-bit integer at any byte position (of a message's data, say).
inline std::int32_t kxlLoadInt32(const void *bytes) {
  std::int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

#endif  // KXLI_KXLFLD_HPP_
