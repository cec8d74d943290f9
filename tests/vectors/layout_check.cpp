// Checks the golden vectors without the library, against the record layouts
// of testdata/vectors/layout.tsv: it makes the records each recipe (NAME.args)
// asks for, walks NAME.msg from format to format and compares each part found
// with the one made, so the vectors agree with the layouts, not merely with
// the code that wrote them. It also writes each vector as two seeds of
// fuzz_message (format choice, flags, data offset 0, then the message data;
// in an automatic and in an application buffer).
//   vectors_layout VECTORS-DIR SEEDS-DIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Field {
  std::string name, type, initial;  // type: text, fixed, number, bytes or part
  std::size_t offset, width;
  char fill, pad;
};

struct Kind {
  std::string name, format;
  std::size_t length;  // of the fixed record; 0 for a body of any length
  std::vector<Field> fields;
  std::string shortField;  // a record whose number shortField holds shortValue
  long shortValue = 0;     // is only shortLength bytes long
  std::size_t shortLength = 0;
};

std::vector<Kind> kinds;  // the descriptor first
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

// The items of `text`; a last empty one (after a final newline) is dropped.
std::vector<std::string> split(const std::string &text, char separator) {
  std::vector<std::string> items;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, separator);) items.push_back(item);
  return items;
}

const Kind &kindNamed(const std::string &name) {
  for (const Kind &kind : kinds)
    if (kind.name == name) return kind;
  std::fprintf(stderr, "%s: layout.tsv has no kind \"%s\"\n", current.c_str(), name.c_str());
  std::exit(1);
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
    std::vector<std::string> c = split(line, '\t');
    const std::size_t cells = c.size();
    c.resize(8);
    Kind *kind = kinds.empty() || c[1] != kinds.back().name ? nullptr : &kinds.back();
    const bool text = c[5] == "text" && cells == 8, plain = c[5] == "bytes" || c[5] == "part";
    if (c[0] == "kind" && cells == 4) {
      kinds.push_back({c[1], c[2], std::stoul(c[3]), {}, "", 0, 0});
    } else if (c[0] == "field" && kind && (text || (plain && cells == 6) || cells == 7)) {
      kind->fields.push_back({c[2], c[5], text ? "" : c[6], std::stoul(c[3]), std::stoul(c[4]),
                              c[6] == "blank" ? ' ' : '\0', c[7] == "blank" ? ' ' : '\0'});
    } else if (c[0] == "length" && kind && cells == 5) {
      kind->shortField = c[2];
      kind->shortValue = std::stol(c[3]);
      kind->shortLength = std::stoul(c[4]);
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

long loadInt32(const std::string &bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<std::int32_t>(bits);
}

void storeInt32(std::string &bytes, std::size_t offset, long value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// Writes `value` (text, decimal number or hex) into the field.
void put(std::string &record, const Field &field, std::string value, char pad) {
  if (field.type == "number") return storeInt32(record, field.offset, std::stol(value));
  if (field.type == "bytes") value = fromHex(value);
  value.resize(field.width, pad);  // --truncate cuts
  record.replace(field.offset, field.width, value);
}

// FIELD=VALUE,... with "\," for a comma inside a value.
std::vector<std::pair<std::string, std::string>> assignments(const std::string &list) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string *into = nullptr;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (into == nullptr || list[i] == ',') into = &pairs.emplace_back().first;
    if (list[i] == ',') continue;
    if (list[i] == '=' && into == &pairs.back().first) {
      into = &pairs.back().second;
      continue;
    }
    if (list[i] == '\\' && i + 1 < list.size() && list[i + 1] == ',') ++i;
    *into += list[i];
  }
  return pairs;
}

struct Part {
  const Kind *kind;
  std::string bytes;
};

// The record of `kind` with the recipe's values; the descriptor and a header
// also record the description (`format`, `characterSet`) of what follows.
Part makePart(const Kind &kind, const std::string &list, const std::string &format,
              long characterSet) {
  std::string record(kind.length, '\0'), variable;
  std::map<std::string, std::string> parts;
  for (const Field &field : kind.fields) put(record, field, field.initial, field.fill);
  for (const auto &[name, value] : assignments(list)) {
    const Field *field = fieldNamed(kind, name);
    if (field == nullptr || field->type == "fixed") {
      fail(kind.name + " has no field " + name);
    } else if (field->type == "part") {
      parts[name] = value;
    } else {
      put(record, *field, value, field->pad);
    }
  }
  if (const Field *field = fieldNamed(kind, "format")) {
    put(record, *field, format, ' ');
    storeInt32(record, fieldNamed(kind, "characterSet")->offset, characterSet);
  }
  for (const Field &field : kind.fields) {
    if (field.type != "part") continue;
    storeInt32(record, field.offset, static_cast<long>(parts[field.name].size()));
    storeInt32(record, field.offset + 4, static_cast<long>(kind.length + variable.size()));
    variable += parts[field.name];
  }
  if (const Field *field = fieldNamed(kind, kind.shortField))
    if (loadInt32(record, field->offset) == kind.shortValue) record.resize(kind.shortLength);
  if (const Field *field = fieldNamed(kind, "structureLength"))
    storeInt32(record, field->offset, static_cast<long>(record.size() + variable.size()));
  return {&kind, record + variable};
}

// The parts the recipe asks for, the descriptor first.
std::vector<Part> makeMessage(const std::vector<std::string> &arguments) {
  std::vector<Part> parts;
  std::vector<std::string> headers;
  long characterSet = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &option = arguments[i];
    const std::string value = i + 1 < arguments.size() ? arguments[i + 1] : "";
    if (option == "--truncate") continue;
    ++i;
    if (option == "--text" || option == "--bytes") {
      const bool text = option == "--text";
      parts = {{&kindNamed(text ? "str" : "bin"), text ? value : fromHex(value)}};
    } else if (option == "--trigger") {
      parts = {makePart(kindNamed("trg"), value, "", 0)};
    } else if (option == "--character-set") {
      characterSet = std::stol(value);
    } else if (option == "--header") {
      headers.push_back(value);
    } else {
      fail("the recipe holds " + option + ", which this check does not read");
    }
  }
  if (parts.empty()) fail("the recipe has no body");
  for (auto it = headers.rbegin(); it != headers.rend() && !parts.empty(); ++it) {
    const std::size_t colon = it->find(':');
    const std::string list = colon == std::string::npos ? "" : it->substr(colon + 1);
    parts.insert(parts.begin(), makePart(kindNamed(it->substr(0, colon)), list,
                                         parts.front().kind->format, characterSet));
    characterSet = 0;
  }
  if (!parts.empty())
    parts.insert(parts.begin(), makePart(kinds[0], "", parts.front().kind->format, characterSet));
  return parts;
}

// The kind that `format` names, if any.
const Kind *kindOf(const std::string &format) {
  for (std::size_t i = 1; i < kinds.size(); ++i)
    if (kinds[i].format == format) return &kinds[i];
  return nullptr;
}

// Walks the message file from format to format and compares each part found
// with the one made.
void check(const std::string &file, const std::vector<Part> &expected) {
  const Kind *kind = &kinds[0];
  std::size_t offset = 0;
  for (const Part &part : expected) {
    const std::string where = part.kind->name + " at file offset " + std::to_string(offset);
    if (kind != part.kind)
      return fail(where + ": the format names " + (kind ? kind->name : "none"));
    std::size_t length = kind->length == 0 ? file.size() - offset : kind->length;
    const Field *field = fieldNamed(*kind, "structureLength");
    if (field && file.size() >= offset + field->offset + 4)
      length = static_cast<std::size_t>(loadInt32(file, offset + field->offset));
    if (length != part.bytes.size() || length > file.size() - offset)
      return fail(where + ": " + std::to_string(length) + " bytes, expected " +
                  std::to_string(part.bytes.size()));
    for (std::size_t i = 0; i < length; ++i) {
      if (file[offset + i] == part.bytes[i]) continue;
      std::string name = "no field";
      for (const Field &each : kind->fields)
        if (i >= each.offset && i < each.offset + each.width) name = each.name;
      return fail(where + ", byte " + std::to_string(i) + " (" + name + ") differs");
    }
    if (const Field *format = fieldNamed(*kind, "format"))
      kind = kindOf(file.substr(offset + format->offset, format->width));
    offset += length;
  }
  if (offset < file.size()) fail(std::to_string(file.size() - offset) + " bytes after the body");
}

void writeSeeds(const fs::path &file, const fs::path &seeds) {
  const std::string bytes = readFile(file);
  const Field *format = fieldNamed(kinds[0], "format");
  if (bytes.size() < kinds[0].length) return;
  // fuzz_message's format choice: the kind's place after the descriptor, or
  // one past the last kind for a format none has.
  const Kind *kind = kindOf(bytes.substr(format->offset, format->width));
  const char choice = static_cast<char>((kind ? kind : &kinds.back() + 1) - &kinds[1]);
  for (const char flags : {'\0', '\x08'}) {
    std::ofstream out(seeds / (file.stem().string() + (flags == 0 ? ".auto" : ".app")),
                      std::ios::binary);
    out << choice << flags << '\0' << bytes.substr(kinds[0].length);
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
  if (failures > 0 || kinds.empty() || !fieldNamed(kinds[0], "format")) return 1;
  fs::remove_all(seeds);  // no seeds of vectors that are gone
  fs::create_directories(seeds);
  std::size_t checked = 0, files = 0;
  for (const fs::directory_entry &entry : fs::directory_iterator(vectors)) {
    if (entry.path().extension() != ".msg") continue;
    writeSeeds(entry.path(), seeds);
    ++files;
    fs::path recipe = entry.path();
    if (!fs::exists(recipe.replace_extension(".args"))) continue;
    current = entry.path().stem().string();
    check(readFile(entry.path()), makeMessage(split(readFile(recipe), '\n')));
    ++checked;
  }
  std::printf("%lu vectors checked against the layouts, %d failures; %lu files written as seeds\n",
              static_cast<unsigned long>(checked), failures, static_cast<unsigned long>(files));
  return failures == 0 && checked > 0 ? 0 : 1;
}
