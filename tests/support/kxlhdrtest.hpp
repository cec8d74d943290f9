// Support for the tests of the headers and the trigger message: expected
// records, and states that show nothing changed.
#ifndef KXLI_TESTS_KXLHDRTEST_HPP_
#define KXLI_TESTS_KXLHDRTEST_HPP_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kxlbin.hpp"
#include "kxlhdr.hpp"
#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace kxlhdrtest {

std::string text(const KxlStr &value);
using kxltest::bytesOf;
using kxltest::description;
std::string contentOf(const KxlMsg &message);  // first byte to message length
std::string codes(const KxlErr &object);       // "completion/reason"

// "format/encoding/character set" of a message or a header.
template <class T>
std::string describe(const T &object) {
  return description(text(object.format()), object.encoding(), object.characterSet());
}

// 'hello' as a string, encoding 273, character set 850, data offset at the end.
void makeHello(KxlMsg &message);
// Exactly `data`, data offset `offset`, described as given, character set 850.
void load(KxlMsg &message, const std::string &data, std::size_t offset, long encoding,
          const char *format);
std::string messageState(const KxlMsg &message);  // description, data offset, content

// The bytes an item writes into a new message, and the format it gives
// that message. The description a header takes from the message is put back.
std::string recordOf(KxlItm &item, std::string *format = nullptr);
// The record and, for a header, its description and header flags.
std::string itemState(KxlItm &item);

// Equal bytes; otherwise the lengths and the first offset that differs.
::testing::AssertionResult sameBytes(const std::string &actual, const std::string &expected);

// Characters, or a 32-bit integer in the native encoding, at an offset of a record.
struct Field {
  std::size_t offset;
  std::string bytes;
};
Field at(std::size_t offset, std::string value);
Field at(std::size_t offset, std::int32_t value);
// `base` with the fields placed in it.
std::string with(std::string base, const std::vector<Field> &fields);
inline std::string record(std::size_t length, const std::vector<Field> &fields, char fill = '\0') {
  return with(std::string(length, fill), fields);
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
