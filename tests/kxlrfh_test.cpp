// The reference header (nothing of it traces its entry or exit): its fixed
// part and the four parts after it, a read that trusts no offset or length
// of the incoming record, its refused reads, its fields and its copies.

#include "kxlrfh.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "kxlhdrtest.hpp"

namespace kxlhdrtest {
namespace {

const Identity kRfh = {"KxlReferenceHeader", "KXHREF  ", kKxlFnReferencePasteIn, false,
                       "KxlReferenceHeader::pasteIn (error): insufficient data"};
constexpr std::int32_t kMin = INT32_MIN;
constexpr std::int32_t kMax = INT32_MAX;

// A new header's fixed part as written, described as a new message is.
std::string newRecord() {
  return record(
      108, {at(0, "RMH "), at(4, 1), at(8, 108), at(12, kKxlNativeEncoding), at(20, "        "),
            at(28, 1), at(68, 108), at(76, 108), at(84, 108), at(92, 108)});
}

std::string names(const KxlRfh &header) {
  return text(header.sourceEnvironment()) + "|" + text(header.sourceName()) + "|" +
         text(header.destinationEnvironment()) + "|" + text(header.destinationName());
}

void setNames(KxlRfh &header, const char *sourceEnvironment, const char *sourceName,
              const char *destinationEnvironment, const char *destinationName) {
  header.setSourceEnvironment(sourceEnvironment);
  header.setSourceName(sourceName);
  header.setDestinationEnvironment(destinationEnvironment);
  header.setDestinationName(destinationName);
}

TEST(KxlRfhTest, WrittenInFrontOfHelloAndReadBack) {
  const std::string hello = with(newRecord(), {at(12, 273), at(16, 850), at(20, "KXSTR   ")});
  KxlRfh header;
  expectWrittenAndReadBack(header, kRfh, hello);
  const std::string id = "0123456789abcdefghijklmn";
  setNames(header, "AB", "", "XYZ", "Q");
  header.setReferenceType("FILE");
  header.setInstanceId(reinterpret_cast<const unsigned char *>(id.data()));
  expectWrittenAndReadBack(
      header, kRfh,
      with(hello, {at(8, 114), at(32, "FILE"), at(40, id), at(64, 2), at(72, 0), at(76, 110),
                   at(80, 3), at(84, 110), at(88, 1), at(92, 113)}) +
          "ABXYZQ");
}

struct Hostile {
  std::int32_t structureLength;
  std::int32_t parts[4][2];  // offset and length of each part
  long reason;
  const char *names;  // after the read; before it "1|2|3|4"
  std::size_t dataOffset;
};

// A message holding just a header written by hand, at data offset 2: a
// fixed part with the format "KXSTR   " and the reference type "TYPE",
// then "QXYZABhello". A read outside these bytes is caught.
struct HandWritten {
  explicit HandWritten(const Hostile &c) {
    std::string fixed =
        with(newRecord(), {at(8, c.structureLength), at(20, "KXSTR   "), at(32, "TYPE")});
    for (std::size_t part = 0; part < 4; ++part) {
      fixed =
          with(fixed, {at(68 + 8 * part, c.parts[part][0]), at(64 + 8 * part, c.parts[part][1])});
    }
    const std::string all = "zz" + fixed + "QXYZABhello";
    bytes.assign(all.begin(), all.end());
    EXPECT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()) && message.setDataOffset(2));
    message.setFormat("KXHREF  ");
  }
  std::vector<char> bytes;
  KxlMsg message;
};

TEST(KxlRfhTest, PasteInTrustsNoOffsetOrLength) {
  const Hostile cases[] = {
      // Another order than copyOut's, overlapping, inside the fixed part, at
      // the last byte of the data; lengths of 0 or less leave their names.
      {114, {{112, 2}, {0, 0}, {109, 3}, {108, 1}}, 0, "AB|2|XYZ|Q", 116},
      {112, {{108, 3}, {109, 3}, {0, 4}, {kMin, -5}}, 0, "QXY|XYZ|RMH |4", 114},
      {119, {{118, 1}, {0, 0}, {0, 0}, {0, 0}}, 0, "o|2|3|4", 121},
      // Outside the data by a negative offset, an overflow or one byte; the
      // parts that fit are taken all the same.
      {200, {{-1, 2}, {108, 1}, {0, 0}, {0, 0}}, 6114, "1|Q|3|4", 2},
      {200, {{kMin, 4}, {0, 0}, {110, 2}, {0, 0}}, 6114, "1|2|YZ|4", 2},
      {200, {{108, kMax}, {0, 0}, {0, 0}, {113, 1}}, 6114, "1|2|3|B", 2},
      {200, {{kMax, kMax}, {kMax, 1}, {0, 0}, {0, 0}}, 6114, "1|2|3|4", 2},
      {200, {{118, 2}, {119, 1}, {0, 0}, {0, 0}}, 6114, "1|2|3|4", 2},
      // Within the data but beyond the structure length.
      {108, {{0, 0}, {0, 0}, {0, 0}, {108, 6}}, 6123, "1|2|3|QXYZAB", 2},
      {113, {{108, 6}, {0, 0}, {0, 0}, {0, 0}}, 6123, "QXYZAB|2|3|4", 2},
      {50, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 6123, "1|2|3|4", 2},
      {kMin, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 6123, "1|2|3|4", 2},
      // Beyond the data: an application buffer cannot grow to it (the
      // message's codes).
      {500, {{108, 2}, {0, 0}, {0, 0}, {0, 0}}, 6112, "QX|2|3|4", 2},
  };
  for (const Hostile &c : cases) {
    SCOPED_TRACE(c.names);
    HandWritten written(c);
    KxlRfh header;
    setNames(header, "1", "2", "3", "4");
    kxltest::TraceCapture trace;
    const bool read = header.pasteIn(written.message);
    // The fixed part is always taken; the message is described anew on success alone.
    EXPECT_EQ(std::to_string(read) + codes(header) + "|" + names(header) + "|" +
                  std::to_string(written.message.dataOffset()) + text(header.referenceType()) +
                  text(written.message.format()),
              (c.reason == 0 ? "10/0|" : "02/" + std::to_string(c.reason) + "|") + c.names + "|" +
                  std::to_string(c.dataOffset) + "TYPE" +
                  (c.reason == 0 ? "KXSTR   " : "KXHREF  "));
    const bool own = c.reason == 6114 || c.reason == 6123;
    const std::string error = c.reason == 6114 ? "insufficient data" : "structure length error";
    EXPECT_EQ(
        trace.texts(kKxlFnReferencePasteIn),
        std::vector<std::string>(own ? 1 : 0, "KxlReferenceHeader::pasteIn (error): " + error));
  }
  // An automatic buffer grows to the structure length.
  KxlMsg grown;
  load(grown, "zz" + with(newRecord(), {at(8, 500)}), 2, kKxlNativeEncoding, "KXHREF  ");
  KxlRfh header;
  EXPECT_TRUE(header.pasteIn(grown));
  EXPECT_EQ(grown.dataOffset(), 502u);
}

// A name that cannot get storage keeps its old text and takes the codes
// itself; the read goes on and succeeds.
TEST(KxlRfhTest, NameStorageShortageIsTheNames) {
  HandWritten written({114, {{108, 2}, {112, 1}, {0, 0}, {0, 0}}, 0, "", 0});
  KxlRfh header;
  setNames(header, "old", "2", "3", "4");
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_TRUE(header.pasteIn(written.message));
  }
  EXPECT_EQ(codes(header) + names(header), "0/0old|A|3|4");
  EXPECT_EQ(written.message.dataOffset(), 116u);
  EXPECT_EQ(text(written.message.format()), "KXSTR   ");
}

// A pointer check that refuses the reading of the text "sn" alone.
int refuseSourceName(const void *pointer, std::uint64_t length, std::uint16_t mode, void *) {
  return mode == 1 && length == 2 && std::memcmp(pointer, "sn", 2) == 0 ? 1 : 0;
}

// The fixed part and the names are written one by one; the first write
// that fails stops the write, and the message holds what went before it.
TEST(KxlRfhTest, WriteStopsAtTheFirstFailingPiece) {
  KxlMsg message;
  makeHello(message);
  KxlRfh header;
  setNames(header, "se", "sn", "de", "dn");
  kxltest::TraceCapture trace;
  xcsSetPointerCheck(&refuseSourceName, nullptr);
  EXPECT_FALSE(message.writeItem(header));
  xcsSetPointerCheck(nullptr, nullptr);
  EXPECT_EQ(codes(header) + codes(message), "2/20042/2004");
  EXPECT_EQ(contentOf(message).substr(108) + "|" + describe(message) + "|" + describe(header),
            "se|" + description("KXHREF  ", kKxlNativeEncoding, 0) + "|KXSTR   /273/850");
  EXPECT_EQ(message.dataOffset(), 110u);
  EXPECT_EQ(trace.exitValues(kKxlFnCacheWrite), (std::vector<std::int32_t>{0, 0, 2004}));
}

TEST(KxlRfhTest, RefusedReads) { expectRefusedReads<KxlRfh>(kRfh); }

TEST(KxlRfhTest, Fields) {
  expectDescriptionAccessors<KxlRfh>();
  expectTextFields<KxlRfh>({{&KxlRfh::setReferenceType, &KxlRfh::referenceType, 8, "AB", ""}});
  expectBinaryField<KxlRfh>({&KxlRfh::setInstanceId, &KxlRfh::setInstanceId, &KxlRfh::instanceId,
                             24, kKxlFnReferenceSetInstanceId,
                             "KxlReferenceHeader::setInstanceId (error): binary data length error",
                             false});
  KxlRfh header;
  setNames(header, nullptr, "b", "c", "");
  EXPECT_EQ(names(header), "|b|c|");
}

TEST(KxlRfhTest, CopiesOwnTheirNames) {
  auto *source = new KxlRfh;
  setNames(*source, "se", "sn", "de", "dn");
  source->setReferenceType("REF");
  EXPECT_FALSE(source->setInstanceId(KxlBin("x", 1)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
