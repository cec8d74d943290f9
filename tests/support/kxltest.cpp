#include "kxltest.hpp"

#include <algorithm>

#include "kxlcodes.hpp"

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

std::vector<std::string> TraceCapture::texts() const {
  std::vector<std::string> result;
  for (const TraceRecord &record : records())
    if (record.kind == XCS_TEXT) result.push_back(record.text);
  return result;
}

std::vector<std::string> TraceCapture::texts(std::uint32_t function) const {
  std::vector<std::string> result;
  for (const TraceRecord &record : records())
    if (record.kind == XCS_TEXT && record.function == function) result.push_back(record.text);
  return result;
}

int TraceCapture::entries(std::uint32_t function) const {
  const std::vector<TraceRecord> all = records();
  return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const TraceRecord &record) {
    return record.kind == XCS_ENTRY && record.component == kKxlComponent &&
           record.function == function;
  }));
}

std::vector<std::int32_t> TraceCapture::exitValues(std::uint32_t function) const {
  std::vector<std::int32_t> result;
  for (const TraceRecord &record : records())
    if (record.kind == XCS_EXIT && record.component == kKxlComponent && record.function == function)
      result.push_back(record.value);
  return result;
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

}  // namespace kxltest
