// bruvik-soak: many forms driven in virtual time by random user actions at random moments.
// Exit 0 only when every run held every check.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/user_actions.h"

namespace {

int usage() {
  std::fputs(
      "usage: bruvik-soak [--runs N (1 to 10000000, default 200)] [--seed S (default 1)]\n"
      "                   [--cap MS (virtual-time cap per run, default 1800000)] [--quiet]\n",
      stderr);
  return 2;
}

bool number(const char* text, unsigned long long low, unsigned long long high,
            unsigned long long& out) {
  char* end = nullptr;
  if (text == nullptr || *text == '\0' || *text == '-') return false;
  out = std::strtoull(text, &end, 10);
  return *end == '\0' && out >= low && out <= high;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long runs = 200, seed = 1, cap = 1800000;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--runs" && number(v, 1, 10000000, runs)) {
      ++i;
    } else if (a == "--seed" && number(v, 0, ~0ull, seed)) {
      ++i;
    } else if (a == "--cap" && number(v, 1, 1000000000, cap)) {
      ++i;
    } else if (a == "--quiet") {
      quiet = true;
    } else {
      return usage();
    }
  }

  const auto t0 = std::chrono::steady_clock::now();
  unsigned long long failures = 0, actions = 0, restarts = 0, finished = 0;
  std::mt19937_64 bytes_source(seed);
  std::vector<std::uint8_t> bytes;
  for (unsigned long long r = 0; r < runs; ++r) {
    bytes.resize(200 + bytes_source() % 1800);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(bytes_source());
    bruvik::SoakStats stats;
    const std::string broken = bruvik::play_actions(seed + r, bytes.data(), bytes.size(),
                                                    static_cast<long long>(cap), &stats);
    actions += stats.actions;
    restarts += stats.restarts;
    finished += stats.finished ? 1 : 0;
    if (!broken.empty()) {
      ++failures;
      std::fprintf(stderr, "run %llu: %s\n", r, broken.c_str());
    }
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!quiet || failures != 0) {
    std::printf(
        "bruvik-soak: %llu runs from seed %llu, %llu actions, %llu RESTART presses recorded, "
        "%llu runs finished, %llu failed, %.1f s wall\n",
        runs, seed, actions, restarts, finished, failures, wall);
  }
  return failures == 0 ? 0 : 1;
}
