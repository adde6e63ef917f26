// Fuzz target: whole action scripts against a form. The first eight bytes are the seed, the
// rest the student's actions; every check must hold after every action.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/user_actions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t seed = 0;
  const std::size_t head = size < sizeof seed ? size : sizeof seed;
  std::memcpy(&seed, data, head);
  // A cap of ten virtual minutes keeps each input short; a default run ends near 4.5.
  const std::string broken = bruvik::play_actions(seed, data + head, size - head, 600000);
  if (!broken.empty()) {
    std::fprintf(stderr, "%s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
