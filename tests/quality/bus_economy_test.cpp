// A status refresh costs exactly one FT_Write and one FT_Read per register:
// 7 round trips outside DFT mode, 7 + 32 in DFT mode, and nothing else.
#include "window_fixture.h"

namespace {

class BusEconomy : public WindowTest {
 protected:
  void ExpectRoundTrips(std::size_t reads) {
    forget();
    click("updateBtn");
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < reads; ++i) {
      expected.push_back("FT_Write");
      expected.push_back("FT_Read");
    }
    EXPECT_EQ(bus.CallNames(), expected);
    for (const kvtest::BusOp& op : ops()) EXPECT_EQ(op.kind, kvtest::BusOp::Kind::RegRead);
  }
};

TEST_F(BusEconomy, SevenRoundTripsOutsideDftMode) {
  connectBoard();
  ExpectRoundTrips(7);
}

TEST_F(BusEconomy, ThirtyNineRoundTripsInDftMode) {
  connectBoard();
  board.SetDftMode(true);
  NEVO::DFT_ENABLED = true;
  ExpectRoundTrips(7 + 32);
  EXPECT_TRUE(NEVO::DFT_ENABLED) << "the chip was still in DFT mode";
}

}  // namespace
