// Checks the golden vectors without the library, against the record layouts
// of testdata/vectors/layout.tsv (every field's offset, width, value before
// any is given, and padding; the file says how it is read). From a vector's
// recipe (NAME.args) it makes each record the recipe asks for, walks
// NAME.msg from format to format and compares each part found with the one
// made, field by field. So the vectors agree with the record layouts, not
// merely with the code that wrote them.
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

struct Field {
  std::string name;
  std::size_t offset, width;
  std::string type, initial;  // type: text, fixed, number or bytes
  char fill, pad;
};

struct Kind {
  std::string name, format;
  std::size_t length;  // of the fixed record; 0 for a body of any length
  std::vector<Field> fields;
};

std::vector<Kind> kinds;
// fuzz_message's order of kinds: its format choice is the index.
const char *const kSeedOrder[] = {"dlh", "vih", "oih", "wih", "rfh", "trg", "str", "bin"};
const char *const kPartNames[] = {"sourceEnvironment", "sourceName", "destinationEnvironment",
                                  "destinationName"};

int failures = 0;
std::string current;  // the vector (or file) being checked

void fail(const std::string &what) {
  std::fprintf(stderr, "%s: %s\n", current.c_str(), what.c_str());
  ++failures;
}

std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> split(const std::string &text, char separator) {
  std::vector<std::string> result(1);
  for (char c : text) {
    if (c == separator) {
      result.emplace_back();
    } else {
      result.back() += c;
    }
  }
  if (separator == '\n') result.pop_back();  // each line ends in a newline
  return result;
}

Kind *kindWhere(const std::string Kind::*member, const std::string &value) {
  for (Kind &kind : kinds)
    if (kind.*member == value) return &kind;
  return nullptr;
}

const Field *fieldNamed(const Kind &kind, const std::string &name) {
  for (const Field &field : kind.fields)
    if (name == field.name) return &field;
  return nullptr;
}

void loadLayouts(const fs::path &file) {
  current = file.filename().string();
  for (const std::string &line : split(readFile(file), '\n')) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> c = split(line, '\t');
    Kind *kind = c.size() > 1 ? kindWhere(&Kind::name, c[1]) : nullptr;
    if (c[0] == "kind" && c.size() == 4 && kind == nullptr) {
      kinds.push_back({c[1], c[2], std::stoul(c[3]), {}});
    } else if (c[0] == "field" && c.size() >= 6 && kind != nullptr) {
      const std::string &type = c[5];
      const bool text = type == "text" && c.size() == 8, plain = type == "bytes" && c.size() == 6;
      if (!text && !plain && ((type != "fixed" && type != "number") || c.size() != 7))
        fail("cannot read the field " + line);
      const char fill = text && c[6] == "blank" ? ' ' : '\0',
                 pad = text && c[7] == "blank" ? ' ' : '\0';
      kind->fields.push_back({c[2], std::stoul(c[3]), std::stoul(c[4]), type,
                              c.size() == 7      ? c[6]
                              : type == "number" ? "0"
                                                 : "",
                              fill, pad});
    } else {
      fail("cannot read the line " + line);
    }
  }
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

long loadInt32(const std::string &bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<std::int32_t>(bits);
}

// Writes `value` (text, decimal number or hex) into the field.
void put(std::string &record, const Field &field, std::string value, char pad) {
  if (field.type == "number") {
    const auto bits = static_cast<std::uint32_t>(std::stol(value));
    value.clear();
    for (int i = 0; i < 32; i += 8) value += static_cast<char>(bits >> i);
  }
  if (field.type == "bytes")
    value = value.empty() ? std::string(field.width, '\0') : fromHex(value);
  if (value.size() > field.width) value.resize(field.width);  // --truncate
  value.resize(field.width, pad);
  record.replace(field.offset, field.width, value);
}

void put(std::string &record, const Kind &kind, const std::string &name, const std::string &value) {
  put(record, *fieldNamed(kind, name), value, ' ');
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
  std::string record(kind.length, '\0'), variable, parts[4];
  for (const Field &field : kind.fields) put(record, field, field.initial, field.fill);
  for (const auto &[name, value] : assignments(list)) {
    const Field *field = fieldNamed(kind, name);
    bool named = false;
    for (int i = 0; i < 4 && kind.name == "rfh"; ++i) {
      if (name != kPartNames[i]) continue;
      parts[i] = value;
      named = true;
    }
    if (field != nullptr && field->type != "fixed") put(record, *field, value, field->pad);
    if ((field == nullptr || field->type == "fixed") && !named)
      fail(kind.name + " has no field " + name);
  }
  if (fieldNamed(kind, "format") != nullptr && kind.name != "md") {
    put(record, kind, "format", format);
    put(record, kind, "characterSet", std::to_string(characterSet));
  }
  if (kind.name == "vih" && loadInt32(record, 4) == 1) {
    record.resize(164);
    put(record, kind, "structureLength", "164");
  }
  if (kind.name == "rfh") {
    long offset = 108;
    for (int i = 0; i < 4; ++i) {
      put(record, kind, kPartNames[i] + std::string("Length"), std::to_string(parts[i].size()));
      put(record, kind, kPartNames[i] + std::string("Offset"), std::to_string(offset));
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
  if (kind.name == "vih" && loadInt32(data, offset + 4) == 1) return 164;
  if (kind.name == "rfh") return static_cast<std::size_t>(loadInt32(data, offset + 8));
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
  if (body == "text") parts.push_back({kindWhere(&Kind::name, "str"), bodyValue});
  if (body == "bytes") parts.push_back({kindWhere(&Kind::name, "bin"), fromHex(bodyValue)});
  if (body == "trigger")
    parts.push_back(makePart(*kindWhere(&Kind::name, "trg"), bodyValue, "", 0));
  if (parts.empty()) {
    fail("the recipe has no body");
    return {};
  }
  for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
    const std::size_t colon = it->find(':');
    const std::string name = it->substr(0, colon);
    const Kind *kind = kindWhere(&Kind::name, name);
    if (kind == nullptr || std::string("dlh vih oih wih rfh").find(name) == std::string::npos) {
      fail("the recipe has a header of unknown kind " + name);
      return {};
    }
    const std::string list = colon == std::string::npos ? "" : it->substr(colon + 1);
    parts.insert(parts.begin(), makePart(*kind, list, parts.front().kind->format, characterSet));
    characterSet = 0;
  }
  Part descriptor = makePart(*kindWhere(&Kind::name, "md"), "", "", 0);
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
    const Kind *kind = kindWhere(&Kind::format, format);
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
  const Kind *kind = kindWhere(&Kind::format, bytes.substr(32, 8));
  char choice = 8;  // a format none of the kinds has
  for (int i = 0; i < 8; ++i)
    if (kind != nullptr && kind->name == kSeedOrder[i]) choice = static_cast<char>(i);
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
  loadLayouts(vectors / "layout.tsv");
  for (const char *name : {"md", "dlh", "vih", "oih", "wih", "rfh", "trg", "str", "bin"})
    if (kindWhere(&Kind::name, name) == nullptr) fail(std::string("no kind ") + name);
  if (failures > 0) return 1;
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
    check(readFile(file), makeMessage(split(readFile(recipe), '\n')));
    ++checked;
  }
  std::printf("%lu vectors checked against the layouts, %d failures; %lu files written as seeds\n",
              static_cast<unsigned long>(checked), failures,
              static_cast<unsigned long>(files.size()));
  return failures == 0 && checked > 0 ? 0 : 1;
}
