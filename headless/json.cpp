#include "headless/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

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

}  // namespace

std::string json_string(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else if (c < 0x80) {
          out += static_cast<char>(c);
        } else if (const std::size_t n = utf8_length(text, i); n > 0) {
          out.append(text.substr(i, n));
          i += n;
          continue;
        } else {
          out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string json_number(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : "null";
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

void JsonWriter::newline() {
  out_ += '\n';
  out_.append(2 * members_.size(), ' ');
}

void JsonWriter::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!members_.empty()) {
    if (members_.back()++ > 0) out_ += ',';
    newline();
  }
}

void JsonWriter::key(std::string_view name) {
  before_value();
  out_ += json_string(name);
  out_ += ": ";
  after_key_ = true;
}

void JsonWriter::open(char bracket) {
  before_value();
  out_ += bracket;
  members_.push_back(0);
}

void JsonWriter::close(char bracket) {
  const int count = members_.back();
  members_.pop_back();
  if (count > 0) newline();
  out_ += bracket;
  if (members_.empty()) out_ += '\n';
}

void JsonWriter::value(std::string_view text) {
  before_value();
  out_ += json_string(text);
}

void JsonWriter::value(bool on) {
  before_value();
  out_ += on ? "true" : "false";
}

void JsonWriter::value(double number) {
  before_value();
  out_ += json_number(number);
}

void JsonWriter::value(std::int64_t number) {
  before_value();
  out_ += std::to_string(number);
}

void JsonWriter::value(std::uint64_t number) {
  before_value();
  out_ += std::to_string(number);
}

void JsonWriter::null() {
  before_value();
  out_ += "null";
}

}  // namespace bruvik
