#include "kxlitm.hpp"

#include <cstdio>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlmsg.hpp"
#include "kxlscope.hpp"
#include "kxltrc.hpp"

namespace {

constexpr std::size_t kStructureIdLength = 4;

}  // namespace

KxlItm::KxlItm() = default;

KxlItm::KxlItm(const KxlItm &other) : KxlErr() { operator=(other); }

KxlItm::~KxlItm() = default;

void KxlItm::operator=(const KxlItm &other) { KxlErr::operator=(other); }

bool KxlItm::structureIdIs(const char *id, const KxlMsg &message) {
  if (id != nullptr && message.dataLength() >= kStructureIdLength &&
      std::memcmp(message.dataPointer(), id, kStructureIdLength) == 0) {
    return true;
  }
  KxlTrc::traceMessage(kKxlComponent, kKxlFnItemStructureIdIs,
                       "KxlItem::structureIdIs (information): structure id is not equal");
  return false;
}

bool KxlItm::writeBody(KxlMsg &message, const void *record, std::size_t length,
                       const char *formatName) {
  message.clearMessage();
  if (message.moreBytes(length)) {
    message.setEncoding(kKxlNativeEncoding);
    message.setCharacterSet(0);
    message.setFormat(formatName);
    if (message.write(length, static_cast<const char *>(record))) return true;
  }
  takeErrorCodes(message);
  return false;
}

bool KxlItm::checkRecord(const KxlMsg &message, const Layout &layout) {
  const char *problem = nullptr;
  long reason = KXRC_NONE;
  if (!structureIdIs(layout.structureId, message)) {
    problem = "wrong structure id";
    reason = KXRC_WRONG_STRUCTURE_ID;
  } else if (message.encoding() != kKxlNativeEncoding) {
    problem = "wrong message encoding";
    reason = KXRC_WRONG_ENCODING;
  } else if (!message.formatIs(layout.formatName)) {
    problem = "wrong message format";
    reason = KXRC_WRONG_FORMAT;
  } else {
    return true;
  }
  // The class names are short; a longer one would only cut the text.
  char text[160];
  std::snprintf(text, sizeof text, "%s::pasteIn (error): %s", layout.className, problem);
  return fail(layout.function, text, reason);
}

bool KxlItm::readRecord(KxlMsg &message, void *record, std::size_t length) {
  char *destination = static_cast<char *>(record);
  if (message.read(length, destination)) return true;
  takeErrorCodes(message);
  return false;
}
