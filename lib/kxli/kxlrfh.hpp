// KxlRfh is the reference header: it names a source and a destination,
// each by an environment and a name, and carries a reference type and a
// 24-byte instance id. Its record KXRMH is a 108-byte fixed part followed by
// four variable parts holding the four names. Format name "KXHREF  ",
// structure id "RMH ".
//
// The four names are kept as strings; their lengths and offsets in the
// fixed part are recomputed on every copyOut, which writes the parts right
// after the fixed part in the order source environment, source name,
// destination environment, destination name. pasteIn finds each part only
// through its own offset and length, so parts written by other programs may
// stand in any order; offsets and lengths read from a message are never
// trusted to lie inside it.
//
//   KxlMsg message;
//   KxlStr text("payload");
//   message.writeItem(text);
//   KxlRfh header;
//   header.setReferenceType("FILE");
//   header.setSourceName("/in/data.txt");
//   header.setDestinationName("/out/data.txt");
//   message.writeItem(header);        // format "KXHREF  "
//
//   KxlRfh received;                  // at the data offset
//   if (message.readItem(received)) {
//     KxlStr name = received.destinationName();
//   }
#ifndef KXLI_KXLRFH_HPP_
#define KXLI_KXLRFH_HPP_

#include "kxlbin.hpp"
#include "kxlpfx.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlRfh : public KxlPfx {
 public:
  // Four empty names; the structure length and the length and offset
  // fields are 0 until copyOut computes them.
  KxlRfh();
  ~KxlRfh() override;

  // Trailing blanks removed.
  KxlStr referenceType() const;
  // Up to 8 characters, the rest null bytes.
  void setReferenceType(const char *text);

  // Always 24 bytes.
  KxlBin instanceId() const;
  // 24 bytes are copied, an empty byte string zeroes the field; any other
  // length fails with 6111 and leaves the field alone.
  bool setInstanceId(const KxlBin &id);
  // Copies 24 bytes; a null pointer zeroes the field.
  void setInstanceId(const unsigned char *id);

  // Names of any length; a null pointer or an empty text gives an empty
  // name.
  KxlStr sourceEnvironment() const;
  KxlStr sourceName() const;
  KxlStr destinationEnvironment() const;
  KxlStr destinationName() const;
  void setSourceEnvironment(const char *text);
  void setSourceName(const char *text);
  void setDestinationEnvironment(const char *text);
  void setDestinationName(const char *text);

  // Recomputes the lengths, offsets and structure length (they stay so
  // whatever happens next) and puts the fixed part and the four names in
  // front of the message's content.
  bool copyOut(KxlMsg &message) override;
  // Takes the header from the message's data offset. A part that does not
  // lie within the data fails with 6114 (the parts that do are still
  // taken); parts ending past the structure length fail with 6123. Only a
  // successful paste moves the data offset, by the structure length.
  bool pasteIn(KxlMsg &message) override;

  // Default construction followed by assignment from `other`.
  KxlRfh(const KxlRfh &other);
  // Copies the codes, the whole fixed part and the four names.
  void operator=(const KxlRfh &other);

 private:
  KxlStr destinationEnvironment_;
  KxlStr destinationName_;
  KxlStr sourceEnvironment_;
  KxlStr sourceName_;
  KXRMH record_;
};

#endif  // KXLI_KXLRFH_HPP_
