// Golden runs: the JSON of three fixed terminal runs, and a fingerprint of each method's events,
// compared exactly with the committed files in tests/golden/.
//
// A change in behaviour fails here on purpose. When the change is meant, regenerate the files
// and review the difference before committing it:
//   BRUVIK_UPDATE_GOLDEN=1 build/dev/tests/headless_tests --gtest_filter='Golden*'
// (or tools/update-golden, which does the same).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "headless/terminal.h"
#include "headless/trace.h"
#include "model/methods.h"
#include "output_reader.h"

namespace bruvik {
namespace {

struct GoldenRun {
  const char* file;
  std::uint64_t seed;
  int mtu, rate, frame_length;
};

const GoldenRun kRuns[] = {
    {"run_seed7_default.json", 7, 5, 5, 5},
    {"run_seed11_rate8.json", 11, 5, 8, 5},
    {"run_seed13_mtu2_frame9.json", 13, 2, 5, 9},
};

bool updating() {
  const char* v = std::getenv("BRUVIK_UPDATE_GOLDEN");
  return v != nullptr && std::string(v) == "1";
}

std::string golden_path(const std::string& name) {
  return std::string(BRUVIK_GOLDEN_DIR) + "/" + name;
}

void write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Options options(const GoldenRun& g) {
  Options o;
  o.headless = true;
  o.seed = g.seed;
  o.mtu = g.mtu;
  o.rate = g.rate;
  o.frame_length = g.frame_length;
  o.format = OutputFormat::Json;
  return o;
}

TEST(Golden, TerminalRunsPrintExactlyTheCommittedJson) {
  for (const GoldenRun& g : kRuns) {
    std::ostringstream out, err;
    ASSERT_EQ(run_terminal(options(g), out, err), 0) << err.str();
    if (updating()) {
      write(golden_path(g.file), out.str());
      continue;
    }
    const std::string expected = test::read_file(golden_path(g.file));
    ASSERT_FALSE(expected.empty()) << "missing " << golden_path(g.file);
    EXPECT_EQ(out.str(), expected) << g.file << " differs (see the top of this file)";
  }
}

// One line per run and method: file, method code, events, fingerprint.
std::string fingerprint_lines() {
  std::string text = "# run, method, events, FNV-1a 64 of (time, kind, timer, station, value)\n";
  for (const GoldenRun& g : kRuns) {
    Fingerprint f;
    run_once(run_params(options(g), g.seed), &f);
    for (std::size_t k = 0; k < 5; ++k) {
      char hex[20];
      std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(f.per_method()[k]));
      text += std::string(g.file) + " " + methods()[k].code + " " + std::to_string(f.events()[k]) +
              " " + hex + "\n";
    }
  }
  return text;
}

std::map<std::string, std::string> by_run_and_method(const std::string& text) {
  std::map<std::string, std::string> out;
  std::istringstream in(text);
  std::string file, code, events, hash;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    fields >> file >> code >> events >> hash;
    out[file + " " + code] = events + " " + hash;
  }
  return out;
}

TEST(Golden, EventFingerprintsPerMethodMatch) {
  const std::string now = fingerprint_lines();
  if (updating()) {
    write(golden_path("fingerprints.txt"), now);
    return;
  }
  const auto expected = by_run_and_method(test::read_file(golden_path("fingerprints.txt")));
  const auto actual = by_run_and_method(now);
  ASSERT_EQ(expected.size(), 15u) << "missing or short fingerprints.txt";
  // Compared one method at a time, so that a failure names where behaviour changed.
  for (const auto& [where, value] : actual) {
    const auto it = expected.find(where);
    ASSERT_NE(it, expected.end()) << where;
    EXPECT_EQ(value, it->second) << "behaviour changed in " << where;
  }
}

}  // namespace
}  // namespace bruvik
