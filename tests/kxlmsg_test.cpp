// The message: its descriptor's bytes, assignment with the most severe
// codes, and the codes writeItem and readItem take.

#include "kxlmsg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "kxlmsgtest.hpp"
#include "kxltable.hpp"

namespace kxltest {
namespace {

// Opens the process-wide version setting and the codes to the tests.
struct OpenMessage : KxlMsg {
  using KxlErr::setErrorCodes;
  using KxlMsg::setVersionSupported;
};

// An item whose outcome and codes the test chooses.
struct ScriptedItem : KxlItm {
  bool copyOut(KxlMsg &) override { return outcome; }
  bool pasteIn(KxlMsg &) override { return outcome; }
  using KxlErr::setErrorCodes;
  bool outcome = true;
};

// The descriptor made of the named patches of msg_descriptor.tsv, in order.
std::string descriptor(const std::vector<std::string> &names) {
  std::string bytes(364, '\0');
  for (const std::string &name : names)
    for (const Row &row : table("msg_descriptor"))
      if (row[0] == name) bytes.replace(row.number(1), row[2].size(), row[2]);
  return bytes;
}

TEST(KxlMsgTest, FieldsAreSetInPlace) {
  const struct {
    std::size_t offset, width;
    KxlStr (KxlMsg::*get)() const;
    void (KxlMsg::*set)(const char *);
  } fields[] = {{100, 48, &KxlMsg::replyToQueueName, &KxlMsg::setReplyToQueueName},
                {148, 48, &KxlMsg::replyToQueueManagerName, &KxlMsg::setReplyToQueueManagerName},
                {196, 12, &KxlMsg::userId, &KxlMsg::setUserId},
                {240, 32, &KxlMsg::applicationIdData, &KxlMsg::setApplicationIdData},
                {276, 28, &KxlMsg::putApplicationName, &KxlMsg::setPutApplicationName},
                {304, 8, &KxlMsg::putDate, &KxlMsg::setPutDate},
                {312, 8, &KxlMsg::putTime, &KxlMsg::setPutTime},
                {320, 4, &KxlMsg::applicationOriginData, &KxlMsg::setApplicationOriginData}};
  for (const auto &f : fields) {
    SCOPED_TRACE(f.offset);
    KxlMsg message;
    std::string expected = descriptorBytes(message);
    (message.*f.set)("ab  ");  // null filled; read back without the blanks
    EXPECT_EQ(descriptorBytes(message),
              expected.replace(f.offset, f.width, "ab  " + std::string(f.width - 4, '\0')));
    EXPECT_EQ(std::string((message.*f.get)()), "ab");
    const std::string full(f.width, 'x');  // cut at the width, not terminated
    (message.*f.set)((full + "yz").c_str());
    EXPECT_EQ(descriptorBytes(message), expected.replace(f.offset, f.width, full));
    EXPECT_EQ(std::string((message.*f.get)()), full);
    (message.*f.set)(nullptr);
    EXPECT_EQ(descriptorBytes(message), descriptorBytes(KxlMsg()));
  }
  KxlMsg message;
  message.setFormat("KXSTR");
  EXPECT_EQ(std::string(message.format()), "KXSTR   ");
  EXPECT_TRUE(message.formatIs("KXSTR   "));
  EXPECT_FALSE(message.formatIs("KXSTR  X"));
  EXPECT_FALSE(message.formatIs(nullptr));
}

// A new message's version is the one supported when it was made.
TEST(KxlMsgTest, DefaultsNumbersAndTrackingValuesLandInTheDescriptorAndCopiesOwnTheirs) {
  const std::string bytes = pattern(34, 1);
  const auto *raw = reinterpret_cast<const unsigned char *>(bytes.data());
  std::vector<char> application(6);
  auto source = std::make_unique<KxlMsg>();
  OpenMessage::setVersionSupported(1);
  EXPECT_EQ(descriptorBytes(KxlMsg()), descriptor({"new", "v1"}));
  OpenMessage::setVersionSupported(2);
  EXPECT_EQ(descriptorBytes(*source), descriptor({"new", "v2"}));
  EXPECT_EQ(source->messageId().dataLength(), 24u);  // storage from the start
  EXPECT_EQ(stateOf(*source), (CacheState{nullptr, 0, 0, 0, true, ""}));
  ASSERT_TRUE(source->useEmptyBuffer(application.data(), 6) && source->write(6, "abcdef"));
  source->setMessageId(raw);
  source->setCorrelationId(raw + 1);
  source->setGroupId(raw + 2);
  source->setAccountingToken(raw);
  source->setFeedback(-7);
  source->setFormat("KXDEADLETTER");                                 // cut at 8
  source->setCharacterSet(static_cast<long>(INT64_C(0x100000352)));  // low 32 bits: 850
  source->setEncoding(-5);
  std::string expected = descriptor({"new", "v2", "set"});
  EXPECT_EQ(descriptorBytes(*source), expected);
  EXPECT_EQ(source->encoding(), -5);
  KxlMsg copy(*source);
  source.reset();
  application.assign(6, '\0');
  EXPECT_EQ(stateOf(copy), (CacheState{copy.bufferPointer(), 6, 6, 6, true, "abcdef"}));
  EXPECT_EQ(descriptorBytes(copy), expected);
  copy.setMessageId(static_cast<const unsigned char *>(nullptr));
  EXPECT_EQ(descriptorBytes(copy), expected.replace(48, 24, 24, '\0'));
}

// The rows of msg_codes in turn: the codes an item hands the message, and
// those a source message's assignment into 4 bytes leaves.
TEST(KxlMsgTest, ItemsCodesAreTakenAndAssignmentTakesTheMostSevereEarliestFirst) {
  KxlMsg written, read;
  ScriptedItem item;
  for (const Row &row : table("msg_codes")) {
    SCOPED_TRACE(row.file);
    const Codes given{row.number(0), row.number(1)};
    item.outcome = given.first != KXCC_FAILED;
    item.setErrorCodes(given.first, given.second);
    EXPECT_EQ(written.writeItem(item), item.outcome);
    EXPECT_EQ(read.readItem(item), item.outcome);
    EXPECT_EQ(codesOf(written), given);
    EXPECT_EQ(codesOf(read), given);
    OpenMessage source;
    ASSERT_TRUE(source.write(8, "12345678") && source.setDataOffset(2));
    source.setUserId("user");
    source.setErrorCodes(given.first, given.second);
    char application[4];
    KxlMsg target;
    ASSERT_TRUE(target.useEmptyBuffer(application, 4));
    target.setPutDate("old");
    target = source;
    const KxlMsg &same = target;
    target = same;
    EXPECT_EQ(codesOf(target), (Codes{row.number(2), row.number(3)}));
    EXPECT_EQ(descriptorBytes(target), descriptorBytes(source));
    EXPECT_EQ(stateOf(target), (CacheState{application, 4, 4, 2, false, "1234"}));
  }
}

// Traced, assignment makes the records of its steps: the cache part's, then
// the tracker's getters (their byte strings trace setDataLength) and setters.
TEST(KxlMsgTest, AssignmentWhileSomeoneListensMakesTheRecordsOfItsSteps) {
  KxlMsg source;
  ASSERT_TRUE(source.write(5, "12345"));
  source.setFeedback(7);
  source.setMessageId(binOf(std::string(24, 'm')));
  std::vector<std::string> steps;
  {
    KxlMsg target;
    TraceCapture trace;
    static_cast<KxlCac &>(target) = source;
    target.setAccountingToken(source.accountingToken());
    target.setCorrelationId(source.correlationId());
    target.setFeedback(source.feedback());
    target.setGroupId(source.groupId());
    target.setMessageId(source.messageId());
    steps = recordsOf(trace);
  }
  KxlMsg target;
  TraceCapture trace;
  target = source;
  const std::vector<std::string> records = recordsOf(trace);
  EXPECT_EQ(records, steps);
  EXPECT_EQ(
      std::count(records.begin(), records.end(), exitLine(kKxlFnBinarySetDataLength, KXRC_NONE)),
      4);
  EXPECT_EQ(descriptorBytes(target), descriptorBytes(source));
}

}  // namespace
}  // namespace kxltest
