#include "kxlgmo2.hpp"

#include <atomic>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlgmorec.hpp"

namespace {

std::atomic<std::int32_t> versionSupported{2};

// The default record, prepared on the first default construction.
const KXGMO &defaultRecord() {
  static const KXGMO record = kxlGmoDefaults(false);
  return record;
}

}  // namespace

KxlGmo::KxlGmo() {
  record_ = defaultRecord();
  record_.version = versionSupported.load();
}

KxlGmo::KxlGmo(const KxlGmo &source) : KxlGmo() { operator=(source); }

KxlGmo::~KxlGmo() = default;

void KxlGmo::operator=(const KxlGmo &other) {
  if (&other == this) return;
  KxlErr::operator=(other);
  std::memcpy(&record_, &other.record_, kKxGmoLength2);
}

KxlStr KxlGmo::resolvedQueueName() const { return kxlGetText(record_.resolvedQueueName, true); }

bool KxlGmo::syncPointParticipation() const { return kxlSyncPointParticipation(record_); }

void KxlGmo::setSyncPointParticipation(bool participate) {
  kxlSetSyncPointParticipation(record_, participate);
}

void KxlGmo::setVersionSupported(long version) {
  versionSupported.store(static_cast<std::int32_t>(version));
}
