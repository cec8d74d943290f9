// The chain walk: each part is read with the kind its format names.

#include "chain.hpp"

#include <cstdio>

#include "convert.hpp"
#include "report.hpp"

namespace kxmsg {

bool walk(KxlMsg &message, std::vector<Part> &parts, Failure &failure) {
  for (;;) {
    const KxlStr format = message.format();
    const Kind *kind = kindByFormat(format);
    if (kind == nullptr) {
      failure = Failure{"reading the part of format " + quote(textOf(format)), KXCC_FAILED,
                        KXRC_WRONG_FORMAT, "kxmsg: no kind of content has this format"};
      return false;
    }
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
                  field->numeric ? value.c_str() : quote(value).c_str());
  }
}

}  // namespace kxmsg
