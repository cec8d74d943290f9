#include "kxlchl.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxltest.hpp"

namespace {

constexpr std::size_t kRecordLength = 1888;
constexpr unsigned short kCopyFunction = 43;
const char kTruncatedText[] = "static KxlString::copy (warning): string truncated";
const char kTargetText[] = "KxlString::copy (error): target buffer error";
const char kSourceText[] = "KxlString::copy (error): source buffer error";

// Reaches the record through the protected accessor.
class Channel : public KxlChl {
 public:
  using KxlChl::KXCD;
};

using Image = std::vector<unsigned char>;

Image image(const Channel &channel) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(channel.KXCD());
  return Image(bytes, bytes + kRecordLength);
}

std::int32_t int32At(const Image &bytes, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, &bytes[offset], sizeof value);
  return value;
}

void putInt32(Image &bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(&bytes[offset], &value, sizeof value);
}

std::string bytesAt(const Image &bytes, std::size_t offset, std::size_t width) {
  return std::string(reinterpret_cast<const char *>(&bytes[offset]), width);
}

// The first offset at which the images differ outside [begin, end), or -1.
long differenceOutside(const Image &a, const Image &b, std::size_t begin = 0, std::size_t end = 0) {
  for (std::size_t i = 0; i < kRecordLength; ++i) {
    if ((i < begin || i >= end) && a[i] != b[i]) return static_cast<long>(i);
  }
  return -1;
}

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

// `length` characters cycling through the alphabet, so a cut at the wrong
// place shows.
std::string pattern(std::size_t length) {
  std::string result;
  for (std::size_t i = 0; i < length; ++i) result += static_cast<char>('a' + i % 26);
  return result;
}

std::string nullFilled(const std::string &value, std::size_t width) {
  return value + std::string(width - value.size(), '\0');
}

// Every non-zero int32 of a new record; all other bytes are zero.
struct IntDefault {
  std::size_t offset;
  std::int32_t value;
};

const IntDefault kIntDefaults[] = {
    {20, 8},     {24, 1},          {28, 1},      {304, 50},        {308, 6000},    {312, 10},
    {316, 60},   {320, 999999999}, {324, 1200},  {840, 999999999}, {844, 4194304}, {848, 1},
    {1020, 1},   {1472, 10},       {1476, 1000}, {1480, 300},      {1488, 2},      {1492, 1888},
    {1496, 128}, {1500, 32},       {1736, -1},   {1872, 50},
};

Image defaultImage() {
  Image bytes(kRecordLength, 0);
  for (const IntDefault &field : kIntDefaults) putInt32(bytes, field.offset, field.value);
  for (std::size_t slot = 0; slot < 18; ++slot) putInt32(bytes, 1792 + 4 * slot, -1);
  return bytes;
}

struct IntField {
  const char *name;
  std::size_t offset;
  long (KxlChl::*get)() const;
  bool (KxlChl::*set)(long);
  long initial;
};

const IntField kIntFields[] = {
    {"batchHeartBeat", 1788, &KxlChl::batchHeartBeat, &KxlChl::setBatchHeartBeat, 0},
    {"heartBeatInterval", 1480, &KxlChl::heartBeatInterval, &KxlChl::setHeartBeatInterval, 300},
    {"keepAliveInterval", 1736, &KxlChl::keepAliveInterval, &KxlChl::setKeepAliveInterval, -1},
    {"maximumMessageLength", 844, &KxlChl::maximumMessageLength, &KxlChl::setMaximumMessageLength,
     4194304},
    {"sslClientAuthentication", 1732, &KxlChl::sslClientAuthentication,
     &KxlChl::setSslClientAuthentication, 0},
    {"transportType", 28, &KxlChl::transportType, &KxlChl::setTransportType, 1},
};

// A text field; the connection name's setter also writes a mirror field.
struct TextField {
  const char *name;
  std::size_t offset;
  std::size_t width;
  KxlStr (KxlChl::*get)() const;
  bool (KxlChl::*set)(const char *);
  std::size_t mirrorOffset;
  std::size_t mirrorWidth;
};

const TextField kTextFields[] = {
    {"channelName", 0, 20, &KxlChl::channelName, &KxlChl::setChannelName, 0, 0},
    {"connectionName", 1024, 264, &KxlChl::connectionName, &KxlChl::setConnectionName, 192, 20},
    {"localAddress", 1740, 48, &KxlChl::localAddress, &KxlChl::setLocalAddress, 0, 0},
    {"modeName", 232, 8, &KxlChl::modeName, &KxlChl::setModeName, 0, 0},
    {"password", 996, 12, &KxlChl::password, &KxlChl::setPassword, 0, 0},
    {"securityExitName", 328, 128, &KxlChl::securityExitName, &KxlChl::setSecurityExitName, 0, 0},
    {"securityUserData", 856, 32, &KxlChl::securityUserData, &KxlChl::setSecurityUserData, 0, 0},
    {"sslCipherSpecification", 1688, 32, &KxlChl::sslCipherSpecification,
     &KxlChl::setSslCipherSpecification, 0, 0},
    {"transactionProgramName", 240, 64, &KxlChl::transactionProgramName,
     &KxlChl::setTransactionProgramName, 0, 0},
    {"userId", 984, 12, &KxlChl::userId, &KxlChl::setUserId, 0, 0},
};

// What a text setter leaves in its field (and mirror): the text cut to the
// width, null filled.
Image afterTextSet(Image bytes, const TextField &field, const std::string &value) {
  auto put = [&](std::size_t offset, std::size_t width) {
    const std::string cut = value.substr(0, width);
    std::memset(&bytes[offset], 0, width);
    std::memcpy(&bytes[offset], cut.data(), cut.size());
  };
  if (field.mirrorWidth > 0) put(field.mirrorOffset, field.mirrorWidth);
  put(field.offset, field.width);
  return bytes;
}

TEST(KxlChlTest, NewChannelHoldsEveryDefaultAndNothingElse) {
  Channel channel;
  EXPECT_EQ(-1, differenceOutside(defaultImage(), image(channel)));
  EXPECT_EQ(KXCC_OK, channel.completionCode());
  EXPECT_EQ(KXRC_NONE, channel.reasonCode());
  for (const IntField &field : kIntFields) {
    EXPECT_EQ(field.initial, (channel.*field.get)()) << field.name;
  }
  for (const TextField &field : kTextFields) {
    EXPECT_EQ("", text((channel.*field.get)())) << field.name;
  }
  EXPECT_EQ("", text(channel.sslPeerName()));
}

TEST(KxlChlTest, IntegerSettersKeepTheLow32BitsAtTheirOffset) {
  struct Case {
    long value;
    std::int32_t stored;
  };
  const Case cases[] = {{0x12345678L, 0x12345678}, {-7, -7}, {0x180000001L, -2147483647}};
  for (const IntField &field : kIntFields) {
    for (const Case &c : cases) {
      Channel channel;
      const Image before = image(channel);
      EXPECT_TRUE((channel.*field.set)(c.value)) << field.name;
      const Image after = image(channel);
      EXPECT_EQ(c.stored, int32At(after, field.offset)) << field.name;
      EXPECT_EQ(-1, differenceOutside(before, after, field.offset, field.offset + 4)) << field.name;
      EXPECT_EQ(static_cast<long>(c.stored), (channel.*field.get)()) << field.name;
      EXPECT_EQ(KXRC_NONE, channel.reasonCode()) << field.name;
    }
  }
}

TEST(KxlChlTest, TextSettersFillWithNullsAndGettersStripBlanks) {
  for (const TextField &field : kTextFields) {
    SCOPED_TRACE(field.name);
    Channel channel;
    // A text that fills the field has no terminator.
    const std::string full = pattern(field.width);
    Image expected = afterTextSet(image(channel), field, full);
    EXPECT_TRUE((channel.*field.set)(full.c_str()));
    EXPECT_EQ(-1, differenceOutside(expected, image(channel)));
    EXPECT_EQ(full, text((channel.*field.get)()));
    // Only the connection name's 20-character mirror cuts it.
    EXPECT_EQ(field.mirrorWidth > 0 ? KXRC_DATA_TRUNCATED : KXRC_NONE, channel.reasonCode());
    channel.clearErrorCodes();

    // A shorter one replaces it, the rest null bytes; blanks inside stay.
    expected = afterTextSet(image(channel), field, "A B");
    EXPECT_TRUE((channel.*field.set)("A B"));
    EXPECT_EQ(-1, differenceOutside(expected, image(channel)));
    EXPECT_EQ("A B", text((channel.*field.get)()));

    // Trailing blanks are stored but not read back.
    expected = afterTextSet(image(channel), field, "AB  ");
    EXPECT_TRUE((channel.*field.set)("AB  "));
    EXPECT_EQ(-1, differenceOutside(expected, image(channel)));
    EXPECT_EQ("AB", text((channel.*field.get)()));

    // A null pointer is the empty text.
    expected = afterTextSet(image(channel), field, "");
    EXPECT_TRUE((channel.*field.set)(nullptr));
    EXPECT_EQ(-1, differenceOutside(expected, image(channel)));
    EXPECT_EQ("", text((channel.*field.get)()));
    EXPECT_EQ(KXCC_OK, channel.completionCode());
    EXPECT_EQ(KXRC_NONE, channel.reasonCode());
  }
}

TEST(KxlChlTest, BlankFilledFieldsReadLikeNullFilledOnes) {
  for (const TextField &field : kTextFields) {
    SCOPED_TRACE(field.name);
    Channel channel;
    char *bytes = reinterpret_cast<char *>(channel.KXCD()) + field.offset;
    std::memset(bytes, ' ', field.width);
    EXPECT_EQ("", text((channel.*field.get)()));
    std::memcpy(bytes, "AB", 2);
    EXPECT_EQ("AB", text((channel.*field.get)()));
    std::memset(bytes + 2, '\0', field.width - 2);
    EXPECT_EQ("AB", text((channel.*field.get)()));
  }
}

TEST(KxlChlTest, OverlongTextIsCutWithAWarningAndTrue) {
  for (const TextField &field : kTextFields) {
    SCOPED_TRACE(field.name);
    Channel channel;
    kxltest::TraceCapture trace;
    const std::string longText = pattern(field.width + 5);
    const Image expected = afterTextSet(image(channel), field, longText);
    EXPECT_TRUE((channel.*field.set)(longText.c_str()));
    EXPECT_EQ(-1, differenceOutside(expected, image(channel)));
    EXPECT_EQ(longText.substr(0, field.width), text((channel.*field.get)()));
    EXPECT_EQ(KXCC_WARNING, channel.completionCode());
    EXPECT_EQ(KXRC_DATA_TRUNCATED, channel.reasonCode());
    EXPECT_TRUE(trace.sawText(kCopyFunction, kTruncatedText));

    // The warning stays through a later clean write.
    EXPECT_TRUE((channel.*field.set)("x"));
    EXPECT_EQ(KXRC_DATA_TRUNCATED, channel.reasonCode());
  }
}

TEST(KxlChlTest, RefusedFieldOrTextFailsWithTheFieldUnchanged) {
  for (const TextField &field : kTextFields) {
    SCOPED_TRACE(field.name);
    Channel channel;
    ASSERT_TRUE((channel.*field.set)("before"));
    const Image before = image(channel);
    kxltest::TraceCapture trace;
    {
      kxltest::PointerRefusal refusal(reinterpret_cast<char *>(channel.KXCD()) + field.offset,
                                      field.width, kxltest::PointerRefusal::kWrite);
      EXPECT_FALSE((channel.*field.set)("after"));
    }
    EXPECT_EQ("before", bytesAt(image(channel), field.offset, 6));
    EXPECT_EQ(KXCC_FAILED, channel.completionCode());
    EXPECT_EQ(KXRC_TARGET_BUFFER_ERROR, channel.reasonCode());
    EXPECT_TRUE(trace.sawText(kCopyFunction, kTargetText));

    // A refused text changes nothing at all, the mirror included.
    Channel other;
    const Image untouched = image(other);
    const std::string value = "after";
    {
      kxltest::PointerRefusal refusal(value.c_str(), 1, kxltest::PointerRefusal::kRead);
      EXPECT_FALSE((other.*field.set)(value.c_str()));
    }
    EXPECT_EQ(-1, differenceOutside(untouched, image(other)));
    EXPECT_EQ(KXCC_FAILED, other.completionCode());
    EXPECT_EQ(KXRC_SOURCE_BUFFER_ERROR, other.reasonCode());
    EXPECT_TRUE(trace.sawText(kCopyFunction, kSourceText));
  }
}

TEST(KxlChlTest, ConnectionNameWritesTheShortFieldFirst) {
  const std::string name = pattern(30);
  Channel channel;
  EXPECT_TRUE(channel.setConnectionName(name.c_str()));
  EXPECT_EQ(name, text(channel.connectionName()));
  EXPECT_EQ(name.substr(0, 20), bytesAt(image(channel), 192, 20));
  EXPECT_EQ(KXCC_WARNING, channel.completionCode());
  EXPECT_EQ(KXRC_DATA_TRUNCATED, channel.reasonCode());

  // A refused short field stops before the long one is written.
  Channel refusedShort;
  {
    kxltest::PointerRefusal refusal(reinterpret_cast<char *>(refusedShort.KXCD()) + 192, 20,
                                    kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(refusedShort.setConnectionName("host"));
  }
  EXPECT_EQ(-1, differenceOutside(defaultImage(), image(refusedShort)));
  EXPECT_EQ(KXRC_TARGET_BUFFER_ERROR, refusedShort.reasonCode());

  // A refused long field leaves the short one written.
  Channel refusedLong;
  {
    kxltest::PointerRefusal refusal(reinterpret_cast<char *>(refusedLong.KXCD()) + 1024, 264,
                                    kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(refusedLong.setConnectionName("host"));
  }
  EXPECT_EQ(nullFilled("host", 20), bytesAt(image(refusedLong), 192, 20));
  EXPECT_EQ("", text(refusedLong.connectionName()));
  EXPECT_EQ(KXRC_TARGET_BUFFER_ERROR, refusedLong.reasonCode());
}

std::string storedPeerName(const Channel &channel) {
  const tagKXCD *record = channel.KXCD();
  if (record->sslPeerName == nullptr) return "<none>";
  return std::string(record->sslPeerName, static_cast<std::size_t>(record->sslPeerNameLength));
}

TEST(KxlChlTest, PeerNameIsStoredWithExactlyItsLength) {
  Channel channel;
  EXPECT_TRUE(channel.setSslPeerName("CN=first,O=one"));
  EXPECT_TRUE(channel.setSslPeerName("CN=x  "));
  EXPECT_EQ("CN=x  ", storedPeerName(channel));
  EXPECT_EQ(6, int32At(image(channel), 1728));
  EXPECT_EQ("CN=x", text(channel.sslPeerName()));

  const std::string longName = pattern(5000);
  EXPECT_TRUE(channel.setSslPeerName(longName.c_str()));
  EXPECT_EQ(longName, text(channel.sslPeerName()));
  EXPECT_EQ(KXRC_NONE, channel.reasonCode());

  // The getter stops at a null byte inside the stored name.
  ASSERT_TRUE(channel.setSslPeerName("ab cd"));
  channel.KXCD()->sslPeerName[2] = '\0';
  EXPECT_EQ("ab", text(channel.sslPeerName()));
}

TEST(KxlChlTest, NullOrEmptyPeerNameRemovesIt) {
  for (const char *empty : {static_cast<const char *>(nullptr), ""}) {
    Channel channel;
    ASSERT_TRUE(channel.setSslPeerName("CN=peer"));
    EXPECT_TRUE(channel.setSslPeerName(empty));
    EXPECT_EQ(nullptr, channel.KXCD()->sslPeerName);
    EXPECT_EQ(0, channel.KXCD()->sslPeerNameLength);
    EXPECT_EQ("", text(channel.sslPeerName()));
    EXPECT_EQ(KXRC_NONE, channel.reasonCode());
  }
}

TEST(KxlChlTest, RefusedPeerNameKeepsThePreviousOne) {
  Channel channel;
  ASSERT_TRUE(channel.setSslPeerName("CN=kept"));
  kxltest::TraceCapture trace;
  const std::string value = "CN=refused";
  {
    kxltest::PointerRefusal refusal(value.c_str(), 1, kxltest::PointerRefusal::kRead);
    EXPECT_FALSE(channel.setSslPeerName(value.c_str()));
  }
  EXPECT_EQ("CN=kept", storedPeerName(channel));
  EXPECT_EQ(KXCC_FAILED, channel.completionCode());
  EXPECT_EQ(KXRC_SOURCE_BUFFER_ERROR, channel.reasonCode());
  EXPECT_TRUE(trace.sawText(kCopyFunction, kSourceText));
}

// A channel with every kind of owned storage and non-default fields.
void fill(Channel &channel, const std::string &tag) {
  const std::string sendA = tag + "sendA", sendB = tag + "sendB", receive = tag + "receive";
  const char *sendNames[] = {sendA.c_str(), sendB.c_str()};
  const char *receiveNames[] = {receive.c_str()};
  const char *sendData[] = {"d0", "d1"};
  const std::int32_t header[] = {7, 8};
  ASSERT_TRUE(channel.setChannelName((tag + "CHANNEL").c_str()));
  ASSERT_TRUE(channel.setTransportType(4));
  ASSERT_TRUE(channel.setSendExitNames(2, sendNames));
  ASSERT_TRUE(channel.setSendUserData(2, sendData));
  ASSERT_TRUE(channel.setReceiveExitNames(1, receiveNames));
  ASSERT_TRUE(channel.setReceiveUserData("r0"));
  ASSERT_TRUE(channel.setSslPeerName((tag + "CN=peer").c_str()));
  ASSERT_TRUE(channel.setHeaderCompression(2, header));
}

// Reads everything `fill` stored through the getters.
void expectFilled(Channel &channel, const std::string &tag) {
  EXPECT_EQ(tag + "CHANNEL", text(channel.channelName()));
  EXPECT_EQ(4, channel.transportType());
  KxlStr name0, name1, data0, data1;
  KxlStr *names[] = {&name0, &name1};
  KxlStr *data[] = {&data0, &data1};
  ASSERT_EQ(2u, channel.sendExitCount());
  EXPECT_TRUE(channel.sendExitNames(2, names));
  EXPECT_TRUE(channel.sendUserData(2, data));
  EXPECT_EQ(tag + "sendA", text(name0));
  EXPECT_EQ(tag + "sendB", text(name1));
  EXPECT_EQ("d0", text(data0));
  EXPECT_EQ("d1", text(data1));
  ASSERT_EQ(1u, channel.receiveExitCount());
  EXPECT_EQ(tag + "receive", text(channel.receiveExitName()));
  EXPECT_EQ("r0", text(channel.receiveUserData()));
  EXPECT_EQ(tag + "CN=peer", text(channel.sslPeerName()));
  EXPECT_EQ(2u, channel.headerCompressionCount());
}

// The copy's record equals the source's but for the owned pointers, which
// point to storage of its own.
void expectDeepCopy(const Channel &copy, const Channel &source) {
  const std::size_t listPointers = 1536, listPointersEnd = 1568;
  const std::size_t peerPointer = 1720;
  Image a = image(copy), b = image(source);
  std::memset(&a[peerPointer], 0, 8);
  std::memset(&b[peerPointer], 0, 8);
  EXPECT_EQ(-1, differenceOutside(a, b, listPointers, listPointersEnd));
  const tagKXCD *c = copy.KXCD();
  const tagKXCD *s = source.KXCD();
  for (auto pointer : {&tagKXCD::sendExitNames, &tagKXCD::sendUserData, &tagKXCD::receiveExitNames,
                       &tagKXCD::receiveUserData, &tagKXCD::sslPeerName}) {
    EXPECT_TRUE(c->*pointer == nullptr || c->*pointer != s->*pointer);
    EXPECT_EQ(c->*pointer == nullptr, s->*pointer == nullptr);
  }
  EXPECT_EQ(0, std::memcmp(c->sendExitNames, s->sendExitNames, 2 * 128));
  EXPECT_EQ(0, std::memcmp(c->sendUserData, s->sendUserData, 2 * 32));
  EXPECT_EQ(0, std::memcmp(c->receiveExitNames, s->receiveExitNames, 128));
  EXPECT_EQ(0, std::memcmp(c->receiveUserData, s->receiveUserData, 32));
}

TEST(KxlChlTest, CopyConstructionOutlivesTheSource) {
  auto source = std::make_unique<Channel>();
  fill(*source, "s");
  ASSERT_TRUE(source->setChannelName(pattern(25).c_str()));  // leaves 1/6115
  ASSERT_TRUE(source->setChannelName("sCHANNEL"));
  Channel copy(*source);
  expectDeepCopy(copy, *source);
  EXPECT_EQ(KXCC_WARNING, copy.completionCode());
  EXPECT_EQ(KXRC_DATA_TRUNCATED, copy.reasonCode());
  source.reset();
  expectFilled(copy, "s");
}

TEST(KxlChlTest, AssignmentReplacesEverythingAndSharesNothing) {
  auto source = std::make_unique<Channel>();
  fill(*source, "s");
  Channel target;
  const char *three[] = {"t1", "t2", "t3"};
  ASSERT_TRUE(target.setSendExitNames(3, three));
  ASSERT_TRUE(target.setSslPeerName(pattern(300).c_str()));
  {
    kxltest::PointerRefusal refusal(target.KXCD()->channelName, 20,
                                    kxltest::PointerRefusal::kWrite);
    ASSERT_FALSE(target.setChannelName("x"));
  }

  target = *source;
  expectDeepCopy(target, *source);
  EXPECT_EQ(KXCC_OK, target.completionCode());
  EXPECT_EQ(KXRC_NONE, target.reasonCode());

  // Changing the source leaves the target alone; then the source goes.
  const char *other[] = {"changed"};
  ASSERT_TRUE(source->setSendExitNames(1, other));
  ASSERT_TRUE(source->setReceiveExitName(nullptr));
  ASSERT_TRUE(source->setSslPeerName("CN=changed"));
  expectFilled(target, "s");
  source.reset();
  expectFilled(target, "s");

  // And the other way round: the target goes first.
  auto second = std::make_unique<Channel>();
  *second = target;
  Channel survivor;
  survivor = *second;
  second.reset();
  expectFilled(survivor, "s");
}

TEST(KxlChlTest, AssigningANewChannelEmptiesEverything) {
  Channel target;
  fill(target, "t");
  const Channel empty;
  target = empty;
  EXPECT_EQ(-1, differenceOutside(defaultImage(), image(target)));
  EXPECT_EQ("", text(target.sslPeerName()));
  EXPECT_EQ(0u, target.sendExitCount());
  EXPECT_EQ(0u, target.receiveExitCount());
}

TEST(KxlChlTest, SelfAssignmentChangesNothing) {
  Channel channel;
  fill(channel, "c");
  ASSERT_TRUE(channel.setModeName("LONGERTHAN8"));  // leaves 1/6115
  const Image before = image(channel);
  const Channel &alias = channel;
  channel = alias;
  EXPECT_EQ(-1, differenceOutside(before, image(channel)));
  EXPECT_EQ(KXRC_DATA_TRUNCATED, channel.reasonCode());
  expectFilled(channel, "c");
}

}  // namespace
