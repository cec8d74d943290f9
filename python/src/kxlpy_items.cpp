// The item classes of kxli: the five headers and the trigger message, each
// over its C++ class, with every field a property named as the C++ getter
// in snake case, keyword construction, to_dict() and a repr. The fields
// and their order are those `kxmsg dump --json` lists for each kind.

#include <deque>
#include <type_traits>

#include "kxlpy.hpp"

namespace kxlpy {
namespace {

struct Field {
  enum Type { kText, kNumber, kBytes };
  std::string jsonName;  // the C++ getter's name, as kxmsg's JSON names the field
  std::string name;      // snake case
  Type type = kText;
  // Text: the most bytes the field holds (0: any length). Bytes: exactly
  // this many.
  std::size_t width = 0;
  std::function<py::object(const KxlItm &)> get;
  // Checks and sets a value (`what` names the field in messages); empty
  // for a field that cannot be set, whose reason is `fixedBy`.
  std::function<void(KxlItm &, const py::object &, const std::string &what)> set;
  std::string fixedBy;
  std::string meaning;
};

using Fields = std::vector<Field>;

// The field tables live as long as the module: the properties refer to them.
std::deque<Fields> tables;
std::vector<ItemClass> classes;

template <class C>
const C &as(const KxlItm &item) {
  return static_cast<const C &>(item);
}
template <class C>
C &as(KxlItm &item) {
  return static_cast<C &>(item);
}

Field makeField(const char *jsonName, Field::Type type, std::size_t width, const char *meaning) {
  Field field;
  field.jsonName = jsonName;
  field.name = snakeCase(jsonName);
  field.type = type;
  field.width = width;
  field.meaning = meaning;
  return field;
}

// A text field of at most `width` bytes (0: any length). A longer value is
// cut by the library; the binding says so first with kxli.Warning, so that
// a warnings filter set to "error" leaves the field as it was.
template <class C>
Field text(const char *jsonName, KxlStr (C::*get)() const, void (C::*set)(const char *),
           std::size_t width, const char *meaning = "") {
  Field field = makeField(jsonName, Field::kText, width, meaning);
  field.get = [get](const KxlItm &item) -> py::object { return decodeText((as<C>(item).*get)()); };
  if (set != nullptr) {
    field.set = [set, width](KxlItm &item, const py::object &value, const std::string &what) {
      const std::string bytes = encodeField(value, what);
      if (width != 0 && bytes.size() > width)
        warnTruncated(what + ": " + std::to_string(bytes.size()) +
                      " bytes given, cut to the field's " + std::to_string(width));
      (as<C>(item).*set)(bytes.c_str());
    };
  }
  return field;
}

template <class C>
Field text(const char *jsonName, KxlStr (C::*get)() const, std::size_t width,
           const char *meaning = "") {
  return text<C>(jsonName, get, nullptr, width, meaning);
}

// A signed 32-bit number; setters that can refuse a value return bool.
template <class C, class R>
Field number(const char *jsonName, long (C::*get)() const, R (C::*set)(long),
             const char *meaning = "") {
  Field field = makeField(jsonName, Field::kNumber, 4, meaning);
  field.get = [get](const KxlItm &item) -> py::object { return py::int_((as<C>(item).*get)()); };
  if (set != nullptr) {
    field.set = [set](KxlItm &item, const py::object &value, const std::string &what) {
      const long number = int32Of(value, what);
      if constexpr (std::is_same_v<R, bool>) {
        TextCapture capture;
        item.clearErrorCodes();
        if (!(as<C>(item).*set)(number)) raiseFailure(what, item, capture);
      } else {
        (as<C>(item).*set)(number);
      }
    };
  }
  return field;
}

template <class C>
Field number(const char *jsonName, long (C::*get)() const, const char *meaning = "") {
  return number<C, void>(jsonName, get, nullptr, meaning);
}

// Exactly `width` bytes; b"" sets them all zero, any other length is
// refused by the library (6111).
template <class C>
Field bytes(const char *jsonName, KxlBin (C::*get)() const, bool (C::*set)(const KxlBin &),
            std::size_t width, const char *meaning = "") {
  Field field = makeField(jsonName, Field::kBytes, width, meaning);
  field.get = [get](const KxlItm &item) -> py::object {
    const KxlBin value = (as<C>(item).*get)();
    return py::bytes(reinterpret_cast<const char *>(value.dataPointer()), value.dataLength());
  };
  field.set = [set](KxlItm &item, const py::object &value, const std::string &what) {
    if (!PyObject_CheckBuffer(value.ptr()) || PyUnicode_Check(value.ptr()))
      raiseType(what + " takes bytes, not " + std::string(Py_TYPE(value.ptr())->tp_name));
    const py::buffer_info buffer = py::reinterpret_borrow<py::buffer>(value).request();
    const KxlBin given(buffer.ptr, static_cast<std::size_t>(buffer.size * buffer.itemsize));
    TextCapture capture;
    item.clearErrorCodes();
    if (!(as<C>(item).*set)(given)) raiseFailure(what, item, capture);
  };
  return field;
}

Field fixedBy(Field field, const char *reason) {
  field.set = nullptr;
  field.fixedBy = reason;
  return field;
}

const char kFilledByBridge[] = "the bridge fills it in";

// The four fields every header has: what it records of the data after it
// (set by the header write) and its flags.
void addHeaderFields(Fields &fields, const char *flagsFixedBy) {
  fields.push_back(fixedBy(text("format", &KxlHdr::format, sizeof(KXHDRPREFIX::format),
                                "The format of what follows the header."),
                           "the header write records the format of what follows"));
  fields.push_back(
      fixedBy(number("encoding", &KxlHdr::encoding, "The encoding of what follows the header."),
              "the header write records the encoding of what follows"));
  fields.push_back(fixedBy(number("characterSet", &KxlHdr::characterSet,
                                  "The character set of what follows the header."),
                           "the header write records the character set of what follows"));
  Field flags =
      number("headerFlags", &KxlHdr::headerFlags, &KxlHdr::setHeaderFlags, "The header flags.");
  fields.push_back(flagsFixedBy == nullptr ? flags : fixedBy(flags, flagsFixedBy));
}

std::string describe(const Field &field) {
  std::string what;
  switch (field.type) {
    case Field::kText:
      what = field.width == 0 ? "str of any length"
                              : "str, at most " + std::to_string(field.width) + " bytes in UTF-8";
      if (field.width != 0 && field.set) what += " (a longer one is cut, with kxli.Warning)";
      break;
    case Field::kNumber:
      what = "int, a signed 32-bit integer";
      break;
    case Field::kBytes:
      what = "bytes, exactly " + std::to_string(field.width) +
             " (b\"\" sets them all zero; another length raises kxli.Error)";
      break;
  }
  if (!field.set) what += "; read only: " + field.fixedBy;
  return what;
}

const char kToDictDoc[] =
    "The fields as a dict, in the order and with the values `kxmsg dump --json` gives\n"
    "in the item's \"fields\" object: texts as str, numbers as int, bytes as lower-case\n"
    "hex digits. The keys are the JSON keys in snake case, by kxli.snake_case: an\n"
    "underscore before each capital that follows a small letter or a digit, and before\n"
    "the last capital of a run that is followed by a small letter; then all in lower\n"
    "case (\"destinationQueueName\" is \"destination_queue_name\", \"UOWControl\" is\n"
    "\"uow_control\").";

py::object jsonValue(const Field &field, const KxlItm &item) {
  py::object value = field.get(item);
  if (field.type == Field::kBytes) return value.attr("hex")();
  return value;
}

const Field *fieldNamed(const Fields &fields, const std::string &name) {
  for (const Field &field : fields)
    if (field.name == name) return &field;
  return nullptr;
}

struct Description {
  const char *pythonName;
  const char *format;
  const char *title;
  const char *summary;
};

template <class T>
std::string classDoc(const Description &description, const Fields &fields) {
  std::string doc = description.summary;
  doc += "\n\nFormat name \"" + std::string(description.format) +
         "\". Construct with fields as keyword arguments; every field is a property:\n\n";
  for (const Field &field : fields) doc += "    " + field.name + ": " + describe(field) + "\n";
  return doc;
}

// The Python class of item class T with its fields.
template <class T, class Base>
void defineItem(py::module_ &module, const Description &description, Fields fields) {
  const Fields *table = &tables.emplace_back(std::move(fields));
  const std::string owner = description.pythonName;
  py::class_<T, Base> cls(module, description.pythonName);
  cls.attr("__doc__") = classDoc<T>(description, *table);
  cls.attr("FORMAT") = description.format;
  cls.attr("_title") = description.title;
  py::list names;
  for (const Field &field : *table) names.append(py::make_tuple(field.name, field.jsonName));
  cls.attr("_fields") = py::tuple(names);

  cls.def(py::init([table, owner](const py::kwargs &given) {
            auto item = std::make_unique<T>();
            for (const auto &[key, value] : given) {
              const std::string name = py::str(key);
              const Field *field = fieldNamed(*table, name);
              if (field == nullptr)
                raiseType(owner + "() got an unexpected keyword argument '" + name + "'");
              if (!field->set) raiseType(owner + "() cannot set " + name + ": " + field->fixedBy);
              field->set(*item, py::reinterpret_borrow<py::object>(value), owner + "." + name);
            }
            return item;
          }),
          ("A new " + std::string(description.title) +
           " with the fields given as keyword arguments set, the others as the library makes "
           "them.")
              .c_str());

  for (const Field &field : *table) {
    const std::string what = owner + "." + field.name;
    const std::string doc = describe(field) + ".\n" + field.meaning;
    py::cpp_function getter([&field](const T &self) { return field.get(self); });
    py::cpp_function setter([&field, what](T &self, const py::object &value) {
      if (!field.set) {
        PyErr_SetString(PyExc_AttributeError, (what + " cannot be set: " + field.fixedBy).c_str());
        throw py::error_already_set();
      }
      field.set(self, value, what);
    });
    cls.def_property(field.name.c_str(), getter, setter, doc.c_str());
  }

  cls.def(
      "to_dict",
      [table](const T &self) {
        py::dict values;
        for (const Field &field : *table) values[field.name.c_str()] = jsonValue(field, self);
        return values;
      },
      kToDictDoc);
  cls.def(
      "__eq__",
      [table](const T &self, const py::object &other) -> py::object {
        if (!py::isinstance<T>(other)) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
        const T &that = other.cast<const T &>();
        for (const Field &field : *table)
          if (!field.get(self).equal(field.get(that))) return py::bool_(false);
        return py::bool_(true);
      },
      "Equal when of the same class with equal fields.");
  cls.attr("__hash__") = py::none();
  cls.def("__repr__", [table, owner](const T &self) {
    // The fields that differ from those of a new item.
    const T fresh;
    std::string shown;
    for (const Field &field : *table) {
      const py::object value = field.get(self);
      if (value.equal(field.get(fresh))) continue;
      shown += (shown.empty() ? "" : ", ") + field.name + "=" + py::repr(value).cast<std::string>();
    }
    return "kxli." + owner + "(" + shown + ")";
  });

  ItemClass entry;
  entry.type = cls;
  entry.format = description.format;
  entry.title = description.title;
  entry.header = std::is_base_of_v<KxlHdr, T>;
  entry.clone = [](const KxlItm &item) -> std::unique_ptr<KxlItm> {
    return std::make_unique<T>(as<T>(item));
  };
  entry.assign = [](KxlItm &target, const KxlItm &source) { as<T>(target) = as<T>(source); };
  classes.push_back(std::move(entry));
}

Fields deadLetterFields() {
  Fields f;
  addHeaderFields(f,
                  "a dead-letter header's flags live in the object only and never reach the "
                  "message");
  f.push_back(text("destinationQueueName", &KxlDlh::destinationQueueName,
                   &KxlDlh::setDestinationQueueName, sizeof(KXDLH::destinationQueueName),
                   "The queue the message was meant for."));
  f.push_back(text("destinationQueueManagerName", &KxlDlh::destinationQueueManagerName,
                   &KxlDlh::setDestinationQueueManagerName,
                   sizeof(KXDLH::destinationQueueManagerName), "The queue manager of that queue."));
  f.push_back(text("putApplicationName", &KxlDlh::putApplicationName,
                   &KxlDlh::setPutApplicationName, sizeof(KXDLH::putApplicationName),
                   "The application that put the message on the dead-letter queue."));
  f.push_back(text("putDate", &KxlDlh::putDate, &KxlDlh::setPutDate, sizeof(KXDLH::putDate),
                   "The date it was put there."));
  f.push_back(text("putTime", &KxlDlh::putTime, &KxlDlh::setPutTime, sizeof(KXDLH::putTime),
                   "The time it was put there."));
  return f;
}

Fields vornFields() {
  Fields f;
  addHeaderFields(f, nullptr);
  f.push_back(number("version", &KxlVih::version, &KxlVih::setVersion,
                     "1 (a 164-byte record) or 2 (180 bytes, with cursor_position and "
                     "bridge_error_offset); another version raises kxli.Error."));
  f.push_back(number("UOWControl", &KxlVih::UOWControl, &KxlVih::setUOWControl));
  f.push_back(number("getWaitInterval", &KxlVih::getWaitInterval, &KxlVih::setGetWaitInterval));
  f.push_back(number("linkType", &KxlVih::linkType, &KxlVih::setLinkType));
  f.push_back(number("outputDataLength", &KxlVih::outputDataLength, &KxlVih::setOutputDataLength));
  f.push_back(number("facilityKeepTime", &KxlVih::facilityKeepTime, &KxlVih::setFacilityKeepTime));
  f.push_back(number("ADSDescriptor", &KxlVih::ADSDescriptor, &KxlVih::setADSDescriptor));
  f.push_back(
      number("conversationalTask", &KxlVih::conversationalTask, &KxlVih::setConversationalTask));
  f.push_back(number("cursorPosition", &KxlVih::cursorPosition, &KxlVih::setCursorPosition,
                     "Written only with version 2: writing a version 1 header whose cursor "
                     "position is not 0 gives kxli.Warning."));
  f.push_back(fixedBy(number("bridgeReturnCode", &KxlVih::bridgeReturnCode), kFilledByBridge));
  f.push_back(
      fixedBy(number("bridgeCompletionCode", &KxlVih::bridgeCompletionCode), kFilledByBridge));
  f.push_back(fixedBy(number("bridgeReasonCode", &KxlVih::bridgeReasonCode), kFilledByBridge));
  f.push_back(fixedBy(number("taskEndStatus", &KxlVih::taskEndStatus), kFilledByBridge));
  f.push_back(fixedBy(number("bridgeErrorOffset", &KxlVih::bridgeErrorOffset), kFilledByBridge));
  f.push_back(text("authenticator", &KxlVih::authenticator, &KxlVih::setAuthenticator,
                   sizeof(KXVIH::authenticator)));
  f.push_back(text("replyToFormat", &KxlVih::replyToFormat, &KxlVih::setReplyToFormat,
                   sizeof(KXVIH::replyToFormat)));
  f.push_back(text("transactionIdentifier", &KxlVih::transactionIdentifier,
                   &KxlVih::setTransactionIdentifier, sizeof(KXVIH::transactionIdentifier)));
  f.push_back(text("facilityLike", &KxlVih::facilityLike, &KxlVih::setFacilityLike,
                   sizeof(KXVIH::facilityLike)));
  f.push_back(text("attentionIdentifier", &KxlVih::attentionIdentifier,
                   &KxlVih::setAttentionIdentifier, sizeof(KXVIH::attentionIdentifier)));
  f.push_back(
      text("startCode", &KxlVih::startCode, &KxlVih::setStartCode, sizeof(KXVIH::startCode)));
  f.push_back(text("bridgeCancelCode", &KxlVih::bridgeCancelCode, &KxlVih::setBridgeCancelCode,
                   sizeof(KXVIH::bridgeCancelCode)));
  f.push_back(
      fixedBy(text("function", &KxlVih::function, sizeof(KXVIH::function)), kFilledByBridge));
  f.push_back(
      fixedBy(text("bridgeAbendCode", &KxlVih::bridgeAbendCode, sizeof(KXVIH::bridgeAbendCode)),
              kFilledByBridge));
  f.push_back(fixedBy(text("nextTransactionIdentifier", &KxlVih::nextTransactionIdentifier,
                           sizeof(KXVIH::nextTransactionIdentifier)),
                      kFilledByBridge));
  f.push_back(bytes("facilityToken", &KxlVih::facilityToken, &KxlVih::setFacilityToken,
                    sizeof(KXVIH::facilityToken)));
  return f;
}

Fields oxtFields() {
  Fields f;
  addHeaderFields(f, nullptr);
  f.push_back(text("logicalTerminalOverride", &KxlOih::logicalTerminalOverride,
                   &KxlOih::setLogicalTerminalOverride, sizeof(KXOIH::logicalTerminalOverride)));
  f.push_back(text("messageFormatServicesMapName", &KxlOih::messageFormatServicesMapName,
                   &KxlOih::setMessageFormatServicesMapName,
                   sizeof(KXOIH::messageFormatServicesMapName)));
  f.push_back(text("replyToFormat", &KxlOih::replyToFormat, &KxlOih::setReplyToFormat,
                   sizeof(KXOIH::replyToFormat)));
  f.push_back(text("authenticator", &KxlOih::authenticator, &KxlOih::setAuthenticator,
                   sizeof(KXOIH::authenticator)));
  f.push_back(bytes("transactionInstanceId", &KxlOih::transactionInstanceId,
                    &KxlOih::setTransactionInstanceId, sizeof(KXOIH::transactionInstanceId)));
  return f;
}

Fields workFields() {
  Fields f;
  addHeaderFields(f, nullptr);
  f.push_back(text("serviceName", &KxlWih::serviceName, &KxlWih::setServiceName,
                   sizeof(KXWIH::serviceName), "Blank padded; read back with its blanks."));
  f.push_back(text("serviceStep", &KxlWih::serviceStep, &KxlWih::setServiceStep,
                   sizeof(KXWIH::serviceStep), "Blank padded; read back with its blanks."));
  f.push_back(bytes("messageToken", &KxlWih::messageToken, &KxlWih::setMessageToken,
                    sizeof(KXWIH::messageToken)));
  return f;
}

Fields referenceFields() {
  Fields f;
  addHeaderFields(f, nullptr);
  f.push_back(text("referenceType", &KxlRfh::referenceType, &KxlRfh::setReferenceType,
                   sizeof(KXRMH::referenceType)));
  f.push_back(
      bytes("instanceId", &KxlRfh::instanceId, &KxlRfh::setInstanceId, sizeof(KXRMH::instanceId)));
  f.push_back(
      text("sourceEnvironment", &KxlRfh::sourceEnvironment, &KxlRfh::setSourceEnvironment, 0));
  f.push_back(text("sourceName", &KxlRfh::sourceName, &KxlRfh::setSourceName, 0));
  f.push_back(text("destinationEnvironment", &KxlRfh::destinationEnvironment,
                   &KxlRfh::setDestinationEnvironment, 0));
  f.push_back(text("destinationName", &KxlRfh::destinationName, &KxlRfh::setDestinationName, 0));
  return f;
}

Fields triggerFields() {
  Fields f;
  f.push_back(text("queueName", &KxlTrg::queueName, &KxlTrg::setQueueName, sizeof(KXTM::queueName),
                   "The queue whose messages started the trigger."));
  f.push_back(text("processName", &KxlTrg::processName, &KxlTrg::setProcessName,
                   sizeof(KXTM::processName)));
  f.push_back(text("triggerData", &KxlTrg::triggerData, &KxlTrg::setTriggerData,
                   sizeof(KXTM::triggerData)));
  f.push_back(text("applicationId", &KxlTrg::applicationId, &KxlTrg::setApplicationId,
                   sizeof(KXTM::applicationId), "The application to start."));
  f.push_back(text("environmentData", &KxlTrg::environmentData, &KxlTrg::setEnvironmentData,
                   sizeof(KXTM::environmentData)));
  f.push_back(text("userData", &KxlTrg::userData, &KxlTrg::setUserData, sizeof(KXTM::userData)));
  return f;
}

}  // namespace

const std::vector<ItemClass> &itemClasses() { return classes; }

const ItemClass *itemClassOf(py::handle type) {
  for (const ItemClass &entry : classes)
    if (entry.type.ptr() == type.ptr()) return &entry;
  return nullptr;
}

const ItemClass *itemClassByFormat(const char *format) {
  for (const ItemClass &entry : classes)
    if (std::memcmp(entry.format, format, 8) == 0) return &entry;
  return nullptr;
}

void registerItems(py::module_ &module) {
  py::class_<KxlItm>(module, "Item",
                     "Something a message holds: a header or a body. Item classes are "
                     "DeadLetterHeader, VornBridgeHeader, OxtBridgeHeader, "
                     "WorkInformationHeader, ReferenceHeader and TriggerMessage; a str or "
                     "bytes is a body too.");
  py::class_<KxlHdr, KxlItm>(module, "Header",
                             "A header: written in front of what a message holds, it records "
                             "that content's format, encoding and character set.");

  defineItem<KxlDlh, KxlHdr>(
      module,
      {"DeadLetterHeader", "KXDEAD  ", "dead-letter header",
       "The dead-letter header: where an undeliverable message was meant to go and who put\n"
       "it on the dead-letter queue, and when (a 172-byte record, structure id \"DLH \")."},
      deadLetterFields());
  defineItem<KxlVih, KxlHdr>(
      module,
      {"VornBridgeHeader", "KXVORN  ", "VORN bridge header",
       "The VORN bridge header: the request and reply fields exchanged with the bridge to\n"
       "the VORN transaction server (version 1: 164 bytes, version 2: 180 bytes; structure\n"
       "id \"VIH \"). A new one is version 2."},
      vornFields());
  defineItem<KxlOih, KxlHdr>(
      module,
      {"OxtBridgeHeader", "KXOXT   ", "OXT bridge header",
       "The OXT bridge header: the fields exchanged with the bridge to the OXT transaction\n"
       "manager (an 84-byte record, structure id \"OIH \")."},
      oxtFields());
  defineItem<KxlWih, KxlHdr>(
      module,
      {"WorkInformationHeader", "KXHWIH  ", "work information header",
       "The work information header: the service and step a message is for, and a 16-byte\n"
       "message token (a 120-byte record, structure id \"WIH \")."},
      workFields());
  defineItem<KxlRfh, KxlHdr>(
      module,
      {"ReferenceHeader", "KXHREF  ", "reference header",
       "The reference header: a source and a destination, each an environment and a name of\n"
       "any length, a reference type and a 24-byte instance id (a 108-byte record and four\n"
       "variable parts, structure id \"RMH \")."},
      referenceFields());
  defineItem<KxlTrg, KxlItm>(
      module,
      {"TriggerMessage", "KXTRIG  ", "trigger message",
       "A trigger message: which queue started it, and the process and application to run\n"
       "(a 684-byte record, structure id \"TM  \"). Written as a message's whole body."},
      triggerFields());
}

}  // namespace kxlpy
