// A whole working session, repeated with the Nth library call failing, for
// every N: once with a non-zero status, once with a short count. Whatever
// fails, nothing crashes or hangs, the bridge's state rules hold, and once
// the session is over the next register reads return the chip's values: a
// failure never shifts one operation's answers onto the next.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "app/gui_state.h"
#include "bridge/d2xx.h"
#include "bridge/link_state.h"
#include "bridge/spi.h"
#include "bus_decode.h"
#include "scripted_backend.h"
#include "sim/simulated_board.h"
#include "sleep_recorder.h"

namespace {

enum class Fault { None, Status, ShortCount };

// One fresh board and window with a recorder between them.
struct Session {
  kvtest::SleepRecorder sleeps;
  sim::SimulatedBoard board;
  kvtest::ScriptedBackend bus{&board};
  std::unique_ptr<NEVO::Form1> window;

  Session() {
    NEVO::ResetGuiState();
    bridge::ResetLinkState();
    d2xx::SetBackend(&bus);
    window = std::make_unique<NEVO::Form1>();
    window->show();
  }
  ~Session() {
    window.reset();
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
    NEVO::ResetGuiState();
  }

  template <class T>
  T* find(const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control named " << name;
    return widget;
  }
  void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
  void stopTimer() { find<QTimer>("updatetimer")->stop(); }

  // Connect, refresh, enter DFT, refresh, move a trim, run the CRC, leave,
  // disconnect: each as the user does it. `before_disconnect` runs just
  // before the last click.
  void Run(const std::function<void()>& before_disconnect = [] {},
           const std::function<void()>& after_connect = [] {}) {
    click("btnConnect");
    after_connect();
    stopTimer();  // only the session's own actions touch the bridge
    click("updateBtn");
    click("enterDFTbtn");
    click("updateBtn");
    auto* trim = find<QSlider>("trackBar4");
    trim->setFocus();
    QTest::keyClick(trim, Qt::Key_Right);
    click("startCRCBox");
    click("enterDFTbtn");
    before_disconnect();
    click("btnConnect");
  }

  // Reads registers straight through the link and compares them with what
  // the chip holds.
  void ExpectReadsInStep() {
    const bool dft = board.InDftMode();
    for (std::uint8_t addr : {0x31, 0x32, 0x33, 0x2F}) {
      std::uint8_t value = 0;
      EXPECT_TRUE(NEVO_SPIRead(dft, addr, &value));
      EXPECT_EQ(value, board.PeekRegister(addr)) << "register 0x" << std::hex << int(addr);
    }
  }

  // The last PortWord that reached the bridge whole, as portstate must hold it.
  std::uint16_t LastPortWordWritten() const {
    std::uint16_t word = 0;
    for (const kvtest::Call& c : bus.calls()) {
      if (c.fn != "FT_Write" || c.status != FT_OK || c.count != c.data.size()) continue;
      const auto ops = kvtest::DecodeBus(std::vector<kvtest::Call>{c});
      if (!ops.empty() && ops[0].kind == kvtest::BusOp::Kind::PortWrite) word = ops[0].word;
    }
    return word;
  }
  bool LastCloseSucceeded() const {
    for (auto it = bus.calls().rbegin(); it != bus.calls().rend(); ++it) {
      if (it->fn == "FT_Close") return it->status == FT_OK;
    }
    return false;
  }
};

void SweepAll(Fault fault) {
  // A clean session: how many calls in all, how many the connect takes and
  // how many come before the disconnect click.
  std::size_t connected = 0, before_disconnect = 0, calls = 0;
  {
    Session clean;
    clean.Run([&] { before_disconnect = clean.bus.calls().size(); },
              [&] { connected = clean.bus.calls().size(); });
    calls = clean.bus.calls().size();
  }
  ASSERT_GT(before_disconnect, 100u);
  std::printf("fault sweep: %zu library calls per session (%zu while connecting), one session per call\n", calls,
              connected);
  for (std::size_t n = 0; n < calls; ++n) {
    SCOPED_TRACE(testing::Message() << "call " << n << (fault == Fault::Status ? " fails" : " is short"));
    Session s;
    if (fault == Fault::Status) s.bus.FailCallNumber(n, FT_IO_ERROR);
    if (fault == Fault::ShortCount) s.bus.ShortCallNumber(n);
    // After a failure on an established connection, the next reads on the
    // same connection must return the chip's values. (A failure while
    // connecting can leave the bridge outside MPSSE mode; the connect log
    // then lacks its "initialized OK" and the user connects again.)
    s.Run([&] {
      if (n >= connected && n < before_disconnect) s.ExpectReadsInStep();
    });

    // State rules of the bridge link.
    EXPECT_EQ(portstate, s.LastPortWordWritten());
    EXPECT_EQ(ftHandle == nullptr, s.LastCloseSucceeded());
    if (testing::Test::HasFailure()) return;  // one broken case tells enough
  }
}

TEST(FaultSweep, EveryCallFailingWithAStatus) { SweepAll(Fault::Status); }
TEST(FaultSweep, EveryCallComingBackShort) { SweepAll(Fault::ShortCount); }

}  // namespace
