// KxlCac is a message buffer: a block of bytes holding a message's
// contents, the message length (how many of those bytes are valid) and the
// data offset (the cursor where the next read takes and the next write puts
// bytes). The buffer is either automatic (owned by the cache, grown on
// demand to at least twice its size) or the application's own, made known
// through useEmptyBuffer/useFullBuffer, which the cache never reallocates
// or frees.
//
// Invariant after every operation: data offset <= message length <= buffer
// length. Failures set the codes (KxlErr) and leave the fields unchanged
// unless an operation says otherwise.
#ifndef KXLI_KXLCAC_HPP_
#define KXLI_KXLCAC_HPP_

#include <cstddef>

#include "kxlerr.hpp"

class KXL_EXPORT KxlCac : public virtual KxlErr {
 public:
  KxlCac();
  // Always automatic, holding a copy of what `source` holds.
  KxlCac(const KxlCac &source);
  ~KxlCac() override;
  // Copies the source's codes and contents; an application buffer keeps its
  // size and gets the leading part (warning 6115 when cut).
  void operator=(const KxlCac &source);

  // Message length and data offset become 0; the buffer stays.
  void clearMessage();
  // Bytes from the data offset to the end of the message.
  std::size_t dataLength() const;
  // Makes sure `count` bytes fit after the data offset.
  bool moreBytes(std::size_t count);
  // Copies `count` bytes from the data offset into the bytes `destination`
  // points to and advances the data offset.
  bool read(std::size_t count, char *&destination);
  // Makes an automatic buffer exactly `length` bytes.
  bool resizeBuffer(std::size_t length);
  bool setDataOffset(std::size_t offset);
  bool setMessageLength(std::size_t length);
  // Switches to the application's `buffer`, holding no message yet; length
  // 0 switches back to an automatic buffer.
  // REQUIRES: `buffer` outlives its use by the cache.
  bool useEmptyBuffer(const char *buffer, std::size_t length);
  // As useEmptyBuffer, the buffer holding a message of `length` bytes.
  bool useFullBuffer(const char *buffer, std::size_t length);
  // Copies `count` bytes from `source` to the data offset, growing an
  // automatic buffer as needed, and advances the data offset.
  bool write(std::size_t count, const char *source);

  char *bufferPointer() const { return buffer_; }
  std::size_t bufferLength() const { return bufferLength_; }
  std::size_t dataOffset() const { return dataOffset_; }
  std::size_t messageLength() const { return messageLength_; }
  bool automaticBuffer() const { return automatic_; }
  char *dataPointer() const { return buffer_ + dataOffset_; }

 private:
  // The header write puts a record in front of everything a message holds.
  friend class KxlHdr;

  // One piece of what goes in front (a header's fixed record, or one of its
  // variable parts).
  struct Piece {
    const void *data;
    std::size_t length;
  };

  // First half of putting `count` bytes in front of the whole message:
  // fails exactly where moreBytes(count) at the data offset would (same
  // texts and codes, nothing changed), and otherwise makes the buffer as
  // large as moreBytes(count), clearMessage() and the writes of `count`
  // bytes and then of the old content would leave it, in one allocation.
  bool reserveFront(std::size_t count);
  // Second half: moves the old content up by the pieces' total length and
  // writes the pieces in front of it; data offset and message length end
  // at the end of the content. When an application buffer cannot take
  // both, the message holds the pieces alone and the failure of the second
  // write is reported (6113).
  // REQUIRES: reserveFront(total length) succeeded, with nothing in between
  // that changed the cache.
  bool writeFront(const Piece *pieces, std::size_t count);

  char *buffer_;
  std::size_t dataOffset_;
  std::size_t bufferLength_;
  std::size_t messageLength_;
  bool automatic_;
};

#endif  // KXLI_KXLCAC_HPP_
