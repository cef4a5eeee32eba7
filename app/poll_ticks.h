// Arithmetic of the poll timer's tick count. The count is a signed 32-bit
// number that runs on past its largest value: it wraps to the smallest one,
// computed in unsigned arithmetic so that the wrap is defined. The sampling
// rule and the progress-bar step are taken from the count's 32-bit pattern,
// so both stay defined and regular across the wrap.
#pragma once

#include <cstdint>

namespace NEVO::poll {

// Ticks between two pin samples (and automatic refreshes): 320 ms at 10 ms.
constexpr std::uint32_t kSampleEvery = 32;
// The progress bar counts automatic refreshes modulo this.
constexpr std::uint32_t kBarSteps = 10;

constexpr std::int32_t NextTick(std::int32_t ticks) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks) + 1u);
}

constexpr bool IsSampleTick(std::int32_t ticks) { return static_cast<std::uint32_t>(ticks) % kSampleEvery == 0; }

// (ticks / 32) mod 10 for every count the timer reaches before the wrap; past
// it the count's bit pattern goes on counting, so the bar keeps advancing by
// one step per refresh instead of turning negative.
constexpr int BarValue(std::int32_t ticks) {
  return static_cast<int>(static_cast<std::uint32_t>(ticks) / kSampleEvery % kBarSteps);
}

}  // namespace NEVO::poll
