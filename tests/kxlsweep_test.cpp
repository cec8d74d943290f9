// Allocation-failure sweep: each scenario makes the nothrow allocations
// msg_sweep.tsv counts, and is run once more for each with that one failing:
// no crash or leak (asan), 2071 where reported, the failing object unchanged.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "kxli.hpp"
#include "kxlmsgtest.hpp"
#include "kxltable.hpp"

namespace kxltest {
namespace {

const Codes kOk{KXCC_OK, KXRC_NONE};
const Codes kFailed{KXCC_FAILED, KXRC_STORAGE_NOT_AVAILABLE};
const Texts::value_type kNoStorage{kKxlFnCacheResizeBuffer,
                                   "KxlCache::resizeBuffer (error): storage not available"};

// Counts the allocations made inside run(), fails the failAt-th (0: one already made).
struct Trial {
  long failAt;
  long count = 0;
  bool failed = false;
  template <class Operation>
  void run(Operation operation) {
    AllocationCounter counter;
    const AllocationFailure failure(failAt);
    operation();
    failed = failure.failed() > 0;
    count = counter.count();
  }
};

// Writes (or reads) the items until one fails: it and the message report
// 2071, and the message stays as it was. True when all went.
bool stepThrough(KxlMsg &message, const std::vector<KxlItm *> &items, bool write) {
  for (KxlItm *item : items) {
    const auto before = std::make_pair(stateOf(message), formatOf(message));
    if (write ? message.writeItem(*item) : message.readItem(*item)) continue;
    EXPECT_EQ(std::make_pair(codesOf(*item), codesOf(message)), std::make_pair(kFailed, kFailed));
    EXPECT_EQ(std::make_pair(stateOf(message), formatOf(message)), before);
    return false;
  }
  return true;
}

// Every header written over the body and read back; the reference header
// read into empty names, which allocates.
template <class Body>
void chainRoundTrip(Trial &trial, const Body &body) {
  KxlMsg message;
  Body written = body, back;
  ASSERT_TRUE(message.writeItem(written));
  KxlDlh dlh[2];
  KxlVih vih[2];
  KxlOih oih[2];
  KxlWih wih[2];
  KxlRfh rfh[2];
  rfh[0].setSourceName("SOURCE");
  rfh[0].setDestinationName("DESTINATION");
  trial.run([&] {
    if (!stepThrough(message, {&dlh[0], &vih[0], &oih[0], &wih[0], &rfh[0]}, true)) return;
    ASSERT_TRUE(message.setDataOffset(0));
    if (!stepThrough(message, {&rfh[1], &wih[1], &oih[1], &vih[1], &dlh[1], &back}, false)) return;
    EXPECT_TRUE(back == body);
    EXPECT_EQ(message.dataOffset(), message.messageLength());
  });
}

// The last step cuts the message: a failed cut drops its warning.
void cacheGrowthAndCut(Trial &trial) {
  KxlCac cache;
  const std::string bytes = pattern(300);
  TraceCapture trace;
  trial.run([&] {
    for (std::size_t at = 0; at <= bytes.size(); at += 60) {
      const CacheState before = stateOf(cache);
      if (at < bytes.size() ? cache.write(60, &bytes[at]) : cache.resizeBuffer(100)) continue;
      EXPECT_EQ(codesOf(cache), kFailed);
      EXPECT_EQ(stateOf(cache), before);
      EXPECT_EQ(textsOf(trace).back(), kNoStorage);
      return;
    }
    EXPECT_EQ(stateOf(cache).contents, bytes.substr(0, 100));
  });
}

// A failed resize gives way to the truncation warning; a tracker value whose
// byte string gets no storage is put right by the descriptor copied last.
void messageAssignment(Trial &trial) {
  KxlMsg source, target;
  KxlStr text("some text");
  ASSERT_TRUE(source.writeItem(text) && source.setDataOffset(0));
  TraceCapture trace;
  trial.run([&] { target = source; });
  const Texts texts = textsOf(trace);
  if (trial.failed && texts.front() == kNoStorage) {
    EXPECT_EQ(codesOf(target), Codes(KXCC_WARNING, KXRC_DATA_TRUNCATED));
    EXPECT_EQ(
        texts,
        (Texts{kNoStorage, {kKxlFnCacheAssign, "KxlCache::operator = (warning): data truncated"}}));
    EXPECT_EQ(stateOf(target), (CacheState{nullptr, 0, 0, 0, true, ""}));
  } else {
    const Texts::value_type noBinary{kKxlFnBinarySetDataLength,
                                     "KxlBinary::setDataLength (error): storage not available"};
    EXPECT_EQ(texts, trial.failed ? Texts{noBinary} : Texts{});
    EXPECT_EQ(codesOf(target), kOk);
    EXPECT_EQ(stateOf(target).contents, stateOf(source).contents);
  }
  EXPECT_EQ(descriptorBytes(target), descriptorBytes(source));
}

// A string that could not be set stays as it was; the others are filled.
void channelLists(Trial &trial) {
  KxlChl channel;
  const KxlStr first("EXITA"), second("EXITB");
  const KxlStr *names[] = {&first, &second};
  KxlStr read[3];
  KxlStr *into[] = {&read[0], &read[1], &read[2]};
  bool filled = false;
  trial.run([&] {
    ASSERT_TRUE(channel.setSendExitNames(2, names) && channel.setSendUserData(1, names));
    filled = channel.sendExitNames(3, into);
  });
  EXPECT_EQ(filled, !trial.failed);
  EXPECT_EQ(codesOf(channel), trial.failed ? kFailed : kOk);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(read[i] == *names[i] || read[i].storage() == 0);
  EXPECT_EQ(read[2].length(), 0u);
}

// The number at 168 becomes text in strings of the trigger's making, copied
// under the string lock the first copy creates: whatever gets no storage,
// the copy succeeds, the number is whole or blank, the codes stay clear.
void triggerForm(Trial &trial) {
  KXTM record{};
  std::memcpy(record.structureId, "TM  ", 4);
  record.version = 1;
  record.field168 = -5;
  KxlMsg message;
  message.setFormat("KXTRIG  ");
  ASSERT_TRUE(message.write(sizeof record, reinterpret_cast<const char *>(&record)) &&
              message.setDataOffset(0));
  KxlTrg trigger;
  ASSERT_TRUE(trigger.pasteIn(message));
  KxlStrCleanUp();  // each run creates the string lock anew
  tagKXTMC2 form;
  bool copied = false;
  trial.run([&] { copied = trigger.copyOut(&form); });
  const std::string text(form.field168, sizeof form.field168);
  EXPECT_TRUE(copied);
  EXPECT_TRUE(text == "  -5" || (trial.failed && text == "    ")) << '"' << text << '"';
  EXPECT_EQ(codesOf(trigger), kOk);
}

TEST(KxlSweepTest, EveryNothrowAllocationCanFail) {
  const KxlStr text("some text");
  const KxlBin bytes("\x01\x00\x02\x00", 4);
  const std::map<std::string, std::function<void(Trial &)>> scenarios = {
      {"chain-text", [&](Trial &t) { chainRoundTrip(t, text); }},
      {"chain-bytes", [&](Trial &t) { chainRoundTrip(t, bytes); }},
      {"cache-growth-and-cut", cacheGrowthAndCut},
      {"message-assignment", messageAssignment},
      {"channel-lists", channelLists},
      {"trigger-form", triggerForm}};
  for (const Row &row : table("msg_sweep")) {
    SCOPED_TRACE(row.file + " " + row[0]);
    const auto &scenario = scenarios.at(row[0]);
    long count = 0;  // counted by the 0th trial, which fails none
    for (long nth = 0; nth <= count; ++nth) {
      SCOPED_TRACE(nth);
      Trial trial{nth};
      scenario(trial);
      if (nth == 0) count = trial.count;
      EXPECT_EQ(trial.failed, nth != 0);
    }
    EXPECT_EQ(count, row.number(1));
  }
}

}  // namespace
}  // namespace kxltest
