// The parts the kxli Python binding shares between its modules: how a
// failure becomes kxli.Error and a warning kxli.Warning, how the library's
// diagnostic texts are caught for them, the text conversions between
// Python and the library, and the registry of item classes that messages
// write and read.
//
// The binding holds the GIL everywhere except around copies of large
// buffers (kLargeBuffer and more), where it touches only a message that is
// marked busy (MessageBox) and objects no other thread can see.
#ifndef KXLPY_KXLPY_HPP_
#define KXLPY_KXLPY_HPP_

#include <pybind11/pybind11.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kxli.hpp"

namespace kxlpy {

namespace py = pybind11;

// From this many bytes on, a copy is made with the GIL released.
constexpr std::size_t kLargeBuffer = 64 * 1024;

// Catches the library's diagnostic texts on this thread while it lives, so
// that a failure can carry the text the library sent with it. The trace
// sink is installed while at least one capture lives on any thread; with
// KXECS_TRACE set at import, the user's trace output is left alone and no
// text is caught. A capture must not live across a header write: while a
// sink is installed the library prepends a header by copying the content
// aside instead of moving it in place.
class TextCapture {
 public:
  TextCapture();
  ~TextCapture();
  TextCapture(const TextCapture &) = delete;
  TextCapture &operator=(const TextCapture &) = delete;
  // The last text sent on this thread since the capture began, or "".
  std::string text() const;
};

// Whether the library's texts are caught at all (KXECS_TRACE was not set).
void decideTextCapture();

// The KXRC_ name of a reason code, or "unknown".
const char *reasonName(long reason);

// Raises kxli.Error for the failure of `what` with the codes given and
// `text` ("" for none).
[[noreturn]] void raiseError(const std::string &what, long completion, long reason,
                             const std::string &text);
// Raises kxli.Error with the codes of `object` and the captured text.
[[noreturn]] void raiseFailure(const std::string &what, const KxlErr &object,
                               const TextCapture &capture);
// Issues kxli.Warning (completion code 1) for `what`, reason 6115 (data
// truncated), at the caller's line; raises when the warnings filter turns
// it into an error.
void warnTruncated(const std::string &what);

// Raises TypeError, ValueError or OverflowError with `message`.
[[noreturn]] void raiseType(const std::string &message);
[[noreturn]] void raiseValue(const std::string &message);
[[noreturn]] void raiseOverflow(const std::string &message);

// Texts: the library's bytes are UTF-8; bytes that are not UTF-8 travel as
// the lone surrogates U+DC80..U+DCFF (Python's "surrogateescape").
py::str decodeText(const char *bytes, std::size_t length);
py::str decodeText(const KxlStr &text);
// The bytes of a str for a library text field named `what`: TypeError for
// anything but a str, ValueError for a null character (the library's
// fields end at one).
std::string encodeField(py::handle value, const std::string &what);
// A Python int within the signed 32-bit range for `what`.
long int32Of(py::handle value, const std::string &what);

// Camel case to snake case: an underscore before each capital that follows
// a small letter or a digit, and before the last capital of a run that is
// followed by a small letter; then all in lower case. "UOWControl" gives
// "uow_control", "characterSet" "character_set".
std::string snakeCase(const std::string &name);

// An item class of the binding: the Python class, the format it is written
// under, and how a header is copied (a header is written from a copy, so
// that the object Python sees is never touched with the GIL released).
struct ItemClass {
  py::object type;
  const char *format;  // 8 characters
  const char *title;   // "dead-letter header", for messages
  bool header;
  std::function<std::unique_ptr<KxlItm>(const KxlItm &)> clone;
  std::function<void(KxlItm &, const KxlItm &)> assign;
};

// The registered item classes, and lookups by Python class and by format.
const std::vector<ItemClass> &itemClasses();
const ItemClass *itemClassOf(py::handle type);
const ItemClass *itemClassByFormat(const char *format);

// A message, whether another thread is using it (set while the GIL is
// released around work on its buffer, checked by every method), and the
// description of the data at offset 0, which items() walks by: the one the
// message was made, loaded or last written with, or given while its data
// offset was 0. A read describes the message as what follows the item it
// took, and leaves this one as it was.
struct MessageBox : KxlMsg {
  bool busy = false;
  std::string startFormat = "        ";
  long startEncoding = kKxlNativeEncoding;
  long startCharacterSet = 0;
  // The message's description is now that of the data at offset 0.
  void describeStart();
};
// The message of `box`; RuntimeError while another thread works on it.
KxlMsg &use(MessageBox &box);

// The class objects of kxli._base (kxli.Error, ...), imported once.
py::object baseClass(const char *name);

void registerCodes(py::module_ &module);
void registerItems(py::module_ &module);
void registerMessage(py::module_ &module);

}  // namespace kxlpy

#endif  // KXLPY_KXLPY_HPP_
