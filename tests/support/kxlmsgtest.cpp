#include "kxlmsgtest.hpp"

#include <gtest/gtest.h>

#include <tuple>

namespace kxltest {

std::string pattern(std::size_t length, int seed) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0xff);
  return bytes;
}

bool CacheState::operator==(const CacheState &o) const {
  return std::tie(buffer, bufferLength, messageLength, dataOffset, automatic, contents) ==
         std::tie(o.buffer, o.bufferLength, o.messageLength, o.dataOffset, o.automatic, o.contents);
}

CacheState stateOf(const KxlCac &cache) {
  const char *buffer = cache.bufferPointer();
  return {buffer,
          cache.bufferLength(),
          cache.messageLength(),
          cache.dataOffset(),
          cache.automaticBuffer(),
          buffer == nullptr ? std::string() : std::string(buffer, cache.messageLength())};
}

void PrintTo(const CacheState &state, std::ostream *os) {
  *os << "{buffer length " << state.bufferLength << ", message length " << state.messageLength
      << ", data offset " << state.dataOffset << (state.automatic ? ", automatic" : ", application")
      << ", contents "
      << (state.contents.size() <= 32 ? ::testing::PrintToString(state.contents) : "(long)") << "}";
}

Codes codesOf(const KxlErr &object) { return {object.completionCode(), object.reasonCode()}; }

Texts textsOf(const TraceCapture &trace) {
  Texts texts;
  for (const TraceRecord &record : trace.records())
    if (record.kind == XCS_TEXT) texts.emplace_back(record.function, record.text);
  return texts;
}

std::vector<std::string> recordsOf(const TraceCapture &trace) {
  std::vector<std::string> lines;
  for (const TraceRecord &record : trace.records()) {
    const std::string function = std::to_string(record.function);
    if (record.kind == XCS_INIT_TERM) lines.push_back("init " + std::to_string(record.value));
    if (record.kind == XCS_ENTRY) lines.push_back("entry " + function);
    if (record.kind == XCS_EXIT) lines.push_back(exitLine(record.function, record.value));
    if (record.kind == XCS_TEXT) lines.push_back("text " + function + " " + record.text);
  }
  return lines;
}

std::string exitLine(unsigned function, long value) {
  return "exit " + std::to_string(function) + " " + std::to_string(value);
}

std::string description(const std::string &format, long encoding, long characterSet) {
  return format + "/" + std::to_string(encoding) + "/" + std::to_string(characterSet);
}

std::string bytesOf(const KxlBin &value) {
  return std::string(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
}

KxlBin binOf(const std::string &bytes) { return KxlBin(bytes.data(), bytes.size()); }

std::string descriptorBytes(const KxlMsg &message) {
  return std::string(reinterpret_cast<const char *>(message.descriptor()), sizeof(KXMD));
}

std::string formatOf(const KxlMsg &message) {
  return std::string(message.descriptor()->format, sizeof message.descriptor()->format);
}

}  // namespace kxltest
