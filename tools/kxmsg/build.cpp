// kxmsg build: makes a message of a body and the headers in front of it,
// and writes it to a message file.

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "commands.hpp"
#include "convert.hpp"
#include "failure.hpp"
#include "kinds.hpp"
#include "msgfile.hpp"
#include "report.hpp"

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
  const char *output = nullptr;
  BodyRequest body;
  bool haveCharacterSet = false;
  long characterSet = 0;
  std::vector<HeaderRequest> headers;  // outermost first
};

bool isBodyOption(const std::string &arg) {
  return arg == "--text" || arg == "--text-file" || arg == "--bytes" || arg == "--trigger";
}

// False, with `problem` set, on arguments build does not take.
bool parseBuildArguments(int argc, char **argv, BuildRequest &request, std::string &problem) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" && hasValue) {
      request.output = argv[++i];
    } else if (isBodyOption(arg) && hasValue) {
      if (!request.body.option.empty()) return refuse(problem, "give one body");
      request.body = BodyRequest{arg, argv[++i]};
    } else if (arg == "--character-set" && hasValue) {
      if (!parseInt32(argv[++i], request.characterSet))
        return refuse(problem, "bad --character-set");
      request.haveCharacterSet = true;
    } else if (arg == "--header" && hasValue) {
      const std::string value = argv[++i];
      const std::size_t colon = value.find(':');
      const Kind *kind = kindByName(value.substr(0, colon));
      if (kind == nullptr || !kind->header)
        return refuse(problem, "unknown header kind in \"" + value + "\"");
      request.headers.push_back(
          HeaderRequest{kind, colon == std::string::npos ? "" : value.substr(colon + 1)});
    } else {
      return refuse(problem, "unexpected argument " + arg);
    }
  }
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

bool setField(const Kind &kind, KxlItm &item, const std::string &name, const std::string &value,
              std::string &problem) {
  const Field *field = nullptr;
  for (const Field &candidate : kind.fields)
    if (candidate.name == name) field = &candidate;
  if (field == nullptr || !field->set)
    return refuse(problem, std::string(kind.title) + " has no settable field \"" + name + "\"");
  if (!field->set(item, value))
    return refuse(problem, "bad value for " + std::string(kind.name) + " field " + name + ": \"" +
                               value + "\"");
  return true;
}

bool setFields(const Kind &kind, KxlItm &item, const std::string &list, std::string &problem) {
  for (const std::string &assignment : splitAssignments(list)) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
      return refuse(problem, "expected FIELD=VALUE, got \"" + assignment + "\"");
    if (!setField(kind, item, assignment.substr(0, equals), assignment.substr(equals + 1), problem))
      return false;
  }
  return true;
}

// The body item; exits with the code to return when it cannot be made.
std::unique_ptr<KxlItm> makeBody(const BodyRequest &body, int &exitCode) {
  std::string problem;
  if (body.option == "--text") return std::make_unique<KxlStr>(body.value.c_str());
  if (body.option == "--text-file") {
    std::vector<unsigned char> bytes;
    if (readFile(body.value, bytes)) return std::make_unique<KxlStr>(bytes.data(), bytes.size());
    std::fprintf(stderr, "kxmsg: cannot read %s\n", body.value.c_str());
    exitCode = kBadInput;
    return nullptr;
  }
  if (body.option == "--bytes") {
    std::vector<unsigned char> bytes;
    if (fromHex(body.value, bytes)) return std::make_unique<KxlBin>(bytes.data(), bytes.size());
    exitCode = usage("--bytes takes an even number of hex digits");
    return nullptr;
  }
  const Kind &trigger = *kindByName("trg");
  std::unique_ptr<KxlItm> item = trigger.make();
  if (setFields(trigger, *item, body.value, problem)) return item;
  exitCode = usage(problem);
  return nullptr;
}

// Writes the body, then the headers last to first, so that the first one
// listed ends up outermost.
int buildMessage(const BuildRequest &request, KxlItm &body, KxlMsg &message) {
  if (!message.writeItem(body)) return report(failureOf("writing the body", message));
  if (request.haveCharacterSet) message.setCharacterSet(request.characterSet);
  for (auto it = request.headers.rbegin(); it != request.headers.rend(); ++it) {
    std::unique_ptr<KxlItm> header = it->kind->make();
    std::string problem;
    if (!setFields(*it->kind, *header, it->assignments, problem)) return usage(problem);
    if (!message.writeItem(*header))
      return report(failureOf(std::string("writing the ") + it->kind->title, message));
  }
  return 0;
}

int build(const BuildRequest &request) {
  int exitCode = 0;
  const std::unique_ptr<KxlItm> body = makeBody(request.body, exitCode);
  if (body == nullptr) return exitCode;
  KxlMsg message;
  exitCode = buildMessage(request, *body, message);
  if (exitCode != 0) return exitCode;
  if (!saveMessageFile(request.output, message)) {
    std::fprintf(stderr, "kxmsg: cannot write %s\n", request.output);
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
  if (!parseBuildArguments(argc, argv, request, problem)) return usage(problem);
  return build(request);
}

}  // namespace kxmsg
