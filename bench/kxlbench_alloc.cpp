// Replaces every form of the global allocation and release functions for
// the benchmark program. On ELF platforms the library's allocations bind to
// these too, so an allocation anywhere in a measured case is counted.

#include "kxlbench_alloc.hpp"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};

void *allocate(std::size_t size) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}

void *allocateOrThrow(std::size_t size) {
  void *block = allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

// Over-aligned blocks: the pointer malloc gave is kept just before the
// aligned block, so that releasing needs no size or alignment.
void *allocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
  const std::size_t align = static_cast<std::size_t>(alignment);
  if (size > SIZE_MAX - align - sizeof(void *)) return nullptr;
  void *raw = allocate(size + align + sizeof(void *));
  if (raw == nullptr) return nullptr;
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void *);
  const std::uintptr_t aligned = (first + align - 1) & ~(static_cast<std::uintptr_t>(align) - 1);
  reinterpret_cast<void **>(aligned)[-1] = raw;
  return reinterpret_cast<void *>(aligned);
}

void *allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
  void *block = allocateAligned(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void releaseAligned(void *block) noexcept {
  if (block != nullptr) std::free(static_cast<void **>(block)[-1]);
}

}  // namespace

namespace kxlbench {

std::uint64_t allocationCount() { return allocations.load(std::memory_order_relaxed); }

}  // namespace kxlbench

void *operator new(std::size_t size) { return allocateOrThrow(size); }
void *operator new[](std::size_t size) { return allocateOrThrow(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void *operator new(std::size_t size, std::align_val_t alignment) {
  return allocateAlignedOrThrow(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment) {
  return allocateAlignedOrThrow(size, alignment);
}
void *operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept {
  return allocateAligned(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t &) noexcept {
  return allocateAligned(size, alignment);
}

void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }
void operator delete(void *block, const std::nothrow_t &) noexcept { std::free(block); }
void operator delete[](void *block, const std::nothrow_t &) noexcept { std::free(block); }
void operator delete(void *block, std::align_val_t) noexcept { releaseAligned(block); }
void operator delete[](void *block, std::align_val_t) noexcept { releaseAligned(block); }
void operator delete(void *block, std::size_t, std::align_val_t) noexcept { releaseAligned(block); }
void operator delete[](void *block, std::size_t, std::align_val_t) noexcept {
  releaseAligned(block);
}
void operator delete(void *block, std::align_val_t, const std::nothrow_t &) noexcept {
  releaseAligned(block);
}
void operator delete[](void *block, std::align_val_t, const std::nothrow_t &) noexcept {
  releaseAligned(block);
}
