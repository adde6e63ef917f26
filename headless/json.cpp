#include "headless/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "model/numtext.h"

namespace bruvik {
namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is not valid (overlong
// forms, surrogates and values above U+10FFFF included).
std::size_t utf8_length(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(i);
  std::size_t n = 0;
  std::uint32_t cp = 0;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    cp = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    cp = b & 0x0Fu;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    cp = b & 0x07u;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3Fu);
  }
  if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && cp < 0x10000) ||
      cp > 0x10FFFF) {
    return 0;
  }
  return n;
}

bool is_valid_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = utf8_length(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

// nlohmann's own repair gives one U+FFFD for a cut sequence ("\xE2\x82"); the outputs have
// always given one per byte, so strings are repaired before nlohmann sees them.
void repair_strings(Json& value) {
  if (value.is_string()) {
    std::string& s = value.get_ref<std::string&>();
    if (!is_valid_utf8(s)) s = valid_utf8(s);
  } else if (value.is_structured()) {
    for (Json& member : value) repair_strings(member);
  }
}

std::string dump(Json value) {
  repair_strings(value);
  return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

// Printable ASCII without quote or backslash stands in JSON as it is.
bool plain_ascii(std::string_view s) {
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b > 0x7F || c == '"' || c == '\\') return false;
  }
  return true;
}

void append_json_string(std::string& out, std::string_view text) {
  if (plain_ascii(text)) {
    out += '"';
    out.append(text);
    out += '"';
  } else {
    out += dump(Json(text));
  }
}

// The shortest text that reads back, as std::to_chars writes it; "null" when not finite.
char* write_number(char* first, char* last, double value) {
  if (!std::isfinite(value)) return std::copy_n("null", 4, first);
  // A whole number below 10^4 is its digits: in the exponent form it would take five or more
  // characters (1e+03). Most figures are such counts; the general text costs ten times more.
  if (value > -1e4 && value < 1e4 && value == static_cast<int>(value) &&
      !(value == 0 && std::signbit(value))) {
    return std::to_chars(first, last, static_cast<int>(value)).ptr;
  }
  return numtext::write_round_trip(first, value);
}

// A line break, after a comma or not, and `blanks` blanks: one append for the usual depths.
void append_break(std::string& out, bool comma, std::size_t blanks) {
  static constexpr std::string_view kBreak =
      ",\n                                                                ";
  constexpr std::size_t kMost = kBreak.size() - 2;
  const std::string_view head = comma ? kBreak : kBreak.substr(1);
  out.append(head.substr(0, head.size() - kMost + std::min(blanks, kMost)));
  if (blanks > kMost) out.append(blanks - kMost, ' ');
}

}  // namespace

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t n = utf8_length(text, i); n > 0) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string json_string(std::string_view text) {
  std::string out;
  append_json_string(out, text);
  return out;
}

std::string json_number(double value) {
  char buf[32];
  return std::string(buf, write_number(buf, buf + sizeof buf, value));
}

std::string json_text(Json value) {
  return dump(std::move(value)) + "\n";
}

JsonWriter& JsonWriter::key(std::string_view name) {
  place();
  append_json_string(out_, name);
  out_.append(": ", 2);
  after_key_ = true;
  return *this;
}

void JsonWriter::string(std::string_view text) {
  place();
  append_json_string(out_, text);
}

void JsonWriter::number(double value) {
  place();
  char buf[32];
  out_.append(buf, write_number(buf, buf + sizeof buf, value));
}

void JsonWriter::number(const std::optional<double>& value) {
  if (value) {
    number(*value);
  } else {
    null();
  }
}

void JsonWriter::boolean(bool value) {
  place();
  out_.append(value ? std::string_view("true") : std::string_view("false"));
}

void JsonWriter::null() {
  place();
  out_.append("null", 4);
}

void JsonWriter::place() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (depth_ == 0) return;
  const std::uint64_t bit = std::uint64_t{1} << depth_;
  append_break(out_, (filled_ & bit) != 0, 2 * static_cast<std::size_t>(depth_));
  filled_ |= bit;
}

void JsonWriter::open(char bracket) {
  place();
  out_ += bracket;
  if (++depth_ >= 64) throw std::logic_error("JSON nested too deep");
  filled_ &= ~(std::uint64_t{1} << depth_);
}

void JsonWriter::close(char bracket) {
  if ((filled_ & (std::uint64_t{1} << depth_)) != 0) {
    append_break(out_, false, 2 * static_cast<std::size_t>(depth_ - 1));
  }
  --depth_;
  out_ += bracket;
}

std::string csv_field(std::string_view text) {
  const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos &&
                     (text.empty() || (text.front() != ' ' && text.back() != ' '));
  if (plain) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace bruvik
