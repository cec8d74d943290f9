// The extension module kxli._kxli: the codes, failures and warnings, the
// capture of the library's diagnostic texts, and the text conversions.

#include <cctype>
#include <cstring>
#include <mutex>

#include "kxecs.h"
#include "kxlpy.hpp"

namespace kxlpy {
namespace {

// The trace sink is shared by the whole process: it is installed while at
// least one capture lives, and each thread keeps only its own texts.
std::mutex captureMutex;
int capturesAlive = 0;
bool captureAllowed = true;
thread_local int capturesHere = 0;
thread_local std::string lastText;

void keepText(const xcsTraceRecord *record, void *) {
  if (capturesHere == 0 || record->kind != XCS_TEXT || record->text == nullptr) return;
  lastText = record->text;
  while (!lastText.empty() && lastText.back() == '\n') lastText.pop_back();
}

struct ReasonName {
  long reason;
  const char *name;
};

#define KXLPY_REASON(name) \
  ReasonName { name, #name }
const ReasonName kReasons[] = {
    KXLPY_REASON(KXRC_NONE),
    KXLPY_REASON(KXRC_BUFFER_ERROR),
    KXLPY_REASON(KXRC_EMPTY_LIST_ENTRY),
    KXLPY_REASON(KXRC_STORAGE_NOT_AVAILABLE),
    KXLPY_REASON(KXRC_SOURCE_BUFFER_ERROR),
    KXLPY_REASON(KXRC_TARGET_BUFFER_ERROR),
    KXLPY_REASON(KXRC_LOCK_FAILED),
    KXLPY_REASON(KXRC_TOO_MANY_ENTRIES),
    KXLPY_REASON(KXRC_WRONG_ENCODING),
    KXLPY_REASON(KXRC_WRONG_STRUCTURE_ID),
    KXLPY_REASON(KXRC_NULL_POINTER),
    KXLPY_REASON(KXRC_NO_BUFFER),
    KXLPY_REASON(KXRC_BINARY_DATA_LENGTH_ERROR),
    KXLPY_REASON(KXRC_USER_BUFFER_NOT_RESIZABLE),
    KXLPY_REASON(KXRC_INSUFFICIENT_BUFFER),
    KXLPY_REASON(KXRC_INSUFFICIENT_DATA),
    KXLPY_REASON(KXRC_DATA_TRUNCATED),
    KXLPY_REASON(KXRC_WRONG_FORMAT),
    KXLPY_REASON(KXRC_STRUCTURE_LENGTH_ERROR),
    KXLPY_REASON(KXRC_UNSUPPORTED_VERSION),
};
#undef KXLPY_REASON

[[noreturn]] void raise(PyObject *type, const std::string &message) {
  PyErr_SetString(type, message.c_str());
  throw py::error_already_set();
}

}  // namespace

TextCapture::TextCapture() {
  if (capturesHere++ == 0) lastText.clear();
  if (!captureAllowed) return;
  std::lock_guard<std::mutex> hold(captureMutex);
  if (capturesAlive++ == 0) xcsSetTraceSink(keepText, nullptr);
}

TextCapture::~TextCapture() {
  --capturesHere;
  if (!captureAllowed) return;
  std::lock_guard<std::mutex> hold(captureMutex);
  if (--capturesAlive == 0) xcsSetTraceSink(nullptr, nullptr);
}

std::string TextCapture::text() const { return lastText; }

void decideTextCapture() {
  // Someone listens before the binding installs anything: the KXECS_TRACE
  // output is open (or a program embedding Python installed a sink), and
  // the binding's sink would take the records from it.
  captureAllowed = (xcsListeningNow() & XCS_LISTENING_TRACE) == 0;
}

const char *reasonName(long reason) {
  for (const ReasonName &entry : kReasons)
    if (entry.reason == reason) return entry.name;
  return "unknown";
}

py::object baseClass(const char *name) { return py::module_::import("kxli._base").attr(name); }

void raiseError(const std::string &what, long completion, long reason, const std::string &text) {
  const py::object type = baseClass("Error");
  const py::object error = type(what, completion, reason, reasonName(reason),
                                text.empty() ? py::object(py::none()) : py::object(py::str(text)));
  PyErr_SetObject(type.ptr(), error.ptr());
  throw py::error_already_set();
}

void raiseFailure(const std::string &what, const KxlErr &object, const TextCapture &capture) {
  raiseError(what, object.completionCode(), object.reasonCode(), capture.text());
}

void warnTruncated(const std::string &what) {
  const py::object warning = baseClass("Warning")(what, KXCC_WARNING, KXRC_DATA_TRUNCATED,
                                                  reasonName(KXRC_DATA_TRUNCATED), py::none());
  // Called from C++, stack level 1 is the Python line that called the
  // binding.
  py::module_::import("warnings").attr("warn")(warning, py::arg("stacklevel") = 1);
}

void raiseType(const std::string &message) { raise(PyExc_TypeError, message); }
void raiseValue(const std::string &message) { raise(PyExc_ValueError, message); }
void raiseOverflow(const std::string &message) { raise(PyExc_OverflowError, message); }

py::str decodeText(const char *bytes, std::size_t length) {
  PyObject *text = PyUnicode_DecodeUTF8(bytes, static_cast<Py_ssize_t>(length), "surrogateescape");
  if (text == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

py::str decodeText(const KxlStr &text) {
  const char *characters = text;
  return decodeText(characters != nullptr ? characters : "",
                    characters != nullptr ? text.length() : 0);
}

std::string encodeField(py::handle value, const std::string &what) {
  if (!PyUnicode_Check(value.ptr()))
    raiseType(what + " takes a str, not " + std::string(Py_TYPE(value.ptr())->tp_name));
  PyObject *bytes = PyUnicode_AsEncodedString(value.ptr(), "utf-8", "surrogateescape");
  if (bytes == nullptr) throw py::error_already_set();
  const py::bytes owned = py::reinterpret_steal<py::bytes>(bytes);
  std::string encoded(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
  if (encoded.find('\0') != std::string::npos)
    raiseValue(what + " cannot hold a null character: the field would end there");
  return encoded;
}

long int32Of(py::handle value, const std::string &what) {
  if (!PyLong_Check(value.ptr()))
    raiseType(what + " takes an int, not " + std::string(Py_TYPE(value.ptr())->tp_name));
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (number == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow != 0 || number < INT32_MIN || number > INT32_MAX)
    raiseOverflow(what + " takes a signed 32-bit integer, not " +
                  py::repr(value).cast<std::string>());
  return static_cast<long>(number);
}

std::string snakeCase(const std::string &name) {
  auto upper = [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; };
  auto lower = [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; };
  auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  std::string snake;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (upper(c) && i > 0) {
      const char before = name[i - 1];
      const bool endsRun = upper(before) && i + 1 < name.size() && lower(name[i + 1]);
      if (lower(before) || digit(before) || endsRun) snake += '_';
    }
    snake += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return snake;
}

KxlMsg &use(MessageBox &box) {
  if (box.busy) raise(PyExc_RuntimeError, "the message is in use by another thread");
  return box;
}

void registerCodes(py::module_ &module) {
  module.attr("KXCC_OK") = KXCC_OK;
  module.attr("KXCC_WARNING") = KXCC_WARNING;
  module.attr("KXCC_FAILED") = KXCC_FAILED;
  for (const ReasonName &entry : kReasons) module.attr(entry.name) = entry.reason;
  module.attr("NATIVE_ENCODING") = kKxlNativeEncoding;
  module.def(
      "reason_name", [](long reason) { return reasonName(reason); }, py::arg("reason_code"),
      "The KXRC_ name of a reason code (\"KXRC_WRONG_FORMAT\" for 6119), \"unknown\" for a "
      "number the library does not use.");
  module.def(
      "snake_case", [](const std::string &name) { return snakeCase(name); }, py::arg("name"),
      "The Python name of a C++ accessor or of a key of `kxmsg dump --json`: an underscore\n"
      "before each capital that follows a small letter or a digit, and before the last\n"
      "capital of a run that is followed by a small letter; then all in lower case.\n"
      "\"UOWControl\" gives \"uow_control\", \"characterSet\" gives \"character_set\".");
}

}  // namespace kxlpy

PYBIND11_MODULE(_kxli, module) {
  module.doc() =
      "The C++ part of the kxli package, over the shared library libkxli. Import kxli, not "
      "this module.";
  kxlpy::decideTextCapture();
  kxlpy::registerCodes(module);
  kxlpy::registerItems(module);
  kxlpy::registerMessage(module);
}
