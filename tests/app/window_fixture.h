// The main window on the simulated board, every bridge call recorded on the
// way: a user's clicks and keys, the bytes on the bus and the log.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
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

// Names a parameterised case after its parameter's `name`.
struct ByName {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
    return info.param.name;
  }
};

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
  // The detached "DFT" page put back at the end of the outer tab control and
  // shown, as a debug build would, with `inner` the current page of its
  // inner tab control: its controls are then laid out as a user would see
  // them. The product never shows it.
  void showDftPage(const char* inner = "tabPage1") {
    auto* outer = find<QTabWidget>("tabControl1");
    if (outer->indexOf(find("tabPage2")) < 0) outer->addTab(find("tabPage2"), QStringLiteral("DFT"));
    outer->setCurrentWidget(find("tabPage2"));
    find<QTabWidget>("tabControl2")->setCurrentWidget(find(inner));
  }
  // Replaces what follows "0x" in an entry box as a user would: select it
  // all, then type.
  void type(const char* box_name, const char* digits) {
    auto* box = find<QLineEdit>(box_name);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, QString::fromLatin1(digits));
  }
  // The text a control shows: a button's or a label's text, an entry box's
  // contents, a group's title.
  QString textOf(const char* name) const {
    QWidget* widget = find(name);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* entry = qobject_cast<QLineEdit*>(widget)) return entry->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    return {};
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
