// The string class's lock around copy-outs to callers' buffers, its
// release by KxlStrCleanUp, and the string class's error record under
// several threads.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

using Texts = std::vector<std::string>;

constexpr char kReleasing[] = "Releasing KxlString resources";

struct Step {
  xcsRecordKind kind;
  std::uint32_t function;
  std::int32_t value;
  bool operator==(const Step &other) const {
    return kind == other.kind && function == other.function && value == other.value;
  }
};

std::ostream &operator<<(std::ostream &out, const Step &step) {
  return out << "{" << step.kind << ", " << step.function << ", " << step.value << "}";
}

std::vector<Step> steps(const kxltest::TraceCapture &trace) {
  std::vector<Step> result;
  for (const kxltest::TraceRecord &record : trace.records())
    result.push_back(Step{record.kind, record.function, record.value});
  return result;
}

TEST(KxlStrLockTest, CleanUpWithoutALockDoesNothing) {
  KxlStrCleanUp();
  kxltest::TraceCapture trace;
  KxlStrCleanUp();
  EXPECT_TRUE(trace.records().empty());
}

TEST(KxlStrLockTest, CopyOutRunsTheCopyBetweenTakingAndReleasing) {
  char buffer[4];
  KxlStr s("abcdef");
  kxltest::TraceCapture trace;
  EXPECT_TRUE(s.copyOut(buffer, 4, ' '));
  // Between taking and releasing: the copy's pointer check and its text.
  const std::vector<Step> expected = {
      {XCS_INIT_TERM, 0, 4}, {XCS_ENTRY, 57, 0},    {XCS_EXIT, 57, 1},
      {XCS_INIT_TERM, 0, 1}, {XCS_INIT_TERM, 0, 1}, {XCS_TEXT, 43, 0},
      {XCS_INIT_TERM, 0, 4}, {XCS_ENTRY, 58, 0},    {XCS_EXIT, 58, 1},
  };
  EXPECT_EQ(steps(trace), expected);
  EXPECT_EQ(trace.texts(), Texts{"static KxlString::copy (warning): string truncated"});
}

TEST(KxlStrLockTest, LockIsCreatedOnFirstUseOnly) {
  char buffer[4];
  KxlStr s("ab");
  KxlStrCleanUp();
  kxltest::AllocationCounter first;
  EXPECT_TRUE(s.copyOut(buffer, 4, ' '));
  EXPECT_EQ(first.count(), 1);
  kxltest::AllocationCounter later;
  EXPECT_TRUE(s.copyOut(buffer, 4, ' '));
  EXPECT_TRUE(s.copyOut(buffer, 4, ' '));
  EXPECT_EQ(later.count(), 0);
}

TEST(KxlStrLockTest, CleanUpReleasesTheLockOnce) {
  char buffer[5] = "####";
  KxlStr s("ab");
  ASSERT_TRUE(s.copyOut(buffer, 4, ' '));
  {
    kxltest::TraceCapture trace;
    KxlStrCleanUp();
    KxlStrCleanUp();
    EXPECT_EQ(trace.texts(), Texts{kReleasing});
    EXPECT_TRUE(trace.sawText(76, kReleasing));
  }
  // A later copy-out creates the lock again.
  kxltest::TraceCapture trace;
  kxltest::AllocationCounter counter;
  KxlStr t("xyz");
  EXPECT_TRUE(t.copyOut(buffer, 4, '-'));
  EXPECT_EQ(std::string(buffer), "xyz-");
  EXPECT_EQ(counter.count(), 2);  // the string's text and the lock
  EXPECT_EQ(trace.exitValues(57), std::vector<std::int32_t>{1});
  EXPECT_EQ(trace.exitValues(58), std::vector<std::int32_t>{1});
  trace.clear();
  KxlStrCleanUp();
  EXPECT_EQ(trace.texts(76), Texts{kReleasing});
}

TEST(KxlStrLockTest, LockThatCannotBeCreatedFailsTheCopyOut) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  char buffer[5] = "####";
  KxlStr s("abc");
  KxlStrCleanUp();
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(s.copyOut(buffer, 4, ' '));
    EXPECT_EQ(failure.failed(), 1);
  }
  EXPECT_EQ(s.completionCode(), 2);
  EXPECT_EQ(s.reasonCode(), 2195);
  EXPECT_EQ(std::string(buffer), "####");
  EXPECT_TRUE(trace.texts().empty());
  EXPECT_EQ(trace.entries(57), 1);
  EXPECT_EQ(trace.exitValues(57), std::vector<std::int32_t>{0});
  EXPECT_EQ(trace.entries(58), 0);

  // Nothing was left behind: the next copy-out creates the lock.
  trace.clear();
  EXPECT_TRUE(s.copyOut(buffer, 4, ' '));
  EXPECT_EQ(std::string(buffer), "abc ");
  EXPECT_EQ(trace.exitValues(57), std::vector<std::int32_t>{1});
}

// Holds up every write check for a moment. A copy-out's copy asks it
// between clearing the string class's error record and taking it over, so
// another thread's copy would land in that window if the lock let it.
class SlowWriteCheck {
 public:
  SlowWriteCheck() { xcsSetPointerCheck(&SlowWriteCheck::check, nullptr); }
  ~SlowWriteCheck() { xcsSetPointerCheck(nullptr, nullptr); }
  SlowWriteCheck(const SlowWriteCheck &) = delete;
  SlowWriteCheck &operator=(const SlowWriteCheck &) = delete;

 private:
  static int check(const void *, std::uint64_t, std::uint16_t mode, void *) {
    if (mode == 2) std::this_thread::sleep_for(std::chrono::microseconds(50));
    return 0;
  }
};

// Copy-outs on several threads, the first of them racing to create the
// lock: each string must end with the codes of its own copy only.
TEST(KxlStrLockTest, ConcurrentCopyOutsTakeOnlyTheirOwnCodes) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 300;
  KxlStrCleanUp();
  std::vector<KxlStr> longTexts(kThreads, KxlStr("abcdefgh"));
  std::vector<KxlStr> shortTexts(kThreads, KxlStr("ab"));
  std::atomic<int> wrong{0};
  std::atomic<bool> go{false};
  SlowWriteCheck slow;
  kxltest::AllocationCounter counter;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      char buffer[4];
      KxlStr &longText = longTexts[t];
      KxlStr &shortText = shortTexts[t];
      for (int round = 0; round < kRounds; ++round) {
        longText.clearErrorCodes();
        if (!longText.copyOut(buffer, 4, ' ') || longText.reasonCode() != 6115 ||
            longText.completionCode() != 1 || std::memcmp(buffer, "abcd", 4) != 0)
          ++wrong;
        shortText.clearErrorCodes();
        if (!shortText.copyOut(buffer, 4, ' ') || shortText.reasonCode() != 0 ||
            shortText.completionCode() != 0 || std::memcmp(buffer, "ab  ", 4) != 0)
          ++wrong;
      }
    });
  }
  go.store(true);
  for (std::thread &thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(counter.count(), 1);  // the lock, created once
}

// Setters write the record without the lock while copy-outs read it: a
// copy-out takes one whole write, never the completion code of one and the
// reason code of another.
TEST(KxlStrLockTest, RecordIsTakenWholeWhileSettersWrite) {
  constexpr int kRounds = 4000;
  std::atomic<bool> stop{false};
  std::atomic<int> mixed{0};
  std::vector<std::thread> setters;
  for (int t = 0; t < 2; ++t) {
    setters.emplace_back([&] {
      char field[4];
      while (!stop.load()) {
        KxlStr::copy(field, 4, "abcdefgh", ' ');  // 1/6115
        KxlStr::copy(nullptr, 4, "ab", ' ');      // 2/6108
      }
    });
  }
  std::thread reader([&] {
    char buffer[2];
    KxlStr s("abc");
    for (int round = 0; round < kRounds; ++round) {
      s.clearErrorCodes();
      s.copyOut(buffer, 2, ' ');
      const bool truncated = s.completionCode() == 1 && s.reasonCode() == 6115;
      const bool failed = s.completionCode() == 2 && s.reasonCode() == 6108;
      if (!truncated && !failed) ++mixed;
    }
  });
  reader.join();
  stop.store(true);
  for (std::thread &thread : setters) thread.join();
  EXPECT_EQ(mixed.load(), 0);
  const long completion = KxlStr::staticCompletionCode();
  EXPECT_TRUE(completion == 1 || completion == 2);
}

}  // namespace
