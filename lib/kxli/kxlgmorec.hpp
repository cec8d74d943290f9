// What the two get-message options classes share about their record
// (internal to kxli): its default contents and the sync-point option bits.
#ifndef KXLI_KXLGMOREC_HPP_
#define KXLI_KXLGMOREC_HPP_

#include <cstdint>
#include <cstring>

#include "kxlrec.hpp"

// The default record; `fullLayout` adds the defaults of the bytes beyond
// the older 80-byte layout. The version is left for the class to write.
inline KXGMO kxlGmoDefaults(bool fullLayout) {
  KXGMO defaults;
  std::memset(&defaults, 0, sizeof defaults);
  std::memcpy(defaults.structureId, "GMO ", sizeof defaults.structureId);
  defaults.field72 = 3;
  std::memcpy(defaults.field76, "    ", sizeof defaults.field76);
  if (fullLayout) defaults.field96 = -1;
  return defaults;
}

// Option bits that say whether a get takes part in the sync point: 0x2
// takes part, 0x4 does not, and 0x1000 also counts as taking part.
inline constexpr std::int32_t kKxGmoSyncPoint = 0x2;
inline constexpr std::int32_t kKxGmoNoSyncPoint = 0x4;
inline constexpr std::int32_t kKxGmoSyncPointIfPersistent = 0x1000;

inline bool kxlSyncPointParticipation(const KXGMO &record) {
  return (record.options & (kKxGmoSyncPoint | kKxGmoSyncPointIfPersistent)) != 0;
}

// Sets 0x2 or 0x4 and clears the other two bits; every other bit stays.
inline void kxlSetSyncPointParticipation(KXGMO &record, bool participate) {
  const std::int32_t kept =
      record.options & ~(kKxGmoSyncPoint | kKxGmoNoSyncPoint | kKxGmoSyncPointIfPersistent);
  record.options = kept | (participate ? kKxGmoSyncPoint : kKxGmoNoSyncPoint);
}

#endif  // KXLI_KXLGMOREC_HPP_
