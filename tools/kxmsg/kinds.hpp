// What kxmsg knows of each kind of message content: its format name, how to
// make an item of it, its fields by name (read and, where the class allows
// it, set through the public accessors), and the byte layout of its record
// for the labelled hex dump.
#ifndef KXMSG_KINDS_HPP_
#define KXMSG_KINDS_HPP_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kxli.hpp"

namespace kxmsg {

// The encoding every header and trigger record is written and read in
// (32-bit integers, little-endian). The library names it only internally.
constexpr long kNativeEncoding = 546;

struct Field {
  std::string name;
  std::function<std::string(const KxlItm &)> get;
  // Empty for a field the class has no setter for. False on a bad value.
  std::function<bool(KxlItm &, const std::string &)> set;
  bool numeric = false;
};

// A field of a record as it lies in the message bytes.
struct RawField {
  const char *name;
  std::size_t offset;
  std::size_t width;
  enum Type { kText, kInt32, kBytes } type;
};

struct Kind {
  const char *name;    // as given on the command line: "dlh", "str", ...
  const char *format;  // 8 characters
  const char *title;   // for people: "dead-letter header"
  bool header;         // a header (chains on) or a body item (ends the chain)
  std::function<std::unique_ptr<KxlItm>()> make;
  std::vector<Field> fields;
  std::vector<RawField> layout;  // fixed part; empty for the text and bytes bodies
};

// Every kind kxmsg handles.
const std::vector<Kind> &kinds();
const Kind *kindByName(const std::string &name);
const Kind *kindByFormat(const KxlStr &format);

}  // namespace kxmsg

#endif  // KXMSG_KINDS_HPP_
