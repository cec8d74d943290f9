// KxlStr storage, construction, joins, appends, substrings, comparison,
// search, upper-casing and stripping. The copies into caller buffers, the
// readers and the message item are in kxlstrcpy.cpp.

#include "kxlstr.hpp"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "kxlnew.hpp"
#include "kxlscope.hpp"
#include "kxltrc.hpp"

namespace {

constexpr char kConstructorNoStorage[] = "KxlString::KxlString (warning): storage not available";

// Room for a formatted number: 23 characters and the null byte.
constexpr std::size_t kNumberWorkArea = 24;

// Builds the text of a number append from a formatting result: the text
// itself, or "***" when the formatting gave nothing, failed or overflowed
// the work area. `formatted` is false in the latter case.
KxlStr numberText(int count, const char *workArea, bool &formatted) {
  formatted = count > 0 && static_cast<std::size_t>(count) < kNumberWorkArea;
  return KxlStr(formatted ? workArea : "***");
}

}  // namespace

KxlStr::KxlStr() : buffer_(nullptr), storage_(0) {}

KxlStr::KxlStr(const KxlStr &other) : KxlItm(), buffer_(nullptr), storage_(0) { *this = other; }

KxlStr::KxlStr(char ch) : buffer_(nullptr), storage_(0) {
  char *fresh = kxlNewArray<char>(2);
  if (fresh == nullptr) {
    warn(kKxlFnStringConstruct, kConstructorNoStorage, KXRC_STORAGE_NOT_AVAILABLE);
    return;
  }
  fresh[0] = ch;
  fresh[1] = '\0';
  adoptStorage(fresh, 2);
}

KxlStr::KxlStr(const char *text) : buffer_(nullptr), storage_(0) {
  if (text == nullptr || text[0] == '\0') return;
  const std::size_t size = std::strlen(text) + 1;
  char *fresh = kxlNewArray<char>(size);
  if (fresh == nullptr) {
    warn(kKxlFnStringConstruct, kConstructorNoStorage, KXRC_STORAGE_NOT_AVAILABLE);
    return;
  }
  std::memcpy(fresh, text, size);
  adoptStorage(fresh, size);
}

KxlStr::KxlStr(const void *bytes, std::size_t length) : buffer_(nullptr), storage_(0) {
  pasteIn(bytes, length);
}

KxlStr::~KxlStr() { delete[] buffer_; }

void KxlStr::operator=(const KxlStr &other) {
  if (&other == this) return;
  takeErrorCodes(other);
  assign(other);
}

bool KxlStr::assign(const KxlStr &other) {
  if (&other == this) return true;
  if (!setStorage(other.storage_)) return false;
  if (storage_ > 0) std::memcpy(buffer_, other.buffer_, storage_);
  return true;
}

char *KxlStr::obtainStorage(std::size_t size) {
  char *fresh = kxlNewArray<char>(size);
  if (fresh == nullptr) {
    fail(kKxlFnStringSetStorage, "KxlString::setStorage (error): storage not available",
         KXRC_STORAGE_NOT_AVAILABLE);
  }
  return fresh;
}

void KxlStr::adoptStorage(char *buffer, std::size_t size) {
  delete[] buffer_;
  buffer_ = buffer;
  storage_ = size;
}

bool KxlStr::setStorage(std::size_t size) {
  if (size == storage_) return true;
  if (size == 0) {
    adoptStorage(nullptr, 0);
    return true;
  }
  char *fresh = obtainStorage(size);
  if (fresh == nullptr) return false;
  // The text must end within the storage: beyond the copied bytes nothing
  // is set, and a shrink may have cut the text. A null string stays empty.
  if (buffer_ != nullptr) {
    std::memcpy(fresh, buffer_, storage_ < size ? storage_ : size);
  } else {
    fresh[0] = '\0';
  }
  fresh[size - 1] = '\0';
  adoptStorage(fresh, size);
  return true;
}

bool KxlStr::set(const char *data, std::size_t length) {
  if (length == 0) {
    adoptStorage(nullptr, 0);
    return true;
  }
  if (data == nullptr) {
    return fail(kKxlFnStringSet, "KxlString::set (error): null pointer", KXRC_NULL_POINTER);
  }
  if (!checkReadPointer(data, length)) return false;
  const bool terminated = std::memchr(data, '\0', length) != nullptr;
  const std::size_t size = terminated ? length : length + 1;
  // A new buffer is filled before the old one goes, so `data` may lie in
  // this string's own buffer.
  char *target = buffer_;
  if (size != storage_) {
    target = obtainStorage(size);
    if (target == nullptr) return false;
  }
  std::memmove(target, data, length);
  if (!terminated) target[length] = '\0';
  if (target != buffer_) adoptStorage(target, size);
  return true;
}

std::size_t KxlStr::length() const {
  if (buffer_ == nullptr) return 0;
  const void *end = std::memchr(buffer_, '\0', storage_);
  return end != nullptr ? static_cast<std::size_t>(static_cast<const char *>(end) - buffer_)
                        : storage_;
}

const KxlStr KxlStr::concatenate(const KxlStr &a, const KxlStr &b) const {
  KxlStr result;
  const std::size_t lengthA = a.length();
  const std::size_t lengthB = b.length();
  if (lengthA + lengthB == 0) return result;
  const std::size_t size = lengthA + lengthB + 1;
  char *fresh = kxlNewArray<char>(size);
  if (fresh == nullptr) {
    result.warn(kKxlFnStringConcatenate, "KxlString::concatenate (warning): storage not available",
                KXRC_STORAGE_NOT_AVAILABLE);
    return result;
  }
  if (lengthA > 0) std::memcpy(fresh, a.buffer_, lengthA);
  if (lengthB > 0) std::memcpy(fresh + lengthA, b.buffer_, lengthB);
  fresh[lengthA + lengthB] = '\0';
  result.adoptStorage(fresh, size);
  return result;
}

KxlStr KxlStr::operator+(const KxlStr &other) const { return concatenate(*this, other); }

KxlStr KxlStr::operator+(char ch) const { return concatenate(*this, KxlStr(ch)); }

KxlStr KxlStr::operator+(const char *text) const {
  KxlStr result(*this);
  result += KxlStr(text);
  return result;
}

KxlStr KxlStr::operator+(long value) const {
  KxlStr result(*this);
  result.pasteIn(value);
  return result;
}

KxlStr KxlStr::operator+(double value) const {
  KxlStr result(*this);
  result.pasteIn(value, "%f");
  return result;
}

void KxlStr::operator+=(const KxlStr &other) { *this = *this + other; }

void KxlStr::operator+=(char ch) { *this += KxlStr(ch); }

void KxlStr::operator+=(const char *text) { *this += KxlStr(text); }

void KxlStr::operator+=(long value) { pasteIn(value); }

void KxlStr::operator+=(double value) { pasteIn(value, "%f"); }

bool KxlStr::pasteIn(long value) {
  char workArea[kNumberWorkArea];
  const int count = std::snprintf(workArea, sizeof workArea, "%ld",
                                  static_cast<long>(static_cast<std::int32_t>(value)));
  bool formatted;
  *this += numberText(count, workArea, formatted);
  return formatted;
}

bool KxlStr::pasteIn(double value, const char *format) {
  char workArea[kNumberWorkArea];
  // A missing format gives nothing, as an empty one does.
  const int count = format != nullptr ? std::snprintf(workArea, sizeof workArea, format, value) : 0;
  bool formatted;
  *this += numberText(count, workArea, formatted);
  return formatted;
}

bool KxlStr::pasteIn(const void *bytes, std::size_t length) {
  if (length == 0) return true;
  if (bytes == nullptr) {
    return fail(kKxlFnStringPasteIn, "KxlString::pasteIn (error): null pointer", KXRC_NULL_POINTER);
  }
  const std::size_t current = this->length();
  if (!checkReadPointer(bytes, length)) return false;
  if (length > std::numeric_limits<std::size_t>::max() - current - 1) {
    return fail(kKxlFnStringPasteIn, "KxlString::pasteIn (error): storage not available",
                KXRC_STORAGE_NOT_AVAILABLE);
  }
  const std::size_t size = current + length + 1;
  // A new buffer is filled before the old one goes, so the bytes may come
  // from this string's own storage; storage of the right size already is
  // kept, and the bytes are then moved as memmove moves them.
  char *target = buffer_;
  if (size != storage_) {
    target = obtainStorage(size);
    if (target == nullptr) return false;
    if (current > 0) std::memcpy(target, buffer_, current);
  }
  char *appended = target + current;
  std::memmove(appended, bytes, length);
  for (std::size_t i = 0; i < length; ++i) {
    if (appended[i] == '\0') appended[i] = '.';
  }
  appended[length] = '\0';
  if (target != buffer_) adoptStorage(target, size);
  return true;
}

KxlStr KxlStr::operator()(std::size_t offset, std::size_t length) const {
  KxlStr result;
  const std::size_t textLength = this->length();
  if (length == 0) {
    if (offset >= textLength) return result;
    length = textLength - offset;
  }
  if (length > textLength || offset > textLength - length) return result;
  if (!result.setStorage(length + 1)) return result;
  std::memcpy(result.buffer_, buffer_ + offset, length);
  result.buffer_[length] = '\0';
  return result;
}

namespace {

// -1, 0 or 1 for two texts given as pointer and length (either may be
// empty), compared as unsigned bytes with the terminating null byte taking
// part, so that a proper prefix is the smaller.
short compareTexts(const char *a, std::size_t lengthA, const char *b, std::size_t lengthB) {
  if (lengthA == 0 && lengthB == 0) return 0;
  if (lengthA == 0) return -1;
  if (lengthB == 0) return 1;
  const std::size_t common = lengthA < lengthB ? lengthA : lengthB;
  const int order = std::memcmp(a, b, common);
  if (order != 0) return order < 0 ? -1 : 1;
  if (lengthA == lengthB) return 0;
  return lengthA < lengthB ? -1 : 1;
}

}  // namespace

short KxlStr::compare(const KxlStr &other) const {
  return compareTexts(buffer_, length(), other.buffer_, other.length());
}

short KxlStr::compare(const char *text) const {
  return compareTexts(buffer_, length(), text, text != nullptr ? std::strlen(text) : 0);
}

bool KxlStr::find(const KxlStr &sought) const {
  std::size_t offset = 0;
  return find(sought, offset);
}

bool KxlStr::find(const KxlStr &sought, std::size_t &offset) const {
  const std::size_t soughtLength = sought.length();
  if (soughtLength == 0) return true;
  const std::size_t textLength = length();
  if (soughtLength > textLength || offset > textLength - soughtLength) return false;
  for (; offset <= textLength - soughtLength; ++offset) {
    if (std::memcmp(buffer_ + offset, sought.buffer_, soughtLength) == 0) return true;
  }
  return false;
}

KxlStr KxlStr::upperCase() const {
  KxlStr result(*this);
  const std::size_t textLength = result.length();
  for (std::size_t i = 0; i < textLength; ++i) {
    result.buffer_[i] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(result.buffer_[i])));
  }
  return result;
}

namespace {

// A strip of null bytes is refused with an information text, no code set.
bool refusesNulls(char ch, unsigned short function, const char *text) {
  if (ch != '\0') return false;
  KxlTrc::traceMessage(kKxlComponent, function, text);
  return true;
}

}  // namespace

std::size_t KxlStr::stripLeading(char ch) {
  if (refusesNulls(ch, kKxlFnStringStripLeading,
                   "KxlString::stripLeading (information): cannot strip nulls")) {
    return 0;
  }
  if (buffer_ == nullptr || buffer_[0] != ch) return 0;
  std::size_t run = 0;
  while (buffer_[run] == ch) ++run;
  *this = (*this)(run, 0);
  return run;
}

std::size_t KxlStr::stripTrailing(char ch) {
  if (refusesNulls(ch, kKxlFnStringStripTrailing,
                   "KxlString::stripTrailing (information): cannot strip nulls")) {
    return 0;
  }
  const std::size_t textLength = length();
  if (textLength == 0) return 0;
  std::size_t start = textLength;
  while (start > 0 && buffer_[start - 1] == ch) --start;
  if (start < textLength) buffer_[start] = '\0';
  return textLength - start;
}
