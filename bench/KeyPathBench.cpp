// Cost per frame of the key path: scheduler + map alone, and the whole
// CSrc::HandleIrEvent with a callback that does nothing.
#include "bench/KeyPath.h"

#include <benchmark/benchmark.h>

namespace {

using namespace keypath;

void SchedulerMap(benchmark::State& state, bool changes) {
    CSchedulerMap path;
    std::uint64_t frame = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(path.Frame(CodeOfFrame(frame++, changes)));
    state.SetItemsProcessed(static_cast<std::int64_t>(frame));
}

void HandleIrEvent(benchmark::State& state, bool changes) {
    CFrameClock clock;
    CBenchSrc src(clock);
    std::uint64_t frame = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(src.HandleIrEvent(CodeOfFrame(frame++, changes)));
    state.SetItemsProcessed(static_cast<std::int64_t>(frame));
}

void BM_SchedulerMap_HeldKey(benchmark::State& state) { SchedulerMap(state, false); }
void BM_SchedulerMap_KeyChanges(benchmark::State& state) { SchedulerMap(state, true); }
void BM_HandleIrEvent_HeldKey(benchmark::State& state) { HandleIrEvent(state, false); }
void BM_HandleIrEvent_KeyChanges(benchmark::State& state) { HandleIrEvent(state, true); }

BENCHMARK(BM_SchedulerMap_HeldKey);
BENCHMARK(BM_SchedulerMap_KeyChanges);
BENCHMARK(BM_HandleIrEvent_HeldKey);
BENCHMARK(BM_HandleIrEvent_KeyChanges);

}  // namespace

BENCHMARK_MAIN();
