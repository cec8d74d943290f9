// What kxmsg knows of each kind of message content: its format name, how to
// make an item of it, its fields by name (read and, where the class allows
// it and the value reaches the message, set through the public accessors,
// with the type and width each takes), and the byte layout of its record
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

struct Field {
  enum Type { kText, kNumber, kBytes };
  std::string name;
  Type type = kText;
  // Text: the most bytes the field holds (0: any length). Bytes: exactly
  // this many. Number: 4.
  std::size_t width = 0;
  std::function<std::string(const KxlItm &)> get;
  // Empty for a field that cannot be set. False on a value the accessor
  // refuses; the text's width is checked by the caller.
  std::function<bool(KxlItm &, const std::string &)> set;
  // For a number that takes less than every 32-bit value: what it takes.
  std::string range;
  // For a field that cannot be set: why.
  std::string fixedBy;
};

// What a field takes, for people: "text, at most 48 bytes", ...
std::string describeField(const Field &field);

// A field of a record as it lies in the message bytes.
struct RawField {
  const char *name;
  std::size_t offset;
  std::size_t width;
  enum Type { kText, kInt32, kBytes } type;
};

struct Kind {
  const char *name = "";    // as given on the command line: "dlh", "str", ...
  const char *format = "";  // 8 characters
  const char *title = "";   // for people: "dead-letter header"
  bool header = false;      // a header (chains on) or a body item (ends the chain)
  std::function<std::unique_ptr<KxlItm>()> make;
  std::vector<Field> fields;
  // Why values set on `item` (the names of the fields set in `given`) would
  // not all reach the message; empty when they do. Empty for most kinds.
  std::function<std::string(const KxlItm &item, const std::vector<std::string> &given)> unreached;
  std::vector<RawField> layout;  // fixed part; empty for the text and bytes bodies
};

// Every kind kxmsg handles.
const std::vector<Kind> &kinds();
const Kind *kindByName(const std::string &name);
const Kind *kindByFormat(const KxlStr &format);
const Field *fieldByName(const Kind &kind, const std::string &name);

}  // namespace kxmsg

#endif  // KXMSG_KINDS_HPP_
