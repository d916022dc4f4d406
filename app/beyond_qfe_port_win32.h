#pragma once
// BeyondQfePort on a thread of its own: the Windows Update Agent and the registry are read in a
// multithreaded COM apartment while the window's thread waits in MsgWaitForMultipleObjects and
// hands its messages to the window.
#include <vector>

#include "Systeme/unique_handle_win32.h"
#include "app/beyond_qfe_port.h"

class BeyondQfePortWin32 : public BeyondQfePort {
 public:
  BeyondQfeUpdates Read(UpdateSources which, const ComputerRequest& computer,
                        const std::function<bool()>& pump) override;

  // Whether a reading left behind after a stop is still running (in a DCOM call to another
  // computer, say): the process must then end without its libraries' detach code.
  bool ReaderLeftBehind() const;

 private:
  std::vector<UniqueKernelHandle> leftBehind_;  // threads of readings stopped before they ended
};
