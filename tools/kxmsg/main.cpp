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

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "kinds.hpp"
#include "kxli.hpp"
#include "report.hpp"

namespace kxmsg {
namespace {

constexpr int kUsage = 1;
constexpr int kBadInput = 2;

// The last diagnostic text the library sent, kept by a kxecs trace sink.
struct LastText {
  unsigned function = 0;
  std::string text;
} lastText;

void keepText(const xcsTraceRecord *record, void *) {
  if (record->kind != XCS_TEXT) return;
  lastText.function = record->function;
  lastText.text = record->text;
  while (!lastText.text.empty() && lastText.text.back() == '\n') lastText.text.pop_back();
}

// A failure with the library's codes and text.
struct Failure {
  std::string what;
  long completion = 0;
  long reason = 0;
  std::string text;
};

Failure failureOf(const std::string &what, const KxlErr &object) {
  return Failure{what, object.completionCode(), object.reasonCode(), lastText.text};
}

int report(const Failure &failure) {
  std::fprintf(stderr, "kxmsg: %s failed: completion code %ld, reason code %ld (%s)\n",
               failure.what.c_str(), failure.completion, failure.reason,
               reasonName(failure.reason));
  if (!failure.text.empty()) std::fprintf(stderr, "kxmsg: %s\n", failure.text.c_str());
  return kBadInput;
}

int usage(const char *problem) {
  if (problem != nullptr) std::fprintf(stderr, "kxmsg: %s\n", problem);
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

std::string text(const KxlStr &value) {
  const char *characters = value;
  return characters != nullptr ? characters : "";
}

std::string fixedText(const char *field, std::size_t width) {
  return std::string(field, strnlen(field, width));
}

bool parseNumber(const char *text, long &value) {
  errno = 0;
  char *end = nullptr;
  const long long parsed = std::strtoll(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX)
    return false;
  value = static_cast<long>(parsed);
  return true;
}

bool readFile(const std::string &path, std::vector<unsigned char> &bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// FIELD=VALUE,FIELD=VALUE (a comma inside a value is written "\,").
std::vector<std::pair<std::string, std::string>> parseAssignments(const std::string &list,
                                                                  std::string &problem) {
  std::vector<std::pair<std::string, std::string>> assignments;
  std::string current;
  std::vector<std::string> items;
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
  for (const std::string &item : items) {
    const std::size_t equals = item.find('=');
    if (equals == std::string::npos || equals == 0) {
      problem = "expected FIELD=VALUE, got \"" + item + "\"";
      return {};
    }
    assignments.emplace_back(item.substr(0, equals), item.substr(equals + 1));
  }
  return assignments;
}

bool setFields(const Kind &kind, KxlItm &item, const std::string &list, std::string &problem) {
  for (const auto &[name, value] : parseAssignments(list, problem)) {
    const Field *field = nullptr;
    for (const Field &candidate : kind.fields)
      if (candidate.name == name) field = &candidate;
    if (field == nullptr || !field->set) {
      problem = std::string(kind.title) + " has no settable field \"" + name + "\"";
      return false;
    }
    if (!field->set(item, value)) {
      problem =
          "bad value for " + std::string(kind.name) + " field " + name + ": \"" + value + "\"";
      return false;
    }
  }
  return problem.empty();
}

// One part of a message as read back: which kind, where, and its fields.
struct Part {
  const Kind *kind;
  std::size_t offset;
  std::size_t length;
  std::vector<std::pair<const Field *, std::string>> values;
  std::unique_ptr<KxlItm> item;
};

// Reads the chain from the data offset on, header by header, until a body
// item or a failure.
bool walk(KxlMsg &message, std::vector<Part> &parts, Failure &failure) {
  for (;;) {
    const KxlStr format = message.format();
    const Kind *kind = kindByFormat(format);
    if (kind == nullptr) {
      failure = Failure{"reading the part of format " + quote(text(format)), KXCC_FAILED,
                        KXRC_WRONG_FORMAT, "kxmsg: no kind of content has this format"};
      return false;
    }
    Part part{kind, message.dataOffset(), 0, {}, kind->make()};
    message.clearErrorCodes();
    lastText.text.clear();
    if (!message.readItem(*part.item)) {
      failure = failureOf(std::string("reading the ") + kind->title, message);
      return false;
    }
    part.length = message.dataOffset() - part.offset;
    for (const Field &field : kind->fields) part.values.emplace_back(&field, field.get(*part.item));
    parts.push_back(std::move(part));
    if (!kind->header) return true;
  }
}

void printDescriptor(const KxlMsg &message) {
  const KXMD *descriptor = message.descriptor();
  std::printf("message: %zu bytes, format %s, encoding %ld, character set %ld, version %ld\n",
              message.messageLength(),
              quote(fixedText(descriptor->format, sizeof descriptor->format)).c_str(),
              message.encoding(), message.characterSet(), message.version());
}

void printParts(const std::vector<Part> &parts) {
  int number = 1;
  for (const Part &part : parts) {
    std::printf("%d. %s %s at offset %zu, %zu bytes\n", number++, part.kind->title,
                quote(part.kind->format).c_str(), part.offset, part.length);
    for (const auto &[field, value] : part.values)
      std::printf("     %-30s %s\n", field->name.c_str(),
                  field->numeric ? value.c_str() : quote(value).c_str());
  }
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
    std::printf("%s{\"kind\":%s,\"format\":%s,\"offset\":%zu,\"length\":%zu,\"fields\":{",
                separator, jsonString(part.kind->name).c_str(),
                jsonString(part.kind->format).c_str(), part.offset, part.length);
    const char *fieldSeparator = "";
    for (const auto &[field, value] : part.values) {
      std::printf("%s%s:%s", fieldSeparator, jsonString(field->name).c_str(),
                  field->numeric ? value.c_str() : jsonString(value).c_str());
      fieldSeparator = ",";
    }
    std::printf("}}");
    separator = ",";
  }
  std::printf("]");
  if (failure != nullptr) {
    std::printf(
        ",\"error\":{\"what\":%s,\"completionCode\":%ld,\"reasonCode\":%ld,"
        "\"reason\":%s,\"text\":%s}",
        jsonString(failure->what).c_str(), failure->completion, failure->reason,
        jsonString(reasonName(failure->reason)).c_str(), jsonString(failure->text).c_str());
  }
  std::printf("}\n");
}

void printCharacterForm(KxlTrg &trigger) {
  tagKXTMC2 form;
  trigger.copyOut(&form);
  std::printf("character form (%zu bytes):\n", sizeof form);
  printHex(stdout, reinterpret_cast<const unsigned char *>(&form), 0, sizeof form, "tagKXTMC2");
}

// Loads a message file: the descriptor's description and identities, and
// the data after it.
bool loadMessageFile(const std::vector<unsigned char> &file, KxlMsg &message, Failure &failure) {
  if (file.size() < sizeof(KXMD)) {
    failure = Failure{"reading the message file", KXCC_FAILED, KXRC_INSUFFICIENT_DATA,
                      "kxmsg: the file holds " + std::to_string(file.size()) +
                          " bytes; a message file starts with a 364-byte descriptor"};
    return false;
  }
  KXMD descriptor;
  std::memcpy(&descriptor, file.data(), sizeof descriptor);
  if (std::memcmp(descriptor.structureId, "MD  ", 4) != 0) {
    failure = Failure{"reading the message file", KXCC_FAILED, KXRC_WRONG_STRUCTURE_ID,
                      "kxmsg: the file does not begin with a descriptor (\"MD  \")"};
    return false;
  }
  const std::size_t length = file.size() - sizeof descriptor;
  if (!message.write(length, reinterpret_cast<const char *>(file.data()) + sizeof descriptor) ||
      !message.setDataOffset(0)) {
    failure = failureOf("loading the message data", message);
    return false;
  }
  const std::string format = fixedText(descriptor.format, sizeof descriptor.format);
  message.setFormat(format.c_str());
  message.setEncoding(descriptor.encoding);
  message.setCharacterSet(descriptor.characterSet);
  message.setFeedback(descriptor.feedback);
  message.setMessageId(descriptor.messageId);
  message.setCorrelationId(descriptor.correlationId);
  message.setGroupId(descriptor.groupId);
  message.setAccountingToken(descriptor.accountingToken);
  message.setReplyToQueueName(fixedText(descriptor.replyToQueueName, 48).c_str());
  message.setReplyToQueueManagerName(fixedText(descriptor.replyToQueueManagerName, 48).c_str());
  message.setUserId(fixedText(descriptor.userId, 12).c_str());
  message.setApplicationIdData(fixedText(descriptor.applicationIdData, 32).c_str());
  message.setPutApplicationName(fixedText(descriptor.putApplicationName, 28).c_str());
  message.setPutDate(fixedText(descriptor.putDate, 8).c_str());
  message.setPutTime(fixedText(descriptor.putTime, 8).c_str());
  message.setApplicationOriginData(fixedText(descriptor.applicationOriginData, 4).c_str());
  return true;
}

bool saveMessageFile(const std::string &path, const KxlMsg &message) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(message.descriptor()), sizeof(KXMD));
  out.write(message.bufferPointer(), static_cast<std::streamsize>(message.messageLength()));
  return static_cast<bool>(out);
}

int dump(int argc, char **argv) {
  bool json = false, raw = false, characterForm = false;
  const char *format = nullptr;
  long encoding = 546, characterSet = 0;
  const char *path = nullptr;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--raw") {
      raw = true;
    } else if (arg == "--character-form") {
      characterForm = true;
    } else if (arg == "--format" && i + 1 < argc) {
      format = argv[++i];
    } else if (arg == "--encoding" && i + 1 < argc) {
      if (!parseNumber(argv[++i], encoding)) return usage("bad --encoding");
    } else if (arg == "--character-set" && i + 1 < argc) {
      if (!parseNumber(argv[++i], characterSet)) return usage("bad --character-set");
    } else if (path == nullptr && arg.rfind("--", 0) != 0) {
      path = argv[i];
    } else {
      return usage(("unexpected argument " + arg).c_str());
    }
  }
  if (path == nullptr) return usage("dump needs a FILE");
  if (raw != (format != nullptr)) return usage("--raw and --format NAME go together");

  std::vector<unsigned char> file;
  if (!readFile(path, file)) {
    std::fprintf(stderr, "kxmsg: cannot read %s\n", path);
    return kBadInput;
  }
  KxlMsg message;
  Failure failure;
  if (raw) {
    if (!message.write(file.size(), reinterpret_cast<const char *>(file.data())) ||
        !message.setDataOffset(0))
      return report(failureOf("loading the data", message));
    message.setFormat(format);
    message.setEncoding(encoding);
    message.setCharacterSet(characterSet);
  } else if (!loadMessageFile(file, message, failure)) {
    return report(failure);
  }

  // The message is described as it arrived, before reading changes it.
  const KxlMsg arrived(message);
  std::vector<Part> parts;
  const bool complete = walk(message, parts, failure);
  if (json) {
    printJson(arrived, parts, complete ? nullptr : &failure);
  } else {
    printDescriptor(arrived);
    printParts(parts);
    if (complete && characterForm && parts.back().kind->format == std::string("KXTRIG  "))
      printCharacterForm(static_cast<KxlTrg &>(*parts.back().item));
  }
  if (!complete) return report(failure);
  if (message.dataLength() != 0 && !json)
    std::printf("(%zu bytes after the trigger record)\n", message.dataLength());
  return 0;
}

int build(int argc, char **argv) {
  const char *output = nullptr;
  std::unique_ptr<KxlItm> body;
  std::vector<std::pair<const Kind *, std::string>> headers;
  bool haveCharacterSet = false;
  long characterSet = 0;
  std::string problem;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const bool isBody =
        arg == "--text" || arg == "--text-file" || arg == "--bytes" || arg == "--trigger";
    if (arg == "-o" && hasValue) {
      output = argv[++i];
    } else if (isBody && hasValue) {
      if (body != nullptr) return usage("give one body");
      const std::string value = argv[++i];
      if (arg == "--text") {
        body = std::make_unique<KxlStr>(value.c_str());
      } else if (arg == "--text-file") {
        std::vector<unsigned char> bytes;
        if (!readFile(value, bytes)) {
          std::fprintf(stderr, "kxmsg: cannot read %s\n", value.c_str());
          return kBadInput;
        }
        body = std::make_unique<KxlStr>(bytes.data(), bytes.size());
      } else if (arg == "--bytes") {
        std::vector<unsigned char> bytes;
        if (!fromHex(value, bytes)) return usage("--bytes takes an even number of hex digits");
        body = std::make_unique<KxlBin>(bytes.data(), bytes.size());
      } else {
        const Kind &trigger = *kindByName("trg");
        body = trigger.make();
        if (!setFields(trigger, *body, value, problem)) return usage(problem.c_str());
      }
    } else if (arg == "--character-set" && hasValue) {
      if (!parseNumber(argv[++i], characterSet)) return usage("bad --character-set");
      haveCharacterSet = true;
    } else if (arg == "--header" && hasValue) {
      const std::string value = argv[++i];
      const std::size_t colon = value.find(':');
      const Kind *kind = kindByName(value.substr(0, colon));
      if (kind == nullptr || !kind->header)
        return usage(("unknown header kind in \"" + value + "\"").c_str());
      headers.emplace_back(kind, colon == std::string::npos ? "" : value.substr(colon + 1));
    } else {
      return usage(("unexpected argument " + arg).c_str());
    }
  }
  if (output == nullptr || body == nullptr) return usage("build needs -o FILE and a body");

  KxlMsg message;
  if (!message.writeItem(*body)) return report(failureOf("writing the body", message));
  if (haveCharacterSet) message.setCharacterSet(characterSet);
  // Headers are listed outermost first, so they are written last to first.
  for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
    std::unique_ptr<KxlItm> header = it->first->make();
    if (!setFields(*it->first, *header, it->second, problem)) return usage(problem.c_str());
    if (!message.writeItem(*header))
      return report(failureOf(std::string("writing the ") + it->first->title, message));
  }
  if (!saveMessageFile(output, message)) {
    std::fprintf(stderr, "kxmsg: cannot write %s\n", output);
    return kBadInput;
  }
  std::printf("wrote %s: %zu bytes of message data, format %s\n", output, message.messageLength(),
              quote(text(message.format())).c_str());
  return 0;
}

// The road of one message: a text, a dead-letter header in front, the bytes
// as they would travel, and the way back.
int demo() {
  KxlMsg message;
  std::printf("== 1. The application writes its text as a KxlStr\n");
  KxlStr greeting("Order 4711 could not be delivered");
  if (!message.writeItem(greeting)) return report(failureOf("writing the text", message));
  std::printf("   message: %zu bytes, format %s\n\n", message.messageLength(),
              quote(text(message.format())).c_str());

  std::printf("== 2. A dead-letter header goes in front of it\n");
  KxlDlh deadLetter;
  deadLetter.setDestinationQueueName("ORDERS.IN");
  deadLetter.setDestinationQueueManagerName("QM.WEST");
  deadLetter.setPutApplicationName("kxmsg demo");
  if (!message.writeItem(deadLetter))
    return report(failureOf("writing the dead-letter header", message));
  std::printf("   message: %zu bytes, format %s; the header records %s\n\n",
              message.messageLength(), quote(text(message.format())).c_str(),
              quote(text(deadLetter.format())).c_str());

  std::printf("== 3. The bytes as they travel, field by field\n");
  const auto *bytes = reinterpret_cast<const unsigned char *>(message.bufferPointer());
  const Kind &dlh = *kindByName("dlh");
  std::printf("  dead-letter header \"DLH \", %zu bytes:\n", sizeof(KXDLH));
  printRecord(stdout, bytes, 0, message.messageLength(), dlh.layout);
  std::printf("  text:\n");
  printHex(stdout, bytes + sizeof(KXDLH), sizeof(KXDLH), message.messageLength() - sizeof(KXDLH),
           "the text, no terminator");
  std::printf("\n");

  std::printf("== 4. The receiver reads it back, header by header\n");
  message.setDataOffset(0);
  std::vector<Part> parts;
  Failure failure;
  const bool complete = walk(message, parts, failure);
  printParts(parts);
  if (!complete) return report(failure);
  std::printf(
      "\n   taking the header off gave the message back its format %s and left the\n"
      "   data offset at %zu, where the text begins\n",
      quote(parts.back().kind->format).c_str(), parts.back().offset);
  return 0;
}

}  // namespace
}  // namespace kxmsg

int main(int argc, char **argv) {
  using namespace kxmsg;
  xcsSetTraceSink(keepText, nullptr);
  if (argc < 2) return usage(nullptr);
  const std::string command = argv[1];
  if (command == "demo" && argc == 2) return demo();
  if (command == "build") return build(argc - 2, argv + 2);
  if (command == "dump") return dump(argc - 2, argv + 2);
  return usage(("unknown command " + command).c_str());
}
