// The get-message options of both layouts (80 and 100 bytes): new records
// with the supported version, copies, the sync-point bits, the resolved
// queue name and the message token.

#include "kxlgmo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "kxlgmo2.hpp"
#include "kxlhdrtest.hpp"
#include "kxltable.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;

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
std::string bytesOf(const Options &options, std::size_t length) {
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
  EXPECT_EQ(defaultRecord(length, version), bytesOf(*source, length));
  EXPECT_EQ(Codes(KXCC_OK, KXRC_NONE), codesOf(*source));
  std::memset(source->writable(), 0x5a, length);  // a version of its own
  source->setCodes(KXCC_FAILED, KXRC_BINARY_DATA_LENGTH_ERROR);
  const std::string snapshot = bytesOf(*source, length);
  Exposed<Options>::setVersionSupported(static_cast<long>(INT64_C(0x100000001)));
  const Options after;
  Options constructed(*source);
  Options assigned;
  assigned = *source;
  Exposed<Options>::setVersionSupported(version);
  source.reset();
  EXPECT_EQ(defaultRecord(length, 1), bytesOf(after, length));
  EXPECT_EQ(defaultRecord(length, 1), bytesOf(Options(after), length));
  EXPECT_EQ(defaultRecord(length, version), bytesOf(Options(), length));
  const Options &same = assigned;
  assigned = same;
  for (const Options *copy : {&constructed, &assigned}) {
    EXPECT_EQ(snapshot, bytesOf(*copy, length));
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
  const std::string token = kxltest::pattern(16, 1);
  options.setMessageToken(reinterpret_cast<const unsigned char *>(token.data()));
  EXPECT_EQ(defaultRecord(100, 3).replace(80, 16, token), bytesOf(options, 100));
}

}  // namespace
