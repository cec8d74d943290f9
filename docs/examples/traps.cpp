// The guide's two traps, done the right way: a text getter's result kept
// while its characters are used, and a writable buffer for useEmptyBuffer.

#include <cstdio>
#include <cstring>
#include <vector>

#include "kxli.hpp"

namespace {

bool keepTheString() {
  KxlDlh header;
  header.setDestinationQueueName("ORDERS.IN");
  // guide: getter
  // Wrong: the KxlStr is destroyed at the end of the statement, and
  // `name` points into freed memory:
  //   const char *name = header.destinationQueueName();
  // Right: keep the KxlStr as long as its characters are used.
  KxlStr name = header.destinationQueueName();
  const char *characters = name;  // valid while `name` lives
  // guide: end
  return characters != nullptr && std::strcmp(characters, "ORDERS.IN") == 0;
}

bool writableBuffer() {
  // guide: buffer
  // useEmptyBuffer takes a const char *, but the message writes into the
  // buffer: give it writable memory that outlives the message's use of it,
  // never a string literal or other constant data.
  std::vector<char> storage(1024);
  KxlMsg message;
  message.useEmptyBuffer(storage.data(), storage.size());
  KxlStr text("into the application's buffer");
  message.writeItem(text);  // the text now stands in `storage`
  // guide: end
  const char expected[] = "into the application's buffer";
  return message.messageLength() == sizeof expected - 1 &&
         std::memcmp(storage.data(), expected, sizeof expected - 1) == 0;
}

}  // namespace

int main() {
  const bool kept = keepTheString();
  const bool written = writableBuffer();
  if (!kept) std::fprintf(stderr, "traps: the kept string does not hold the name\n");
  if (!written) std::fprintf(stderr, "traps: the text is not in the application's buffer\n");
  return kept && written ? 0 : 1;
}
