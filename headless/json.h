// JSON and CSV output. JSON goes through nlohmann/json with members in the order written; the
// program keeps its own number texts and its own repair of text that is not UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
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

// The number, or null where there is none.
Json json_value(const std::optional<double>& number);

// Two blanks of indentation per level, one member per line, a line break after the value.
// String values pass through valid_utf8 first.
std::string json_text(Json value);

// Writes `document` as json_text does, with its top-level member `array_key` (an empty array in
// `document`) filled by element(0) ... element(count - 1), each made and written in turn, so
// that a long array never stands whole in memory.
void write_json_streamed(std::ostream& out, const Json& document, std::string_view array_key,
                         std::size_t count, const std::function<Json(std::size_t)>& element);

// The field as it stands when it needs no quotes, else quoted with its quotes doubled. Fields
// with a separator, a quote, a line break or a blank at either end are quoted.
std::string csv_field(std::string_view text);

}  // namespace bruvik
