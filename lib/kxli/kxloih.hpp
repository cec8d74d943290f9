// KxlOih is the OXT bridge header: the fields an application exchanges
// with the bridge to the OXT transaction manager (logical terminal
// override, message format services map name, reply format, authenticator
// and a 16-byte transaction instance id). Its 84-byte record KXOIH ("OIH ",
// format "KXOXT   ") goes in front of the message's content; the record's
// format, encoding and character set describe what follows it.
//
// Sending side: write the application data, then the header.
//   KxlMsg message;
//   KxlStr text("hello");
//   message.writeItem(text);               // format "KXSTR   "
//   KxlOih header;
//   header.setLogicalTerminalOverride("LT1");
//   message.writeItem(header);             // format "KXOXT   ", record + "hello"
// Receiving side: take the header off, then read what follows it.
//   KxlOih received;
//   if (message.formatIs("KXOXT   ") && message.readItem(received)) {
//     KxlStr body;                         // the message says "KXSTR   " again
//     message.readItem(body);
//   }
//
// Text fields are 8 characters and hold 8 blanks after construction. Text
// setters cut an over-long text without recording anything in the header
// (the string class's error record gets the warning).
#ifndef KXLI_KXLOIH_HPP_
#define KXLI_KXLOIH_HPP_

#include "kxlbin.hpp"
#include "kxlpfx.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlOih : public KxlPfx {
 public:
  KxlOih();
  ~KxlOih() override;

  // Puts the record in front of the message's whole content, recording the
  // message's format, encoding and character set in the header.
  bool copyOut(KxlMsg &message) override;
  // Takes the record from the message's data offset (structure id 6107,
  // encoding 6106, format 6119 checked in that order) and makes the message
  // describe what follows it. The version, structure length and trailing
  // bytes are taken as they stand.
  bool pasteIn(KxlMsg &message) override;

  // Up to the first null byte, trailing blanks removed; setters null pad.
  KxlStr logicalTerminalOverride() const;
  KxlStr messageFormatServicesMapName() const;
  void setLogicalTerminalOverride(const char *name);
  void setMessageFormatServicesMapName(const char *name);
  // Up to the first null byte, blanks kept; the setter blank pads.
  KxlStr replyToFormat() const;
  void setReplyToFormat(const char *format);
  // Up to the first null byte, blanks kept; the setter null pads.
  KxlStr authenticator() const;
  void setAuthenticator(const char *authenticator);

  // Always 16 bytes.
  KxlBin transactionInstanceId() const;
  // 16 bytes are copied, an empty byte string zeroes the id; any other
  // length fails with 6111 and leaves the id as it was.
  bool setTransactionInstanceId(const KxlBin &id);
  // Copies 16 bytes; a null pointer zeroes the id.
  // REQUIRES: a non-null `id` has 16 readable bytes.
  void setTransactionInstanceId(const unsigned char *id);

  // Default construction followed by assignment from `other`.
  KxlOih(const KxlOih &other);
  // Copies the codes and the whole record.
  void operator=(const KxlOih &other);

 private:
  KXOIH record_;
};

#endif  // KXLI_KXLOIH_HPP_
