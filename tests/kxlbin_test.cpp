#include "kxlbin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::binOf;
using kxltest::bytesOf;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;

// The exit records of the traced operations, function number and value, in order.
using Exits = std::vector<std::pair<unsigned, std::int32_t>>;
Exits exitsOf(const kxltest::TraceCapture &trace) {
  Exits exits;
  for (const kxltest::TraceRecord &r : trace.records())
    if (r.kind == XCS_EXIT) exits.emplace_back(r.function, r.value);
  return exits;
}

// Every failure returns false and leaves the bytes "abcdef", the field and
// the message's data offset as they were; it sets 2/reason, sends its one
// text and ends the traced operations with the reason code.
TEST(KxlBinTest, FailuresChangeNothing) {
  enum Injected { kNothing, kNoStorage, kFieldRefused };
  struct In {
    KxlMsg message;  // ten bytes, format "        "
    KxlBin other{"0123456789", 10};
    std::string field = std::string(8, '#');
  };
  const char *kNoStorageText = "KxlBinary::setDataLength (error): storage not available";
  const struct {
    Injected injected;
    long reason;
    unsigned function;
    const char *text;
    std::vector<unsigned> traced;  // the operations whose exit records carry the reason
    bool (*operation)(KxlBin &value, In &in);
  } cases[] = {
      {kFieldRefused,
       2004,
       kKxlFnErrorCheckReadPointer,
       "KxlError::checkReadPointer (error): buffer error",
       {},
       [](KxlBin &v, In &in) { return v.set(in.field.data(), in.field.size()); }},
      {kFieldRefused,
       2004,
       kKxlFnErrorCheckWritePointer,
       "KxlError::checkWritePointer (error): buffer error",
       {kKxlFnBinaryCopyOut},
       [](KxlBin &v, In &in) { return v.copyOut(&in.field[0], in.field.size(), '\0'); }},
      {kNothing,
       6110,
       kKxlFnBinaryCopyOut,
       "KxlBinary::copyOut (error): no destination buffer",
       {kKxlFnBinaryCopyOut},
       [](KxlBin &v, In &) { return v.copyOut(nullptr, 8, ' '); }},
      {kNothing,
       6119,
       kKxlFnBinaryPasteIn,
       "KxlBinary::pasteIn (error): wrong message format",
       {kKxlFnBinaryPasteIn},
       [](KxlBin &v, In &in) { return in.message.setFormat("KXSTR"), v.pasteIn(in.message); }},
      {kNoStorage,
       2071,
       kKxlFnBinarySetDataLength,
       kNoStorageText,
       {kKxlFnBinarySetDataLength},
       [](KxlBin &v, In &) { return v.setDataLength(12); }},
      {kNoStorage,
       2071,
       kKxlFnBinarySetDataLength,
       kNoStorageText,
       {kKxlFnBinarySetDataLength},
       [](KxlBin &v, In &in) { return v.set(in.other.dataPointer(), 3); }},
      // The source's codes 0/0 are taken, then the storage fails.
      {kNoStorage,
       2071,
       kKxlFnBinarySetDataLength,
       kNoStorageText,
       {kKxlFnBinarySetDataLength},
       [](KxlBin &v, In &in) { return v = in.other, false; }},
      {kNoStorage,
       2071,
       kKxlFnBinarySetDataLength,
       kNoStorageText,
       {kKxlFnBinarySetDataLength, kKxlFnBinaryPasteIn},
       [](KxlBin &v, In &in) { return v.pasteIn(in.message); }},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
    In in;
    ASSERT_TRUE(in.message.writeItem(in.other) && in.message.setDataOffset(0));
    KxlBin value = binOf("abcdef");
    kxltest::TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    std::optional<kxltest::PointerRefusal> refusal;
    if (c.injected == kNoStorage) failure.emplace(1, true);
    if (c.injected == kFieldRefused) refusal.emplace(&in.field[7]);
    EXPECT_FALSE(c.operation(value, in));
    failure.reset();
    refusal.reset();
    EXPECT_EQ(codesOf(value), Codes(2, c.reason));
    EXPECT_EQ(bytesOf(value), "abcdef");
    EXPECT_EQ(in.field, "########");
    EXPECT_EQ(in.message.dataOffset(), 0u);
    EXPECT_EQ(kxltest::textsOf(trace), (kxltest::Texts{{c.function, c.text}}));
    Exits exits;
    for (unsigned function : c.traced) exits.emplace_back(function, c.reason);
    EXPECT_EQ(exitsOf(trace), exits);
  }
  // A new byte string that cannot take its bytes is left empty with the codes.
  EXPECT_EQ(codesOf(KxlBin(nullptr, 0)), Codes(0, 0));
  const KxlBin refused(nullptr, 4);
  EXPECT_EQ(codesOf(refused), Codes(2, 2004));
  EXPECT_EQ(refused.dataLength(), 0u);
  kxltest::AllocationFailure failure(1);
  const KxlBin unstored("abc", 3);
  EXPECT_EQ(codesOf(unstored), Codes(2, 2071));
  EXPECT_EQ(unstored.dataPointer(), nullptr);
}

TEST(KxlBinTest, SetDataLengthGivesZeroBytes) {
  KxlBin value = binOf("wxyz");
  kxltest::TraceCapture trace;
  EXPECT_TRUE(value.setDataLength(4));  // the same length keeps the bytes
  EXPECT_EQ(bytesOf(value), "wxyz");
  EXPECT_TRUE(value.setDataLength(10));
  EXPECT_EQ(bytesOf(value), std::string(10, '\0'));
  EXPECT_TRUE(value.setDataLength(0));
  EXPECT_EQ(value.dataPointer(), nullptr);
  EXPECT_EQ(exitsOf(trace), Exits(3, {kKxlFnBinarySetDataLength, 0}));
  // The source may lie in the storage being replaced.
  value = binOf("abcdefgh");
  EXPECT_TRUE(value.set(value.dataPointer() + 2, 3) && value.set(value.dataPointer(), 3));
  EXPECT_EQ(bytesOf(value), "cde");
}

TEST(KxlBinTest, EqualityAndIsNull) {
  const std::string values[] = {"", {"\0", 1}, {"\0\0\0", 3}, "abc", {"abc\0", 4}, "abd"};
  for (const std::string &left : values) {
    for (const std::string &right : values) EXPECT_EQ(binOf(left) == binOf(right), left == right);
    EXPECT_EQ(binOf(left).isNull(), left == std::string(left.size(), '\0')) << left;
  }
  KxlBin failed = binOf("ab");
  ASSERT_FALSE(failed.set(nullptr, 1));
  EXPECT_TRUE(failed == binOf("ab"));  // codes are not compared
}

// Shorter bytes are padded, longer ones cut, silently; a null buffer goes
// with length 0.
TEST(KxlBinTest, CopyOutPadsOrCutsWithoutAWarning) {
  const std::size_t cases[][3] = {{4, 24, 0}, {30, 24, 0}, {24, 24, ' '}, {0, 8, '*'}, {3, 1, ' '}};
  for (const auto &c : cases) {
    const std::string bytes = pattern(c[0], 1);
    KxlBin value = binOf(bytes);
    kxltest::TraceCapture trace;
    std::string field(c[1] + 1, '#');  // a guard byte after the field
    EXPECT_TRUE(value.copyOut(&field[0], c[1], static_cast<char>(c[2])));
    std::string expected = bytes.substr(0, c[1]) + "#";
    expected.insert(std::min(c[0], c[1]), c[1] - std::min(c[0], c[1]), static_cast<char>(c[2]));
    EXPECT_EQ(field, expected) << c[0] << " into " << c[1];
    EXPECT_TRUE(value.copyOut(nullptr, 0, ' '));
    EXPECT_EQ(codesOf(value), Codes(0, 0));
    EXPECT_TRUE(trace.texts().empty());
    EXPECT_EQ(exitsOf(trace), Exits(2, {kKxlFnBinaryCopyOut, 0}));
  }
}

TEST(KxlBinTest, CopiesOwnTheirBytes) {
  auto source = std::make_unique<KxlBin>("0123456789ab", 12);
  ASSERT_FALSE(source->set(nullptr, 1));  // codes 2/2004 travel with the copies
  KxlBin constructed(*source);
  KxlBin assigned = binOf("same length!");
  assigned = *source;
  source.reset();
  const KxlBin &same = assigned;
  assigned = same;
  for (const KxlBin *copy : {&constructed, &assigned}) {
    EXPECT_EQ(bytesOf(*copy), "0123456789ab");
    EXPECT_EQ(codesOf(*copy), Codes(2, 2004));
  }
  assigned = KxlBin();
  EXPECT_EQ(assigned.dataPointer(), nullptr);
}

TEST(KxlBinItemTest, WrittenAsTheWholeDataAndReadFromTheDataOffset) {
  KxlMsg message;
  message.setCharacterSet(850);
  ASSERT_TRUE(message.write(11, "older data!"));
  KxlBin written = binOf("0123456789");
  EXPECT_TRUE(message.writeItem(written));
  EXPECT_EQ(std::string(message.bufferPointer(), message.messageLength()), "0123456789");
  EXPECT_EQ(
      kxltest::description(kxltest::formatOf(message), message.encoding(), message.characterSet()),
      kxltest::description("        ", kKxlNativeEncoding, 0));
  for (std::size_t offset : {0, 4, 10}) {
    ASSERT_TRUE(message.setDataOffset(offset));
    KxlBin read = binOf("old");
    EXPECT_TRUE(message.readItem(read));
    EXPECT_EQ(bytesOf(read), std::string("0123456789").substr(offset));
    EXPECT_EQ(message.dataOffset(), 10u);
  }
}

// Read into the byte string's own storage: with the length it had, no
// storage is obtained and a refused check of that storage is the message's
// 2/2004; with another length the new storage (zero bytes) stays.
TEST(KxlBinItemTest, ReadGoesIntoItsOwnStorage) {
  const struct {
    const char *before;
    bool refuseAll;  // else only the byte string's own bytes are refused
    std::string after;
  } cases[] = {
      {"abcdefghij", false, "abcdefghij"},
      {"abc", true, std::string(10, '\0')},
  };
  // The length is set, then the message's read and the byte string's end refused.
  const Exits exits = {
      {kKxlFnBinarySetDataLength, 0}, {kKxlFnCacheRead, 2004}, {kKxlFnBinaryPasteIn, 2004}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.before);
    KxlMsg message;
    KxlBin written = binOf("0123456789");
    ASSERT_TRUE(message.writeItem(written) && message.setDataOffset(0));
    KxlBin read = binOf(c.before);
    const unsigned char *storage = read.dataPointer();
    kxltest::TraceCapture trace;
    std::optional<kxltest::PointerRefusal> refusal;
    if (c.refuseAll) {
      refusal.emplace(reinterpret_cast<const void *>(1), SIZE_MAX - 1,
                      kxltest::PointerRefusal::kWrite);
    } else {
      refusal.emplace(storage, read.dataLength(), kxltest::PointerRefusal::kWrite);
    }
    kxltest::AllocationCounter counter;
    EXPECT_FALSE(read.pasteIn(message));
    const long allocations = counter.count();
    refusal.reset();
    EXPECT_EQ(codesOf(read), Codes(2, 2004));
    EXPECT_EQ(bytesOf(read), c.after);
    EXPECT_EQ(exitsOf(trace), exits);
    EXPECT_EQ(message.dataOffset(), 0u);
    if (!c.refuseAll) {
      EXPECT_EQ(read.dataPointer(), storage);
      EXPECT_EQ(allocations, 0);
    }
  }
}

}  // namespace
