#include "kxlgmo.hpp"

#include <atomic>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlscope.hpp"

namespace {

// Option bits that say whether a get takes part in the sync point.
constexpr std::int32_t kSyncPoint = 0x2;
constexpr std::int32_t kNoSyncPoint = 0x4;
constexpr std::int32_t kSyncPointIfPersistent = 0x1000;

constexpr std::int32_t kLevel = 3;

std::atomic<std::int32_t> versionSupported{3};

// The default record, prepared on the first default construction.
const KXGMO &defaultRecord() {
  static const KXGMO record = [] {
    KXGMO defaults;
    std::memset(&defaults, 0, sizeof defaults);
    std::memcpy(defaults.structureId, "GMO ", sizeof defaults.structureId);
    defaults.field72 = 3;
    std::memcpy(defaults.field76, "    ", sizeof defaults.field76);
    defaults.field96 = -1;
    return defaults;
  }();
  return record;
}

}  // namespace

KxlGmo3::KxlGmo3() : level_(kLevel), record_(new KXGMO(defaultRecord())) {
  record_->version = versionSupported.load();
}

KxlGmo3::KxlGmo3(const KxlGmo3 &source) : KxlErr(), level_(kLevel), record_(new KXGMO()) {
  operator=(source);
}

KxlGmo3::~KxlGmo3() { delete record_; }

void KxlGmo3::operator=(const KxlGmo3 &other) {
  if (&other == this) return;
  KxlErr::operator=(other);
  *record_ = *other.record_;
}

KxlStr KxlGmo3::resolvedQueueName() const {
  return kxlFieldText(record_->resolvedQueueName, sizeof record_->resolvedQueueName, true);
}

bool KxlGmo3::syncPointParticipation() const {
  return (record_->options & (kSyncPoint | kSyncPointIfPersistent)) != 0;
}

void KxlGmo3::setSyncPointParticipation(bool participate) {
  const std::int32_t kept =
      record_->options & ~(kSyncPoint | kNoSyncPoint | kSyncPointIfPersistent);
  record_->options = kept | (participate ? kSyncPoint : kNoSyncPoint);
}

KxlBin KxlGmo3::messageToken() const {
  return kxlFieldBytes(record_->messageToken, sizeof record_->messageToken);
}

bool KxlGmo3::setMessageToken(const KxlBin &token) {
  KxlTraceScope scope(*this, 64);
  if (kxlSetFieldBytes(record_->messageToken, sizeof record_->messageToken, token)) return true;
  return fail(64, "KxlGetMessageOptions::setMessageToken (error): binary data length error",
              KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlGmo3::setMessageToken(const unsigned char *token) {
  kxlSetFieldBytes(record_->messageToken, sizeof record_->messageToken, token);
}

void KxlGmo3::setVersionSupported(long version) {
  versionSupported.store(static_cast<std::int32_t>(version));
}
