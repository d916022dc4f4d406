#pragma once
// Asks for the memory at an address to come into the cache ahead of its use, for loops that read
// rows out of the order they lie in memory. GCC 12's dead-code pass drops a __builtin_prefetch
// whose address was itself read from memory (as the next row's address is), so where the
// instruction exists it is written out; elsewhere the builtin, or nothing, stands in.
inline void PrefetchForRead(const void* address) {
#if defined(__GNUC__) && defined(__SSE__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#elif defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}
