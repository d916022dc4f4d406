#pragma once
#include <string>

// The text without any trailing backslash.
std::string StripTrailingBackslashes(std::string text);
// The folder of the running executable, given its full path: everything up to the last "\" or
// "/", without trailing backslashes. For "C:\Fixtally.exe" that is "C:", so that joining it
// with a backslash and a file name gives exactly one backslash after the drive.
std::string ApplicationFolder(const std::string& executablePath);
