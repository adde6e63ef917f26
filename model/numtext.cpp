#include "model/numtext.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/runtime_error.h"

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
  const char* last = s.data() + e.end;
  double v = 0;
  // fast_float rounds correctly; too large reads as infinity, too small as zero.
  auto [ptr, ec] = fast_float::from_chars(s.data() + begin, last, v);
  if (ec != std::errc() || ptr != last || std::isinf(v)) return Convert::TooLarge;
  out = v;
  return Convert::Ok;
}

// 15 significant digits of |value| (no trailing zeros) and the decimal exponent of the first.
struct Digits {
  char d[20];
  int count;
  int exponent;
};

// Splits "d.ddde+XX" into digits and exponent.
Digits split_scientific(const char* first, const char* last) {
  Digits out{};
  int count = 0;
  const char* p = first;
  for (; p < last && *p != 'e'; ++p) {
    if (*p != '.' && count < 20) out.d[count++] = *p;
  }
  out.count = count;
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), last, exponent);
  out.exponent = exponent;
  return out;
}

// The shortest digits that read back as |value| (finite, not zero), without trailing zeros.
// fmt writes them either way ("1e+16", "0.0001", "120"); only digits and exponent are kept.
Digits shortest_digits(double magnitude) {
  char buf[40];
  const char* const end = fmt::format_to(buf, FMT_COMPILE("{}"), magnitude);
  Digits g{};
  int before_point = -1;
  int leading_zeros = 0;
  const char* p = buf;
  for (; p < end && *p != 'e'; ++p) {
    if (*p == '.') {
      before_point = g.count + leading_zeros;
    } else if (g.count == 0 && *p == '0') {
      ++leading_zeros;
    } else if (g.count < 20) {
      g.d[g.count++] = *p;
    }
  }
  if (before_point < 0) before_point = g.count + leading_zeros;
  int exponent = 0;
  if (p < end) std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
  g.exponent = before_point - leading_zeros - 1 + exponent;
  while (g.count > 1 && g.d[g.count - 1] == '0') --g.count;
  return g;
}

Digits digits15(double magnitude) {
  // The shortest text that reads back as the number is, when it has 15 digits or fewer, also
  // its nearest 15-digit text. With 16 or 17 digits it is rounded here, which agrees with
  // rounding the exact number unless the dropped digits are exactly a half; only then is the
  // exact (slower) conversion asked for.
  Digits g = shortest_digits(magnitude);
  if (g.count > 15) {
    const std::string_view dropped(g.d + 15, static_cast<std::size_t>(g.count - 15));
    if (dropped == "5" || dropped == "50") {
      char buf[40];
      const char* const end = fmt::format_to(buf, FMT_COMPILE("{:.14e}"), magnitude);
      g = split_scientific(buf, end);
    } else {
      const bool up = g.d[15] >= '5';
      g.count = 15;
      if (up) {
        int k = 14;
        while (k >= 0 && g.d[k] == '9') g.d[k--] = '0';
        if (k >= 0) {
          ++g.d[k];
        } else {
          g.d[0] = '1';  // 9.99..9 became 10.00..0
          ++g.exponent;
        }
      }
    }
  }
  while (g.count > 1 && g.d[g.count - 1] == '0') --g.count;
  if (g.exponent == 308 &&
      std::string_view(g.d, static_cast<std::size_t>(g.count)) == "179769313486232") {
    // Rounded up, the largest numbers would read back as too large to hold (that is, as 0);
    // round them down instead.
    g.d[14] = '1';
  }
  return g;
}

// Writes |value| (finite, not zero) at `out`, returning the end; `leading_zero` says whether
// numbers below 1 get a "0" before the point. At most 24 characters.
char* write_magnitude(char* out, double magnitude, bool leading_zero) {
  if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
    return std::to_chars(out, out + 24, static_cast<std::int64_t>(magnitude)).ptr;
  }
  const Digits g = digits15(magnitude);
  const auto put = [&out](const char* from, int n) {
    std::memcpy(out, from, static_cast<std::size_t>(n));
    out += n;
  };
  if (g.exponent < -4 || g.exponent >= 15) {
    *out++ = g.d[0];
    if (g.count > 1) {
      *out++ = '.';
      put(g.d + 1, g.count - 1);
    }
    *out++ = 'E';
    *out++ = g.exponent < 0 ? '-' : '+';
    const int e = std::abs(g.exponent);
    if (e < 10) *out++ = '0';
    return std::to_chars(out, out + 4, e).ptr;
  }
  if (g.exponent >= 0) {
    const int int_len = g.exponent + 1;
    if (g.count <= int_len) {
      put(g.d, g.count);
      for (int k = g.count; k < int_len; ++k) *out++ = '0';
    } else {
      put(g.d, int_len);
      *out++ = '.';
      put(g.d + int_len, g.count - int_len);
    }
    return out;
  }
  if (leading_zero) *out++ = '0';
  *out++ = '.';
  for (int k = 0; k < -g.exponent - 1; ++k) *out++ = '0';
  put(g.d, g.count);
  return out;
}

std::string non_finite(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Infinity" : "Infinity";
}

// The first `max_chars` characters of sign and digits.
std::size_t put_cut(char* out, char sign, const char* digits, std::size_t n,
                    std::size_t max_chars) {
  if (max_chars == 0) return 0;
  *out++ = sign;
  const std::size_t kept = n + 1 < max_chars ? n : max_chars - 1;
  for (std::size_t k = 0; k < kept; ++k) out[k] = digits[k];
  return kept + 1;
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

bool begins_with_number(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && is_blank(s[i])) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  return number_extent(s, i).digits > 0;
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
  if (value == 0) return "0";
  char buf[32];
  char* p = buf;
  if (value < 0) *p++ = '-';
  p = write_magnitude(p, std::fabs(value), true);
  return std::string(buf, p);
}

char* write_round_trip(char* out, double value) {
  if (std::signbit(value)) *out++ = '-';
  const double m = std::fabs(value);
  if (m == 0) {
    *out++ = '0';
    return out;
  }
  const Digits g = shortest_digits(m);
  const int e = g.exponent;
  const int abs_e = std::abs(e);
  // Lengths: "d.ddde+XX" (a third exponent digit only comes where the fixed form is far
  // longer) against the fixed form.
  const int exp_len = g.count + (g.count > 1 ? 1 : 0) + 4;
  const int fixed_len =
      e < 0 ? 1 - e + g.count : std::max(g.count, e + 1) + (g.count > e + 1 ? 1 : 0);
  const auto put = [&out](const char* from, int n) {
    std::memcpy(out, from, static_cast<std::size_t>(n));
    out += n;
  };
  if (fixed_len > exp_len) {
    *out++ = g.d[0];
    if (g.count > 1) {
      *out++ = '.';
      put(g.d + 1, g.count - 1);
    }
    *out++ = 'e';
    *out++ = e < 0 ? '-' : '+';
    if (abs_e < 10) *out++ = '0';
    return std::to_chars(out, out + 4, abs_e).ptr;
  }
  if (e < 0) {
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -e - 1, '0');
    put(g.d, g.count);
    return out;
  }
  if (g.count <= e + 1) {
    // A whole number is written as printf writes it: beyond 2^53 its exact digits, which the
    // shortest digits padded with zeros are not.
    if (m >= 0x1p53) return fmt::format_to(out, FMT_COMPILE("{:.0f}"), m);
    put(g.d, g.count);
    return std::fill_n(out, e + 1 - g.count, '0');
  }
  put(g.d, e + 1);
  *out++ = '.';
  put(g.d + e + 1, g.count - e - 1);
  return out;
}

std::string fixed(double value, int decimals) {
  return fmt::format(FMT_COMPILE("{:.{}f}"), value, decimals);
}

std::string signed_text(double value) {
  char buf[32];
  return std::string(buf, write_signed_text(buf, value));
}

std::size_t write_signed_text(char* out, double value) {
  if (!std::isfinite(value)) {
    const std::string s = non_finite(value);
    std::memcpy(out, s.data(), s.size());
    return s.size();
  }
  char* p = out;
  if (value == 0) {
    *p++ = ' ';
    *p++ = '0';
    return 2;
  }
  *p++ = value < 0 ? '-' : ' ';
  p = write_magnitude(p, std::fabs(value), false);
  return static_cast<std::size_t>(p - out);
}

std::size_t write_signed_prefix(char* out, double value, std::size_t max_chars) {
  static constexpr double kPow10[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  static constexpr std::int64_t kWholePow10[] = {1,      10,      100,      1000,     10000,
                                                 100000, 1000000, 10000000, 100000000};
  const double m = std::fabs(value);
  const char sign = value < 0 ? '-' : ' ';
  char digits[24];
  char* const digits_end = digits + sizeof digits;
  if (m < 1e15) {
    const auto whole = static_cast<std::int64_t>(m);
    if (static_cast<double>(whole) == m) {
      // A whole number (zero included, never "-0"): the sign and its digits.
      const char* d = write_digits_before(digits_end, static_cast<std::uint64_t>(whole));
      return put_cut(out, sign, d, static_cast<std::size_t>(digits_end - d), max_chars);
    }
    // The cut text of a number that is not a whole number and not too small or large: its
    // kept digits are those of the number cut at the same place, as long as the cut does not
    // fall within a millionth of a digit of a boundary, where the rounding to 15 digits could
    // carry into them (or where the text could end early); those numbers take the exact path.
    // A cut that falls exactly on a boundary is exact too: the number is then within an ulp of
    // its cut digits, far below the 15th digit, so its text is those digits without trailing
    // zeros, as long as they did not carry into a new leading digit.
    if (m >= 1e-3 && m < 1e9 && max_chars >= 2 && max_chars <= 16) {
      int int_digits = 0;
      while (int_digits < 9 && kWholePow10[int_digits] <= whole) ++int_digits;
      const int room = static_cast<int>(max_chars) - 1;  // after the sign
      // Digits kept after the point (may be negative: whole digits cut off).
      const int frac_digits = room > int_digits ? room - int_digits - 1 : room - int_digits;
      const double scale = kPow10[frac_digits < 0 ? -frac_digits : frac_digits];
      const double y = frac_digits < 0 ? m / scale : m * scale;
      if (y < 1e7) {
        auto cut = static_cast<std::uint32_t>(y);
        const double rest = y - static_cast<double>(cut);
        const bool on_boundary = rest == 0;
        if (on_boundary || (rest > 1e-6 && rest < 1 - 1e-6)) {
          // The cut's digits: exactly `room` of them with whole digits cut off; otherwise the
          // whole digits and `frac_digits` after the point. More means they carried (only on
          // a boundary, and then the exact path decides).
          int n = 1;
          while (n < 8 && kWholePow10[n] <= cut) ++n;
          const int expected = frac_digits < 0 ? room : int_digits + frac_digits;
          const bool carried = int_digits > 0 || frac_digits < 0 ? n != expected : n > frac_digits;
          if (!carried) {
            out[0] = sign;
            if (frac_digits < 0) {
              write_digits_before(out + 1 + n, cut);
              return static_cast<std::size_t>(1 + n);
            }
            // From the back: the fraction digits (leading zeros included), the point, the
            // whole digits.
            char* const point = out + 1 + int_digits;
            char* const end = point + 1 + frac_digits;
            char* p = end;
            while (p > point + 1) {
              *--p = static_cast<char>('0' + cut % 10);
              cut /= 10;
            }
            *point = '.';
            for (p = point; p > out + 1;) {
              *--p = static_cast<char>('0' + cut % 10);
              cut /= 10;
            }
            std::size_t len = static_cast<std::size_t>(end - out);
            if (on_boundary) {
              // The number is its cut digits: no trailing zeros, no point before nothing.
              char* last = end;
              while (last > point + 1 && last[-1] == '0') --last;
              if (last == point + 1 && int_digits > 0) last = point;
              len = static_cast<std::size_t>(last - out);
            }
            return len < max_chars ? len : max_chars;
          }
        }
      }
    }
  }
  char full[32];
  const std::size_t len = write_signed_text(full, value);
  const std::size_t kept = len < max_chars ? len : max_chars;
  std::memcpy(out, full, kept);
  return kept;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

void fail_overflow() {
  fail(ErrorCode::Overflow);
}

double div(double a, double b) {
  if (b == 0) fail(a == 0 ? ErrorCode::Overflow : ErrorCode::DivisionByZero);
  const double r = a / b;
  if (!std::isfinite(r)) fail(ErrorCode::Overflow);
  return r;
}

}  // namespace bruvik::numtext
