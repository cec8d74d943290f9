// kxmsg build: makes a message of a body and the headers in front of it,
// and writes it to a message file. Every value given either reaches the
// message as given or is refused with the reason.

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "commands.hpp"
#include "convert.hpp"
#include "failure.hpp"
#include "help.hpp"
#include "kinds.hpp"
#include "msgfile.hpp"
#include "report.hpp"
#include "textbody.hpp"

namespace kxmsg {
namespace {

// The body as given: its option ("--text", "--text-file", "--bytes",
// "--trigger") and the value after it.
struct BodyRequest {
  std::string option;
  std::string value;
};

// A header as given: its kind and its FIELD=VALUE list.
struct HeaderRequest {
  const Kind *kind;
  std::string assignments;
};

struct BuildRequest {
  bool help = false;
  const char *output = nullptr;
  BodyRequest body;
  bool haveCharacterSet = false;
  long characterSet = 0;
  bool truncate = false;               // cut over-long texts instead of refusing them
  std::vector<HeaderRequest> headers;  // outermost first
};

bool isBodyOption(const std::string &arg) {
  return arg == "--text" || arg == "--text-file" || arg == "--bytes" || arg == "--trigger";
}

bool parseHeader(const std::string &value, BuildRequest &request, std::string &problem) {
  const std::size_t colon = value.find(':');
  const Kind *kind = kindByName(value.substr(0, colon));
  if (kind == nullptr || !kind->header)
    return refuse(problem, "unknown header kind in \"" + value +
                               "\"; the kinds are dlh, vih, oih, wih and rfh");
  request.headers.push_back(
      HeaderRequest{kind, colon == std::string::npos ? "" : value.substr(colon + 1)});
  return true;
}

// False, with `problem` set, on arguments build does not take.
bool parseBuildArguments(int argc, char **argv, BuildRequest &request, std::string &problem) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (isHelpOption(arg)) {
      request.help = true;
    } else if (arg == "-o" && hasValue) {
      request.output = argv[++i];
    } else if (isBodyOption(arg) && hasValue) {
      if (!request.body.option.empty()) return refuse(problem, "give one body");
      request.body = BodyRequest{arg, argv[++i]};
    } else if (arg == "--character-set" && hasValue) {
      if (!parseInt32(argv[++i], request.characterSet))
        return refuse(problem, "--character-set takes a signed 32-bit integer");
      request.haveCharacterSet = true;
    } else if (arg == "--truncate") {
      request.truncate = true;
    } else if (arg == "--header" && hasValue) {
      if (!parseHeader(argv[++i], request, problem)) return false;
    } else {
      return refuse(problem, "unexpected argument " + arg);
    }
  }
  if (request.help) return true;
  if (request.output == nullptr || request.body.option.empty())
    return refuse(problem, "build needs -o FILE and a body");
  return true;
}

// FIELD=VALUE,FIELD=VALUE (a comma inside a value is written "\,").
std::vector<std::string> splitAssignments(const std::string &list) {
  std::vector<std::string> items;
  std::string current;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '\\' && i + 1 < list.size() && list[i + 1] == ',') {
      current += ',';
      ++i;
    } else if (list[i] == ',') {
      items.push_back(current);
      current.clear();
    } else {
      current += list[i];
    }
  }
  if (!current.empty()) items.push_back(current);
  return items;
}

std::string settableFields(const Kind &kind) {
  std::string list;
  for (const Field &field : kind.fields)
    if (field.set) list += (list.empty() ? "" : ", ") + field.name;
  return list;
}

// The field `name` of `kind` if values can be given to it; null, with
// `problem` set, if not.
const Field *settableField(const Kind &kind, const std::string &name, std::string &problem) {
  const Field *field = fieldByName(kind, name);
  const std::string prefix = std::string(kind.name) + " (" + kind.title + ") ";
  if (field == nullptr) {
    refuse(problem, prefix + "has no field \"" + name + "\"; its settable fields are " +
                        settableFields(kind));
    return nullptr;
  }
  if (!field->set) {
    refuse(problem, prefix + "field " + name + " cannot be set: " + field->fixedBy);
    return nullptr;
  }
  return field;
}

// A text longer than its field is refused, or cut when the caller asked
// for that (with a note, since the value then differs from the one given).
bool fitsWidth(const Kind &kind, const Field &field, const std::string &value, bool truncate,
               std::string &problem) {
  if (field.type != Field::kText || field.width == 0 || value.size() <= field.width) return true;
  const std::string where = std::string(kind.name) + " field " + field.name;
  if (truncate) {
    std::fprintf(stderr, "kxmsg: note: %s cut to its %zu bytes\n", where.c_str(), field.width);
    return true;
  }
  return refuse(problem, where + " takes at most " + std::to_string(field.width) + " bytes; " +
                             quote(value) + " has " + std::to_string(value.size()) +
                             " (--truncate cuts it)");
}

bool setField(const Kind &kind, KxlItm &item, const std::string &name, const std::string &value,
              bool truncate, std::string &problem) {
  const Field *field = settableField(kind, name, problem);
  if (field == nullptr || !fitsWidth(kind, *field, value, truncate, problem)) return false;
  if (field->set(item, value)) return true;
  return refuse(problem, "bad value for " + std::string(kind.name) + " field " + name + ": " +
                             quote(value) + "; it takes " + describeField(*field));
}

bool setFields(const Kind &kind, KxlItm &item, const std::string &list, bool truncate,
               std::string &problem) {
  std::vector<std::string> given;
  for (const std::string &assignment : splitAssignments(list)) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
      return refuse(problem, "expected FIELD=VALUE, got \"" + assignment + "\"");
    given.push_back(assignment.substr(0, equals));
    if (!setField(kind, item, given.back(), assignment.substr(equals + 1), truncate, problem))
      return false;
  }
  const std::string unreached = kind.unreached ? kind.unreached(item, given) : "";
  if (unreached.empty()) return true;
  return refuse(problem, std::string(kind.name) + " field " + unreached);
}

std::string hexProblem(const std::string &text) {
  const std::string what = "--bytes takes hex digits (0-9, a-f), two for each byte; ";
  if (text.size() % 2 != 0) return what + quote(text) + " has an odd number of characters";
  return what + quote(text) + " holds characters that are not hex digits";
}

// The body item; null, with the code to exit with, when it cannot be made.
std::unique_ptr<KxlItm> makeBody(const BuildRequest &request, int &exitCode) {
  const BodyRequest &body = request.body;
  if (body.option == "--text") return std::make_unique<TextBody>(body.value);
  if (body.option == "--text-file") {
    std::vector<unsigned char> bytes;
    std::string reason;
    if (readFile(body.value, bytes, reason))
      return std::make_unique<TextBody>(std::string(bytes.begin(), bytes.end()));
    std::fprintf(stderr, "kxmsg: cannot read %s: %s\n", body.value.c_str(), reason.c_str());
    exitCode = kBadInput;
    return nullptr;
  }
  if (body.option == "--bytes") {
    std::vector<unsigned char> bytes;
    if (fromHex(body.value, bytes)) return std::make_unique<KxlBin>(bytes.data(), bytes.size());
    exitCode = usage(hexProblem(body.value), "build");
    return nullptr;
  }
  const Kind &trigger = *kindByName("trg");
  std::unique_ptr<KxlItm> item = trigger.make();
  std::string problem;
  if (setFields(trigger, *item, body.value, request.truncate, problem)) return item;
  exitCode = usage(problem, "build");
  return nullptr;
}

// The headers' items with their fields set, innermost first (the order they
// are written in). Empty, with `problem` set, when a value is refused.
std::vector<std::unique_ptr<KxlItm>> makeHeaders(const BuildRequest &request,
                                                 std::string &problem) {
  std::vector<std::unique_ptr<KxlItm>> headers;
  for (auto it = request.headers.rbegin(); it != request.headers.rend(); ++it) {
    headers.push_back(it->kind->make());
    if (!setFields(*it->kind, *headers.back(), it->assignments, request.truncate, problem))
      return {};
  }
  return headers;
}

// Writes the body, then the headers innermost first, so that the first one
// listed ends up outermost.
int buildMessage(const BuildRequest &request, KxlItm &body,
                 const std::vector<std::unique_ptr<KxlItm>> &headers, KxlMsg &message) {
  if (!message.writeItem(body)) return report(failureOf("writing the body", message));
  if (request.haveCharacterSet) message.setCharacterSet(request.characterSet);
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (!message.writeItem(*headers[i])) {
      const Kind &kind = *request.headers[request.headers.size() - 1 - i].kind;
      return report(failureOf(std::string("writing the ") + kind.title, message));
    }
  }
  return 0;
}

int build(const BuildRequest &request) {
  int exitCode = 0;
  const std::unique_ptr<KxlItm> body = makeBody(request, exitCode);
  if (body == nullptr) return exitCode;
  std::string problem;
  const std::vector<std::unique_ptr<KxlItm>> headers = makeHeaders(request, problem);
  if (!problem.empty()) return usage(problem, "build");
  KxlMsg message;
  exitCode = buildMessage(request, *body, headers, message);
  if (exitCode != 0) return exitCode;
  std::string reason;
  if (!saveMessageFile(request.output, message, reason)) {
    std::fprintf(stderr, "kxmsg: cannot write %s: %s\n", request.output, reason.c_str());
    return kBadInput;
  }
  std::printf("wrote %s: %zu bytes of message data, format %s\n", request.output,
              message.messageLength(), quote(textOf(message.format())).c_str());
  return 0;
}

}  // namespace

int runBuild(int argc, char **argv) {
  BuildRequest request;
  std::string problem;
  if (!parseBuildArguments(argc, argv, request, problem)) return usage(problem, "build");
  if (request.help) return showHelp("build");
  return build(request);
}

}  // namespace kxmsg
