// The message buffer: growth, moves within the buffer, assignment, and the
// texts, codes and unchanged state of every refusal. fuzz_cache models the
// cursor operations, application buffers and copies step by step.

#include "kxlcac.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "kxlmsgtest.hpp"
#include "kxltable.hpp"

namespace kxltest {
namespace {

using Exits = std::vector<std::int32_t>;

// Unseen by fuzz_cache: the offset growing the buffer, the cut's warning, the
// buffer doubling. tests/trace finds the writes made before the sink in its file.
TEST(KxlCacTest, CursorOperationsAndACutBuffer) {
  const std::string bytes = pattern(4096);
  KxlCac cache, cut;
  ASSERT_TRUE(cut.write(6, "abcdef") && cut.setDataOffset(14) && cut.setMessageLength(5));
  EXPECT_EQ(stateOf(cut), (CacheState{cut.bufferPointer(), 14, 5, 5, true, "abcde"}));
  ASSERT_TRUE(cut.setDataOffset(3));
  auto trace = std::make_unique<TraceCapture>();
  EXPECT_TRUE(cut.resizeBuffer(2));
  EXPECT_EQ(stateOf(cut), (CacheState{cut.bufferPointer(), 2, 2, 2, true, "ab"}));
  EXPECT_EQ(codesOf(cut), (Codes{KXCC_WARNING, KXRC_DATA_TRUNCATED}));
  EXPECT_EQ(textsOf(*trace),
            (Texts{{kKxlFnCacheResizeBuffer, "KxlCache::resizeBuffer (warning): data truncated"}}));
  EXPECT_EQ(trace->exitValues(kKxlFnCacheResizeBuffer), (Exits{KXRC_DATA_TRUNCATED}));
  trace.reset();  // one sink at a time
  trace = std::make_unique<TraceCapture>();
  AllocationCounter counter;
  ASSERT_TRUE(cache.write(0, nullptr));
  EXPECT_EQ(cache.bufferPointer(), nullptr);
  for (char byte : bytes) ASSERT_TRUE(cache.write(1, &byte));
  EXPECT_EQ(stateOf(cache), (CacheState{cache.bufferPointer(), 4096, 4096, 4096, true, bytes}));
  EXPECT_EQ(trace->entries(kKxlFnCacheResizeBuffer), 13);  // 1, 2, 4, ... 4096
  EXPECT_EQ(counter.count(), 13);
  EXPECT_EQ(trace->exitValues(kKxlFnCacheWrite), Exits(4097, 0));
  // More than twice the buffer: exactly what the offset needs.
  ASSERT_TRUE(cache.setDataOffset(4000) && cache.moreBytes(9000));
  EXPECT_EQ(stateOf(cache), (CacheState{cache.bufferPointer(), 13000, 4096, 4000, true, bytes}));
}

// Each refusal traced, and untraced (where reads and writes take a shortcut).
TEST(KxlCacTest, RefusalsReportAndChangeNothing) {
  for (const bool traced : {true, false}) {
    for (const Row &row : table("msg_cac_refusals")) {
      SCOPED_TRACE(row.file + (traced ? " traced" : " quiet"));
      char text[] = "1234567", application[8] = {}, other[4] = {}, into[] = "----";
      char *top = reinterpret_cast<char *>(UINTPTR_MAX - 1);  // four bytes there wrap
      const std::map<std::string, char *> pointers = {
          {"text", text},       {"null", nullptr},          {"other", other}, {"into", into},
          {"into+1", into + 1}, {"app+3", application + 3}, {"top", top}};
      KxlCac cache;
      ASSERT_TRUE((row[0] == "auto" || cache.useEmptyBuffer(application, 8)) &&
                  cache.write(6, "abcdef") && cache.setDataOffset(2));
      const CacheState before = stateOf(cache);
      std::optional<PointerRefusal> refusal;
      if (row[4] != "-")
        refusal.emplace(pointers.at(row[4]), 1, PointerRefusal::Mode(row.number(5)));
      auto trace = traced ? std::make_unique<TraceCapture>() : nullptr;
      const std::string &op = row[1];
      const auto count = static_cast<std::size_t>(row.number(2));
      char *pointer = pointers.at(row[3]);
      EXPECT_FALSE(op == "write"    ? cache.write(count, pointer)
                   : op == "read"   ? cache.read(count, pointer)
                   : op == "resize" ? cache.resizeBuffer(count)
                   : op == "offset" ? cache.setDataOffset(count)
                   : op == "full"   ? cache.useFullBuffer(pointer, count)
                                    : cache.useEmptyBuffer(pointer, count));
      if (trace != nullptr) {
        EXPECT_EQ(textsOf(*trace), (Texts{{row.number(6), row[9]}}));
        EXPECT_EQ(trace->exitValues(row.number(8)), Exits{static_cast<int>(row.number(7))});
      }
      EXPECT_EQ(codesOf(cache), (Codes{KXCC_FAILED, row.number(7)}));
      EXPECT_EQ(stateOf(cache), before);
      EXPECT_EQ(std::string(into), "----");
    }
  }
}

// Short moves, made without memmove, overlapping in either direction.
TEST(KxlCacTest, ReadsAndWritesWithinTheBufferMoveEveryLength) {
  const std::string bytes = pattern(200);
  for (std::size_t count = 1; count <= 80; ++count) {
    for (const std::size_t other : {0, 45, 50, 55, 120}) {
      SCOPED_TRACE(::testing::Message() << count << " bytes, other end at " << other);
      for (const bool writing : {true, false}) {
        std::string model = bytes;
        std::memmove(&model[writing ? 50 : other], &model[writing ? other : 50], count);
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

// Assignment copies what fits; a copy owns its bytes, outliving the buffer.
TEST(KxlCacTest, AssignmentCopiesWhatFitsCopyOwnsItsBytes) {
  const std::string bytes = pattern(100, 3);
  for (const Row &row : table("msg_cac_assign")) {
    SCOPED_TRACE(row.file);
    const auto number = [&](std::size_t i) { return static_cast<std::size_t>(row.number(i)); };
    const bool automatic = row[0] == "auto";
    const std::size_t length = number(1), message = number(6);
    Texts texts;
    for (std::size_t i = 8; i + 1 < row.cells.size(); i += 2)
      texts.emplace_back(number(i), row[i + 1]);
    KxlCac source, target;
    char *none = nullptr;
    ASSERT_TRUE(source.write(100, bytes.data()) && source.setDataOffset(number(2)));
    EXPECT_FALSE(source.read(101, none));
    std::vector<char> application(length);
    ASSERT_TRUE(automatic ? target.resizeBuffer(length)
                          : target.useEmptyBuffer(application.data(), length));
    const char *old = target.bufferPointer();
    TraceCapture trace;
    target = source;
    const Codes codes{row.number(3), row.number(4)};
    EXPECT_EQ(codesOf(target), codes);
    EXPECT_EQ(textsOf(trace), texts);
    const char *buffer = number(5) == length ? old : target.bufferPointer();
    EXPECT_EQ(stateOf(target), (CacheState{buffer, number(5), message, number(7), automatic,
                                           bytes.substr(0, message)}));
    KxlCac copy(target);
    const KxlCac &same = copy;
    copy = same;
    application.assign(length, '\0');
    EXPECT_EQ(codesOf(copy), codes);
    EXPECT_EQ(stateOf(copy), (CacheState{copy.bufferPointer(), message, message, number(7), true,
                                         bytes.substr(0, message)}));
  }
}

}  // namespace
}  // namespace kxltest
