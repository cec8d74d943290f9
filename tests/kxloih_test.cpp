// The OXT bridge header: its record with its " 0C " tail, its refused
// reads, its text fields (null or blank filled, some read without trailing
// blanks), its transaction instance id and its copies.

#include "kxloih.hpp"

#include <gtest/gtest.h>

#include "kxlhdrtest.hpp"

namespace kxlhdrtest {
namespace {

const Identity kOih = {"KxlOXTBridgeHeader", "KXOXT   ", kKxlFnOxtPasteIn, true, nullptr};

TEST(KxlOihTest, WrittenInFrontOfHelloAndReadBack) {
  const std::string hello =
      record(84,
             {at(0, "OIH "), at(4, 1), at(8, 84), at(12, 273), at(16, 850), at(20, "KXSTR   "),
              at(28, 0), at(64, std::string(16, '\0')), at(80, " 0C ")},
             ' ');
  KxlOih header;
  expectWrittenAndReadBack(header, kOih, hello);
  const std::string id = "0123456789abcdef";
  header.setHeaderFlags(0x10);
  header.setLogicalTerminalOverride("LT1");
  header.setMessageFormatServicesMapName("MAP");
  header.setReplyToFormat("RF");
  header.setAuthenticator("AUTH");
  header.setTransactionInstanceId(reinterpret_cast<const unsigned char *>(id.data()));
  expectWrittenAndReadBack(
      header, kOih,
      with(hello,
           {at(28, 0x10), at(32, std::string("LT1\0\0\0\0\0MAP\0\0\0\0\0RF      AUTH\0\0\0\0", 32)),
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
  expectBinaryField<KxlOih>(
      {&KxlOih::setTransactionInstanceId, &KxlOih::setTransactionInstanceId,
       &KxlOih::transactionInstanceId, 16, kKxlFnOxtSetTransactionInstanceId,
       "KxlOXTBridgeHeader::setTransactionInstanceId (error): binary data length error", true});
}

TEST(KxlOihTest, CopiesTakeCodesAndTheWholeRecord) {
  auto *source = new KxlOih;
  expectTakenAsItStands(
      *source, kOih,
      record(84, {at(0, "OIH "), at(12, kKxlNativeEncoding), at(16, 0), at(20, "        ")}, 'r'));
  source->setEncoding(273);
  EXPECT_FALSE(source->setTransactionInstanceId(KxlBin("ab", 2)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
