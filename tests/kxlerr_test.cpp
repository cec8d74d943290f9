// The error state every kxli object carries, its pointer checks and the
// trace facade they report through.

#include "kxlerr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "kxlmsgtest.hpp"
#include "kxltrc.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;

// Opens the protected pointer checks and code setters to the tests.
class Probe : public KxlErr {
 public:
  using KxlErr::checkReadPointer;
  using KxlErr::checkWritePointer;
  using KxlErr::setErrorCodes;
};

TEST(KxlErrTest, CodesStartClearAreCopiedWholeAndKeepTheirLow32Bits) {
  // Objects come from the class's allocation functions, singly or in arrays.
  std::unique_ptr<Probe> one(new Probe);
  std::unique_ptr<Probe[]> many(new Probe[3]);
  EXPECT_EQ(codesOf(*one), Codes(KXCC_OK, KXRC_NONE));
  many[0].setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  Probe copy(many[0]);
  many[2].setErrorCodes(KXCC_FAILED, KXRC_NULL_POINTER);
  many[2] = many[0];
  const Probe &same = many[2];
  many[2] = same;
  EXPECT_EQ(codesOf(copy), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
  EXPECT_EQ(codesOf(many[2]), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
  one->setErrorCodes(static_cast<long>(INT64_C(0x100000002)),
                     static_cast<long>(INT64_C(0xffffffff)));
  EXPECT_EQ(codesOf(*one), Codes(2, -1));
  many[2].clearErrorCodes();
  EXPECT_EQ(codesOf(many[2]), Codes(KXCC_OK, KXRC_NONE));
}

TEST(KxlErrTest, PointerChecksRefuseWithBufferErrorAndTheirText) {
  const struct {
    bool (Probe::*check)(const void *, std::size_t);
    kxltest::PointerRefusal::Mode mode;
    unsigned function;
    const char *text;
  } checks[] = {
      {&Probe::checkReadPointer, kxltest::PointerRefusal::kRead, kKxlFnErrorCheckReadPointer,
       "KxlError::checkReadPointer (error): buffer error"},
      {&Probe::checkWritePointer, kxltest::PointerRefusal::kWrite, kKxlFnErrorCheckWritePointer,
       "KxlError::checkWritePointer (error): buffer error"}};
  for (const auto &c : checks) {
    SCOPED_TRACE(c.text);
    char bytes[16];
    Probe probe;
    probe.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
    kxltest::TraceCapture trace;
    // An accepted range leaves the earlier codes and sends nothing.
    EXPECT_TRUE((probe.*c.check)(bytes, sizeof bytes));
    EXPECT_TRUE((probe.*c.check)(nullptr, 0));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
    EXPECT_FALSE((probe.*c.check)(nullptr, 1));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_FAILED, KXRC_BUFFER_ERROR));
    EXPECT_EQ(kxltest::textsOf(trace), kxltest::Texts(1, {c.function, c.text}));
    // An installed check decides, told the mode, for exactly the range asked about.
    probe.clearErrorCodes();
    kxltest::PointerRefusal refuse(bytes + 8, 4, c.mode);
    EXPECT_TRUE((probe.*c.check)(bytes, 8));
    EXPECT_FALSE((probe.*c.check)(bytes, 9));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_FAILED, KXRC_BUFFER_ERROR));
  }
}

TEST(KxlTrcTest, OnlyMessagesGoOutEachAfterTheFacadeStage) {
  kxltest::TraceCapture trace;
  KxlTrc::traceEntry(kKxlComponent, kKxlFnCacheRead);
  KxlTrc::traceExit(kKxlComponent, kKxlFnCacheRead, KXRC_INSUFFICIENT_BUFFER);
  KxlTrc::traceEntry(0xFFFFFFFFu, 0xFFFFFFFFu);
  KxlTrc::traceMessage(kKxlComponent, kKxlFnCacheRead, "KxlCache::read (error): insufficient data");
  const std::vector<kxltest::TraceRecord> records = trace.records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].kind, XCS_INIT_TERM);
  EXPECT_EQ(records[0].value, kKxlStageFacade);
  EXPECT_EQ(records[1].kind, XCS_TEXT);
  EXPECT_EQ(records[1].component, kKxlComponent);
  EXPECT_EQ(kxltest::textsOf(trace),
            kxltest::Texts(1, {kKxlFnCacheRead, "KxlCache::read (error): insufficient data"}));
}

TEST(KxlTrcTest, PointerChecksAskTheInstalledCheckWithTheirModeOrElseTheAddressSpace) {
  char byte = 0;
  EXPECT_FALSE(KxlTrc::checkReadPointer(nullptr, 1));
  EXPECT_FALSE(KxlTrc::checkWritePointer(nullptr, 1));
  EXPECT_TRUE(KxlTrc::checkReadPointer(nullptr, 0));
  EXPECT_TRUE(KxlTrc::checkWritePointer(&byte, 1));
  // A range that wraps past the top of the address space.
  EXPECT_FALSE(KxlTrc::checkReadPointer(&byte, SIZE_MAX));
  // An installed check decides, told whether the caller reads or writes.
  for (const auto mode : {kxltest::PointerRefusal::kRead, kxltest::PointerRefusal::kWrite}) {
    kxltest::PointerRefusal refuse(&byte, 1, mode);
    EXPECT_EQ(KxlTrc::checkReadPointer(&byte, 1), mode != kxltest::PointerRefusal::kRead);
    EXPECT_EQ(KxlTrc::checkWritePointer(&byte, 1), mode != kxltest::PointerRefusal::kWrite);
  }
}

// The listening bits are what kxli reads before every record and check:
// each must be set exactly while its sink or check is installed.
TEST(KxecsTest, ListeningBitsFollowWhatIsInstalled) {
  const unsigned int quiet = xcsListeningNow();  // the trace bit is set when KXECS_TRACE is
  EXPECT_EQ(quiet & XCS_LISTENING_CHECK, 0u);
  {
    kxltest::TraceCapture trace;
    EXPECT_EQ(xcsListeningNow(), quiet | XCS_LISTENING_TRACE);
    {
      char byte = 0;
      kxltest::PointerRefusal refusal(&byte);
      EXPECT_EQ(xcsListeningNow(), quiet | XCS_LISTENING_TRACE | XCS_LISTENING_CHECK);
    }
    EXPECT_EQ(xcsListeningNow(), quiet | XCS_LISTENING_TRACE);
  }
  EXPECT_EQ(xcsListeningNow(), quiet);
}

}  // namespace
