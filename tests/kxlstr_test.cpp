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
#include <string>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"

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

// An operation's result, the string's state, and each text said():
// "0 'keep'/5 2/6108 N:KxlString::set (error): null pointer".
std::string outcome(long result, const KxlStr &s, const kxltest::TraceCapture &trace) {
  std::string seen = std::to_string(result) + " " + state(s);
  for (const auto &text : kxltest::textsOf(trace)) seen += " " + said(text.first, text.second);
  return seen;
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

// Each operation on a string made with marked(initial), with the fault a
// row injects, as outcome() shows it. Storage that cannot be obtained while
// building a new text warns (1/2071) and leaves that text null; while
// changing a string it fails (2/2071) and the string keeps what it had.
TEST(KxlStrTest, ResultStateAndTextsOfEachOperation) {
  enum Fault { kNone, kNoStorage, kOtherUnreadable, kOwnUnwritable };
  struct Scene {
    KxlStr other{"a longer text"};
    KxlMsg message, brief, small;  // "hello world", "hi", and an empty 3-byte buffer
    char bytes[3];
  };
  static std::optional<Scene> in;  // what the operations of the current row reach
  const std::string building =
      said(kKxlFnStringConstruct, "KxlString::KxlString (warning): storage not available");
  const std::string setStorage =
      said(kKxlFnStringSetStorage, "KxlString::setStorage (error): storage not available");
  const struct {
    const char *initial;
    std::function<long(KxlStr &)> operation;
    std::string after;
    Fault fault = kNone;
  } cases[] = {
      {"", OP(s = KxlStr('\0'), 0), "0 ''/2 0/0"},
      {"", OP(s = KxlStr("a\0b", 3), 0), "0 'a.b'/4 0/0"},
      {"old", OP(s.set(nullptr, 0)), "1 null 2/6108"},
      {"hello world", OP(s.set(chars(s) + 6, 5)), "1 'world'/6 2/6108"},
      // A null byte ends new storage, so a shrink cuts the text.
      {"abcdef", OP(s.setStorage(4)), "1 'abc'/4 2/6108"},
      // Joins allocate exactly the text and bring their own codes.
      {"", OP(s = s + KxlStr(""), 0), "0 null 0/0"},
      {"abc", OP(s = s + "xy", 0), "0 'abcxy'/6 0/0"},
      {"ab", OP(s.setStorage(10), s += 'c', s += "d", 0), "0 'abcd'/5 0/0"},
      {"x", OP(s = s + 42L + 1.5, 0), "0 'x421.500000'/12 0/0"},
      {"x", OP(s = s + kWide5 + kWideMinus1, 0), "0 'x5-1'/5 0/0"},
      {"n=", OP(s += 12, s += 0.25, 0), "0 'n=120.250000'/13 0/0"},
      {"x", OP(s.pasteIn(3.0, "")), "0 'x***'/5 0/0"},
      // 23 characters fit the number's work area, 24 do not.
      {"x", OP(s.pasteIn(1e15, "%f")), "1 'x1000000000000000.000000'/25 0/0"},
      {"x", OP(s.pasteIn(-1e15, "%f")), "0 'x***'/5 0/0"},
      // Byte appends: null bytes become full stops; storage that fits stays.
      {"xy", OP(s.pasteIn("a\0b", 3)), "1 'xya.b'/6 2/6108"},
      {"ab", OP(s.setStorage(6), s.pasteIn("cde", 3)), "1 'abcde'/6 2/6108"},
      {"abc", OP(s.pasteIn(chars(s), 4)), "1 'abcabc.'/8 2/6108"},
      // Bytes read from where the append writes: "c" and the old null byte.
      {"", OP(s.set("abc\0\0", 6), s.pasteIn(chars(s) + 2, 2)), "1 'abcc.'/6 2/6108"},
      {"abcde", OP(s = s(SIZE_MAX, 2), 0), "0 null 0/0"},
      {"abcde", OP(s = s(2, SIZE_MAX), 0), "0 null 0/0"},
      {"abc1z", OP(s.setStorage(10), s = s.upperCase(), 0), "0 'ABC1Z'/10 2/6108"},
      {"  ab", OP(s.stripLeading(' ')), "2 'ab'/3 0/0"},
      {"ab", OP(s.stripLeading(' ')), "0 'ab'/3 2/6108"},
      {"ab  ", OP(s.stripTrailing(' ')), "2 'ab'/5 2/6108"},
      // Failures and notices, which leave "keep" as it was.
      {"keep", OP(s.clearErrorCodes(), s.set(nullptr, 3)),
       "0 'keep'/5 2/6108 " + said(kKxlFnStringSet, "KxlString::set (error): null pointer")},
      {"keep", OP(s.set(in->other, 5)),
       "0 'keep'/5 2/2004 " +
           said(kKxlFnErrorCheckReadPointer, "KxlError::checkReadPointer (error): buffer error"),
       kOtherUnreadable},
      {"keep", OP(s.clearErrorCodes(), s.pasteIn(nullptr, 2)),
       "0 'keep'/5 2/6108 " +
           said(kKxlFnStringPasteIn, "KxlString::pasteIn (error): null pointer")},
      // A size that cannot be represented; the bytes are never touched.
      {"keep", OP(s.pasteIn(reinterpret_cast<char *>(1), SIZE_MAX - 2)),
       "0 'keep'/5 2/2071 " +
           said(kKxlFnStringPasteIn, "KxlString::pasteIn (error): storage not available")},
      {"keep", OP(s.stripLeading('\0')),
       "0 'keep'/5 2/6108 " + said(kKxlFnStringStripLeading,
                                   "KxlString::stripLeading (information): cannot strip nulls")},
      {"keep", OP(s.stripTrailing('\0')),
       "0 'keep'/5 2/6108 " + said(kKxlFnStringStripTrailing,
                                   "KxlString::stripTrailing (information): cannot strip nulls")},
      {"keep", OP(s.copyOut(in->other, '\0')),
       "4 'keep'/5 2/6108 " +
           said(kKxlFnStringDelimiter,
                "KxlString::copyOut/cutOut (information): null string delimiter is not advised")},
      {"keep", OP(in->message.setFormat("KXSTRING"), s.pasteIn(in->message)),
       "0 'keep'/5 2/6119 " +
           said(kKxlFnStringPasteIn, "KxlString::pasteIn (error): wrong message format")},
      // The message's read fails, and its codes are taken over.
      {"keep", OP(s.pasteIn(in->brief)),
       "0 'keep'/5 2/2004 " +
           said(kKxlFnErrorCheckWritePointer, "KxlError::checkWritePointer (error): buffer error"),
       kOwnUnwritable},
      // Writing into a message fails as the message's cache does, and takes its codes.
      {"keep", OP(s.copyOut(in->small)),
       "0 'keep'/5 2/6113 " +
           said(kKxlFnCacheMoreBytes, "KxlCache::moreBytes (error): insufficient buffer")},
      {"keep", OP(s = KxlStr("abc"), 0), "0 null 1/2071 " + building, kNoStorage},
      {"keep", OP(s = KxlStr('x'), 0), "0 null 1/2071 " + building, kNoStorage},
      {"keep", OP(s += in->other, 0),
       "0 null 1/2071 " +
           said(kKxlFnStringConcatenate, "KxlString::concatenate (warning): storage not available"),
       kNoStorage},
      // A number's temporary is lost with its warning; the append goes on.
      {"keep", OP(s.pasteIn(42L)), "1 'keep'/5 0/0 " + building, kNoStorage},
      {"keep", OP(s.setStorage(100)), "0 'keep'/5 2/2071 " + setStorage, kNoStorage},
      {"keep", OP(s.set(in->other, 11)), "0 'keep'/5 2/2071 " + setStorage, kNoStorage},
      {"keep", OP(s = in->other, 0), "0 'keep'/5 2/2071 " + setStorage, kNoStorage},
      {"keep", OP(s.pasteIn("cd", 2)), "0 'keep'/5 2/2071 " + setStorage, kNoStorage},
      {"keep", OP(s = s(1, 2), 0), "0 null 2/2071 " + setStorage, kNoStorage},
      {"keep", OP(s.pasteIn(in->message)), "0 'keep'/5 2/2071 " + setStorage, kNoStorage},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << &c - cases << ": " << c.after);
    KxlStr s = marked(c.initial);
    in.emplace();
    hold(in->message, "hello world");
    hold(in->brief, "hi");
    ASSERT_TRUE(in->small.useEmptyBuffer(in->bytes, sizeof in->bytes));
    kxltest::TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    std::optional<kxltest::PointerRefusal> refusal;
    if (c.fault == kNoStorage) failure.emplace(1);
    if (c.fault == kOtherUnreadable) refusal.emplace(chars(in->other) + 1);
    if (c.fault == kOwnUnwritable) refusal.emplace(chars(s));
    const long result = c.operation(s);
    EXPECT_TRUE(!failure || failure->failed() == 1);
    failure.reset();
    refusal.reset();
    EXPECT_EQ(outcome(result, s, trace), c.after);
    EXPECT_EQ(in->message.dataOffset() + in->brief.dataOffset(), 0u);
  }
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
  KxlStr storedPastNull;
  storedPastNull.set("ab\0z", 4);
  const struct {
    KxlStr a;
    KxlStr b;
    short result;
  } cases[] = {{KxlStr(), KxlStr('\0'), 0},       {KxlStr(""), KxlStr("a"), -1},
               {KxlStr("\xE9"), KxlStr("z"), 1},  {KxlStr("abc"), KxlStr("abd"), -1},
               {storedPastNull, KxlStr("ab"), 0}, {KxlStr("abc"), KxlStr("ab"), 1}};
  for (const auto &c : cases) {
    SCOPED_TRACE(state(c.a) + " vs " + state(c.b));
    EXPECT_EQ(c.a.compare(c.b), c.result);
    const std::string expected = relations(c.result, short{0});
    EXPECT_EQ(relations(c.a, c.b) + relations(c.a, chars(c.b)) + relations(chars(c.a), c.b),
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
  enum Target { kField, kNull, kFieldRefused, kSourceRefused };
  struct Outcome {
    const char *field;
    long reason;  // the result is false for the errors
  };
  const struct {
    const char *source;
    std::size_t length;
    Target target;
    Outcome withError, withoutError;
  } cases[] = {
      {"abc", 5, kField, {"abc__###", 0}, {"abc__###", 0}},
      {"abcdef", 5, kField, {"abcde###", 6115}, {"abcde###", 6115}},
      {nullptr, 5, kField, {"_____###", 0}, {"_____###", 0}},
      {"abcde", 5, kField, {"abcde###", 0}, {"abcde###", 0}},  // unterminated
      // Only the form with an error object returns at once for length 0.
      {"abc", 0, kField, {"########", 0}, {"########", 6115}},
      {"abc", 0, kNull, {"########", 0}, {"########", 6115}},
      {"abc", 5, kNull, {"########", 6108}, {"########", 6108}},
      {nullptr, 5, kNull, {"########", 6108}, {"########", 6108}},
      {"abc", 5, kFieldRefused, {"########", 2146}, {"########", 2004}},
      // Only the field's bytes are asked for.
      {"abc", 4, kFieldRefused, {"abc_####", 0}, {"abc_####", 0}},
      {"abc", 5, kSourceRefused, {"########", 2145}, {"abc__###", 0}},
      {"abc", 0, kSourceRefused, {"########", 2145}, {"########", 6115}},
  };
  enum Way { kWithError, kWithRecord, kCopyOut };
  using kxltest::PointerRefusal;
  for (const auto &c : cases) {
    for (const Way way : {kWithError, kWithRecord, kCopyOut}) {
      for (const bool startMarked : {false, true}) {
        SCOPED_TRACE(::testing::Message()
                     << "row " << &c - cases << ", way " << way << (startMarked ? ", marked" : ""));
        // The error object, or the string copied out; the class's record as
        // a setter's failure leaves it, or clean.
        KxlStr holder = marked(way == kCopyOut ? c.source : "");
        if (!startMarked) holder.clearErrorCodes();
        KxlStr::copy(nullptr, 1, "x", '_');
        if (way == kWithRecord && !startMarked) KxlStr().copyOut(nullptr, 0, '_');
        char field[9] = "########";
        char *target = c.target == kNull ? nullptr : field;
        kxltest::TraceCapture trace;
        std::optional<PointerRefusal> refusal;
        if (c.target == kFieldRefused) refusal.emplace(field + 4, 1, PointerRefusal::kWrite);
        if (c.target == kSourceRefused) refusal.emplace(c.source, 1, PointerRefusal::kRead);
        const bool result = way == kWithError
                                ? KxlStr::copy(target, c.length, c.source, holder, '_')
                            : way == kWithRecord ? KxlStr::copy(target, c.length, c.source, '_')
                                                 : holder.copyOut(target, c.length, '_');
        refusal.reset();
        const Outcome &expected = way == kWithError ? c.withError : c.withoutError;
        const long reason = expected.reason;
        EXPECT_EQ(result, reason == 0 || reason == 6115);
        EXPECT_EQ(std::string(field), expected.field);
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
  EXPECT_EQ(counter.count(), 1);
  EXPECT_EQ(std::string(buffer), "abc ");
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
  using namespace std::string_literals;
  const struct {
    std::string data;
    std::size_t offset;
    std::size_t storageBefore;  // 0: a null string
    const char *state;
    long allocations;
  } cases[] = {{"hello", 0, 0, "'hello'/6", 1}, {"hello", 2, 0, "'llo'/4", 1},
               {"hello", 0, 5, "'hello'/6", 1}, {"hello", 0, 20, "'hello'/20", 0},
               {"ab\0"s, 0, 0, "'ab'/3", 1},    {"a\0bc"s, 0, 0, "'a'/5", 1},
               {"ab\0"s, 0, 3, "'ab'/3", 0},    {"abc", 3, 2, "'z'/2", 0},
               {"abc", 3, 0, "null", 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.state);
    KxlMsg message;
    hold(message, c.data);
    ASSERT_TRUE(message.setDataOffset(c.offset));
    KxlStr read("zzzzzzzzzzzzzzzzzzz");
    ASSERT_TRUE(read.setStorage(c.storageBefore));
    kxltest::AllocationCounter counter;
    EXPECT_TRUE(message.readItem(read));
    EXPECT_EQ(counter.count(), c.allocations);
    EXPECT_EQ(state(read) + " at " + std::to_string(message.dataOffset()),
              std::string(c.state) + " 0/0 at " + std::to_string(c.data.size()));
  }
}

// A read that fails leaves what its steps leave. Storage smaller than the
// data is made the data's size holding an empty text before the read, and
// keeps that when the read is refused. Storage at least the data's size
// takes the bytes first; when no room can then be found for the null byte,
// the last byte read becomes it and the data offset stands past the data.
TEST(KxlStrItemTest, AFailedReadLeavesWhatItsStepsLeave) {
  const std::string refusedRead =
      said(kKxlFnErrorCheckWritePointer, "KxlError::checkWritePointer (error): buffer error");
  const std::string noStorage =
      said(kKxlFnStringSetStorage, "KxlString::setStorage (error): storage not available");
  const struct {
    const char *initial;
    bool refuseWrites;  // else the first allocation fails
    std::string after;
    std::size_t dataOffset;
  } cases[] = {
      {"ab", true, "0 ''/5 2/2004 " + refusedRead, 0},
      {"ab", false, "0 'ab'/3 2/2071 " + noStorage, 0},
      {"abcd", false, "0 'hell'/5 2/2071 " + noStorage, 5},
      {"abcdefghij", true, "0 'abcdefghij'/11 2/2004 " + refusedRead, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.after);
    KxlMsg message;
    hold(message, "hello");
    KxlStr s(c.initial);
    kxltest::TraceCapture trace;
    std::optional<kxltest::PointerRefusal> refusal;
    std::optional<kxltest::AllocationFailure> failure;
    if (c.refuseWrites) {
      refusal.emplace(reinterpret_cast<const void *>(1), SIZE_MAX - 1,
                      kxltest::PointerRefusal::kWrite);
    } else {
      failure.emplace(1);
    }
    const bool read = s.pasteIn(message);
    refusal.reset();
    failure.reset();
    EXPECT_EQ(outcome(read, s, trace), c.after);
    EXPECT_EQ(message.dataOffset(), c.dataOffset);
  }
}

// An append of the string's own bytes into storage of exactly the size
// needed obtains nothing; bytes are moved as memmove moves them.
TEST(KxlStrTest, OwnBytesAppendedIntoStorageThatFitsObtainNothing) {
  const struct {
    const char *text;
    std::size_t storage, from, count;
    const char *after;
  } cases[] = {{"ab", 5, 0, 2, "'abab'/5 0/0"},
               {"abc", 6, 1, 2, "'abcbc'/6 0/0"},
               {"abc", 6, 2, 2, "'abcc.'/6 0/0"}};
  for (const auto &c : cases) {
    KxlStr s(c.text);
    ASSERT_TRUE(s.setStorage(c.storage));
    kxltest::AllocationCounter counter;
    EXPECT_TRUE(s.pasteIn(chars(s) + c.from, c.count));
    EXPECT_EQ(counter.count(), 0) << c.after;
    EXPECT_EQ(state(s), c.after);
  }
}

}  // namespace
