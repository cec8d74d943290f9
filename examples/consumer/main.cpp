// Builds a dead-letter message around a text and reads it back, checking
// every step against what the message must hold. Exits 0 when everything
// matches and 1 on the first mismatch, naming it.

#include <cstdio>
#include <cstring>

#include "kxli.hpp"

namespace {

const char kText[] = "Order 4711 could not be delivered";
constexpr std::size_t kDeadLetterLength = 172;

int failures = 0;

void check(bool condition, const char *what) {
  if (!condition) {
    std::fprintf(stderr, "consumer: mismatch: %s\n", what);
    ++failures;
  }
}

void checkCodes(const KxlErr &object, const char *what) {
  if (object.completionCode() != KXCC_OK || object.reasonCode() != KXRC_NONE) {
    std::fprintf(stderr, "consumer: %s: completion code %ld, reason code %ld\n", what,
                 object.completionCode(), object.reasonCode());
    ++failures;
  }
}

bool equals(const KxlStr &value, const char *expected) {
  const char *text = value;
  return std::strcmp(text != nullptr ? text : "", expected) == 0;
}

}  // namespace

int main() {
  // Sending side: the text, then the dead-letter header in front of it.
  KxlMsg message;
  KxlStr text(kText);
  check(message.writeItem(text), "writing the text");
  check(message.formatIs("KXSTR   "), "format after the text is \"KXSTR   \"");

  KxlDlh header;
  header.setDestinationQueueName("ORDERS.IN");
  header.setDestinationQueueManagerName("QM.WEST");
  check(message.writeItem(header), "writing the dead-letter header");
  checkCodes(message, "after writing");
  check(message.formatIs("KXDEAD  "), "format after the header is \"KXDEAD  \"");
  check(message.messageLength() == kDeadLetterLength + std::strlen(kText),
        "message length is the 172-byte record plus the text");
  check(std::memcmp(message.bufferPointer(), "DLH ", 4) == 0,
        "the message begins with the structure id \"DLH \"");
  check(std::memcmp(message.bufferPointer() + kDeadLetterLength, kText, std::strlen(kText)) == 0,
        "the text follows the record, unterminated");

  // Receiving side: the same bytes in a message of the receiver's own.
  KxlMsg received;
  received.setFormat("KXDEAD  ");
  check(received.useFullBuffer(message.bufferPointer(), message.messageLength()),
        "taking the received bytes");
  KxlDlh receivedHeader;
  check(received.readItem(receivedHeader), "reading the dead-letter header");
  check(equals(receivedHeader.destinationQueueName(), "ORDERS.IN"), "destination queue name");
  check(equals(receivedHeader.destinationQueueManagerName(), "QM.WEST"),
        "destination queue manager name");
  check(received.formatIs("KXSTR   "), "format after taking the header off is \"KXSTR   \"");
  check(received.dataOffset() == kDeadLetterLength, "data offset stands after the record");

  KxlStr body;
  check(received.readItem(body), "reading the text");
  check(equals(body, kText), "text read back");
  checkCodes(received, "after reading");

  if (failures != 0) return 1;
  std::printf("consumer: dead-letter message of %zu bytes built and read back\n",
              message.messageLength());
  return 0;
}
