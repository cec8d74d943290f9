// String operations against a std::string model of the text (fuzz/README.md).
#include <climits>
#include <cstdlib>

#include "fuzz_support.hpp"

namespace kxlfuzz {
namespace {

class Session {
 public:
  explicit Session(Input &input) : input_(input) {}

  // Operation byte % 16: the operation; bit 0x10 (or two bits from it): a variant.
  void step() {
    static constexpr void (Session::*kOperations[16])(std::uint8_t) = {
        &Session::replaceText,   &Session::setBytes,     &Session::readNumber,
        &Session::readToken,     &Session::findText,     &Session::compareText,
        &Session::substring,     &Session::join,         &Session::strip,
        &Session::changeStorage, &Session::copyToBuffer, &Session::appendBytes,
        &Session::upperCase,     &Session::replaceText,  &Session::replaceText,
        &Session::replaceText};
    const std::uint8_t operation = input_.byte();
    (this->*kOperations[operation % 16])(operation);
    checkString(string_);
    KXLFUZZ_REQUIRE(textOf(string_) == model_);
  }

 private:
  void replaceText(std::uint8_t) {
    model_ = input_.text();
    string_ = KxlStr(model_.c_str());
    KXLFUZZ_REQUIRE(string_.storage() == (model_.empty() ? 0 : model_.size() + 1));
  }

  void setBytes(std::uint8_t) {
    const std::string bytes = input_.bytes(input_.byte());
    KXLFUZZ_REQUIRE(string_.set(bytes.data(), bytes.size()));
    const bool hasNull = bytes.find('\0') != std::string::npos;
    KXLFUZZ_REQUIRE(string_.storage() == (bytes.empty() ? 0 : bytes.size() + !hasNull));
    model_ = bytes.substr(0, std::strlen(bytes.c_str()));
  }

  // Blanks, tabs, a sign, digits (none: count 0, value kept); saturates to 32 bits.
  void readNumber(std::uint8_t operation) {
    const std::size_t signAt = std::min(model_.find_first_not_of(" \t"), model_.size());
    const std::size_t at = signAt + (model_[signAt] == '+' || model_[signAt] == '-');
    const std::size_t end = std::min(model_.find_first_not_of("0123456789", at), model_.size());
    const long long parsed = std::strtoll(model_.c_str() + signAt, nullptr, 10);
    long value = 0x5a5a;
    const std::size_t count = operation & 0x10 ? string_.cutOut(value) : string_.copyOut(value);
    KXLFUZZ_REQUIRE(count == (end == at ? 0 : end));
    KXLFUZZ_REQUIRE(value ==
                    (end == at ? 0x5a5a : std::clamp<long long>(parsed, INT32_MIN, INT32_MAX)));
    if (operation & 0x10) model_.erase(0, count);
  }

  void readToken(std::uint8_t operation) {
    const bool cut = operation & 0x10;
    const char delimiter = static_cast<char>(input_.byte() % 4 == 0 ? ' ' : input_.byte());
    // The token after leading delimiters (none: unchanged), and copyOut's count.
    const std::size_t skipped = std::min(model_.find_first_not_of(delimiter), model_.size());
    const std::size_t end = std::min(model_.find(delimiter, skipped), model_.size());
    const std::size_t expected = skipped == model_.size() ? 0 : end;
    const std::string expectedToken =
        skipped == model_.size() ? "unchanged" : model_.substr(skipped, end - skipped);
    KxlStr token("unchanged");
    const std::size_t count =
        cut ? string_.cutOut(token, delimiter) : string_.copyOut(token, delimiter);
    checkString(token);
    KXLFUZZ_REQUIRE(textOf(token) == expectedToken);
    if (!cut) return KXLFUZZ_REQUIRE(count == expected);
    // A cut also drops the delimiters after the token (not blanks or nulls).
    model_.erase(0, expected);
    const std::size_t stripped = expected != 0 && delimiter != ' ' && delimiter != '\0'
                                     ? std::min(model_.find_first_not_of(delimiter), model_.size())
                                     : 0;
    model_.erase(0, stripped);
    KXLFUZZ_REQUIRE(count == expected + stripped);
  }

  void findText(std::uint8_t) {
    const std::string sought = input_.text(8);
    const std::size_t start = input_.byte();
    std::size_t offset = start;
    const bool found = string_.find(KxlStr(sought.c_str()), offset);
    const std::size_t at = start <= model_.size() ? model_.find(sought, start) : std::string::npos;
    KXLFUZZ_REQUIRE(found == (sought.empty() || at != std::string::npos));
    KXLFUZZ_REQUIRE(string_.find(KxlStr(sought.c_str())) ==
                    (sought.empty() || model_.find(sought) != std::string::npos));
    // Offset kept where no match can start, else the match or past the last start.
    const bool kept = sought.empty() || start + sought.size() > model_.size();
    KXLFUZZ_REQUIRE(offset == (kept ? start : found ? at : model_.size() - sought.size() + 1));
  }

  // Unsigned byte order, a proper prefix the smaller: as std::string's.
  void compareText(std::uint8_t) {
    const std::string otherText =
        input_.byte() % 2 == 0 ? model_.substr(0, input_.byte()) : input_.text();
    const KxlStr other(otherText.c_str());
    const short forward = string_.compare(other);
    const int expected = model_.compare(otherText);
    KXLFUZZ_REQUIRE(forward == (expected > 0) - (expected < 0));
    KXLFUZZ_REQUIRE(other.compare(string_) == -forward);
    KXLFUZZ_REQUIRE(string_.compare(otherText.c_str()) == forward);
  }

  void substring(std::uint8_t) {
    const std::size_t offset = input_.byte() % 64;
    const std::size_t length = input_.byte() % 64;
    const KxlStr part = string_(offset, length);
    checkString(part);
    const std::size_t wanted =
        length != 0 ? length : model_.size() - std::min(offset, model_.size());
    const std::string expected = offset < model_.size() && offset + wanted <= model_.size()
                                     ? model_.substr(offset, wanted)
                                     : std::string();
    KXLFUZZ_REQUIRE(textOf(part) == expected);
    KXLFUZZ_REQUIRE(part.storage() == (expected.empty() ? 0 : expected.size() + 1));
  }

  void join(std::uint8_t operation) {
    const std::string other = input_.text(32);
    const int variant = operation >> 4 & 3;
    if (variant == 0) string_ += KxlStr(other.c_str());
    if (variant == 1) string_ = string_ + KxlStr(other.c_str());
    if (variant < 2) model_ += other;
    if (variant == 2) {
      const long value = static_cast<std::int32_t>(input_.int32());
      string_ += value;
      model_ += std::to_string(value);
    } else if (variant == 3) {
      const char ch = static_cast<char>(input_.byte());
      string_ = string_ + ch;
      if (ch != '\0') model_ += ch;
    }
    KXLFUZZ_REQUIRE(string_.completionCode() == KXCC_OK);
  }

  void strip(std::uint8_t operation) {
    const bool trailing = operation & 0x10;
    const char ch = static_cast<char>(input_.byte() % 2 == 0 ? ' ' : input_.byte());
    const std::size_t storage = string_.storage();
    const std::size_t removed = trailing ? string_.stripTrailing(ch) : string_.stripLeading(ch);
    // Nothing is stripped of the null character; a trailing strip keeps the storage.
    const std::size_t expected =
        ch == '\0' ? 0
        : trailing ? model_.size() - (model_.find_last_not_of(ch) + 1)  // npos + 1 is 0
                   : std::min(model_.find_first_not_of(ch), model_.size());
    model_.erase(trailing ? model_.size() - expected : 0, expected);
    KXLFUZZ_REQUIRE(removed == expected);
    KXLFUZZ_REQUIRE(!trailing || ch == '\0' || string_.storage() == storage);
  }

  // A refusal leaves the text as it was: step() compares it with the model.
  void changeStorage(std::uint8_t) {
    const std::size_t size = input_.size();
    if (!string_.setStorage(size)) {
      return KXLFUZZ_REQUIRE(string_.reasonCode() == KXRC_STORAGE_NOT_AVAILABLE);
    }
    KXLFUZZ_REQUIRE(string_.storage() == size);
    model_ = size == 0 ? std::string() : model_.substr(0, std::min(model_.size(), size - 1));
  }

  void copyToBuffer(std::uint8_t) {
    const std::size_t length = input_.byte() % 48;
    const char pad = static_cast<char>(input_.byte());
    std::string expected = model_.substr(0, length);
    expected.resize(length, pad);
    std::string buffer(length + 1, '\x7f');
    string_.clearErrorCodes();
    KXLFUZZ_REQUIRE(string_.copyOut(&buffer[0], length, pad));
    KXLFUZZ_REQUIRE(buffer == expected + '\x7f');
    KXLFUZZ_REQUIRE(string_.reasonCode() ==
                    (model_.size() > length ? KXRC_DATA_TRUNCATED : KXRC_NONE));
  }

  void appendBytes(std::uint8_t) {
    std::string bytes = input_.bytes(input_.byte() % 32);
    KXLFUZZ_REQUIRE(string_.pasteIn(bytes.data(), bytes.size()));
    std::replace(bytes.begin(), bytes.end(), '\0', '.');
    model_ += bytes;
  }

  void upperCase(std::uint8_t) {
    const KxlStr upper = string_.upperCase();
    checkString(upper);
    KXLFUZZ_REQUIRE(upper.length() == model_.size());
    KXLFUZZ_REQUIRE(upper.storage() == string_.storage());
  }

  Input &input_;
  KxlStr string_;
  std::string model_;
};

}  // namespace
}  // namespace kxlfuzz

void kxlfuzz::run(Input &input) { runSession<Session>(input, 64); }
