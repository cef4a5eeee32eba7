// Pictures of the window for the README, written only when
// KV_SCREENSHOT_DIR names a folder (scripts/screenshots.sh): the window
// connected to the simulated board with a few flags set, and the DFT page's
// trimming controls after a DFT entry.
#include <QCheckBox>
#include <QSlider>
#include <cstdlib>

#include "window_fixture.h"

namespace {

QString PictureFile(const char* name) {
  return QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(std::getenv("KV_SCREENSHOT_DIR")),
                                         QString::fromLatin1(name));
}

TEST_F(WindowTest, ReadmePictures) {
  if (std::getenv("KV_SCREENSHOT_DIR") == nullptr) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
  click("btnConnect");
  find<QTimer>("updatetimer")->stop();
  // The high-side switch on without a load, buck 2 off with the boost on: two
  // power flags; a frame with bad parity: an SPI flag.
  board.SetHighSideLoad(false);
  clickItem("pwr_configBox", 1);  // BUCK2_EN off
  clickItem("pwr_configBox", 4);  // BOOST_EN
  clickItem("pwr_configBox", 5);  // HS_EN
  click("HSPWMbox");
  click("updateBtn");
  click("button2");
  for (int tick = 0; tick < 32; ++tick) window->updatetimer_Tick();  // samples the pins
  EXPECT_TRUE(window->grab().save(PictureFile("window-connected")));

  showDftPage("tabPage5");
  click("enterDFTbtn");
  EXPECT_TRUE(window->grab().save(PictureFile("window-dft-trimming")));
}

}  // namespace
