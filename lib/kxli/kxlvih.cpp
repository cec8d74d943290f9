#include "kxlvih.hpp"

#include <cstddef>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlmsg.hpp"
#include "kxlscope.hpp"

namespace {

constexpr const char *kFormatName = "KXVORN  ";
constexpr std::int32_t kHighestSupportedVersion = 2;
constexpr std::size_t kVersion1Length = 164;
constexpr std::size_t kVersion2Length = sizeof(KXVIH);
static_assert(kVersion2Length == 180, "version 2 is the whole record");

// The version follows the structure id directly.
constexpr std::size_t kStructureIdLength = sizeof(KXHDRPREFIX::structureId);
static_assert(offsetof(KXHDRPREFIX, version) == kStructureIdLength, "version after the id");

// The record length of `version`, 0 when the version is not supported.
std::size_t recordLength(long version) {
  switch (version) {
    case 1:
      return kVersion1Length;
    case 2:
      return kVersion2Length;
    default:
      return 0;
  }
}

// The fields after the prefix of a new header: the values a new request
// carries.
void initialise(KXVIH &record) {
  record.UOWControl = 273;
  record.getWaitInterval = -2;
  record.linkType = 1;
  record.outputDataLength = -1;
  kxlFill(record.function, ' ');
  kxlFill(record.bridgeAbendCode, ' ');
  kxlFill(record.authenticator, ' ');
  kxlFill(record.field100, ' ');
  kxlFill(record.replyToFormat, ' ');
  kxlFill(record.field116, ' ');
  kxlFill(record.field120, ' ');
  kxlFill(record.transactionIdentifier, ' ');
  kxlFill(record.facilityLike, ' ');
  kxlFill(record.attentionIdentifier, ' ');
  kxlFill(record.startCode, ' ');
  kxlFill(record.bridgeCancelCode, ' ');
  kxlFill(record.nextTransactionIdentifier, ' ');
  kxlFill(record.field148, ' ');
  kxlFill(record.field156, ' ');
}

}  // namespace

KxlVih::KxlVih() : highestVersion_(kHighestSupportedVersion), record_(std::make_unique<KXVIH>()) {
  usePrefix(&record_->prefix, typeid(KxlVih), "VIH ", 2, kVersion2Length, 0);
  initialise(*record_);
}

KxlVih::KxlVih(const KxlVih &other) : KxlVih() { operator=(other); }

KxlVih::~KxlVih() = default;

void KxlVih::operator=(const KxlVih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  *record_ = *other.record_;
}

long KxlVih::version() const { return record_->prefix.version; }

bool KxlVih::setVersion(long version) {
  if (version < 1 || version > highestVersion_) {
    return fail(KXRC_UNSUPPORTED_VERSION);
  }
  kxlSetInt32(record_->prefix.version, version);
  record_->prefix.structureLength = static_cast<std::int32_t>(recordLength(version));
  return true;
}

long KxlVih::UOWControl() const { return record_->UOWControl; }
void KxlVih::setUOWControl(long value) { kxlSetInt32(record_->UOWControl, value); }
long KxlVih::getWaitInterval() const { return record_->getWaitInterval; }
void KxlVih::setGetWaitInterval(long value) { kxlSetInt32(record_->getWaitInterval, value); }
long KxlVih::linkType() const { return record_->linkType; }
void KxlVih::setLinkType(long value) { kxlSetInt32(record_->linkType, value); }
long KxlVih::outputDataLength() const { return record_->outputDataLength; }
void KxlVih::setOutputDataLength(long value) { kxlSetInt32(record_->outputDataLength, value); }
long KxlVih::facilityKeepTime() const { return record_->facilityKeepTime; }
void KxlVih::setFacilityKeepTime(long value) { kxlSetInt32(record_->facilityKeepTime, value); }
long KxlVih::ADSDescriptor() const { return record_->ADSDescriptor; }
void KxlVih::setADSDescriptor(long value) { kxlSetInt32(record_->ADSDescriptor, value); }
long KxlVih::conversationalTask() const { return record_->conversationalTask; }
void KxlVih::setConversationalTask(long value) { kxlSetInt32(record_->conversationalTask, value); }
long KxlVih::cursorPosition() const { return record_->cursorPosition; }
void KxlVih::setCursorPosition(long value) { kxlSetInt32(record_->cursorPosition, value); }

long KxlVih::bridgeReturnCode() const { return record_->bridgeReturnCode; }
long KxlVih::bridgeCompletionCode() const { return record_->bridgeCompletionCode; }
long KxlVih::bridgeReasonCode() const { return record_->bridgeReasonCode; }
long KxlVih::taskEndStatus() const { return record_->taskEndStatus; }
long KxlVih::bridgeErrorOffset() const { return record_->bridgeErrorOffset; }

KxlStr KxlVih::authenticator() const { return kxlGetText(record_->authenticator, false); }
void KxlVih::setAuthenticator(const char *text) { kxlSetText(record_->authenticator, text, ' '); }
KxlStr KxlVih::replyToFormat() const { return kxlGetText(record_->replyToFormat, false); }
void KxlVih::setReplyToFormat(const char *text) { kxlSetText(record_->replyToFormat, text, ' '); }
KxlStr KxlVih::transactionIdentifier() const {
  return kxlGetText(record_->transactionIdentifier, false);
}
void KxlVih::setTransactionIdentifier(const char *text) {
  kxlSetText(record_->transactionIdentifier, text, ' ');
}
KxlStr KxlVih::facilityLike() const { return kxlGetText(record_->facilityLike, false); }
void KxlVih::setFacilityLike(const char *text) { kxlSetText(record_->facilityLike, text, ' '); }
KxlStr KxlVih::attentionIdentifier() const {
  return kxlGetText(record_->attentionIdentifier, false);
}
void KxlVih::setAttentionIdentifier(const char *text) {
  kxlSetText(record_->attentionIdentifier, text, ' ');
}
KxlStr KxlVih::startCode() const { return kxlGetText(record_->startCode, false); }
void KxlVih::setStartCode(const char *text) { kxlSetText(record_->startCode, text, ' '); }
KxlStr KxlVih::bridgeCancelCode() const { return kxlGetText(record_->bridgeCancelCode, false); }
void KxlVih::setBridgeCancelCode(const char *text) {
  kxlSetText(record_->bridgeCancelCode, text, ' ');
}

KxlStr KxlVih::function() const { return kxlGetText(record_->function, false); }
KxlStr KxlVih::bridgeAbendCode() const { return kxlGetText(record_->bridgeAbendCode, false); }
KxlStr KxlVih::nextTransactionIdentifier() const {
  return kxlGetText(record_->nextTransactionIdentifier, false);
}

KxlBin KxlVih::facilityToken() const { return kxlGetBytes(record_->facilityToken); }

bool KxlVih::setFacilityToken(const KxlBin &token) {
  KxlTraceScope scope(*this, kKxlFnVornSetFacilityToken);
  if (kxlSetBytes(record_->facilityToken, token)) return true;
  const KxlStr text = KxlStr("KxlVORNBridgeHeader::") + "setFacilityToken " +
                      "(error): binary data length error" + "\n";
  return fail(kKxlFnVornSetFacilityToken, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlVih::setFacilityToken(const unsigned char *token) {
  kxlSetBytes(record_->facilityToken, token);
}

bool KxlVih::copyOut(KxlMsg &message) {
  const std::size_t length = recordLength(record_->prefix.version);
  if (length == 0) {
    return fail(KXRC_UNSUPPORTED_VERSION);
  }
  return writeHeader(message, record_.get(), length, kFormatName);
}

bool KxlVih::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, kKxlFnVornPasteIn);
  const Layout layout = {"KxlVORNBridgeHeader", "VIH ", kFormatName, kKxlFnVornPasteIn};
  if (!checkRecord(message, layout)) return false;
  // The structure id is read first (the check found its 4 bytes); the
  // version that follows it in the message decides the rest's length. Data
  // too short to show a version fail as any short read of the rest does.
  unsigned char *bytes = reinterpret_cast<unsigned char *>(record_.get());
  if (!readRecord(message, bytes, kStructureIdLength)) return false;
  std::size_t length = kVersion2Length;
  if (message.dataLength() >= sizeof(std::int32_t)) {
    length = recordLength(kxlLoadInt32(message.dataPointer()));
    if (length == 0) {
      message.setDataOffset(message.dataOffset() - kStructureIdLength);
      return fail(KXRC_UNSUPPORTED_VERSION);
    }
  }
  if (!readRecord(message, bytes + kStructureIdLength, length - kStructureIdLength)) return false;
  describeMessage(message);
  return true;
}
