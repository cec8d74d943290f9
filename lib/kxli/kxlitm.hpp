// KxlItm is a piece of message content that writes itself into a message
// (copyOut) and reads itself from one (pasteIn): strings, byte strings, the
// trigger message and every header. KxlMsg::writeItem and readItem run
// these and copy the item's codes into the message.
#ifndef KXLI_KXLITM_HPP_
#define KXLI_KXLITM_HPP_

#include <cstddef>

#include "kxlerr.hpp"

class KxlMsg;

class KXL_EXPORT KxlItm : public KxlErr {
 public:
  KxlItm();
  ~KxlItm() override;

  // copyOut writes the item into `message`; pasteIn reads it at the
  // message's data offset. On failure they return false with the codes
  // set (writeItem and readItem then copy them into the message).
  virtual bool copyOut(KxlMsg &message) = 0;
  virtual bool pasteIn(KxlMsg &message) = 0;

  // True when the 4 bytes at the message's data offset equal the first 4
  // bytes of `id`. Sets no code and never moves the data offset.
  static bool structureIdIs(const char *id, const KxlMsg &message);

  // Default construction followed by assignment from `other`.
  KxlItm(const KxlItm &other);
  // Copies the codes.
  void operator=(const KxlItm &other);

 protected:
  // How an item that carries a record is named and recognised.
  struct Layout {
    const char *className;    // long name used in diagnostic texts
    const char *structureId;  // 4 characters
    const char *formatName;   // 8 characters, blank padded
    unsigned short function;  // function number of pasteIn
  };

  // The body-item write: replaces the whole message content with `length`
  // bytes at `record`, the native encoding, character set 0, format
  // `formatName`. On failure the item takes over the message's codes.
  bool writeBody(KxlMsg &message, const void *record, std::size_t length, const char *formatName);
  // The checks of a record read, in order: structure id (6107), the native
  // encoding (6106), format (6119), each failure with its text.
  bool checkRecord(const KxlMsg &message, const Layout &layout);
  // Reads `length` bytes at the data offset into `record`; on failure the
  // item takes over the message's codes and `record` is unchanged.
  bool readRecord(KxlMsg &message, void *record, std::size_t length);
};

#endif  // KXLI_KXLITM_HPP_
