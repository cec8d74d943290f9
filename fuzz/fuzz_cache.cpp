// Drives two message buffers (KxlCac) with operations decoded from the
// input: writes, reads, offsets, lengths, resizes, the fuzzer's own
// application buffers, clearing, assignment and copy construction. Each
// cache's message bytes are kept as a model (bytes an operation left
// undefined, such as those a lengthening exposes, are marked unknown).
//
// After every step: the cache invariants hold; an application buffer in use
// is exactly the fuzzer's buffer at the length given (never reallocated;
// never freed, which the sanitizer would catch); every known byte of the
// message equals the model; a failed operation (completion code 2) changed
// neither the data offset, the message length nor the kind of buffer, and
// only write and moreBytes (which grow the buffer before they can fail) may
// have changed the buffer; a successful one left the fields as it promises,
// and a read returned the model's bytes; a read of no more than the message
// holds, into a destination (none is needed for 0 bytes), succeeds.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz_support.hpp"
#include "kxli.hpp"

namespace {

// Where writes take their bytes from and reads put them: large enough for
// any count below the top of size_t that size() gives.
constexpr std::size_t kScratch = 1024;
std::vector<char> sourceBytes = [] {
  std::vector<char> bytes(kScratch);
  for (std::size_t i = 0; i < kScratch; ++i) bytes[i] = static_cast<char>(i * 131 + i / 251);
  return bytes;
}();
std::vector<char> destinationBytes(kScratch);

// What a failed operation leaves as it was: data offset, message length,
// the kind of buffer and, where `buffer`, the buffer and its length.
auto keptState(const KxlCac &cache, bool buffer) {
  return std::make_tuple(cache.dataOffset(), cache.messageLength(), cache.automaticBuffer(),
                         buffer ? cache.bufferPointer() : nullptr,
                         buffer ? cache.bufferLength() : 0);
}

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
    kxlfuzz::checkCache(cache);
    KXLFUZZ_REQUIRE(bytes.size() == cache.messageLength());
    if (!cache.automaticBuffer()) {
      KXLFUZZ_REQUIRE(cache.bufferPointer() == own.data());
      KXLFUZZ_REQUIRE(cache.bufferLength() == ownLength);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      KXLFUZZ_REQUIRE(!known[i] || cache.bufferPointer()[i] == bytes[i]);
    }
  }
};

class Session {
 public:
  explicit Session(kxlfuzz::Input &input) : input_(input) {
    for (Tracked &tracked : caches_) {
      tracked.own.resize(1 + input_.byte() * 4u);
      std::fill(tracked.own.begin(), tracked.own.end(), static_cast<char>(input_.byte()));
    }
  }

  // The operation byte modulo 11 chooses the operation; its top bit the
  // cache operated on, the next one the other cache (assign, copy).
  void step() {
    using Operation = bool (Session::*)(Tracked &, const Tracked &);
    static constexpr Operation kOperations[11] = {
        &Session::write,           &Session::read,         &Session::setDataOffset,
        &Session::setLength,       &Session::resize,       &Session::useBuffer<false>,
        &Session::useBuffer<true>, &Session::clear,        &Session::assign,
        &Session::moreBytes,       &Session::copyConstruct};
    const std::uint8_t operation = input_.byte();
    Tracked &target = caches_[operation >> 7];
    const bool buffer = operation % 11 != 0 && operation % 11 != 9;
    const auto before = keptState(target.cache, buffer);
    if (!(this->*kOperations[operation % 11])(target, caches_[(operation >> 6) & 1])) {
      KXLFUZZ_REQUIRE(target.cache.completionCode() == KXCC_FAILED);
      KXLFUZZ_REQUIRE(keptState(target.cache, buffer) == before);
    }
    for (const Tracked &tracked : caches_) tracked.check();
  }

 private:
  // A size argument: below 1024 (every byte of a message is compared with
  // the model after each step, so messages are kept short), or near the
  // top of size_t.
  std::size_t size() {
    const std::size_t chosen = input_.size();
    return chosen <= 0xffff ? chosen % 1024 : chosen;
  }

  // A source or destination: mostly the scratch area, sometimes null.
  char *pointer(std::vector<char> &scratch) {
    return input_.byte() % 8 == 0 ? nullptr : scratch.data();
  }

  bool write(Tracked &target, const Tracked &) {
    const std::size_t count = size();
    const char *source = pointer(sourceBytes);
    const std::size_t offset = target.cache.dataOffset();
    if (!target.cache.write(count, source)) return false;
    KXLFUZZ_REQUIRE(count == 0 || (source != nullptr && count <= kScratch));
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == offset + count);
    if (target.bytes.size() < offset + count) target.resizeModel(offset + count);
    target.bytes.replace(offset, count, sourceBytes.data(), count);
    target.known.replace(offset, count, count, 1);
    return true;
  }

  bool read(Tracked &target, const Tracked &) {
    const std::size_t count = size();
    char *destination = pointer(destinationBytes);
    const std::size_t offset = target.cache.dataOffset();
    const bool valid = count <= target.bytes.size() - offset && (count == 0 || destination);
    const bool result = target.cache.read(count, destination);
    KXLFUZZ_REQUIRE(result == valid);  // a read of what the message holds succeeds
    KXLFUZZ_REQUIRE(!result || target.cache.dataOffset() == offset + count);
    for (std::size_t i = 0; result && i < count; ++i) {
      KXLFUZZ_REQUIRE(!target.known[offset + i] || destination[i] == target.bytes[offset + i]);
    }
    return result;
  }

  bool setDataOffset(Tracked &target, const Tracked &) {
    const std::size_t offset = size();
    if (!target.cache.setDataOffset(offset)) return false;
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == offset);
    if (offset > target.bytes.size()) target.resizeModel(offset);
    return true;
  }

  bool setLength(Tracked &target, const Tracked &) {
    const std::size_t length = size();
    const std::size_t offset = target.cache.dataOffset();
    if (!target.cache.setMessageLength(length)) return false;
    KXLFUZZ_REQUIRE(target.cache.messageLength() == length);
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == std::min(offset, length));
    target.resizeModel(length);
    return true;
  }

  bool resize(Tracked &target, const Tracked &) {
    const std::size_t length = size();
    const std::size_t offset = target.cache.dataOffset();
    const std::size_t messageLength = target.cache.messageLength();
    target.cache.clearErrorCodes();
    if (!target.cache.resizeBuffer(length)) {
      KXLFUZZ_REQUIRE(target.cache.reasonCode() == (target.cache.automaticBuffer()
                                                        ? KXRC_STORAGE_NOT_AVAILABLE
                                                        : KXRC_USER_BUFFER_NOT_RESIZABLE));
      return false;
    }
    KXLFUZZ_REQUIRE(target.cache.bufferLength() == length);
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == std::min(offset, length));
    KXLFUZZ_REQUIRE(target.cache.reasonCode() ==
                    (length < messageLength ? KXRC_DATA_TRUNCATED : KXRC_NONE));
    target.resizeModel(std::min(messageLength, length));
    return true;
  }

  template <bool full>
  bool useBuffer(Tracked &target, const Tracked &) {
    const std::uint8_t choice = input_.byte();
    const std::size_t length = choice % 4 == 0 ? 0 : size() % (target.own.size() + 1);
    const char *buffer = choice % 8 == 1 ? nullptr : target.own.data();
    const char *automaticBuffer =
        target.cache.automaticBuffer() ? target.cache.bufferPointer() : nullptr;
    if (!(full ? target.cache.useFullBuffer(buffer, length)
               : target.cache.useEmptyBuffer(buffer, length))) {
      return false;
    }
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == 0);
    // Length 0 gives the application buffer up: back to the automatic one.
    KXLFUZZ_REQUIRE(target.cache.automaticBuffer() == (length == 0));
    KXLFUZZ_REQUIRE(length == 0 ? target.cache.bufferPointer() == automaticBuffer
                                : buffer != nullptr);
    if (length != 0) target.ownLength = length;
    target.bytes.assign(full ? target.own.data() : "", full ? length : 0);
    target.known.assign(target.bytes.size(), 1);
    return true;
  }

  bool clear(Tracked &target, const Tracked &) {
    const std::size_t bufferLength = target.cache.bufferLength();
    target.cache.clearMessage();
    target.resizeModel(0);
    KXLFUZZ_REQUIRE(target.cache.bufferLength() == bufferLength);
    return true;
  }

  bool assign(Tracked &target, const Tracked &source) {
    const std::size_t offset = target.cache.dataOffset();
    const std::size_t length = target.cache.messageLength();
    target.cache = source.cache;
    const KxlCac &after = target.cache;
    if (&target == &source) {
      KXLFUZZ_REQUIRE(after.dataOffset() == offset && after.messageLength() == length);
      return true;
    }
    const std::size_t sourceLength = source.cache.messageLength();
    if (after.automaticBuffer()) {
      KXLFUZZ_REQUIRE(after.messageLength() == sourceLength);
      KXLFUZZ_REQUIRE(after.dataOffset() == source.cache.dataOffset());
    } else {
      KXLFUZZ_REQUIRE(after.messageLength() == std::min(after.bufferLength(), sourceLength));
      KXLFUZZ_REQUIRE(after.messageLength() == sourceLength || after.completionCode() != KXCC_OK);
    }
    target.bytes = source.bytes.substr(0, after.messageLength());
    target.known = source.known.substr(0, after.messageLength());
    return true;
  }

  bool moreBytes(Tracked &target, const Tracked &) {
    const std::size_t count = size();
    const bool result = target.cache.moreBytes(count);
    KXLFUZZ_REQUIRE(!result || target.cache.bufferLength() - target.cache.dataOffset() >= count);
    return result;
  }

  bool copyConstruct(Tracked &, const Tracked &source) {
    const KxlCac copy(source.cache);
    kxlfuzz::checkCache(copy);
    KXLFUZZ_REQUIRE(copy.automaticBuffer());
    KXLFUZZ_REQUIRE(copy.messageLength() == source.cache.messageLength());
    KXLFUZZ_REQUIRE(copy.dataOffset() == source.cache.dataOffset());
    KXLFUZZ_REQUIRE(
        copy.messageLength() == 0 ||
        std::memcmp(copy.bufferPointer(), source.cache.bufferPointer(), copy.messageLength()) == 0);
    return true;
  }

  kxlfuzz::Input &input_;
  Tracked caches_[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return kxlfuzz::runSession<Session>(data, size, 64);
}
