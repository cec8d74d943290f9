// Message files: the 364-byte descriptor record followed by the message
// data, as kxmsg writes and reads them, and the checked file reads and
// writes behind them.
#ifndef KXMSG_MSGFILE_HPP_
#define KXMSG_MSGFILE_HPP_

#include <string>
#include <vector>

#include "failure.hpp"
#include "kxli.hpp"

namespace kxmsg {

// The whole file at `path`; false, with the system's reason in `reason`,
// when it cannot be read.
bool readFile(const std::string &path, std::vector<unsigned char> &bytes, std::string &reason);

// Makes `message` the one the file holds: its data, with the data offset
// at 0, and the descriptor's description and identities.
bool loadMessageFile(const std::vector<unsigned char> &file, KxlMsg &message, Failure &failure);

// Writes the message's descriptor and data to `path`, checked through the
// close. A regular file (or a new one) is written beside `path` and renamed
// over it, so that a failed write leaves no partial file; a device is
// written in place. False, with the system's reason, on failure.
bool saveMessageFile(const std::string &path, const KxlMsg &message, std::string &reason);

}  // namespace kxmsg

#endif  // KXMSG_MSGFILE_HPP_
