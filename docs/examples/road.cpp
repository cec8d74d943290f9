// The guide's road of one message: a text with a dead-letter header in
// front, the same bytes read back by a receiver, and the chain walked on
// the message just built. Exits 1, naming the step, when the library does
// not do what the guide says.

#include <cstdio>
#include <cstring>

// guide: include
#include "kxli.hpp"
// guide: end

namespace {

int failures = 0;

void check(bool condition, const char *what) {
  if (condition) return;
  std::fprintf(stderr, "road: not as the guide says: %s\n", what);
  ++failures;
}

bool equals(const KxlStr &value, const char *expected) {
  const char *text = value;
  return std::strcmp(text != nullptr ? text : "", expected) == 0;
}

void receive(const char *bytes, std::size_t length) {
  // guide: receive
  KxlMsg received;
  received.setFormat("KXDEAD  ");         // from the received descriptor
  received.useFullBuffer(bytes, length);  // the application's buffer
  KxlDlh dead;
  if (received.formatIs("KXDEAD  ") && received.readItem(dead)) {
    // dead.destinationQueueName() == "ORDERS.IN"; the message says "KXSTR   " again
    KxlStr body;
    received.readItem(body);  // the rest of the data
  }
  // guide: end
  check(equals(dead.destinationQueueName(), "ORDERS.IN"), "the queue name read back");
  check(received.formatIs("KXSTR   "), "the message describes the text again");
  check(received.dataOffset() == length, "the text was read to the end");
}

// Headers written in front of a text, then taken off again from the start.
void walk() {
  KxlMsg message;
  KxlStr text("hello");
  KxlWih work;
  KxlDlh dead;
  message.writeItem(text);
  message.writeItem(work);
  message.writeItem(dead);
  // guide: walk
  message.setDataOffset(0);  // after writing, the data offset stands at the end
  while (message.formatIs("KXDEAD  ") || message.formatIs("KXHWIH  ")) {
    if (message.formatIs("KXDEAD  ")) {
      KxlDlh h;
      if (!message.readItem(h)) break;
    } else {
      KxlWih h;
      if (!message.readItem(h)) break;
    }
  }
  // guide: end
  check(message.formatIs("KXSTR   "), "the walk ends at the text");
  check(message.dataOffset() == 172 + 120, "the walk took both headers off");
}

}  // namespace

int main() {
  // guide: send
  KxlMsg message;
  KxlStr text("Order 4711 could not be delivered");
  message.writeItem(text);  // the message is the text, format "KXSTR   "

  KxlDlh header;
  header.setDestinationQueueName("ORDERS.IN");
  header.setDestinationQueueManagerName("QM.WEST");
  message.writeItem(header);  // 172-byte record + text, format "KXDEAD  "
  // guide: end
  check(message.formatIs("KXDEAD  "), "the message's format is the header's");
  check(equals(header.format(), "KXSTR   "), "the header records the text's format");
  check(message.messageLength() == 172 + 33, "172-byte record and 33 bytes of text");

  receive(message.bufferPointer(), message.messageLength());
  walk();
  return failures == 0 ? 0 : 1;
}
