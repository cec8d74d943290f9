// KxlHdr is a header: an item that goes in front of everything a message
// already holds, recording the message's format, encoding and character
// set so that reading it back restores them. The concrete headers keep
// these values in their own records; the header write and read are done
// once here, for all of them.
//
// Writing a header (copyOut): room for the record at the data offset, the
// message's description passed on to the header, the message described as
// the header (its format name, encoding 546, character set 0), and the
// record put in front of the whole old content.
// Reading a header (pasteIn): structure id, encoding and format checked in
// that order, the record read at the data offset, and the message's
// description restored from the header.
#ifndef KXLI_KXLHDR_HPP_
#define KXLI_KXLHDR_HPP_

#include <cstddef>

#include "kxlcac.hpp"
#include "kxlitm.hpp"
#include "kxlstr.hpp"

class KXL_EXPORT KxlHdr : public KxlItm {
 public:
  KxlHdr();
  // Default construction followed by assignment from `other`.
  KxlHdr(const KxlHdr &other);
  ~KxlHdr() override;
  // Copies the codes; each concrete header copies its own record.
  void operator=(const KxlHdr &other);

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

 protected:
  // One piece of the bytes a header writes: its fixed record, or one of
  // its variable parts, in the order they are to stand.
  using Piece = KxlCac::Piece;

  // The header write of `count` pieces under the format name `formatName`.
  // The old content is moved once, in place or into the grown buffer; no
  // temporary copy is made. On failure the header takes the message's
  // codes. An application buffer that takes the header but not the old
  // content is left holding the header alone.
  // REQUIRES: the pieces do not lie in the message's buffer.
  bool writeHeader(KxlMsg &message, const Piece *pieces, std::size_t count, const char *formatName);
  bool writeHeader(KxlMsg &message, const void *record, std::size_t length, const char *formatName);

  // The header read of a fixed-length record: checkRecord, readRecord of
  // `length` bytes into `record`, then describeMessage.
  bool readHeader(KxlMsg &message, const Layout &layout, void *record, std::size_t length);

  // The last step of every header read: the message's encoding, character
  // set and format become this header's.
  void describeMessage(KxlMsg &message) const;

  // The 8-byte format field of the concrete header's record, so that the
  // header write and read pass format names without a string object.
  // REQUIRES: called in every constructor of the concrete header.
  void useFormatField(const char *field) { formatField_ = field; }

 private:
  const char *formatField_ = nullptr;
};

#endif  // KXLI_KXLHDR_HPP_
