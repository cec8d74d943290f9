// The work information header (nothing of it traces its entry or exit):
// its record, its refused reads, its blank-filled text fields, its message
// token with the text joined from pieces, its copies, and a dead-letter
// header and a work header in front of a string taken off in order.

#include "kxlwih.hpp"

#include <gtest/gtest.h>

#include "kxldlh.hpp"
#include "kxlhdrtest.hpp"
#include "kxlmsg.hpp"

namespace kxlhdrtest {
namespace {

const Identity kWih = {"KxlWorkHeader", "KXHWIH  ", 77, false, nullptr};

// A new header's record, described as a new message is.
std::string newRecord() {
  return record(120, {at(0, "WIH "), at(4, 1), at(8, 120), at(12, 546), at(20, "        "),
                      at(32, std::string(40, ' '))});
}

TEST(KxlWihTest, WrittenInFrontOfHelloAndReadBack) {
  KxlWih header;
  expectWrittenAndReadBack(header, kWih, with(newRecord(), {at(16, 850), at(20, "KXSTR   ")}));
  const std::string token = "\xf0\xe1\xd2\xc3\xb4\xa5\x96\x87\x78\x69\x5a\x4b\x3c\x2d\x1e\x0f";
  KxlWih filled;
  filled.setHeaderFlags(-7);
  filled.setServiceName("SVC");
  filled.setServiceStep("STEP1");
  filled.setMessageToken(reinterpret_cast<const unsigned char *>(token.data()));
  expectWrittenAndReadBack(filled, kWih,
                           with(newRecord(), {at(16, 850), at(20, "KXSTR   "), at(28, -7),
                                              at(32, "SVC"), at(64, "STEP1"), at(72, token)}));
}

TEST(KxlWihTest, RefusedReads) { expectRefusedReads<KxlWih>(kWih); }

TEST(KxlWihTest, Fields) {
  expectDescriptionAccessors<KxlWih>();
  expectTextFields<KxlWih>({
      {&KxlWih::setServiceName, &KxlWih::serviceName, 32, "AB" + std::string(30, ' '),
       std::string(32, ' ')},
      {&KxlWih::setServiceStep, &KxlWih::serviceStep, 8, "AB      ", "        "},
  });
  expectBinaryField<KxlWih>(
      {&KxlWih::setMessageToken, &KxlWih::setMessageToken, &KxlWih::messageToken, 16, 78,
       "KxlWorkHeader::setMessageToken (error): binary data length error\n", false});
}

TEST(KxlWihTest, CopiesTakeCodesAndTheWholeRecord) {
  auto *source = new KxlWih;
  expectTakenAsItStands(
      *source, kWih,
      with(record(120, {}, 'r'), {at(0, "WIH "), at(12, 546), at(16, 0), at(20, "        ")}));
  source->setCharacterSet(1208);
  EXPECT_FALSE(source->setMessageToken(KxlBin("ab", 2)));
  expectCopies(source);
}

TEST(KxlHeaderChainTest, DeadLetterAndWorkHeadersInFrontOfAString) {
  KxlMsg message;
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  KxlDlh deadLetter;
  deadLetter.setDestinationQueueName("Q1");
  ASSERT_TRUE(message.writeItem(deadLetter));
  KxlWih work;
  work.setServiceName("SVC");
  ASSERT_TRUE(message.writeItem(work));
  // Each header's format field names what follows it.
  const std::string content = contentOf(message);
  ASSERT_EQ(content.size(), 120u + 172u + 5u);
  EXPECT_EQ(content.substr(0, 4) + content.substr(20, 8) + content.substr(120, 4) +
                content.substr(120 + 116, 8) + content.substr(292) + text(message.format()),
            "WIH KXDEAD  DLH KXSTR   helloKXHWIH  ");

  ASSERT_TRUE(message.setDataOffset(0));
  KxlWih readWork;
  ASSERT_TRUE(message.readItem(readWork));
  EXPECT_EQ(message.dataOffset(), 120u);
  KxlDlh readDeadLetter;
  ASSERT_TRUE(message.readItem(readDeadLetter));
  EXPECT_EQ(text(readDeadLetter.destinationQueueName()), "Q1");
  EXPECT_EQ(message.dataOffset(), 292u);
  KxlStr body;
  ASSERT_TRUE(message.readItem(body));
  EXPECT_EQ(text(body) + codes(message), "hello0/0");
}

}  // namespace
}  // namespace kxlhdrtest
