// The message buffer: growth, reads and writes at the data offset,
// application buffers, resizing and assignment, with the codes and texts of
// every refusal and the state it leaves.

#include "kxlcac.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kxltest.hpp"

namespace {

constexpr char kInsufficientBuffer[] = "KxlCache::moreBytes (error): insufficient buffer";
constexpr char kSizeOverflow[] = "KxlCache::moreBytes (error): storage not available";
constexpr char kNoStorage[] = "KxlCache::resizeBuffer (error): storage not available";

std::string pattern(std::size_t length, int seed = 0) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0xff);
  return bytes;
}

// Everything a cache shows, so that "unchanged" can be checked in one go.
struct Snapshot {
  const char *buffer;
  std::size_t bufferLength;
  std::size_t messageLength;
  std::size_t dataOffset;
  bool automatic;
  long completion;
  long reason;
  std::string message;

  bool operator==(const Snapshot &other) const {
    return buffer == other.buffer && bufferLength == other.bufferLength &&
           messageLength == other.messageLength && dataOffset == other.dataOffset &&
           automatic == other.automatic && completion == other.completion &&
           reason == other.reason && message == other.message;
  }
};

Snapshot snapshot(const KxlCac &cache) {
  return {cache.bufferPointer(),
          cache.bufferLength(),
          cache.messageLength(),
          cache.dataOffset(),
          cache.automaticBuffer(),
          cache.completionCode(),
          cache.reasonCode(),
          std::string(cache.bufferPointer() == nullptr ? "" : cache.bufferPointer(),
                      cache.messageLength())};
}

void PrintTo(const Snapshot &s, std::ostream *os) {
  *os << "{buffer length " << s.bufferLength << ", message length " << s.messageLength
      << ", data offset " << s.dataOffset << ", automatic " << s.automatic << ", codes "
      << s.completion << "/" << s.reason << "}";
}

TEST(KxlCacTest, NewCacheIsEmptyAndAutomatic) {
  KxlCac cache;
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  EXPECT_EQ(cache.bufferLength(), 0u);
  EXPECT_EQ(cache.messageLength(), 0u);
  EXPECT_EQ(cache.dataOffset(), 0u);
  EXPECT_TRUE(cache.automaticBuffer());
  EXPECT_EQ(cache.dataLength(), 0u);
}

TEST(KxlCacTest, EmptyWriteAllocatesNothing) {
  KxlCac cache;
  kxltest::AllocationCounter counter;
  EXPECT_TRUE(cache.write(0, nullptr));
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  EXPECT_EQ(cache.bufferLength(), 0u);
}

TEST(KxlCacTest, FirstWriteAllocatesExactlyThenBufferDoubles) {
  const std::string bytes = pattern(11);
  KxlCac cache;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(cache.write(10, bytes.data()));
  EXPECT_EQ(cache.bufferLength(), 10u);
  EXPECT_EQ(cache.messageLength(), 10u);
  EXPECT_EQ(cache.dataOffset(), 10u);
  ASSERT_TRUE(cache.write(1, bytes.data() + 10));
  EXPECT_EQ(cache.bufferLength(), 20u);
  EXPECT_EQ(cache.messageLength(), 11u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 11), bytes);
  EXPECT_EQ(trace.entries(9), 2);
  EXPECT_EQ(trace.exitValues(9), (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(trace.entries(5), 2);
}

TEST(KxlCacTest, ManySmallWritesReallocateLogarithmically) {
  KxlCac cache;
  kxltest::AllocationCounter counter;
  const std::string bytes = pattern(4096);
  for (char byte : bytes) ASSERT_TRUE(cache.write(1, &byte));
  EXPECT_EQ(cache.bufferLength(), 4096u);
  EXPECT_EQ(counter.count(), 13);  // 1, 2, 4, ... 4096
  EXPECT_EQ(std::string(cache.bufferPointer(), cache.messageLength()), bytes);
}

TEST(KxlCacTest, GrowthTakesTheOffsetIntoAccount) {
  // Room for count bytes after the offset: the larger of offset + count and
  // twice the buffer.
  KxlCac cache;
  ASSERT_TRUE(cache.resizeBuffer(8));
  ASSERT_TRUE(cache.setDataOffset(8));
  ASSERT_TRUE(cache.moreBytes(3));
  EXPECT_EQ(cache.bufferLength(), 16u);
  ASSERT_TRUE(cache.setDataOffset(16));
  ASSERT_TRUE(cache.moreBytes(40));
  EXPECT_EQ(cache.bufferLength(), 56u);
  EXPECT_EQ(cache.dataOffset(), 16u);
}

TEST(KxlCacTest, WritingInTheMiddleOverwritesInPlace) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(6, "abcdef"));
  ASSERT_TRUE(cache.setDataOffset(2));
  ASSERT_TRUE(cache.write(2, "XY"));
  EXPECT_EQ(cache.messageLength(), 6u);
  EXPECT_EQ(cache.dataOffset(), 4u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 6), "abXYef");
  ASSERT_TRUE(cache.write(4, "1234"));
  EXPECT_EQ(cache.messageLength(), 8u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 8), "abXY1234");
}

TEST(KxlCacTest, SizeThatCannotBeRepresentedIsRefused) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(5, "12345"));
  const Snapshot before = snapshot(cache);
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  EXPECT_FALSE(cache.moreBytes(SIZE_MAX - 2));
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(trace.texts(3), std::vector<std::string>{kSizeOverflow});
  EXPECT_EQ(cache.completionCode(), KXCC_FAILED);
  EXPECT_EQ(cache.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);

  // A write of that size fails the same way before looking at its source.
  cache.clearErrorCodes();
  EXPECT_FALSE(cache.write(SIZE_MAX - 2, nullptr));
  EXPECT_EQ(cache.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_EQ(trace.exitValues(9), std::vector<std::int32_t>{KXRC_STORAGE_NOT_AVAILABLE});
}

// A failing write or read: its text, function number and codes, and a cache
// otherwise as it was.
struct TransferFailure {
  const char *name;
  unsigned function;
  const char *text;
  long reason;
};

class KxlCacWriteFailureTest : public ::testing::TestWithParam<TransferFailure> {};

TEST_P(KxlCacWriteFailureTest, LeavesTheCacheAsItWas) {
  const TransferFailure &c = GetParam();
  std::vector<char> application(8, 'a');
  KxlCac cache;
  ASSERT_TRUE(cache.useEmptyBuffer(application.data(), application.size()));
  ASSERT_TRUE(cache.write(3, "xyz"));
  const Snapshot before = snapshot(cache);
  const std::string source = pattern(6);

  kxltest::TraceCapture trace;
  bool written;
  const std::string name = c.name;
  if (name == "applicationBufferTooSmall") {
    written = cache.write(6, source.data());
  } else if (name == "nullSource") {
    written = cache.write(2, nullptr);
  } else if (name == "sourceRefused") {
    kxltest::PointerRefusal refusal(source.data(), 2, kxltest::PointerRefusal::kRead);
    written = cache.write(2, source.data());
  } else {
    kxltest::PointerRefusal refusal(application.data() + 4, 1, kxltest::PointerRefusal::kWrite);
    written = cache.write(2, source.data());
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(trace.texts(), std::vector<std::string>{c.text});
  EXPECT_TRUE(trace.sawText(c.function, c.text));
  EXPECT_EQ(trace.exitValues(9), std::vector<std::int32_t>{static_cast<std::int32_t>(c.reason)});
  EXPECT_EQ(cache.completionCode(), KXCC_FAILED);
  EXPECT_EQ(cache.reasonCode(), c.reason);
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);
  EXPECT_EQ(std::string(application.data(), 8), "xyzaaaaa");
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, KxlCacWriteFailureTest,
    ::testing::Values(TransferFailure{"applicationBufferTooSmall", 3, kInsufficientBuffer,
                                      KXRC_INSUFFICIENT_BUFFER},
                      TransferFailure{"nullSource", 9, "KxlCache::write (error): null data pointer",
                                      KXRC_NULL_POINTER},
                      TransferFailure{"sourceRefused", 62,
                                      "KxlError::checkReadPointer (error): buffer error",
                                      KXRC_BUFFER_ERROR},
                      TransferFailure{"targetRefused", 63,
                                      "KxlError::checkWritePointer (error): buffer error",
                                      KXRC_BUFFER_ERROR}),
    [](const ::testing::TestParamInfo<TransferFailure> &info) { return info.param.name; });

TEST(KxlCacTest, ReadCopiesAndAdvances) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(6, "abcdef"));
  ASSERT_TRUE(cache.setDataOffset(1));
  char bytes[4] = {0, 0, 0, 0};
  char *destination = bytes;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(cache.read(3, destination));
  EXPECT_EQ(destination, bytes);
  EXPECT_EQ(std::string(bytes, 4), std::string("bcd\0", 4));
  EXPECT_EQ(cache.dataOffset(), 4u);
  EXPECT_EQ(cache.dataLength(), 2u);
  EXPECT_EQ(trace.entries(4), 1);
  EXPECT_EQ(trace.exitValues(4), std::vector<std::int32_t>{0});

  char *none = nullptr;
  EXPECT_TRUE(cache.read(0, none));
  EXPECT_EQ(cache.completionCode(), KXCC_OK);
}

class KxlCacReadFailureTest : public ::testing::TestWithParam<TransferFailure> {};

TEST_P(KxlCacReadFailureTest, LeavesCacheAndDestinationAsTheyWere) {
  const TransferFailure &c = GetParam();
  KxlCac cache;
  ASSERT_TRUE(cache.write(6, "abcdef"));
  ASSERT_TRUE(cache.setDataOffset(2));
  const Snapshot before = snapshot(cache);
  char bytes[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
  char *destination = bytes;
  char *none = nullptr;

  kxltest::TraceCapture trace;
  bool read;
  const std::string name = c.name;
  if (name == "moreThanTheData") {
    read = cache.read(5, destination);
  } else if (name == "nullDestination") {
    read = cache.read(2, none);
  } else {
    kxltest::PointerRefusal refusal(bytes + 1, 1, kxltest::PointerRefusal::kWrite);
    read = cache.read(2, destination);
  }
  EXPECT_FALSE(read);
  EXPECT_EQ(trace.texts(), std::vector<std::string>{c.text});
  EXPECT_TRUE(trace.sawText(c.function, c.text));
  EXPECT_EQ(trace.exitValues(4), std::vector<std::int32_t>{static_cast<std::int32_t>(c.reason)});
  EXPECT_EQ(cache.completionCode(), KXCC_FAILED);
  EXPECT_EQ(cache.reasonCode(), c.reason);
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);
  EXPECT_EQ(std::string(bytes, 8), "--------");
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, KxlCacReadFailureTest,
    ::testing::Values(
        TransferFailure{"moreThanTheData", 4, "KxlCache::read (error): insufficient data",
                        KXRC_INSUFFICIENT_DATA},
        TransferFailure{"nullDestination", 4, "KxlCache::read (error): null data pointer",
                        KXRC_NULL_POINTER},
        TransferFailure{"destinationRefused", 63,
                        "KxlError::checkWritePointer (error): buffer error", KXRC_BUFFER_ERROR}),
    [](const ::testing::TestParamInfo<TransferFailure> &info) { return info.param.name; });

TEST(KxlCacTest, ResizeToTheSameLengthChangesNothing) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(4, "abcd"));
  const Snapshot before = snapshot(cache);
  kxltest::AllocationCounter counter;
  EXPECT_TRUE(cache.resizeBuffer(4));
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(snapshot(cache), before);
}

TEST(KxlCacTest, ApplicationBufferIsNeverResized) {
  std::vector<char> application(8);
  KxlCac cache;
  ASSERT_TRUE(cache.useFullBuffer(application.data(), 8));
  const Snapshot before = snapshot(cache);
  kxltest::TraceCapture trace;
  for (std::size_t length : {std::size_t{8}, std::size_t{0}, std::size_t{16}}) {
    cache.clearErrorCodes();
    EXPECT_FALSE(cache.resizeBuffer(length));
    EXPECT_EQ(cache.reasonCode(), KXRC_USER_BUFFER_NOT_RESIZABLE);
    EXPECT_EQ(cache.completionCode(), KXCC_FAILED);
  }
  EXPECT_EQ(
      trace.texts(5),
      std::vector<std::string>(3, "KxlCache::resizeBuffer (error): user buffer cannot be resized"));
  EXPECT_EQ(trace.exitValues(5), std::vector<std::int32_t>(3, KXRC_USER_BUFFER_NOT_RESIZABLE));
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);

  cache.clearErrorCodes();
  EXPECT_FALSE(cache.setMessageLength(9));
  EXPECT_EQ(cache.reasonCode(), KXRC_USER_BUFFER_NOT_RESIZABLE);
  EXPECT_FALSE(cache.setDataOffset(9));
  EXPECT_EQ(cache.messageLength(), 8u);
  EXPECT_EQ(cache.dataOffset(), 0u);
}

TEST(KxlCacTest, ShrinkingBelowTheMessageCutsItWithAWarning) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(10, "0123456789"));
  kxltest::TraceCapture trace;
  EXPECT_TRUE(cache.resizeBuffer(4));
  EXPECT_EQ(cache.completionCode(), KXCC_WARNING);
  EXPECT_EQ(cache.reasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_TRUE(trace.sawText(5, "KxlCache::resizeBuffer (warning): data truncated"));
  EXPECT_EQ(trace.exitValues(5), std::vector<std::int32_t>{KXRC_DATA_TRUNCATED});
  EXPECT_EQ(cache.bufferLength(), 4u);
  EXPECT_EQ(cache.messageLength(), 4u);
  EXPECT_EQ(cache.dataOffset(), 4u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 4), "0123");

  EXPECT_TRUE(cache.resizeBuffer(0));
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  EXPECT_EQ(cache.bufferLength(), 0u);
  EXPECT_EQ(cache.messageLength(), 0u);
  EXPECT_EQ(cache.dataOffset(), 0u);
}

TEST(KxlCacTest, GrowingKeepsMessageAndOffset) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(4, "abcd"));
  ASSERT_TRUE(cache.setDataOffset(1));
  ASSERT_TRUE(cache.resizeBuffer(100));
  EXPECT_EQ(cache.bufferLength(), 100u);
  EXPECT_EQ(cache.messageLength(), 4u);
  EXPECT_EQ(cache.dataOffset(), 1u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 4), "abcd");
  EXPECT_EQ(cache.completionCode(), KXCC_OK);
}

TEST(KxlCacTest, FailedAllocationLeavesTheBufferInPlace) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlCac cache;
  ASSERT_TRUE(cache.write(4, "abcd"));
  ASSERT_TRUE(cache.setDataOffset(2));
  const Snapshot before = snapshot(cache);
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(cache.resizeBuffer(3));  // the truncation warning is overwritten
    EXPECT_EQ(failure.failed(), 1);
  }
  EXPECT_EQ(cache.completionCode(), KXCC_FAILED);
  EXPECT_EQ(cache.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_EQ(trace.texts(5), (std::vector<std::string>{
                                "KxlCache::resizeBuffer (warning): data truncated", kNoStorage}));
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);

  // A write that needs the buffer to grow fails the same way.
  cache.clearErrorCodes();
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(cache.write(5, "vwxyz"));
  }
  EXPECT_EQ(cache.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_EQ(std::string(cache.bufferPointer(), 4), "abcd");
  EXPECT_EQ(cache.messageLength(), 4u);
}

TEST(KxlCacTest, MovingTheOffsetPastTheEndLengthensTheMessage) {
  KxlCac cache;
  ASSERT_TRUE(cache.resizeBuffer(10));
  ASSERT_TRUE(cache.write(3, "abc"));
  ASSERT_TRUE(cache.setDataOffset(7));
  EXPECT_EQ(cache.messageLength(), 7u);
  EXPECT_EQ(cache.dataOffset(), 7u);
  EXPECT_EQ(cache.bufferLength(), 10u);

  ASSERT_TRUE(cache.setDataOffset(12));
  EXPECT_EQ(cache.bufferLength(), 12u);
  EXPECT_EQ(cache.messageLength(), 12u);
  EXPECT_EQ(std::string(cache.bufferPointer(), 3), "abc");

  ASSERT_TRUE(cache.setMessageLength(5));
  EXPECT_EQ(cache.messageLength(), 5u);
  EXPECT_EQ(cache.dataOffset(), 5u);
  EXPECT_EQ(cache.bufferLength(), 12u);
}

TEST(KxlCacTest, ClearMessageKeepsTheBuffer) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(3, "abc"));
  const char *buffer = cache.bufferPointer();
  cache.clearMessage();
  EXPECT_EQ(cache.bufferPointer(), buffer);
  EXPECT_EQ(cache.bufferLength(), 3u);
  EXPECT_EQ(cache.messageLength(), 0u);
  EXPECT_EQ(cache.dataOffset(), 0u);
}

TEST(KxlCacTest, ApplicationBufferTakesWritesInPlace) {
  std::vector<char> application(6, '.');
  KxlCac cache;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(cache.useEmptyBuffer(application.data(), application.size()));
  EXPECT_EQ(trace.entries(8), 1);
  EXPECT_FALSE(cache.automaticBuffer());
  EXPECT_EQ(cache.bufferPointer(), application.data());
  EXPECT_EQ(cache.messageLength(), 0u);
  ASSERT_TRUE(cache.write(6, "abcdef"));
  EXPECT_EQ(std::string(application.data(), 6), "abcdef");
  EXPECT_EQ(cache.bufferLength(), 6u);
}

TEST(KxlCacTest, FullBufferHoldsItsMessage) {
  char application[] = {'h', 'e', 'l', 'l', 'o'};
  KxlCac cache;
  ASSERT_TRUE(cache.write(3, "own"));
  kxltest::TraceCapture trace;
  ASSERT_TRUE(cache.useFullBuffer(application, 5));
  EXPECT_EQ(trace.entries(8), 1);
  EXPECT_EQ(cache.messageLength(), 5u);
  EXPECT_EQ(cache.dataOffset(), 0u);
  EXPECT_EQ(cache.dataLength(), 5u);
  char bytes[5];
  char *destination = bytes;
  ASSERT_TRUE(cache.read(5, destination));
  EXPECT_EQ(std::string(bytes, 5), "hello");
}

TEST(KxlCacTest, LengthZeroReturnsToAnAutomaticBuffer) {
  std::vector<char> application(4);
  KxlCac cache;
  ASSERT_TRUE(cache.useFullBuffer(application.data(), 4));
  // The application's buffer is forgotten, not freed (a free would be
  // caught by the address sanitizer).
  ASSERT_TRUE(cache.useEmptyBuffer(application.data(), 0));
  EXPECT_TRUE(cache.automaticBuffer());
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  EXPECT_EQ(cache.bufferLength(), 0u);

  // An automatic cache keeps its own buffer.
  ASSERT_TRUE(cache.write(3, "abc"));
  const char *own = cache.bufferPointer();
  ASSERT_TRUE(cache.useFullBuffer(nullptr, 0));
  EXPECT_EQ(cache.bufferPointer(), own);
  EXPECT_EQ(cache.bufferLength(), 3u);
  EXPECT_EQ(cache.messageLength(), 0u);
  EXPECT_EQ(cache.dataOffset(), 0u);
}

TEST(KxlCacTest, BufferRefusalsChangeNothing) {
  std::vector<char> application(4);
  KxlCac cache;
  ASSERT_TRUE(cache.write(3, "abc"));
  const Snapshot before = snapshot(cache);
  kxltest::TraceCapture trace;

  EXPECT_FALSE(cache.useEmptyBuffer(nullptr, 5));
  EXPECT_EQ(cache.reasonCode(), KXRC_NULL_POINTER);
  EXPECT_FALSE(cache.useFullBuffer(nullptr, 5));
  EXPECT_EQ(cache.reasonCode(), KXRC_NULL_POINTER);
  EXPECT_EQ(trace.texts(8), std::vector<std::string>(
                                2, "KxlCache::useEmpty/FullBuffer (error): length but no pointer"));
  EXPECT_EQ(trace.exitValues(8), std::vector<std::int32_t>(2, KXRC_NULL_POINTER));
  {
    kxltest::PointerRefusal refusal(application.data() + 3, 1, kxltest::PointerRefusal::kRead);
    EXPECT_FALSE(cache.useEmptyBuffer(application.data(), 4));
  }
  EXPECT_EQ(cache.reasonCode(), KXRC_BUFFER_ERROR);
  EXPECT_TRUE(trace.sawText(62, "KxlError::checkReadPointer (error): buffer error"));
  Snapshot after = snapshot(cache);
  after.completion = before.completion;
  after.reason = before.reason;
  EXPECT_EQ(after, before);
}

TEST(KxlCacTest, AssignmentIntoAShortApplicationBufferKeepsTheLeadingPart) {
  const std::string bytes = pattern(100, 3);
  KxlCac source;
  ASSERT_TRUE(source.write(100, bytes.data()));
  ASSERT_TRUE(source.setDataOffset(30));
  std::vector<char> application(40);
  KxlCac target;
  ASSERT_TRUE(target.useEmptyBuffer(application.data(), 40));
  kxltest::TraceCapture trace;
  target = source;
  EXPECT_EQ(target.completionCode(), KXCC_WARNING);
  EXPECT_EQ(target.reasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(trace.texts(),
            std::vector<std::string>{"KxlCache::operator = (warning): data truncated"});
  EXPECT_TRUE(trace.sawText(2, "KxlCache::operator = (warning): data truncated"));
  EXPECT_FALSE(target.automaticBuffer());
  EXPECT_EQ(target.bufferPointer(), application.data());
  EXPECT_EQ(target.messageLength(), 40u);
  EXPECT_EQ(target.dataOffset(), 30u);
  EXPECT_EQ(std::string(application.data(), 40), bytes.substr(0, 40));
}

TEST(KxlCacTest, AssignmentEndsWithAFailedResizeWhenTheOffsetDoesNotFit) {
  KxlCac source;
  ASSERT_TRUE(source.write(100, pattern(100).data()));
  std::vector<char> application(40);
  KxlCac target;
  ASSERT_TRUE(target.useEmptyBuffer(application.data(), 40));
  target = source;  // the source's data offset is 100
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_USER_BUFFER_NOT_RESIZABLE);
  EXPECT_EQ(target.messageLength(), 40u);
  EXPECT_EQ(target.dataOffset(), 0u);
}

TEST(KxlCacTest, AutomaticTargetGrowsAndTakesTheSourcesCodes) {
  std::vector<char> application(50);
  const std::string bytes = pattern(50, 1);
  std::copy(bytes.begin(), bytes.end(), application.begin());
  KxlCac source;
  ASSERT_TRUE(source.useFullBuffer(application.data(), 50));
  ASSERT_TRUE(source.setDataOffset(20));
  EXPECT_FALSE(source.moreBytes(100));  // leaves 2/6113 in the source

  KxlCac target;
  ASSERT_TRUE(target.write(5, "12345"));
  target = source;
  EXPECT_TRUE(target.automaticBuffer());
  EXPECT_EQ(target.bufferLength(), 50u);
  EXPECT_EQ(target.messageLength(), 50u);
  EXPECT_EQ(target.dataOffset(), 20u);
  EXPECT_EQ(std::string(target.bufferPointer(), 50), bytes);
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_INSUFFICIENT_BUFFER);

  // A copy is automatic and owns its bytes, whatever its source was.
  KxlCac copy(source);
  EXPECT_TRUE(copy.automaticBuffer());
  EXPECT_NE(copy.bufferPointer(), application.data());
  EXPECT_EQ(std::string(copy.bufferPointer(), 50), bytes);
  EXPECT_EQ(copy.dataOffset(), 20u);
  EXPECT_EQ(copy.reasonCode(), KXRC_INSUFFICIENT_BUFFER);

  // A target that already has room keeps its buffer.
  KxlCac roomy;
  ASSERT_TRUE(roomy.resizeBuffer(80));
  const char *own = roomy.bufferPointer();
  roomy = source;
  EXPECT_EQ(roomy.bufferPointer(), own);
  EXPECT_EQ(roomy.bufferLength(), 80u);
  EXPECT_EQ(roomy.messageLength(), 50u);
}

TEST(KxlCacTest, AssignmentWhoseGrowthFailsCopiesWhatFits) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlCac source;
  ASSERT_TRUE(source.write(100, pattern(100).data()));
  ASSERT_TRUE(source.setDataOffset(0));
  KxlCac target;
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    target = source;
  }
  EXPECT_EQ(target.completionCode(), KXCC_WARNING);
  EXPECT_EQ(target.reasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(trace.texts(), (std::vector<std::string>{
                               kNoStorage, "KxlCache::operator = (warning): data truncated"}));
  EXPECT_EQ(target.bufferLength(), 0u);
  EXPECT_EQ(target.messageLength(), 0u);
}

}  // namespace
