#include "kxlcac.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "kxlnew.hpp"
#include "kxlscope.hpp"

namespace {

constexpr char kInsufficientBuffer[] = "KxlCache::moreBytes (error): insufficient buffer";
constexpr char kSizeOverflow[] = "KxlCache::moreBytes (error): storage not available";
constexpr char kNoStorage[] = "KxlCache::resizeBuffer (error): storage not available";
constexpr char kWriteNullPointer[] = "KxlCache::write (error): null data pointer";

// The length an automatic buffer of `length` bytes has after moreBytes(count)
// at `offset`: unchanged when the bytes fit, else the larger of offset +
// count and twice the length. False when offset + count cannot be
// represented; a doubling that wraps loses to offset + count, which is
// larger than the length.
bool grownLength(std::size_t length, std::size_t offset, std::size_t count, std::size_t &grown) {
  if (count <= length - offset) {
    grown = length;
    return true;
  }
  if (count > SIZE_MAX - offset) return false;
  grown = std::max(offset + count, 2 * length);
  return true;
}

// Loads the `Width` bytes at `source` and the `Width` bytes ending at
// `source + count` before storing either, so that the move is right even
// when the two ranges overlap.
// REQUIRES: Width <= count <= 2 * Width.
template <std::size_t Width>
void moveOverlappingHalves(char *target, const char *source, std::size_t count) {
  char head[Width];
  char tail[Width];
  std::memcpy(head, source, Width);
  std::memcpy(tail, source + count - Width, Width);
  std::memcpy(target, head, Width);
  std::memcpy(target + count - Width, tail, Width);
}

// memmove of `count` bytes. Moves of up to 64 bytes, what a program writing
// a message field by field makes most, are done in registers without a
// call; the fixed-size copies above compile to plain loads and stores.
void moveBytes(char *target, const char *source, std::size_t count) {
  if (count > 64) {
    std::memmove(target, source, count);
  } else if (count > 32) {
    moveOverlappingHalves<32>(target, source, count);
  } else if (count > 16) {
    moveOverlappingHalves<16>(target, source, count);
  } else if (count > 8) {
    moveOverlappingHalves<8>(target, source, count);
  } else if (count > 4) {
    moveOverlappingHalves<4>(target, source, count);
  } else if (count >= 2) {
    moveOverlappingHalves<2>(target, source, count);
  } else if (count == 1) {
    *target = *source;
  }
}

}  // namespace

KxlCac::KxlCac()
    : buffer_(nullptr), dataOffset_(0), bufferLength_(0), messageLength_(0), automatic_(true) {}

KxlCac::KxlCac(const KxlCac &source)
    : KxlErr(),
      buffer_(nullptr),
      dataOffset_(0),
      bufferLength_(0),
      messageLength_(0),
      automatic_(true) {
  operator=(source);
}

KxlCac::~KxlCac() {
  if (automatic_) delete[] buffer_;
}

void KxlCac::operator=(const KxlCac &source) {
  if (&source == this) return;
  KxlErr::operator=(source);
  if (bufferLength_ < source.messageLength_ && automatic_) resizeBuffer(source.messageLength_);
  if (bufferLength_ < source.messageLength_) {
    warn(kKxlFnCacheAssign, "KxlCache::operator = (warning): data truncated", KXRC_DATA_TRUNCATED);
  }
  std::size_t count = std::min(bufferLength_, source.messageLength_);
  if (count != 0) {
    if (buffer_ != nullptr && source.buffer_ != nullptr) {
      // Two caches may share one application buffer.
      std::memmove(buffer_, source.buffer_, count);
    } else {
      count = 0;
      warn(kKxlFnCacheAssign,
           "KxlCache::operator = (warning): buffer addressing problem, data truncated",
           KXRC_DATA_TRUNCATED);
    }
  }
  messageLength_ = count;
  dataOffset_ = std::min(dataOffset_, count);
  setDataOffset(source.dataOffset_);
}

void KxlCac::clearMessage() {
  messageLength_ = 0;
  dataOffset_ = 0;
}

std::size_t KxlCac::dataLength() const {
  if (bufferLength_ == 0) return 0;
  return messageLength_ - dataOffset_;
}

bool KxlCac::moreBytes(std::size_t count) {
  if (count <= bufferLength_ - dataOffset_) return true;
  if (!automatic_) return fail(kKxlFnCacheMoreBytes, kInsufficientBuffer, KXRC_INSUFFICIENT_BUFFER);
  std::size_t length;
  if (!grownLength(bufferLength_, dataOffset_, count, length)) {
    return fail(kKxlFnCacheMoreBytes, kSizeOverflow, KXRC_STORAGE_NOT_AVAILABLE);
  }
  return resizeBuffer(length);
}

bool KxlCac::read(std::size_t count, char *&destination) {
  // As in write: with nobody listening, a read of data the message holds
  // into an addressable destination has nothing to do but the copy.
  const bool plainCopy = !kxlSomeoneListens() && count != 0 && count <= dataLength() &&
                         xcsRangeAddressable(destination, count);
  if (!plainCopy && !admitRead(count, destination)) return false;
  if (count == 0) return true;
  moveBytes(destination, buffer_ + dataOffset_, count);
  dataOffset_ += count;
  return true;
}

bool KxlCac::admitRead(std::size_t count, const char *destination) {
  KxlTraceScope scope(*this, kKxlFnCacheRead);
  if (count > dataLength()) {
    return fail(kKxlFnCacheRead, "KxlCache::read (error): insufficient data",
                KXRC_INSUFFICIENT_DATA);
  }
  if (count == 0) return true;
  if (destination == nullptr) {
    return fail(kKxlFnCacheRead, "KxlCache::read (error): null data pointer", KXRC_NULL_POINTER);
  }
  return checkWritePointer(destination, count);
}

bool KxlCac::resizeBuffer(std::size_t length) {
  KxlTraceScope scope(*this, kKxlFnCacheResizeBuffer);
  if (!automatic_) {
    return fail(kKxlFnCacheResizeBuffer,
                "KxlCache::resizeBuffer (error): user buffer cannot be resized",
                KXRC_USER_BUFFER_NOT_RESIZABLE);
  }
  if (length == bufferLength_) return true;
  if (length < messageLength_) {
    warn(kKxlFnCacheResizeBuffer, "KxlCache::resizeBuffer (warning): data truncated",
         KXRC_DATA_TRUNCATED);
  }
  if (length == 0) {
    delete[] buffer_;
    buffer_ = nullptr;
    dataOffset_ = 0;
    messageLength_ = 0;
    bufferLength_ = 0;
    return true;
  }
  char *fresh = kxlNewArray<char>(length);
  if (fresh == nullptr)
    return fail(kKxlFnCacheResizeBuffer, kNoStorage, KXRC_STORAGE_NOT_AVAILABLE);
  const std::size_t kept = std::min(messageLength_, length);
  if (kept != 0) std::memcpy(fresh, buffer_, kept);
  const bool hadBuffer = buffer_ != nullptr;
  delete[] buffer_;
  buffer_ = fresh;
  bufferLength_ = length;
  messageLength_ = kept;
  dataOffset_ = hadBuffer ? std::min(dataOffset_, length) : 0;
  return true;
}

bool KxlCac::setDataOffset(std::size_t offset) {
  if (offset > messageLength_ && !setMessageLength(offset)) return false;
  dataOffset_ = offset;
  return true;
}

bool KxlCac::setMessageLength(std::size_t length) {
  if (length > bufferLength_ && !resizeBuffer(length)) return false;
  messageLength_ = length;
  dataOffset_ = std::min(dataOffset_, length);
  return true;
}

bool KxlCac::useEmptyBuffer(const char *buffer, std::size_t length) {
  KxlTraceScope scope(*this, kKxlFnCacheUseBuffer);
  if (length == 0) {
    if (!automatic_) {
      // The application's buffer is forgotten, never freed.
      buffer_ = nullptr;
      bufferLength_ = 0;
      automatic_ = true;
    }
    clearMessage();
    return true;
  }
  if (buffer == nullptr) {
    return fail(kKxlFnCacheUseBuffer,
                "KxlCache::useEmpty/FullBuffer (error): length but no pointer", KXRC_NULL_POINTER);
  }
  if (!checkReadPointer(buffer, length)) return false;
  if (automatic_) delete[] buffer_;
  automatic_ = false;
  // The cache writes into the application's buffer; it was handed in as
  // the place for the message.
  buffer_ = const_cast<char *>(buffer);
  bufferLength_ = length;
  clearMessage();
  return true;
}

bool KxlCac::useFullBuffer(const char *buffer, std::size_t length) {
  if (!useEmptyBuffer(buffer, length)) return false;
  setMessageLength(length);
  return true;
}

bool KxlCac::write(std::size_t count, const char *source) {
  // The common case, many small writes into a buffer with room while
  // nobody traces and no pointer check is installed, is decided first:
  // admitWrite would make no record, grow nothing and refuse nothing, so
  // only the copy is left. The target needs no test: a buffer with room
  // for count > 0 bytes is a real allocation.
  const bool plainCopy = !kxlSomeoneListens() && count != 0 &&
                         count <= bufferLength_ - dataOffset_ && xcsRangeAddressable(source, count);
  if (!plainCopy && !admitWrite(count, source)) return false;
  if (count == 0) return true;
  moveBytes(buffer_ + dataOffset_, source, count);
  dataOffset_ += count;
  messageLength_ = std::max(messageLength_, dataOffset_);
  return true;
}

bool KxlCac::admitWrite(std::size_t count, const char *source) {
  // The copy that follows changes no code, so the exit record made here
  // reports what write ends with.
  KxlTraceScope scope(*this, kKxlFnCacheWrite);
  if (!moreBytes(count)) return false;
  if (count == 0) return true;
  if (source == nullptr) return fail(kKxlFnCacheWrite, kWriteNullPointer, KXRC_NULL_POINTER);
  return checkReadPointer(source, count) && checkWritePointer(buffer_ + dataOffset_, count);
}

KxlCac::FrontPlan KxlCac::prepareFront(const Piece *pieces, std::size_t count, std::size_t &total) {
  total = 0;
  for (std::size_t index = 0; index < count; ++index) {
    if (pieces[index].length > SIZE_MAX - total) {
      fail(kKxlFnCacheMoreBytes, kSizeOverflow, KXRC_STORAGE_NOT_AVAILABLE);
      return FrontPlan::kFailed;
    }
    total += pieces[index].length;
  }
  if (kxlSomeoneListens()) return FrontPlan::kSteps;
  const std::size_t content = messageLength_;
  if (total <= bufferLength_ - content) {
    if (content != 0) std::memmove(buffer_ + total, buffer_, content);
    return FrontPlan::kPrepared;
  }
  if (total <= bufferLength_ - dataOffset_) return FrontPlan::kSteps;
  if (!automatic_) {
    fail(kKxlFnCacheMoreBytes, kInsufficientBuffer, KXRC_INSUFFICIENT_BUFFER);
    return FrontPlan::kFailed;
  }
  // The buffer as the room for the front at the data offset leaves it, and
  // then as the write of the content after the front leaves it.
  std::size_t roomForFront;
  if (!grownLength(bufferLength_, dataOffset_, total, roomForFront)) {
    fail(kKxlFnCacheMoreBytes, kSizeOverflow, KXRC_STORAGE_NOT_AVAILABLE);
    return FrontPlan::kFailed;
  }
  std::size_t roomForBoth;
  if (!grownLength(roomForFront, total, content, roomForBoth)) return FrontPlan::kSteps;
  char *fresh = kxlNewArray<char>(roomForBoth);
  if (fresh == nullptr) {
    fail(kKxlFnCacheResizeBuffer, kNoStorage, KXRC_STORAGE_NOT_AVAILABLE);
    return FrontPlan::kFailed;
  }
  if (content != 0) std::memcpy(fresh + total, buffer_, content);
  delete[] buffer_;
  buffer_ = fresh;
  bufferLength_ = roomForBoth;
  return FrontPlan::kPrepared;
}

void KxlCac::writeFront(const Piece *pieces, std::size_t count, std::size_t total) {
  std::size_t offset = 0;
  for (std::size_t index = 0; index < count; ++index) {
    if (pieces[index].length == 0) continue;
    std::memcpy(buffer_ + offset, pieces[index].data, pieces[index].length);
    offset += pieces[index].length;
  }
  messageLength_ += total;
  dataOffset_ = messageLength_;
}
