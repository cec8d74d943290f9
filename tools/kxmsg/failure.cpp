// Failures reported with the library's codes and its last diagnostic text.

#include "failure.hpp"

#include <cstdio>

#include "report.hpp"

namespace kxmsg {
namespace {

std::string lastText;

void keepText(const xcsTraceRecord *record, void *) {
  if (record->kind != XCS_TEXT) return;
  lastText = record->text;
  while (!lastText.empty() && lastText.back() == '\n') lastText.pop_back();
}

}  // namespace

void keepLibraryTexts() { xcsSetTraceSink(keepText, nullptr); }

void forgetLibraryText() { lastText.clear(); }

Failure failureOf(const std::string &what, const KxlErr &object) {
  return Failure{what, lastText, true, object.completionCode(), object.reasonCode()};
}

Failure toolFailure(const std::string &what, const std::string &why) {
  return Failure{what, why, false, 0, 0};
}

int report(const Failure &failure) {
  if (!failure.library) {
    std::fprintf(stderr, "kxmsg: %s: %s\n", failure.what.c_str(), failure.text.c_str());
    return kBadInput;
  }
  std::fprintf(stderr, "kxmsg: %s failed: completion code %ld, reason code %ld (%s)\n",
               failure.what.c_str(), failure.completion, failure.reason,
               reasonName(failure.reason));
  if (!failure.text.empty()) std::fprintf(stderr, "kxmsg: %s\n", failure.text.c_str());
  return kBadInput;
}

}  // namespace kxmsg
