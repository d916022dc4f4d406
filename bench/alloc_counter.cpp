// Every block carries its requested size in a header in front of it, so that the unsized
// operator delete can take the right amount back.
#include "bench/alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

// Updated atomically: a thread of the benchmark library must not tear them.
struct Counters {
  std::size_t liveBytes = 0;
  std::size_t liveAllocations = 0;
  std::size_t liveChunkBytes = 0;
};
Counters counters;

constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t GlibcChunkSize(std::size_t size) {
  const std::size_t chunk = (size + 8 + 15) & ~std::size_t{15};
  return chunk < 32 ? 32 : chunk;
}

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) return nullptr;
  *static_cast<std::size_t*>(block) = size;
  __atomic_add_fetch(&counters.liveBytes, size, __ATOMIC_RELAXED);
  __atomic_add_fetch(&counters.liveAllocations, 1, __ATOMIC_RELAXED);
  __atomic_add_fetch(&counters.liveChunkBytes, GlibcChunkSize(size), __ATOMIC_RELAXED);
  return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  const std::size_t size = *static_cast<std::size_t*>(block);
  __atomic_sub_fetch(&counters.liveBytes, size, __ATOMIC_RELAXED);
  __atomic_sub_fetch(&counters.liveAllocations, 1, __ATOMIC_RELAXED);
  __atomic_sub_fetch(&counters.liveChunkBytes, GlibcChunkSize(size), __ATOMIC_RELAXED);
  std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

AllocationCount CurrentAllocations() {
  return {__atomic_load_n(&counters.liveBytes, __ATOMIC_RELAXED),
          __atomic_load_n(&counters.liveAllocations, __ATOMIC_RELAXED),
          __atomic_load_n(&counters.liveChunkBytes, __ATOMIC_RELAXED)};
}

void* operator new(std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* pointer) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  Release(pointer);
}
