// KxlTrc is the library's door to the common-services layer: diagnostic
// texts go out through traceMessage, and callers' pointers are checked
// through checkReadPointer and checkWritePointer. It has no state; any
// thread may call it at any time.
#ifndef KXLI_KXLTRC_HPP_
#define KXLI_KXLTRC_HPP_

#include <cstddef>

#include "kxlexp.hpp"

class KXL_EXPORT KxlTrc {
 public:
  KxlTrc() = delete;

  // Kept for callers of the interface; they have no effect.
  static void traceEntry(unsigned int component, unsigned int function);
  static void traceExit(unsigned int component, unsigned int function, unsigned int value);

  // Sends `text` as a trace record of `component` and `function`.
  static void traceMessage(unsigned short component, unsigned short function, const char *text);

  // True when `length` bytes at `pointer` may be read (written).
  static bool checkReadPointer(const void *pointer, std::size_t length);
  static bool checkWritePointer(const void *pointer, std::size_t length);
};

#endif  // KXLI_KXLTRC_HPP_
