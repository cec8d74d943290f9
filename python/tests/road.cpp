// The road of one message in C++, as the user guide walks it: a text with
// a dead-letter header in front. Writes the message file (the descriptor,
// then the data) to the path given, so that a test can compare the bytes
// with those the Python road makes.

#include <cstdio>

#include "kxli.hpp"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kxli_python_road FILE\n");
    return 2;
  }
  KxlMsg message;
  KxlStr text("Order 4711 could not be delivered");
  KxlDlh header;
  header.setDestinationQueueName("ORDERS.IN");
  header.setDestinationQueueManagerName("QM.WEST");
  if (!message.writeItem(text) || !message.writeItem(header)) {
    std::fprintf(stderr, "kxli_python_road: reason code %ld\n", message.reasonCode());
    return 1;
  }
  std::FILE *out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  const bool written = std::fwrite(message.descriptor(), sizeof(KXMD), 1, out) == 1 &&
                       std::fwrite(message.bufferPointer(), 1, message.messageLength(), out) ==
                           message.messageLength();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
