#pragma once
// Whether a computer name the user gave is the computer the program runs on. The registry and
// the Windows Update Agent must then be opened directly: through the remote registry service or
// DCOM they would need a service that may well be stopped, and rights a local reader lacks. WMI
// refuses an account on a connection to this computer (WBEM_E_LOCAL_CREDENTIALS), so this
// computer is read with the current account.
#include <string>
#include <string_view>

// True for "", ".", "localhost", the loopback addresses and this computer's NetBIOS, DNS host
// and fully qualified names, in any letter case. `name` is UTF-8.
bool IsThisComputer(std::string_view name);

// This computer's DNS host name (GetComputerNameEx), its NetBIOS name when it has none. UTF-8.
std::string ThisComputerName();
