#pragma once
// COM initialisation of the calling thread for as long as the scope lives. It uninitialises only
// when its own initialisation succeeded (S_FALSE, "already initialised", counts: it still has to
// be balanced), so a failed or mismatched CoInitializeEx never removes someone else's.
#include <windows.h>
#include <objbase.h>

class ComScope {
 public:
  explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED)
      : result_(CoInitializeEx(nullptr, model)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  HRESULT Result() const { return result_; }
  bool Initialised() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};
