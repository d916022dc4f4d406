#pragma once
// How the window reads the sources beyond WMI (Windows Update's history, the servicing
// packages) without freezing: in the background, while the window goes on handling its
// messages. The Windows adapter is app/beyond_qfe_port_win32.cpp; tests read fakes in place.
#include <functional>
#include <string>

#include "inventory/beyond_qfe.h"

class BeyondQfePort {
 public:
  virtual ~BeyondQfePort() = default;
  // Reads the sources `which` names on `computer` (ReadBeyondQfe) and returns what they gave.
  // While they read it calls `pump` whenever messages wait for the window, and at least every
  // 100 ms; once `pump` answers false (the user asked to stop), the reading is told to stop and
  // the call returns soon after, each source not finished failed with kCancelledCode, even if a
  // source is still blocked in a call it cannot leave (it is then left to end on its own).
  virtual BeyondQfeUpdates Read(UpdateSources which, const ComputerRequest& computer,
                                const std::function<bool()>& pump) = 0;
};
