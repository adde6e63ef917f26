// A text without the blanks around it (spaces, tabs, line ends), as typed fields and pasted
// links come.
#pragma once

#include <cstddef>
#include <string_view>

namespace bruvik {

inline std::string_view trimmed(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\n\r\v\f";
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace bruvik
