// kxmsg dump: reads a message file (or raw message data) and lists its
// chain of parts, for people or as JSON.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "chain.hpp"
#include "commands.hpp"
#include "convert.hpp"
#include "help.hpp"
#include "msgfile.hpp"
#include "report.hpp"

namespace kxmsg {
namespace {

struct DumpRequest {
  bool help = false;
  bool json = false;
  bool raw = false;
  bool characterForm = false;
  const char *format = nullptr;  // of raw data
  long encoding = kKxlNativeEncoding;
  long characterSet = 0;
  const char *path = nullptr;
};

// False, with `problem` set, on arguments dump does not take.
bool parseDumpArguments(int argc, char **argv, DumpRequest &request, std::string &problem) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (isHelpOption(arg)) {
      request.help = true;
    } else if (arg == "--json") {
      request.json = true;
    } else if (arg == "--raw") {
      request.raw = true;
    } else if (arg == "--character-form") {
      request.characterForm = true;
    } else if (arg == "--format" && hasValue) {
      request.format = argv[++i];
    } else if (arg == "--encoding" && hasValue) {
      if (!parseInt32(argv[++i], request.encoding))
        return refuse(problem, "--encoding takes a signed 32-bit integer");
    } else if (arg == "--character-set" && hasValue) {
      if (!parseInt32(argv[++i], request.characterSet))
        return refuse(problem, "--character-set takes a signed 32-bit integer");
    } else if (request.path == nullptr && arg.rfind("--", 0) != 0) {
      request.path = argv[i];
    } else {
      return refuse(problem, "unexpected argument " + arg);
    }
  }
  if (request.help) return true;
  if (request.path == nullptr) return refuse(problem, "dump needs a FILE");
  if (request.raw != (request.format != nullptr))
    return refuse(problem, "--raw and --format NAME go together");
  if (request.format != nullptr && std::strlen(request.format) > sizeof(KXMD::format))
    return refuse(problem, "--format takes a format name of at most " +
                               std::to_string(sizeof(KXMD::format)) + " characters, not " +
                               quote(request.format));
  if (request.characterForm && request.json)
    return refuse(problem, "--character-form is a hex dump for people; it does not go with --json");
  return true;
}

// Raw data: the whole file is the message data, described as requested.
bool loadRawData(const DumpRequest &request, const std::vector<unsigned char> &file,
                 KxlMsg &message, Failure &failure) {
  if (!message.write(file.size(), reinterpret_cast<const char *>(file.data())) ||
      !message.setDataOffset(0)) {
    failure = failureOf("loading the data", message);
    return false;
  }
  message.setFormat(request.format);
  message.setEncoding(request.encoding);
  message.setCharacterSet(request.characterSet);
  return true;
}

void printDescriptor(const KxlMsg &message) {
  const KXMD *descriptor = message.descriptor();
  std::printf("message: %zu bytes, format %s, encoding %ld, character set %ld, version %ld\n",
              message.messageLength(),
              quote(fixedText(descriptor->format, sizeof descriptor->format)).c_str(),
              message.encoding(), message.characterSet(), message.version());
}

void printJsonPart(const Part &part) {
  std::printf("{\"kind\":%s,\"format\":%s,\"offset\":%zu,\"length\":%zu,\"fields\":{",
              jsonString(part.kind->name).c_str(), jsonString(part.kind->format).c_str(),
              part.offset, part.length);
  const char *separator = "";
  for (const auto &[field, value] : part.values) {
    std::printf("%s%s:%s", separator, jsonString(field->name).c_str(),
                field->type == Field::kNumber ? value.c_str() : jsonString(value).c_str());
    separator = ",";
  }
  std::printf("}}");
}

void printJsonFailure(const Failure &failure) {
  if (!failure.library) {
    std::printf(",\"error\":{\"what\":%s,\"text\":%s}", jsonString(failure.what).c_str(),
                jsonString(failure.text).c_str());
    return;
  }
  std::printf(
      ",\"error\":{\"what\":%s,\"completionCode\":%ld,\"reasonCode\":%ld,"
      "\"reason\":%s,\"text\":%s}",
      jsonString(failure.what).c_str(), failure.completion, failure.reason,
      jsonString(reasonName(failure.reason)).c_str(), jsonString(failure.text).c_str());
}

void printJson(const KxlMsg &message, const std::vector<Part> &parts, const Failure *failure) {
  const KXMD *descriptor = message.descriptor();
  std::printf(
      "{\"message\":{\"length\":%zu,\"format\":%s,\"encoding\":%ld,\"characterSet\":%ld,"
      "\"version\":%ld},\"chain\":[",
      message.messageLength(),
      jsonString(fixedText(descriptor->format, sizeof descriptor->format)).c_str(),
      message.encoding(), message.characterSet(), message.version());
  const char *separator = "";
  for (const Part &part : parts) {
    std::printf("%s", separator);
    printJsonPart(part);
    separator = ",";
  }
  std::printf("]");
  if (failure != nullptr) printJsonFailure(*failure);
  std::printf("}\n");
}

void printCharacterForm(KxlTrg &trigger) {
  tagKXTMC2 form;
  trigger.copyOut(&form);
  std::printf("character form (%zu bytes):\n", sizeof form);
  printHex(stdout, reinterpret_cast<const unsigned char *>(&form), 0, sizeof form, "tagKXTMC2");
}

bool isTrigger(const Part &part) { return part.kind == kindByName("trg"); }

// The character form is asked of a trigger message only.
bool characterFormApplies(const DumpRequest &request, const std::vector<Part> &parts,
                          std::string &problem) {
  if (!request.characterForm || (!parts.empty() && isTrigger(parts.back()))) return true;
  const std::string found = parts.empty() ? "no body could be read"
                                          : std::string("its body is ") + parts.back().kind->title;
  return refuse(problem, std::string("--character-form needs a trigger message; ") + request.path +
                             " is not one (" + found + ")");
}

void printForPeople(const DumpRequest &request, const KxlMsg &arrived,
                    const std::vector<Part> &parts, bool complete) {
  printDescriptor(arrived);
  printParts(parts);
  if (complete && request.characterForm)
    printCharacterForm(static_cast<KxlTrg &>(*parts.back().item));
}

int dump(const DumpRequest &request) {
  std::vector<unsigned char> file;
  std::string reason;
  if (!readFile(request.path, file, reason)) {
    std::fprintf(stderr, "kxmsg: cannot read %s: %s\n", request.path, reason.c_str());
    return kBadInput;
  }
  KxlMsg message;
  Failure failure;
  const bool loaded = request.raw ? loadRawData(request, file, message, failure)
                                  : loadMessageFile(file, message, failure);
  if (!loaded) return report(failure);

  // The message is described as it arrived, before reading changes it.
  const KxlMsg arrived(message);
  std::vector<Part> parts;
  const bool complete = walk(message, parts, failure);
  std::string problem;
  if (complete && !characterFormApplies(request, parts, problem)) return usage(problem, "dump");
  if (request.json) {
    printJson(arrived, parts, complete ? nullptr : &failure);
  } else {
    printForPeople(request, arrived, parts, complete);
  }
  if (!complete) return report(failure);
  if (message.dataLength() != 0 && !request.json)
    std::printf("(%zu bytes after the trigger record)\n", message.dataLength());
  return 0;
}

}  // namespace

int runDump(int argc, char **argv) {
  DumpRequest request;
  std::string problem;
  if (!parseDumpArguments(argc, argv, request, problem)) return usage(problem, "dump");
  if (request.help) return showHelp("dump");
  return dump(request);
}

}  // namespace kxmsg
