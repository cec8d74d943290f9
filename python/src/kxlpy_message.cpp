// kxli.Message: a KxlMsg with its descriptor fields as properties, items
// written into it and read from it, the chain walked, and message files
// loaded and saved. Large copies run with the GIL released, the message
// marked busy meanwhile.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "kxlpy.hpp"

namespace kxlpy {
namespace {

const char kTextFormat[] = "KXSTR   ";
const char kBytesFormat[] = "        ";
constexpr std::size_t kFormatWidth = sizeof(KXMD::format);

// A body of `length` bytes as the library writes its own (the whole content
// replaced, the native encoding, character set 0, the format name given),
// or read from the data offset into `destination`. Unlike the library's
// string it keeps every byte, null bytes included, and it copies straight
// from and to Python's objects.
class RawBody : public KxlItm {
 public:
  RawBody(const char *source, std::size_t length, const char *format)
      : source_(source), destination_(nullptr), length_(length), format_(format) {}
  RawBody(char *destination, std::size_t length)
      : source_(nullptr), destination_(destination), length_(length), format_(nullptr) {}

  bool copyOut(KxlMsg &message) override { return writeBody(message, source_, length_, format_); }
  bool pasteIn(KxlMsg &message) override {
    char *target = destination_;
    if (length_ == 0 || message.read(length_, target)) return true;
    takeErrorCodes(message);
    return false;
  }

 private:
  const char *source_;
  char *destination_;
  std::size_t length_;
  const char *format_;
};

// Runs `work` with the GIL released when `size` is large, `box` marked busy
// meanwhile. The work must touch no Python object.
template <class Work>
auto withLargeBuffer(MessageBox &box, std::size_t size, Work work) {
  if (size < kLargeBuffer) return work();
  struct Busy {
    explicit Busy(MessageBox &marked) : box(marked) { box.busy = true; }
    ~Busy() { box.busy = false; }  // runs after the GIL is taken back
    MessageBox &box;
  } busy(box);
  py::gil_scoped_release release;
  return work();
}

// Whether the bytes are all ASCII, looked at 64 at a time (with SSE2, every
// x86-64 processor's vector instructions, where the compiler has them).
bool isAscii(const char *bytes, std::size_t length) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 64 <= length; i += 64) {
    const auto *block = reinterpret_cast<const __m128i *>(bytes + i);
    const __m128i any =
        _mm_or_si128(_mm_or_si128(_mm_loadu_si128(block), _mm_loadu_si128(block + 1)),
                     _mm_or_si128(_mm_loadu_si128(block + 2), _mm_loadu_si128(block + 3)));
    if (_mm_movemask_epi8(any) != 0) return false;
  }
#else
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    if ((word & kHighBits) != 0) return false;
  }
#endif
  for (; i < length; ++i)
    if ((static_cast<unsigned char>(bytes[i]) & 0x80) != 0) return false;
  return true;
}

std::string formatOf(const KxlMsg &message) {
  const char *field = message.descriptor()->format;
  return std::string(field, strnlen(field, kFormatWidth));
}

}  // namespace

void MessageBox::describeStart() {
  startFormat = formatOf(*this);
  startEncoding = encoding();
  startCharacterSet = characterSet();
}

namespace {

// --- Writing ---------------------------------------------------------------

void writeBody(MessageBox &box, const char *data, std::size_t length, const char *format,
               const std::string &what) {
  RawBody body(data, length, format);
  TextCapture capture;
  box.clearErrorCodes();
  const bool written = withLargeBuffer(box, length, [&] { return box.writeItem(body); });
  if (!written) raiseFailure(what, box, capture);
}

// A str as UTF-8: an ASCII str's own characters, else a UTF-8 copy (bytes
// that are not UTF-8 come back from their lone surrogates).
void writeText(MessageBox &box, const py::handle text) {
  py::object encoded;
  const char *data;
  Py_ssize_t length;
  if (PyUnicode_IS_COMPACT_ASCII(text.ptr())) {
    data = PyUnicode_AsUTF8AndSize(text.ptr(), &length);
    if (data == nullptr) throw py::error_already_set();
  } else {
    PyObject *bytes = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape");
    if (bytes == nullptr) throw py::error_already_set();
    encoded = py::reinterpret_steal<py::object>(bytes);
    data = PyBytes_AS_STRING(bytes);
    length = PyBytes_GET_SIZE(bytes);
  }
  writeBody(box, data, static_cast<std::size_t>(length), kTextFormat, "writing the text");
}

// The format a BytesBody carries, checked.
std::string bodyFormat(const py::handle body) {
  const std::string format = encodeField(body.attr("format"), "BytesBody.format");
  if (format.size() > kFormatWidth)
    raiseValue("a format name has at most 8 bytes, not " + std::to_string(format.size()));
  return format;
}

void writeBytes(MessageBox &box, const py::handle bytes, const std::string &format) {
  const py::buffer_info buffer = py::reinterpret_borrow<py::buffer>(bytes).request();
  const std::size_t length = static_cast<std::size_t>(buffer.size * buffer.itemsize);
  writeBody(box, static_cast<const char *>(buffer.ptr), length, format.c_str(),
            format == kTextFormat ? "writing the text" : "writing the bytes");
}

// A header is written from a copy, so that the GIL can be released around
// the move of a large content without the Python object being touched; the
// object then takes the copy's record (what the header now stands in front
// of). No text is caught: while a trace sink is installed the library would
// copy the content aside instead of moving it once.
void writeHeader(MessageBox &box, KxlItm &header, const ItemClass &cls) {
  if (const auto *vorn = dynamic_cast<const KxlVih *>(&header);
      vorn != nullptr && vorn->version() < 2 && vorn->cursorPosition() != 0)
    warnTruncated("VornBridgeHeader.cursor_position " + std::to_string(vorn->cursorPosition()) +
                  " is left out: a version 1 record has no cursor position");
  const std::unique_ptr<KxlItm> copy = cls.clone(header);
  copy->clearErrorCodes();
  box.clearErrorCodes();
  const bool written =
      withLargeBuffer(box, box.messageLength(), [&] { return box.writeItem(*copy); });
  if (!written)
    raiseError(std::string("writing the ") + cls.title, box.completionCode(), box.reasonCode(), "");
  cls.assign(header, *copy);
}

void writeItem(MessageBox &box, const py::object &item) {
  if (PyUnicode_Check(item.ptr())) return writeText(box, item);
  if (py::isinstance(item, baseClass("BytesBody"))) return writeBytes(box, item, bodyFormat(item));
  if (PyObject_CheckBuffer(item.ptr())) return writeBytes(box, item, kBytesFormat);
  for (const ItemClass &cls : itemClasses()) {
    if (!py::isinstance(item, cls.type)) continue;
    KxlItm &target = item.cast<KxlItm &>();
    if (cls.header) return writeHeader(box, target, cls);
    TextCapture capture;
    box.clearErrorCodes();
    if (!box.writeItem(target)) raiseFailure(std::string("writing the ") + cls.title, box, capture);
    return;
  }
  raiseType("Message.write takes a str, bytes, a header or a trigger message, not " +
            std::string(Py_TYPE(item.ptr())->tp_name));
}

// Whatever is written stands at the start of the data (a body is the whole
// data, a header goes in front), and the message is described as it.
void write(MessageBox &box, const py::object &item) {
  use(box);
  writeItem(box, item);
  box.describeStart();
}

// --- Reading -----------------------------------------------------------------

std::string at(const std::string &what, const KxlMsg &message) {
  return what + " at offset " + std::to_string(message.dataOffset());
}

// The library's own refusal to read a body of the wrong format (6119, with
// its text). Should the library take it after all, the data offset goes
// back and the binding reads the body itself.
void refuseWrongFormat(KxlMsg &message, KxlItm &&libraryItem, const std::string &what) {
  const std::size_t offset = message.dataOffset();
  TextCapture capture;
  message.clearErrorCodes();
  if (!message.readItem(libraryItem)) raiseFailure(at(what, message), message, capture);
  message.setDataOffset(offset);
}

// Copies the rest of the data into `destination` and moves the data offset
// to the end.
void readInto(MessageBox &box, KxlMsg &message, char *destination, std::size_t length,
              const std::string &what) {
  RawBody body(destination, length);
  TextCapture capture;
  message.clearErrorCodes();
  const bool read = withLargeBuffer(box, length, [&] { return message.readItem(body); });
  if (!read) raiseFailure(at(what, message), message, capture);
}

py::bytes readRawBytes(MessageBox &box, KxlMsg &message) {
  const std::size_t length = message.dataLength();
  PyObject *bytes = PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(length));
  if (bytes == nullptr) throw py::error_already_set();
  const py::bytes owned = py::reinterpret_steal<py::bytes>(bytes);
  readInto(box, message, PyBytes_AS_STRING(bytes), length, "reading the bytes");
  return owned;
}

// The rest of the data as a str, decoded strictly; UnicodeDecodeError
// leaves the data offset where it was. The data are taken as ASCII first:
// the library copies them into a new str a piece at a time, each piece
// checked while it is still in the cache. Text that is not ASCII is
// decoded by Python's UTF-8 decoder instead (with the GIL held).
py::str readRawText(MessageBox &box, KxlMsg &message) {
  constexpr std::size_t kPiece = 64 * 1024;
  const std::size_t length = message.dataLength();
  if (length == 0) return py::str("");
  PyObject *text = PyUnicode_New(static_cast<Py_ssize_t>(length), 127);
  if (text == nullptr) throw py::error_already_set();
  const py::str owned = py::reinterpret_steal<py::str>(text);
  char *characters = static_cast<char *>(PyUnicode_DATA(text));
  const std::size_t offset = message.dataOffset();
  bool ascii = true;
  {
    TextCapture capture;
    message.clearErrorCodes();
    const bool read = withLargeBuffer(box, length, [&] {
      for (std::size_t done = 0; ascii && done < length; done += kPiece) {
        const std::size_t count = std::min(kPiece, length - done);
        RawBody piece(characters + done, count);
        if (!message.readItem(piece)) return false;
        ascii = isAscii(characters + done, count);
      }
      return true;
    });
    if (!read) {
      message.setDataOffset(offset);
      raiseFailure(at("reading the text", message), message, capture);
    }
  }
  if (ascii) return owned;
  message.setDataOffset(offset);
  PyObject *decoded =
      PyUnicode_DecodeUTF8(message.dataPointer(), static_cast<Py_ssize_t>(length), "strict");
  if (decoded == nullptr) throw py::error_already_set();
  message.setDataOffset(offset + length);
  return py::reinterpret_steal<py::str>(decoded);
}

py::object readItem(KxlMsg &message, const ItemClass &cls) {
  py::object item = cls.type();
  KxlItm &target = item.cast<KxlItm &>();
  const std::string what = at(std::string("reading the ") + cls.title, message);
  TextCapture capture;
  message.clearErrorCodes();
  if (!message.readItem(target)) raiseFailure(what, message, capture);
  return item;
}

py::object read(MessageBox &box, const py::object &kind) {
  KxlMsg &message = use(box);
  if (kind.ptr() == reinterpret_cast<PyObject *>(&PyUnicode_Type)) {
    if (!message.formatIs(kTextFormat)) refuseWrongFormat(message, KxlStr(), "reading the text");
    return readRawText(box, message);
  }
  if (kind.ptr() == reinterpret_cast<PyObject *>(&PyBytes_Type)) {
    if (!message.formatIs(kBytesFormat)) refuseWrongFormat(message, KxlBin(), "reading the bytes");
    return readRawBytes(box, message);
  }
  const ItemClass *cls = itemClassOf(kind);
  if (cls == nullptr)
    raiseType(
        "Message.read takes str, bytes or an item class such as kxli.DeadLetterHeader, "
        "not " +
        py::repr(kind).cast<std::string>());
  return readItem(message, *cls);
}

// The body at the end of a chain: a text that decodes as a TextBody, any
// other content as a BytesBody with its format.
py::object readBody(MessageBox &box, KxlMsg &message) {
  const std::string format = formatOf(message);
  if (message.formatIs(kTextFormat)) {
    try {
      return baseClass("TextBody")(readRawText(box, message));
    } catch (py::error_already_set &error) {
      if (!error.matches(PyExc_UnicodeDecodeError)) throw;
    }
  }
  return baseClass("BytesBody")(readRawBytes(box, message),
                                decodeText(format.data(), format.size()));
}

// The chain from data offset 0, read from a view of the message's bytes so
// that the message itself (its data offset and description) stays as it is.
py::list items(MessageBox &box) {
  const KxlMsg &message = use(box);
  KxlMsg view;
  if (message.messageLength() != 0)
    view.useFullBuffer(message.bufferPointer(), message.messageLength());
  view.setFormat(box.startFormat.c_str());
  view.setEncoding(box.startEncoding);
  view.setCharacterSet(box.startCharacterSet);
  py::list chain;
  for (;;) {
    const ItemClass *cls = itemClassByFormat(view.descriptor()->format);
    if (cls == nullptr) {
      chain.append(readBody(box, view));
      return chain;
    }
    chain.append(readItem(view, *cls));
    if (!cls->header) return chain;
  }
}

// --- Message files -----------------------------------------------------------

std::string fileName(const py::object &path) {
  return py::module_::import("os").attr("fsencode")(path).cast<std::string>();
}

[[noreturn]] void raiseOsError(int error, const py::object &path) {
  errno = error;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, path.ptr());
  throw py::error_already_set();
}

std::string fixedText(const char *field, std::size_t width) {
  return std::string(field, strnlen(field, width));
}

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
  return fixedText(field, N);
}

// The description and identities of the descriptor, as kxmsg takes them.
void takeDescriptor(const KXMD &descriptor, KxlMsg &message) {
  message.setFormat(fieldText(descriptor.format).c_str());
  message.setEncoding(descriptor.encoding);
  message.setCharacterSet(descriptor.characterSet);
  message.setFeedback(descriptor.feedback);
  message.setMessageId(descriptor.messageId);
  message.setCorrelationId(descriptor.correlationId);
  message.setGroupId(descriptor.groupId);
  message.setAccountingToken(descriptor.accountingToken);
  message.setReplyToQueueName(fieldText(descriptor.replyToQueueName).c_str());
  message.setReplyToQueueManagerName(fieldText(descriptor.replyToQueueManagerName).c_str());
  message.setUserId(fieldText(descriptor.userId).c_str());
  message.setApplicationIdData(fieldText(descriptor.applicationIdData).c_str());
  message.setPutApplicationName(fieldText(descriptor.putApplicationName).c_str());
  message.setPutDate(fieldText(descriptor.putDate).c_str());
  message.setPutTime(fieldText(descriptor.putTime).c_str());
  message.setApplicationOriginData(fieldText(descriptor.applicationOriginData).c_str());
}

std::unique_ptr<MessageBox> load(const py::object &path) {
  const std::string name = fileName(path);
  auto box = std::make_unique<MessageBox>();
  KXMD descriptor{};
  std::size_t got = 0;
  int error = 0;
  bool written = true;
  TextCapture capture;
  withLargeBuffer(*box, kLargeBuffer, [&] {
    std::FILE *in = std::fopen(name.c_str(), "rb");
    if (in == nullptr) {
      error = errno;
      return;
    }
    got = std::fread(&descriptor, 1, sizeof descriptor, in);
    std::vector<char> chunk(1 << 16);
    std::size_t count = 0;
    while (written && got == sizeof descriptor &&
           (count = std::fread(chunk.data(), 1, chunk.size(), in)) != 0)
      written = box->write(count, chunk.data());
    if (std::ferror(in) != 0) error = errno != 0 ? errno : EIO;
    std::fclose(in);
  });
  if (error != 0) raiseOsError(error, path);
  const std::string what = "loading the message file " + py::repr(path).cast<std::string>();
  if (!written) raiseFailure(what, *box, capture);
  if (got < sizeof descriptor)
    raiseError(what, KXCC_FAILED, KXRC_INSUFFICIENT_DATA,
               "the file holds " + std::to_string(got) + " bytes; a message file starts with a " +
                   std::to_string(sizeof descriptor) + "-byte descriptor");
  if (std::memcmp(descriptor.structureId, "MD  ", sizeof descriptor.structureId) != 0)
    raiseError(what, KXCC_FAILED, KXRC_WRONG_STRUCTURE_ID,
               "the file does not begin with a descriptor (structure id \"MD  \")");
  box->setDataOffset(0);
  takeDescriptor(descriptor, *box);
  box->describeStart();
  return box;
}

// Writes the pieces to a file opened with `flags`; 0 or the errno.
int writePieces(const std::string &name, int flags, const void *descriptor, const char *data,
                std::size_t length) {
  const int file = ::open(name.c_str(), flags, 0666);
  if (file < 0) return errno;
  struct Piece {
    const char *bytes;
    std::size_t length;
  };
  const Piece pieces[] = {{static_cast<const char *>(descriptor), sizeof(KXMD)}, {data, length}};
  int error = 0;
  for (const Piece &piece : pieces) {
    for (std::size_t done = 0; error == 0 && done < piece.length;) {
      const ssize_t wrote = ::write(file, piece.bytes + done, piece.length - done);
      if (wrote < 0 && errno != EINTR) error = errno;
      if (wrote > 0) done += static_cast<std::size_t>(wrote);
    }
  }
  if (::close(file) != 0 && error == 0) error = errno;
  return error;
}

// A regular file (or a new one) is written beside `name` and renamed over
// it, so that a failed save leaves no partial file; a device is written in
// place.
int saveFile(const std::string &name, const KxlMsg &message) {
  const KXMD *descriptor = message.descriptor();
  struct stat status;
  if (::stat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    return writePieces(name, O_WRONLY | O_TRUNC, descriptor, message.bufferPointer(),
                       message.messageLength());
  std::random_device random;
  const std::string temporary = name + ".kxli-" + std::to_string(random()) + ".tmp";
  int error = writePieces(temporary, O_WRONLY | O_CREAT | O_EXCL, descriptor,
                          message.bufferPointer(), message.messageLength());
  if (error == 0 && ::rename(temporary.c_str(), name.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

void save(MessageBox &box, const py::object &path) {
  const KxlMsg &message = use(box);
  const std::string name = fileName(path);
  const int error = withLargeBuffer(box, kLargeBuffer, [&] { return saveFile(name, message); });
  if (error != 0) raiseOsError(error, path);
}

// --- Properties --------------------------------------------------------------

void setFormat(KxlMsg &message, const py::object &value) {
  const std::string format = encodeField(value, "Message.format");
  if (format.size() > kFormatWidth)
    warnTruncated("Message.format: " + std::to_string(format.size()) +
                  " bytes given, cut to the field's 8");
  message.setFormat(format.c_str());
}

using TextGetter = KxlStr (KxlMsg::*)() const;
using TextSetter = void (KxlMsg::*)(const char *);

void textProperty(py::class_<MessageBox> &cls, const char *name, TextGetter get, TextSetter set,
                  std::size_t width, const char *meaning) {
  const std::string what = std::string("Message.") + name;
  const std::string doc = "str, at most " + std::to_string(width) +
                          " bytes in UTF-8 (a longer one is cut, with kxli.Warning). " + meaning;
  cls.def_property(
      name, [get](MessageBox &box) { return decodeText((use(box).*get)()); },
      [set, width, what](MessageBox &box, const py::object &value) {
        KxlMsg &message = use(box);
        const std::string text = encodeField(value, what);
        if (text.size() > width)
          warnTruncated(what + ": " + std::to_string(text.size()) +
                        " bytes given, cut to the field's " + std::to_string(width));
        (message.*set)(text.c_str());
      },
      doc.c_str());
}

using BytesGetter = KxlBin (KxlMtr::*)() const;
using BytesSetter = bool (KxlMtr::*)(const KxlBin &);

void bytesProperty(py::class_<MessageBox> &cls, const char *name, BytesGetter get, BytesSetter set,
                   std::size_t width, const char *meaning) {
  const std::string what = std::string("Message.") + name;
  const std::string doc = "bytes, exactly " + std::to_string(width) +
                          " (b\"\" sets them all zero; another length raises kxli.Error). " +
                          meaning;
  cls.def_property(
      name,
      [get](MessageBox &box) {
        const KxlBin value = (use(box).*get)();
        return py::bytes(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
      },
      [set, what](MessageBox &box, const py::object &value) {
        KxlMsg &message = use(box);
        if (!PyObject_CheckBuffer(value.ptr()))
          raiseType(what + " takes bytes, not " + std::string(Py_TYPE(value.ptr())->tp_name));
        const py::buffer_info buffer = py::reinterpret_borrow<py::buffer>(value).request();
        const KxlBin given(buffer.ptr, static_cast<std::size_t>(buffer.size * buffer.itemsize));
        TextCapture capture;
        message.clearErrorCodes();
        if (!(message.*set)(given)) raiseFailure(what, message, capture);
      },
      doc.c_str());
}

std::unique_ptr<MessageBox> makeMessage(const py::object &data, const py::object &format,
                                        const py::object &encoding,
                                        const py::object &characterSet) {
  if (PyUnicode_Check(data.ptr()) || !PyObject_CheckBuffer(data.ptr()))
    raiseType("Message data is bytes, not " + std::string(Py_TYPE(data.ptr())->tp_name) +
              " (write a str with Message.write)");
  auto box = std::make_unique<MessageBox>();
  const py::buffer_info buffer = py::reinterpret_borrow<py::buffer>(data).request();
  const std::size_t length = static_cast<std::size_t>(buffer.size * buffer.itemsize);
  if (length != 0) {
    TextCapture capture;
    const bool written = withLargeBuffer(
        *box, length, [&] { return box->write(length, static_cast<const char *>(buffer.ptr)); });
    if (!written) raiseFailure("taking the message data", *box, capture);
    box->setDataOffset(0);
  }
  setFormat(*box, format);
  box->setEncoding(int32Of(encoding, "Message.encoding"));
  box->setCharacterSet(int32Of(characterSet, "Message.character_set"));
  box->describeStart();
  return box;
}

py::bytes contentOf(MessageBox &box) {
  const KxlMsg &message = use(box);
  const std::size_t length = message.messageLength();
  PyObject *bytes = PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(length));
  if (bytes == nullptr) throw py::error_already_set();
  const py::bytes owned = py::reinterpret_steal<py::bytes>(bytes);
  char *target = PyBytes_AS_STRING(bytes);
  withLargeBuffer(box, length, [&] {
    if (length != 0) std::memcpy(target, message.bufferPointer(), length);
  });
  return owned;
}

const char kMessageDoc[] =
    "A message: its data (the bytes up to its length), a data offset where the next\n"
    "read starts, and its 364-byte descriptor, whose format, encoding and character set\n"
    "say what the data begin with.\n"
    "\n"
    "Message(data=b\"\", *, format=\"        \", encoding=546, character_set=0) holds the\n"
    "data given (a received message: data offset 0, described by the keywords).\n"
    "write() puts a body or a header into it, read() takes one item off at the data\n"
    "offset, items() lists the whole chain; bytes(message) is the data.\n"
    "Message.load(path) and save(path) read and write the message file kxmsg uses (the\n"
    "descriptor, then the data).\n"
    "\n"
    "A message is safe to use from one thread at a time; while one thread copies a large\n"
    "buffer (the GIL released), another that touches the message gets RuntimeError.";

}  // namespace

void registerMessage(py::module_ &module) {
  py::class_<MessageBox> cls(module, "Message", kMessageDoc);
  cls.def(py::init(&makeMessage), py::arg("data") = py::bytes(), py::kw_only(),
          py::arg("format") = kBytesFormat, py::arg("encoding") = kKxlNativeEncoding,
          py::arg("character_set") = 0);

  cls.def_property(
      "format", [](MessageBox &box) { return decodeText(use(box).format()); },
      [](MessageBox &box, const py::object &value) {
        setFormat(use(box), value);
        if (box.dataOffset() == 0) box.describeStart();
      },
      "str, at most 8 bytes, blank padded: the format name of what the data hold at the data "
      "offset (\"KXSTR   \" text, 8 blanks bytes, \"KXDEAD  \" a dead-letter header, ...).");
  cls.def_property(
      "encoding", [](MessageBox &box) { return use(box).encoding(); },
      [](MessageBox &box, const py::object &value) {
        use(box).setEncoding(int32Of(value, "Message.encoding"));
        if (box.dataOffset() == 0) box.describeStart();
      },
      "int: the encoding of the data at the data offset (546, NATIVE_ENCODING, is the only "
      "one headers are read in).");
  cls.def_property(
      "character_set", [](MessageBox &box) { return use(box).characterSet(); },
      [](MessageBox &box, const py::object &value) {
        use(box).setCharacterSet(int32Of(value, "Message.character_set"));
        if (box.dataOffset() == 0) box.describeStart();
      },
      "int: the character set of the data at the data offset.");
  cls.def_property(
      "data_offset", [](MessageBox &box) { return use(box).dataOffset(); },
      [](MessageBox &box, const py::object &value) {
        KxlMsg &message = use(box);
        if (!PyLong_Check(value.ptr())) raiseType("Message.data_offset takes an int");
        const long long offset = value.cast<long long>();
        if (offset < 0 || static_cast<unsigned long long>(offset) > message.messageLength())
          raiseValue("Message.data_offset takes 0 to the message length " +
                     std::to_string(message.messageLength()) + ", not " + std::to_string(offset));
        message.setDataOffset(static_cast<std::size_t>(offset));
      },
      "int: where the next read starts; 0 to the length. Each write and read moves it past "
      "what it wrote or read.");
  cls.def_property_readonly(
      "length", [](MessageBox &box) { return use(box).messageLength(); },
      "int: how many bytes of data the message holds.");
  cls.def_property_readonly(
      "version", [](MessageBox &box) { return use(box).version(); },
      "int: the descriptor's version.");
  cls.def_property(
      "feedback", [](MessageBox &box) { return use(box).feedback(); },
      [](MessageBox &box, const py::object &value) {
        use(box).setFeedback(int32Of(value, "Message.feedback"));
      },
      "int: the feedback code.");
  cls.def_property_readonly(
      "descriptor",
      [](MessageBox &box) {
        return py::bytes(reinterpret_cast<const char *>(use(box).descriptor()), sizeof(KXMD));
      },
      "bytes: the 364-byte descriptor record as it is saved in front of the data.");

  bytesProperty(cls, "message_id", &KxlMtr::messageId, &KxlMtr::setMessageId,
                sizeof(KXMD::messageId), "The message identifier.");
  bytesProperty(cls, "correlation_id", &KxlMtr::correlationId, &KxlMtr::setCorrelationId,
                sizeof(KXMD::correlationId), "The correlation identifier.");
  bytesProperty(cls, "group_id", &KxlMtr::groupId, &KxlMtr::setGroupId, sizeof(KXMD::groupId),
                "The group identifier.");
  bytesProperty(cls, "accounting_token", &KxlMtr::accountingToken, &KxlMtr::setAccountingToken,
                sizeof(KXMD::accountingToken), "The accounting token.");

  textProperty(cls, "application_id_data", &KxlMsg::applicationIdData,
               &KxlMsg::setApplicationIdData, sizeof(KXMD::applicationIdData), "");
  textProperty(cls, "application_origin_data", &KxlMsg::applicationOriginData,
               &KxlMsg::setApplicationOriginData, sizeof(KXMD::applicationOriginData), "");
  textProperty(cls, "put_application_name", &KxlMsg::putApplicationName,
               &KxlMsg::setPutApplicationName, sizeof(KXMD::putApplicationName), "");
  textProperty(cls, "put_date", &KxlMsg::putDate, &KxlMsg::setPutDate, sizeof(KXMD::putDate), "");
  textProperty(cls, "put_time", &KxlMsg::putTime, &KxlMsg::setPutTime, sizeof(KXMD::putTime), "");
  textProperty(cls, "reply_to_queue_manager_name", &KxlMsg::replyToQueueManagerName,
               &KxlMsg::setReplyToQueueManagerName, sizeof(KXMD::replyToQueueManagerName), "");
  textProperty(cls, "reply_to_queue_name", &KxlMsg::replyToQueueName, &KxlMsg::setReplyToQueueName,
               sizeof(KXMD::replyToQueueName), "");
  textProperty(cls, "user_id", &KxlMsg::userId, &KxlMsg::setUserId, sizeof(KXMD::userId), "");

  cls.def("write", &write, py::arg("item"),
          "Writes an item: a str is the whole data as UTF-8 text (format \"KXSTR   \"), bytes\n"
          "the whole data as they are (8 blank format), a BytesBody under its own format, a\n"
          "TriggerMessage the whole data as a trigger; a header goes in front of what the\n"
          "message holds and records its format, encoding and character set. The data\n"
          "offset ends after what was written. Raises kxli.Error when the library fails.");
  cls.def("read", &read, py::arg("kind"),
          "Reads one item of `kind` at the data offset and returns it: str (the rest of\n"
          "the data as UTF-8 text, format \"KXSTR   \"), bytes (the rest as they are, 8\n"
          "blank format) or an item class such as kxli.DeadLetterHeader. Reading a header\n"
          "moves the data offset past it and describes the message as what follows.\n"
          "Raises kxli.Error when the library refuses (wrong structure id, encoding or\n"
          "format, too little data); the data offset then stays.");
  cls.def("items", &items,
          "The chain from data offset 0, read by the format of the data there (the one\n"
          "the message was made, loaded or last written with, or given while its data\n"
          "offset was 0; not one a read moved on to): the headers in order, then the\n"
          "body (a TextBody, a str, for text that decodes as UTF-8; a BytesBody, bytes,\n"
          "for other content or a format the library does not know; a TriggerMessage).\n"
          "Raises kxli.Error on an item that fails to read. The message itself is left as\n"
          "it was.");
  cls.def_static("load", &load, py::arg("path"),
                 "Reads a message file (the 364-byte descriptor, then the data) into a new\n"
                 "message: data offset 0, described by the descriptor. OSError when the file\n"
                 "cannot be read, kxli.Error when it is no message file.");
  cls.def("save", &save, py::arg("path"),
          "Writes the descriptor and the data to `path`: a regular file is written beside it\n"
          "and renamed over it, so a failed save leaves no partial file. OSError on failure.");
  cls.def("__bytes__", &contentOf, "The data, up to the message length.");
  cls.def("__repr__", [](MessageBox &box) {
    const KxlMsg &message = use(box);
    return "kxli.Message(format=" + py::repr(decodeText(message.format())).cast<std::string>() +
           ", length=" + std::to_string(message.messageLength()) +
           ", data_offset=" + std::to_string(message.dataOffset()) + ")";
  });
}

}  // namespace kxlpy
