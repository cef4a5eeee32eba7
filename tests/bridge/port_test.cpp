#include "bridge_fixture.h"
#include "bridge/port.h"
#include "bus_decode.h"

using Bytes = std::vector<std::uint8_t>;

TEST_F(BridgeTest, PortWriteSetsBothBanksAndTheShadowWord) {
  Open();
  EXPECT_TRUE(NEVO_SetPort(0x0C5A));
  EXPECT_EQ(backend.Written(), (std::vector<Bytes>{{0x80, 0x5A, 0xDB, 0x82, 0x0C, 0x0C}}));
  EXPECT_EQ(portstate, 0x0C5A);

  // Input positions change no pin but are stored as passed.
  EXPECT_TRUE(NEVO_SetPort(0xF324));
  EXPECT_EQ(portstate, 0xF324);
}

TEST_F(BridgeTest, FailedPortWriteKeepsTheShadowWord) {
  Open();
  NEVO_SetPort(0x0008);
  backend.ShortNext("FT_Write");
  EXPECT_FALSE(NEVO_SetPort(0x0018));
  backend.FailNext("FT_Write");
  EXPECT_FALSE(NEVO_SetPort(0x0018));
  EXPECT_EQ(portstate, 0x0008);
}

TEST_F(BridgeTest, PortReadAsksBothBanksAndCombinesTheAnswer) {
  Open();
  backend.QueueAnswer({0xA5, 0x03});
  std::uint16_t word = 0;
  EXPECT_TRUE(NEVO_GetPort(&word));
  EXPECT_EQ(word, 0x03A5);
  EXPECT_EQ(backend.Written(), (std::vector<Bytes>{{0x81, 0x83, 0x87}}));
  EXPECT_EQ(portstate, 0) << "a read never touches the shadow word";
}

TEST_F(BridgeTest, ShortPortReadLeavesTheWordAndDiscardsTheLateByte) {
  Open();
  std::uint16_t word = 0x1234;
  backend.QueueAnswer({0xA5});
  EXPECT_FALSE(NEVO_GetPort(&word));
  EXPECT_EQ(word, 0x1234);
  EXPECT_EQ(backend.CallNames().back(), "FT_Purge");
  EXPECT_EQ(backend.calls().back().args, std::vector<std::uint32_t>{1});
  EXPECT_EQ(backend.QueuedAnswerBytes(), 0u);
}

TEST_F(BridgeTest, WatchdogPulseDrivesWdHighThenBackInTheFirstBankOnly) {
  Open();
  EXPECT_TRUE(NEVO_ToggleWD(0x0898));
  EXPECT_EQ(backend.Written(), (std::vector<Bytes>{{0x80, 0xD8, 0xDB, 0x80, 0x98, 0xDB}}));
  EXPECT_EQ(portstate, 0);
}
