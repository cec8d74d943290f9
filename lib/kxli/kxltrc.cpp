#include "kxltrc.hpp"

#include "kxecs.h"
#include "kxlscope.hpp"

namespace {

constexpr uint16_t kReadMode = 1;
constexpr uint16_t kWriteMode = 2;

}  // namespace

void KxlTrc::traceEntry(unsigned int, unsigned int) {}

void KxlTrc::traceExit(unsigned int, unsigned int, unsigned int) {}

void KxlTrc::traceMessage(unsigned short component, unsigned short function, const char *text) {
  if (!kxlTraceListening()) return;
  xcsCPInitTerm_e(kKxlStageFacade);
  xtr_printfFn_e(component, function, 0, text);
}

bool KxlTrc::checkReadPointer(const void *pointer, std::size_t length) {
  return kxlPointerAcceptable(pointer, length, kReadMode);
}

bool KxlTrc::checkWritePointer(const void *pointer, std::size_t length) {
  return kxlPointerAcceptable(pointer, length, kWriteMode);
}
