// Bytes read as a received message along its format chain (fuzz/README.md).
#include <memory>

#include "fuzz_support.hpp"

namespace kxlfuzz {
namespace {

struct Kind {
  const char *format;
  bool header;
  bool structureId;  // checked (with the encoding) before the format
  std::unique_ptr<KxlItm> (*make)();
};

template <class T>
std::unique_ptr<KxlItm> make() {
  return std::make_unique<T>();
}

const Kind kKinds[] = {
    {"KXDEAD  ", true, true, make<KxlDlh>},   {"KXVORN  ", true, true, make<KxlVih>},
    {"KXOXT   ", true, true, make<KxlOih>},   {"KXHWIH  ", true, true, make<KxlWih>},
    {"KXHREF  ", true, true, make<KxlRfh>},   {"KXTRIG  ", false, true, make<KxlTrg>},
    {"KXSTR   ", false, false, make<KxlStr>}, {"        ", false, false, make<KxlBin>},
};
constexpr std::size_t kKindCount = sizeof kKinds / sizeof kKinds[0];

// A reference header may claim up to 2 GiB past the message, which reading it
// allocates in an automatic buffer: such inputs are read from application buffers only.
constexpr std::size_t kLengtheningLimit = 1 << 16;

const KxlHdr &asHeader(const KxlItm &item) { return static_cast<const KxlHdr &>(item); }

using Description = std::tuple<std::string, long, long>;  // format, encoding, character set

Description describe(const KxlMsg &message) {
  return {std::string(message.descriptor()->format, 8), message.encoding(), message.characterSet()};
}

// The description a header restores: its format blank padded to 8.
Description describe(const KxlHdr &header) {
  std::string format = textOf(header.format());
  KXLFUZZ_REQUIRE(format.size() <= 8);
  format.resize(8, ' ');
  return {format, header.encoding(), header.characterSet()};
}

void setDescription(KxlMsg &message, const Description &description) {
  message.setFormat(std::get<0>(description).c_str());
  message.setEncoding(std::get<1>(description));
  message.setCharacterSet(std::get<2>(description));
}

const Kind *kindOf(const KxlMsg &message) {
  for (const Kind &kind : kKinds)
    if (message.formatIs(kind.format)) return &kind;
  return nullptr;
}

void writeFresh(KxlItm &item, const Kind &kind, KxlMsg &message) {
  if (kind.header) setDescription(message, describe(asHeader(item)));
  KXLFUZZ_REQUIRE(item.copyOut(message));
  checkCache(message);
  KXLFUZZ_REQUIRE(message.formatIs(kind.format));
}

// Whether the reference header at the data offset would grow past the limit.
bool lengthensTooFar(const KxlMsg &message) {
  constexpr std::size_t kStructureLengthAt = 8;
  if (!message.automaticBuffer() || message.dataLength() < kStructureLengthAt + 4) return false;
  std::int32_t structureLength;
  std::memcpy(&structureLength, message.dataPointer() + kStructureLengthAt, 4);
  return structureLength > 0 &&
         static_cast<std::size_t>(structureLength) > message.dataLength() + kLengtheningLimit;
}

bool readOne(KxlMsg &message, const Kind &kind) {
  const std::size_t offset = message.dataOffset();
  const Description before = describe(message);
  const std::string data(message.dataPointer(), message.dataLength());
  const bool formatMatches = message.formatIs(kind.format);
  std::unique_ptr<KxlItm> item = kind.make();
  const bool read = message.readItem(*item);
  const long reason = item->reasonCode();
  KXLFUZZ_REQUIRE(message.completionCode() == item->completionCode());
  KXLFUZZ_REQUIRE(message.reasonCode() == reason);
  checkCache(message);
  KXLFUZZ_REQUIRE(formatMatches || !read);
  KXLFUZZ_REQUIRE(
      formatMatches || reason == KXRC_WRONG_FORMAT ||
      (kind.structureId && (reason == KXRC_WRONG_STRUCTURE_ID || reason == KXRC_WRONG_ENCODING)));
  if (!read) {
    const bool idReadFirst = kind.make == make<KxlVih> && reason == KXRC_INSUFFICIENT_DATA;
    KXLFUZZ_REQUIRE(item->completionCode() == KXCC_FAILED);
    KXLFUZZ_REQUIRE(message.dataOffset() == offset + (idReadFirst ? 4 : 0));
    KXLFUZZ_REQUIRE(describe(message) == before);
    return false;
  }
  if (kind.header) {
    KXLFUZZ_REQUIRE(message.dataOffset() > offset);
    KXLFUZZ_REQUIRE(describe(message) == describe(asHeader(*item)));
  } else {
    KXLFUZZ_REQUIRE(describe(message) == before);
    KXLFUZZ_REQUIRE(message.dataOffset() ==
                    (kind.structureId ? offset + sizeof(KXTM) : message.messageLength()));
    if (kind.make == make<KxlStr>) {
      checkString(static_cast<const KxlStr &>(*item));
      KXLFUZZ_REQUIRE(textOf(static_cast<const KxlStr &>(*item)) == data.c_str());
    } else if (kind.make == make<KxlBin>) {
      const KxlBin &bytes = static_cast<const KxlBin &>(*item);
      KXLFUZZ_REQUIRE(bytes.dataLength() == data.size());
      KXLFUZZ_REQUIRE(data.empty() ||
                      std::memcmp(bytes.dataPointer(), data.data(), data.size()) == 0);
    } else {
      // The character form holds the queue name blank padded.
      KxlTrg trigger = static_cast<const KxlTrg &>(*item);
      tagKXTMC2 characters;
      KXLFUZZ_REQUIRE(trigger.copyOut(&characters));
      std::string queueName = textOf(trigger.queueName());
      queueName.resize(sizeof characters.queueName, ' ');
      KXLFUZZ_REQUIRE(queueName == std::string(characters.queueName, sizeof characters.queueName));
    }
  }
  // Written into a fresh message, the item reads back and writes the same bytes again.
  KxlMsg first;
  writeFresh(*item, kind, first);
  const std::string firstContents(first.bufferPointer(), first.messageLength());
  const KXMD firstDescriptor = *first.descriptor();
  KXLFUZZ_REQUIRE(first.setDataOffset(0));
  std::unique_ptr<KxlItm> again = kind.make();
  KXLFUZZ_REQUIRE(first.readItem(*again));
  KXLFUZZ_REQUIRE(first.dataOffset() == first.messageLength());
  if (kind.header) {
    KXLFUZZ_REQUIRE(describe(first) == describe(asHeader(*item)));
    KXLFUZZ_REQUIRE(describe(asHeader(*again)) == describe(asHeader(*item)));
    KXLFUZZ_REQUIRE(asHeader(*again).headerFlags() == asHeader(*item).headerFlags());
  }
  KxlMsg second;
  writeFresh(*again, kind, second);
  KXLFUZZ_REQUIRE(std::string(second.bufferPointer(), second.messageLength()) == firstContents);
  KXLFUZZ_REQUIRE(std::memcmp(second.descriptor(), &firstDescriptor, sizeof(KXMD)) == 0);
  return true;
}

}  // namespace

void run(Input &input) {
  const std::uint8_t formatChoice = input.byte() % (kKindCount + 1);
  const std::uint8_t flags = input.byte();
  const std::size_t offset = input.byte();
  const std::string format =
      formatChoice < kKindCount ? kKinds[formatChoice].format : input.bytes(8);
  const long encoding =
      (flags & 3) == 3 ? static_cast<std::int32_t>(input.int32()) : kKxlNativeEncoding;
  const long characterSet = (flags & 4) != 0 ? static_cast<std::int32_t>(input.int32()) : 0;
  const bool applicationBuffer = (flags & 8) != 0;
  const std::string rest = input.bytes(SIZE_MAX);
  // An exact-size copy, so that the sanitizer sees any read past the end.
  std::vector<char> bytes(rest.begin(), rest.end());
  KxlMsg message;
  KXLFUZZ_REQUIRE(applicationBuffer && !bytes.empty()
                      ? message.useFullBuffer(bytes.data(), bytes.size())
                      : message.write(bytes.size(), bytes.data()));
  KXLFUZZ_REQUIRE(message.setDataOffset(std::min(offset, bytes.size())));
  setDescription(message, {format, encoding, characterSet});
  checkCache(message);
  const Kind *kind = kindOf(message);
  if ((flags & 16) != 0 || kind == nullptr) {  // an item of the wrong kind first
    const std::size_t index = (flags >> 5) % kKindCount;
    readOne(message, kKinds[kind == &kKinds[index] ? (index + 1) % kKindCount : index]);
  }
  for (; kind != nullptr; kind = kindOf(message)) {
    if (kind->make == make<KxlRfh> && lengthensTooFar(message)) break;
    if (!readOne(message, *kind) || !kind->header) break;
  }
  KXLFUZZ_REQUIRE(!applicationBuffer || rest.empty() ||
                  std::memcmp(bytes.data(), rest.data(), rest.size()) == 0);
}

}  // namespace kxlfuzz
