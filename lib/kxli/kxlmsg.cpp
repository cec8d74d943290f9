#include "kxlmsg.hpp"

#include <atomic>
#include <cstring>

#include "kxlfld.hpp"

namespace {

// The version every message constructed from now on writes into its
// descriptor. Any thread may set it while others construct messages.
std::atomic<std::int32_t> versionSupported{2};

}  // namespace

KxlMsg::KxlMsg() : reserved_(0) {
  trackInto(descriptor_.accountingToken, descriptor_.correlationId, &descriptor_.feedback,
            descriptor_.groupId, descriptor_.messageId);
  std::memset(&descriptor_, 0, sizeof descriptor_);
  kxlSetChars(descriptor_.structureId, "MD  ");
  descriptor_.field12 = 8;
  descriptor_.field16 = -1;
  descriptor_.encoding = kKxlNativeEncoding;
  kxlFill(descriptor_.format, ' ');
  descriptor_.field40 = -1;
  descriptor_.field44 = 2;
  descriptor_.field348 = 1;
  descriptor_.field360 = -1;
  descriptor_.version = versionSupported.load();
}

KxlMsg::KxlMsg(const KxlMsg &source) : KxlMsg() { operator=(source); }

KxlMsg::~KxlMsg() {
  // The tracker's values are descriptor fields: nothing for it to release.
  trackInto(nullptr, nullptr, nullptr, nullptr, nullptr);
}

void KxlMsg::operator=(const KxlMsg &source) {
  if (&source == this) return;
  // The codes end as the most severe of the source's and those raised while
  // copying the parts, the earliest winning between equals: each part's
  // assignment starts by taking the source's codes, which would otherwise
  // hide a truncation warning of the part before.
  long completion = source.completionCode();
  long reason = source.reasonCode();
  KxlCac::operator=(source);
  if (completionCode() > completion) {
    completion = completionCode();
    reason = reasonCode();
  }
  KxlMtr::operator=(source);
  if (completionCode() > completion) {
    completion = completionCode();
    reason = reasonCode();
  }
  setErrorCodes(completion, reason);
  std::memcpy(&descriptor_, &source.descriptor_, sizeof descriptor_);
  reserved_ = source.reserved_;
}

void KxlMsg::setVersionSupported(long version) {
  versionSupported.store(static_cast<std::int32_t>(version));
}

KxlStr KxlMsg::format() const { return kxlGetText(descriptor_.format, false); }

bool KxlMsg::formatIs(const char *name) const {
  return name != nullptr && std::memcmp(name, descriptor_.format, sizeof descriptor_.format) == 0;
}

void KxlMsg::setFormat(const char *name) { kxlSetText(descriptor_.format, name, ' '); }

bool KxlMsg::readItem(KxlItm &item) {
  const bool read = item.pasteIn(*this);
  takeErrorCodes(item);
  return read;
}

bool KxlMsg::writeItem(KxlItm &item) {
  const bool written = item.copyOut(*this);
  takeErrorCodes(item);
  return written;
}

KxlStr KxlMsg::applicationIdData() const { return kxlGetText(descriptor_.applicationIdData, true); }

KxlStr KxlMsg::applicationOriginData() const {
  return kxlGetText(descriptor_.applicationOriginData, true);
}

KxlStr KxlMsg::putApplicationName() const {
  return kxlGetText(descriptor_.putApplicationName, true);
}

KxlStr KxlMsg::putDate() const { return kxlGetText(descriptor_.putDate, true); }

KxlStr KxlMsg::putTime() const { return kxlGetText(descriptor_.putTime, true); }

KxlStr KxlMsg::replyToQueueManagerName() const {
  return kxlGetText(descriptor_.replyToQueueManagerName, true);
}

KxlStr KxlMsg::replyToQueueName() const { return kxlGetText(descriptor_.replyToQueueName, true); }

KxlStr KxlMsg::userId() const { return kxlGetText(descriptor_.userId, true); }

void KxlMsg::setApplicationIdData(const char *text) {
  kxlSetText(descriptor_.applicationIdData, text, '\0');
}

void KxlMsg::setApplicationOriginData(const char *text) {
  kxlSetText(descriptor_.applicationOriginData, text, '\0');
}

void KxlMsg::setPutApplicationName(const char *text) {
  kxlSetText(descriptor_.putApplicationName, text, '\0');
}

void KxlMsg::setPutDate(const char *text) { kxlSetText(descriptor_.putDate, text, '\0'); }

void KxlMsg::setPutTime(const char *text) { kxlSetText(descriptor_.putTime, text, '\0'); }

void KxlMsg::setReplyToQueueManagerName(const char *text) {
  kxlSetText(descriptor_.replyToQueueManagerName, text, '\0');
}

void KxlMsg::setReplyToQueueName(const char *text) {
  kxlSetText(descriptor_.replyToQueueName, text, '\0');
}

void KxlMsg::setUserId(const char *text) { kxlSetText(descriptor_.userId, text, '\0'); }

long KxlMsg::encoding() const { return descriptor_.encoding; }

void KxlMsg::setEncoding(long encoding) { kxlSetInt32(descriptor_.encoding, encoding); }

long KxlMsg::characterSet() const { return descriptor_.characterSet; }

void KxlMsg::setCharacterSet(long characterSet) {
  kxlSetInt32(descriptor_.characterSet, characterSet);
}

long KxlMsg::version() const { return descriptor_.version; }
