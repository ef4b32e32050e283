// CPU cost of the per-change work of the key model, natively: one
// compareAndReport (a key changed, written and flushed to a real file on
// disk, and the common pass where nothing changed) and one planGrid.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "keymodel/grid_plan.h"
#include "keymodel/transition_log.h"

namespace {

constexpr uint8_t kKeyA = 0x1E;
constexpr uint8_t kNumPadEnter = 0x9C;

// The grid font's metrics as Wine gives them for IPAGothic.
constexpr GridMetrics kMetrics{16, 9, 23};

KeyState stateWith(uint8_t code) {
  KeyState state{};
  if (code != 0)
    state.bytes[code] = 0x80;
  return state;
}

// Alternates down and up, so every call writes one line and flushes it.
void keyChanged(benchmark::State &run, uint8_t code, KeyboardLayout layout) {
  FILE *log = openTransitionLog();
  if (log == nullptr) {
    run.SkipWithError("cannot create the log in the current directory");
    return;
  }
  const KeyState states[2] = {stateWith(0), stateWith(code)};
  int index = 0;
  for (auto _ : run) {
    benchmark::DoNotOptimize(
        compareAndReport(log, states[index ^ 1], states[index], layout));
    index ^= 1;
  }
  closeTransitionLog(log, layout);
}

void BM_compareAndReport_keyA_US(benchmark::State &run) {
  keyChanged(run, kKeyA, LayoutUS);
}
void BM_compareAndReport_lastKey_JP(benchmark::State &run) {
  keyChanged(run, kNumPadEnter, LayoutJP);
}

void BM_compareAndReport_noChange(benchmark::State &run) {
  FILE *log = openTransitionLog();
  const KeyState state = stateWith(kKeyA);
  for (auto _ : run)
    benchmark::DoNotOptimize(compareAndReport(log, state, state, LayoutUS));
  closeTransitionLog(log, LayoutUS);
}

void planOne(benchmark::State &run, KeyboardLayout layout) {
  static GridPlan plan;
  const KeyState state = stateWith(kKeyA);
  for (auto _ : run) {
    planGrid(plan, layout, state, kMetrics);
    benchmark::DoNotOptimize(plan.keyCount);
    benchmark::ClobberMemory();
  }
}

void BM_planGrid_US(benchmark::State &run) { planOne(run, LayoutUS); }
void BM_planGrid_JP(benchmark::State &run) { planOne(run, LayoutJP); }

} // namespace

BENCHMARK(BM_compareAndReport_keyA_US);
BENCHMARK(BM_compareAndReport_lastKey_JP);
BENCHMARK(BM_compareAndReport_noChange);
BENCHMARK(BM_planGrid_US);
BENCHMARK(BM_planGrid_JP);

BENCHMARK_MAIN();
