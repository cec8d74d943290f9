// The guide's trace sink: a program takes the library's diagnostic texts
// itself, here the text of a failed header read.

#include <cstdio>
#include <string>

#include "kxli.hpp"

// guide: sink
void keepText(const xcsTraceRecord *record, void *context) {
  if (record->kind == XCS_TEXT) static_cast<std::string *>(context)->assign(record->text);
}
// guide: end

int main() {
  // guide: install
  std::string lastText;
  xcsSetTraceSink(keepText, &lastText);
  // guide: end
  KxlMsg message;
  KxlStr text("not a header");
  message.writeItem(text);
  message.setDataOffset(0);
  KxlDlh header;
  message.readItem(header);
  xcsSetTraceSink(nullptr, nullptr);
  if (lastText.find("KxlDeadLetterHeader::pasteIn (error): wrong structure id") == 0) return 0;
  std::fprintf(stderr, "trace_sink: last text \"%s\"\n", lastText.c_str());
  return 1;
}
