// The work information header (nothing of it traces its entry or exit):
// its record, its refused reads, its blank-filled text fields, its message
// token with the text joined from pieces, and its copies.

#include "kxlwih.hpp"

#include <gtest/gtest.h>

#include "kxlhdrtest.hpp"

namespace kxlhdrtest {
namespace {

const Identity kWih = {"KxlWorkHeader", "KXHWIH  ", kKxlFnWorkPasteIn, false, nullptr};

TEST(KxlWihTest, WrittenInFrontOfHelloAndReadBack) {
  const std::string hello =
      record(120, {at(0, "WIH "), at(4, 1), at(8, 120), at(12, 273), at(16, 850),
                   at(20, "KXSTR   "), at(32, std::string(40, ' '))});
  KxlWih header;
  expectWrittenAndReadBack(header, kWih, hello);
  const std::string token = "\xf0\xe1\xd2\xc3\xb4\xa5\x96\x87\x78\x69\x5a\x4b\x3c\x2d\x1e\x0f";
  header.setHeaderFlags(-7);
  header.setServiceName("SVC");
  header.setServiceStep("STEP1");
  header.setMessageToken(reinterpret_cast<const unsigned char *>(token.data()));
  expectWrittenAndReadBack(
      header, kWih, with(hello, {at(28, -7), at(32, "SVC"), at(64, "STEP1"), at(72, token)}));
}

TEST(KxlWihTest, RefusedReads) { expectRefusedReads<KxlWih>(kWih); }

TEST(KxlWihTest, Fields) {
  expectDescriptionAccessors<KxlWih>();
  expectTextFields<KxlWih>({
      {&KxlWih::setServiceName, &KxlWih::serviceName, 32, "AB" + std::string(30, ' '),
       std::string(32, ' ')},
      {&KxlWih::setServiceStep, &KxlWih::serviceStep, 8, "AB      ", "        "},
  });
  expectBinaryField<KxlWih>({&KxlWih::setMessageToken, &KxlWih::setMessageToken,
                             &KxlWih::messageToken, 16, kKxlFnWorkSetMessageToken,
                             "KxlWorkHeader::setMessageToken (error): binary data length error\n",
                             false});
}

TEST(KxlWihTest, CopiesTakeCodesAndTheWholeRecord) {
  auto *source = new KxlWih;
  expectTakenAsItStands(
      *source, kWih,
      record(120, {at(0, "WIH "), at(12, kKxlNativeEncoding), at(16, 0), at(20, "        ")}, 'r'));
  source->setCharacterSet(1208);
  EXPECT_FALSE(source->setMessageToken(KxlBin("ab", 2)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
