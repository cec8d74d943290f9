#include "kxlwih.hpp"

#include <cstring>

#include "kxlfld.hpp"

KxlWih::KxlWih() {
  usePrefix(&record_.prefix, typeid(KxlWih), "WIH ", 1, sizeof record_, 0);
  kxlFill(record_.serviceName, ' ');
  kxlFill(record_.serviceStep, ' ');
  kxlFill(record_.messageToken, '\0');
  kxlFill(record_.reserved, '\0');
}

KxlWih::KxlWih(const KxlWih &other) : KxlWih() { *this = other; }

KxlWih::~KxlWih() = default;

void KxlWih::operator=(const KxlWih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  record_ = other.record_;
}

bool KxlWih::copyOut(KxlMsg &message) {
  return writeHeader(message, &record_, sizeof record_, "KXHWIH  ");
}

bool KxlWih::pasteIn(KxlMsg &message) {
  static const Layout layout = {"KxlWorkHeader", "WIH ", "KXHWIH  ", kKxlFnWorkPasteIn};
  return readHeader(message, layout, &record_, sizeof record_);
}

KxlStr KxlWih::serviceName() const { return kxlGetText(record_.serviceName, false); }

void KxlWih::setServiceName(const char *name) { kxlSetText(record_.serviceName, name, ' '); }

KxlStr KxlWih::serviceStep() const { return kxlGetText(record_.serviceStep, false); }

void KxlWih::setServiceStep(const char *step) { kxlSetText(record_.serviceStep, step, ' '); }

KxlBin KxlWih::messageToken() const { return kxlGetBytes(record_.messageToken); }

bool KxlWih::setMessageToken(const KxlBin &token) {
  if (kxlSetBytes(record_.messageToken, token)) return true;
  // The text is joined from its pieces when the failure happens.
  const KxlStr text =
      KxlStr("KxlWorkHeader::") + "setMessageToken " + "(error): binary data length error" + "\n";
  return fail(kKxlFnWorkSetMessageToken, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlWih::setMessageToken(const unsigned char *token) {
  kxlSetBytes(record_.messageToken, token);
}
