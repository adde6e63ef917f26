#include "history/lesson_text.h"

#include <cstdint>
#include <optional>

#include "history/trim.h"

namespace bruvik {
namespace {

// The next code point of well-formed UTF-8 (no overlong forms, no surrogates), advancing `at`;
// none when the bytes there are not.
std::optional<char32_t> next_code_point(std::string_view s, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t lead = byte(at);
  int more = 0;
  char32_t c = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    more = 1, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, c = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (at + static_cast<std::size_t>(more) >= s.size()) return std::nullopt;
  for (int k = 1; k <= more; ++k) {
    const std::uint8_t b = byte(at + static_cast<std::size_t>(k));
    if ((b & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  at += static_cast<std::size_t>(more) + 1;
  return c;
}

// Why `text` cannot be kept as `what`, or empty.
std::string problem(std::string_view text, const char* what, std::size_t limit, bool lines) {
  std::size_t count = 0;
  bool control = false;
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char32_t> c = next_code_point(text, at);
    if (!c) return std::string("The ") + what + " holds bytes that are not UTF-8 text.";
    ++count;
    const bool is_control = *c < 0x20 || (*c >= 0x7F && *c <= 0x9F);
    control = control || (is_control && !(lines && *c == U'\n'));
  }
  if (count > limit) {
    return std::string("The ") + what + " is " + std::to_string(count) +
           " characters long, and a " + what + " holds at most " + std::to_string(limit) + ".";
  }
  if (control) {
    return lines ? std::string("The ") + what +
                       " may hold line breaks but no tabs or other control characters."
                 : std::string("The ") + what +
                       " must be one line without tabs or other control characters.";
  }
  return {};
}

}  // namespace

LessonText lesson_text(std::string_view title, std::string_view question) {
  LessonText t;
  t.title = std::string(trimmed(title));
  t.note = std::string(trimmed(question));
  t.refusal = problem(t.title, "title", kMaxLessonTitle, false);
  if (t.refusal.empty()) t.refusal = problem(t.note, "question", kMaxLessonQuestion, true);
  return t;
}

}  // namespace bruvik
