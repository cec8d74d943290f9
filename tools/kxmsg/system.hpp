// The platform's side of kxmsg (pc/posix, pc/winnt): the command line and
// file names as UTF-8 on every system, so that a text or a path with any
// character in it reaches kxmsg and the file system whole.
#ifndef KXMSG_SYSTEM_HPP_
#define KXMSG_SYSTEM_HPP_

#include <cstdio>
#include <string>
#include <vector>

namespace kxmsg {

// The program's arguments, argv[0] included, as UTF-8.
std::vector<std::string> argumentsOf(int argc, char **argv);

// std::fopen of a UTF-8 path.
std::FILE *openFile(const std::string &path, const char *mode);

}  // namespace kxmsg

#endif  // KXMSG_SYSTEM_HPP_
