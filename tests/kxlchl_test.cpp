#include "kxlchl.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using Refusal = kxltest::PointerRefusal;

const char kTruncated[] = "static KxlString::copy (warning): string truncated";
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
  for (const IntField &field : fields) {
    SCOPED_TRACE(field.offset);
    Channel channel;
    // Only the low 32 bits are kept; the getter sign-extends them.
    EXPECT_TRUE((channel.*field.set)(static_cast<long>(INT64_C(0x180000001))));
    std::string expected = defaultRecord();
    put(expected, field.offset, -2147483647);
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ(-2147483647, (channel.*field.get)());
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
    const bool connection = field.offset == 1024;  // also written to the short name
    Channel channel;
    std::string expected = defaultRecord();
    kxltest::TraceCapture trace;
    // Cut to the width without terminator (warning 6115, still true);
    // trailing blanks stored but not read back; null the empty text.
    const std::string longText = pattern(field.width + 5);
    const std::pair<const char *, std::string> values[] = {
        {longText.c_str(), longText.substr(0, field.width)}, {"A B  ", "A B"}, {nullptr, ""}};
    for (const auto &value : values) {
      EXPECT_TRUE((channel.*field.set)(value.first));
      const std::string stored = value.first == nullptr ? "" : value.first;
      expected.replace(field.offset, field.width, slot(stored, field.width));
      if (connection) expected.replace(192, 20, slot(stored, 20));
      EXPECT_EQ(expected, channel.record());
      EXPECT_EQ(value.second, text((channel.*field.get)()));
    }
    EXPECT_EQ(Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED), codesOf(channel));  // sticky
    EXPECT_EQ(kxltest::textsOf(trace),
              kxltest::Texts(connection ? 2 : 1, {kKxlFnStringCopy, kTruncated}));
  }
}

// A refused record (2146) or text (2145) fails with nothing changed; the
// ten setters share the copy, so one shows it. The connection name is
// written to the short name first, and to the long one only when that
// worked.
TEST(KxlChlTest, RefusedTextFieldsChangeNothing) {
  Channel channel;
  const std::string refused = "refused", before = channel.record();
  kxltest::TraceCapture trace;
  for (long reason : {KXRC_TARGET_BUFFER_ERROR, KXRC_SOURCE_BUFFER_ERROR}) {
    const bool target = reason == KXRC_TARGET_BUFFER_ERROR;
    Refusal refusal(target ? channel.at(0) : refused.c_str(), target ? sizeof(tagKXCD) : 1);
    EXPECT_FALSE(channel.setChannelName(refused.c_str()));
    EXPECT_EQ(Codes(KXCC_FAILED, reason), codesOf(channel));
  }
  EXPECT_EQ(before, channel.record());
  std::string expected = before;
  for (std::size_t offset : {192, 1024}) {
    Refusal refusal(channel.at(offset), 1, Refusal::kWrite);
    EXPECT_FALSE(channel.setConnectionName("host"));
  }
  expected.replace(192, 20, slot("host", 20));
  EXPECT_EQ(expected, channel.record());
  EXPECT_EQ(kxltest::textsOf(trace), kxltest::Texts({{kKxlFnStringCopy, kTargetError},
                                                     {kKxlFnStringCopy, kSourceError},
                                                     {kKxlFnStringCopy, kTargetError},
                                                     {kKxlFnStringCopy, kTargetError}}));
}

std::string storedPeerName(const Channel &channel) {
  const tagKXCD &record = *channel.KXCD();
  const auto length = static_cast<std::size_t>(record.sslPeerNameLength);
  if (record.sslPeerName == nullptr) return "<none:" + std::to_string(length) + ">";
  return std::string(record.sslPeerName, length);
}

TEST(KxlChlTest, PeerNameIsStoredWithExactlyItsLength) {
  Channel channel;
  kxltest::TraceCapture trace;
  EXPECT_TRUE(channel.setSslPeerName(pattern(5000).c_str()));  // no length limit
  EXPECT_EQ(pattern(5000), storedPeerName(channel));
  EXPECT_TRUE(channel.setSslPeerName("CN=x  "));
  EXPECT_EQ("CN=x  ", storedPeerName(channel));
  EXPECT_EQ("CN=x", text(channel.sslPeerName()));
  // The old name is released and the new length recorded before the copy,
  // so a refused text leaves storage of its length holding null bytes.
  const std::string refused = "CN=refused";
  {
    Refusal refusal(refused.c_str(), 1, Refusal::kRead);
    EXPECT_FALSE(channel.setSslPeerName(refused.c_str()));
  }
  EXPECT_EQ(std::string(refused.size(), '\0'), storedPeerName(channel));
  EXPECT_EQ("", text(channel.sslPeerName()));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_SOURCE_BUFFER_ERROR), codesOf(channel));
  EXPECT_EQ(kxltest::Texts({{kKxlFnStringCopy, kSourceError}}), kxltest::textsOf(trace));
  for (const char *empty : {static_cast<const char *>(nullptr), ""}) {
    ASSERT_TRUE(channel.setSslPeerName("CN=peer"));
    EXPECT_TRUE(channel.setSslPeerName(empty));
    EXPECT_EQ("<none:0>", storedPeerName(channel));
  }
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

// The side's count and both arrays, slot by slot at the record's widths.
std::string sideState(const Channel &channel, const Side &side) {
  const tagKXCD &r = *channel.KXCD();
  const auto count = static_cast<std::size_t>(r.*side.count);
  auto bytes = [&](const char *pointer, std::int32_t width) {
    return pointer == nullptr ? "-" : std::string(pointer, count * std::size_t(width));
  };
  return std::to_string(count) + bytes(r.*side.names, r.exitNameLength) + "|" +
         bytes(r.*side.data, r.userDataLength);
}

// The record with each pointer replaced by the bytes it points to: the
// same for a channel and its deep copy.
std::string contents(const Channel &channel) {
  std::string all = channel.record();
  for (std::size_t offset : {1536, 1544, 1552, 1560, 1720}) all.replace(offset, 8, 8, '\0');
  return all + sideState(channel, kSides[0]) + sideState(channel, kSides[1]) +
         storedPeerName(channel);
}

TEST(KxlChlTest, CopiesAreDeepAndOutliveTheSource) {
  auto source = std::make_unique<Channel>();
  const char *names[] = {"sendA", "sendB"}, *data[] = {"d0", "d1"};
  ASSERT_TRUE(source->setSendExitNames(2, names) && source->setSendUserData(2, data) &&
              source->setReceiveExitName("receive") && source->setReceiveUserData("r0") &&
              source->setSslPeerName("CN=peer"));
  source->setModeName("LONGERTHAN8");  // codes 1/6115 travel with the copies
  const std::string filled = contents(*source);
  Channel constructed(*source);
  Channel assigned;  // what it holds is released by the assignment
  ASSERT_TRUE(assigned.setReceiveExitNames(2, names) && assigned.setSslPeerName("CN=old"));
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

class KxlChlListTest : public ::testing::TestWithParam<Side> {
 protected:
  const Side &side() const { return GetParam(); }
  tagKXCD &record() { return *channel_.KXCD(); }
  std::string state() const { return sideState(channel_, GetParam()); }
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

TEST_P(KxlChlListTest, ReplacingNamesOrUserData) {
  const KxlStr filled("S"), nullString;
  const std::string longName = pattern(130), longData = pattern(40);
  enum Form { kTexts, kNullList, kStrings, kSingle };
  struct Case {
    bool names;  // the exit names, else the user data
    Form form;
    std::vector<const char *> texts;
    std::vector<const KxlStr *> strings;
    long reason;
    std::vector<std::string> after;  // the names or the data when it worked
  };
  const Case cases[] = {
      // New names empty the user data, whatever the count; none empty the side.
      {true, kTexts, {"N0", "N1"}, {}, KXRC_NONE, {"N0", "N1"}},
      {true, kTexts, {"N0", "N1", "N2"}, {}, KXRC_NONE, {"N0", "N1", "N2"}},
      {true, kTexts, {"short", longName.c_str()}, {}, KXRC_DATA_TRUNCATED, {"short", longName}},
      {true, kStrings, {}, {&filled}, KXRC_NONE, {"S"}},
      {true, kSingle, {"ONLY"}, {}, KXRC_NONE, {"ONLY"}},
      {true, kSingle, {nullptr}, {}, KXRC_NONE, {}},
      {true, kSingle, {""}, {}, KXRC_NONE, {}},
      {true, kTexts, {"A", "", "C"}, {}, KXRC_EMPTY_LIST_ENTRY, {}},
      {true, kTexts, {"A", nullptr, "C"}, {}, KXRC_NULL_POINTER, {}},
      {true, kTexts, {"", nullptr}, {}, KXRC_EMPTY_LIST_ENTRY, {}},
      {true, kNullList, {"unused"}, {}, KXRC_NULL_POINTER, {}},
      {true, kStrings, {}, {&filled, &nullString}, KXRC_EMPTY_LIST_ENTRY, {}},
      {true, kStrings, {}, {&filled, nullptr}, KXRC_NULL_POINTER, {}},
      // User data fills the given entries and empties the rest.
      {false, kTexts, {"D0", "D1", "D2"}, {}, KXRC_NONE, {"D0", "D1", "D2"}},
      {false, kTexts, {"", nullptr, "Z"}, {}, KXRC_NONE, {"", "", "Z"}},
      {false, kTexts, {longData.c_str()}, {}, KXRC_DATA_TRUNCATED, {longData, "", ""}},
      {false, kNullList, {"unused", "unused"}, {}, KXRC_NONE, {"", "", ""}},
      {false, kStrings, {}, {&filled, nullptr, &nullString}, KXRC_NONE, {"S", "", ""}},
      {false, kSingle, {"X"}, {}, KXRC_NONE, {"X", "", ""}},
      {false, kTexts, {"W", "X", "Y", "Z"}, {}, KXRC_TOO_MANY_ENTRIES, {}}};
  kxltest::TraceCapture trace;
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    Case c = cases[row];
    ASSERT_TRUE(setNames({"E0", "E1", "E2"}) && setData({"d0", "d1", "d2"}));
    channel_.clearErrorCodes();
    const long completion = c.reason == KXRC_NONE             ? KXCC_OK
                            : c.reason == KXRC_DATA_TRUNCATED ? KXCC_WARNING
                                                              : KXCC_FAILED;
    std::vector<std::string> names = {"E0", "E1", "E2"}, data = {"d0", "d1", "d2"};
    if (completion != KXCC_FAILED) {
      (c.names ? names : data) = c.after;
      if (c.names) data.assign(names.size(), "");
    }
    const std::size_t count = c.texts.size() + c.strings.size();
    const bool done =
        c.form == kSingle
            ? (channel_.*(c.names ? side().setExitName : side().setUserDataEntry))(c.texts[0])
        : c.form == kStrings
            ? (channel_.*(c.names ? side().setExitStrings : side().setUserStrings))(
                  count, c.strings.data())
            : (channel_.*(c.names ? side().setExitNames : side().setUserData))(
                  count, c.form == kNullList ? nullptr : c.texts.data());
    EXPECT_EQ(completion != KXCC_FAILED, done);
    EXPECT_EQ(Codes(completion, c.reason), codesOf(channel_));
    EXPECT_EQ(sideOf(names, data), state());
    EXPECT_EQ(names.size(), (channel_.*side().exitCount)());
    EXPECT_EQ(names.size(), channel_.sendExitCount() + channel_.receiveExitCount());
    // The single getters read slot 0, or nothing without exits.
    EXPECT_EQ(names.empty() ? "|" : names[0].substr(0, 128) + "|" + data[0].substr(0, 32),
              text((channel_.*side().exitName)()) + "|" + text((channel_.*side().userData)()));
  }
  ASSERT_TRUE((channel_.*side().setExitName)(nullptr));
  EXPECT_FALSE((channel_.*side().setUserDataEntry)("X"));  // no exits, no room
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_TOO_MANY_ENTRIES), codesOf(channel_));
  EXPECT_EQ(sideOf({}, {}), state());
  // Only the cuts send a text; the list errors send none.
  EXPECT_EQ(kxltest::Texts(2, {kKxlFnStringCopy, kTruncated}), kxltest::textsOf(trace));
}

TEST_P(KxlChlListTest, AFailingSlotCopyStops) {
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
  ASSERT_TRUE(setNames({"EXITA", "EX B  "}) && setData({"D0", "D1 "}));
  for (bool userData : {false, true}) {
    SCOPED_TRACE(userData);
    const auto read = userData ? side().userDataList : side().exitNames;
    const std::string second0 = userData ? "D1 " : "EX B  ";  // trailing blanks kept
    KxlStr first, second, beyond("old");
    KxlStr *strings[] = {&first, &second, nullptr, &beyond};
    EXPECT_TRUE((channel_.*read)(4, strings) && (channel_.*read)(4, nullptr));
    EXPECT_EQ((userData ? "D0|" : "EXITA|") + second0 + "|",
              text(first) + "|" + text(second) + "|" + text(beyond));
    EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(channel_));
    // A string that cannot be set passes its codes on; the rest are filled.
    second = KxlStr("stale");
    Refusal refusal(record().*(userData ? side().data : side().names), 1, Refusal::kRead);
    EXPECT_FALSE((channel_.*read)(2, strings));
    EXPECT_EQ(KXRC_BUFFER_ERROR, first.reasonCode());
    EXPECT_EQ(second0, text(second));
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
  // Only -1 marks an empty slot; the count stops at the first one.
  std::vector<std::int32_t> values = {0, -2, 7, -1};
  values.resize(20, 5);
  Channel channel;
  std::string expected = defaultRecord();
  for (const CompressionList &list : lists) {
    SCOPED_TRACE(list.slots);
    EXPECT_EQ(0u, (channel.*list.count)());
    EXPECT_TRUE((channel.*list.set)(1, values.data() + 2));  // the other slots keep their -1
    put(expected, list.offset, values[2]);
    EXPECT_EQ(expected, channel.record());
    EXPECT_TRUE((channel.*list.set)(20, values.data()));  // cut to the slots
    EXPECT_TRUE((channel.*list.set)(0, values.data() + 4));
    EXPECT_TRUE((channel.*list.set)(2, nullptr));
    for (std::size_t i = 0; i < list.slots; ++i) put(expected, list.offset + 4 * i, values[i]);
    EXPECT_EQ(expected, channel.record());
    EXPECT_EQ(std::min<std::size_t>(3, list.slots), (channel.*list.count)());
    // The getter copies min(count, slots) values, a -1 included.
    std::int32_t one[] = {99, 99};
    EXPECT_TRUE((channel.*list.get)(1, one));
    EXPECT_EQ(99, one[1]);
    std::vector<std::int32_t> out(20, 99), want(values.begin(), values.begin() + long(list.slots));
    want.resize(20, 99);
    EXPECT_TRUE((channel.*list.get)(20, out.data()));
    EXPECT_EQ(want, out);
  }
}

}  // namespace
