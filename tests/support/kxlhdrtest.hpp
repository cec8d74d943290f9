// Support for the tests of the headers and the trigger message: records laid
// out by hand, and states that show nothing changed.
#ifndef KXLI_TESTS_KXLHDRTEST_HPP_
#define KXLI_TESTS_KXLHDRTEST_HPP_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "kxlbin.hpp"
#include "kxlhdr.hpp"
#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace kxlhdrtest {

using kxltest::bytesOf;
using kxltest::description;

inline std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}
// The message's bytes from the first to the message length.
inline std::string contentOf(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}
// "completion/reason".
inline std::string codes(const KxlErr &object) {
  return std::to_string(object.completionCode()) + "/" + std::to_string(object.reasonCode());
}
// "format/encoding/character set" of a message or a header.
template <class T>
std::string describe(const T &object) {
  return description(text(object.format()), object.encoding(), object.characterSet());
}

// Exactly `data`, data offset `offset`, described as given, character set 850.
inline void load(KxlMsg &message, const std::string &data, std::size_t offset, long encoding,
                 const char *format) {
  message.clearMessage();
  ASSERT_TRUE(message.write(data.size(), data.data()) && message.setDataOffset(offset));
  message.setEncoding(encoding);
  message.setCharacterSet(850);
  message.setFormat(format);
}
// Description, data offset and content.
inline std::string messageState(const KxlMsg &message) {
  return describe(message) + "|" + std::to_string(message.dataOffset()) + "|" + contentOf(message);
}

// The bytes an item writes into a new message. A header writes into one
// described as the header is, so that its own description stays as it was.
inline std::string recordOf(KxlItm &item) {
  KxlMsg message;
  if (const auto *header = dynamic_cast<const KxlHdr *>(&item)) {
    message.setFormat(header->format());
    message.setEncoding(header->encoding());
    message.setCharacterSet(header->characterSet());
  }
  EXPECT_TRUE(item.copyOut(message));
  return contentOf(message);
}
// The record and, for a header, its description and header flags.
inline std::string itemState(KxlItm &item) {
  const auto *header = dynamic_cast<const KxlHdr *>(&item);
  return recordOf(item) + (header == nullptr ? ""
                                             : "|" + describe(*header) + "|" +
                                                   std::to_string(header->headerFlags()));
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
