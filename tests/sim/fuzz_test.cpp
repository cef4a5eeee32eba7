// Random byte streams into the simulated board: it must neither crash nor
// hang, its answer queue must stay consistent, and after a replug it must
// work as new whatever the garbage did to the chip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/link_state.h"
#include "bridge/spi.h"
#include "sim/simulated_board.h"
#include "sleep_recorder.h"

namespace {

// A bit-banged frame as the bridge layer sends it, with any clock count.
void AppendFrame(std::vector<std::uint8_t>& out, std::uint16_t word, int clocks) {
  out.insert(out.end(), {0x80, 0x00, 0xDB, 0x81});
  for (int i = 0; i < clocks; ++i) {
    const auto sdi = static_cast<std::uint8_t>(i < 16 && ((word >> (15 - i)) & 1u) ? 0x02 : 0x00);
    out.insert(out.end(), {0x80, static_cast<std::uint8_t>(0x01 | sdi), 0xDB, 0x80, sdi, 0xDB, 0x81});
  }
  out.insert(out.end(), {0x80, 0x08, 0xDB});
}

// Commands that change the chip's state, so that lock, lpm0, wake and the DFT
// handshake happen among the garbage.
std::uint16_t InterestingWord(std::mt19937& rng) {
  static constexpr std::uint8_t kAddr[] = {0x00, 0x11, 0x12, 0x1F, 0x21, 0x22, 0x23, 0x31, 0x51, 0x63, 0x64, 0x78};
  static constexpr std::uint8_t kData[] = {0x00, 0xAA, 0x55, 0x06, 0x03, 0x05, 0x07, 0x01, 0x03, 0xFF};
  std::uniform_int_distribution<std::size_t> a(0, std::size(kAddr) - 1), d(0, std::size(kData) - 1);
  std::bernoulli_distribution coin;
  return spi::CommandWord(coin(rng), coin(rng), kAddr[a(rng)], kData[d(rng)]);
}

// Mostly commands the engine knows, with random operands, and whole frames;
// the rest random bytes.
std::vector<std::uint8_t> RandomStream(std::mt19937& rng, std::size_t size) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> kind(0, 12);
  std::uniform_int_distribution<int> clocks(14, 18);
  std::vector<std::uint8_t> out;
  while (out.size() < size) {
    const auto b = static_cast<std::uint8_t>(byte(rng));
    switch (kind(rng)) {
      case 10:
        AppendFrame(out, InterestingWord(rng), b < 200 ? 16 : clocks(rng));
        break;
      case 11:
        AppendFrame(out, static_cast<std::uint16_t>(byte(rng) << 8 | b), 16);
        break;
      case 12:  // the DFT handshake; it works when the DFT pin happens to be high
        for (std::uint8_t step : {0x06, 0x03, 0x05}) AppendFrame(out, spi::CommandWord(false, true, 0x1F, step), 16);
        break;
      case 0:
      case 1:
      case 2:
      case 3:  // first bank, mostly with the system's directions
        out.insert(out.end(), {0x80, b, static_cast<std::uint8_t>(kind(rng) == 0 ? byte(rng) : 0xDB)});
        break;
      case 4:
        out.insert(out.end(), {0x82, b, 0x0C});
        break;
      case 5:
        out.push_back(static_cast<std::uint8_t>(0x81 + 2 * (b & 1)));
        break;
      case 6:
        out.push_back(static_cast<std::uint8_t>(0x84 + (b & 3)));
        break;
      default:
        out.push_back(b);
        break;
    }
  }
  return out;
}

class FuzzTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    bridge::ResetLinkState();
    d2xx::SetBackend(&board);
  }
  void TearDown() override {
    FTDI_CloseDevice();
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
  }

  kvtest::SleepRecorder sleeps;
  sim::SimulatedBoard board;
};

TEST_P(FuzzTest, RandomStreamsKeepTheQueueConsistentAndAReplugRecovers) {
  std::mt19937 rng(GetParam());
  ASSERT_TRUE(FTDI_OpenDevice());
  ASSERT_TRUE(NEVO_InitFTDI());
  std::uniform_int_distribution<int> chunk(1, 400);
  for (int round = 0; round < 200; ++round) {
    const auto stream = RandomStream(rng, static_cast<std::size_t>(chunk(rng)));
    DWORD before = 0, written = 0, after = 0;
    ASSERT_EQ(FT_GetQueueStatus(ftHandle, &before), FT_OK);
    ASSERT_EQ(FT_Write(ftHandle, stream.data(), static_cast<DWORD>(stream.size()), &written), FT_OK);
    ASSERT_EQ(written, stream.size());
    ASSERT_EQ(FT_GetQueueStatus(ftHandle, &after), FT_OK);
    ASSERT_GE(after, before);
    ASSERT_LE(after - before, 2 * stream.size());  // at most two answer bytes per byte

    std::vector<std::uint8_t> buf(static_cast<std::size_t>(chunk(rng)));
    DWORD got = 0;
    ASSERT_EQ(FT_Read(ftHandle, buf.data(), static_cast<DWORD>(buf.size()), &got), FT_OK);
    ASSERT_EQ(got, std::min<DWORD>(after, static_cast<DWORD>(buf.size())));
    if (round % 37 == 0) {
      ASSERT_EQ(FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX), FT_OK);
    }
    if (round % 20 == 19) board.PowerCycle();  // out of lock, to go on exercising the chip
  }

  ASSERT_TRUE(FTDI_CloseDevice());
  ASSERT_TRUE(FTDI_OpenDevice());
  ASSERT_TRUE(NEVO_InitFTDI());
  std::uint8_t value = 0;
  ASSERT_TRUE(NEVO_SPIRead(false, sim::reg::DEV_REVISION, &value));
  EXPECT_EQ(value, board.PeekRegister(sim::reg::DEV_REVISION));
  ASSERT_TRUE(NEVO_SPIWrite(false, sim::reg::PWR_CONFIG, 0x55));
  ASSERT_TRUE(NEVO_SPIRead(false, sim::reg::PWR_CONFIG, &value));
  EXPECT_EQ(value, 0x55);
  EXPECT_FALSE(NEVO_GetFSI());
}

INSTANTIATE_TEST_SUITE_P(Seeds, FuzzTest, ::testing::Range(1u, 21u));

}  // namespace
