#include "kxldlh.hpp"

#include <cstring>

#include "kxlfld.hpp"
#include "kxlscope.hpp"

KxlDlh::KxlDlh() : headerFlags_(0) {
  useFormatField(record_.format, typeid(KxlDlh));
  // Unset text fields are wholly null bytes, so a header that was never
  // filled writes no stray bytes.
  std::memset(&record_, 0, sizeof record_);
  std::memcpy(record_.structureId, "DLH ", sizeof record_.structureId);
  record_.version = 1;
  record_.encoding = 546;
  std::memset(record_.format, ' ', sizeof record_.format);
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
  KxlTraceScope scope(*this, 10);
  static const Layout layout = {"KxlDeadLetterHeader", "DLH ", "KXDEAD  ", 10};
  return readHeader(message, layout, &record_, sizeof record_);
}

long KxlDlh::characterSet() const { return record_.characterSet; }

long KxlDlh::encoding() const { return record_.encoding; }

KxlStr KxlDlh::format() const { return kxlFieldText(record_.format, sizeof record_.format, false); }

long KxlDlh::headerFlags() const { return headerFlags_; }

void KxlDlh::setCharacterSet(long characterSet) {
  record_.characterSet = static_cast<std::int32_t>(characterSet);
}

void KxlDlh::setEncoding(long encoding) { record_.encoding = static_cast<std::int32_t>(encoding); }

void KxlDlh::setFormat(const char *name) {
  kxlSetFieldText(record_.format, sizeof record_.format, name, ' ');
}

void KxlDlh::setHeaderFlags(long flags) { headerFlags_ = static_cast<std::int32_t>(flags); }

KxlStr KxlDlh::destinationQueueName() const {
  return kxlFieldText(record_.destinationQueueName, sizeof record_.destinationQueueName, true);
}

KxlStr KxlDlh::destinationQueueManagerName() const {
  return kxlFieldText(record_.destinationQueueManagerName,
                      sizeof record_.destinationQueueManagerName, true);
}

KxlStr KxlDlh::putApplicationName() const {
  return kxlFieldText(record_.putApplicationName, sizeof record_.putApplicationName, true);
}

KxlStr KxlDlh::putDate() const {
  return kxlFieldText(record_.putDate, sizeof record_.putDate, true);
}

KxlStr KxlDlh::putTime() const {
  return kxlFieldText(record_.putTime, sizeof record_.putTime, true);
}

void KxlDlh::setDestinationQueueName(const char *name) {
  kxlSetFieldText(record_.destinationQueueName, sizeof record_.destinationQueueName, name, '\0');
}

void KxlDlh::setDestinationQueueManagerName(const char *name) {
  kxlSetFieldText(record_.destinationQueueManagerName, sizeof record_.destinationQueueManagerName,
                  name, '\0');
}

void KxlDlh::setPutApplicationName(const char *name) {
  kxlSetFieldText(record_.putApplicationName, sizeof record_.putApplicationName, name, '\0');
}

void KxlDlh::setPutDate(const char *date) {
  kxlSetFieldText(record_.putDate, sizeof record_.putDate, date, '\0');
}

void KxlDlh::setPutTime(const char *time) {
  kxlSetFieldText(record_.putTime, sizeof record_.putTime, time, '\0');
}
