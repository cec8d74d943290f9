// A library that uses kxli, for tests that load and unload it: its one
// entry copies a text out to a caller's buffer, which creates the string
// class's lock in kxli.

#include <cstddef>

#include "kxlplugin_export.h"
#include "kxlstr.hpp"

// Copies "plugin" into `buffer` (`length` bytes, blank padded, not
// terminated) and returns the string's reason code (0 on success).
extern "C" KXLPLUGIN_EXPORT long kxlPluginCopyOut(char *buffer, std::size_t length) {
  KxlStr text("plugin");
  text.copyOut(buffer, length, ' ');
  return text.reasonCode();
}
