// KxlChl is a client channel definition: the channel's name, connection
// name and local address, transport, mode and transaction program names,
// security exit, user id and password, SSL settings, intervals and maximum
// message length, the send and receive exit lists with one user-data entry
// per exit, and the header and message compression lists.
//
// Everything is kept in one 1888-byte tagKXCD record in wire layout, plus
// the storage the record points to: each side's exit-name and user-data
// arrays and the SSL peer name. The channel owns all of it; copies and
// assignments are deep, so two channels never share storage.
//
// Text setters copy into the fixed-width fields, filling the rest with null
// bytes. An over-long text is cut, the channel records the warning 6115 and
// the setter still returns true. Text getters stop at a null byte and drop
// trailing blanks, so a field filled with blanks reads like a null-filled
// one. Codes are sticky: a successful call does not clear them.
//
// Replacing a side's exit names always empties that side's user data; the
// user data is set afterwards, one entry per exit:
//
//   KxlChl channel;
//   channel.setChannelName("TO.SERVER");
//   channel.setConnectionName("host.example(5000)");
//   const char *exits[] = {"libexits(sendOne)", "libexits(sendTwo)"};
//   channel.setSendExitNames(2, exits);
//   channel.setSendUserData("level=2");    // first exit's; the second's empty
//   KxlStr first = channel.sendExitName();  // "libexits(sendOne)"
//   const std::int32_t none[] = {0};
//   channel.setHeaderCompression(1, none);  // headerCompressionCount() == 1
#ifndef KXLI_KXLCHL_HPP_
#define KXLI_KXLCHL_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "kxlerr.hpp"
#include "kxlrec.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlChl : public KxlErr {
 public:
  KxlChl();
  ~KxlChl() override;

  // Integer fields: setters keep the low 32 bits and always return true.
  long batchHeartBeat() const;
  bool setBatchHeartBeat(long value);
  long heartBeatInterval() const;
  bool setHeartBeatInterval(long value);
  long keepAliveInterval() const;
  bool setKeepAliveInterval(long value);
  long maximumMessageLength() const;
  bool setMaximumMessageLength(long value);
  long sslClientAuthentication() const;
  bool setSslClientAuthentication(long value);
  long transportType() const;
  bool setTransportType(long value);

  // Text fields. A setter fails only when the field (2146) or the text
  // (2145) fails the pointer check, the field unchanged; a null pointer is
  // the empty text.
  KxlStr channelName() const;
  bool setChannelName(const char *name);
  // The setter writes the text into the 20-character short connection
  // name first and, when that succeeded, into the 264-character field this
  // getter reads.
  KxlStr connectionName() const;
  bool setConnectionName(const char *name);
  KxlStr localAddress() const;
  bool setLocalAddress(const char *address);
  KxlStr modeName() const;
  bool setModeName(const char *name);
  KxlStr password() const;
  bool setPassword(const char *password);
  KxlStr securityExitName() const;
  bool setSecurityExitName(const char *name);
  KxlStr securityUserData() const;
  bool setSecurityUserData(const char *data);
  KxlStr sslCipherSpecification() const;
  bool setSslCipherSpecification(const char *specification);
  KxlStr transactionProgramName() const;
  bool setTransactionProgramName(const char *name);
  KxlStr userId() const;
  bool setUserId(const char *id);

  // The SSL peer name has no length limit and is stored with exactly its
  // length, without terminator. A null pointer or an empty text removes it.
  // The old name is released and the new storage recorded before the text
  // is copied: a text that fails the pointer check (2145) leaves the new
  // length with storage of null bytes.
  KxlStr sslPeerName() const;
  bool setSslPeerName(const char *name);

  // Exit lists. Each side has a count and two arrays of fixed-width slots,
  // one exit name and one user-data entry per exit; the slot widths are the
  // record's exit name length and user data length (128 and 32 as
  // constructed). Slots are read up to a null byte, blanks kept.
  //
  // Replacing the exit names: a null list or null entry fails with 6108,
  // an empty entry with 2010, both with nothing changed. Otherwise the
  // side gets `count` exits with the given names and empty user data; a
  // slot copy that fails (2145, 2146) stops the replacement with the slots
  // before it written. A count above 2147483647 fails with 2316.
  //
  // Replacing the user data: more entries than exits fail with 2316,
  // nothing changed. Otherwise every slot gets its entry's text, or none
  // beyond the given entries, for a null list or for a null entry.
  //
  // The getters that fill caller strings skip null pointers in the array,
  // make the strings beyond the exit count empty, and, when a string cannot
  // be set, take its codes, go on and return false. The single getters
  // read slot 0 (empty without exits) and take the result's codes when it
  // cannot be set.
  std::size_t sendExitCount() const;
  KxlStr sendExitName();
  bool sendExitNames(std::size_t count, KxlStr **names);
  KxlStr sendUserData();
  bool sendUserData(std::size_t count, KxlStr **data);
  // A null or empty name empties the side.
  bool setSendExitName(const char *name);
  bool setSendExitNames(std::size_t count, const char **names);
  bool setSendExitNames(std::size_t count, const KxlStr **names);
  // Fails with 2316 when the side has no exits.
  bool setSendUserData(const char *data);
  bool setSendUserData(std::size_t count, const char **data);
  bool setSendUserData(std::size_t count, const KxlStr **data);

  // The same for the receive side.
  std::size_t receiveExitCount() const;
  KxlStr receiveExitName();
  bool receiveExitNames(std::size_t count, KxlStr **names);
  KxlStr receiveUserData();
  bool receiveUserData(std::size_t count, KxlStr **data);
  bool setReceiveExitName(const char *name);
  bool setReceiveExitNames(std::size_t count, const char **names);
  bool setReceiveExitNames(std::size_t count, const KxlStr **names);
  bool setReceiveUserData(const char *data);
  bool setReceiveUserData(std::size_t count, const char **data);
  bool setReceiveUserData(std::size_t count, const KxlStr **data);

  // Compression lists: 2 header and 16 message slots, -1 marking an empty
  // slot. The count is the number of leading slots that are not -1. The
  // getters copy the first min(count, slots) values, -1 included; the
  // setters store as many into the first slots, the others unchanged. The
  // values are not interpreted; all four return true (a null array is
  // neither read nor written).
  std::size_t headerCompressionCount() const;
  bool headerCompression(std::size_t count, std::int32_t *values) const;
  bool setHeaderCompression(std::size_t count, const std::int32_t *values);
  std::size_t messageCompressionCount() const;
  bool messageCompression(std::size_t count, std::int32_t *values) const;
  bool setMessageCompression(std::size_t count, const std::int32_t *values);

  // Default construction followed by assignment from `other`.
  KxlChl(const KxlChl &other);
  // Copies the codes, the record and the source's lists and peer name into
  // storage of this channel's own; nothing for the object itself.
  void operator=(const KxlChl &other);

 protected:
  // The record itself, owned by the channel and valid for its lifetime.
  // REQUIRES: whoever changes the list or peer name fields through it keeps
  // them as the channel leaves them: a count of 0 with null pointers, or a
  // count with arrays of count times the slot width allocated by new[]; a
  // peer name length with a new[] array of that length, or 0 and null.
  tagKXCD *KXCD() const { return record_.get(); }

 private:
  struct Side;
  class Entries;
  static const Side kSend;
  static const Side kReceive;

  // The static string copy into `field` of `width` bytes (a record field
  // or an exit-list slot), reporting into this channel, null-padded.
  bool setText(char *field, std::size_t width, const char *text);
  template <std::size_t N>
  bool setText(char (&field)[N], const char *text) {
    return setText(field, N, text);
  }

  std::size_t exitCount(const Side &side) const;
  std::size_t exitNameWidth() const;
  std::size_t userDataWidth() const;
  KxlStr firstSlot(const Side &side, char *tagKXCD::*array, std::size_t width);
  bool fillStrings(const Side &side, char *tagKXCD::*array, std::size_t width, std::size_t count,
                   KxlStr **strings);
  bool replaceExitNames(const Side &side, std::size_t count, const Entries &names);
  bool replaceUserData(const Side &side, std::size_t count, const Entries &data);
  void resize(const Side &side, std::size_t count);
  void release(const Side &side);
  void copySide(const Side &side, const KxlChl &other);
  void releasePeerName();

  // The record is this channel's own. Its lists and its peer name are held
  // where the record's layout puts them, as plain pointers in its fields
  // (KXCD() hands the record to other classes of the interface as it is);
  // release, releasePeerName and copySide are the only places that obtain
  // and release them.
  const std::unique_ptr<tagKXCD> record_;
};

#endif  // KXLI_KXLCHL_HPP_
