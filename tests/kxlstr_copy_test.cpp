// KxlStr's copies into fixed-width fields (both static forms and the
// copy-out to a caller's buffer), the number and token readers and
// WhiteSpace.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kxlstr.hpp"
#include "kxltest.hpp"

namespace {

using Texts = std::vector<std::string>;

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

::testing::AssertionResult staticRecordIs(long completion, long reason) {
  if (KxlStr::staticCompletionCode() == completion && KxlStr::staticReasonCode() == reason)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "static record " << KxlStr::staticCompletionCode() << "/" << KxlStr::staticReasonCode()
         << ", expected " << completion << "/" << reason;
}

// A copy-out clears the string class's error record before its own copy,
// and a clean copy writes nothing into it.
void clearStaticRecord() { KxlStr().copyOut(nullptr, 0, ' '); }

KxlStr withNullPointerCodes(const char *initial) {
  KxlStr s(initial);
  s.set(nullptr, 3);
  return s;
}

constexpr char kTruncated[] = "static KxlString::copy (warning): string truncated";
constexpr char kNoDestination[] = "static KxlString::copy (error): no destination buffer";

// One static copy into an 8-byte field pre-set to '#', pad '_'.
struct FieldCase {
  const char *source;
  std::size_t length;
  bool nullTarget;
  bool result;
  const char *field;  // the 8 bytes afterwards
  long completion;
  long reason;
  const char *text;  // the one text sent with function 43, or null
};

void checkFieldCase(const FieldCase &c, bool withErrorObject) {
  SCOPED_TRACE(::testing::Message() << (c.source != nullptr ? c.source : "(null)") << " into "
                                    << c.length << (c.nullTarget ? " (null target)" : ""));
  char field[9] = "########";
  kxltest::TraceCapture trace;
  KxlErr error;
  bool result;
  if (withErrorObject) {
    result = KxlStr::copy(c.nullTarget ? nullptr : field, c.length, c.source, error, '_');
    EXPECT_TRUE(hasCodes(error, c.completion, c.reason));
  } else {
    clearStaticRecord();
    result = KxlStr::copy(c.nullTarget ? nullptr : field, c.length, c.source, '_');
    EXPECT_TRUE(staticRecordIs(c.completion, c.reason));
  }
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(std::string(field), c.field);
  if (c.text != nullptr) {
    EXPECT_EQ(trace.texts(), Texts{c.text});
    EXPECT_TRUE(trace.sawText(43, c.text));
  } else {
    EXPECT_TRUE(trace.texts().empty());
  }
}

TEST(KxlStrCopyTest, CopyWithErrorObject) {
  const FieldCase cases[] = {
      {"abc", 5, false, true, "abc__###", 0, 0, nullptr},
      {"abcdef", 5, false, true, "abcde###", 1, 6115, kTruncated},
      {nullptr, 5, false, true, "_____###", 0, 0, nullptr},
      {"abcde", 5, false, true, "abcde###", 0, 0, nullptr},
      {"", 3, false, true, "___#####", 0, 0, nullptr},
      {"abc", 0, false, true, "########", 0, 0, nullptr},
      {"abc", 5, true, false, "########", 2, 6108, kNoDestination},
      {nullptr, 5, true, false, "########", 2, 6108, kNoDestination},
      {"abc", 0, true, true, "########", 0, 0, nullptr},
  };
  for (const FieldCase &c : cases) checkFieldCase(c, true);
}

TEST(KxlStrCopyTest, CopyIntoTheStaticRecord) {
  const FieldCase cases[] = {
      {"abc", 5, false, true, "abc__###", 0, 0, nullptr},
      {"abcdef", 5, false, true, "abcde###", 1, 6115, kTruncated},
      {nullptr, 5, false, true, "_____###", 0, 0, nullptr},
      {"abcde", 5, false, true, "abcde###", 0, 0, nullptr},
      // Without the early return for length 0, any text is too long.
      {"abc", 0, false, true, "########", 1, 6115, kTruncated},
      {"abc", 0, true, true, "########", 1, 6115, kTruncated},
      {nullptr, 0, true, true, "########", 0, 0, nullptr},
      {"abc", 5, true, false, "########", 2, 6108, kNoDestination},
      {nullptr, 5, true, false, "########", 2, 6108, kNoDestination},
  };
  for (const FieldCase &c : cases) checkFieldCase(c, false);
}

TEST(KxlStrCopyTest, RefusedPointersWithErrorObject) {
  char field[6] = "#####";
  const char source[] = "abc";
  kxltest::TraceCapture trace;
  KxlErr error;
  {
    kxltest::PointerRefusal refuse(field + 4, 1, kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(KxlStr::copy(field, 5, source, error, ' '));
    EXPECT_TRUE(hasCodes(error, 2, 2146));
    EXPECT_EQ(trace.texts(), Texts{"KxlString::copy (error): target buffer error"});
    EXPECT_TRUE(trace.sawText(43, "KxlString::copy (error): target buffer error"));
    // Only the field's own bytes are asked for.
    error.clearErrorCodes();
    EXPECT_TRUE(KxlStr::copy(field, 4, source, error, ' '));
    EXPECT_TRUE(hasCodes(error, 0, 0));
  }
  EXPECT_EQ(std::string(field), "abc #");

  trace.clear();
  {
    kxltest::PointerRefusal refuse(source, 1, kxltest::PointerRefusal::kRead);
    // The source is checked even for a field of length 0.
    EXPECT_FALSE(KxlStr::copy(field, 0, source, error, ' '));
    EXPECT_TRUE(hasCodes(error, 2, 2145));
    EXPECT_EQ(trace.texts(), Texts{"KxlString::copy (error): source buffer error"});
    EXPECT_TRUE(trace.sawText(43, "KxlString::copy (error): source buffer error"));
    EXPECT_FALSE(KxlStr::copy(field, 5, source, error, ' '));
  }
  EXPECT_EQ(std::string(field), "abc #");
}

TEST(KxlStrCopyTest, RefusedPointersWithoutErrorObject) {
  char field[6] = "#####";
  const char source[] = "abc";
  kxltest::TraceCapture trace;
  clearStaticRecord();
  {
    kxltest::PointerRefusal refuse(field, 5, kxltest::PointerRefusal::kWrite);
    EXPECT_FALSE(KxlStr::copy(field, 5, source, ' '));
  }
  EXPECT_TRUE(staticRecordIs(2, 2004));
  EXPECT_EQ(trace.texts(), Texts{"KxlString::copy (error): buffer error"});
  EXPECT_TRUE(trace.sawText(43, "KxlString::copy (error): buffer error"));
  EXPECT_EQ(std::string(field), "#####");

  // This form never asks about the source.
  clearStaticRecord();
  kxltest::PointerRefusal refuse(source, 3, kxltest::PointerRefusal::kRead);
  EXPECT_TRUE(KxlStr::copy(field, 5, source, ' '));
  EXPECT_EQ(std::string(field), "abc  ");
  EXPECT_TRUE(staticRecordIs(0, 0));
}

TEST(KxlStrCopyTest, CleanCopiesLeaveEarlierCodes) {
  char field[4];
  KxlErr error;
  EXPECT_TRUE(KxlStr::copy(field, 3, "abcd", error, ' '));
  EXPECT_TRUE(KxlStr::copy(field, 3, "a", error, ' '));
  EXPECT_TRUE(hasCodes(error, 1, 6115));

  clearStaticRecord();
  EXPECT_TRUE(KxlStr::copy(field, 3, "abcd", ' '));
  EXPECT_TRUE(KxlStr::copy(field, 3, "a", ' '));
  EXPECT_TRUE(staticRecordIs(1, 6115));
  EXPECT_FALSE(KxlStr::copy(nullptr, 3, "a", ' '));
  EXPECT_TRUE(KxlStr::copy(field, 3, "ab", ' '));
  EXPECT_TRUE(staticRecordIs(2, 6108));
}

// --- copy-out to a caller's buffer ------------------------------------------

TEST(KxlStrCopyTest, CopyOutPadsAndTruncates) {
  char buffer[9] = "########";
  KxlStr abc("abc");
  EXPECT_TRUE(abc.copyOut(buffer, 8, ' '));
  EXPECT_EQ(std::string(buffer), "abc     ");
  EXPECT_TRUE(hasCodes(abc, 0, 0));

  std::memcpy(buffer, "########", 8);
  KxlStr six("abcdef");
  EXPECT_TRUE(six.copyOut(buffer, 4, ' '));
  EXPECT_EQ(std::string(buffer), "abcd####");
  EXPECT_TRUE(hasCodes(six, 1, 6115));

  // A field of length 0 takes no character: the text counts as cut.
  EXPECT_TRUE(abc.copyOut(nullptr, 0, ' '));
  EXPECT_TRUE(hasCodes(abc, 1, 6115));

  KxlStr null;
  EXPECT_TRUE(null.copyOut(buffer, 4, '*'));
  EXPECT_EQ(std::string(buffer), "****####");
}

TEST(KxlStrCopyTest, CleanCopyOutKeepsTheStringsCodes) {
  char buffer[8];
  // Left in the record by a setter's copy, not by this string's copy.
  ASSERT_TRUE(KxlStr::copy(buffer, 2, "abc", ' '));
  ASSERT_TRUE(staticRecordIs(1, 6115));
  KxlStr fresh("ab");
  EXPECT_TRUE(fresh.copyOut(buffer, 8, ' '));
  EXPECT_TRUE(hasCodes(fresh, 0, 0));

  KxlStr failed = withNullPointerCodes("ab");
  EXPECT_TRUE(failed.copyOut(buffer, 8, ' '));
  EXPECT_TRUE(hasCodes(failed, 2, 6108));
}

TEST(KxlStrCopyTest, CopyOutTakesTheCopysFailures) {
  kxltest::TraceCapture trace;
  KxlStr s("abc");
  EXPECT_FALSE(s.copyOut(nullptr, 4, ' '));
  EXPECT_TRUE(hasCodes(s, 2, 6108));
  EXPECT_EQ(trace.texts(), Texts{kNoDestination});
  EXPECT_TRUE(trace.sawText(43, kNoDestination));

  char buffer[5] = "####";
  trace.clear();
  kxltest::PointerRefusal refuse(buffer, 4, kxltest::PointerRefusal::kWrite);
  KxlStr t("abc");
  EXPECT_FALSE(t.copyOut(buffer, 4, ' '));
  EXPECT_TRUE(hasCodes(t, 2, 2004));
  EXPECT_EQ(trace.texts(43), Texts{"KxlString::copy (error): buffer error"});
  EXPECT_EQ(std::string(buffer), "####");
}

// --- numbers ----------------------------------------------------------------

TEST(KxlStrCopyTest, ReadsSignedDecimalNumbers) {
  struct Case {
    const char *text;  // null: a null string
    std::size_t spanned;
    long value;  // 99 when the value must stay unchanged
  };
  const Case cases[] = {
      {"  -42abc", 5, -42},
      {"\t+7 ", 3, 7},
      {"000012", 6, 12},
      {"+", 0, 99},
      {"-", 0, 99},
      {"- 5", 0, 99},
      {"abc", 0, 99},
      {"", 0, 99},
      {nullptr, 0, 99},
      {"\n12", 0, 99},
      {"\r12", 0, 99},
      {"2147483647", 10, 2147483647L},
      {"2147483648", 10, 2147483647L},
      {"-2147483648", 11, -2147483647L - 1},
      {"-2147483649", 11, -2147483647L - 1},
      {"99999999999999999999999x", 23, 2147483647L},
      // 2^64 + 1: a magnitude that wrapped would read as 1.
      {"18446744073709551617", 20, 2147483647L},
      {"-18446744073709551617", 21, -2147483647L - 1},
      {"-99999999999999999999999", 24, -2147483647L - 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text != nullptr ? c.text : "(null)");
    const KxlStr s(c.text);
    long value = 99;
    EXPECT_EQ(s.copyOut(value), c.spanned);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(text(s), c.text != nullptr ? c.text : "");
  }
}

TEST(KxlStrCopyTest, CutOutRemovesTheNumber) {
  KxlStr s = withNullPointerCodes("12 34");
  long value = 0;
  EXPECT_EQ(s.cutOut(value), 2u);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(text(s), " 34");
  EXPECT_EQ(s.storage(), 4u);
  EXPECT_TRUE(hasCodes(s, 0, 0));
  EXPECT_EQ(s.cutOut(value), 3u);
  EXPECT_EQ(value, 34);
  EXPECT_TRUE(isNull(s));

  KxlStr word("x1");
  value = 5;
  EXPECT_EQ(word.cutOut(value), 0u);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(text(word), "x1");
}

TEST(KxlStrCopyTest, WhiteSpaceIsTabAndBlankOnly) {
  for (int ch = -128; ch < 128; ++ch) {
    SCOPED_TRACE(ch);
    EXPECT_EQ(WhiteSpace(static_cast<char>(ch)), ch == 9 || ch == 32);
  }
}

// --- tokens -----------------------------------------------------------------

TEST(KxlStrCopyTest, CopyOutTokens) {
  const KxlStr s(",,ab,cd");
  KxlStr token = withNullPointerCodes("old");
  EXPECT_EQ(s.copyOut(token, ','), 4u);
  EXPECT_EQ(text(token), "ab");
  EXPECT_EQ(token.storage(), 3u);
  EXPECT_TRUE(hasCodes(token, 0, 0));
  EXPECT_EQ(text(s), ",,ab,cd");

  for (const char *none : {",,,", "", static_cast<const char *>(nullptr)}) {
    SCOPED_TRACE(none != nullptr ? none : "(null)");
    KxlStr source(none);
    KxlStr kept("keep");
    EXPECT_EQ(source.copyOut(kept, ','), 0u);
    EXPECT_EQ(source.cutOut(kept, ','), 0u);
    EXPECT_EQ(text(kept), "keep");
    EXPECT_EQ(text(source), none != nullptr ? none : "");
  }
}

TEST(KxlStrCopyTest, CutOutTokensWithADelimiter) {
  KxlStr s(",,ab,cd");
  KxlStr token;
  EXPECT_EQ(s.cutOut(token, ','), 5u);
  EXPECT_EQ(text(token), "ab");
  EXPECT_EQ(text(s), "cd");
  EXPECT_EQ(s.storage(), 3u);

  KxlStr run("ab,,,cd");
  EXPECT_EQ(run.cutOut(token, ','), 5u);
  EXPECT_EQ(text(run), "cd");
  EXPECT_EQ(run.cutOut(token, ','), 2u);
  EXPECT_EQ(text(token), "cd");
  EXPECT_TRUE(isNull(run));

  KxlStr trailing("ab,,,");
  EXPECT_EQ(trailing.cutOut(token, ','), 5u);
  EXPECT_EQ(text(token), "ab");
  EXPECT_TRUE(isNull(trailing));
}

TEST(KxlStrCopyTest, CutOutTokensWithBlanksLeavesTheFollowingBlanks) {
  KxlStr s("  ab  cd");
  KxlStr token;
  EXPECT_EQ(s.cutOut(token, ' '), 4u);
  EXPECT_EQ(text(token), "ab");
  EXPECT_EQ(text(s), "  cd");
  EXPECT_EQ(s.cutOut(token, ' '), 4u);
  EXPECT_EQ(text(token), "cd");
  EXPECT_TRUE(isNull(s));
  EXPECT_EQ(s.cutOut(token, ' '), 0u);
  EXPECT_EQ(text(token), "cd");
}

TEST(KxlStrCopyTest, NullDelimiterMakesOneTokenWithANotice) {
  constexpr char kNotice[] =
      "KxlString::copyOut/cutOut (information): null string delimiter is not advised";
  kxltest::TraceCapture trace;
  KxlStr s("ab c");
  KxlStr token;
  EXPECT_EQ(s.copyOut(token, '\0'), 4u);
  EXPECT_EQ(text(token), "ab c");
  EXPECT_EQ(trace.texts(), Texts{kNotice});
  EXPECT_TRUE(trace.sawText(44, kNotice));

  trace.clear();
  EXPECT_EQ(KxlStr().copyOut(token, '\0'), 0u);
  EXPECT_EQ(trace.texts(44), Texts{kNotice});

  trace.clear();
  EXPECT_EQ(s.cutOut(token, '\0'), 4u);
  EXPECT_TRUE(isNull(s));
  EXPECT_EQ(trace.texts(),
            (Texts{kNotice, "KxlString::stripLeading (information): cannot strip nulls"}));
  EXPECT_TRUE(hasCodes(s, 0, 0));
}

}  // namespace
