// KxlTraceScope traces the entry and every exit of an operation (internal
// to kxli). Construct it first thing in the operation; when it goes out of
// scope it reports the owner's reason code at that moment as the exit value.
//
// Also here: the questions kxli asks the common-services layer before
// tracing or checking a pointer (an inline load, no call), so that work
// nobody would see is skipped.
// Whenever a sink, the trace output or a pointer check is active, every
// record and every check is made exactly as without them.
#ifndef KXLI_KXLSCOPE_HPP_
#define KXLI_KXLSCOPE_HPP_

#include <cstddef>
#include <cstdint>

#include "kxecs.h"
#include "kxlerr.hpp"

// True when a trace record or a pointer check made now could be seen: a
// trace sink, the trace output or a pointer check is installed. (An
// allocation check sees nothing of what kxli does.)
inline bool kxlSomeoneListens() {
  return (xcsListeningNow() & (XCS_LISTENING_TRACE | XCS_LISTENING_CHECK)) != 0;
}

// True when a trace record made now would reach a sink or the trace output;
// otherwise the trace calls would have no effect.
inline bool kxlTraceListening() { return (xcsListeningNow() & XCS_LISTENING_TRACE) != 0; }

// The facade's pointer check: the stage-1 record, then the common-services
// check of `length` bytes at `pointer` in `mode` (1 read, 2 write). With no
// pointer check installed, that check is the null and wrap-around test
// alone, and is made here without calling it.
inline bool kxlPointerAcceptable(const void *pointer, std::size_t length, std::uint16_t mode) {
  const unsigned int listening = xcsListeningNow();
  if ((listening & XCS_LISTENING_TRACE) != 0) xcsCPInitTerm_e(kKxlStageFacade);
  if ((listening & XCS_LISTENING_CHECK) != 0) return xcsCheckPointer_e(pointer, length, mode) == 0;
  return xcsRangeAddressable(pointer, length) != 0;
}

class KxlTraceScope {
 public:
  // Whether anyone listens is decided here, once, so that the exit record
  // goes out exactly when the entry record did.
  KxlTraceScope(const KxlErr &owner, unsigned short function)
      : owner_(owner), function_(function), listening_(kxlTraceListening()) {
    if (!listening_) return;
    xcsCPInitTerm_e(kKxlStageTraced);
    xtr_fnc_entryFn_e(kKxlComponent, function_, 0);
  }
  ~KxlTraceScope() {
    if (!listening_) return;
    xtr_fnc_retcodeFn_e(kKxlComponent, function_, static_cast<int32_t>(owner_.reasonCode()));
  }
  KxlTraceScope(const KxlTraceScope &) = delete;
  KxlTraceScope &operator=(const KxlTraceScope &) = delete;

 private:
  const KxlErr &owner_;
  unsigned short function_;
  bool listening_;
};

#endif  // KXLI_KXLSCOPE_HPP_
