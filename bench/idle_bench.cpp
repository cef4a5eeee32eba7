// What the window costs while the user only watches: connected to the
// simulated board with "Auto" ticked, the real 10 ms poll timer driving the
// event loop for a fixed wall time. The figure is the process's CPU time
// (user + system, all threads) per wall second, as a percentage of one core,
// outside and inside DFT mode; "auto_off" is the connected window with "Auto"
// left unticked, for comparison.
//
// Counters: cpu_percent; ticks_per_s (100 when the timer keeps its pace; a
// loaded machine shows fewer); reads_per_s, the register reads the automatic
// refreshes made (about 3 refreshes per second, 7 reads each outside DFT
// mode, 39 inside).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

#include "app/gui_state.h"
#include "bench/window_harness.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSettle = std::chrono::milliseconds(500);
constexpr auto kMeasure = std::chrono::seconds(3);

void RunEventLoopFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Idle(benchmark::State& state, bool dft, bool auto_refresh) {
  kvbench::ConnectedWindow w(dft);
  w.autoBox()->setChecked(auto_refresh);
  // The first refreshes and paints after connecting are start-up work.
  RunEventLoopFor(kSettle);
  double cpu = 0;
  double wall = 0;
  long ticks = 0;
  long reads = 0;
  for (auto _ : state) {
    w.bus.ResetCounts();
    const std::int32_t ticks_before = NEVO::updatetimerticks;
    const double cpu_before = CpuSeconds();
    const Clock::time_point start = Clock::now();
    RunEventLoopFor(kMeasure);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    cpu += CpuSeconds() - cpu_before;
    wall += elapsed;
    ticks += NEVO::updatetimerticks - ticks_before;
    reads += w.bus.reads;
    state.SetIterationTime(elapsed);
  }
  state.counters["cpu_percent"] = benchmark::Counter(100.0 * cpu / wall);
  state.counters["ticks_per_s"] = benchmark::Counter(static_cast<double>(ticks) / wall);
  state.counters["reads_per_s"] = benchmark::Counter(static_cast<double>(reads) / wall);
  if (dft) state.SetLabel(w.dft_by_button ? "DFT entered by the button" : "DFT mode set directly");
  if (dft && !NEVO::DFT_ENABLED) state.SkipWithError("the window left DFT mode");
}

void Register() {
  const auto setup = [](benchmark::internal::Benchmark* b) {
    b->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
  };
  setup(benchmark::RegisterBenchmark("idle/auto_on", Idle, false, true));
  setup(benchmark::RegisterBenchmark("idle/auto_on_dft", Idle, true, true));
  setup(benchmark::RegisterBenchmark("idle/auto_off", Idle, false, false));
}

}  // namespace

int main(int argc, char** argv) {
  kvbench::DefaultToOffscreen();
  QApplication app(argc, argv);
  Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
