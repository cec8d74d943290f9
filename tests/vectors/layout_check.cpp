// Checks the golden vectors without the library: each NAME.msg must be the
// records its recipe (NAME.args) asks for as testdata/vectors/layout.tsv lays
// them out, byte for byte. It also writes each vector as two seeds of
// fuzz_message (format choice, flags: an automatic or an application buffer,
// data offset 0, the message data).
//   vectors_layout VECTORS-DIR SEEDS-DIR
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
  std::string shortField, shortValue, shortLength;  // a shorter record
  std::vector<Field> fields;
};

std::vector<Kind> kinds;  // the descriptor first
int failures = 0;
std::string current;  // the vector (or file) being checked

void fail(const std::string &what) {
  std::fprintf(stderr, "%s: %s\n", current.c_str(), what.c_str());
  ++failures;
}

std::string readFile(const fs::path &path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
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
    std::vector<std::string> c = split(line, '\t');
    c.resize(7);
    if (c[0] == "kind") {
      kinds.push_back({c[1], c[2], std::stoul(c[3]), c[4], c[5], c[6], {}});
    } else if (c[0] == "field" && !kinds.empty()) {
      kinds.back().fields.push_back({c[1], c[4], c[4] == "text" ? "" : c[5], std::stoul(c[2]),
                                     std::stoul(c[3]), c[5] == "blank" ? ' ' : '\0',
                                     c[6] == "blank" ? ' ' : '\0'});
    } else if (!line.empty() && line[0] != '#') {
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

// A 32-bit little-endian integer.
std::string int32(long value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(static_cast<unsigned>(value) >> 8 * i);
  return bytes;
}

// Writes `value` (text, decimal number or hex) into the field.
void put(std::string &record, const Field &field, std::string value, char pad) {
  if (field.type == "number") value = int32(std::stol(value));
  if (field.type == "bytes") value = fromHex(value);
  value.resize(field.width, pad);  // --truncate cuts
  record.replace(field.offset, field.width, value);
}

using Part = std::pair<const Kind *, std::string>;  // a record or body and its bytes

// The record of `kind` with the values of `list`: FIELD=VALUE,... with "\,"
// for a comma in a value (a unit separator while the list is split).
Part makePart(const Kind &kind, std::string list) {
  std::string record(kind.length, '\0'), variable;
  for (std::size_t at; (at = list.find("\\,")) != std::string::npos;) list.replace(at, 2, "\x1f");
  std::map<std::string, std::string> parts;
  for (const Field &field : kind.fields) put(record, field, field.initial, field.fill);
  for (std::string item : split(list, ',')) {
    std::replace(item.begin(), item.end(), '\x1f', ',');
    const std::string name = item.substr(0, item.find('='));
    const Field *field = fieldNamed(kind, name);
    const std::string value = item.substr(std::min(item.size(), name.size() + 1));
    if (field == nullptr || field->type == "fixed") {
      fail(kind.name + " has no field " + name);
    } else if (field->type == "part") {
      parts[name] = value;
    } else {
      put(record, *field, value, field->pad);
    }
  }
  for (const Field &field : kind.fields) {
    if (field.type != "part") continue;
    record.replace(field.offset, 8,
                   int32(parts[field.name].size()) + int32(kind.length + variable.size()));
    variable += parts[field.name];
  }
  const Field *field = fieldNamed(kind, kind.shortField);
  if (field && record.compare(field->offset, 4, int32(std::stol(kind.shortValue))) == 0)
    record.resize(std::stoul(kind.shortLength));
  if (const Field *length = fieldNamed(kind, "structureLength"))
    record.replace(length->offset, 4, int32(record.size() + variable.size()));
  return {&kind, record + variable};
}

// The parts the recipe asks for, the descriptor first. The descriptor and
// each header record the format and character set of the part after them.
std::vector<Part> makeMessage(const std::vector<std::string> &arguments) {
  std::vector<Part> parts;
  std::vector<std::string> records{kinds[0].name};  // the descriptor, the headers
  long characterSet = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &option = arguments[i];
    if (option == "--truncate") continue;
    const std::string &value = arguments.at(++i);
    if (option == "--text" || option == "--bytes") {
      const bool text = option == "--text";
      parts = {{&kindNamed(text ? "str" : "bin"), text ? value : fromHex(value)}};
    } else if (option == "--trigger") {
      parts = {makePart(kindNamed("trg"), value)};
    } else if (option == "--character-set") {
      characterSet = std::stol(value);
    } else if (option == "--header") {
      records.push_back(value);
    } else {
      fail("the recipe holds " + option + ", which this check does not read");
    }
  }
  if (parts.empty()) fail("the recipe has no body");
  for (auto it = records.rbegin(); it != records.rend() && !parts.empty(); ++it) {
    const std::size_t colon = it->find(':');
    const std::string list = colon == std::string::npos ? "" : it->substr(colon + 1);
    parts.insert(parts.begin(),
                 makePart(kindNamed(it->substr(0, colon)),
                          "format=" + parts.front().first->format +
                              ",characterSet=" + std::to_string(characterSet) + "," + list));
    characterSet = 0;
  }
  return parts;
}

// The file must hold the parts made and nothing else; a difference names its
// part and field.
void check(const std::string &file, const std::vector<Part> &parts) {
  std::size_t offset = 0;
  for (const auto &[kind, bytes] : parts) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (offset + i < file.size() && file[offset + i] == bytes[i]) continue;
      std::string name = "no field";
      for (const Field &each : kind->fields)
        if (i >= each.offset && i < each.offset + each.width) name = each.name;
      return fail(kind->name + " at file offset " + std::to_string(offset) + ", byte " +
                  std::to_string(i) + " (" + name +
                  (offset + i < file.size() ? ") differs" : ") is missing"));
    }
    offset += bytes.size();
  }
  if (offset < file.size()) fail(std::to_string(file.size() - offset) + " bytes after the body");
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vectors_layout VECTORS-DIR SEEDS-DIR\n");
    return 2;
  }
  const fs::path vectors = fs::u8path(argv[1]), seeds = fs::u8path(argv[2]);
  loadLayouts(vectors / "layout.tsv");
  const Field *format = kinds.empty() ? nullptr : fieldNamed(kinds[0], "format");
  if (failures > 0 || format == nullptr) return 1;
  fs::remove_all(seeds);  // no seeds of vectors that are gone
  fs::create_directories(seeds);
  int checked = 0, files = 0;
  for (const fs::directory_entry &entry : fs::directory_iterator(vectors)) {
    fs::path path = entry.path();
    if (path.extension() != ".msg") continue;
    const std::string bytes = readFile(path);
    current = path.stem().string();
    ++files;
    if (bytes.size() >= kinds[0].length) {
      // The seeds' format choice: the kind's place after the descriptor, or
      // one past the last kind for a format none has.
      std::size_t kind = 1;
      while (kind < kinds.size() &&
             kinds[kind].format != bytes.substr(format->offset, format->width))
        ++kind;
      for (const char flags : {'\0', '\x08'})
        std::ofstream(seeds / (current + (flags == 0 ? ".auto" : ".app")), std::ios::binary)
            << static_cast<char>(kind - 1) << flags << '\0' << bytes.substr(kinds[0].length);
    }
    if (!fs::exists(path.replace_extension(".args"))) continue;
    check(bytes, makeMessage(split(readFile(path), '\n')));
    ++checked;
  }
  std::printf("%d vectors checked against the layouts, %d failures; %d files written as seeds\n",
              checked, failures, files);
  return failures == 0 && checked > 0 ? 0 : 1;
}
