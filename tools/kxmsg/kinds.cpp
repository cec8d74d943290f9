#include "kinds.hpp"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace kxmsg {
namespace {

std::string text(const KxlStr &value) {
  const char *characters = value;
  return characters != nullptr ? characters : "";
}

bool parseLong(const std::string &value, long &result) {
  if (value.empty()) return false;
  errno = 0;
  char *end = nullptr;
  const long long parsed = std::strtoll(value.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  result = static_cast<long>(parsed);
  return true;
}

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
  Field field{name, [get](const KxlItm &item) { return text((as<T>(item).*get)()); }, nullptr};
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
      if (!parseLong(value, number)) return false;
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

// The layout of the 32-byte prefix shared by several headers.
std::vector<RawField> prefixLayout() {
  return {{"structure id", 0, 4, RawField::kText},      {"version", 4, 4, RawField::kInt32},
          {"structure length", 8, 4, RawField::kInt32}, {"encoding", 12, 4, RawField::kInt32},
          {"character set", 16, 4, RawField::kInt32},   {"format", 20, 8, RawField::kText},
          {"header flags", 28, 4, RawField::kInt32}};
}

std::vector<RawField> withPrefix(std::vector<RawField> rest) {
  std::vector<RawField> layout = prefixLayout();
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
  kind.layout = {{"structure id", 0, 4, RawField::kText},
                 {"version", 4, 4, RawField::kInt32},
                 {"(reserved)", 8, 4, RawField::kInt32},
                 {"destination queue name", 12, 48, RawField::kText},
                 {"destination queue manager name", 60, 48, RawField::kText},
                 {"encoding", 108, 4, RawField::kInt32},
                 {"character set", 112, 4, RawField::kInt32},
                 {"format", 116, 8, RawField::kText},
                 {"(reserved)", 124, 4, RawField::kInt32},
                 {"put application name", 128, 28, RawField::kText},
                 {"put date", 156, 8, RawField::kText},
                 {"put time", 164, 8, RawField::kText}};
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
  kind.layout = withPrefix({{"bridge return code", 32, 4, RawField::kInt32},
                            {"bridge completion code", 36, 4, RawField::kInt32},
                            {"bridge reason code", 40, 4, RawField::kInt32},
                            {"UOW control", 44, 4, RawField::kInt32},
                            {"get wait interval", 48, 4, RawField::kInt32},
                            {"link type", 52, 4, RawField::kInt32},
                            {"output data length", 56, 4, RawField::kInt32},
                            {"facility keep time", 60, 4, RawField::kInt32},
                            {"ADS descriptor", 64, 4, RawField::kInt32},
                            {"conversational task", 68, 4, RawField::kInt32},
                            {"task end status", 72, 4, RawField::kInt32},
                            {"facility token", 76, 8, RawField::kBytes},
                            {"function", 84, 4, RawField::kText},
                            {"bridge abend code", 88, 4, RawField::kText},
                            {"authenticator", 92, 8, RawField::kText},
                            {"(reserved)", 100, 8, RawField::kText},
                            {"reply-to format", 108, 8, RawField::kText},
                            {"(reserved)", 116, 8, RawField::kText},
                            {"transaction identifier", 124, 4, RawField::kText},
                            {"facility like", 128, 4, RawField::kText},
                            {"attention identifier", 132, 4, RawField::kText},
                            {"start code", 136, 4, RawField::kText},
                            {"bridge cancel code", 140, 4, RawField::kText},
                            {"next transaction identifier", 144, 4, RawField::kText},
                            {"(reserved)", 148, 16, RawField::kText}});
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
  kind.layout = withPrefix({{"logical terminal override", 32, 8, RawField::kText},
                            {"MFS map name", 40, 8, RawField::kText},
                            {"reply-to format", 48, 8, RawField::kText},
                            {"authenticator", 56, 8, RawField::kText},
                            {"transaction instance id", 64, 16, RawField::kBytes},
                            {"(trailing)", 80, 4, RawField::kText}});
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
  kind.layout = withPrefix({{"service name", 32, 32, RawField::kText},
                            {"service step", 64, 8, RawField::kText},
                            {"message token", 72, 16, RawField::kBytes},
                            {"(reserved)", 88, 32, RawField::kBytes}});
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
  kind.layout = withPrefix({{"reference type", 32, 8, RawField::kText},
                            {"instance id", 40, 24, RawField::kBytes},
                            {"source environment length", 64, 4, RawField::kInt32},
                            {"source environment offset", 68, 4, RawField::kInt32},
                            {"source name length", 72, 4, RawField::kInt32},
                            {"source name offset", 76, 4, RawField::kInt32},
                            {"destination environment length", 80, 4, RawField::kInt32},
                            {"destination environment offset", 84, 4, RawField::kInt32},
                            {"destination name length", 88, 4, RawField::kInt32},
                            {"destination name offset", 92, 4, RawField::kInt32},
                            {"(reserved)", 96, 12, RawField::kBytes}});
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
  kind.layout = {{"structure id", 0, 4, RawField::kText},
                 {"version", 4, 4, RawField::kInt32},
                 {"queue name", 8, 48, RawField::kText},
                 {"process name", 56, 48, RawField::kText},
                 {"trigger data", 104, 64, RawField::kText},
                 {"(number)", 168, 4, RawField::kInt32},
                 {"application id", 172, 256, RawField::kText},
                 {"environment data", 428, 128, RawField::kText},
                 {"user data", 556, 128, RawField::kText}};
  return kind;
}

Kind string() {
  Kind kind{"str", "KXSTR   ", "text", false, [] { return std::make_unique<KxlStr>(); }, {}, {}};
  kind.fields.push_back(
      Field{"text", [](const KxlItm &item) { return text(as<KxlStr>(item)); }, nullptr});
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

std::string toHex(const unsigned char *bytes, std::size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    hex.push_back(digits[bytes[i] >> 4]);
    hex.push_back(digits[bytes[i] & 0xF]);
  }
  return hex;
}

bool fromHex(const std::string &text, std::vector<unsigned char> &bytes) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = digit(text[i]);
    const int low = digit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return true;
}

}  // namespace kxmsg
