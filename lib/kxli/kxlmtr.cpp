#include "kxlmtr.hpp"

#include "kxlfld.hpp"
#include "kxlscope.hpp"

struct KxlMtr::OwnValues {
  unsigned char accountingToken[32] = {};
  unsigned char correlationId[24] = {};
  std::int32_t feedback = 0;
  unsigned char groupId[24] = {};
  unsigned char messageId[24] = {};
};

namespace {

constexpr std::size_t kAccountingTokenWidth = 32;
constexpr std::size_t kIdWidth = 24;

// A value without storage reads as an empty byte string.
KxlBin valueBytes(const unsigned char *value, std::size_t width) {
  if (value == nullptr) return KxlBin();
  return kxlBytesAt(value, width);
}

}  // namespace

KxlMtr::KxlMtr()
    : accountingToken_(nullptr),
      correlationId_(nullptr),
      feedback_(nullptr),
      groupId_(nullptr),
      messageId_(nullptr) {}

KxlMtr::KxlMtr(const KxlMtr &source) : KxlMtr() { operator=(source); }

KxlMtr::~KxlMtr() = default;

void KxlMtr::operator=(const KxlMtr &source) {
  if (&source == this) return;
  KxlErr::operator=(source);
  if (kxlSomeoneListens()) {
    // The values go through the getters' byte strings and the setters that
    // take them, whose trace records and pointer checks are to be seen.
    setAccountingToken(source.accountingToken());
    setCorrelationId(source.correlationId());
    setFeedback(source.feedback());
    setGroupId(source.groupId());
    setMessageId(source.messageId());
    return;
  }
  // With nobody listening the byte-pointer setters give the same values
  // (a value without storage becomes zeros) without a byte string that
  // could fail to get storage.
  setAccountingToken(source.accountingToken_);
  setCorrelationId(source.correlationId_);
  setFeedback(source.feedback());
  setGroupId(source.groupId_);
  setMessageId(source.messageId_);
}

KxlBin KxlMtr::accountingToken() const {
  return valueBytes(accountingToken_, kAccountingTokenWidth);
}

KxlBin KxlMtr::correlationId() const { return valueBytes(correlationId_, kIdWidth); }

KxlBin KxlMtr::groupId() const { return valueBytes(groupId_, kIdWidth); }

KxlBin KxlMtr::messageId() const { return valueBytes(messageId_, kIdWidth); }

long KxlMtr::feedback() const { return feedback_ == nullptr ? 0 : *feedback_; }

bool KxlMtr::setAccountingToken(const KxlBin &token) {
  return setBytes(accountingToken_, &OwnValues::accountingToken, token,
                  kKxlFnTrackerSetAccountingToken,
                  "KxlMessageTracker::setAccountingToken (error): binary data length error");
}

bool KxlMtr::setCorrelationId(const KxlBin &id) {
  return setBytes(correlationId_, &OwnValues::correlationId, id, kKxlFnTrackerSetCorrelationId,
                  "KxlMessageTracker::setCorrelationId (error): binary data length error");
}

bool KxlMtr::setGroupId(const KxlBin &id) {
  return setBytes(groupId_, &OwnValues::groupId, id, kKxlFnTrackerSetGroupId,
                  "KxlMessageTracker::setGroupId (error): binary data length error");
}

bool KxlMtr::setMessageId(const KxlBin &id) {
  return setBytes(messageId_, &OwnValues::messageId, id, kKxlFnTrackerSetMessageId,
                  "KxlMessageTracker::setMessageId (error): binary data length error");
}

void KxlMtr::setAccountingToken(const unsigned char *token) {
  setBytes(accountingToken_, &OwnValues::accountingToken, token);
}

void KxlMtr::setCorrelationId(const unsigned char *id) {
  setBytes(correlationId_, &OwnValues::correlationId, id);
}

void KxlMtr::setGroupId(const unsigned char *id) { setBytes(groupId_, &OwnValues::groupId, id); }

void KxlMtr::setMessageId(const unsigned char *id) {
  setBytes(messageId_, &OwnValues::messageId, id);
}

void KxlMtr::setFeedback(long feedback) {
  if (feedback_ == nullptr) feedback_ = &own().feedback;
  kxlSetInt32(*feedback_, feedback);
}

void KxlMtr::trackInto(unsigned char *accountingToken, unsigned char *correlationId,
                       std::int32_t *feedback, unsigned char *groupId, unsigned char *messageId) {
  own_.reset();
  accountingToken_ = accountingToken;
  correlationId_ = correlationId;
  feedback_ = feedback;
  groupId_ = groupId;
  messageId_ = messageId;
}

KxlMtr::OwnValues &KxlMtr::own() {
  if (own_ == nullptr) own_ = std::make_unique<OwnValues>();
  return *own_;
}

template <std::size_t N>
unsigned char *KxlMtr::storageOf(unsigned char *&value, unsigned char (OwnValues::*field)[N]) {
  if (value == nullptr) value = own().*field;
  return value;
}

template <std::size_t N>
bool KxlMtr::setBytes(unsigned char *&value, unsigned char (OwnValues::*field)[N],
                      const KxlBin &bytes, unsigned short function, const char *text) {
  // The storage is obtained before the length is judged, so a refused value
  // on a fresh tracker reads as zeros afterwards.
  if (kxlSetBytesAt(storageOf(value, field), N, bytes)) return true;
  return fail(function, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

template <std::size_t N>
void KxlMtr::setBytes(unsigned char *&value, unsigned char (OwnValues::*field)[N],
                      const unsigned char *bytes) {
  kxlSetBytesAt(storageOf(value, field), N, bytes);
}
