// The backend on the installed libftdi1, through the bridge layer, on a
// machine without a bridge (as in CI, where libusb may not even find a USB
// bus): no device, no crash, and nothing for the log beyond "no bridge".
#include <gtest/gtest.h>

#include "bridge/d2xx.h"
#include "bridge/ftdi/libftdi_backend.h"

namespace {

class InstalledLibftdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d2xx::SetBackend(&backend);
    DWORD count = 0;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    if (count != 0) GTEST_SKIP() << "a bridge is attached to this machine";
  }
  void TearDown() override { d2xx::SetBackend(nullptr); }

  ftdi_backend::LibftdiBackend backend;
};

TEST_F(InstalledLibftdiTest, WithoutABridgeOpeningFailsWithNothingToAdd) {
  FT_HANDLE handle = nullptr;
  EXPECT_NE(FT_Open(0, &handle), FT_OK);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(d2xx::LastErrorText(), "");
}

TEST_F(InstalledLibftdiTest, ReportsTheInstalledLibftdiVersion) {
  DWORD version = 0;
  ASSERT_EQ(FT_GetLibraryVersion(&version), FT_OK);
  EXPECT_GE(version, 0x00010500u) << "libftdi1 1.5 or newer";
}

}  // namespace
