#include "inventory/record_text.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

static_assert(sizeof(RecordText) == 16, "a record text is meant to take 16 bytes");
static_assert(sizeof(char*) <= 8, "the heap address must fit before the length");

RecordText::RecordText() noexcept {
  SetEmpty();
}

RecordText::RecordText(std::string_view text) {
  if (text.size() <= kInlineCapacity) {
    std::memset(bytes_, 0, sizeof bytes_);
    if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());
    bytes_[kTagByte] = static_cast<unsigned char>(kInlineCapacity - text.size());
    return;
  }
  if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("a record text holds at most 4 GiB");
  }
  // Aligned for its count of holders, as any new char[] is.
  char* block = new char[kHolders + text.size() + 1];
  ::new (block) std::uint32_t(1);
  std::memcpy(block + kHolders, text.data(), text.size());
  block[kHolders + text.size()] = '\0';
  const auto length = static_cast<std::uint32_t>(text.size());
  std::memset(bytes_, 0, sizeof bytes_);
  std::memcpy(bytes_, &block, sizeof block);
  std::memcpy(bytes_ + kSizeOffset, &length, sizeof length);
  bytes_[kTagByte] = kOnHeap;
}

namespace {

// The holders' count of a block, counted atomically: the console reads computers on threads of
// their own, and a record may end on another thread than the one that read it.
std::atomic_ref<std::uint32_t> HoldersOf(char* block) noexcept {
  return std::atomic_ref<std::uint32_t>(*std::launder(reinterpret_cast<std::uint32_t*>(block)));
}

}  // namespace

RecordText::RecordText(const RecordText& other) noexcept {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  if (OnHeap()) HoldersOf(Block()).fetch_add(1, std::memory_order_relaxed);
}

RecordText& RecordText::operator=(const RecordText& other) noexcept {
  RecordText copy(other);
  Swap(copy);
  return *this;
}

RecordText::RecordText(RecordText&& other) noexcept {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  other.SetEmpty();
}

RecordText& RecordText::operator=(std::string_view text) {
  // The new text is built before the old one is freed, since it may be a part of it.
  RecordText fresh(text);
  Swap(fresh);
  return *this;
}

RecordText& RecordText::operator=(RecordText&& other) noexcept {
  Swap(other);
  return *this;
}

void RecordText::Swap(RecordText& other) noexcept {
  unsigned char mine[sizeof bytes_];
  std::memcpy(mine, bytes_, sizeof bytes_);
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  std::memcpy(other.bytes_, mine, sizeof bytes_);
}

RecordText::~RecordText() {
  Release();
}

void RecordText::Release() noexcept {
  if (!OnHeap()) return;
  char* block = Block();
  if (HoldersOf(block).fetch_sub(1, std::memory_order_acq_rel) == 1) delete[] block;
}

void RecordText::SetEmpty() noexcept {
  std::memset(bytes_, 0, sizeof bytes_);
  bytes_[kTagByte] = kInlineCapacity;
}

std::ostream& operator<<(std::ostream& out, const RecordText& text) {
  return out << std::string_view(text);
}
