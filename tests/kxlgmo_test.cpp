#include "kxlgmo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "kxlgmo2.hpp"
#include "kxltest.hpp"

namespace {

using Bytes = std::vector<unsigned char>;

const char kTokenText[] = "KxlGetMessageOptions::setMessageToken (error): binary data length error";

template <class Options>
struct Traits;

template <>
struct Traits<KxlGmo> {
  static constexpr std::size_t kLength = 80;
  static constexpr std::int32_t kDefaultVersion = 2;
};

template <>
struct Traits<KxlGmo3> {
  static constexpr std::size_t kLength = 100;
  static constexpr std::int32_t kDefaultVersion = 3;
};

// Reaches the protected members a test needs.
template <class Options>
class Exposed : public Options {
 public:
  using Options::setVersionSupported;
  void setCodes(long completion, long reason) { this->setErrorCodes(completion, reason); }
};

// Sets a class's supported version for its lifetime and then puts back the
// one that was in force.
template <class Options>
class VersionOverride {
 public:
  explicit VersionOverride(long version) : saved_(Options().record()->version) {
    Exposed<Options>::setVersionSupported(version);
  }
  ~VersionOverride() { Exposed<Options>::setVersionSupported(saved_); }

 private:
  long saved_;
};

Bytes recordBytes(const KXGMO *record, std::size_t length) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(record);
  return Bytes(bytes, bytes + length);
}

// The code that gets messages fills the record; tests stand in for it.
template <class Options>
KXGMO *writable(Options &options) {
  return const_cast<KXGMO *>(options.record());
}

void putInt32(Bytes &bytes, std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<unsigned char>(bits >> (8 * i));
}

std::int32_t optionsOf(const KXGMO *record) {
  std::int32_t value;
  std::memcpy(&value, reinterpret_cast<const unsigned char *>(record) + 8, sizeof value);
  return value;
}

void setOptions(KXGMO *record, std::int32_t value) {
  std::memcpy(reinterpret_cast<unsigned char *>(record) + 8, &value, sizeof value);
}

// The default record, laid out by offsets.
Bytes defaultRecord(std::size_t length, std::int32_t version) {
  Bytes bytes(length, 0);
  std::memcpy(&bytes[0], "GMO ", 4);
  putInt32(bytes, 4, version);
  putInt32(bytes, 72, 3);
  std::memcpy(&bytes[76], "    ", 4);
  if (length == 100) putInt32(bytes, 96, -1);
  return bytes;
}

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

template <class Options>
class KxlGmoCommonTest : public ::testing::Test {};

using BothClasses = ::testing::Types<KxlGmo, KxlGmo3>;
struct ClassName {
  template <class Options>
  static std::string GetName(int) {
    return std::is_same<Options, KxlGmo>::value ? "KxlGmo" : "KxlGmo3";
  }
};
TYPED_TEST_SUITE(KxlGmoCommonTest, BothClasses, ClassName);

TYPED_TEST(KxlGmoCommonTest, DefaultRecordAtItsOffsets) {
  const TypeParam options;
  const std::size_t length = Traits<TypeParam>::kLength;
  EXPECT_EQ(recordBytes(options.record(), length),
            defaultRecord(length, Traits<TypeParam>::kDefaultVersion));
  EXPECT_EQ(options.completionCode(), 0);
  EXPECT_EQ(options.reasonCode(), 0);
  EXPECT_FALSE(options.syncPointParticipation());
  EXPECT_EQ(text(options.resolvedQueueName()), "");
}

TYPED_TEST(KxlGmoCommonTest, SyncPointSettersTouchOnlyTheirBits) {
  struct Case {
    std::uint32_t before;
    bool participate;
    std::uint32_t after;
  };
  const Case cases[] = {
      {0x0, true, 0x2},
      {0x0, false, 0x4},
      {0x1004, true, 0x2},
      {0x1002, false, 0x4},
      {0x6, true, 0x2},
      {0x1001, true, 0x3},
      {0x1001, false, 0x5},
      {0xffffffffu, true, 0xffffeffbu},
      {0xffffffffu, false, 0xffffeffdu},
  };
  for (const Case &c : cases) {
    TypeParam options;
    setOptions(writable(options), static_cast<std::int32_t>(c.before));
    options.setSyncPointParticipation(c.participate);
    EXPECT_EQ(static_cast<std::uint32_t>(optionsOf(options.record())), c.after)
        << std::hex << c.before << " " << c.participate;
    EXPECT_EQ(options.syncPointParticipation(), c.participate);
  }
}

TYPED_TEST(KxlGmoCommonTest, SyncPointParticipationReadsTwoBits) {
  struct Case {
    std::int32_t options;
    bool participates;
  };
  const Case cases[] = {{0x0, false}, {0x2, true},     {0x1000, true}, {0x4, false},
                        {0x1, false}, {0x1004, true},  {0x6, true},    {0x0ffd, false},
                        {-7, true},   {-0x1003, false}};
  for (const Case &c : cases) {
    TypeParam options;
    setOptions(writable(options), c.options);
    EXPECT_EQ(options.syncPointParticipation(), c.participates) << std::hex << c.options;
  }
}

TYPED_TEST(KxlGmoCommonTest, ResolvedQueueName) {
  struct Case {
    std::string field;
    std::string read;
  };
  const Case cases[] = {
      {"QUEUE.A" + std::string(41, ' '), "QUEUE.A"},
      {std::string(48, 'Q'), std::string(48, 'Q')},
      {std::string("AB\0CD", 5), "AB"},
      {"  X  ", "  X"},
  };
  for (const Case &c : cases) {
    TypeParam options;
    std::memcpy(writable(options)->resolvedQueueName, c.field.data(), c.field.size());
    EXPECT_EQ(text(options.resolvedQueueName()), c.read);
  }
}

TYPED_TEST(KxlGmoCommonTest, VersionSupportedReachesOnlyLaterObjects) {
  using Layout = Traits<TypeParam>;
  auto before = std::make_unique<TypeParam>();
  {
    VersionOverride<TypeParam> override(1);
    const TypeParam after;
    const TypeParam copyOfBefore(*before);
    TypeParam assignedFromBefore;
    assignedFromBefore = *before;
    const TypeParam copyOfAfter(after);

    EXPECT_EQ(before->record()->version, Layout::kDefaultVersion);
    EXPECT_EQ(after.record()->version, 1);
    EXPECT_EQ(copyOfBefore.record()->version, Layout::kDefaultVersion);
    EXPECT_EQ(assignedFromBefore.record()->version, Layout::kDefaultVersion);
    EXPECT_EQ(copyOfAfter.record()->version, 1);
    // Apart from the version a new object still has the default record.
    EXPECT_EQ(recordBytes(after.record(), Layout::kLength), defaultRecord(Layout::kLength, 1));
  }
  {
    // Only the low 32 bits are kept.
    VersionOverride<TypeParam> override(static_cast<long>(0x100000005LL));
    EXPECT_EQ(TypeParam().record()->version, 5);
  }
  EXPECT_EQ(TypeParam().record()->version, Layout::kDefaultVersion);
}

TYPED_TEST(KxlGmoCommonTest, AssignmentCopiesCodesAndRecord) {
  using Layout = Traits<TypeParam>;
  auto source = std::make_unique<Exposed<TypeParam>>();
  source->setSyncPointParticipation(true);
  std::memcpy(writable(*source)->resolvedQueueName, "REPLY.Q", 7);
  writable(*source)->field20 = 0x01020304;
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const Bytes snapshot = recordBytes(source->record(), Layout::kLength);

  TypeParam constructed(*source);
  TypeParam assigned;
  assigned.setSyncPointParticipation(false);
  assigned = *source;
  ASSERT_NE(constructed.record(), source->record());
  source.reset();

  for (const TypeParam *copy : {&constructed, &assigned}) {
    EXPECT_EQ(recordBytes(copy->record(), Layout::kLength), snapshot);
    EXPECT_EQ(copy->completionCode(), KXCC_FAILED);
    EXPECT_EQ(copy->reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  }
  // The copies are independent of each other.
  constructed.setSyncPointParticipation(false);
  EXPECT_TRUE(assigned.syncPointParticipation());
}

TYPED_TEST(KxlGmoCommonTest, SelfAssignmentChangesNothing) {
  Exposed<TypeParam> options;
  options.setSyncPointParticipation(true);
  options.setCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  const Bytes before = recordBytes(options.record(), Traits<TypeParam>::kLength);
  TypeParam &alias = options;
  alias = options;
  EXPECT_EQ(recordBytes(options.record(), Traits<TypeParam>::kLength), before);
  EXPECT_EQ(options.reasonCode(), KXRC_DATA_TRUNCATED);
}

TEST(KxlGmoTest, BytesBeyondTheOlderLayoutStayZero) {
  KxlGmo source;
  std::memset(writable(source), 0x7e, 80);
  KxlGmo target;
  target = source;
  KxlGmo copy(source);
  for (const KxlGmo *options : {&source, &target, &copy}) {
    const Bytes all = recordBytes(options->record(), sizeof(KXGMO));
    EXPECT_EQ(Bytes(all.begin() + 80, all.end()), Bytes(20, 0));
  }
}

Bytes pattern(std::size_t length, unsigned char first) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(first + i);
  return bytes;
}

Bytes token(const KxlGmo3 &options) {
  const KxlBin value = options.messageToken();
  return Bytes(value.dataPointer(), value.dataPointer() + value.dataLength());
}

TEST(KxlGmo3Test, SetMessageTokenFromAByteString) {
  KxlGmo3 options;
  options.setSyncPointParticipation(true);
  Bytes expected = recordBytes(options.record(), 100);

  kxltest::TraceCapture trace;
  const Bytes value = pattern(16, 0xa1);
  EXPECT_TRUE(options.setMessageToken(KxlBin(value.data(), value.size())));
  EXPECT_EQ(token(options), value);
  std::memcpy(&expected[80], value.data(), 16);
  EXPECT_EQ(recordBytes(options.record(), 100), expected);  // nothing else changed

  EXPECT_TRUE(options.setMessageToken(KxlBin()));
  EXPECT_EQ(token(options), Bytes(16, 0));
  EXPECT_EQ(options.completionCode(), 0);
  EXPECT_EQ(options.reasonCode(), 0);
  EXPECT_EQ(trace.entries(64), 2);
  EXPECT_EQ(trace.exitValues(64), (std::vector<std::int32_t>{0, 0}));
  EXPECT_TRUE(trace.texts().empty());
}

TEST(KxlGmo3Test, SetMessageTokenRefusesOtherLengths) {
  for (std::size_t length : {1, 8, 15, 17, 24}) {
    KxlGmo3 options;
    const Bytes previous = pattern(16, 0x10);
    options.setMessageToken(previous.data());
    const Bytes recordBefore = recordBytes(options.record(), 100);
    kxltest::TraceCapture trace;
    const Bytes value = pattern(length, 0x80);
    EXPECT_FALSE(options.setMessageToken(KxlBin(value.data(), value.size()))) << length;
    EXPECT_EQ(options.completionCode(), KXCC_FAILED);
    EXPECT_EQ(options.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_TRUE(trace.sawText(64, kTokenText));
    EXPECT_EQ(trace.exitValues(64), (std::vector<std::int32_t>{KXRC_BINARY_DATA_LENGTH_ERROR}));
    EXPECT_EQ(recordBytes(options.record(), 100), recordBefore);

    // The codes stay after a later success, and its exit reports them.
    trace.clear();
    EXPECT_TRUE(options.setMessageToken(KxlBin()));
    EXPECT_EQ(options.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_EQ(trace.exitValues(64), (std::vector<std::int32_t>{KXRC_BINARY_DATA_LENGTH_ERROR}));
  }
}

TEST(KxlGmo3Test, SetMessageTokenFromBytes) {
  KxlGmo3 options;
  const Bytes source = pattern(20, 0x31);  // only the first 16 are taken
  kxltest::TraceCapture trace;
  options.setMessageToken(source.data());
  EXPECT_EQ(token(options), Bytes(source.begin(), source.begin() + 16));
  EXPECT_EQ(options.record()->field96, -1);
  options.setMessageToken(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(token(options), Bytes(16, 0));
  EXPECT_EQ(options.reasonCode(), 0);
  EXPECT_EQ(trace.entries(64), 0);
}

TEST(KxlGmo3Test, CopiesHaveRecordsOfTheirOwn) {
  auto source = std::make_unique<KxlGmo3>();
  const Bytes value = pattern(16, 0x01);
  source->setMessageToken(value.data());
  KxlGmo3 constructed(*source);
  KxlGmo3 assigned;
  assigned = *source;
  EXPECT_NE(constructed.record(), source->record());
  EXPECT_NE(assigned.record(), source->record());
  source.reset();  // the sanitizer reports any use of the released record
  EXPECT_EQ(token(constructed), value);
  EXPECT_EQ(token(assigned), value);
  constructed.setMessageToken(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(token(assigned), value);
}

}  // namespace
