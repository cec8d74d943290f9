#include "kxlbin.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxltest.hpp"

namespace {

using Bytes = std::vector<unsigned char>;

const char kNoBufferText[] = "KxlBinary::copyOut (error): no destination buffer";
const char kStorageText[] = "KxlBinary::setDataLength (error): storage not available";
const char kFormatText[] = "KxlBinary::pasteIn (error): wrong message format";
const char kReadPointerText[] = "KxlError::checkReadPointer (error): buffer error";
const char kWritePointerText[] = "KxlError::checkWritePointer (error): buffer error";
const char kBinaryFormat[] = "        ";

Bytes bytesOf(const KxlBin &value) {
  return Bytes(value.dataPointer(), value.dataPointer() + value.dataLength());
}

Bytes pattern(std::size_t length, unsigned char first) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(first + i);
  return bytes;
}

KxlBin binOf(const Bytes &bytes) { return KxlBin(bytes.data(), bytes.size()); }

void expectCodes(const KxlErr &object, long completion, long reason) {
  EXPECT_EQ(object.completionCode(), completion);
  EXPECT_EQ(object.reasonCode(), reason);
}

// Exposes the protected clear.
class ClearableBin : public KxlBin {
 public:
  using KxlBin::clear;
  using KxlBin::KxlBin;
};

TEST(KxlBinTest, ConstructionFromDataAndLength) {
  kxltest::TraceCapture trace;
  const KxlBin empty(nullptr, 0);
  EXPECT_EQ(empty.dataLength(), 0u);
  expectCodes(empty, 0, 0);

  const KxlBin refused(nullptr, 4);
  EXPECT_EQ(refused.dataLength(), 0u);
  EXPECT_EQ(refused.dataPointer(), nullptr);
  expectCodes(refused, KXCC_FAILED, KXRC_BUFFER_ERROR);
  EXPECT_TRUE(trace.sawText(62, kReadPointerText));

  const Bytes source = pattern(7, 0x10);
  const KxlBin held(source.data(), source.size());
  EXPECT_EQ(bytesOf(held), source);
  EXPECT_NE(held.dataPointer(), source.data());
  expectCodes(held, 0, 0);
}

TEST(KxlBinTest, RefusedSourceLeavesTheBytesAlone) {
  KxlBin value = binOf(pattern(5, 1));
  const Bytes other = pattern(9, 0x40);
  kxltest::TraceCapture trace;
  kxltest::PointerRefusal refusal(other.data(), other.size(), kxltest::PointerRefusal::kRead);
  EXPECT_FALSE(value.set(other.data(), other.size()));
  expectCodes(value, KXCC_FAILED, KXRC_BUFFER_ERROR);
  EXPECT_TRUE(trace.sawText(62, kReadPointerText));
  EXPECT_EQ(bytesOf(value), pattern(5, 1));
  // No storage was touched, so setDataLength never ran.
  EXPECT_EQ(trace.entries(59), 0);
}

TEST(KxlBinTest, SetWithLengthZeroEmpties) {
  KxlBin value = binOf(pattern(5, 1));
  EXPECT_TRUE(value.set(reinterpret_cast<const void *>(0x1), 0));
  EXPECT_EQ(value.dataLength(), 0u);
  EXPECT_EQ(value.dataPointer(), nullptr);
  expectCodes(value, 0, 0);
}

TEST(KxlBinTest, SetFromItsOwnBytes) {
  // Shorter, same length and same bytes: the source lies in the storage
  // being replaced.
  KxlBin value = binOf(pattern(8, 0x20));
  EXPECT_TRUE(value.set(value.dataPointer() + 2, 3));
  EXPECT_EQ(bytesOf(value), pattern(3, 0x22));
  EXPECT_TRUE(value.set(value.dataPointer(), value.dataLength()));
  EXPECT_EQ(bytesOf(value), pattern(3, 0x22));
  EXPECT_TRUE(value.set(value.dataPointer() + 1, 2));
  EXPECT_EQ(bytesOf(value), pattern(2, 0x23));
}

TEST(KxlBinTest, SetDataLength) {
  kxltest::TraceCapture trace;
  KxlBin value = binOf(pattern(4, 0x31));
  trace.clear();

  // The same length keeps the bytes.
  EXPECT_TRUE(value.setDataLength(4));
  EXPECT_EQ(bytesOf(value), pattern(4, 0x31));
  // A new length gives that many zero bytes.
  EXPECT_TRUE(value.setDataLength(10));
  EXPECT_EQ(bytesOf(value), Bytes(10, 0));
  ASSERT_TRUE(value.set(pattern(10, 1).data(), 10));
  EXPECT_TRUE(value.setDataLength(3));
  EXPECT_EQ(bytesOf(value), Bytes(3, 0));
  // Zero releases the storage.
  EXPECT_TRUE(value.setDataLength(0));
  EXPECT_EQ(value.dataLength(), 0u);
  EXPECT_EQ(value.dataPointer(), nullptr);
  expectCodes(value, 0, 0);

  // Every call (set included) is traced as function 59.
  EXPECT_EQ(trace.entries(59), 5);
  EXPECT_EQ(trace.exitValues(59), (std::vector<std::int32_t>{0, 0, 0, 0, 0}));
}

TEST(KxlBinTest, SetDataLengthWithoutStorageKeepsTheOldBytes) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlBin value = binOf(pattern(6, 0x61));
  const unsigned char *before = value.dataPointer();
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(value.setDataLength(12));
    EXPECT_EQ(failure.failed(), 1);
  }
  expectCodes(value, KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_TRUE(trace.sawText(59, kStorageText));
  EXPECT_EQ(trace.exitValues(59), (std::vector<std::int32_t>{KXRC_STORAGE_NOT_AVAILABLE}));
  EXPECT_EQ(value.dataPointer(), before);
  EXPECT_EQ(bytesOf(value), pattern(6, 0x61));
}

TEST(KxlBinTest, SetAndAssignmentWithoutStorageKeepTheOldBytes) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlBin value = binOf(pattern(6, 0x61));
  const KxlBin longer = binOf(pattern(20, 0x01));
  {
    kxltest::AllocationFailure failure(1, true);
    EXPECT_FALSE(value.set(longer.dataPointer(), longer.dataLength()));
    expectCodes(value, KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
    EXPECT_EQ(bytesOf(value), pattern(6, 0x61));

    value.clearErrorCodes();
    value = longer;
    expectCodes(value, KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
    EXPECT_EQ(bytesOf(value), pattern(6, 0x61));

    const Bytes source = pattern(3, 0x70);
    const KxlBin constructed(source.data(), source.size());
    EXPECT_EQ(constructed.dataLength(), 0u);
    expectCodes(constructed, KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
  }
}

TEST(KxlBinTest, EmptyByteStringHoldsNoStorage) {
  kxltest::AllocationCounter counter;
  KxlBin value;
  ASSERT_TRUE(value.set(nullptr, 0));
  ASSERT_TRUE(value.setDataLength(0));
  KxlBin copy(value);
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(copy.dataPointer(), nullptr);
}

TEST(KxlBinTest, ClearReleasesAndKeepsCodes) {
  const Bytes source = pattern(4, 9);
  ClearableBin value(source.data(), source.size());
  ASSERT_FALSE(value.set(nullptr, 3));
  value.clear();
  EXPECT_EQ(value.dataLength(), 0u);
  EXPECT_EQ(value.dataPointer(), nullptr);
  expectCodes(value, KXCC_FAILED, KXRC_BUFFER_ERROR);
}

TEST(KxlBinTest, Equality) {
  struct Case {
    Bytes left;
    Bytes right;
    bool equal;
  };
  const Case cases[] = {
      {{}, {}, true},
      {{1, 2, 3}, {1, 2, 3}, true},
      {{1, 2, 3}, {1, 2, 3, 0}, false},  // same prefix, other length
      {{1, 2, 3}, {1, 2, 4}, false},     // last byte differs
      {{0}, {}, false},
  };
  for (const Case &c : cases) {
    const KxlBin left = binOf(c.left);
    const KxlBin right = binOf(c.right);
    EXPECT_EQ(left == right, c.equal) << c.left.size() << "/" << c.right.size();
    EXPECT_EQ(right == left, c.equal);
  }
  // Codes are not compared.
  KxlBin failed = binOf({1, 2});
  ASSERT_FALSE(failed.set(nullptr, 1));
  EXPECT_TRUE(failed == binOf({1, 2}));
}

TEST(KxlBinTest, IsNull) {
  EXPECT_TRUE(KxlBin().isNull());
  EXPECT_TRUE(binOf(Bytes(8, 0)).isNull());
  Bytes lastSet(8, 0);
  lastSet[7] = 1;
  EXPECT_FALSE(binOf(lastSet).isNull());
  Bytes firstSet(8, 0);
  firstSet[0] = 0x80;
  EXPECT_FALSE(binOf(firstSet).isNull());
}

TEST(KxlBinTest, CopyOutPadsOrCuts) {
  struct Case {
    std::size_t valueLength;
    std::size_t fieldLength;
    char pad;
  };
  const Case cases[] = {
      {4, 24, '\0'}, {30, 24, '\0'}, {24, 24, ' '}, {0, 8, '*'}, {5, 6, '\xff'}, {3, 1, ' '},
  };
  for (const Case &c : cases) {
    kxltest::TraceCapture trace;
    const Bytes source = pattern(c.valueLength, 0x41);
    KxlBin value = binOf(source);
    // A guard byte after the field shows a write past its end.
    Bytes field(c.fieldLength + 1, 0xee);
    EXPECT_TRUE(value.copyOut(field.data(), c.fieldLength, c.pad));
    const std::size_t count = std::min(c.valueLength, c.fieldLength);
    Bytes expected(source.begin(), source.begin() + static_cast<long>(count));
    expected.resize(c.fieldLength, static_cast<unsigned char>(c.pad));
    expected.push_back(0xee);
    EXPECT_EQ(field, expected) << c.valueLength << " into " << c.fieldLength;
    expectCodes(value, 0, 0);  // cutting is not a warning
    EXPECT_EQ(trace.entries(0), 1);
    EXPECT_EQ(trace.exitValues(0), (std::vector<std::int32_t>{0}));
  }
}

TEST(KxlBinTest, CopyOutWithoutABuffer) {
  for (std::size_t valueLength : {std::size_t{0}, std::size_t{4}}) {
    KxlBin value = binOf(pattern(valueLength, 1));
    kxltest::TraceCapture trace;
    EXPECT_TRUE(value.copyOut(nullptr, 0, ' '));
    expectCodes(value, 0, 0);
    EXPECT_FALSE(value.copyOut(nullptr, 8, ' ')) << valueLength;
    expectCodes(value, KXCC_FAILED, KXRC_NO_BUFFER);
    EXPECT_TRUE(trace.sawText(0, kNoBufferText));
    EXPECT_EQ(trace.exitValues(0), (std::vector<std::int32_t>{0, KXRC_NO_BUFFER}));
    EXPECT_EQ(bytesOf(value), pattern(valueLength, 1));
  }
}

TEST(KxlBinTest, CopyOutToARefusedBuffer) {
  KxlBin value = binOf(pattern(4, 1));
  Bytes field(8, 0xee);
  kxltest::TraceCapture trace;
  kxltest::PointerRefusal refusal(field.data() + 7, 1, kxltest::PointerRefusal::kWrite);
  EXPECT_FALSE(value.copyOut(field.data(), field.size(), '\0'));
  expectCodes(value, KXCC_FAILED, KXRC_BUFFER_ERROR);
  EXPECT_TRUE(trace.sawText(63, kWritePointerText));
  EXPECT_EQ(trace.exitValues(0), (std::vector<std::int32_t>{KXRC_BUFFER_ERROR}));
  EXPECT_EQ(field, Bytes(8, 0xee));
}

TEST(KxlBinTest, CopiesOwnTheirBytes) {
  auto source = std::make_unique<KxlBin>(pattern(12, 0x05).data(), 12);
  ASSERT_FALSE(source->set(nullptr, 1));  // codes 2/2004 travel with the copy
  KxlBin constructed(*source);
  KxlBin assigned = binOf(pattern(3, 0x99));
  assigned = *source;
  EXPECT_NE(constructed.dataPointer(), source->dataPointer());
  EXPECT_NE(assigned.dataPointer(), source->dataPointer());
  source.reset();
  EXPECT_EQ(bytesOf(constructed), pattern(12, 0x05));
  EXPECT_EQ(bytesOf(assigned), pattern(12, 0x05));
  expectCodes(constructed, KXCC_FAILED, KXRC_BUFFER_ERROR);
  expectCodes(assigned, KXCC_FAILED, KXRC_BUFFER_ERROR);

  // Assigning an empty byte string releases the storage.
  assigned = KxlBin();
  EXPECT_EQ(assigned.dataPointer(), nullptr);
  expectCodes(assigned, 0, 0);
}

TEST(KxlBinTest, SelfAssignmentChangesNothing) {
  KxlBin value = binOf(pattern(5, 0x10));
  ASSERT_FALSE(value.copyOut(nullptr, 2, ' '));
  const unsigned char *before = value.dataPointer();
  KxlBin &alias = value;
  value = alias;
  EXPECT_EQ(value.dataPointer(), before);
  EXPECT_EQ(bytesOf(value), pattern(5, 0x10));
  expectCodes(value, KXCC_FAILED, KXRC_NO_BUFFER);
}

std::string messageBytes(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}

std::string asString(const Bytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(KxlBinItemTest, WritingReplacesTheMessageData) {
  KxlMsg message;
  message.setFormat("KXSTR");
  message.setEncoding(273);
  message.setCharacterSet(850);
  ASSERT_TRUE(message.write(11, "older data!"));

  KxlBin value = binOf(pattern(6, 0xf0));
  EXPECT_TRUE(message.writeItem(value));
  EXPECT_EQ(messageBytes(message), asString(pattern(6, 0xf0)));
  EXPECT_TRUE(message.formatIs(kBinaryFormat));
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  expectCodes(message, 0, 0);
  expectCodes(value, 0, 0);
}

TEST(KxlBinItemTest, ReadingTakesEverythingAfterTheDataOffset) {
  KxlMsg message;
  KxlBin written = binOf(pattern(10, 0x30));
  ASSERT_TRUE(message.writeItem(written));

  kxltest::TraceCapture trace;
  for (std::size_t offset : {std::size_t{0}, std::size_t{4}, std::size_t{10}}) {
    ASSERT_TRUE(message.setDataOffset(offset));
    KxlBin read = binOf(pattern(2, 0x77));
    EXPECT_TRUE(message.readItem(read)) << offset;
    EXPECT_EQ(bytesOf(read), pattern(10 - offset, static_cast<unsigned char>(0x30 + offset)));
    EXPECT_EQ(message.dataOffset(), message.messageLength());
    EXPECT_TRUE(message.formatIs(kBinaryFormat));
    EXPECT_EQ(message.encoding(), 546);
    expectCodes(read, 0, 0);
  }
  EXPECT_EQ(trace.entries(1), 3);
  EXPECT_EQ(trace.exitValues(1), (std::vector<std::int32_t>{0, 0, 0}));
}

TEST(KxlBinItemTest, ReadingAnotherFormatFails) {
  KxlMsg message;
  ASSERT_TRUE(message.write(4, "abcd"));
  ASSERT_TRUE(message.setDataOffset(0));
  message.setFormat("KXSTR");
  KxlBin value = binOf(pattern(3, 0x01));
  kxltest::TraceCapture trace;
  EXPECT_FALSE(message.readItem(value));
  expectCodes(value, KXCC_FAILED, KXRC_WRONG_FORMAT);
  expectCodes(message, KXCC_FAILED, KXRC_WRONG_FORMAT);
  EXPECT_TRUE(trace.sawText(1, kFormatText));
  EXPECT_EQ(trace.exitValues(1), (std::vector<std::int32_t>{KXRC_WRONG_FORMAT}));
  EXPECT_EQ(bytesOf(value), pattern(3, 0x01));
  EXPECT_EQ(message.dataOffset(), 0u);
}

TEST(KxlBinItemTest, ReadingWithoutStorageKeepsTheOldBytes) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlMsg message;
  KxlBin written = binOf(pattern(16, 0x01));
  ASSERT_TRUE(message.writeItem(written));
  ASSERT_TRUE(message.setDataOffset(0));
  KxlBin value = binOf(pattern(3, 0x50));
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1, true);
    EXPECT_FALSE(value.pasteIn(message));
  }
  expectCodes(value, KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_TRUE(trace.sawText(59, kStorageText));
  EXPECT_EQ(trace.exitValues(1), (std::vector<std::int32_t>{KXRC_STORAGE_NOT_AVAILABLE}));
  EXPECT_EQ(bytesOf(value), pattern(3, 0x50));
  EXPECT_EQ(message.dataOffset(), 0u);
}

TEST(KxlBinItemTest, FailedReadKeepsTheOldBytes) {
  KxlMsg message;
  KxlBin written = binOf(pattern(16, 0x01));
  ASSERT_TRUE(message.writeItem(written));
  ASSERT_TRUE(message.setDataOffset(2));
  KxlBin value = binOf(pattern(3, 0x50));
  kxltest::TraceCapture trace;
  {
    // The new storage cannot be known in advance: refuse every write.
    kxltest::PointerRefusal refusal(reinterpret_cast<const void *>(1), SIZE_MAX - 2,
                                    kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(value.pasteIn(message));
  }
  expectCodes(value, KXCC_FAILED, KXRC_BUFFER_ERROR);
  EXPECT_EQ(trace.exitValues(1), (std::vector<std::int32_t>{KXRC_BUFFER_ERROR}));
  EXPECT_EQ(bytesOf(value), pattern(3, 0x50));
  EXPECT_EQ(message.dataOffset(), 2u);
}

TEST(KxlBinItemTest, WritingIntoATooSmallApplicationBufferFails) {
  char buffer[4];
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer, sizeof buffer));
  KxlBin value = binOf(pattern(8, 0x01));
  EXPECT_FALSE(value.copyOut(message));
  expectCodes(value, KXCC_FAILED, KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(bytesOf(value), pattern(8, 0x01));
}

TEST(KxlBinItemTest, EmptyByteStringRoundTrip) {
  KxlMsg message;
  ASSERT_TRUE(message.write(3, "xyz"));
  KxlBin empty;
  EXPECT_TRUE(message.writeItem(empty));
  EXPECT_EQ(message.messageLength(), 0u);
  EXPECT_TRUE(message.formatIs(kBinaryFormat));
  KxlBin read = binOf(pattern(4, 1));
  EXPECT_TRUE(message.readItem(read));
  EXPECT_EQ(read.dataLength(), 0u);
  EXPECT_EQ(read.dataPointer(), nullptr);
}

}  // namespace
