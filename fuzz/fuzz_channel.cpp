// A channel's (KxlChl) exit and compression lists against a model (fuzz/README.md).
#include <array>

#include "fuzz_support.hpp"

namespace kxlfuzz {
namespace {

constexpr std::size_t kWidths[2] = {128, 32};  // of an exit name, of its user data
constexpr std::size_t kHeaderSlots = 2;
constexpr std::size_t kMessageSlots = 16;

// One side's calls; of each pair, [0] for the exit names, [1] for the user data.
struct SideCalls {
  std::size_t (KxlChl::*count)() const;
  std::array<KxlStr (KxlChl::*)(), 2> first;
  std::array<bool (KxlChl::*)(std::size_t, KxlStr **), 2> read;
  std::array<bool (KxlChl::*)(const char *), 2> setOne;
  std::array<bool (KxlChl::*)(std::size_t, const char **), 2> setTexts;
  std::array<bool (KxlChl::*)(std::size_t, const KxlStr **), 2> setStrings;
};

const SideCalls kSides[2] = {
    {&KxlChl::sendExitCount,
     {&KxlChl::sendExitName, &KxlChl::sendUserData},
     {&KxlChl::sendExitNames, &KxlChl::sendUserData},
     {&KxlChl::setSendExitName, &KxlChl::setSendUserData},
     {&KxlChl::setSendExitNames, &KxlChl::setSendUserData},
     {&KxlChl::setSendExitNames, &KxlChl::setSendUserData}},
    {&KxlChl::receiveExitCount,
     {&KxlChl::receiveExitName, &KxlChl::receiveUserData},
     {&KxlChl::receiveExitNames, &KxlChl::receiveUserData},
     {&KxlChl::setReceiveExitName, &KxlChl::setReceiveUserData},
     {&KxlChl::setReceiveExitNames, &KxlChl::setReceiveUserData},
     {&KxlChl::setReceiveExitNames, &KxlChl::setReceiveUserData}},
};

struct Model {
  std::vector<std::string> lists[2][2];  // [side][0: names, 1: user data]
  std::vector<std::int32_t> header = std::vector<std::int32_t>(kHeaderSlots, -1);
  std::vector<std::int32_t> message = std::vector<std::int32_t>(kMessageSlots, -1);
};

// A list as a caller hands it in; null entries are null pointers in both forms.
struct Entries {
  bool nullList = false;
  std::vector<std::string> texts;
  std::vector<KxlStr> strings;
  std::vector<const char *> pointers;
  std::vector<const KxlStr *> stringPointers;

  explicit Entries(Input &input) {
    const std::uint8_t shape = input.byte();
    const std::size_t count = shape % 5;
    nullList = count != 0 && shape / 5 % 16 == 0;
    texts.reserve(count);  // so that the pointers taken stay valid
    strings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t kind = input.byte();
      texts.push_back(kind % 16 == 1 ? std::string() : input.text(160));
      strings.emplace_back(texts[i].c_str());
      pointers.push_back(kind % 16 != 0 ? texts[i].c_str() : nullptr);
      stringPointers.push_back(kind % 16 != 0 ? &strings[i] : nullptr);
    }
  }
};

std::size_t leading(const std::vector<std::int32_t> &slots) {
  return std::find(slots.begin(), slots.end(), -1) - slots.begin();
}

void requireCodes(const KxlChl &channel, long completion, long reason) {
  KXLFUZZ_REQUIRE(channel.completionCode() == completion && channel.reasonCode() == reason);
}

void checkChannel(KxlChl &channel, const Model &model) {
  for (int side = 0; side < 2; ++side) {
    const SideCalls &calls = kSides[side];
    KXLFUZZ_REQUIRE((channel.*calls.count)() == model.lists[side][0].size());
    // One more slot than there are exits, the second one skipped (null).
    const std::size_t asked = model.lists[side][0].size() + 1;
    std::vector<KxlStr> strings(asked, KxlStr("unread"));
    std::vector<KxlStr *> pointers(asked);
    for (int list = 0; list < 2; ++list) {
      const std::vector<std::string> &expected = model.lists[side][list];
      KXLFUZZ_REQUIRE(textOf((channel.*calls.first[list])()) ==
                      (expected.empty() ? "" : expected[0]));
      for (std::size_t i = 0; i < asked; ++i) pointers[i] = i == 1 ? nullptr : &strings[i];
      KXLFUZZ_REQUIRE((channel.*calls.read[list])(asked, pointers.data()));
      for (std::size_t i = 0; i < asked; ++i) {
        checkString(strings[i]);
        const std::string want = i == 1 ? "unread" : i < expected.size() ? expected[i] : "";
        KXLFUZZ_REQUIRE(textOf(strings[i]) == want);
      }
    }
  }
  KXLFUZZ_REQUIRE(channel.headerCompressionCount() == leading(model.header));
  KXLFUZZ_REQUIRE(channel.messageCompressionCount() == leading(model.message));
  std::vector<std::int32_t> slots(kMessageSlots + 1, 7);
  KXLFUZZ_REQUIRE(channel.messageCompression(kMessageSlots + 1, slots.data()));
  KXLFUZZ_REQUIRE(std::equal(model.message.begin(), model.message.end(), slots.begin()));
  KXLFUZZ_REQUIRE(slots[kMessageSlots] == 7);
  KXLFUZZ_REQUIRE(channel.headerCompression(1, slots.data()));
  KXLFUZZ_REQUIRE(slots[0] == model.header[0] && slots[1] == model.message[1]);
}

class Session {
 public:
  explicit Session(Input &input) : input_(input) {}
  ~Session() { checkChannel(copy_, copyModel_); }  // the last copy kept what it held

  // Operation byte % 8: the operation; its top bit: the side; the next: a variant.
  void step() {
    const std::uint8_t operation = input_.byte();
    const int side = operation >> 7;
    channel_.clearErrorCodes();
    if (operation % 8 < 4) replaceList(side, operation % 8 / 2, operation % 2 == 1);
    if (operation % 8 == 4) replaceOne(side, operation >> 6 & 1);
    if (operation % 8 == 5) setCompression(operation >> 6 & 1);
    if (operation % 8 == 6) {
      copy_ = channel_;
      copyModel_ = model_;
      requireCodes(copy_, KXCC_OK, KXRC_NONE);
    } else if (operation % 8 == 7) {
      KxlChl constructed(channel_);
      checkChannel(constructed, model_);
    }
    checkChannel(channel_, model_);
  }

 private:
  void replaceList(int side, int list, bool strings) {
    Entries entries(input_);
    const std::size_t count = entries.texts.size();
    const SideCalls &calls = kSides[side];
    const bool result = strings
                            ? (channel_.*calls.setStrings[list])(
                                  count, entries.nullList ? nullptr : entries.stringPointers.data())
                            : (channel_.*calls.setTexts[list])(
                                  count, entries.nullList ? nullptr : entries.pointers.data());
    const std::size_t exits = model_.lists[side][0].size();
    long refusal = KXRC_NONE;
    if (list == 1 && count > exits) refusal = KXRC_TOO_MANY_ENTRIES;
    if (list == 0 && entries.nullList) refusal = KXRC_NULL_POINTER;
    for (std::size_t i = 0; list == 0 && i < count && refusal == KXRC_NONE; ++i) {
      if (!entries.pointers[i]) refusal = KXRC_NULL_POINTER;
      if (entries.pointers[i] && entries.texts[i].empty()) refusal = KXRC_EMPTY_LIST_ENTRY;
    }
    KXLFUZZ_REQUIRE(result == (refusal == KXRC_NONE));
    if (!result) return requireCodes(channel_, KXCC_FAILED, refusal);
    if (list == 0) return store(side, 0, entries.texts);
    std::vector<std::string> data(exits);
    for (std::size_t i = 0; i < count; ++i)
      if (!entries.nullList && entries.pointers[i]) data[i] = entries.texts[i];
    store(side, 1, data);
  }

  // One exit name (null or empty: none) or the first exit's user data.
  void replaceOne(int side, int list) {
    const std::uint8_t kind = input_.byte();
    const std::string text = input_.text(160);
    const char *pointer = kind % 8 == 0 ? nullptr : text.c_str();
    const bool result = (channel_.*kSides[side].setOne[list])(pointer);
    const std::vector<std::string> &names = model_.lists[side][0];
    KXLFUZZ_REQUIRE(result == (list == 0 || !names.empty()));
    if (!result) return requireCodes(channel_, KXCC_FAILED, KXRC_TOO_MANY_ENTRIES);
    if (list == 0)
      return store(side, 0, std::vector<std::string>(!pointer || text.empty() ? 0 : 1, text));
    std::vector<std::string> data(names.size());
    if (pointer != nullptr) data[0] = text;
    store(side, 1, data);
  }

  void store(int side, int list, const std::vector<std::string> &texts) {
    std::vector<std::string> &into = model_.lists[side][list];
    into.clear();
    bool cut = false;
    for (const std::string &text : texts) {
      into.push_back(text.substr(0, kWidths[list]));
      cut = cut || text.size() > kWidths[list];
    }
    if (list == 0) model_.lists[side][1].assign(texts.size(), std::string());
    requireCodes(channel_, cut ? KXCC_WARNING : KXCC_OK, cut ? KXRC_DATA_TRUNCATED : KXRC_NONE);
  }

  void setCompression(bool message) {
    std::int32_t values[kMessageSlots + 2];
    const std::size_t count = input_.byte() % (kMessageSlots + 3);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t choice = input_.byte();
      values[i] = choice % 4 == 0 ? -1 : static_cast<std::int32_t>(choice);
    }
    KXLFUZZ_REQUIRE(message ? channel_.setMessageCompression(count, values)
                            : channel_.setHeaderCompression(count, values));
    std::copy(values, values + std::min(count, message ? kMessageSlots : kHeaderSlots),
              (message ? model_.message : model_.header).begin());
    requireCodes(channel_, KXCC_OK, KXRC_NONE);
  }

  Input &input_;
  KxlChl channel_;
  Model model_;
  KxlChl copy_;
  Model copyModel_;
};

}  // namespace
}  // namespace kxlfuzz

void kxlfuzz::run(Input &input) { runSession<Session>(input, 32); }
