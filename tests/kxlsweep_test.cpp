// Allocation-failure sweep: each scenario is run once to count the nothrow
// allocations it makes, then once more for each of them with that one
// failing. Every run must end without a crash (and, under the asan preset,
// without a leak), report 2071 where the operation reports it, and leave
// the failing object as it was where the library promises that.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kxli.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using kxltest::stateOf;

const Codes kOk{KXCC_OK, KXRC_NONE};
const Codes kFailed{KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE};

// One run of a scenario: counts the nothrow allocations made inside run()
// (failAt 0), or makes the failAt-th of them fail.
class Trial {
 public:
  explicit Trial(long failAt) : failAt_(failAt) {}
  template <class Operation>
  void run(Operation operation) {
    if (failAt_ == 0) {
      kxltest::AllocationCounter counter;
      operation();
      count_ += counter.count();
      return;
    }
    kxltest::AllocationFailure failure(failAt_);
    live_ = &failure;
    operation();
    live_ = nullptr;
    failed_ = failure.failed() > 0;
  }
  // Whether the allocation has failed yet (also while run() is going on).
  bool failed() const { return live_ != nullptr ? live_->failed() > 0 : failed_; }
  long count() const { return count_; }

 private:
  long failAt_;
  long count_ = 0;
  bool failed_ = false;
  const kxltest::AllocationFailure *live_ = nullptr;
};

struct Scenario {
  const char *name;
  std::function<void(Trial &)> run;
};

// Every header, outermost last; the reference header's names are set for
// writing and left empty for reading, so that reading them allocates.
std::vector<std::unique_ptr<KxlHdr>> headers(bool named) {
  std::vector<std::unique_ptr<KxlHdr>> list;
  list.push_back(std::make_unique<KxlDlh>());
  list.push_back(std::make_unique<KxlVih>());
  list.push_back(std::make_unique<KxlOih>());
  list.push_back(std::make_unique<KxlWih>());
  auto reference = std::make_unique<KxlRfh>();
  if (named) {
    reference->setSourceName("SOURCE");
    reference->setDestinationName("DESTINATION");
  }
  list.push_back(std::move(reference));
  return list;
}

using Headers = std::vector<std::unique_ptr<KxlHdr>>;

// Writes the headers in turn until one fails; that one reports 2071 and
// leaves the message as it was. True when all were written.
bool writeChain(KxlMsg &message, Headers &list, Trial &trial) {
  bool whole = false;
  trial.run([&] {
    for (auto &header : list) {
      const kxltest::CacheState before = stateOf(message);
      const std::string format = kxltest::formatOf(message);
      if (message.writeItem(*header)) continue;
      EXPECT_EQ(codesOf(*header), kFailed);
      EXPECT_EQ(codesOf(message), kFailed);
      EXPECT_EQ(stateOf(message), before);
      EXPECT_EQ(kxltest::formatOf(message), format);
      return;
    }
    whole = true;
  });
  return whole;
}

// Reads the headers back and then the body until a read fails; that one
// reports 2071 and leaves the message's cursor and format where they were.
// True when everything was read.
bool readChain(KxlMsg &message, KxlItm &body, Trial &trial) {
  Headers list = headers(false);
  std::vector<KxlItm *> items;
  for (auto header = list.rbegin(); header != list.rend(); ++header) items.push_back(header->get());
  items.push_back(&body);
  bool whole = false;
  trial.run([&] {
    for (KxlItm *item : items) {
      const std::size_t offset = message.dataOffset();
      const std::string format = kxltest::formatOf(message);
      if (message.readItem(*item)) continue;
      EXPECT_EQ(codesOf(*item), kFailed);
      EXPECT_EQ(message.dataOffset(), offset);
      EXPECT_EQ(kxltest::formatOf(message), format);
      return;
    }
    whole = true;
  });
  return whole;
}

// The chain is written and read back, one of the two under the trial; a
// chain written whole reads back whole to the same body.
template <class Body>
void chainRoundTrip(Trial &trial, bool readUnderTrial, const Body &body) {
  KxlMsg message;
  Body written = body;
  ASSERT_TRUE(message.writeItem(written));
  Headers list = headers(true);
  Trial plain(0);
  if (!writeChain(message, list, readUnderTrial ? plain : trial)) return;
  ASSERT_TRUE(message.setDataOffset(0));
  Body back;
  if (!readChain(message, back, readUnderTrial ? trial : plain)) return;
  EXPECT_TRUE(back == body);
  EXPECT_EQ(message.dataOffset(), message.messageLength());
}

const KxlStr kText("some text");
const KxlBin kBytes("\x01\x00\x02\x00", 4);

// String operations on "abc". One that changes the string fails with
// 2/2071 and keeps its text; one that assigns a newly built string may
// instead end with that string's codes (2071) and a null string.
struct StringCase {
  const char *name;
  std::function<bool(KxlStr &)> operation;
  const char *result;
  bool mayEndNull;
  bool returnsResult;  // false: the operation returns nothing
};
const KxlStr kDef("def");
const StringCase kStringCases[] = {
    {"join", [](KxlStr &s) { return s = s + kDef, true; }, "abcdef", true, false},
    {"append", [](KxlStr &s) { return s += kDef, true; }, "abcdef", true, false},
    {"substring", [](KxlStr &s) { return s = s(1, 2), true; }, "bc", true, false},
    {"byte append", [](KxlStr &s) { return s.pasteIn("\0q", 2); }, "abc.q", false, true},
    {"set", [](KxlStr &s) { return s.set("12345", 5); }, "12345", false, true},
    {"assignment", [](KxlStr &s) { return s = kDef, true; }, "def", false, false},
};

void stringScenario(Trial &trial) {
  constexpr std::size_t kCases = sizeof kStringCases / sizeof kStringCases[0];
  std::vector<KxlStr> strings(kCases, KxlStr("abc"));
  trial.run([&] {
    for (std::size_t i = 0; i < kCases; ++i) {
      const StringCase &c = kStringCases[i];
      KxlStr &s = strings[i];
      SCOPED_TRACE(c.name);
      const bool failedBefore = trial.failed();
      const bool result = c.operation(s);
      if (trial.failed() == failedBefore) {
        EXPECT_TRUE(result);
        EXPECT_EQ(s, c.result);
      } else if (c.mayEndNull && s.storage() == 0) {
        EXPECT_EQ(s.reasonCode(), KXRC_STORAGE_NOT_AVAILABLE);
      } else {
        if (c.returnsResult) {
          EXPECT_FALSE(result);
        }
        EXPECT_EQ(codesOf(s), kFailed);
        EXPECT_EQ(s, "abc");
      }
    }
  });
}

const Scenario kScenarios[] = {
    {"header chain over text, written", [](Trial &t) { chainRoundTrip(t, false, kText); }},
    {"header chain over text, read", [](Trial &t) { chainRoundTrip(t, true, kText); }},
    {"header chain over bytes, written", [](Trial &t) { chainRoundTrip(t, false, kBytes); }},
    {"header chain over bytes, read", [](Trial &t) { chainRoundTrip(t, true, kBytes); }},
    {"string joins, appends, cuts and copies", stringScenario},
    {"cache growth",
     [](Trial &trial) {
       KxlCac cache;
       const std::string bytes = kxltest::pattern(300);
       trial.run([&] {
         for (std::size_t at = 0; at < bytes.size(); at += 60) {
           const kxltest::CacheState before = stateOf(cache);
           if (cache.write(60, bytes.data() + at)) continue;
           EXPECT_EQ(codesOf(cache), kFailed);
           EXPECT_EQ(stateOf(cache), before);
           return;
         }
         EXPECT_EQ(stateOf(cache).contents, bytes);
       });
     }},
    {"message assignment",
     [](Trial &trial) {
       KxlMsg source;
       KxlStr text = kText;
       ASSERT_TRUE(source.writeItem(text));
       ASSERT_TRUE(source.setDataOffset(0));
       KxlMsg target;
       trial.run([&] { target = source; });
       // The failed resize is overwritten by the truncation warning; the
       // descriptor is copied all the same.
       EXPECT_EQ(codesOf(target), trial.failed() ? Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED) : kOk);
       EXPECT_EQ(target.messageLength(), trial.failed() ? 0u : source.messageLength());
       EXPECT_EQ(kxltest::descriptorBytes(target), kxltest::descriptorBytes(source));
     }},
    {"channel list replacement and reading",
     [](Trial &trial) {
       KxlChl channel;
       const KxlStr first("EXITA"), second("EXITB");
       const KxlStr *names[] = {&first, &second};
       KxlStr read[3];
       KxlStr *into[] = {&read[0], &read[1], &read[2]};
       bool filled = false;
       trial.run([&] {
         ASSERT_TRUE(channel.setSendExitNames(2, names));
         ASSERT_TRUE(channel.setSendUserData(1, names));
         filled = channel.sendExitNames(3, into);
       });
       EXPECT_EQ(filled, !trial.failed());
       EXPECT_EQ(codesOf(channel), trial.failed() ? kFailed : kOk);
       // A string that could not be set stays as it was; the others are
       // filled all the same.
       for (int i = 0; i < 2; ++i) EXPECT_TRUE(read[i] == *names[i] || read[i].storage() == 0);
       EXPECT_EQ(read[2].length(), 0u);
     }},
    {"copy-out creating the string lock",
     [](Trial &trial) {
       KxlStrCleanUp();
       KxlStr s("abc");
       char buffer[5] = "####";
       bool copied = false;
       trial.run([&] { copied = s.copyOut(buffer, 4, ' '); });
       EXPECT_EQ(copied, !trial.failed());
       EXPECT_EQ(codesOf(s), trial.failed() ? Codes(KXCC_FAILED, KXRC_LOCK_FAILED) : kOk);
       EXPECT_STREQ(buffer, trial.failed() ? "####" : "abc ");
       s.clearErrorCodes();
       EXPECT_TRUE(s.copyOut(buffer, 4, ' '));  // the lock is created now
     }},
};

TEST(KxlSweepTest, EveryNothrowAllocationCanFail) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  long points = 0;
  for (const Scenario &scenario : kScenarios) {
    SCOPED_TRACE(scenario.name);
    Trial counting(0);
    scenario.run(counting);
    EXPECT_GT(counting.count(), 0);
    for (long nth = 1; nth <= counting.count(); ++nth) {
      SCOPED_TRACE(nth);
      Trial trial(nth);
      scenario.run(trial);
      EXPECT_TRUE(trial.failed());
    }
    points += counting.count();
    std::printf("[ sweep    ] %-40s %ld allocation points\n", scenario.name, counting.count());
  }
  std::printf("[ sweep    ] %ld allocation points failed in turn\n", points);
}

}  // namespace
