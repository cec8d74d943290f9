#include "kxloih.hpp"

#include <cstring>

#include "kxlfld.hpp"
#include "kxlscope.hpp"

KxlOih::KxlOih() {
  usePrefix(&record_.prefix, typeid(KxlOih), "OIH ", 1, sizeof record_, 0);
  kxlFill(record_.logicalTerminalOverride, ' ');
  kxlFill(record_.messageFormatServicesMapName, ' ');
  kxlFill(record_.replyToFormat, ' ');
  kxlFill(record_.authenticator, ' ');
  kxlFill(record_.transactionInstanceId, '\0');
  kxlSetChars(record_.trailing, " 0C ");
}

KxlOih::KxlOih(const KxlOih &other) : KxlOih() { *this = other; }

KxlOih::~KxlOih() = default;

void KxlOih::operator=(const KxlOih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  record_ = other.record_;
}

bool KxlOih::copyOut(KxlMsg &message) {
  return writeHeader(message, &record_, sizeof record_, "KXOXT   ");
}

bool KxlOih::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, kKxlFnOxtPasteIn);
  static const Layout layout = {"KxlOXTBridgeHeader", "OIH ", "KXOXT   ", kKxlFnOxtPasteIn};
  return readHeader(message, layout, &record_, sizeof record_);
}

KxlStr KxlOih::logicalTerminalOverride() const {
  return kxlGetText(record_.logicalTerminalOverride, true);
}

KxlStr KxlOih::messageFormatServicesMapName() const {
  return kxlGetText(record_.messageFormatServicesMapName, true);
}

void KxlOih::setLogicalTerminalOverride(const char *name) {
  kxlSetText(record_.logicalTerminalOverride, name, '\0');
}

void KxlOih::setMessageFormatServicesMapName(const char *name) {
  kxlSetText(record_.messageFormatServicesMapName, name, '\0');
}

KxlStr KxlOih::replyToFormat() const { return kxlGetText(record_.replyToFormat, false); }

void KxlOih::setReplyToFormat(const char *format) {
  kxlSetText(record_.replyToFormat, format, ' ');
}

KxlStr KxlOih::authenticator() const { return kxlGetText(record_.authenticator, false); }

void KxlOih::setAuthenticator(const char *authenticator) {
  kxlSetText(record_.authenticator, authenticator, '\0');
}

KxlBin KxlOih::transactionInstanceId() const { return kxlGetBytes(record_.transactionInstanceId); }

bool KxlOih::setTransactionInstanceId(const KxlBin &id) {
  KxlTraceScope scope(*this, kKxlFnOxtSetTransactionInstanceId);
  if (kxlSetBytes(record_.transactionInstanceId, id)) {
    return true;
  }
  return fail(kKxlFnOxtSetTransactionInstanceId,
              "KxlOXTBridgeHeader::setTransactionInstanceId (error): binary data length error",
              KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlOih::setTransactionInstanceId(const unsigned char *id) {
  kxlSetBytes(record_.transactionInstanceId, id);
}
