// kxmsg: builds, dumps and demonstrates messages with kxli, on its public
// API only. `kxmsg help` lists the commands; help.cpp holds every usage.
//
// Exit codes: 0 when done, 1 for a command line kxmsg cannot carry out, 2
// for input or output it cannot take. No command reports success for
// output it did not write: standard output is checked before exiting.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.hpp"
#include "failure.hpp"
#include "help.hpp"
#include "system.hpp"

#ifndef KXMSG_KXLI_VERSION
#error "the build passes the library's version as KXMSG_KXLI_VERSION"
#endif

namespace kxmsg {

int usage(const std::string &problem, const std::string &command) {
  std::fprintf(stderr, "kxmsg: %s\n\n%s", problem.c_str(), helpText(command));
  return kUsage;
}

namespace {

int showVersion() {
  std::printf("kxmsg (kxli) %s\n", KXMSG_KXLI_VERSION);
  return 0;
}

int help(int argc, char **argv) {
  if (argc > 1) return usage("help takes at most one COMMAND", "help");
  return showHelp(argc == 1 ? argv[0] : "");
}

int demo(int argc, char **argv) {
  if (argc == 1 && isHelpOption(argv[0])) return showHelp("demo");
  if (argc != 0) return usage("demo takes no arguments", "demo");
  return runDemo();
}

int run(int argc, char **argv) {
  if (argc < 2) return usage("give a command", "");
  const std::string command = argv[1];
  if (command == "help" || isHelpOption(command)) return help(argc - 2, argv + 2);
  if (command == "--version") return showVersion();
  if (command == "demo") return demo(argc - 2, argv + 2);
  if (command == "build") return runBuild(argc - 2, argv + 2);
  if (command == "dump") return runDump(argc - 2, argv + 2);
  if (command == "fields") return runFields(argc - 2, argv + 2);
  return usage("unknown command " + command, "");
}

// What was printed must have reached standard output.
int checkStandardOutput(int exitCode) {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return exitCode;
  std::fprintf(stderr, "kxmsg: cannot write standard output: %s\n", std::strerror(errno));
  return exitCode != 0 ? exitCode : kBadInput;
}

}  // namespace
}  // namespace kxmsg

int main(int argc, char **argv) {
  kxmsg::keepLibraryTexts();
  std::vector<std::string> arguments = kxmsg::argumentsOf(argc, argv);
  std::vector<char *> pointers;
  for (std::string &argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  const int count = static_cast<int>(arguments.size());
  return kxmsg::checkStandardOutput(kxmsg::run(count, pointers.data()));
}
