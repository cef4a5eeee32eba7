// Start-up: from process start to the main window shown (its first paint
// done), and the process's peak memory, against a bare Qt window with one
// button built the same way. Each iteration spawns both probe programs
// (startup_form1, startup_bare) with QT_QPA_PLATFORM=offscreen, one after
// the other, taking turns at going first, and waits for each with wait4.
// A probe prints the moment its window was shown and then quits.
//
// Counters, each the median over the iterations of one run (ratios are the
// medians of the per-iteration ratios of the two programs):
//   form1_shown_ms, bare_shown_ms, shown_ratio
//                          spawn to window shown (the figure of the goal)
//   form1_exit_ms, bare_exit_ms
//                          spawn to process gone (shown, closed, torn down)
//   form1_cpu_ms, bare_cpu_ms, cpu_ratio
//                          the child's user + system time to its exit, which
//                          another build on the machine disturbs far less
//                          than wall time
//   form1_rss_mib, bare_rss_mib, rss_ratio
//                          peak resident set (wait4's ru_maxrss)
//   driver_rss_mib         this driver's own peak: a spawned child's
//                          ru_maxrss can never read below it, so it must
//                          stay well under both figures
// The time column is form1's spawn-to-shown time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
  double shown_ms = 0;
  double exit_ms = 0;
  double cpu_ms = 0;
  double rss_mib = 0;
};

std::vector<char*> ChildEnvironment(std::string& platform) {
  std::vector<char*> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) env.push_back(*e);
  }
  platform = "QT_QPA_PLATFORM=offscreen";
  env.push_back(platform.data());
  env.push_back(nullptr);
  return env;
}

std::int64_t MonotonicNs(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// Runs the program to its end, standard output caught, standard error
// thrown away. False when it could not be started, did not exit with 0 or
// did not tell when its window was shown.
bool Spawn(const char* program, Sample& sample) {
  std::string platform;
  std::vector<char*> env = ChildEnvironment(platform);
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  // steady_clock is CLOCK_MONOTONIC, the clock the probe reports on.
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program, &actions, nullptr, argv, env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (failed != 0) {
    close(out[0]);
    return false;
  }
  std::string text;
  char chunk[256];
  for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  close(out[0]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  const auto end = std::chrono::steady_clock::now();
  long long shown_ns = 0;
  if (std::sscanf(text.c_str(), "shown_ns %lld", &shown_ns) != 1) return false;
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
  sample.shown_ms = static_cast<double>(shown_ns - MonotonicNs(start)) / 1e6;
  sample.exit_ms = std::chrono::duration<double, std::milli>(end - start).count();
  sample.cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
  sample.rss_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double DriverRssMib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Startup(benchmark::State& state) {
  Sample form1;
  Sample bare;
  // Loads the programs and their libraries into the page cache.
  for (int i = 0; i < 2; ++i) {
    if (!Spawn(KV_STARTUP_FORM1, form1) || !Spawn(KV_STARTUP_BARE, bare)) {
      state.SkipWithError("a probe program failed");
      return;
    }
  }
  std::vector<double> f_shown, f_exit, f_cpu, f_rss, b_shown, b_exit, b_cpu, b_rss, r_shown, r_cpu, r_rss;
  bool form1_first = true;
  for (auto _ : state) {
    const bool ok = form1_first ? Spawn(KV_STARTUP_FORM1, form1) && Spawn(KV_STARTUP_BARE, bare)
                                : Spawn(KV_STARTUP_BARE, bare) && Spawn(KV_STARTUP_FORM1, form1);
    if (!ok) {
      state.SkipWithError("a probe program failed");
      return;
    }
    form1_first = !form1_first;
    state.SetIterationTime(form1.shown_ms / 1e3);
    f_shown.push_back(form1.shown_ms);
    f_exit.push_back(form1.exit_ms);
    f_cpu.push_back(form1.cpu_ms);
    f_rss.push_back(form1.rss_mib);
    b_shown.push_back(bare.shown_ms);
    b_exit.push_back(bare.exit_ms);
    b_cpu.push_back(bare.cpu_ms);
    b_rss.push_back(bare.rss_mib);
    r_shown.push_back(form1.shown_ms / bare.shown_ms);
    r_cpu.push_back(form1.cpu_ms / bare.cpu_ms);
    r_rss.push_back(form1.rss_mib / bare.rss_mib);
  }
  state.counters["form1_shown_ms"] = Median(f_shown);
  state.counters["bare_shown_ms"] = Median(b_shown);
  state.counters["shown_ratio"] = Median(r_shown);
  state.counters["form1_exit_ms"] = Median(f_exit);
  state.counters["bare_exit_ms"] = Median(b_exit);
  state.counters["form1_cpu_ms"] = Median(f_cpu);
  state.counters["bare_cpu_ms"] = Median(b_cpu);
  state.counters["cpu_ratio"] = Median(r_cpu);
  state.counters["form1_rss_mib"] = Median(f_rss);
  state.counters["bare_rss_mib"] = Median(b_rss);
  state.counters["rss_ratio"] = Median(r_rss);
  state.counters["driver_rss_mib"] = DriverRssMib();
}
BENCHMARK(Startup)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
