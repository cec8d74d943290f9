#include "kxlbin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;
using Exits = std::vector<std::int32_t>;
using Refusal = kxltest::PointerRefusal;

std::string bytesOf(const KxlBin &value) {
  return std::string(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
}

KxlBin binOf(const std::string &bytes) { return KxlBin(bytes.data(), bytes.size()); }

TEST(KxlBinTest, RefusedPointersChangeNothing) {
  kxltest::TraceCapture trace;
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(KxlBin(nullptr, 0)));
  const KxlBin refused(nullptr, 4);
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BUFFER_ERROR), codesOf(refused));
  EXPECT_EQ(0u, refused.dataLength());
  KxlBin value = binOf("abcde");
  std::string field(8, '#');
  {
    Refusal refusal(&field[7], 1);
    EXPECT_FALSE(value.set(field.data(), field.size()));
    EXPECT_FALSE(value.copyOut(&field[0], field.size(), '\0'));
  }
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BUFFER_ERROR), codesOf(value));
  EXPECT_EQ("abcde", bytesOf(value));
  EXPECT_EQ("########", field);
  EXPECT_EQ((kxltest::Texts{{62, "KxlError::checkReadPointer (error): buffer error"},
                            {62, "KxlError::checkReadPointer (error): buffer error"},
                            {63, "KxlError::checkWritePointer (error): buffer error"}}),
            kxltest::textsOf(trace));
  EXPECT_EQ(Exits{KXRC_BUFFER_ERROR}, trace.exitValues(0));
}

TEST(KxlBinTest, SetDataLengthGivesZeroBytes) {
  KxlBin value = binOf("wxyz");
  kxltest::TraceCapture trace;
  EXPECT_TRUE(value.setDataLength(4));  // the same length keeps the bytes
  EXPECT_EQ("wxyz", bytesOf(value));
  EXPECT_TRUE(value.setDataLength(10));
  EXPECT_EQ(std::string(10, '\0'), bytesOf(value));
  EXPECT_TRUE(value.setDataLength(0));
  EXPECT_EQ(nullptr, value.dataPointer());
  EXPECT_EQ((Exits{0, 0, 0}), trace.exitValues(59));
  // The source may lie in the storage being replaced.
  value = binOf("abcdefgh");
  EXPECT_TRUE(value.set(value.dataPointer() + 2, 3));
  EXPECT_TRUE(value.set(value.dataPointer(), 3));
  EXPECT_EQ("cde", bytesOf(value));
}

TEST(KxlBinTest, NoStorageKeepsTheOldBytes) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlMsg message;
  KxlBin written = binOf(pattern(16));
  ASSERT_TRUE(message.writeItem(written) && message.setDataOffset(0));
  KxlBin value = binOf("abcdef");
  const Codes failed(KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1, true);
    EXPECT_FALSE(value.setDataLength(12));
    EXPECT_FALSE(value.set(written.dataPointer(), 3));
    value = written;  // the source's codes 0/0 are taken, then the storage fails
    EXPECT_EQ(failed, codesOf(value));
    EXPECT_EQ(failed, codesOf(KxlBin(written.dataPointer(), 3)));
    value.clearErrorCodes();
    EXPECT_FALSE(value.pasteIn(message));
  }
  EXPECT_EQ(failed, codesOf(value));
  EXPECT_EQ("abcdef", bytesOf(value));
  EXPECT_EQ(std::vector<std::string>(5, "KxlBinary::setDataLength (error): storage not available"),
            trace.texts(59));
  EXPECT_EQ(Exits{KXRC_STORAGE_NOT_AVAILABLE}, trace.exitValues(1));
  EXPECT_EQ(0u, message.dataOffset());
}

TEST(KxlBinTest, EqualityAndIsNull) {
  const std::string values[] = {"", {"\0", 1}, {"\0\0\0", 3}, "abc", {"abc\0", 4}, "abd"};
  for (const std::string &left : values) {
    for (const std::string &right : values) EXPECT_EQ(left == right, binOf(left) == binOf(right));
    EXPECT_EQ(left == std::string(left.size(), '\0'), binOf(left).isNull()) << left;
  }
  KxlBin failed = binOf("ab");
  ASSERT_FALSE(failed.set(nullptr, 1));
  EXPECT_TRUE(failed == binOf("ab"));  // codes are not compared
}

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
    EXPECT_EQ(expected, field) << c[0] << " into " << c[1];
    EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(value));
    EXPECT_EQ(Exits{0}, trace.exitValues(0));
  }
  for (const char *bytes : {"", "abcd"}) {  // a null buffer only with length 0
    KxlBin value = binOf(bytes);
    kxltest::TraceCapture trace;
    EXPECT_TRUE(value.copyOut(nullptr, 0, ' '));
    EXPECT_FALSE(value.copyOut(nullptr, 8, ' '));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_NO_BUFFER), codesOf(value));
    EXPECT_TRUE(trace.sawText(0, "KxlBinary::copyOut (error): no destination buffer"));
    EXPECT_EQ((Exits{0, KXRC_NO_BUFFER}), trace.exitValues(0));
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
    EXPECT_EQ("0123456789ab", bytesOf(*copy));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BUFFER_ERROR), codesOf(*copy));
  }
  assigned = KxlBin();
  EXPECT_EQ(nullptr, assigned.dataPointer());
}

TEST(KxlBinItemTest, WrittenAsTheWholeDataAndReadFromTheDataOffset) {
  KxlMsg message;
  message.setCharacterSet(850);
  ASSERT_TRUE(message.write(11, "older data!"));
  KxlBin written = binOf("0123456789");
  EXPECT_TRUE(message.writeItem(written));
  EXPECT_EQ("0123456789", std::string(message.bufferPointer(), message.messageLength()));
  EXPECT_EQ("        /546/0", kxltest::formatOf(message) + "/" +
                                  std::to_string(message.encoding()) + "/" +
                                  std::to_string(message.characterSet()));
  kxltest::TraceCapture trace;
  for (std::size_t offset : {0, 4, 10}) {
    ASSERT_TRUE(message.setDataOffset(offset));
    KxlBin read = binOf("old");
    EXPECT_TRUE(message.readItem(read));
    EXPECT_EQ(std::string("0123456789").substr(offset), bytesOf(read));
    EXPECT_EQ(10u, message.dataOffset());
  }
  ASSERT_TRUE(message.setDataOffset(2));
  message.setFormat("KXSTR");
  KxlBin value = binOf("old");
  EXPECT_FALSE(message.readItem(value));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_WRONG_FORMAT), codesOf(value));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_WRONG_FORMAT), codesOf(message));
  EXPECT_EQ("old", bytesOf(value));
  EXPECT_EQ(2u, message.dataOffset());
  EXPECT_TRUE(trace.sawText(1, "KxlBinary::pasteIn (error): wrong message format"));
  EXPECT_EQ((Exits{0, 0, 0, KXRC_WRONG_FORMAT}), trace.exitValues(1));
}

}  // namespace
