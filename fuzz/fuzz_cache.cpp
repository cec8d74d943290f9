// Two message buffers (KxlCac) against a model of bytes and fields (fuzz/README.md).
#include "fuzz_support.hpp"

namespace kxlfuzz {
namespace {

constexpr std::size_t kScratch = 1024;
std::vector<char> sourceBytes(kScratch), destinationBytes(kScratch);

// Below 1024 (messages are compared byte by byte after each step) or near SIZE_MAX.
std::size_t sizeFrom(Input &input) {
  const std::size_t chosen = input.size();
  return chosen <= 0xffff ? chosen % 1024 : chosen;
}

char *pointerFrom(Input &input, std::vector<char> &scratch) {
  return input.byte() % 8 == 0 ? nullptr : scratch.data();
}

// What a failed operation leaves as it was (the buffer too where `buffer`).
auto keptState(const KxlCac &cache, bool buffer) {
  return std::make_tuple(cache.dataOffset(), cache.messageLength(), cache.automaticBuffer(),
                         buffer ? cache.bufferPointer() : nullptr,
                         buffer ? cache.bufferLength() : 0);
}

// A cache, its model and its operations, which return whether the cache succeeded.
struct Tracked {
  std::vector<char> own;  // this cache's application buffer
  std::size_t ownLength = 0;
  KxlCac cache;
  std::string bytes;  // model of the message, [0, message length)
  std::string known;  // 1 where the model's byte is defined

  void resizeModel(std::size_t length) {
    bytes.resize(length);
    known.resize(length, 0);
  }

  void check() const {
    checkCache(cache);
    KXLFUZZ_REQUIRE(bytes.size() == cache.messageLength());
    KXLFUZZ_REQUIRE(cache.automaticBuffer() ||
                    (cache.bufferPointer() == own.data() && cache.bufferLength() == ownLength));
    for (std::size_t i = 0; i < bytes.size(); ++i)
      KXLFUZZ_REQUIRE(!known[i] || cache.bufferPointer()[i] == bytes[i]);
  }

  bool refused(long reason) const {
    KXLFUZZ_REQUIRE(cache.reasonCode() ==
                    (cache.automaticBuffer() ? KXRC_STORAGE_NOT_AVAILABLE : reason));
    return false;
  }

  bool write(Input &input, const Tracked &) {
    const std::size_t count = sizeFrom(input);
    const char *source = pointerFrom(input, sourceBytes);
    const std::size_t offset = cache.dataOffset();
    if (!cache.write(count, source)) return false;
    KXLFUZZ_REQUIRE(count == 0 || (source != nullptr && count <= kScratch));
    KXLFUZZ_REQUIRE(cache.dataOffset() == offset + count);
    if (bytes.size() < offset + count) resizeModel(offset + count);
    bytes.replace(offset, count, sourceBytes.data(), count);
    known.replace(offset, count, count, 1);
    return true;
  }

  bool read(Input &input, const Tracked &) {
    const std::size_t count = sizeFrom(input);
    char *destination = pointerFrom(input, destinationBytes);
    const std::size_t offset = cache.dataOffset();
    const bool valid = count <= bytes.size() - offset && (count == 0 || destination);
    const bool result = cache.read(count, destination);
    KXLFUZZ_REQUIRE(result == valid);  // a read of what the message holds succeeds
    KXLFUZZ_REQUIRE(!result || cache.dataOffset() == offset + count);
    for (std::size_t i = 0; result && i < count; ++i)
      KXLFUZZ_REQUIRE(!known[offset + i] || destination[i] == bytes[offset + i]);
    return result;
  }

  bool setDataOffset(Input &input, const Tracked &) {
    const std::size_t offset = sizeFrom(input);
    if (!cache.setDataOffset(offset)) return false;
    KXLFUZZ_REQUIRE(cache.dataOffset() == offset);
    if (offset > bytes.size()) resizeModel(offset);
    return true;
  }

  bool setLength(Input &input, const Tracked &) {
    const std::size_t length = sizeFrom(input);
    const std::size_t offset = cache.dataOffset();
    if (!cache.setMessageLength(length)) return false;
    KXLFUZZ_REQUIRE(cache.messageLength() == length);
    KXLFUZZ_REQUIRE(cache.dataOffset() == std::min(offset, length));
    resizeModel(length);
    return true;
  }

  bool resize(Input &input, const Tracked &) {
    const std::size_t length = sizeFrom(input);
    const std::size_t offset = cache.dataOffset();
    const std::size_t messageLength = cache.messageLength();
    cache.clearErrorCodes();
    if (!cache.resizeBuffer(length)) return refused(KXRC_USER_BUFFER_NOT_RESIZABLE);
    KXLFUZZ_REQUIRE(cache.bufferLength() == length);
    KXLFUZZ_REQUIRE(cache.dataOffset() == std::min(offset, length));
    KXLFUZZ_REQUIRE(cache.reasonCode() ==
                    (length < messageLength ? KXRC_DATA_TRUNCATED : KXRC_NONE));
    resizeModel(std::min(messageLength, length));
    return true;
  }

  // The fuzzer's own buffer, empty or full; length 0 gives it up.
  template <bool full>
  bool useBuffer(Input &input, const Tracked &) {
    const std::uint8_t choice = input.byte();
    const std::size_t length = choice % 4 == 0 ? 0 : sizeFrom(input) % (own.size() + 1);
    const char *buffer = choice % 8 == 1 ? nullptr : own.data();
    const char *automatic = cache.automaticBuffer() ? cache.bufferPointer() : nullptr;
    if (!(full ? cache.useFullBuffer(buffer, length) : cache.useEmptyBuffer(buffer, length)))
      return false;
    KXLFUZZ_REQUIRE(cache.dataOffset() == 0);
    KXLFUZZ_REQUIRE(cache.automaticBuffer() == (length == 0));
    KXLFUZZ_REQUIRE(length == 0 ? cache.bufferPointer() == automatic : buffer != nullptr);
    if (length != 0) ownLength = length;
    bytes.assign(full ? own.data() : "", full ? length : 0);
    known.assign(bytes.size(), 1);
    return true;
  }

  bool clear(Input &, const Tracked &) {
    const std::size_t bufferLength = cache.bufferLength();
    cache.clearMessage();
    resizeModel(0);
    KXLFUZZ_REQUIRE(cache.bufferLength() == bufferLength);
    return true;
  }

  bool assign(Input &, const Tracked &source) {
    const auto before = keptState(cache, true);
    cache = source.cache;
    KXLFUZZ_REQUIRE(this != &source || keptState(cache, true) == before);
    const std::size_t sourceLength = source.cache.messageLength();
    if (cache.automaticBuffer()) {
      KXLFUZZ_REQUIRE(cache.messageLength() == sourceLength);
      KXLFUZZ_REQUIRE(cache.dataOffset() == source.cache.dataOffset());
    } else {
      KXLFUZZ_REQUIRE(cache.messageLength() == std::min(cache.bufferLength(), sourceLength));
      KXLFUZZ_REQUIRE(cache.messageLength() == sourceLength || cache.completionCode() != KXCC_OK);
    }
    bytes = source.bytes.substr(0, cache.messageLength());
    known = source.known.substr(0, cache.messageLength());
    return true;
  }

  bool moreBytes(Input &input, const Tracked &) {
    const std::size_t count = sizeFrom(input);
    if (!cache.moreBytes(count)) return refused(KXRC_INSUFFICIENT_BUFFER);
    KXLFUZZ_REQUIRE(cache.bufferLength() - cache.dataOffset() >= count);
    return true;
  }

  bool copyConstruct(Input &, const Tracked &source) {
    const KxlCac copy(source.cache);
    checkCache(copy);
    KXLFUZZ_REQUIRE(copy.automaticBuffer());
    KXLFUZZ_REQUIRE(copy.messageLength() == source.cache.messageLength());
    KXLFUZZ_REQUIRE(copy.dataOffset() == source.cache.dataOffset());
    KXLFUZZ_REQUIRE(std::string(copy.bufferPointer(), copy.messageLength()) ==
                    std::string(source.cache.bufferPointer(), copy.messageLength()));
    return true;
  }
};

class Session {
 public:
  explicit Session(Input &input) : input_(input) {
    for (std::size_t i = 0; i < kScratch; ++i) sourceBytes[i] = char(i * 131 + i / 251);
    for (Tracked &tracked : caches_) {
      tracked.own.resize(1 + input_.byte() * 4u);
      std::fill(tracked.own.begin(), tracked.own.end(), static_cast<char>(input_.byte()));
    }
  }

  // Operation byte % 11: the operation; top bit: the cache; next: the other one.
  void step() {
    static constexpr bool (Tracked::*kOperations[11])(Input &, const Tracked &) = {
        &Tracked::write,           &Tracked::read,         &Tracked::setDataOffset,
        &Tracked::setLength,       &Tracked::resize,       &Tracked::useBuffer<false>,
        &Tracked::useBuffer<true>, &Tracked::clear,        &Tracked::assign,
        &Tracked::moreBytes,       &Tracked::copyConstruct};
    const std::uint8_t operation = input_.byte();
    Tracked &target = caches_[operation >> 7];
    const bool buffer = operation % 11 != 0 && operation % 11 != 9;
    const auto before = keptState(target.cache, buffer);
    if (!(target.*kOperations[operation % 11])(input_, caches_[(operation >> 6) & 1])) {
      KXLFUZZ_REQUIRE(target.cache.completionCode() == KXCC_FAILED);
      KXLFUZZ_REQUIRE(keptState(target.cache, buffer) == before);
    }
    for (const Tracked &tracked : caches_) tracked.check();
  }

 private:
  Input &input_;
  Tracked caches_[2];
};

}  // namespace
}  // namespace kxlfuzz

void kxlfuzz::run(Input &input) { runSession<Session>(input, 64); }
