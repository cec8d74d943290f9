#include "kxlrfh.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxltest.hpp"

namespace {

constexpr unsigned kPasteIn = 41;
constexpr unsigned kSetInstanceId = 42;
constexpr std::int32_t kMin = -2147483647 - 1;
constexpr std::int32_t kMax = 2147483647;

// Offsets of the length and offset fields, in the order of the parts.
constexpr std::size_t kLengthField[] = {64, 72, 80, 88};
constexpr std::size_t kOffsetField[] = {68, 76, 84, 92};
enum PartIndex { kSourceEnvironment, kSourceName, kDestinationEnvironment, kDestinationName };

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars != nullptr ? chars : "";
}

std::int32_t intAt(const char *bytes, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

void putInt(std::vector<char> &bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// The bytes a header writes into an empty message.
std::vector<char> recordOf(KxlRfh header) {
  KxlMsg message;
  EXPECT_TRUE(header.copyOut(message));
  return std::vector<char>(message.bufferPointer(),
                           message.bufferPointer() + message.messageLength());
}

// The names of a header, in the order of the parts.
std::vector<std::string> names(const KxlRfh &header) {
  return {text(header.sourceEnvironment()), text(header.sourceName()),
          text(header.destinationEnvironment()), text(header.destinationName())};
}

void setNames(KxlRfh &header, const std::vector<std::string> &values) {
  header.setSourceEnvironment(values[0].c_str());
  header.setSourceName(values[1].c_str());
  header.setDestinationEnvironment(values[2].c_str());
  header.setDestinationName(values[3].c_str());
}

// Describes the message as holding a reference header in the native
// encoding at its data offset.
void describeAsReference(KxlMsg &message) {
  message.setFormat("KXHREF  ");
  message.setEncoding(546);
  message.setCharacterSet(0);
}

TEST(KxlRfhTest, NewHeaderWrittenBeforeHello) {
  KxlRfh header;
  KxlMsg message;
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  message.setEncoding(785);
  message.setCharacterSet(850);
  ASSERT_TRUE(header.copyOut(message));

  ASSERT_EQ(message.messageLength(), 113u);
  const char *bytes = message.bufferPointer();
  EXPECT_EQ(std::string(bytes, 4), "RMH ");
  EXPECT_EQ(intAt(bytes, 4), 1);
  EXPECT_EQ(intAt(bytes, 8), 108);
  EXPECT_EQ(intAt(bytes, 12), 785);
  EXPECT_EQ(intAt(bytes, 16), 850);
  EXPECT_EQ(std::string(bytes + 20, 8), "KXSTR   ");
  EXPECT_EQ(intAt(bytes, 28), 1);
  EXPECT_EQ(std::string(bytes + 32, 32), std::string(32, '\0'));
  for (int part = 0; part < 4; ++part) {
    EXPECT_EQ(intAt(bytes, kLengthField[part]), 0) << part;
    EXPECT_EQ(intAt(bytes, kOffsetField[part]), 108) << part;
  }
  EXPECT_EQ(std::string(bytes + 96, 12), std::string(12, '\0'));
  EXPECT_EQ(std::string(bytes + 108, 5), "hello");
  EXPECT_EQ(text(message.format()), "KXHREF  ");
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_EQ(text(header.format()), "KXSTR   ");
}

TEST(KxlRfhTest, PartsFollowTheFixedPartInOrder) {
  KxlRfh header;
  setNames(header, {"AB", "", "XYZ", "Q"});
  const std::vector<char> record = recordOf(header);
  ASSERT_EQ(record.size(), 114u);
  EXPECT_EQ(intAt(record.data(), 8), 114);
  const std::int32_t offsets[] = {108, 110, 110, 113};
  const std::int32_t lengths[] = {2, 0, 3, 1};
  for (int part = 0; part < 4; ++part) {
    EXPECT_EQ(intAt(record.data(), kOffsetField[part]), offsets[part]) << part;
    EXPECT_EQ(intAt(record.data(), kLengthField[part]), lengths[part]) << part;
  }
  EXPECT_EQ(std::string(record.data() + 108, 6), "ABXYZQ");
}

TEST(KxlRfhTest, RoundTripRestoresTheMessage) {
  KxlRfh sent;
  setNames(sent, {"ENV1", "source.txt", "", "dest.txt"});
  sent.setReferenceType("FILE");
  const unsigned char id[24] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  sent.setInstanceId(id);
  KxlMsg message;
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  message.setEncoding(785);
  message.setCharacterSet(850);
  ASSERT_TRUE(sent.copyOut(message));
  ASSERT_TRUE(message.setDataOffset(0));

  KxlRfh received;
  received.setDestinationEnvironment("kept");  // an empty part leaves it
  ASSERT_TRUE(received.pasteIn(message));
  EXPECT_EQ(names(received), (std::vector<std::string>{"ENV1", "source.txt", "kept", "dest.txt"}));
  EXPECT_EQ(text(received.referenceType()), "FILE");
  EXPECT_EQ(received.instanceId(), KxlBin(id, 24));
  EXPECT_EQ(text(received.format()), "KXSTR   ");
  EXPECT_EQ(text(message.format()), "KXSTR   ");
  EXPECT_EQ(message.encoding(), 785);
  EXPECT_EQ(message.characterSet(), 850);
  ASSERT_EQ(message.dataOffset(), 108u + 4 + 10 + 8);
  EXPECT_EQ(std::string(message.dataPointer(), 5), "hello");
  EXPECT_EQ(received.completionCode(), KXCC_OK);
}

// A reference header written by hand: two bytes before it, a fixed part
// taken from a new header (format "KXSTR   ", reference type "TYPE"), the
// bytes "QXYZAB" and "hello" after it. The
// buffer is exactly as long as the message, so a read outside it is caught
// by the address sanitizer.
struct HandWritten {
  struct Part {
    std::int32_t offset;
    std::int32_t length;
  };
  std::int32_t structureLength;
  Part parts[4];
  bool result;
  long reason;
  std::vector<std::string> names;  // after the paste; before it: old names
  std::size_t dataOffset;
};

std::vector<char> handWritten(const HandWritten &c) {
  std::vector<char> bytes = {'z', 'z'};
  const std::vector<char> fixed = recordOf(KxlRfh());
  bytes.insert(bytes.end(), fixed.begin(), fixed.end());
  const std::string tail = "QXYZABhello";
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  putInt(bytes, 2 + 8, c.structureLength);
  for (int part = 0; part < 4; ++part) {
    putInt(bytes, 2 + kOffsetField[part], c.parts[part].offset);
    putInt(bytes, 2 + kLengthField[part], c.parts[part].length);
  }
  std::memcpy(bytes.data() + 2 + 20, "KXSTR   ", 8);
  std::memcpy(bytes.data() + 2 + 32, "TYPE    ", 8);
  return bytes;
}

TEST(KxlRfhTest, PasteInTrustsNoOffsetOrLength) {
  const std::vector<std::string> old = {"o1", "o2", "o3", "o4"};
  const HandWritten cases[] = {
      // Parts in another order than copyOut writes them.
      {114, {{112, 2}, {0, 0}, {109, 3}, {108, 1}}, true, KXRC_NONE, {"AB", "o2", "XYZ", "Q"}, 116},
      // Overlapping parts, one inside the fixed part; zero and negative
      // lengths skipped whatever their offsets.
      {112,
       {{108, 3}, {109, 3}, {0, 4}, {kMin, -5}},
       true,
       KXRC_NONE,
       {"QXY", "XYZ", "RMH ", "o4"},
       114},
      // The last byte of the data is the end of a part.
      {119, {{118, 1}, {0, 0}, {0, 0}, {0, 0}}, true, KXRC_NONE, {"o", "o2", "o3", "o4"}, 121},
      // Parts outside the data; the parts that fit are still taken.
      {200,
       {{-1, 2}, {108, 1}, {0, 0}, {0, 0}},
       false,
       KXRC_INSUFFICIENT_DATA,
       {"o1", "Q", "o3", "o4"},
       2},
      {200,
       {{kMin, 4}, {0, 0}, {110, 2}, {0, 0}},
       false,
       KXRC_INSUFFICIENT_DATA,
       {"o1", "o2", "YZ", "o4"},
       2},
      {200,
       {{108, kMax}, {0, 0}, {0, 0}, {113, 1}},
       false,
       KXRC_INSUFFICIENT_DATA,
       {"o1", "o2", "o3", "B"},
       2},
      {200, {{kMax, kMax}, {kMax, 1}, {0, 0}, {0, 0}}, false, KXRC_INSUFFICIENT_DATA, old, 2},
      {200, {{118, 2}, {119, 1}, {0, 0}, {0, 0}}, false, KXRC_INSUFFICIENT_DATA, old, 2},
      // Parts that fit the data but not the structure length.
      {108,
       {{0, 0}, {0, 0}, {0, 0}, {108, 6}},
       false,
       KXRC_STRUCTURE_LENGTH_ERROR,
       {"o1", "o2", "o3", "QXYZAB"},
       2},
      {-200, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, false, KXRC_STRUCTURE_LENGTH_ERROR, old, 2},
      {50, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, false, KXRC_STRUCTURE_LENGTH_ERROR, old, 2},
      {kMin, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, false, KXRC_STRUCTURE_LENGTH_ERROR, old, 2},
      {113,
       {{108, 6}, {0, 0}, {0, 0}, {0, 0}},
       false,
       KXRC_STRUCTURE_LENGTH_ERROR,
       {"QXYZAB", "o2", "o3", "o4"},
       2},
  };
  int index = 0;
  for (const HandWritten &c : cases) {
    SCOPED_TRACE(index++);
    const std::vector<char> bytes = handWritten(c);
    KxlMsg message;
    ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()));
    ASSERT_TRUE(message.setDataOffset(2));
    describeAsReference(message);
    KxlRfh header;
    setNames(header, old);
    kxltest::TraceCapture trace;

    EXPECT_EQ(header.pasteIn(message), c.result);
    EXPECT_EQ(names(header), c.names);
    EXPECT_EQ(message.dataOffset(), c.dataOffset);
    // The fixed part is taken whatever happens after it.
    EXPECT_EQ(text(header.referenceType()), "TYPE");
    if (c.result) {
      EXPECT_EQ(header.completionCode(), KXCC_OK);
      EXPECT_TRUE(trace.texts().empty());
      EXPECT_EQ(text(message.format()), "KXSTR   ");
    } else {
      EXPECT_EQ(header.completionCode(), KXCC_FAILED);
      EXPECT_EQ(header.reasonCode(), c.reason);
      const char *expected = c.reason == KXRC_INSUFFICIENT_DATA
                                 ? "KxlReferenceHeader::pasteIn (error): insufficient data"
                                 : "KxlReferenceHeader::pasteIn (error): structure length error";
      EXPECT_EQ(trace.texts(kPasteIn), std::vector<std::string>{expected});
      EXPECT_EQ(text(message.format()), "KXHREF  ");
    }
    EXPECT_EQ(trace.entries(kPasteIn), 0);
  }
}

TEST(KxlRfhTest, PasteInChecksIdThenEncodingThenFormat) {
  const std::vector<char> good = recordOf(KxlRfh());
  std::vector<char> wrongId = good;
  wrongId[0] = 'X';
  const struct {
    const std::vector<char> *bytes;
    long encoding;
    const char *format;
    long reason;
    const char *message;
  } cases[] = {
      {&wrongId, 273, "KXSTR   ", KXRC_WRONG_STRUCTURE_ID,
       "KxlReferenceHeader::pasteIn (error): wrong structure id"},
      {&good, 273, "KXSTR   ", KXRC_WRONG_ENCODING,
       "KxlReferenceHeader::pasteIn (error): wrong message encoding"},
      {&good, 546, "KXSTR   ", KXRC_WRONG_FORMAT,
       "KxlReferenceHeader::pasteIn (error): wrong message format"},
  };
  for (const auto &c : cases) {
    KxlMsg message;
    ASSERT_TRUE(message.write(c.bytes->size(), c.bytes->data()));
    ASSERT_TRUE(message.setDataOffset(0));
    message.setEncoding(c.encoding);
    message.setFormat(c.format);
    KxlRfh header;
    header.setReferenceType("KEEP");
    kxltest::TraceCapture trace;
    EXPECT_FALSE(header.pasteIn(message));
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), c.reason);
    EXPECT_EQ(trace.texts(kPasteIn), std::vector<std::string>{c.message});
    EXPECT_EQ(trace.entries(kPasteIn), 0);
    EXPECT_EQ(text(header.referenceType()), "KEEP");
    EXPECT_EQ(message.dataOffset(), 0u);
  }
}

TEST(KxlRfhTest, LessThanTheFixedPartLeavesHeaderUnchanged) {
  std::vector<char> bytes = recordOf(KxlRfh());
  std::memcpy(bytes.data() + 32, "NEWTYPE ", 8);
  bytes.resize(107);
  KxlMsg message;
  ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()));
  describeAsReference(message);
  KxlRfh header;
  header.setReferenceType("OLD");
  header.setHeaderFlags(7);
  header.setSourceName("name");
  kxltest::TraceCapture trace;
  EXPECT_FALSE(header.pasteIn(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_DATA);
  EXPECT_TRUE(trace.sawText(kPasteIn, "KxlReferenceHeader::pasteIn (error): insufficient data"));
  EXPECT_EQ(text(header.referenceType()), "OLD");
  EXPECT_EQ(header.headerFlags(), 7);
  EXPECT_EQ(text(header.sourceName()), "name");
  EXPECT_EQ(message.dataOffset(), 0u);
}

TEST(KxlRfhTest, StructureLengthBeyondTheBufferFailsInTheMessage) {
  HandWritten c = {500, {{108, 2}, {0, 0}, {0, 0}, {0, 0}}, false, 0, {}, 0};
  const std::vector<char> bytes = handWritten(c);
  KxlMsg message;
  ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()));
  ASSERT_TRUE(message.setDataOffset(2));
  describeAsReference(message);
  KxlRfh header;
  EXPECT_FALSE(header.pasteIn(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_NE(header.reasonCode(), KXRC_NONE);
  EXPECT_EQ(header.reasonCode(), message.reasonCode());
  EXPECT_EQ(message.dataOffset(), 2u);
  EXPECT_EQ(text(message.format()), "KXHREF  ");
  EXPECT_EQ(text(header.sourceEnvironment()), "QX");

  // An automatic buffer grows to the structure length.
  KxlMsg grown;
  ASSERT_TRUE(grown.write(bytes.size(), bytes.data()));
  ASSERT_TRUE(grown.setDataOffset(2));
  describeAsReference(grown);
  KxlRfh second;
  EXPECT_TRUE(second.pasteIn(grown));
  EXPECT_EQ(grown.dataOffset(), 502u);
}

TEST(KxlRfhTest, NameStorageFailureIsTheHeaders) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  HandWritten c = {114, {{108, 2}, {0, 0}, {0, 0}, {0, 0}}, false, 0, {}, 0};
  const std::vector<char> bytes = handWritten(c);
  KxlMsg message;
  ASSERT_TRUE(message.useFullBuffer(bytes.data(), bytes.size()));
  ASSERT_TRUE(message.setDataOffset(2));
  describeAsReference(message);
  KxlRfh header;
  header.setSourceEnvironment("old");
  {
    kxltest::AllocationFailure failure(1, true);
    EXPECT_FALSE(header.pasteIn(message));
  }
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
  EXPECT_EQ(text(header.sourceEnvironment()), "old");
  EXPECT_EQ(message.dataOffset(), 2u);
  EXPECT_EQ(text(message.format()), "KXHREF  ");
}

TEST(KxlRfhTest, CopyOutIntoTooSmallBufferTakesTheMessagesCodes) {
  std::vector<char> buffer(100);
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer.data(), buffer.size()));
  KxlRfh header;
  EXPECT_FALSE(header.copyOut(message));
  EXPECT_EQ(header.completionCode(), KXCC_FAILED);
  EXPECT_EQ(header.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.reasonCode(), KXRC_INSUFFICIENT_BUFFER);
  EXPECT_EQ(message.messageLength(), 0u);
}

TEST(KxlRfhTest, InstanceId) {
  KxlRfh header;
  const std::string zeros(24, '\0');
  EXPECT_EQ(header.instanceId(), KxlBin(zeros.data(), 24));
  const std::string id = "0123456789abcdefghijklmn";
  kxltest::TraceCapture trace;
  EXPECT_TRUE(header.setInstanceId(KxlBin(id.data(), 24)));
  EXPECT_EQ(std::string(recordOf(header).data() + 40, 24), id);

  for (std::size_t length : {23u, 25u, 1u}) {
    trace.clear();
    EXPECT_FALSE(header.setInstanceId(KxlBin("0123456789abcdefghijklmnop", length))) << length;
    EXPECT_EQ(header.completionCode(), KXCC_FAILED);
    EXPECT_EQ(header.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
    EXPECT_EQ(header.instanceId(), KxlBin(id.data(), 24));
    EXPECT_EQ(trace.texts(kSetInstanceId),
              std::vector<std::string>{
                  "KxlReferenceHeader::setInstanceId (error): binary data length error"});
    EXPECT_EQ(trace.entries(kSetInstanceId), 0);
  }
  header.clearErrorCodes();
  EXPECT_TRUE(header.setInstanceId(KxlBin()));
  EXPECT_EQ(header.instanceId(), KxlBin(zeros.data(), 24));
  EXPECT_EQ(header.completionCode(), KXCC_OK);

  header.setInstanceId(reinterpret_cast<const unsigned char *>(id.data()));
  EXPECT_EQ(header.instanceId(), KxlBin(id.data(), 24));
  header.setInstanceId(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(header.instanceId(), KxlBin(zeros.data(), 24));
}

TEST(KxlRfhTest, ReferenceTypeIsNullFilledAndReadStripped) {
  KxlRfh header;
  header.setReferenceType("AB");
  EXPECT_EQ(text(header.referenceType()), "AB");
  EXPECT_EQ(std::string(recordOf(header).data() + 32, 8), std::string("AB\0\0\0\0\0\0", 8));
  header.setReferenceType("ABCDEFGHIJ");
  EXPECT_EQ(text(header.referenceType()), "ABCDEFGH");
  header.setReferenceType(nullptr);
  EXPECT_EQ(std::string(recordOf(header).data() + 32, 8), std::string(8, '\0'));
  EXPECT_EQ(header.completionCode(), KXCC_OK);

  // A blank-filled field written elsewhere reads without its blanks.
  std::vector<char> bytes = recordOf(KxlRfh());
  std::memcpy(bytes.data() + 32, "AB      ", 8);
  KxlMsg message;
  ASSERT_TRUE(message.write(bytes.size(), bytes.data()));
  ASSERT_TRUE(message.setDataOffset(0));
  describeAsReference(message);
  ASSERT_TRUE(header.pasteIn(message));
  EXPECT_EQ(text(header.referenceType()), "AB");
}

TEST(KxlRfhTest, CopiesOwnTheirNames) {
  auto *source = new KxlRfh;
  setNames(*source, {"se", "sn", "de", "dn"});
  source->setReferenceType("REF");
  EXPECT_FALSE(source->setInstanceId(KxlBin("x", 1)));

  KxlRfh copy(*source);
  KxlRfh assigned;
  assigned = *source;
  EXPECT_EQ(copy.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  EXPECT_EQ(assigned.reasonCode(), KXRC_BINARY_DATA_LENGTH_ERROR);
  copy.setSourceName("changed");
  EXPECT_EQ(text(source->sourceName()), "sn");
  delete source;

  EXPECT_EQ(names(copy), (std::vector<std::string>{"se", "changed", "de", "dn"}));
  EXPECT_EQ(names(assigned), (std::vector<std::string>{"se", "sn", "de", "dn"}));
  EXPECT_EQ(text(assigned.referenceType()), "REF");
  const std::vector<char> record = recordOf(assigned);
  ASSERT_EQ(record.size(), 116u);
  EXPECT_EQ(std::string(record.data() + 108, 8), "sesndedn");

  KxlRfh &self = assigned;
  assigned.clearErrorCodes();
  assigned = self;
  EXPECT_EQ(assigned.completionCode(), KXCC_OK);
  EXPECT_EQ(names(assigned), (std::vector<std::string>{"se", "sn", "de", "dn"}));

  // Null and empty texts both give empty names.
  assigned.setSourceEnvironment(nullptr);
  assigned.setDestinationName("");
  EXPECT_EQ(names(assigned), (std::vector<std::string>{"", "sn", "de", ""}));
}

}  // namespace
