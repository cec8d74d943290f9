// Reading and writing message files.

#include "msgfile.hpp"

#include <cstring>
#include <fstream>
#include <iterator>

#include "convert.hpp"

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

}  // namespace

bool readFile(const std::string &path, std::vector<unsigned char> &bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool loadMessageFile(const std::vector<unsigned char> &file, KxlMsg &message, Failure &failure) {
  if (file.size() < sizeof(KXMD)) {
    failure = Failure{"reading the message file", KXCC_FAILED, KXRC_INSUFFICIENT_DATA,
                      "kxmsg: the file holds " + std::to_string(file.size()) +
                          " bytes; a message file starts with a " + std::to_string(sizeof(KXMD)) +
                          "-byte descriptor"};
    return false;
  }
  KXMD descriptor;
  std::memcpy(&descriptor, file.data(), sizeof descriptor);
  if (std::memcmp(descriptor.structureId, "MD  ", sizeof descriptor.structureId) != 0) {
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
  message.setFormat(descriptorText(descriptor.format).c_str());
  message.setEncoding(descriptor.encoding);
  message.setCharacterSet(descriptor.characterSet);
  takeIdentities(descriptor, message);
  return true;
}

bool saveMessageFile(const std::string &path, const KxlMsg &message) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(message.descriptor()), sizeof(KXMD));
  out.write(message.bufferPointer(), static_cast<std::streamsize>(message.messageLength()));
  return static_cast<bool>(out);
}

}  // namespace kxmsg
