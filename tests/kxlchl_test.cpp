#include "kxlchl.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using Refusal = kxltest::PointerRefusal;

constexpr unsigned short kCopy = 43;  // the string copy's function number
const char kSourceError[] = "KxlString::copy (error): source buffer error";
const char kTargetError[] = "KxlString::copy (error): target buffer error";

// Reaches the record through the protected accessor.
class Channel : public KxlChl {
 public:
  using KxlChl::KXCD;
  char *at(std::size_t offset) const { return reinterpret_cast<char *>(KXCD()) + offset; }
  std::string record() const { return std::string(at(0), sizeof(tagKXCD)); }
};

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

// `length` characters cycling through the alphabet, so a cut shows where.
std::string pattern(std::size_t length) {
  std::string result;
  for (std::size_t i = 0; i < length; ++i) result += static_cast<char>('a' + i % 26);
  return result;
}

// A slot or field of `width` holding `value`, cut or null filled.
std::string slot(const std::string &value, std::size_t width) {
  return value.substr(0, width) + std::string(width - std::min(width, value.size()), '\0');
}

void put(std::string &record, std::size_t offset, std::int32_t value) {
  record.replace(offset, 4, reinterpret_cast<const char *>(&value), 4);
}

// A new channel's record: zero bytes but for these int32 fields and the -1
// of all 18 compression slots.
std::string defaultRecord() {
  std::string record(sizeof(tagKXCD), '\0');
  const std::int32_t fields[][2] = {
      {20, 8},     {24, 1},          {28, 1},      {304, 50},        {308, 6000},    {312, 10},
      {316, 60},   {320, 999999999}, {324, 1200},  {840, 999999999}, {844, 4194304}, {848, 1},
      {1020, 1},   {1472, 10},       {1476, 1000}, {1480, 300},      {1488, 2},      {1492, 1888},
      {1496, 128}, {1500, 32},       {1736, -1},   {1872, 50}};
  for (const auto &field : fields) put(record, static_cast<std::size_t>(field[0]), field[1]);
  for (std::size_t i = 0; i < 18; ++i) put(record, 1792 + 4 * i, -1);
  return record;
}

struct IntField {
  std::size_t offset;
  long (KxlChl::*get)() const;
  bool (KxlChl::*set)(long);
};

TEST(KxlChlTest, DefaultsAndIntegerFields) {
  EXPECT_EQ(defaultRecord(), Channel().record());
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(Channel()));
  const IntField fields[] = {
      {1788, &KxlChl::batchHeartBeat, &KxlChl::setBatchHeartBeat},
      {1480, &KxlChl::heartBeatInterval, &KxlChl::setHeartBeatInterval},
      {1736, &KxlChl::keepAliveInterval, &KxlChl::setKeepAliveInterval},
      {844, &KxlChl::maximumMessageLength, &KxlChl::setMaximumMessageLength},
      {1732, &KxlChl::sslClientAuthentication, &KxlChl::setSslClientAuthentication},
      {28, &KxlChl::transportType, &KxlChl::setTransportType}};
  // Only the low 32 bits are kept.
  const long values[][2] = {{-7, -7}, {static_cast<long>(INT64_C(0x180000001)), -2147483647}};
  for (const IntField &field : fields) {
    for (const auto &value : values) {
      Channel channel;
      EXPECT_TRUE((channel.*field.set)(value[0]));
      std::string expected = defaultRecord();
      put(expected, field.offset, static_cast<std::int32_t>(value[1]));
      EXPECT_EQ(expected, channel.record()) << field.offset;
      EXPECT_EQ(value[1], (channel.*field.get)()) << field.offset;
    }
  }
}

struct TextField {
  std::size_t offset, width;
  KxlStr (KxlChl::*get)() const;
  bool (KxlChl::*set)(const char *);
};

TEST(KxlChlTest, TextFields) {
  const TextField fields[] = {
      {0, 20, &KxlChl::channelName, &KxlChl::setChannelName},
      {1024, 264, &KxlChl::connectionName, &KxlChl::setConnectionName},
      {1740, 48, &KxlChl::localAddress, &KxlChl::setLocalAddress},
      {232, 8, &KxlChl::modeName, &KxlChl::setModeName},
      {996, 12, &KxlChl::password, &KxlChl::setPassword},
      {328, 128, &KxlChl::securityExitName, &KxlChl::setSecurityExitName},
      {856, 32, &KxlChl::securityUserData, &KxlChl::setSecurityUserData},
      {1688, 32, &KxlChl::sslCipherSpecification, &KxlChl::setSslCipherSpecification},
      {240, 64, &KxlChl::transactionProgramName, &KxlChl::setTransactionProgramName},
      {984, 12, &KxlChl::userId, &KxlChl::setUserId}};
  for (const TextField &field : fields) {
    SCOPED_TRACE(field.offset);
    Channel channel;
    std::string expected = channel.record();
    auto store = [&](const std::string &value) {
      expected.replace(field.offset, field.width, slot(value, field.width));
      if (field.offset == 1024) expected.replace(192, 20, slot(value, 20));  // short name
    };
    kxltest::TraceCapture trace;
    // Cut to the width, no terminator: warning 6115, still true.
    const std::string longText = pattern(field.width + 5);
    EXPECT_TRUE((channel.*field.set)(longText.c_str()));
    store(longText);
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ(longText.substr(0, field.width), text((channel.*field.get)()));
    EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(channel));
    EXPECT_TRUE(trace.sawText(kCopy, "static KxlString::copy (warning): string truncated"));
    // Trailing blanks are stored, not read back; the warning stays.
    EXPECT_TRUE((channel.*field.set)("A B  "));
    store("A B  ");
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ("A B", text((channel.*field.get)()));
    EXPECT_EQ(KXRC_DATA_TRUNCATED, channel.reasonCode());
    EXPECT_TRUE((channel.*field.set)(nullptr));
    store("");
    // A refused record (2146) or text (2145) fails with nothing changed.
    const std::string value = "refused";
    {
      Refusal refusal(channel.at(0), sizeof(tagKXCD), Refusal::kWrite);
      EXPECT_FALSE((channel.*field.set)(value.c_str()));
    }
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TARGET_BUFFER_ERROR), codesOf(channel));
    {
      Refusal refusal(value.c_str(), 1, Refusal::kRead);
      EXPECT_FALSE((channel.*field.set)(value.c_str()));
    }
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_SOURCE_BUFFER_ERROR), codesOf(channel));
    EXPECT_EQ(expected, channel.record());
    EXPECT_TRUE(trace.sawText(kCopy, kTargetError));
    EXPECT_TRUE(trace.sawText(kCopy, kSourceError));
  }
}

TEST(KxlChlTest, ConnectionNameIsWrittenToTheShortFieldFirst) {
  const std::string name = pattern(30);
  Channel channel;
  EXPECT_TRUE(channel.setConnectionName(name.c_str()));
  EXPECT_EQ(name, text(channel.connectionName()));
  EXPECT_EQ(name.substr(0, 20), std::string(channel.at(192), 20));
  EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(channel));
  Channel refused;
  std::string expected = defaultRecord();
  expected.replace(192, 20, slot("host", 20));
  {
    Refusal refusal(refused.at(1024), 264, Refusal::kWrite);
    EXPECT_FALSE(refused.setConnectionName("host"));
  }
  EXPECT_EQ(expected, refused.record());
  {
    Refusal refusal(refused.at(192), 20, Refusal::kWrite);
    EXPECT_FALSE(refused.setConnectionName("other"));
  }
  EXPECT_EQ(expected, refused.record());
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TARGET_BUFFER_ERROR), codesOf(refused));
}

std::string storedPeerName(const Channel &channel) {
  const tagKXCD &record = *channel.KXCD();
  if (record.sslPeerName == nullptr) return "<none>";
  return std::string(record.sslPeerName, static_cast<std::size_t>(record.sslPeerNameLength));
}

TEST(KxlChlTest, PeerNameIsStoredWithExactlyItsLength) {
  Channel channel;
  EXPECT_TRUE(channel.setSslPeerName(pattern(5000).c_str()));  // no length limit
  EXPECT_TRUE(channel.setSslPeerName("CN=x  "));
  EXPECT_EQ("CN=x  ", storedPeerName(channel));
  EXPECT_EQ("CN=x", text(channel.sslPeerName()));
  kxltest::TraceCapture trace;
  const std::string refused = "CN=refused";
  {
    Refusal refusal(refused.c_str(), 1, Refusal::kRead);
    EXPECT_FALSE(channel.setSslPeerName(refused.c_str()));
  }
  EXPECT_EQ("CN=x  ", storedPeerName(channel));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_SOURCE_BUFFER_ERROR), codesOf(channel));
  EXPECT_TRUE(trace.sawText(kCopy, kSourceError));
  for (const char *empty : {static_cast<const char *>(nullptr), ""}) {
    ASSERT_TRUE(channel.setSslPeerName("CN=peer"));
    EXPECT_TRUE(channel.setSslPeerName(empty));
    EXPECT_EQ("<none>", storedPeerName(channel));
    EXPECT_EQ(0, channel.KXCD()->sslPeerNameLength);
  }
}

// The record with each pointer replaced by the bytes it points to: the
// same for a channel and its deep copy.
std::string contents(const Channel &channel) {
  const tagKXCD &r = *channel.KXCD();
  auto bytes = [](const char *pointer, std::int32_t count, std::int32_t width) {
    if (pointer == nullptr) return std::string("-");
    return std::string(pointer, static_cast<std::size_t>(count) * static_cast<std::size_t>(width));
  };
  std::string all = channel.record();
  for (std::size_t offset : {1536, 1544, 1552, 1560, 1720}) all.replace(offset, 8, 8, '\0');
  return all + bytes(r.sendExitNames, r.sendExitCount, r.exitNameLength) +
         bytes(r.sendUserData, r.sendExitCount, r.userDataLength) +
         bytes(r.receiveExitNames, r.receiveExitCount, r.exitNameLength) +
         bytes(r.receiveUserData, r.receiveExitCount, r.userDataLength) +
         bytes(r.sslPeerName, 1, r.sslPeerNameLength);
}

TEST(KxlChlTest, CopiesAreDeepAndOutliveTheSource) {
  auto source = std::make_unique<Channel>();
  const char *sendNames[] = {"sendA", "sendB"};
  const char *sendData[] = {"d0", "d1"};
  ASSERT_TRUE(source->setSendExitNames(2, sendNames));
  ASSERT_TRUE(source->setSendUserData(2, sendData));
  ASSERT_TRUE(source->setReceiveExitName("receive"));
  ASSERT_TRUE(source->setReceiveUserData("r0"));
  ASSERT_TRUE(source->setSslPeerName("CN=peer"));
  ASSERT_TRUE(source->setModeName("LONGERTHAN8"));  // codes 1/6115 travel with the copies
  const std::string filled = contents(*source);
  Channel constructed(*source);
  Channel assigned;
  ASSERT_TRUE(assigned.setReceiveExitNames(2, sendNames));  // released by the assignment
  ASSERT_TRUE(assigned.setSslPeerName("CN=old"));
  assigned = *source;
  source.reset();
  for (const Channel *copy : {&constructed, &assigned}) {
    EXPECT_EQ(filled, contents(*copy));
    EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(*copy));
  }
  ASSERT_TRUE(constructed.setSendExitName(nullptr));
  const Channel &same = assigned;
  assigned = same;
  EXPECT_EQ(filled, contents(assigned));
  assigned = Channel();
  EXPECT_EQ(defaultRecord(), assigned.record());
}

// One side's list operations and the record fields they use.
struct Side {
  const char *name;
  std::int32_t tagKXCD::*count;
  char *tagKXCD::*names;
  char *tagKXCD::*data;
  std::size_t (KxlChl::*exitCount)() const;
  KxlStr (KxlChl::*exitName)();
  bool (KxlChl::*exitNames)(std::size_t, KxlStr **);
  KxlStr (KxlChl::*userData)();
  bool (KxlChl::*userDataList)(std::size_t, KxlStr **);
  bool (KxlChl::*setExitName)(const char *);
  bool (KxlChl::*setExitNames)(std::size_t, const char **);
  bool (KxlChl::*setExitStrings)(std::size_t, const KxlStr **);
  bool (KxlChl::*setUserDataEntry)(const char *);
  bool (KxlChl::*setUserData)(std::size_t, const char **);
  bool (KxlChl::*setUserStrings)(std::size_t, const KxlStr **);
};

const Side kSides[] = {
    {"send", &tagKXCD::sendExitCount, &tagKXCD::sendExitNames, &tagKXCD::sendUserData,
     &KxlChl::sendExitCount, &KxlChl::sendExitName, &KxlChl::sendExitNames, &KxlChl::sendUserData,
     &KxlChl::sendUserData, &KxlChl::setSendExitName, &KxlChl::setSendExitNames,
     &KxlChl::setSendExitNames, &KxlChl::setSendUserData, &KxlChl::setSendUserData,
     &KxlChl::setSendUserData},
    {"receive", &tagKXCD::receiveExitCount, &tagKXCD::receiveExitNames, &tagKXCD::receiveUserData,
     &KxlChl::receiveExitCount, &KxlChl::receiveExitName, &KxlChl::receiveExitNames,
     &KxlChl::receiveUserData, &KxlChl::receiveUserData, &KxlChl::setReceiveExitName,
     &KxlChl::setReceiveExitNames, &KxlChl::setReceiveExitNames, &KxlChl::setReceiveUserData,
     &KxlChl::setReceiveUserData, &KxlChl::setReceiveUserData}};

class KxlChlListTest : public ::testing::TestWithParam<Side> {
 protected:
  const Side &side() const { return GetParam(); }
  tagKXCD &record() { return *channel_.KXCD(); }
  // The side's count and both arrays, slot by slot at the record's widths.
  std::string state() {
    const auto count = static_cast<std::size_t>(record().*side().count);
    auto bytes = [&](const char *pointer, std::int32_t width) {
      return pointer == nullptr ? "-" : std::string(pointer, count * std::size_t(width));
    };
    return std::to_string(count) + bytes(record().*side().names, record().exitNameLength) + "|" +
           bytes(record().*side().data, record().userDataLength);
  }
  // What state() reads for these names and user data.
  static std::string sideOf(const std::vector<std::string> &names,
                            const std::vector<std::string> &data) {
    if (names.empty()) return "0-|-";
    std::string result = std::to_string(names.size());
    for (const std::string &name : names) result += slot(name, 128);
    result += "|";
    for (const std::string &entry : data) result += slot(entry, 32);
    return result;
  }
  bool setNames(std::vector<const char *> list) {
    return (channel_.*side().setExitNames)(list.size(), list.data());
  }
  bool setData(std::vector<const char *> list) {
    return (channel_.*side().setUserData)(list.size(), list.data());
  }

  Channel channel_;
};

void PrintTo(const Side &side, std::ostream *os) { *os << side.name; }

INSTANTIATE_TEST_SUITE_P(Sides, KxlChlListTest, ::testing::ValuesIn(kSides),
                         [](const ::testing::TestParamInfo<Side> &info) {
                           return std::string(info.param.name);
                         });

TEST_P(KxlChlListTest, ExitNamesThenUserData) {
  kxltest::TraceCapture trace;
  EXPECT_EQ("", text((channel_.*side().exitName)()));
  EXPECT_EQ("", text((channel_.*side().userData)()));
  EXPECT_FALSE((channel_.*side().setUserDataEntry)("X"));  // no exits, no room
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TOO_MANY_ENTRIES), codesOf(channel_));
  EXPECT_EQ(sideOf({}, {}), state());
  channel_.clearErrorCodes();
  EXPECT_TRUE(setNames({"EXITA", "EXITB"}));
  EXPECT_EQ(2u, (channel_.*side().exitCount)());
  EXPECT_EQ(2u, channel_.sendExitCount() + channel_.receiveExitCount());  // this side only
  EXPECT_TRUE((channel_.*side().setUserDataEntry)("D1"));
  EXPECT_EQ(sideOf({"EXITA", "EXITB"}, {"D1", ""}), state());
  EXPECT_EQ("EXITA", text((channel_.*side().exitName)()));
  EXPECT_EQ("D1", text((channel_.*side().userData)()));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(channel_));
  EXPECT_FALSE(setData({"X", "Y", "Z"}));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TOO_MANY_ENTRIES), codesOf(channel_));
  EXPECT_EQ(sideOf({"EXITA", "EXITB"}, {"D1", ""}), state());
  // The same count reuses the arrays; every replacement empties the user data.
  const char *names = record().*side().names;
  EXPECT_TRUE(setNames({"EXITC", "EXITD"}));
  EXPECT_EQ(names, record().*side().names);
  EXPECT_EQ(sideOf({"EXITC", "EXITD"}, {"", ""}), state());
  ASSERT_TRUE(setData({"D0", "D1"}));
  EXPECT_TRUE(setNames({"N0", "N1", "N2"}));
  EXPECT_EQ(sideOf({"N0", "N1", "N2"}, {"", "", ""}), state());
  for (const char *empty : {static_cast<const char *>(nullptr), ""}) {
    EXPECT_TRUE((channel_.*side().setExitName)("ONLY"));
    EXPECT_EQ(sideOf({"ONLY"}, {""}), state());
    EXPECT_TRUE((channel_.*side().setExitName)(empty));  // empties the side
    EXPECT_EQ(sideOf({}, {}), state());
  }
  EXPECT_TRUE(trace.texts().empty());  // the list errors send no text
}

TEST_P(KxlChlListTest, UserDataFillsGivenEntriesAndEmptiesTheRest) {
  ASSERT_TRUE(setNames({"E0", "E1", "E2"}));
  const KxlStr first("S0"), nullString;
  const KxlStr *strings[] = {&first, nullptr, &nullString};
  struct Case {
    std::vector<const char *> list;
    bool nullList;
    std::vector<std::string> expected;
  };
  const Case cases[] = {{{"D0", "D1", "D2"}, false, {"D0", "D1", "D2"}},
                        {{"", nullptr, "Z"}, false, {"", "", "Z"}},
                        {{"X"}, false, {"X", "", ""}},
                        {{"unused", "unused"}, true, {"", "", ""}},
                        {{}, false, {"S0", "", ""}}};  // the string form
  for (Case c : cases) {
    ASSERT_TRUE(setData({"old0", "old1", "old2"}));
    EXPECT_TRUE(c.expected[0] == "S0" ? (channel_.*side().setUserStrings)(3, strings)
                                      : (channel_.*side().setUserData)(
                                            c.list.size(), c.nullList ? nullptr : c.list.data()));
    EXPECT_EQ(sideOf({"E0", "E1", "E2"}, c.expected), state()) << c.list.size();
  }
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(channel_));
}

TEST_P(KxlChlListTest, RefusedNameListsChangeNothing) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D0", "D1"}));
  const std::string before = state();
  const KxlStr filled("S"), nullString;
  struct Case {
    std::vector<const char *> texts;  // used when `strings` is empty
    std::vector<const KxlStr *> strings;
    bool nullList;
    long reason;
  };
  const Case cases[] = {{{"A", "", "C"}, {}, false, KXRC_EMPTY_LIST_ENTRY},
                        {{"A", nullptr, "C"}, {}, false, KXRC_NULL_POINTER},
                        {{"", nullptr}, {}, false, KXRC_EMPTY_LIST_ENTRY},
                        {{"unused"}, {}, true, KXRC_NULL_POINTER},
                        {{}, {&filled, &nullString}, false, KXRC_EMPTY_LIST_ENTRY},
                        {{}, {&filled, nullptr}, false, KXRC_NULL_POINTER}};
  kxltest::TraceCapture trace;
  for (Case c : cases) {
    channel_.clearErrorCodes();
    EXPECT_FALSE(
        c.strings.empty()
            ? (channel_.*side().setExitNames)(c.texts.size(), c.nullList ? nullptr : c.texts.data())
            : (channel_.*side().setExitStrings)(c.strings.size(), c.strings.data()));
    EXPECT_EQ(Codes(KXCC_FAILED, c.reason), codesOf(channel_));
    EXPECT_EQ(before, state());
  }
  EXPECT_TRUE(trace.texts().empty());
}

TEST_P(KxlChlListTest, SlotCopiesCutOrStop) {
  const std::string longName = pattern(130), longData = pattern(40);
  EXPECT_TRUE(setNames({"short", longName.c_str()}));
  EXPECT_TRUE(setData({longData.c_str()}));
  EXPECT_EQ(sideOf({"short", longName}, {longData, ""}), state());
  EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(channel_));
  // A failing copy stops the replacement; the slots before it are written.
  ASSERT_TRUE(setNames({"OLD0", "OLD1", "OLD2"}));
  ASSERT_TRUE(setData({"D0", "D1", "D2"}));
  const std::string refused = "NEW1";
  {
    Refusal refusal(refused.c_str(), 1, Refusal::kRead);
    EXPECT_FALSE(setNames({"NEW0", refused.c_str(), "NEW2"}));
  }
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_SOURCE_BUFFER_ERROR), codesOf(channel_));
  EXPECT_EQ(sideOf({"NEW0", "OLD1", "OLD2"}, {"", "D1", "D2"}), state());
  {
    Refusal refusal(record().*side().data + 32, 32, Refusal::kWrite);
    EXPECT_FALSE(setData({"x", "y", "z"}));
  }
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TARGET_BUFFER_ERROR), codesOf(channel_));
  EXPECT_EQ(sideOf({"NEW0", "OLD1", "OLD2"}, {"x", "D1", "D2"}), state());
}

TEST_P(KxlChlListTest, ReadingIntoStrings) {
  ASSERT_TRUE(setNames({"EXITA", "EX B  "}));
  ASSERT_TRUE(setData({"D0", "D1 "}));
  for (bool userData : {false, true}) {
    const auto read = userData ? side().userDataList : side().exitNames;
    const std::string expected[] = {userData ? "D0" : "EXITA", userData ? "D1 " : "EX B  "};
    KxlStr first, second, beyond("old");
    KxlStr *strings[] = {&first, &second, nullptr, &beyond};
    EXPECT_TRUE((channel_.*read)(4, strings));
    EXPECT_EQ(expected[0], text(first));
    EXPECT_EQ(expected[1], text(second));  // trailing blanks kept
    EXPECT_EQ("", text(beyond));
    EXPECT_TRUE((channel_.*read)(4, nullptr));
    EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(channel_));
    // A string that cannot be set passes its codes on; the rest are filled.
    second = KxlStr("stale");
    Refusal refusal(userData ? record().*side().data : record().*side().names, 1, Refusal::kRead);
    EXPECT_FALSE((channel_.*read)(2, strings));
    EXPECT_EQ(KXRC_BUFFER_ERROR, first.reasonCode());
    EXPECT_EQ(expected[1], text(second));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BUFFER_ERROR), codesOf(channel_));
    channel_.clearErrorCodes();
    EXPECT_EQ("", text((channel_.*(userData ? side().userData : side().exitName))()));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BUFFER_ERROR), codesOf(channel_));
    channel_.clearErrorCodes();
  }
}

struct CompressionList {
  std::size_t offset, slots;
  std::size_t (KxlChl::*count)() const;
  bool (KxlChl::*get)(std::size_t, std::int32_t *) const;
  bool (KxlChl::*set)(std::size_t, const std::int32_t *);
};

TEST(KxlChlTest, CompressionLists) {
  // The message list first, so that the header list's two slots are then
  // followed by values that are not -1.
  const CompressionList lists[] = {{1800, 16, &KxlChl::messageCompressionCount,
                                    &KxlChl::messageCompression, &KxlChl::setMessageCompression},
                                   {1792, 2, &KxlChl::headerCompressionCount,
                                    &KxlChl::headerCompression, &KxlChl::setHeaderCompression}};
  std::vector<std::int32_t> values = {0, -2};  // only -1 marks an empty slot
  values.resize(20, 5);
  Channel channel;
  std::string expected = defaultRecord();
  for (const CompressionList &list : lists) {
    EXPECT_EQ(0u, (channel.*list.count)());
    EXPECT_TRUE((channel.*list.set)(1, values.data()));  // the other slots keep their -1
    put(expected, list.offset, values[0]);
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ(1u, (channel.*list.count)());
    EXPECT_TRUE((channel.*list.set)(20, values.data()));  // cut to the slots
    for (std::size_t i = 0; i < list.slots; ++i) put(expected, list.offset + 4 * i, values[i]);
    EXPECT_TRUE((channel.*list.set)(0, values.data() + 4));
    EXPECT_TRUE((channel.*list.set)(2, nullptr));
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ(list.slots, (channel.*list.count)());
    std::vector<std::int32_t> out(20, 99);
    EXPECT_TRUE((channel.*list.get)(1, out.data()));
    EXPECT_EQ(99, out[1]);
    EXPECT_TRUE((channel.*list.get)(20, out.data()));
    std::vector<std::int32_t> want(values.begin(), values.begin() + long(list.slots));
    want.resize(20, 99);
    EXPECT_EQ(want, out);
    // A -1 ends the count; the getter copies it all the same.
    const std::int32_t gap[] = {9, -1};
    EXPECT_TRUE((channel.*list.set)(2, gap));
    put(expected, list.offset, 9);
    put(expected, list.offset + 4, -1);
    EXPECT_EQ(1u, (channel.*list.count)());
    EXPECT_TRUE((channel.*list.get)(2, out.data()));
    EXPECT_EQ(-1, out[1]);
  }
}

}  // namespace
