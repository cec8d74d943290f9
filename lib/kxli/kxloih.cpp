#include "kxloih.hpp"

#include <cstring>

#include "kxlfld.hpp"
#include "kxlscope.hpp"

KxlOih::KxlOih() {
  usePrefix(&record_.prefix, typeid(KxlOih));
  std::memcpy(record_.prefix.structureId, "OIH ", sizeof record_.prefix.structureId);
  record_.prefix.version = 1;
  record_.prefix.structureLength = sizeof record_;
  record_.prefix.encoding = 546;
  record_.prefix.characterSet = 0;
  std::memset(record_.prefix.format, ' ', sizeof record_.prefix.format);
  record_.prefix.headerFlags = 0;
  std::memset(record_.logicalTerminalOverride, ' ', sizeof record_.logicalTerminalOverride);
  std::memset(record_.messageFormatServicesMapName, ' ',
              sizeof record_.messageFormatServicesMapName);
  std::memset(record_.replyToFormat, ' ', sizeof record_.replyToFormat);
  std::memset(record_.authenticator, ' ', sizeof record_.authenticator);
  std::memset(record_.transactionInstanceId, 0, sizeof record_.transactionInstanceId);
  std::memcpy(record_.trailing, " 0C ", sizeof record_.trailing);
}

KxlOih::KxlOih(const KxlOih &other) : KxlOih() { *this = other; }

KxlOih::~KxlOih() = default;

void KxlOih::operator=(const KxlOih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  std::memcpy(&record_, &other.record_, sizeof record_);
}

bool KxlOih::copyOut(KxlMsg &message) {
  return writeHeader(message, &record_, sizeof record_, "KXOXT   ");
}

bool KxlOih::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, 65);
  static const Layout layout = {"KxlOXTBridgeHeader", "OIH ", "KXOXT   ", 65};
  return readHeader(message, layout, &record_, sizeof record_);
}

KxlStr KxlOih::logicalTerminalOverride() const {
  return kxlFieldText(record_.logicalTerminalOverride, sizeof record_.logicalTerminalOverride,
                      true);
}

KxlStr KxlOih::messageFormatServicesMapName() const {
  return kxlFieldText(record_.messageFormatServicesMapName,
                      sizeof record_.messageFormatServicesMapName, true);
}

void KxlOih::setLogicalTerminalOverride(const char *name) {
  kxlSetFieldText(record_.logicalTerminalOverride, sizeof record_.logicalTerminalOverride, name,
                  '\0');
}

void KxlOih::setMessageFormatServicesMapName(const char *name) {
  kxlSetFieldText(record_.messageFormatServicesMapName, sizeof record_.messageFormatServicesMapName,
                  name, '\0');
}

KxlStr KxlOih::replyToFormat() const {
  return kxlFieldText(record_.replyToFormat, sizeof record_.replyToFormat, false);
}

void KxlOih::setReplyToFormat(const char *format) {
  kxlSetFieldText(record_.replyToFormat, sizeof record_.replyToFormat, format, ' ');
}

KxlStr KxlOih::authenticator() const {
  return kxlFieldText(record_.authenticator, sizeof record_.authenticator, false);
}

void KxlOih::setAuthenticator(const char *authenticator) {
  kxlSetFieldText(record_.authenticator, sizeof record_.authenticator, authenticator, '\0');
}

KxlBin KxlOih::transactionInstanceId() const {
  return kxlFieldBytes(record_.transactionInstanceId, sizeof record_.transactionInstanceId);
}

bool KxlOih::setTransactionInstanceId(const KxlBin &id) {
  KxlTraceScope scope(*this, 66);
  if (kxlSetFieldBytes(record_.transactionInstanceId, sizeof record_.transactionInstanceId, id)) {
    return true;
  }
  return fail(66, "KxlOXTBridgeHeader::setTransactionInstanceId (error): binary data length error",
              KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlOih::setTransactionInstanceId(const unsigned char *id) {
  kxlSetFieldBytes(record_.transactionInstanceId, sizeof record_.transactionInstanceId, id);
}
