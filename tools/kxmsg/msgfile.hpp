// Message files: the 364-byte descriptor record followed by the message
// data, as kxmsg writes and reads them.
#ifndef KXMSG_MSGFILE_HPP_
#define KXMSG_MSGFILE_HPP_

#include <string>
#include <vector>

#include "failure.hpp"
#include "kxli.hpp"

namespace kxmsg {

// The whole file at `path`; false when it cannot be read.
bool readFile(const std::string &path, std::vector<unsigned char> &bytes);

// Makes `message` the one the file holds: its data, with the data offset
// at 0, and the descriptor's description and identities.
bool loadMessageFile(const std::vector<unsigned char> &file, KxlMsg &message, Failure &failure);

// Writes the message's descriptor and data to `path`.
bool saveMessageFile(const std::string &path, const KxlMsg &message);

}  // namespace kxmsg

#endif  // KXMSG_MSGFILE_HPP_
