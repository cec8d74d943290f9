// Arguments and file names are UTF-8 bytes already.

#include "system.hpp"

namespace kxmsg {

std::vector<std::string> argumentsOf(int argc, char **argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::FILE *openFile(const std::string &path, const char *mode) {
  return std::fopen(path.c_str(), mode);
}

}  // namespace kxmsg
