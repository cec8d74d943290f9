// KxlVih is the VORN bridge header: the request and reply fields an
// application exchanges with the bridge to the VORN transaction server
// (transaction identifiers, start and cancel codes, link type, unit-of-work
// control, wait interval, facility token, the bridge's own return codes).
// Its record KXVIH comes in version 1 (164 bytes) and version 2 (180 bytes,
// the first 164 common to both); the header keeps all 180 bytes in storage
// of its own and writes or reads as many as its version says. Format name
// "KXVORN  ", structure id "VIH ".
//
// Text getters return the field with its trailing blanks; text setters cut
// to the field's width and blank-fill.
//
//   KxlMsg message;
//   KxlStr text("request data");
//   message.writeItem(text);
//   KxlVih header;
//   header.setTransactionIdentifier("TRN1");
//   header.setVersion(1);             // writes 164 bytes
//   message.writeItem(header);        // format "KXVORN  "
//
//   // On the receiving side, at the data offset:
//   KxlVih reply;
//   if (message.readItem(reply)) {    // the record's own version decides
//     long code = reply.bridgeReturnCode();
//   }
#ifndef KXLI_KXLVIH_HPP_
#define KXLI_KXLVIH_HPP_

#include <cstdint>
#include <memory>

#include "kxlbin.hpp"
#include "kxlpfx.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlVih : public KxlPfx {
 public:
  // Version 2, the record as the bridge expects a new request. The record's
  // storage comes from the throwing allocation: an exception propagates.
  KxlVih();
  ~KxlVih() override;

  // The record's version, 1 or 2.
  long version() const;
  // Accepts 1 up to the highest supported version (2) and sets the
  // structure length to that version's record length (164 or 180);
  // anything else fails with 6128 and changes nothing.
  bool setVersion(long version);

  // Integer fields, read and written in place in the record; the setters
  // store the low 32 bits.
  long UOWControl() const;
  void setUOWControl(long value);
  long getWaitInterval() const;
  void setGetWaitInterval(long value);
  long linkType() const;
  void setLinkType(long value);
  long outputDataLength() const;
  void setOutputDataLength(long value);
  long facilityKeepTime() const;
  void setFacilityKeepTime(long value);
  long ADSDescriptor() const;
  void setADSDescriptor(long value);
  long conversationalTask() const;
  void setConversationalTask(long value);
  // Held and set whatever the version; written only with version 2.
  long cursorPosition() const;
  void setCursorPosition(long value);

  // Filled in by the bridge; read only.
  long bridgeReturnCode() const;
  long bridgeCompletionCode() const;
  long bridgeReasonCode() const;
  long taskEndStatus() const;
  long bridgeErrorOffset() const;

  // Text fields, with their trailing blanks; the setters cut to the
  // field's width and blank-fill.
  KxlStr authenticator() const;
  void setAuthenticator(const char *text);
  KxlStr replyToFormat() const;
  void setReplyToFormat(const char *text);
  KxlStr transactionIdentifier() const;
  void setTransactionIdentifier(const char *text);
  KxlStr facilityLike() const;
  void setFacilityLike(const char *text);
  KxlStr attentionIdentifier() const;
  void setAttentionIdentifier(const char *text);
  KxlStr startCode() const;
  void setStartCode(const char *text);
  KxlStr bridgeCancelCode() const;
  void setBridgeCancelCode(const char *text);

  // Filled in by the bridge; read only.
  KxlStr function() const;
  KxlStr bridgeAbendCode() const;
  KxlStr nextTransactionIdentifier() const;

  // Always 8 bytes.
  KxlBin facilityToken() const;
  // 8 bytes are copied, an empty byte string zeroes the field; any other
  // length fails with 6111 and leaves the field alone.
  bool setFacilityToken(const KxlBin &token);
  // Copies 8 bytes; a null pointer zeroes the field.
  void setFacilityToken(const unsigned char *token);

  // Puts the record, in its version's length, in front of the message's
  // content. An unsupported version fails with 6128 before the message is
  // touched.
  bool copyOut(KxlMsg &message) override;
  // Takes the record from the message's data offset. The version in the
  // incoming record decides how many bytes are read; an unsupported one
  // fails with 6128, leaving the data offset and this header as they were.
  bool pasteIn(KxlMsg &message) override;

  // Default construction followed by assignment from `other`.
  KxlVih(const KxlVih &other);
  // Copies the codes and all 180 bytes of the record; the highest
  // supported version stays this object's own.
  void operator=(const KxlVih &other);

 private:
  std::int32_t highestVersion_;
  std::unique_ptr<KXVIH> record_;
};

#endif  // KXLI_KXLVIH_HPP_
