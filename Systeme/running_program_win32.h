#pragma once
// What both programs ask of the running process: where its executable is, and this year.
#include <string>

// The executable's full path in the system code page, however long.
std::string ExecutablePath();

// This year on the local clock, for dates written without their year.
int CurrentYear();
