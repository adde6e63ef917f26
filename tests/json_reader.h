// A small JSON reader for tests: parses the text that the terminal runs print back into values,
// so that tests check the shape and the values rather than the layout.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bruvik::test {

struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // strings; numbers keep their literal here as well
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;  // in the order written

  bool is_null() const { return type == Type::Null; }
  bool has(std::string_view key) const {
    for (const auto& m : members)
      if (m.first == key) return true;
    return false;
  }
  const JsonValue& operator[](std::string_view key) const {
    for (const auto& m : members)
      if (m.first == key) return m.second;
    throw std::out_of_range("no member " + std::string(key));
  }
  const JsonValue& operator[](std::size_t i) const { return items.at(i); }
  std::vector<std::string> keys() const {
    std::vector<std::string> out;
    for (const auto& m : members) out.push_back(m.first);
    return out;
  }
};

class JsonReader {
 public:
  // Throws std::runtime_error on anything that is not one valid JSON value.
  static JsonValue parse(std::string_view text) {
    JsonReader r(text);
    JsonValue v = r.value();
    r.blanks();
    if (r.pos_ != r.text_.size()) r.fail("text after the value");
    return v;
  }

 private:
  explicit JsonReader(std::string_view text) : text_(text) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(pos_));
  }
  void blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t'))
      ++pos_;
  }
  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void expect(char c) {
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }
  bool word(std::string_view w) {
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  JsonValue value() {
    blanks();
    JsonValue v;
    const char c = peek();
    if (c == '{') {
      v.type = JsonValue::Type::Object;
      ++pos_;
      blanks();
      if (peek() == '}') {
        ++pos_;
        return v;
      }
      for (;;) {
        blanks();
        std::string key = string();
        blanks();
        expect(':');
        v.members.emplace_back(std::move(key), value());
        blanks();
        if (peek() == ',') {
          ++pos_;
          continue;
        }
        expect('}');
        return v;
      }
    }
    if (c == '[') {
      v.type = JsonValue::Type::Array;
      ++pos_;
      blanks();
      if (peek() == ']') {
        ++pos_;
        return v;
      }
      for (;;) {
        v.items.push_back(value());
        blanks();
        if (peek() == ',') {
          ++pos_;
          continue;
        }
        expect(']');
        return v;
      }
    }
    if (c == '"') {
      v.type = JsonValue::Type::String;
      v.text = string();
      return v;
    }
    if (word("true")) {
      v.type = JsonValue::Type::Bool;
      v.boolean = true;
      return v;
    }
    if (word("false")) {
      v.type = JsonValue::Type::Bool;
      return v;
    }
    if (word("null")) return v;
    return number();
  }

  JsonValue number() {
    const std::size_t start = pos_;
    if (peek() == '-') ++pos_;
    if (peek() == '0') {
      ++pos_;
    } else if (peek() >= '1' && peek() <= '9') {
      while (peek() >= '0' && peek() <= '9') ++pos_;
    } else {
      fail("not a value");
    }
    if (peek() == '.') {
      ++pos_;
      if (!(peek() >= '0' && peek() <= '9')) fail("digits after the point");
      while (peek() >= '0' && peek() <= '9') ++pos_;
    }
    if (peek() == 'e' || peek() == 'E') {
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      if (!(peek() >= '0' && peek() <= '9')) fail("digits in the exponent");
      while (peek() >= '0' && peek() <= '9') ++pos_;
    }
    JsonValue v;
    v.type = JsonValue::Type::Number;
    v.text = std::string(text_.substr(start, pos_ - start));
    v.number = std::stod(v.text);
    return v;
  }

  static void put_utf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::uint32_t hex4() {
    if (pos_ + 4 > text_.size()) fail("short \\u escape");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      v <<= 4;
      if (h >= '0' && h <= '9') {
        v |= static_cast<std::uint32_t>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        v |= static_cast<std::uint32_t>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        v |= static_cast<std::uint32_t>(h - 'A' + 10);
      } else {
        fail("bad hex digit");
      }
    }
    return v;
  }

  std::string string() {
    expect('"');
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) fail("raw control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t cp = hex4();
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (!word("\\u")) fail("lone high surrogate");
            const std::uint32_t lo = hex4();
            cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
          }
          put_utf8(out, cp);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// RFC 4180 records: fields split at commas, quoted fields with doubled quotes.
inline std::vector<std::vector<std::string>> read_csv(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    any = true;
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
      any = false;
    } else {
      field += c;
    }
  }
  if (any) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace bruvik::test

namespace bruvik::test {

// Same values, whatever the layout: members in the same order, numbers by their value.
inline bool same_json(const JsonValue& a, const JsonValue& b) {
  if (a.type != b.type) return false;
  switch (a.type) {
    case JsonValue::Type::Null:
      return true;
    case JsonValue::Type::Bool:
      return a.boolean == b.boolean;
    case JsonValue::Type::Number:
      return a.number == b.number;
    case JsonValue::Type::String:
      return a.text == b.text;
    case JsonValue::Type::Array:
      if (a.items.size() != b.items.size()) return false;
      for (std::size_t i = 0; i < a.items.size(); ++i)
        if (!same_json(a.items[i], b.items[i])) return false;
      return true;
    case JsonValue::Type::Object:
      if (a.members.size() != b.members.size()) return false;
      for (std::size_t i = 0; i < a.members.size(); ++i) {
        if (a.members[i].first != b.members[i].first) return false;
        if (!same_json(a.members[i].second, b.members[i].second)) return false;
      }
      return true;
  }
  return false;
}

}  // namespace bruvik::test
