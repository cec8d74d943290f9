// KxlTraceScope traces the entry and every exit of an operation (internal
// to kxli). Construct it first thing in the operation; when it goes out of
// scope it reports the owner's reason code at that moment as the exit value.
#ifndef KXLI_KXLSCOPE_HPP_
#define KXLI_KXLSCOPE_HPP_

#include "kxecs.h"
#include "kxlerr.hpp"

// The component number of every trace record kxli makes.
inline constexpr unsigned short kKxlComponent = 31;

class KxlTraceScope {
 public:
  KxlTraceScope(const KxlErr &owner, unsigned short function) : owner_(owner), function_(function) {
    xcsCPInitTerm_e(4);
    xtr_fnc_entryFn_e(kKxlComponent, function_, 0);
  }
  ~KxlTraceScope() {
    xtr_fnc_retcodeFn_e(kKxlComponent, function_, static_cast<int32_t>(owner_.reasonCode()));
  }
  KxlTraceScope(const KxlTraceScope &) = delete;
  KxlTraceScope &operator=(const KxlTraceScope &) = delete;

 private:
  const KxlErr &owner_;
  unsigned short function_;
};

#endif  // KXLI_KXLSCOPE_HPP_
