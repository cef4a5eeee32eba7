// Frame building: the four streams and the response decoding per call. Each
// benchmark reports allocations per call from a counting operator new; the
// engine builds everything in fixed-size local buffers, so it must read 0.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

#include "bridge/spi.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

template <typename Fn>
void Measure(benchmark::State& state, Fn fn) {
  const long before = g_allocations.load();
  for (auto _ : state) fn();
  state.counters["allocs_per_call"] =
      benchmark::Counter(static_cast<double>(g_allocations.load() - before) / static_cast<double>(state.iterations()));
}

void BM_ReadStream(benchmark::State& state) {
  std::array<std::uint8_t, spi::kReadBufferSize> buf;
  Measure(state, [&] {
    benchmark::DoNotOptimize(spi::BuildReadStream(buf.data(), spi::CommandWord(false, false, 0x21, 0), 0x90));
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_ReadStream);

void BM_WriteStream(benchmark::State& state) {
  std::array<std::uint8_t, spi::kWriteBufferSize> buf;
  Measure(state, [&] {
    benchmark::DoNotOptimize(spi::BuildWriteStream(buf.data(), spi::CommandWord(false, true, 0x31, 0x55), 0x00));
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_WriteStream);

void BM_WakeStream(benchmark::State& state) {
  std::array<std::uint8_t, spi::kWriteBufferSize> buf;
  Measure(state, [&] {
    benchmark::DoNotOptimize(spi::BuildWriteStream(buf.data(), spi::kWakeCommandWord, 0x00));
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_WakeStream);

void BM_ShortFrameStream(benchmark::State& state) {
  std::array<std::uint8_t, spi::kReadBufferSize> buf;
  Measure(state, [&] {
    benchmark::DoNotOptimize(spi::BuildShortFrameStream(buf.data(), 0x00));
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_ShortFrameStream);

void BM_DecodeResponse(benchmark::State& state) {
  std::array<std::uint8_t, spi::kReadAnswerSize> answer{};
  for (std::size_t i = 1; i < answer.size(); i += 2) answer[i] = 0x04;
  Measure(state, [&] {
    benchmark::DoNotOptimize(spi::DecodeResponse(answer.data()));
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_DecodeResponse);

// The same measure on a heap buffer, to show that the counter counts.
void BM_HeapBufferBaseline(benchmark::State& state) {
  Measure(state, [&] {
    auto* buf = new std::array<std::uint8_t, spi::kWriteBufferSize>;
    benchmark::DoNotOptimize(spi::BuildWriteStream(buf->data(), spi::kWakeCommandWord, 0x00));
    delete buf;
  });
}
BENCHMARK(BM_HeapBufferBaseline);

}  // namespace

BENCHMARK_MAIN();
