// The message: its descriptor in wire layout, the text and format fields,
// the tracking values kept in the descriptor, assignment with the most
// severe code, and the code copying of writeItem and readItem.

#include "kxlmsg.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlfld.hpp"
#include "kxlitm.hpp"
#include "kxltest.hpp"

namespace {

std::string descriptorBytes(const KxlMsg &message) {
  return std::string(reinterpret_cast<const char *>(message.descriptor()), sizeof(KXMD));
}

std::int32_t int32At(const KxlMsg &message, std::size_t offset) {
  return kxlGetInt32(reinterpret_cast<const char *>(message.descriptor()) + offset);
}

std::string bytesAt(const KxlMsg &message, std::size_t offset, std::size_t width) {
  return descriptorBytes(message).substr(offset, width);
}

// Opens the process-wide version setting to the tests.
class VersionSetter : public KxlMsg {
 public:
  using KxlMsg::setVersionSupported;
};

TEST(KxlMsgTest, NewDescriptorHoldsTheDefaultsAtTheirOffsets) {
  KxlMsg message;
  const struct {
    std::size_t offset;
    std::int32_t value;
  } integers[] = {{4, 2},  {8, 0},  {12, 8},  {16, -1}, {20, 0},  {24, 546}, {28, 0},  {40, -1},
                  {44, 2}, {96, 0}, {272, 0}, {348, 1}, {352, 0}, {356, 0},  {360, -1}};
  for (const auto &field : integers) {
    EXPECT_EQ(int32At(message, field.offset), field.value) << "offset " << field.offset;
  }
  EXPECT_EQ(bytesAt(message, 0, 4), "MD  ");
  EXPECT_EQ(bytesAt(message, 32, 8), "        ");
  const struct {
    std::size_t offset;
    std::size_t width;
  } zeroed[] = {{48, 48}, {100, 172}, {276, 72}};  // ids; names to application data; put context
  for (const auto &field : zeroed) {
    EXPECT_EQ(bytesAt(message, field.offset, field.width), std::string(field.width, '\0'))
        << "offset " << field.offset;
  }
  EXPECT_EQ(message.version(), 2);
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(std::string(message.format()), "        ");
  EXPECT_EQ(message.completionCode(), KXCC_OK);
  EXPECT_EQ(message.bufferPointer(), nullptr);
  EXPECT_TRUE(message.automaticBuffer());
}

TEST(KxlMsgTest, TrackingValuesAreDescriptorFields) {
  KxlMsg message;
  EXPECT_EQ(message.messageId().dataLength(), 24u);
  EXPECT_EQ(message.accountingToken().dataLength(), 32u);

  std::vector<unsigned char> bytes(32);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i + 1);
  const std::string as24(reinterpret_cast<const char *>(bytes.data()), 24);
  const std::string as32(reinterpret_cast<const char *>(bytes.data()), 32);
  message.setMessageId(bytes.data());
  message.setCorrelationId(bytes.data());
  message.setGroupId(bytes.data());
  message.setAccountingToken(bytes.data());
  message.setFeedback(-7);
  EXPECT_EQ(bytesAt(message, 48, 24), as24);
  EXPECT_EQ(bytesAt(message, 72, 24), as24);
  EXPECT_EQ(bytesAt(message, 324, 24), as24);
  EXPECT_EQ(bytesAt(message, 208, 32), as32);
  EXPECT_EQ(int32At(message, 20), -7);

  // A copy tracks its own descriptor.
  KxlMsg copy(message);
  EXPECT_EQ(bytesAt(copy, 48, 24), as24);
  copy.setMessageId(static_cast<const unsigned char *>(nullptr));
  copy.setFeedback(3);
  EXPECT_EQ(bytesAt(copy, 48, 24), std::string(24, '\0'));
  EXPECT_EQ(bytesAt(message, 48, 24), as24);
  EXPECT_EQ(message.feedback(), -7);
  // Destroying both releases nothing separately: the values live in the
  // descriptors (a release would be caught by the address sanitizer).
}

TEST(KxlMsgTest, SupportedVersionIsTakenAtConstruction) {
  KxlMsg earlier;
  VersionSetter::setVersionSupported(1);
  KxlMsg later;
  VersionSetter::setVersionSupported(2);
  EXPECT_EQ(later.version(), 1);
  EXPECT_EQ(int32At(later, 4), 1);
  EXPECT_EQ(earlier.version(), 2);
  KxlMsg last;
  EXPECT_EQ(last.version(), 2);
}

// A text field of the descriptor: where it lies, how wide it is, and its
// accessors.
struct TextField {
  const char *name;
  std::size_t offset;
  std::size_t width;
  KxlStr (KxlMsg::*get)() const;
  void (KxlMsg::*set)(const char *);
};

class KxlMsgTextFieldTest : public ::testing::TestWithParam<TextField> {};

TEST_P(KxlMsgTextFieldTest, SetterNullFillsAndGetterStripsBlanks) {
  const TextField &f = GetParam();
  KxlMsg message;
  const std::string before = descriptorBytes(message);

  (message.*f.set)("ab  ");
  std::string expected = "ab  " + std::string(f.width - 4, '\0');
  EXPECT_EQ(bytesAt(message, f.offset, f.width), expected);
  EXPECT_EQ(std::string((message.*f.get)()), "ab");

  // Nothing outside the field changed.
  std::string outside = descriptorBytes(message);
  outside.replace(f.offset, f.width, before.substr(f.offset, f.width));
  EXPECT_EQ(outside, before);

  const std::string longer(f.width + 2, 'x');
  std::string cut(f.width, 'x');
  cut[f.width - 1] = 'y';
  (message.*f.set)((cut + "zz").c_str());
  EXPECT_EQ(bytesAt(message, f.offset, f.width), cut);
  EXPECT_EQ(std::string((message.*f.get)()), cut);
  EXPECT_EQ(message.completionCode(), KXCC_OK);

  (message.*f.set)(nullptr);
  EXPECT_EQ(bytesAt(message, f.offset, f.width), std::string(f.width, '\0'));
  EXPECT_EQ(std::string((message.*f.get)()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KxlMsgTextFieldTest,
    ::testing::Values(TextField{"replyToQueueName", 100, 48, &KxlMsg::replyToQueueName,
                                &KxlMsg::setReplyToQueueName},
                      TextField{"replyToQueueManagerName", 148, 48,
                                &KxlMsg::replyToQueueManagerName,
                                &KxlMsg::setReplyToQueueManagerName},
                      TextField{"userId", 196, 12, &KxlMsg::userId, &KxlMsg::setUserId},
                      TextField{"applicationIdData", 240, 32, &KxlMsg::applicationIdData,
                                &KxlMsg::setApplicationIdData},
                      TextField{"putApplicationName", 276, 28, &KxlMsg::putApplicationName,
                                &KxlMsg::setPutApplicationName},
                      TextField{"putDate", 304, 8, &KxlMsg::putDate, &KxlMsg::setPutDate},
                      TextField{"putTime", 312, 8, &KxlMsg::putTime, &KxlMsg::setPutTime},
                      TextField{"applicationOriginData", 320, 4, &KxlMsg::applicationOriginData,
                                &KxlMsg::setApplicationOriginData}),
    [](const ::testing::TestParamInfo<TextField> &info) { return info.param.name; });

TEST(KxlMsgTest, PastedFieldWithoutNullIsReadToItsWidth) {
  KxlMsg source;
  source.setUserId("abcdefghijkl");
  source.setPutDate("20240101");
  EXPECT_EQ(std::string(source.userId()), "abcdefghijkl");
  EXPECT_EQ(std::string(source.putDate()), "20240101");
}

TEST(KxlMsgTest, FormatIsBlankPaddedAndComparedAsEightBytes) {
  KxlMsg message;
  message.setFormat("KXSTR");
  EXPECT_EQ(bytesAt(message, 32, 8), "KXSTR   ");
  EXPECT_EQ(std::string(message.format()), "KXSTR   ");
  EXPECT_TRUE(message.formatIs("KXSTR   "));
  EXPECT_FALSE(message.formatIs("KXSTR  X"));
  EXPECT_FALSE(message.formatIs("KXSTQ   "));
  EXPECT_FALSE(message.formatIs(nullptr));

  message.setFormat("KXDEADLETTER");
  EXPECT_EQ(bytesAt(message, 32, 8), "KXDEADLE");
  EXPECT_EQ(bytesAt(message, 40, 4), bytesAt(KxlMsg(), 40, 4));
  message.setFormat(nullptr);
  EXPECT_EQ(bytesAt(message, 32, 8), "        ");
  EXPECT_TRUE(message.formatIs("        "));
}

TEST(KxlMsgTest, IntegerFieldsKeepTheirLow32Bits) {
  KxlMsg message;
  message.setEncoding(273);
  message.setCharacterSet(0x100000352L);
  EXPECT_EQ(int32At(message, 24), 273);
  EXPECT_EQ(int32At(message, 28), 850);
  EXPECT_EQ(message.characterSet(), 850);
  message.setEncoding(-5);
  EXPECT_EQ(message.encoding(), -5);
}

TEST(KxlMsgTest, AssignmentKeepsATruncationWarning) {
  KxlMsg source;
  ASSERT_TRUE(source.write(100, std::string(100, 'm').data()));
  ASSERT_TRUE(source.setDataOffset(10));
  source.setUserId("user");
  source.setFormat("KXSTR   ");
  source.setMessageId(reinterpret_cast<const unsigned char *>("0123456789abcdefghijklmn"));

  std::vector<char> application(40, '.');
  KxlMsg target;
  ASSERT_TRUE(target.useEmptyBuffer(application.data(), application.size()));
  target.setPutDate("old");
  target = source;
  EXPECT_EQ(target.completionCode(), KXCC_WARNING);
  EXPECT_EQ(target.reasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(descriptorBytes(target), descriptorBytes(source));
  const KxlBin id = target.messageId();
  ASSERT_EQ(id.dataLength(), 24u);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(id.dataPointer()), 24),
            "0123456789abcdefghijklmn");
  EXPECT_FALSE(target.automaticBuffer());
  EXPECT_EQ(target.messageLength(), 40u);
  EXPECT_EQ(target.dataOffset(), 10u);
  EXPECT_EQ(std::string(application.data(), 40), std::string(40, 'm'));
}

// An item whose outcome and codes the test chooses.
class ScriptedItem : public KxlItm {
 public:
  bool copyOut(KxlMsg &) override { return outcome; }
  bool pasteIn(KxlMsg &) override { return outcome; }
  using KxlErr::setErrorCodes;
  bool outcome = true;
};

TEST(KxlMsgTest, AssignmentTakesTheMostSevereCodesEarliestFirst) {
  const struct {
    long completion;
    long reason;
    bool truncated;
    long expectedCompletion;
    long expectedReason;
  } cases[] = {
      {KXCC_OK, KXRC_NONE, true, KXCC_WARNING, KXRC_DATA_TRUNCATED},
      {KXCC_WARNING, KXRC_STORAGE_NOT_AVAILABLE, true, KXCC_WARNING, KXRC_STORAGE_NOT_AVAILABLE},
      {KXCC_FAILED, KXRC_NULL_POINTER, true, KXCC_FAILED, KXRC_NULL_POINTER},
      {KXCC_WARNING, KXRC_STORAGE_NOT_AVAILABLE, false, KXCC_WARNING, KXRC_STORAGE_NOT_AVAILABLE},
  };
  for (const auto &c : cases) {
    KxlMsg source;
    ASSERT_TRUE(source.write(8, "12345678"));
    ASSERT_TRUE(source.setDataOffset(0));
    ScriptedItem item;  // leaves its codes in the source
    item.setErrorCodes(c.completion, c.reason);
    source.writeItem(item);
    std::vector<char> application(c.truncated ? 4 : 8);
    KxlMsg target;
    ASSERT_TRUE(target.useEmptyBuffer(application.data(), application.size()));
    target = source;
    EXPECT_EQ(target.completionCode(), c.expectedCompletion) << "source reason " << c.reason;
    EXPECT_EQ(target.reasonCode(), c.expectedReason) << "source reason " << c.reason;
    EXPECT_EQ(target.messageLength(), application.size());
  }
}

TEST(KxlMsgTest, CopyIsAutomatic) {
  std::vector<char> application(6);
  KxlMsg source;
  ASSERT_TRUE(source.useEmptyBuffer(application.data(), application.size()));
  ASSERT_TRUE(source.write(6, "abcdef"));
  source.setReplyToQueueName("Q1");
  KxlMsg copy(source);
  EXPECT_TRUE(copy.automaticBuffer());
  EXPECT_NE(copy.bufferPointer(), application.data());
  EXPECT_EQ(std::string(copy.bufferPointer(), 6), "abcdef");
  EXPECT_EQ(std::string(copy.replyToQueueName()), "Q1");
  EXPECT_EQ(copy.completionCode(), KXCC_OK);
}

TEST(KxlMsgTest, WriteItemAndReadItemTakeTheItemsCodesWhateverTheOutcome) {
  using Run = bool (KxlMsg::*)(KxlItm &);
  for (Run run : {&KxlMsg::writeItem, &KxlMsg::readItem}) {
    KxlMsg message;
    ScriptedItem item;
    item.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
    EXPECT_TRUE((message.*run)(item));
    EXPECT_EQ(message.completionCode(), KXCC_WARNING);
    EXPECT_EQ(message.reasonCode(), KXRC_DATA_TRUNCATED);

    item.clearErrorCodes();
    EXPECT_TRUE((message.*run)(item));
    EXPECT_EQ(message.completionCode(), KXCC_OK);
    EXPECT_EQ(message.reasonCode(), KXRC_NONE);

    item.outcome = false;
    item.setErrorCodes(KXCC_FAILED, KXRC_WRONG_FORMAT);
    EXPECT_FALSE((message.*run)(item));
    EXPECT_EQ(message.completionCode(), KXCC_FAILED);
    EXPECT_EQ(message.reasonCode(), KXRC_WRONG_FORMAT);
  }
}

}  // namespace
