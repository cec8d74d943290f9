// The client channel definition (its record, lists, peer name and copies),
// the error state and pointer checks every object carries, the trace facade,
// the tracking values and the get-message options of both layouts.

#include "kxlchl.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "kxlerr.hpp"
#include "kxlgmo.hpp"
#include "kxlgmo2.hpp"
#include "kxlhdrtest.hpp"
#include "kxlmsgtest.hpp"
#include "kxlmtr.hpp"
#include "kxltable.hpp"
#include "kxltrc.hpp"

namespace {

using kxlhdrtest::at;
using kxlhdrtest::text;
using kxlhdrtest::with;
using kxltest::binOf;
using kxltest::bytesOf;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;
using Refusal = kxltest::PointerRefusal;

class Channel : public KxlChl {
 public:
  using KxlChl::KXCD;
  std::string record() const {
    return std::string(reinterpret_cast<const char *>(KXCD()), sizeof(tagKXCD));
  }
};

std::string defaultRecord() {
  std::vector<kxlhdrtest::Field> fields;
  for (const kxltest::Row &row : kxltest::table("chl_defaults"))
    fields.push_back(at(row.number(0), static_cast<std::int32_t>(row.number(1))));
  return kxlhdrtest::record(sizeof(tagKXCD), fields);
}

TEST(KxlChlTest, DefaultsIntegerFieldsAndCompressionLists) {
  EXPECT_EQ(defaultRecord(), Channel().record());
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(Channel()));
  const struct {
    std::size_t offset;
    long (KxlChl::*get)() const;
    bool (KxlChl::*set)(long);
  } fields[] = {{1788, &KxlChl::batchHeartBeat, &KxlChl::setBatchHeartBeat},
                {1480, &KxlChl::heartBeatInterval, &KxlChl::setHeartBeatInterval},
                {1736, &KxlChl::keepAliveInterval, &KxlChl::setKeepAliveInterval},
                {844, &KxlChl::maximumMessageLength, &KxlChl::setMaximumMessageLength},
                {1732, &KxlChl::sslClientAuthentication, &KxlChl::setSslClientAuthentication},
                {28, &KxlChl::transportType, &KxlChl::setTransportType}};
  for (const auto &field : fields) {
    SCOPED_TRACE(field.offset);
    Channel channel;
    // Only the low 32 bits are kept; the getter sign-extends them.
    EXPECT_TRUE((channel.*field.set)(static_cast<long>(INT64_C(0x180000001))));
    EXPECT_EQ(with(defaultRecord(), {at(field.offset, -2147483647)}), channel.record());
    EXPECT_EQ(-2147483647, (channel.*field.get)());
  }
  // The compression lists lie in the 2 and 16 slots at 1792 and 1800; a
  // longer list is cut to the slots, a null one changes nothing.
  std::vector<std::int32_t> values = {0, -2, 7, -1};
  values.resize(20, 5);
  Channel channel;
  EXPECT_TRUE(channel.setMessageCompression(20, values.data()) &&
              channel.setHeaderCompression(1, values.data() + 2) &&
              channel.setHeaderCompression(2, nullptr));
  std::vector<kxlhdrtest::Field> slots = {at(1792, 7)};
  for (std::size_t i = 0; i < 16; ++i) slots.push_back(at(1800 + 4 * i, values[i]));
  EXPECT_EQ(with(defaultRecord(), slots), channel.record());
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(channel));
  // Only -1 marks an empty slot: the count runs past -2 to the first -1.
  EXPECT_EQ(3u, channel.messageCompressionCount());
}

// The setters share KxlStr::copy, whose refusals KxlStrCopyTest shows.
TEST(KxlChlTest, TextFields) {
  const struct {
    std::size_t offset, width;
    KxlStr (KxlChl::*get)() const;
    bool (KxlChl::*set)(const char *);
  } fields[] = {{0, 20, &KxlChl::channelName, &KxlChl::setChannelName},
                {1024, 264, &KxlChl::connectionName, &KxlChl::setConnectionName},
                {1740, 48, &KxlChl::localAddress, &KxlChl::setLocalAddress},
                {232, 8, &KxlChl::modeName, &KxlChl::setModeName},
                {996, 12, &KxlChl::password, &KxlChl::setPassword},
                {328, 128, &KxlChl::securityExitName, &KxlChl::setSecurityExitName},
                {856, 32, &KxlChl::securityUserData, &KxlChl::setSecurityUserData},
                {1688, 32, &KxlChl::sslCipherSpecification, &KxlChl::setSslCipherSpecification},
                {240, 64, &KxlChl::transactionProgramName, &KxlChl::setTransactionProgramName},
                {984, 12, &KxlChl::userId, &KxlChl::setUserId}};
  for (const auto &field : fields) {
    SCOPED_TRACE(field.offset);
    const bool connection = field.offset == 1024;  // also written to the short name
    Channel channel;
    std::string expected = defaultRecord();
    kxltest::TraceCapture trace;
    // Cut to the width without terminator (warning 6115, still true);
    // trailing blanks stored but not read back; null the empty text.
    const std::string longText = std::string(field.width, 'x') + "yyyyy";
    const std::pair<const char *, std::string> values[] = {
        {longText.c_str(), longText.substr(0, field.width)}, {"A B  ", "A B"}, {nullptr, ""}};
    for (const auto &value : values) {
      EXPECT_TRUE((channel.*field.set)(value.first));
      const std::string filled = (value.first == nullptr ? "" : value.first) + std::string(264, 0);
      expected.replace(field.offset, field.width, filled, 0, field.width);
      if (connection) expected.replace(192, 20, filled, 0, 20);
      EXPECT_EQ(expected, channel.record());
      EXPECT_EQ(value.second, text((channel.*field.get)()));
    }
    EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(channel));  // sticky
    EXPECT_EQ(
        kxltest::textsOf(trace),
        kxltest::Texts(connection ? 2 : 1,
                       {kKxlFnStringCopy, "static KxlString::copy (warning): string truncated"}));
  }
}

std::string storedPeerName(const Channel &channel) {
  const tagKXCD &record = *channel.KXCD();
  const auto length = static_cast<std::size_t>(record.sslPeerNameLength);
  if (record.sslPeerName == nullptr) return "<none:" + std::to_string(length) + ">";
  return std::string(record.sslPeerName, length);
}

// One side's lists in the record and its calls: [0] exit names, [1] user data.
const struct Side {
  std::int32_t tagKXCD::*count;
  char *tagKXCD::*lists[2];
  bool (KxlChl::*set[2])(std::size_t, const char **);
  bool (KxlChl::*setStrings)(std::size_t, const KxlStr **);
  bool (KxlChl::*setOne)(const char *);
  bool (KxlChl::*read[2])(std::size_t, KxlStr **);
  KxlStr (KxlChl::*first[2])();
} kSides[] = {{&tagKXCD::sendExitCount,
               {&tagKXCD::sendExitNames, &tagKXCD::sendUserData},
               {&KxlChl::setSendExitNames, &KxlChl::setSendUserData},
               &KxlChl::setSendExitNames,
               &KxlChl::setSendUserData,
               {&KxlChl::sendExitNames, &KxlChl::sendUserData},
               {&KxlChl::sendExitName, &KxlChl::sendUserData}},
              {&tagKXCD::receiveExitCount,
               {&tagKXCD::receiveExitNames, &tagKXCD::receiveUserData},
               {&KxlChl::setReceiveExitNames, &KxlChl::setReceiveUserData},
               &KxlChl::setReceiveExitNames,
               &KxlChl::setReceiveUserData,
               {&KxlChl::receiveExitNames, &KxlChl::receiveUserData},
               {&KxlChl::receiveExitName, &KxlChl::receiveUserData}}};

// "COUNT NAMES | DATA": each slot at the record's widths without its
// trailing null bytes, comma-separated; "-" for a null array.
std::string sideState(const Channel &channel, const Side &side) {
  const tagKXCD &r = *channel.KXCD();
  const auto count = static_cast<std::size_t>(r.*side.count);
  std::string state = std::to_string(count);
  for (int list = 0; list < 2; ++list) {
    const char *array = r.*side.lists[list];
    const auto width = static_cast<std::size_t>(list == 0 ? r.exitNameLength : r.userDataLength);
    state += list == 0 ? " " : " | ";
    if (array == nullptr) state += "-";
    for (std::size_t i = 0; array != nullptr && i < count; ++i) {
      std::string slot(array + i * width, width);
      state += (i == 0 ? "" : ",") + slot.erase(slot.find_last_not_of('\0') + 1);
    }
  }
  return state;
}

// The record, each pointer replaced by what it points to, and the codes: as a deep copy's.
std::string contents(const Channel &channel) {
  std::string all = channel.record();
  for (std::size_t offset : {1536, 1544, 1552, 1560, 1720}) all.replace(offset, 8, 8, '\0');
  return all + sideState(channel, kSides[0]) + sideState(channel, kSides[1]) +
         storedPeerName(channel) + kxlhdrtest::codes(channel);
}

// Copies, constructed and assigned onto `assigned` (which holds storage of its own), show
// `expected` once the source is gone and after a self-assignment; the source is left as it was.
template <class T, class Source, class State>
void expectCopies(std::unique_ptr<Source> source, T assigned, State state,
                  const std::string &expected) {
  const std::string before = state(*source);
  T constructed(*source);
  assigned = *source;
  EXPECT_EQ(before, state(*source));
  source.reset();
  const T &same = assigned;
  assigned = same;
  for (const T *copy : {&constructed, &assigned}) EXPECT_EQ(expected, state(*copy));
}

TEST(KxlChlTest, CopiesAreDeepAndOutliveTheSource) {
  auto source = std::make_unique<Channel>();
  const char *names[] = {"sendA", "sendB"}, *data[] = {"d0", "d1"};
  ASSERT_TRUE(source->setSendExitNames(2, names) && source->setSendUserData(2, data) &&
              source->setReceiveExitName("receive") && source->setReceiveUserData("r0") &&
              source->setSslPeerName("CN=peer"));
  source->setModeName("LONGERTHAN8");  // codes 1/6115 travel with the copies
  const std::string filled = contents(*source);
  ASSERT_EQ("1/6115", filled.substr(filled.size() - 6));
  Channel assigned;  // what it holds is released by the assignment
  ASSERT_TRUE(assigned.setReceiveExitNames(2, names) && assigned.setSslPeerName("CN=old"));
  expectCopies(std::move(source), assigned, contents, filled);
  assigned = Channel();
  EXPECT_EQ(defaultRecord(), assigned.record());
}

// testdata/tests/chl_lists.tsv drives each side's lists (their refusals, slot
// copies and reads failing part of the way: fuzz_channel sees none) and the peer name.
TEST(KxlChlTest, ListScript) {
  for (const Side &side : kSides) {
    auto channel = std::make_unique<Channel>();
    for (const kxltest::Row &row : kxltest::table("chl_lists")) {
      SCOPED_TRACE(row.file);
      std::istringstream op(row[0]), refused(row[2]);
      std::string verb, list, mode, where;
      op >> verb >> list;
      const int i = list == "data";
      std::vector<std::string> texts;  // the entries: ~ a null one, - none
      std::istringstream entries(row[1] + ",");
      for (std::string entry; row[1] != "-" && std::getline(entries, entry, ',');)
        texts.push_back(entry);
      std::vector<KxlStr> strings(texts.size());  // an empty text is a null string
      std::vector<const char *> pointers;
      std::vector<const KxlStr *> stringPointers;
      for (std::size_t n = 0; n < texts.size(); ++n) {
        if (texts[n] != "~") strings[n].set(texts[n].c_str(), texts[n].size());
        pointers.push_back(texts[n] == "~" ? nullptr : texts[n].c_str());
        stringPointers.push_back(texts[n] == "~" ? nullptr : &strings[n]);
      }
      KxlStr read[2] = {KxlStr(), KxlStr("stale")};
      KxlStr *readPointers[] = {&read[0], &read[1]};
      std::optional<Refusal> refusal;
      std::size_t offset = 0, length = 0;
      if (refused >> mode >> where >> offset >> length) {
        const tagKXCD &r = *channel->KXCD();
        refusal.emplace(where == "arg" ? pointers[offset] : r.*side.lists[where == "data"] + offset,
                        length, mode == "read" ? Refusal::kRead : Refusal::kWrite);
      }
      kxltest::TraceCapture trace;
      bool result = true;
      std::string readOut;
      if (verb == "new") channel = std::make_unique<Channel>();
      if (verb == "clear") channel->clearErrorCodes();
      if (verb == "set") result = (*channel.*side.set[i])(texts.size(), pointers.data());
      if (verb == "strings")
        result = (*channel.*side.setStrings)(texts.size(), stringPointers.data());
      if (verb == "one") result = (*channel.*side.setOne)(pointers[0]);
      if (verb == "null") result = (*channel.*side.set[i])(1, nullptr);
      if (verb == "peer") result = channel->setSslPeerName(pointers[0]);
      if (verb == "peer") readOut = storedPeerName(*channel) + "|" + text(channel->sslPeerName());
      if (verb == "first") readOut = text((*channel.*side.first[i])());
      if (verb == "read") {  // into the two strings, or a null list that reads nothing
        result = (*channel.*side.read[i])(2, row[1] == "null" ? nullptr : readPointers);
        readOut = text(read[0]) + " " + kxlhdrtest::codes(read[0]) + "," + text(read[1]) + " " +
                  kxlhdrtest::codes(read[1]);
      }
      std::string sent;
      for (const auto &t : kxltest::textsOf(trace))
        sent += (sent.empty() ? "" : ";") + std::to_string(t.first) + " " + t.second;
      EXPECT_EQ(
          row[3] + "\t" + row[4] + "/" + row[5] + "\t" + row[6] + "\t" + row[7] + "\t" + row[8],
          std::to_string(result) + "\t" + kxlhdrtest::codes(*channel) + "\t" +
              sideState(*channel, side) + "\t" + sent + "\t" + readOut);
    }
  }
}

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
  one->setErrorCodes(static_cast<long>(INT64_C(0x100000001)),
                     static_cast<long>(INT64_C(0xffffffff)));
  many[1].setErrorCodes(KXCC_FAILED, KXRC_NULL_POINTER);
  expectCopies(std::move(one), many[1], kxlhdrtest::codes, "1/-1");
}

// Object and facade checks ask an installed check, with their mode, about exactly the
// range; without one only a null or wrapping range fails. Refusal: 2004 and its text.
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

// Empty until first set, zeros after a refused first value. A setter takes exactly the
// width, or an empty value (zeros); the pointer form the width, or zeros for null.
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
    seen += "|" + kxlhdrtest::codes(tracker);
    tracker.clearErrorCodes();
    (tracker.*value.setBytes)(reinterpret_cast<const unsigned char *>(longer.data()));
    seen += "|" + bytesOf((tracker.*value.get)());
    (tracker.*value.setBytes)(nullptr);
    EXPECT_EQ(seen + "|" + bytesOf((tracker.*value.get)()) + "|" + kxlhdrtest::codes(tracker),
              "|no " + zeros + "|yes " + set + "|no " + set + "|no " + set + "|yes " + zeros +
                  "|2/6111|" + longer.substr(0, width) + "|" + zeros + "|0/0");
    EXPECT_EQ(
        kxltest::Texts(3, {value.function, "KxlMessageTracker::set" + std::string(value.name) +
                                               " (error): binary data length error"}),
        kxltest::textsOf(trace));
  }
}

std::string trackerState(const KxlMtr &t) {
  return bytesOf(t.accountingToken()) + "|" + bytesOf(t.correlationId()) + "|" +
         bytesOf(t.groupId()) + "|" + bytesOf(t.messageId()) + "|" + std::to_string(t.feedback()) +
         "|" + kxlhdrtest::codes(t);
}

TEST(KxlMtrTest, CopiesGiveEveryValueStorageOfTheirOwn) {
  const std::string id = pattern(24, 5), zeros(24, '\0');
  auto source = std::make_unique<KxlMtr>();
  EXPECT_EQ(0, source->feedback());  // no storage yet
  ASSERT_TRUE(source->setMessageId(binOf(id)));
  ASSERT_FALSE(source->setGroupId(binOf("short")));              // codes 2/6111 travel
  source->setFeedback(static_cast<long>(INT64_C(0x1fffffffd)));  // low 32 bits: -3
  EXPECT_EQ("||" + zeros + "|" + id + "|-3|2/6111", trackerState(*source));
  KxlMtr assigned;
  ASSERT_TRUE(assigned.setCorrelationId(binOf(pattern(24, 9))));
  // Values the source had no storage for are zero bytes in the copy.
  expectCopies(std::move(source), assigned, trackerState,
               std::string(32, '\0') + "|" + zeros + "|" + zeros + "|" + id + "|-3|2/6111");
}

template <class Options>
class Exposed : public Options {
 public:
  using Options::setVersionSupported;
  void setCodes(long completion, long reason) { this->setErrorCodes(completion, reason); }
  // The code that gets messages writes the record; tests stand in for it.
  KXGMO *writable() { return const_cast<KXGMO *>(this->record()); }
};

std::string optionsRecord(std::size_t length, std::int32_t version) {
  std::vector<kxlhdrtest::Field> fields = {at(0, "GMO "), at(4, version), at(72, 3),
                                           at(76, "    ")};
  if (length == 100) fields.push_back(at(96, -1));
  return kxlhdrtest::record(length, fields);
}

std::string recordBytes(const KXGMO *record, std::size_t length) {
  return std::string(reinterpret_cast<const char *>(record), length);
}

// New records take the supported version (its low 32 bits); copies take record and codes
// whole. Sync-point bits and queue names behave as testdata/tests/chl_gmo_*.tsv say.
template <class Options>
void expectOptions(std::size_t length, std::int32_t version) {
  SCOPED_TRACE(length);
  auto source = std::make_unique<Exposed<Options>>();
  EXPECT_EQ(optionsRecord(length, version), recordBytes(source->record(), length));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(*source));
  std::memset(source->writable(), 0x5a, length);  // a version of its own
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const std::string snapshot = recordBytes(source->record(), length);
  Exposed<Options>::setVersionSupported(static_cast<long>(INT64_C(0x100000001)));
  const Options after;
  const auto state = [length](const Options &o) {
    return recordBytes(o.record(), length) + kxlhdrtest::codes(o);
  };
  expectCopies(std::move(source), Options(), state, snapshot + "2/6111");
  Exposed<Options>::setVersionSupported(version);
  EXPECT_EQ(optionsRecord(length, 1), recordBytes(after.record(), length));
  EXPECT_EQ(optionsRecord(length, 1), recordBytes(Options(after).record(), length));
  EXPECT_EQ(optionsRecord(length, version), recordBytes(Options().record(), length));
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
    EXPECT_EQ(row[1], text(options.resolvedQueueName())) << row.file;
  }
}

TEST(KxlGmoTest, BothLayouts) {
  expectOptions<KxlGmo>(80, 2);
  expectOptions<KxlGmo3>(100, 3);
}

// The message token: a binary field as every other (exactly its width, else 6111 with
// its text and traced exit), at offset 80 of the record.
TEST(KxlGmo3Test, MessageToken) {
  kxlhdrtest::expectBinaryField(
      &KxlGmo3::setMessageToken, &KxlGmo3::setMessageToken, &KxlGmo3::messageToken, 16,
      kKxlFnOptionsSetMessageToken,
      "KxlGetMessageOptions::setMessageToken (error): binary data length error", true);
  KxlGmo3 options;
  const std::string token = pattern(16, 1);
  options.setMessageToken(reinterpret_cast<const unsigned char *>(token.data()));
  EXPECT_EQ(optionsRecord(100, 3).replace(80, 16, token), recordBytes(options.record(), 100));
}

}  // namespace
