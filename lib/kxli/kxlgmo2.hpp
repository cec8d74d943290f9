// KxlGmo holds get-message options in the older 80-byte layout of the KXGMO
// record: how a message is to be got (here: whether it takes part in the
// sync point) and, filled by the code that gets the message, the name of
// the queue that was resolved. It is a plain value, copied whole; it is
// never written into or read from a message.
//
// A new KxlGmo holds the default record with the class's supported version
// at the moment of construction (2 unless changed by setVersionSupported).
#ifndef KXLI_KXLGMO2_HPP_
#define KXLI_KXLGMO2_HPP_

#include "kxlerr.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlGmo : public KxlErr {
 public:
  KxlGmo();
  ~KxlGmo() override;

  // The resolved queue name, up to its first null byte, trailing blanks
  // removed.
  KxlStr resolvedQueueName() const;
  // True when the options have bit 0x2 or bit 0x1000 set.
  bool syncPointParticipation() const;
  // true: clears 0x4 and 0x1000, sets 0x2; false: clears 0x2 and 0x1000,
  // sets 0x4. Every other option bit is kept.
  void setSyncPointParticipation(bool participate);

  // The record in KXGMO layout. Only its first kKxGmoLength2 (80) bytes
  // belong to this layout; the bytes from the message token on are zero and
  // stay so.
  const KXGMO *record() const { return &record_; }

  // Codes 0, then assignment: the copy keeps the source's version.
  KxlGmo(const KxlGmo &source);
  // Copies both codes and the 80 bytes of the record.
  void operator=(const KxlGmo &other);

 protected:
  // The version written into every KxlGmo default-constructed afterwards;
  // existing objects and their copies keep theirs.
  static void setVersionSupported(long version);

 private:
  // The full KXGMO is held so that record() points at storage of the
  // record's whole size; only the first 80 bytes are ever written or copied.
  KXGMO record_;
};

#endif  // KXLI_KXLGMO2_HPP_
