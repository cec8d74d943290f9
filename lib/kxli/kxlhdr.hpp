// KxlHdr is a header: an item that goes in front of everything a message
// already holds, recording the message's format, encoding and character
// set so that reading it back restores them. The concrete headers keep
// these values in their own records; the header write and read are done
// once here, for all of them.
//
// Writing a header (copyOut): room for the record at the data offset, the
// message's description passed on to the header, the message described as
// the header (its format name, the native encoding, character set 0), and the
// record put in front of the whole old content.
// Reading a header (pasteIn): structure id, encoding and format checked in
// that order, the record read at the data offset, and the message's
// description restored from the header.
#ifndef KXLI_KXLHDR_HPP_
#define KXLI_KXLHDR_HPP_

#include <cstddef>
#include <typeinfo>

#include "kxlcac.hpp"
#include "kxlitm.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlHdr : public KxlItm {
 public:
  KxlHdr();
  ~KxlHdr() override;

  // What the header records about the data that follow it (character
  // set, encoding, format name), and the header flags. Each concrete
  // header keeps them in its own record, except the dead-letter header,
  // whose flags stay in the object.
  virtual long characterSet() const = 0;
  virtual long encoding() const = 0;
  virtual KxlStr format() const = 0;
  virtual long headerFlags() const = 0;
  virtual void setCharacterSet(long characterSet) = 0;
  virtual void setEncoding(long encoding) = 0;
  virtual void setFormat(const char *name) = 0;
  virtual void setHeaderFlags(long flags) = 0;

  // Default construction followed by assignment from `other`.
  KxlHdr(const KxlHdr &other);
  // Copies the codes; each concrete header copies its own record.
  void operator=(const KxlHdr &other);

 protected:
  // One piece of the bytes a header writes: its fixed record, or one of
  // its variable parts, in the order they are to stand.
  using Piece = KxlCac::Piece;

  // The header write of `count` pieces under the format name `formatName`:
  // room for them at the data offset, the message's description passed on
  // through this header's virtual setters, the message described as the
  // header, the pieces written in order at offset 0 and the old content
  // after them. Stops at the first write that fails; the header then takes
  // the message's codes and the message holds what was written so far.
  // When nobody listens the content is moved once, in place, where that
  // gives the same message (KxlCac::prepareFront).
  // REQUIRES: the pieces do not lie in the message's buffer.
  bool writeHeader(KxlMsg &message, const Piece *pieces, std::size_t count, const char *formatName);
  bool writeHeader(KxlMsg &message, const void *record, std::size_t length, const char *formatName);

  // The header read of a fixed-length record: checkRecord, readRecord of
  // `length` bytes into `record`, then describeMessage.
  bool readHeader(KxlMsg &message, const Layout &layout, void *record, std::size_t length);

  // The last step of every header read: the message's encoding, character
  // set and format become those this header's virtual getters give.
  void describeMessage(KxlMsg &message) const;

  // The 8-byte format field of the concrete header `owner`, whose format()
  // gives that field's characters: while an object is exactly of that
  // class and nobody listens, the header read passes the format name on
  // without the getter's string.
  // REQUIRES: called in every constructor of the concrete header.
  void useFormatField(const char *field, const std::type_info &owner) {
    formatField_ = field;
    formatOwner_ = &owner;
  }

 private:
  // The steps after room was found: the message's description goes to this
  // header through its virtual setters, then the message is described as
  // the header `formatName`. The message's format is handed over through
  // its getter's string when `formatAsString`, else straight from the field.
  void exchangeDescriptions(KxlMsg &message, bool formatAsString, const char *formatName);

  const char *formatField_ = nullptr;
  const std::type_info *formatOwner_ = nullptr;
};

#endif  // KXLI_KXLHDR_HPP_
