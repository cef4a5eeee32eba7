// The main window on the simulated board, every bridge call recorded on the
// way: a user's clicks and keys, the bytes on the bus and the log.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/gui_state.h"
#include "bridge/d2xx.h"
#include "bridge/link_state.h"
#include "bus_decode.h"
#include "scripted_backend.h"
#include "sim/simulated_board.h"
#include "sleep_recorder.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NEVO::ResetGuiState();
    bridge::ResetLinkState();
    d2xx::SetBackend(&bus);
    window = std::make_unique<NEVO::Form1>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    // A test may have swapped the backend; the window closes through ours.
    d2xx::SetBackend(&bus);
    window.reset();
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
    NEVO::ResetGuiState();
  }

  template <class T = QWidget>
  T* find(const char* name) const {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control named " << name;
    return widget;
  }
  void click(const char* button) { QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton); }
  void clickItem(const char* list_name, int row) {
    auto* list = find<QListWidget>(list_name);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  // Makes an item the list's current one without a click, then presses Space.
  void pressSpaceOn(const char* list_name, int row) {
    auto* list = find<QListWidget>(list_name);
    list->setFocus();
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Space);
  }
  bool checked(const char* box) const { return find<QAbstractButton>(box)->isChecked(); }
  std::vector<bool> marks(const char* list_name) const {
    auto* list = find<QListWidget>(list_name);
    std::vector<bool> out;
    for (int row = 0; row < list->count(); ++row) out.push_back(list->item(row)->checkState() == Qt::Checked);
    return out;
  }

  // Connects through the button, then stops the poll timer so that only the
  // test drives ticks, and forgets the connect's calls and log.
  void connectBoard() {
    click("btnConnect");
    ASSERT_TRUE(NEVO::ActiveHW);
    find<QTimer>("updatetimer")->stop();
    forget();
  }
  void forget() {
    bus.ClearCalls();
    sleeps.clear();
    clearLog();
  }
  void clearLog() { click("button4"); }
  std::string log() const { return window->logText().toStdString(); }

  std::vector<kvtest::BusOp> ops() const { return kvtest::DecodeBus(bus); }
  std::vector<std::string> trace() const { return kvtest::RegisterTrace(ops()); }
  // The PortWords written, in order.
  std::vector<std::uint16_t> portWrites() const {
    std::vector<std::uint16_t> words;
    for (const kvtest::BusOp& op : ops()) {
      if (op.kind == kvtest::BusOp::Kind::PortWrite) words.push_back(op.word);
    }
    return words;
  }

  kvtest::SleepRecorder sleeps;
  sim::SimulatedBoard board;
  kvtest::ScriptedBackend bus{&board};
  std::unique_ptr<NEVO::Form1> window;
};
