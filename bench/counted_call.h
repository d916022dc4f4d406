#pragma once
// Marks the work a benchmark times, for scripts/bench_growth.sh. Under callgrind started with
// --collect-atstart=no, only the marked work is counted, and each marked run is dumped on its
// own, so the set-up around it never mixes in. Outside callgrind a mark costs a few
// instructions; without valgrind's headers it is empty.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define FIXTALLY_COUNTED_CALLS 1
#endif

class CountedCall {
 public:
  CountedCall() {
#ifdef FIXTALLY_COUNTED_CALLS
    CALLGRIND_TOGGLE_COLLECT;
#endif
  }
  ~CountedCall() {
#ifdef FIXTALLY_COUNTED_CALLS
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS;
#endif
  }
  CountedCall(const CountedCall&) = delete;
  CountedCall& operator=(const CountedCall&) = delete;
};
