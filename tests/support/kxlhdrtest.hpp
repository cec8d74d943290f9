// Support for the tests of the headers, the channel and the get-message
// options: texts and codes as strings, records built field by field, and the
// binary setters' contract.
#ifndef KXLI_TESTS_KXLHDRTEST_HPP_
#define KXLI_TESTS_KXLHDRTEST_HPP_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlbin.hpp"
#include "kxlmsgtest.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace kxlhdrtest {

using kxltest::bytesOf;

// A string's text; empty for a null string.
inline std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

// Characters, or a 32-bit integer in the native encoding, at an offset of a record.
struct Field {
  std::size_t offset;
  std::string bytes;
};
inline Field at(std::size_t offset, std::string value) { return {offset, std::move(value)}; }
inline Field at(std::size_t offset, std::int32_t value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(&bytes[0], &value, sizeof value);
  return {offset, bytes};
}
// `base` with the fields placed in it, and `length` bytes of `fill` with them.
inline std::string with(std::string base, const std::vector<Field> &fields) {
  for (const Field &field : fields) base.replace(field.offset, field.bytes.size(), field.bytes);
  return base;
}
inline std::string record(std::size_t length, const std::vector<Field> &fields, char fill = '\0') {
  return with(std::string(length, fill), fields);
}

// "completion/reason".
inline std::string codes(const KxlErr &object) {
  return std::to_string(object.completionCode()) + "/" + std::to_string(object.reasonCode());
}

// A binary setter takes exactly the width, and an empty value clears the
// field (the codes of an earlier failure stay); any other length fails
// with 6111, its text and (where traced) exit, and keeps the field. The
// pointer form copies the width, or clears the field for null.
template <class T>
void expectBinaryField(bool (T::*set)(const KxlBin &), void (T::*setBytes)(const unsigned char *),
                       KxlBin (T::*get)() const, std::size_t width, unsigned function,
                       const char *failureText, bool traced) {
  SCOPED_TRACE(failureText);
  std::string value;
  for (std::size_t i = 0; i <= width; ++i) value += static_cast<char>(0x80 + i);
  const std::string stored = value.substr(0, width), zeros(width, '\0');
  T item;
  std::string seen = bytesOf((item.*get)());
  for (std::size_t length : {width, std::size_t{1}, width - 1, width + 1, std::size_t{0}}) {
    SCOPED_TRACE(length);
    kxltest::TraceCapture trace;
    const bool exact = length == width || length == 0;
    EXPECT_EQ((item.*set)(KxlBin(value.data(), length)), exact);
    EXPECT_EQ(trace.texts(function), std::vector<std::string>(exact ? 0 : 1, failureText));
    EXPECT_EQ(trace.entries(function), traced ? 1 : 0);
    EXPECT_EQ(trace.exitValues(function),
              std::vector<std::int32_t>(traced ? 1 : 0,
                                        length == width ? 0 : KXRC_BINARY_DATA_LENGTH_ERROR));
    seen += "|" + codes(item) + bytesOf((item.*get)());
  }
  kxltest::TraceCapture trace;  // the pointer form is not traced
  (item.*setBytes)(reinterpret_cast<const unsigned char *>(value.data()));
  seen += "|" + bytesOf((item.*get)());
  (item.*setBytes)(nullptr);
  EXPECT_EQ(trace.entries(function), 0);
  const std::string failed = "|2/6111" + stored;
  EXPECT_EQ(seen + "|" + bytesOf((item.*get)()), zeros + "|0/0" + stored + failed + failed +
                                                     failed + "|2/6111" + zeros + "|" + stored +
                                                     "|" + zeros);
}

}  // namespace kxlhdrtest

#endif  // KXLI_TESTS_KXLHDRTEST_HPP_
