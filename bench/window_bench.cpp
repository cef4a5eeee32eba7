// The window's own cost on top of the bus: one full status refresh in DFT
// mode (updateStatusBoxes, which goes on with the DFT page) against the same
// register reads made straight through the frame engine on the same
// simulated board, with the same DFT flag and in the same order.
//
// Every benchmark counts the register reads it really made (reads_per_call)
// and checks, on one call before timing, that they are the 39 reads of a
// full DFT refresh; the label says so when they are not. After the table the
// window/direct ratios of the median CPU times are printed.
// dft_refresh/interleaved_auto alternates the poll-timer refresh and the
// direct pass within each iteration and reports their ratio itself (ratio,
// window_us, direct_us): the figure least moved by other work on the machine.
//
//   window_bench                  the benchmarks
//   window_bench --ir_probe=N     no benchmarks: N refreshes through each
//                                 of kvbench::ProbeWindowRefresh and
//                                 kvbench::ProbeWindowRefreshLogged and N
//                                 direct passes through
//                                 kvbench::ProbeDirectReads, for instruction
//                                 counts under callgrind
//                                 (bench/callgrind_ratios.sh)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/gui_state.h"
#include "bench/window_harness.h"
#include "bridge/spi.h"

namespace kvbench {

// One refresh as the window runs it: as the poll timer's automatic refresh
// (logV off) and as the "Update" button's (logV on, every read logged).
[[gnu::noipa]] void ProbeWindowRefresh(NEVO::Form1& window) { window.updateStatusBoxes(); }
// The log pane lays out a batch of lines once control is back in the event
// loop; that work belongs to the click, so it is measured with it.
[[gnu::noipa]] void ProbeWindowRefreshLogged(NEVO::Form1& window) {
  window.updateStatusBoxes();
  QApplication::processEvents();
}

// The same reads with nothing around them.
[[gnu::noipa]] void ProbeDirectReads(const std::vector<std::uint8_t>& regs, std::uint8_t* values) {
  for (std::size_t i = 0; i < regs.size(); ++i) NEVO_SPIRead(NEVO::DFT_ENABLED, regs[i], &values[i]);
}

}  // namespace kvbench

namespace {

using kvbench::ConnectedWindow;
using kvbench::DftRefreshRegisters;

constexpr int kRepetitions = 5;

// Connected in DFT mode, the poll timer stopped so that only the benchmark
// refreshes.
struct DftSetup {
  ConnectedWindow w{/*dft=*/true};
  DftSetup() {
    w.pollTimer()->stop();
    QApplication::processEvents();
  }
};

// Records the reads of one call of fn and labels the run with what it saw.
template <typename Fn>
void CheckReads(benchmark::State& state, kvbench::CountingBoard& bus, bool dft_by_button,
                const std::vector<std::uint8_t>& expected, Fn fn) {
  bus.ResetCounts();
  bus.recording = true;
  fn();
  bus.recording = false;
  const std::size_t full = DftRefreshRegisters().size();
  std::string label;
  if (bus.RecordedReadsAre(expected, true)) {
    label = std::to_string(expected.size()) + " reads as listed" +
            (expected.size() == full ? "" : " (of " + std::to_string(full) + ")");
  } else {
    label = "made " + std::to_string(bus.read_words.size()) + " of the " + std::to_string(expected.size()) +
            " listed reads";
  }
  state.SetLabel(label + (dft_by_button ? "; DFT entered by the button" : "; DFT mode set directly"));
  bus.ResetCounts();
}

void SetReadCounters(benchmark::State& state, const kvbench::CountingBoard& bus) {
  state.counters["reads_per_call"] =
      benchmark::Counter(static_cast<double>(bus.reads) / static_cast<double>(state.iterations()));
  state.counters["writes_per_call"] =
      benchmark::Counter(static_cast<double>(bus.writes) / static_cast<double>(state.iterations()));
}

// logged = false: the poll timer's automatic refresh (logV off).
// logged = true: the "Update" button's refresh, every read logged; the log is
// cleared between calls, outside the timing, so that it does not grow.
void WindowRefresh(benchmark::State& state, bool logged) {
  DftSetup setup;
  ConnectedWindow& w = setup.w;
  NEVO::logV = logged;
  CheckReads(state, w.bus, w.dft_by_button, DftRefreshRegisters(), [&] { w.window->updateStatusBoxes(); });
  w.window->button8_Click();
  for (auto _ : state) {
    if (logged) {
      kvbench::ProbeWindowRefreshLogged(*w.window);
      state.PauseTiming();
      w.window->button8_Click();
      state.ResumeTiming();
    } else {
      kvbench::ProbeWindowRefresh(*w.window);
    }
  }
  NEVO::logV = true;
  SetReadCounters(state, w.bus);
  if (!NEVO::DFT_ENABLED) state.SkipWithError("the window left DFT mode");
}

void DirectReads(benchmark::State& state, std::vector<std::uint8_t> regs) {
  DftSetup setup;
  ConnectedWindow& w = setup.w;
  std::vector<std::uint8_t> values(regs.size());
  CheckReads(state, w.bus, w.dft_by_button, regs, [&] { kvbench::ProbeDirectReads(regs, values.data()); });
  for (auto _ : state) {
    kvbench::ProbeDirectReads(regs, values.data());
    benchmark::DoNotOptimize(values.data());
  }
  SetReadCounters(state, w.bus);
}

double ThreadCpuUs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The poll timer's refresh and the direct pass taking turns in every
// iteration, each timed on the thread's CPU clock, so that a change in the
// machine's load between benchmarks cannot tilt the ratio.
void Interleaved(benchmark::State& state) {
  DftSetup setup;
  ConnectedWindow& w = setup.w;
  const std::vector<std::uint8_t> regs = DftRefreshRegisters();
  std::vector<std::uint8_t> values(regs.size());
  NEVO::logV = false;
  CheckReads(state, w.bus, w.dft_by_button, regs, [&] { w.window->updateStatusBoxes(); });
  double window_us = 0;
  double direct_us = 0;
  long window_reads = 0;
  for (auto _ : state) {
    const double t0 = ThreadCpuUs();
    kvbench::ProbeWindowRefresh(*w.window);
    const double t1 = ThreadCpuUs();
    window_reads += std::exchange(w.bus.reads, 0);
    kvbench::ProbeDirectReads(regs, values.data());
    const double t2 = ThreadCpuUs();
    w.bus.reads = 0;
    window_us += t1 - t0;
    direct_us += t2 - t1;
  }
  NEVO::logV = true;
  const auto n = static_cast<double>(state.iterations());
  state.counters["window_us"] = benchmark::Counter(window_us / n);
  state.counters["direct_us"] = benchmark::Counter(direct_us / n);
  state.counters["ratio"] = benchmark::Counter(window_us / direct_us);
  state.counters["reads_per_call"] = benchmark::Counter(static_cast<double>(window_reads) / n);
}

std::vector<std::uint8_t> FirstSevenReads() {
  std::vector<std::uint8_t> regs = DftRefreshRegisters();
  regs.resize(7);
  return regs;
}

void Register() {
  const auto setup = [](benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->DisplayAggregatesOnly(true);
  };
  setup(benchmark::RegisterBenchmark("dft_refresh/window_auto", WindowRefresh, false));
  setup(benchmark::RegisterBenchmark("dft_refresh/window_update", WindowRefresh, true));
  setup(benchmark::RegisterBenchmark("dft_refresh/direct_39", DirectReads, DftRefreshRegisters()));
  setup(benchmark::RegisterBenchmark("dft_refresh/direct_first7", DirectReads, FirstSevenReads()));
  setup(benchmark::RegisterBenchmark("dft_refresh/interleaved_auto", Interleaved));
}

// The console table, then the ratios of the median CPU times of one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single) continue;
      Figure& f = figures_[run.run_name.function_name];
      f.cpu_us = run.GetAdjustedCPUTime();
      const auto reads = run.counters.find("reads_per_call");
      if (reads != run.counters.end()) f.reads = reads->second.value;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const Figure* direct39 = find("dft_refresh/direct_39");
    const Figure* direct7 = find("dft_refresh/direct_first7");
    if (find("dft_refresh/window_auto") == nullptr && find("dft_refresh/window_update") == nullptr) return;
    std::printf("\nWindow overhead of a DFT-mode refresh, median CPU time per call (goal: at most 1.5)\n");
    for (const char* name : {"dft_refresh/window_auto", "dft_refresh/window_update"}) {
      const Figure* window = find(name);
      if (window == nullptr) continue;
      if (direct39 != nullptr) {
        std::printf("  %-26s / direct_39     = %.3f  (%.0f vs %.0f reads per call)\n", name,
                    window->cpu_us / direct39->cpu_us, window->reads, direct39->reads);
      }
      // Until the DFT page is filled by the refresh, this is the only ratio
      // of equal work.
      if (direct7 != nullptr && window->reads == direct7->reads) {
        std::printf("  %-26s / direct_first7 = %.3f  (%.0f vs %.0f reads per call)\n", name,
                    window->cpu_us / direct7->cpu_us, window->reads, direct7->reads);
      }
      if (direct39 != nullptr && window->reads != direct39->reads) {
        std::printf("  note: %s made %.0f reads per call, not %.0f: the ratio against direct_39 is not one of "
                    "equal work\n",
                    name, window->reads, direct39->reads);
      }
    }
  }

 private:
  struct Figure {
    double cpu_us = 0;
    double reads = 0;
  };
  const Figure* find(const std::string& name) const {
    const auto it = figures_.find(name);
    return it == figures_.end() ? nullptr : &it->second;
  }
  std::map<std::string, Figure> figures_;
};

int IrProbe(long calls) {
  DftSetup setup;
  ConnectedWindow& w = setup.w;
  NEVO::logV = false;
  const std::vector<std::uint8_t> regs = DftRefreshRegisters();
  std::vector<std::uint8_t> values(regs.size());
  // Warm-up outside the probes, so that first-call costs stay out of the
  // counts.
  for (int i = 0; i < 50; ++i) {
    w.window->updateStatusBoxes();
    NEVO::logV = true;
    w.window->updateStatusBoxes();
    w.window->button8_Click();
    NEVO::logV = false;
    for (std::size_t r = 0; r < regs.size(); ++r) NEVO_SPIRead(NEVO::DFT_ENABLED, regs[r], &values[r]);
  }
  w.bus.ResetCounts();
  for (long i = 0; i < calls; ++i) kvbench::ProbeWindowRefresh(*w.window);
  const long window_reads = w.bus.reads;
  // The log is cleared between calls, outside the probe.
  NEVO::logV = true;
  w.window->button8_Click();
  for (long i = 0; i < calls; ++i) {
    kvbench::ProbeWindowRefreshLogged(*w.window);
    w.window->button8_Click();
  }
  NEVO::logV = false;
  w.bus.ResetCounts();
  for (long i = 0; i < calls; ++i) kvbench::ProbeDirectReads(regs, values.data());
  const long direct_reads = w.bus.reads;
  NEVO::logV = true;
  std::printf("calls=%ld window_reads_per_call=%.1f direct_reads_per_call=%.1f dft=%d dft_by_button=%d\n", calls,
              static_cast<double>(window_reads) / static_cast<double>(calls),
              static_cast<double>(direct_reads) / static_cast<double>(calls), NEVO::DFT_ENABLED ? 1 : 0,
              w.dft_by_button ? 1 : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kvbench::DefaultToOffscreen();
  QApplication app(argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--ir_probe=", 11) == 0) return IrProbe(std::atol(argv[i] + 11));
  }
  Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
