// KxlStr operations that take text out of a string: the static copies into
// fixed-width fields and the string class's error record they report to,
// the copy-out to a caller's buffer under the string class's lock, the
// number and token readers, the string as a message item, and the
// library's clean-up entry KxlStrCleanUp.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>

#include "kxecs.h"
#include "kxllib.hpp"
#include "kxlmsg.hpp"
#include "kxlnew.hpp"
#include "kxlscope.hpp"
#include "kxlsem.hpp"
#include "kxlstr.hpp"
#include "kxltrc.hpp"

namespace {

constexpr char kFormatName[] = "KXSTR   ";

// The string class's error record: the completion code in the high and the
// reason code in the low 32 bits of one atomic word, so that a reader never
// sees half of one write and concurrent writers need no lock.
std::atomic<std::uint64_t> staticRecord{0};

std::uint64_t packCodes(long completion, long reason) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(completion)) << 32) |
         static_cast<std::uint32_t>(reason);
}

long completionOf(std::uint64_t record) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(record >> 32));
}

long reasonOf(std::uint64_t record) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(record));
}

// The string class's lock: created on first use under the library critical
// section, released by KxlStrCleanUp.
std::atomic<KxlSem *> stringLock{nullptr};

// Takes the string class's lock (traced; the exit value is 1 when it was
// taken, 0 otherwise) and returns it, or null when it could not be created
// or taken.
KxlSem *takeStringLock() {
  xcsCPInitTerm_e(kKxlStageTraced);
  xtr_fnc_entryFn_e(kKxlComponent, kKxlFnStringLock, 0);
  KxlSem *lock = stringLock.load(std::memory_order_acquire);
  if (lock == nullptr) {
    KxlSem &criticalSection = kxlLibraryCriticalSection();
    criticalSection.lock();
    lock = stringLock.load(std::memory_order_acquire);
    if (lock == nullptr) {
      lock = kxlNewObject<KxlSem>();
      stringLock.store(lock, std::memory_order_release);
    }
    criticalSection.unlock();
  }
  const bool taken = lock != nullptr && lock->lock();
  xtr_fnc_retcodeFn_e(kKxlComponent, kKxlFnStringLock, taken ? 1 : 0);
  return taken ? lock : nullptr;
}

// Releases `lock` (traced as 1 or 0 like taking it); true on success.
bool releaseStringLock(KxlSem *lock) {
  xcsCPInitTerm_e(kKxlStageTraced);
  xtr_fnc_entryFn_e(kKxlComponent, kKxlFnStringUnlock, 0);
  const bool released = lock->unlock();
  xtr_fnc_retcodeFn_e(kKxlComponent, kKxlFnStringUnlock, released ? 1 : 0);
  return released;
}

// The length of `text`, counting no further than `limit` characters (a
// result of `limit` may mean a longer text); 0 for a null pointer.
std::size_t boundedLength(const char *text, std::size_t limit) {
  if (text == nullptr) return 0;
  std::size_t length = 0;
  while (length < limit && text[length] != '\0') ++length;
  return length;
}

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

bool KxlStr::copy(char *target, std::size_t length, const char *source, KxlErr &error, char pad) {
  return copyToField(target, length, source, pad, &error);
}

bool KxlStr::copy(char *target, std::size_t length, const char *source, char pad) {
  return copyToField(target, length, source, pad, nullptr);
}

long KxlStr::staticCompletionCode() { return completionOf(staticRecord.load()); }

long KxlStr::staticReasonCode() { return reasonOf(staticRecord.load()); }

bool KxlStr::copyToField(char *target, std::size_t length, const char *source, char pad,
                         KxlErr *error) {
  auto report = [error](const char *text, long completion, long reason) {
    KxlTrc::traceMessage(kKxlComponent, kKxlFnStringCopy, text);
    if (error != nullptr) {
      error->setErrorCodes(completion, reason);
    } else {
      staticRecord.store(packCodes(completion, reason));
    }
  };
  if (target != nullptr && length > 0 && !KxlTrc::checkWritePointer(target, length)) {
    if (error != nullptr) {
      report("KxlString::copy (error): target buffer error", KXCC_FAILED, KXRC_TARGET_BUFFER_ERROR);
    } else {
      report("KxlString::copy (error): buffer error", KXCC_FAILED, KXRC_BUFFER_ERROR);
    }
    return false;
  }
  if (error != nullptr) {
    if (source != nullptr && !KxlTrc::checkReadPointer(source, 1)) {
      report("KxlString::copy (error): source buffer error", KXCC_FAILED, KXRC_SOURCE_BUFFER_ERROR);
      return false;
    }
    if (length == 0) return true;
  }
  // One character past the field tells whether the source is longer.
  const std::size_t limit = length < std::numeric_limits<std::size_t>::max() ? length + 1 : length;
  const std::size_t sourceLength = boundedLength(source, limit);
  const std::size_t copied = sourceLength < length ? sourceLength : length;
  // Without a target, any field of non-zero length would be written to,
  // by the text or by the pad.
  if (target == nullptr && length > 0) {
    report("static KxlString::copy (error): no destination buffer", KXCC_FAILED, KXRC_NULL_POINTER);
    return false;
  }
  if (copied > 0) std::memmove(target, source, copied);
  if (length > copied) {
    std::memset(target + copied, pad, length - copied);
    return true;
  }
  if (sourceLength > length) {
    report("static KxlString::copy (warning): string truncated", KXCC_WARNING, KXRC_DATA_TRUNCATED);
  }
  return true;
}

bool KxlStr::copyOut(char *buffer, std::size_t length, char pad) {
  KxlSem *lock = takeStringLock();
  if (lock == nullptr) {
    setErrorCodes(KXCC_FAILED, KXRC_LOCK_FAILED);
    return false;
  }
  // The record is cleared first so that only codes this copy writes are
  // taken over; a clean copy leaves this string's codes as they were.
  staticRecord.store(0);
  const bool copied = copy(buffer, length, buffer_, pad);
  const std::uint64_t record = staticRecord.load();
  if (record != 0) setErrorCodes(completionOf(record), reasonOf(record));
  if (!releaseStringLock(lock)) {
    setErrorCodes(KXCC_FAILED, KXRC_LOCK_FAILED);
    return false;
  }
  return copied;
}

std::size_t KxlStr::copyOut(long &value) const {
  if (buffer_ == nullptr) return 0;
  std::size_t position = 0;
  while (WhiteSpace(buffer_[position])) ++position;
  bool negative = false;
  if (buffer_[position] == '+' || buffer_[position] == '-') {
    negative = buffer_[position] == '-';
    ++position;
  }
  if (!isDigit(buffer_[position])) return 0;
  // The magnitude stops growing once it is past every 32-bit value, so
  // that an over-long number saturates instead of wrapping.
  constexpr std::uint64_t kBeyond32Bits = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (; isDigit(buffer_[position]); ++position) {
    if (magnitude < kBeyond32Bits) {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(buffer_[position] - '0');
    }
  }
  constexpr std::int64_t kMinimum = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMaximum = std::numeric_limits<std::int32_t>::max();
  const std::int64_t signedValue =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  value = static_cast<long>(signedValue < kMinimum   ? kMinimum
                            : signedValue > kMaximum ? kMaximum
                                                     : signedValue);
  return position;
}

std::size_t KxlStr::cutOut(long &value) {
  const std::size_t spanned = copyOut(value);
  if (spanned > 0) *this = (*this)(spanned, 0);
  return spanned;
}

std::size_t KxlStr::copyOut(KxlStr &token, char delimiter) const {
  if (delimiter == '\0') {
    KxlTrc::traceMessage(
        kKxlComponent, kKxlFnStringDelimiter,
        "KxlString::copyOut/cutOut (information): null string delimiter is not advised");
  }
  if (buffer_ == nullptr) return 0;
  const std::size_t textLength = length();
  std::size_t start = 0;
  while (start < textLength && buffer_[start] == delimiter) ++start;
  if (start == textLength) return 0;
  std::size_t end = start;
  while (end < textLength && buffer_[end] != delimiter) ++end;
  token = (*this)(start, end - start);
  return end;
}

std::size_t KxlStr::cutOut(KxlStr &token, char delimiter) {
  const std::size_t counted = copyOut(token, delimiter);
  if (counted == 0) return 0;
  *this = (*this)(counted, 0);
  if (delimiter == ' ') return counted;
  return counted + stripLeading(delimiter);
}

bool KxlStr::copyOut(KxlMsg &message) { return writeBody(message, buffer_, length(), kFormatName); }

bool KxlStr::pasteIn(KxlMsg &message) {
  if (!message.formatIs(kFormatName)) {
    return fail(kKxlFnStringPasteIn, "KxlString::pasteIn (error): wrong message format",
                KXRC_WRONG_FORMAT);
  }
  const std::size_t count = message.dataLength();
  // Storage too small for the data is made `count` bytes holding an empty
  // text before the read. Data that do not end in a null byte need one
  // byte more afterwards; it is obtained in the same allocation and counted
  // only once the read has succeeded, so the bytes are never copied twice.
  bool spareByte = false;
  if (storage_ < count) {
    const bool terminated = message.dataPointer()[count - 1] == '\0';
    char *fresh = obtainStorage(terminated ? count : count + 1);
    if (fresh == nullptr) return false;
    // As setStorage leaves it: the text ends at the first and last byte.
    fresh[0] = fresh[count - 1] = '\0';
    adoptStorage(fresh, count);
    spareByte = !terminated;
  }
  if (count == 0) return true;
  char *target = buffer_;
  if (!message.read(count, target)) {
    takeErrorCodes(message);
    return false;
  }
  if (buffer_[count - 1] == '\0') return true;
  if (storage_ < count + 1) {
    if (spareByte) {
      storage_ = count + 1;
    } else if (!setStorage(count + 1)) {
      buffer_[count - 1] = '\0';
      return false;
    }
  }
  buffer_[count] = '\0';
  return true;
}

bool WhiteSpace(char ch) { return ch == '\t' || ch == ' '; }

extern "C" void KxlStrCleanUp() {
  KxlSem *lock = stringLock.exchange(nullptr);
  if (lock == nullptr) return;
  KxlTrc::traceMessage(kKxlComponent, kKxlFnStringCleanUp, "Releasing KxlString resources");
  delete lock;
}
