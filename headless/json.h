// JSON and CSV output. JSON goes through nlohmann/json with members in the order written; the
// program keeps its own number texts and its own repair of text that is not UTF-8. The reports
// of runs, batches and sweeps are written straight in the same layout, by JsonWriter alone.
#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history/json_numbers.h"

namespace bruvik {

using Json = nlohmann::ordered_json;

// The text with each byte that is not part of valid UTF-8 (overlong forms, surrogates and
// values above U+10FFFF included) replaced by U+FFFD, one for every such byte.
std::string valid_utf8(std::string_view text);

// The text as a JSON string literal, quotes included: control characters, quotes and
// backslashes escaped, the rest as valid_utf8 leaves it.
std::string json_string(std::string_view text);

// The shortest text that reads back as the same double; "null" when it is not finite.
std::string json_number(double value);

// Two blanks of indentation per level, one member per line, a line break after the value.
// String values pass through valid_utf8 first.
std::string json_text(Json value);

// Writes JSON text straight into a string, laid out as json_text lays it out. Building each
// run's Json and writing it with nlohmann instead costs some 160 000 instructions more a default
// run (7 % of it, by tools/instructions). Strings are written as json_string writes them,
// numbers as json_number.
template <typename T>
concept JsonInteger = std::integral<T> && !std::same_as<T, bool>;

class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  void begin_object() { open('{'); }
  void end_object() { close('}'); }
  void begin_array() { open('['); }
  void end_array() { close(']'); }
  // The member's key, in an object; its value comes next.
  JsonWriter& key(std::string_view name);

  void string(std::string_view text);
  void number(double value);
  void number(const std::optional<double>& value);  // null where there is none
  template <JsonInteger Integer>
  void integer(Integer value) {
    char buf[24];
    place();
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
  }
  void boolean(bool value);
  void null();

 private:
  void place();  // the separator and indentation before a value or a key
  void open(char bracket);
  void close(char bracket);

  std::string& out_;
  int depth_ = 0;
  std::uint64_t filled_ = 0;  // bit d: the open object or array at depth d has an entry
  bool after_key_ = false;
};

// The field as it stands when it needs no quotes, else quoted with its quotes doubled. Fields
// with a separator, a quote, a line break or a blank at either end are quoted.
std::string csv_field(std::string_view text);

}  // namespace bruvik
