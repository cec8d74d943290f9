#include "kxlvih.hpp"

#include <cstddef>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlmsg.hpp"
#include "kxlscope.hpp"

namespace {

constexpr unsigned short kPasteInFunction = 60;
constexpr unsigned short kSetFacilityTokenFunction = 61;

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

template <std::size_t N>
void blank(char (&field)[N]) {
  std::memset(field, ' ', N);
}

// The record of a new header: version 2, the values a new request carries.
void initialise(KXVIH &record) {
  std::memset(&record, 0, sizeof record);
  std::memcpy(record.prefix.structureId, "VIH ", sizeof record.prefix.structureId);
  record.prefix.version = 2;
  record.prefix.structureLength = static_cast<std::int32_t>(kVersion2Length);
  record.prefix.encoding = 546;
  record.prefix.characterSet = 0;
  blank(record.prefix.format);
  record.prefix.headerFlags = 0;
  record.UOWControl = 273;
  record.getWaitInterval = -2;
  record.linkType = 1;
  record.outputDataLength = -1;
  blank(record.function);
  blank(record.bridgeAbendCode);
  blank(record.authenticator);
  blank(record.field100);
  blank(record.replyToFormat);
  blank(record.field116);
  blank(record.field120);
  blank(record.transactionIdentifier);
  blank(record.facilityLike);
  blank(record.attentionIdentifier);
  blank(record.startCode);
  blank(record.bridgeCancelCode);
  blank(record.nextTransactionIdentifier);
  blank(record.field148);
  blank(record.field156);
}

}  // namespace

KxlVih::KxlVih() : highestVersion_(kHighestSupportedVersion), record_(new KXVIH) {
  usePrefix(&record_->prefix, typeid(KxlVih));
  initialise(*record_);
}

KxlVih::KxlVih(const KxlVih &other) : KxlVih() { operator=(other); }

KxlVih::~KxlVih() { delete record_; }

void KxlVih::operator=(const KxlVih &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  std::memcpy(record_, other.record_, sizeof *record_);
}

long KxlVih::version() const { return record_->prefix.version; }

bool KxlVih::setVersion(long version) {
  if (version < 1 || version > highestVersion_) {
    setErrorCodes(KXCC_FAILED, KXRC_UNSUPPORTED_VERSION);
    return false;
  }
  record_->prefix.version = static_cast<std::int32_t>(version);
  record_->prefix.structureLength = static_cast<std::int32_t>(recordLength(version));
  return true;
}

long KxlVih::UOWControl() const { return record_->UOWControl; }
void KxlVih::setUOWControl(long value) { record_->UOWControl = static_cast<std::int32_t>(value); }
long KxlVih::getWaitInterval() const { return record_->getWaitInterval; }
void KxlVih::setGetWaitInterval(long value) {
  record_->getWaitInterval = static_cast<std::int32_t>(value);
}
long KxlVih::linkType() const { return record_->linkType; }
void KxlVih::setLinkType(long value) { record_->linkType = static_cast<std::int32_t>(value); }
long KxlVih::outputDataLength() const { return record_->outputDataLength; }
void KxlVih::setOutputDataLength(long value) {
  record_->outputDataLength = static_cast<std::int32_t>(value);
}
long KxlVih::facilityKeepTime() const { return record_->facilityKeepTime; }
void KxlVih::setFacilityKeepTime(long value) {
  record_->facilityKeepTime = static_cast<std::int32_t>(value);
}
long KxlVih::ADSDescriptor() const { return record_->ADSDescriptor; }
void KxlVih::setADSDescriptor(long value) {
  record_->ADSDescriptor = static_cast<std::int32_t>(value);
}
long KxlVih::conversationalTask() const { return record_->conversationalTask; }
void KxlVih::setConversationalTask(long value) {
  record_->conversationalTask = static_cast<std::int32_t>(value);
}
long KxlVih::cursorPosition() const { return record_->cursorPosition; }
void KxlVih::setCursorPosition(long value) {
  record_->cursorPosition = static_cast<std::int32_t>(value);
}

long KxlVih::bridgeReturnCode() const { return record_->bridgeReturnCode; }
long KxlVih::bridgeCompletionCode() const { return record_->bridgeCompletionCode; }
long KxlVih::bridgeReasonCode() const { return record_->bridgeReasonCode; }
long KxlVih::taskEndStatus() const { return record_->taskEndStatus; }
long KxlVih::bridgeErrorOffset() const { return record_->bridgeErrorOffset; }

KxlStr KxlVih::authenticator() const {
  return kxlFieldText(record_->authenticator, sizeof record_->authenticator, false);
}
void KxlVih::setAuthenticator(const char *text) {
  kxlSetFieldText(record_->authenticator, sizeof record_->authenticator, text, ' ');
}
KxlStr KxlVih::replyToFormat() const {
  return kxlFieldText(record_->replyToFormat, sizeof record_->replyToFormat, false);
}
void KxlVih::setReplyToFormat(const char *text) {
  kxlSetFieldText(record_->replyToFormat, sizeof record_->replyToFormat, text, ' ');
}
KxlStr KxlVih::transactionIdentifier() const {
  return kxlFieldText(record_->transactionIdentifier, sizeof record_->transactionIdentifier, false);
}
void KxlVih::setTransactionIdentifier(const char *text) {
  kxlSetFieldText(record_->transactionIdentifier, sizeof record_->transactionIdentifier, text, ' ');
}
KxlStr KxlVih::facilityLike() const {
  return kxlFieldText(record_->facilityLike, sizeof record_->facilityLike, false);
}
void KxlVih::setFacilityLike(const char *text) {
  kxlSetFieldText(record_->facilityLike, sizeof record_->facilityLike, text, ' ');
}
KxlStr KxlVih::attentionIdentifier() const {
  return kxlFieldText(record_->attentionIdentifier, sizeof record_->attentionIdentifier, false);
}
void KxlVih::setAttentionIdentifier(const char *text) {
  kxlSetFieldText(record_->attentionIdentifier, sizeof record_->attentionIdentifier, text, ' ');
}
KxlStr KxlVih::startCode() const {
  return kxlFieldText(record_->startCode, sizeof record_->startCode, false);
}
void KxlVih::setStartCode(const char *text) {
  kxlSetFieldText(record_->startCode, sizeof record_->startCode, text, ' ');
}
KxlStr KxlVih::bridgeCancelCode() const {
  return kxlFieldText(record_->bridgeCancelCode, sizeof record_->bridgeCancelCode, false);
}
void KxlVih::setBridgeCancelCode(const char *text) {
  kxlSetFieldText(record_->bridgeCancelCode, sizeof record_->bridgeCancelCode, text, ' ');
}

KxlStr KxlVih::function() const {
  return kxlFieldText(record_->function, sizeof record_->function, false);
}
KxlStr KxlVih::bridgeAbendCode() const {
  return kxlFieldText(record_->bridgeAbendCode, sizeof record_->bridgeAbendCode, false);
}
KxlStr KxlVih::nextTransactionIdentifier() const {
  return kxlFieldText(record_->nextTransactionIdentifier, sizeof record_->nextTransactionIdentifier,
                      false);
}

KxlBin KxlVih::facilityToken() const {
  return kxlFieldBytes(record_->facilityToken, sizeof record_->facilityToken);
}

bool KxlVih::setFacilityToken(const KxlBin &token) {
  KxlTraceScope scope(*this, kSetFacilityTokenFunction);
  if (kxlSetFieldBytes(record_->facilityToken, sizeof record_->facilityToken, token)) return true;
  const KxlStr text = KxlStr("KxlVORNBridgeHeader::") + "setFacilityToken " +
                      "(error): binary data length error" + "\n";
  return fail(kSetFacilityTokenFunction, text, KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlVih::setFacilityToken(const unsigned char *token) {
  kxlSetFieldBytes(record_->facilityToken, sizeof record_->facilityToken, token);
}

bool KxlVih::copyOut(KxlMsg &message) {
  const std::size_t length = recordLength(record_->prefix.version);
  if (length == 0) {
    setErrorCodes(KXCC_FAILED, KXRC_UNSUPPORTED_VERSION);
    return false;
  }
  return writeHeader(message, record_, length, kFormatName);
}

bool KxlVih::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, kPasteInFunction);
  const Layout layout = {"KxlVORNBridgeHeader", "VIH ", kFormatName, kPasteInFunction};
  if (!checkRecord(message, layout)) return false;
  // The structure id is read first (the check found its 4 bytes); the
  // version that follows it in the message decides the rest's length. Data
  // too short to show a version fail as any short read of the rest does.
  unsigned char *bytes = reinterpret_cast<unsigned char *>(record_);
  if (!readRecord(message, bytes, kStructureIdLength)) return false;
  std::size_t length = kVersion2Length;
  if (message.dataLength() >= sizeof(std::int32_t)) {
    length = recordLength(kxlGetInt32(message.dataPointer()));
    if (length == 0) {
      message.setDataOffset(message.dataOffset() - kStructureIdLength);
      setErrorCodes(KXCC_FAILED, KXRC_UNSUPPORTED_VERSION);
      return false;
    }
  }
  if (!readRecord(message, bytes + kStructureIdLength, length - kStructureIdLength)) return false;
  describeMessage(message);
  return true;
}
