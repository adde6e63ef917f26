#include "headless/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

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

// nlohmann's own repair gives one U+FFFD for a cut sequence ("\xE2\x82"); the outputs have
// always given one per byte, so strings are repaired before nlohmann sees them.
void repair_strings(Json& value) {
  if (value.is_string()) {
    std::string& s = value.get_ref<std::string&>();
    s = valid_utf8(s);
  } else if (value.is_structured()) {
    for (Json& member : value) repair_strings(member);
  }
}

std::string dump(Json value) {
  repair_strings(value);
  return value.dump(2, ' ', false, Json::error_handler_t::replace);
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
  return dump(Json(text));
}

std::string json_number(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : "null";
}

Json json_value(const std::optional<double>& number) {
  return number ? Json(*number) : Json(nullptr);
}

std::string json_text(Json value) {
  return dump(std::move(value)) + "\n";
}

void write_json_streamed(std::ostream& out, const Json& document, std::string_view array_key,
                         std::size_t count, const std::function<Json(std::size_t)>& element) {
  const std::string text = json_text(document);
  // A top-level member is the only one that stands two blanks in; its key is unique there.
  const std::string member = "\n  " + json_string(array_key) + ": []";
  const std::size_t at = text.find(member);
  if (at == std::string::npos) throw std::logic_error("no empty array to stream into");
  if (count == 0) {
    out << text;
    return;
  }
  const std::size_t open = at + member.size() - 1;  // just after the '['
  out.write(text.data(), static_cast<std::streamsize>(open));
  for (std::size_t i = 0; i < count; ++i) {
    // Line breaks in the dump are all layout (those inside strings are escaped), so each one
    // takes the two levels by which the element stands in.
    const std::string item = dump(element(i));
    std::string indented = i == 0 ? "\n    " : ",\n    ";
    indented.reserve(item.size() + item.size() / 8);
    for (const char c : item) {
      indented += c;
      if (c == '\n') indented += "    ";
    }
    out << indented;
  }
  out << "\n  ";
  out.write(text.data() + open, static_cast<std::streamsize>(text.size() - open));
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
