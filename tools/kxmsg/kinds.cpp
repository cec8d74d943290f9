// The kinds of message content kxmsg handles: their fields over the
// classes' accessors, and their record layouts taken from the record types.

#include "kinds.hpp"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "convert.hpp"

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

template <class T, class R>
Field textField(const char *name, KxlStr (T::*get)() const, R (T::*set)(const char *)) {
  Field field{name, [get](const KxlItm &item) { return textOf((as<T>(item).*get)()); }, nullptr};
  if (set != nullptr) {
    field.set = [set](KxlItm &item, const std::string &value) {
      (as<T>(item).*set)(value.c_str());
      return true;
    };
  }
  return field;
}

template <class T>
Field textField(const char *name, KxlStr (T::*get)() const) {
  return textField<T, void>(name, get, nullptr);
}

template <class T, class R>
Field numberField(const char *name, long (T::*get)() const, R (T::*set)(long)) {
  Field field{name, [get](const KxlItm &item) { return std::to_string((as<T>(item).*get)()); },
              nullptr, true};
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

template <class T>
Field bytesField(const char *name, KxlBin (T::*get)() const, bool (T::*set)(const KxlBin &)) {
  return Field{name,
               [get](const KxlItm &item) {
                 const KxlBin value = (as<T>(item).*get)();
                 return toHex(value.dataPointer(), value.dataLength());
               },
               [set](KxlItm &item, const std::string &value) {
                 std::vector<unsigned char> bytes;
                 if (!fromHex(value, bytes)) return false;
                 return (as<T>(item).*set)(KxlBin(bytes.data(), bytes.size()));
               }};
}

// The four fields every header has. The format is written by the header
// protocol itself, so it is read-only here.
void addHeaderFields(std::vector<Field> &fields) {
  fields.push_back(textField("format", &KxlHdr::format));
  fields.push_back(numberField("encoding", &KxlHdr::encoding, &KxlHdr::setEncoding));
  fields.push_back(numberField("characterSet", &KxlHdr::characterSet, &KxlHdr::setCharacterSet));
  fields.push_back(numberField("headerFlags", &KxlHdr::headerFlags, &KxlHdr::setHeaderFlags));
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
  Kind kind{
      "dlh", "KXDEAD  ", "dead-letter header", true, [] { return std::make_unique<KxlDlh>(); },
      {},    {}};
  addHeaderFields(kind.fields);
  kind.fields.push_back(textField("destinationQueueName", &KxlDlh::destinationQueueName,
                                  &KxlDlh::setDestinationQueueName));
  kind.fields.push_back(textField("destinationQueueManagerName",
                                  &KxlDlh::destinationQueueManagerName,
                                  &KxlDlh::setDestinationQueueManagerName));
  kind.fields.push_back(
      textField("putApplicationName", &KxlDlh::putApplicationName, &KxlDlh::setPutApplicationName));
  kind.fields.push_back(textField("putDate", &KxlDlh::putDate, &KxlDlh::setPutDate));
  kind.fields.push_back(textField("putTime", &KxlDlh::putTime, &KxlDlh::setPutTime));
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
  Kind kind{
      "vih", "KXVORN  ", "VORN bridge header", true, [] { return std::make_unique<KxlVih>(); },
      {},    {}};
  addHeaderFields(kind.fields);
  auto &f = kind.fields;
  f.push_back(numberField("version", &KxlVih::version, &KxlVih::setVersion));
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
  f.push_back(numberField("bridgeReturnCode", &KxlVih::bridgeReturnCode));
  f.push_back(numberField("bridgeCompletionCode", &KxlVih::bridgeCompletionCode));
  f.push_back(numberField("bridgeReasonCode", &KxlVih::bridgeReasonCode));
  f.push_back(numberField("taskEndStatus", &KxlVih::taskEndStatus));
  f.push_back(numberField("bridgeErrorOffset", &KxlVih::bridgeErrorOffset));
  f.push_back(textField("authenticator", &KxlVih::authenticator, &KxlVih::setAuthenticator));
  f.push_back(textField("replyToFormat", &KxlVih::replyToFormat, &KxlVih::setReplyToFormat));
  f.push_back(textField("transactionIdentifier", &KxlVih::transactionIdentifier,
                        &KxlVih::setTransactionIdentifier));
  f.push_back(textField("facilityLike", &KxlVih::facilityLike, &KxlVih::setFacilityLike));
  f.push_back(textField("attentionIdentifier", &KxlVih::attentionIdentifier,
                        &KxlVih::setAttentionIdentifier));
  f.push_back(textField("startCode", &KxlVih::startCode, &KxlVih::setStartCode));
  f.push_back(
      textField("bridgeCancelCode", &KxlVih::bridgeCancelCode, &KxlVih::setBridgeCancelCode));
  f.push_back(textField("function", &KxlVih::function));
  f.push_back(textField("bridgeAbendCode", &KxlVih::bridgeAbendCode));
  f.push_back(textField("nextTransactionIdentifier", &KxlVih::nextTransactionIdentifier));
  f.push_back(bytesField("facilityToken", &KxlVih::facilityToken,
                         static_cast<bool (KxlVih::*)(const KxlBin &)>(&KxlVih::setFacilityToken)));
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
  Kind kind{"oih", "KXOXT   ", "OXT bridge header", true, [] { return std::make_unique<KxlOih>(); },
            {},    {}};
  addHeaderFields(kind.fields);
  auto &f = kind.fields;
  f.push_back(textField("logicalTerminalOverride", &KxlOih::logicalTerminalOverride,
                        &KxlOih::setLogicalTerminalOverride));
  f.push_back(textField("messageFormatServicesMapName", &KxlOih::messageFormatServicesMapName,
                        &KxlOih::setMessageFormatServicesMapName));
  f.push_back(textField("replyToFormat", &KxlOih::replyToFormat, &KxlOih::setReplyToFormat));
  f.push_back(textField("authenticator", &KxlOih::authenticator, &KxlOih::setAuthenticator));
  f.push_back(
      bytesField("transactionInstanceId", &KxlOih::transactionInstanceId,
                 static_cast<bool (KxlOih::*)(const KxlBin &)>(&KxlOih::setTransactionInstanceId)));
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
  Kind kind{
      "wih", "KXHWIH  ", "work information header", true, [] { return std::make_unique<KxlWih>(); },
      {},    {}};
  addHeaderFields(kind.fields);
  auto &f = kind.fields;
  f.push_back(textField("serviceName", &KxlWih::serviceName, &KxlWih::setServiceName));
  f.push_back(textField("serviceStep", &KxlWih::serviceStep, &KxlWih::setServiceStep));
  f.push_back(bytesField("messageToken", &KxlWih::messageToken,
                         static_cast<bool (KxlWih::*)(const KxlBin &)>(&KxlWih::setMessageToken)));
  kind.layout = withPrefix(offsetof(KXWIH, prefix),
                           {KXMSG_RAW_FIELD(KXWIH, serviceName, "service name", kText),
                            KXMSG_RAW_FIELD(KXWIH, serviceStep, "service step", kText),
                            KXMSG_RAW_FIELD(KXWIH, messageToken, "message token", kBytes),
                            KXMSG_RAW_FIELD(KXWIH, reserved, "(reserved)", kBytes)});
  return kind;
}

Kind reference() {
  Kind kind{"rfh", "KXHREF  ", "reference header", true, [] { return std::make_unique<KxlRfh>(); },
            {},    {}};
  addHeaderFields(kind.fields);
  auto &f = kind.fields;
  f.push_back(textField("referenceType", &KxlRfh::referenceType, &KxlRfh::setReferenceType));
  f.push_back(bytesField("instanceId", &KxlRfh::instanceId,
                         static_cast<bool (KxlRfh::*)(const KxlBin &)>(&KxlRfh::setInstanceId)));
  f.push_back(
      textField("sourceEnvironment", &KxlRfh::sourceEnvironment, &KxlRfh::setSourceEnvironment));
  f.push_back(textField("sourceName", &KxlRfh::sourceName, &KxlRfh::setSourceName));
  f.push_back(textField("destinationEnvironment", &KxlRfh::destinationEnvironment,
                        &KxlRfh::setDestinationEnvironment));
  f.push_back(textField("destinationName", &KxlRfh::destinationName, &KxlRfh::setDestinationName));
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
  Kind kind{"trg", "KXTRIG  ", "trigger message", false, [] { return std::make_unique<KxlTrg>(); },
            {},    {}};
  auto &f = kind.fields;
  f.push_back(textField("queueName", &KxlTrg::queueName, &KxlTrg::setQueueName));
  f.push_back(textField("processName", &KxlTrg::processName, &KxlTrg::setProcessName));
  f.push_back(textField("triggerData", &KxlTrg::triggerData, &KxlTrg::setTriggerData));
  f.push_back(textField("applicationId", &KxlTrg::applicationId, &KxlTrg::setApplicationId));
  f.push_back(textField("environmentData", &KxlTrg::environmentData, &KxlTrg::setEnvironmentData));
  f.push_back(textField("userData", &KxlTrg::userData, &KxlTrg::setUserData));
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
  Kind kind{"str", "KXSTR   ", "text", false, [] { return std::make_unique<KxlStr>(); }, {}, {}};
  kind.fields.push_back(
      Field{"text", [](const KxlItm &item) { return textOf(as<KxlStr>(item)); }, nullptr});
  return kind;
}

Kind bytes() {
  Kind kind{"bin", "        ", "bytes", false, [] { return std::make_unique<KxlBin>(); }, {}, {}};
  kind.fields.push_back(Field{"bytes",
                              [](const KxlItm &item) {
                                const KxlBin &value = as<KxlBin>(item);
                                return toHex(value.dataPointer(), value.dataLength());
                              },
                              nullptr});
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

}  // namespace kxmsg
