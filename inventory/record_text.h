#pragma once
// One 8-bit text of a record, in 16 bytes. Up to 15 characters are held in place; a longer text
// gets one heap block of exactly its length, which copies share (the text never changes in
// place; a block goes with its last holder). Most texts of a row are short (identifiers, dates,
// "Security Update"), so most rows allocate nothing beyond their record, where four
// std::string would take 128 bytes of a 64-bit build before any text; and the long ones repeat
// from row to row ("NT AUTHORITY\SYSTEM"), so a reading gives each row the block of the same
// text met before (inventory/read_hotfix_record.h).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

class RecordText {
 public:
  static constexpr std::size_t kInlineCapacity = 15;

  RecordText() noexcept;
  explicit RecordText(std::string_view text);
  RecordText(const RecordText& other) noexcept;  // shares a heap block
  RecordText(RecordText&& other) noexcept;
  RecordText& operator=(std::string_view text);  // safe with a part of this very text
  RecordText& operator=(const RecordText& other) noexcept;
  RecordText& operator=(RecordText&& other) noexcept;
  ~RecordText();

  // Inline, as every sort, search and paint reads them for every row.
  std::size_t size() const noexcept {
    if (!OnHeap()) return kInlineCapacity - bytes_[kTagByte];
    std::uint32_t length = 0;
    std::memcpy(&length, bytes_ + kSizeOffset, sizeof length);
    return length;
  }
  bool empty() const noexcept { return size() == 0; }
  const char* data() const noexcept {
    return OnHeap() ? HeapData() : reinterpret_cast<const char*>(bytes_);
  }
  const char* c_str() const noexcept { return data(); }  // always ends with a NUL
  operator std::string_view() const noexcept { return {data(), size()}; }
  std::string str() const { return std::string(data(), size()); }

  friend bool operator==(const RecordText& text, std::string_view other) noexcept {
    return std::string_view(text) == other;
  }
  friend bool operator==(const RecordText& a, const RecordText& b) noexcept {
    return std::string_view(a) == std::string_view(b);
  }
  friend std::ostream& operator<<(std::ostream& out, const RecordText& text);

 private:
  // bytes_[15] says which form the text has: kInlineCapacity - size for a text held in place (so
  // a 15-character text's last byte doubles as its NUL), kOnHeap for a heap block, whose address
  // is in bytes 0.. and whose length is in bytes 8..11. The block begins with the count of the
  // texts that hold it, then the characters and a NUL.
  static constexpr unsigned char kOnHeap = 0x80;
  static constexpr std::size_t kTagByte = 15;
  static constexpr std::size_t kSizeOffset = 8;
  static constexpr std::size_t kHolders = sizeof(std::uint32_t);

  bool OnHeap() const noexcept { return bytes_[kTagByte] == kOnHeap; }
  void Swap(RecordText& other) noexcept;
  char* Block() const noexcept {
    char* block = nullptr;
    std::memcpy(&block, bytes_, sizeof block);
    return block;
  }
  const char* HeapData() const noexcept { return Block() + kHolders; }
  void Release() noexcept;
  void SetEmpty() noexcept;

  alignas(8) unsigned char bytes_[16];
};
