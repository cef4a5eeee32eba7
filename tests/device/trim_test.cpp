#include "device/trim.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace kv7702 {
namespace {

using Values = std::map<std::string, int, std::less<>>;

// The page's controls as a plain map: unset controls read 0.
TrimValueOf ValueOf(const Values& values) {
  return [&values](std::string_view control) {
    const auto it = values.find(control);
    return it == values.end() ? 0 : it->second;
  };
}

// Runs a handler: the (register, byte) writes it makes, in order.
std::vector<std::pair<std::uint8_t, std::uint8_t>> Writes(std::string_view handler,
                                                          const Values& values) {
  std::vector<std::pair<std::uint8_t, std::uint8_t>> out;
  for (const std::uint8_t addr : TrimHandlerRegisters(handler)) {
    out.emplace_back(addr, ComposeTrimRegister(addr, ValueOf(values)));
  }
  return out;
}

std::size_t Index(std::uint8_t addr) { return static_cast<std::size_t>(addr - reg::TRIM_FIRST); }

class TrimReadBack : public ::testing::Test {
 protected:
  void Read(const std::array<std::uint8_t, kTrimRegisterCount>& regs) {
    DecomposeTrimRegisters(regs, Recorder());
  }
  void Read(const std::array<std::optional<std::uint8_t>, kTrimRegisterCount>& regs) {
    DecomposeTrimRegisters(regs, Recorder());
  }
  TrimSetter Recorder() {
    return [this](std::string_view control, int value) {
      EXPECT_EQ(set_.count(std::string(control)), 0u) << "set twice: " << control;
      set_[std::string(control)] = value;
    };
  }
  Values set_;
};

TEST(TrimTable, ControlCountsAndNames) {
  int sliders = 0, checks = 0, combos = 0;
  std::set<std::string> names;
  for (const auto& c : kTrimControls) {
    sliders += c.kind == TrimKind::Slider;
    checks += c.kind == TrimKind::CheckBox;
    combos += c.kind == TrimKind::ComboBox;
    EXPECT_TRUE(names.insert(c.control).second) << c.control;
    EXPECT_EQ(FindTrimControl(c.control), &c);
  }
  EXPECT_EQ(sliders, 24);
  EXPECT_EQ(checks, 10);
  EXPECT_EQ(combos, 1);
  EXPECT_EQ(FindTrimControl("checkBox3"), nullptr);
  EXPECT_STREQ(kTrimInertCheckBox.control, "checkBox3");
  EXPECT_EQ(kLedOpenLoadItems.size(), 4u);
  EXPECT_STREQ(kLedOpenLoadItems[3], "230mV");
}

TEST(TrimTable, EachMaximumFillsItsFieldExactly) {
  for (const auto& c : kTrimControls) {
    int width = 0;
    for (const auto& p : c.parts()) width += p.width;
    EXPECT_EQ(c.max, (1 << width) - 1) << c.control;
  }
}

TEST(TrimTable, FieldsNeverOverlapAndLeaveTheDocumentedBitsUnowned) {
  std::array<unsigned, kTrimRegisterCount> owned{};
  for (const auto& c : kTrimControls) {
    for (const auto& p : c.parts()) {
      ASSERT_GE(p.addr, reg::TRIM_FIRST);
      ASSERT_LE(p.addr, reg::TRIM_LAST);
      const unsigned mask = ((1u << p.width) - 1u) << p.low_bit;
      EXPECT_EQ(owned[Index(p.addr)] & mask, 0u) << c.control;
      owned[Index(p.addr)] |= mask;
    }
  }
  const std::array<unsigned, kTrimRegisterCount> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x0F,
                                                             0x0F, 0x1F, 0x3F, 0x3F, 0x7F, 0x3F,
                                                             0x1F, 0x78, 0x3F, 0x3F, 0x3F, 0xFF};
  EXPECT_EQ(owned, expected);
}

TEST(TrimTable, HandlersWriteExactlyTheRegistersOfTheirControls) {
  EXPECT_EQ(kTrimHandlers.size(), 18u);
  std::set<std::uint8_t> written;
  for (const auto& h : kTrimHandlers) {
    // Registers touched by the controls bound to this handler.
    std::vector<std::uint8_t> touched;
    for (const auto& c : kTrimControls) {
      if (std::string_view(c.handler) != h.handler) continue;
      for (const auto& p : c.parts()) {
        if (std::find(touched.begin(), touched.end(), p.addr) == touched.end()) {
          touched.push_back(p.addr);
        }
      }
    }
    // Table order puts a split slider after the low-side slider of the same
    // register, so the upper-bits register comes first, as the handler writes.
    const auto writes = h.writes();
    EXPECT_EQ(touched, std::vector<std::uint8_t>(writes.begin(), writes.end())) << h.handler;
    written.insert(writes.begin(), writes.end());
  }
  EXPECT_EQ(written.size(), kTrimRegisterCount);
  EXPECT_TRUE(TrimHandlerRegisters("checkBox3_CheckedChanged").empty());
}

TEST(TrimCompose, WorkedExamples) {
  struct Case {
    const char* handler;
    Values values;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> writes;
  };
  const Case cases[] = {
      {"trackBar3_Scroll", {{"trackBar3", 5}, {"trackBar20", 2}, {"trackBar9", 9}}, {{0x67, 0x55}}},
      {"trackBar8_Scroll",
       {{"trackBar3", 5}, {"trackBar20", 2}, {"trackBar9", 9}, {"trackBar8", 3}},
       {{0x6C, 0x23}, {0x67, 0x55}}},
      {"trackBar10_Scroll",
       {{"trackBar12", 1}, {"trackBar14", 7}, {"trackBar11", 6}},
       {{0x6D, 3 << 3}, {0x6E, 0x71}}},
      {"trackBar12_Scroll",
       {{"trackBar12", 1}, {"trackBar14", 7}, {"trackBar11", 7}},
       {{0x6E, 0x79}}},
      {"trackBar4_Scroll", {{"trackBar4", 15}}, {{0x68, 0x0F}}},
      {"trackBar22_Scroll", {{"trackBar22", 3}, {"trackBar23", 1}}, {{0x71, 0x68}}},
      {"trackBar1_Scroll",
       {{"trackBar1", 5}, {"comboBox1", 2}, {"checkBox1", 1}, {"checkBox2", 1}},
       {{0x65, 0xE5}}},
      {"trackBar0_Scroll", {{"trackBar0", 31}, {"trackBar21", 7}}, {{0x64, 0xFF}}},
      {"trackBar19_Scroll", {{"disVREFBox", 1}}, {{0x75, 0x40}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Writes(c.handler, c.values), c.writes) << c.handler;
}

TEST(TrimCompose, OutOfRangeValuesDoNotSpillIntoNeighbours) {
  const Values values = {{"trackBar0", 0xFF}, {"trackBar21", 0}};
  EXPECT_EQ(ComposeTrimRegister(0x64, ValueOf(values)), 0x1F);
  EXPECT_EQ(ComposeTrimRegister(0x63, ValueOf(values)), 0);
}

TEST_F(TrimReadBack, WorkedExamples) {
  std::array<std::uint8_t, kTrimRegisterCount> regs{};
  regs[Index(0x71)] = 0xFF;
  regs[Index(0x6C)] = 0x38;
  regs[Index(0x67)] = 0x10;
  regs[Index(0x6D)] = 0x07;
  regs[Index(0x65)] = 0xE5;
  Read(regs);
  EXPECT_EQ(set_.size(), kTrimControls.size());
  const Values expected = {{"trackBar22", 3}, {"trackBar23", 3}, {"trackBar9", 15},
                           {"trackBar8", 0},  {"trackBar11", 0}, {"trackBar10", 7},
                           {"trackBar1", 5},  {"comboBox1", 2},  {"checkBox1", 1},
                           {"checkBox2", 1},  {"trackBar3", 0}};
  for (const auto& [control, value] : expected) EXPECT_EQ(set_[control], value) << control;
  EXPECT_STREQ(kLedOpenLoadItems[static_cast<std::size_t>(set_["comboBox1"])], "60mV");
}

TEST_F(TrimReadBack, SingleRegisterCases) {
  struct Case {
    std::uint8_t addr, value;
    Values expected;
  };
  const Case cases[] = {
      {0x71, 0x20, {{"trackBar22", 1}, {"trackBar23", 0}}},
      {0x71, 0x08, {{"trackBar22", 0}, {"trackBar23", 1}}},
      {0x6C, 0x07, {{"trackBar9", 0}, {"trackBar8", 7}}},  // TRIM_67 bit 4 clear
      {0x6B, 0x18, {{"trackBar7", 0}, {"track7pos", 1}, {"track7neg", 1}}},
      {0x6E, 0x08, {{"trackBar11", 1}, {"trackBar12", 0}, {"trackBar14", 0}}},
      {0x75, 0xA0, {{"checkBox6", 1}, {"disVREFBox", 0}, {"enaCRPBox", 1}}},
  };
  for (const auto& c : cases) {
    set_.clear();
    std::array<std::uint8_t, kTrimRegisterCount> regs{};
    regs[Index(c.addr)] = c.value;
    Read(regs);
    for (const auto& [control, value] : c.expected) {
      EXPECT_EQ(set_[control], value) << control << " from " << int(c.addr);
    }
  }
}

TEST_F(TrimReadBack, SetsControlsInAddressOrderWithSplitSlidersLast) {
  std::vector<std::string> order;
  DecomposeTrimRegisters(std::array<std::uint8_t, kTrimRegisterCount>{},
                         [&](std::string_view c, int) { order.emplace_back(c); });
  ASSERT_EQ(order.size(), kTrimControls.size());
  EXPECT_EQ(order.front(), "trackBar0");
  EXPECT_EQ(order[order.size() - 2], "trackBar9");
  EXPECT_EQ(order.back(), "trackBar11");
}

TEST_F(TrimReadBack, AFailedReadLeavesItsControlsAlone) {
  std::array<std::optional<std::uint8_t>, kTrimRegisterCount> regs;
  regs.fill(std::uint8_t{0xFF});
  regs[Index(0x67)].reset();  // holds trackBar3, trackBar20 and bit 0 of trackBar9
  Read(regs);
  EXPECT_EQ(set_.count("trackBar3"), 0u);
  EXPECT_EQ(set_.count("trackBar20"), 0u);
  EXPECT_EQ(set_.count("trackBar9"), 0u);
  EXPECT_EQ(set_["trackBar8"], 7);    // TRIM_6C alone is enough for the low-side limit
  EXPECT_EQ(set_["trackBar11"], 15);  // the other split slider had both registers
  EXPECT_EQ(set_.size(), kTrimControls.size() - 3);
}

TEST(TrimRoundTrip, ComposeThenReadBackGivesEveryControlItsValue) {
  std::mt19937 rng(7702);
  for (int round = 0; round < 200; ++round) {
    Values values;
    for (const auto& c : kTrimControls) {
      values[c.control] = std::uniform_int_distribution<int>(0, c.max)(rng);
    }
    std::array<std::uint8_t, kTrimRegisterCount> regs{};
    for (std::size_t i = 0; i < regs.size(); ++i) {
      regs[i] =
          ComposeTrimRegister(static_cast<std::uint8_t>(reg::TRIM_FIRST + i), ValueOf(values));
    }
    Values back;
    DecomposeTrimRegisters(regs, [&](std::string_view c, int v) { back[std::string(c)] = v; });
    ASSERT_EQ(back, values) << "round " << round;
  }
}

}  // namespace
}  // namespace kv7702
