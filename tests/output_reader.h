// Reading what the terminal runs print back in tests, so that tests check shapes and values
// rather than layout: JSON through nlohmann (via headless/json.h, which sets how it prints
// numbers), and CSV records.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "headless/json.h"

namespace bruvik::test {

// The whole file, as bytes; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The member names of an object, in the order written.
inline std::vector<std::string> keys(const Json& object) {
  std::vector<std::string> out;
  for (const auto& member : object.items()) out.push_back(member.key());
  return out;
}

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
      // A plain run of the field in one piece: traces have hundreds of thousands of fields.
      const std::size_t end = std::min(text.find_first_of("\",\n", i), text.size());
      field.append(text.substr(i, end - i));
      i = end - 1;
    }
  }
  if (any) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace bruvik::test
