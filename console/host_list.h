#pragma once
// The file of /hosts:: one computer name per line.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct HostList {
  std::vector<std::string> hosts;  // UTF-8, in the file's order, repeats kept
  std::string error;               // empty: read; else why not, in French (UTF-8)
};

// Reads the file's bytes. Lines end with LF, CR LF or CR; blanks and tabs around a name are
// dropped; blank lines are skipped, and so is everything from a '#' (no computer name holds one).
// The encoding: UTF-16 with its byte-order mark (what PowerShell 5's ">" writes), UTF-8 with or
// without one, else the system code page, whose names go through `ansiToUtf8`. A file holding a
// zero byte without being UTF-16 is refused: it is not a text file.
HostList ParseHostList(std::string_view fileBytes,
                       const std::function<std::string(std::string_view)>& ansiToUtf8);
