#include "kxlhdr.hpp"

#include <cstring>

#include "kxlcac.hpp"
#include "kxlfld.hpp"
#include "kxlmsg.hpp"

KxlHdr::KxlHdr() = default;

KxlHdr::KxlHdr(const KxlHdr &other) : KxlItm() { operator=(other); }

KxlHdr::~KxlHdr() = default;

void KxlHdr::operator=(const KxlHdr &other) { KxlItm::operator=(other); }

namespace {

// An 8-byte format field as text: its characters up to a null byte, as
// the format getters give them, without a string object.
struct FormatName {
  explicit FormatName(const char *field) {
    std::memcpy(text, field, 8);
    text[8] = '\0';
  }
  char text[9];
};

}  // namespace

bool KxlHdr::writeHeader(KxlMsg &message, const Piece *pieces, std::size_t count,
                         const char *formatName) {
  KxlCac &cache = static_cast<KxlCac &>(message);
  if (!cache.reserveFront(pieces, count)) {
    takeErrorCodes(message);
    return false;
  }
  // The header records what the message was; the message then describes
  // the header. The pieces are read after this, so the record written
  // carries the recorded values.
  setEncoding(message.encoding());
  setCharacterSet(message.characterSet());
  setFormat(FormatName(message.descriptor()->format).text);
  message.setEncoding(kKxlNativeEncoding);
  message.setCharacterSet(0);
  message.setFormat(formatName);
  if (!cache.writeFront(pieces, count)) {
    takeErrorCodes(message);
    return false;
  }
  return true;
}

bool KxlHdr::writeHeader(KxlMsg &message, const void *record, std::size_t length,
                         const char *formatName) {
  const Piece piece = {record, length};
  return writeHeader(message, &piece, 1, formatName);
}

bool KxlHdr::readHeader(KxlMsg &message, const Layout &layout, void *record, std::size_t length) {
  if (!checkRecord(message, layout) || !readRecord(message, record, length)) return false;
  describeMessage(message);
  return true;
}

void KxlHdr::describeMessage(KxlMsg &message) const {
  message.setEncoding(encoding());
  message.setCharacterSet(characterSet());
  if (formatField_ != nullptr) {
    message.setFormat(FormatName(formatField_).text);
  } else {
    message.setFormat(format());
  }
}
