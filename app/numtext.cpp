#include "app/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/runtime_error.h"

namespace bruvik::numtext {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The extent of a number at the start of `s` (after blanks and sign have been taken off).
struct Extent {
  std::size_t end = 0;  // one past the last character of the number
  std::size_t digits = 0;
  bool plain_integer = true;  // digits only: no point, no exponent
};

Extent number_extent(std::string_view s, std::size_t i) {
  Extent e;
  const std::size_t n = s.size();
  while (i < n && is_digit(s[i])) ++i, ++e.digits;
  if (i < n && s[i] == '.') {
    e.plain_integer = false;
    ++i;
    while (i < n && is_digit(s[i])) ++i, ++e.digits;
  }
  if (e.digits > 0 && i < n && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < n && is_digit(s[j])) {
      while (j < n && is_digit(s[j])) ++j;
      e.plain_integer = false;
      i = j;
    }
  }
  e.end = i;
  return e;
}

enum class Convert { Ok, TooLarge };

// Converts the unsigned number text s[begin, end) (already known to be well formed).
Convert convert(std::string_view s, std::size_t begin, const Extent& e, double& out) {
  if (e.plain_integer && e.digits <= 15) {
    std::int64_t v = 0;
    for (std::size_t k = begin; k < e.end; ++k) v = v * 10 + (s[k] - '0');
    out = static_cast<double>(v);
    return Convert::Ok;
  }
  const char* first = s.data() + begin;
  const char* last = s.data() + e.end;
  double v = 0;
  auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Out of range is either too large (fails) or too small (reads as zero).
    std::string copy(first, last);
    const double h = std::strtod(copy.c_str(), nullptr);
    if (std::isinf(h)) return Convert::TooLarge;
    out = h;
    return Convert::Ok;
  }
  if (ec != std::errc() || ptr != last) return Convert::TooLarge;  // cannot happen: well formed
  out = v;
  return Convert::Ok;
}

// 15 significant digits of |value| (no trailing zeros) and the decimal exponent of the first.
struct Digits {
  char d[16];
  int count;
  int exponent;
};

Digits digits15(double magnitude) {
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
  if (buf[0] == '1' &&
      std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)) == "1.79769313486232e+308") {
    // Rounded up, the largest numbers would read back as too large to hold (that is, as 0);
    // round them down instead.
    std::memcpy(buf, "1.79769313486231e+308", 21);
  }
  Digits out{};
  int count = 0;
  const char* p = buf;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') out.d[count++] = *p;
  }
  while (count > 1 && out.d[count - 1] == '0') --count;
  out.count = count;
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
  out.exponent = exponent;
  return out;
}

// Writes |value| (finite, not zero) into `out`; `leading_zero` says whether numbers below 1 get
// a "0" before the point.
void append_magnitude(std::string& out, double magnitude, bool leading_zero) {
  if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<std::int64_t>(magnitude));
    out.append(buf, res.ptr);
    return;
  }
  const Digits g = digits15(magnitude);
  if (g.exponent < -4 || g.exponent >= 15) {
    out.push_back(g.d[0]);
    if (g.count > 1) {
      out.push_back('.');
      out.append(g.d + 1, g.count - 1);
    }
    out.push_back('E');
    out.push_back(g.exponent < 0 ? '-' : '+');
    const int e = std::abs(g.exponent);
    if (e < 10) out.push_back('0');
    out += std::to_string(e);
    return;
  }
  if (g.exponent >= 0) {
    const int int_len = g.exponent + 1;
    if (g.count <= int_len) {
      out.append(g.d, g.count);
      out.append(static_cast<std::size_t>(int_len - g.count), '0');
    } else {
      out.append(g.d, int_len);
      out.push_back('.');
      out.append(g.d + int_len, g.count - int_len);
    }
    return;
  }
  if (leading_zero) out.push_back('0');
  out.push_back('.');
  out.append(static_cast<std::size_t>(-g.exponent - 1), '0');
  out.append(g.d, g.count);
}

std::string non_finite(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Infinity" : "Infinity";
}

[[noreturn]] void fail(ErrorCode code) {
  throw RuntimeError(code);
}

}  // namespace

std::optional<double> leading_number(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && is_blank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const Extent e = number_extent(s, i);
  if (e.digits == 0) return std::nullopt;
  double v = 0;
  if (convert(s, i, e, v) == Convert::TooLarge) return std::nullopt;
  if (v == 0) return 0.0;  // never a negative zero
  return negative ? -v : v;
}

double val(std::string_view text) {
  return leading_number(text).value_or(0.0);
}

double strict(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const Extent e = number_extent(s, i);
  if (e.digits == 0 || e.end != s.size()) fail(ErrorCode::TypeMismatch);
  double v = 0;
  if (convert(s, i, e, v) == Convert::TooLarge) fail(ErrorCode::Overflow);
  if (v == 0) return 0.0;
  return negative ? -v : v;
}

std::string shortest(double value) {
  if (!std::isfinite(value)) return non_finite(value);
  std::string out;
  if (value == 0) return "0";
  if (value < 0) out.push_back('-');
  append_magnitude(out, std::fabs(value), true);
  return out;
}

std::string signed_text(double value) {
  if (!std::isfinite(value)) return non_finite(value);
  std::string out;
  if (value == 0) return " 0";
  out.push_back(value < 0 ? '-' : ' ');
  append_magnitude(out, std::fabs(value), false);
  return out;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

int16_t to_int16(double value) {
  const double r = std::nearbyint(value);
  if (!(r >= -32768.0 && r <= 32767.0)) fail(ErrorCode::Overflow);
  return static_cast<int16_t>(r);
}

int32_t to_int32(double value) {
  const double r = std::nearbyint(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) fail(ErrorCode::Overflow);
  return static_cast<int32_t>(r);
}

double whole(double value) {
  return std::floor(value);
}

double add(double a, double b) {
  const double r = a + b;
  if (!std::isfinite(r)) fail(ErrorCode::Overflow);
  return r;
}

double sub(double a, double b) {
  const double r = a - b;
  if (!std::isfinite(r)) fail(ErrorCode::Overflow);
  return r;
}

double mul(double a, double b) {
  const double r = a * b;
  if (!std::isfinite(r)) fail(ErrorCode::Overflow);
  return r;
}

double div(double a, double b) {
  if (b == 0) fail(a == 0 ? ErrorCode::Overflow : ErrorCode::DivisionByZero);
  const double r = a / b;
  if (!std::isfinite(r)) fail(ErrorCode::Overflow);
  return r;
}

std::optional<double> try_div(double a, double b) {
  if (b == 0) return std::nullopt;
  const double r = a / b;
  if (!std::isfinite(r)) return std::nullopt;
  return r;
}

std::optional<double> try_mul(double a, double b) {
  const double r = a * b;
  if (!std::isfinite(r)) return std::nullopt;
  return r;
}

}  // namespace bruvik::numtext
