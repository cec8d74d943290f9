// KxlStr and KxlBin: results, storage and codes of their operations,
// failures with their texts (storage failures and refused pointers injected
// for real), the copies into fields and buffers under the string class's
// lock, the message item. The texts that number and token reading, find,
// compare, substrings, strips and storage changes leave are fuzz_string's
// model, checked on its seeds.

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

#include "kxlbin.hpp"
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
bool hold(KxlMsg &message, const std::string &data, const char *format) {
  message.setFormat(format);
  message.setEncoding(273);
  message.setCharacterSet(1208);
  return message.write(data.size(), data.data()) && message.setDataOffset(0);
}

// A long is a signed 32-bit value: where it is wider, only its low 32 bits count.
const long kWide5 = static_cast<long>(INT64_C(0x100000005));
const long kWideMinus1 = static_cast<long>(INT64_C(0xFFFFFFFF));

// What the operations of a row reach besides the value: the row's cells a
// (1) and b (2), a message holding cell 3 in format b ("-": "KXSTR   ")
// unless that is "-", an empty 3-byte buffer, a field of '#'.
struct Scene {
  const kxltest::Row &row;
  KxlStr text{"a longer text"};
  KxlBin bytes{"0123456789", 10};
  KxlMsg message, small;
  char buffer[3];
  std::string field = std::string(30, '#');
  explicit Scene(const kxltest::Row &r) : row(r) {
    EXPECT_TRUE(row[3] == "-" || hold(message, row[3], b() == "-" ? "KXSTR   " : b().c_str()));
  }
  const std::string &a() const { return row[1]; }
  const std::string &b() const { return row[2]; }
  std::size_t n(std::size_t i) const { return static_cast<std::size_t>(row.number(i)); }
  // The message's data, data offset and description, if it has one.
  std::string shown() const {
    if (row[3] == "-") return "";
    return " '" + std::string(message.bufferPointer(), message.messageLength()) + "' at " +
           std::to_string(message.dataOffset()) + " " +
           kxltest::description(kxltest::formatOf(message), message.encoding(),
                                message.characterSet());
  }
};

// The fault a row names, injected while it lives: "no storage" (the next
// allocation fails), "writes refused" (every write), or one of `refused`,
// the bytes refused there for reads and writes.
using Refused = std::map<std::string, std::pair<const void *, std::size_t>>;
struct Fault {
  std::optional<kxltest::AllocationFailure> failure;
  std::optional<kxltest::PointerRefusal> refusal;
  Fault(const std::string &name, const Refused &refused) {
    if (name == "no storage") failure.emplace(1);
    if (name == "writes refused") {
      refusal.emplace(reinterpret_cast<const void *>(1), SIZE_MAX - 1,
                      kxltest::PointerRefusal::kWrite);
    }
    if (refused.count(name)) refusal.emplace(refused.at(name).first, refused.at(name).second);
  }
  bool struck() const { return !failure || failure->failed() == 1; }
};

// An operation on the value `s` of a row, as a number to show (0 when it
// gives none).
#define OP(...) [](auto &s, Scene &in) -> long { return (void)in, (void)s, __VA_ARGS__; }

// Each row of str_operations.tsv: an operation, by its name here, on a string
// made with marked(initial) and given the row's storage, under the fault the
// row injects: result, state(), "+" the allocations made, each text said(),
// the message. Storage that cannot be obtained while building a new text
// warns (1/2071) and leaves that text null; while changing a string it fails
// (2/2071) and the string keeps what it had.
TEST(KxlStrTest, ResultStateAndTextsOfEachOperation) {
  const std::map<std::string, std::function<long(KxlStr &, Scene &)>> operations = {
      {"char", OP(s = KxlStr(in.a()[0]), 0)},
      {"bytes", OP(s = KxlStr(in.a().data(), in.a().size()), 0)},
      {"text", OP(s = KxlStr(in.a().c_str()), 0)},
      {"set null", OP(s.set(nullptr, 0))},
      {"set own", OP(s.set(chars(s) + in.n(1), in.n(2)))},
      {"storage", OP(s.setStorage(in.n(1)))},
      {"join empty", OP(s = s + KxlStr(""), 0)},
      {"join text", OP(s = s + in.a().c_str(), 0)},
      {"append char and text", OP(s += 'c', s += "d", 0)},
      {"join numbers", OP(s = s + 42L + 1.5, 0)},
      {"join wide numbers", OP(s = s + kWide5 + kWideMinus1, 0)},
      {"append numbers", OP(s += 12, s += 0.25, 0)},
      {"paste number", OP(s.pasteIn(std::stod(in.a()), in.b().c_str()))},
      {"paste bytes", OP(s.pasteIn(in.a().data(), in.a().size()))},
      {"paste own", OP(s.pasteIn(chars(s) + in.n(1), in.n(2)))},
      {"set, paste own 2 from 2", OP(s.set("abc\0\0", 6), s.pasteIn(chars(s) + 2, 2))},
      {"substring", OP(s = s(in.n(1), in.n(2)), 0)},
      {"upper case", OP(s = s.upperCase(), 0)},
      {"strip leading", OP(s.stripLeading(in.a()[0]))},
      {"strip trailing", OP(s.stripTrailing(in.a()[0]))},
      {"clear, set null 3", OP(s.clearErrorCodes(), s.set(nullptr, 3))},
      {"set other", OP(s.set(in.text, in.n(1)))},
      {"clear, paste null", OP(s.clearErrorCodes(), s.pasteIn(nullptr, 2))},
      {"paste huge", OP(s.pasteIn(reinterpret_cast<char *>(1), SIZE_MAX - 2))},
      {"token by nul", OP(s.copyOut(in.text, '\0'))},
      {"paste", OP(s.pasteIn(in.message))},
      {"copy into small", OP(in.small.useEmptyBuffer(in.buffer, 3), s.copyOut(in.small))},
      {"append other", OP(s += in.text, 0)},
      {"paste 42", OP(s.pasteIn(42L))},
      {"assign other", OP(s = in.text, 0)},
      {"read", OP(in.message.setDataOffset(in.n(1)) && in.message.readItem(s))},
      {"write", OP(s.copyOut(in.message))},
  };
  std::set<std::string> used;
  for (const kxltest::Row &row : kxltest::table("str_operations")) {
    SCOPED_TRACE(row.file + ": " + row[0]);
    ASSERT_EQ(operations.count(row[0]), 1u);
    used.insert(row[0]);
    KxlStr s = marked(row[4].c_str());
    if (row[5] != "-") {
      ASSERT_TRUE(s.setStorage(row.number(5)));
    }
    Scene in(row);
    kxltest::TraceCapture trace;
    auto fault = std::make_unique<Fault>(
        row[6],
        Refused{{"other unreadable", {chars(in.text) + 1, 1}}, {"own unwritable", {chars(s), 1}}});
    kxltest::AllocationCounter counter;
    std::string seen = std::to_string(operations.at(row[0])(s, in));
    seen += " " + state(s) + " +" + std::to_string(counter.count());
    EXPECT_TRUE(fault->struck());
    fault.reset();
    for (const auto &text : kxltest::textsOf(trace)) seen += " " + said(text.first, text.second);
    EXPECT_EQ(seen + in.shown(), row[7]);
  }
  EXPECT_EQ(used.size(), operations.size());
}

// Codes and bytes of a byte string, as "2/2004 'ab'", "null" for no storage.
std::string state(const KxlBin &v) {
  const std::string codes =
      std::to_string(v.completionCode()) + "/" + std::to_string(v.reasonCode()) + " ";
  if (v.dataPointer() == nullptr) return codes + "null/" + std::to_string(v.dataLength());
  return codes + "'" + kxltest::bytesOf(v) + "'";
}

// Each row of str_binary.tsv: an operation on a byte string made of
// `initial`, under the fault the row injects, shown as: result, state(), "+"
// the allocations made, "same" where the storage stayed where it was, the
// field where it changed, every text and exit record in order, the message.
TEST(KxlBinTest, ResultStateAndTraceOfEachOperation) {
  const std::map<std::string, std::function<long(KxlBin &, Scene &)>> operations = {
      {"set field", OP(s.set(in.field.data(), 8))},
      {"copy into field",
       OP(s.copyOut(&in.field[0], in.n(1), in.b()[0]) && s.copyOut(nullptr, 0, ' '))},
      {"copy into no buffer", OP(s.copyOut(nullptr, 8, ' '))},
      {"read", OP(s.pasteIn(in.message))},
      {"read at", OP(in.message.setDataOffset(in.n(1)) && in.message.readItem(s))},
      {"write", OP(in.message.writeItem(s))},
      {"length", OP(s.setDataLength(in.n(1)))},
      {"set 3 of other", OP(s.set(in.bytes.dataPointer(), 3))},
      {"assign other", OP(s = in.bytes, false)},
      // The source may lie in the storage being replaced.
      {"set own", OP(s.set(s.dataPointer() + 2, 3) && s.set(s.dataPointer(), 3))},
  };
  std::set<std::string> used;
  for (const kxltest::Row &row : kxltest::table("str_binary")) {
    SCOPED_TRACE(row.file + ": " + row[0]);
    ASSERT_EQ(operations.count(row[0]), 1u);
    used.insert(row[0]);
    Scene in(row);
    KxlBin value = kxltest::binOf(row[4]);
    const unsigned char *storage = value.dataPointer();
    kxltest::TraceCapture trace;
    auto fault =
        std::make_unique<Fault>(row[5], Refused{{"field refused", {&in.field[7], 1}},
                                                {"own refused", {storage, value.dataLength()}}});
    kxltest::AllocationCounter counter;
    std::string seen = std::to_string(operations.at(row[0])(value, in));
    seen += " " + state(value) + " +" + std::to_string(counter.count()) +
            (value.dataPointer() == storage ? " same" : "");
    EXPECT_TRUE(fault->struck());
    fault.reset();
    if (in.field != std::string(30, '#')) seen += " field '" + in.field + "'";
    for (const kxltest::TraceRecord &r : trace.records()) {
      const std::string function = " " + std::to_string(r.function);
      if (r.kind == XCS_TEXT) seen += function + ":" + r.text;
      if (r.kind == XCS_EXIT) seen += function + "=" + std::to_string(r.value);
    }
    EXPECT_EQ(seen + in.shown(), row[6]);
  }
  EXPECT_EQ(used.size(), operations.size());
}

#undef OP

// The bytes of a string's whole storage (a byte string's are all it shows).
std::string whole(const KxlStr &s) {
  return state(s) + " '" + std::string(chars(s), s.storage()) + "'";
}
std::string whole(const KxlBin &v) { return state(v); }

// Copies, constructed and assigned over `assigned`, take the source's codes
// and bytes, keep them when the source is gone, and survive self-assignment.
template <class T>
std::string copies(std::unique_ptr<T> source, T assigned) {
  T constructed(*source);
  assigned = *source;
  source.reset();
  const T &same = assigned;
  assigned = same;
  return whole(constructed) + " " + whole(assigned);
}

TEST(KxlStrTest, CopiesOwnTheirStorageAndTakeTheCodes) {
  auto text = std::make_unique<KxlStr>(marked(""));
  ASSERT_TRUE(text->set("ab\0xyz", 6));
  EXPECT_EQ(copies(std::move(text), KxlStr("something longer")),
            std::string("'ab'/6 2/6108 'ab\0xyz' 'ab'/6 2/6108 'ab\0xyz'", 45));
  auto bytes = std::make_unique<KxlBin>("0123456789ab", 12);
  ASSERT_FALSE(bytes->set(nullptr, 1));  // codes 2/2004 travel with the copies
  EXPECT_EQ(copies(std::move(bytes), kxltest::binOf("same length!")),
            "2/2004 '0123456789ab' 2/2004 '0123456789ab'");
  KxlBin emptied = kxltest::binOf("ab");
  emptied = KxlBin();
  EXPECT_EQ(emptied.dataPointer(), nullptr);
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

TEST(KxlBinTest, ConstructionEqualityAndIsNull) {
  EXPECT_EQ(state(KxlBin(nullptr, 0)), "0/0 null/0");
  // A new byte string that cannot take its bytes is left empty with the codes.
  EXPECT_EQ(state(KxlBin(nullptr, 4)), "2/2004 null/0");
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_EQ(state(KxlBin("abc", 3)), "2/2071 null/0");
  }
  using kxltest::binOf;
  const std::string values[] = {"", {"\0", 1}, {"\0\0\0", 3}, "abc", {"abc\0", 4}, "abd"};
  for (const std::string &left : values) {
    for (const std::string &right : values) EXPECT_EQ(binOf(left) == binOf(right), left == right);
    EXPECT_EQ(binOf(left).isNull(), left == std::string(left.size(), '\0')) << left;
  }
  KxlBin failed = binOf("ab");
  ASSERT_FALSE(failed.set(nullptr, 1));
  EXPECT_TRUE(failed == binOf("ab"));  // codes are not compared
}

}  // namespace
