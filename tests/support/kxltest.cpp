// The test support of kxltest.hpp and kxlmsgtest.hpp. The allocation check
// is installed for the whole test program, through the common-services
// layer, so it works wherever the library is loaded from, a Windows DLL bound
// to its own allocator included.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <tuple>

#include "kxlcodes.hpp"
#include "kxlmsgtest.hpp"

namespace {

// Counts the library's allocations that may fail and fails the chosen ones.
std::atomic<long> allocations{0};
std::atomic<long> failAt{0};  // 0: none
std::atomic<bool> failAfter{false};
std::atomic<long> failures{0};

int refuseChosen(std::uint64_t, void *) {
  const long number = allocations.fetch_add(1) + 1, target = failAt.load();
  const bool fail = target != 0 && (number == target || (failAfter.load() && number > target));
  if (fail) failures.fetch_add(1);
  return fail ? 1 : 0;
}

struct Installed {
  Installed() { xcsSetAllocationCheck(&refuseChosen, nullptr); }
} const installed;

}  // namespace

namespace kxltest {

TraceCapture::TraceCapture() { xcsSetTraceSink(&TraceCapture::sink, this); }

TraceCapture::~TraceCapture() { xcsSetTraceSink(nullptr, nullptr); }

void TraceCapture::sink(const xcsTraceRecord *record, void *context) {
  auto *self = static_cast<TraceCapture *>(context);
  std::lock_guard<std::mutex> hold(self->mutex_);
  self->records_.push_back(TraceRecord{record->kind, record->component, record->function,
                                       record->value, record->text != nullptr ? record->text : ""});
}

std::vector<TraceRecord> TraceCapture::records() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return records_;
}

namespace {

// The `member` of the records of `kind`, of every function or of one (with
// `ours`, only the library's own records).
template <typename T>
std::vector<T> pick(const TraceCapture &trace, xcsRecordKind kind, const std::uint32_t *function,
                    bool ours, T TraceRecord::*member) {
  std::vector<T> result;
  for (const TraceRecord &r : trace.records())
    if (r.kind == kind && (function == nullptr || r.function == *function) &&
        (!ours || r.component == kKxlComponent))
      result.push_back(r.*member);
  return result;
}

}  // namespace

std::vector<std::string> TraceCapture::texts() const {
  return pick(*this, XCS_TEXT, nullptr, false, &TraceRecord::text);
}

std::vector<std::string> TraceCapture::texts(std::uint32_t function) const {
  return pick(*this, XCS_TEXT, &function, false, &TraceRecord::text);
}

int TraceCapture::entries(std::uint32_t function) const {
  return static_cast<int>(pick(*this, XCS_ENTRY, &function, true, &TraceRecord::value).size());
}

std::vector<std::int32_t> TraceCapture::exitValues(std::uint32_t function) const {
  return pick(*this, XCS_EXIT, &function, true, &TraceRecord::value);
}

PointerRefusal::PointerRefusal(const void *pointer, std::size_t length, Mode mode)
    : begin_(reinterpret_cast<std::uintptr_t>(pointer)),
      end_(reinterpret_cast<std::uintptr_t>(pointer) + std::max<std::size_t>(length, 1)),
      mode_(mode) {
  xcsSetPointerCheck(&PointerRefusal::check, this);
}

PointerRefusal::~PointerRefusal() { xcsSetPointerCheck(nullptr, nullptr); }

int PointerRefusal::check(const void *pointer, std::uint64_t length, std::uint16_t mode,
                          void *context) {
  const auto *self = static_cast<const PointerRefusal *>(context);
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(pointer);
  const std::uintptr_t end = begin + std::max<std::uint64_t>(length, 1);
  return (mode & self->mode_) != 0 && begin < self->end_ && self->begin_ < end ? 1 : 0;
}

AllocationFailure::AllocationFailure(long nth, bool andAfter) {
  failures.store(0);
  failAfter.store(andAfter);
  failAt.store(allocations.load() + nth);
}

AllocationFailure::~AllocationFailure() {
  failAt.store(0);
  failAfter.store(false);
}

long AllocationFailure::failed() const { return failures.load(); }

AllocationCounter::AllocationCounter() : start_(allocations.load()) {}

long AllocationCounter::count() const { return allocations.load() - start_; }

std::string pattern(std::size_t length, int seed) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0xff);
  return bytes;
}

bool CacheState::operator==(const CacheState &o) const {
  return std::tie(buffer, bufferLength, messageLength, dataOffset, automatic, contents) ==
         std::tie(o.buffer, o.bufferLength, o.messageLength, o.dataOffset, o.automatic, o.contents);
}

CacheState stateOf(const KxlCac &cache) {
  const char *buffer = cache.bufferPointer();
  return {buffer,
          cache.bufferLength(),
          cache.messageLength(),
          cache.dataOffset(),
          cache.automaticBuffer(),
          buffer == nullptr ? std::string() : std::string(buffer, cache.messageLength())};
}

void PrintTo(const CacheState &state, std::ostream *os) {
  *os << "{buffer length " << state.bufferLength << ", message length " << state.messageLength
      << ", data offset " << state.dataOffset << (state.automatic ? ", automatic" : ", application")
      << ", contents "
      << (state.contents.size() <= 32 ? ::testing::PrintToString(state.contents) : "(long)") << "}";
}

Codes codesOf(const KxlErr &object) { return {object.completionCode(), object.reasonCode()}; }

Texts textsOf(const TraceCapture &trace) {
  Texts texts;
  for (const TraceRecord &record : trace.records())
    if (record.kind == XCS_TEXT) texts.emplace_back(record.function, record.text);
  return texts;
}

std::vector<std::string> recordsOf(const TraceCapture &trace) {
  std::vector<std::string> lines;
  for (const TraceRecord &record : trace.records()) {
    const std::string function = std::to_string(record.function);
    if (record.kind == XCS_INIT_TERM) lines.push_back("init " + std::to_string(record.value));
    if (record.kind == XCS_ENTRY) lines.push_back("entry " + function);
    if (record.kind == XCS_EXIT) lines.push_back(exitLine(record.function, record.value));
    if (record.kind == XCS_TEXT) lines.push_back("text " + function + " " + record.text);
  }
  return lines;
}

std::string exitLine(unsigned function, long value) {
  return "exit " + std::to_string(function) + " " + std::to_string(value);
}

std::string description(const std::string &format, long encoding, long characterSet) {
  return format + "/" + std::to_string(encoding) + "/" + std::to_string(characterSet);
}

std::string bytesOf(const KxlBin &value) {
  return std::string(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
}

KxlBin binOf(const std::string &bytes) { return KxlBin(bytes.data(), bytes.size()); }

std::string descriptorBytes(const KxlMsg &message) {
  return std::string(reinterpret_cast<const char *>(message.descriptor()), sizeof(KXMD));
}

std::string formatOf(const KxlMsg &message) {
  return std::string(message.descriptor()->format, sizeof message.descriptor()->format);
}

}  // namespace kxltest
