// kxecs: trace records to a sink or to the KXECS_TRACE output, pointer
// checks with an optional hook, and an optional hook on kxli's allocations.

#include "kxecs.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// A hook and its context, installed and read together under a mutex of
// their own.
template <class Hook>
class Installed {
 public:
  void set(Hook hook, void *context) {
    std::lock_guard<std::mutex> hold(mutex_);
    hook_ = hook;
    context_ = context;
  }
  // The hook and its context as installed now (a null hook: none).
  Hook get(void *&context) {
    std::lock_guard<std::mutex> hold(mutex_);
    context = context_;
    return hook_;
  }

 private:
  std::mutex mutex_;
  Hook hook_ = nullptr;
  void *context_ = nullptr;
};

// `sinkSet` and the bits of xcsListening let the calls that find nothing
// installed skip the locks.
Installed<xcsTraceSink> sink;
std::atomic<bool> sinkSet{false};
Installed<xcsPointerCheck> pointerCheck;
Installed<xcsAllocationCheck> allocationCheck;

// The KXECS_TRACE output, or null. Opened once, when kxecs is loaded (see
// OutputDecision below); `outputMutex` keeps the lines of several threads
// apart.
std::mutex outputMutex;

std::FILE *openOutput() {
  const char *where = std::getenv("KXECS_TRACE");
  if (where == nullptr || *where == '\0') return nullptr;
  if (std::strcmp(where, "stderr") == 0) return stderr;
  return std::fopen(where, "a");
}

std::FILE *output() {
  static std::FILE *const opened = openOutput();
  return opened;
}

// Sets or clears `bit` of xcsListening; the other bits stay as they are.
void publish(unsigned int bit, bool on) {
  if (on) {
    __atomic_fetch_or(&xcsListening, bit, __ATOMIC_RELEASE);
  } else {
    __atomic_fetch_and(&xcsListening, ~bit, __ATOMIC_RELEASE);
  }
}

// Opens the output when kxecs is loaded, so that the trace bit is right
// before any caller reads it.
struct OutputDecision {
  OutputDecision() {
    if (output() != nullptr) publish(XCS_LISTENING_TRACE, true);
  }
} const outputDecision;

const char *kindName(xcsRecordKind kind) {
  switch (kind) {
    case XCS_INIT_TERM:
      return "init ";
    case XCS_ENTRY:
      return "entry";
    case XCS_EXIT:
      return "exit ";
    case XCS_TEXT:
      return "text ";
  }
  return "?    ";
}

void writeLine(const xcsTraceRecord &record) {
  std::FILE *const out = output();
  if (out == nullptr) return;
  std::lock_guard<std::mutex> hold(outputMutex);
  if (record.kind == XCS_TEXT) {
    // Texts may end in a line feed of their own; one record stays one line.
    std::size_t length = std::strlen(record.text);
    while (length > 0 && record.text[length - 1] == '\n') --length;
    std::fprintf(out, "kxecs %s component=%u function=%u text=\"%.*s\"\n", kindName(record.kind),
                 record.component, record.function, static_cast<int>(length), record.text);
  } else {
    std::fprintf(out, "kxecs %s component=%u function=%u value=%d\n", kindName(record.kind),
                 record.component, record.function, record.value);
  }
  std::fflush(out);
}

void deliver(xcsRecordKind kind, uint32_t component, uint32_t function, int32_t value,
             const char *text) {
  const xcsTraceRecord record{kind, component, function, value, text};
  if (sinkSet.load(std::memory_order_acquire)) {
    void *context;
    const xcsTraceSink installed = sink.get(context);
    if (installed != nullptr) {
      installed(&record, context);
      return;
    }
  }
  writeLine(record);
}

}  // namespace

extern "C" {

unsigned int xcsListening = 0;

void xcsCPInitTerm_e(int32_t stage) { deliver(XCS_INIT_TERM, 0, 0, stage, nullptr); }

void xtr_fnc_entryFn_e(int32_t component, int32_t function, int32_t zero) {
  deliver(XCS_ENTRY, static_cast<uint32_t>(component), static_cast<uint32_t>(function), zero,
          nullptr);
}

void xtr_fnc_retcodeFn_e(int32_t component, int32_t function, int32_t value) {
  deliver(XCS_EXIT, static_cast<uint32_t>(component), static_cast<uint32_t>(function), value,
          nullptr);
}

void xtr_printfFn_e(uint16_t component, uint16_t function, uint16_t zero, const char *text) {
  (void)zero;
  deliver(XCS_TEXT, component, function, 0, text != nullptr ? text : "");
}

int32_t xcsCheckPointer_e(const void *pointer, uint64_t length, uint16_t mode) {
  if (!xcsRangeAddressable(pointer, length)) return 1;
  if ((xcsListeningNow() & XCS_LISTENING_CHECK) == 0) return 0;
  void *context;
  const xcsPointerCheck installed = pointerCheck.get(context);
  if (installed == nullptr) return 0;
  return installed(pointer, length, mode, context) != 0 ? 1 : 0;
}

int32_t xcsAllocationRefused(uint64_t size) {
  if ((xcsListeningNow() & XCS_LISTENING_ALLOCATION) == 0) return 0;
  void *context;
  const xcsAllocationCheck installed = allocationCheck.get(context);
  if (installed == nullptr) return 0;
  return installed(size, context) != 0 ? 1 : 0;
}

void xcsSetTraceSink(xcsTraceSink newSink, void *context) {
  sink.set(newSink, context);
  sinkSet.store(newSink != nullptr, std::memory_order_release);
  publish(XCS_LISTENING_TRACE, newSink != nullptr || output() != nullptr);
}

void xcsSetPointerCheck(xcsPointerCheck newCheck, void *context) {
  pointerCheck.set(newCheck, context);
  publish(XCS_LISTENING_CHECK, newCheck != nullptr);
}

void xcsSetAllocationCheck(xcsAllocationCheck newCheck, void *context) {
  allocationCheck.set(newCheck, context);
  publish(XCS_LISTENING_ALLOCATION, newCheck != nullptr);
}

}  // extern "C"
