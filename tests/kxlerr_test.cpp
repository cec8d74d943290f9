// The error state every kxli object carries, its pointer checks and the
// trace facade they report through.

#include "kxlerr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kxlmsgtest.hpp"
#include "kxltrc.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using Refusal = kxltest::PointerRefusal;

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
  std::unique_ptr<Probe[]> many(new Probe[2]);
  EXPECT_EQ(codesOf(*one), Codes(KXCC_OK, KXRC_NONE));
  many[0].setErrorCodes(static_cast<long>(INT64_C(0x100000001)),
                        static_cast<long>(INT64_C(0xffffffff)));
  Probe copy(many[0]);
  many[1].setErrorCodes(KXCC_FAILED, KXRC_NULL_POINTER);
  many[1] = many[0];
  for (const Probe *probe : {&many[0], &copy, &many[1]}) EXPECT_EQ(codesOf(*probe), Codes(1, -1));
}

// Both the object's checks and the facade's ask an installed check, telling
// it their mode, about exactly the range asked about; without one only a
// null or wrapping range fails. The object's refusal is 2004 with its
// text; an accepted range keeps the codes there were.
TEST(KxlErrTest, PointerChecksAskWithTheirModeAboutExactlyTheRange) {
  const struct {
    bool (Probe::*check)(const void *, std::size_t);
    bool (*facade)(const void *, std::size_t);
    Refusal::Mode mode;
    unsigned function;
    const char *text;
  } checks[] = {
      {&Probe::checkReadPointer, &KxlTrc::checkReadPointer, Refusal::kRead,
       kKxlFnErrorCheckReadPointer, "KxlError::checkReadPointer (error): buffer error"},
      {&Probe::checkWritePointer, &KxlTrc::checkWritePointer, Refusal::kWrite,
       kKxlFnErrorCheckWritePointer, "KxlError::checkWritePointer (error): buffer error"}};
  for (const auto &c : checks) {
    SCOPED_TRACE(c.text);
    char bytes[16];
    Probe probe;
    probe.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
    kxltest::TraceCapture trace;
    EXPECT_TRUE((probe.*c.check)(bytes, sizeof bytes));
    EXPECT_TRUE((probe.*c.check)(nullptr, 0));
    EXPECT_TRUE(c.facade(nullptr, 0));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
    EXPECT_FALSE(c.facade(nullptr, 1));
    EXPECT_FALSE(c.facade(bytes, SIZE_MAX));  // wraps past the top of the address space
    EXPECT_FALSE((probe.*c.check)(nullptr, 1));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_FAILED, KXRC_BUFFER_ERROR));
    EXPECT_EQ(kxltest::textsOf(trace), kxltest::Texts(1, {c.function, c.text}));
    for (const Refusal::Mode mode : {Refusal::kRead, Refusal::kWrite}) {
      Refusal refusal(bytes + 8, 4, mode);
      EXPECT_TRUE((probe.*c.check)(bytes, 8));
      EXPECT_TRUE(c.facade(bytes, 8));
      EXPECT_EQ((probe.*c.check)(bytes, 9), mode != c.mode) << mode;
      EXPECT_EQ(c.facade(bytes, 9), mode != c.mode) << mode;
    }
  }
}

TEST(KxlTrcTest, OnlyMessagesGoOutEachAfterTheFacadeStage) {
  kxltest::TraceCapture trace;
  KxlTrc::traceEntry(kKxlComponent, kKxlFnCacheRead);
  KxlTrc::traceExit(kKxlComponent, kKxlFnCacheRead, KXRC_INSUFFICIENT_BUFFER);
  KxlTrc::traceMessage(kKxlComponent, kKxlFnCacheRead, "KxlCache::read (error): insufficient data");
  EXPECT_EQ(kxltest::recordsOf(trace),
            (std::vector<std::string>{"init " + std::to_string(kKxlStageFacade),
                                      "text " + std::to_string(kKxlFnCacheRead) +
                                          " KxlCache::read (error): insufficient data"}));
  EXPECT_EQ(trace.records().back().component, kKxlComponent);
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
      Refusal refusal(&byte);
      EXPECT_EQ(xcsListeningNow(), quiet | XCS_LISTENING_TRACE | XCS_LISTENING_CHECK);
    }
    EXPECT_EQ(xcsListeningNow(), quiet | XCS_LISTENING_TRACE);
  }
  EXPECT_EQ(xcsListeningNow(), quiet);
}

}  // namespace
