// KxlBin is a byte string of any length with no terminator and no character
// meaning: message, correlation and group ids, accounting, facility and
// message tokens and instance ids are handed in and out as KxlBin values.
// It owns its bytes; an empty byte string holds no storage.
//
// As a message item it is the whole message data, format "        ".
#ifndef KXLI_KXLBIN_HPP_
#define KXLI_KXLBIN_HPP_

#include <cstddef>

#include "kxlitm.hpp"

class KXL_EXPORT KxlBin : public KxlItm {
 public:
  KxlBin();
  // As set(data, length) on an empty byte string; a failure leaves it empty
  // with the codes.
  KxlBin(const void *data, std::size_t length);
  ~KxlBin() override;
  // Equal lengths and equal bytes; codes are not compared.
  bool operator==(const KxlBin &other) const;

  // Copies the bytes into the fixed-size field `buffer`, the rest `pad`; a
  // longer byte string is cut without a warning. A null `buffer` is
  // accepted only with `length` 0 (otherwise 6110).
  bool copyOut(void *buffer, std::size_t length, char pad);
  bool copyOut(KxlMsg &message) override;
  bool pasteIn(KxlMsg &message) override;
  // True when empty or all bytes are 0.
  bool isNull() const;
  // Replaces the bytes with `length` bytes at `data`; length 0 empties.
  bool set(const void *data, std::size_t length);
  // Makes room for exactly `length` bytes. The same length changes nothing;
  // any other length drops the old bytes and leaves `length` zero bytes. On
  // failure (2071) the old bytes stay.
  bool setDataLength(std::size_t length);

  // The bytes (null when empty) and how many there are.
  const unsigned char *dataPointer() const { return data_; }
  std::size_t dataLength() const { return length_; }

  // Default construction followed by assignment from `source`.
  KxlBin(const KxlBin &source);
  // Copies the codes, then the bytes; when storage for them cannot be
  // obtained the old bytes stay and the codes are 2/2071.
  void operator=(const KxlBin &source);

 protected:
  // Releases the storage; the codes stay.
  void clear();

 private:
  // setDataLength(length), then, when `source` is not null, `length` bytes
  // copied from it. The new storage is filled before the old is released,
  // so `source` may point into this byte string's own bytes.
  bool replace(std::size_t length, const void *source);

  unsigned char *data_;
  std::size_t length_;
};

#endif  // KXLI_KXLBIN_HPP_
