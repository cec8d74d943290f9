#include "report.hpp"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "kxli.hpp"

namespace kxmsg {

std::string quote(const std::string &text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (std::isprint(c)) {
      quoted += static_cast<char>(c);
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      quoted += escape;
    }
  }
  return quoted + "\"";
}

std::string jsonString(const std::string &text) {
  std::string json = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      json += escape;
    } else {
      json += static_cast<char>(c);
    }
  }
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
