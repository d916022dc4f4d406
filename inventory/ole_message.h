#pragma once
// The message of a failed COM or WMI call. Several sources may describe a failure, each more
// or less well; the first that says something is the one the user reads.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Without trailing blanks, control characters and full stops.
std::string TrimOleMessage(std::string text);

// The first of the texts (UTF-8, in order of preference) that still holds something once
// trimmed and that is more than the code spelt out (Wine's WMI answers "Error code: 0x…" for
// every code); "Erreur OLE %.8x" when none is.
std::string FirstOleMessage(std::int32_t code, std::initializer_list<std::string_view> texts);

// What a connection is made to: an empty server is this computer, an empty namespace the
// default one (defaultNamespace). "\\server\namespace".
std::string WmiConnectionPath(std::string_view server, std::string_view nameSpace,
                              std::string_view defaultNamespace);
