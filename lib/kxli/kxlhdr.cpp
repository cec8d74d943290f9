#include "kxlhdr.hpp"

#include <cstring>

#include "kxlcac.hpp"
#include "kxlfld.hpp"
#include "kxlmsg.hpp"
#include "kxlscope.hpp"

KxlHdr::KxlHdr() = default;

KxlHdr::KxlHdr(const KxlHdr &other) : KxlItm() { operator=(other); }

KxlHdr::~KxlHdr() = default;

void KxlHdr::operator=(const KxlHdr &other) { KxlItm::operator=(other); }

namespace {

// An 8-byte format field as its getter gives it (the characters up to a
// null byte), without a string object.
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
  KxlCac &cache = message;
  std::size_t total;
  switch (cache.prepareFront(pieces, count, total)) {
    case KxlCac::FrontPlan::kFailed:
      takeErrorCodes(message);
      return false;
    case KxlCac::FrontPlan::kPrepared:
      exchangeDescriptions(message, false, formatName);
      cache.writeFront(pieces, count, total);
      return true;
    case KxlCac::FrontPlan::kSteps:
      break;
  }
  if (!message.moreBytes(total)) {
    takeErrorCodes(message);
    return false;
  }
  const KxlCac kept(message);
  exchangeDescriptions(message, true, formatName);
  message.clearMessage();
  for (std::size_t index = 0; index < count; ++index) {
    if (!message.write(pieces[index].length, static_cast<const char *>(pieces[index].data))) {
      takeErrorCodes(message);
      return false;
    }
  }
  if (!message.write(kept.messageLength(), kept.bufferPointer())) {
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

void KxlHdr::exchangeDescriptions(KxlMsg &message, bool formatAsString, const char *formatName) {
  setEncoding(message.encoding());
  setCharacterSet(message.characterSet());
  if (formatAsString) {
    setFormat(message.format());
  } else {
    // The getter's string would carry only the field's characters; with
    // nobody listening its pointer check has nothing to show.
    setFormat(FormatName(message.descriptor()->format).text);
  }
  message.setEncoding(kKxlNativeEncoding);
  message.setCharacterSet(0);
  message.setFormat(formatName);
}

bool KxlHdr::readHeader(KxlMsg &message, const Layout &layout, void *record, std::size_t length) {
  if (!checkRecord(message, layout) || !readRecord(message, record, length)) return false;
  describeMessage(message);
  return true;
}

void KxlHdr::describeMessage(KxlMsg &message) const {
  message.setEncoding(encoding());
  message.setCharacterSet(characterSet());
  if (formatOwner_ != nullptr && typeid(*this) == *formatOwner_ && !kxlSomeoneListens()) {
    // format() is the owner's own: its string would carry just the field's
    // characters, and its pointer check has nobody to show anything to.
    message.setFormat(FormatName(formatField_).text);
  } else {
    message.setFormat(format());
  }
}
