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

}  // namespace kxlhdrtest

#endif  // KXLI_TESTS_KXLHDRTEST_HPP_
