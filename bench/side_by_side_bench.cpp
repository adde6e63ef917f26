// Two builds of the program side by side: the same terminal batch run by each in turn, A B A B,
// so that a drift of the shared machine's speed falls on both alike. Reports each one's median
// wall time per batch and the median of the pairwise ratios A / B.
//
//   side_by_side_bench OLD_PROGRAM NEW_PROGRAM [RUNS [THREADS]] [benchmark options]
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string old_program, new_program, runs = "2000", threads = "1";

// Wall seconds of one batch of `program`, its output thrown away.
double run_batch(const std::string& program) {
  std::vector<std::string> args{program, "--headless", "--runs", runs,       "--threads",
                                threads, "--seed",     "1",      "--format", "csv"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    throw std::runtime_error("cannot start " + program);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const auto t1 = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(program + " failed");
  return std::chrono::duration<double>(t1 - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void OldThenNew(benchmark::State& state) {
  std::vector<double> a, b, ratio;
  for (auto _ : state) {
    a.push_back(run_batch(old_program));
    b.push_back(run_batch(new_program));
    ratio.push_back(a.back() / b.back());
    state.SetIterationTime(a.back() + b.back());
  }
  state.counters["old_ms"] = median(a) * 1000;
  state.counters["new_ms"] = median(b) * 1000;
  state.counters["old_over_new"] = median(ratio);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: %s OLD_PROGRAM NEW_PROGRAM [RUNS [THREADS]]\n", argv[0]);
    return 2;
  }
  old_program = argv[1];
  new_program = argv[2];
  if (argc > 3) runs = argv[3];
  if (argc > 4) threads = argv[4];
  benchmark::RegisterBenchmark("OldThenNew", OldThenNew)
      ->UseManualTime()
      ->Iterations(11)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
