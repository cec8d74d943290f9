// Support for the tests of the headers and the trigger message: expected
// records, states that show nothing changed, and the test bodies that every
// header runs alike.
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

struct Identity {
  const char *className;      // long name in diagnostic texts
  const char *formatName;     // 8 characters
  unsigned function;          // function number of pasteIn
  bool traced;                // pasteIn traces its entry and exit
  const char *shortDataText;  // text of too few bytes; null: the message's 6114
  std::size_t readFirst = 0;  // bytes read before a read of too few bytes fails
};

// Written in front of 'hello' the header gives `bytes` + 'hello' and the
// descriptions change places; read back from offset 0 by a new header, the
// message describes 'hello' again from its first byte, and the new header
// writes what the first one does.
template <class H>
void expectWrittenAndReadBack(H &header, const Identity &id, const std::string &bytes) {
  KxlMsg message;
  makeHello(message);
  ASSERT_TRUE(header.copyOut(message));
  EXPECT_TRUE(sameBytes(contentOf(message), bytes + "hello"));
  EXPECT_EQ(std::to_string(message.dataOffset()) + describe(message) + "|" + describe(header),
            std::to_string(bytes.size() + 5) + description(id.formatName, kKxlNativeEncoding, 0) +
                "|KXSTR   /273/850");
  ASSERT_TRUE(message.setDataOffset(0));
  H fresh;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(fresh.pasteIn(message));
  EXPECT_EQ(std::to_string(message.dataOffset()) + describe(message) + "|" + describe(fresh),
            std::to_string(bytes.size()) + "KXSTR   /273/850|KXSTR   /273/850");
  EXPECT_TRUE(sameBytes(recordOf(fresh), recordOf(header)));
  EXPECT_EQ(codes(header) + codes(fresh), "0/00/0");
  EXPECT_EQ(trace.entries(id.function), id.traced ? 1 : 0);
  EXPECT_EQ(trace.exitValues(id.function), std::vector<std::int32_t>(id.traced ? 1 : 0, 0));
}

// `bytes` read from between other bytes: the data offset moves past them
// and the item writes them back unchanged.
// REQUIRES: `bytes` are described as a new message is.
template <class T>
void expectTakenAsItStands(T &item, const Identity &id, const std::string &bytes) {
  KxlMsg message;
  load(message, "zz" + bytes + "tail", 2, kKxlNativeEncoding, id.formatName);
  ASSERT_TRUE(item.pasteIn(message));
  EXPECT_EQ(message.dataOffset(), 2 + bytes.size());
  EXPECT_TRUE(sameBytes(recordOf(item), bytes));
}

// Structure id (before encoding and format, all 4 bytes, at least 4 bytes),
// encoding (before format), format (all 8 characters), too few bytes: each
// refused with its codes and text, the item and the message left as they were.
template <class T>
void expectRefusedReads(const Identity &id) {
  T blank;
  std::string good = recordOf(blank);
  good[good.size() / 2] = 'M';  // shows a record taken by mistake
  std::string otherId = good, otherFormat = id.formatName;
  otherId[3] = otherFormat[7] = 'X';
  const std::string shortText =
      id.shortDataText != nullptr ? id.shortDataText : "KxlCache::read (error): insufficient data";
  const struct {
    std::string data, format;
    long encoding, reason;
    const char *text;
  } cases[] = {
      {otherId, "KXSTR   ", 273, KXRC_WRONG_STRUCTURE_ID, "wrong structure id"},
      {good.substr(0, 3), id.formatName, kKxlNativeEncoding, KXRC_WRONG_STRUCTURE_ID,
       "wrong structure id"},
      {good, "KXSTR   ", 273, KXRC_WRONG_ENCODING, "wrong message encoding"},
      {good, "KXSTR   ", kKxlNativeEncoding, KXRC_WRONG_FORMAT, "wrong message format"},
      {good, otherFormat, kKxlNativeEncoding, KXRC_WRONG_FORMAT, "wrong message format"},
      {good.substr(0, good.size() - 1), id.formatName, kKxlNativeEncoding, KXRC_INSUFFICIENT_DATA,
       nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.reason) + " " + c.format);
    KxlMsg message;
    load(message, "zz" + c.data, 2, c.encoding, c.format.c_str());
    const std::string messageBefore = messageState(message);
    T item;
    const std::string itemBefore = itemState(item);
    kxltest::TraceCapture trace;
    EXPECT_FALSE(item.pasteIn(message));
    EXPECT_EQ(codes(item) + "|" + codes(message),
              "2/" + std::to_string(c.reason) +
                  (c.text != nullptr || id.shortDataText != nullptr ? "|0/0" : "|2/6114"));
    const std::string text =
        c.text != nullptr ? std::string(id.className) + "::pasteIn (error): " + c.text : shortText;
    const unsigned function =
        c.text == nullptr && id.shortDataText == nullptr ? kKxlFnCacheRead : id.function;
    EXPECT_EQ(trace.texts(function), std::vector<std::string>{text});
    EXPECT_EQ(trace.entries(id.function), id.traced ? 1 : 0);
    EXPECT_EQ(trace.exitValues(id.function),
              std::vector<std::int32_t>(id.traced ? 1 : 0, static_cast<std::int32_t>(c.reason)));
    EXPECT_EQ(itemState(item), itemBefore);
    if (c.text == nullptr && id.readFirst != 0) {
      // What was read first stays read.
      EXPECT_TRUE(message.setDataOffset(message.dataOffset() - id.readFirst));
    }
    EXPECT_EQ(messageState(message), messageBefore);
  }
}

// The format blank padded and cut to 8 characters, the integers kept to
// their low 32 bits, no codes set.
template <class H>
void expectDescriptionAccessors() {
  H header;
  header.setFormat("AB");
  std::string formats = text(header.format());
  header.setFormat("ABCDEFGHIJ");
  formats += text(header.format());
  header.setFormat(nullptr);
  header.setEncoding(static_cast<long>(INT64_C(0x100000111)));
  header.setCharacterSet(-1);
  header.setHeaderFlags(static_cast<long>(INT64_C(0x1fffffffe)));
  EXPECT_EQ(formats + describe(header) + std::to_string(header.headerFlags()) + codes(header),
            "AB      ABCDEFGH        /273/-1-20/0");
}

template <class T>
struct TextField {
  void (T::*set)(const char *);
  KxlStr (T::*get)() const;
  std::size_t width;
  std::string afterAB, afterNull;  // read back after set("AB  ") and set(nullptr)
};

// Each setter pads, cuts an over-long text to the width with the warning in
// the string class's record (never in the item) and fills for null.
template <class T>
void expectTextFields(const std::vector<TextField<T>> &fields) {
  for (const TextField<T> &f : fields) {
    T item;
    (item.*f.set)("AB  ");
    std::string readBack = text((item.*f.get)()) + "|";
    std::string tooLong;
    for (std::size_t i = 0; i < f.width + 2; ++i) tooLong += static_cast<char>('a' + i % 26);
    KxlStr::copy(nullptr, 1, "x", ' ');  // another code in the string class's record
    (item.*f.set)(tooLong.c_str());
    readBack += text((item.*f.get)()) + "|" + std::to_string(KxlStr::staticCompletionCode()) + "/" +
                std::to_string(KxlStr::staticReasonCode());
    (item.*f.set)(nullptr);
    EXPECT_EQ(readBack + "|" + text((item.*f.get)()) + "|" + codes(item),
              f.afterAB + "|" + tooLong.substr(0, f.width) + "|1/6115|" + f.afterNull + "|0/0");
  }
}

template <class H>
struct BinaryField {
  bool (H::*set)(const KxlBin &);
  void (H::*setBytes)(const unsigned char *);
  KxlBin (H::*get)() const;
  std::size_t width;
  unsigned function;
  const char *failureText;
  bool traced;  // the KxlBin setter traces its entry and exit
};

// Exactly the width is taken and an empty value clears the field (the codes
// of an earlier failure stay); any other length fails with 6111 and keeps
// the field. The pointer form copies the width, or clears the field for null.
template <class H>
void expectBinaryField(const BinaryField<H> &f) {
  std::string value;
  for (std::size_t i = 0; i <= f.width; ++i) value += static_cast<char>(0x80 + i);
  const std::string stored = value.substr(0, f.width), zeros(f.width, '\0');
  H header;
  const auto field = [&header, &f] { return bytesOf((header.*f.get)()); };
  const auto expectTrace = [&f](const kxltest::TraceCapture &trace, std::int32_t exit,
                                bool failed) {
    EXPECT_EQ(trace.texts(f.function), std::vector<std::string>(failed ? 1 : 0, f.failureText));
    EXPECT_EQ(trace.entries(f.function), f.traced ? 1 : 0);
    EXPECT_EQ(trace.exitValues(f.function), std::vector<std::int32_t>(f.traced ? 1 : 0, exit));
  };
  std::string fields = field();
  for (std::size_t length : {f.width, std::size_t{1}, f.width - 1, f.width + 1, std::size_t{0}}) {
    SCOPED_TRACE(length);
    kxltest::TraceCapture trace;
    const bool exact = length == f.width || length == 0;
    EXPECT_EQ((header.*f.set)(KxlBin(value.data(), length)), exact);
    expectTrace(trace, length == f.width ? 0 : KXRC_BINARY_DATA_LENGTH_ERROR, !exact);
    fields += "|" + codes(header) + field();
  }
  (header.*f.setBytes)(reinterpret_cast<const unsigned char *>(value.data()));
  fields += "|" + field();
  (header.*f.setBytes)(nullptr);
  const std::string failed = "|2/6111" + stored;
  EXPECT_EQ(fields + "|" + field(), zeros + "|0/0" + stored + failed + failed + failed + "|2/6111" +
                                        zeros + "|" + stored + "|" + zeros);
}

// A copy and an assignment of `source` hold its state and codes after it is
// destroyed; assigning an object to itself changes nothing.
template <class T>
void expectCopies(T *source) {
  const std::string state = itemState(*source), sourceCodes = codes(*source);
  T copy(*source);
  T assigned;
  assigned = *source;
  delete source;
  EXPECT_EQ(itemState(copy) + codes(copy), state + sourceCodes);
  EXPECT_EQ(itemState(assigned) + codes(assigned), state + sourceCodes);
  const T &same = assigned;
  assigned.clearErrorCodes();
  assigned = same;
  EXPECT_EQ(itemState(assigned) + codes(assigned), state + "0/0");
}

}  // namespace kxlhdrtest

#endif  // KXLI_TESTS_KXLHDRTEST_HPP_
