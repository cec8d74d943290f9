#include "kxlvih.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlrec.hpp"
#include "kxltest.hpp"

namespace {

constexpr unsigned kPasteIn = 60;
constexpr unsigned kSetFacilityToken = 61;

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars != nullptr ? chars : "";
}

std::string bytesAt(const KxlMsg &message, std::size_t offset, std::size_t length) {
  return std::string(message.bufferPointer() + offset, length);
}

std::int32_t intAt(const KxlMsg &message, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, message.bufferPointer() + offset, sizeof value);
  return value;
}

// A message holding 'hello' as a string, described with a foreign encoding
// and character set so that the header's copies of them are recognisable.
void loadHello(KxlMsg &message) {
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  message.setEncoding(785);
  message.setCharacterSet(850);
}

// The bytes a header writes, taken from a message it was written into.
std::vector<char> recordOf(KxlVih header) {
  KxlMsg message;
  EXPECT_TRUE(header.copyOut(message));
  return std::vector<char>(message.bufferPointer(),
                           message.bufferPointer() + message.messageLength());
}

// Puts `bytes` into the message as its whole content, data offset at
// `dataOffset`, described as a VORN bridge header in the native encoding.
void loadBytes(KxlMsg &message, const std::vector<char> &bytes, std::size_t dataOffset = 0) {
  message.clearMessage();
  ASSERT_TRUE(message.write(bytes.size(), bytes.data()));
  ASSERT_TRUE(message.setDataOffset(dataOffset));
  message.setFormat("KXVORN  ");
  message.setEncoding(546);
}

void putInt(std::vector<char> &bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

TEST(KxlVihTest, NewHeaderWrittenBeforeHello) {
  KxlVih header;
  KxlMsg message;
  loadHello(message);
  ASSERT_TRUE(header.copyOut(message));

  ASSERT_EQ(message.messageLength(), 185u);
  EXPECT_EQ(message.dataOffset(), 185u);
  EXPECT_EQ(bytesAt(message, 0, 4), "VIH ");
  EXPECT_EQ(intAt(message, 4), 2);
  EXPECT_EQ(intAt(message, 8), 180);
  EXPECT_EQ(intAt(message, 12), 785);
  EXPECT_EQ(intAt(message, 16), 850);
  EXPECT_EQ(bytesAt(message, 20, 8), "KXSTR   ");
  EXPECT_EQ(intAt(message, 28), 0);
  const struct {
    std::size_t offset;
    std::int32_t value;
  } integers[] = {{32, 0}, {36, 0}, {40, 0}, {44, 273}, {48, -2}, {52, 1},  {56, -1}, {60, 0},
                  {64, 0}, {68, 0}, {72, 0}, {164, 0},  {168, 0}, {172, 0}, {176, 0}};
  for (const auto &field : integers) {
    EXPECT_EQ(intAt(message, field.offset), field.value) << "offset " << field.offset;
  }
  EXPECT_EQ(bytesAt(message, 76, 8), std::string(8, '\0'));
  EXPECT_EQ(bytesAt(message, 84, 80), std::string(80, ' '));
  EXPECT_EQ(bytesAt(message, 180, 5), "hello");

  EXPECT_EQ(text(message.format()), "KXVORN  ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "KXSTR   ");
  EXPECT_EQ(header.encoding(), 785);
  EXPECT_EQ(header.characterSet(), 850);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
}

TEST(KxlVihTest, VersionOneWritesTheFirst164Bytes) {
  KxlVih header;
  ASSERT_TRUE(header.setVersion(1));
  header.setCursorPosition(99);  // lies in the version 2 part: not written
  KxlMsg message;
  loadHello(message);
  ASSERT_TRUE(header.copyOut(message));

  ASSERT_EQ(message.messageLength(), 169u);
  EXPECT_EQ(intAt(message, 4), 1);
  EXPECT_EQ(intAt(message, 8), 164);
  EXPECT_EQ(bytesAt(message, 84, 80), std::string(80, ' '));
  EXPECT_EQ(bytesAt(message, 164, 5), "hello");
  EXPECT_EQ(header.cursorPosition(), 99);
}

TEST(KxlVihTest, SetVersionAcceptsOnlySupportedVersions) {
  kxltest::TraceCapture trace;
  for (long refused : {0L, 3L, -1L, -2147483647L - 1, 2147483647L}) {
    KxlVih header;
    ASSERT_TRUE(header.setVersion(1));
    EXPECT_FALSE(header.setVersion(refused)) << refused;
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_UNSUPPORTED_VERSION);
    EXPECT_EQ(header.version(), 1);
    std::vector<char> record = recordOf(header);
    EXPECT_EQ(record.size(), 164u);
    std::int32_t structureLength;
    std::memcpy(&structureLength, record.data() + 8, sizeof structureLength);
    EXPECT_EQ(structureLength, 164);
  }
  EXPECT_TRUE(trace.texts().empty());

  KxlVih header;
  ASSERT_TRUE(header.setVersion(1));
  ASSERT_TRUE(header.setVersion(2));
  EXPECT_EQ(header.version(), 2);
  std::vector<char> record = recordOf(header);
  ASSERT_EQ(record.size(), 180u);
  std::int32_t structureLength;
  std::memcpy(&structureLength, record.data() + 8, sizeof structureLength);
  EXPECT_EQ(structureLength, 180);
  EXPECT_EQ(header.completionCode(), KXCC_OK);
}

TEST(KxlVihTest, PasteInOfVersionOneIntoNewHeader) {
  KxlVih sent;
  ASSERT_TRUE(sent.setVersion(1));
  sent.setLinkType(2);
  sent.setTransactionIdentifier("TRN1");
  KxlMsg message;
  loadHello(message);
  ASSERT_TRUE(sent.copyOut(message));
  ASSERT_TRUE(message.setDataOffset(0));

  KxlVih received;  // version 2 until the record says otherwise
  received.setCursorPosition(77);
  kxltest::TraceCapture trace;
  ASSERT_TRUE(received.pasteIn(message));

  EXPECT_EQ(received.version(), 1);
  EXPECT_EQ(received.linkType(), 2);
  EXPECT_EQ(text(received.transactionIdentifier()), "TRN1");
  EXPECT_EQ(received.cursorPosition(), 77);  // beyond the 164 bytes read
  EXPECT_EQ(message.dataOffset(), 164u);
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 785);
  EXPECT_EQ(message.characterSet(), 850);
  EXPECT_EQ(trace.entries(kPasteIn), 1);
  EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{0});

  // A version 2 record read by a header set to version 1 is read whole.
  KxlVih longer;
  longer.setCursorPosition(5);
  KxlMsg second;
  loadHello(second);
  ASSERT_TRUE(longer.copyOut(second));
  ASSERT_TRUE(second.setDataOffset(0));
  ASSERT_TRUE(received.pasteIn(second));
  EXPECT_EQ(received.version(), 2);
  EXPECT_EQ(received.cursorPosition(), 5);
  EXPECT_EQ(second.dataOffset(), 180u);
}

TEST(KxlVihTest, UnsupportedIncomingVersionRestoresDataOffset) {
  KxlVih model;
  model.setLinkType(9);
  std::vector<char> bytes(3, 'x');
  const std::vector<char> record = recordOf(model);
  bytes.insert(bytes.end(), record.begin(), record.end());

  for (std::int32_t version : {0, 3, -1, 164}) {
    putInt(bytes, 3 + 4, version);
    KxlMsg message;
    loadBytes(message, bytes, 3);
    KxlVih header;
    header.setLinkType(4);
    ASSERT_TRUE(header.setVersion(1));
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message)) << version;
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_UNSUPPORTED_VERSION);
    EXPECT_EQ(message.dataOffset(), 3u);
    EXPECT_EQ(message.reasonCode(), KXRC_NONE);
    EXPECT_EQ(text(message.format()), "KXVORN  ");
    EXPECT_EQ(header.version(), 1);
    EXPECT_EQ(header.linkType(), 4);
    EXPECT_TRUE(trace.texts().empty());
    EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{KXRC_UNSUPPORTED_VERSION});
  }
}

TEST(KxlVihTest, PasteInChecksIdThenEncodingThenFormat) {
  const std::vector<char> good = recordOf(KxlVih());
  std::vector<char> wrongId = good;
  wrongId[3] = 'X';
  const struct {
    const std::vector<char> *bytes;
    long encoding;
    const char *format;
    long reason;
    const char *message;
  } cases[] = {
      {&wrongId, 273, "KXSTR   ", KXRC_WRONG_STRUCTURE_ID,
       "KxlVORNBridgeHeader::pasteIn (error): wrong structure id"},
      {&good, 273, "KXSTR   ", KXRC_WRONG_ENCODING,
       "KxlVORNBridgeHeader::pasteIn (error): wrong message encoding"},
      {&good, 546, "KXSTR   ", KXRC_WRONG_FORMAT,
       "KxlVORNBridgeHeader::pasteIn (error): wrong message format"},
  };
  for (const auto &c : cases) {
    KxlMsg message;
    loadBytes(message, *c.bytes);
    message.setEncoding(c.encoding);
    message.setFormat(c.format);
    KxlVih header;
    header.setLinkType(4);
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message));
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), c.reason);
    EXPECT_EQ(trace.texts(kPasteIn), std::vector<std::string>{c.message});
    EXPECT_EQ(trace.entries(kPasteIn), 1);
    EXPECT_EQ(trace.exitValues(kPasteIn), std::vector<std::int32_t>{static_cast<int>(c.reason)});
    EXPECT_EQ(message.dataOffset(), 0u);
    EXPECT_EQ(header.linkType(), 4);
  }
}

TEST(KxlVihTest, ShortDataFailsWithTheMessagesCode) {
  KxlVih model;
  model.setLinkType(9);
  const std::vector<char> full = recordOf(model);
  std::vector<char> versionOne = full;
  putInt(versionOne, 4, 1);
  const struct {
    const std::vector<char> *source;
    std::size_t length;
  } cases[] = {{&full, 179}, {&full, 100}, {&versionOne, 163}, {&full, 7}, {&full, 4}};
  for (const auto &c : cases) {
    // Exactly as long as the data, so that a look past it is caught by the
    // address sanitizer.
    const std::vector<char> bytes(c.source->begin(), c.source->begin() + c.length);
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()));
    message.setFormat("KXVORN  ");
    message.setEncoding(546);
    KxlVih header;
    header.setLinkType(4);
    EXPECT_FALSE(header.pasteIn(message)) << c.length;
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
    EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_DATA);
    EXPECT_EQ(message.dataOffset(), 0u);
    EXPECT_EQ(header.linkType(), 4);
    EXPECT_EQ(header.version(), 2);
  }

  // Exactly a version 1 record is enough.
  KxlMsg message;
  loadBytes(message, std::vector<char>(versionOne.begin(), versionOne.begin() + 164));
  KxlVih header;
  EXPECT_TRUE(header.pasteIn(message));
  EXPECT_EQ(header.linkType(), 9);
  EXPECT_EQ(message.dataOffset(), 164u);
}

TEST(KxlVihTest, FacilityToken) {
  KxlVih header;
  EXPECT_EQ(header.facilityToken(), KxlBin(std::string(8, '\0').data(), 8));

  const KxlBin token("ABCDEFGH", 8);
  kxltest::TraceCapture trace;
  EXPECT_TRUE(header.setFacilityToken(token));
  EXPECT_EQ(header.facilityToken(), token);
  EXPECT_EQ(trace.entries(kSetFacilityToken), 1);
  EXPECT_EQ(trace.exitValues(kSetFacilityToken), std::vector<std::int32_t>{0});
  EXPECT_EQ(std::string(recordOf(header).data() + 76, 8), "ABCDEFGH");

  for (std::size_t length : {7u, 9u, 1u}) {
    trace.clear();
    EXPECT_FALSE(header.setFacilityToken(KxlBin("123456789", length))) << length;
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_EQ(header.facilityToken(), token);
    EXPECT_EQ(trace.texts(kSetFacilityToken),
              std::vector<std::string>{
                  "KxlVORNBridgeHeader::setFacilityToken (error): binary data length error\n"});
    EXPECT_EQ(trace.exitValues(kSetFacilityToken),
              std::vector<std::int32_t>{KXRC_BINARY_DATA_LENGTH_ERROR});
  }

  header.clearErrorCodes();
  EXPECT_TRUE(header.setFacilityToken(KxlBin()));
  EXPECT_EQ(header.facilityToken(), KxlBin(std::string(8, '\0').data(), 8));
  EXPECT_EQ(header.completionCode(), KXCC_OK);

  const unsigned char raw[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  header.setFacilityToken(raw);
  EXPECT_EQ(header.facilityToken(), KxlBin(raw, 8));
  header.setFacilityToken(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(header.facilityToken(), KxlBin(std::string(8, '\0').data(), 8));
}

TEST(KxlVihTest, TextFieldsKeepBlanksAndCutToWidth) {
  using Getter = KxlStr (KxlVih::*)() const;
  using Setter = void (KxlVih::*)(const char *);
  const struct {
    Getter get;
    Setter set;
    std::size_t offset;
    std::size_t width;
  } fields[] = {
      {&KxlVih::authenticator, &KxlVih::setAuthenticator, 92, 8},
      {&KxlVih::replyToFormat, &KxlVih::setReplyToFormat, 108, 8},
      {&KxlVih::transactionIdentifier, &KxlVih::setTransactionIdentifier, 124, 4},
      {&KxlVih::facilityLike, &KxlVih::setFacilityLike, 128, 4},
      {&KxlVih::attentionIdentifier, &KxlVih::setAttentionIdentifier, 132, 4},
      {&KxlVih::startCode, &KxlVih::setStartCode, 136, 4},
      {&KxlVih::bridgeCancelCode, &KxlVih::setBridgeCancelCode, 140, 4},
  };
  for (const auto &field : fields) {
    KxlVih header;
    EXPECT_EQ(text((header.*field.get)()), std::string(field.width, ' '));
    (header.*field.set)("AB");
    const std::string padded = "AB" + std::string(field.width - 2, ' ');
    EXPECT_EQ(text((header.*field.get)()), padded);
    std::vector<char> record = recordOf(header);
    EXPECT_EQ(std::string(record.data() + field.offset, field.width), padded) << field.offset;
    // Neighbouring bytes stay blank.
    EXPECT_EQ(record[field.offset + field.width], ' ');

    (header.*field.set)("ABCDEFGHIJKL");
    EXPECT_EQ(text((header.*field.get)()), std::string("ABCDEFGHIJKL").substr(0, field.width));
    (header.*field.set)(nullptr);
    EXPECT_EQ(text((header.*field.get)()), std::string(field.width, ' '));
    EXPECT_EQ(header.completionCode(), KXCC_OK);
  }

  // The read-only text fields come from a pasted record.
  std::vector<char> bytes = recordOf(KxlVih());
  std::memcpy(bytes.data() + 84, "FN1 AB2 ", 8);
  std::memcpy(bytes.data() + 144, "NXT ", 4);
  KxlMsg message;
  loadBytes(message, bytes);
  KxlVih header;
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(text(header.function()), "FN1 ");
  EXPECT_EQ(text(header.bridgeAbendCode()), "AB2 ");
  EXPECT_EQ(text(header.nextTransactionIdentifier()), "NXT ");
}

TEST(KxlVihTest, IntegerFieldsAtTheirOffsets) {
  using Getter = long (KxlVih::*)() const;
  using Setter = void (KxlVih::*)(long);
  const struct {
    Getter get;
    Setter set;
    std::size_t offset;
  } fields[] = {
      {&KxlVih::characterSet, &KxlVih::setCharacterSet, 16},
      {&KxlVih::encoding, &KxlVih::setEncoding, 12},
      {&KxlVih::headerFlags, &KxlVih::setHeaderFlags, 28},
      {&KxlVih::UOWControl, &KxlVih::setUOWControl, 44},
      {&KxlVih::getWaitInterval, &KxlVih::setGetWaitInterval, 48},
      {&KxlVih::linkType, &KxlVih::setLinkType, 52},
      {&KxlVih::outputDataLength, &KxlVih::setOutputDataLength, 56},
      {&KxlVih::facilityKeepTime, &KxlVih::setFacilityKeepTime, 60},
      {&KxlVih::ADSDescriptor, &KxlVih::setADSDescriptor, 64},
      {&KxlVih::conversationalTask, &KxlVih::setConversationalTask, 68},
      {&KxlVih::cursorPosition, &KxlVih::setCursorPosition, 164},
  };
  for (const auto &field : fields) {
    KxlVih header;
    (header.*field.set)(-123456);
    EXPECT_EQ((header.*field.get)(), -123456);
    // copyOut overwrites the header's description from the message; read
    // the record through a message whose description matches the value.
    KxlMsg message;
    message.setEncoding(header.encoding());
    message.setCharacterSet(header.characterSet());
    ASSERT_TRUE(header.copyOut(message));
    EXPECT_EQ(intAt(message, field.offset), -123456) << field.offset;
  }

  // The read-only integers come from a pasted record.
  const struct {
    Getter get;
    std::size_t offset;
  } readOnly[] = {{&KxlVih::bridgeReturnCode, 32},
                  {&KxlVih::bridgeCompletionCode, 36},
                  {&KxlVih::bridgeReasonCode, 40},
                  {&KxlVih::taskEndStatus, 72},
                  {&KxlVih::bridgeErrorOffset, 168}};
  std::vector<char> bytes = recordOf(KxlVih());
  for (std::size_t i = 0; i < sizeof readOnly / sizeof readOnly[0]; ++i) {
    putInt(bytes, readOnly[i].offset, static_cast<std::int32_t>(1000 + i));
  }
  KxlMsg message;
  loadBytes(message, bytes);
  KxlVih header;
  ASSERT_TRUE(header.pasteIn(message));
  for (std::size_t i = 0; i < sizeof readOnly / sizeof readOnly[0]; ++i) {
    EXPECT_EQ((header.*readOnly[i].get)(), static_cast<long>(1000 + i)) << readOnly[i].offset;
  }
}

TEST(KxlVihTest, CopiesOwnTheirRecord) {
  auto *source = new KxlVih;
  source->setLinkType(3);
  source->setTransactionIdentifier("SRC");
  ASSERT_TRUE(source->setVersion(1));
  EXPECT_FALSE(source->setFacilityToken(KxlBin("abc", 3)));

  KxlVih copy(*source);
  EXPECT_EQ(copy.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  copy.setLinkType(2);
  EXPECT_EQ(source->linkType(), 3);

  KxlVih assigned;
  assigned = *source;
  EXPECT_EQ(assigned.completionCode(), KXCC_FAILED);
  EXPECT_EQ(assigned.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  assigned.setTransactionIdentifier("DST");
  EXPECT_EQ(text(source->transactionIdentifier()), "SRC ");
  delete source;

  // The copies outlive their source with records of their own.
  EXPECT_EQ(copy.linkType(), 2);
  EXPECT_EQ(copy.version(), 1);
  EXPECT_EQ(text(copy.transactionIdentifier()), "SRC ");
  EXPECT_EQ(assigned.linkType(), 3);
  EXPECT_EQ(text(assigned.transactionIdentifier()), "DST ");
  EXPECT_EQ(recordOf(assigned).size(), 164u);
  // Both accept version 2 again: the highest supported version is their own.
  EXPECT_TRUE(assigned.setVersion(2));

  KxlVih &self = assigned;
  assigned.clearErrorCodes();
  assigned = self;
  EXPECT_EQ(assigned.completionCode(), KXCC_OK);
  EXPECT_EQ(text(assigned.transactionIdentifier()), "DST ");
}

}  // namespace
