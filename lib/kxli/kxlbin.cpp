#include "kxlbin.hpp"

#include <cstring>

#include "kxlmsg.hpp"
#include "kxlnew.hpp"
#include "kxlscope.hpp"

namespace {

// The format name of a byte string written as the message data.
constexpr const char kBinaryFormat[] = "        ";

}  // namespace

KxlBin::KxlBin() : data_(nullptr), length_(0) {}

KxlBin::KxlBin(const KxlBin &source) : KxlBin() { operator=(source); }

KxlBin::KxlBin(const void *data, std::size_t length) : KxlBin() { set(data, length); }

KxlBin::~KxlBin() { delete[] data_; }

void KxlBin::operator=(const KxlBin &source) {
  if (&source == this) return;
  KxlItm::operator=(source);
  replace(source.length_, source.data_);
}

bool KxlBin::operator==(const KxlBin &other) const {
  if (length_ != other.length_) return false;
  return length_ == 0 || std::memcmp(data_, other.data_, length_) == 0;
}

void KxlBin::clear() {
  delete[] data_;
  data_ = nullptr;
  length_ = 0;
}

bool KxlBin::copyOut(void *buffer, std::size_t length, char pad) {
  KxlTraceScope scope(*this, kKxlFnBinaryCopyOut);
  if (buffer != nullptr && length != 0 && !checkWritePointer(buffer, length)) return false;
  const std::size_t count = length_ < length ? length_ : length;
  if (buffer == nullptr && length != 0) {
    return fail(kKxlFnBinaryCopyOut, "KxlBinary::copyOut (error): no destination buffer",
                KXRC_NO_BUFFER);
  }
  unsigned char *field = static_cast<unsigned char *>(buffer);
  if (count != 0) std::memcpy(field, data_, count);
  if (length > count) std::memset(field + count, static_cast<unsigned char>(pad), length - count);
  return true;
}

bool KxlBin::copyOut(KxlMsg &message) { return writeBody(message, data_, length_, kBinaryFormat); }

bool KxlBin::pasteIn(KxlMsg &message) {
  KxlTraceScope scope(*this, kKxlFnBinaryPasteIn);
  if (!message.formatIs(kBinaryFormat)) {
    return fail(kKxlFnBinaryPasteIn, "KxlBinary::pasteIn (error): wrong message format",
                KXRC_WRONG_FORMAT);
  }
  const std::size_t length = message.dataLength();
  if (!setDataLength(length)) return false;
  if (length == 0) return true;
  char *destination = reinterpret_cast<char *>(data_);
  if (message.read(length, destination)) return true;
  takeErrorCodes(message);
  return false;
}

bool KxlBin::isNull() const {
  for (std::size_t i = 0; i < length_; ++i) {
    if (data_[i] != 0) return false;
  }
  return true;
}

bool KxlBin::set(const void *data, std::size_t length) {
  if (length != 0 && !checkReadPointer(data, length)) return false;
  return replace(length, length == 0 ? nullptr : data);
}

bool KxlBin::setDataLength(std::size_t length) { return replace(length, nullptr); }

bool KxlBin::replace(std::size_t length, const void *source) {
  KxlTraceScope scope(*this, kKxlFnBinarySetDataLength);
  if (length == length_) {
    if (source != nullptr && length != 0) std::memmove(data_, source, length);
    return true;
  }
  if (length == 0) {
    clear();
    return true;
  }
  unsigned char *storage = kxlNewZeroedArray<unsigned char>(length);
  if (storage == nullptr) {
    return fail(kKxlFnBinarySetDataLength,
                "KxlBinary::setDataLength (error): storage not available",
                KXRC_STORAGE_NOT_AVAILABLE);
  }
  if (source != nullptr) std::memcpy(storage, source, length);
  delete[] data_;
  data_ = storage;
  length_ = length;
  return true;
}
