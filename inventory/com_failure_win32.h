#pragma once
// A failed COM call turned into the program's error, with the best text there is for it.
#include <windows.h>

#include <string>

// The description the failing call left on the thread, if any (UTF-8). Read it before any other
// COM call: the next one may replace it.
std::string ErrorInfoDescription();

// The text a provider has for its own codes (WMI's for 0x8004xxxx); empty when it has none.
using ProviderText = std::string (*)(HRESULT code);

// Nothing for a success; otherwise raises EOleException with the provider's text for the code,
// else the call's own description, else the system's text, else "Erreur OLE %.8x". The call's
// description is taken first, before the provider is asked (a COM call that may replace it).
void ThrowIfComFailed(HRESULT code, ProviderText providerText = nullptr);
