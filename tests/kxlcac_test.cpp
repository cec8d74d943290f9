// The message buffer: growth, moves within the buffer, assignment, and the
// texts, codes and unchanged state of every refusal. fuzz_cache models the
// cursor operations, application buffers and copies step by step.

#include "kxlcac.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxlmsgtest.hpp"

namespace {

using kxltest::CacheState;
using kxltest::Codes;
using kxltest::codesOf;
using kxltest::stateOf;
using kxltest::Texts;
using kxltest::textsOf;
using Exits = std::vector<std::int32_t>;
using Lengths = std::vector<std::size_t>;  // buffer, message, data offset

constexpr char kNotResizable[] = "KxlCache::resizeBuffer (error): user buffer cannot be resized";
constexpr char kResizeCut[] = "KxlCache::resizeBuffer (warning): data truncated";
constexpr char kAssignCut[] = "KxlCache::operator = (warning): data truncated";
constexpr char kReadRefused[] = "KxlError::checkReadPointer (error): buffer error";
constexpr char kWriteRefused[] = "KxlError::checkWritePointer (error): buffer error";

Lengths lengths(const KxlCac &cache) {
  return {cache.bufferLength(), cache.messageLength(), cache.dataOffset()};
}

TEST(KxlCacTest, AutomaticBufferAtLeastDoubles) {
  const std::string bytes = kxltest::pattern(4096);
  KxlCac cache;
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  ASSERT_TRUE(cache.write(0, nullptr));
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  for (char byte : bytes) ASSERT_TRUE(cache.write(1, &byte));
  EXPECT_EQ(stateOf(cache), (CacheState{cache.bufferPointer(), 4096, 4096, 4096, true, bytes}));
  EXPECT_EQ(trace.entries(kKxlFnCacheResizeBuffer), 13);  // 1, 2, 4, ... 4096
  EXPECT_EQ(counter.count(), 13);
  EXPECT_EQ(trace.exitValues(kKxlFnCacheWrite), Exits(4097, 0));
  // More than twice the buffer: exactly what the offset needs.
  ASSERT_TRUE(cache.setDataOffset(4000) && cache.moreBytes(9000));
  EXPECT_EQ(lengths(cache), (Lengths{13000, 4096, 4000}));
}

// The cursor operations and buffer switches are fuzz_cache's model; what
// it does not see: the offset growing the buffer exactly to fit, and the
// warning of a buffer cut below the message with its text and exit. The
// writes before the capture are what tests/trace finds in its trace file.
TEST(KxlCacTest, CursorOperationsAndACutBuffer) {
  KxlCac cache;
  ASSERT_TRUE(cache.write(6, "abcdef") && cache.setDataOffset(14) && cache.setMessageLength(5));
  EXPECT_EQ(stateOf(cache), (CacheState{cache.bufferPointer(), 14, 5, 5, true, "abcde"}));
  ASSERT_TRUE(cache.setDataOffset(3));
  kxltest::TraceCapture trace;
  EXPECT_TRUE(cache.resizeBuffer(2));
  EXPECT_EQ(stateOf(cache), (CacheState{cache.bufferPointer(), 2, 2, 2, true, "ab"}));
  EXPECT_EQ(codesOf(cache), (Codes{KXCC_WARNING, KXRC_DATA_TRUNCATED}));
  EXPECT_EQ(textsOf(trace), (Texts{{kKxlFnCacheResizeBuffer, kResizeCut}}));
  EXPECT_EQ(trace.exitValues(kKxlFnCacheResizeBuffer), (Exits{KXRC_DATA_TRUNCATED}));
}

// What a refused operation works with; `refusing` makes the pointer check
// refuse one byte from then on.
struct Scene {
  char application[8] = {};
  char other[4] = {};
  char destination[4] = {'-', '-', '-', '-'};
  char *into = destination;
  char *none = nullptr;
  // Two bytes below the top of the address space: four bytes there wrap.
  char *top = reinterpret_cast<char *>(UINTPTR_MAX - 1);
  std::unique_ptr<kxltest::PointerRefusal> refusal;
  bool refusing(const void *pointer, kxltest::PointerRefusal::Mode mode) {
    refusal = std::make_unique<kxltest::PointerRefusal>(pointer, 1, mode);
    return true;
  }
};
using S = Scene;
constexpr auto kRead = kxltest::PointerRefusal::kRead;
constexpr auto kWrite = kxltest::PointerRefusal::kWrite;

const struct Refusal {
  bool application;  // the cache works on Scene::application
  bool (*run)(KxlCac &cache, Scene &scene);
  unsigned function;
  const char *text;
  long reason;
  unsigned traced;  // the operation whose exit record carries the reason
} kRefusals[] = {
    {true, [](KxlCac &c, S &) { return c.write(7, "1234567"); }, kKxlFnCacheMoreBytes,
     "KxlCache::moreBytes (error): insufficient buffer", KXRC_INSUFFICIENT_BUFFER,
     kKxlFnCacheWrite},
    {false, [](KxlCac &c, S &) { return c.write(2, nullptr); }, kKxlFnCacheWrite,
     "KxlCache::write (error): null data pointer", KXRC_NULL_POINTER, kKxlFnCacheWrite},
    {false, [](KxlCac &c, S &s) { return s.refusing(s.other, kRead) && c.write(2, s.other); },
     kKxlFnErrorCheckReadPointer, kReadRefused, KXRC_BUFFER_ERROR, kKxlFnCacheWrite},
    {true,
     [](KxlCac &c, S &s) { return s.refusing(&s.application[3], kWrite) && c.write(2, "ab"); },
     kKxlFnErrorCheckWritePointer, kWriteRefused, KXRC_BUFFER_ERROR, kKxlFnCacheWrite},
    {false, [](KxlCac &c, S &s) { return c.write(4, s.top); }, kKxlFnErrorCheckReadPointer,
     kReadRefused, KXRC_BUFFER_ERROR, kKxlFnCacheWrite},
    {false, [](KxlCac &c, S &) { return c.write(SIZE_MAX - 1, nullptr); }, kKxlFnCacheMoreBytes,
     "KxlCache::moreBytes (error): storage not available", KXRC_STORAGE_NOT_AVAILABLE,
     kKxlFnCacheWrite},
    {false, [](KxlCac &c, S &s) { return c.read(5, s.into); }, kKxlFnCacheRead,
     "KxlCache::read (error): insufficient data", KXRC_INSUFFICIENT_DATA, kKxlFnCacheRead},
    {false, [](KxlCac &c, S &s) { return c.read(2, s.none); }, kKxlFnCacheRead,
     "KxlCache::read (error): null data pointer", KXRC_NULL_POINTER, kKxlFnCacheRead},
    {true,
     [](KxlCac &c, S &s) { return s.refusing(&s.destination[1], kWrite) && c.read(2, s.into); },
     kKxlFnErrorCheckWritePointer, kWriteRefused, KXRC_BUFFER_ERROR, kKxlFnCacheRead},
    {false, [](KxlCac &c, S &s) { return c.read(4, s.top); }, kKxlFnErrorCheckWritePointer,
     kWriteRefused, KXRC_BUFFER_ERROR, kKxlFnCacheRead},
    // An application buffer is refused before its length is looked at.
    {true, [](KxlCac &c, S &) { return c.resizeBuffer(8); }, kKxlFnCacheResizeBuffer, kNotResizable,
     KXRC_USER_BUFFER_NOT_RESIZABLE, kKxlFnCacheResizeBuffer},
    {true, [](KxlCac &c, S &) { return c.setDataOffset(9); }, kKxlFnCacheResizeBuffer,
     kNotResizable, KXRC_USER_BUFFER_NOT_RESIZABLE, kKxlFnCacheResizeBuffer},
    {true, [](KxlCac &c, S &) { return c.useFullBuffer(nullptr, 5); }, kKxlFnCacheUseBuffer,
     "KxlCache::useEmpty/FullBuffer (error): length but no pointer", KXRC_NULL_POINTER,
     kKxlFnCacheUseBuffer},
    {false,
     [](KxlCac &c, S &s) { return s.refusing(s.other, kRead) && c.useEmptyBuffer(s.other, 4); },
     kKxlFnErrorCheckReadPointer, kReadRefused, KXRC_BUFFER_ERROR, kKxlFnCacheUseBuffer},
};

// Each refusal is made twice: traced, and with nobody listening, where
// reads and writes decide without the trace whether only a copy is left.
TEST(KxlCacTest, RefusalsReportAndChangeNothing) {
  for (const bool traced : {true, false}) {
    for (const Refusal &r : kRefusals) {
      SCOPED_TRACE(::testing::Message() << r.text << (traced ? " traced" : " quiet"));
      Scene scene;
      KxlCac cache;
      ASSERT_TRUE((!r.application || cache.useEmptyBuffer(scene.application, 8)) &&
                  cache.write(6, "abcdef") && cache.setDataOffset(2));
      const CacheState before = stateOf(cache);
      auto trace = traced ? std::make_unique<kxltest::TraceCapture>() : nullptr;
      EXPECT_FALSE(r.run(cache, scene));
      if (trace != nullptr) {
        EXPECT_EQ(textsOf(*trace), (Texts{{r.function, r.text}}));
        EXPECT_EQ(trace->exitValues(r.traced), Exits{static_cast<std::int32_t>(r.reason)});
      }
      EXPECT_EQ(codesOf(cache), (Codes{KXCC_FAILED, r.reason}));
      EXPECT_EQ(stateOf(cache), before);
      EXPECT_EQ(std::string(scene.destination, 4), "----");
    }
  }
}

// Short moves are made without memmove; they must still be right for every
// length and when source and target overlap (a message written from, or
// read into, its own buffer), in either direction.
TEST(KxlCacTest, ReadsAndWritesWithinTheBufferMoveEveryLength) {
  const std::string bytes = kxltest::pattern(200);
  for (std::size_t count = 1; count <= 80; ++count) {
    for (const std::size_t other : {0, 45, 50, 55, 120}) {
      SCOPED_TRACE(::testing::Message() << count << " bytes, other end at " << other);
      for (const bool writing : {true, false}) {
        std::string model = bytes;
        if (writing) std::memmove(&model[50], &model[other], count);
        if (!writing) std::memmove(&model[other], &model[50], count);
        KxlCac cache;
        ASSERT_TRUE(cache.write(200, bytes.data()) && cache.setDataOffset(50));
        char *within = cache.bufferPointer() + other;
        ASSERT_TRUE(writing ? cache.write(count, within) : cache.read(count, within));
        EXPECT_EQ(stateOf(cache).contents, model);
        EXPECT_EQ(cache.dataOffset(), 50 + count);
      }
    }
  }
}

// Assignment copies what fits; a copy is automatic and owns its bytes, and
// outlives the application's buffer.
TEST(KxlCacTest, AssignmentCopiesWhatFitsCopyOwnsItsBytes) {
  const std::string bytes = kxltest::pattern(100, 3);
  const struct {
    bool automatic;
    std::size_t buffer, sourceOffset;
    Codes codes;  // the source holds 2/6114
    Texts texts;
    Lengths lengths;
  } cases[] = {
      {true, 5, 30, {KXCC_FAILED, KXRC_INSUFFICIENT_DATA}, {}, {100, 100, 30}},
      {true, 150, 30, {KXCC_FAILED, KXRC_INSUFFICIENT_DATA}, {}, {150, 100, 30}},
      {false,
       40,
       30,
       {KXCC_WARNING, KXRC_DATA_TRUNCATED},
       {{kKxlFnCacheAssign, kAssignCut}},
       {40, 40, 30}},
      // An offset that does not fit ends the assignment with a failed resize.
      {false,
       40,
       100,
       {KXCC_FAILED, KXRC_USER_BUFFER_NOT_RESIZABLE},
       {{kKxlFnCacheAssign, kAssignCut}, {kKxlFnCacheResizeBuffer, kNotResizable}},
       {40, 40, 0}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.buffer << " " << c.sourceOffset);
    KxlCac source, target;
    char *none = nullptr;
    ASSERT_TRUE(source.write(100, bytes.data()) && source.setDataOffset(c.sourceOffset));
    EXPECT_FALSE(source.read(101, none));
    std::vector<char> application(c.buffer);
    ASSERT_TRUE(c.automatic ? target.resizeBuffer(c.buffer)
                            : target.useEmptyBuffer(application.data(), c.buffer));
    const char *old = target.bufferPointer();
    kxltest::TraceCapture trace;
    target = source;
    EXPECT_EQ(codesOf(target), c.codes);
    EXPECT_EQ(textsOf(trace), c.texts);
    EXPECT_EQ(lengths(target), c.lengths);
    EXPECT_EQ(stateOf(target).contents, bytes.substr(0, c.lengths[1]));
    EXPECT_EQ(target.automaticBuffer(), c.automatic);
    EXPECT_EQ(target.bufferPointer() == old, c.lengths[0] == c.buffer);
    KxlCac copy(target);
    const KxlCac &same = copy;
    copy = same;
    application.assign(c.buffer, '\0');
    EXPECT_EQ(codesOf(copy), c.codes);
    EXPECT_EQ(stateOf(copy), (CacheState{copy.bufferPointer(), c.lengths[1], c.lengths[1],
                                         c.lengths[2], true, bytes.substr(0, c.lengths[1])}));
  }
}

}  // namespace
