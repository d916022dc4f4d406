#pragma once
// The web-link template is edited by the user in the settings file, so it is applied here by the
// program's own reader of the runtime's format syntax, never by a printf-family function.
#include <string>
#include <string_view>

// Applies `templ` to one text argument. Directives: "%%" and "%[index:][-][width][.precision]s"
// (either case of s): width pads with blanks on the left, or on the right after "-"; precision
// keeps at most that many characters; index 0 names the one argument.
// Raises EFixtallyError for any directive that does not fit one text argument: another type,
// "*", an unterminated directive or a width above kMaxFormatWidth ("Le format '...' est
// incorrect ou incompatible avec l'argument"), and for a directive that asks for an argument
// after the one that exists ("Aucun argument pour le format '...'").
std::string FormatWithOneText(std::string_view templ, std::string_view argument);

// A width that large can only come from a hostile or broken template.
inline constexpr int kMaxFormatWidth = 100000;
