// The kinds of message content kxmsg handles: their fields over the
// classes' accessors, and their record layouts taken from the record types.

#include "kinds.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "convert.hpp"
#include "textbody.hpp"

// A member of record type R as it lies in the message bytes: offset and
// width come from the record's declaration, so that kxlrec.hpp stays the
// only place a layout is written.
#define KXMSG_RAW_FIELD(R, member, label, type) \
  RawField { label, offsetof(R, member), sizeof(R::member), RawField::type }

namespace kxmsg {
namespace {

// Field makers over the accessors of class T. Setters come in three
// shapes: returning nothing, returning bool, or absent.
template <class T>
const T &as(const KxlItm &item) {
  return static_cast<const T &>(item);
}
template <class T>
T &as(KxlItm &item) {
  return static_cast<T &>(item);
}

Field makeField(const char *name, Field::Type type, std::size_t width,
                std::function<std::string(const KxlItm &)> get) {
  Field field;
  field.name = name;
  field.type = type;
  field.width = width;
  field.get = std::move(get);
  return field;
}

template <class T>
Kind makeKind(const char *name, const char *format, const char *title, bool header) {
  Kind kind;
  kind.name = name;
  kind.format = format;
  kind.title = title;
  kind.header = header;
  kind.make = [] { return std::make_unique<T>(); };
  return kind;
}

// A text field of at most `width` bytes (0: any length).
template <class T, class R>
Field textField(const char *name, KxlStr (T::*get)() const, R (T::*set)(const char *),
                std::size_t width) {
  Field field = makeField(name, Field::kText, width,
                          [get](const KxlItm &item) { return textOf((as<T>(item).*get)()); });
  if (set != nullptr) {
    field.set = [set](KxlItm &item, const std::string &value) {
      (as<T>(item).*set)(value.c_str());
      return true;
    };
  }
  return field;
}

template <class T>
Field textField(const char *name, KxlStr (T::*get)() const, std::size_t width) {
  return textField<T, void>(name, get, nullptr, width);
}

template <class T, class R>
Field numberField(const char *name, long (T::*get)() const, R (T::*set)(long)) {
  Field field = makeField(name, Field::kNumber, sizeof(std::int32_t), [get](const KxlItm &item) {
    return std::to_string((as<T>(item).*get)());
  });
  if (set != nullptr) {
    field.set = [set](KxlItm &item, const std::string &value) {
      long number = 0;
      if (!parseInt32(value, number)) return false;
      if constexpr (std::is_same_v<R, bool>) {
        return (as<T>(item).*set)(number);
      } else {
        (as<T>(item).*set)(number);
        return true;
      }
    };
  }
  return field;
}

template <class T>
Field numberField(const char *name, long (T::*get)() const) {
  return numberField<T, void>(name, get, nullptr);
}

// A byte field of exactly `width` bytes, given as 2 * `width` hex digits.
template <class T>
Field bytesField(const char *name, KxlBin (T::*get)() const, bool (T::*set)(const KxlBin &),
                 std::size_t width) {
  Field field = makeField(name, Field::kBytes, width, [get](const KxlItm &item) {
    const KxlBin value = (as<T>(item).*get)();
    return toHex(value.dataPointer(), value.dataLength());
  });
  field.set = [set, width](KxlItm &item, const std::string &value) {
    std::vector<unsigned char> bytes;
    if (!fromHex(value, bytes) || bytes.size() != width) return false;
    return (as<T>(item).*set)(KxlBin(bytes.data(), bytes.size()));
  };
  return field;
}

// A field the tool shows but does not set, and why.
Field fixedBy(Field field, const std::string &reason) {
  field.set = nullptr;
  field.fixedBy = reason;
  return field;
}

Field withRange(Field field, const char *range) {
  field.range = range;
  return field;
}

const char kFilledByBridge[] = "the bridge fills it in";

// The four fields every header has. The header write sets the first three
// from the message; the flags are the header's own except where `flags`
// says why they cannot be set.
void addHeaderFields(std::vector<Field> &fields, const char *flags) {
  fields.push_back(fixedBy(textField("format", &KxlHdr::format, sizeof(KXHDRPREFIX::format)),
                           "the header write records the format of what follows"));
  fields.push_back(fixedBy(numberField("encoding", &KxlHdr::encoding),
                           "the header write records the encoding of what follows"));
  fields.push_back(fixedBy(numberField("characterSet", &KxlHdr::characterSet),
                           "the header write records the character set of what follows "
                           "(--character-set gives the body's)"));
  Field headerFlags = numberField("headerFlags", &KxlHdr::headerFlags, &KxlHdr::setHeaderFlags);
  fields.push_back(flags == nullptr ? headerFlags : fixedBy(headerFlags, flags));
}

// The 32-byte prefix several headers begin with, at offset `base` of their
// record, followed by the rest of their layout.
std::vector<RawField> withPrefix(std::size_t base, std::vector<RawField> rest) {
  std::vector<RawField> layout = {
      KXMSG_RAW_FIELD(KXHDRPREFIX, structureId, "structure id", kText),
      KXMSG_RAW_FIELD(KXHDRPREFIX, version, "version", kInt32),
      KXMSG_RAW_FIELD(KXHDRPREFIX, structureLength, "structure length", kInt32),
      KXMSG_RAW_FIELD(KXHDRPREFIX, encoding, "encoding", kInt32),
      KXMSG_RAW_FIELD(KXHDRPREFIX, characterSet, "character set", kInt32),
      KXMSG_RAW_FIELD(KXHDRPREFIX, format, "format", kText),
      KXMSG_RAW_FIELD(KXHDRPREFIX, headerFlags, "header flags", kInt32)};
  for (RawField &field : layout) field.offset += base;
  layout.insert(layout.end(), rest.begin(), rest.end());
  return layout;
}

Kind deadLetter() {
  Kind kind = makeKind<KxlDlh>("dlh", "KXDEAD  ", "dead-letter header", true);
  addHeaderFields(kind.fields,
                  "a dead-letter header's flags live in the object only and never reach the "
                  "message");
  kind.fields.push_back(textField("destinationQueueName", &KxlDlh::destinationQueueName,
                                  &KxlDlh::setDestinationQueueName,
                                  sizeof(KXDLH::destinationQueueName)));
  kind.fields.push_back(textField(
      "destinationQueueManagerName", &KxlDlh::destinationQueueManagerName,
      &KxlDlh::setDestinationQueueManagerName, sizeof(KXDLH::destinationQueueManagerName)));
  kind.fields.push_back(textField("putApplicationName", &KxlDlh::putApplicationName,
                                  &KxlDlh::setPutApplicationName,
                                  sizeof(KXDLH::putApplicationName)));
  kind.fields.push_back(
      textField("putDate", &KxlDlh::putDate, &KxlDlh::setPutDate, sizeof(KXDLH::putDate)));
  kind.fields.push_back(
      textField("putTime", &KxlDlh::putTime, &KxlDlh::setPutTime, sizeof(KXDLH::putTime)));
  kind.layout = {
      KXMSG_RAW_FIELD(KXDLH, structureId, "structure id", kText),
      KXMSG_RAW_FIELD(KXDLH, version, "version", kInt32),
      KXMSG_RAW_FIELD(KXDLH, field8, "(reserved)", kInt32),
      KXMSG_RAW_FIELD(KXDLH, destinationQueueName, "destination queue name", kText),
      KXMSG_RAW_FIELD(KXDLH, destinationQueueManagerName, "destination queue manager name", kText),
      KXMSG_RAW_FIELD(KXDLH, encoding, "encoding", kInt32),
      KXMSG_RAW_FIELD(KXDLH, characterSet, "character set", kInt32),
      KXMSG_RAW_FIELD(KXDLH, format, "format", kText),
      KXMSG_RAW_FIELD(KXDLH, field124, "(reserved)", kInt32),
      KXMSG_RAW_FIELD(KXDLH, putApplicationName, "put application name", kText),
      KXMSG_RAW_FIELD(KXDLH, putDate, "put date", kText),
      KXMSG_RAW_FIELD(KXDLH, putTime, "put time", kText)};
  return kind;
}

Kind vornBridge() {
  Kind kind = makeKind<KxlVih>("vih", "KXVORN  ", "VORN bridge header", true);
  addHeaderFields(kind.fields, nullptr);
  auto &f = kind.fields;
  kind.unreached = [](const KxlItm &item, const std::vector<std::string> &given) {
    const bool cursorGiven = std::find(given.begin(), given.end(), "cursorPosition") != given.end();
    return cursorGiven && as<KxlVih>(item).version() < 2
               ? std::string("cursorPosition reaches the message only with version 2")
               : std::string();
  };
  f.push_back(withRange(numberField("version", &KxlVih::version, &KxlVih::setVersion), "1 or 2"));
  f.push_back(numberField("UOWControl", &KxlVih::UOWControl, &KxlVih::setUOWControl));
  f.push_back(
      numberField("getWaitInterval", &KxlVih::getWaitInterval, &KxlVih::setGetWaitInterval));
  f.push_back(numberField("linkType", &KxlVih::linkType, &KxlVih::setLinkType));
  f.push_back(
      numberField("outputDataLength", &KxlVih::outputDataLength, &KxlVih::setOutputDataLength));
  f.push_back(
      numberField("facilityKeepTime", &KxlVih::facilityKeepTime, &KxlVih::setFacilityKeepTime));
  f.push_back(numberField("ADSDescriptor", &KxlVih::ADSDescriptor, &KxlVih::setADSDescriptor));
  f.push_back(numberField("conversationalTask", &KxlVih::conversationalTask,
                          &KxlVih::setConversationalTask));
  f.push_back(numberField("cursorPosition", &KxlVih::cursorPosition, &KxlVih::setCursorPosition));
  f.push_back(fixedBy(numberField("bridgeReturnCode", &KxlVih::bridgeReturnCode), kFilledByBridge));
  f.push_back(
      fixedBy(numberField("bridgeCompletionCode", &KxlVih::bridgeCompletionCode), kFilledByBridge));
  f.push_back(fixedBy(numberField("bridgeReasonCode", &KxlVih::bridgeReasonCode), kFilledByBridge));
  f.push_back(fixedBy(numberField("taskEndStatus", &KxlVih::taskEndStatus), kFilledByBridge));
  f.push_back(
      fixedBy(numberField("bridgeErrorOffset", &KxlVih::bridgeErrorOffset), kFilledByBridge));
  f.push_back(textField("authenticator", &KxlVih::authenticator, &KxlVih::setAuthenticator,
                        sizeof(KXVIH::authenticator)));
  f.push_back(textField("replyToFormat", &KxlVih::replyToFormat, &KxlVih::setReplyToFormat,
                        sizeof(KXVIH::replyToFormat)));
  f.push_back(textField("transactionIdentifier", &KxlVih::transactionIdentifier,
                        &KxlVih::setTransactionIdentifier, sizeof(KXVIH::transactionIdentifier)));
  f.push_back(textField("facilityLike", &KxlVih::facilityLike, &KxlVih::setFacilityLike,
                        sizeof(KXVIH::facilityLike)));
  f.push_back(textField("attentionIdentifier", &KxlVih::attentionIdentifier,
                        &KxlVih::setAttentionIdentifier, sizeof(KXVIH::attentionIdentifier)));
  f.push_back(
      textField("startCode", &KxlVih::startCode, &KxlVih::setStartCode, sizeof(KXVIH::startCode)));
  f.push_back(textField("bridgeCancelCode", &KxlVih::bridgeCancelCode, &KxlVih::setBridgeCancelCode,
                        sizeof(KXVIH::bridgeCancelCode)));
  f.push_back(
      fixedBy(textField("function", &KxlVih::function, sizeof(KXVIH::function)), kFilledByBridge));
  f.push_back(fixedBy(
      textField("bridgeAbendCode", &KxlVih::bridgeAbendCode, sizeof(KXVIH::bridgeAbendCode)),
      kFilledByBridge));
  f.push_back(fixedBy(textField("nextTransactionIdentifier", &KxlVih::nextTransactionIdentifier,
                                sizeof(KXVIH::nextTransactionIdentifier)),
                      kFilledByBridge));
  f.push_back(bytesField("facilityToken", &KxlVih::facilityToken,
                         static_cast<bool (KxlVih::*)(const KxlBin &)>(&KxlVih::setFacilityToken),
                         sizeof(KXVIH::facilityToken)));
  kind.layout = withPrefix(
      offsetof(KXVIH, prefix),
      {KXMSG_RAW_FIELD(KXVIH, bridgeReturnCode, "bridge return code", kInt32),
       KXMSG_RAW_FIELD(KXVIH, bridgeCompletionCode, "bridge completion code", kInt32),
       KXMSG_RAW_FIELD(KXVIH, bridgeReasonCode, "bridge reason code", kInt32),
       KXMSG_RAW_FIELD(KXVIH, UOWControl, "UOW control", kInt32),
       KXMSG_RAW_FIELD(KXVIH, getWaitInterval, "get wait interval", kInt32),
       KXMSG_RAW_FIELD(KXVIH, linkType, "link type", kInt32),
       KXMSG_RAW_FIELD(KXVIH, outputDataLength, "output data length", kInt32),
       KXMSG_RAW_FIELD(KXVIH, facilityKeepTime, "facility keep time", kInt32),
       KXMSG_RAW_FIELD(KXVIH, ADSDescriptor, "ADS descriptor", kInt32),
       KXMSG_RAW_FIELD(KXVIH, conversationalTask, "conversational task", kInt32),
       KXMSG_RAW_FIELD(KXVIH, taskEndStatus, "task end status", kInt32),
       KXMSG_RAW_FIELD(KXVIH, facilityToken, "facility token", kBytes),
       KXMSG_RAW_FIELD(KXVIH, function, "function", kText),
       KXMSG_RAW_FIELD(KXVIH, bridgeAbendCode, "bridge abend code", kText),
       KXMSG_RAW_FIELD(KXVIH, authenticator, "authenticator", kText),
       KXMSG_RAW_FIELD(KXVIH, field100, "(reserved)", kText),
       KXMSG_RAW_FIELD(KXVIH, replyToFormat, "reply-to format", kText),
       KXMSG_RAW_FIELD(KXVIH, field116, "(reserved)", kText),
       KXMSG_RAW_FIELD(KXVIH, field120, "(reserved)", kText),
       KXMSG_RAW_FIELD(KXVIH, transactionIdentifier, "transaction identifier", kText),
       KXMSG_RAW_FIELD(KXVIH, facilityLike, "facility like", kText),
       KXMSG_RAW_FIELD(KXVIH, attentionIdentifier, "attention identifier", kText),
       KXMSG_RAW_FIELD(KXVIH, startCode, "start code", kText),
       KXMSG_RAW_FIELD(KXVIH, bridgeCancelCode, "bridge cancel code", kText),
       KXMSG_RAW_FIELD(KXVIH, nextTransactionIdentifier, "next transaction identifier", kText),
       KXMSG_RAW_FIELD(KXVIH, field148, "(reserved)", kText),
       KXMSG_RAW_FIELD(KXVIH, field156, "(reserved)", kText),
       KXMSG_RAW_FIELD(KXVIH, cursorPosition, "cursor position (version 2)", kInt32),
       KXMSG_RAW_FIELD(KXVIH, bridgeErrorOffset, "bridge error offset (version 2)", kInt32),
       KXMSG_RAW_FIELD(KXVIH, field172, "(reserved, version 2)", kInt32),
       KXMSG_RAW_FIELD(KXVIH, field176, "(reserved, version 2)", kInt32)});
  return kind;
}

Kind oxtBridge() {
  Kind kind = makeKind<KxlOih>("oih", "KXOXT   ", "OXT bridge header", true);
  addHeaderFields(kind.fields, nullptr);
  auto &f = kind.fields;
  f.push_back(textField("logicalTerminalOverride", &KxlOih::logicalTerminalOverride,
                        &KxlOih::setLogicalTerminalOverride,
                        sizeof(KXOIH::logicalTerminalOverride)));
  f.push_back(textField("messageFormatServicesMapName", &KxlOih::messageFormatServicesMapName,
                        &KxlOih::setMessageFormatServicesMapName,
                        sizeof(KXOIH::messageFormatServicesMapName)));
  f.push_back(textField("replyToFormat", &KxlOih::replyToFormat, &KxlOih::setReplyToFormat,
                        sizeof(KXOIH::replyToFormat)));
  f.push_back(textField("authenticator", &KxlOih::authenticator, &KxlOih::setAuthenticator,
                        sizeof(KXOIH::authenticator)));
  f.push_back(
      bytesField("transactionInstanceId", &KxlOih::transactionInstanceId,
                 static_cast<bool (KxlOih::*)(const KxlBin &)>(&KxlOih::setTransactionInstanceId),
                 sizeof(KXOIH::transactionInstanceId)));
  kind.layout = withPrefix(
      offsetof(KXOIH, prefix),
      {KXMSG_RAW_FIELD(KXOIH, logicalTerminalOverride, "logical terminal override", kText),
       KXMSG_RAW_FIELD(KXOIH, messageFormatServicesMapName, "MFS map name", kText),
       KXMSG_RAW_FIELD(KXOIH, replyToFormat, "reply-to format", kText),
       KXMSG_RAW_FIELD(KXOIH, authenticator, "authenticator", kText),
       KXMSG_RAW_FIELD(KXOIH, transactionInstanceId, "transaction instance id", kBytes),
       KXMSG_RAW_FIELD(KXOIH, trailing, "(trailing)", kText)});
  return kind;
}

Kind workInformation() {
  Kind kind = makeKind<KxlWih>("wih", "KXHWIH  ", "work information header", true);
  addHeaderFields(kind.fields, nullptr);
  auto &f = kind.fields;
  f.push_back(textField("serviceName", &KxlWih::serviceName, &KxlWih::setServiceName,
                        sizeof(KXWIH::serviceName)));
  f.push_back(textField("serviceStep", &KxlWih::serviceStep, &KxlWih::setServiceStep,
                        sizeof(KXWIH::serviceStep)));
  f.push_back(bytesField("messageToken", &KxlWih::messageToken,
                         static_cast<bool (KxlWih::*)(const KxlBin &)>(&KxlWih::setMessageToken),
                         sizeof(KXWIH::messageToken)));
  kind.layout = withPrefix(offsetof(KXWIH, prefix),
                           {KXMSG_RAW_FIELD(KXWIH, serviceName, "service name", kText),
                            KXMSG_RAW_FIELD(KXWIH, serviceStep, "service step", kText),
                            KXMSG_RAW_FIELD(KXWIH, messageToken, "message token", kBytes),
                            KXMSG_RAW_FIELD(KXWIH, reserved, "(reserved)", kBytes)});
  return kind;
}

Kind reference() {
  Kind kind = makeKind<KxlRfh>("rfh", "KXHREF  ", "reference header", true);
  addHeaderFields(kind.fields, nullptr);
  auto &f = kind.fields;
  f.push_back(textField("referenceType", &KxlRfh::referenceType, &KxlRfh::setReferenceType,
                        sizeof(KXRMH::referenceType)));
  f.push_back(bytesField("instanceId", &KxlRfh::instanceId,
                         static_cast<bool (KxlRfh::*)(const KxlBin &)>(&KxlRfh::setInstanceId),
                         sizeof(KXRMH::instanceId)));
  f.push_back(
      textField("sourceEnvironment", &KxlRfh::sourceEnvironment, &KxlRfh::setSourceEnvironment, 0));
  f.push_back(textField("sourceName", &KxlRfh::sourceName, &KxlRfh::setSourceName, 0));
  f.push_back(textField("destinationEnvironment", &KxlRfh::destinationEnvironment,
                        &KxlRfh::setDestinationEnvironment, 0));
  f.push_back(
      textField("destinationName", &KxlRfh::destinationName, &KxlRfh::setDestinationName, 0));
  kind.layout = withPrefix(
      offsetof(KXRMH, prefix),
      {KXMSG_RAW_FIELD(KXRMH, referenceType, "reference type", kText),
       KXMSG_RAW_FIELD(KXRMH, instanceId, "instance id", kBytes),
       KXMSG_RAW_FIELD(KXRMH, sourceEnvironmentLength, "source environment length", kInt32),
       KXMSG_RAW_FIELD(KXRMH, sourceEnvironmentOffset, "source environment offset", kInt32),
       KXMSG_RAW_FIELD(KXRMH, sourceNameLength, "source name length", kInt32),
       KXMSG_RAW_FIELD(KXRMH, sourceNameOffset, "source name offset", kInt32),
       KXMSG_RAW_FIELD(KXRMH, destinationEnvironmentLength, "destination environment length",
                       kInt32),
       KXMSG_RAW_FIELD(KXRMH, destinationEnvironmentOffset, "destination environment offset",
                       kInt32),
       KXMSG_RAW_FIELD(KXRMH, destinationNameLength, "destination name length", kInt32),
       KXMSG_RAW_FIELD(KXRMH, destinationNameOffset, "destination name offset", kInt32),
       KXMSG_RAW_FIELD(KXRMH, field96, "(reserved)", kInt32),
       KXMSG_RAW_FIELD(KXRMH, field100, "(reserved)", kInt32),
       KXMSG_RAW_FIELD(KXRMH, field104, "(reserved)", kInt32)});
  return kind;
}

Kind trigger() {
  Kind kind = makeKind<KxlTrg>("trg", "KXTRIG  ", "trigger message", false);
  auto &f = kind.fields;
  f.push_back(
      textField("queueName", &KxlTrg::queueName, &KxlTrg::setQueueName, sizeof(KXTM::queueName)));
  f.push_back(textField("processName", &KxlTrg::processName, &KxlTrg::setProcessName,
                        sizeof(KXTM::processName)));
  f.push_back(textField("triggerData", &KxlTrg::triggerData, &KxlTrg::setTriggerData,
                        sizeof(KXTM::triggerData)));
  f.push_back(textField("applicationId", &KxlTrg::applicationId, &KxlTrg::setApplicationId,
                        sizeof(KXTM::applicationId)));
  f.push_back(textField("environmentData", &KxlTrg::environmentData, &KxlTrg::setEnvironmentData,
                        sizeof(KXTM::environmentData)));
  f.push_back(
      textField("userData", &KxlTrg::userData, &KxlTrg::setUserData, sizeof(KXTM::userData)));
  kind.layout = {KXMSG_RAW_FIELD(KXTM, structureId, "structure id", kText),
                 KXMSG_RAW_FIELD(KXTM, version, "version", kInt32),
                 KXMSG_RAW_FIELD(KXTM, queueName, "queue name", kText),
                 KXMSG_RAW_FIELD(KXTM, processName, "process name", kText),
                 KXMSG_RAW_FIELD(KXTM, triggerData, "trigger data", kText),
                 KXMSG_RAW_FIELD(KXTM, field168, "(number)", kInt32),
                 KXMSG_RAW_FIELD(KXTM, applicationId, "application id", kText),
                 KXMSG_RAW_FIELD(KXTM, environmentData, "environment data", kText),
                 KXMSG_RAW_FIELD(KXTM, userData, "user data", kText)};
  return kind;
}

Kind string() {
  Kind kind = makeKind<TextBody>("str", "KXSTR   ", "text", false);
  kind.fields.push_back(makeField("text", Field::kText, 0,
                                  [](const KxlItm &item) { return as<TextBody>(item).bytes(); }));
  return kind;
}

Kind bytes() {
  Kind kind = makeKind<KxlBin>("bin", "        ", "bytes", false);
  kind.fields.push_back(makeField("bytes", Field::kBytes, 0, [](const KxlItm &item) {
    const KxlBin &value = as<KxlBin>(item);
    return toHex(value.dataPointer(), value.dataLength());
  }));
  return kind;
}

}  // namespace

const std::vector<Kind> &kinds() {
  static const std::vector<Kind> all = {deadLetter(), vornBridge(), oxtBridge(), workInformation(),
                                        reference(),  trigger(),    string(),    bytes()};
  return all;
}

const Kind *kindByName(const std::string &name) {
  for (const Kind &kind : kinds())
    if (name == kind.name) return &kind;
  return nullptr;
}

const Kind *kindByFormat(const KxlStr &format) {
  for (const Kind &kind : kinds())
    if (format.length() == 8 && std::memcmp(static_cast<const char *>(format), kind.format, 8) == 0)
      return &kind;
  return nullptr;
}

const Field *fieldByName(const Kind &kind, const std::string &name) {
  for (const Field &field : kind.fields)
    if (field.name == name) return &field;
  return nullptr;
}

std::string describeField(const Field &field) {
  switch (field.type) {
    case Field::kText:
      return field.width == 0 ? "text of any length"
                              : "text, at most " + std::to_string(field.width) + " bytes";
    case Field::kNumber:
      return "number, " +
             (field.range.empty() ? std::string("a signed 32-bit integer") : field.range);
    case Field::kBytes:
      return field.width == 0 ? "bytes as hex digits"
                              : std::to_string(field.width) + " bytes, given as " +
                                    std::to_string(2 * field.width) + " hex digits";
  }
  return "";
}

}  // namespace kxmsg
