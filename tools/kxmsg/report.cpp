#include "report.hpp"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "kxli.hpp"

namespace kxmsg {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence of two to four bytes at
// `text` (with `remaining` bytes left), 0 when there is none; its code
// point goes to `codePoint`. Overlong forms, surrogates and code points
// past U+10FFFF are not well formed.
std::size_t multiByteSequence(const unsigned char *text, std::size_t remaining,
                              unsigned long &codePoint) {
  struct Form {
    unsigned char firstLead, lastLead, leadBits;
    std::size_t length;
    unsigned long minimum;
  };
  static const Form forms[] = {
      {0xC2, 0xDF, 0x1F, 2, 0x80}, {0xE0, 0xEF, 0x0F, 3, 0x800}, {0xF0, 0xF4, 0x07, 4, 0x10000}};
  const Form *form = nullptr;
  for (const Form &candidate : forms)
    if (text[0] >= candidate.firstLead && text[0] <= candidate.lastLead) form = &candidate;
  if (form == nullptr) return 0;
  const std::size_t length = form->length;
  const unsigned long minimum = form->minimum;
  codePoint = text[0] & form->leadBits;
  if (remaining < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(text[i])) return 0;
    codePoint = (codePoint << 6) | (text[i] & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || surrogate || codePoint > 0x10FFFF) return 0;
  return length;
}

// Runs `plain` for each character shown as it is (printable ASCII other
// than the quote and the backslash, and well-formed UTF-8 above the C1
// controls), `control` for each code point below 0x20 or from 0x7F to
// 0x9F, and `stray` for each byte that is not part of well-formed UTF-8.
template <class Plain, class Control, class Stray>
void scanText(const std::string &text, Plain plain, Control control, Stray stray) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char byte = bytes[i];
    unsigned long codePoint = byte;
    const std::size_t length =
        byte < 0x80 ? 1 : multiByteSequence(bytes + i, text.size() - i, codePoint);
    if (length == 0) {
      stray(byte);
      ++i;
      continue;
    }
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) {
      control(codePoint, text.substr(i, length));
    } else {
      plain(text.substr(i, length));
    }
    i += length;
  }
}

std::string escape(const char *format, unsigned long value) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, format, value);
  return escaped;
}

std::string byteEscapes(const std::string &bytes) {
  std::string escaped;
  for (unsigned char byte : bytes) escaped += escape("\\x%02lx", byte);
  return escaped;
}

// A backslash before the quote and the backslash.
std::string withQuotesEscaped(const std::string &character) {
  return character == "\"" || character == "\\" ? "\\" + character : character;
}

}  // namespace

std::string quote(const std::string &text) {
  std::string quoted = "\"";
  scanText(
      text, [&](const std::string &character) { quoted += withQuotesEscaped(character); },
      [&](unsigned long, const std::string &bytes) { quoted += byteEscapes(bytes); },
      [&](unsigned char byte) { quoted += escape("\\x%02lx", byte); });
  return quoted + "\"";
}

std::string jsonString(const std::string &text) {
  std::string json = "\"";
  scanText(
      text, [&](const std::string &character) { json += withQuotesEscaped(character); },
      [&](unsigned long codePoint, const std::string &) { json += escape("\\u%04lx", codePoint); },
      [&](unsigned char byte) { json += escape("\\udc%02lx", byte); });
  return json + "\"";
}

const char *reasonName(long reason) {
  struct Name {
    long reason;
    const char *name;
  };
  static const Name names[] = {
      {KXRC_NONE, "KXRC_NONE"},
      {KXRC_BUFFER_ERROR, "KXRC_BUFFER_ERROR"},
      {KXRC_EMPTY_LIST_ENTRY, "KXRC_EMPTY_LIST_ENTRY"},
      {KXRC_STORAGE_NOT_AVAILABLE, "KXRC_STORAGE_NOT_AVAILABLE"},
      {KXRC_SOURCE_BUFFER_ERROR, "KXRC_SOURCE_BUFFER_ERROR"},
      {KXRC_TARGET_BUFFER_ERROR, "KXRC_TARGET_BUFFER_ERROR"},
      {KXRC_LOCK_FAILED, "KXRC_LOCK_FAILED"},
      {KXRC_TOO_MANY_ENTRIES, "KXRC_TOO_MANY_ENTRIES"},
      {KXRC_WRONG_ENCODING, "KXRC_WRONG_ENCODING"},
      {KXRC_WRONG_STRUCTURE_ID, "KXRC_WRONG_STRUCTURE_ID"},
      {KXRC_NULL_POINTER, "KXRC_NULL_POINTER"},
      {KXRC_NO_BUFFER, "KXRC_NO_BUFFER"},
      {KXRC_BINARY_DATA_LENGTH_ERROR, "KXRC_BINARY_DATA_LENGTH_ERROR"},
      {KXRC_USER_BUFFER_NOT_RESIZABLE, "KXRC_USER_BUFFER_NOT_RESIZABLE"},
      {KXRC_INSUFFICIENT_BUFFER, "KXRC_INSUFFICIENT_BUFFER"},
      {KXRC_INSUFFICIENT_DATA, "KXRC_INSUFFICIENT_DATA"},
      {KXRC_DATA_TRUNCATED, "KXRC_DATA_TRUNCATED"},
      {KXRC_WRONG_FORMAT, "KXRC_WRONG_FORMAT"},
      {KXRC_STRUCTURE_LENGTH_ERROR, "KXRC_STRUCTURE_LENGTH_ERROR"},
      {KXRC_UNSUPPORTED_VERSION, "KXRC_UNSUPPORTED_VERSION"},
  };
  for (const Name &name : names)
    if (name.reason == reason) return name.name;
  return "unknown";
}

void printHex(std::FILE *out, const unsigned char *bytes, std::size_t offset, std::size_t length,
              const std::string &label) {
  for (std::size_t line = 0; line < length || (line == 0 && length == 0); line += 16) {
    const std::size_t count = length - line < 16 ? length - line : 16;
    std::string hex;
    std::string characters;
    for (std::size_t i = 0; i < 16; ++i) {
      if (i < count) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x ", bytes[line + i]);
        hex += pair;
        characters += std::isprint(bytes[line + i]) ? static_cast<char>(bytes[line + i]) : '.';
      } else {
        hex += "   ";
      }
    }
    if (line == 0 && !label.empty()) {
      std::fprintf(out, "  %06zx  %s |%-16s| %s\n", offset + line, hex.c_str(), characters.c_str(),
                   label.c_str());
    } else {
      std::fprintf(out, "  %06zx  %s |%-16s|\n", offset + line, hex.c_str(), characters.c_str());
    }
    if (length == 0) break;
  }
}

void printRecord(std::FILE *out, const unsigned char *record, std::size_t offset,
                 std::size_t available, const std::vector<RawField> &layout) {
  for (const RawField &field : layout) {
    if (field.offset >= available) break;
    const std::size_t width =
        field.offset + field.width <= available ? field.width : available - field.offset;
    std::string label = field.name;
    if (field.type == RawField::kInt32 && width == 4) {
      std::int32_t value;
      std::memcpy(&value, record + field.offset, sizeof value);
      label += " = " + std::to_string(value);
    } else if (field.type == RawField::kText) {
      const char *text = reinterpret_cast<const char *>(record + field.offset);
      label += " = " + quote(std::string(text, strnlen(text, width)));
    }
    printHex(out, record + field.offset, offset + field.offset, width, label);
  }
}

}  // namespace kxmsg
