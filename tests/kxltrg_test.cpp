// The trigger message: its record written as a message's whole content and
// read back, its refused reads, its text fields, its character form and
// its copies.

#include "kxltrg.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxlhdrtest.hpp"
#include "kxlmsg.hpp"

namespace kxlhdrtest {
namespace {

const Identity kTrg = {"KxlTrigger", "KXTRIG  ", kKxlFnTriggerPasteIn, false, nullptr};

// A binary trigger record with `number` at offset 168.
std::string binaryRecord(std::int32_t number) {
  return record(684, {at(0, "TM  "), at(4, 1), at(168, number)});
}

std::string characterForm(const tagKXTMC2 &form) {
  return std::string(reinterpret_cast<const char *>(&form), sizeof form);
}

// Written over a message's whole content, whatever its data offset and
// description were, and read back whole; every byte of an incoming record
// is taken as it comes.
TEST(KxlTrgTest, WrittenAsTheWholeContentAndReadBack) {
  KxlTrg written;
  expectTakenAsItStands(written, kTrg, with(binaryRecord(-77), {at(4, 9)}));
  written.setQueueName("QN");
  written.setProcessName("PN");
  written.setTriggerData("TD");
  written.setApplicationId("AI");
  written.setEnvironmentData("ED");
  written.setUserData("UD");
  KxlMsg message;
  load(message, "old content", 4, 273, "KXSTR   ");
  ASSERT_TRUE(written.copyOut(message));
  EXPECT_TRUE(sameBytes(contentOf(message),
                        with(binaryRecord(-77), {at(4, 9), at(8, "QN"), at(56, "PN"), at(104, "TD"),
                                                 at(172, "AI"), at(428, "ED"), at(556, "UD")})));
  EXPECT_EQ(std::to_string(message.dataOffset()) + describe(message),
            "684" + description("KXTRIG  ", kKxlNativeEncoding, 0));
  message.setCharacterSet(1208);
  ASSERT_TRUE(message.setDataOffset(0));
  KxlTrg read;
  ASSERT_TRUE(read.pasteIn(message));
  EXPECT_TRUE(sameBytes(recordOf(read), contentOf(message)));
  EXPECT_EQ(std::to_string(message.dataOffset()) + describe(message),
            "684" + description("KXTRIG  ", kKxlNativeEncoding, 1208));
  EXPECT_EQ(codes(read) + codes(written), "0/00/0");
}

TEST(KxlTrgTest, TextFields) {
  expectTextFields<KxlTrg>({
      {&KxlTrg::setQueueName, &KxlTrg::queueName, 48, "AB", ""},
      {&KxlTrg::setProcessName, &KxlTrg::processName, 48, "AB", ""},
      {&KxlTrg::setTriggerData, &KxlTrg::triggerData, 64, "AB", ""},
      {&KxlTrg::setApplicationId, &KxlTrg::applicationId, 256, "AB", ""},
      {&KxlTrg::setEnvironmentData, &KxlTrg::environmentData, 128, "AB", ""},
      {&KxlTrg::setUserData, &KxlTrg::userData, 128, "AB", ""},
  });
}

TEST(KxlTrgTest, RefusedReads) { expectRefusedReads<KxlTrg>(kTrg); }

TEST(KxlTrgTest, CharacterForm) {
  const std::string processName(48, 'P');
  const struct {
    std::int32_t number;
    const char *characters;
  } cases[] = {{7, "   7"}, {-1, "  -1"}, {0, "   0"}, {12345, "1234"}, {INT32_MIN, "-214"}};
  for (const auto &c : cases) {
    KxlTrg trigger;
    expectTakenAsItStands(trigger, kTrg, binaryRecord(c.number));
    trigger.setQueueName("abc  ");
    trigger.setProcessName(processName.c_str());
    trigger.setEnvironmentData("env");
    tagKXTMC2 form;
    std::memset(&form, 0x7f, sizeof form);
    ASSERT_TRUE(trigger.copyOut(&form));
    EXPECT_TRUE(sameBytes(characterForm(form), record(732,
                                                      {at(0, "TMC    2abc"), at(56, processName),
                                                       at(168, c.characters), at(428, "env")},
                                                      ' ')))
        << c.number;
    EXPECT_EQ(codes(trigger), "0/0");
  }
  KxlTrg trigger;
  kxltest::TraceCapture trace;
  EXPECT_FALSE(trigger.copyOut(static_cast<tagKXTMC2 *>(nullptr)));
  EXPECT_EQ(trace.texts(kKxlFnTriggerCopyOut),
            std::vector<std::string>{"KxlTrigger::copyOut (error): null pointer to KXTMC2"});
  tagKXTMC2 form;
  EXPECT_TRUE(trigger.copyOut(&form));  // and leaves the codes
  EXPECT_EQ(codes(trigger), "2/6108");
}

// Whichever allocation fails, and every one after it, the copy succeeds,
// the number stands right-aligned or not at all, and the trigger's codes
// stay. One pass per allocation a copy makes.
TEST(KxlTrgTest, ApplicationBufferTooSmall) {
  char small[683];
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(small, sizeof small));
  message.setFormat("KXSTR   ");
  const std::string before = messageState(message);
  KxlTrg trigger;
  EXPECT_FALSE(trigger.copyOut(message));
  EXPECT_EQ(codes(trigger) + codes(message) + messageState(message), "2/61132/6113" + before);
}

TEST(KxlTrgTest, CopiesTakeCodesAndTheWholeRecord) {
  auto *source = new KxlTrg;
  expectTakenAsItStands(*source, kTrg, with(binaryRecord(-4), {at(4, 9), at(104, "data")}));
  EXPECT_FALSE(source->copyOut(static_cast<tagKXTMC2 *>(nullptr)));
  expectCopies(source);
}

}  // namespace
}  // namespace kxlhdrtest
