// KxlGmo3 holds get-message options in the current 100-byte layout of the
// KXGMO record, which adds a message token to the older layout (KxlGmo):
// whether the get takes part in the sync point, the resolved queue name
// filled by the code that gets the message, and the message token. It owns
// its record, in storage of its own for the object's whole life, and is
// copied deeply; it is never written into or read from a message.
//
// A new KxlGmo3 holds the default record with the class's supported version
// at the moment of construction (3 unless changed by setVersionSupported).
#ifndef KXLI_KXLGMO_HPP_
#define KXLI_KXLGMO_HPP_

#include <cstdint>
#include <memory>

#include "kxlbin.hpp"
#include "kxlerr.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlGmo3 : public KxlErr {
 public:
  // The record's storage comes from the ordinary allocation: its
  // exhaustion propagates as the allocator's exception.
  KxlGmo3();
  ~KxlGmo3() override;

  // The resolved queue name, up to its first null byte, trailing blanks
  // removed.
  KxlStr resolvedQueueName() const;
  // True when the options have bit 0x2 or bit 0x1000 set.
  bool syncPointParticipation() const;
  // true: clears 0x4 and 0x1000, sets 0x2; false: clears 0x2 and 0x1000,
  // sets 0x4. Every other option bit is kept.
  void setSyncPointParticipation(bool participate);

  // The 16 bytes of the message token.
  KxlBin messageToken() const;
  // A byte string of exactly 16 bytes, or an empty one (which zeroes the
  // token); any other length fails with 6111, the token unchanged.
  bool setMessageToken(const KxlBin &token);
  // Copies 16 bytes at `token`; a null pointer zeroes the token.
  // REQUIRES: a non-null `token` has 16 readable bytes.
  void setMessageToken(const unsigned char *token);

  // The record, all 100 bytes in KXGMO layout.
  const KXGMO *record() const { return record_.get(); }

  // Codes 0 and a record of its own, then assignment: the copy keeps the
  // source's version.
  KxlGmo3(const KxlGmo3 &source);
  // Copies both codes and all 100 bytes of the record.
  void operator=(const KxlGmo3 &other);

 protected:
  // The version written into every KxlGmo3 default-constructed afterwards;
  // existing objects and their copies keep theirs.
  static void setVersionSupported(long version);

 private:
  // Set to 3 by both constructors; assignment leaves it alone.
  [[maybe_unused]] std::int32_t level_;
  const std::unique_ptr<KXGMO> record_;
};

#endif  // KXLI_KXLGMO_HPP_
