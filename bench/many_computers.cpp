#include "bench/many_computers.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "bench/row_generator.h"
#include "fixed_offset_time_zone.h"
#include "native_run_ports.h"

double DelayScale() {
  const char* text = std::getenv("FIXTALLY_RUN_DELAY_SCALE");
  const double scale = text ? std::atof(text) : 1.0;
  return scale > 0 ? scale : 1.0;
}

ManyComputers MakeManyComputers(std::size_t computers, int rows, std::uint32_t minMs,
                                std::uint32_t maxMs, std::uint32_t deadAfterMs) {
  const double scale = DelayScale();
  SeededRandom random(17);
  ManyComputers many;
  std::map<std::string, ComputerScript> scripts;
  for (std::size_t i = 0; i < computers; ++i) {
    const std::string name = "SRV" + std::to_string(i);
    const auto delay =
        static_cast<std::uint32_t>((minMs + random.Below(maxMs - minMs + 1)) * scale + 0.5);
    const bool dead = deadAfterMs != 0 && i % 2 == 1;
    scripts[name] = {
        .objects = rows,
        .kbBase = 1000 * static_cast<int>(i),
        .answerAfterMs = dead ? static_cast<std::uint32_t>(deadAfterMs * scale) : delay};
    many.requests.push_back({name, "", "", ""});
    if (dead) {
      ++many.dead;
    } else {
      many.delaySumMs += delay;
    }
  }
  many.world = std::make_shared<ScriptedWorld>(std::move(scripts));
  return many;
}

RunPorts ManyComputersPorts(ThreadStarter& threads, const std::shared_ptr<ScriptedWorld>& world) {
  return RunPorts{threads,
                  [] { return std::make_shared<NativeMailbox>(); },
                  NativeMilliseconds,
                  [world] { return std::make_unique<ScriptedSource>(world); },
                  TFormatSettings{},
                  std::make_shared<FixedOffsetTimeZone>(0),
                  2026};
}

void WaitForThreads(const std::shared_ptr<ScriptedWorld>& world) {
  while (world.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
