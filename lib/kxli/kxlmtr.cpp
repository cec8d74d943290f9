#include "kxlmtr.hpp"

#include "kxlfld.hpp"
#include "kxlscope.hpp"

namespace {

constexpr std::size_t kAccountingTokenWidth = 32;
constexpr std::size_t kIdWidth = 24;

// A value without storage reads as an empty byte string.
KxlBin valueBytes(const unsigned char *value, std::size_t width) {
  if (value == nullptr) return KxlBin();
  return kxlFieldBytes(value, width);
}

}  // namespace

KxlMtr::KxlMtr()
    : accountingToken_(nullptr),
      correlationId_(nullptr),
      feedback_(nullptr),
      groupId_(nullptr),
      messageId_(nullptr),
      owned_(0) {}

KxlMtr::KxlMtr(const KxlMtr &source) : KxlMtr() { operator=(source); }

KxlMtr::~KxlMtr() { releaseOwned(); }

void KxlMtr::operator=(const KxlMtr &source) {
  if (&source == this) return;
  KxlErr::operator=(source);
  if (xcsListeningNow() != 0) {
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
  return setBytes(accountingToken_, kAccountingTokenWidth, kOwnsAccountingToken, token, 18,
                  "KxlMessageTracker::setAccountingToken (error): binary data length error");
}

bool KxlMtr::setCorrelationId(const KxlBin &id) {
  return setBytes(correlationId_, kIdWidth, kOwnsCorrelationId, id, 19,
                  "KxlMessageTracker::setCorrelationId (error): binary data length error");
}

bool KxlMtr::setGroupId(const KxlBin &id) {
  return setBytes(groupId_, kIdWidth, kOwnsGroupId, id, 20,
                  "KxlMessageTracker::setGroupId (error): binary data length error");
}

bool KxlMtr::setMessageId(const KxlBin &id) {
  return setBytes(messageId_, kIdWidth, kOwnsMessageId, id, 21,
                  "KxlMessageTracker::setMessageId (error): binary data length error");
}

void KxlMtr::setAccountingToken(const unsigned char *token) {
  setBytes(accountingToken_, kAccountingTokenWidth, kOwnsAccountingToken, token);
}

void KxlMtr::setCorrelationId(const unsigned char *id) {
  setBytes(correlationId_, kIdWidth, kOwnsCorrelationId, id);
}

void KxlMtr::setGroupId(const unsigned char *id) { setBytes(groupId_, kIdWidth, kOwnsGroupId, id); }

void KxlMtr::setMessageId(const unsigned char *id) {
  setBytes(messageId_, kIdWidth, kOwnsMessageId, id);
}

void KxlMtr::setFeedback(long feedback) {
  *feedbackStorage() = static_cast<std::int32_t>(feedback);
}

void KxlMtr::trackInto(unsigned char *accountingToken, unsigned char *correlationId,
                       std::int32_t *feedback, unsigned char *groupId, unsigned char *messageId) {
  releaseOwned();
  accountingToken_ = accountingToken;
  correlationId_ = correlationId;
  feedback_ = feedback;
  groupId_ = groupId;
  messageId_ = messageId;
}

unsigned char *KxlMtr::storageOf(unsigned char *&value, std::size_t width, Owned bit) {
  if (value == nullptr) {
    value = new unsigned char[width]();
    owned_ |= bit;
  }
  return value;
}

std::int32_t *KxlMtr::feedbackStorage() {
  if (feedback_ == nullptr) {
    feedback_ = new std::int32_t(0);
    owned_ |= kOwnsFeedback;
  }
  return feedback_;
}

bool KxlMtr::setBytes(unsigned char *&value, std::size_t width, Owned bit, const KxlBin &bytes,
                      unsigned short function, const char *text) {
  // The storage is obtained before the length is judged, so a refused value
  // on a fresh tracker reads as zeros afterwards.
  unsigned char *storage = storageOf(value, width, bit);
  if (kxlSetFieldBytes(storage, width, bytes)) return true;
  return fail(function, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlMtr::setBytes(unsigned char *&value, std::size_t width, Owned bit,
                      const unsigned char *bytes) {
  kxlSetFieldBytes(storageOf(value, width, bit), width, bytes);
}

void KxlMtr::releaseOwned() {
  if ((owned_ & kOwnsAccountingToken) != 0) delete[] accountingToken_;
  if ((owned_ & kOwnsCorrelationId) != 0) delete[] correlationId_;
  if ((owned_ & kOwnsFeedback) != 0) delete feedback_;
  if ((owned_ & kOwnsGroupId) != 0) delete[] groupId_;
  if ((owned_ & kOwnsMessageId) != 0) delete[] messageId_;
  accountingToken_ = nullptr;
  correlationId_ = nullptr;
  feedback_ = nullptr;
  groupId_ = nullptr;
  messageId_ = nullptr;
  owned_ = 0;
}
