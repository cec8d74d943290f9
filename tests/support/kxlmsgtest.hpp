// Test support for the message model: what tests compare as one value.
#ifndef KXLI_TESTS_KXLMSGTEST_HPP_
#define KXLI_TESTS_KXLMSGTEST_HPP_

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "kxlbin.hpp"
#include "kxlcac.hpp"
#include "kxlmsg.hpp"
#include "kxltest.hpp"

namespace kxltest {

// `length` bytes in which neighbours differ; `seed` shifts the pattern.
std::string pattern(std::size_t length, int seed = 0);

std::string bytesOf(const KxlBin &value);
KxlBin binOf(const std::string &bytes);

// Everything a cache shows except its codes: "unchanged" is one comparison.
struct CacheState {
  const char *buffer;
  std::size_t bufferLength;
  std::size_t messageLength;
  std::size_t dataOffset;
  bool automatic;
  std::string contents;  // the bytes up to the message length

  bool operator==(const CacheState &other) const;
};
CacheState stateOf(const KxlCac &cache);
void PrintTo(const CacheState &state, std::ostream *os);

using Codes = std::pair<long, long>;
Codes codesOf(const KxlErr &object);

// The diagnostic texts of a capture with their function numbers, in order.
using Texts = std::vector<std::pair<unsigned, std::string>>;
Texts textsOf(const TraceCapture &trace);

// Every record of a capture in order, one line each: "init STAGE",
// "entry FN", "exit FN VALUE" (as exitLine() writes it) or "text FN TEXT",
// so that two captures compare as lists.
std::vector<std::string> recordsOf(const TraceCapture &trace);
std::string exitLine(unsigned function, long value);

// "format/encoding/character set".
std::string description(const std::string &format, long encoding, long characterSet);

// The message's 364-byte descriptor, and its 8 format bytes.
std::string descriptorBytes(const KxlMsg &message);
std::string formatOf(const KxlMsg &message);

}  // namespace kxltest

#endif  // KXLI_TESTS_KXLMSGTEST_HPP_
