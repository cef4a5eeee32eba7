// 100 000 poll ticks with "Auto" on in DFT mode against the simulated board:
// 3125 silent refreshes of 39 reads each. The window must not grow: the
// resident size after the run stays within 1 MB of the size after a warm-up,
// and LeakSanitizer (in the sanitizer build) finds nothing.
#include <unistd.h>

#include <QCheckBox>
#include <fstream>

#include "window_fixture.h"

namespace {

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages_total = 0, pages_resident = 0;
  statm >> pages_total >> pages_resident;
  return pages_resident * sysconf(_SC_PAGESIZE);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentSizeMeaningful = false;  // ASan's quarantine holds freed memory
#else
constexpr bool kResidentSizeMeaningful = true;
#endif

class Soak : public WindowTest {
 protected:
  std::size_t TakeRegisterReads() {
    std::size_t reads = 0;
    for (const kvtest::BusOp& op : ops()) reads += op.kind == kvtest::BusOp::Kind::RegRead ? 1 : 0;
    bus.ClearCalls();
    return reads;
  }
};

TEST_F(Soak, HundredThousandAutoTicksInDftModeKeepMemoryFlat) {
  connectBoard();
  board.SetDftMode(true);
  NEVO::DFT_ENABLED = true;
  find<QCheckBox>("Autobox")->setChecked(true);
  bus.ClearCalls();

  constexpr int kWarmUp = 3200;
  constexpr int kTicks = 100000;
  for (int i = 0; i < kWarmUp; ++i) window->updatetimer_Tick();
  bus.ClearCalls();  // the recorder's own memory is not the window's
  const long before = ResidentBytes();
  std::size_t reads = 0;
  for (int i = 0; i < kTicks; ++i) {
    window->updatetimer_Tick();
    if ((i & 1023) == 0) reads += TakeRegisterReads();
  }
  reads += TakeRegisterReads();
  const long growth = ResidentBytes() - before;
  RecordProperty("resident_growth_bytes", std::to_string(growth));
  std::printf("soak: %d ticks, %zu register reads, resident growth %ld bytes\n", kTicks, reads, growth);

  EXPECT_TRUE(NEVO::DFT_ENABLED);
  EXPECT_EQ(reads, kTicks / 32 * 39u) << "one silent DFT refresh every 32 ticks";
  EXPECT_EQ(log(), "") << "automatic refreshes log nothing";
  if (kResidentSizeMeaningful) {
    EXPECT_LT(growth, 1 << 20);
  }
}

}  // namespace
