// The road of one message in C++, as the user guide walks it: a text with
// a dead-letter header in front. Writes the message file (the descriptor,
// then the data) to the path given, so that a test can compare the bytes
// with those the Python road makes.

#include <cstdio>

#include "kxli.hpp"

int main(int argc, char **argv) {
  KxlMsg message;
  KxlStr text("Order 4711 could not be delivered");
  KxlDlh header;
  header.setDestinationQueueName("ORDERS.IN");
  header.setDestinationQueueManagerName("QM.WEST");
  std::FILE *out = argc == 2 ? std::fopen(argv[1], "wb") : nullptr;
  if (out == nullptr || !message.writeItem(text) || !message.writeItem(header)) return 1;
  const bool written = std::fwrite(message.descriptor(), sizeof(KXMD), 1, out) == 1 &&
                       std::fwrite(message.bufferPointer(), 1, message.messageLength(), out) ==
                           message.messageLength();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
