// The "Trimming" page: what the user's moves write, and what the refresh
// shows, the split high-side current limits included.
#include <QApplication>
#include <QCheckBox>
#include <QWheelEvent>
#include <cstdio>

#include "dft_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using Registers = std::vector<std::pair<std::uint8_t, std::uint8_t>>;

// A user's action on one trim control.
struct Move {
  const char* control;
  Qt::Key key;  // Qt::Key_unknown: a click on a check box
};

class TrimTest : public DftTest {
 protected:
  void act(const Move& move) {
    if (move.key == Qt::Key_unknown) {
      click(move.control);
    } else {
      press(move.control, move.key);
    }
  }
};

// --- Every control writes its registers, in order -------------------------------

struct Wiring {
  Move move;
  std::vector<const char*> registers;  // written, in this order
};

class TrimWiringTest : public TrimTest, public ::testing::WithParamInterface<Wiring> {};

TEST_P(TrimWiringTest, TheUsersChangeWritesExactlyTheRegistersOfItsHandler) {
  act(GetParam().move);
  std::vector<std::string> written;
  for (const std::string& op : dftTrace()) written.push_back(op.substr(0, 3));
  EXPECT_THAT(written, ElementsAreArray(GetParam().registers));
}

Move Slide(const char* slider) { return {slider, Qt::Key_Right}; }
Move Tick(const char* box) { return {box, Qt::Key_unknown}; }

INSTANTIATE_TEST_SUITE_P(
    Controls, TrimWiringTest,
    ::testing::Values(
        Wiring{Slide("trackBar0"), {"W64"}}, Wiring{Slide("trackBar21"), {"W64"}}, Wiring{Slide("trackBar1"), {"W65"}},
        Wiring{{"comboBox1", Qt::Key_Down}, {"W65"}}, Wiring{Tick("checkBox1"), {"W65"}},
        Wiring{Tick("checkBox2"), {"W65"}}, Wiring{Slide("trackBar2"), {"W66"}}, Wiring{Tick("checkBox4"), {"W66"}},
        Wiring{Tick("checkBox5"), {"W66"}}, Wiring{Tick("checkBox7"), {"W66"}}, Wiring{Slide("trackBar3"), {"W67"}},
        Wiring{Slide("trackBar20"), {"W67"}}, Wiring{Slide("trackBar4"), {"W68"}}, Wiring{Slide("trackBar5"), {"W69"}},
        Wiring{Slide("trackBar6"), {"W6A"}}, Wiring{Slide("trackBar7"), {"W6B"}}, Wiring{Tick("track7pos"), {"W6B"}},
        Wiring{Tick("track7neg"), {"W6B"}}, Wiring{Slide("trackBar8"), {"W6C", "W67"}},
        Wiring{Slide("trackBar9"), {"W6C", "W67"}}, Wiring{Slide("trackBar10"), {"W6D", "W6E"}},
        Wiring{Slide("trackBar11"), {"W6D", "W6E"}}, Wiring{Slide("trackBar12"), {"W6E"}},
        Wiring{Slide("trackBar14"), {"W6E"}}, Wiring{Slide("trackBar13"), {"W6F"}},
        Wiring{Slide("trackBar15"), {"W70"}}, Wiring{Slide("trackBar22"), {"W71"}},
        Wiring{Slide("trackBar23"), {"W71"}}, Wiring{Slide("trackBar16"), {"W72"}},
        Wiring{Slide("trackBar17"), {"W73"}}, Wiring{Slide("trackBar18"), {"W74"}},
        Wiring{Slide("trackBar19"), {"W75"}}, Wiring{Tick("enaCRPBox"), {"W75"}}, Wiring{Tick("disVREFBox"), {"W75"}},
        Wiring{Tick("checkBox6"), {"W75"}}),
    [](const auto& info) { return std::string(info.param.move.control); });

// --- The whole register is composed from all its controls -----------------------

struct Compose {
  const char* name;
  Registers chip;  // shown on the page first
  Move move;
  std::vector<const char*> written;
};

class TrimComposeTest : public TrimTest, public ::testing::WithParamInterface<Compose> {};

TEST_P(TrimComposeTest, WritesTheRegisterFromEveryControlOwningBitsInIt) {
  showFromChip(GetParam().chip);
  act(GetParam().move);
  EXPECT_THAT(dftTrace(), ElementsAreArray(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(
    Values, TrimComposeTest,
    ::testing::Values(
        // trackBar3 4 -> 5 beside trackBar20 2 and the Buck 2 high-side limit 9.
        Compose{"Bandgap2KeepsTheHighSideLimit", {{0x67, 0x54}, {0x6C, 0x20}}, Slide("trackBar3"), {"W67=55"}},
        // The Buck 2 high-side limit 8 -> 9 beside trackBar8 3: upper bits first.
        Compose{"Buck2HighSideLimit", {{0x67, 0x45}, {0x6C, 0x23}}, Slide("trackBar9"), {"W6C=23", "W67=55"}},
        // The Buck 3 high-side limit 5 -> 6 beside trackBar12 1 and trackBar14 7.
        Compose{"Buck3HighSideLimit", {{0x6D, 0x10}, {0x6E, 0x79}}, Slide("trackBar11"), {"W6D=18", "W6E=71"}},
        // Moving a gain slider keeps bit 0 of the Buck 3 limit.
        Compose{"Buck3GainKeepsTheHighSideLimit", {{0x6E, 0x09}}, Slide("trackBar14"), {"W6E=19"}},
        Compose{"LdoTrimBesideBlanking", {{0x71, 0x48}}, Slide("trackBar22"), {"W71=68"}},
        Compose{"IrefToItsEnd", {{0x68, 0x00}}, {"trackBar4", Qt::Key_End}, {"W68=0F"}},
        Compose{"LdoCurrentLimitPagesByOne", {{0x64, 0x05}}, {"trackBar21", Qt::Key_PageUp}, {"W64=25"}},
        Compose{"HighBandwidthBesideTheOthers", {{0x65, 0x25}}, Tick("checkBox1"), {"W65=A5"}},
        Compose{"LedOpenLoadSelection", {{0x65, 0xC5}}, {"comboBox1", Qt::Key_Down}, {"W65=D5"}},
        Compose{"VrefClampBesideTheOthers", {{0x75, 0x9F}}, Tick("disVREFBox"), {"W75=DF"}},
        Compose{"SummingComparatorNeg", {{0x6B, 0x0F}}, Tick("track7neg"), {"W6B=1F"}}),
    ByName());

TEST_F(TrimTest, EveryStepOfASlideIsWritten) {
  showFromChip({{0x68, 0x00}});
  for (int step = 0; step < 3; ++step) press("trackBar4", Qt::Key_Right);
  press("trackBar4", Qt::Key_Left);
  EXPECT_THAT(dftTrace(), ElementsAre("W68=01", "W68=02", "W68=03", "W68=02"));
  EXPECT_EQ(slider("trackBar4"), 2);
}

TEST_F(TrimTest, AMouseWheelTurnIsAUserMove) {
  showFromChip({{0x70, 0x00}});
  auto* slider = find<QSlider>("trackBar15");
  const QPoint at = slider->rect().center();
  QWheelEvent wheel(at, slider->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(slider, &wheel);
  const int moved_to = this->slider("trackBar15");
  ASSERT_NE(moved_to, 0);
  char written[16];
  std::snprintf(written, sizeof written, "W70=%02X", moved_to);
  EXPECT_THAT(dftTrace(), ElementsAre(written));
}

TEST_F(TrimTest, CheckBox3IsShownTickedAndCannotBeChanged) {
  click("checkBox3");
  EXPECT_TRUE(checked("checkBox3"));
  EXPECT_FALSE(find("checkBox3")->isEnabled());
  showFromChip({{0x65, 0x00}, {0x66, 0x00}});
  EXPECT_TRUE(checked("checkBox3"));
  EXPECT_THAT(ops(), IsEmpty());
}

// --- The refresh sets every control and writes nothing --------------------------

struct Shown {
  const char* control;
  int value;  // slider position, drop-down index, or 0/1 for a check box
};

struct Decompose {
  const char* name;
  Registers chip;
  std::vector<Shown> shown;
};

class TrimDecomposeTest : public TrimTest, public ::testing::WithParamInterface<Decompose> {};

TEST_P(TrimDecomposeTest, TheRefreshSetsTheControlsWithoutWriting) {
  for (const auto& [addr, value] : GetParam().chip) board.PokeRegister(addr, value);
  click("updateBtn");
  for (const Shown& shown : GetParam().shown) {
    QWidget* control = find(shown.control);
    int value = -1;
    if (auto* slider = qobject_cast<QSlider*>(control)) value = slider->value();
    if (auto* box = qobject_cast<QComboBox*>(control)) value = box->currentIndex();
    if (auto* box = qobject_cast<QCheckBox*>(control)) value = box->isChecked() ? 1 : 0;
    EXPECT_EQ(value, shown.value) << shown.control;
  }
  EXPECT_THAT(log(), ::testing::Not(::testing::HasSubstr("WRITE")));
  for (const kvtest::BusOp& op : ops()) EXPECT_NE(op.kind, kvtest::BusOp::Kind::RegWrite);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TrimDecomposeTest,
    ::testing::Values(
        Decompose{"LdoTrimAndBlankingAllSet", {{0x71, 0xFF}}, {{"trackBar22", 3}, {"trackBar23", 3}}},
        Decompose{"LdoTrimOnly", {{0x71, 0x20}}, {{"trackBar22", 1}, {"trackBar23", 0}}},
        Decompose{"BlankingOnly", {{0x71, 0x08}}, {{"trackBar22", 0}, {"trackBar23", 1}}},
        Decompose{"Buck2HighSideLimitFull", {{0x6C, 0x38}, {0x67, 0x10}}, {{"trackBar9", 15}, {"trackBar8", 0}}},
        Decompose{"Buck2HighSideLimitZero", {{0x6C, 0x07}, {0x67, 0xEF}}, {{"trackBar9", 0}, {"trackBar8", 7}}},
        Decompose{"Buck3HighSideLimitNine", {{0x6D, 0x21}, {0x6E, 0x08}}, {{"trackBar11", 9}, {"trackBar10", 1}}},
        Decompose{"Trim65", {{0x65, 0xE5}}, {{"trackBar1", 5}, {"comboBox1", 2}, {"checkBox1", 1}, {"checkBox2", 1}}},
        Decompose{"Trim64", {{0x64, 0xBF}}, {{"trackBar0", 31}, {"trackBar21", 5}}},
        Decompose{"Trim66", {{0x66, 0xB3}}, {{"trackBar2", 19}, {"checkBox5", 1}, {"checkBox4", 0}, {"checkBox7", 1}}},
        Decompose{"Trim67", {{0x67, 0xA7}}, {{"trackBar3", 7}, {"trackBar20", 5}}},
        Decompose{"Trim6B", {{0x6B, 0x15}}, {{"trackBar7", 5}, {"track7pos", 0}, {"track7neg", 1}}},
        Decompose{"Trim6E", {{0x6E, 0x56}}, {{"trackBar12", 6}, {"trackBar14", 5}}},
        Decompose{"SixBitFields",
                  {{0x6F, 0x3F}, {0x72, 0x01}, {0x73, 0x2A}, {0x74, 0x15}},
                  {{"trackBar13", 63}, {"trackBar16", 1}, {"trackBar17", 42}, {"trackBar18", 21}}},
        Decompose{"FourAndFiveBitFields",
                  {{0x68, 0x0F}, {0x69, 0x03}, {0x6A, 0x0C}, {0x70, 0x11}},
                  {{"trackBar4", 15}, {"trackBar5", 3}, {"trackBar6", 12}, {"trackBar15", 17}}},
        Decompose{
            "Trim75", {{0x75, 0xB4}}, {{"trackBar19", 20}, {"enaCRPBox", 1}, {"disVREFBox", 0}, {"checkBox6", 1}}}),
    ByName());

TEST_F(TrimTest, AFailedTrimReadLeavesItsControlsAsTheyWere) {
  showFromChip({{0x6C, 0x1B}, {0x67, 0x10}, {0x68, 0x05}});
  ASSERT_EQ(slider("trackBar9"), 7);
  ASSERT_EQ(slider("trackBar8"), 3);
  for (const auto& [addr, value] : Registers{{0x6C, 0x02}, {0x67, 0x00}, {0x68, 0x09}}) board.PokeRegister(addr, value);

  // Finds the answer read of TRIM_6C in one refresh, then fails it in the
  // same traffic of the next.
  click("updateBtn");
  std::size_t read_6c = 0;
  bool seen = false;
  for (std::size_t i = 0; i < bus.calls().size() && read_6c == 0; ++i) {
    const kvtest::Call& call = bus.calls()[i];
    if (call.fn == "FT_Write") {
      const std::vector<kvtest::BusOp> sent = kvtest::DecodeBus(std::vector<kvtest::Call>{call});
      seen = !sent.empty() && sent.front().kind == kvtest::BusOp::Kind::RegRead && sent.front().dft_addr() == 0x6C;
    } else if (seen && call.fn == "FT_Read") {
      read_6c = i;
    }
  }
  ASSERT_NE(read_6c, 0u);
  showFromChip({{0x6C, 0x1B}, {0x67, 0x10}, {0x68, 0x05}});
  for (const auto& [addr, value] : Registers{{0x6C, 0x02}, {0x67, 0x00}, {0x68, 0x09}}) board.PokeRegister(addr, value);
  bus.FailCallNumber(read_6c);
  click("updateBtn");

  // TRIM_6C's own slider and the split one keep what they showed ...
  EXPECT_EQ(slider("trackBar8"), 3);
  EXPECT_EQ(slider("trackBar9"), 7);
  // ... the others show the chip.
  EXPECT_EQ(slider("trackBar4"), 9);
  EXPECT_FALSE(NEVO::DoingRead);
}

}  // namespace
