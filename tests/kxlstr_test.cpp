// KxlStr: results, storage and codes of its operations, failures with their
// texts (storage failures injected for real), the copies into fields and
// buffers under the string class's lock, and the message item. The texts
// that number and token reading, find, compare, substrings, strips and
// storage changes leave are fuzz_string's model, checked on its seeds.

#include "kxlstr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"
#include "kxltable.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
const Codes kClean{0, 0};
const Codes kMarked{2, 6108};  // left by a failed set

const char *chars(const KxlStr &s) { return s; }

// What a string shows, compared whole: "null" for a null string, otherwise
// the text in quotes and the storage, then the codes, as in "'ab'/3 2/6108";
// a length() that disagrees with the text is inserted.
std::string state(const KxlStr &s) {
  const std::string codes =
      " " + std::to_string(s.completionCode()) + "/" + std::to_string(s.reasonCode());
  if (chars(s) == nullptr)
    return (s.storage() == 0 ? "null" : "no buffer/" + std::to_string(s.storage())) + codes;
  std::string shown = "'" + std::string(chars(s)) + "'/" + std::to_string(s.storage());
  if (s.length() != std::strlen(chars(s))) shown += " length " + std::to_string(s.length());
  return shown + codes;
}

// A text sent with its function number: "N:KxlString::set (error): null pointer".
std::string said(unsigned function, const std::string &text) {
  return std::to_string(function) + ":" + text;
}

// A string carrying kMarked, to see whether an operation keeps, replaces
// or clears earlier codes.
KxlStr marked(const char *text) {
  KxlStr s(text);
  s.set(nullptr, 1);
  return s;
}

// A message holding `data` in `format`, with an encoding and character set
// that a string does not look at, its data offset at 0.
void hold(KxlMsg &message, const std::string &data, const char *format = "KXSTR   ") {
  message.setFormat(format);
  message.setEncoding(273);
  message.setCharacterSet(1208);
  ASSERT_TRUE(message.write(data.size(), data.data()) && message.setDataOffset(0));
}

// A long is a signed 32-bit value: where it is wider, only its low 32 bits count.
const long kWide5 = static_cast<long>(INT64_C(0x100000005));
const long kWideMinus1 = static_cast<long>(INT64_C(0xFFFFFFFF));

// An operation on the string `s` of a row, as a number to show (0 when it
// gives none).
#define OP(...) [](KxlStr &s) -> long { return __VA_ARGS__; }

// Each row of str_operations.tsv: an operation, by its name here, on a string
// made with marked(initial) and given the row's storage, under the fault the
// row injects: result, state(), "+" the allocations made, each text said().
// Storage that cannot be obtained while building a new text warns (1/2071)
// and leaves that text null; while changing a string it fails (2/2071) and
// the string keeps what it had. A message's data offset is shown where it
// moved.
TEST(KxlStrTest, ResultStateAndTextsOfEachOperation) {
  struct Scene {
    KxlStr other{"a longer text"};
    KxlMsg message, brief, hello, small;  // "hello world", "hi", "hello", an empty 3-byte buffer
    char bytes[3];
  };
  static std::optional<Scene> in;  // what the operations of the current row reach
  const std::map<std::string, std::function<long(KxlStr &)>> operations = {
      {"char nul", OP(s = KxlStr('\0'), 0)},
      {"three bytes", OP(s = KxlStr("a\0b", 3), 0)},
      {"set null", OP(s.set(nullptr, 0))},
      {"set own tail", OP(s.set(chars(s) + 6, 5))},
      {"storage 4", OP(s.setStorage(4))},
      {"join empty", OP(s = s + KxlStr(""), 0)},
      {"join text", OP(s = s + "xy", 0)},
      {"append char and text", OP(s += 'c', s += "d", 0)},
      {"join numbers", OP(s = s + 42L + 1.5, 0)},
      {"join wide numbers", OP(s = s + kWide5 + kWideMinus1, 0)},
      {"append numbers", OP(s += 12, s += 0.25, 0)},
      {"paste 3 unformatted", OP(s.pasteIn(3.0, ""))},
      {"paste 1e15", OP(s.pasteIn(1e15, "%f"))},
      {"paste -1e15", OP(s.pasteIn(-1e15, "%f"))},
      {"paste three bytes", OP(s.pasteIn("a\0b", 3))},
      {"paste cde", OP(s.pasteIn("cde", 3))},
      {"paste own 4", OP(s.pasteIn(chars(s), 4))},
      {"paste own 2 from 0", OP(s.pasteIn(chars(s), 2))},
      {"paste own 2 from 1", OP(s.pasteIn(chars(s) + 1, 2))},
      {"paste own 2 from 2", OP(s.pasteIn(chars(s) + 2, 2))},
      {"set, paste own 2 from 2", OP(s.set("abc\0\0", 6), s.pasteIn(chars(s) + 2, 2))},
      {"substring at max", OP(s = s(SIZE_MAX, 2), 0)},
      {"substring of max", OP(s = s(2, SIZE_MAX), 0)},
      {"upper case", OP(s = s.upperCase(), 0)},
      {"strip leading blanks", OP(s.stripLeading(' '))},
      {"strip trailing blanks", OP(s.stripTrailing(' '))},
      {"clear, set null 3", OP(s.clearErrorCodes(), s.set(nullptr, 3))},
      {"set other 5", OP(s.set(in->other, 5))},
      {"set other 11", OP(s.set(in->other, 11))},
      {"clear, paste null", OP(s.clearErrorCodes(), s.pasteIn(nullptr, 2))},
      {"paste huge", OP(s.pasteIn(reinterpret_cast<char *>(1), SIZE_MAX - 2))},
      {"strip leading nul", OP(s.stripLeading('\0'))},
      {"strip trailing nul", OP(s.stripTrailing('\0'))},
      {"token by nul", OP(s.copyOut(in->other, '\0'))},
      {"paste as KXSTRING", OP(in->message.setFormat("KXSTRING"), s.pasteIn(in->message))},
      {"paste message", OP(s.pasteIn(in->message))},
      {"paste brief", OP(s.pasteIn(in->brief))},
      {"paste hello", OP(s.pasteIn(in->hello))},
      {"copy into small", OP(s.copyOut(in->small))},
      {"new text", OP(s = KxlStr("abc"), 0)},
      {"new char", OP(s = KxlStr('x'), 0)},
      {"append other", OP(s += in->other, 0)},
      {"paste 42", OP(s.pasteIn(42L))},
      {"storage 100", OP(s.setStorage(100))},
      {"assign other", OP(s = in->other, 0)},
      {"paste cd", OP(s.pasteIn("cd", 2))},
      {"substring 1 2", OP(s = s(1, 2), 0)},
  };
  std::set<std::string> used;
  for (const kxltest::Row &row : kxltest::table("str_operations")) {
    SCOPED_TRACE(row.file + ": " + row[0]);
    ASSERT_EQ(operations.count(row[0]), 1u);
    used.insert(row[0]);
    KxlStr s = marked(row[1].c_str());
    if (row[2] != "-") {
      ASSERT_TRUE(s.setStorage(row.number(2)));
    }
    in.emplace();
    hold(in->message, "hello world");
    hold(in->brief, "hi");
    hold(in->hello, "hello");
    ASSERT_TRUE(in->small.useEmptyBuffer(in->bytes, sizeof in->bytes));
    kxltest::TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    std::optional<kxltest::PointerRefusal> refusal;
    using Refusal = kxltest::PointerRefusal;
    if (row[3] == "no storage") failure.emplace(1);
    if (row[3] == "other unreadable") refusal.emplace(chars(in->other) + 1);
    if (row[3] == "own unwritable") refusal.emplace(chars(s));
    if (row[3] == "writes refused") {
      refusal.emplace(reinterpret_cast<const void *>(1), SIZE_MAX - 1, Refusal::kWrite);
    }
    kxltest::AllocationCounter counter;
    const long result = operations.at(row[0])(s);
    std::string seen =
        std::to_string(result) + " " + state(s) + " +" + std::to_string(counter.count());
    EXPECT_TRUE(!failure || failure->failed() == 1);
    failure.reset();
    refusal.reset();
    for (const auto &text : kxltest::textsOf(trace)) seen += " " + said(text.first, text.second);
    const std::string at = " at " + std::to_string(in->message.dataOffset()) + "/" +
                           std::to_string(in->brief.dataOffset()) + "/" +
                           std::to_string(in->hello.dataOffset());
    EXPECT_EQ(seen + (at == " at 0/0/0" ? "" : at), row[4]);
  }
  EXPECT_EQ(used.size(), operations.size());
  in.reset();
}

#undef OP

TEST(KxlStrTest, CopiesOwnTheWholeStorageAndTakeTheCodes) {
  auto source = std::make_unique<KxlStr>(marked(""));
  ASSERT_TRUE(source->set("ab\0xyz", 6));
  KxlStr copy(*source), assigned("something longer");
  assigned = *source;
  source.reset();
  for (KxlStr *s : {&copy, &assigned}) {
    EXPECT_EQ(std::string(chars(*s), s->storage()), std::string("ab\0xyz", 6));
    const KxlStr &same = *s;
    *s = same;
    EXPECT_EQ(state(*s), "'ab'/6 2/6108");
  }
}

// The six relations ==, !=, <, <=, >, >= of a and b as '0'/'1' characters.
template <typename A, typename B>
std::string relations(const A &a, const B &b) {
  std::string result;
  for (bool held : {a == b, a != b, (a < b), a <= b, (a > b), a >= b}) result += held ? '1' : '0';
  return result;
}

// The relations follow compare() in all three forms, also for strings the
// text of which ends before their storage does; fuzz_string checks compare().
TEST(KxlStrTest, RelationsFollowCompare) {
  for (const kxltest::Row &row : kxltest::table("str_relations")) {
    SCOPED_TRACE(row.file);
    KxlStr a, b;  // "-" leaves a null string
    if (row[0] != "-") a.set(row[0].data(), row[0].size());
    if (row[1] != "-") b.set(row[1].data(), row[1].size());
    EXPECT_EQ(a.compare(b), row.number(2));
    const std::string expected = relations(row.number(2), 0LL);
    EXPECT_EQ(relations(a, b) + relations(a, chars(b)) + relations(chars(a), b),
              expected + expected + expected);
  }
}

// The records that show whether a copy ran under the string class's lock:
// "locked" (the lock's request returned, value), each text sent with its
// function number, "unlocking" (the release began), and its exit value.
std::string lockOrder(const kxltest::TraceCapture &trace) {
  std::string order;
  for (const kxltest::TraceRecord &r : trace.records()) {
    if (r.kind == XCS_EXIT && r.function == kKxlFnStringLock)
      order += "locked" + std::to_string(r.value) + " ";
    if (r.kind == XCS_TEXT) order += said(r.function, r.text) + " ";
    if (r.kind == XCS_ENTRY && r.function == kKxlFnStringUnlock) order += "unlocking ";
    if (r.kind == XCS_EXIT && r.function == kKxlFnStringUnlock) order += std::to_string(r.value);
  }
  return order;
}

// The three copies into an 8-byte field of '#' with pad '_': the static one
// with an error object, the one with the string class's record, and the
// copy-out of a string holding the source, which runs that copy under the
// lock and takes what it wrote into the record, never a setter's codes
// left there. Each starts from clean and from marked codes.
TEST(KxlStrCopyTest, CopiesIntoAField) {
  // The text each reason code comes with; 0: the codes stay as they were.
  const std::map<long, const char *> textOf = {
      {6115, "static KxlString::copy (warning): string truncated"},
      {6108, "static KxlString::copy (error): no destination buffer"},
      {2145, "KxlString::copy (error): source buffer error"},
      {2146, "KxlString::copy (error): target buffer error"},
      {2004, "KxlString::copy (error): buffer error"}};
  enum Way { kWithError, kWithRecord, kCopyOut };
  using kxltest::PointerRefusal;
  for (const kxltest::Row &row : kxltest::table("str_copies")) {
    const char *source = row[0] == "-" ? nullptr : row[0].c_str();
    const std::size_t length = row.number(1);
    for (const Way way : {kWithError, kWithRecord, kCopyOut}) {
      for (const bool startMarked : {false, true}) {
        SCOPED_TRACE(::testing::Message()
                     << row.file << ", way " << way << (startMarked ? ", marked" : ""));
        // The error object, or the string copied out; the class's record as
        // a setter's failure leaves it, or clean.
        KxlStr holder = marked(way == kCopyOut ? source : "");
        if (!startMarked) holder.clearErrorCodes();
        KxlStr::copy(nullptr, 1, "x", '_');
        if (way == kWithRecord && !startMarked) KxlStr().copyOut(nullptr, 0, '_');
        char field[9] = "########";
        char *target = row[2] == "null" ? nullptr : field;
        kxltest::TraceCapture trace;
        std::optional<PointerRefusal> refusal;
        if (row[2] == "field refused") refusal.emplace(field + 4, 1, PointerRefusal::kWrite);
        if (row[2] == "source refused") refusal.emplace(source, 1, PointerRefusal::kRead);
        const bool result = way == kWithError    ? KxlStr::copy(target, length, source, holder, '_')
                            : way == kWithRecord ? KxlStr::copy(target, length, source, '_')
                                                 : holder.copyOut(target, length, '_');
        refusal.reset();
        const std::size_t column = way == kWithError ? 3 : 5;
        const long reason = row.number(column + 1);
        EXPECT_EQ(result, reason == 0 || reason == 6115);
        EXPECT_EQ(std::string(field), row[column]);
        EXPECT_EQ(
            way == kWithRecord ? Codes(KxlStr::staticCompletionCode(), KxlStr::staticReasonCode())
                               : codesOf(holder),
            reason == 0 ? (startMarked ? kMarked : kClean) : Codes(reason == 6115 ? 1 : 2, reason));
        // A copy-out's copy and its text lie between taking and releasing the lock.
        const std::string sent = reason ? said(kKxlFnStringCopy, textOf.at(reason)) + " " : "";
        EXPECT_EQ(lockOrder(trace), way == kCopyOut ? "locked1 " + sent + "unlocking 1" : sent);
      }
    }
  }
}

// The lock: created by the first copy-out, once; a lock that cannot be
// created fails that copy-out (2/2195), sends no text and releases nothing.
TEST(KxlStrCopyTest, LockIsCreatedByTheFirstCopyOutOnce) {
  char buffer[5] = "####";
  KxlStr s("abc");
  KxlStrCleanUp();
  {
    kxltest::TraceCapture trace;
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(s.copyOut(buffer, 4, ' '));
    EXPECT_EQ(failure.failed(), 1);
    EXPECT_EQ(state(s) + " " + buffer + " " + lockOrder(trace), "'abc'/4 2/2195 #### locked0 ");
  }
  kxltest::AllocationCounter counter;
  EXPECT_TRUE(s.copyOut(buffer, 4, ' ') && s.copyOut(buffer, 4, ' '));
  EXPECT_EQ(std::to_string(counter.count()) + " allocation, " + buffer, "1 allocation, abc ");
}

// A copy-out clears the string class's record and takes it back while it
// holds the lock, so that it never takes codes another copy-out wrote: a
// record written just before the lock is taken or just after its release
// (as setters write it, without the lock) does not reach the string.
TEST(KxlStrCopyTest, CopyOutTakesTheRecordOnlyUnderTheLock) {
  int written = 0;
  xcsSetTraceSink(
      [](const xcsTraceRecord *record, void *count) {
        if ((record->kind == XCS_ENTRY && record->function == kKxlFnStringLock) ||
            (record->kind == XCS_EXIT && record->function == kKxlFnStringUnlock)) {
          KxlStr::copy(nullptr, 1, "x", ' ');  // kMarked into the record
          ++*static_cast<int *>(count);
        }
      },
      &written);
  KxlStr clean("ab"), cut("abcdefgh");
  char buffer[4];
  const bool copied = clean.copyOut(buffer, 4, ' ') && cut.copyOut(buffer, 4, ' ');
  xcsSetTraceSink(nullptr, nullptr);
  EXPECT_TRUE(copied);
  EXPECT_EQ(state(clean) + " " + state(cut), "'ab'/3 0/0 'abcdefgh'/9 1/6115");
  EXPECT_EQ(written, 4);
}

// Written, a string replaces the message data; read, it takes the data
// from the data offset, obtaining storage in one allocation only when its
// own is too small; bytes after a null byte in the data stay in the storage.
TEST(KxlStrItemTest, WrittenAsTheWholeDataAndReadFromTheDataOffset) {
  for (const char *text : {"hello", static_cast<const char *>(nullptr)}) {
    KxlMsg message;
    hold(message, "old contents", "KXOTHER ");
    KxlStr s = marked(text);
    EXPECT_TRUE(s.copyOut(message));
    const std::string described = kxltest::description("KXSTR   ", kKxlNativeEncoding, 0);
    EXPECT_EQ(std::string(message.bufferPointer(), message.messageLength()) + " at " +
                  std::to_string(message.dataOffset()) + " " +
                  kxltest::description(kxltest::formatOf(message), message.encoding(),
                                       message.characterSet()) +
                  " " + state(s),
              text ? "hello at 5 " + described + " 'hello'/6 2/6108"
                   : " at 0 " + described + " null 2/6108");
  }
  // Each row: data, data offset, storage before (0: a null string), the text
  // and storage read, the allocations made.
  for (const kxltest::Row &row : kxltest::table("str_reads")) {
    SCOPED_TRACE(row.file);
    KxlMsg message;
    hold(message, row[0]);
    ASSERT_TRUE(message.setDataOffset(row.number(1)));
    KxlStr read("zzzzzzzzzzzzzzzzzzz");
    ASSERT_TRUE(read.setStorage(row.number(2)));
    kxltest::AllocationCounter counter;
    EXPECT_TRUE(message.readItem(read));
    EXPECT_EQ(counter.count(), row.number(4));
    EXPECT_EQ(state(read) + " at " + std::to_string(message.dataOffset()),
              row[3] + " 0/0 at " + std::to_string(row[0].size()));
  }
}

}  // namespace
