// The VORN bridge header: its record in the lengths of versions 1 and 2,
// the incoming record's version deciding how much is read, its refused
// reads, its fields, its facility token and its copies.

#include "kxlvih.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "kxlhdrtest.hpp"

namespace kxlhdrtest {
namespace {

const Identity kVih = {"KxlVORNBridgeHeader", "KXVORN  ", kKxlFnVornPasteIn, true, nullptr, 4};

// A new header's record, described as a new message is.
std::string newRecord() {
  return record(
      180, {at(0, "VIH "), at(4, 2), at(8, 180), at(12, kKxlNativeEncoding), at(20, "        "),
            at(44, 273), at(48, -2), at(52, 1), at(56, -1), at(84, std::string(80, ' '))});
}
std::string versionOneRecord() { return with(newRecord(), {at(4, 1), at(8, 164)}).substr(0, 164); }

// The integer fields at their offsets (the cursor position beyond version
// 1); those without a setter are set by the incoming record alone.
const struct {
  void (KxlVih::*set)(long);
  long (KxlVih::*get)() const;
  std::int32_t offset;
} kIntegers[] = {{&KxlVih::setHeaderFlags, &KxlVih::headerFlags, 28},
                 {nullptr, &KxlVih::bridgeReturnCode, 32},
                 {nullptr, &KxlVih::bridgeCompletionCode, 36},
                 {nullptr, &KxlVih::bridgeReasonCode, 40},
                 {&KxlVih::setUOWControl, &KxlVih::UOWControl, 44},
                 {&KxlVih::setGetWaitInterval, &KxlVih::getWaitInterval, 48},
                 {&KxlVih::setLinkType, &KxlVih::linkType, 52},
                 {&KxlVih::setOutputDataLength, &KxlVih::outputDataLength, 56},
                 {&KxlVih::setFacilityKeepTime, &KxlVih::facilityKeepTime, 60},
                 {&KxlVih::setADSDescriptor, &KxlVih::ADSDescriptor, 64},
                 {&KxlVih::setConversationalTask, &KxlVih::conversationalTask, 68},
                 {nullptr, &KxlVih::taskEndStatus, 72},
                 {&KxlVih::setCursorPosition, &KxlVih::cursorPosition, 164},
                 {nullptr, &KxlVih::bridgeErrorOffset, 168}};

TEST(KxlVihTest, WrittenInFrontOfHelloAndReadBack) {
  KxlVih header;
  expectWrittenAndReadBack(header, kVih,
                           with(newRecord(), {at(12, 273), at(16, 850), at(20, "KXSTR   ")}));
  ASSERT_TRUE(header.setVersion(1));
  std::vector<Field> fields = {
      at(12, 273),    at(16, 850),   at(20, "KXSTR   "),           at(76, "TOKEN678"),
      at(92, "AUTH"), at(108, "RF"), at(124, "T1  FL  AI  SC  BC")};
  for (const auto &f : kIntegers) {
    if (f.set == nullptr) continue;
    (header.*f.set)(f.offset);
    if (f.offset < 164) fields.push_back(at(f.offset, f.offset));
  }
  header.setFacilityToken(reinterpret_cast<const unsigned char *>("TOKEN678"));
  header.setAuthenticator("AUTH");
  header.setReplyToFormat("RF");
  header.setTransactionIdentifier("T1");
  header.setFacilityLike("FL");
  header.setAttentionIdentifier("AI");
  header.setStartCode("SC");
  header.setBridgeCancelCode("BC");
  expectWrittenAndReadBack(header, kVih, with(versionOneRecord(), fields));
  EXPECT_EQ(header.cursorPosition(), 164);
}

TEST(KxlVihTest, GettersReadTheirOffsets) {
  KxlVih header;
  std::vector<Field> fields = {at(84, "FN1 AB2 "), at(144, "NXT ")};
  for (const auto &f : kIntegers) fields.push_back(at(f.offset, f.offset));
  expectTakenAsItStands(header, kVih, with(newRecord(), fields));
  for (const auto &f : kIntegers) EXPECT_EQ((header.*f.get)(), f.offset);
  EXPECT_EQ(text(header.function()) + text(header.bridgeAbendCode()) +
                text(header.nextTransactionIdentifier()),
            "FN1 AB2 NXT ");
}

TEST(KxlVihTest, SetVersionTakesOnlySupportedVersions) {
  kxltest::TraceCapture trace;
  for (long refused : {0L, 3L, -1L, static_cast<long>(INT32_MIN)}) {
    KxlVih header;
    ASSERT_TRUE(header.setVersion(1));
    EXPECT_FALSE(header.setVersion(refused)) << refused;
    EXPECT_EQ(codes(header) + "|" + std::to_string(header.version()), "2/6128|1");
    EXPECT_TRUE(sameBytes(recordOf(header), versionOneRecord()));
    EXPECT_TRUE(header.setVersion(2));
    EXPECT_TRUE(sameBytes(recordOf(header), newRecord()));
  }
  EXPECT_TRUE(trace.texts().empty());
}

TEST(KxlVihTest, IncomingVersionDecidesTheLength) {
  KxlVih reader;
  ASSERT_TRUE(reader.setVersion(1));
  expectTakenAsItStands(reader, kVih, newRecord());
  expectTakenAsItStands(reader, kVih, versionOneRecord());

  // An unsupported version is refused with the data offset where it stood.
  for (std::int32_t version : {0, 3, -1, 164}) {
    KxlMsg message;
    load(message, "zz" + with(newRecord(), {at(4, version)}), 2, kKxlNativeEncoding, "KXVORN  ");
    const std::string messageBefore = messageState(message);
    KxlVih header;
    header.setLinkType(4);
    const std::string headerBefore = itemState(header);
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message)) << version;
    EXPECT_EQ(codes(header) + codes(message), "2/61280/0");
    EXPECT_EQ(messageState(message) + itemState(header), messageBefore + headerBefore);
    EXPECT_TRUE(trace.texts().empty());
    EXPECT_EQ(trace.exitValues(kKxlFnVornPasteIn),
              std::vector<std::int32_t>{KXRC_UNSUPPORTED_VERSION});
  }

  // Too short to show a version, or for its version: the structure id has
  // been read. The buffer holds just the data, so that a look beyond it is
  // caught.
  const std::string versionOne = versionOneRecord();
  for (std::size_t length : {4, 7, 163}) {
    const std::vector<char> data(versionOne.begin(), versionOne.begin() + length);
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(data.data(), data.size()));
    message.setFormat("KXVORN  ");
    KxlVih header, untouched;
    EXPECT_FALSE(header.pasteIn(message)) << length;
    EXPECT_EQ(codes(header) + codes(message), "2/61142/6114");
    EXPECT_EQ(message.dataOffset(), 4u);
    EXPECT_EQ(itemState(header), itemState(untouched));
  }
}

TEST(KxlVihTest, RefusedReads) { expectRefusedReads<KxlVih>(kVih); }

TEST(KxlVihTest, TextFieldsAndFacilityToken) {
  expectDescriptionAccessors<KxlVih>();
  using Text = TextField<KxlVih>;
  expectTextFields<KxlVih>({
      Text{&KxlVih::setAuthenticator, &KxlVih::authenticator, 8, "AB      ", "        "},
      Text{&KxlVih::setReplyToFormat, &KxlVih::replyToFormat, 8, "AB      ", "        "},
      Text{&KxlVih::setTransactionIdentifier, &KxlVih::transactionIdentifier, 4, "AB  ", "    "},
      Text{&KxlVih::setFacilityLike, &KxlVih::facilityLike, 4, "AB  ", "    "},
      Text{&KxlVih::setAttentionIdentifier, &KxlVih::attentionIdentifier, 4, "AB  ", "    "},
      Text{&KxlVih::setStartCode, &KxlVih::startCode, 4, "AB  ", "    "},
      Text{&KxlVih::setBridgeCancelCode, &KxlVih::bridgeCancelCode, 4, "AB  ", "    "},
  });
  expectBinaryField<KxlVih>(
      {&KxlVih::setFacilityToken, &KxlVih::setFacilityToken, &KxlVih::facilityToken, 8,
       kKxlFnVornSetFacilityToken,
       "KxlVORNBridgeHeader::setFacilityToken (error): binary data length error\n", true});
}

TEST(KxlVihTest, CopiesOwnTheirRecords) {
  auto *source = new KxlVih;
  source->setLinkType(3);
  ASSERT_TRUE(source->setVersion(1));
  EXPECT_FALSE(source->setFacilityToken(KxlBin("abc", 3)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
