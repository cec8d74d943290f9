// Reading and writing message files.

#include "msgfile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "convert.hpp"
#include "system.hpp"

namespace kxmsg {
namespace {

// A character field of the descriptor as the text its setter takes.
template <std::size_t N>
std::string descriptorText(const char (&field)[N]) {
  return fixedText(field, N);
}

void takeIdentities(const KXMD &descriptor, KxlMsg &message) {
  message.setFeedback(descriptor.feedback);
  message.setMessageId(descriptor.messageId);
  message.setCorrelationId(descriptor.correlationId);
  message.setGroupId(descriptor.groupId);
  message.setAccountingToken(descriptor.accountingToken);
  message.setReplyToQueueName(descriptorText(descriptor.replyToQueueName).c_str());
  message.setReplyToQueueManagerName(descriptorText(descriptor.replyToQueueManagerName).c_str());
  message.setUserId(descriptorText(descriptor.userId).c_str());
  message.setApplicationIdData(descriptorText(descriptor.applicationIdData).c_str());
  message.setPutApplicationName(descriptorText(descriptor.putApplicationName).c_str());
  message.setPutDate(descriptorText(descriptor.putDate).c_str());
  message.setPutTime(descriptorText(descriptor.putTime).c_str());
  message.setApplicationOriginData(descriptorText(descriptor.applicationOriginData).c_str());
}

// kxmsg takes paths as UTF-8 on every system (on Windows from the wide
// command line), so they are opened, renamed and removed as such.
std::filesystem::path pathOf(const std::string &path) { return std::filesystem::u8path(path); }

void removeFile(const std::string &path) {
  std::error_code ignored;
  std::filesystem::remove(pathOf(path), ignored);
}

// Sets `reason` to the system's text for errno; returns false.
bool systemReason(std::string &reason) {
  reason = std::strerror(errno);
  return false;
}

struct Block {
  const void *data;
  std::size_t length;
};

// Writes the blocks to `path`, created or truncated, and closes it; every
// step is checked, the close too (buffered bytes reach the file there).
bool writeBlocks(const std::string &path, const std::vector<Block> &blocks, std::string &reason) {
  std::FILE *out = openFile(path, "wb");
  if (out == nullptr) return systemReason(reason);
  bool written = true;
  for (const Block &block : blocks)
    if (written && block.length != 0)
      written = std::fwrite(block.data, 1, block.length, out) == block.length;
  if (written) written = std::fflush(out) == 0;
  if (!written) systemReason(reason);
  if (std::fclose(out) != 0 && written) {
    written = false;
    systemReason(reason);
  }
  return written;
}

// A name for a new file in the directory of `path`, unlikely to be taken.
std::string temporaryBeside(const std::string &path) {
  std::random_device random;
  return path + ".kxmsg-" + std::to_string(random()) + ".tmp";
}

}  // namespace

bool readFile(const std::string &path, std::vector<unsigned char> &bytes, std::string &reason) {
  std::FILE *in = openFile(path, "rb");
  if (in == nullptr) return systemReason(reason);
  bytes.clear();
  unsigned char block[65536];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, in)) != 0)
    bytes.insert(bytes.end(), block, block + count);
  const bool failed = std::ferror(in) != 0;
  if (failed) systemReason(reason);
  std::fclose(in);
  return !failed;
}

bool loadMessageFile(const std::vector<unsigned char> &file, KxlMsg &message, Failure &failure) {
  if (file.size() < sizeof(KXMD)) {
    failure = toolFailure("reading the message file",
                          "insufficient data: the file holds " + std::to_string(file.size()) +
                              " bytes; a message file starts with a " +
                              std::to_string(sizeof(KXMD)) + "-byte descriptor");
    return false;
  }
  KXMD descriptor;
  std::memcpy(&descriptor, file.data(), sizeof descriptor);
  if (std::memcmp(descriptor.structureId, "MD  ", sizeof descriptor.structureId) != 0) {
    failure = toolFailure("reading the message file",
                          "the file does not begin with a descriptor (structure id \"MD  \")");
    return false;
  }
  const std::size_t length = file.size() - sizeof descriptor;
  if (!message.write(length, reinterpret_cast<const char *>(file.data()) + sizeof descriptor) ||
      !message.setDataOffset(0)) {
    failure = failureOf("loading the message data", message);
    return false;
  }
  message.setFormat(descriptorText(descriptor.format).c_str());
  message.setEncoding(descriptor.encoding);
  message.setCharacterSet(descriptor.characterSet);
  takeIdentities(descriptor, message);
  return true;
}

bool saveMessageFile(const std::string &path, const KxlMsg &message, std::string &reason) {
  const std::vector<Block> blocks = {{message.descriptor(), sizeof(KXMD)},
                                     {message.bufferPointer(), message.messageLength()}};
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(pathOf(path), error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    return writeBlocks(path, blocks, reason);
  const std::string temporary = temporaryBeside(path);
  if (!writeBlocks(temporary, blocks, reason)) {
    removeFile(temporary);
    return false;
  }
  std::filesystem::rename(pathOf(temporary), pathOf(path), error);
  if (!error) return true;
  reason = error.message();
  removeFile(temporary);
  return false;
}

}  // namespace kxmsg
