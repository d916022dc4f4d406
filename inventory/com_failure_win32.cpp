#include "inventory/com_failure_win32.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdint>

#include "Systeme/com_owners_win32.h"
#include "Systeme/errors.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "inventory/ole_message.h"

std::string ErrorInfoDescription() {
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return {};
  UniqueBstr description;
  if (FAILED(info->GetDescription(description.put()))) return {};
  return WideToUtf8(description.view());
}

void ThrowIfComFailed(HRESULT code, ProviderText providerText) {
  if (SUCCEEDED(code)) return;
  const std::string description = ErrorInfoDescription();
  const std::string provider = providerText ? providerText(code) : std::string();
  const auto wideCode = static_cast<std::int32_t>(code);
  throw EOleException(FirstOleMessage(wideCode, {provider, description, SystemMessage(code)}),
                      wideCode);
}
