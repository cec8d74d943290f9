#include "kxlerr.hpp"

#include <new>

#include "kxlscope.hpp"
#include "kxltrc.hpp"

KxlErr::KxlErr() : completionCode_(KXCC_OK), reasonCode_(KXRC_NONE) {}

KxlErr::KxlErr(const KxlErr &other)
    : completionCode_(other.completionCode_), reasonCode_(other.reasonCode_) {}

KxlErr::~KxlErr() = default;

void KxlErr::operator=(const KxlErr &other) {
  if (&other == this) return;
  completionCode_ = other.completionCode_;
  reasonCode_ = other.reasonCode_;
}

void KxlErr::clearErrorCodes() { setErrorCodes(KXCC_OK, KXRC_NONE); }

void *KxlErr::operator new(std::size_t size) { return ::operator new(size); }

void *KxlErr::operator new[](std::size_t size) { return ::operator new(size); }

void KxlErr::operator delete(void *pointer) { ::operator delete(pointer); }

void KxlErr::operator delete[](void *pointer) { ::operator delete(pointer); }

// The checks of KxlTrc::checkReadPointer and checkWritePointer, made inline:
// they run for every buffer operation.
bool KxlErr::checkReadPointer(const void *pointer, std::size_t length) {
  if (kxlPointerAcceptable(pointer, length, 1)) return true;
  return fail(kKxlFnErrorCheckReadPointer, "KxlError::checkReadPointer (error): buffer error",
              KXRC_BUFFER_ERROR);
}

bool KxlErr::checkWritePointer(const void *pointer, std::size_t length) {
  if (kxlPointerAcceptable(pointer, length, 2)) return true;
  return fail(kKxlFnErrorCheckWritePointer, "KxlError::checkWritePointer (error): buffer error",
              KXRC_BUFFER_ERROR);
}

void KxlErr::setErrorCodes(long completion, long reason) {
  completionCode_ = static_cast<std::int32_t>(completion);
  reasonCode_ = static_cast<std::int32_t>(reason);
}

void KxlErr::takeErrorCodes(const KxlErr &other) {
  setErrorCodes(other.completionCode_, other.reasonCode_);
}

bool KxlErr::fail(unsigned short function, const char *text, long reason) {
  if (text != nullptr) KxlTrc::traceMessage(kKxlComponent, function, text);
  return fail(reason);
}

bool KxlErr::fail(long reason) {
  setErrorCodes(KXCC_FAILED, reason);
  return false;
}

void KxlErr::warn(unsigned short function, const char *text, long reason) {
  if (text != nullptr) KxlTrc::traceMessage(kKxlComponent, function, text);
  setErrorCodes(KXCC_WARNING, reason);
}
