// The get-message options of both layouts (80 and 100 bytes): new records
// with the supported version, copies, the sync-point bits, the resolved
// queue name and the message token.

#include "kxlgmo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "kxlgmo2.hpp"
#include "kxlhdrtest.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using kxltest::pattern;

// Reaches the protected members a test needs.
template <class Options>
class Exposed : public Options {
 public:
  using Options::setVersionSupported;
  void setCodes(long completion, long reason) { this->setErrorCodes(completion, reason); }
  // The code that gets messages writes the record; tests stand in for it.
  KXGMO *writable() { return const_cast<KXGMO *>(this->record()); }
};

std::string int32(std::int32_t value) {
  return std::string(reinterpret_cast<const char *>(&value), sizeof value);
}

// A new record of `length` (80 or 100) bytes with `version`.
std::string defaultRecord(std::size_t length, std::int32_t version) {
  const std::string record = "GMO " + int32(version) + std::string(64, '\0') + int32(3) + "    ";
  return length == 80 ? record : record + std::string(16, '\0') + int32(-1);
}

// The bytes of the options' layout: 100 for KxlGmo3, 80 for KxlGmo.
template <class Options>
std::string bytesOf(const Options &options) {
  const std::size_t length = std::is_base_of<KxlGmo3, Options>::value ? 100 : 80;
  return std::string(reinterpret_cast<const char *>(options.record()), length);
}

template <class Options>
class KxlGmoTest : public ::testing::Test {};
using BothClasses = ::testing::Types<KxlGmo, KxlGmo3>;
struct ClassName {
  template <class Options>
  static std::string GetName(int) {
    return std::is_same<Options, KxlGmo>::value ? "KxlGmo" : "KxlGmo3";
  }
};
TYPED_TEST_SUITE(KxlGmoTest, BothClasses, ClassName);

TYPED_TEST(KxlGmoTest, NewRecordsTakeTheSupportedVersionAndCopiesTakeEverything) {
  const bool current = std::is_same<TypeParam, KxlGmo3>::value;
  const std::size_t length = current ? 100 : 80;
  const std::int32_t version = current ? 3 : 2;
  auto source = std::make_unique<Exposed<TypeParam>>();
  EXPECT_EQ(defaultRecord(length, version), bytesOf(*source));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(*source));
  std::memset(source->writable(), 0x5a, length);  // a version of its own
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const std::string snapshot = bytesOf(*source);
  Exposed<TypeParam>::setVersionSupported(static_cast<long>(INT64_C(0x100000001)));
  const TypeParam after;
  TypeParam constructed(*source);
  TypeParam assigned;
  assigned = *source;
  Exposed<TypeParam>::setVersionSupported(version);
  source.reset();
  EXPECT_EQ(defaultRecord(length, 1), bytesOf(after));  // low 32 bits
  EXPECT_EQ(defaultRecord(length, 1), bytesOf(TypeParam(after)));
  EXPECT_EQ(defaultRecord(length, version), bytesOf(TypeParam()));
  for (const TypeParam *copy : {&constructed, &assigned}) {
    EXPECT_EQ(snapshot, bytesOf(*copy));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(*copy));
  }
  const TypeParam &same = assigned;
  assigned = same;
  EXPECT_EQ(snapshot, bytesOf(assigned));
}

TYPED_TEST(KxlGmoTest, SyncPointParticipationBits) {
  // The options before; whether they read as taking part; the options after
  // setSyncPointParticipation(true) and after (false).
  const std::uint32_t cases[][4] = {
      {0x0, false, 0x2, 0x4},          {0x2, true, 0x2, 0x4},
      {0x1000, true, 0x2, 0x4},        {0x1001, true, 0x3, 0x5},
      {0x0ffd, false, 0x0ffb, 0x0ffd}, {0xffffffffu, true, 0xffffeffbu, 0xffffeffdu}};
  for (const auto &c : cases) {
    for (bool participate : {true, false}) {
      SCOPED_TRACE(testing::Message() << std::hex << c[0] << " " << participate);
      Exposed<TypeParam> options;
      options.writable()->options = static_cast<std::int32_t>(c[0]);
      EXPECT_EQ(c[1] != 0, options.syncPointParticipation());
      options.setSyncPointParticipation(participate);
      EXPECT_EQ(c[participate ? 2 : 3], static_cast<std::uint32_t>(options.record()->options));
      EXPECT_EQ(participate, options.syncPointParticipation());
    }
  }
}

TYPED_TEST(KxlGmoTest, ResolvedQueueNameStopsAtNullAndDropsTrailingBlanks) {
  const std::string cases[][2] = {{"QUEUE.A" + std::string(41, ' '), "QUEUE.A"},
                                  {std::string(48, 'Q'), std::string(48, 'Q')},
                                  {std::string("AB\0CD", 5), "AB"},
                                  {" X ", " X"},
                                  {"", ""}};
  for (const auto &c : cases) {
    Exposed<TypeParam> options;
    std::memcpy(options.writable()->resolvedQueueName, c[0].data(), c[0].size());
    const KxlStr name = options.resolvedQueueName();
    const char *chars = name;
    EXPECT_EQ(c[1], chars == nullptr ? "" : chars) << c[0];
  }
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
  EXPECT_EQ(defaultRecord(100, 3).replace(80, 16, token), bytesOf(options));
}

}  // namespace
