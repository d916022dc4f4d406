#include "inventory/record_blocks.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define FIXTALLY_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define FIXTALLY_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#endif
#endif
#ifndef FIXTALLY_POISON
#define FIXTALLY_POISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

constexpr std::size_t RoundUp(std::size_t size) {
  return (size + kRecordAlignment - 1) / kRecordAlignment * kRecordAlignment;
}

// A block begins with the count of what holds it: its records, and the cutting while it is the
// open block. Records follow, each behind its block's address.
struct BlockHeader {
  std::atomic<std::uint32_t> holders;
};
constexpr std::size_t kFirstRecord = RoundUp(sizeof(BlockHeader));
constexpr std::size_t kBlockAddress = RoundUp(sizeof(char*));

// The block records are being cut from, and how far; guarded by `cutting`. Threads meet here
// only once per record read from WMI, so a spin is all the guard needs.
std::atomic_flag cutting = ATOMIC_FLAG_INIT;
char* openBlock = nullptr;
std::size_t openUsed = 0;

BlockHeader& HeaderOf(char* block) {
  return *std::launder(reinterpret_cast<BlockHeader*>(block));
}

void Release(char* block) noexcept {
  if (HeaderOf(block).holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    HeaderOf(block).~BlockHeader();
    ::operator delete(block);
  }
}

class CuttingLock {
 public:
  CuttingLock() {
    while (cutting.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~CuttingLock() { cutting.clear(std::memory_order_release); }
  CuttingLock(const CuttingLock&) = delete;
  CuttingLock& operator=(const CuttingLock&) = delete;
};

}  // namespace

void* AllocateRecord(std::size_t size) {
  const std::size_t room = kBlockAddress + RoundUp(size);
  if (room > kBlockSize - kFirstRecord) throw std::bad_alloc();
  CuttingLock lock;
  if (openBlock == nullptr || openUsed + room > kBlockSize) {
    // The new block is made before the full one is let go: should it fail, nothing changed.
    auto* block = static_cast<char*>(::operator new(kBlockSize));
    ::new (block) BlockHeader{1};
    if (openBlock != nullptr) Release(openBlock);
    openBlock = block;
    openUsed = kFirstRecord;
  }
  char* cut = openBlock + openUsed;
  openUsed += room;
  HeaderOf(openBlock).holders.fetch_add(1, std::memory_order_relaxed);
  std::memcpy(cut, &openBlock, sizeof openBlock);
  return cut + kBlockAddress;
}

void FreeRecord(void* record, std::size_t size) noexcept {
  if (record == nullptr) return;
  char* cut = static_cast<char*>(record) - kBlockAddress;
  char* block = nullptr;
  std::memcpy(&block, cut, sizeof block);
  // Never cut again: a record used after its end is caught where the sanitizer runs.
  FIXTALLY_POISON(cut, kBlockAddress + size);
  Release(block);
}
