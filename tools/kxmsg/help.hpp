// What kxmsg says it can do: the usage of every command, shown on request
// (help, -h, --help) and after a command line it cannot carry out.
#ifndef KXMSG_HELP_HPP_
#define KXMSG_HELP_HPP_

#include <string>

namespace kxmsg {

// True for "-h" and "--help".
bool isHelpOption(const std::string &arg);

// The help of `command` ("build", "dump", "fields", "demo"), or of kxmsg
// as a whole for any other name.
const char *helpText(const std::string &command);

// Prints the help of `command` on stdout; returns 0.
int showHelp(const std::string &command);

}  // namespace kxmsg

#endif  // KXMSG_HELP_HPP_
