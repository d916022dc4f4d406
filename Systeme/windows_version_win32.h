#pragma once
// The running system's version, as GetVersionExA reports it.
#include "Systeme/supported_windows.h"

OsVersion ReadWindowsVersion();
