// A text body that keeps every byte it is given, null bytes included. It is
// written and read as the library's text item is (format "KXSTR   ",
// the native encoding, character set 0, the whole data), but the library's string
// ends at its first null byte, and a text file may hold null bytes.
#ifndef KXMSG_TEXTBODY_HPP_
#define KXMSG_TEXTBODY_HPP_

#include <string>

#include "kxli.hpp"

namespace kxmsg {

class TextBody : public KxlItm {
 public:
  TextBody() = default;
  explicit TextBody(std::string bytes) : bytes_(std::move(bytes)) {}

  const std::string &bytes() const { return bytes_; }

  // Replaces the message's content with the bytes; on failure this item
  // takes the message's codes.
  bool copyOut(KxlMsg &message) override;
  // Takes every byte from the data offset to the end of the message. The
  // caller has chosen this item by the message's format.
  bool pasteIn(KxlMsg &message) override;

 private:
  std::string bytes_;
};

}  // namespace kxmsg

#endif  // KXMSG_TEXTBODY_HPP_
