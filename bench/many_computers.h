#pragma once
// Fake computers for the benchmarks of the run over computers: `computers` of `rows` objects
// each, computer i answering after 20 to 200 ms (the same delays every run), times a scale
// factor read from FIXTALLY_RUN_DELAY_SCALE (default 1) for a quicker run; the ratio to the
// limit is what counts, not the absolute time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/computer_run.h"
#include "scripted_computers.h"

struct ManyComputers {
  std::shared_ptr<ScriptedWorld> world;
  std::vector<ComputerRequest> requests;
  double delaySumMs = 0;  // the sum of every answering computer's delay, as slept
  std::size_t dead = 0;   // computers that answer only long after any timeout
};

// Delays of minMs to maxMs before the scale. With deadAfterMs, every second computer is dead: it
// answers only after deadAfterMs (scaled too), as a connection WMI keeps trying for minutes.
ManyComputers MakeManyComputers(std::size_t computers, int rows, std::uint32_t minMs = 20,
                                std::uint32_t maxMs = 200, std::uint32_t deadAfterMs = 0);

// FIXTALLY_RUN_DELAY_SCALE (default 1).
double DelayScale();

// Ports over the computers' world, on the standard library's threads.
RunPorts ManyComputersPorts(ThreadStarter& threads, const std::shared_ptr<ScriptedWorld>& world);

// Waits until no thread of a run still holds the world (a thread may end a little after it
// posted its result).
void WaitForThreads(const std::shared_ptr<ScriptedWorld>& world);
