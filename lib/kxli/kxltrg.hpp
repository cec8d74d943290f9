// KxlTrg is a trigger message: the 684-byte binary record KXTM (queue name,
// process name, trigger data, a 32-bit number, application id, environment
// data, user data), kept whole inside the object. As a message item it is
// the whole message content, format "KXTRIG  ", structure id "TM  ". It can
// also fill the character form of the same record, tagKXTMC2, in which
// every field is blank-padded text.
//
// Text fields hold their characters followed by null bytes (a new trigger
// holds null bytes only). Getters return a field up to its first null byte
// with trailing blanks removed. Setters never change the trigger's codes:
// an over-long text is cut to the field's width and the truncation warning
// goes to the string class's static error record. The version and the
// number at offset 168 have no accessor; they come with the record from
// construction, assignment or pasteIn.
//
//   KxlTrg trigger;
//   trigger.setQueueName("APP.INPUT");
//   trigger.setUserData("start");
//   KxlMsg message;
//   message.writeItem(trigger);   // 684 bytes, format "KXTRIG  "
//   ...
//   message.setDataOffset(0);
//   KxlTrg received;
//   if (message.readItem(received)) use(received.queueName());
#ifndef KXLI_KXLTRG_HPP_
#define KXLI_KXLTRG_HPP_

#include "kxlitm.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlTrg : public KxlItm {
 public:
  // Structure id "TM  ", version 1, every other byte of the record zero.
  KxlTrg();
  ~KxlTrg() override;

  // The text fields, up to the first null byte, trailing blanks removed.
  KxlStr queueName() const;
  KxlStr processName() const;
  KxlStr triggerData() const;
  KxlStr applicationId() const;
  KxlStr environmentData() const;
  KxlStr userData() const;
  // At most the field's width of `text`, the rest null bytes; a null
  // pointer clears the field.
  void setQueueName(const char *text);
  void setProcessName(const char *text);
  void setTriggerData(const char *text);
  void setApplicationId(const char *text);
  void setEnvironmentData(const char *text);
  void setUserData(const char *text);

  // Fills `record` with the character form: "TMC ", version "   2", each
  // text field blank-padded, the number at offset 168 in decimal right-
  // aligned in four characters (its first four characters when longer),
  // and 48 trailing blanks. False with 2/6108 for a null `record`. What
  // the string copies report stays out of the trigger's codes.
  bool copyOut(tagKXTMC2 *record);

  // Replaces the message content with the record (format "KXTRIG  ",
  // the native encoding, character set 0). On failure the trigger takes over the
  // message's codes.
  bool copyOut(KxlMsg &message) override;
  // Reads the record at the message's data offset after checking the
  // structure id (6107), the native encoding (6106) and the format (6119), in
  // that order. A failure leaves the record and the data offset as they
  // were. The message's description is not changed.
  bool pasteIn(KxlMsg &message) override;

  // Default construction followed by assignment from `other`.
  KxlTrg(const KxlTrg &other);
  // Copies both codes and all 684 bytes of the record.
  void operator=(const KxlTrg &other);

 private:
  KXTM record_;
};

#endif  // KXLI_KXLTRG_HPP_
