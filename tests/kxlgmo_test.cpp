#include "kxlgmo.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "kxlgmo2.hpp"
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

std::string recordBytes(const KXGMO *record, std::size_t length) {
  return std::string(reinterpret_cast<const char *>(record), length);
}

std::string int32(std::int32_t value) {
  return std::string(reinterpret_cast<const char *>(&value), sizeof value);
}

// A new record of `length` (80 or 100) bytes with `version`.
std::string defaultRecord(std::size_t length, std::int32_t version) {
  const std::string record = "GMO " + int32(version) + std::string(64, '\0') + int32(3) + "    ";
  return length == 80 ? record : record + std::string(16, '\0') + int32(-1);
}

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

template <class Options>
class KxlGmoTest : public ::testing::Test {
 protected:
  static constexpr bool kCurrent = std::is_same<Options, KxlGmo3>::value;
  static constexpr std::size_t kLength = kCurrent ? 100 : 80;
  static constexpr std::int32_t kVersion = kCurrent ? 3 : 2;
};

using BothClasses = ::testing::Types<KxlGmo, KxlGmo3>;
struct ClassName {
  template <class Options>
  static std::string GetName(int) {
    return std::is_same<Options, KxlGmo>::value ? "KxlGmo" : "KxlGmo3";
  }
};
TYPED_TEST_SUITE(KxlGmoTest, BothClasses, ClassName);

TYPED_TEST(KxlGmoTest, NewRecordTakesTheVersionSupportedAtConstruction) {
  const std::size_t length = TestFixture::kLength;
  const std::int32_t version = TestFixture::kVersion;
  auto before = std::make_unique<TypeParam>();
  EXPECT_EQ(defaultRecord(length, version), recordBytes(before->record(), length));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(*before));
  EXPECT_FALSE(before->syncPointParticipation());

  Exposed<TypeParam>::setVersionSupported(static_cast<long>(INT64_C(0x100000001)));
  const TypeParam after;
  const TypeParam copyOfBefore(*before);
  TypeParam assigned;
  assigned = *before;
  const TypeParam copyOfAfter(after);
  Exposed<TypeParam>::setVersionSupported(version);
  EXPECT_EQ(defaultRecord(length, 1), recordBytes(after.record(), length));  // low 32 bits
  EXPECT_EQ(version, before->record()->version);
  EXPECT_EQ(version, copyOfBefore.record()->version);
  EXPECT_EQ(version, assigned.record()->version);
  EXPECT_EQ(1, copyOfAfter.record()->version);
  EXPECT_EQ(version, TypeParam().record()->version);
}

TYPED_TEST(KxlGmoTest, SyncPointParticipationBits) {
  // The options before; whether they read as taking part; the options after
  // setSyncPointParticipation(true) and after (false).
  struct Case {
    std::uint32_t before;
    bool reads;
    std::uint32_t afterTrue, afterFalse;
  };
  const Case cases[] = {{0x0, false, 0x2, 0x4},
                        {0x2, true, 0x2, 0x4},
                        {0x4, false, 0x2, 0x4},
                        {0x1000, true, 0x2, 0x4},
                        {0x1004, true, 0x2, 0x4},
                        {0x1002, true, 0x2, 0x4},
                        {0x1001, true, 0x3, 0x5},
                        {0x0ffd, false, 0x0ffb, 0x0ffd},
                        {0xffffffffu, true, 0xffffeffbu, 0xffffeffdu}};
  for (const Case &c : cases) {
    for (bool participate : {true, false}) {
      Exposed<TypeParam> options;
      options.writable()->options = static_cast<std::int32_t>(c.before);
      EXPECT_EQ(c.reads, options.syncPointParticipation()) << std::hex << c.before;
      options.setSyncPointParticipation(participate);
      EXPECT_EQ(participate ? c.afterTrue : c.afterFalse,
                static_cast<std::uint32_t>(options.record()->options))
          << std::hex << c.before << " " << participate;
      EXPECT_EQ(participate, options.syncPointParticipation());
    }
  }
}

TYPED_TEST(KxlGmoTest, ResolvedQueueNameStopsAtNullAndDropsTrailingBlanks) {
  const std::string cases[][2] = {{"QUEUE.A" + std::string(41, ' '), "QUEUE.A"},
                                  {std::string(48, 'Q'), std::string(48, 'Q')},
                                  {std::string("AB\0CD", 5), "AB"},
                                  {" X ", " X"}};
  for (const auto &c : cases) {
    Exposed<TypeParam> options;
    EXPECT_EQ("", text(options.resolvedQueueName()));
    std::memcpy(options.writable()->resolvedQueueName, c[0].data(), c[0].size());
    EXPECT_EQ(c[1], text(options.resolvedQueueName()));
  }
}

TYPED_TEST(KxlGmoTest, CopiesTakeTheCodesAndTheWholeRecord) {
  const std::size_t length = TestFixture::kLength;
  auto source = std::make_unique<Exposed<TypeParam>>();
  std::memset(source->writable(), 0x5a, length);
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const std::string snapshot = recordBytes(source->record(), length);
  TypeParam constructed(*source);
  TypeParam assigned;
  assigned = *source;
  source.reset();
  for (const TypeParam *copy : {&constructed, &assigned}) {
    EXPECT_EQ(snapshot, recordBytes(copy->record(), length));
    EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(*copy));
  }
  constructed.setSyncPointParticipation(true);
  const TypeParam &same = assigned;
  assigned = same;
  EXPECT_EQ(snapshot, recordBytes(assigned.record(), length));
}

TEST(KxlGmo3Test, MessageToken) {
  KxlGmo3 options;
  std::string expected = defaultRecord(100, 3);
  kxltest::TraceCapture trace;
  const std::string token = pattern(16, 1);
  EXPECT_TRUE(options.setMessageToken(KxlBin(token.data(), token.size())));
  expected.replace(80, 16, token);
  EXPECT_EQ(expected, recordBytes(options.record(), 100));
  for (std::size_t length : {1, 8, 15, 17}) {
    EXPECT_FALSE(options.setMessageToken(KxlBin(pattern(length).data(), length))) << length;
    EXPECT_EQ(expected, recordBytes(options.record(), 100));
  }
  EXPECT_EQ(kxltest::Texts(4, {64,
                               "KxlGetMessageOptions::setMessageToken (error): binary data "
                               "length error"}),
            kxltest::textsOf(trace));
  // An empty byte string zeroes the token; the codes of the failures stay.
  EXPECT_TRUE(options.setMessageToken(KxlBin()));
  EXPECT_EQ(defaultRecord(100, 3), recordBytes(options.record(), 100));
  EXPECT_EQ(Codes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR), codesOf(options));
  std::vector<std::int32_t> exits(6, KXRC_BINARY_DATA_LENGTH_ERROR);
  exits[0] = KXRC_NONE;
  EXPECT_EQ(exits, trace.exitValues(64));
  // The pointer form takes 16 bytes from a longer source, or zeroes for
  // null; it is not traced.
  trace.clear();
  options.setMessageToken(reinterpret_cast<const unsigned char *>(pattern(20, 3).data()));
  const KxlBin read = options.messageToken();
  EXPECT_EQ(pattern(16, 3), std::string(reinterpret_cast<const char *>(read.dataPointer()), 16));
  options.setMessageToken(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(defaultRecord(100, 3), recordBytes(options.record(), 100));
  EXPECT_EQ(0, trace.entries(64));
}

}  // namespace
