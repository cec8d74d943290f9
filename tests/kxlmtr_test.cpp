#include "kxlmtr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxltest.hpp"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const KxlBin &value) {
  return Bytes(value.dataPointer(), value.dataPointer() + value.dataLength());
}

Bytes pattern(std::size_t length, unsigned char first) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(first + i);
  return bytes;
}

KxlBin binOf(const Bytes &bytes) { return KxlBin(bytes.data(), bytes.size()); }

// Exposes the protected redirection of the five values.
class TrackingTracker : public KxlMtr {
 public:
  using KxlMtr::trackInto;
};

// One binary value of the tracker, driven through its three access paths.
struct BinaryValue {
  const char *name;
  std::size_t width;
  unsigned short function;
  const char *text;
  KxlBin (KxlMtr::*get)() const;
  bool (KxlMtr::*setBin)(const KxlBin &);
  void (KxlMtr::*setBytes)(const unsigned char *);
};

const BinaryValue kBinaryValues[] = {
    {"accountingToken", 32, 18,
     "KxlMessageTracker::setAccountingToken (error): binary data length error",
     &KxlMtr::accountingToken, &KxlMtr::setAccountingToken, &KxlMtr::setAccountingToken},
    {"correlationId", 24, 19,
     "KxlMessageTracker::setCorrelationId (error): binary data length error",
     &KxlMtr::correlationId, &KxlMtr::setCorrelationId, &KxlMtr::setCorrelationId},
    {"groupId", 24, 20, "KxlMessageTracker::setGroupId (error): binary data length error",
     &KxlMtr::groupId, &KxlMtr::setGroupId, &KxlMtr::setGroupId},
    {"messageId", 24, 21, "KxlMessageTracker::setMessageId (error): binary data length error",
     &KxlMtr::messageId, &KxlMtr::setMessageId, &KxlMtr::setMessageId},
};

class KxlMtrValueTest : public ::testing::TestWithParam<BinaryValue> {};

INSTANTIATE_TEST_SUITE_P(AllBinaryValues, KxlMtrValueTest, ::testing::ValuesIn(kBinaryValues),
                         [](const ::testing::TestParamInfo<BinaryValue> &info) {
                           return std::string(info.param.name);
                         });

TEST(KxlMtrTest, FreshTrackerHasNoValues) {
  KxlMtr tracker;
  EXPECT_EQ(tracker.feedback(), 0);
  for (const BinaryValue &value : kBinaryValues) {
    EXPECT_EQ((tracker.*value.get)().dataLength(), 0u) << value.name;
  }
  EXPECT_EQ(tracker.completionCode(), 0);
  EXPECT_EQ(tracker.reasonCode(), 0);
}

TEST_P(KxlMtrValueTest, ExactWidthIsStoredAndReadBack) {
  const BinaryValue &value = GetParam();
  KxlMtr tracker;
  const Bytes written = pattern(value.width, 0x41);
  EXPECT_TRUE((tracker.*value.setBin)(binOf(written)));
  EXPECT_EQ(bytesOf((tracker.*value.get)()), written);
  EXPECT_EQ(tracker.completionCode(), 0);
  EXPECT_EQ(tracker.reasonCode(), 0);
}

TEST_P(KxlMtrValueTest, EmptyByteStringZeroesTheWholeValue) {
  const BinaryValue &value = GetParam();
  KxlMtr tracker;
  ASSERT_TRUE((tracker.*value.setBin)(binOf(pattern(value.width, 0x10))));
  EXPECT_TRUE((tracker.*value.setBin)(KxlBin()));
  EXPECT_EQ(bytesOf((tracker.*value.get)()), Bytes(value.width, 0));
}

TEST_P(KxlMtrValueTest, WrongLengthFailsAndKeepsThePreviousValue) {
  const BinaryValue &value = GetParam();
  const Bytes previous = pattern(value.width, 0x61);
  // One short, one long, and the width of the other kind of value.
  const std::size_t otherWidth = value.width == 32 ? 24 : 32;
  for (std::size_t length : {value.width - 1, value.width + 1, otherWidth, std::size_t{1}}) {
    kxltest::TraceCapture trace;
    KxlMtr tracker;
    ASSERT_TRUE((tracker.*value.setBin)(binOf(previous)));
    EXPECT_FALSE((tracker.*value.setBin)(binOf(pattern(length, 0x01)))) << length;
    EXPECT_EQ(tracker.completionCode(), KXCC_FAILED);
    EXPECT_EQ(tracker.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_TRUE(trace.sawText(value.function, value.text)) << length;
    EXPECT_EQ(bytesOf((tracker.*value.get)()), previous) << length;
    // A later success leaves the codes of the failure.
    EXPECT_TRUE((tracker.*value.setBin)(KxlBin()));
    EXPECT_EQ(tracker.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  }
}

TEST_P(KxlMtrValueTest, RefusedFirstValueReadsAsZeros) {
  const BinaryValue &value = GetParam();
  KxlMtr tracker;
  EXPECT_FALSE((tracker.*value.setBin)(binOf(pattern(value.width + 2, 0x33))));
  EXPECT_EQ(bytesOf((tracker.*value.get)()), Bytes(value.width, 0));
}

TEST_P(KxlMtrValueTest, BytePointerFormCopiesTheWidthOrZeroes) {
  const BinaryValue &value = GetParam();
  kxltest::TraceCapture trace;
  KxlMtr tracker;
  // More bytes than the width: only the width is taken.
  const Bytes source = pattern(value.width + 8, 0x80);
  (tracker.*value.setBytes)(source.data());
  EXPECT_EQ(bytesOf((tracker.*value.get)()),
            Bytes(source.begin(), source.begin() + static_cast<long>(value.width)));
  (tracker.*value.setBytes)(nullptr);
  EXPECT_EQ(bytesOf((tracker.*value.get)()), Bytes(value.width, 0));
  EXPECT_EQ(tracker.completionCode(), 0);
  EXPECT_EQ(tracker.reasonCode(), 0);
  EXPECT_TRUE(trace.texts().empty());
}

TEST(KxlMtrTest, FeedbackKeepsTheLow32Bits) {
  struct Case {
    long given;
    long read;
  };
  const Case cases[] = {{0, 0},
                        {30, 30},
                        {-7, -7},
                        {0x7fffffffL, 0x7fffffffL},
                        {static_cast<long>(0xffffffffUL), -1}};
  for (const Case &c : cases) {
    KxlMtr tracker;
    tracker.setFeedback(c.given);
    EXPECT_EQ(tracker.feedback(), c.read) << c.given;
  }
}

TEST(KxlMtrTest, AssignmentGivesEveryValueStorageAndCopiesCodes) {
  auto source = std::make_unique<KxlMtr>();
  const Bytes id = pattern(24, 0x21);
  ASSERT_TRUE(source->setMessageId(binOf(id)));
  ASSERT_FALSE(source->setGroupId(binOf(pattern(5, 1))));  // codes 2/6111
  source->setFeedback(-3);

  KxlMtr target;
  ASSERT_TRUE(target.setCorrelationId(binOf(pattern(24, 0x90))));
  target = *source;
  // The source is left as it was.
  EXPECT_EQ(source->accountingToken().dataLength(), 0u);
  source.reset();  // the target must not share storage with the source

  EXPECT_EQ(bytesOf(target.messageId()), id);
  EXPECT_EQ(target.feedback(), -3);
  // Values the source never set (or whose set it refused) become zeros.
  EXPECT_EQ(bytesOf(target.accountingToken()), Bytes(32, 0));
  EXPECT_EQ(bytesOf(target.correlationId()), Bytes(24, 0));
  EXPECT_EQ(bytesOf(target.groupId()), Bytes(24, 0));
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
}

TEST(KxlMtrTest, SelfAssignmentChangesNothing) {
  KxlMtr tracker;
  ASSERT_TRUE(tracker.setMessageId(binOf(pattern(24, 0x05))));
  ASSERT_FALSE(tracker.setMessageId(binOf(pattern(2, 0))));
  KxlMtr &alias = tracker;
  tracker = alias;
  EXPECT_EQ(bytesOf(tracker.messageId()), pattern(24, 0x05));
  // Nothing else gained storage.
  EXPECT_EQ(tracker.groupId().dataLength(), 0u);
  EXPECT_EQ(tracker.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
}

// Storage of the caller's, laid out as a message would hold the values.
struct CallerStorage {
  unsigned char accountingToken[32];
  unsigned char correlationId[24];
  std::int32_t feedback;
  unsigned char groupId[24];
  unsigned char messageId[24];
};

TEST(KxlMtrTest, TrackedValuesLiveInTheCallersStorage) {
  auto storage = std::make_unique<CallerStorage>();
  std::memset(storage.get(), 0x5a, sizeof *storage);
  {
    auto tracker = std::make_unique<TrackingTracker>();
    // Storage obtained before the redirection is given up, not leaked.
    tracker->setFeedback(1);
    ASSERT_TRUE(tracker->setGroupId(binOf(pattern(24, 0x11))));
    tracker->trackInto(storage->accountingToken, storage->correlationId, &storage->feedback,
                       storage->groupId, storage->messageId);

    EXPECT_EQ(bytesOf(tracker->messageId()), Bytes(24, 0x5a));
    ASSERT_TRUE(tracker->setMessageId(binOf(pattern(24, 0xa0))));
    ASSERT_TRUE(tracker->setCorrelationId(KxlBin()));
    tracker->setAccountingToken(pattern(32, 0x02).data());
    tracker->setFeedback(-12);
    EXPECT_EQ(Bytes(storage->messageId, storage->messageId + 24), pattern(24, 0xa0));
    EXPECT_EQ(Bytes(storage->correlationId, storage->correlationId + 24), Bytes(24, 0));
    EXPECT_EQ(Bytes(storage->accountingToken, storage->accountingToken + 32), pattern(32, 0x02));
    EXPECT_EQ(storage->feedback, -12);
    EXPECT_EQ(Bytes(storage->groupId, storage->groupId + 24), Bytes(24, 0x5a));

    // A change made by the owner of the storage shows through the tracker.
    storage->groupId[0] = 0x01;
    EXPECT_EQ(tracker->groupId().dataPointer()[0], 0x01);
    // Destroyed while tracking: the caller's storage must not be released
    // (the sanitizer reports a bad free if it is).
  }
  EXPECT_EQ(storage->feedback, -12);
}

TEST(KxlMtrTest, TrackingNothingThenSettingObtainsOwnStorage) {
  CallerStorage storage{};
  TrackingTracker tracker;
  tracker.trackInto(storage.accountingToken, storage.correlationId, &storage.feedback,
                    storage.groupId, storage.messageId);
  tracker.trackInto(nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(tracker.messageId().dataLength(), 0u);
  EXPECT_EQ(tracker.feedback(), 0);
  // New storage of its own, released at destruction (the leak checker
  // reports it otherwise), and the caller's storage no longer written.
  ASSERT_TRUE(tracker.setMessageId(binOf(pattern(24, 0x44))));
  tracker.setFeedback(8);
  EXPECT_EQ(bytesOf(tracker.messageId()), pattern(24, 0x44));
  EXPECT_EQ(Bytes(storage.messageId, storage.messageId + 24), Bytes(24, 0));
  EXPECT_EQ(storage.feedback, 0);
}

TEST(KxlMtrTest, AssigningFromATrackingTrackerCopiesIntoOwnStorage) {
  CallerStorage storage{};
  TrackingTracker tracking;
  tracking.trackInto(storage.accountingToken, storage.correlationId, &storage.feedback,
                     storage.groupId, storage.messageId);
  ASSERT_TRUE(tracking.setGroupId(binOf(pattern(24, 0x30))));
  tracking.setFeedback(77);

  KxlMtr standalone;
  standalone = tracking;
  storage.groupId[3] = 0xff;
  storage.feedback = 0;
  EXPECT_EQ(bytesOf(standalone.groupId()), pattern(24, 0x30));
  EXPECT_EQ(standalone.feedback(), 77);
}

}  // namespace
