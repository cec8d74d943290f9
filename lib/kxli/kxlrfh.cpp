#include "kxlrfh.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "kxlfld.hpp"
#include "kxlmsg.hpp"

namespace {

constexpr const char *kFormatName = "KXHREF  ";
constexpr std::int32_t kFixedLength = sizeof(KXRMH);

// The member becomes a string built from `text` (empty for null or "").
void setName(KxlStr &member, const char *text) { member = KxlStr(text); }

// The text of a name as a piece to write: never a null pointer, so that an
// empty name is an empty piece.
const char *pieceText(const KxlStr &name) {
  const char *text = name;
  return text != nullptr ? text : "";
}

}  // namespace

KxlRfh::KxlRfh() {
  // The structure length and the parts' lengths and offsets are 0 until a
  // write computes them.
  std::memset(&record_, 0, sizeof record_);
  usePrefix(&record_.prefix, typeid(KxlRfh), "RMH ", 1, 0, 1);
}

KxlRfh::KxlRfh(const KxlRfh &other) : KxlRfh() { operator=(other); }

KxlRfh::~KxlRfh() = default;

void KxlRfh::operator=(const KxlRfh &other) {
  if (&other == this) return;
  KxlPfx::operator=(other);
  std::memcpy(&record_, &other.record_, sizeof record_);
  setName(destinationEnvironment_, other.destinationEnvironment_);
  setName(destinationName_, other.destinationName_);
  setName(sourceEnvironment_, other.sourceEnvironment_);
  setName(sourceName_, other.sourceName_);
}

KxlStr KxlRfh::referenceType() const { return kxlGetText(record_.referenceType, true); }

void KxlRfh::setReferenceType(const char *text) { kxlSetText(record_.referenceType, text, '\0'); }

KxlBin KxlRfh::instanceId() const { return kxlGetBytes(record_.instanceId); }

bool KxlRfh::setInstanceId(const KxlBin &id) {
  if (kxlSetBytes(record_.instanceId, id)) return true;
  return fail(kKxlFnReferenceSetInstanceId,
              "KxlReferenceHeader::setInstanceId (error): binary data length error",
              KXRC_BINARY_DATA_LENGTH_ERROR);
}

void KxlRfh::setInstanceId(const unsigned char *id) { kxlSetBytes(record_.instanceId, id); }

KxlStr KxlRfh::sourceEnvironment() const { return sourceEnvironment_; }
KxlStr KxlRfh::sourceName() const { return sourceName_; }
KxlStr KxlRfh::destinationEnvironment() const { return destinationEnvironment_; }
KxlStr KxlRfh::destinationName() const { return destinationName_; }
void KxlRfh::setSourceEnvironment(const char *text) { setName(sourceEnvironment_, text); }
void KxlRfh::setSourceName(const char *text) { setName(sourceName_, text); }
void KxlRfh::setDestinationEnvironment(const char *text) { setName(destinationEnvironment_, text); }
void KxlRfh::setDestinationName(const char *text) { setName(destinationName_, text); }

bool KxlRfh::copyOut(KxlMsg &message) {
  const Piece pieces[] = {
      {&record_, sizeof record_},
      {pieceText(sourceEnvironment_), sourceEnvironment_.length()},
      {pieceText(sourceName_), sourceName_.length()},
      {pieceText(destinationEnvironment_), destinationEnvironment_.length()},
      {pieceText(destinationName_), destinationName_.length()},
  };
  // The fields are 32-bit; lengths beyond them keep their low 32 bits.
  std::uint32_t offset = kFixedLength;
  const auto place = [&offset](std::size_t length, std::int32_t &lengthField,
                               std::int32_t &offsetField) {
    kxlSetInt32(lengthField, length);
    kxlSetInt32(offsetField, offset);
    offset += static_cast<std::uint32_t>(length);
  };
  place(pieces[1].length, record_.sourceEnvironmentLength, record_.sourceEnvironmentOffset);
  place(pieces[2].length, record_.sourceNameLength, record_.sourceNameOffset);
  place(pieces[3].length, record_.destinationEnvironmentLength,
        record_.destinationEnvironmentOffset);
  place(pieces[4].length, record_.destinationNameLength, record_.destinationNameOffset);
  kxlSetInt32(record_.prefix.structureLength, offset);

  return writeHeader(message, pieces, sizeof pieces / sizeof pieces[0], kFormatName);
}

bool KxlRfh::pasteIn(KxlMsg &message) {
  const Layout layout = {"KxlReferenceHeader", "RMH ", kFormatName, kKxlFnReferencePasteIn};
  if (!checkRecord(message, layout)) return false;

  const std::size_t available = message.dataLength();
  if (available < sizeof record_) {
    return fail(kKxlFnReferencePasteIn, "KxlReferenceHeader::pasteIn (error): insufficient data",
                KXRC_INSUFFICIENT_DATA);
  }
  const char *header = message.dataPointer();
  std::memcpy(&record_, header, sizeof record_);

  // Offsets and lengths come from the message and are checked in 64-bit
  // arithmetic against the data actually there before a byte is touched.
  struct Part {
    std::int32_t length;
    std::int32_t offset;
    KxlStr *name;
  };
  const Part parts[] = {
      {record_.sourceEnvironmentLength, record_.sourceEnvironmentOffset, &sourceEnvironment_},
      {record_.sourceNameLength, record_.sourceNameOffset, &sourceName_},
      {record_.destinationEnvironmentLength, record_.destinationEnvironmentOffset,
       &destinationEnvironment_},
      {record_.destinationNameLength, record_.destinationNameOffset, &destinationName_},
  };
  std::int64_t highestEnd = kFixedLength;
  bool partMissing = false;
  for (const Part &part : parts) {
    if (part.length <= 0) continue;
    const std::int64_t end = static_cast<std::int64_t>(part.offset) + part.length;
    if (part.offset < 0 || end > static_cast<std::int64_t>(available)) {
      partMissing = true;
      continue;
    }
    // A string that cannot take the part keeps its codes; the paste goes on.
    part.name->set(header + part.offset, static_cast<std::size_t>(part.length));
    highestEnd = std::max(highestEnd, end);
  }
  if (partMissing) {
    return fail(kKxlFnReferencePasteIn, "KxlReferenceHeader::pasteIn (error): insufficient data",
                KXRC_INSUFFICIENT_DATA);
  }
  // A structure length below the fixed part's (negative ones included) is
  // always below the highest end, so the data offset only moves forward.
  if (highestEnd > record_.prefix.structureLength) {
    return fail(kKxlFnReferencePasteIn,
                "KxlReferenceHeader::pasteIn (error): structure length error",
                KXRC_STRUCTURE_LENGTH_ERROR);
  }
  const std::size_t headerLength = static_cast<std::size_t>(record_.prefix.structureLength);
  if (!message.setDataOffset(message.dataOffset() + headerLength)) {
    takeErrorCodes(message);
    return false;
  }
  describeMessage(message);
  return true;
}
