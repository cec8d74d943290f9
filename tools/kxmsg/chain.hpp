// Reading a message's chain of parts (headers, then a body) the way a
// receiver does, and listing what was read.
#ifndef KXMSG_CHAIN_HPP_
#define KXMSG_CHAIN_HPP_

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "failure.hpp"
#include "kinds.hpp"
#include "kxli.hpp"

namespace kxmsg {

// One part of a message as read back: which kind, where, and its fields.
struct Part {
  const Kind *kind;
  std::size_t offset;
  std::size_t length;
  std::vector<std::pair<const Field *, std::string>> values;
  std::unique_ptr<KxlItm> item;
};

// Reads the chain from the data offset on, header by header, until a body
// item (true) or a failure (false, with `failure` set). `parts` holds what
// was read either way.
bool walk(KxlMsg &message, std::vector<Part> &parts, Failure &failure);

// Lists the parts for people, one field a line.
void printParts(const std::vector<Part> &parts);

}  // namespace kxmsg

#endif  // KXMSG_CHAIN_HPP_
