// The dead-letter header: its record, its refused reads, its fields, its
// header flags (the object's own, never in a message) and its copies.

#include "kxldlh.hpp"

#include <gtest/gtest.h>

#include "kxlhdrtest.hpp"
#include "kxlmsg.hpp"

namespace kxlhdrtest {
namespace {

const Identity kDlh = {"KxlDeadLetterHeader", "KXDEAD  ", kKxlFnDeadLetterPasteIn, true, nullptr};

TEST(KxlDlhTest, WrittenInFrontOfHelloAndReadBack) {
  const std::string hello =
      record(172, {at(0, "DLH "), at(4, 1), at(108, 273), at(112, 850), at(116, "KXSTR   ")});
  KxlDlh header;
  expectWrittenAndReadBack(header, kDlh, hello);
  header.setDestinationQueueName("Q1");
  header.setDestinationQueueManagerName("QM1");
  header.setPutApplicationName("PAYROLL");
  header.setPutDate("240131");
  header.setPutTime("1230");
  header.setHeaderFlags(5);
  expectWrittenAndReadBack(header, kDlh,
                           with(hello, {at(12, "Q1"), at(60, "QM1"), at(128, "PAYROLL"),
                                        at(156, "240131"), at(164, "1230")}));
}

TEST(KxlDlhTest, RefusedReads) { expectRefusedReads<KxlDlh>(kDlh); }

TEST(KxlDlhTest, Fields) {
  expectDescriptionAccessors<KxlDlh>();
  expectTextFields<KxlDlh>({
      {&KxlDlh::setDestinationQueueName, &KxlDlh::destinationQueueName, 48, "AB", ""},
      {&KxlDlh::setDestinationQueueManagerName, &KxlDlh::destinationQueueManagerName, 48, "AB", ""},
      {&KxlDlh::setPutApplicationName, &KxlDlh::putApplicationName, 28, "AB", ""},
      {&KxlDlh::setPutDate, &KxlDlh::putDate, 8, "AB", ""},
      {&KxlDlh::setPutTime, &KxlDlh::putTime, 8, "AB", ""},
  });
}

// Reads its flags 100 higher than it holds them and stores twice what it is
// given, to show which getter and setter an assignment uses.
class ShiftedFlags : public KxlDlh {
 public:
  using KxlDlh::operator=;
  long headerFlags() const override { return KxlDlh::headerFlags() + 100; }
  void setHeaderFlags(long flags) override { KxlDlh::setHeaderFlags(flags * 2); }
};

TEST(KxlDlhTest, CopiesTakeCodesRecordAndFlags) {
  // Every byte of a pasted record is taken as it comes; the flags stay.
  auto *source = new KxlDlh;
  source->setHeaderFlags(5);
  expectTakenAsItStands(
      *source, kDlh,
      record(172, {at(0, "DLH "), at(108, kKxlNativeEncoding), at(112, 0), at(116, "        ")},
             'r'));
  KxlMsg wrong;
  load(wrong, "DLH ", 0, kKxlNativeEncoding, "KXSTR   ");
  ASSERT_FALSE(source->pasteIn(wrong));
  ShiftedFlags shifted;
  shifted = *source;
  KxlDlh fromShifted;
  fromShifted = shifted;
  EXPECT_EQ(std::to_string(source->headerFlags()) + "|" +
                std::to_string(shifted.KxlDlh::headerFlags()) + "|" +
                std::to_string(fromShifted.headerFlags()),
            "5|10|110");
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
