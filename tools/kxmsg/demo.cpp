// kxmsg demo: the road of one message, a text with a dead-letter header in
// front, shown byte by byte and read back.

#include <cstdio>
#include <string>
#include <vector>

#include "chain.hpp"
#include "commands.hpp"
#include "convert.hpp"
#include "failure.hpp"
#include "report.hpp"

namespace kxmsg {

int runDemo() {
  KxlMsg message;
  std::printf("== 1. The application writes its text as a KxlStr\n");
  KxlStr greeting("Order 4711 could not be delivered");
  if (!message.writeItem(greeting)) return report(failureOf("writing the text", message));
  std::printf("   message: %zu bytes, format %s\n\n", message.messageLength(),
              quote(textOf(message.format())).c_str());

  std::printf("== 2. A dead-letter header goes in front of it\n");
  KxlDlh deadLetter;
  deadLetter.setDestinationQueueName("ORDERS.IN");
  deadLetter.setDestinationQueueManagerName("QM.WEST");
  deadLetter.setPutApplicationName("kxmsg demo");
  if (!message.writeItem(deadLetter))
    return report(failureOf("writing the dead-letter header", message));
  std::printf("   message: %zu bytes, format %s; the header records %s\n\n",
              message.messageLength(), quote(textOf(message.format())).c_str(),
              quote(textOf(deadLetter.format())).c_str());

  std::printf("== 3. The bytes as they travel, field by field\n");
  const auto *bytes = reinterpret_cast<const unsigned char *>(message.bufferPointer());
  const Kind &dlh = *kindByName("dlh");
  std::printf("  dead-letter header \"DLH \", %zu bytes:\n", sizeof(KXDLH));
  printRecord(stdout, bytes, 0, message.messageLength(), dlh.layout);
  std::printf("  text:\n");
  printHex(stdout, bytes + sizeof(KXDLH), sizeof(KXDLH), message.messageLength() - sizeof(KXDLH),
           "the text, no terminator");
  std::printf("\n");

  std::printf("== 4. The receiver reads it back, header by header\n");
  message.setDataOffset(0);
  std::vector<Part> parts;
  Failure failure;
  const bool complete = walk(message, parts, failure);
  printParts(parts);
  if (!complete) return report(failure);
  std::printf(
      "\n   taking the header off gave the message back its format %s and left the\n"
      "   data offset at %zu, where the text begins\n",
      quote(parts.back().kind->format).c_str(), parts.back().offset);
  return 0;
}

}  // namespace kxmsg
