// Output helpers of kxmsg: quoting, JSON strings, reason names and the
// labelled hex dump.
#ifndef KXMSG_REPORT_HPP_
#define KXMSG_REPORT_HPP_

#include <cstddef>
#include <cstdio>
#include <string>

#include "kinds.hpp"

namespace kxmsg {

// A text in double quotes for people: printable ASCII and well-formed
// UTF-8 as they are (a quote or backslash after a backslash), every other
// byte as \xNN.
std::string quote(const std::string &text);
// A JSON string literal in UTF-8 that gives back the text's bytes:
// well-formed UTF-8 as it is, a control character as \u00NN, and a byte
// that is not part of well-formed UTF-8 as \udcNN (a lone low surrogate,
// which no well-formed text holds).
std::string jsonString(const std::string &text);
// The KXRC_ name of a reason code, or "unknown".
const char *reasonName(long reason);

// Hex lines of 16 bytes: offset, hex, characters, and `label` on the first.
void printHex(std::FILE *out, const unsigned char *bytes, std::size_t offset, std::size_t length,
              const std::string &label);
// The record at `record` (its first byte at message offset `offset`, at
// most `available` bytes) field by field, each labelled with its name and
// value.
void printRecord(std::FILE *out, const unsigned char *record, std::size_t offset,
                 std::size_t available, const std::vector<RawField> &layout);

}  // namespace kxmsg

#endif  // KXMSG_REPORT_HPP_
