// The help texts of kxmsg.

#include "help.hpp"

#include <cstdio>

namespace kxmsg {
namespace {

const char kOverview[] =
    "usage: kxmsg COMMAND [ARGUMENTS]\n"
    "\n"
    "Builds and takes apart messages: a message file is the 364-byte message\n"
    "descriptor followed by the message data.\n"
    "\n"
    "commands:\n"
    "  build    make a message of a body and headers and write it to a file\n"
    "  dump     list the parts of a message file (or of raw message data)\n"
    "  fields   list the fields build can set, with their types and widths\n"
    "  demo     show the road of one message, byte by byte\n"
    "  help     this text; 'kxmsg help COMMAND' (or COMMAND --help) for one command\n"
    "\n"
    "  --version  the version of kxmsg and kxli\n"
    "\n"
    "exit codes: 0 done, 1 a command line kxmsg cannot carry out, 2 input or\n"
    "output it cannot take (a file, a message)\n";

const char kBuild[] =
    "usage: kxmsg build -o FILE BODY [--character-set N] [--truncate]\n"
    "                   [--header KIND[:FIELD=VALUE,...]]...\n"
    "\n"
    "BODY is one of\n"
    "  --text TEXT             the text as given\n"
    "  --text-file PATH        every byte of the file, null bytes included\n"
    "  --bytes HEX             bytes as hex digits, two for each byte\n"
    "  --trigger FIELD=VALUE,...  a trigger message\n"
    "\n"
    "  --character-set N       the character set of the body (recorded by the\n"
    "                          innermost header)\n"
    "  --header KIND[:...]     a header: dlh, vih, oih, wih or rfh; headers are\n"
    "                          listed outermost first\n"
    "  --truncate              cut a text longer than its field instead of refusing it\n"
    "\n"
    "A comma inside a value is written \\,. 'kxmsg fields' lists every field.\n"
    "The file is written beside FILE and renamed over it, so a failed write\n"
    "leaves nothing behind.\n";

const char kDump[] =
    "usage: kxmsg dump [--json] [--character-form] FILE\n"
    "       kxmsg dump --raw --format NAME [--encoding N] [--character-set N] [--json] FILE\n"
    "\n"
    "Lists the parts of the message in FILE, header by header, then the body.\n"
    "  --json            one JSON object: the message, its chain of parts and,\n"
    "                    if reading stopped, the error\n"
    "  --character-form  also the character form of a trigger message\n"
    "  --raw             FILE holds message data without a descriptor; --format\n"
    "                    (at most 8 characters) says what it begins with\n"
    "\n"
    "Text is shown as it is where it is printable (UTF-8 included); any other\n"
    "byte as \\xNN, and in JSON as \\u00NN (a control character) or \\udcNN (a\n"
    "byte that is not part of UTF-8).\n";

const char kFields[] =
    "usage: kxmsg fields [KIND]\n"
    "\n"
    "Lists, for each header kind (dlh, vih, oih, wih, rfh) and the trigger (trg),\n"
    "the fields build sets, with the type and width each takes, and the fields\n"
    "that are shown but cannot be set, with the reason.\n";

const char kDemo[] =
    "usage: kxmsg demo\n"
    "\n"
    "Writes a text and a dead-letter header in front of it, prints the bytes\n"
    "field by field, and reads the message back.\n";

}  // namespace

bool isHelpOption(const std::string &arg) { return arg == "-h" || arg == "--help"; }

const char *helpText(const std::string &command) {
  if (command == "build") return kBuild;
  if (command == "dump") return kDump;
  if (command == "fields") return kFields;
  if (command == "demo") return kDemo;
  return kOverview;
}

int showHelp(const std::string &command) {
  std::fputs(helpText(command), stdout);
  return 0;
}

}  // namespace kxmsg
