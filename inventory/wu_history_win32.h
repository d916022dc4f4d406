#pragma once
// UpdateHistorySource on the Windows Update Agent (wuapi.dll): IUpdateSession,
// IUpdateSearcher::QueryHistory. The calling thread must have initialised COM; everything it
// makes lives and dies within one call.
#include "inventory/beyond_qfe.h"

class WuHistorySourceWin32 : public UpdateHistorySource {
 public:
  std::vector<WuHistoryEntry> ReadHistory(const ComputerRequest& computer) override;
};
