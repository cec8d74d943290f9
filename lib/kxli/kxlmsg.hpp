// KxlMsg is a message: its contents in a cache (KxlCac), its tracking
// values (KxlMtr) and its 364-byte descriptor record KXMD, held in wire
// layout. Items are written into it with writeItem and read from it with
// readItem; the descriptor's format, encoding and character set are what
// headers chain through.
//
// A message has exactly one pair of codes (KxlErr is a virtual base of
// both its parts).
//
//   KxlMsg message;
//   KxlStr text("hello");
//   message.writeItem(text);          // format "KXSTR   "
//   KxlDlh header;
//   header.setDestinationQueueName("Q1");
//   message.writeItem(header);        // format "KXDEAD  "
#ifndef KXLI_KXLMSG_HPP_
#define KXLI_KXLMSG_HPP_

#include <cstdint>

#include "kxlcac.hpp"
#include "kxlitm.hpp"
#include "kxlmtr.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlMsg : public KxlCac, public KxlMtr {
 public:
  KxlMsg();
  ~KxlMsg() override;

  // The 8 format characters (up to a null byte), blanks kept.
  KxlStr format() const;
  // True when the 8 bytes at `name` equal the format field.
  // REQUIRES: a non-null `name` has 8 readable characters.
  bool formatIs(const char *name) const;
  // Up to 8 characters of `name`, blank padded.
  void setFormat(const char *name);

  // Run the item's pasteIn (copyOut) on this message, then take the item's
  // codes whatever the outcome.
  bool readItem(KxlItm &item);
  bool writeItem(KxlItm &item);

  // Text fields: getters strip trailing blanks; setters copy up to the
  // field's width and null-fill (a cut text records its warning in the
  // string class's error record, not here).
  KxlStr applicationIdData() const;
  KxlStr applicationOriginData() const;
  KxlStr putApplicationName() const;
  KxlStr putDate() const;
  KxlStr putTime() const;
  KxlStr replyToQueueManagerName() const;
  KxlStr replyToQueueName() const;
  KxlStr userId() const;
  void setApplicationIdData(const char *text);
  void setApplicationOriginData(const char *text);
  void setPutApplicationName(const char *text);
  void setPutDate(const char *text);
  void setPutTime(const char *text);
  void setReplyToQueueManagerName(const char *text);
  void setReplyToQueueName(const char *text);
  void setUserId(const char *text);

  // The descriptor's encoding, character set and version; the setters
  // store the low 32 bits.
  long encoding() const;
  void setEncoding(long encoding);
  long characterSet() const;
  void setCharacterSet(long characterSet);
  long version() const;
  // The descriptor record in wire layout, valid while the message lives.
  const KXMD *descriptor() const { return &descriptor_; }

  // Default construction followed by assignment from `source`.
  KxlMsg(const KxlMsg &source);
  // Copies contents, tracking values and descriptor; the codes end as the
  // most severe of the source's and those raised while copying (a
  // truncated copy's 6115 survives).
  void operator=(const KxlMsg &source);

 protected:
  // The version every message constructed afterwards writes into its
  // descriptor (2 at load).
  static void setVersionSupported(long version);

 private:
  KXMD descriptor_;
  std::uint64_t reserved_;
};

#endif  // KXLI_KXLMSG_HPP_
