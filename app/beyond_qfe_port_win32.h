#pragma once
// BeyondQfePort on a thread of its own: the Windows Update Agent and the registry are read in a
// multithreaded COM apartment while the window's thread waits in MsgWaitForMultipleObjects and
// hands its messages to the window.
#include "app/beyond_qfe_port.h"

class BeyondQfePortWin32 : public BeyondQfePort {
 public:
  BeyondQfeUpdates Read(UpdateSources which, const ComputerRequest& computer,
                        const std::function<bool()>& pump) override;
};
