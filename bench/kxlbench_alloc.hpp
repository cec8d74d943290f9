// Heap allocations made by the whole benchmark program, the library
// included: every form of the global allocation functions is replaced in
// this program and counts here.
#ifndef KXLI_BENCH_KXLBENCH_ALLOC_HPP_
#define KXLI_BENCH_KXLBENCH_ALLOC_HPP_

#include <cstdint>

namespace kxlbench {

// Allocations since the program started.
std::uint64_t allocationCount();

}  // namespace kxlbench

#endif  // KXLI_BENCH_KXLBENCH_ALLOC_HPP_
