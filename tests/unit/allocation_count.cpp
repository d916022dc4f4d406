// The global operator new and delete of the unit test program: malloc and free, which the
// sanitizers watch as they watch their own, plus a count of the bytes requested while a
// CountedAllocations is alive.
#include "allocation_count.h"

#include <cstdlib>
#include <new>

namespace {

bool counting = false;
std::size_t countedBytes = 0;

void* Allocate(std::size_t size) noexcept {
  if (__atomic_load_n(&counting, __ATOMIC_RELAXED)) {
    __atomic_add_fetch(&countedBytes, size, __ATOMIC_RELAXED);
  }
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

CountedAllocations::CountedAllocations() {
  __atomic_store_n(&countedBytes, 0, __ATOMIC_RELAXED);
  __atomic_store_n(&counting, true, __ATOMIC_RELAXED);
}

CountedAllocations::~CountedAllocations() {
  __atomic_store_n(&counting, false, __ATOMIC_RELAXED);
}

std::size_t CountedAllocations::Bytes() const {
  return __atomic_load_n(&countedBytes, __ATOMIC_RELAXED);
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
  std::free(pointer);
}
void operator delete[](void* pointer) noexcept {
  std::free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  std::free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  std::free(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  std::free(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  std::free(pointer);
}
