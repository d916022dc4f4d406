#pragma once
// Where records live: a scan makes a hundred thousand of them and the next one frees them all
// together, which one heap block each made the slowest part of both under some heaps (Wine's
// among them: 0.2 us a block). Records are cut one after the other from blocks of 64 KiB, each
// record behind the address of its block, and a block goes back to the heap with the last of its
// records. Safe from any thread: the console reads computers on threads of their own and may end
// a record on another.
#include <cstddef>

// Records are aligned to this much at most.
inline constexpr std::size_t kRecordAlignment = 8;

void* AllocateRecord(std::size_t size);
void FreeRecord(void* record, std::size_t size) noexcept;
