// The camera program's memory and descriptors over a long run of prints, headless on the
// virtual clock with the smallest prints, as the stress test runs it: the peak resident memory
// after a short run and after a run five times as long, what each print beyond the short run
// added to the peak (a print's pictures are let go when it is done, so this should stay near
// nothing), and the most descriptors seen open while it printed. Each run is a fresh process
// in a home of its own.
//
// The figures depend on the machine's threads and allocator; read them against earlier runs
// on the same machine. A long pair takes minutes: --benchmark_filter=/20/ for a quick look.
#include "hardening/ProcessStatus.h"
#include "support/ScriptedCamera.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>

namespace {

struct RunFigures {
    int status = -1;
    long peakKilobytes = 0;
    int mostDescriptors = 0;
    double seconds = 0;
};

RunFigures printRun(int prints) {
    std::ostringstream script;
    for (int i = 0; i < prints; ++i)
        script << "key space\nwait 3\n";
    script << "quit\n";
    HeadlessOptions options;
    options.model = "default";

    RunFigures figures;
    ScriptedCamera camera;
    const auto start = std::chrono::steady_clock::now();
    const auto process = camera.start(script.str(), options);
    process->waitUntil(
        [&] {
            figures.mostDescriptors =
                std::max(figures.mostDescriptors, hardening::openDescriptors(process->pid()));
            return false;
        },
        3600);
    figures.status = process->wait();
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.peakKilobytes = process->peakResidentKilobytes();
    return figures;
}

// Args: the prints of the short run, then of the long one.
void BM_PrintRunMemory(benchmark::State& state) {
    const int shortRun = static_cast<int>(state.range(0));
    const int longRun = static_cast<int>(state.range(1));
    RunFigures early, late;
    for (auto _ : state) {
        early = printRun(shortRun);
        late = printRun(longRun);
        if (early.status != 0 || late.status != 0) {
            state.SkipWithError("the camera program did not finish its prints");
            return;
        }
        state.SetIterationTime(late.seconds);
    }
    state.counters["peak_short_MB"] = early.peakKilobytes / 1024.0;
    state.counters["peak_long_MB"] = late.peakKilobytes / 1024.0;
    state.counters["growth_kB_per_print"] =
        double(late.peakKilobytes - early.peakKilobytes) / (longRun - shortRun);
    state.counters["descriptors"] = std::max(early.mostDescriptors, late.mostDescriptors);
    state.counters["prints_per_s"] = longRun / late.seconds;
}
BENCHMARK(BM_PrintRunMemory)
    ->Args({100, 500})
    ->Args({20, 100})
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
