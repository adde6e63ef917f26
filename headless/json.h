// Writing JSON and CSV: a small pretty-printing JSON writer, JSON string escaping that keeps
// any text valid, and CSV field quoting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bruvik {

// The text as a JSON string literal, quotes included. Control characters, quotes and
// backslashes are escaped; valid UTF-8 passes unchanged; a byte that is not part of valid
// UTF-8 becomes U+FFFD, so the output is always valid JSON.
std::string json_string(std::string_view text);

// The shortest text that reads back as the same double; "null" when it is not finite.
std::string json_number(double value);

// The field as it stands when it needs no quotes, else quoted with its quotes doubled. Fields
// with a separator, a quote, a line break or a blank at either end are quoted.
std::string csv_field(std::string_view text);

// Writes indented JSON into a string: two blanks per level, one member per line.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  void begin_object() { open('{'); }
  void end_object() { close('}'); }
  void begin_array() { open('['); }
  void end_array() { close(']'); }
  // The next value belongs to this member of the open object.
  void key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(bool on);
  void value(double number);
  void value(std::int64_t number);
  void value(std::uint64_t number);
  void value(int number) { value(static_cast<std::int64_t>(number)); }
  void null();
  void value(const std::optional<double>& number) {
    if (number) {
      value(*number);
    } else {
      null();
    }
  }

 private:
  void open(char bracket);
  void close(char bracket);
  void before_value();
  void newline();

  std::string& out_;
  std::vector<int> members_;  // per open container: members written so far
  bool after_key_ = false;
};

}  // namespace bruvik
