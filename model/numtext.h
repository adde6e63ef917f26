// Numbers held as text: every counter and parameter of the window is decimal text, read and
// written only through these functions.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bruvik::numtext {

// Leading-number parse: skips leading blanks, then reads an optional sign, digits, a decimal
// point and an exponent as far as they form a number; the rest is ignored. Never fails: text
// with no number, and a number too large to hold, read as 0.
double val(std::string_view text);

// The same parse, but says whether a number was found at all (and was small enough to hold).
std::optional<double> leading_number(std::string_view text);

// True when the text, after blanks and a sign, begins with a digit or a point and a digit: it
// holds a number, whether or not that number is small enough to hold.
bool begins_with_number(std::string_view text);

// Strict conversion: the text (blanks around it allowed) must be one number as a whole.
// Throws RuntimeError TypeMismatch otherwise, Overflow when it is too large to hold.
double strict(std::string_view text);

// Shortest decimal text: up to 15 significant digits, no leading blank, no trailing zeros,
// "." as the decimal point ("100", "0.5", "83", "1E+15").
std::string shortest(double value);

// The shortest text that reads back as `value` (finite), in the fixed or the exponent form,
// whichever is shorter, fixed on a tie, as std::to_chars writes it ("100", "1e+05", "0.001",
// "-0"). Written at `out` (room for 32 characters); returns its end. One path on every
// toolchain, whose standard libraries do not all have it.
char* write_round_trip(char* out, double value);

// `value` with `decimals` digits after the point (0 to 17), rounded exactly, "." whatever the
// locale ("12.50", "-0.125").
std::string fixed(double value, int decimals);

// Signed number text: 15 significant digits, a leading blank for zero or positive numbers and
// "-" for negative ones, no "0" before the point (" .5", " 0", "-2", " 33.3333333333333").
std::string signed_text(double value);
// The same written at `out` (room for 32 characters); returns its length.
std::size_t write_signed_text(char* out, double value);
// The first `max_chars` characters (1 to 16) of the signed number text, written at `out`;
// returns their number. Cheaper than the whole text when only a few characters are kept.
std::size_t write_signed_prefix(char* out, double value, std::size_t max_chars);

// The decimal digits of `v`, written backwards so that they end just before `end`; returns
// where they begin. Inline: every counter is written through it.
inline char* write_digits_before(char* end, std::uint64_t v) {
  for (; v > 0xFFFFFFFFu; v /= 10) *--end = static_cast<char>('0' + v % 10);
  auto w = static_cast<std::uint32_t>(v);  // the rest in the cheaper narrow division
  do {
    *--end = static_cast<char>('0' + w % 10);
    w /= 10;
  } while (w != 0);
  return end;
}

// Blanks removed from both ends (spaces only, as the toolkit's trim does).
std::string_view trim(std::string_view text);

[[noreturn]] void fail_overflow();

// Whole-number conversions: halves round to even; out of range is an Overflow run-time error.
// Inline, as the arithmetic below: every back-off goes through them.
inline int16_t to_int16(double value) {
  const double r = std::nearbyint(value);
  if (!(r >= -32768.0 && r <= 32767.0)) fail_overflow();
  return static_cast<int16_t>(r);
}
inline int32_t to_int32(double value) {
  const double r = std::nearbyint(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) fail_overflow();
  return static_cast<int32_t>(r);
}

// Whole part towards minus infinity.
inline double whole(double value) {
  return std::floor(value);
}

// Arithmetic that fails like the toolkit's: a result that does not fit is Overflow, a finite
// number divided by zero is DivisionByZero (0 / 0 is Overflow).
// Inline: they are on every tick's path, and the failures are rare.
inline double add(double a, double b) {
  const double r = a + b;
  if (!std::isfinite(r)) fail_overflow();
  return r;
}
inline double sub(double a, double b) {
  const double r = a - b;
  if (!std::isfinite(r)) fail_overflow();
  return r;
}
inline double mul(double a, double b) {
  const double r = a * b;
  if (!std::isfinite(r)) fail_overflow();
  return r;
}
double div(double a, double b);
// The same checks without throwing, for the steps that are guarded one by one.
inline std::optional<double> try_div(double a, double b) {
  if (b == 0) return std::nullopt;
  const double r = a / b;
  if (!std::isfinite(r)) return std::nullopt;
  return r;
}
inline std::optional<double> try_mul(double a, double b) {
  const double r = a * b;
  if (!std::isfinite(r)) return std::nullopt;
  return r;
}

}  // namespace bruvik::numtext
