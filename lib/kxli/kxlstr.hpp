// KxlStr is the text value of kxli: every text getter returns one, and
// applications build, join, cut, search and compare texts with it before
// handing them to setters (a KxlStr converts to `const char *`).
//
// Representation: a null string has no buffer and storage 0 and reads as
// the empty text. Otherwise the buffer holds exactly storage() bytes with a
// null byte among them; the text is the bytes before the first null byte
// and its length is found by scanning. Copies duplicate the whole storage;
// nothing is shared.
//
// Storage that cannot be obtained while building a new text (construction
// from text, joins) is a warning, 1/2071, the text left null; while
// changing an existing string it is a failure, 2/2071, the string
// unchanged.
//
// The string is also a message item: written into a message it is the
// whole message data, format "KXSTR   ".
#ifndef KXLI_KXLSTR_HPP_
#define KXLI_KXLSTR_HPP_

#include <cstddef>

#include "kxlitm.hpp"

class KXL_EXPORT KxlStr : public KxlItm {
 public:
  KxlStr();
  // Storage 2: `ch` and a null byte (the null character gives an empty
  // text that is not a null string).
  KxlStr(char ch);
  // A null pointer or an empty text gives a null string.
  KxlStr(const char *text);
  // Exactly `length` characters, each null byte replaced by a full stop.
  KxlStr(const void *bytes, std::size_t length);
  ~KxlStr() override;

  // Makes the buffer exactly `size` bytes, keeping what fits; a null byte
  // stands at the last byte of new storage (a shrink cuts the text there),
  // and a null string becomes an empty text.
  bool setStorage(std::size_t size);
  // Replaces the contents with `length` bytes at `data` (embedded null
  // bytes included; the text ends at the first one). Length 0: null string.
  bool set(const char *data, std::size_t length);
  // The length of the text (the bytes before the first null byte) and
  // the storage size.
  std::size_t length() const;
  std::size_t storage() const { return storage_; }
  // The text, or a null pointer for a null string.
  operator const char *() const { return buffer_; }

  // Joins. The result has storage exactly length + 1 (or is null when both
  // texts are empty); numbers are appended as "%ld" and "%f" would print.
  KxlStr operator+(const KxlStr &other) const;
  KxlStr operator+(char ch) const;
  KxlStr operator+(const char *text) const;
  KxlStr operator+(long value) const;
  KxlStr operator+(int value) const { return *this + static_cast<long>(value); }
  KxlStr operator+(double value) const;
  // Appends; this string takes the codes of the joined result.
  void operator+=(const KxlStr &other);
  void operator+=(char ch);
  void operator+=(const char *text);
  void operator+=(long value);
  void operator+=(int value) { *this += static_cast<long>(value); }
  void operator+=(double value);
  // Appends `value`, taken as a signed 32-bit number, as "%ld" prints it.
  bool pasteIn(long value);
  // Appends `value` formatted by the printf-style `format`; "***" and false
  // when the formatting gives nothing or more than 23 characters.
  bool pasteIn(double value, const char *format);
  // Appends `length` bytes as text, each null byte replaced by a full stop.
  bool pasteIn(const void *bytes, std::size_t length);

  // The `length` characters from `offset` (0: up to the end); a null
  // string when they do not lie within the text.
  KxlStr operator()(std::size_t offset, std::size_t length) const;
  // -1, 0 or 1, comparing the texts as unsigned bytes; empty equals null.
  short compare(const KxlStr &other) const;
  short compare(const char *text) const;
  // As find(sought, offset) from offset 0.
  bool find(const KxlStr &sought) const;
  // Searches from `offset`; on success `offset` is the position found.
  bool find(const KxlStr &sought, std::size_t &offset) const;
  // A copy whose text is upper-cased for the current locale.
  KxlStr upperCase() const;
  // Remove the leading (trailing) run of `ch` and return its length.
  // stripLeading leaves storage exactly length + 1, and a null string when
  // the whole text went; stripTrailing keeps the storage.
  std::size_t stripLeading(char ch);
  std::size_t stripTrailing(char ch);

  // Copy `source` into the fixed-width field `target` of `length` bytes:
  // at most `length` characters, the rest `pad`, never terminated. A
  // longer text is cut with the warning 6115 and the result true.
  // This form reports into `error` and checks both pointers (2146, 2145).
  static bool copy(char *target, std::size_t length, const char *source, KxlErr &error, char pad);
  // This form reports into the string class's error record and checks only
  // the target (2004).
  static bool copy(char *target, std::size_t length, const char *source, char pad);
  // The string class's error record, as the last static copy without an
  // error object left it.
  static long staticCompletionCode();
  static long staticReasonCode();

  // Copies the text into `buffer` as the static copy does, under the string
  // class's lock, and takes that copy's codes (a clean copy leaves this
  // string's codes alone). 2195 when the lock fails.
  bool copyOut(char *buffer, std::size_t length, char pad);
  // Reads a signed decimal number (after blanks and tabs, with an optional
  // sign) from the front of the text; returns the characters it spans, 0
  // when there is none. Values outside 32 bits saturate.
  std::size_t copyOut(long &value) const;
  // As copyOut(value), then removes the characters spanned.
  std::size_t cutOut(long &value);
  // The first token, after a run of `delimiter`, into `token`; returns the
  // leading delimiters plus the token's characters, 0 when there is none.
  std::size_t copyOut(KxlStr &token, char delimiter) const;
  // As copyOut(token, delimiter), then removes what was counted and, for a
  // delimiter other than the blank, the delimiters after the token.
  std::size_t cutOut(KxlStr &token, char delimiter);

  // The string as a message item, format "KXSTR   ".
  bool copyOut(KxlMsg &message) override;
  bool pasteIn(KxlMsg &message) override;

  // Default construction followed by assignment from `other`.
  KxlStr(const KxlStr &other);
  // Copies the codes, then the text with its whole storage; storage that
  // cannot be obtained fails with 2/2071, the text unchanged.
  void operator=(const KxlStr &other);

 protected:
  // As operator= but leaves this string's codes alone.
  bool assign(const KxlStr &other);

 private:
  const KxlStr concatenate(const KxlStr &a, const KxlStr &b) const;

  // A new buffer of `size` bytes (size > 0), not yet installed; null after
  // sending the storage text of setStorage and setting 2/2071.
  char *obtainStorage(std::size_t size);
  // Releases the current buffer and installs `buffer` of `size` bytes.
  void adoptStorage(char *buffer, std::size_t size);
  // The two static copies: reports into `error`, or into the string class's
  // error record (with the checks and texts of that form) when it is null.
  static bool copyToField(char *target, std::size_t length, const char *source, char pad,
                          KxlErr *error);

  char *buffer_;
  std::size_t storage_;
};

// Comparisons through compare().
inline bool operator==(const KxlStr &a, const KxlStr &b) { return a.compare(b) == 0; }
inline bool operator!=(const KxlStr &a, const KxlStr &b) { return a.compare(b) != 0; }
inline bool operator<(const KxlStr &a, const KxlStr &b) { return a.compare(b) < 0; }
inline bool operator<=(const KxlStr &a, const KxlStr &b) { return a.compare(b) <= 0; }
inline bool operator>(const KxlStr &a, const KxlStr &b) { return a.compare(b) > 0; }
inline bool operator>=(const KxlStr &a, const KxlStr &b) { return a.compare(b) >= 0; }
inline bool operator==(const KxlStr &a, const char *b) { return a.compare(b) == 0; }
inline bool operator!=(const KxlStr &a, const char *b) { return a.compare(b) != 0; }
inline bool operator<(const KxlStr &a, const char *b) { return a.compare(b) < 0; }
inline bool operator<=(const KxlStr &a, const char *b) { return a.compare(b) <= 0; }
inline bool operator>(const KxlStr &a, const char *b) { return a.compare(b) > 0; }
inline bool operator>=(const KxlStr &a, const char *b) { return a.compare(b) >= 0; }
inline bool operator==(const char *a, const KxlStr &b) { return b.compare(a) == 0; }
inline bool operator!=(const char *a, const KxlStr &b) { return b.compare(a) != 0; }
inline bool operator<(const char *a, const KxlStr &b) { return b.compare(a) > 0; }
inline bool operator<=(const char *a, const KxlStr &b) { return b.compare(a) >= 0; }
inline bool operator>(const char *a, const KxlStr &b) { return b.compare(a) < 0; }
inline bool operator>=(const char *a, const KxlStr &b) { return b.compare(a) <= 0; }

// True for horizontal tab and blank only.
KXL_EXPORT bool WhiteSpace(char ch);

// Releases the string class's lock; run by the clean-up chain at unload.
extern "C" KXL_EXPORT void KxlStrCleanUp();

#endif  // KXLI_KXLSTR_HPP_
