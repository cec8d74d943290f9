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

// A value has no storage until first set (it reads as empty), and a refused
// first value reads as zeros. A setter takes exactly the width (not one
// byte less, nor the width of the other kind of value, 24 or 32) and an
// empty byte string zeroes the value; the codes of the failures stay. The
// pointer form takes the width from a longer source, or zeroes for null.
TEST(KxlMtrTest, BinaryValuesTakeExactlyTheirWidthOrNothing) {
  const struct {
    std::size_t width;
    unsigned short function;
    const char *name;
    KxlBin (KxlMtr::*get)() const;
    bool (KxlMtr::*setBin)(const KxlBin &);
    void (KxlMtr::*setBytes)(const unsigned char *);
  } values[] = {{32, kKxlFnTrackerSetAccountingToken, "AccountingToken", &KxlMtr::accountingToken,
                 &KxlMtr::setAccountingToken, &KxlMtr::setAccountingToken},
                {24, kKxlFnTrackerSetCorrelationId, "CorrelationId", &KxlMtr::correlationId,
                 &KxlMtr::setCorrelationId, &KxlMtr::setCorrelationId},
                {24, kKxlFnTrackerSetGroupId, "GroupId", &KxlMtr::groupId, &KxlMtr::setGroupId,
                 &KxlMtr::setGroupId},
                {24, kKxlFnTrackerSetMessageId, "MessageId", &KxlMtr::messageId,
                 &KxlMtr::setMessageId, &KxlMtr::setMessageId}};
  for (const auto &value : values) {
    SCOPED_TRACE(value.name);
    const std::size_t width = value.width;
    const std::string zeros(width, '\0'), set = pattern(width, 1), longer = pattern(width + 8, 3);
    KxlMtr tracker;
    kxltest::TraceCapture trace;
    std::string seen = bytesOf((tracker.*value.get)());
    for (std::size_t length : {width + 1, width, width - 1, 56 - width, std::size_t{0}}) {
      const bool done = (tracker.*value.setBin)(binOf(pattern(length, length == width)));
      seen += (done ? "|yes " : "|no ") + bytesOf((tracker.*value.get)());
    }
    const std::string refused = "|no " + set;
    EXPECT_EQ(seen, "|no " + zeros + "|yes " + set + refused + refused + "|yes " + zeros);
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(tracker));
    const std::string text =
        "KxlMessageTracker::set" + std::string(value.name) + " (error): binary data length error";
    EXPECT_EQ(kxltest::Texts(3, {value.function, text}), kxltest::textsOf(trace));
    tracker.clearErrorCodes();
    (tracker.*value.setBytes)(reinterpret_cast<const unsigned char *>(longer.data()));
    seen = bytesOf((tracker.*value.get)());
    (tracker.*value.setBytes)(nullptr);
    EXPECT_EQ(seen + "|" + bytesOf((tracker.*value.get)()), longer.substr(0, width) + "|" + zeros);
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
