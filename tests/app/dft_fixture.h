// The window connected to the simulated board and in DFT mode, entered
// through "ENTER DFT" as a user would. The "DFT" page stays detached, as in
// the product: the test reaches its controls by name.
#pragma once

#include <QComboBox>
#include <QSlider>
#include <QString>
#include <string>
#include <vector>

#include "window_fixture.h"

class DftTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    connectBoard();
    click("enterDFTbtn");
    ASSERT_TRUE(NEVO::DFT_ENABLED);
    forget();
  }

  // The register operations as "R64" and "W67=55", with the full address:
  // every frame sent in DFT mode carries address bit 6 in bit 15.
  std::vector<std::string> dftTrace() const {
    const auto hex = [](unsigned value) { return QString::number(value, 16).toUpper().rightJustified(2, u'0'); };
    std::vector<std::string> out;
    for (const kvtest::BusOp& op : ops()) {
      if (op.kind == kvtest::BusOp::Kind::RegRead) {
        out.push_back(("R" + hex(op.dft_addr())).toStdString());
      } else if (op.kind == kvtest::BusOp::Kind::RegWrite) {
        out.push_back(("W" + hex(op.dft_addr()) + "=" + hex(op.data())).toStdString());
      }
    }
    return out;
  }

  // A key pressed on a control that has the focus, as a user moves a slider
  // or picks from a drop-down.
  void press(const char* control, Qt::Key key) {
    QWidget* widget = find(control);
    widget->setFocus();
    QTest::keyClick(widget, key);
  }
  int slider(const char* name) const { return find<QSlider>(name)->value(); }
  int selected(const char* name) const { return find<QComboBox>(name)->currentIndex(); }
  // The chip's registers set directly, then shown through "Update"; the
  // refresh's own traffic is forgotten.
  void showFromChip(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& registers) {
    for (const auto& [addr, value] : registers) board.PokeRegister(addr, value);
    click("updateBtn");
    forget();
  }
};
