// The OXT bridge header: its record byte for byte (with its " 0C " tail),
// how it goes in front of a message and comes off again, its read checks
// and their order, its mixed null/blank text fields, its transaction
// instance id and its copies.

#include "kxloih.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kxlbin.hpp"
#include "kxlmsg.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 84;
constexpr unsigned kPasteIn = 65;
constexpr unsigned kSetTransactionInstanceId = 66;

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

const unsigned char kId[16] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                               0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10};
const std::string kIdBytes(reinterpret_cast<const char *>(kId), sizeof kId);

// The expected record, laid out field by field at the offsets it must have.
struct OihImage {
  std::string structureId = "OIH ";
  std::int32_t version = 1;
  std::int32_t structureLength = 84;
  std::int32_t encoding = 546;
  std::int32_t characterSet = 0;
  std::string format = "        ";
  std::int32_t headerFlags = 0;
  std::string logicalTerminalOverride = "        ";
  std::string messageFormatServicesMapName = "        ";
  std::string replyToFormat = "        ";
  std::string authenticator = "        ";
  std::string transactionInstanceId = std::string(16, '\0');
  std::string trailing = " 0C ";

  std::string render() const {
    std::string out;
    put(out, 0, structureId, 4);
    put(out, 4, int32Bytes(version), 4);
    put(out, 8, int32Bytes(structureLength), 4);
    put(out, 12, int32Bytes(encoding), 4);
    put(out, 16, int32Bytes(characterSet), 4);
    put(out, 20, format, 8);
    put(out, 28, int32Bytes(headerFlags), 4);
    put(out, 32, logicalTerminalOverride, 8);
    put(out, 40, messageFormatServicesMapName, 8);
    put(out, 48, replyToFormat, 8);
    put(out, 56, authenticator, 8);
    put(out, 64, transactionInstanceId, 16);
    put(out, 80, trailing, 4);
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
std::string writtenRecord(const KxlOih &header) {
  KxlOih copy(header);
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

HeaderState stateOf(const KxlOih &header) {
  return {writtenRecord(header), header.encoding(), header.characterSet(), text(header.format()),
          header.headerFlags()};
}

void expectSameHeader(const HeaderState &before, const KxlOih &header) {
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

void fillHeader(KxlOih &header) {
  header.setLogicalTerminalOverride("LT1");
  header.setMessageFormatServicesMapName("MAP");
  header.setReplyToFormat("RF");
  header.setAuthenticator("AUTH");
  header.setTransactionInstanceId(kId);
  header.setHeaderFlags(0x10);
}

OihImage filledImage() {
  OihImage image;
  image.logicalTerminalOverride = padded("LT1", 8, '\0');
  image.messageFormatServicesMapName = padded("MAP", 8, '\0');
  image.replyToFormat = padded("RF", 8, ' ');
  image.authenticator = padded("AUTH", 8, '\0');
  image.transactionInstanceId = kIdBytes;
  image.headerFlags = 0x10;
  return image;
}

TEST(KxlOihTest, NewHeaderHoldsTheDefaultRecord) {
  KxlOih header;
  EXPECT_EQ(header.encoding(), 546);
  EXPECT_EQ(header.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "        ");
  EXPECT_EQ(header.headerFlags(), 0);
  // Two fields drop their blanks, two keep them.
  EXPECT_EQ(text(header.logicalTerminalOverride()), "");
  EXPECT_EQ(text(header.messageFormatServicesMapName()), "");
  EXPECT_EQ(text(header.replyToFormat()), "        ");
  EXPECT_EQ(text(header.authenticator()), "        ");
  EXPECT_EQ(bytesOf(header.transactionInstanceId()), std::string(16, '\0'));

  KxlMsg message;
  message.setEncoding(273);
  message.setCharacterSet(1208);
  message.setFormat("ABCDEFGH");
  ASSERT_TRUE(header.copyOut(message));
  OihImage image;
  image.encoding = 273;
  image.characterSet = 1208;
  image.format = "ABCDEFGH";
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlOihTest, CopyOutPutsTheRecordInFrontOfTheContent) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlOih header;
  fillHeader(header);
  ASSERT_TRUE(header.copyOut(message));

  EXPECT_EQ(message.messageLength(), 89u);
  EXPECT_EQ(message.dataOffset(), 89u);
  OihImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  const std::string content = contentOf(message);
  EXPECT_TRUE(sameBytes(content.substr(0, kRecordLength), image.render()));
  EXPECT_EQ(content.substr(80, 4), " 0C ");
  EXPECT_EQ(content.substr(kRecordLength), "hello");
  EXPECT_EQ(text(message.format()), "KXOXT   ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "KXSTR   ");
  EXPECT_EQ(header.characterSet(), 850);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlOihTest, CopyOutGoesInFrontOfTheFirstByteWhateverTheDataOffset) {
  KxlMsg message;
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(3));
  KxlOih header;
  ASSERT_TRUE(header.copyOut(message));
  const std::string content = contentOf(message);
  ASSERT_EQ(content.size(), 89u);
  EXPECT_EQ(content.substr(0, 4), "OIH ");
  EXPECT_EQ(content.substr(kRecordLength), "hello");
}

TEST(KxlOihTest, PasteInTakesTheHeaderOffAndRestoresTheMessage) {
  KxlMsg message;
  makeHelloMessage(message);
  KxlOih written;
  fillHeader(written);
  ASSERT_TRUE(message.writeItem(written));
  ASSERT_TRUE(message.setDataOffset(0));

  kxltest::TraceCapture trace;
  KxlOih read;
  ASSERT_TRUE(read.pasteIn(message));
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  EXPECT_EQ(read.reasonCode(), KXRC_NONE);

  EXPECT_EQ(text(read.format()), "KXSTR   ");
  EXPECT_EQ(read.characterSet(), 850);
  EXPECT_EQ(read.headerFlags(), 0x10);
  EXPECT_EQ(text(read.logicalTerminalOverride()), "LT1");
  EXPECT_EQ(text(read.messageFormatServicesMapName()), "MAP");
  EXPECT_EQ(text(read.replyToFormat()), "RF      ");
  EXPECT_EQ(text(read.authenticator()), "AUTH");
  EXPECT_EQ(bytesOf(read.transactionInstanceId()), kIdBytes);
  EXPECT_TRUE(sameBytes(writtenRecord(read), writtenRecord(written)));

  EXPECT_EQ(trace.entries(kPasteIn), 1);
  EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{0});

  KxlStr body;
  ASSERT_TRUE(message.readItem(body));
  EXPECT_EQ(text(body), "hello");
}

TEST(KxlOihTest, PasteInTakesFieldsWithoutAccessorAsTheyStand) {
  OihImage image;
  image.version = 3;
  image.structureLength = 200;  // read as 84 bytes all the same
  image.trailing = "WXYZ";
  image.format = "KXSTR   ";
  KxlMsg message;
  loadMessage(message, image.render() + "rest", 546, "KXOXT   ");

  KxlOih header;
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(message.dataOffset(), kRecordLength);
  const std::string again = writtenRecord(header);
  ASSERT_EQ(again.size(), kRecordLength);
  EXPECT_EQ(again.substr(4, 8), int32Bytes(3) + int32Bytes(200));
  EXPECT_EQ(again.substr(80, 4), "WXYZ");
}

struct PastedText {
  const char *name;
  KxlStr (KxlOih::*get)() const;
  const char *expected;
};

void PrintTo(const PastedText &c, std::ostream *out) { *out << c.name; }

class KxlOihPastedTextTest : public ::testing::TestWithParam<PastedText> {};

// Every text field holds "LT1" and five blanks in the incoming record.
TEST_P(KxlOihPastedTextTest, GetterStripsOnlyWhereItShould) {
  const PastedText &c = GetParam();
  OihImage image;
  image.logicalTerminalOverride = image.messageFormatServicesMapName = image.replyToFormat =
      image.authenticator = "LT1     ";
  KxlMsg message;
  loadMessage(message, image.render(), 546, "KXOXT   ");
  KxlOih header;
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(text((header.*c.get)()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KxlOihPastedTextTest,
    ::testing::Values(
        PastedText{"LogicalTerminalOverride", &KxlOih::logicalTerminalOverride, "LT1"},
        PastedText{"MessageFormatServicesMapName", &KxlOih::messageFormatServicesMapName, "LT1"},
        PastedText{"ReplyToFormat", &KxlOih::replyToFormat, "LT1     "},
        PastedText{"Authenticator", &KxlOih::authenticator, "LT1     "}),
    [](const ::testing::TestParamInfo<PastedText> &info) { return info.param.name; });

std::string goodRecord() { return OihImage().render(); }

struct PasteInFailure {
  const char *name;
  std::string data;
  long encoding;
  const char *format;
  long reason;
  const char *text;
};

void PrintTo(const PasteInFailure &c, std::ostream *out) { *out << c.name; }

class KxlOihPasteInFailureTest : public ::testing::TestWithParam<PasteInFailure> {};

TEST_P(KxlOihPasteInFailureTest, FailsWithItsCodeAndChangesNothing) {
  const PasteInFailure &c = GetParam();
  KxlMsg message;
  loadMessage(message, c.data, c.encoding, c.format);
  message.setCharacterSet(850);
  const MessageState messageBefore = stateOf(message);
  KxlOih header;
  fillHeader(header);
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

INSTANTIATE_TEST_SUITE_P(
    Checks, KxlOihPasteInFailureTest,
    ::testing::Values(
        PasteInFailure{"WorkHeaderStructureId", "WIH " + goodRecord().substr(4), 546, "KXOXT   ",
                       KXRC_WRONG_STRUCTURE_ID,
                       "KxlOXTBridgeHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"StructureIdBeforeEncodingAndFormat", "WIH " + goodRecord().substr(4), 273,
                       "KXHWIH  ", KXRC_WRONG_STRUCTURE_ID,
                       "KxlOXTBridgeHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"NoData", "", 546, "KXOXT   ", KXRC_WRONG_STRUCTURE_ID,
                       "KxlOXTBridgeHeader::pasteIn (error): wrong structure id"},
        PasteInFailure{"EncodingBeforeFormat", goodRecord(), 785, "KXHWIH  ", KXRC_WRONG_ENCODING,
                       "KxlOXTBridgeHeader::pasteIn (error): wrong message encoding"},
        PasteInFailure{"WrongFormat", goodRecord(), 546, "KXHWIH  ", KXRC_WRONG_FORMAT,
                       "KxlOXTBridgeHeader::pasteIn (error): wrong message format"}),
    [](const ::testing::TestParamInfo<PasteInFailure> &info) { return info.param.name; });

TEST(KxlOihTest, PasteInOfAShortRecordTakesTheMessagesCodes) {
  KxlMsg message;
  loadMessage(message, goodRecord().substr(0, kRecordLength - 1), 546, "KXOXT   ");
  const MessageState messageBefore = stateOf(message);
  KxlOih header;
  fillHeader(header);
  const HeaderState headerBefore = stateOf(header);

  kxltest::TraceCapture trace;
  EXPECT_FALSE(header.pasteIn(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_EQ(trace.exitValues(kPasteIn),
            std::vector<std::int32_t>{static_cast<int>(KXRC_INSUFFICIENT_DATA)});
  expectSameHeader(headerBefore, header);
  expectSameMessage(messageBefore, message);
}

struct TextField {
  const char *name;
  void (KxlOih::*set)(const char *);
  KxlStr (KxlOih::*get)() const;
  std::size_t offset;
  char fill;
  const char *readBack;  // what the getter gives after setting "AB"
};

void PrintTo(const TextField &c, std::ostream *out) { *out << c.name; }

class KxlOihTextFieldTest : public ::testing::TestWithParam<TextField> {};

TEST_P(KxlOihTextFieldTest, SetterFillsAndCutsSilently) {
  const TextField &f = GetParam();
  KxlOih header;

  (header.*f.set)("AB");
  EXPECT_EQ(writtenRecord(header).substr(f.offset, 8), padded("AB", 8, f.fill));
  EXPECT_EQ(text((header.*f.get)()), f.readBack);

  (header.*f.set)("ABCDEFGHIJ");
  EXPECT_EQ(writtenRecord(header).substr(f.offset, 8), "ABCDEFGH");
  EXPECT_EQ(text((header.*f.get)()), "ABCDEFGH");
  EXPECT_EQ(KxlStr::staticCompletionCode(), KXCC_WARNING);
  EXPECT_EQ(KxlStr::staticReasonCode(), KXRC_DATA_TRUNCATED);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);

  (header.*f.set)(nullptr);
  EXPECT_EQ(writtenRecord(header).substr(f.offset, 8), std::string(8, f.fill));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KxlOihTextFieldTest,
    ::testing::Values(TextField{"LogicalTerminalOverride", &KxlOih::setLogicalTerminalOverride,
                                &KxlOih::logicalTerminalOverride, 32, '\0', "AB"},
                      TextField{"MessageFormatServicesMapName",
                                &KxlOih::setMessageFormatServicesMapName,
                                &KxlOih::messageFormatServicesMapName, 40, '\0', "AB"},
                      TextField{"ReplyToFormat", &KxlOih::setReplyToFormat, &KxlOih::replyToFormat,
                                48, ' ', "AB      "},
                      TextField{"Authenticator", &KxlOih::setAuthenticator, &KxlOih::authenticator,
                                56, '\0', "AB"}),
    [](const ::testing::TestParamInfo<TextField> &info) { return info.param.name; });

TEST(KxlOihTest, FormatIsBlankFilledAndKeepsItsBlanks) {
  KxlOih header;
  header.setFormat("AB");
  EXPECT_EQ(text(header.format()), "AB      ");
  header.setFormat("ABCDEFGHIJ");
  EXPECT_EQ(text(header.format()), "ABCDEFGH");
  EXPECT_EQ(header.reasonCode(), KXRC_NONE);
}

TEST(KxlOihTest, TransactionInstanceIdOfAWrongLengthFailsAndKeepsTheId) {
  for (std::size_t length : {1u, 15u, 17u, 32u}) {
    SCOPED_TRACE(length);
    KxlOih header;
    header.setTransactionInstanceId(kId);
    const std::string wrong(length, '\x7f');
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.setTransactionInstanceId(KxlBin(wrong.data(), wrong.size())));
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_EQ(trace.texts(kSetTransactionInstanceId),
              std::vector<std::string>{"KxlOXTBridgeHeader::setTransactionInstanceId (error): "
                                       "binary data length error"});
    EXPECT_EQ(trace.entries(kSetTransactionInstanceId), 1);
    EXPECT_EQ(trace.exitValues(kSetTransactionInstanceId),
              std::vector<std::int32_t>{static_cast<int>(KXRC_BINARY_DATA_LENGTH_ERROR)});
    EXPECT_EQ(bytesOf(header.transactionInstanceId()), kIdBytes);
  }
}

TEST(KxlOihTest, TransactionInstanceIdSetters) {
  KxlOih header;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(header.setTransactionInstanceId(KxlBin(kId, sizeof kId)));
  EXPECT_EQ(bytesOf(header.transactionInstanceId()), kIdBytes);
  EXPECT_EQ(writtenRecord(header).substr(64, 16), kIdBytes);
  EXPECT_EQ(trace.exitValues(kSetTransactionInstanceId), std::vector<std::int32_t>{0});

  // An empty byte string clears the id; earlier codes stay.
  EXPECT_FALSE(header.setTransactionInstanceId(KxlBin(kId, 3)));
  trace.clear();
  EXPECT_TRUE(header.setTransactionInstanceId(KxlBin()));
  EXPECT_EQ(bytesOf(header.transactionInstanceId()), std::string(16, '\0'));
  EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  EXPECT_EQ(trace.exitValues(kSetTransactionInstanceId),
            std::vector<std::int32_t>{static_cast<int>(KXRC_BINARY_DATA_LENGTH_ERROR)});

  header.setTransactionInstanceId(kId);
  EXPECT_EQ(bytesOf(header.transactionInstanceId()), kIdBytes);
  header.setTransactionInstanceId(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(writtenRecord(header).substr(64, 16), std::string(16, '\0'));
}

TEST(KxlOihTest, AssignmentCopiesCodesAndTheWholeRecord) {
  OihImage image = filledImage();
  image.trailing = "TAIL";
  image.version = 2;
  KxlMsg message;
  loadMessage(message, image.render(), 546, "KXOXT   ");
  KxlOih source;
  ASSERT_TRUE(source.pasteIn(message));
  source.setEncoding(273);
  EXPECT_FALSE(source.setTransactionInstanceId(KxlBin(kId, 5)));

  KxlOih target;
  target.setAuthenticator("OTHER");
  target = source;
  EXPECT_EQ(target.completionCode(), KXCC_FAILED);
  EXPECT_EQ(target.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  expectSameHeader(stateOf(source), target);
  EXPECT_EQ(writtenRecord(target).substr(80, 4), "TAIL");
  EXPECT_EQ(target.encoding(), 273);

  // The copy's accessors work on its own record, not the source's.
  KxlOih copy(source);
  expectSameHeader(stateOf(source), copy);
  copy.setFormat("MINE");
  copy.setHeaderFlags(77);
  EXPECT_EQ(text(source.format()), "        ");
  EXPECT_EQ(source.headerFlags(), 0x10);

  const HeaderState before = stateOf(target);
  KxlOih &self = target;
  target = self;
  expectSameHeader(before, target);
}

TEST(KxlOihTest, ApplicationBufferTooSmallForTheOldContentKeepsTheHeaderAlone) {
  std::vector<char> buffer(kRecordLength + 4);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer.data(), buffer.size()));
  makeHelloMessage(message);
  ASSERT_TRUE(message.setDataOffset(0));
  KxlOih header;
  fillHeader(header);

  EXPECT_FALSE(message.writeItem(header));
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.completionCode(), KXCC_FAILED);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  OihImage image = filledImage();
  image.format = "KXSTR   ";
  image.characterSet = 850;
  EXPECT_TRUE(sameBytes(contentOf(message), image.render()));
  EXPECT_EQ(text(message.format()), "KXOXT   ");
}

}  // namespace
