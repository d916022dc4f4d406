#include "inventory/record_text.h"

#include <cstring>
#include <limits>
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
  char* block = new char[text.size() + 1];
  std::memcpy(block, text.data(), text.size());
  block[text.size()] = '\0';
  const auto length = static_cast<std::uint32_t>(text.size());
  std::memset(bytes_, 0, sizeof bytes_);
  std::memcpy(bytes_, &block, sizeof block);
  std::memcpy(bytes_ + kSizeOffset, &length, sizeof length);
  bytes_[kTagByte] = kOnHeap;
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
  if (OnHeap()) delete[] HeapData();
}

void RecordText::SetEmpty() noexcept {
  std::memset(bytes_, 0, sizeof bytes_);
  bytes_[kTagByte] = kInlineCapacity;
}

std::ostream& operator<<(std::ostream& out, const RecordText& text) {
  return out << std::string_view(text);
}
