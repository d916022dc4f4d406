#pragma once
// A failed COM call turned into the program's error, with the best text there is for it.
#include <windows.h>

#include <string>

// The description the failing call left on the thread, if any (UTF-8). Read it before any other
// COM call: the next one may replace it.
std::string ErrorInfoDescription();

// Nothing for a success; otherwise raises EOleException with the call's own description, else
// the system's text for the code, else "Erreur OLE %.8x".
void ThrowIfComFailed(HRESULT code);
