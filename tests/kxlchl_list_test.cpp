#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "kxlchl.hpp"
#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 1888;
constexpr std::size_t kNameWidth = 128;
constexpr std::size_t kDataWidth = 32;

// Reaches the record through the protected accessor.
class Channel : public KxlChl {
 public:
  using KxlChl::KXCD;
};

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

std::string nullFilled(const std::string &value, std::size_t width) {
  return value + std::string(width - value.size(), '\0');
}

std::string pattern(std::size_t length) {
  std::string result;
  for (std::size_t i = 0; i < length; ++i) result += static_cast<char>('a' + i % 26);
  return result;
}

// One side's operations and the record fields they must use.
struct SideApi {
  const char *name;
  std::size_t countOffset, namesOffset, dataOffset;
  std::size_t otherCountOffset, otherNamesOffset, otherDataOffset;
  std::size_t (KxlChl::*count)() const;
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

const SideApi kSendSide = {
    "send",
    1508,
    1536,
    1544,
    1512,
    1552,
    1560,
    &KxlChl::sendExitCount,
    &KxlChl::sendExitName,
    &KxlChl::sendExitNames,
    &KxlChl::sendUserData,
    &KxlChl::sendUserData,
    &KxlChl::setSendExitName,
    &KxlChl::setSendExitNames,
    &KxlChl::setSendExitNames,
    &KxlChl::setSendUserData,
    &KxlChl::setSendUserData,
    &KxlChl::setSendUserData,
};

const SideApi kReceiveSide = {
    "receive",
    1512,
    1552,
    1560,
    1508,
    1536,
    1544,
    &KxlChl::receiveExitCount,
    &KxlChl::receiveExitName,
    &KxlChl::receiveExitNames,
    &KxlChl::receiveUserData,
    &KxlChl::receiveUserData,
    &KxlChl::setReceiveExitName,
    &KxlChl::setReceiveExitNames,
    &KxlChl::setReceiveExitNames,
    &KxlChl::setReceiveUserData,
    &KxlChl::setReceiveUserData,
    &KxlChl::setReceiveUserData,
};

class KxlChlListTest : public testing::TestWithParam<SideApi> {
 protected:
  const SideApi &side() const { return GetParam(); }

  const unsigned char *raw() const {
    return reinterpret_cast<const unsigned char *>(channel_.KXCD());
  }
  std::int32_t int32At(std::size_t offset) const {
    std::int32_t value;
    std::memcpy(&value, raw() + offset, sizeof value);
    return value;
  }
  const char *pointerAt(std::size_t offset) const {
    const char *pointer;
    std::memcpy(&pointer, raw() + offset, sizeof pointer);
    return pointer;
  }
  const char *names() const { return pointerAt(side().namesOffset); }
  const char *data() const { return pointerAt(side().dataOffset); }
  std::string nameSlot(std::size_t i, std::size_t width = kNameWidth) const {
    return std::string(names() + i * width, width);
  }
  std::string dataSlot(std::size_t i, std::size_t width = kDataWidth) const {
    return std::string(data() + i * width, width);
  }

  // The side's count field and both arrays, byte for byte.
  std::string sideState() const {
    const std::size_t count = static_cast<std::size_t>(int32At(side().countOffset));
    std::string state = std::to_string(count) + "|";
    if (names() != nullptr) state += std::string(names(), count * kNameWidth);
    state += "|";
    if (data() != nullptr) state += std::string(data(), count * kDataWidth);
    return state;
  }

  bool setNames(std::vector<const char *> list) {
    return (channel_.*side().setExitNames)(list.size(), list.data());
  }
  bool setData(std::vector<const char *> list) {
    return (channel_.*side().setUserData)(list.size(), list.data());
  }
  std::size_t count() const { return (channel_.*side().count)(); }

  void expectOtherSideEmpty() const {
    EXPECT_EQ(0, int32At(side().otherCountOffset));
    EXPECT_EQ(nullptr, pointerAt(side().otherNamesOffset));
    EXPECT_EQ(nullptr, pointerAt(side().otherDataOffset));
  }

  Channel channel_;
};

void PrintTo(const SideApi &side, std::ostream *out) { *out << side.name; }

INSTANTIATE_TEST_SUITE_P(Sides, KxlChlListTest, testing::Values(kSendSide, kReceiveSide),
                         [](const testing::TestParamInfo<SideApi> &info) {
                           return std::string(info.param.name);
                         });

TEST_P(KxlChlListTest, NewChannelHasNoExits) {
  EXPECT_EQ(0u, count());
  EXPECT_EQ(nullptr, names());
  EXPECT_EQ(nullptr, data());
  EXPECT_EQ("", text((channel_.*side().exitName)()));
  EXPECT_EQ("", text((channel_.*side().userData)()));
  EXPECT_FALSE((channel_.*side().setUserDataEntry)("X"));
  EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
  EXPECT_EQ(KXRC_TOO_MANY_ENTRIES, channel_.reasonCode());
  EXPECT_EQ(nullptr, data());
}

TEST_P(KxlChlListTest, NamesFillSlotsAndLeaveUserDataEmpty) {
  EXPECT_TRUE(setNames({"EXITA", "EXITB"}));
  EXPECT_EQ(2u, count());
  EXPECT_EQ(2, int32At(side().countOffset));
  EXPECT_EQ(nullFilled("EXITA", kNameWidth), nameSlot(0));
  EXPECT_EQ(nullFilled("EXITB", kNameWidth), nameSlot(1));
  EXPECT_EQ(std::string(2 * kDataWidth, '\0'), dataSlot(0) + dataSlot(1));
  EXPECT_EQ("EXITA", text((channel_.*side().exitName)()));
  EXPECT_EQ("", text((channel_.*side().userData)()));
  EXPECT_EQ(KXRC_NONE, channel_.reasonCode());
  expectOtherSideEmpty();
}

TEST_P(KxlChlListTest, UserDataFillsGivenEntriesAndEmptiesTheRest) {
  ASSERT_TRUE(setNames({"E0", "E1", "E2"}));
  struct Case {
    const char *name;
    std::vector<const char *> list;
    bool nullList;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"all three", {"D0", "D1", "D2"}, false, {"D0", "D1", "D2"}},
      {"one entry", {"X"}, false, {"X", "", ""}},
      {"empty and null entries", {"", nullptr, "Z"}, false, {"", "", "Z"}},
      {"no entries", {}, false, {"", "", ""}},
      {"null list", {nullptr, nullptr}, true, {"", "", ""}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(setData({"old0", "old1", "old2"}));
    const char **list = c.nullList ? nullptr : const_cast<const char **>(c.list.data());
    EXPECT_TRUE((channel_.*side().setUserData)(c.list.size(), list));
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(nullFilled(c.expected[i], kDataWidth), dataSlot(i)) << i;
    }
  }
  // The one-entry form sets the first slot.
  EXPECT_TRUE((channel_.*side().setUserDataEntry)("only"));
  EXPECT_EQ("only", text((channel_.*side().userData)()));
  EXPECT_EQ(KXRC_NONE, channel_.reasonCode());
}

TEST_P(KxlChlListTest, MoreUserDataThanExitsChangesNothing) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D1"}));
  EXPECT_EQ(nullFilled("D1", kDataWidth), dataSlot(0));
  EXPECT_EQ(std::string(kDataWidth, '\0'), dataSlot(1));
  const std::string before = sideState();
  kxltest::TraceCapture trace;
  EXPECT_FALSE(setData({"X", "Y", "Z"}));
  EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
  EXPECT_EQ(KXRC_TOO_MANY_ENTRIES, channel_.reasonCode());
  EXPECT_EQ(before, sideState());
  EXPECT_TRUE(trace.texts().empty());
}

TEST_P(KxlChlListTest, ReplacingNamesAlwaysEmptiesUserData) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D0", "D1"}));
  const char *namesBefore = names();
  const char *dataBefore = data();
  // Same count: the arrays stay, the user data goes.
  EXPECT_TRUE(setNames({"EXITC", "EXITD"}));
  EXPECT_EQ(namesBefore, names());
  EXPECT_EQ(dataBefore, data());
  EXPECT_EQ(nullFilled("EXITD", kNameWidth), nameSlot(1));
  EXPECT_EQ(std::string(2 * kDataWidth, '\0'), dataSlot(0) + dataSlot(1));

  // Other counts: arrays of the new size, user data empty.
  for (std::vector<const char *> list :
       {std::vector<const char *>{"N0", "N1", "N2", "N3"}, std::vector<const char *>{"M0"}}) {
    ASSERT_TRUE(setData({"D0"}));
    EXPECT_TRUE(setNames(list));
    ASSERT_EQ(list.size(), count());
    for (std::size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(nullFilled(list[i], kNameWidth), nameSlot(i));
      EXPECT_EQ(std::string(kDataWidth, '\0'), dataSlot(i));
    }
  }
}

TEST_P(KxlChlListTest, EmptyingTheSideReleasesItsArrays) {
  for (const char *empty : {static_cast<const char *>(nullptr), ""}) {
    ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
    EXPECT_TRUE((channel_.*side().setExitName)(empty));
    EXPECT_EQ(0, int32At(side().countOffset));
    EXPECT_EQ(nullptr, names());
    EXPECT_EQ(nullptr, data());
    EXPECT_FALSE((channel_.*side().setUserDataEntry)("X"));
    EXPECT_EQ(KXRC_TOO_MANY_ENTRIES, channel_.reasonCode());
  }
  EXPECT_TRUE((channel_.*side().setExitName)("ONLY"));
  EXPECT_EQ(1u, count());
  EXPECT_EQ("ONLY", text((channel_.*side().exitName)()));
  EXPECT_TRUE(setNames({}));
  EXPECT_EQ(nullptr, names());
}

TEST_P(KxlChlListTest, ListErrorsChangeNothing) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D0", "D1"}));
  const std::string before = sideState();
  const KxlStr filled("S"), nullString;
  struct Case {
    const char *name;
    std::vector<const char *> texts;  // used when `strings` is empty
    std::vector<const KxlStr *> strings;
    bool nullList;
    long reason;
  };
  const Case cases[] = {
      {"empty second entry", {"A", "", "C"}, {}, false, KXRC_EMPTY_LIST_ENTRY},
      {"null second entry", {"A", nullptr, "C"}, {}, false, KXRC_NULL_POINTER},
      {"empty before null", {"", nullptr}, {}, false, KXRC_EMPTY_LIST_ENTRY},
      {"null before empty", {nullptr, ""}, {}, false, KXRC_NULL_POINTER},
      {"null list", {"unused"}, {}, true, KXRC_NULL_POINTER},
      {"null string entry", {}, {&filled, &nullString}, false, KXRC_EMPTY_LIST_ENTRY},
      {"null string pointer", {}, {&filled, nullptr}, false, KXRC_NULL_POINTER},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    channel_.clearErrorCodes();
    kxltest::TraceCapture trace;
    bool result;
    if (c.strings.empty()) {
      const char **list = c.nullList ? nullptr : const_cast<const char **>(c.texts.data());
      result = (channel_.*side().setExitNames)(c.texts.size(), list);
    } else {
      result = (channel_.*side().setExitStrings)(c.strings.size(),
                                                 const_cast<const KxlStr **>(c.strings.data()));
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
    EXPECT_EQ(c.reason, channel_.reasonCode());
    EXPECT_EQ(before, sideState());
    EXPECT_TRUE(trace.texts().empty());
  }
  // A count the record's 32-bit count field cannot hold.
  EXPECT_FALSE((channel_.*side().setExitNames)(std::size_t{1} << 31, nullptr));
  EXPECT_EQ(KXRC_TOO_MANY_ENTRIES, channel_.reasonCode());
  EXPECT_EQ(before, sideState());
}

TEST_P(KxlChlListTest, StringFormsStoreTheStringsTexts) {
  const KxlStr first("S1"), second("S2");
  const KxlStr *list[] = {&first, &second};
  EXPECT_TRUE((channel_.*side().setExitStrings)(2, list));
  EXPECT_EQ(nullFilled("S2", kNameWidth), nameSlot(1));
  const KxlStr data("U1"), nullString;
  const KxlStr *dataList[] = {&data, nullptr};
  EXPECT_TRUE((channel_.*side().setUserStrings)(2, dataList));
  EXPECT_EQ(nullFilled("U1", kDataWidth), dataSlot(0));
  EXPECT_EQ(std::string(kDataWidth, '\0'), dataSlot(1));
  const KxlStr *nullStringList[] = {&nullString};
  EXPECT_TRUE((channel_.*side().setUserStrings)(1, nullStringList));
  EXPECT_EQ(std::string(kDataWidth, '\0'), dataSlot(0));
  EXPECT_EQ(KXRC_NONE, channel_.reasonCode());
}

TEST_P(KxlChlListTest, LongTextsAreCutToTheirSlots) {
  kxltest::TraceCapture trace;
  const std::string longName = pattern(130);
  EXPECT_TRUE(setNames({"short", longName.c_str()}));
  EXPECT_EQ(longName.substr(0, kNameWidth), nameSlot(1));
  EXPECT_EQ(KXCC_WARNING, channel_.completionCode());
  EXPECT_EQ(KXRC_DATA_TRUNCATED, channel_.reasonCode());
  EXPECT_TRUE(trace.sawText(43, "static KxlString::copy (warning): string truncated"));
  KxlStr read0, read1;
  KxlStr *strings[] = {&read0, &read1};
  EXPECT_TRUE((channel_.*side().exitNames)(2, strings));
  EXPECT_EQ(longName.substr(0, kNameWidth), text(read1));

  channel_.clearErrorCodes();
  const std::string longData = pattern(40);
  EXPECT_TRUE(setData({longData.c_str()}));
  EXPECT_EQ(longData.substr(0, kDataWidth), dataSlot(0));
  EXPECT_EQ(longData.substr(0, kDataWidth), text((channel_.*side().userData)()));
  EXPECT_EQ(KXRC_DATA_TRUNCATED, channel_.reasonCode());
}

TEST_P(KxlChlListTest, SlotWidthsComeFromTheRecord) {
  channel_.KXCD()->exitNameLength = 16;
  channel_.KXCD()->userDataLength = 4;
  EXPECT_TRUE(setNames({"ABCDEFGHIJKLMNOPQRS", "B"}));
  EXPECT_EQ("ABCDEFGHIJKLMNOP", nameSlot(0, 16));
  EXPECT_EQ(nullFilled("B", 16), nameSlot(1, 16));
  EXPECT_EQ(KXRC_DATA_TRUNCATED, channel_.reasonCode());
  EXPECT_TRUE(setData({"xyz", "12345"}));
  EXPECT_EQ(nullFilled("xyz", 4), dataSlot(0, 4));
  EXPECT_EQ("1234", dataSlot(1, 4));
  KxlStr read0, read1;
  KxlStr *strings[] = {&read0, &read1};
  EXPECT_TRUE((channel_.*side().userDataList)(2, strings));
  EXPECT_EQ("1234", text(read1));
  EXPECT_TRUE((channel_.*side().exitNames)(2, strings));
  EXPECT_EQ("ABCDEFGHIJKLMNOP", text(read0));
}

TEST_P(KxlChlListTest, FillingStringsSkipsNullsAndEmptiesBeyondTheExits) {
  ASSERT_TRUE(setNames({"EXITA", "EX B  "}));
  ASSERT_TRUE(setData({"D0", "D1 "}));
  for (bool userData : {false, true}) {
    SCOPED_TRACE(userData ? "user data" : "names");
    auto fillStrings = userData ? side().userDataList : side().exitNames;
    KxlStr first("untouched"), beyond("old");
    KxlStr *strings[] = {&first, nullptr, &beyond};
    EXPECT_TRUE((channel_.*fillStrings)(3, strings));
    EXPECT_EQ(userData ? "D0" : "EXITA", text(first));
    EXPECT_EQ("", text(beyond));

    // Trailing blanks are kept.
    KxlStr second;
    KxlStr *secondOnly[] = {nullptr, &second};
    EXPECT_TRUE((channel_.*fillStrings)(2, secondOnly));
    EXPECT_EQ(userData ? "D1 " : "EX B  ", text(second));

    KxlStr kept("kept");
    KxlStr *keptOnly[] = {&kept};
    EXPECT_TRUE((channel_.*fillStrings)(0, keptOnly));
    EXPECT_TRUE((channel_.*fillStrings)(3, nullptr));
    EXPECT_EQ("kept", text(kept));
  }
  EXPECT_EQ(KXRC_NONE, channel_.reasonCode());
}

TEST_P(KxlChlListTest, UnreadableSlotTakesTheStringsCodesAndGoesOn) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D0", "D1"}));
  for (bool userData : {false, true}) {
    SCOPED_TRACE(userData ? "user data" : "names");
    auto fillStrings = userData ? side().userDataList : side().exitNames;
    auto single = userData ? side().userData : side().exitName;
    kxltest::PointerRefusal refusal(userData ? data() : names(), 1, kxltest::PointerRefusal::kRead);
    channel_.clearErrorCodes();
    KxlStr read0, read1;
    KxlStr *strings[] = {&read0, &read1};
    EXPECT_FALSE((channel_.*fillStrings)(2, strings));
    EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
    EXPECT_EQ(KXRC_BUFFER_ERROR, channel_.reasonCode());
    EXPECT_EQ(KXRC_BUFFER_ERROR, read0.reasonCode());
    EXPECT_EQ(userData ? "D1" : "EXITB", text(read1));

    channel_.clearErrorCodes();
    EXPECT_EQ("", text((channel_.*single)()));
    EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
    EXPECT_EQ(KXRC_BUFFER_ERROR, channel_.reasonCode());
  }
}

TEST_P(KxlChlListTest, StringWithoutStorageFailsTheFill) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  KxlStr read0, read1;
  KxlStr *strings[] = {&read0, &read1};
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE((channel_.*side().exitNames)(2, strings));
  }
  EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
  EXPECT_EQ(KXRC_STORAGE_NOT_AVAILABLE, channel_.reasonCode());
  EXPECT_EQ("EXITB", text(read1));

  channel_.clearErrorCodes();
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_EQ("", text((channel_.*side().exitName)()));
  }
  EXPECT_EQ(KXRC_STORAGE_NOT_AVAILABLE, channel_.reasonCode());
}

TEST_P(KxlChlListTest, FailingCopyKeepsTheSlotsWrittenSoFar) {
  ASSERT_TRUE(setNames({"OLD0", "OLD1", "OLD2"}));
  ASSERT_TRUE(setData({"D0", "D1", "D2"}));
  const std::string refused = "NEW1";
  {
    kxltest::PointerRefusal refusal(refused.c_str(), 1, kxltest::PointerRefusal::kRead);
    EXPECT_FALSE(setNames({"NEW0", refused.c_str(), "NEW2"}));
  }
  EXPECT_EQ(KXCC_FAILED, channel_.completionCode());
  EXPECT_EQ(KXRC_SOURCE_BUFFER_ERROR, channel_.reasonCode());
  EXPECT_EQ(3u, count());
  EXPECT_EQ(nullFilled("NEW0", kNameWidth), nameSlot(0));
  EXPECT_EQ(std::string(kDataWidth, '\0'), dataSlot(0));
  EXPECT_EQ(nullFilled("OLD1", kNameWidth), nameSlot(1));
  EXPECT_EQ(nullFilled("D1", kDataWidth), dataSlot(1));

  ASSERT_TRUE(setData({"D0", "D1", "D2"}));
  {
    kxltest::PointerRefusal refusal(data() + kDataWidth, kDataWidth,
                                    kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(setData({"x", "y", "z"}));
  }
  EXPECT_EQ(KXRC_TARGET_BUFFER_ERROR, channel_.reasonCode());
  EXPECT_EQ(nullFilled("x", kDataWidth), dataSlot(0));
  EXPECT_EQ(nullFilled("D1", kDataWidth), dataSlot(1));
  EXPECT_EQ(nullFilled("D2", kDataWidth), dataSlot(2));
}

TEST_P(KxlChlListTest, CopiesHaveArraysOfTheirOwn) {
  ASSERT_TRUE(setNames({"EXITA", "EXITB"}));
  ASSERT_TRUE(setData({"D0", "D1"}));
  auto copy = std::make_unique<Channel>(channel_);
  Channel assigned;
  assigned = channel_;
  for (const Channel *other : {copy.get(), &assigned}) {
    const tagKXCD *record = other->KXCD();
    const char *otherNames = nullptr;
    std::memcpy(&otherNames, reinterpret_cast<const char *>(record) + side().namesOffset, 8);
    EXPECT_NE(names(), otherNames);
    EXPECT_EQ(std::string(names(), 2 * kNameWidth), std::string(otherNames, 2 * kNameWidth));
  }
  ASSERT_TRUE(setNames({"CHANGED"}));
  copy.reset();
  EXPECT_EQ("EXITA", text((assigned.*side().exitName)()));
  EXPECT_EQ("D0", text((assigned.*side().userData)()));
  EXPECT_EQ("CHANGED", text((channel_.*side().exitName)()));
}

struct CompressionApi {
  const char *name;
  std::size_t offset;
  std::size_t slots;
  std::size_t (KxlChl::*count)() const;
  bool (KxlChl::*get)(std::size_t, std::int32_t *) const;
  bool (KxlChl::*set)(std::size_t, const std::int32_t *);
};

const CompressionApi kCompressionLists[] = {
    {"header", 1792, 2, &KxlChl::headerCompressionCount, &KxlChl::headerCompression,
     &KxlChl::setHeaderCompression},
    {"message", 1800, 16, &KxlChl::messageCompressionCount, &KxlChl::messageCompression,
     &KxlChl::setMessageCompression},
};

std::vector<std::int32_t> slotsAt(const Channel &channel, const CompressionApi &list) {
  std::vector<std::int32_t> values(list.slots);
  std::memcpy(values.data(), reinterpret_cast<const char *>(channel.KXCD()) + list.offset,
              list.slots * sizeof(std::int32_t));
  return values;
}

std::string recordBytes(const Channel &channel) {
  return std::string(reinterpret_cast<const char *>(channel.KXCD()), kRecordLength);
}

TEST(KxlChlCompressionTest, NewListsAreEmpty) {
  for (const CompressionApi &list : kCompressionLists) {
    SCOPED_TRACE(list.name);
    Channel channel;
    EXPECT_EQ(0u, (channel.*list.count)());
    std::vector<std::int32_t> out(list.slots, 5);
    EXPECT_TRUE((channel.*list.get)(list.slots, out.data()));
    EXPECT_EQ(std::vector<std::int32_t>(list.slots, -1), out);
  }
}

TEST(KxlChlCompressionTest, SettersStoreLeadingSlotsAndKeepTheRest) {
  for (const CompressionApi &list : kCompressionLists) {
    SCOPED_TRACE(list.name);
    Channel channel;
    const std::int32_t first[] = {1, -1};
    EXPECT_TRUE((channel.*list.set)(2, first));
    EXPECT_EQ(1u, (channel.*list.count)());
    std::vector<std::int32_t> expected(list.slots, -1);
    expected[0] = 1;
    EXPECT_EQ(expected, slotsAt(channel, list));

    // Fewer values leave the other slots as they were.
    const std::int32_t pair[] = {5, 6};
    const std::int32_t single[] = {9};
    EXPECT_TRUE((channel.*list.set)(2, pair));
    EXPECT_TRUE((channel.*list.set)(1, single));
    EXPECT_EQ(2u, (channel.*list.count)());
    expected[0] = 9;
    expected[1] = 6;
    EXPECT_EQ(expected, slotsAt(channel, list));

    // A -1 ends the count; the getter copies it and what follows.
    const std::int32_t gap[] = {-1, 7};
    EXPECT_TRUE((channel.*list.set)(2, gap));
    EXPECT_EQ(0u, (channel.*list.count)());
    std::int32_t out[2] = {0, 0};
    EXPECT_TRUE((channel.*list.get)(2, out));
    EXPECT_EQ(-1, out[0]);
    EXPECT_EQ(7, out[1]);

    // Only -1 marks an empty slot: other values, negative or 0, count.
    const std::int32_t notEmpty[] = {-2, 0};
    EXPECT_TRUE((channel.*list.set)(2, notEmpty));
    EXPECT_EQ(2u, (channel.*list.count)());

    // Count 0 and a null array change nothing.
    const std::string before = recordBytes(channel);
    EXPECT_TRUE((channel.*list.set)(0, single));
    EXPECT_TRUE((channel.*list.set)(2, nullptr));
    EXPECT_EQ(before, recordBytes(channel));
  }
  Channel channel;
  const std::int32_t three[] = {1, 2, 4};
  EXPECT_TRUE(channel.setMessageCompression(3, three));
  EXPECT_EQ(3u, channel.messageCompressionCount());
  EXPECT_EQ(0u, channel.headerCompressionCount());
}

TEST(KxlChlCompressionTest, CountsBeyondTheSlotsStopAtTheList) {
  for (const CompressionApi &list : kCompressionLists) {
    SCOPED_TRACE(list.name);
    Channel channel;
    std::vector<std::int32_t> values(list.slots + 4);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int32_t>(i + 10);
    const std::string before = recordBytes(channel);
    EXPECT_TRUE((channel.*list.set)(values.size(), values.data()));
    EXPECT_EQ(list.slots, (channel.*list.count)());
    const std::string after = recordBytes(channel);
    const std::size_t end = list.offset + list.slots * 4;
    EXPECT_EQ(before.substr(0, list.offset), after.substr(0, list.offset));
    EXPECT_EQ(before.substr(end), after.substr(end));

    std::vector<std::int32_t> out(list.slots + 4, 99);
    EXPECT_TRUE((channel.*list.get)(out.size(), out.data()));
    std::vector<std::int32_t> expected(values.begin(), values.begin() + list.slots);
    expected.insert(expected.end(), 4, 99);
    EXPECT_EQ(expected, out);

    // Count 1 writes one element only.
    std::int32_t single[2] = {77, 77};
    EXPECT_TRUE((channel.*list.get)(1, single));
    EXPECT_EQ(10, single[0]);
    EXPECT_EQ(77, single[1]);
    EXPECT_TRUE((channel.*list.get)(3, nullptr));
  }
}

}  // namespace
