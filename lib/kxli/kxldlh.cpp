#include "kxldlh.hpp"

#include <cstring>

#include "kxlfld.hpp"
#include "kxlscope.hpp"

KxlDlh::KxlDlh() : headerFlags_(0) {
  useFormatField(record_.format, typeid(KxlDlh));
  // Unset text fields are wholly null bytes, so a header that was never
  // filled writes no stray bytes.
  std::memset(&record_, 0, sizeof record_);
  kxlSetChars(record_.structureId, "DLH ");
  record_.version = 1;
  kxlSetInt32(record_.encoding, kKxlNativeEncoding);
  kxlFill(record_.format, ' ');
}

KxlDlh::KxlDlh(const KxlDlh &other) : KxlDlh() { *this = other; }

KxlDlh::~KxlDlh() = default;

void KxlDlh::operator=(const KxlDlh &other) {
  if (&other == this) return;
  KxlHdr::operator=(other);
  std::memcpy(&record_, &other.record_, sizeof record_);
  setHeaderFlags(other.headerFlags());
}

bool KxlDlh::copyOut(KxlMsg &message) {
  return writeHeader(message, &record_, sizeof record_, "KXDEAD  ");
}

bool KxlDlh::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, kKxlFnDeadLetterPasteIn);
  static const Layout layout = {"KxlDeadLetterHeader", "DLH ", "KXDEAD  ", kKxlFnDeadLetterPasteIn};
  return readHeader(message, layout, &record_, sizeof record_);
}

long KxlDlh::characterSet() const { return record_.characterSet; }

long KxlDlh::encoding() const { return record_.encoding; }

KxlStr KxlDlh::format() const { return kxlGetText(record_.format, false); }

long KxlDlh::headerFlags() const { return headerFlags_; }

void KxlDlh::setCharacterSet(long characterSet) { kxlSetInt32(record_.characterSet, characterSet); }

void KxlDlh::setEncoding(long encoding) { kxlSetInt32(record_.encoding, encoding); }

void KxlDlh::setFormat(const char *name) { kxlSetText(record_.format, name, ' '); }

void KxlDlh::setHeaderFlags(long flags) { kxlSetInt32(headerFlags_, flags); }

KxlStr KxlDlh::destinationQueueName() const {
  return kxlGetText(record_.destinationQueueName, true);
}

KxlStr KxlDlh::destinationQueueManagerName() const {
  return kxlGetText(record_.destinationQueueManagerName, true);
}

KxlStr KxlDlh::putApplicationName() const { return kxlGetText(record_.putApplicationName, true); }

KxlStr KxlDlh::putDate() const { return kxlGetText(record_.putDate, true); }

KxlStr KxlDlh::putTime() const { return kxlGetText(record_.putTime, true); }

void KxlDlh::setDestinationQueueName(const char *name) {
  kxlSetText(record_.destinationQueueName, name, '\0');
}

void KxlDlh::setDestinationQueueManagerName(const char *name) {
  kxlSetText(record_.destinationQueueManagerName, name, '\0');
}

void KxlDlh::setPutApplicationName(const char *name) {
  kxlSetText(record_.putApplicationName, name, '\0');
}

void KxlDlh::setPutDate(const char *date) { kxlSetText(record_.putDate, date, '\0'); }

void KxlDlh::setPutTime(const char *time) { kxlSetText(record_.putTime, time, '\0'); }
