// The dead-letter header: its record byte for byte, how it goes in front of
// a message and comes off again, its read checks and their order, its text
// fields, its header flags (kept in the object only) and its copies.

#include "kxldlh.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 172;
constexpr unsigned kPasteIn = 10;

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

std::string contentOf(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}

// A 32-bit integer as it stands in a record of encoding 546.
std::string int32Bytes(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return std::string{static_cast<char>(bits & 0xff), static_cast<char>((bits >> 8) & 0xff),
                     static_cast<char>((bits >> 16) & 0xff), static_cast<char>(bits >> 24)};
}

std::string padded(const std::string &value, std::size_t width, char pad) {
  return value + std::string(width - value.size(), pad);
}

// The expected record, laid out field by field at the offsets it must have.
struct DlhImage {
  std::string structureId = "DLH ";
  std::int32_t version = 1;
  std::int32_t field8 = 0;
  std::string destinationQueueName = std::string(48, '\0');
  std::string destinationQueueManagerName = std::string(48, '\0');
  std::int32_t encoding = 546;
  std::int32_t characterSet = 0;
  std::string format = "        ";
  std::int32_t field124 = 0;
  std::string putApplicationName = std::string(28, '\0');
  std::string putDate = std::string(8, '\0');
  std::string putTime = std::string(8, '\0');

  std::string render() const {
    std::string out;
    put(out, 0, structureId, 4);
    put(out, 4, int32Bytes(version), 4);
    put(out, 8, int32Bytes(field8), 4);
    put(out, 12, destinationQueueName, 48);
    put(out, 60, destinationQueueManagerName, 48);
    put(out, 108, int32Bytes(encoding), 4);
    put(out, 112, int32Bytes(characterSet), 4);
    put(out, 116, format, 8);
    put(out, 124, int32Bytes(field124), 4);
    put(out, 128, putApplicationName, 28);
    put(out, 156, putDate, 8);
    put(out, 164, putTime, 8);
    EXPECT_EQ(out.size(), kRecordLength);
    return out;
  }
  static void put(std::string &out, std::size_t offset, const std::string &value,
                  std::size_t width) {
    EXPECT_EQ(out.size(), offset);
    EXPECT_EQ(value.size(), width) << "field at offset " << offset;
    out += value;
  }
};

::testing::AssertionResult sameBytes(const std::string &actual, const std::string &expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t offset = 0;
  while (offset < actual.size() && offset < expected.size() && actual[offset] == expected[offset])
    ++offset;
  return ::testing::AssertionFailure() << "lengths " << actual.size() << " and " << expected.size()
                                       << ", first difference at offset " << offset;
}

// A message whose content is 'hello', format "KXSTR   ", encoding 546,
// character set 850.
void makeHelloMessage(KxlMsg &message) {
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  message.setCharacterSet(850);
  ASSERT_EQ(text(message.format()), "KXSTR   ");
  ASSERT_EQ(message.encoding(), 546);
}

// A message holding `data` from offset 0, described as given.
void loadMessage(KxlMsg &message, const std::string &data, long encoding, const char *format) {
  message.clearMessage();
  ASSERT_TRUE(message.write(data.size(), data.data()));
  ASSERT_TRUE(message.setDataOffset(0));
  message.setEncoding(encoding);
  message.setFormat(format);
}

// The bytes a header writes into an empty message (which gives the
// record's encoding, character set and format fields the empty message's
// values); the header itself is not touched.
std::string writtenRecord(const KxlDlh &header) {
  KxlDlh copy(header);
  KxlMsg message;
  EXPECT_TRUE(copy.copyOut(message));
  return contentOf(message);
}

struct HeaderState {
  std::string record;
  long encoding;
  long characterSet;
  std::string format;
  long headerFlags;
};

HeaderState stateOf(const KxlDlh &header) {
  return {writtenRecord(header), header.encoding(), header.characterSet(), text(header.format()),
          header.headerFlags()};
}

void expectSameHeader(const HeaderState &before, const KxlDlh &header) {
  const HeaderState after = stateOf(header);
  EXPECT_TRUE(sameBytes(after.record, before.record));
  EXPECT_EQ(after.encoding, before.encoding);
  EXPECT_EQ(after.characterSet, before.characterSet);
  EXPECT_EQ(after.format, before.format);
  EXPECT_EQ(after.headerFlags, before.headerFlags);
}

struct MessageState {
  std::string content;
  std::size_t dataOffset;
  std::string format;
  long encoding;
  long characterSet;
};

MessageState stateOf(const KxlMsg &message) {
  return {contentOf(message), message.dataOffset(), text(message.format()), message.encoding(),
          message.characterSet()};
}

void expectSameMessage(const MessageState &before, const KxlMsg &message) {
  EXPECT_TRUE(sameBytes(contentOf(message), before.content));
  EXPECT_EQ(message.dataOffset(), before.dataOffset);
  EXPECT_EQ(text(message.format()), before.format);
  EXPECT_EQ(message.encoding(), before.encoding);
  EXPECT_EQ(message.characterSet(), before.characterSet);
}

void fillHeader(KxlDlh &header) {
  header.setDestinationQueueName("Q1");
  header.setDestinationQueueManagerName("QM1");
  header.setPutApplicationName("PAYROLL");
  header.setPutDate("20240131");
  header.setPutTime("1230");
}

DlhImage filledImage() {
  DlhImage image;
  image.destinationQueueName = padded("Q1", 48, '\0');
  image.destinationQueueManagerName = padded("QM1", 48, '\0');
  image.putApplicationName = padded("PAYROLL", 28, '\0');
  image.putDate = "20240131";
  image.putTime = padded("1230", 8, '\0');
  return image;
}

TEST(KxlDlhTest, NewHeaderHoldsTheDefaultRecord) {
  KxlDlh header;
  EXPECT_EQ(header.encoding(), 546);
  EXPECT_EQ(header.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "        ");
  EXPECT_EQ(header.headerFlags(), 0);
  EXPECT_EQ(text(header.destinationQueueName()), "");
  EXPECT_EQ(text(header.destinationQueueManagerName()), "");
  EXPECT_EQ(text(header.putApplicationName()), "");
  EXPECT_EQ(text(header.putDate()), "");
  EXPECT_EQ(text(header.putTime()), "");

  // Written into an empty message with a distinctive description, every
  // byte but the three description fields is the constructed one.
  KxlMsg message;
  message.setEncoding(273);
  message.setCharacterSet(1208);
  message.setFormat("ABCDEFGH");
  ASSERT_TRUE(header.copyOut(message));
  DlhImage image;
  image.encoding = 273;
  image.characterSet = 1208;
  image.format = "ABCDEFGH";
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(message.messageLength(), kRecordLength);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlDlhTest, CopyOutPutsTheRecordInFrontOfTheContent) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlDlh header;
  fillHeader(header);
  ASSERT_TRUE(header.copyOut(message));

  EXPECT_EQ(message.messageLength(), 177u);
  EXPECT_EQ(message.dataOffset(), 177u);
  DlhImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  const std::string content = contentOf(message);
  EXPECT_TRUE(sameBytes(content.substr(0, kRecordLength), image.render()));
  EXPECT_EQ(content.substr(kRecordLength), "hello");
  EXPECT_EQ(text(message.format()), "KXDEAD  ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "KXSTR   ");
  EXPECT_EQ(header.encoding(), 546);
  EXPECT_EQ(header.characterSet(), 850);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlDlhTest, CopyOutGoesInFrontOfTheFirstByteWhateverTheDataOffset) {
  KxlMsg message;
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(2));
  KxlDlh header;
  ASSERT_TRUE(header.copyOut(message));
  const std::string content = contentOf(message);
  ASSERT_EQ(content.size(), 177u);
  EXPECT_EQ(content.substr(0, 4), "DLH ");
  EXPECT_EQ(content.substr(kRecordLength), "hello");
  EXPECT_EQ(message.dataOffset(), 177u);
}

TEST(KxlDlhTest, PasteInTakesTheHeaderOffAndRestoresTheMessage) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlDlh written;
  fillHeader(written);
  ASSERT_TRUE(message.writeItem(written));
  ASSERT_TRUE(message.setDataOffset(0));

  kxltest::TraceCapture trace;
  KxlDlh read;
  read.setHeaderFlags(9);
  ASSERT_TRUE(read.pasteIn(message));
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(read.reasonCode(), KXRC_NONE);

  EXPECT_EQ(text(read.format()), "KXSTR   ");
  EXPECT_EQ(read.characterSet(), 850);
  EXPECT_EQ(read.encoding(), 546);
  EXPECT_EQ(text(read.destinationQueueName()), "Q1");
  EXPECT_EQ(text(read.destinationQueueManagerName()), "QM1");
  EXPECT_EQ(text(read.putApplicationName()), "PAYROLL");
  EXPECT_EQ(text(read.putDate()), "20240131");
  EXPECT_EQ(text(read.putTime()), "1230");
  EXPECT_TRUE(sameBytes(writtenRecord(read), writtenRecord(written)));
  // The flags never travel: the reader keeps its own.
  EXPECT_EQ(read.headerFlags(), 9);

  EXPECT_EQ(trace.entries(kPasteIn), 1);
  EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{0});

  KxlStr body;
  ASSERT_TRUE(message.readItem(body));
  EXPECT_EQ(text(body), "hello");
}

TEST(KxlDlhTest, PasteInTakesEveryFieldAsItStands) {
  DlhImage image;
  image.version = 7;
  image.field8 = -3;
  image.field124 = 99;
  image.format = "KXSTR   ";
  image.characterSet = 437;
  // Fields that a sender padded with blanks read back without them.
  image.destinationQueueName = padded("Q1", 48, ' ');
  image.destinationQueueManagerName = padded("QM 1", 48, ' ');
  image.putApplicationName = padded("APP", 28, ' ');
  image.putDate = padded("0131", 8, ' ');
  image.putTime = padded("12", 8, ' ');
  KxlMsg message;
  loadMessage(message, image.render() + "xyz", 546, "KXDEAD  ");

  KxlDlh header;
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(message.characterSet(), 437);
  EXPECT_EQ(text(header.destinationQueueName()), "Q1");
  EXPECT_EQ(text(header.destinationQueueManagerName()), "QM 1");
  EXPECT_EQ(text(header.putApplicationName()), "APP");
  EXPECT_EQ(text(header.putDate()), "0131");
  EXPECT_EQ(text(header.putTime()), "12");

  // Written out again, the fields without accessor are what was read.
  const std::string again = writtenRecord(header);
  ASSERT_EQ(again.size(), kRecordLength);
  EXPECT_EQ(again.substr(4, 8), int32Bytes(7) + int32Bytes(-3));
  EXPECT_EQ(again.substr(124, 4), int32Bytes(99));
  EXPECT_EQ(again.substr(12, 48), image.destinationQueueName);
}

struct PasteInFailure {
  const char *name;
  std::string data;
  long encoding;
  const char *format;
  long reason;
  const char *text;
};

void PrintTo(const PasteInFailure &c, std::ostream *out) { *out << c.name; }

class KxlDlhPasteInFailureTest : public ::testing::TestWithParam<PasteInFailure> {};

TEST_P(KxlDlhPasteInFailureTest, FailsWithItsCodeAndChangesNothing) {
  const PasteInFailure &c = GetParam();
  KxlMsg message;
  loadMessage(message, c.data, c.encoding, c.format);
  message.setCharacterSet(850);
  const MessageState messageBefore = stateOf(message);
  KxlDlh header;
  fillHeader(header);
  header.setHeaderFlags(3);
  const HeaderState headerBefore = stateOf(header);

  kxltest::TraceCapture trace;
  EXPECT_FALSE(header.pasteIn(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), c.reason);
  EXPECT_EQ(trace.texts(kPasteIn), std::vector<std::string>{c.text});
  EXPECT_EQ(trace.entries(kPasteIn), 1);
  EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{static_cast<int>(c.reason)});
  expectSameHeader(headerBefore, header);
  expectSameMessage(messageBefore, message);
}

std::string goodRecord() { return DlhImage().render(); }
std::string otherId() { return "XLH " + goodRecord().substr(4); }

INSTANTIATE_TEST_SUITE_P(
    Checks, KxlDlhPasteInFailureTest,
    ::testing::Values(
        PasteInFailure{"WrongStructureId", otherId(), 546, "KXDEAD  ", KXRC_WRONG_STRUCTURE_ID,
                       "KxlDeadLetterHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"StructureIdBeforeEncodingAndFormat", otherId(), 273, "KXSTR   ",
                       KXRC_WRONG_STRUCTURE_ID,
                       "KxlDeadLetterHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"FewerThanFourBytes", "DLH", 546, "KXDEAD  ", KXRC_WRONG_STRUCTURE_ID,
                       "KxlDeadLetterHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"WrongEncoding", goodRecord(), 273, "KXDEAD  ", KXRC_WRONG_ENCODING,
                       "KxlDeadLetterHeader::pasteIn (error): wrong message encoding"},
        PasteInFailure{"EncodingBeforeFormat", goodRecord(), 273, "KXSTR   ", KXRC_WRONG_ENCODING,
                       "KxlDeadLetterHeader::pasteIn (error): wrong message encoding"},
        PasteInFailure{"WrongFormat", goodRecord(), 546, "KXSTR   ", KXRC_WRONG_FORMAT,
                       "KxlDeadLetterHeader::pasteIn (error): wrong message format"},
        PasteInFailure{"FormatComparedInFull", goodRecord(), 546, "KXDEAD X", KXRC_WRONG_FORMAT,
                       "KxlDeadLetterHeader::pasteIn (error): wrong message format"}),
    [](const ::testing::TestParamInfo<PasteInFailure> &info) { return info.param.name; });

TEST(KxlDlhTest, PasteInOfAShortRecordTakesTheMessagesCodes) {
  KxlMsg message;
  loadMessage(message, goodRecord().substr(0, 100), 546, "KXDEAD  ");
  const MessageState messageBefore = stateOf(message);
  KxlDlh header;
  fillHeader(header);
  const HeaderState headerBefore = stateOf(header);

  kxltest::TraceCapture trace;
  EXPECT_FALSE(message.readItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_EQ(trace.exitValues(kPasteIn),
            std::vector<std::int32_t>{static_cast<int>(KXRC_INSUFFICIENT_DATA)});
  expectSameHeader(headerBefore, header);
  expectSameMessage(messageBefore, message);
}

struct TextField {
  const char *name;
  void (KxlDlh::*set)(const char *);
  KxlStr (KxlDlh::*get)() const;
  std::size_t offset;
  std::size_t width;
};

void PrintTo(const TextField &c, std::ostream *out) { *out << c.name; }

class KxlDlhTextFieldTest : public ::testing::TestWithParam<TextField> {};

TEST_P(KxlDlhTextFieldTest, SetterNullFillsAndCutsSilently) {
  const TextField &f = GetParam();
  KxlDlh header;

  (header.*f.set)("AB");
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), padded("AB", f.width, '\0'));
  EXPECT_EQ(text((header.*f.get)()), "AB");

  // Blanks inside the text stay; trailing blanks are not returned.
  (header.*f.set)("A B  ");
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), padded("A B  ", f.width, '\0'));
  EXPECT_EQ(text((header.*f.get)()), "A B");

  const std::string full(f.width, 'n');
  const std::string tooLong = std::string(f.width, 'x') + "yz";
  (header.*f.set)(full.c_str());
  EXPECT_EQ(text((header.*f.get)()), full);
  (header.*f.set)(tooLong.c_str());
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), tooLong.substr(0, f.width));
  EXPECT_EQ(text((header.*f.get)()), tooLong.substr(0, f.width));
  EXPECT_EQ(KxlStr::staticCompletionCode(), KXCC_WARNING);
  EXPECT_EQ(KxlStr::staticReasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);

  (header.*f.set)(nullptr);
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), std::string(f.width, '\0'));
  EXPECT_EQ(text((header.*f.get)()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KxlDlhTextFieldTest,
    ::testing::Values(TextField{"DestinationQueueName", &KxlDlh::setDestinationQueueName,
                                &KxlDlh::destinationQueueName, 12, 48},
                      TextField{"DestinationQueueManagerName",
                                &KxlDlh::setDestinationQueueManagerName,
                                &KxlDlh::destinationQueueManagerName, 60, 48},
                      TextField{"PutApplicationName", &KxlDlh::setPutApplicationName,
                                &KxlDlh::putApplicationName, 128, 28},
                      TextField{"PutDate", &KxlDlh::setPutDate, &KxlDlh::putDate, 156, 8},
                      TextField{"PutTime", &KxlDlh::setPutTime, &KxlDlh::putTime, 164, 8}),
    [](const ::testing::TestParamInfo<TextField> &info) { return info.param.name; });

TEST(KxlDlhTest, FormatIsBlankFilledAndKeepsItsBlanks) {
  KxlDlh header;
  header.setFormat("AB");
  EXPECT_EQ(text(header.format()), "AB      ");
  header.setFormat("ABCDEFGHIJ");
  EXPECT_EQ(text(header.format()), "ABCDEFGH");
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
  header.setFormat(nullptr);
  EXPECT_EQ(text(header.format()), "        ");
}

TEST(KxlDlhTest, IntegerAccessorsKeepTheLow32Bits) {
  KxlDlh header;
  header.setEncoding(static_cast<long>(0x100000111LL));
  header.setCharacterSet(-1);
  header.setHeaderFlags(static_cast<long>(0x1FFFFFFFELL));
  EXPECT_EQ(header.encoding(), 0x111);
  EXPECT_EQ(header.characterSet(), -1);
  EXPECT_EQ(header.headerFlags(), -2);
}

TEST(KxlDlhTest, HeaderFlagsAreNeverWritten) {
  KxlDlh plain;
  KxlDlh flagged;
  flagged.setHeaderFlags(5);
  EXPECT_TRUE(sameBytes(writtenRecord(flagged), writtenRecord(plain)));
}

// A header whose flags read differently from what it holds, to show which
// getter and setter assignment goes through.
class ShiftedFlags : public KxlDlh {
 public:
  using KxlDlh::operator=;
  long headerFlags() const override { return KxlDlh::headerFlags() + 100; }
  void setHeaderFlags(long flags) override { KxlDlh::setHeaderFlags(flags * 2); }
};

TEST(KxlDlhTest, AssignmentCopiesCodesRecordAndFlags) {
  KxlDlh source;
  fillHeader(source);
  source.setFormat("KXSTR");
  source.setEncoding(273);
  source.setCharacterSet(850);
  source.setHeaderFlags(7);
  KxlMsg wrong;
  loadMessage(wrong, goodRecord(), 546, "KXSTR   ");
  ASSERT_FALSE(source.pasteIn(wrong));

  KxlDlh target;
  target.setPutDate("19990101");
  target = source;
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_WRONG_FORMAT);
  expectSameHeader(stateOf(source), target);
  EXPECT_EQ(text(target.format()), "KXSTR   ");
  EXPECT_EQ(target.encoding(), 273);
  EXPECT_EQ(target.characterSet(), 850);

  const KxlDlh copy(source);
  EXPECT_EQ(copy.reasonCode(), KXRC_WRONG_FORMAT);
  expectSameHeader(stateOf(source), copy);

  const HeaderState before = stateOf(target);
  KxlDlh &self = target;
  target = self;
  expectSameHeader(before, target);
  EXPECT_EQ(target.reasonCode(), KXRC_WRONG_FORMAT);

  // The flags go through the source's getter and the target's setter.
  ShiftedFlags shifted;
  shifted.KxlDlh::setHeaderFlags(1);
  KxlDlh fromShifted;
  fromShifted = shifted;
  EXPECT_EQ(fromShifted.headerFlags(), 101);
  ShiftedFlags toShifted;
  toShifted = source;
  EXPECT_EQ(toShifted.KxlDlh::headerFlags(), 14);
}

TEST(KxlDlhTest, ApplicationBufferTooSmallForTheOldContentKeepsTheHeaderAlone) {
  std::vector<char> buffer(kRecordLength + 3);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer.data(), buffer.size()));
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(0));
  KxlDlh header;
  fillHeader(header);

  EXPECT_FALSE(message.writeItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.completionCode(), KXCC_FAILED);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  DlhImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(text(message.format()), "KXDEAD  ");
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(message.bufferPointer(), buffer.data());
}

TEST(KxlDlhTest, ApplicationBufferWithoutRoomAtTheDataOffsetChangesNothing) {
  std::vector<char> buffer(kRecordLength + 3);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer.data(), buffer.size()));
  makeHelloMessage(message);  // data offset 5: 172 more bytes do not fit
  const MessageState messageBefore = stateOf(message);
  KxlDlh header;
  const HeaderState headerBefore = stateOf(header);

  EXPECT_FALSE(header.copyOut(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  expectSameMessage(messageBefore, message);
  expectSameHeader(headerBefore, header);
}

}  // namespace
