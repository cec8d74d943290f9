// Conversions kxmsg makes between the texts people type or read and the
// values the library takes: library texts, fixed-width record fields,
// 32-bit numbers and bytes written as hex digits.
#ifndef KXMSG_CONVERT_HPP_
#define KXMSG_CONVERT_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "kxli.hpp"

namespace kxmsg {

// The text of a library string; a null string is the empty text.
std::string textOf(const KxlStr &value);

// A character field of `width` bytes, up to its first null byte.
std::string fixedText(const char *field, std::size_t width);

// A signed 32-bit number in decimal, octal (leading 0) or hex (leading
// 0x); false when `text` is anything else or out of range.
bool parseInt32(const std::string &text, long &value);

// Bytes as lower-case hex digits, two per byte, and back (false on a text
// that is not an even number of hex digits).
std::string toHex(const unsigned char *bytes, std::size_t length);
bool fromHex(const std::string &text, std::vector<unsigned char> &bytes);

}  // namespace kxmsg

#endif  // KXMSG_CONVERT_HPP_
