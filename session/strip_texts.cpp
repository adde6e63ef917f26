#include "session/strip_texts.h"

#include <array>
#include <cstdio>

namespace bruvik {
namespace {

constexpr std::array<SpeedChoice, 8> kSpeeds{{
    {0.25, "0.25x"},
    {0.5, "0.5x"},
    {1, "1x"},
    {2, "2x"},
    {5, "5x"},
    {10, "10x"},
    {50, "50x"},
    {0, "As fast as possible"},
}};

}  // namespace

std::span<const SpeedChoice> speed_choices() {
  return kSpeeds;
}

int speed_index(double speed) {
  for (int i = 0; i < int(kSpeeds.size()); ++i) {
    if (kSpeeds[static_cast<std::size_t>(i)].speed == speed) return i;
  }
  return 2;  // 1x
}

std::string run_time_text(VirtualMs ms) {
  if (ms < 0) ms = 0;
  const VirtualMs tenths = ms / 100;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                static_cast<long long>((tenths / 10) % 60), static_cast<long long>(tenths % 10));
  return text;
}

}  // namespace bruvik
