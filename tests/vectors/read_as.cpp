// Reads a message file's data as one item of the kind named, whatever the
// descriptor's format says, as an application that expects one kind does
// (kxmsg reads each part as its format names it), and prints the outcome as
// kxmsg dump --json prints a failure. Exit status 0 when the item reads, 2
// when it does not, 1 on bad usage.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "kxli.hpp"

namespace {

std::string lastText;

void keepText(const xcsTraceRecord *record, void *) {
  if (record->kind == XCS_TEXT) lastText = record->text;
}

std::unique_ptr<KxlItm> make(const std::string &kind) {
  if (kind == "dlh") return std::make_unique<KxlDlh>();
  if (kind == "vih") return std::make_unique<KxlVih>();
  if (kind == "oih") return std::make_unique<KxlOih>();
  if (kind == "wih") return std::make_unique<KxlWih>();
  if (kind == "rfh") return std::make_unique<KxlRfh>();
  if (kind == "trg") return std::make_unique<KxlTrg>();
  if (kind == "bin") return std::make_unique<KxlBin>();
  return nullptr;
}

}  // namespace

int main(int argc, char **argv) {
  std::unique_ptr<KxlItm> item = argc == 3 ? make(argv[2]) : nullptr;
  std::ifstream in(argc == 3 ? argv[1] : "", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  KXMD descriptor;
  KxlMsg message;
  if (item == nullptr || !in || file.size() < sizeof descriptor ||
      !message.write(file.size() - sizeof descriptor, file.data() + sizeof descriptor) ||
      !message.setDataOffset(0)) {
    std::fprintf(stderr, "usage: vectors_read_as MESSAGE-FILE dlh|vih|oih|wih|rfh|trg|bin\n");
    return 1;
  }
  std::memcpy(&descriptor, file.data(), sizeof descriptor);
  message.setFormat(std::string(descriptor.format, sizeof descriptor.format).c_str());
  message.setEncoding(descriptor.encoding);
  message.setCharacterSet(descriptor.characterSet);
  xcsSetTraceSink(keepText, nullptr);
  const bool read = message.readItem(*item);
  // The library's texts are ASCII without quotes or backslashes; a trailing
  // newline is not part of them.
  if (!lastText.empty() && lastText.back() == '\n') lastText.pop_back();
  std::printf(
      "{\"chain\":[],\"error\":{\"completionCode\":%ld,\"reasonCode\":%ld,\"text\":\"%s\"}}\n",
      message.completionCode(), message.reasonCode(), lastText.c_str());
  return read ? 0 : 2;
}
