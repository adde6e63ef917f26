#include "model/generator.h"

#include <chrono>
#include <random>

namespace bruvik {

std::uint64_t Generator::fresh_seed() {
  std::random_device device;
  const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
  const std::uint64_t entropy = (static_cast<std::uint64_t>(device()) << 32) ^ device();
  // Keep seeds short enough to read and retype.
  return (static_cast<std::uint64_t>(wall) ^ entropy) % 1000000000ull;
}

}  // namespace bruvik
