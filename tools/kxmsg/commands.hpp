// The commands of kxmsg, each given the arguments after its name, and the
// usage text they fall back on.
#ifndef KXMSG_COMMANDS_HPP_
#define KXMSG_COMMANDS_HPP_

#include <string>

namespace kxmsg {

int runDemo();
int runBuild(int argc, char **argv);
int runDump(int argc, char **argv);
int runFields(int argc, char **argv);

// Prints `problem` and the help of `command` on stderr; returns kUsage.
int usage(const std::string &problem, const std::string &command);

// How argument parsers refuse: `problem` becomes `text`, the result false.
inline bool refuse(std::string &problem, const std::string &text) {
  problem = text;
  return false;
}

}  // namespace kxmsg

#endif  // KXMSG_COMMANDS_HPP_
