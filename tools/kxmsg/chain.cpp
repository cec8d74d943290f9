// The chain walk: each part is read with the kind its format names.

#include "chain.hpp"

#include <cstdio>

#include "convert.hpp"
#include "report.hpp"

namespace kxmsg {

namespace {

std::string knownFormats() {
  std::string list;
  for (const Kind &kind : kinds()) list += (list.empty() ? "" : ", ") + quote(kind.format);
  return list;
}

// A record shorter than its structure id cannot be told by it: kxmsg says
// so rather than let the structure id check report a mismatch.
bool holdsStructureId(const KxlMsg &message, const Kind &kind, Failure &failure) {
  if (kind.layout.empty()) return true;
  const std::size_t idLength = kind.layout.front().width;
  if (message.dataLength() >= idLength) return true;
  failure = toolFailure(std::string("reading the ") + kind.title,
                        "insufficient data: " + std::to_string(message.dataLength()) +
                            " bytes remain at offset " + std::to_string(message.dataOffset()) +
                            ", fewer than its " + std::to_string(idLength) + "-byte structure id");
  return false;
}

}  // namespace

bool walk(KxlMsg &message, std::vector<Part> &parts, Failure &failure) {
  for (;;) {
    const KxlStr format = message.format();
    const Kind *kind = kindByFormat(format);
    if (kind == nullptr) {
      failure =
          toolFailure("reading the part of format " + quote(textOf(format)),
                      "kxmsg knows no kind of content of this format; it reads " + knownFormats());
      return false;
    }
    if (!holdsStructureId(message, *kind, failure)) return false;
    Part part{kind, message.dataOffset(), 0, {}, kind->make()};
    message.clearErrorCodes();
    forgetLibraryText();
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

void printParts(const std::vector<Part> &parts) {
  int number = 1;
  for (const Part &part : parts) {
    std::printf("%d. %s %s at offset %zu, %zu bytes\n", number++, part.kind->title,
                quote(part.kind->format).c_str(), part.offset, part.length);
    for (const auto &[field, value] : part.values)
      std::printf("     %-30s %s\n", field->name.c_str(),
                  field->type == Field::kNumber ? value.c_str() : quote(value).c_str());
  }
}

}  // namespace kxmsg
