#include "list/link_format.h"

#include <climits>
#include <cstddef>

#include "Systeme/errors.h"

namespace {

// The messages quote only the start of the template, as the runtime's own messages do.
constexpr std::size_t kQuotedTemplateLength = 31;

[[noreturn]] void ThrowIncompatible(std::string_view templ) {
  throw EFixtallyError("Le format '" + std::string(templ.substr(0, kQuotedTemplateLength)) +
                       "' est incorrect ou incompatible avec l'argument");
}

[[noreturn]] void ThrowNoArgument(std::string_view templ) {
  throw EFixtallyError("Aucun argument pour le format '" +
                       std::string(templ.substr(0, kQuotedTemplateLength)) + "'");
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// One directive after its "%", read left to right. The only argument is a text, so anything
// that needs a number ("*") or formats a number (d, x, f, ...) cannot be applied.
class DirectiveReader {
 public:
  DirectiveReader(std::string_view templ, std::size_t pos, int nextArgument)
      : templ_(templ), pos_(pos), argument_(nextArgument) {}

  // Appends the formatted argument to `out`; returns the position after the directive and
  // the index the next directive takes by default.
  std::size_t Apply(std::string_view argument, std::string& out, int& nextArgument) {
    bool leftJustify = Take('-');
    int width = ReadCount();
    if (Take(':')) {
      argument_ = width < 0 ? 0 : width;
      leftJustify = Take('-');
      width = ReadCount();
    }
    int precision = -1;
    if (Take('.')) precision = ReadCount(/*emptyIsZero=*/true);
    if (pos_ >= templ_.size()) ThrowIncompatible(templ_);
    const char type = templ_[pos_++];
    if (argument_ != 0) ThrowNoArgument(templ_);
    if (type != 's' && type != 'S') ThrowIncompatible(templ_);
    if (width > kMaxFormatWidth) ThrowIncompatible(templ_);

    std::string_view text = argument;
    if (precision >= 0 && text.size() > static_cast<std::size_t>(precision)) {
      text = text.substr(0, static_cast<std::size_t>(precision));
    }
    const std::size_t padding =
        width > 0 && text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0;
    if (!leftJustify) out.append(padding, ' ');
    out.append(text);
    if (leftJustify) out.append(padding, ' ');
    nextArgument = argument_ + 1;
    return pos_;
  }

 private:
  bool Take(char c) {
    if (pos_ < templ_.size() && templ_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // A run of digits, saturated so that no template overflows it; -1 when there is none.
  // "*" would take the count from the next argument, which is a text: never applicable.
  int ReadCount(bool emptyIsZero = false) {
    if (Take('*')) {
      if (argument_ != 0) ThrowNoArgument(templ_);
      ThrowIncompatible(templ_);
    }
    if (pos_ >= templ_.size() || !IsDigit(templ_[pos_])) return emptyIsZero ? 0 : -1;
    long long value = 0;
    while (pos_ < templ_.size() && IsDigit(templ_[pos_])) {
      value = value * 10 + (templ_[pos_++] - '0');
      if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(value);
  }

  std::string_view templ_;
  std::size_t pos_;
  int argument_;  // index of the argument this directive takes
};

}  // namespace

std::string FormatWithOneText(std::string_view templ, std::string_view argument) {
  std::string out;
  out.reserve(templ.size() + argument.size());
  int nextArgument = 0;
  std::size_t pos = 0;
  while (pos < templ.size()) {
    const std::size_t percent = templ.find('%', pos);
    if (percent == std::string_view::npos) {
      out.append(templ.substr(pos));
      break;
    }
    out.append(templ.substr(pos, percent - pos));
    pos = percent + 1;
    if (pos >= templ.size()) ThrowIncompatible(templ);
    if (templ[pos] == '%') {
      out.push_back('%');
      ++pos;
      continue;
    }
    pos = DirectiveReader(templ, pos, nextArgument).Apply(argument, out, nextArgument);
  }
  return out;
}
