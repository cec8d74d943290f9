#include "kxlgmo2.hpp"

#include <atomic>
#include <cstring>

#include "kxlfld.hpp"

namespace {

// Option bits that say whether a get takes part in the sync point.
constexpr std::int32_t kSyncPoint = 0x2;
constexpr std::int32_t kNoSyncPoint = 0x4;
constexpr std::int32_t kSyncPointIfPersistent = 0x1000;

std::atomic<std::int32_t> versionSupported{2};

// The default record, prepared on the first default construction.
const KXGMO &defaultRecord() {
  static const KXGMO record = [] {
    KXGMO defaults;
    std::memset(&defaults, 0, sizeof defaults);
    std::memcpy(defaults.structureId, "GMO ", sizeof defaults.structureId);
    defaults.field72 = 3;
    std::memcpy(defaults.field76, "    ", sizeof defaults.field76);
    return defaults;
  }();
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

KxlStr KxlGmo::resolvedQueueName() const {
  return kxlFieldText(record_.resolvedQueueName, sizeof record_.resolvedQueueName, true);
}

bool KxlGmo::syncPointParticipation() const {
  return (record_.options & (kSyncPoint | kSyncPointIfPersistent)) != 0;
}

void KxlGmo::setSyncPointParticipation(bool participate) {
  const std::int32_t kept = record_.options & ~(kSyncPoint | kNoSyncPoint | kSyncPointIfPersistent);
  record_.options = kept | (participate ? kSyncPoint : kNoSyncPoint);
}

void KxlGmo::setVersionSupported(long version) {
  versionSupported.store(static_cast<std::int32_t>(version));
}
