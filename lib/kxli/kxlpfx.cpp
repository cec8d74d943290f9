#include "kxlpfx.hpp"

#include "kxlfld.hpp"

KxlPfx::KxlPfx() : prefix_(nullptr) {}

KxlPfx::~KxlPfx() = default;

void KxlPfx::usePrefix(KXHDRPREFIX *prefix, const std::type_info &owner,
                       const char (&structureId)[5], std::int32_t version,
                       std::int32_t structureLength, std::int32_t headerFlags) {
  prefix_ = prefix;
  useFormatField(prefix->format, owner);
  kxlSetChars(prefix->structureId, structureId);
  prefix->version = version;
  prefix->structureLength = structureLength;
  kxlSetInt32(prefix->encoding, kKxlNativeEncoding);
  prefix->characterSet = 0;
  kxlFill(prefix->format, ' ');
  prefix->headerFlags = headerFlags;
}

void KxlPfx::operator=(const KxlPfx &other) { KxlHdr::operator=(other); }

long KxlPfx::characterSet() const { return prefix_->characterSet; }

long KxlPfx::encoding() const { return prefix_->encoding; }

KxlStr KxlPfx::format() const { return kxlGetText(prefix_->format, false); }

long KxlPfx::headerFlags() const { return prefix_->headerFlags; }

void KxlPfx::setCharacterSet(long characterSet) {
  kxlSetInt32(prefix_->characterSet, characterSet);
}

void KxlPfx::setEncoding(long encoding) { kxlSetInt32(prefix_->encoding, encoding); }

void KxlPfx::setFormat(const char *name) { kxlSetText(prefix_->format, name, ' '); }

void KxlPfx::setHeaderFlags(long flags) { kxlSetInt32(prefix_->headerFlags, flags); }
