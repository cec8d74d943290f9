#include "kxlwih.hpp"

#include <cstring>

#include "kxlfld.hpp"

KxlWih::KxlWih() {
  usePrefix(&record_.prefix, typeid(KxlWih));
  std::memcpy(record_.prefix.structureId, "WIH ", sizeof record_.prefix.structureId);
  record_.prefix.version = 1;
  record_.prefix.structureLength = sizeof record_;
  record_.prefix.encoding = 546;
  record_.prefix.characterSet = 0;
  std::memset(record_.prefix.format, ' ', sizeof record_.prefix.format);
  record_.prefix.headerFlags = 0;
  std::memset(record_.serviceName, ' ', sizeof record_.serviceName);
  std::memset(record_.serviceStep, ' ', sizeof record_.serviceStep);
  std::memset(record_.messageToken, 0, sizeof record_.messageToken);
  std::memset(record_.reserved, 0, sizeof record_.reserved);
}

KxlWih::KxlWih(const KxlWih &other) : KxlWih() { *this = other; }

KxlWih::~KxlWih() = default;

void KxlWih::operator=(const KxlWih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  std::memcpy(&record_, &other.record_, sizeof record_);
}

bool KxlWih::copyOut(KxlMsg &message) {
  return writeHeader(message, &record_, sizeof record_, "KXHWIH  ");
}

bool KxlWih::pasteIn(KxlMsg &message) {
  static const Layout layout = {"KxlWorkHeader", "WIH ", "KXHWIH  ", 77};
  return readHeader(message, layout, &record_, sizeof record_);
}

KxlStr KxlWih::serviceName() const {
  return kxlFieldText(record_.serviceName, sizeof record_.serviceName, false);
}

void KxlWih::setServiceName(const char *name) {
  kxlSetFieldText(record_.serviceName, sizeof record_.serviceName, name, ' ');
}

KxlStr KxlWih::serviceStep() const {
  return kxlFieldText(record_.serviceStep, sizeof record_.serviceStep, false);
}

void KxlWih::setServiceStep(const char *step) {
  kxlSetFieldText(record_.serviceStep, sizeof record_.serviceStep, step, ' ');
}

KxlBin KxlWih::messageToken() const {
  return kxlFieldBytes(record_.messageToken, sizeof record_.messageToken);
}

bool KxlWih::setMessageToken(const KxlBin &token) {
  if (kxlSetFieldBytes(record_.messageToken, sizeof record_.messageToken, token)) return true;
  // The text is joined from its pieces when the failure happens.
  const KxlStr text =
      KxlStr("KxlWorkHeader::") + "setMessageToken " + "(error): binary data length error" + "\n";
  return fail(78, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlWih::setMessageToken(const unsigned char *token) {
  kxlSetFieldBytes(record_.messageToken, sizeof record_.messageToken, token);
}
