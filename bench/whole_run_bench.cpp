// Whole runs in virtual time: how much faster than real time one core runs them, what the idle
// completion test costs when its ticks are not skipped, and how the cost grows with the data
// amount.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "controls/operator_controls.h"
#include "headless/run.h"
#include "model/form.h"
#include "sim/wiring.h"

namespace {

using bruvik::RunParams;

// A whole default run per iteration, a new seed each time.
void WholeDefaultRun(benchmark::State& state) {
  std::uint64_t seed = 1;
  double virtual_ms = 0;
  for (auto _ : state) {
    RunParams p;
    p.start.seed = seed++;
    const bruvik::RunResult r = bruvik::run_once(p);
    benchmark::DoNotOptimize(r.finished);
    virtual_ms += static_cast<double>(r.virtual_ms);
  }
  // Virtual milliseconds per wall millisecond: the speed-up over real time.
  state.counters["x_real_time"] =
      benchmark::Counter(virtual_ms / 1000.0, benchmark::Counter::kIsRate);
  state.counters["virtual_s_per_run"] =
      virtual_ms / 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(WholeDefaultRun)->Unit(benchmark::kMillisecond);

// The same runs with every shortcut of the clock off, side by side with the above.
void WholeDefaultRunEveryTick(benchmark::State& state) {
  std::uint64_t seed = 1;
  double virtual_ms = 0;
  for (auto _ : state) {
    const bruvik::ClockModeScope plain(bruvik::ClockMode::Plain);
    bruvik::Form1 form(seed++, bruvik::tick_handlers());
    bruvik::prepare_form(form, 5, 5, 5, "100");
    bruvik::Command1_Click(form);
    // Finished when the performance table has been ranked (both options enabled).
    while (!form.Option1.enabled() && form.clock().deliver_next(3600000) != 0) {
    }
    virtual_ms += static_cast<double>(form.now());
  }
  state.counters["x_real_time"] =
      benchmark::Counter(virtual_ms / 1000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(WholeDefaultRunEveryTick)->Unit(benchmark::kMillisecond);

// Cost against the data amount: 100, 1000, 10000 (it should grow linearly).
void WholeRunByDataAmount(benchmark::State& state) {
  std::uint64_t seed = 1;
  for (auto _ : state) {
    RunParams p;
    p.start.seed = seed++;
    p.start.data_amount = std::to_string(state.range(0));
    p.max_time = 1000000000;
    const bruvik::RunResult r = bruvik::run_once(p);
    benchmark::DoNotOptimize(r.finished);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(WholeRunByDataAmount)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Start-up alone: building the form and its first fifty back-offs.
void StartUp(benchmark::State& state) {
  std::uint64_t seed = 1;
  for (auto _ : state) {
    bruvik::Form1 form(seed++, bruvik::tick_handlers());
    bruvik::prepare_form(form, 5, 5, 5, "100");
    benchmark::DoNotOptimize(form.now());
  }
}
BENCHMARK(StartUp)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
