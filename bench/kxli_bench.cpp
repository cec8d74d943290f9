// The library's byte moving measured against the machine's: the bound
// cases (memcpy, memmove, a std::vector grown by appends) run in the same
// program and the same run as the library cases of the same size, so that
// bench/run can print each case as a ratio to its bound. Every case
// reports bytes per second and heap allocations per iteration.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "kxlbench_alloc.hpp"
#include "kxli.hpp"

namespace {

constexpr std::int64_t kKiB = 1024;
constexpr std::int64_t kMiB = 1024 * kKiB;
constexpr std::size_t kChunk = 64;

// Runs `body` once per iteration; afterwards records the bytes moved and
// the allocations made per iteration, and marks the case failed when a
// library call reported failure (the measurement would be of a failure).
template <typename Body>
void measure(benchmark::State &state, std::int64_t bytesPerIteration, Body body) {
  bool ok = true;
  const std::uint64_t before = kxlbench::allocationCount();
  for (auto _ : state) ok &= body();
  const std::uint64_t after = kxlbench::allocationCount();
  state.SetBytesProcessed(state.iterations() * bytesPerIteration);
  state.counters["allocs/iter"] =
      benchmark::Counter(static_cast<double>(after - before), benchmark::Counter::kAvgIterations);
  if (!ok) state.SkipWithError("a library call failed");
}

// `size` printable characters followed by a null byte.
std::vector<char> text(std::size_t size) {
  std::vector<char> bytes(size + 1);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 26);
  bytes[size] = '\0';
  return bytes;
}

// A dead-letter header as an application fills it.
KxlDlh deadLetterHeader() {
  KxlDlh header;
  header.setDestinationQueueName("PAYROLL.REQUESTS");
  header.setDestinationQueueManagerName("QM.CENTRAL");
  header.setPutApplicationName("payroll-batch");
  return header;
}

// --- The bound ---------------------------------------------------------

void bound_memcpy(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<char> source = text(size);
  std::vector<char> target(size);
  measure(state, state.range(0), [&] {
    std::memcpy(target.data(), source.data(), size);
    benchmark::ClobberMemory();
    return true;
  });
}

// The move a header prepend makes: the content up by a dead-letter record.
void bound_memmove(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  std::vector<char> buffer = text(size + sizeof(KXDLH));
  measure(state, state.range(0), [&] {
    std::memmove(buffer.data() + sizeof(KXDLH), buffer.data(), size);
    benchmark::ClobberMemory();
    return true;
  });
}

// What an application would write instead of the cache.
void bound_vector_append64(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<char> source = text(size);
  measure(state, state.range(0), [&] {
    std::vector<char> message;
    for (std::size_t offset = 0; offset < size; offset += kChunk) {
      message.insert(message.end(), source.data() + offset, source.data() + offset + kChunk);
    }
    benchmark::DoNotOptimize(message.data());
    return message.size() == size;
  });
}

// --- Cache ---------------------------------------------------------------

void cache_write64(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<char> source = text(size);
  measure(state, state.range(0), [&] {
    KxlMsg message;
    bool ok = true;
    for (std::size_t offset = 0; offset < size; offset += kChunk) {
      ok &= message.write(kChunk, source.data() + offset);
    }
    benchmark::DoNotOptimize(message.bufferPointer());
    return ok && message.messageLength() == size;
  });
}

void cache_read64(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<char> source = text(size);
  std::vector<char> target(size);
  KxlMsg message;
  message.write(size, source.data());
  measure(state, state.range(0), [&] {
    bool ok = message.setDataOffset(0);
    for (std::size_t offset = 0; offset < size; offset += kChunk) {
      char *destination = target.data() + offset;
      ok &= message.read(kChunk, destination);
    }
    benchmark::ClobberMemory();
    return ok;
  });
}

// --- Body items ----------------------------------------------------------

void str_write(benchmark::State &state) {
  KxlStr body(text(static_cast<std::size_t>(state.range(0))).data());
  KxlMsg message;
  measure(state, state.range(0), [&] { return message.writeItem(body); });
}

void str_read(benchmark::State &state) {
  KxlStr body(text(static_cast<std::size_t>(state.range(0))).data());
  KxlMsg message;
  message.writeItem(body);
  measure(state, state.range(0), [&] {
    KxlStr received;
    const bool ok = message.setDataOffset(0) && message.readItem(received);
    benchmark::DoNotOptimize(static_cast<const char *>(received));
    return ok;
  });
}

void bin_write(benchmark::State &state) {
  const std::vector<char> bytes = text(static_cast<std::size_t>(state.range(0)));
  KxlBin body(bytes.data(), static_cast<std::size_t>(state.range(0)));
  KxlMsg message;
  measure(state, state.range(0), [&] { return message.writeItem(body); });
}

void bin_read(benchmark::State &state) {
  const std::vector<char> bytes = text(static_cast<std::size_t>(state.range(0)));
  KxlBin body(bytes.data(), static_cast<std::size_t>(state.range(0)));
  KxlMsg message;
  message.writeItem(body);
  measure(state, state.range(0), [&] {
    KxlBin received;
    const bool ok = message.setDataOffset(0) && message.readItem(received);
    benchmark::DoNotOptimize(received.dataPointer());
    return ok;
  });
}

// --- Header prepend --------------------------------------------------------

// Fills `message` with `size` bytes after one dead-letter header write and
// cuts it back to them, so that its buffer has room for header and content,
// as it has for a message built to be sent. `header` is the one written.
void holdContentWithRoom(KxlMsg &message, KxlDlh &header, std::size_t size) {
  message.write(size, text(size).data());
  message.writeItem(header);
  message.setMessageLength(size);
}

// A dead-letter header onto a message holding `size` bytes, cut back to its
// content after each write.
void dlh_prepend(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  KxlDlh header = deadLetterHeader();
  KxlMsg message;
  holdContentWithRoom(message, header, size);
  measure(state, state.range(0), [&] {
    const bool ok = message.writeItem(header) && message.messageLength() == size + sizeof(KXDLH);
    message.setMessageLength(size);
    return ok;
  });
}

// The same prepend made by the plain steps, for comparison: the whole
// content copied aside into a temporary, the message emptied, the record
// written and the content written back after it. Only the byte moving of
// those steps is made (the record's bytes are those a header write left in
// the buffer), so the case is a lower bound of what the steps cost.
void dlh_prepend_steps(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  KxlDlh header = deadLetterHeader();
  KxlMsg message;
  holdContentWithRoom(message, header, size);
  const std::vector<char> record(message.bufferPointer(), message.bufferPointer() + sizeof(KXDLH));
  measure(state, state.range(0), [&] {
    char *const saved = new char[size];
    std::memcpy(saved, message.bufferPointer(), size);
    message.clearMessage();
    const bool ok = message.write(record.size(), record.data()) && message.write(size, saved) &&
                    message.messageLength() == size + sizeof(KXDLH);
    delete[] saved;
    message.setMessageLength(size);
    return ok;
  });
}

// Reference, work information and dead-letter headers in front of a text.
void header_chain(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  KxlStr body(text(size).data());
  KxlRfh reference;
  reference.setReferenceType("FILE");
  reference.setSourceName("/in/payroll/2024-06.dat");
  reference.setDestinationName("/out/payroll/2024-06.dat");
  KxlWih work;
  work.setServiceName("PAYROLL");
  work.setServiceStep("STEP1");
  KxlDlh dead = deadLetterHeader();
  KxlMsg message;
  message.writeItem(body);
  message.writeItem(reference);
  message.writeItem(work);
  message.writeItem(dead);
  const std::size_t full = message.messageLength();
  message.setMessageLength(size);
  measure(state, state.range(0), [&] {
    const bool ok = message.writeItem(reference) && message.writeItem(work) &&
                    message.writeItem(dead) && message.messageLength() == full;
    message.setMessageLength(size);
    return ok;
  });
}

// --- The road of one message ---------------------------------------------

// Sending: a text and a dead-letter header written into a new message.
// Receiving: the header and the text read back from the data offset 0.
void road(benchmark::State &state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  KxlStr body(text(size).data());
  KxlDlh header = deadLetterHeader();
  measure(state, state.range(0), [&] {
    KxlMsg message;
    bool ok = message.writeItem(body) && message.writeItem(header);
    KxlDlh receivedHeader;
    KxlStr received;
    ok = ok && message.setDataOffset(0) && message.formatIs("KXDEAD  ") &&
         message.readItem(receivedHeader) && message.readItem(received);
    benchmark::DoNotOptimize(static_cast<const char *>(received));
    return ok;
  });
}

// --- String work -----------------------------------------------------------

void string_join(benchmark::State &state) {
  const KxlStr queue("PAYROLL.REQUESTS");
  const KxlStr manager("QM.CENTRAL");
  std::int64_t bytes = 0;
  {
    const KxlStr line = KxlStr("queue ") + queue + " on " + manager + ", depth " + 4711L;
    bytes = static_cast<std::int64_t>(line.length());
  }
  measure(state, bytes, [&] {
    const KxlStr line = KxlStr("queue ") + queue + " on " + manager + ", depth " + 4711L;
    benchmark::DoNotOptimize(static_cast<const char *>(line));
    return line.completionCode() == KXCC_OK;
  });
}

void string_tokenise(benchmark::State &state) {
  const char *const line = "PUT GET BROWSE INQUIRE SET CLOSE OPEN COMMIT BACKOUT CONNECT";
  measure(state, static_cast<std::int64_t>(std::strlen(line)), [&] {
    KxlStr rest(line);
    KxlStr token;
    int tokens = 0;
    while (rest.cutOut(token, ' ') != 0) ++tokens;
    return tokens == 10;
  });
}

void string_numbers(benchmark::State &state) {
  const KxlStr numbers[] = {KxlStr("42"), KxlStr("  -17 items"), KxlStr("\t2147483647"),
                            KxlStr("+1000000"), KxlStr("300 ms")};
  std::int64_t bytes = 0;
  for (const KxlStr &number : numbers) bytes += static_cast<std::int64_t>(number.length());
  measure(state, bytes, [&] {
    long sum = 0;
    std::size_t spanned = 0;
    for (const KxlStr &number : numbers) {
      long value = 0;
      spanned += number.copyOut(value);
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
    return spanned != 0;
  });
}

}  // namespace

BENCHMARK(bound_memcpy)->Arg(100)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(bound_memmove)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(bound_vector_append64)->Arg(kMiB);
BENCHMARK(cache_write64)->Arg(kMiB);
BENCHMARK(cache_read64)->Arg(kMiB);
BENCHMARK(str_write)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(str_read)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(bin_write)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(bin_read)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(dlh_prepend)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(dlh_prepend_steps)->Arg(kKiB)->Arg(64 * kKiB)->Arg(kMiB);
BENCHMARK(header_chain)->Arg(kKiB);
BENCHMARK(road)->Arg(100)->Arg(kMiB);
BENCHMARK(string_join);
BENCHMARK(string_tokenise);
BENCHMARK(string_numbers);

BENCHMARK_MAIN();
