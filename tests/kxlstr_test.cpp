// KxlStr storage, construction, assignment, joins and appends, substrings,
// comparison, search, upper-casing and stripping, with every storage
// failure injected for real.

#include "kxlstr.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kxltest.hpp"

namespace {

using Texts = std::vector<std::string>;

// The text of `s` as a std::string ("" for a null string).
std::string text(const KxlStr &s) {
  const char *chars = s;
  return chars != nullptr ? std::string(chars) : std::string();
}

bool isNull(const KxlStr &s) { return static_cast<const char *>(s) == nullptr && s.storage() == 0; }

::testing::AssertionResult hasCodes(const KxlErr &object, long completion, long reason) {
  if (object.completionCode() == completion && object.reasonCode() == reason)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "codes " << object.completionCode() << "/" << object.reasonCode() << ", expected "
         << completion << "/" << reason;
}

// A string carrying 2/6108 from a failed set, to see whether an operation
// keeps, replaces or clears earlier codes.
KxlStr withNullPointerCodes(const char *initial) {
  KxlStr s(initial);
  s.set(nullptr, 3);
  return s;
}

constexpr char kSetStorageText[] = "KxlString::setStorage (error): storage not available";
constexpr char kConstructorText[] = "KxlString::KxlString (warning): storage not available";

// --- construction -----------------------------------------------------------

TEST(KxlStrTest, ConstructionFromTextAndCharacters) {
  struct Case {
    KxlStr value;
    const char *text;
    std::size_t storage;
  };
  const Case cases[] = {
      {KxlStr(), "", 0},
      {KxlStr(""), "", 0},
      {KxlStr(static_cast<const char *>(nullptr)), "", 0},
      {KxlStr("ab"), "ab", 3},
      {KxlStr('q'), "q", 2},
      {KxlStr('\0'), "", 2},
      {KxlStr("abc", 3), "abc", 4},
      {KxlStr("a\0b", 3), "a.b", 4},
      {KxlStr(nullptr, 0), "", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("text ") + c.text);
    EXPECT_EQ(text(c.value), c.text);
    EXPECT_EQ(c.value.length(), std::strlen(c.text));
    EXPECT_EQ(c.value.storage(), c.storage);
    EXPECT_EQ(static_cast<const char *>(c.value) == nullptr, c.storage == 0);
    EXPECT_TRUE(hasCodes(c.value, 0, 0));
  }
}

TEST(KxlStrTest, ConstructionFromNullBytesWithLengthFails) {
  kxltest::TraceCapture trace;
  KxlStr s(nullptr, 3);
  EXPECT_TRUE(isNull(s));
  EXPECT_TRUE(hasCodes(s, 2, 6108));
  EXPECT_EQ(trace.texts(), Texts{"KxlString::pasteIn (error): null pointer"});
  EXPECT_TRUE(trace.sawText(45, "KxlString::pasteIn (error): null pointer"));
}

TEST(KxlStrTest, ConstructionWithoutStorageWarnsAndStaysNull) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1, true);
  KxlStr fromText("abc");
  KxlStr fromChar('x');
  EXPECT_TRUE(isNull(fromText));
  EXPECT_TRUE(hasCodes(fromText, 1, 2071));
  EXPECT_TRUE(isNull(fromChar));
  EXPECT_TRUE(hasCodes(fromChar, 1, 2071));
  EXPECT_EQ(trace.texts(73), (Texts{kConstructorText, kConstructorText}));
  EXPECT_EQ(trace.texts().size(), 2u);
}

TEST(KxlStrTest, ConstructionFromBytesWithoutStorageFails) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1);
  KxlStr s("abc", 3);
  EXPECT_TRUE(isNull(s));
  EXPECT_TRUE(hasCodes(s, 2, 2071));
  EXPECT_EQ(trace.texts(47), Texts{kSetStorageText});
}

// --- copies and assignment --------------------------------------------------

TEST(KxlStrTest, CopyDuplicatesWholeStorageAndCodes) {
  KxlStr source = withNullPointerCodes("");
  ASSERT_TRUE(source.set("ab\0xyz", 6));
  KxlStr copy(source);
  ASSERT_EQ(copy.storage(), 6u);
  EXPECT_NE(static_cast<const char *>(copy), static_cast<const char *>(source));
  EXPECT_EQ(std::memcmp(static_cast<const char *>(copy), "ab\0xyz", 6), 0);
  EXPECT_TRUE(hasCodes(copy, 2, 6108));
  // The copy owns its bytes.
  copy.stripTrailing('b');
  EXPECT_EQ(text(copy), "a");
  EXPECT_EQ(text(source), "ab");
}

TEST(KxlStrTest, AssignmentCopiesStorageAndCodes) {
  KxlStr target("something longer");
  KxlStr source = withNullPointerCodes("xy");
  target = source;
  EXPECT_EQ(text(target), "xy");
  EXPECT_EQ(target.storage(), 3u);
  EXPECT_TRUE(hasCodes(target, 2, 6108));

  const KxlStr &itself = target;
  target = itself;
  EXPECT_EQ(text(target), "xy");
  EXPECT_TRUE(hasCodes(target, 2, 6108));

  target = KxlStr();
  EXPECT_TRUE(isNull(target));
  EXPECT_TRUE(hasCodes(target, 0, 0));
}

TEST(KxlStrTest, AssignmentWithoutStorageKeepsTheText) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlStr target("old");
  const char *before = target;
  KxlStr source("a longer text");
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    target = source;
  }
  EXPECT_EQ(static_cast<const char *>(target), before);
  EXPECT_EQ(text(target), "old");
  EXPECT_EQ(target.storage(), 4u);
  EXPECT_TRUE(hasCodes(target, 2, 2071));
  EXPECT_EQ(trace.texts(47), Texts{kSetStorageText});

  kxltest::AllocationFailure failure(1);
  KxlStr copy(source);
  EXPECT_TRUE(isNull(copy));
  EXPECT_TRUE(hasCodes(copy, 2, 2071));
}

// --- setStorage and set -----------------------------------------------------

TEST(KxlStrTest, SetStorageGrowsShrinksAndReleases) {
  KxlStr s("abcdef");
  ASSERT_TRUE(s.setStorage(10));
  EXPECT_EQ(s.storage(), 10u);
  EXPECT_EQ(text(s), "abcdef");
  EXPECT_EQ(static_cast<const char *>(s)[9], '\0');

  ASSERT_TRUE(s.setStorage(4));
  EXPECT_EQ(s.storage(), 4u);
  EXPECT_EQ(text(s), "abc");

  ASSERT_TRUE(s.setStorage(1));
  EXPECT_EQ(s.length(), 0u);
  EXPECT_NE(static_cast<const char *>(s), nullptr);

  ASSERT_TRUE(s.setStorage(0));
  EXPECT_TRUE(isNull(s));

  ASSERT_TRUE(s.setStorage(3));
  EXPECT_EQ(s.storage(), 3u);
  EXPECT_EQ(s.length(), 0u);
  EXPECT_TRUE(hasCodes(s, 0, 0));
}

TEST(KxlStrTest, SetStorageOfTheSameSizeChangesNothing) {
  KxlStr s("abc");
  const char *before = s;
  kxltest::AllocationCounter counter;
  EXPECT_TRUE(s.setStorage(4));
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(static_cast<const char *>(s), before);
}

TEST(KxlStrTest, SetStorageWithoutStorageFailsAndKeepsTheString) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlStr s("abc");
  const char *before = s;
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1);
  EXPECT_FALSE(s.setStorage(100));
  EXPECT_EQ(static_cast<const char *>(s), before);
  EXPECT_EQ(text(s), "abc");
  EXPECT_EQ(s.storage(), 4u);
  EXPECT_TRUE(hasCodes(s, 2, 2071));
  EXPECT_EQ(trace.texts(), Texts{kSetStorageText});
  EXPECT_TRUE(trace.sawText(47, kSetStorageText));
}

TEST(KxlStrTest, SetTakesBytesUpToTheFirstNull) {
  struct Case {
    const char *data;
    std::size_t length;
    const char *text;
    std::size_t storage;
  };
  const Case cases[] = {
      {"ab\0x", 4, "ab", 4},   {"abcd", 4, "abcd", 5}, {"\0bc", 3, "", 3},
      {"abcdef", 3, "abc", 4}, {nullptr, 0, "", 0},    {"abc", 0, "", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    KxlStr s("previous contents");
    EXPECT_TRUE(s.set(c.data, c.length));
    EXPECT_EQ(text(s), c.text);
    EXPECT_EQ(s.storage(), c.storage);
    EXPECT_TRUE(hasCodes(s, 0, 0));
  }
}

TEST(KxlStrTest, SetFailuresLeaveTheString) {
  kxltest::TraceCapture trace;
  KxlStr s("keep");
  EXPECT_FALSE(s.set(nullptr, 3));
  EXPECT_TRUE(hasCodes(s, 2, 6108));
  EXPECT_EQ(trace.texts(), Texts{"KxlString::set (error): null pointer"});
  EXPECT_TRUE(trace.sawText(75, "KxlString::set (error): null pointer"));

  const char bytes[] = "refused";
  {
    kxltest::PointerRefusal refuse(bytes + 4, 1, kxltest::PointerRefusal::kRead);
    s.clearErrorCodes();
    trace.clear();
    EXPECT_FALSE(s.set(bytes, 5));
    EXPECT_TRUE(hasCodes(s, 2, 2004));
    EXPECT_TRUE(trace.sawText(62, "KxlError::checkReadPointer (error): buffer error"));
  }
  EXPECT_EQ(text(s), "keep");
  EXPECT_EQ(s.storage(), 5u);

  // Success leaves the earlier codes in place.
  EXPECT_TRUE(s.set("new", 3));
  EXPECT_TRUE(hasCodes(s, 2, 2004));
}

TEST(KxlStrTest, SetWithoutStorageFailsAndKeepsTheString) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlStr s("keep");
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1);
  EXPECT_FALSE(s.set("longer text", 11));
  EXPECT_EQ(text(s), "keep");
  EXPECT_EQ(s.storage(), 5u);
  EXPECT_TRUE(hasCodes(s, 2, 2071));
  EXPECT_EQ(trace.texts(47), Texts{kSetStorageText});
}

TEST(KxlStrTest, SetFromItsOwnBuffer) {
  KxlStr s("hello world");
  EXPECT_TRUE(s.set(static_cast<const char *>(s) + 6, 5));
  EXPECT_EQ(text(s), "world");
  EXPECT_EQ(s.storage(), 6u);
  // The same storage size: copied in place, nothing allocated.
  KxlStr t("abcd");
  const char *before = t;
  kxltest::AllocationCounter counter;
  EXPECT_TRUE(t.set(before, t.storage()));
  EXPECT_EQ(counter.count(), 0);
  EXPECT_EQ(static_cast<const char *>(t), before);
  EXPECT_EQ(text(t), "abcd");
}

// --- joins and appends ------------------------------------------------------

TEST(KxlStrTest, JoinsAllocateExactlyTheText) {
  const KxlStr abc("abc");
  const KxlStr empty;
  KxlStr joined = abc + empty;
  EXPECT_EQ(text(joined), "abc");
  EXPECT_EQ(joined.storage(), 4u);
  EXPECT_TRUE(isNull(empty + KxlStr("")));
  EXPECT_EQ(text(abc + KxlStr("de")), "abcde");
  EXPECT_EQ((abc + KxlStr("de")).storage(), 6u);
  EXPECT_EQ(text(abc + 'd'), "abcd");
  EXPECT_EQ((abc + '\0').storage(), 4u);
  EXPECT_EQ(text(abc + "xy"), "abcxy");
  EXPECT_EQ((abc + static_cast<const char *>(nullptr)).storage(), 4u);
  EXPECT_EQ(text(abc), "abc");

  KxlStr wide("ab");
  ASSERT_TRUE(wide.setStorage(10));
  wide += 'c';
  EXPECT_EQ(text(wide), "abc");
  EXPECT_EQ(wide.storage(), 4u);
  wide += "de";
  wide += KxlStr("f");
  EXPECT_EQ(text(wide), "abcdef");
  EXPECT_EQ(wide.storage(), 7u);
  wide += wide;
  EXPECT_EQ(text(wide), "abcdefabcdef");
}

TEST(KxlStrTest, AppendTakesTheCodesOfTheJoin) {
  KxlStr s = withNullPointerCodes("ab");
  s += "c";
  EXPECT_EQ(text(s), "abc");
  EXPECT_TRUE(hasCodes(s, 0, 0));
  KxlStr empty = withNullPointerCodes("");
  empty += "";
  EXPECT_TRUE(isNull(empty));
  EXPECT_TRUE(hasCodes(empty, 0, 0));
}

TEST(KxlStrTest, JoinWithoutStorageWarnsWithANullResult) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  const KxlStr a("abc");
  const KxlStr b("de");
  kxltest::TraceCapture trace;
  {
    kxltest::AllocationFailure failure(1);
    KxlStr joined = a + b;
    EXPECT_TRUE(isNull(joined));
    EXPECT_TRUE(hasCodes(joined, 1, 2071));
  }
  EXPECT_EQ(trace.texts(), Texts{"KxlString::concatenate (warning): storage not available"});
  EXPECT_TRUE(trace.sawText(74, "KxlString::concatenate (warning): storage not available"));

  // An append whose join lacks storage loses the text, with the warning.
  KxlStr s("abc");
  kxltest::AllocationFailure failure(1);
  s += b;
  EXPECT_TRUE(isNull(s));
  EXPECT_TRUE(hasCodes(s, 1, 2071));
}

TEST(KxlStrTest, NumberAppends) {
  KxlStr x("x");
  EXPECT_EQ(text(x + 42L), "x42");
  EXPECT_EQ((x + 42L).storage(), 4u);
  EXPECT_EQ(text(x + 1.5), "x1.500000");
  EXPECT_EQ(text(x + -7), "x-7");
  EXPECT_EQ(text(x + (-2147483647L - 1L)), "x-2147483648");
  // A long is a signed 32-bit value: only its low 32 bits count.
  EXPECT_EQ(text(x + 0x100000005L), "x5");
  EXPECT_EQ(text(x + 0xFFFFFFFFL), "x-1");

  KxlStr s("n=");
  s += 12;
  s += 0.25;
  EXPECT_EQ(text(s), "n=120.250000");
  EXPECT_TRUE(s.pasteIn(7L));
  EXPECT_TRUE(s.pasteIn(2.5, "%.1f"));
  EXPECT_EQ(text(s), "n=120.25000072.5");
  EXPECT_EQ(s.storage(), s.length() + 1);
}

TEST(KxlStrTest, NumberThatDoesNotFormatAppendsStars) {
  struct Case {
    double value;
    const char *format;
    bool result;
    const char *text;
  };
  const Case cases[] = {
      {3.0, "", false, "x***"},
      {3.0, nullptr, false, "x***"},
      // 23 characters fit the work area, 24 do not.
      {1e15, "%f", true, "x1000000000000000.000000"},
      {1e16, "%f", false, "x***"},
      {-1e15, "%f", false, "x***"},
      {-1e14, "%f", true, "x-100000000000000.000000"},
      {1.0, "%30f", false, "x***"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    KxlStr s("x");
    EXPECT_EQ(s.pasteIn(c.value, c.format), c.result);
    EXPECT_EQ(text(s), c.text);
    EXPECT_EQ(s.storage(), s.length() + 1);
    EXPECT_TRUE(hasCodes(s, 0, 0));
  }
}

TEST(KxlStrTest, NumberTemporaryWithoutStorageIsNotAppended) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  kxltest::TraceCapture trace;
  KxlStr s("x");
  ASSERT_TRUE(s.setStorage(10));
  {
    kxltest::AllocationFailure failure(1);
    EXPECT_TRUE(s.pasteIn(42L));
  }
  EXPECT_EQ(text(s), "x");
  EXPECT_EQ(s.storage(), 2u);
  EXPECT_TRUE(hasCodes(s, 0, 0));
  EXPECT_EQ(trace.texts(), Texts{kConstructorText});
  EXPECT_TRUE(trace.sawText(73, kConstructorText));

  trace.clear();
  kxltest::AllocationFailure failure(1);
  EXPECT_FALSE(s.pasteIn(1.0, ""));
  EXPECT_EQ(text(s), "x");
  EXPECT_TRUE(hasCodes(s, 0, 0));
  EXPECT_EQ(trace.texts(73), Texts{kConstructorText});
}

TEST(KxlStrTest, ByteAppendReplacesNullBytes) {
  KxlStr s("xy");
  EXPECT_TRUE(s.pasteIn("a\0b", 3));
  EXPECT_EQ(text(s), "xya.b");
  EXPECT_EQ(s.storage(), 6u);
  EXPECT_TRUE(s.pasteIn(nullptr, 0));
  EXPECT_EQ(s.storage(), 6u);

  KxlStr wide("ab");
  ASSERT_TRUE(wide.setStorage(6));
  EXPECT_TRUE(wide.pasteIn("cde", 3));
  EXPECT_EQ(text(wide), "abcde");
  EXPECT_EQ(wide.storage(), 6u);

  // Appending part of its own buffer, null byte included.
  KxlStr self("abc");
  EXPECT_TRUE(self.pasteIn(static_cast<const char *>(self), 4));
  EXPECT_EQ(text(self), "abcabc.");
  EXPECT_EQ(self.storage(), 8u);
  KxlStr inPlace("ab");
  ASSERT_TRUE(inPlace.setStorage(5));
  EXPECT_TRUE(inPlace.pasteIn(static_cast<const char *>(inPlace), 2));
  EXPECT_EQ(text(inPlace), "abab");
  // Bytes read from where the append writes: "c" and the old null byte.
  KxlStr overlap;
  ASSERT_TRUE(overlap.set("abc\0\0\0", 6));
  EXPECT_TRUE(overlap.pasteIn(static_cast<const char *>(overlap) + 2, 2));
  EXPECT_EQ(text(overlap), "abcc.");
  EXPECT_EQ(overlap.storage(), 6u);
}

TEST(KxlStrTest, ByteAppendFailuresLeaveTheString) {
  kxltest::TraceCapture trace;
  KxlStr s("ab");
  EXPECT_FALSE(s.pasteIn(nullptr, 2));
  EXPECT_TRUE(hasCodes(s, 2, 6108));
  EXPECT_TRUE(trace.sawText(45, "KxlString::pasteIn (error): null pointer"));

  const char bytes[] = "cd";
  {
    kxltest::PointerRefusal refuse(bytes, 2, kxltest::PointerRefusal::kRead);
    EXPECT_FALSE(s.pasteIn(bytes, 2));
    EXPECT_TRUE(hasCodes(s, 2, 2004));
  }

  // A size that cannot be represented; the bytes are never touched.
  trace.clear();
  EXPECT_FALSE(s.pasteIn(reinterpret_cast<const void *>(std::uintptr_t{1}), SIZE_MAX - 2));
  EXPECT_TRUE(hasCodes(s, 2, 2071));
  EXPECT_EQ(trace.texts(), Texts{"KxlString::pasteIn (error): storage not available"});
  EXPECT_TRUE(trace.sawText(45, "KxlString::pasteIn (error): storage not available"));
  EXPECT_EQ(text(s), "ab");
  EXPECT_EQ(s.storage(), 3u);
}

TEST(KxlStrTest, ByteAppendWithoutStorageFailsAndKeepsTheString) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlStr s("ab");
  const char *before = s;
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1);
  EXPECT_FALSE(s.pasteIn("cd", 2));
  EXPECT_EQ(static_cast<const char *>(s), before);
  EXPECT_EQ(text(s), "ab");
  EXPECT_TRUE(hasCodes(s, 2, 2071));
  EXPECT_EQ(trace.texts(47), Texts{kSetStorageText});
}

// --- substrings, comparison, search -----------------------------------------

TEST(KxlStrTest, Substrings) {
  struct Case {
    std::size_t offset;
    std::size_t length;
    const char *text;  // null: a null string
  };
  const Case cases[] = {
      {1, 3, "bcd"},   {1, 0, "bcde"},         {0, 5, "abcde"},
      {4, 1, "e"},     {5, 0, nullptr},        {4, 2, nullptr},
      {6, 0, nullptr}, {SIZE_MAX, 2, nullptr}, {2, SIZE_MAX, nullptr},
  };
  const KxlStr source = withNullPointerCodes("abcde");
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.offset << "," << c.length);
    const KxlStr part = source(c.offset, c.length);
    if (c.text == nullptr) {
      EXPECT_TRUE(isNull(part));
    } else {
      EXPECT_EQ(text(part), c.text);
      EXPECT_EQ(part.storage(), std::strlen(c.text) + 1);
    }
    EXPECT_TRUE(hasCodes(part, 0, 0));
  }
  EXPECT_TRUE(isNull(KxlStr()(0, 0)));
}

TEST(KxlStrTest, SubstringWithoutStorageCarriesTheFailure) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  const KxlStr source("abcde");
  kxltest::TraceCapture trace;
  kxltest::AllocationFailure failure(1);
  const KxlStr part = source(1, 2);
  EXPECT_TRUE(isNull(part));
  EXPECT_TRUE(hasCodes(part, 2, 2071));
  EXPECT_EQ(trace.texts(47), Texts{kSetStorageText});
}

TEST(KxlStrTest, CompareAsUnsignedBytes) {
  struct Case {
    KxlStr a;
    KxlStr b;
    short result;
  };
  KxlStr storedPastNull;
  storedPastNull.set("ab\0z", 4);
  const Case cases[] = {
      {KxlStr(), KxlStr(""), 0},         {KxlStr(), KxlStr('\0'), 0},
      {KxlStr(""), KxlStr("a"), -1},     {KxlStr("a"), KxlStr(), 1},
      {KxlStr("ab"), KxlStr("abc"), -1}, {KxlStr("abc"), KxlStr("ab"), 1},
      {KxlStr("\xE9"), KxlStr("z"), 1},  {KxlStr("abc"), KxlStr("abd"), -1},
      {KxlStr("abc"), KxlStr("abc"), 0}, {storedPastNull, KxlStr("ab"), 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(text(c.a) + " vs " + text(c.b));
    EXPECT_EQ(c.a.compare(c.b), c.result);
    EXPECT_EQ(c.a.compare(static_cast<const char *>(c.b)), c.result);
  }
}

TEST(KxlStrTest, ComparisonOperatorsFollowCompare) {
  const KxlStr ab("ab");
  const KxlStr abc("abc");
  EXPECT_TRUE(ab < abc);
  EXPECT_TRUE(ab <= abc);
  EXPECT_TRUE(abc > ab);
  EXPECT_TRUE(abc >= ab);
  EXPECT_TRUE(ab != abc);
  EXPECT_FALSE(ab == abc);
  EXPECT_TRUE(ab == KxlStr("ab"));
  // Texts, not pointers, are compared.
  const char other[] = "ab";
  EXPECT_TRUE(ab == other);
  EXPECT_TRUE(other == ab);
  EXPECT_TRUE(ab < "b");
  EXPECT_TRUE("b" > ab);
  EXPECT_TRUE("aa" < ab);
  EXPECT_TRUE("aa" <= ab);
  EXPECT_FALSE("aa" >= ab);
  EXPECT_TRUE(ab >= "aa");
  EXPECT_TRUE(KxlStr() == static_cast<const char *>(nullptr));
  EXPECT_TRUE(KxlStr() == "");
  EXPECT_TRUE("\xE9" > KxlStr("z"));
}

TEST(KxlStrTest, FindMovesTheOffset) {
  const KxlStr s("abcde");
  struct Case {
    const char *sought;
    std::size_t from;
    bool found;
    std::size_t offset;
  };
  const Case cases[] = {
      {"de", 0, true, 3}, {"xy", 0, false, 4}, {"de", 4, false, 4},     {"", 7, true, 7},
      {"ab", 0, true, 0}, {"ab", 1, false, 4}, {"abcdef", 0, false, 0}, {"e", 2, true, 4},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.sought);
    std::size_t offset = c.from;
    EXPECT_EQ(s.find(KxlStr(c.sought), offset), c.found);
    EXPECT_EQ(offset, c.offset);
  }
  EXPECT_TRUE(s.find(KxlStr("cd")));
  EXPECT_FALSE(s.find(KxlStr("ce")));
  EXPECT_TRUE(KxlStr().find(KxlStr()));
  EXPECT_FALSE(KxlStr().find(KxlStr("a")));
  std::size_t huge = SIZE_MAX;
  EXPECT_FALSE(s.find(KxlStr("a"), huge));
  EXPECT_EQ(huge, SIZE_MAX);
}

// --- upper-casing and stripping ---------------------------------------------

TEST(KxlStrTest, UpperCaseCopiesStorageAndCodes) {
  KxlStr s = withNullPointerCodes("abc1z");
  ASSERT_TRUE(s.setStorage(10));
  const KxlStr upper = s.upperCase();
  EXPECT_EQ(text(upper), "ABC1Z");
  EXPECT_EQ(upper.storage(), 10u);
  EXPECT_TRUE(hasCodes(upper, 2, 6108));
  EXPECT_EQ(text(s), "abc1z");
  EXPECT_TRUE(isNull(KxlStr().upperCase()));
}

TEST(KxlStrTest, StripTrailingKeepsStorage) {
  KxlStr s("ab  ");
  EXPECT_EQ(s.stripTrailing(' '), 2u);
  EXPECT_EQ(text(s), "ab");
  EXPECT_EQ(s.storage(), 5u);
  KxlStr blanks("   ");
  EXPECT_EQ(blanks.stripTrailing(' '), 3u);
  EXPECT_EQ(blanks.length(), 0u);
  EXPECT_EQ(blanks.storage(), 4u);
  EXPECT_EQ(blanks.stripTrailing(' '), 0u);
  EXPECT_EQ(KxlStr().stripTrailing(' '), 0u);
  KxlStr kept = withNullPointerCodes("x..");
  EXPECT_EQ(kept.stripTrailing('.'), 2u);
  EXPECT_TRUE(hasCodes(kept, 2, 6108));
}

TEST(KxlStrTest, StripLeadingShrinksToTheRest) {
  KxlStr s = withNullPointerCodes("  ab");
  EXPECT_EQ(s.stripLeading(' '), 2u);
  EXPECT_EQ(text(s), "ab");
  EXPECT_EQ(s.storage(), 3u);
  EXPECT_TRUE(hasCodes(s, 0, 0));
  EXPECT_EQ(s.stripLeading(' '), 0u);
  EXPECT_EQ(s.storage(), 3u);
  KxlStr blanks("   ");
  EXPECT_EQ(blanks.stripLeading(' '), 3u);
  EXPECT_TRUE(isNull(blanks));
  EXPECT_EQ(KxlStr().stripLeading(' '), 0u);
}

TEST(KxlStrTest, StripsRefuseTheNullCharacter) {
  kxltest::TraceCapture trace;
  KxlStr s("ab");
  EXPECT_EQ(s.stripLeading('\0'), 0u);
  EXPECT_EQ(s.stripTrailing('\0'), 0u);
  EXPECT_EQ(text(s), "ab");
  EXPECT_EQ(s.storage(), 3u);
  EXPECT_TRUE(hasCodes(s, 0, 0));
  EXPECT_EQ(trace.texts(), (Texts{"KxlString::stripLeading (information): cannot strip nulls",
                                  "KxlString::stripTrailing (information): cannot strip nulls"}));
  EXPECT_TRUE(trace.sawText(48, "KxlString::stripLeading (information): cannot strip nulls"));
  EXPECT_TRUE(trace.sawText(49, "KxlString::stripTrailing (information): cannot strip nulls"));
}

TEST(KxlStrTest, StripLeadingWithoutStorageTakesTheFailure) {
  KXLTEST_REQUIRE_ALLOCATION_FAILURE();
  KxlStr s("  ab");
  kxltest::AllocationFailure failure(1);
  EXPECT_EQ(s.stripLeading(' '), 2u);
  EXPECT_TRUE(isNull(s));
  EXPECT_TRUE(hasCodes(s, 2, 2071));
}

}  // namespace
