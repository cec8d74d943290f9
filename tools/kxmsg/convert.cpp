// Conversions between typed texts and library values.

#include "convert.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kxmsg {

std::string textOf(const KxlStr &value) {
  const char *characters = value;
  return characters != nullptr ? characters : "";
}

std::string fixedText(const char *field, std::size_t width) {
  return std::string(field, strnlen(field, width));
}

bool parseInt32(const std::string &text, long &value) {
  if (text.empty()) return false;
  errno = 0;
  char *end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX)
    return false;
  value = static_cast<long>(parsed);
  return true;
}

std::string toHex(const unsigned char *bytes, std::size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    hex.push_back(digits[bytes[i] >> 4]);
    hex.push_back(digits[bytes[i] & 0xF]);
  }
  return hex;
}

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool fromHex(const std::string &text, std::vector<unsigned char> &bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexDigit(text[i]);
    const int low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return true;
}

}  // namespace kxmsg
