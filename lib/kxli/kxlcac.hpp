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
  ~KxlCac() override;

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
  // Moves the data offset; an offset beyond the message length first
  // lengthens the message to it, as setMessageLength does.
  bool setDataOffset(std::size_t offset);
  // Sets the message length. A length beyond the buffer first resizes an
  // automatic buffer to exactly that length (an application buffer fails
  // with 6112). The data offset is kept within the message.
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

  // The fields, read in place: the buffer (null until an automatic buffer
  // is first obtained), its length, the data offset, the message length,
  // whether the buffer is automatic, and the address of the data offset.
  char *bufferPointer() const { return buffer_; }
  std::size_t bufferLength() const { return bufferLength_; }
  std::size_t dataOffset() const { return dataOffset_; }
  std::size_t messageLength() const { return messageLength_; }
  bool automaticBuffer() const { return automatic_; }
  char *dataPointer() const { return buffer_ + dataOffset_; }

  // Always automatic, holding a copy of what `source` holds.
  KxlCac(const KxlCac &source);
  // Copies the source's codes and contents; an application buffer keeps its
  // size and gets the leading part (warning 6115 when cut).
  void operator=(const KxlCac &source);

 private:
  // The header write puts a record in front of everything a message holds.
  friend class KxlHdr;

  // One piece of what goes in front (a header's fixed record, or one of its
  // variable parts).
  struct Piece {
    const void *data;
    std::size_t length;
  };

  // How a header write of `total` bytes in front of the whole message goes
  // on after prepareFront.
  enum class FrontPlan {
    kSteps,     // nothing was done: the header write takes its plain steps
    kPrepared,  // the content stands `total` bytes up; writeFront finishes
    kFailed,    // the codes and text of the steps' failed room request are set
  };

  // The header write in place, for when nobody listens (no trace record
  // and no pointer check could tell it from the steps): the content is
  // moved up once, in the buffer or into the grown one, and no copy of it
  // is kept. Taken only where its one allocation at most is the steps'
  // first one, so that a failure gives what theirs gives: when the buffer
  // holds both already (no allocation), or when room for the front at the
  // data offset needs growth (the steps' moreBytes then allocates first;
  // here one allocation makes the buffer as large as the steps leave it).
  // A refusal of that room (6113, or 2071 from moreBytes or resizeBuffer)
  // is kFailed with nothing changed, as is a total length of the pieces
  // that cannot be represented (2071 from moreBytes). Everywhere else
  // (someone listens, or the steps' first allocation would be the copy of
  // the content) it is kSteps and nothing changes. `total` is set to the
  // pieces' total length unless kFailed.
  FrontPlan prepareFront(const Piece *pieces, std::size_t count, std::size_t &total);
  // Copies the pieces in front of the content; data offset and message
  // length end at the end of the content, as the steps leave them.
  // REQUIRES: prepareFront returned kPrepared and `total` for the same
  // pieces; none lies in the buffer and none is null with a length.
  void writeFront(const Piece *pieces, std::size_t count, std::size_t total);
  // The steps of write before its copy: the entry and exit records, room
  // for `count` bytes at the data offset, and the checks of source and
  // target. True when the copy may be made.
  bool admitWrite(std::size_t count, const char *source);
  // The same for read: records, enough data, the check of the destination.
  bool admitRead(std::size_t count, const char *destination);

  char *buffer_;
  std::size_t dataOffset_;
  std::size_t bufferLength_;
  std::size_t messageLength_;
  bool automatic_;
};

#endif  // KXLI_KXLCAC_HPP_
