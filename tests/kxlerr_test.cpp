// The small classes under the message: the error state every kxli object
// carries with its pointer checks and the trace facade they report through,
// the tracking values (exact widths, storage of their own in every copy) and
// the get-message options of both layouts (80 and 100 bytes).

#include "kxlerr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxlgmo.hpp"
#include "kxlgmo2.hpp"
#include "kxlhdrtest.hpp"
#include "kxlmsgtest.hpp"
#include "kxlmtr.hpp"
#include "kxltable.hpp"
#include "kxltrc.hpp"

namespace {

using kxltest::binOf;
using kxltest::bytesOf;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;
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
    EXPECT_TRUE((probe.*c.check)(bytes, sizeof bytes) && (probe.*c.check)(nullptr, 0));
    EXPECT_TRUE(c.facade(nullptr, 0));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
    EXPECT_FALSE(c.facade(nullptr, 1) || c.facade(bytes, SIZE_MAX));  // null, or wrapping
    EXPECT_FALSE((probe.*c.check)(nullptr, 1));
    EXPECT_EQ(codesOf(probe), Codes(KXCC_FAILED, KXRC_BUFFER_ERROR));
    EXPECT_EQ(kxltest::textsOf(trace), kxltest::Texts(1, {c.function, c.text}));
    for (const Refusal::Mode mode : {Refusal::kRead, Refusal::kWrite}) {
      Refusal refusal(bytes + 8, 4, mode);
      EXPECT_TRUE((probe.*c.check)(bytes, 8) && c.facade(bytes, 8));
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

// A value reads as empty until first set, and as zeros after a refused first
// value. A setter takes exactly the width, or an empty value that zeroes it;
// the pointer form takes the width from a longer source, or zeroes for null.
TEST(KxlMtrTest, BinaryValuesTakeExactlyTheirWidthOrNothing) {
  const struct {
    std::size_t width;
    unsigned short function;
    const char *name;
    KxlBin (KxlMtr::*get)() const;
    bool (KxlMtr::*setBin)(const KxlBin &);
    void (KxlMtr::*setBytes)(const unsigned char *);
  } values[] = {{32, kKxlFnTrackerSetAccountingToken, "AccountingToken", &KxlMtr::accountingToken,
                 &KxlMtr::setAccountingToken, &KxlMtr::setAccountingToken},
                {24, kKxlFnTrackerSetCorrelationId, "CorrelationId", &KxlMtr::correlationId,
                 &KxlMtr::setCorrelationId, &KxlMtr::setCorrelationId},
                {24, kKxlFnTrackerSetGroupId, "GroupId", &KxlMtr::groupId, &KxlMtr::setGroupId,
                 &KxlMtr::setGroupId},
                {24, kKxlFnTrackerSetMessageId, "MessageId", &KxlMtr::messageId,
                 &KxlMtr::setMessageId, &KxlMtr::setMessageId}};
  for (const auto &value : values) {
    SCOPED_TRACE(value.name);
    const std::size_t width = value.width;
    const std::string zeros(width, '\0'), set = pattern(width, 1), longer = pattern(width + 8, 3);
    KxlMtr tracker;
    kxltest::TraceCapture trace;
    std::string seen = bytesOf((tracker.*value.get)());
    for (std::size_t length : {width + 1, width, width - 1, 56 - width, std::size_t{0}}) {
      const bool done = (tracker.*value.setBin)(binOf(pattern(length, length == width)));
      seen += (done ? "|yes " : "|no ") + bytesOf((tracker.*value.get)());
    }
    const std::string refused = "|no " + set;
    EXPECT_EQ(seen, "|no " + zeros + "|yes " + set + refused + refused + "|yes " + zeros);
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(tracker));
    const std::string text =
        "KxlMessageTracker::set" + std::string(value.name) + " (error): binary data length error";
    EXPECT_EQ(kxltest::Texts(3, {value.function, text}), kxltest::textsOf(trace));
    tracker.clearErrorCodes();
    (tracker.*value.setBytes)(reinterpret_cast<const unsigned char *>(longer.data()));
    seen = bytesOf((tracker.*value.get)());
    (tracker.*value.setBytes)(nullptr);
    EXPECT_EQ(seen + "|" + bytesOf((tracker.*value.get)()), longer.substr(0, width) + "|" + zeros);
    EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(tracker));
  }
}

TEST(KxlMtrTest, CopiesGiveEveryValueStorageOfTheirOwn) {
  const std::string id = pattern(24, 5);
  auto source = std::make_unique<KxlMtr>();
  EXPECT_EQ(0, source->feedback());  // no storage yet
  ASSERT_TRUE(source->setMessageId(binOf(id)));
  ASSERT_FALSE(source->setGroupId(binOf("short")));              // codes 2/6111 travel
  source->setFeedback(static_cast<long>(INT64_C(0x1fffffffd)));  // low 32 bits: -3
  KxlMtr constructed(*source);
  KxlMtr assigned;
  ASSERT_TRUE(assigned.setCorrelationId(binOf(pattern(24, 9))));
  assigned = *source;
  EXPECT_EQ("", bytesOf(source->accountingToken()));  // the source stays as it was
  source.reset();
  const KxlMtr &same = assigned;
  assigned = same;
  for (const KxlMtr *copy : {&constructed, &assigned}) {
    EXPECT_EQ(id, bytesOf(copy->messageId()));
    EXPECT_EQ(-3, copy->feedback());
    // Values the source had no storage for are zero bytes in the copy.
    EXPECT_EQ(std::string(32, '\0'), bytesOf(copy->accountingToken()));
    EXPECT_EQ(std::string(24, '\0'), bytesOf(copy->correlationId()));
    EXPECT_EQ(std::string(24, '\0'), bytesOf(copy->groupId()));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(*copy));
  }
}

// Reaches the protected members a test needs.
template <class Options>
class Exposed : public Options {
 public:
  using Options::setVersionSupported;
  void setCodes(long completion, long reason) { this->setErrorCodes(completion, reason); }
  // The code that gets messages writes the record; tests stand in for it.
  KXGMO *writable() { return const_cast<KXGMO *>(this->record()); }
};

// A new record of `length` (80 or 100) bytes with `version`.
std::string defaultRecord(std::size_t length, std::int32_t version) {
  const std::string record = kxlhdrtest::record(
      80, {{0, "GMO "}, kxlhdrtest::at(4, version), kxlhdrtest::at(72, 3), {76, "    "}});
  return length == 80 ? record : record + std::string(16, '\0') + kxlhdrtest::at(0, -1).bytes;
}

// The options' record, `length` bytes long.
template <class Options>
std::string recordBytes(const Options &options, std::size_t length) {
  return std::string(reinterpret_cast<const char *>(options.record()), length);
}

// New records take the supported version (its low 32 bits) at their
// construction; copies take the record and the codes whole. The sync-point
// bits and resolved queue names are read and written as
// testdata/tests/chl_gmo_*.tsv say.
template <class Options>
void expectOptions(std::size_t length, std::int32_t version) {
  SCOPED_TRACE(length);
  auto source = std::make_unique<Exposed<Options>>();
  EXPECT_EQ(defaultRecord(length, version), recordBytes(*source, length));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(*source));
  std::memset(source->writable(), 0x5a, length);  // a version of its own
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const std::string snapshot = recordBytes(*source, length);
  Exposed<Options>::setVersionSupported(static_cast<long>(INT64_C(0x100000001)));
  const Options after;
  Options constructed(*source);
  Options assigned;
  assigned = *source;
  Exposed<Options>::setVersionSupported(version);
  source.reset();
  EXPECT_EQ(defaultRecord(length, 1), recordBytes(after, length));
  EXPECT_EQ(defaultRecord(length, 1), recordBytes(Options(after), length));
  EXPECT_EQ(defaultRecord(length, version), recordBytes(Options(), length));
  const Options &same = assigned;
  assigned = same;
  for (const Options *copy : {&constructed, &assigned}) {
    EXPECT_EQ(snapshot, recordBytes(*copy, length));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(*copy));
  }
  for (const kxltest::Row &row : kxltest::table("chl_gmo_syncpoint")) {
    for (const bool participate : {true, false}) {
      SCOPED_TRACE(row.file + (participate ? " true" : " false"));
      Exposed<Options> options;
      options.writable()->options = static_cast<std::int32_t>(row.number(0));
      EXPECT_EQ(row.number(1) != 0, options.syncPointParticipation());
      options.setSyncPointParticipation(participate);
      EXPECT_EQ(static_cast<std::int32_t>(row.number(participate ? 2 : 3)),
                options.record()->options);
      EXPECT_EQ(participate, options.syncPointParticipation());
    }
  }
  for (const kxltest::Row &row : kxltest::table("chl_gmo_queuename")) {
    Exposed<Options> options;
    std::memcpy(options.writable()->resolvedQueueName, row[0].data(), row[0].size());
    EXPECT_EQ(row[1], kxlhdrtest::text(options.resolvedQueueName())) << row.file;
  }
}

TEST(KxlGmoTest, BothLayouts) {
  expectOptions<KxlGmo>(80, 2);
  expectOptions<KxlGmo3>(100, 3);
}

// The message token: a binary field as every other (a setter taking
// exactly its width, 6111 with its text and traced exit otherwise), lying
// at offset 80 of the record.
TEST(KxlGmo3Test, MessageToken) {
  kxlhdrtest::expectBinaryField(
      &KxlGmo3::setMessageToken, &KxlGmo3::setMessageToken, &KxlGmo3::messageToken, 16,
      kKxlFnOptionsSetMessageToken,
      "KxlGetMessageOptions::setMessageToken (error): binary data length error", true);
  KxlGmo3 options;
  const std::string token = pattern(16, 1);
  options.setMessageToken(reinterpret_cast<const unsigned char *>(token.data()));
  EXPECT_EQ(defaultRecord(100, 3).replace(80, 16, token), recordBytes(options, 100));
}

}  // namespace
