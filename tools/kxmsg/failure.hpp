// How kxmsg reports what went wrong: its exit codes, and a failure either
// of the library (with its completion code, reason code and the diagnostic
// text it sent through its trace) or of kxmsg's own checks (a text alone).
#ifndef KXMSG_FAILURE_HPP_
#define KXMSG_FAILURE_HPP_

#include <string>

#include "kxli.hpp"

namespace kxmsg {

// Exit codes: a command line kxmsg cannot carry out, and input (a file, a
// message) it cannot take.
constexpr int kUsage = 1;
constexpr int kBadInput = 2;

struct Failure {
  std::string what;
  std::string text;
  bool library = false;  // the codes are the library's; kxmsg's own checks have none
  long completion = 0;
  long reason = 0;
};

// Keeps the last diagnostic text the library sends; installed once, before
// any library call.
void keepLibraryTexts();
// Forgets the last text, so that the next failure shows only its own.
void forgetLibraryText();

// The failure of `what`, with the codes of `object` and the last text.
Failure failureOf(const std::string &what, const KxlErr &object);
// A failure kxmsg found itself, and why.
Failure toolFailure(const std::string &what, const std::string &why);

// Prints the failure on stderr and returns kBadInput.
int report(const Failure &failure);

}  // namespace kxmsg

#endif  // KXMSG_FAILURE_HPP_
