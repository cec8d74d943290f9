// The error state every kxli object carries, its pointer checks and the
// trace facade they report through.

#include "kxlerr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <ostream>
#include <vector>

#include "kxltest.hpp"
#include "kxltrc.hpp"

namespace {

// Opens the protected pointer checks and code setters to the tests.
class Probe : public KxlErr {
 public:
  using KxlErr::checkReadPointer;
  using KxlErr::checkWritePointer;
  using KxlErr::setErrorCodes;
};

TEST(KxlErrTest, StartsClearAndClears) {
  Probe probe;
  EXPECT_EQ(probe.completionCode(), KXCC_OK);
  EXPECT_EQ(probe.reasonCode(), KXRC_NONE);
  probe.setErrorCodes(KXCC_FAILED, KXRC_BUFFER_ERROR);
  probe.clearErrorCodes();
  EXPECT_EQ(probe.completionCode(), 0);
  EXPECT_EQ(probe.reasonCode(), 0);
}

TEST(KxlErrTest, CopyAndAssignmentTakeBothCodes) {
  Probe source;
  source.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  Probe copy(source);
  EXPECT_EQ(copy.completionCode(), 1);
  EXPECT_EQ(copy.reasonCode(), 6115);

  Probe target;
  target.setErrorCodes(KXCC_FAILED, KXRC_NULL_POINTER);
  target = source;
  EXPECT_EQ(target.completionCode(), 1);
  EXPECT_EQ(target.reasonCode(), 6115);

  const Probe &same = target;
  target = same;
  EXPECT_EQ(target.reasonCode(), 6115);
}

TEST(KxlErrTest, CodesKeepTheirLow32Bits) {
  Probe probe;
  probe.setErrorCodes(2, -1L);
  EXPECT_EQ(probe.reasonCode(), -1);
}

struct PointerCheckCase {
  const char *name;
  bool (Probe::*check)(const void *, std::size_t);
  unsigned function;
  const char *text;
};

void PrintTo(const PointerCheckCase &c, std::ostream *out) { *out << c.name; }

class KxlErrPointerTest : public ::testing::TestWithParam<PointerCheckCase> {};

TEST_P(KxlErrPointerTest, RefusalSetsBufferErrorWithItsText) {
  const PointerCheckCase &c = GetParam();
  Probe probe;
  kxltest::TraceCapture trace;
  EXPECT_FALSE((probe.*c.check)(nullptr, 1));
  EXPECT_EQ(probe.completionCode(), KXCC_FAILED);
  EXPECT_EQ(probe.reasonCode(), KXRC_BUFFER_ERROR);
  EXPECT_EQ(trace.texts(), std::vector<std::string>{c.text});
  EXPECT_TRUE(trace.sawText(c.function, c.text));
}

TEST_P(KxlErrPointerTest, AcceptanceLeavesEarlierCodes) {
  const PointerCheckCase &c = GetParam();
  Probe probe;
  probe.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  char byte = 0;
  EXPECT_TRUE((probe.*c.check)(&byte, 1));
  EXPECT_TRUE((probe.*c.check)(nullptr, 0));
  EXPECT_EQ(probe.completionCode(), 1);
  EXPECT_EQ(probe.reasonCode(), 6115);
}

TEST_P(KxlErrPointerTest, HookRefusesChosenRange) {
  const PointerCheckCase &c = GetParam();
  char bytes[16];
  Probe probe;
  kxltest::PointerRefusal refuse(bytes + 8, 4);
  EXPECT_TRUE((probe.*c.check)(bytes, 8));
  EXPECT_FALSE((probe.*c.check)(bytes, 9));
  EXPECT_EQ(probe.reasonCode(), KXRC_BUFFER_ERROR);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, KxlErrPointerTest,
    ::testing::Values(PointerCheckCase{"Read", &Probe::checkReadPointer, 62,
                                       "KxlError::checkReadPointer (error): buffer error"},
                      PointerCheckCase{"Write", &Probe::checkWritePointer, 63,
                                       "KxlError::checkWritePointer (error): buffer error"}),
    [](const ::testing::TestParamInfo<PointerCheckCase> &info) { return info.param.name; });

TEST(KxlErrTest, ClassAllocationServesArraysAndObjects) {
  Probe *one = new Probe;
  Probe *many = new Probe[3];
  many[2].setErrorCodes(2, 2071);
  EXPECT_EQ(many[2].reasonCode(), 2071);
  delete[] many;
  delete one;
}

TEST(KxlTrcTest, FacadeCallsStageOneThenService) {
  kxltest::TraceCapture trace;
  KxlTrc::traceMessage(31, 4, "KxlCache::read (error): insufficient data");
  const std::vector<kxltest::TraceRecord> records = trace.records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].kind, XCS_INIT_TERM);
  EXPECT_EQ(records[0].value, 1);
  EXPECT_EQ(records[1].kind, XCS_TEXT);
  EXPECT_EQ(records[1].component, 31u);
  EXPECT_EQ(records[1].function, 4u);
  EXPECT_EQ(records[1].text, "KxlCache::read (error): insufficient data");
}

TEST(KxlTrcTest, EntryAndExitHaveNoEffect) {
  kxltest::TraceCapture trace;
  KxlTrc::traceEntry(31, 4);
  KxlTrc::traceExit(31, 4, 6113);
  KxlTrc::traceEntry(0xFFFFFFFFu, 0xFFFFFFFFu);
  EXPECT_TRUE(trace.records().empty());
}

TEST(KxlTrcTest, PointerChecks) {
  char byte = 0;
  EXPECT_FALSE(KxlTrc::checkReadPointer(nullptr, 1));
  EXPECT_FALSE(KxlTrc::checkWritePointer(nullptr, 1));
  EXPECT_TRUE(KxlTrc::checkReadPointer(nullptr, 0));
  EXPECT_TRUE(KxlTrc::checkWritePointer(&byte, 1));
  // A range that wraps past the top of the address space.
  EXPECT_FALSE(KxlTrc::checkReadPointer(&byte, SIZE_MAX));
  {
    kxltest::PointerRefusal refuse(&byte, 1, kxltest::PointerRefusal::kWrite);
    EXPECT_TRUE(KxlTrc::checkReadPointer(&byte, 1));
    EXPECT_FALSE(KxlTrc::checkWritePointer(&byte, 1));
  }
  EXPECT_TRUE(KxlTrc::checkWritePointer(&byte, 1));
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

TEST(KxecsTest, PointerCheckModesReachTheHook) {
  struct Seen {
    std::vector<std::uint16_t> modes;
  } seen;
  xcsSetPointerCheck(
      [](const void *, std::uint64_t, std::uint16_t mode, void *context) {
        static_cast<Seen *>(context)->modes.push_back(mode);
        return 0;
      },
      &seen);
  char byte = 0;
  KxlTrc::checkReadPointer(&byte, 1);
  KxlTrc::checkWritePointer(&byte, 1);
  xcsSetPointerCheck(nullptr, nullptr);
  EXPECT_EQ(seen.modes, (std::vector<std::uint16_t>{1, 2}));
}

}  // namespace
