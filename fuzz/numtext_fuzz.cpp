// Fuzz target: the number texts. Arbitrary bytes are parsed; every number that comes out is
// written back in both forms and must read back as itself to 15 significant digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "model/numtext.h"
#include "model/runtime_error.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool close(double a, double b) {
  if (a == b) return true;
  return std::fabs(a - b) <= std::fabs(b) * 1e-14;
}

void round_trip(double x) {
  using namespace bruvik::numtext;
  if (!std::isfinite(x)) return;
  const std::string s = shortest(x);
  check(!s.empty() && s.front() != ' ');
  check(close(val(s), x));
  std::size_t digits = 0;
  bool significant = false;
  for (char c : s) {
    if (c == 'E') break;
    significant |= c >= '1' && c <= '9';
    digits += (significant && c >= '0' && c <= '9') ? 1 : 0;
  }
  check(digits <= 15);
  if (s.find('.') != std::string::npos && s.find('E') == std::string::npos) check(s.back() != '0');

  const std::string t = signed_text(x);
  check(t.size() >= 2 && (t.front() == ' ' || t.front() == '-'));
  check((t.front() == '-') == (x < 0));
  check(close(val(t), x));
  if (std::fabs(val(t)) < 1 && x != 0 && t.find('E') == std::string::npos) check(t[1] == '.');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace bruvik::numtext;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const double v = val(text);
  check(std::isfinite(v));
  const auto n = leading_number(text);
  check(n ? *n == v : v == 0);
  round_trip(v);

  try {
    const double s = strict(text);
    check(s == v);
  } catch (const bruvik::RuntimeError&) {
  }
  for (double x : {v, v * 0.5 + 0.25}) {
    try {
      check(to_int16(x) == std::nearbyint(x));
    } catch (const bruvik::RuntimeError&) {
      check(!(std::nearbyint(x) >= -32768 && std::nearbyint(x) <= 32767));
    }
    try {
      check(to_int32(x) == std::nearbyint(x));
    } catch (const bruvik::RuntimeError&) {
      check(!(std::nearbyint(x) >= -2147483648.0 && std::nearbyint(x) <= 2147483647.0));
    }
  }

  // The raw bytes taken as a number, for values no text above would give.
  if (size >= sizeof(double)) {
    double raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    round_trip(raw);
  }
  return 0;
}
