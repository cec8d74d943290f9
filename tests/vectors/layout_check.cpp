// Checks the golden vectors without the library. Its own table gives every
// record's fields (offset, width, value before any is given, how a given
// text is padded); from a vector's recipe (NAME.args) it makes each record
// the recipe asks for, walks NAME.msg from format to format and compares
// each part found with the one made, field by field. So the vectors agree
// with the record layouts, not merely with the code that wrote them.
//
// It also writes each vector, valid or malformed, as two seeds of
// fuzz_message (format choice, flags, data offset 0, then the message
// data; once in an automatic buffer, once in an application buffer).
//   vectors_layout VECTORS-DIR SEEDS-DIR
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum Type { kText, kNumber, kBytes };

// A text field holds `initial` padded with `fill` until the recipe gives
// it a value, which is padded with `pad`. A number starts as `initial`; a
// byte field as zeros. Bytes no field covers are zero.
struct Field {
  const char *name;
  std::size_t offset, width;
  Type type;
  const char *initial;
  char fill, pad;
};

struct Kind {
  const char *name;
  const char *format;
  std::size_t length;  // of the fixed record; 0 for a body of any length
  std::vector<Field> fields;
};

constexpr char kBlank = ' ', kNull = '\0';

Field text(const char *name, std::size_t offset, std::size_t width, char fill, char pad) {
  return {name, offset, width, kText, "", fill, pad};
}
Field blanks(const char *name, std::size_t offset, std::size_t width) {
  return text(name, offset, width, kBlank, kBlank);
}
Field nulls(const char *name, std::size_t offset, std::size_t width) {
  return text(name, offset, width, kNull, kNull);
}
// A text that is always `value`.
Field fixed(const char *name, std::size_t offset, const char *value) {
  return {name, offset, std::char_traits<char>::length(value), kText, value, kNull, kNull};
}
Field number(const char *name, std::size_t offset, const char *initial = "0") {
  return {name, offset, 4, kNumber, initial, kNull, kNull};
}
Field bytes(const char *name, std::size_t offset, std::size_t width) {
  return {name, offset, width, kBytes, "", kNull, kNull};
}

std::vector<Field> operator+(std::vector<Field> fields, const std::vector<Field> &more) {
  fields.insert(fields.end(), more.begin(), more.end());
  return fields;
}

// The 32 bytes the VORN and OXT bridge, work information and reference
// headers begin with.
std::vector<Field> prefix(const char *id, const char *version, const char *length,
                          const char *flags) {
  return {fixed("structureId", 0, id),          number("version", 4, version),
          number("structureLength", 8, length), number("encoding", 12, "546"),
          number("characterSet", 16),           blanks("format", 20, 8),
          number("headerFlags", 28, flags)};
}

Kind kind(const char *name, const char *format, std::size_t length, std::vector<Field> fields) {
  return {name, format, length, std::move(fields)};
}

const std::vector<Kind> &kinds() {
  static const std::vector<Kind> all = {
      kind("md", "", 364,
           {fixed("structureId", 0, "MD  "), number("version", 4, "2"), number("field12", 12, "8"),
            number("field16", 16, "-1"), number("encoding", 24, "546"), number("characterSet", 28),
            blanks("format", 32, 8), number("field40", 40, "-1"), number("field44", 44, "2"),
            number("field348", 348, "1"), number("field360", 360, "-1")}),
      kind("dlh", "KXDEAD  ", 172,
           {fixed("structureId", 0, "DLH "), number("version", 4, "1"),
            nulls("destinationQueueName", 12, 48), nulls("destinationQueueManagerName", 60, 48),
            number("encoding", 108, "546"), number("characterSet", 112), blanks("format", 116, 8),
            nulls("putApplicationName", 128, 28), nulls("putDate", 156, 8),
            nulls("putTime", 164, 8)}),
      kind("vih", "KXVORN  ", 180,
           prefix("VIH ", "2", "180", "0") +
               std::vector<Field>{number("UOWControl", 44, "273"),
                                  number("getWaitInterval", 48, "-2"), number("linkType", 52, "1"),
                                  number("outputDataLength", 56, "-1"),
                                  number("facilityKeepTime", 60), number("ADSDescriptor", 64),
                                  number("conversationalTask", 68), bytes("facilityToken", 76, 8),
                                  number("cursorPosition", 164)} +
               std::vector<Field>{blanks("function", 84, 4), blanks("bridgeAbendCode", 88, 4),
                                  blanks("authenticator", 92, 8), blanks("field100", 100, 8),
                                  blanks("replyToFormat", 108, 8), blanks("field116", 116, 4),
                                  blanks("field120", 120, 4),
                                  blanks("transactionIdentifier", 124, 4)} +
               std::vector<Field>{blanks("facilityLike", 128, 4),
                                  blanks("attentionIdentifier", 132, 4),
                                  blanks("startCode", 136, 4), blanks("bridgeCancelCode", 140, 4),
                                  blanks("nextTransactionIdentifier", 144, 4),
                                  blanks("field148", 148, 8), blanks("field156", 156, 8)}),
      kind("oih", "KXOXT   ", 84,
           prefix("OIH ", "1", "84", "0") +
               std::vector<Field>{
                   text("logicalTerminalOverride", 32, 8, kBlank, kNull),
                   text("messageFormatServicesMapName", 40, 8, kBlank, kNull),
                   blanks("replyToFormat", 48, 8), text("authenticator", 56, 8, kBlank, kNull),
                   bytes("transactionInstanceId", 64, 16), fixed("trailing", 80, " 0C ")}),
      kind("wih", "KXHWIH  ", 120,
           prefix("WIH ", "1", "120", "0") + std::vector<Field>{blanks("serviceName", 32, 32),
                                                                blanks("serviceStep", 64, 8),
                                                                bytes("messageToken", 72, 16)}),
      kind("rfh", "KXHREF  ", 108,
           prefix("RMH ", "1", "108", "1") +
               std::vector<Field>{
                   nulls("referenceType", 32, 8), bytes("instanceId", 40, 24),
                   number("sourceEnvironmentLength", 64), number("sourceEnvironmentOffset", 68),
                   number("sourceNameLength", 72), number("sourceNameOffset", 76),
                   number("destinationEnvironmentLength", 80),
                   number("destinationEnvironmentOffset", 84), number("destinationNameLength", 88),
                   number("destinationNameOffset", 92)}),
      kind("trg", "KXTRIG  ", 684,
           {fixed("structureId", 0, "TM  "), number("version", 4, "1"), nulls("queueName", 8, 48),
            nulls("processName", 56, 48), nulls("triggerData", 104, 64),
            nulls("applicationId", 172, 256), nulls("environmentData", 428, 128),
            nulls("userData", 556, 128)}),
      kind("str", "KXSTR   ", 0, {}),
      kind("bin", "        ", 0, {}),
  };
  return all;
}

// fuzz_message's order of kinds: its format choice is the index.
const char *const kSeedOrder[] = {"dlh", "vih", "oih", "wih", "rfh", "trg", "str", "bin"};

const Kind *kindNamed(const std::string &name) {
  for (const Kind &kind : kinds())
    if (name == kind.name) return &kind;
  return nullptr;
}

const Kind *kindOfFormat(const std::string &format) {
  for (const Kind &kind : kinds())
    if (format == kind.format) return &kind;
  return nullptr;
}

const Field *fieldNamed(const Kind &kind, const std::string &name) {
  for (const Field &field : kind.fields)
    if (name == field.name) return &field;
  return nullptr;
}

int failures = 0;
std::string current;  // the vector being checked

void fail(const std::string &what) {
  std::fprintf(stderr, "%s: %s\n", current.c_str(), what.c_str());
  ++failures;
}

std::string fromHex(const std::string &hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string toHex(const std::string &bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) hex += {digits[byte >> 4], digits[byte & 15]};
  return hex;
}

std::string int32(long value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

long loadInt32(const std::string &bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<std::int32_t>(bits);
}

// Writes `value` (text, decimal number or hex) into the field.
void put(std::string &record, const Field &field, std::string value, char pad) {
  if (field.type == kNumber) value = int32(std::stol(value));
  if (field.type == kBytes) value = value.empty() ? std::string(field.width, '\0') : fromHex(value);
  if (value.size() > field.width) value.resize(field.width);  // --truncate
  value.resize(field.width, pad);
  record.replace(field.offset, field.width, value);
}

void put(std::string &record, const Kind &kind, const char *name, const std::string &value) {
  put(record, *fieldNamed(kind, name), value, kBlank);
}

std::string initialRecord(const Kind &kind) {
  std::string record(kind.length, '\0');
  for (const Field &field : kind.fields) put(record, field, field.initial, field.fill);
  return record;
}

// FIELD=VALUE,... with "\," for a comma inside a value.
std::vector<std::pair<std::string, std::string>> assignments(const std::string &list) {
  std::vector<std::string> items(1);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '\\' && i + 1 < list.size() && list[i + 1] == ',') {
      items.back() += list[++i];
    } else if (list[i] == ',') {
      items.emplace_back();
    } else {
      items.back() += list[i];
    }
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string &item : items) {
    const std::size_t equals = item.find('=');
    if (equals != std::string::npos)
      pairs.emplace_back(item.substr(0, equals), item.substr(equals + 1));
  }
  return pairs;
}

struct Part {
  const Kind *kind;
  std::string bytes;
};

// The record of `kind` with the recipe's values; a header also records the
// description (`format`, `characterSet`) of what follows it.
Part makePart(const Kind &kind, const std::string &list, const std::string &format,
              long characterSet) {
  std::string record = initialRecord(kind);
  std::string variable;  // a reference header's four parts, in their order
  std::string parts[4];
  static const char *const kPartNames[] = {"sourceEnvironment", "sourceName",
                                           "destinationEnvironment", "destinationName"};
  for (const auto &[name, value] : assignments(list)) {
    const Field *field = fieldNamed(kind, name);
    bool named = false;
    for (int i = 0; i < 4 && kind.name == std::string("rfh"); ++i) {
      if (name == kPartNames[i]) {
        parts[i] = value;
        named = true;
      }
    }
    if (field != nullptr) put(record, *field, value, field->pad);
    if (field == nullptr && !named) fail(std::string(kind.name) + " has no field " + name);
  }
  if (fieldNamed(kind, "format") != nullptr && kind.name != std::string("md")) {
    put(record, kind, "format", format);
    put(record, kind, "characterSet", std::to_string(characterSet));
  }
  if (kind.name == std::string("vih") && loadInt32(record, 4) == 1) {
    record.resize(164);
    put(record, kind, "structureLength", "164");
  }
  if (kind.name == std::string("rfh")) {
    long offset = 108;
    for (int i = 0; i < 4; ++i) {
      const std::string length = std::string(kPartNames[i]) + "Length";
      put(record, kind, length.c_str(), std::to_string(parts[i].size()));
      put(record, kind, (std::string(kPartNames[i]) + "Offset").c_str(), std::to_string(offset));
      offset += static_cast<long>(parts[i].size());
      variable += parts[i];
    }
    put(record, kind, "structureLength", std::to_string(offset));
  }
  return {&kind, record + variable};
}

// The length of the part of `kind` at `offset` of `data`, as its record says.
std::size_t partLength(const Kind &kind, const std::string &data, std::size_t offset) {
  if (kind.length == 0) return data.size() - offset;
  if (data.size() < offset + 12) return kind.length;
  if (kind.name == std::string("vih") && loadInt32(data, offset + 4) == 1) return 164;
  if (kind.name == std::string("rfh")) return static_cast<std::size_t>(loadInt32(data, offset + 8));
  return kind.length;
}

void compare(const std::string &where, const Kind &kind, const std::string &expected,
             const std::string &found) {
  if (expected == found) return;
  const int before = failures;
  for (const Field &field : kind.fields) {
    if (field.offset + field.width > expected.size()) continue;
    const std::string want = expected.substr(field.offset, field.width);
    const std::string got = found.substr(field.offset, field.width);
    if (want != got)
      fail(where + " field " + field.name + " at " + std::to_string(field.offset) + ": expected " +
           toHex(want) + ", found " + toHex(got));
  }
  for (std::size_t i = 0; i < expected.size() && failures == before; ++i) {
    if (expected[i] == found[i]) continue;
    return fail(where + ": byte " + std::to_string(i) + " is " + toHex(found.substr(i, 1)) +
                ", expected " + toHex(expected.substr(i, 1)));
  }
}

std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> result;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    result.push_back(text.substr(at, end - at));
  return result;
}

// Makes the parts the recipe asks for, outermost first, and the descriptor.
std::vector<Part> makeMessage(const std::vector<std::string> &arguments) {
  std::string body, bodyValue;
  long characterSet = 0;
  std::vector<std::string> headers;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &argument = arguments[i];
    const std::string value = i + 1 < arguments.size() ? arguments[i + 1] : "";
    if (argument == "--truncate") continue;
    ++i;
    if (argument == "--text" || argument == "--bytes" || argument == "--trigger") {
      body = argument.substr(2);
      bodyValue = value;
    } else if (argument == "--character-set") {
      characterSet = std::stol(value);
    } else if (argument == "--header") {
      headers.push_back(value);
    } else {
      fail("the recipe holds " + argument + ", which this check does not read");
    }
  }
  std::vector<Part> parts;
  if (body == "text") parts.push_back({kindNamed("str"), bodyValue});
  if (body == "bytes") parts.push_back({kindNamed("bin"), fromHex(bodyValue)});
  if (body == "trigger") parts.push_back(makePart(*kindNamed("trg"), bodyValue, "", 0));
  if (parts.empty()) {
    fail("the recipe has no body");
    return {};
  }
  for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
    const std::size_t colon = it->find(':');
    const std::string name = it->substr(0, colon);
    const Kind *kind = kindNamed(name);
    if (kind == nullptr || std::string("dlh vih oih wih rfh").find(name) == std::string::npos) {
      fail("the recipe has a header of unknown kind " + name);
      return {};
    }
    const std::string list = colon == std::string::npos ? "" : it->substr(colon + 1);
    parts.insert(parts.begin(), makePart(*kind, list, parts.front().kind->format, characterSet));
    characterSet = 0;
  }
  Part descriptor = makePart(*kindNamed("md"), "", "", 0);
  put(descriptor.bytes, *descriptor.kind, "format", parts.front().kind->format);
  put(descriptor.bytes, *descriptor.kind, "characterSet", std::to_string(characterSet));
  parts.insert(parts.begin(), descriptor);
  return parts;
}

// Walks the message from format to format and compares each part found.
void check(const std::string &file, const std::vector<Part> &expected) {
  if (expected.empty()) return;
  if (file.size() < 364) return fail("shorter than a descriptor");
  compare("descriptor", *expected[0].kind, expected[0].bytes, file.substr(0, 364));
  const std::string data = file.substr(364);
  std::string format = file.substr(32, 8);
  std::size_t offset = 0;
  for (std::size_t i = 1; i < expected.size(); ++i) {
    const Kind *kind = kindOfFormat(format);
    const std::string where = "part " + std::to_string(i) + " at data offset " +
                              std::to_string(offset) + " (format \"" + format + "\")";
    if (kind != expected[i].kind) return fail(where + ": expected " + expected[i].kind->name);
    const std::size_t length = partLength(*kind, data, offset);
    if (length != expected[i].bytes.size() || offset + length > data.size())
      return fail(where + ": " + std::to_string(length) + " bytes, expected " +
                  std::to_string(expected[i].bytes.size()));
    compare(where, *kind, expected[i].bytes, data.substr(offset, length));
    if (const Field *field = fieldNamed(*kind, "format")) {
      format = data.substr(offset + field->offset, field->width);
    }
    offset += length;
  }
  if (offset != data.size()) fail(std::to_string(data.size() - offset) + " bytes after the body");
}

void writeSeeds(const fs::path &file, const fs::path &seeds) {
  const std::string bytes = readFile(file);
  if (bytes.size() < 364) return;
  const Kind *kind = kindOfFormat(bytes.substr(32, 8));
  char choice = 8;  // a format none of the kinds has
  for (int i = 0; i < 8; ++i)
    if (kind != nullptr && kind->name == std::string(kSeedOrder[i])) choice = static_cast<char>(i);
  const std::string stem = file.stem().string();
  for (const char flags : {'\0', '\x08'}) {
    std::ofstream out(seeds / (stem + (flags == 0 ? ".auto" : ".app")), std::ios::binary);
    out << choice << flags << '\0' << bytes.substr(364);
  }
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vectors_layout VECTORS-DIR SEEDS-DIR\n");
    return 2;
  }
  const fs::path vectors = fs::u8path(argv[1]), seeds = fs::u8path(argv[2]);
  fs::remove_all(seeds);  // no seeds of vectors that are gone
  fs::create_directories(seeds);
  std::vector<fs::path> files;
  for (const fs::directory_entry &entry : fs::directory_iterator(vectors))
    if (entry.path().extension() == ".msg") files.push_back(entry.path());
  std::size_t checked = 0;
  for (const fs::path &file : files) {
    writeSeeds(file, seeds);
    fs::path recipe = file;
    recipe.replace_extension(".args");
    if (!fs::exists(recipe)) continue;
    current = file.stem().string();
    check(readFile(file), makeMessage(lines(readFile(recipe))));
    ++checked;
  }
  std::printf("%lu vectors checked against the layouts, %d failures; %lu files written as seeds\n",
              static_cast<unsigned long>(checked), failures,
              static_cast<unsigned long>(files.size()));
  return failures == 0 && checked > 0 ? 0 : 1;
}
