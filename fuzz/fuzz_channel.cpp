// Drives the list operations of a channel definition (KxlChl) with a
// sequence decoded from the input: exit names and user data of both sides
// in their one-entry, text-list and string-list forms, with null and empty
// entries and over-long texts; the reading forms; the two compression
// lists; assignment and copy construction. The lists are also kept as a
// model.
//
// After every step both sides and both compression lists read back exactly
// as the model says (names cut to 128 characters, user data to 32, a new
// set of names empties the user data); each replacement ends with the
// codes it must leave (6108 or 2010 for a bad name list and 2316 for too
// much user data, with nothing changed; the warning 6115 for a cut text;
// none otherwise); and at the end a copy taken earlier still holds what
// it held, so no list is shared between channels.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "kxli.hpp"

namespace {

using kxlfuzz::textOf;

constexpr std::size_t kNameWidth = 128;
constexpr std::size_t kDataWidth = 32;
constexpr std::size_t kHeaderSlots = 2;
constexpr std::size_t kMessageSlots = 16;

struct SideCalls {
  std::size_t (KxlChl::*count)() const;
  KxlStr (KxlChl::*name)();
  bool (KxlChl::*names)(std::size_t, KxlStr **);
  KxlStr (KxlChl::*data)();
  bool (KxlChl::*dataList)(std::size_t, KxlStr **);
  bool (KxlChl::*setName)(const char *);
  bool (KxlChl::*setNames)(std::size_t, const char **);
  bool (KxlChl::*setNameStrings)(std::size_t, const KxlStr **);
  bool (KxlChl::*setData)(const char *);
  bool (KxlChl::*setDataList)(std::size_t, const char **);
  bool (KxlChl::*setDataStrings)(std::size_t, const KxlStr **);
};

const SideCalls kSides[2] = {
    {&KxlChl::sendExitCount, &KxlChl::sendExitName, &KxlChl::sendExitNames, &KxlChl::sendUserData,
     &KxlChl::sendUserData, &KxlChl::setSendExitName, &KxlChl::setSendExitNames,
     &KxlChl::setSendExitNames, &KxlChl::setSendUserData, &KxlChl::setSendUserData,
     &KxlChl::setSendUserData},
    {&KxlChl::receiveExitCount, &KxlChl::receiveExitName, &KxlChl::receiveExitNames,
     &KxlChl::receiveUserData, &KxlChl::receiveUserData, &KxlChl::setReceiveExitName,
     &KxlChl::setReceiveExitNames, &KxlChl::setReceiveExitNames, &KxlChl::setReceiveUserData,
     &KxlChl::setReceiveUserData, &KxlChl::setReceiveUserData},
};

struct Model {
  std::vector<std::string> names[2], data[2];
  std::int32_t header[kHeaderSlots] = {-1, -1};
  std::int32_t message[kMessageSlots];
  Model() { std::fill(message, message + kMessageSlots, -1); }
};

// A list of entries as a caller hands it in: null entries are null
// pointers, in both the text and the string form.
struct Entries {
  bool nullList = false;
  std::vector<std::string> texts;
  std::vector<KxlStr> strings;
  std::vector<const char *> pointers;
  std::vector<const KxlStr *> stringPointers;

  const char **textList() { return nullList ? nullptr : pointers.data(); }
  const KxlStr **stringList() { return nullList ? nullptr : stringPointers.data(); }
};

Entries readEntries(kxlfuzz::Input &input) {
  Entries entries;
  const std::uint8_t shape = input.byte();
  const std::size_t count = shape % 5;
  entries.nullList = count != 0 && shape / 5 % 16 == 0;
  entries.texts.reserve(count);  // so that the pointers taken stay valid
  entries.strings.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t kind = input.byte();
    entries.texts.push_back(kind % 16 == 1 ? std::string() : input.text(160));
    entries.strings.emplace_back(entries.texts[i].c_str());
    entries.pointers.push_back(kind % 16 != 0 ? entries.texts[i].c_str() : nullptr);
    entries.stringPointers.push_back(kind % 16 != 0 ? &entries.strings[i] : nullptr);
  }
  return entries;
}

std::size_t leading(const std::int32_t *slots, std::size_t count) {
  return std::find(slots, slots + count, -1) - slots;
}

void requireCodes(const KxlChl &channel, long completion, long reason) {
  KXLFUZZ_REQUIRE(channel.completionCode() == completion);
  KXLFUZZ_REQUIRE(channel.reasonCode() == reason);
}

// The channel reads back as the model says, through every reading form.
void checkChannel(KxlChl &channel, const Model &model) {
  for (int side = 0; side < 2; ++side) {
    const SideCalls &calls = kSides[side];
    const std::vector<std::string> &names = model.names[side];
    KXLFUZZ_REQUIRE((channel.*calls.count)() == names.size());
    KXLFUZZ_REQUIRE(textOf((channel.*calls.name)()) == (names.empty() ? "" : names[0]));
    KXLFUZZ_REQUIRE(textOf((channel.*calls.data)()) ==
                    (model.data[side].empty() ? "" : model.data[side][0]));
    // One more slot than there are exits, the second one skipped (null).
    const std::size_t asked = names.size() + 1;
    std::vector<KxlStr> strings(asked, KxlStr("unread"));
    std::vector<KxlStr *> pointers(asked);
    for (int list = 0; list < 2; ++list) {
      const std::vector<std::string> &expected = list == 0 ? names : model.data[side];
      for (std::size_t i = 0; i < asked; ++i) pointers[i] = i == 1 ? nullptr : &strings[i];
      KXLFUZZ_REQUIRE(
          (channel.*(list == 0 ? calls.names : calls.dataList))(asked, pointers.data()));
      for (std::size_t i = 0; i < asked; ++i) {
        kxlfuzz::checkString(strings[i]);
        const std::string want = i == 1 ? "unread" : i < expected.size() ? expected[i] : "";
        KXLFUZZ_REQUIRE(textOf(strings[i]) == want);
      }
    }
  }
  KXLFUZZ_REQUIRE(channel.headerCompressionCount() == leading(model.header, kHeaderSlots));
  KXLFUZZ_REQUIRE(channel.messageCompressionCount() == leading(model.message, kMessageSlots));
  std::int32_t slots[kMessageSlots + 1];
  std::fill(slots, slots + kMessageSlots + 1, 7);
  KXLFUZZ_REQUIRE(channel.messageCompression(kMessageSlots + 1, slots));
  KXLFUZZ_REQUIRE(std::equal(model.message, model.message + kMessageSlots, slots));
  KXLFUZZ_REQUIRE(slots[kMessageSlots] == 7);
  KXLFUZZ_REQUIRE(channel.headerCompression(1, slots));
  KXLFUZZ_REQUIRE(slots[0] == model.header[0] && slots[1] == model.message[1]);
}

class Session {
 public:
  explicit Session(kxlfuzz::Input &input) : input_(input) {}
  // The copy taken last still holds what it held then.
  ~Session() { checkChannel(copy_, copyModel_); }

  // The operation byte modulo 8 chooses the operation; its top bit the side
  // (send, receive), the next one a variant.
  void step() {
    const std::uint8_t operation = input_.byte();
    const int side = operation >> 7;
    const bool variant = (operation >> 6) & 1;
    channel_.clearErrorCodes();
    if (operation % 8 < 4) replaceList(side, operation % 8 >= 2, operation % 2 == 1);
    if (operation % 8 == 4) replaceOne(side, variant);
    if (operation % 8 == 5) setCompression(variant);
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
  // Names or user data as a list of texts or of strings.
  void replaceList(int side, bool userData, bool strings) {
    Entries entries = readEntries(input_);
    const std::size_t count = entries.texts.size();
    const SideCalls &calls = kSides[side];
    const bool result = strings
                            ? (channel_.*(userData ? calls.setDataStrings : calls.setNameStrings))(
                                  count, entries.stringList())
                            : (channel_.*(userData ? calls.setDataList : calls.setNames))(
                                  count, entries.textList());
    const std::size_t exits = model_.names[side].size();
    if (userData && count > exits) {
      KXLFUZZ_REQUIRE(!result);
      return requireCodes(channel_, KXCC_FAILED, KXRC_TOO_MANY_ENTRIES);
    }
    if (userData) {
      KXLFUZZ_REQUIRE(result);
      std::vector<std::string> data(exits);
      for (std::size_t i = 0; i < count; ++i) {
        if (!entries.nullList && entries.pointers[i]) data[i] = entries.texts[i];
      }
      return storeData(side, data);
    }
    long refusal = entries.nullList ? KXRC_NULL_POINTER : KXRC_NONE;
    for (std::size_t i = 0; i < count && refusal == KXRC_NONE; ++i) {
      if (!entries.pointers[i])
        refusal = KXRC_NULL_POINTER;
      else if (entries.texts[i].empty())
        refusal = KXRC_EMPTY_LIST_ENTRY;
    }
    KXLFUZZ_REQUIRE(result == (refusal == KXRC_NONE));
    if (!result) return requireCodes(channel_, KXCC_FAILED, refusal);
    storeNames(side, entries.texts);
  }

  void replaceOne(int side, bool userData) {
    const std::uint8_t kind = input_.byte();
    const std::string text = input_.text(160);
    const char *pointer = kind % 8 == 0 ? nullptr : text.c_str();
    const SideCalls &calls = kSides[side];
    if (!userData) {
      KXLFUZZ_REQUIRE((channel_.*calls.setName)(pointer));
      return storeNames(side, pointer == nullptr || text.empty() ? std::vector<std::string>()
                                                                 : std::vector<std::string>{text});
    }
    const bool result = (channel_.*calls.setData)(pointer);
    KXLFUZZ_REQUIRE(result == !model_.names[side].empty());
    if (!result) return requireCodes(channel_, KXCC_FAILED, KXRC_TOO_MANY_ENTRIES);
    std::vector<std::string> data(model_.names[side].size());
    if (pointer != nullptr) data[0] = text;
    storeData(side, data);
  }

  // The model after a successful replacement (a new set of names empties
  // the user data), and the warning a cut text leaves.
  void storeNames(int side, const std::vector<std::string> &names) {
    model_.data[side].assign(names.size(), std::string());
    store(model_.names[side], names, kNameWidth);
  }
  void storeData(int side, const std::vector<std::string> &data) {
    store(model_.data[side], data, kDataWidth);
  }
  void store(std::vector<std::string> &into, const std::vector<std::string> &texts,
             std::size_t width) {
    into.clear();
    bool cut = false;
    for (const std::string &text : texts) {
      into.push_back(text.substr(0, width));
      cut = cut || text.size() > width;
    }
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
              message ? model_.message : model_.header);
    requireCodes(channel_, KXCC_OK, KXRC_NONE);
  }

  kxlfuzz::Input &input_;
  KxlChl channel_;
  Model model_;
  KxlChl copy_;
  Model copyModel_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return kxlfuzz::runSession<Session>(data, size, 32);
}
