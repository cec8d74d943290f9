#include "kxlhdrtest.hpp"

#include <algorithm>
#include <utility>

namespace kxlhdrtest {

std::string text(const KxlStr &value) {
  const char *chars = value;
  return chars == nullptr ? std::string() : std::string(chars);
}

std::string contentOf(const KxlMsg &message) {
  return std::string(message.bufferPointer(), message.messageLength());
}

std::string codes(const KxlErr &object) {
  return std::to_string(object.completionCode()) + "/" + std::to_string(object.reasonCode());
}

void makeHello(KxlMsg &message) {
  KxlStr hello("hello");
  ASSERT_TRUE(message.writeItem(hello));
  message.setEncoding(273);
  message.setCharacterSet(850);
}

void load(KxlMsg &message, const std::string &data, std::size_t offset, long encoding,
          const char *format) {
  message.clearMessage();
  ASSERT_TRUE(message.write(data.size(), data.data()));
  ASSERT_TRUE(message.setDataOffset(offset));
  message.setEncoding(encoding);
  message.setCharacterSet(850);
  message.setFormat(format);
}

std::string messageState(const KxlMsg &message) {
  return describe(message) + "|" + std::to_string(message.dataOffset()) + "|" + contentOf(message);
}

std::string recordOf(KxlItm &item, std::string *format) {
  KxlMsg message;
  KxlHdr *header = dynamic_cast<KxlHdr *>(&item);
  const KxlStr headerFormat = header != nullptr ? header->format() : KxlStr();
  const long encoding = header != nullptr ? header->encoding() : 0;
  const long characterSet = header != nullptr ? header->characterSet() : 0;
  EXPECT_TRUE(item.copyOut(message));
  if (header != nullptr) {
    header->setFormat(headerFormat);
    header->setEncoding(encoding);
    header->setCharacterSet(characterSet);
  }
  if (format != nullptr) *format = text(message.format());
  return contentOf(message);
}

std::string itemState(KxlItm &item) {
  const KxlHdr *header = dynamic_cast<const KxlHdr *>(&item);
  return recordOf(item) + (header == nullptr ? ""
                                             : "|" + describe(*header) + "|" +
                                                   std::to_string(header->headerFlags()));
}

::testing::AssertionResult sameBytes(const std::string &actual, const std::string &expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto difference =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  return ::testing::AssertionFailure()
         << "lengths " << actual.size() << " and " << expected.size()
         << ", first difference at offset " << (difference.first - actual.begin());
}

Field at(std::size_t offset, std::string value) { return {offset, std::move(value)}; }

Field at(std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(bits >> (8 * i) & 0xff);
  return {offset, bytes};
}

std::string with(std::string base, const std::vector<Field> &fields) {
  for (const Field &field : fields) base.replace(field.offset, field.bytes.size(), field.bytes);
  return base;
}

}  // namespace kxlhdrtest
