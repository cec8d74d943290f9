// KxlStr as a message item: the whole message data, format "KXSTR   ".

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

using Texts = std::vector<std::string>;

std::string text(const KxlStr &s) {
  const char *chars = s;
  return chars != nullptr ? std::string(chars) : std::string();
}

::testing::AssertionResult hasCodes(const KxlErr &object, long completion, long reason) {
  if (object.completionCode() == completion && object.reasonCode() == reason)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "codes " << object.completionCode() << "/" << object.reasonCode() << ", expected "
         << completion << "/" << reason;
}

// The message's valid bytes.
std::string contents(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}

// A message of format "KXSTR   " holding `data`, its data offset at 0.
void holdString(KxlMsg &message, const std::string &data) {
  message.clearMessage();
  message.setFormat("KXSTR   ");
  ASSERT_TRUE(message.write(data.size(), data.data()));
  ASSERT_TRUE(message.setDataOffset(0));
}

TEST(KxlStrItemTest, WriteReplacesTheMessageData) {
  KxlMsg message;
  message.setFormat("KXOTHER ");
  message.setEncoding(273);
  message.setCharacterSet(1208);
  ASSERT_TRUE(message.write(12, "old contents"));

  KxlStr s("hello");
  s.set(nullptr, 1);  // codes 2/6108, which a successful write leaves alone
  EXPECT_TRUE(s.copyOut(message));
  EXPECT_EQ(contents(message), "hello");
  EXPECT_EQ(message.dataOffset(), 5u);
  EXPECT_TRUE(message.formatIs("KXSTR   "));
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
  EXPECT_TRUE(hasCodes(s, 2, 6108));
}

TEST(KxlStrItemTest, NullStringWritesOnlyTheDescription) {
  KxlMsg message;
  message.setFormat("KXOTHER ");
  message.setEncoding(273);
  ASSERT_TRUE(message.write(3, "abc"));
  KxlStr null;
  EXPECT_TRUE(null.copyOut(message));
  EXPECT_EQ(message.messageLength(), 0u);
  EXPECT_TRUE(message.formatIs("KXSTR   "));
  EXPECT_EQ(message.encoding(), 546);
  EXPECT_EQ(message.characterSet(), 0);
}

TEST(KxlStrItemTest, WriteIntoAShortApplicationBufferTakesTheMessagesCodes) {
  char buffer[3];
  KxlMsg message;
  ASSERT_TRUE(message.useEmptyBuffer(buffer, sizeof buffer));
  KxlStr s("hello");
  EXPECT_FALSE(s.copyOut(message));
  EXPECT_TRUE(hasCodes(s, 2, 6113));
  EXPECT_TRUE(hasCodes(message, 2, 6113));
}

TEST(KxlStrItemTest, RoundTripThroughTheMessage) {
  KxlMsg message;
  KxlStr out("hello");
  EXPECT_TRUE(message.writeItem(out));
  ASSERT_TRUE(message.setDataOffset(0));
  KxlStr in;
  EXPECT_TRUE(message.readItem(in));
  EXPECT_EQ(text(in), "hello");
  EXPECT_EQ(in.storage(), 6u);
  EXPECT_EQ(message.dataOffset(), 5u);
  EXPECT_TRUE(hasCodes(in, 0, 0));
}

TEST(KxlStrItemTest, ReadSizesTheStorageFromTheData) {
  struct Case {
    std::string data;
    std::size_t offset;
    std::size_t storageBefore;  // 0: a null string
    const char *text;
    std::size_t storage;
  };
  const Case cases[] = {
      {"hello", 0, 0, "hello", 6},
      {"hello", 2, 0, "llo", 4},
      {"hello", 0, 5, "hello", 6},
      {"hello", 0, 20, "hello", 20},
      {std::string("ab\0", 3), 0, 0, "ab", 3},
      {std::string("a\0bc", 4), 0, 0, "a", 5},
      {std::string("ab\0", 3), 0, 3, "ab", 3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.text << " from " << c.offset << ", storage " << c.storageBefore);
    KxlMsg message;
    holdString(message, c.data);
    ASSERT_TRUE(message.setDataOffset(c.offset));
    KxlStr s("zzzzzzzzzzzzzzzzzzz");
    ASSERT_TRUE(s.setStorage(c.storageBefore));
    // One allocation when the storage is too small, none otherwise.
    kxltest::AllocationCounter counter;
    EXPECT_TRUE(s.pasteIn(message));
    EXPECT_EQ(counter.count(), c.storageBefore >= c.storage ? 0 : 1);
    EXPECT_EQ(text(s), c.text);
    EXPECT_EQ(s.storage(), c.storage);
    EXPECT_EQ(message.dataOffset(), c.data.size());
  }
}

TEST(KxlStrItemTest, ReadLooksAtTheFormatOnly) {
  kxltest::TraceCapture trace;
  KxlMsg message;
  holdString(message, "hello");
  message.setFormat("KXSTRING");
  KxlStr s("keep");
  EXPECT_FALSE(s.pasteIn(message));
  EXPECT_TRUE(hasCodes(s, 2, 6119));
  EXPECT_EQ(text(s), "keep");
  EXPECT_EQ(message.dataOffset(), 0u);
  EXPECT_EQ(trace.texts(), Texts{"KxlString::pasteIn (error): wrong message format"});
  EXPECT_TRUE(trace.sawText(45, "KxlString::pasteIn (error): wrong message format"));

  message.setFormat("KXSTR   ");
  message.setEncoding(273);
  message.setCharacterSet(1208);
  EXPECT_TRUE(s.pasteIn(message));
  EXPECT_EQ(text(s), "hello");
}

TEST(KxlStrItemTest, ReadWithNoDataChangesNothing) {
  KxlMsg message;
  holdString(message, "abc");
  ASSERT_TRUE(message.setDataOffset(3));
  KxlStr s("keep");
  ASSERT_TRUE(s.setStorage(2));
  EXPECT_TRUE(s.pasteIn(message));
  EXPECT_EQ(text(s), "k");
  EXPECT_EQ(s.storage(), 2u);
  KxlStr null;
  EXPECT_TRUE(null.pasteIn(message));
  EXPECT_EQ(null.storage(), 0u);
  EXPECT_TRUE(hasCodes(null, 0, 0));
}

TEST(KxlStrItemTest, ReadWithoutStorageLeavesStringAndMessage) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  for (const std::string &data : {std::string("hello"), std::string("hell\0", 5)}) {
    SCOPED_TRACE(data.size());
    KxlMsg message;
    holdString(message, data);
    KxlStr s("ab");
    const char *before = s;
    kxltest::TraceCapture trace;
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(s.pasteIn(message));
    EXPECT_EQ(failure.failed(), 1);
    EXPECT_TRUE(hasCodes(s, 2, 2071));
    EXPECT_EQ(static_cast<const char *>(s), before);
    EXPECT_EQ(text(s), "ab");
    EXPECT_EQ(s.storage(), 3u);
    EXPECT_EQ(message.dataOffset(), 0u);
    EXPECT_EQ(contents(message), data);
    EXPECT_EQ(trace.texts(), Texts{"KxlString::setStorage (error): storage not available"});
    EXPECT_TRUE(trace.sawText(47, "KxlString::setStorage (error): storage not available"));
  }
}

TEST(KxlStrItemTest, FailedReadTakesTheMessagesCodes) {
  KxlMsg message;
  holdString(message, "hello");
  KxlStr s("keep");
  ASSERT_TRUE(s.setStorage(20));
  kxltest::PointerRefusal refuse(static_cast<const char *>(s), 20, kxltest::PointerRefusal::kWrite);
  EXPECT_FALSE(s.pasteIn(message));
  EXPECT_TRUE(hasCodes(message, 2, 2004));
  EXPECT_TRUE(hasCodes(s, 2, 2004));
  EXPECT_EQ(text(s), "keep");
  EXPECT_EQ(s.storage(), 20u);
  EXPECT_EQ(message.dataOffset(), 0u);
}

}  // namespace
