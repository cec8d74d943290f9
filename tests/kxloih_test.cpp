// The OXT bridge header: its record with its " 0C " tail, its refused
// reads, its text fields (null or blank filled, some read without trailing
// blanks), its transaction instance id and its copies.

#include "kxloih.hpp"

#include <gtest/gtest.h>

#include "kxlhdrtest.hpp"
#include "kxlmsg.hpp"

namespace kxlhdrtest {
namespace {

const Identity kOih = {"KxlOXTBridgeHeader", "KXOXT   ", 65, true, nullptr};

// A new header's record, described as a new message is.
std::string newRecord() {
  return record(84,
                {at(0, "OIH "), at(4, 1), at(8, 84), at(12, 546), at(16, 0), at(28, 0),
                 at(64, std::string(16, '\0')), at(80, " 0C ")},
                ' ');
}

TEST(KxlOihTest, WrittenInFrontOfHelloAndReadBack) {
  KxlOih header;
  expectWrittenAndReadBack(header, kOih, with(newRecord(), {at(16, 850), at(20, "KXSTR   ")}));
  const std::string id = "0123456789abcdef";
  KxlOih filled;
  filled.setHeaderFlags(0x10);
  filled.setLogicalTerminalOverride("LT1");
  filled.setMessageFormatServicesMapName("MAP");
  filled.setReplyToFormat("RF");
  filled.setAuthenticator("AUTH");
  filled.setTransactionInstanceId(reinterpret_cast<const unsigned char *>(id.data()));
  expectWrittenAndReadBack(
      filled, kOih,
      with(newRecord(), {at(16, 850), at(20, "KXSTR   "), at(28, 0x10),
                         at(32, std::string("LT1\0\0\0\0\0MAP\0\0\0\0\0RF      AUTH\0\0\0\0", 32)),
                         at(64, id)}));
}

TEST(KxlOihTest, RefusedReads) { expectRefusedReads<KxlOih>(kOih); }

TEST(KxlOihTest, Fields) {
  expectDescriptionAccessors<KxlOih>();
  expectTextFields<KxlOih>({
      {&KxlOih::setLogicalTerminalOverride, &KxlOih::logicalTerminalOverride, 8, "AB", ""},
      {&KxlOih::setMessageFormatServicesMapName, &KxlOih::messageFormatServicesMapName, 8, "AB",
       ""},
      {&KxlOih::setReplyToFormat, &KxlOih::replyToFormat, 8, "AB      ", "        "},
      {&KxlOih::setAuthenticator, &KxlOih::authenticator, 8, "AB  ", ""},
  });
  const KxlOih header;
  EXPECT_EQ(text(header.logicalTerminalOverride()) + text(header.messageFormatServicesMapName()) +
                "|" + text(header.replyToFormat()) + text(header.authenticator()),
            "|                ");
  expectBinaryField<KxlOih>(
      {&KxlOih::setTransactionInstanceId, &KxlOih::setTransactionInstanceId,
       &KxlOih::transactionInstanceId, 16, 66,
       "KxlOXTBridgeHeader::setTransactionInstanceId (error): binary data length error", true});
}

TEST(KxlOihTest, CopiesTakeCodesAndTheWholeRecord) {
  auto *source = new KxlOih;
  expectTakenAsItStands(
      *source, kOih, record(84, {at(0, "OIH "), at(12, 546), at(16, 0), at(20, "        ")}, 'r'));
  source->setEncoding(273);
  EXPECT_FALSE(source->setTransactionInstanceId(KxlBin("ab", 2)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
