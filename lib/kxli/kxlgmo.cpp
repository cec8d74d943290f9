#include "kxlgmo.hpp"

#include <atomic>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlgmorec.hpp"
#include "kxlscope.hpp"

namespace {

constexpr std::int32_t kLevel = 3;

std::atomic<std::int32_t> versionSupported{3};

// The default record, prepared on the first default construction.
const KXGMO &defaultRecord() {
  static const KXGMO record = kxlGmoDefaults(true);
  return record;
}

}  // namespace

KxlGmo3::KxlGmo3() : level_(kLevel), record_(std::make_unique<KXGMO>(defaultRecord())) {
  record_->version = versionSupported.load();
}

KxlGmo3::KxlGmo3(const KxlGmo3 &source)
    : KxlErr(), level_(kLevel), record_(std::make_unique<KXGMO>()) {
  operator=(source);
}

KxlGmo3::~KxlGmo3() = default;

void KxlGmo3::operator=(const KxlGmo3 &other) {
  if (&other == this) return;
  KxlErr::operator=(other);
  *record_ = *other.record_;
}

KxlStr KxlGmo3::resolvedQueueName() const { return kxlGetText(record_->resolvedQueueName, true); }

bool KxlGmo3::syncPointParticipation() const { return kxlSyncPointParticipation(*record_); }

void KxlGmo3::setSyncPointParticipation(bool participate) {
  kxlSetSyncPointParticipation(*record_, participate);
}

KxlBin KxlGmo3::messageToken() const { return kxlGetBytes(record_->messageToken); }

bool KxlGmo3::setMessageToken(const KxlBin &token) {
  KxlTraceScope scope(*this, kKxlFnOptionsSetMessageToken);
  if (kxlSetBytes(record_->messageToken, token)) return true;
  return fail(kKxlFnOptionsSetMessageToken,
              "KxlGetMessageOptions::setMessageToken (error): binary data length error",
              KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlGmo3::setMessageToken(const unsigned char *token) {
  kxlSetBytes(record_->messageToken, token);
}

void KxlGmo3::setVersionSupported(long version) {
  versionSupported.store(static_cast<std::int32_t>(version));
}
