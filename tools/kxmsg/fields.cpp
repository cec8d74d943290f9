// kxmsg fields: the fields build can set, for each header kind and the
// trigger, from the same tables build and dump use.

#include <cstdio>
#include <string>

#include "commands.hpp"
#include "help.hpp"
#include "kinds.hpp"
#include "report.hpp"

namespace kxmsg {
namespace {

void printKind(const Kind &kind) {
  std::printf("%s: %s, format %s\n", kind.name, kind.title, quote(kind.format).c_str());
  bool fixed = false;
  for (const Field &field : kind.fields) {
    if (field.set) std::printf("  %-30s %s\n", field.name.c_str(), describeField(field).c_str());
    fixed = fixed || !field.set;
  }
  if (!fixed) return;
  std::printf("  shown by dump, not set by build:\n");
  for (const Field &field : kind.fields)
    if (!field.set) std::printf("  %-30s %s\n", field.name.c_str(), field.fixedBy.c_str());
}

// The kinds whose fields build sets: every header and the trigger.
bool hasSettableFields(const Kind &kind) {
  for (const Field &field : kind.fields)
    if (field.set) return true;
  return false;
}

int listKind(const std::string &name) {
  const Kind *kind = kindByName(name);
  if (kind == nullptr || !hasSettableFields(*kind))
    return usage("no kind \"" + name +
                     "\" has fields to set; the kinds are dlh, vih, oih, wih, rfh" + " and trg",
                 "fields");
  printKind(*kind);
  return 0;
}

int listAll() {
  const char *separator = "";
  for (const Kind &kind : kinds()) {
    if (!hasSettableFields(kind)) continue;
    std::printf("%s", separator);
    printKind(kind);
    separator = "\n";
  }
  return 0;
}

}  // namespace

int runFields(int argc, char **argv) {
  if (argc == 1 && isHelpOption(argv[0])) return showHelp("fields");
  if (argc == 0) return listAll();
  if (argc == 1) return listKind(argv[0]);
  return usage("fields takes at most one KIND", "fields");
}

}  // namespace kxmsg
