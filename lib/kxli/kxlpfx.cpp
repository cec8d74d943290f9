#include "kxlpfx.hpp"

#include "kxlfld.hpp"

KxlPfx::KxlPfx() : prefix_(nullptr) {}

KxlPfx::~KxlPfx() = default;

void KxlPfx::operator=(const KxlPfx &other) { KxlHdr::operator=(other); }

long KxlPfx::characterSet() const { return prefix_->characterSet; }

long KxlPfx::encoding() const { return prefix_->encoding; }

KxlStr KxlPfx::format() const {
  return kxlFieldText(prefix_->format, sizeof prefix_->format, false);
}

long KxlPfx::headerFlags() const { return prefix_->headerFlags; }

void KxlPfx::setCharacterSet(long characterSet) {
  prefix_->characterSet = static_cast<std::int32_t>(characterSet);
}

void KxlPfx::setEncoding(long encoding) { prefix_->encoding = static_cast<std::int32_t>(encoding); }

void KxlPfx::setFormat(const char *name) {
  kxlSetFieldText(prefix_->format, sizeof prefix_->format, name, ' ');
}

void KxlPfx::setHeaderFlags(long flags) { prefix_->headerFlags = static_cast<std::int32_t>(flags); }
