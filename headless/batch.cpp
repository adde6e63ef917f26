#include "headless/batch.h"

#include <atomic>
#include <exception>
#include <thread>

namespace bruvik {

int worker_count([[maybe_unused]] int threads, std::size_t jobs) {
#ifdef __EMSCRIPTEN__
  // One run at a time in WebAssembly: the page's threads are its Web Workers.
  std::size_t n = 1;
#else
  std::size_t n = threads > 0 ? static_cast<std::size_t>(threads)
                              : static_cast<std::size_t>(std::thread::hardware_concurrency());
  if (n == 0) n = 1;
#endif
  if (n > jobs) n = jobs;
  return n == 0 ? 1 : static_cast<int>(n);
}

std::vector<BatchRun> run_batch(const std::vector<RunParams>& params, [[maybe_unused]] int threads,
                                const Runner& runner) {
  std::vector<BatchRun> out(params.size());
  // Each worker takes the next undone index; a run writes only its own slot.
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < params.size(); i = next++) {
      try {
        out[i].result = runner(params[i]);
      } catch (const std::exception& e) {
        // A run-time error of the core, or a refused input: either ends this run alone.
        out[i].result.params = params[i];
        out[i].error = e.what();
      }
    }
  };
#ifdef __EMSCRIPTEN__
  // emscripten's library has no std::jthread, and only one worker is counted there.
  work();
#else
  const int n = worker_count(threads, params.size());
  std::vector<std::jthread> pool;
  pool.reserve(static_cast<std::size_t>(n - 1));
  for (int t = 1; t < n; ++t) pool.emplace_back(work);
  work();
  pool.clear();  // joins: every slot is written before the results leave
#endif
  return out;
}

}  // namespace bruvik
