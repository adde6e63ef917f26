// Going back in time in the window: the live form put back to a random moment of a whole run
// (a default run, and one with data amount 10 000), its history driven to the end first as
// the window's frames at 50x would drive it. The picture must be back within 50 ms and 1 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "history/history.h"
#include "model/form.h"
#include "sim/wiring.h"

namespace {

using bruvik::VirtualMs;

struct WholeRun {
  bruvik::Form1 live;
  std::unique_ptr<bruvik::History> history;

  explicit WholeRun(const std::string& data_amount) : live(7, bruvik::tick_handlers()) {
    bruvik::StartSettings start;
    start.seed = 7;
    start.data_amount = data_amount;
    bruvik::prepare(live, start);
    history = std::make_unique<bruvik::History>(live, start);
    const bruvik::UserAction press{0, std::nullopt, bruvik::ActionKind::Click, "Command1", "", 0};
    bruvik::apply_action(live, press);
    history->record_action(press);
    // Frames of 33 ms at 50x until the performance table is ranked.
    while (!live.Option1.enabled()) {
      history->advance_to(live.now() + 33 * 50);
      history->reached();
    }
  }
};

void GoBackToARandomMoment(benchmark::State& state, const std::string& data_amount) {
  WholeRun run(data_amount);
  const VirtualMs end = run.history->furthest().time;
  std::mt19937_64 rng(1);
  double worst_ms = 0;
  for (auto _ : state) {
    const VirtualMs t = static_cast<VirtualMs>(rng() % static_cast<std::uint64_t>(end + 1));
    const auto from = std::chrono::steady_clock::now();
    run.history->go_to_time(t);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - from;
    worst_ms = std::max(worst_ms, took.count());
    benchmark::DoNotOptimize(run.live.now());
  }
  state.counters["worst_ms"] = worst_ms;
  state.counters["run_virtual_s"] = static_cast<double>(end) / 1000.0;
  state.counters["checkpoints"] = static_cast<double>(run.history->checkpoints());
  state.counters["events"] = static_cast<double>(run.history->record().size());
}
BENCHMARK_CAPTURE(GoBackToARandomMoment, default_run, std::string("100"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GoBackToARandomMoment, data_amount_10000, std::string("10000"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
