#include "kxlchl.hpp"

#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <memory>

#include "kxlfld.hpp"

// Where one side's exit count and its two slot arrays live in the record.
struct KxlChl::Side {
  std::int32_t tagKXCD::*count;
  char *tagKXCD::*exitNames;
  char *tagKXCD::*userData;
};

const KxlChl::Side KxlChl::kSend = {&tagKXCD::sendExitCount, &tagKXCD::sendExitNames,
                                    &tagKXCD::sendUserData};
const KxlChl::Side KxlChl::kReceive = {&tagKXCD::receiveExitCount, &tagKXCD::receiveExitNames,
                                       &tagKXCD::receiveUserData};

// A caller's list, given as plain texts or as strings. A null string is an
// entry with no text.
class KxlChl::Entries {
 public:
  explicit Entries(const char **texts) : texts_(texts), strings_(nullptr) {}
  explicit Entries(const KxlStr **strings) : texts_(nullptr), strings_(strings) {}

  bool isNull() const { return texts_ == nullptr && strings_ == nullptr; }
  // REQUIRES: !isNull().
  bool entryIsNull(std::size_t i) const {
    return texts_ != nullptr ? texts_[i] == nullptr : strings_[i] == nullptr;
  }
  // The text of entry i; null for a null list, a null entry or a null string.
  const char *text(std::size_t i) const {
    if (isNull() || entryIsNull(i)) return nullptr;
    return texts_ != nullptr ? texts_[i] : static_cast<const char *>(*strings_[i]);
  }

 private:
  const char **texts_;
  const KxlStr **strings_;
};

namespace {

// The count fields are 32-bit: more exits cannot be recorded.
constexpr std::size_t kMaxExitCount = std::numeric_limits<std::int32_t>::max();

constexpr std::int32_t kEmptyCompressionSlot = -1;

// A record length field as a size; a negative one gives no room.
std::size_t fieldSize(std::int32_t field) {
  return field < 0 ? 0 : static_cast<std::size_t>(field);
}

std::size_t leadingCount(const std::int32_t *slots, std::size_t slotCount) {
  std::size_t count = 0;
  while (count < slotCount && slots[count] != kEmptyCompressionSlot) ++count;
  return count;
}

void copyValues(std::int32_t *target, const std::int32_t *source, std::size_t count,
                std::size_t slotCount) {
  if (target == nullptr || source == nullptr) return;
  const std::size_t n = count < slotCount ? count : slotCount;
  if (n > 0) std::memcpy(target, source, n * sizeof(std::int32_t));
}

// A new zero-filled array of `size` bytes; released by delete[].
std::unique_ptr<char[]> newArray(std::size_t size) {
  return std::unique_ptr<char[]>(new char[size]());
}

std::unique_ptr<char[]> duplicate(const char *bytes, std::size_t size) {
  std::unique_ptr<char[]> copy(new char[size]);
  if (size > 0) std::memcpy(copy.get(), bytes, size);
  return copy;
}

}  // namespace

KxlChl::KxlChl() : record_(std::make_unique<tagKXCD>()) {
  record_->field20 = 8;
  record_->field24 = 1;
  record_->transportType = 1;
  record_->field304 = 50;
  record_->field308 = 6000;
  record_->field312 = 10;
  record_->field316 = 60;
  record_->field320 = 999999999;
  record_->field324 = 1200;
  record_->field840 = 999999999;
  record_->maximumMessageLength = 4194304;
  record_->field848 = 1;
  record_->field1020 = 1;
  record_->field1472 = 10;
  record_->field1476 = 1000;
  record_->heartBeatInterval = 300;
  record_->field1488 = 2;
  record_->recordLength = sizeof(tagKXCD);
  record_->exitNameLength = 128;
  record_->userDataLength = 32;
  record_->keepAliveInterval = -1;
  for (std::int32_t &slot : record_->headerCompression) slot = kEmptyCompressionSlot;
  for (std::int32_t &slot : record_->messageCompression) slot = kEmptyCompressionSlot;
  record_->field1872 = 50;
}

KxlChl::KxlChl(const KxlChl &other) : KxlChl() { *this = other; }

KxlChl::~KxlChl() {
  release(kReceive);
  release(kSend);
  releasePeerName();
}

void KxlChl::operator=(const KxlChl &other) {
  if (&other == this) return;
  KxlErr::operator=(other);
  release(kReceive);
  release(kSend);
  releasePeerName();
  *record_ = *other.record_;
  // The copied pointers are the source's. Until this channel has its own
  // copies it holds nothing, so an allocation that throws part-way leaves
  // no pointer to the source's storage behind.
  for (const Side *side : {&kReceive, &kSend}) {
    (*record_).*side->count = 0;
    (*record_).*side->exitNames = nullptr;
    (*record_).*side->userData = nullptr;
  }
  record_->sslPeerName = nullptr;
  record_->sslPeerNameLength = 0;
  copySide(kReceive, other);
  copySide(kSend, other);
  const std::size_t peerLength = fieldSize(other.record_->sslPeerNameLength);
  if (peerLength > 0 && other.record_->sslPeerName != nullptr) {
    record_->sslPeerName = duplicate(other.record_->sslPeerName, peerLength).release();
    record_->sslPeerNameLength = other.record_->sslPeerNameLength;
  }
}

// Integer fields.

long KxlChl::batchHeartBeat() const { return record_->batchHeartBeat; }

bool KxlChl::setBatchHeartBeat(long value) {
  kxlSetInt32(record_->batchHeartBeat, value);
  return true;
}

long KxlChl::heartBeatInterval() const { return record_->heartBeatInterval; }

bool KxlChl::setHeartBeatInterval(long value) {
  kxlSetInt32(record_->heartBeatInterval, value);
  return true;
}

long KxlChl::keepAliveInterval() const { return record_->keepAliveInterval; }

bool KxlChl::setKeepAliveInterval(long value) {
  kxlSetInt32(record_->keepAliveInterval, value);
  return true;
}

long KxlChl::maximumMessageLength() const { return record_->maximumMessageLength; }

bool KxlChl::setMaximumMessageLength(long value) {
  kxlSetInt32(record_->maximumMessageLength, value);
  return true;
}

long KxlChl::sslClientAuthentication() const { return record_->sslClientAuthentication; }

bool KxlChl::setSslClientAuthentication(long value) {
  kxlSetInt32(record_->sslClientAuthentication, value);
  return true;
}

long KxlChl::transportType() const { return record_->transportType; }

bool KxlChl::setTransportType(long value) {
  kxlSetInt32(record_->transportType, value);
  return true;
}

// Text fields.

bool KxlChl::setText(char *field, std::size_t width, const char *text) {
  return KxlStr::copy(field, width, text, *this, '\0');
}

KxlStr KxlChl::channelName() const { return kxlGetText(record_->channelName, true); }

bool KxlChl::setChannelName(const char *name) { return setText(record_->channelName, name); }

KxlStr KxlChl::connectionName() const { return kxlGetText(record_->connectionName, true); }

bool KxlChl::setConnectionName(const char *name) {
  return setText(record_->shortConnectionName, name) && setText(record_->connectionName, name);
}

KxlStr KxlChl::localAddress() const { return kxlGetText(record_->localAddress, true); }

bool KxlChl::setLocalAddress(const char *address) {
  return setText(record_->localAddress, address);
}

KxlStr KxlChl::modeName() const { return kxlGetText(record_->modeName, true); }

bool KxlChl::setModeName(const char *name) { return setText(record_->modeName, name); }

KxlStr KxlChl::password() const { return kxlGetText(record_->password, true); }

bool KxlChl::setPassword(const char *password) { return setText(record_->password, password); }

KxlStr KxlChl::securityExitName() const { return kxlGetText(record_->securityExitName, true); }

bool KxlChl::setSecurityExitName(const char *name) {
  return setText(record_->securityExitName, name);
}

KxlStr KxlChl::securityUserData() const { return kxlGetText(record_->securityUserData, true); }

bool KxlChl::setSecurityUserData(const char *data) {
  return setText(record_->securityUserData, data);
}

KxlStr KxlChl::sslCipherSpecification() const {
  return kxlGetText(record_->sslCipherSpecification, true);
}

bool KxlChl::setSslCipherSpecification(const char *specification) {
  return setText(record_->sslCipherSpecification, specification);
}

KxlStr KxlChl::transactionProgramName() const {
  return kxlGetText(record_->transactionProgramName, true);
}

bool KxlChl::setTransactionProgramName(const char *name) {
  return setText(record_->transactionProgramName, name);
}

KxlStr KxlChl::userId() const { return kxlGetText(record_->userId, true); }

bool KxlChl::setUserId(const char *id) { return setText(record_->userId, id); }

// SSL peer name.

KxlStr KxlChl::sslPeerName() const {
  return kxlTextAt(record_->sslPeerName, fieldSize(record_->sslPeerNameLength), true);
}

bool KxlChl::setSslPeerName(const char *name) {
  const std::size_t length = name == nullptr ? 0 : std::strlen(name);
  releasePeerName();
  if (length > 0) record_->sslPeerName = new char[length]();
  kxlSetInt32(record_->sslPeerNameLength, length);
  return KxlStr::copy(record_->sslPeerName, length, name, *this, '\0');
}

void KxlChl::releasePeerName() {
  delete[] record_->sslPeerName;
  record_->sslPeerName = nullptr;
  record_->sslPeerNameLength = 0;
}

// Exit lists.

std::size_t KxlChl::sendExitCount() const { return exitCount(kSend); }

KxlStr KxlChl::sendExitName() { return firstSlot(kSend, kSend.exitNames, exitNameWidth()); }

bool KxlChl::sendExitNames(std::size_t count, KxlStr **names) {
  return fillStrings(kSend, kSend.exitNames, exitNameWidth(), count, names);
}

KxlStr KxlChl::sendUserData() { return firstSlot(kSend, kSend.userData, userDataWidth()); }

bool KxlChl::sendUserData(std::size_t count, KxlStr **data) {
  return fillStrings(kSend, kSend.userData, userDataWidth(), count, data);
}

bool KxlChl::setSendExitName(const char *name) {
  if (name == nullptr || *name == '\0')
    return setSendExitNames(0, static_cast<const char **>(nullptr));
  return setSendExitNames(1, &name);
}

bool KxlChl::setSendExitNames(std::size_t count, const char **names) {
  return replaceExitNames(kSend, count, Entries(names));
}

bool KxlChl::setSendExitNames(std::size_t count, const KxlStr **names) {
  return replaceExitNames(kSend, count, Entries(names));
}

bool KxlChl::setSendUserData(const char *data) { return setSendUserData(1, &data); }

bool KxlChl::setSendUserData(std::size_t count, const char **data) {
  return replaceUserData(kSend, count, Entries(data));
}

bool KxlChl::setSendUserData(std::size_t count, const KxlStr **data) {
  return replaceUserData(kSend, count, Entries(data));
}

std::size_t KxlChl::receiveExitCount() const { return exitCount(kReceive); }

KxlStr KxlChl::receiveExitName() {
  return firstSlot(kReceive, kReceive.exitNames, exitNameWidth());
}

bool KxlChl::receiveExitNames(std::size_t count, KxlStr **names) {
  return fillStrings(kReceive, kReceive.exitNames, exitNameWidth(), count, names);
}

KxlStr KxlChl::receiveUserData() { return firstSlot(kReceive, kReceive.userData, userDataWidth()); }

bool KxlChl::receiveUserData(std::size_t count, KxlStr **data) {
  return fillStrings(kReceive, kReceive.userData, userDataWidth(), count, data);
}

bool KxlChl::setReceiveExitName(const char *name) {
  if (name == nullptr || *name == '\0') {
    return setReceiveExitNames(0, static_cast<const char **>(nullptr));
  }
  return setReceiveExitNames(1, &name);
}

bool KxlChl::setReceiveExitNames(std::size_t count, const char **names) {
  return replaceExitNames(kReceive, count, Entries(names));
}

bool KxlChl::setReceiveExitNames(std::size_t count, const KxlStr **names) {
  return replaceExitNames(kReceive, count, Entries(names));
}

bool KxlChl::setReceiveUserData(const char *data) { return setReceiveUserData(1, &data); }

bool KxlChl::setReceiveUserData(std::size_t count, const char **data) {
  return replaceUserData(kReceive, count, Entries(data));
}

bool KxlChl::setReceiveUserData(std::size_t count, const KxlStr **data) {
  return replaceUserData(kReceive, count, Entries(data));
}

std::size_t KxlChl::exitCount(const Side &side) const { return fieldSize((*record_).*side.count); }

std::size_t KxlChl::exitNameWidth() const { return fieldSize(record_->exitNameLength); }

std::size_t KxlChl::userDataWidth() const { return fieldSize(record_->userDataLength); }

KxlStr KxlChl::firstSlot(const Side &side, char *tagKXCD::*array, std::size_t width) {
  KxlStr text;
  if (exitCount(side) > 0 && !text.set((*record_).*array, width)) takeErrorCodes(text);
  return text;
}

bool KxlChl::fillStrings(const Side &side, char *tagKXCD::*array, std::size_t width,
                         std::size_t count, KxlStr **strings) {
  if (strings == nullptr) return true;
  const std::size_t exits = exitCount(side);
  bool filled = true;
  for (std::size_t i = 0; i < count; ++i) {
    KxlStr *string = strings[i];
    if (string == nullptr) continue;
    if (i >= exits) {
      string->set(nullptr, 0);
    } else if (!string->set((*record_).*array + i * width, width)) {
      takeErrorCodes(*string);
      filled = false;
    }
  }
  return filled;
}

bool KxlChl::replaceExitNames(const Side &side, std::size_t count, const Entries &names) {
  // The list errors send no text.
  if (count > kMaxExitCount) return fail(KXRC_TOO_MANY_ENTRIES);
  if (count > 0 && names.isNull()) return fail(KXRC_NULL_POINTER);
  for (std::size_t i = 0; i < count; ++i) {
    if (names.entryIsNull(i)) return fail(KXRC_NULL_POINTER);
    const char *name = names.text(i);
    if (name == nullptr || *name == '\0') return fail(KXRC_EMPTY_LIST_ENTRY);
  }
  resize(side, count);
  const std::size_t nameWidth = exitNameWidth();
  const std::size_t dataWidth = userDataWidth();
  for (std::size_t i = 0; i < count; ++i) {
    if (!setText((*record_).*side.exitNames + i * nameWidth, nameWidth, names.text(i)) ||
        !setText((*record_).*side.userData + i * dataWidth, dataWidth, nullptr)) {
      return false;
    }
  }
  return true;
}

bool KxlChl::replaceUserData(const Side &side, std::size_t count, const Entries &data) {
  const std::size_t exits = exitCount(side);
  if (count > exits) return fail(KXRC_TOO_MANY_ENTRIES);
  const std::size_t width = userDataWidth();
  for (std::size_t i = 0; i < exits; ++i) {
    const char *text = i < count ? data.text(i) : nullptr;
    if (!setText((*record_).*side.userData + i * width, width, text)) return false;
  }
  return true;
}

void KxlChl::resize(const Side &side, std::size_t count) {
  if (count == exitCount(side)) return;
  release(side);
  if (count == 0) return;
  // An allocation that throws leaves the side empty, as releasing left it.
  std::unique_ptr<char[]> names = newArray(count * exitNameWidth());
  std::unique_ptr<char[]> data = newArray(count * userDataWidth());
  (*record_).*side.exitNames = names.release();
  (*record_).*side.userData = data.release();
  kxlSetInt32((*record_).*side.count, static_cast<long>(count));
}

void KxlChl::release(const Side &side) {
  if ((*record_).*side.count == 0) return;
  delete[]((*record_).*side.exitNames);
  delete[]((*record_).*side.userData);
  (*record_).*side.exitNames = nullptr;
  (*record_).*side.userData = nullptr;
  (*record_).*side.count = 0;
}

// REQUIRES: this side holds nothing.
void KxlChl::copySide(const Side &side, const KxlChl &other) {
  const std::size_t count = other.exitCount(side);
  if (count == 0) return;
  std::unique_ptr<char[]> names =
      duplicate((*other.record_).*side.exitNames, count * other.exitNameWidth());
  std::unique_ptr<char[]> data =
      duplicate((*other.record_).*side.userData, count * other.userDataWidth());
  (*record_).*side.exitNames = names.release();
  (*record_).*side.userData = data.release();
  kxlSetInt32((*record_).*side.count, static_cast<long>(count));
}

// Compression lists.

std::size_t KxlChl::headerCompressionCount() const {
  return leadingCount(record_->headerCompression, std::size(record_->headerCompression));
}

bool KxlChl::headerCompression(std::size_t count, std::int32_t *values) const {
  copyValues(values, record_->headerCompression, count, std::size(record_->headerCompression));
  return true;
}

bool KxlChl::setHeaderCompression(std::size_t count, const std::int32_t *values) {
  copyValues(record_->headerCompression, values, count, std::size(record_->headerCompression));
  return true;
}

std::size_t KxlChl::messageCompressionCount() const {
  return leadingCount(record_->messageCompression, std::size(record_->messageCompression));
}

bool KxlChl::messageCompression(std::size_t count, std::int32_t *values) const {
  copyValues(values, record_->messageCompression, count, std::size(record_->messageCompression));
  return true;
}

bool KxlChl::setMessageCompression(std::size_t count, const std::int32_t *values) {
  copyValues(record_->messageCompression, values, count, std::size(record_->messageCompression));
  return true;
}
