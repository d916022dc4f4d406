#pragma once
// ServicingPackageSource on the registry: the subkeys of
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Component Based Servicing\Packages, in the
// 64-bit view, of this computer or, through the remote registry service, of another one.
#include "inventory/beyond_qfe.h"

class CbsPackageSourceWin32 : public ServicingPackageSource {
 public:
  std::vector<CbsPackageValues> ReadPackages(const ComputerRequest& computer,
                                             const std::atomic<bool>& stop) override;
};
