// kxmsg: builds, dumps and demonstrates messages with kxli, on its public
// API only.
//
//   kxmsg demo
//   kxmsg build -o FILE BODY [--character-set N] [--header KIND[:FIELD=VALUE,...]]...
//   kxmsg dump [--json] [--character-form] FILE
//   kxmsg dump --raw --format NAME [--encoding N] [--character-set N] [--json] FILE
//
// A message file is the 364-byte descriptor followed by the message data.
// Bad input prints the library's reason code and text and exits with 2.

#include <cstdio>
#include <string>

#include "commands.hpp"
#include "failure.hpp"

namespace kxmsg {

int usage(const std::string &problem) {
  if (!problem.empty()) std::fprintf(stderr, "kxmsg: %s\n", problem.c_str());
  std::fprintf(stderr,
               "usage: kxmsg demo\n"
               "       kxmsg build -o FILE (--text TEXT | --text-file PATH | --bytes HEX |\n"
               "                   --trigger FIELD=VALUE,...) [--character-set N]\n"
               "                   [--header KIND[:FIELD=VALUE,...]]...\n"
               "       kxmsg dump [--json] [--character-form] FILE\n"
               "       kxmsg dump --raw --format NAME [--encoding N] [--character-set N]"
               " [--json] FILE\n"
               "headers are listed outermost first; KIND is one of dlh, vih, oih, wih, rfh\n");
  return kUsage;
}

}  // namespace kxmsg

int main(int argc, char **argv) {
  using namespace kxmsg;
  keepLibraryTexts();
  if (argc < 2) return usage("");
  const std::string command = argv[1];
  if (command == "demo" && argc == 2) return runDemo();
  if (command == "build") return runBuild(argc - 2, argv + 2);
  if (command == "dump") return runDump(argc - 2, argv + 2);
  return usage("unknown command " + command);
}
