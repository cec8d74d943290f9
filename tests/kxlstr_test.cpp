// KxlStr: results, storage and codes of its operations, failures with their
// texts (storage failures injected for real), the readers, the copies into
// fields and buffers under the string class's lock, and the message item.

#include "kxlstr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kxlmsg.hpp"
#include "kxlmsgtest.hpp"

namespace {

using kxltest::Codes;
using kxltest::codesOf;
using kxltest::Texts;
const Codes kClean{0, 0};
const Codes kMarked{2, 6108};  // left by a failed set

// "null" for a null string, otherwise the text in quotes and the storage,
// as in "'ab'/3"; a length() that disagrees with the text is appended.
std::string shape(const KxlStr &s) {
  const char *chars = s;
  if (chars == nullptr)
    return s.storage() == 0 ? "null" : "no buffer/" + std::to_string(s.storage());
  std::string result = "'" + std::string(chars) + "'/" + std::to_string(s.storage());
  if (s.length() != std::strlen(chars)) result += " length " + std::to_string(s.length());
  return result;
}

const char *chars(const KxlStr &s) { return s; }

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

constexpr char kSetStorage[] = "KxlString::setStorage (error): storage not available";
constexpr char kBuilding[] = "KxlString::KxlString (warning): storage not available";

// A long is a signed 32-bit value: where it is wider, only its low 32 bits count.
const long kWide5 = static_cast<long>(INT64_C(0x100000005));
const long kWideMinus1 = static_cast<long>(INT64_C(0xFFFFFFFF));

// Each operation's result and what it leaves, "result 'text'/storage", on
// a string made with marked(initial); and whether it keeps those codes.
TEST(KxlStrTest, ResultStorageAndCodesOfEachOperation) {
  const struct {
    const char *initial;
    std::function<long(KxlStr &)> operation;
    const char *after;
    Codes codes;
  } cases[] = {
      {"", [](KxlStr &s) { return s = KxlStr(""), 0; }, "0 null", kClean},
      {"", [](KxlStr &s) { return s = KxlStr('\0'), 0; }, "0 ''/2", kClean},
      {"", [](KxlStr &s) { return s = KxlStr("a\0b", 3), 0; }, "0 'a.b'/4", kClean},
      {"old", [](KxlStr &s) { return s.set("ab\0x", 4); }, "1 'ab'/4", kMarked},
      {"old", [](KxlStr &s) { return s.set("abcd", 4); }, "1 'abcd'/5", kMarked},
      {"old", [](KxlStr &s) { return s.set(nullptr, 0); }, "1 null", kMarked},
      {"hello world", [](KxlStr &s) { return s.set(chars(s) + 6, 5); }, "1 'world'/6", kMarked},
      // A null byte ends new storage, so a shrink cuts the text.
      {"abcdef", [](KxlStr &s) { return s.setStorage(10); }, "1 'abcdef'/10", kMarked},
      {"abcdef", [](KxlStr &s) { return s.setStorage(4); }, "1 'abc'/4", kMarked},
      {"", [](KxlStr &s) { return s.setStorage(3); }, "1 ''/3", kMarked},
      {"ab", [](KxlStr &s) { return s.setStorage(0); }, "1 null", kMarked},
      // Joins allocate exactly the text and bring their own codes.
      {"", [](KxlStr &s) { return s = s + KxlStr(""), 0; }, "0 null", kClean},
      {"abc", [](KxlStr &s) { return s = s + "xy", 0; }, "0 'abcxy'/6", kClean},
      {"ab", [](KxlStr &s) { return s.setStorage(10), s += 'c', s += "d", 0; }, "0 'abcd'/5",
       kClean},
      {"x", [](KxlStr &s) { return s = s + 42L + 1.5, 0; }, "0 'x421.500000'/12", kClean},
      {"x", [](KxlStr &s) { return s = s + kWide5 + kWideMinus1, 0; }, "0 'x5-1'/5", kClean},
      {"n=", [](KxlStr &s) { return s += 12, s += 0.25, 0; }, "0 'n=120.250000'/13", kClean},
      {"x", [](KxlStr &s) { return s.pasteIn(3.0, ""); }, "0 'x***'/5", kClean},
      // 23 characters fit the number's work area, 24 do not.
      {"x", [](KxlStr &s) { return s.pasteIn(1e15, "%f"); }, "1 'x1000000000000000.000000'/25",
       kClean},
      {"x", [](KxlStr &s) { return s.pasteIn(-1e15, "%f"); }, "0 'x***'/5", kClean},
      // Byte appends: null bytes become full stops; storage that fits stays.
      {"xy", [](KxlStr &s) { return s.pasteIn("a\0b", 3); }, "1 'xya.b'/6", kMarked},
      {"ab", [](KxlStr &s) { return s.setStorage(6), s.pasteIn("cde", 3); }, "1 'abcde'/6",
       kMarked},
      {"abc", [](KxlStr &s) { return s.pasteIn(chars(s), 4); }, "1 'abcabc.'/8", kMarked},
      // Bytes read from where the append writes: "c" and the old null byte.
      {"", [](KxlStr &s) { return s.set("abc\0\0", 6), s.pasteIn(chars(s) + 2, 2); }, "1 'abcc.'/6",
       kMarked},
      {"abcde", [](KxlStr &s) { return s = s(1, 3), 0; }, "0 'bcd'/4", kClean},
      {"abcde", [](KxlStr &s) { return s = s(1, 0), 0; }, "0 'bcde'/5", kClean},
      {"abcde", [](KxlStr &s) { return s = s(5, 0), 0; }, "0 null", kClean},
      {"abcde", [](KxlStr &s) { return s = s(4, 2), 0; }, "0 null", kClean},
      {"abcde", [](KxlStr &s) { return s = s(SIZE_MAX, 2), 0; }, "0 null", kClean},
      {"abcde", [](KxlStr &s) { return s = s(2, SIZE_MAX), 0; }, "0 null", kClean},
      {"abc1z", [](KxlStr &s) { return s.setStorage(10), s = s.upperCase(), 0; }, "0 'ABC1Z'/10",
       kMarked},
      {"  ab", [](KxlStr &s) { return s.stripLeading(' '); }, "2 'ab'/3", kClean},
      {"ab", [](KxlStr &s) { return s.stripLeading(' '); }, "0 'ab'/3", kMarked},
      {"   ", [](KxlStr &s) { return s.stripLeading(' '); }, "3 null", kClean},
      {"ab  ", [](KxlStr &s) { return s.stripTrailing(' '); }, "2 'ab'/5", kMarked},
      {"   ", [](KxlStr &s) { return s.stripTrailing(' '); }, "3 ''/4", kMarked},
      {"", [](KxlStr &s) { return s.stripTrailing(' '); }, "0 null", kMarked},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "from '" << c.initial << "' to " << c.after);
    KxlStr s = marked(c.initial);
    const long result = c.operation(s);
    EXPECT_EQ(std::to_string(result) + " " + shape(s), c.after);
    EXPECT_EQ(codesOf(s), c.codes);
  }
}

TEST(KxlStrTest, CopiesOwnTheWholeStorageAndTakeTheCodes) {
  auto source = std::make_unique<KxlStr>(marked(""));
  ASSERT_TRUE(source->set("ab\0xyz", 6));
  KxlStr copy(*source);
  KxlStr assigned("something longer");
  assigned = *source;
  source.reset();
  for (KxlStr *s : {&copy, &assigned}) {
    ASSERT_EQ(s->storage(), 6u);
    EXPECT_EQ(std::memcmp(chars(*s), "ab\0xyz", 6), 0);
    EXPECT_EQ(codesOf(*s), kMarked);
    const KxlStr &same = *s;
    *s = same;
    EXPECT_EQ(shape(*s), "'ab'/6");
  }
}

// Every failure and notice, from "keep": the result, what the string
// holds, its codes and the one text sent. Storage that cannot be obtained
// while building a new text warns (1/2071) and leaves that text null;
// while changing a string it fails (2/2071) and the string keeps what it had.
TEST(KxlStrTest, FailuresAndNoticesSendTheirText) {
  enum Injected { kNothing, kNoStorage, kOtherUnreadable, kOwnUnwritable };
  struct In {
    KxlStr other{"a longer text"};
    KxlMsg message;  // "hello world"
    KxlMsg brief;    // "hi"
  };
  const char *keep = "'keep'/5";
  const Codes warned{1, 2071}, failed{2, 2071}, refused{2, 2004};
  const struct {
    Injected injected;
    bool result;
    const char *shape;
    Codes codes;
    unsigned function;
    const char *text;
    bool (*operation)(KxlStr &s, In &in);
  } cases[] = {
      {kNothing, false, keep, kMarked, 75, "KxlString::set (error): null pointer",
       [](KxlStr &s, In &) { return s.set(nullptr, 3); }},
      {kOtherUnreadable, false, keep, refused, 62,
       "KxlError::checkReadPointer (error): buffer error",
       [](KxlStr &s, In &in) { return s.set(in.other, 5); }},
      {kNothing, false, keep, kMarked, 45, "KxlString::pasteIn (error): null pointer",
       [](KxlStr &s, In &) { return s.pasteIn(nullptr, 2); }},
      // A size that cannot be represented; the bytes are never touched.
      {kNothing, false, keep, failed, 45, "KxlString::pasteIn (error): storage not available",
       [](KxlStr &s, In &) { return s.pasteIn(reinterpret_cast<char *>(1), SIZE_MAX - 2); }},
      {kNothing, true, keep, kClean, 48,
       "KxlString::stripLeading (information): cannot strip nulls",
       [](KxlStr &s, In &) { return s.stripLeading('\0') == 0; }},
      {kNothing, true, keep, kClean, 49,
       "KxlString::stripTrailing (information): cannot strip nulls",
       [](KxlStr &s, In &) { return s.stripTrailing('\0') == 0; }},
      {kNothing, true, keep, kClean, 44,
       "KxlString::copyOut/cutOut (information): null string delimiter is not advised",
       [](KxlStr &s, In &in) { return s.copyOut(in.other, '\0') == 4; }},
      {kNothing, false, keep, Codes(2, 6119), 45,
       "KxlString::pasteIn (error): wrong message format",
       [](KxlStr &s, In &in) { return in.message.setFormat("KXSTRING"), s.pasteIn(in.message); }},
      // The message's read fails, and its codes are taken over.
      {kOwnUnwritable, false, keep, refused, 63,
       "KxlError::checkWritePointer (error): buffer error",
       [](KxlStr &s, In &in) { return s.pasteIn(in.brief); }},
      {kNoStorage, true, "null", warned, 73, kBuilding,
       [](KxlStr &s, In &) { return s = KxlStr("abc"), true; }},
      {kNoStorage, true, "null", warned, 73, kBuilding,
       [](KxlStr &s, In &) { return s = KxlStr('x'), true; }},
      {kNoStorage, true, "null", warned, 74,
       "KxlString::concatenate (warning): storage not available",
       [](KxlStr &s, In &in) { return s += in.other, true; }},
      // A number's temporary is lost with its warning; the append goes on.
      {kNoStorage, true, keep, kClean, 73, kBuilding,
       [](KxlStr &s, In &) { return s.pasteIn(42L); }},
      {kNoStorage, false, keep, failed, 47, kSetStorage,
       [](KxlStr &s, In &) { return s.setStorage(100); }},
      {kNoStorage, false, keep, failed, 47, kSetStorage,
       [](KxlStr &s, In &in) { return s.set(in.other, 11); }},
      {kNoStorage, true, keep, failed, 47, kSetStorage,
       [](KxlStr &s, In &in) { return s = in.other, true; }},
      {kNoStorage, false, keep, failed, 47, kSetStorage,
       [](KxlStr &s, In &) { return s.pasteIn("cd", 2); }},
      {kNoStorage, true, "null", failed, 47, kSetStorage,
       [](KxlStr &s, In &) { return s = s(1, 2), true; }},
      {kNoStorage, false, keep, failed, 47, kSetStorage,
       [](KxlStr &s, In &in) { return s.pasteIn(in.message); }},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
    if (c.injected == kNoStorage && !kxltest::allocationFailureWorks()) continue;
    KxlStr s("keep");
    In in;
    hold(in.message, "hello world");
    hold(in.brief, "hi");
    kxltest::TraceCapture trace;
    std::optional<kxltest::AllocationFailure> failure;
    std::optional<kxltest::PointerRefusal> refusal;
    if (c.injected == kNoStorage) failure.emplace(1);
    if (c.injected == kOtherUnreadable) refusal.emplace(chars(in.other) + 1);
    if (c.injected == kOwnUnwritable) refusal.emplace(chars(s));
    EXPECT_EQ(c.operation(s, in), c.result);
    EXPECT_TRUE(!failure || failure->failed() == 1);
    failure.reset();
    refusal.reset();
    EXPECT_EQ(shape(s), c.shape);
    EXPECT_EQ(codesOf(s), c.codes);
    EXPECT_EQ(kxltest::textsOf(trace), (Texts{{c.function, c.text}}));
    EXPECT_EQ(in.message.dataOffset() + in.brief.dataOffset(), 0u);
  }
}

// The six relations ==, !=, <, <=, >, >= of a and b as '0'/'1' characters.
template <typename A, typename B>
std::string relations(const A &a, const B &b) {
  std::string result;
  for (bool held : {a == b, a != b, (a < b), a <= b, (a > b), a >= b}) result += held ? '1' : '0';
  return result;
}

TEST(KxlStrTest, CompareAsUnsignedBytesAndOperatorsFollow) {
  KxlStr storedPastNull;
  storedPastNull.set("ab\0z", 4);
  const struct {
    KxlStr a;
    KxlStr b;
    short result;
  } cases[] = {
      {KxlStr(), KxlStr(""), 0},         {KxlStr(), KxlStr('\0'), 0},
      {KxlStr(""), KxlStr("a"), -1},     {KxlStr("a"), KxlStr(), 1},
      {KxlStr("ab"), KxlStr("abc"), -1}, {KxlStr("abc"), KxlStr("ab"), 1},
      {KxlStr("\xE9"), KxlStr("z"), 1},  {KxlStr("abc"), KxlStr("abd"), -1},
      {KxlStr("abc"), KxlStr("abc"), 0}, {storedPastNull, KxlStr("ab"), 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(shape(c.a) + " vs " + shape(c.b));
    EXPECT_EQ(c.a.compare(c.b), c.result);
    const std::string expected = relations(c.result, short{0});
    EXPECT_EQ(relations(c.a, c.b), expected);
    EXPECT_EQ(relations(c.a, chars(c.b)), expected);
    EXPECT_EQ(relations(chars(c.a), c.b), expected);
  }
}

TEST(KxlStrTest, FindMovesTheOffset) {
  const struct {
    const char *sought;
    std::size_t from;
    bool found;
    std::size_t offset;
  } cases[] = {
      {"de", 0, true, 3},      {"xy", 0, false, 4},
      {"de", 4, false, 4},     {"", 7, true, 7},
      {"ab", 1, false, 4},     {"e", 2, true, 4},
      {"abcdef", 0, false, 0}, {"a", SIZE_MAX, false, SIZE_MAX},
  };
  for (const auto &c : cases) {
    std::size_t offset = c.from;
    EXPECT_EQ(KxlStr("abcde").find(KxlStr(c.sought), offset), c.found) << c.sought;
    EXPECT_EQ(offset, c.offset) << c.sought;
  }
  EXPECT_TRUE(KxlStr("abcde").find(KxlStr("cd")));
  EXPECT_TRUE(KxlStr().find(KxlStr()));
  EXPECT_FALSE(KxlStr().find(KxlStr("a")));
}

// "spanned value rest": what copyOut and cutOut span, the value they read
// (99: left alone), and what cutOut leaves; values outside 32 bits saturate.
TEST(KxlStrTest, ReadsSignedDecimalNumbers) {
  // 18446744073709551617 is 2^64 + 1: a magnitude that wrapped would read as 1.
  const struct {
    const char *text;
    const char *after;
  } cases[] = {{"  -42abc", "5 -42 'abc'/4"},
               {"\t+7 ", "3 7 ' '/2"},
               {"000012", "6 12 null"},
               {"+", "0 99 '+'/2"},
               {"- 5", "0 99 '- 5'/4"},
               {"", "0 99 null"},
               {"\n1", "0 99 '\n1'/3"},
               {"2147483648", "10 2147483647 null"},
               {"-2147483648", "11 -2147483648 null"},
               {"-2147483649x", "11 -2147483648 'x'/2"},
               {"18446744073709551617", "20 2147483647 null"},
               {"-99999999999999999999999", "24 -2147483648 null"}};
  for (const auto &c : cases) {
    KxlStr s(c.text);
    long copied = 99, cut = 99;
    const std::size_t spanned = s.copyOut(copied);
    EXPECT_EQ(s.cutOut(cut), spanned) << c.text;
    EXPECT_EQ(copied, cut) << c.text;
    EXPECT_EQ(std::to_string(spanned) + " " + std::to_string(cut) + " " + shape(s), c.after);
  }
  for (int ch = -128; ch < 128; ++ch) {
    EXPECT_EQ(WhiteSpace(static_cast<char>(ch)), ch == 9 || ch == 32) << ch;
  }
}

// Blanks after a token stay, to count as leading delimiters next time.
TEST(KxlStrTest, Tokens) {
  const struct {
    const char *text;
    char delimiter;
    std::size_t copied;
    const char *token;  // "'old'/4": left alone
    std::size_t cut;
    const char *rest;
  } cases[] = {
      {",,ab,cd", ',', 4, "'ab'/3", 5, "'cd'/3"},    {"ab,,,", ',', 2, "'ab'/3", 5, "null"},
      {"  ab  cd", ' ', 4, "'ab'/3", 4, "'  cd'/5"}, {"  cd", ' ', 4, "'cd'/3", 4, "null"},
      {",,,", ',', 0, "'old'/4", 0, "',,,'/4"},      {"", ',', 0, "'old'/4", 0, "null"},
      {"ab c", '\0', 4, "'ab c'/5", 4, "null"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    KxlStr s(c.text);
    KxlStr copied = marked("old"), cut = marked("old");
    EXPECT_EQ(s.copyOut(copied, c.delimiter), c.copied);
    EXPECT_EQ(s.cutOut(cut, c.delimiter), c.cut);
    EXPECT_EQ(shape(copied), c.token);
    EXPECT_EQ(shape(cut), c.token);
    EXPECT_EQ(codesOf(copied), c.copied > 0 ? kClean : kMarked);
    EXPECT_EQ(shape(s), c.rest);
  }
}

// The records that show whether a copy ran under the string class's lock:
// "locked" (the lock's request returned, value), "text" (a text of the
// copy, function 43), "unlocking" (the release began), and its exit value.
std::string lockOrder(const kxltest::TraceCapture &trace) {
  std::string order;
  for (const kxltest::TraceRecord &r : trace.records()) {
    if (r.kind == XCS_EXIT && r.function == 57) order += "locked" + std::to_string(r.value) + " ";
    if (r.kind == XCS_TEXT && r.function == 43) order += "text ";
    if (r.kind == XCS_ENTRY && r.function == 58) order += "unlocking ";
    if (r.kind == XCS_EXIT && r.function == 58) order += std::to_string(r.value);
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
      {0, nullptr},
      {6115, "static KxlString::copy (warning): string truncated"},
      {6108, "static KxlString::copy (error): no destination buffer"},
      {2145, "KxlString::copy (error): source buffer error"},
      {2146, "KxlString::copy (error): target buffer error"},
      {2004, "KxlString::copy (error): buffer error"}};
  enum Refused { kNone, kTarget, kSource };
  struct Outcome {
    bool result;
    const char *field;
    long reason;
  };
  const struct {
    const char *source;
    std::size_t length;
    bool nullTarget;
    Refused refused;
    Outcome withError, withoutError;
  } cases[] = {
      {"abc", 5, false, kNone, {true, "abc__###", 0}, {true, "abc__###", 0}},
      {"abcdef", 5, false, kNone, {true, "abcde###", 6115}, {true, "abcde###", 6115}},
      {nullptr, 5, false, kNone, {true, "_____###", 0}, {true, "_____###", 0}},
      {"abcde", 5, false, kNone, {true, "abcde###", 0}, {true, "abcde###", 0}},  // unterminated
      // Only the form with an error object returns at once for length 0.
      {"abc", 0, false, kNone, {true, "########", 0}, {true, "########", 6115}},
      {"abc", 0, true, kNone, {true, "########", 0}, {true, "########", 6115}},
      {"abc", 5, true, kNone, {false, "########", 6108}, {false, "########", 6108}},
      {nullptr, 5, true, kNone, {false, "########", 6108}, {false, "########", 6108}},
      {"abc", 5, false, kTarget, {false, "########", 2146}, {false, "########", 2004}},
      // Only the field's bytes are asked for.
      {"abc", 4, false, kTarget, {true, "abc_####", 0}, {true, "abc_####", 0}},
      {"abc", 5, false, kSource, {false, "########", 2145}, {true, "abc__###", 0}},
      {"abc", 0, false, kSource, {false, "########", 2145}, {true, "########", 6115}},
  };
  enum Way { kWithError, kWithRecord, kCopyOut };
  for (const auto &c : cases) {
    for (const Way way : {kWithError, kWithRecord, kCopyOut}) {
      for (const bool startMarked : {false, true}) {
        SCOPED_TRACE(::testing::Message()
                     << "row " << &c - cases << ", way " << way << (startMarked ? ", marked" : ""));
        // The error object, or the string copied out.
        KxlStr holder = marked(way == kCopyOut ? c.source : "");
        if (!startMarked) holder.clearErrorCodes();
        if (way == kWithRecord && !startMarked) {
          KxlStr().copyOut(nullptr, 0, '_');  // clears the record and writes nothing
        } else {
          KxlStr::copy(nullptr, 1, "x", '_');  // kMarked, as a setter's failure leaves it
        }
        char field[9] = "########";
        char *target = c.nullTarget ? nullptr : field;
        kxltest::TraceCapture trace;
        std::optional<kxltest::PointerRefusal> refusal;
        if (c.refused == kTarget) refusal.emplace(field + 4, 1, kxltest::PointerRefusal::kWrite);
        if (c.refused == kSource) refusal.emplace(c.source, 1, kxltest::PointerRefusal::kRead);
        const bool result = way == kWithError
                                ? KxlStr::copy(target, c.length, c.source, holder, '_')
                            : way == kWithRecord ? KxlStr::copy(target, c.length, c.source, '_')
                                                 : holder.copyOut(target, c.length, '_');
        refusal.reset();
        const Outcome &expected = way == kWithError ? c.withError : c.withoutError;
        const long reason = expected.reason;
        EXPECT_EQ(result, expected.result);
        EXPECT_EQ(std::string(field), expected.field);
        EXPECT_EQ(
            way == kWithRecord ? Codes(KxlStr::staticCompletionCode(), KxlStr::staticReasonCode())
                               : codesOf(holder),
            reason == 0 ? (startMarked ? kMarked : kClean) : Codes(reason == 6115 ? 1 : 2, reason));
        const char *text = textOf.at(reason);
        EXPECT_EQ(kxltest::textsOf(trace), (text ? Texts{{43u, text}} : Texts()));
        // A copy-out's copy and text lie between taking and releasing the lock.
        const std::string sent = text ? "text " : "";
        EXPECT_EQ(lockOrder(trace), way == kCopyOut ? "locked1 " + sent + "unlocking 1" : sent);
      }
    }
  }
}

// The lock: created by the first copy-out, once; a lock that cannot be
// created fails that copy-out (2/2195), sends no text and releases nothing.
TEST(KxlStrCopyTest, LockIsCreatedByTheFirstCopyOutOnce) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  char buffer[5] = "####";
  KxlStr s("abc");
  KxlStrCleanUp();
  {
    kxltest::TraceCapture trace;
    kxltest::AllocationFailure failure(1);
    EXPECT_FALSE(s.copyOut(buffer, 4, ' '));
    EXPECT_EQ(failure.failed(), 1);
    EXPECT_EQ(codesOf(s), Codes(2, 2195));
    EXPECT_EQ(std::string(buffer), "####");
    EXPECT_EQ(lockOrder(trace), "locked0 ");
    EXPECT_TRUE(trace.texts().empty());
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
        if ((record->kind == XCS_ENTRY && record->function == 57) ||
            (record->kind == XCS_EXIT && record->function == 58)) {
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
  EXPECT_EQ(codesOf(clean), kClean);
  EXPECT_EQ(codesOf(cut), Codes(1, 6115));
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
    EXPECT_EQ(std::string(message.bufferPointer(), message.messageLength()), text ? text : "");
    EXPECT_EQ(message.dataOffset(), message.messageLength());
    EXPECT_EQ(kxltest::formatOf(message) + "/" + std::to_string(message.encoding()) + "/" +
                  std::to_string(message.characterSet()),
              "KXSTR   /546/0");
    EXPECT_EQ(codesOf(s), kMarked);
  }
  char buffer[3];
  KxlMsg small;
  ASSERT_TRUE(small.useEmptyBuffer(buffer, sizeof buffer));
  KxlStr s("hello");
  EXPECT_FALSE(s.copyOut(small));
  EXPECT_EQ(codesOf(s), Codes(2, 6113));
  using namespace std::string_literals;
  const struct {
    std::string data;
    std::size_t offset;
    std::size_t storageBefore;  // 0: a null string
    const char *shape;
    long allocations;
  } cases[] = {{"hello", 0, 0, "'hello'/6", 1}, {"hello", 2, 0, "'llo'/4", 1},
               {"hello", 0, 5, "'hello'/6", 1}, {"hello", 0, 20, "'hello'/20", 0},
               {"ab\0"s, 0, 0, "'ab'/3", 1},    {"a\0bc"s, 0, 0, "'a'/5", 1},
               {"ab\0"s, 0, 3, "'ab'/3", 0},    {"abc", 3, 2, "'z'/2", 0},
               {"abc", 3, 0, "null", 0}};
  const bool counted = kxltest::allocationFailureWorks();  // its first call allocates
  for (const auto &c : cases) {
    SCOPED_TRACE(c.shape);
    KxlMsg message;
    hold(message, c.data);
    ASSERT_TRUE(message.setDataOffset(c.offset));
    KxlStr read("zzzzzzzzzzzzzzzzzzz");
    ASSERT_TRUE(read.setStorage(c.storageBefore));
    kxltest::AllocationCounter counter;
    EXPECT_TRUE(message.readItem(read));
    EXPECT_EQ(counted ? counter.count() : c.allocations, c.allocations);
    EXPECT_EQ(shape(read), c.shape);
    EXPECT_EQ(codesOf(read), kClean);
    EXPECT_EQ(message.dataOffset(), c.data.size());
  }
}

}  // namespace
