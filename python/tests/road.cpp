// The guide's road in C++ (a text, a dead-letter header in front): writes the
// message file (descriptor, then data) to the path given, for test_guide.py.

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
