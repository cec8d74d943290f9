// The work information header: its record byte for byte, how it goes in
// front of a message and comes off again (untraced), its read checks and
// their order, its blank-padded text fields, its message token and the
// token setter's joined text, its copies, and a chain of two headers in
// front of a string.

#include "kxlwih.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kxlbin.hpp"
#include "kxldlh.hpp"
#include "kxlmsg.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 120;
constexpr unsigned kPasteIn = 77;
constexpr unsigned kSetMessageToken = 78;

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

std::string contentOf(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}

std::string bytesOf(const KxlBin &value) {
  return std::string(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
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

const unsigned char kToken[16] = {0xf0, 0xe1, 0xd2, 0xc3, 0xb4, 0xa5, 0x96, 0x87,
                                  0x78, 0x69, 0x5a, 0x4b, 0x3c, 0x2d, 0x1e, 0x00};
const std::string kTokenBytes(reinterpret_cast<const char *>(kToken), sizeof kToken);

// The expected record, laid out field by field at the offsets it must have.
struct WihImage {
  std::string structureId = "WIH ";
  std::int32_t version = 1;
  std::int32_t structureLength = 120;
  std::int32_t encoding = 546;
  std::int32_t characterSet = 0;
  std::string format = "        ";
  std::int32_t headerFlags = 0;
  std::string serviceName = std::string(32, ' ');
  std::string serviceStep = std::string(8, ' ');
  std::string messageToken = std::string(16, '\0');
  std::string reserved = std::string(32, '\0');

  std::string render() const {
    std::string out;
    put(out, 0, structureId, 4);
    put(out, 4, int32Bytes(version), 4);
    put(out, 8, int32Bytes(structureLength), 4);
    put(out, 12, int32Bytes(encoding), 4);
    put(out, 16, int32Bytes(characterSet), 4);
    put(out, 20, format, 8);
    put(out, 28, int32Bytes(headerFlags), 4);
    put(out, 32, serviceName, 32);
    put(out, 64, serviceStep, 8);
    put(out, 72, messageToken, 16);
    put(out, 88, reserved, 32);
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

// The bytes a header writes into an empty message (whose description
// replaces the record's encoding, character set and format); the header
// itself is not touched.
std::string writtenRecord(const KxlWih &header) {
  KxlWih copy(header);
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

HeaderState stateOf(const KxlWih &header) {
  return {writtenRecord(header), header.encoding(), header.characterSet(), text(header.format()),
          header.headerFlags()};
}

void expectSameHeader(const HeaderState &before, const KxlWih &header) {
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

void fillHeader(KxlWih &header) {
  header.setServiceName("SVC");
  header.setServiceStep("STEP1");
  header.setMessageToken(kToken);
  header.setHeaderFlags(-7);
}

WihImage filledImage() {
  WihImage image;
  image.serviceName = padded("SVC", 32, ' ');
  image.serviceStep = padded("STEP1", 8, ' ');
  image.messageToken = kTokenBytes;
  image.headerFlags = -7;
  return image;
}

std::string reservedPattern() {
  std::string pattern;
  for (int i = 0; i < 32; ++i) pattern += static_cast<char>(0xa0 + i);
  return pattern;
}

TEST(KxlWihTest, NewHeaderHoldsTheDefaultRecord) {
  KxlWih header;
  EXPECT_EQ(header.encoding(), 546);
  EXPECT_EQ(header.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "        ");
  EXPECT_EQ(header.headerFlags(), 0);
  // No getter of this header drops blanks.
  EXPECT_EQ(text(header.serviceName()), std::string(32, ' '));
  EXPECT_EQ(text(header.serviceStep()), std::string(8, ' '));
  EXPECT_EQ(bytesOf(header.messageToken()), std::string(16, '\0'));

  KxlMsg message;
  message.setEncoding(273);
  message.setCharacterSet(1208);
  message.setFormat("ABCDEFGH");
  ASSERT_TRUE(header.copyOut(message));
  WihImage image;
  image.encoding = 273;
  image.characterSet = 1208;
  image.format = "ABCDEFGH";
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlWihTest, CopyOutPutsTheRecordInFrontOfTheContent) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlWih header;
  fillHeader(header);
  kxltest::TraceCapture trace;
  ASSERT_TRUE(header.copyOut(message));

  EXPECT_EQ(message.messageLength(), 125u);
  EXPECT_EQ(message.dataOffset(), 125u);
  WihImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  const std::string content = contentOf(message);
  EXPECT_TRUE(sameBytes(content.substr(0, kRecordLength), image.render()));
  EXPECT_EQ(content.substr(kRecordLength), "hello");
  EXPECT_EQ(text(message.format()), "KXHWIH  ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "KXSTR   ");
  EXPECT_EQ(header.characterSet(), 850);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
  EXPECT_TRUE(trace.texts().empty());
}

TEST(KxlWihTest, CopyOutGoesInFrontOfTheFirstByteWhateverTheDataOffset) {
  KxlMsg message;
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(5));
  KxlWih header;
  ASSERT_TRUE(header.copyOut(message));
  const std::string content = contentOf(message);
  ASSERT_EQ(content.size(), 125u);
  EXPECT_EQ(content.substr(0, 4), "WIH ");
  EXPECT_EQ(content.substr(kRecordLength), "hello");
}

TEST(KxlWihTest, PasteInTakesTheHeaderOffAndRestoresTheMessage) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlWih written;
  fillHeader(written);
  ASSERT_TRUE(message.writeItem(written));
  ASSERT_TRUE(message.setDataOffset(0));

  kxltest::TraceCapture trace;
  KxlWih read;
  ASSERT_TRUE(read.pasteIn(message));
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(read.reasonCode(), KXRC_NONE);

  EXPECT_EQ(text(read.format()), "KXSTR   ");
  EXPECT_EQ(read.characterSet(), 850);
  EXPECT_EQ(read.headerFlags(), -7);
  EXPECT_EQ(text(read.serviceName()), padded("SVC", 32, ' '));
  EXPECT_EQ(text(read.serviceStep()), "STEP1   ");
  EXPECT_EQ(bytesOf(read.messageToken()), kTokenBytes);
  EXPECT_TRUE(sameBytes(writtenRecord(read), writtenRecord(written)));

  // Nothing of this header traces its entry or exit.
  EXPECT_EQ(trace.entries(kPasteIn), 0);
  EXPECT_TRUE(trace.exitValues(kPasteIn).empty());
}

TEST(KxlWihTest, PasteInReads120BytesWhateverTheStructureLengthSays) {
  WihImage image;
  image.version = 2;
  image.structureLength = 200;
  image.reserved = reservedPattern();
  image.serviceName = padded("SVC", 32, '\0');
  KxlMsg message;
  loadMessage(message, image.render() + std::string(100, 'z'), 546, "KXHWIH  ");

  KxlWih header;
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(text(header.serviceName()), "SVC");
  const std::string again = writtenRecord(header);
  ASSERT_EQ(again.size(), kRecordLength);
  EXPECT_EQ(again.substr(4, 8), int32Bytes(2) + int32Bytes(200));
  EXPECT_EQ(again.substr(88), reservedPattern());
}

std::string goodRecord() { return WihImage().render(); }

struct PasteInFailure {
  const char *name;
  std::string data;
  long encoding;
  const char *format;
  long reason;
  const char *text;
};

void PrintTo(const PasteInFailure &c, std::ostream *out) { *out << c.name; }

class KxlWihPasteInFailureTest : public ::testing::TestWithParam<PasteInFailure> {};

TEST_P(KxlWihPasteInFailureTest, FailsWithItsCodeAndChangesNothing) {
  const PasteInFailure &c = GetParam();
  KxlMsg message;
  loadMessage(message, c.data, c.encoding, c.format);
  message.setCharacterSet(850);
  const MessageState messageBefore = stateOf(message);
  KxlWih header;
  fillHeader(header);
  const HeaderState headerBefore = stateOf(header);

  kxltest::TraceCapture trace;
  EXPECT_FALSE(header.pasteIn(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), c.reason);
  EXPECT_EQ(trace.texts(kPasteIn), std::vector<std::string>{c.text});
  EXPECT_EQ(trace.entries(kPasteIn), 0);
  EXPECT_TRUE(trace.exitValues(kPasteIn).empty());
  expectSameHeader(headerBefore, header);
  expectSameMessage(messageBefore, message);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, KxlWihPasteInFailureTest,
    ::testing::Values(
        PasteInFailure{"DeadLetterStructureId", "DLH " + goodRecord().substr(4), 546, "KXHWIH  ",
                       KXRC_WRONG_STRUCTURE_ID,
                       "KxlWorkHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"StructureIdBeforeEncodingAndFormat", "wih " + goodRecord().substr(4), 273,
                       "KXDEAD  ", KXRC_WRONG_STRUCTURE_ID,
                       "KxlWorkHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"EncodingBeforeFormat", goodRecord(), 273, "KXDEAD  ", KXRC_WRONG_ENCODING,
                       "KxlWorkHeader::pasteIn (error): wrong message encoding"},
        PasteInFailure{"WrongFormat", goodRecord(), 546, "KXDEAD  ", KXRC_WRONG_FORMAT,
                       "KxlWorkHeader::pasteIn (error): wrong message format"}),
    [](const ::testing::TestParamInfo<PasteInFailure> &info) { return info.param.name; });

TEST(KxlWihTest, PasteInOfAShortRecordTakesTheMessagesCodes) {
  KxlMsg message;
  loadMessage(message, goodRecord().substr(0, 64), 546, "KXHWIH  ");
  const MessageState messageBefore = stateOf(message);
  KxlWih header;
  fillHeader(header);
  const HeaderState headerBefore = stateOf(header);

  EXPECT_FALSE(message.readItem(header));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_DATA);
  expectSameHeader(headerBefore, header);
  expectSameMessage(messageBefore, message);
}

struct TextField {
  const char *name;
  void (KxlWih::*set)(const char *);
  KxlStr (KxlWih::*get)() const;
  std::size_t offset;
  std::size_t width;
};

void PrintTo(const TextField &c, std::ostream *out) { *out << c.name; }

class KxlWihTextFieldTest : public ::testing::TestWithParam<TextField> {};

TEST_P(KxlWihTextFieldTest, SetterBlankFillsAndCutsSilently) {
  const TextField &f = GetParam();
  KxlWih header;

  (header.*f.set)("SVC");
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), padded("SVC", f.width, ' '));
  EXPECT_EQ(text((header.*f.get)()), padded("SVC", f.width, ' '));

  const std::string tooLong = std::string(f.width, 'x') + "yz";
  (header.*f.set)(tooLong.c_str());
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), tooLong.substr(0, f.width));
  EXPECT_EQ(text((header.*f.get)()), tooLong.substr(0, f.width));
  EXPECT_EQ(KxlStr::staticCompletionCode(), KXCC_WARNING);
  EXPECT_EQ(KxlStr::staticReasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);

  (header.*f.set)(nullptr);
  EXPECT_EQ(writtenRecord(header).substr(f.offset, f.width), std::string(f.width, ' '));
  EXPECT_EQ(text((header.*f.get)()), std::string(f.width, ' '));
}

INSTANTIATE_TEST_SUITE_P(Fields, KxlWihTextFieldTest,
                         ::testing::Values(TextField{"ServiceName", &KxlWih::setServiceName,
                                                     &KxlWih::serviceName, 32, 32},
                                           TextField{"ServiceStep", &KxlWih::setServiceStep,
                                                     &KxlWih::serviceStep, 64, 8}),
                         [](const ::testing::TestParamInfo<TextField> &info) {
                           return info.param.name;
                         });

TEST(KxlWihTest, FormatIsBlankFilledAndKeepsItsBlanks) {
  KxlWih header;
  header.setFormat("AB");
  EXPECT_EQ(text(header.format()), "AB      ");
  header.setFormat("ABCDEFGHIJ");
  EXPECT_EQ(text(header.format()), "ABCDEFGH");
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlWihTest, MessageTokenOfAWrongLengthFailsWithTheJoinedText) {
  for (std::size_t length : {1u, 15u, 17u}) {
    SCOPED_TRACE(length);
    KxlWih header;
    header.setMessageToken(kToken);
    const std::string wrong(length, '\x55');
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.setMessageToken(KxlBin(wrong.data(), wrong.size())));
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_EQ(trace.texts(kSetMessageToken),
              std::vector<std::string>{
                  "KxlWorkHeader::setMessageToken (error): binary data length error\n"});
    EXPECT_EQ(trace.entries(kSetMessageToken), 0);
    EXPECT_TRUE(trace.exitValues(kSetMessageToken).empty());
    EXPECT_EQ(bytesOf(header.messageToken()), kTokenBytes);
  }
}

TEST(KxlWihTest, MessageTokenSetters) {
  KxlWih header;
  ASSERT_TRUE(header.setMessageToken(KxlBin(kToken, sizeof kToken)));
  EXPECT_EQ(bytesOf(header.messageToken()), kTokenBytes);
  EXPECT_EQ(writtenRecord(header).substr(72, 16), kTokenBytes);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);

  EXPECT_FALSE(header.setMessageToken(KxlBin(kToken, 15)));
  EXPECT_TRUE(header.setMessageToken(KxlBin()));
  EXPECT_EQ(bytesOf(header.messageToken()), std::string(16, '\0'));
  EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);  // codes stay

  header.setMessageToken(kToken);
  EXPECT_EQ(writtenRecord(header).substr(72, 16), kTokenBytes);
  header.setMessageToken(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(bytesOf(header.messageToken()), std::string(16, '\0'));
}

TEST(KxlWihTest, AssignmentCopiesCodesAndTheWholeRecord) {
  WihImage image = filledImage();
  image.reserved = reservedPattern();
  KxlMsg message;
  loadMessage(message, image.render(), 546, "KXHWIH  ");
  KxlWih source;
  ASSERT_TRUE(source.pasteIn(message));
  source.setCharacterSet(1208);
  EXPECT_FALSE(source.setMessageToken(KxlBin(kToken, 2)));

  KxlWih target;
  target.setServiceStep("OTHER");
  target = source;
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  expectSameHeader(stateOf(source), target);
  EXPECT_EQ(writtenRecord(target).substr(88), reservedPattern());
  EXPECT_EQ(target.characterSet(), 1208);

  // The copy's accessors work on its own record, not the source's.
  KxlWih copy(source);
  expectSameHeader(stateOf(source), copy);
  copy.setEncoding(273);
  copy.setFormat("MINE");
  EXPECT_EQ(source.encoding(), 546);
  EXPECT_EQ(text(source.format()), "        ");

  const HeaderState before = stateOf(target);
  KxlWih &self = target;
  target = self;
  expectSameHeader(before, target);
}

TEST(KxlWihTest, ApplicationBufferTooSmallForTheOldContentKeepsTheHeaderAlone) {
  std::vector<char> buffer(kRecordLength + 1);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer.data(), buffer.size()));
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(0));
  KxlWih header;
  fillHeader(header);

  EXPECT_FALSE(message.writeItem(header));
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.completionCode(), KXCC_FAILED);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  WihImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(text(message.format()), "KXHWIH  ");
}

// A string, a dead-letter header and a work header in one message, taken
// apart again in the order they stand.
TEST(KxlHeaderChainTest, TwoHeadersInFrontOfAStringComeOffInOrder) {
  KxlMsg message;
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  KxlDlh deadLetter;
  deadLetter.setDestinationQueueName("Q1");
  ASSERT_TRUE(message.writeItem(deadLetter));
  KxlWih work;
  work.setServiceName("SVC");
  ASSERT_TRUE(message.writeItem(work));

  EXPECT_EQ(text(message.format()), "KXHWIH  ");
  EXPECT_EQ(text(work.format()), "KXDEAD  ");
  EXPECT_EQ(text(deadLetter.format()), "KXSTR   ");
  const std::string content = contentOf(message);
  ASSERT_EQ(content.size(), 120u + 172u + 5u);
  EXPECT_EQ(content.substr(0, 4), "WIH ");
  EXPECT_EQ(content.substr(120, 4), "DLH ");
  EXPECT_EQ(content.substr(292), "hello");

  ASSERT_TRUE(message.setDataOffset(0));
  KxlDlh outOfOrder;
  EXPECT_FALSE(message.readItem(outOfOrder));
  EXPECT_EQ(message.reasonCode(), KXRC_WRONG_STRUCTURE_ID);
  message.clearErrorCodes();

  KxlWih readWork;
  ASSERT_TRUE(message.readItem(readWork));
  EXPECT_EQ(text(readWork.serviceName()), padded("SVC", 32, ' '));
  EXPECT_EQ(text(message.format()), "KXDEAD  ");
  EXPECT_EQ(message.dataOffset(), 120u);
  KxlDlh readDeadLetter;
  ASSERT_TRUE(message.readItem(readDeadLetter));
  EXPECT_EQ(text(readDeadLetter.destinationQueueName()), "Q1");
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.dataOffset(), 292u);
  KxlStr body;
  ASSERT_TRUE(message.readItem(body));
  EXPECT_EQ(text(body), "hello");
  EXPECT_EQ(message.reasonCode(), KXRC_NONE);
}

}  // namespace
