// The poll timer, driven tick by tick.
#include <QCheckBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <climits>

#include "app/poll_ticks.h"
#include "bridge/device_access.h"
#include "window_fixture.h"

namespace {

using ::testing::ElementsAre;
using Kind = kvtest::BusOp::Kind;

TEST(PollTicks, CountWrapsFromTheLargestToTheSmallestValue) {
  EXPECT_EQ(NEVO::poll::NextTick(0), 1);
  EXPECT_EQ(NEVO::poll::NextTick(INT32_MAX), INT32_MIN);
  EXPECT_EQ(NEVO::poll::NextTick(-1), 0);
}

struct TickRule {
  std::int32_t ticks;
  bool sample;
  int bar;
};

class TickRuleTest : public ::testing::TestWithParam<TickRule> {};

TEST_P(TickRuleTest, SampleEvery32ndTickAndBarCountsRefreshes) {
  EXPECT_EQ(NEVO::poll::IsSampleTick(GetParam().ticks), GetParam().sample);
  if (GetParam().sample) {
    EXPECT_EQ(NEVO::poll::BarValue(GetParam().ticks), GetParam().bar);
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, TickRuleTest,
                         ::testing::Values(TickRule{31, false, 0}, TickRule{32, true, 1}, TickRule{288, true, 9},
                                           TickRule{320, true, 0}, TickRule{352, true, 1},
                                           TickRule{INT32_MAX - 31, true, 3}, TickRule{INT32_MAX, false, 0},
                                           // Past the wrap the bar goes on from 3 to 4, as if the count went on.
                                           TickRule{INT32_MIN, true, 4}, TickRule{INT32_MIN + 1, false, 0},
                                           TickRule{INT32_MIN + 32, true, 5}, TickRule{-32, true, 7}));

class PollTimerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    connectBoard();
  }
  // Runs ticks until the count reaches `last`.
  void tickUntil(std::int32_t last) {
    while (NEVO::updatetimerticks != last) window->updatetimer_Tick();
  }
  std::vector<Kind> kinds() const {
    std::vector<Kind> out;
    for (const kvtest::BusOp& op : ops()) out.push_back(op.kind);
    return out;
  }
  int bar() const { return find<QProgressBar>("autoreadBar")->value(); }
};

TEST_F(PollTimerTest, TheTimerTicksEvery10msWhileConnected) {
  click("btnConnect");  // disconnect
  click("btnConnect");
  auto* timer = find<QTimer>("updatetimer");
  EXPECT_TRUE(timer->isActive());
  QSignalSpy ticks(timer, &QTimer::timeout);
  EXPECT_TRUE(ticks.wait(1000));
  EXPECT_GT(NEVO::updatetimerticks, 0);
}

TEST_F(PollTimerTest, WithoutAutoOnlyEvery32ndTickSamplesThePins) {
  NEVO::updatetimerticks = 0;
  tickUntil(31);
  EXPECT_TRUE(ops().empty());
  window->updatetimer_Tick();
  EXPECT_THAT(kinds(), ElementsAre(Kind::PortRead));
  tickUntil(64);
  EXPECT_THAT(kinds(), ElementsAre(Kind::PortRead, Kind::PortRead));
  EXPECT_EQ(log(), "");
}

struct PinSample {
  std::uint16_t word;
  bool irq, presn, resn;
};

class PinSampleTest : public WindowTest, public ::testing::WithParamInterface<PinSample> {};

TEST_P(PinSampleTest, OutputBoxesShowTheRawLevels) {
  kvtest::ScriptedBackend answering;
  d2xx::SetBackend(&answering);
  ASSERT_TRUE(FTDI_OpenDevice());
  answering.QueueAnswer(kvtest::PortAnswer(GetParam().word));
  NEVO::updatetimerticks = 31;
  window->updatetimer_Tick();
  EXPECT_EQ(checked("IRQbox"), GetParam().irq);
  EXPECT_EQ(checked("PRESNbox"), GetParam().presn);
  EXPECT_EQ(checked("RESNbox"), GetParam().resn);
}

INSTANTIATE_TEST_SUITE_P(Words, PinSampleTest,
                         ::testing::Values(PinSample{0x0320, true, true, true}, PinSample{0xFCDF, false, false, false},
                                           PinSample{0x0100, false, true, false},
                                           PinSample{0x0220, true, false, true}));

TEST_F(PollTimerTest, FailedPinSampleShowsAllOutputsLow) {
  NEVO::updatetimerticks = 31;
  window->updatetimer_Tick();
  ASSERT_TRUE(checked("PRESNbox"));  // the simulated chip runs its regulators
  bus.FailNext("FT_Read");
  tickUntil(64);
  EXPECT_FALSE(checked("PRESNbox"));
  EXPECT_FALSE(checked("RESNbox"));
}

TEST_F(PollTimerTest, AutoRefreshesSilentlyAndMovesTheBar) {
  click("Autobox");
  NEVO::updatetimerticks = 300;
  tickUntil(320);
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
  EXPECT_EQ(kinds().front(), Kind::PortRead);
  EXPECT_EQ(log(), "");
  EXPECT_TRUE(NEVO::logV);
  EXPECT_EQ(bar(), 0);
  tickUntil(352);
  EXPECT_EQ(bar(), 1);
  // A manual update between refreshes is logged.
  click("updateBtn");
  EXPECT_NE(log(), "");
}

TEST_F(PollTimerTest, AutoRefreshShowsTheChipsValues) {
  click("Autobox");
  board.PokeRegister(0x31, 0x40);
  NEVO::updatetimerticks = 31;
  window->updatetimer_Tick();
  EXPECT_TRUE(marks("pwr_configBox")[1]);
}

TEST_F(PollTimerTest, BarKeepsItsValueWhileAutoIsOff) {
  click("Autobox");
  NEVO::updatetimerticks = 95;
  window->updatetimer_Tick();
  ASSERT_EQ(bar(), 3);
  click("Autobox");
  tickUntil(128);
  EXPECT_EQ(bar(), 3);
}

TEST_F(PollTimerTest, CountingGoesOnAcrossTheWrap) {
  click("Autobox");
  NEVO::updatetimerticks = INT32_MAX;
  window->updatetimer_Tick();
  EXPECT_EQ(NEVO::updatetimerticks, INT32_MIN);
  EXPECT_EQ(kinds().front(), Kind::PortRead);
  EXPECT_EQ(bar(), 4);
  tickUntil(INT32_MIN + 32);
  EXPECT_EQ(bar(), 5);
}

TEST_F(PollTimerTest, WatchdogPulsesOnEveryTickWithThePinWord) {
  find<QCheckBox>("tglbox")->setChecked(true);
  find<QCheckBox>("VTbox")->setChecked(true);
  forget();
  NEVO::updatetimerticks = 30;
  window->updatetimer_Tick();
  window->updatetimer_Tick();
  EXPECT_THAT(kinds(), ElementsAre(Kind::WatchdogPulse, Kind::WatchdogPulse, Kind::PortRead));
  // WD high with the word's low byte, then the word itself.
  const std::vector<kvtest::BusOp> sent = ops();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front().bytes, (std::vector<std::uint8_t>{0x80, 0x88 | 0x40, 0xDB, 0x80, 0x88, 0xDB}));
  EXPECT_EQ(log(), "");
}

}  // namespace
