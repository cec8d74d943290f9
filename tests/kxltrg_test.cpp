#include "kxltrg.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 684;
constexpr std::size_t kCharacterFormLength = 732;

const char kStructureIdText[] = "KxlTrigger::pasteIn (error): wrong structure id";
const char kEncodingText[] = "KxlTrigger::pasteIn (error): wrong message encoding";
const char kFormatText[] = "KxlTrigger::pasteIn (error): wrong message format";

struct TextField {
  const char *name;
  std::size_t offset;
  std::size_t width;
  void (KxlTrg::*set)(const char *);
  KxlStr (KxlTrg::*get)() const;
};

const TextField kTextFields[] = {
    {"queueName", 8, 48, &KxlTrg::setQueueName, &KxlTrg::queueName},
    {"processName", 56, 48, &KxlTrg::setProcessName, &KxlTrg::processName},
    {"triggerData", 104, 64, &KxlTrg::setTriggerData, &KxlTrg::triggerData},
    {"applicationId", 172, 256, &KxlTrg::setApplicationId, &KxlTrg::applicationId},
    {"environmentData", 428, 128, &KxlTrg::setEnvironmentData, &KxlTrg::environmentData},
    {"userData", 556, 128, &KxlTrg::setUserData, &KxlTrg::userData},
};

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

// `length` characters cycling through the alphabet from `first`, so that a
// cut at the wrong place shows.
std::string pattern(std::size_t length, char first) {
  std::string result;
  for (std::size_t i = 0; i < length; ++i)
    result += static_cast<char>('A' + (first - 'A' + i) % 26);
  return result;
}

void putLittleEndian(std::string &bytes, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xff);
}

std::int32_t getLittleEndian(const std::string &bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<std::int32_t>(bits);
}

// A binary trigger record laid out by hand, text fields all null bytes.
std::string handMadeRecord(std::int32_t version, std::int32_t number) {
  std::string record(kRecordLength, '\0');
  record.replace(0, 4, "TM  ");
  putLittleEndian(record, 4, version);
  putLittleEndian(record, 168, number);
  return record;
}

// Makes `message` hold exactly `bytes`, with the data offset and the
// description given.
void load(KxlMsg &message, const std::string &bytes, std::size_t offset, long encoding,
          const char *format) {
  message.clearMessage();
  ASSERT_TRUE(message.write(bytes.size(), bytes.data()));
  ASSERT_TRUE(message.setDataOffset(offset));
  message.setEncoding(encoding);
  message.setFormat(format);
}

// The 684 bytes the trigger writes into a message.
std::string recordOf(KxlTrg &trigger) {
  KxlMsg message;
  EXPECT_TRUE(trigger.copyOut(message));
  return std::string(message.bufferPointer(), message.messageLength());
}

// Reads `record` into `trigger` through a message.
void paste(KxlTrg &trigger, const std::string &record) {
  KxlMsg message;
  load(message, record, 0, 546, "KXTRIG  ");
  ASSERT_TRUE(trigger.pasteIn(message));
}

std::string bytesOf(const tagKXTMC2 &record) {
  return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

TEST(KxlTrgTest, NewTriggerWrittenIntoMessageReplacesItsContent) {
  KxlMsg message;
  load(message, "old content", 4, 273, "KXSTR   ");
  message.setCharacterSet(1208);
  KxlTrg trigger;

  ASSERT_TRUE(trigger.copyOut(message));

  ASSERT_EQ(message.messageLength(), kRecordLength);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  const std::string record(message.bufferPointer(), message.messageLength());
  EXPECT_EQ(record.substr(0, 4), "TM  ");
  EXPECT_EQ(getLittleEndian(record, 4), 1);
  EXPECT_EQ(record.substr(8), std::string(kRecordLength - 8, '\0'));
  EXPECT_TRUE(message.formatIs("KXTRIG  "));
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(trigger.completionCode(), 0);
  EXPECT_EQ(trigger.reasonCode(), 0);
  for (const TextField &field : kTextFields) {
    EXPECT_EQ((trigger.*field.get)().length(), 0u) << field.name;
  }
}

TEST(KxlTrgTest, SettersNullFillAndCutAtWidthWithWarningInStaticRecord) {
  for (const TextField &field : kTextFields) {
    SCOPED_TRACE(field.name);
    KxlTrg trigger;
    const std::string untouched = recordOf(trigger);
    KxlStr::copy(nullptr, 5, "abc", ' ');  // leaves 2/6108 in the static record
    ASSERT_EQ(KxlStr::staticReasonCode(), KXRC_NULL_POINTER);

    const std::string tooLong = pattern(field.width + 2, 'C');
    (trigger.*field.set)(tooLong.c_str());
    EXPECT_EQ(KxlStr::staticCompletionCode(), KXCC_WARNING);
    EXPECT_EQ(KxlStr::staticReasonCode(), KXRC_DATA_TRUNCATED);
    EXPECT_EQ(trigger.completionCode(), 0);
    EXPECT_EQ(trigger.reasonCode(), 0);
    EXPECT_EQ(text((trigger.*field.get)()), tooLong.substr(0, field.width));
    std::string expected = untouched;
    expected.replace(field.offset, field.width, tooLong.substr(0, field.width));
    EXPECT_EQ(recordOf(trigger), expected);

    (trigger.*field.set)("ab c  ");
    EXPECT_EQ(text((trigger.*field.get)()), "ab c");
    std::string shortField("ab c  ");
    shortField.resize(field.width, '\0');
    expected.replace(field.offset, field.width, shortField);
    EXPECT_EQ(recordOf(trigger), expected);

    (trigger.*field.set)(nullptr);
    EXPECT_EQ((trigger.*field.get)().length(), 0u);
    EXPECT_EQ(recordOf(trigger), untouched);
    EXPECT_EQ(trigger.completionCode(), 0);
    EXPECT_EQ(trigger.reasonCode(), 0);
  }
}

TEST(KxlTrgTest, CharacterFormIsBlankPaddedTextWithNumberInFourCharacters) {
  const struct {
    std::int32_t number;
    const char *characters;
  } kCases[] = {
      {7, "   7"},    {-1, "  -1"},   {0, "   0"},  {12345, "1234"},   {-1234, "-123"},
      {9999, "9999"}, {-999, "-999"}, {42, "  42"}, {INT_MAX, "2147"}, {INT_MIN, "-214"},
  };
  const std::string fullProcessName = pattern(48, 'P');
  for (const auto &testCase : kCases) {
    SCOPED_TRACE(testCase.number);
    KxlTrg trigger;
    paste(trigger, handMadeRecord(1, testCase.number));
    trigger.setQueueName("abc  ");
    trigger.setProcessName(fullProcessName.c_str());
    trigger.setEnvironmentData("env");
    tagKXTMC2 record;
    std::memset(&record, 0x7f, sizeof record);

    ASSERT_TRUE(trigger.copyOut(&record));

    const std::string bytes = bytesOf(record);
    ASSERT_EQ(bytes.size(), kCharacterFormLength);
    std::string expected = "TMC    2";
    expected += "abc" + std::string(45, ' ');
    expected += fullProcessName;
    expected += std::string(64, ' ');
    expected += testCase.characters;
    expected += std::string(256, ' ');
    expected += "env" + std::string(125, ' ');
    expected += std::string(128, ' ');
    expected += std::string(48, ' ');
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(trigger.completionCode(), 0);
    EXPECT_EQ(trigger.reasonCode(), 0);
  }
}

TEST(KxlTrgTest, CharacterFormLeavesEarlierCodesInPlace) {
  KxlTrg trigger;
  trigger.setUserData("data");
  EXPECT_FALSE(trigger.copyOut(static_cast<tagKXTMC2 *>(nullptr)));
  tagKXTMC2 record;

  EXPECT_TRUE(trigger.copyOut(&record));

  EXPECT_EQ(trigger.completionCode(), KXCC_FAILED);
  EXPECT_EQ(trigger.reasonCode(), KXRC_NULL_POINTER);
  EXPECT_EQ(bytesOf(record).substr(556, 128), "data" + std::string(124, ' '));
}

TEST(KxlTrgTest, CharacterFormToNullPointerFails) {
  kxltest::TraceCapture capture;
  KxlTrg trigger;

  EXPECT_FALSE(trigger.copyOut(static_cast<tagKXTMC2 *>(nullptr)));

  EXPECT_EQ(trigger.completionCode(), KXCC_FAILED);
  EXPECT_EQ(trigger.reasonCode(), KXRC_NULL_POINTER);
  EXPECT_TRUE(capture.sawText(51, "KxlTrigger::copyOut (error): null pointer to KXTMC2"));
}

TEST(KxlTrgTest, CharacterFormNumberSurvivesStorageShortage) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlTrg trigger;
  paste(trigger, handMadeRecord(1, -5));
  tagKXTMC2 record;
  long allocations = 0;
  {
    kxltest::AllocationCounter counter;
    ASSERT_TRUE(trigger.copyOut(&record));
    allocations = counter.count();
  }
  ASSERT_GT(allocations, 0);
  for (long nth = 1; nth <= allocations; ++nth) {
    SCOPED_TRACE(nth);
    std::memset(&record, 0x7f, sizeof record);
    bool copied;
    {
      kxltest::AllocationFailure failure(nth, true);
      copied = trigger.copyOut(&record);
    }
    EXPECT_TRUE(copied);
    const std::string number = bytesOf(record).substr(168, 4);
    EXPECT_TRUE(number == "  -5" || number == "    ") << '"' << number << '"';
    EXPECT_EQ(trigger.completionCode(), 0);
    EXPECT_EQ(trigger.reasonCode(), 0);
  }
}

TEST(KxlTrgTest, HandMadeRecordIsReadFieldByFieldAndWrittenBackUnchanged) {
  std::string record = handMadeRecord(9, -77);
  for (const TextField &field : kTextFields) {
    record.replace(field.offset, field.width, pattern(field.width - 2, field.name[0]) + "  ");
  }
  KxlTrg trigger;

  paste(trigger, record);

  for (const TextField &field : kTextFields) {
    EXPECT_EQ(text((trigger.*field.get)()), pattern(field.width - 2, field.name[0])) << field.name;
  }
  EXPECT_EQ(recordOf(trigger), record);
  EXPECT_EQ(trigger.completionCode(), 0);
  EXPECT_EQ(trigger.reasonCode(), 0);
}

TEST(KxlTrgTest, PasteInChecksStructureIdThenEncodingThenFormat) {
  const struct {
    const char *structureId;
    long encoding;
    long reason;
    const char *text;
  } kCases[] = {
      {"TMC ", 273, KXRC_WRONG_STRUCTURE_ID, kStructureIdText},
      {"TM  ", 273, KXRC_WRONG_ENCODING, kEncodingText},
      {"TM  ", 546, KXRC_WRONG_FORMAT, kFormatText},
  };
  for (const auto &testCase : kCases) {
    SCOPED_TRACE(testCase.text);
    std::string incoming = handMadeRecord(1, 3);
    incoming.replace(0, 4, testCase.structureId);
    incoming.replace(8, 8, "INCOMING");
    KxlMsg message;
    load(message, "PREFIX" + incoming, 6, testCase.encoding, "KXSTR   ");
    message.setCharacterSet(850);
    KxlTrg trigger;
    trigger.setQueueName("KEPT");
    const std::string before = recordOf(trigger);
    kxltest::TraceCapture capture;

    EXPECT_FALSE(trigger.pasteIn(message));

    EXPECT_EQ(trigger.completionCode(), KXCC_FAILED);
    EXPECT_EQ(trigger.reasonCode(), testCase.reason);
    EXPECT_EQ(capture.texts(52), std::vector<std::string>{testCase.text});
    EXPECT_EQ(recordOf(trigger), before);
    EXPECT_EQ(message.dataOffset(), 6u);
    EXPECT_EQ(message.messageLength(), 6 + kRecordLength);
    EXPECT_TRUE(message.formatIs("KXSTR   "));
    EXPECT_EQ(message.encoding(), testCase.encoding);
    EXPECT_EQ(message.characterSet(), 850);
  }
}

TEST(KxlTrgTest, PasteInWithTooFewBytesTakesMessageCodes) {
  for (std::size_t available : {std::size_t{4}, kRecordLength - 1}) {
    SCOPED_TRACE(available);
    KxlMsg message;
    load(message, handMadeRecord(1, 3).substr(0, available), 0, 546, "KXTRIG  ");
    KxlTrg trigger;
    trigger.setUserData("KEPT");
    const std::string before = recordOf(trigger);

    EXPECT_FALSE(trigger.pasteIn(message));

    EXPECT_EQ(trigger.completionCode(), KXCC_FAILED);
    EXPECT_EQ(trigger.reasonCode(), KXRC_INSUFFICIENT_DATA);
    EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_DATA);
    EXPECT_EQ(recordOf(trigger), before);
    EXPECT_EQ(message.dataOffset(), 0u);
  }
}

TEST(KxlTrgTest, WrittenTriggerReadsBackIntoAnotherTrigger) {
  KxlTrg written;
  paste(written, handMadeRecord(5, 123456));
  for (const TextField &field : kTextFields)
    (written.*field.set)(pattern(10, field.name[0]).c_str());
  KxlMsg message;
  ASSERT_TRUE(written.copyOut(message));
  message.setCharacterSet(1208);
  ASSERT_TRUE(message.setDataOffset(0));
  KxlTrg read;

  ASSERT_TRUE(read.pasteIn(message));

  EXPECT_EQ(recordOf(read), recordOf(written));
  EXPECT_EQ(getLittleEndian(recordOf(read), 168), 123456);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_TRUE(message.formatIs("KXTRIG  "));
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 1208);
  EXPECT_EQ(read.completionCode(), 0);
  EXPECT_EQ(read.reasonCode(), 0);
}

TEST(KxlTrgTest, WriteIntoTooSmallApplicationBufferTakesMessageCodes) {
  char small[kRecordLength - 1];
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(small, sizeof small));
  message.setFormat("KXSTR   ");
  KxlTrg trigger;

  EXPECT_FALSE(trigger.copyOut(message));

  EXPECT_EQ(trigger.completionCode(), KXCC_FAILED);
  EXPECT_EQ(trigger.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.messageLength(), 0u);
  EXPECT_TRUE(message.formatIs("KXSTR   "));

  char exact[kRecordLength];
  ASSERT_TRUE(message.useEmptyBuffer(exact, sizeof exact));
  trigger.clearErrorCodes();
  EXPECT_TRUE(trigger.copyOut(message));
  EXPECT_EQ(std::string(exact, 4), "TM  ");
  EXPECT_EQ(message.messageLength(), kRecordLength);
}

TEST(KxlTrgTest, CopiesTakeCodesAndWholeRecord) {
  KxlTrg source;
  paste(source, handMadeRecord(9, -4));
  source.setTriggerData("data");
  EXPECT_FALSE(source.copyOut(static_cast<tagKXTMC2 *>(nullptr)));
  const std::string sourceRecord = recordOf(source);

  KxlTrg copy(source);
  EXPECT_EQ(recordOf(copy), sourceRecord);
  EXPECT_EQ(copy.completionCode(), KXCC_FAILED);
  EXPECT_EQ(copy.reasonCode(), KXRC_NULL_POINTER);

  KxlTrg target;
  target.setUserData("other");
  target = source;
  EXPECT_EQ(recordOf(target), sourceRecord);
  EXPECT_EQ(target.reasonCode(), KXRC_NULL_POINTER);
}

}  // namespace
