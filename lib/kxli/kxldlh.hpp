// KxlDlh is the dead-letter header: it records where an undeliverable
// message was meant to go (destination queue and queue manager) and which
// application put it, and when. Its 172-byte record KXDLH ("DLH ", format
// "KXDEAD  ") goes in front of the message's content; the record's format,
// encoding and character set describe what follows it. The header flags
// live in the object only and never reach a message.
//
// Sending side: write the application data, then the header.
//   KxlMsg message;
//   KxlStr text("hello");
//   message.writeItem(text);               // format "KXSTR   "
//   KxlDlh header;
//   header.setDestinationQueueName("Q1");
//   message.writeItem(header);             // format "KXDEAD  ", record + "hello"
// Receiving side: take the header off, then read what follows it.
//   KxlDlh received;
//   if (message.formatIs("KXDEAD  ") && message.readItem(received)) {
//     KxlStr body;                         // the message says "KXSTR   " again
//     message.readItem(body);
//   }
//
// Text setters cut an over-long text to the field's width without recording
// anything in the header (the string class's error record gets the
// warning). Unset text fields hold null bytes.
#ifndef KXLI_KXLDLH_HPP_
#define KXLI_KXLDLH_HPP_

#include <cstdint>

#include "kxlhdr.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlDlh : public KxlHdr {
 public:
  KxlDlh();
  ~KxlDlh() override;

  // Puts the record in front of the message's whole content, recording the
  // message's format, encoding and character set in the header.
  bool copyOut(KxlMsg &message) override;
  // Takes the record from the message's data offset (structure id 6107,
  // encoding 6106, format 6119 checked in that order) and makes the message
  // describe what follows it.
  bool pasteIn(KxlMsg &message) override;

  long characterSet() const override;
  long encoding() const override;
  // The 8 format characters up to a null byte; blanks kept.
  KxlStr format() const override;
  long headerFlags() const override;
  void setCharacterSet(long characterSet) override;
  void setEncoding(long encoding) override;
  // Up to 8 characters, blank padded.
  void setFormat(const char *name) override;
  void setHeaderFlags(long flags) override;

  // Text getters: the field up to its first null byte, trailing blanks
  // removed. Setters: up to the field's width, null padded.
  KxlStr destinationQueueName() const;
  KxlStr destinationQueueManagerName() const;
  KxlStr putApplicationName() const;
  KxlStr putDate() const;
  KxlStr putTime() const;
  void setDestinationQueueName(const char *name);
  void setDestinationQueueManagerName(const char *name);
  void setPutApplicationName(const char *name);
  void setPutDate(const char *date);
  void setPutTime(const char *time);

  // Default construction followed by assignment from `other`.
  KxlDlh(const KxlDlh &other);
  // Copies the codes and the whole record, then the header flags through
  // the source's headerFlags() and this object's setHeaderFlags().
  void operator=(const KxlDlh &other);

 private:
  std::int32_t headerFlags_;
  KXDLH record_;
};

#endif  // KXLI_KXLDLH_HPP_
