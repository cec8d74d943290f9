// The guide's reading of the codes: a header read where the message holds
// a text fails, and the message holds the codes that say why.

#include <cstdio>

#include "kxli.hpp"

int main() {
  KxlMsg message;
  KxlStr text("not a header");
  message.writeItem(text);
  message.setDataOffset(0);
  KxlDlh header;
  // guide: codes
  long completion = KXCC_OK;
  long reason = KXRC_NONE;
  if (!message.readItem(header)) {
    completion = message.completionCode();  // KXCC_FAILED
    reason = message.reasonCode();          // here KXRC_WRONG_STRUCTURE_ID
  }
  // guide: end
  if (completion == KXCC_FAILED && reason == KXRC_WRONG_STRUCTURE_ID) return 0;
  std::fprintf(stderr, "codes: completion code %ld, reason code %ld\n", completion, reason);
  return 1;
}
