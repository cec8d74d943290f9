// The header protocol: the header write, which puts every header in front of
// a message in place and is compared, case by case, with the same write done
// step by step through the public cache operations; a refused write; the
// virtual accessors the write and read go through; and the structure id
// test. Chains of every header are the golden vectors' and the sweep's.

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

// A header of this test's own: the 32-byte prefix (structure id "TST ") and a
// tail of `tailLength` bytes written after it as a second piece, of
// `claimedTail` bytes when that is set. It holds the codes of an earlier
// failure, which a successful write keeps. Its texts go out under a number
// of kxli's own, so that no number kxlcodes.hpp does not name is traced.
class TestHeader : public KxlPfx {
 public:
  explicit TestHeader(std::size_t tailLength = 0) : tail(kxltest::pattern(tailLength, 2)) {
    usePrefix(&prefix, typeid(TestHeader), "TST ", 1, 32, 0);
    setErrorCodes(KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }
  bool copyOut(KxlMsg &message) override {
    const Piece pieces[] = {{&prefix, sizeof prefix},
                            {tail.data(), claimedTail != 0 ? claimedTail : tail.size()}};
    return writeHeader(message, pieces, 2, kTestFormat);
  }
  bool pasteIn(KxlMsg &message) override {
    static const Layout layout = {"KxlTestHeader", "TST ", kTestFormat, kKxlFnWorkPasteIn};
    return readHeader(message, layout, &prefix, sizeof prefix);
  }
  KXHDRPREFIX prefix;
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

// The header write by its steps, through the public operations: room for
// the whole header at the data offset, a copy of the content, the message's
// description passed to the header through its setters, the message
// described as the header and cleared, each piece of `bytes` written, then
// the kept content.
bool writeByTheSteps(KxlMsg &message, KxlHdr &header, const std::string &bytes,
                     const std::vector<std::size_t> &pieces, const std::string &format) {
  if (!message.moreBytes(bytes.size())) return false;
  const KxlCac kept(message);
  header.setEncoding(message.encoding());
  header.setCharacterSet(message.characterSet());
  header.setFormat(message.format());
  message.setEncoding(kKxlNativeEncoding);
  message.setCharacterSet(0);
  message.setFormat(format.c_str());
  message.clearMessage();
  std::size_t at = 0;
  for (std::size_t length : pieces) {
    if (!message.write(length, bytes.data() + at)) return false;
    at += length;
  }
  return message.write(kept.messageLength(), kept.bufferPointer());
}

// All a header write leaves but the buffer's address: the result, the
// message, its description, the codes of message and header, the header,
// and every trace record while a capture listens.
using Outcome =
    std::tuple<bool, CacheState, std::string, std::string, std::string, std::vector<std::string>>;

// Who listens during a write: nobody, a trace sink, or a pointer check that
// refuses the last byte of the header's pieces (wherever the write takes
// them from), the buffer's first byte, or the first byte after the header.
enum class Listener { kNobody, kTrace, kLastHeaderByte, kBufferStart, kAfterHeader };

struct Write {
  int kind;
  std::size_t tail;
  Listener listener;
  std::optional<long> failingAllocation;  // the n-th nothrow allocation fails
};

// Writes header `w.kind` into `message` by copyOut, or by the steps.
Outcome prepend(KxlMsg &message, const Write &w, bool bySteps, long *allocations = nullptr) {
  using P = kxltest::PointerRefusal;
  const auto header = makeHeader(w.kind, w.tail);
  // What the header writes: a twin's record in front of an empty message
  // described as this one, in pieces of the lengths it writes them in (the
  // reference header's four names, only the destination name set).
  KxlMsg alone;
  alone.setEncoding(message.encoding());
  alone.setCharacterSet(message.characterSet());
  alone.setFormat(message.format());
  EXPECT_TRUE(makeHeader(w.kind, w.tail)->copyOut(alone));
  const std::string bytes = contentOf(alone), format = text(alone.format());
  std::vector<std::size_t> pieces = {bytes.size()};
  if (w.kind == 0) pieces = {32, w.tail};
  if (w.kind == 1) pieces = {108, 0, 0, 0, w.tail};
  std::optional<P> refused;
  if (w.listener == Listener::kBufferStart) refused.emplace(message.bufferPointer(), 1, P::kWrite);
  if (w.listener == Listener::kAfterHeader) {
    refused.emplace(message.bufferPointer() + bytes.size(), 1, P::kWrite);
  }
  if (w.listener == Listener::kLastHeaderByte) {
    refused.emplace(bySteps ? &bytes.back() : &static_cast<TestHeader &>(*header).tail.back(), 1,
                    P::kRead);
  }
  std::optional<kxltest::TraceCapture> trace;
  if (w.listener != Listener::kNobody) trace.emplace();
  kxltest::AllocationCounter counter;
  std::optional<kxltest::AllocationFailure> failure;
  if (w.failingAllocation) failure.emplace(*w.failingAllocation);
  const bool result =
      bySteps ? writeByTheSteps(message, *header, bytes, pieces, format) : header->copyOut(message);
  failure.reset();
  if (allocations != nullptr) *allocations = counter.count();
  refused.reset();
  const std::vector<std::string> records =
      trace ? kxltest::recordsOf(*trace) : std::vector<std::string>();
  trace.reset();
  // On failure the header takes the message's codes.
  const std::string headerCodes = bySteps && !result ? codes(message) : codes(*header);
  CacheState state = stateOf(message);
  state.buffer = nullptr;
  return {result, state, describe(message), codes(message) + " " + headerCodes, itemState(*header),
          records};
}

enum Offset { kZero, kHalf, kEnd };
struct Shape {
  bool automatic;
  std::optional<int> room;  // buffer length beyond the content, less the header's
  Offset offset;
  bool longTail;  // a tail 64 bytes longer than the content instead of 40 bytes
};
const Shape kShapes[] = {
    {true, {}, kEnd, false},   // grows for the header
    {true, {}, kHalf, true},   // both steps would grow
    {true, -1, kZero, false},  // grows for the content
    {true, 0, kHalf, false},   // room for both
    {false, 5, kHalf, false},  // room for both
    {false, -1, kEnd, false},  // no room for the header
    {false, -1, kZero, false}  // room for the header alone
};

// One header, content length and shape.
struct Case {
  int kind;
  const Shape &shape;
  std::size_t content, tail, length, buffer, offset;  // length: the header's
  std::unique_ptr<Scene> scene() const {
    return std::make_unique<Scene>(shape.automatic, buffer, content, offset);
  }
  bool roomForBoth() const { return buffer - content >= length; }
  bool roomGrows() const { return length > buffer - offset; }
};

// Runs `check` for every header, content length and shape.
template <class Check>
void forEveryShape(std::initializer_list<std::size_t> contents, Check check) {
  for (int kind = 0; kind < 6; ++kind) {
    for (std::size_t content : contents) {
      for (const Shape &shape : kShapes) {
        SCOPED_TRACE(::testing::Message() << "header " << kind << ", shape " << (&shape - kShapes)
                                          << ", content " << content);
        const std::size_t tail = shape.longTail ? content + 64 : 40;
        const std::size_t length = recordOf(*makeHeader(kind, tail)).size();
        const std::size_t offset = shape.offset == kZero   ? 0
                                   : shape.offset == kHalf ? content / 2
                                                           : content;
        check(Case{kind, shape, content, tail, length,
                   content + (shape.room ? length + *shape.room : 0), offset});
      }
    }
  }
}

// With nobody listening the content moves once, in place or into the one
// grown buffer, and the message, codes and header end as the steps leave
// them; no allocation where the buffer holds both, one where the room for
// the header had to grow, and elsewhere the steps' own.
TEST(KxlHdrTest, WriteWithNobodyListeningEndsAsTheSteps) {
  forEveryShape({0, 1000, std::size_t{1} << 20}, [](const Case &c) {
    long allocations = 0, stepAllocations = 0;
    const Write w = {c.kind, c.tail, Listener::kNobody, {}};
    const Outcome actual = prepend(c.scene()->message, w, false, &allocations);
    EXPECT_EQ(actual, prepend(c.scene()->message, w, true, &stepAllocations));
    if (!c.shape.automatic && c.roomGrows()) {
      EXPECT_EQ(std::get<3>(actual), "2/6113 2/6113");
    }
    EXPECT_EQ(allocations, c.roomForBoth()                      ? 0
                           : c.roomGrows() && c.shape.automatic ? 1
                                                                : stepAllocations);
  });
}

// The first allocation failing. Where the buffer holds both there is none
// to fail. Where the room for the header grows, the one allocation fails as
// the steps' growth does. Elsewhere the write is its steps, whose first
// allocation is the copy of the content, which then silently holds nothing:
// the write succeeds and the message holds the header alone. (With the data
// offset past 0 that copy is lengthened to it with bytes never set, so only
// offset 0 is compared there.)
TEST(KxlHdrTest, FirstAllocationFailingEndsAsInTheSteps) {
  forEveryShape({16, 1000}, [](const Case &c) {
    const Write failing = {c.kind, c.tail, Listener::kNobody, 1};
    const Outcome actual = prepend(c.scene()->message, failing, false);
    if (c.roomForBoth()) {
      EXPECT_EQ(actual, prepend(c.scene()->message, {c.kind, c.tail, Listener::kNobody, {}}, true));
    } else if (c.roomGrows() || c.offset == 0) {
      EXPECT_EQ(actual, prepend(c.scene()->message, failing, true));
    }
    if (c.roomGrows()) {
      EXPECT_EQ(std::get<3>(actual), c.shape.automatic ? "2/2071 2/2071" : "2/6113 2/6113");
    }
  });
}

// While someone listens the write is its steps: the same records (the
// buffer's growth and writes, each exit with the reason at that moment, the
// pointer checks' stage records), texts, codes and message.
TEST(KxlHdrTest, WhileSomeoneListensTheRecordsAreTheSteps) {
  forEveryShape({0, 1000}, [](const Case &c) {
    for (Listener listener : {Listener::kTrace, Listener::kLastHeaderByte, Listener::kBufferStart,
                              Listener::kAfterHeader}) {
      if (listener == Listener::kLastHeaderByte && c.kind != 0) continue;
      SCOPED_TRACE(static_cast<int>(listener));
      const Write w = {c.kind, c.tail, listener, {}};
      const Outcome actual = prepend(c.scene()->message, w, false);
      EXPECT_EQ(actual, prepend(c.scene()->message, w, true));
      if (!c.shape.automatic && c.shape.room == -1 && c.offset == 0 && c.content != 0 &&
          listener == Listener::kTrace) {
        // The header fits, the content does not: its write's exit says so.
        EXPECT_EQ(std::get<5>(actual).back(),
                  kxltest::exitLine(kKxlFnCacheWrite, KXRC_INSUFFICIENT_BUFFER));
      }
    }
  });
}

// A refused first write moves no byte of the application's buffer.
TEST(KxlHdrTest, RefusedFirstWriteLeavesTheApplicationBufferAsItWas) {
  Scene scene(false, 1000, 100, 50);
  const std::string before(scene.application.begin(), scene.application.end());
  const Outcome outcome = prepend(scene.message, {2, 0, Listener::kBufferStart, {}}, false);
  EXPECT_EQ(std::to_string(std::get<0>(outcome)) + std::get<3>(outcome), "02/2004 2/2004");
  EXPECT_EQ(std::string(scene.application.begin(), scene.application.end()), before);
  EXPECT_EQ(scene.message.messageLength(), 0u);
}

// The one allocation, for the header, failing (a tail of 0 bytes claimed);
// the room for the header at the offset, the room for it and the content, or
// the header's own length not representable: nothing changes.
TEST(KxlHdrTest, RoomRefusedChangesNothing) {
  const struct {
    std::size_t offset, claimedTail;
  } cases[] = {{16, 0}, {10, SIZE_MAX - 40}, {0, SIZE_MAX - 10}};
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.offset << " " << c.claimedTail);
    Scene s(true, 16, 16, c.offset);
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
    if (c.claimedTail != 0) {
      EXPECT_EQ(counter.count(), 0);
    }
    const bool grows = c.claimedTail == 0;
    EXPECT_EQ(textsOf(trace),
              (Texts{{grows ? kKxlFnCacheResizeBuffer : kKxlFnCacheMoreBytes,
                      std::string("KxlCache::") + (grows ? "resizeBuffer" : "moreBytes") +
                          " (error): storage not available"}}));
    EXPECT_EQ(stateOf(s.message), before);
    EXPECT_EQ(codes(s.message) + codes(header) + describe(s.message) + describe(header),
              "2/20712/2071" + description);
  }
}

// A header whose description accessors are overridden: the setters note
// what they are given and store something else, the getters answer with
// their own values. The header write and read must go through them.
template <class H>
class Overriding : public H {
 public:
  long characterSet() const override { return 1208; }
  long encoding() const override { return 785; }
  KxlStr format() const override { return KxlStr("OVERRIDE"); }
  void setCharacterSet(long value) override {
    told += "characterSet " + std::to_string(value) + ";";
    H::setCharacterSet(value + 1);
  }
  void setEncoding(long value) override {
    told += "encoding " + std::to_string(value) + ";";
    H::setEncoding(value + 1);
  }
  void setFormat(const char *name) override {
    told += "format " + std::string(name) + ";";
    H::setFormat("SEEN");
  }
  std::string told;
};

// Told the message's description in order, the record holds what the base
// setters were given instead; a read describes the message by the getters.
template <class H>
void expectVirtualAccessors() {
  for (bool listening : {false, true}) {
    SCOPED_TRACE(::testing::Message() << typeid(H).name() << " " << listening);
    KxlMsg message;
    load(message, "hello", 5, 273, "KXSTR   ");
    Overriding<H> written, read;
    std::optional<kxltest::TraceCapture> trace;
    if (listening) trace.emplace();
    ASSERT_TRUE(written.copyOut(message));
    const H &base = written;
    EXPECT_EQ(written.told + text(base.H::format()) + "/" + std::to_string(base.H::encoding()) +
                  "/" + std::to_string(base.H::characterSet()),
              "encoding 273;characterSet 850;format KXSTR   ;SEEN    /274/851");
    ASSERT_TRUE(message.setDataOffset(0));
    ASSERT_TRUE(read.pasteIn(message));
    EXPECT_EQ(describe(message) + read.told, "OVERRIDE/785/1208");
  }
}

TEST(KxlHdrTest, WriteAndReadGoThroughTheVirtualAccessors) {
  expectVirtualAccessors<KxlDlh>();
  expectVirtualAccessors<KxlVih>();
  expectVirtualAccessors<KxlOih>();
  expectVirtualAccessors<KxlWih>();
  expectVirtualAccessors<KxlRfh>();
  expectVirtualAccessors<TestHeader>();
}

TEST(KxlItmTest, StructureIdIsComparesFourBytesAtTheOffset) {
  KxlMsg message;
  load(message, "xxABCDyyy", 2, kKxlNativeEncoding, "");
  kxltest::TraceCapture trace;
  EXPECT_TRUE(KxlItm::structureIdIs("ABCD", message));
  EXPECT_TRUE(KxlItm::structureIdIs("ABCDzz", message));
  for (const char *id : {static_cast<const char *>(nullptr), "ABCX", "xABC"})
    EXPECT_FALSE(KxlItm::structureIdIs(id, message));
  ASSERT_TRUE(message.setDataOffset(6));  // 3 bytes of data
  EXPECT_FALSE(KxlItm::structureIdIs("yyy", message));
  EXPECT_EQ(textsOf(trace),
            Texts(4, {kKxlFnItemStructureIdIs,
                      "KxlItem::structureIdIs (information): structure id is not equal"}));
  EXPECT_EQ(codes(message) + std::to_string(message.dataOffset()), "0/06");
}

}  // namespace
}  // namespace kxlhdrtest
