// The header protocol: the header write, which puts every header in front
// of a message in place and is compared, case by case, with the same write
// done step by step through the public cache operations; a refused write;
// a chain of every header read back; and the structure id test.

#include "kxlhdr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "kxldlh.hpp"
#include "kxlhdrtest.hpp"
#include "kxlmsgtest.hpp"
#include "kxloih.hpp"
#include "kxlpfx.hpp"
#include "kxlrfh.hpp"
#include "kxlvih.hpp"
#include "kxlwih.hpp"

namespace kxlhdrtest {
namespace {

using kxltest::CacheState;
using kxltest::stateOf;
using kxltest::Texts;
using kxltest::textsOf;

constexpr char kTestFormat[] = "KXTEST  ";

// A header of this test's own: the 32-byte prefix (structure id "TST ")
// and a tail of `tailLength` bytes written after it as a second piece, of
// `claimedTail` bytes when that is set. It holds the codes of an earlier
// failure, which a successful write keeps.
class TestHeader : public KxlPfx {
 public:
  explicit TestHeader(std::size_t tailLength) : tail(kxltest::pattern(tailLength, 2)) {
    usePrefix(&prefix);
    setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }
  bool copyOut(KxlMsg &message) override {
    const Piece pieces[] = {{&prefix, sizeof prefix},
                            {tail.data(), claimedTail != 0 ? claimedTail : tail.size()}};
    return writeHeader(message, pieces, 2, kTestFormat);
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {"KxlTestHeader", "TST ", kTestFormat, 77};
    return readHeader(message, layout, &prefix, sizeof prefix);
  }
  KXHDRPREFIX prefix = {{'T', 'S', 'T', ' '}, 1, 32, 546, 0, {}, 0};
  std::string tail;
  std::size_t claimedTail = 0;
};

// Header `kind` (0: the test header, 1: the reference header, then the
// others) with a tail or a destination name of `tail` bytes where it has one.
std::unique_ptr<KxlHdr> makeHeader(int kind, std::size_t tail) {
  if (kind == 0) return std::make_unique<TestHeader>(tail);
  if (kind == 2) return std::make_unique<KxlDlh>();
  if (kind == 3) return std::make_unique<KxlWih>();
  if (kind == 4) return std::make_unique<KxlOih>();
  if (kind == 5) return std::make_unique<KxlVih>();
  auto header = std::make_unique<KxlRfh>();
  header->setDestinationName(std::string(tail, 'n').c_str());
  return header;
}
constexpr int kKinds = 6;

// A message of `content` bytes on an automatic or application buffer of
// `buffer` bytes, its data offset at `offset`, format "KXSTR   ",
// character set 850.
struct Scene {
  Scene(bool automatic, std::size_t buffer, std::size_t content, std::size_t offset)
      : application(automatic ? 0 : buffer) {
    EXPECT_TRUE(automatic ? message.resizeBuffer(buffer)
                          : message.useEmptyBuffer(application.data(), buffer));
    EXPECT_TRUE(message.write(content, kxltest::pattern(content, 1).data()));
    EXPECT_TRUE(message.setDataOffset(offset));
    message.setFormat("KXSTR   ");
    message.setCharacterSet(850);
  }
  std::vector<char> application;
  KxlMsg message;
};

// All a header write leaves but the buffer's address: the result, the
// message, its description, the codes of message and header, the header,
// the diagnostic texts.
using Outcome = std::tuple<bool, CacheState, std::string, std::string, std::string, Texts>;

// The pointer check refuses the last of the header's bytes (wherever the
// write takes them from), the buffer's first byte, or the first after the
// header's place in it.
enum class Refusal { kNone, kLastHeaderByte, kBufferStart, kAfterHeader };

// The header write in place, or step by step: room at the data offset, a
// copy of the whole content, the header written alone into a message
// described as this one, this message described as the header and
// cleared, the header's bytes written and the kept content after them.
// `lastByte`: where the in-place write takes the header's last byte from.
Outcome prepend(KxlMsg &message, KxlHdr &header, bool inPlace, Refusal refusal,
                const char *lastByte, long &allocations) {
  using P = kxltest::PointerRefusal;
  std::string format;
  const std::size_t length = recordOf(header, &format).size();
  std::unique_ptr<P> refused;
  if (refusal == Refusal::kBufferStart) {
    refused = std::make_unique<P>(message.bufferPointer(), 1, P::kWrite);
  } else if (refusal == Refusal::kAfterHeader) {
    refused = std::make_unique<P>(message.bufferPointer() + length, 1, P::kWrite);
  } else if (refusal == Refusal::kLastHeaderByte && inPlace) {
    refused = std::make_unique<P>(lastByte, 1, P::kRead);
  }
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  bool result = inPlace ? header.copyOut(message) : message.moreBytes(length);
  allocations = counter.count();
  if (!inPlace && result) {
    const KxlCac kept(message);
    KxlMsg alone;  // the header written alone, recording the message's description
    alone.setEncoding(message.encoding());
    alone.setCharacterSet(message.characterSet());
    alone.setFormat(message.format());
    EXPECT_TRUE(header.copyOut(alone));
    message.setEncoding(546);
    message.setCharacterSet(0);
    message.setFormat(format.c_str());
    message.clearMessage();
    const std::string bytes = contentOf(alone);
    if (refusal == Refusal::kLastHeaderByte)
      refused = std::make_unique<P>(&bytes.back(), 1, P::kRead);
    result = message.write(bytes.size(), bytes.data()) &&
             message.write(kept.messageLength(), kept.bufferPointer());
  }
  // On failure the header takes the message's codes.
  const std::string headerCodes = inPlace || result ? codes(header) : codes(message);
  refused.reset();
  CacheState state = stateOf(message);
  state.buffer = nullptr;
  return {result,
          state,
          describe(message),
          codes(message) + " " + headerCodes,
          itemState(header),
          textsOf(trace)};
}

TEST(KxlHdrTest, HeaderWriteInPlaceEqualsTheStepByStepWrite) {
  enum Offset { kZero, kHalf, kEnd };
  struct Shape {
    bool automatic;
    std::optional<int> room;  // buffer length beyond the content, less the header's
    Offset offset;
    bool longTail;  // a tail 64 bytes longer than the content instead of 40 bytes
    Refusal refusal;
  };
  std::vector<Shape> shapes = {
      {true, {}, kEnd, false, Refusal::kNone},   // grows for the header
      {true, {}, kHalf, true, Refusal::kNone},   // both steps would grow
      {true, -1, kZero, false, Refusal::kNone},  // grows for the content
      {true, 0, kHalf, false, Refusal::kNone},   // room for both
      {false, 5, kHalf, false, Refusal::kNone},  // room for both
      {false, -1, kEnd, false, Refusal::kNone},  // no room for the header
      {false, -1, kZero, false, Refusal::kNone}  // room for the header alone
  };
  for (Refusal refusal : {Refusal::kLastHeaderByte, Refusal::kBufferStart, Refusal::kAfterHeader}) {
    shapes.push_back({true, 0, kHalf, false, refusal});
    shapes.push_back({false, 5, kHalf, false, refusal});
  }
  for (int kind = 0; kind < kKinds; ++kind) {
    for (std::size_t content : {std::size_t{0}, std::size_t{1000}, std::size_t{1} << 20}) {
      for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Shape &shape = shapes[i];
        if (shape.refusal != Refusal::kNone && kind != 0) continue;
        SCOPED_TRACE(::testing::Message()
                     << "header " << kind << ", shape " << i << ", content " << content);
        const std::size_t tail = shape.longTail ? content + 64 : 40;
        const auto inPlaceHeader = makeHeader(kind, tail), stepHeader = makeHeader(kind, tail);
        const std::size_t length = recordOf(*inPlaceHeader).size();
        const std::size_t buffer = content + (shape.room ? length + *shape.room : 0);
        const std::size_t offset = shape.offset == kZero   ? 0
                                   : shape.offset == kHalf ? content / 2
                                                           : content;
        Scene inPlace(shape.automatic, buffer, content, offset);
        Scene stepByStep(shape.automatic, buffer, content, offset);
        const char *lastByte =
            kind == 0 ? &static_cast<TestHeader &>(*inPlaceHeader).tail.back() : nullptr;
        long allocations = 0, unused = 0;
        const Outcome actual =
            prepend(inPlace.message, *inPlaceHeader, true, shape.refusal, lastByte, allocations);
        EXPECT_EQ(actual,
                  prepend(stepByStep.message, *stepHeader, false, shape.refusal, nullptr, unused));
        if (!shape.automatic && shape.room == -1) {
          EXPECT_EQ(std::get<3>(actual), "2/6113 2/6113");
        }
        // One allocation at most, none where the buffer keeps its length.
        if (kxltest::allocationFailureWorks()) {
          EXPECT_EQ(allocations, inPlace.message.bufferLength() == buffer ? 0 : 1);
        }
      }
    }
  }
}

TEST(KxlHdrTest, RoomRefusedChangesNothing) {
  const struct {
    std::size_t buffer, offset, claimedTail;  // a tail of 0 bytes claimed: the allocation fails
  } cases[] = {// The one allocation, for the header or for the content alone.
               {16, 16, 0},
               {16 + 72 - 1, 0, 0},
               // The room for the header at the offset, the room for it and the
               // content, or the header's own length cannot be represented.
               {16, 10, SIZE_MAX - 40},
               {16, 0, SIZE_MAX - 40},
               {16, 0, SIZE_MAX - 10}};
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.offset << " " << c.claimedTail);
    if (c.claimedTail == 0 && !kxltest::allocationFailureWorks()) continue;
    Scene s(true, c.buffer, 16, c.offset);
    TestHeader header(40);
    header.claimedTail = c.claimedTail;  // bytes never looked at
    const CacheState before = stateOf(s.message);
    const std::string description = describe(s.message) + describe(header);
    kxltest::TraceCapture trace;
    kxltest::AllocationCounter counter;
    std::optional<kxltest::AllocationFailure> failure;
    if (c.claimedTail == 0) failure.emplace(1);
    EXPECT_FALSE(s.message.writeItem(header));
    failure.reset();
    if (c.claimedTail != 0 && kxltest::allocationFailureWorks()) {
      EXPECT_EQ(counter.count(), 0);
    }
    EXPECT_EQ(codes(s.message) + codes(header), "2/20712/2071");
    const Texts texts = {
        c.claimedTail == 0
            ? Texts::value_type{5, "KxlCache::resizeBuffer (error): storage not available"}
            : Texts::value_type{3, "KxlCache::moreBytes (error): storage not available"}};
    EXPECT_EQ(textsOf(trace), texts);
    EXPECT_EQ(stateOf(s.message), before);
    EXPECT_EQ(describe(s.message) + describe(header), description);
  }
}

// Each header's format field names what follows it, so that the chain
// reads back in order to the string it was written in front of.
TEST(KxlHeaderChainTest, EveryHeaderInFrontOfAStringReadBackInOrder) {
  KxlMsg message;
  makeHello(message);
  std::vector<std::unique_ptr<KxlHdr>> written;
  for (int kind = 0; kind < kKinds; ++kind) {
    written.push_back(makeHeader(kind, kind == 0 ? 0 : 3));
    ASSERT_TRUE(message.writeItem(*written.back()));
  }
  ASSERT_TRUE(message.setDataOffset(0));
  for (int kind = kKinds - 1; kind >= 0; --kind) {
    SCOPED_TRACE(kind);
    const auto read = makeHeader(kind, 0);
    ASSERT_TRUE(message.readItem(*read));
    EXPECT_EQ(itemState(*read), itemState(*written[kind]));
  }
  KxlStr body;
  ASSERT_TRUE(message.readItem(body));
  EXPECT_EQ(text(body) + describe(message) + codes(message), "helloKXSTR   /273/8500/0");
}

TEST(KxlItmTest, StructureIdIsComparesFourBytesAtTheOffset) {
  KxlMsg message;
  load(message, "xxABCDyyy", 2, 546, "");
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
  EXPECT_EQ(codes(message), "0/0");
}

}  // namespace
}  // namespace kxlhdrtest
