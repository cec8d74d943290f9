// The text body that keeps null bytes.

#include "textbody.hpp"

#include <vector>

namespace kxmsg {

bool TextBody::copyOut(KxlMsg &message) {
  return writeBody(message, bytes_.data(), bytes_.size(), "KXSTR   ");
}

bool TextBody::pasteIn(KxlMsg &message) {
  std::vector<char> bytes(message.dataLength());
  char *destination = bytes.data();
  if (!bytes.empty() && !message.read(bytes.size(), destination)) {
    takeErrorCodes(message);
    return false;
  }
  bytes_.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace kxmsg
