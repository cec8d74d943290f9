// Test support for kxli: trace capture, pointer refusal and allocation
// failure (on which every "storage not available" path rests).
#ifndef KXLI_TESTS_KXLTEST_HPP_
#define KXLI_TESTS_KXLTEST_HPP_

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "kxecs.h"

namespace kxltest {

struct TraceRecord {
  xcsRecordKind kind;
  std::uint32_t component;
  std::uint32_t function;
  std::int32_t value;
  std::string text;
};

// Installs a kxecs trace sink for its lifetime and keeps every record.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  std::vector<TraceRecord> records() const;
  // The diagnostic texts, in order, all or those of one function number.
  std::vector<std::string> texts() const;
  std::vector<std::string> texts(std::uint32_t function) const;
  // Entry records of `function`, and the values of its exit records.
  int entries(std::uint32_t function) const;
  std::vector<std::int32_t> exitValues(std::uint32_t function) const;

 private:
  static void sink(const xcsTraceRecord *record, void *context);
  mutable std::mutex mutex_;  // also keeps the capture from being copied
  std::vector<TraceRecord> records_;
};

// For its lifetime, the pointer check refuses every range that touches
// [pointer, pointer + length), for reads, writes or both.
class PointerRefusal {
 public:
  enum Mode { kRead = 1, kWrite = 2, kBoth = 3 };
  explicit PointerRefusal(const void *pointer, std::size_t length = 1, Mode mode = kBoth);
  ~PointerRefusal();
  PointerRefusal(const PointerRefusal &) = delete;
  PointerRefusal &operator=(const PointerRefusal &) = delete;

 private:
  static int check(const void *pointer, std::uint64_t length, std::uint16_t mode, void *context);
  std::uintptr_t begin_;
  std::uintptr_t end_;
  Mode mode_;
};

// For its lifetime, the `nth` of the library's allocations that may fail
// (1 = the next one) yields null; with `andAfter`, every one from then on.
class AllocationFailure {
 public:
  explicit AllocationFailure(long nth, bool andAfter = false);
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure &) = delete;
  AllocationFailure &operator=(const AllocationFailure &) = delete;
  // How many allocations were failed so far.
  long failed() const;
};

// Counts the library's allocations that may fail, made during its lifetime.
class AllocationCounter {
 public:
  AllocationCounter();
  long count() const;

 private:
  long start_;
};

}  // namespace kxltest

#endif  // KXLI_TESTS_KXLTEST_HPP_
