// The VORN bridge header: its record in the lengths of versions 1 and 2,
// the incoming record's version deciding how much is read, its refused
// reads, its fields, its facility token and its copies.

#include "kxlvih.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "kxlhdrtest.hpp"
#include "kxlmsg.hpp"

namespace kxlhdrtest {
namespace {

const Identity kVih = {"KxlVORNBridgeHeader", "KXVORN  ", 60, true, nullptr};

// A new header's record, described as a new message is.
std::string newRecord() {
  return record(180,
                {at(0, "VIH "), at(4, 2), at(8, 180), at(12, 546), at(20, "        "), at(44, 273),
                 at(48, -2), at(52, 1), at(56, -1), at(84, std::string(80, ' '))});
}
std::string versionOneRecord() { return with(newRecord(), {at(4, 1), at(8, 164)}).substr(0, 164); }

TEST(KxlVihTest, WrittenInFrontOfHelloAndReadBack) {
  KxlVih header;
  expectWrittenAndReadBack(header, kVih, with(newRecord(), {at(16, 850), at(20, "KXSTR   ")}));
  KxlVih filled;
  ASSERT_TRUE(filled.setVersion(1));
  filled.setCursorPosition(164);  // beyond the 164 bytes of version 1
  filled.setHeaderFlags(28);
  filled.setUOWControl(44);
  filled.setGetWaitInterval(48);
  filled.setLinkType(52);
  filled.setOutputDataLength(56);
  filled.setFacilityKeepTime(60);
  filled.setADSDescriptor(64);
  filled.setConversationalTask(68);
  filled.setFacilityToken(reinterpret_cast<const unsigned char *>("TOKEN678"));
  filled.setAuthenticator("AUTH");
  filled.setReplyToFormat("RF");
  filled.setTransactionIdentifier("T1");
  filled.setFacilityLike("FL");
  filled.setAttentionIdentifier("AI");
  filled.setStartCode("SC");
  filled.setBridgeCancelCode("BC");
  expectWrittenAndReadBack(
      filled, kVih,
      with(versionOneRecord(),
           {at(16, 850), at(20, "KXSTR   "), at(28, 28), at(44, 44), at(48, 48), at(52, 52),
            at(56, 56), at(60, 60), at(64, 64), at(68, 68), at(76, "TOKEN678"), at(92, "AUTH"),
            at(108, "RF"), at(124, "T1  FL  AI  SC  BC")}));
  const long values[] = {
      filled.headerFlags(),   filled.UOWControl(),         filled.getWaitInterval(),
      filled.linkType(),      filled.outputDataLength(),   filled.facilityKeepTime(),
      filled.ADSDescriptor(), filled.conversationalTask(), filled.cursorPosition()};
  EXPECT_EQ(std::vector<long>(values, values + 9),
            (std::vector<long>{28, 44, 48, 52, 56, 60, 64, 68, 164}));
}

// The fields without a setter, from a pasted record.
TEST(KxlVihTest, ReadOnlyFields) {
  KxlVih header;
  expectTakenAsItStands(header, kVih,
                        with(newRecord(), {at(32, 32), at(36, 36), at(40, 40), at(72, 72),
                                           at(84, "FN1 AB2 "), at(144, "NXT "), at(168, 168)}));
  const long values[] = {header.bridgeReturnCode(), header.bridgeCompletionCode(),
                         header.bridgeReasonCode(), header.taskEndStatus(),
                         header.bridgeErrorOffset()};
  EXPECT_EQ(std::vector<long>(values, values + 5), (std::vector<long>{32, 36, 40, 72, 168}));
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
  expectTakenAsItStands(reader, kVih, with(newRecord(), {at(164, 5)}));
  EXPECT_EQ(reader.cursorPosition(), 5);
  expectTakenAsItStands(reader, kVih, versionOneRecord());

  // An unsupported version is refused with the data offset where it stood.
  for (std::int32_t version : {0, 3, -1, 164}) {
    KxlMsg message;
    load(message, "zz" + with(newRecord(), {at(4, version)}), 2, 546, "KXVORN  ");
    const std::string messageBefore = messageState(message);
    KxlVih header;
    header.setLinkType(4);
    const std::string headerBefore = itemState(header);
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message)) << version;
    EXPECT_EQ(codes(header) + codes(message), "2/61280/0");
    EXPECT_EQ(messageState(message), messageBefore);
    EXPECT_EQ(itemState(header), headerBefore);
    EXPECT_TRUE(trace.texts().empty());
    EXPECT_EQ(trace.exitValues(60), std::vector<std::int32_t>{KXRC_UNSUPPORTED_VERSION});
  }

  // Too short to show a version, or for its version. The buffer holds just
  // the data, so that a look beyond it is caught.
  const std::string versionOne = versionOneRecord();
  for (std::size_t length : {4, 7, 163}) {
    const std::vector<char> data(versionOne.begin(), versionOne.begin() + length);
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(data.data(), data.size()));
    message.setFormat("KXVORN  ");
    KxlVih header;
    EXPECT_FALSE(header.pasteIn(message)) << length;
    EXPECT_EQ(codes(header) + codes(message), "2/61142/6114");
    EXPECT_EQ(message.dataOffset(), 0u);
    KxlVih untouched;
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
      {&KxlVih::setFacilityToken, &KxlVih::setFacilityToken, &KxlVih::facilityToken, 8, 61,
       "KxlVORNBridgeHeader::setFacilityToken (error): binary data length error\n", true});
}

TEST(KxlVihTest, CopiesOwnTheirRecords) {
  auto *source = new KxlVih;
  source->setLinkType(3);
  ASSERT_TRUE(source->setVersion(1));
  EXPECT_FALSE(source->setFacilityToken(KxlBin("abc", 3)));
  KxlVih changed(*source);
  changed.setLinkType(2);
  EXPECT_EQ(source->linkType(), 3);
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
