// Drives two message buffers (KxlCac) with a sequence of operations decoded
// from the input: writes, reads, offsets, lengths, resizes, the fuzzer's
// own application buffers, clearing, assignment and copy construction.
// Each cache's message bytes are also kept as a model (bytes that an
// operation left undefined, such as those a lengthening exposes, are
// marked unknown).
//
// After every step: data offset <= message length <= buffer length; an
// application buffer in use is exactly the fuzzer's buffer at the length
// given (never reallocated; never freed, which the sanitizer would catch);
// every known byte of the message equals the model; a failed operation
// changed neither the data offset nor the message length, and only write
// and moreBytes (which grow the buffer before they can fail) may have
// changed the buffer; a successful one left the fields as it promises to
// leave, and a read returned the model's bytes; a read of no more than the
// message holds, into a destination (none is needed for 0 bytes), succeeds.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "kxli.hpp"

namespace {

using kxlfuzz::Input;

// Where writes take their bytes from and reads put them: large enough for
// any count below the top of size_t that size() gives.
constexpr std::size_t kScratch = 1024;
std::vector<char> sourceBytes = [] {
  std::vector<char> bytes(kScratch);
  for (std::size_t i = 0; i < kScratch; ++i) bytes[i] = static_cast<char>(i * 131 + i / 251);
  return bytes;
}();
std::vector<char> destinationBytes(kScratch);

struct State {
  const char *buffer;
  std::size_t dataOffset, bufferLength, messageLength;
  bool automatic;
  explicit State(const KxlCac &cache)
      : buffer(cache.bufferPointer()),
        dataOffset(cache.dataOffset()),
        bufferLength(cache.bufferLength()),
        messageLength(cache.messageLength()),
        automatic(cache.automaticBuffer()) {}
};

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
  explicit Session(Input &input) : input_(input) {
    for (Tracked &tracked : caches_) {
      tracked.own.resize(1 + input_.byte() * 4u);
      std::fill(tracked.own.begin(), tracked.own.end(), static_cast<char>(input_.byte()));
    }
  }

  void step() {
    const std::uint8_t operation = input_.byte();
    Tracked &target = caches_[operation >> 7];
    Tracked &other = caches_[(operation >> 6) & 1];
    const State before(target.cache);
    bool result = true;
    bool mayMoveBuffer = false;
    switch (operation % 11) {
      case 0:
        result = write(target, mayMoveBuffer);
        break;
      case 1:
        result = read(target);
        break;
      case 2:
        result = setDataOffset(target);
        break;
      case 3:
        result = setMessageLength(target);
        break;
      case 4:
        result = resize(target);
        break;
      case 5:
        result = useBuffer(target, false);
        break;
      case 6:
        result = useBuffer(target, true);
        break;
      case 7:
        target.cache.clearMessage();
        target.resizeModel(0);
        KXLFUZZ_REQUIRE(target.cache.bufferLength() == before.bufferLength);
        break;
      case 8:
        assign(target, other);
        break;
      case 9: {
        mayMoveBuffer = true;
        const std::size_t count = size();
        result = target.cache.moreBytes(count);
        KXLFUZZ_REQUIRE(!result ||
                        target.cache.bufferLength() - target.cache.dataOffset() >= count);
        break;
      }
      default:
        copyConstruct(other);
        break;
    }
    if (!result) {
      const State after(target.cache);
      KXLFUZZ_REQUIRE(target.cache.completionCode() == KXCC_FAILED);
      KXLFUZZ_REQUIRE(after.dataOffset == before.dataOffset);
      KXLFUZZ_REQUIRE(after.messageLength == before.messageLength);
      KXLFUZZ_REQUIRE(after.automatic == before.automatic);
      if (!mayMoveBuffer) {
        KXLFUZZ_REQUIRE(after.buffer == before.buffer);
        KXLFUZZ_REQUIRE(after.bufferLength == before.bufferLength);
      }
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
  template <class T>
  T *pointer(std::vector<char> &scratch) {
    return input_.byte() % 8 == 0 ? nullptr : scratch.data();
  }

  bool write(Tracked &target, bool &mayMoveBuffer) {
    mayMoveBuffer = true;
    const std::size_t count = size();
    const char *source = pointer<const char>(sourceBytes);
    const std::size_t offset = target.cache.dataOffset();
    if (!target.cache.write(count, source)) return false;
    KXLFUZZ_REQUIRE(count == 0 || (source != nullptr && count <= kScratch));
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == offset + count);
    if (target.bytes.size() < offset + count) target.resizeModel(offset + count);
    target.bytes.replace(offset, count, sourceBytes.data(), count);
    target.known.replace(offset, count, count, 1);
    return true;
  }

  bool read(Tracked &target) {
    const std::size_t count = size();
    char *destination = pointer<char>(destinationBytes);
    const std::size_t offset = target.cache.dataOffset();
    const bool valid = count <= target.bytes.size() - offset && (count == 0 || destination);
    if (!target.cache.read(count, destination)) {
      KXLFUZZ_REQUIRE(!valid);  // a read of what the message holds succeeds
      return false;
    }
    KXLFUZZ_REQUIRE(valid);
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == offset + count);
    for (std::size_t i = 0; i < count; ++i) {
      KXLFUZZ_REQUIRE(!target.known[offset + i] || destination[i] == target.bytes[offset + i]);
    }
    return true;
  }

  bool setDataOffset(Tracked &target) {
    const std::size_t offset = size();
    if (!target.cache.setDataOffset(offset)) return false;
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == offset);
    if (offset > target.bytes.size()) target.resizeModel(offset);
    return true;
  }

  bool setMessageLength(Tracked &target) {
    const std::size_t length = size();
    const std::size_t offset = target.cache.dataOffset();
    if (!target.cache.setMessageLength(length)) return false;
    KXLFUZZ_REQUIRE(target.cache.messageLength() == length);
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == std::min(offset, length));
    target.resizeModel(length);
    return true;
  }

  bool resize(Tracked &target) {
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

  bool useBuffer(Tracked &target, bool full) {
    const std::uint8_t choice = input_.byte();
    const std::size_t length = choice % 4 == 0 ? 0 : size() % (target.own.size() + 1);
    const char *buffer = choice % 8 == 1 ? nullptr : target.own.data();
    const bool wasAutomatic = target.cache.automaticBuffer();
    const char *automaticBuffer = target.cache.bufferPointer();
    const bool used = full ? target.cache.useFullBuffer(buffer, length)
                           : target.cache.useEmptyBuffer(buffer, length);
    if (!used) return false;
    KXLFUZZ_REQUIRE(target.cache.dataOffset() == 0);
    if (length == 0) {
      KXLFUZZ_REQUIRE(target.cache.automaticBuffer());
      KXLFUZZ_REQUIRE(target.cache.bufferPointer() == (wasAutomatic ? automaticBuffer : nullptr));
      target.resizeModel(0);
      return true;
    }
    KXLFUZZ_REQUIRE(buffer != nullptr && !target.cache.automaticBuffer());
    target.ownLength = length;
    target.bytes.assign(full ? target.own.data() : "", full ? length : 0);
    target.known.assign(target.bytes.size(), 1);
    return true;
  }

  void assign(Tracked &target, const Tracked &source) {
    const State before(target.cache);
    target.cache = source.cache;
    const State after(target.cache);
    if (&target == &source) {
      KXLFUZZ_REQUIRE(after.dataOffset == before.dataOffset &&
                      after.messageLength == before.messageLength);
      return;
    }
    const std::size_t sourceLength = source.cache.messageLength();
    if (after.automatic) {
      KXLFUZZ_REQUIRE(after.messageLength == sourceLength);
      KXLFUZZ_REQUIRE(after.dataOffset == source.cache.dataOffset());
    } else {
      KXLFUZZ_REQUIRE(after.messageLength == std::min(after.bufferLength, sourceLength));
      KXLFUZZ_REQUIRE(after.messageLength == sourceLength ||
                      target.cache.completionCode() != KXCC_OK);
    }
    target.bytes = source.bytes.substr(0, after.messageLength);
    target.known = source.known.substr(0, after.messageLength);
  }

  void copyConstruct(const Tracked &source) {
    const KxlCac copy(source.cache);
    kxlfuzz::checkCache(copy);
    KXLFUZZ_REQUIRE(copy.automaticBuffer());
    KXLFUZZ_REQUIRE(copy.messageLength() == source.cache.messageLength());
    KXLFUZZ_REQUIRE(copy.dataOffset() == source.cache.dataOffset());
    KXLFUZZ_REQUIRE(
        copy.messageLength() == 0 ||
        std::memcmp(copy.bufferPointer(), source.cache.bufferPointer(), copy.messageLength()) == 0);
  }

  Input &input_;
  Tracked caches_[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return kxlfuzz::runSession<Session>(data, size, 64);
}
