// The header protocol: the structure id test, the checks of a header read in
// their order, and the header write, which puts a header in front of a
// message in place and is compared, case by case, with the same write done
// step by step through the public cache operations.

#include "kxlhdr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "kxlfld.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::CacheState;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::formatOf;
using kxltest::stateOf;
using kxltest::Texts;
using kxltest::textsOf;
using Refused = std::unique_ptr<kxltest::PointerRefusal>;
using Text = kxltest::Texts::value_type;
using Description = std::tuple<std::string, long, long>;  // format, encoding, character set

constexpr char kTestFormat[] = "KXTEST  ";

// A header of this test's own: a 24-byte record (structure id "TST ",
// encoding, character set, format, flags) and a tail written after it as a
// second piece, of `claimedTail` bytes when that is set.
class TestHeader : public KxlHdr {
 public:
  bool copyOut(KxlMsg &message) override {
    const Piece pieces[] = {{record, sizeof record},
                            {tail.data(), claimedTail != 0 ? claimedTail : tail.size()}};
    return writeHeader(message, pieces, 2, kTestFormat);
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {"KxlTestHeader", "TST ", kTestFormat, 77};
    return readHeader(message, layout, record, sizeof record);
  }
  long characterSet() const override { return kxlGetInt32(record + 8); }
  long encoding() const override { return kxlGetInt32(record + 4); }
  KxlStr format() const override { return kxlFieldText(record + 12, 8, false); }
  long headerFlags() const override { return kxlGetInt32(record + 20); }
  void setCharacterSet(long value) override { put(8, value); }
  void setEncoding(long value) override { put(4, value); }
  void setFormat(const char *name) override { kxlSetFieldText(record + 12, 8, name, ' '); }
  void setHeaderFlags(long value) override { put(20, value); }
  using KxlErr::setErrorCodes;
  using KxlErr::takeErrorCodes;

  void put(int offset, long value) {
    kxlPutInt32(record + offset, static_cast<std::int32_t>(value));
  }
  std::string bytes() const { return std::string(record, sizeof record) + tail; }
  char record[24] = {'T', 'S', 'T', ' ', 0x22, 0x02, 0,   0,   0,   0,
                     0,   0,   ' ', ' ', ' ',  ' ',  ' ', ' ', ' ', ' '};
  std::string tail;
  std::size_t claimedTail = 0;
};

Description descriptionOf(const KxlMsg &m) { return {formatOf(m), m.encoding(), m.characterSet()}; }

// A message of `content` bytes on an automatic or application buffer of
// `buffer` bytes, its data offset at `offset`, format "KXSTR   ", character
// set 850; a header with a tail, holding the codes of an earlier failure
// (kept on success, replaced on failure).
struct Start {
  Start(bool automatic, std::size_t buffer, std::size_t content, std::size_t offset,
        std::size_t tail)
      : application(automatic ? 0 : buffer) {
    EXPECT_TRUE(automatic ? message.resizeBuffer(buffer)
                          : message.useEmptyBuffer(application.data(), buffer));
    EXPECT_TRUE(message.write(content, kxltest::pattern(content, 1).data()));
    EXPECT_TRUE(message.setDataOffset(offset));
    message.setFormat("KXSTR   ");
    message.setCharacterSet(850);
    header.tail = kxltest::pattern(tail, 2);
    header.setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }
  std::vector<char> application;
  KxlMsg message;
  TestHeader header;
};

// All a header write leaves, but the buffer's address.
using Outcome = std::tuple<bool, CacheState, Codes, Description, Codes, std::string, Texts>;

// The pointer check refuses the last of the header's bytes (wherever the
// write takes them from), the buffer's first byte, or the first after the
// header's place in it.
enum class Refusal { kNone, kLastHeaderByte, kBufferStart, kAfterHeader };

// The header write in place, or step by step: room at the data offset, a
// copy of the whole content, the descriptions exchanged, the message
// cleared, the header's bytes written and the kept content after them.
Outcome writeHeader(Start &s, bool inPlace, Refusal refusal, long &allocations) {
  KxlMsg &message = s.message;
  TestHeader &header = s.header;
  using P = kxltest::PointerRefusal;
  const std::size_t length = header.bytes().size();
  Refused refused;
  if (refusal == Refusal::kBufferStart) {
    refused = std::make_unique<P>(message.bufferPointer(), 1, P::kWrite);
  } else if (refusal == Refusal::kAfterHeader) {
    refused = std::make_unique<P>(message.bufferPointer() + length, 1, P::kWrite);
  } else if (refusal == Refusal::kLastHeaderByte && inPlace) {
    refused = std::make_unique<P>(&header.tail.back(), 1, P::kRead);
  }
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  bool result = inPlace ? header.copyOut(message) : message.moreBytes(length);
  if (!inPlace && result) {
    const KxlCac kept(message);
    header.setEncoding(message.encoding());
    header.setCharacterSet(message.characterSet());
    header.setFormat(message.format());
    message.setEncoding(546);
    message.setCharacterSet(0);
    message.setFormat(kTestFormat);
    message.clearMessage();
    const std::string bytes = header.bytes();
    if (refusal == Refusal::kLastHeaderByte)
      refused = std::make_unique<P>(&bytes.back(), 1, P::kRead);
    result = message.write(bytes.size(), bytes.data()) &&
             message.write(kept.messageLength(), kept.bufferPointer());
  }
  if (!inPlace && !result) header.takeErrorCodes(message);
  allocations = counter.count();
  CacheState state = stateOf(message);
  state.buffer = nullptr;
  return {result,           state,
          codesOf(message), descriptionOf(message),
          codesOf(header),  std::string(header.record, 24),
          textsOf(trace)};
}

TEST(KxlHdrTest, HeaderWriteInPlaceEqualsTheStepByStepWrite) {
  constexpr std::size_t kHeader = 24 + 40;  // record and tail
  enum Offset { kZero, kHalf, kEnd };
  struct Shape {
    bool automatic;
    std::size_t room;  // buffer length beyond the content
    Offset offset;
    bool longTail;  // 64 bytes longer than the content instead of 40 bytes
    Refusal refusal;
  };
  std::vector<Shape> shapes = {
      {true, 0, kEnd, false, Refusal::kNone},               // grows for the header
      {true, 0, kHalf, true, Refusal::kNone},               // both steps would grow
      {true, kHeader - 1, kZero, false, Refusal::kNone},    // grows for the content
      {true, kHeader, kHalf, false, Refusal::kNone},        // room for both
      {false, kHeader + 5, kHalf, false, Refusal::kNone},   // room for both
      {false, kHeader - 1, kEnd, false, Refusal::kNone},    // no room for the header
      {false, kHeader - 1, kZero, false, Refusal::kNone}};  // room for the header alone
  for (Refusal refusal : {Refusal::kLastHeaderByte, Refusal::kBufferStart, Refusal::kAfterHeader}) {
    shapes.push_back({true, kHeader, kHalf, false, refusal});
    shapes.push_back({false, kHeader + 5, kHalf, false, refusal});
  }
  // What a header write costs besides the buffer (its format text, if any),
  // from one that neither grows nor moves anything.
  long baseline = 0;
  Start empty(true, kHeader, 0, 0, 40);
  writeHeader(empty, true, Refusal::kNone, baseline);
  for (std::size_t content : {std::size_t{0}, std::size_t{1000}, std::size_t{1} << 20}) {
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      const Shape &shape = shapes[i];
      SCOPED_TRACE(::testing::Message() << "shape " << i << ", content " << content);
      const std::size_t buffer = content + shape.room;
      const std::size_t offset = shape.offset == kZero   ? 0
                                 : shape.offset == kHalf ? content / 2
                                                         : content;
      const std::size_t tail = shape.longTail ? content + 64 : 40;
      Start inPlace(shape.automatic, buffer, content, offset, tail);
      Start stepByStep(shape.automatic, buffer, content, offset, tail);
      long allocations = 0;
      long unused = 0;
      const Outcome actual = writeHeader(inPlace, true, shape.refusal, allocations);
      EXPECT_EQ(actual, writeHeader(stepByStep, false, shape.refusal, unused));
      // One allocation at most, none where the buffer keeps its length.
      const bool described = std::get<0>(std::get<3>(actual)) == kTestFormat;
      if (kxltest::allocationFailureWorks()) {
        EXPECT_EQ(allocations,
                  (described ? baseline : 0) + (inPlace.message.bufferLength() == buffer ? 0 : 1));
      }
    }
  }
}

TEST(KxlHdrTest, RoomRefusedChangesNothing) {
  const struct {
    std::size_t buffer, offset, claimedTail;  // a tail of 0 bytes claimed: the allocation fails
  } cases[] = {// The one allocation, for the header or for the content alone.
               {16, 16, 0},
               {16 + 64 - 1, 0, 0},
               // The room for the header at the offset, the room for it and the
               // content, or the header's own length cannot be represented.
               {16, 10, SIZE_MAX - 30},
               {16, 0, SIZE_MAX - 30},
               {16, 0, SIZE_MAX - 10}};
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.offset << " " << c.claimedTail);
    if (c.claimedTail == 0 && !kxltest::allocationFailureWorks()) continue;
    Start s(true, c.buffer, 16, c.offset, 40);
    s.header.claimedTail = c.claimedTail;  // bytes never looked at
    const CacheState before = stateOf(s.message);
    const Description description = descriptionOf(s.message);
    const std::string header = s.header.bytes();
    kxltest::TraceCapture trace;
    kxltest::AllocationCounter counter;
    std::optional<kxltest::AllocationFailure> failure;
    if (c.claimedTail == 0) failure.emplace(1);
    EXPECT_FALSE(s.message.writeItem(s.header));
    failure.reset();
    if (c.claimedTail != 0 && kxltest::allocationFailureWorks()) {
      EXPECT_EQ(counter.count(), 0);
    }
    EXPECT_EQ(codesOf(s.message), (Codes{KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE}));
    EXPECT_EQ(codesOf(s.header), codesOf(s.message));
    const Texts texts = {c.claimedTail == 0
                             ? Text{5, "KxlCache::resizeBuffer (error): storage not available"}
                             : Text{3, "KxlCache::moreBytes (error): storage not available"}};
    EXPECT_EQ(textsOf(trace), texts);
    EXPECT_EQ(stateOf(s.message), before);
    EXPECT_EQ(descriptionOf(s.message), description);
    EXPECT_EQ(s.header.bytes(), header);
  }
}

TEST(KxlHdrTest, ReadGivesTheDescriptionBack) {
  KxlMsg message;
  ASSERT_TRUE(message.write(5, "hello"));
  message.setFormat("KXSTR   ");
  message.setEncoding(273);
  message.setCharacterSet(850);
  TestHeader written;
  ASSERT_TRUE(message.writeItem(written) && message.setDataOffset(0));
  TestHeader read;
  kxltest::TraceCapture trace;
  ASSERT_TRUE(message.readItem(read));
  EXPECT_EQ(descriptionOf(message), (Description{"KXSTR   ", 273, 850}));
  EXPECT_EQ(message.dataOffset(), 24u);
  EXPECT_EQ(read.bytes(), written.bytes());
  EXPECT_EQ(textsOf(trace), Texts{});
  EXPECT_EQ(codesOf(message), (Codes{KXCC_OK, KXRC_NONE}));
}

TEST(KxlHdrTest, ReadChecksStructureIdThenEncodingThenFormat) {
  const struct {
    const char *data;
    long encoding;
    const char *format;
    unsigned function;
    long reason;
    const char *text;
  } cases[] = {{"TSX 0123456789abcdefghij", 273, "KXSTR   ", 77, KXRC_WRONG_STRUCTURE_ID,
                "KxlTestHeader::pasteIn (error): wrong structure id"},
               {"TST 0123456789abcdefghij", 273, "KXSTR   ", 77, KXRC_WRONG_ENCODING,
                "KxlTestHeader::pasteIn (error): wrong message encoding"},
               {"TST 0123456789abcdefghij", 546, "KXTESTS ", 77, KXRC_WRONG_FORMAT,
                "KxlTestHeader::pasteIn (error): wrong message format"},
               // Too short for the record: the message's codes.
               {"TST 0123456789abcdefghi", 546, kTestFormat, 4, KXRC_INSUFFICIENT_DATA,
                "KxlCache::read (error): insufficient data"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    KxlMsg message;
    ASSERT_TRUE(message.write(std::string(c.data).size(), c.data));
    ASSERT_TRUE(message.setDataOffset(0));
    message.setEncoding(c.encoding);
    message.setFormat(c.format);
    message.setCharacterSet(37);
    const CacheState before = stateOf(message);
    TestHeader header;
    kxltest::TraceCapture trace;
    EXPECT_FALSE(message.readItem(header));
    EXPECT_EQ(codesOf(header), (Codes{KXCC_FAILED, c.reason}));
    EXPECT_EQ(codesOf(message), codesOf(header));
    EXPECT_EQ(trace.texts(c.function), std::vector<std::string>{c.text});
    EXPECT_EQ(header.bytes(), TestHeader().bytes());
    EXPECT_EQ(stateOf(message), before);
    EXPECT_EQ(descriptionOf(message), (Description{c.format, c.encoding, 37}));
  }
}

TEST(KxlItmTest, StructureIdIsComparesFourBytesAtTheOffset) {
  KxlMsg message;
  ASSERT_TRUE(message.write(9, "xxABCDyyy"));
  ASSERT_TRUE(message.setDataOffset(2));
  kxltest::TraceCapture trace;
  EXPECT_TRUE(KxlItm::structureIdIs("ABCD", message));
  EXPECT_TRUE(KxlItm::structureIdIs("ABCDzz", message));
  for (const char *id : {static_cast<const char *>(nullptr), "ABCX", "xABC"})
    EXPECT_FALSE(KxlItm::structureIdIs(id, message));
  ASSERT_TRUE(message.setDataOffset(6));  // 3 bytes of data
  EXPECT_FALSE(KxlItm::structureIdIs("yyy", message));
  EXPECT_EQ(textsOf(trace),
            Texts(4, {12, "KxlItem::structureIdIs (information): structure id is not equal"}));
  EXPECT_EQ(message.dataOffset(), 6u);
  EXPECT_EQ(codesOf(message), (Codes{KXCC_OK, KXRC_NONE}));
}

}  // namespace
