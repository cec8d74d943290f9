// The tracking values on their own: exact widths, the texts of refused
// lengths, and storage of their own in every copy.

#include "kxlmtr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "kxlmsgtest.hpp"

namespace {

using kxltest::binOf;
using kxltest::bytesOf;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;

TEST(KxlMtrTest, BinaryValuesTakeExactlyTheirWidthOrNothing) {
  const struct {
    std::size_t width;
    unsigned short function;
    const char *text;
    KxlBin (KxlMtr::*get)() const;
    bool (KxlMtr::*setBin)(const KxlBin &);
    void (KxlMtr::*setBytes)(const unsigned char *);
  } values[] = {
      {32, kKxlFnTrackerSetAccountingToken,
       "KxlMessageTracker::setAccountingToken (error): binary data length error",
       &KxlMtr::accountingToken, &KxlMtr::setAccountingToken, &KxlMtr::setAccountingToken},
      {24, kKxlFnTrackerSetCorrelationId,
       "KxlMessageTracker::setCorrelationId (error): binary data length error",
       &KxlMtr::correlationId, &KxlMtr::setCorrelationId, &KxlMtr::setCorrelationId},
      {24, kKxlFnTrackerSetGroupId,
       "KxlMessageTracker::setGroupId (error): binary data length error", &KxlMtr::groupId,
       &KxlMtr::setGroupId, &KxlMtr::setGroupId},
      {24, kKxlFnTrackerSetMessageId,
       "KxlMessageTracker::setMessageId (error): binary data length error", &KxlMtr::messageId,
       &KxlMtr::setMessageId, &KxlMtr::setMessageId}};
  for (const auto &value : values) {
    SCOPED_TRACE(value.text);
    const std::string zeros(value.width, '\0'), previous = pattern(value.width, 1);
    KxlMtr tracker;
    EXPECT_EQ("", bytesOf((tracker.*value.get)()));  // no storage yet
    kxltest::TraceCapture trace;
    EXPECT_FALSE((tracker.*value.setBin)(binOf(pattern(value.width + 1))));
    EXPECT_EQ(zeros, bytesOf((tracker.*value.get)()));  // a refused first value reads as zeros
    EXPECT_TRUE((tracker.*value.setBin)(binOf(previous)));
    // One byte short, and the width of the other kind of value (24 or 32).
    for (std::size_t length : {value.width - 1, 56 - value.width}) {
      EXPECT_FALSE((tracker.*value.setBin)(binOf(pattern(length)))) << length;
      EXPECT_EQ(previous, bytesOf((tracker.*value.get)()));
    }
    EXPECT_EQ(kxltest::Texts(3, {value.function, value.text}), kxltest::textsOf(trace));
    // An empty byte string zeroes the value; the codes of the failures stay.
    EXPECT_TRUE((tracker.*value.setBin)(KxlBin()));
    EXPECT_EQ(zeros, bytesOf((tracker.*value.get)()));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(tracker));
    // The pointer form takes the width from a longer source or zeroes for null; no codes.
    tracker.clearErrorCodes();
    const std::string source = pattern(value.width + 8, 3);
    (tracker.*value.setBytes)(reinterpret_cast<const unsigned char *>(source.data()));
    EXPECT_EQ(source.substr(0, value.width), bytesOf((tracker.*value.get)()));
    (tracker.*value.setBytes)(nullptr);
    EXPECT_EQ(zeros, bytesOf((tracker.*value.get)()));
    EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(tracker));
  }
}

TEST(KxlMtrTest, CopiesGiveEveryValueStorageOfTheirOwn) {
  const std::string id = pattern(24, 5);
  auto source = std::make_unique<KxlMtr>();
  EXPECT_EQ(0, source->feedback());  // no storage yet
  ASSERT_TRUE(source->setMessageId(binOf(id)));
  ASSERT_FALSE(source->setGroupId(binOf("short")));              // codes 2/6111 travel
  source->setFeedback(static_cast<long>(INT64_C(0x1fffffffd)));  // low 32 bits: -3
  KxlMtr constructed(*source);
  KxlMtr assigned;
  ASSERT_TRUE(assigned.setCorrelationId(binOf(pattern(24, 9))));
  assigned = *source;
  EXPECT_EQ("", bytesOf(source->accountingToken()));  // the source stays as it was
  source.reset();
  const KxlMtr &same = assigned;
  assigned = same;
  for (const KxlMtr *copy : {&constructed, &assigned}) {
    EXPECT_EQ(id, bytesOf(copy->messageId()));
    EXPECT_EQ(-3, copy->feedback());
    // Values the source had no storage for are zero bytes in the copy.
    EXPECT_EQ(std::string(32, '\0'), bytesOf(copy->accountingToken()));
    EXPECT_EQ(std::string(24, '\0'), bytesOf(copy->correlationId()));
    EXPECT_EQ(std::string(24, '\0'), bytesOf(copy->groupId()));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(*copy));
  }
}

}  // namespace
