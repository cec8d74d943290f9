// KxlWih is the work information header: it names a service and a step of
// that service and carries a 16-byte message token. Its 120-byte record
// KXWIH ("WIH ", format "KXHWIH  ") goes in front of the message's content;
// the record's format, encoding and character set describe what follows it.
//
// Sending side: write the application data, then the header (headers
// stack: each goes in front of what the message already holds).
//   KxlMsg message;
//   KxlStr text("hello");
//   message.writeItem(text);               // format "KXSTR   "
//   KxlWih header;
//   header.setServiceName("PAYROLL");
//   message.writeItem(header);             // format "KXHWIH  ", record + "hello"
// Receiving side: take the header off, then read what follows it.
//   KxlWih received;
//   if (message.formatIs("KXHWIH  ") && message.readItem(received)) {
//     KxlStr body;                         // the message says "KXSTR   " again
//     message.readItem(body);
//   }
//
// Text fields are blank padded and read back with their blanks. Text
// setters cut an over-long text without recording anything in the header
// (the string class's error record gets the warning). The 32 bytes after
// the token have no accessor: zero after construction, carried by pasteIn,
// assignment and copyOut.
#ifndef KXLI_KXLWIH_HPP_
#define KXLI_KXLWIH_HPP_

#include "kxlbin.hpp"
#include "kxlpfx.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlWih : public KxlPfx {
 public:
  KxlWih();
  ~KxlWih() override;

  // Puts the record in front of the message's whole content, recording the
  // message's format, encoding and character set in the header. The
  // structure length is written as it stands.
  bool copyOut(KxlMsg &message) override;
  // Takes the record from the message's data offset (structure id 6107,
  // encoding 6106, format 6119 checked in that order) and makes the message
  // describe what follows it. Always 120 bytes, whatever the structure
  // length read says.
  bool pasteIn(KxlMsg &message) override;

  // 32 characters; up to the first null byte, blanks kept; blank padded.
  KxlStr serviceName() const;
  void setServiceName(const char *name);
  // 8 characters; up to the first null byte, blanks kept; blank padded.
  KxlStr serviceStep() const;
  void setServiceStep(const char *step);

  // Always 16 bytes.
  KxlBin messageToken() const;
  // 16 bytes are copied, an empty byte string zeroes the token; any other
  // length fails with 6111 and leaves the token as it was.
  bool setMessageToken(const KxlBin &token);
  // Copies 16 bytes; a null pointer zeroes the token.
  // REQUIRES: a non-null `token` has 16 readable bytes.
  void setMessageToken(const unsigned char *token);

  // Default construction followed by assignment from `other`.
  KxlWih(const KxlWih &other);
  // Copies the codes and the whole record.
  void operator=(const KxlWih &other);

 private:
  KXWIH record_;
};

#endif  // KXLI_KXLWIH_HPP_
