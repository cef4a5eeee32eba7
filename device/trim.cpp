#include "device/trim.h"

#include <algorithm>

namespace kv7702 {

namespace {

constexpr TrimPart Part(std::uint8_t addr, std::uint8_t low_bit, std::uint8_t width,
                        std::uint8_t value_bit = 0) {
  return {addr, low_bit, width, value_bit};
}

constexpr TrimControl Slider(const char* control, const char* handler, int max,
                             const char* caption_name, const char* caption, int x, int y, int width,
                             TrimPart part, int page_step = 0) {
  return {.control = control,
          .kind = TrimKind::Slider,
          .handler = handler,
          .max = max,
          .caption_name = caption_name,
          .caption = caption,
          .text = nullptr,
          .x = x,
          .y = y,
          .width = width,
          .page_step = page_step,
          .small_text = false,
          .part_storage = {part},
          .part_count = 1};
}

// trackBar9 and trackBar11: a 4-bit value stored as bits 3:1 in `upper` and
// bit 0 in `bit0`, captioned "HS".
constexpr TrimControl SplitSlider(const char* control, const char* handler,
                                  const char* caption_name, int x, int y, int width, TrimPart upper,
                                  TrimPart bit0) {
  TrimControl c = Slider(control, handler, 15, caption_name, "HS", x, y, width, upper);
  c.part_storage = {upper, bit0};
  c.part_count = 2;
  return c;
}

constexpr TrimControl CheckBox(const char* control, const char* handler, const char* text, int x,
                               int y, TrimPart part, bool small_text = false,
                               const char* caption_name = nullptr, const char* caption = nullptr) {
  TrimControl c = Slider(control, handler, 1, caption_name, caption, x, y, 0, part);
  c.kind = TrimKind::CheckBox;
  c.text = text;
  c.small_text = small_text;
  return c;
}

constexpr TrimControl ComboBox(const char* control, const char* handler, int max,
                               const char* caption_name, const char* caption, int x, int y,
                               TrimPart part) {
  TrimControl c = Slider(control, handler, max, caption_name, caption, x, y, 0, part);
  c.kind = TrimKind::ComboBox;
  return c;
}

}  // namespace

constexpr std::array<const char*, 4> kLedOpenLoadItems = {"20mV", "40mV", "60mV", "230mV"};

constexpr InertCheckBox kTrimInertCheckBox = {"checkBox3", "Buck2/3 increase tdelay", 15, 159};

// clang-format off
constexpr std::array<TrimControl, 35> kTrimControls = {
    // TRIM_64
    Slider("trackBar0", "trackBar0_Scroll", 31, "label32", "Bandgap 1 TC Trim", 85, 15, 124, Part(0x64, 0, 5)),
    Slider("trackBar21", "trackBar0_Scroll", 7, "label51", "LDO current limit", 85, 44, 124, Part(0x64, 5, 3), 1),
    // TRIM_65
    Slider("trackBar1", "trackBar1_Scroll", 15, "label25", "Bandgap 1 Buck 0.8V Trim", 85, 73, 124, Part(0x65, 0, 4)),
    ComboBox("comboBox1", "trackBar1_Scroll", 3, "label52", "LED open load sel", 88, 135, Part(0x65, 4, 2)),
    CheckBox("checkBox2", "trackBar1_Scroll", "Buck2/3 constant dip", 15, 115, Part(0x65, 6, 1)),
    CheckBox("checkBox1", "trackBar1_Scroll", "Buck2/3 high bandwith", 15, 100, Part(0x65, 7, 1)),
    // TRIM_66
    Slider("trackBar2", "trackBar2_Scroll", 31, "label26", "Bandgap 2 TC Trim", 85, 211, 124, Part(0x66, 0, 5)),
    CheckBox("checkBox5", "trackBar2_Scroll", "Buck2/3 more filtering", 15, 195, Part(0x66, 5, 1)),
    CheckBox("checkBox4", "trackBar2_Scroll", "BOOST increase cap", 15, 177, Part(0x66, 6, 1)),
    CheckBox("checkBox7", "trackBar2_Scroll", "Add CAPS to ZP output", 27, 422, Part(0x66, 7, 1)),
    // TRIM_67 (bit 4 belongs to trackBar9, below)
    Slider("trackBar3", "trackBar3_Scroll", 15, "label27", "Bandgap 2 Buck 0.8V Trim", 85, 240, 124, Part(0x67, 0, 4)),
    Slider("trackBar20", "trackBar3_Scroll", 7, "label48", "BUCK2 gain", 441, 156, 116, Part(0x67, 5, 3)),
    // TRIM_68 - TRIM_6A
    Slider("trackBar4", "trackBar4_Scroll", 15, "label28", "Normal Mode Iref Trim", 85, 268, 124, Part(0x68, 0, 4)),
    Slider("trackBar5", "trackBar5_Scroll", 15, "label29", "Low Power Iref Trim", 85, 296, 124, Part(0x69, 0, 4)),
    Slider("trackBar6", "trackBar6_Scroll", 15, "label30", "IPTAT Trim", 85, 323, 124, Part(0x6A, 0, 4)),
    // TRIM_6B
    Slider("trackBar7", "trackBar7_Scroll", 7, "label31", "Buck 1 LP-RC Trim", 273, 397, 77, Part(0x6B, 0, 3)),
    CheckBox("track7pos", "trackBar7_Scroll", "pos", 458, 400, Part(0x6B, 3, 1), false, "label1", "Buck1 Summing Comparator Trim"),
    CheckBox("track7neg", "trackBar7_Scroll", "neg", 458, 417, Part(0x6B, 4, 1)),
    // TRIM_6C, TRIM_6D (bits 5:3 belong to trackBar9 and trackBar11)
    Slider("trackBar8", "trackBar8_Scroll", 7, "label33", "Buck 2 LS curlim", 273, 10, 44, Part(0x6C, 0, 3)),
    Slider("trackBar10", "trackBar10_Scroll", 7, "label35", "Buck 3 LS curlim", 273, 58, 44, Part(0x6D, 0, 3)),
    // TRIM_6E (bit 3 belongs to trackBar11)
    Slider("trackBar12", "trackBar12_Scroll", 7, "label37", "Boost LS Current Limit Trim", 273, 88, 116, Part(0x6E, 0, 3)),
    Slider("trackBar14", "trackBar12_Scroll", 7, "label39", "BUCK3 gain", 273, 156, 116, Part(0x6E, 4, 3)),
    // TRIM_6F, TRIM_70
    Slider("trackBar13", "trackBar13_Scroll", 63, "label38", "SMP osc", 273, 192, 267, Part(0x6F, 0, 6)),
    Slider("trackBar15", "trackBar15_Scroll", 31, "label40", "LPM osc", 273, 228, 267, Part(0x70, 0, 5)),
    // TRIM_71
    Slider("trackBar23", "trackBar22_Scroll", 3, "label56", "B2/3 blanking", 85, 392, 44, Part(0x71, 3, 2)),
    Slider("trackBar22", "trackBar22_Scroll", 3, "label55", "LDO trim", 85, 364, 44, Part(0x71, 5, 2)),
    // TRIM_72 - TRIM_74
    Slider("trackBar16", "trackBar16_Scroll", 63, "label41", "BUCK2 RC", 273, 261, 267, Part(0x72, 0, 6)),
    Slider("trackBar17", "trackBar17_Scroll", 63, "label42", "BUCK3 RC", 273, 297, 267, Part(0x73, 0, 6)),
    Slider("trackBar18", "trackBar18_Scroll", 63, "label43", "BOOST RC", 273, 338, 267, Part(0x74, 0, 6)),
    // TRIM_75
    Slider("trackBar19", "trackBar19_Scroll", 31, "label44", "Vref TC Trim", 409, 20, 148, Part(0x75, 0, 5)),
    CheckBox("enaCRPBox", "trackBar19_Scroll", "Enable BUCK2/3 runaway protection for all duty cycles", 411, 78, Part(0x75, 5, 1), true),
    CheckBox("disVREFBox", "trackBar19_Scroll", "Disable VREF clamp", 411, 58, Part(0x75, 6, 1), true),
    CheckBox("checkBox6", "trackBar19_Scroll", "OT sensor trim", 411, 110, Part(0x75, 7, 1), true),
    // High-side current limits: value bits 3:1 in bits 5:3 of TRIM_6C/TRIM_6D,
    // value bit 0 in TRIM_67 bit 4 (Buck 2) or TRIM_6E bit 3 (Buck 3).
    SplitSlider("trackBar9", "trackBar8_Scroll", "label34", 330, 10, 79, Part(0x6C, 3, 3, 1), Part(0x67, 4, 1, 0)),
    SplitSlider("trackBar11", "trackBar10_Scroll", "label36", 330, 58, 79, Part(0x6D, 3, 3, 1), Part(0x6E, 3, 1, 0)),
};

// A handler bound to a split slider writes the register with the upper value
// bits first, then the one with bit 0, recomposed in full.
constexpr std::array<TrimHandler, 18> kTrimHandlers = {{
    {"trackBar0_Scroll", {0x64}, 1},
    {"trackBar1_Scroll", {0x65}, 1},
    {"trackBar2_Scroll", {0x66}, 1},
    {"trackBar3_Scroll", {0x67}, 1},
    {"trackBar4_Scroll", {0x68}, 1},
    {"trackBar5_Scroll", {0x69}, 1},
    {"trackBar6_Scroll", {0x6A}, 1},
    {"trackBar7_Scroll", {0x6B}, 1},
    {"trackBar8_Scroll", {0x6C, 0x67}, 2},
    {"trackBar10_Scroll", {0x6D, 0x6E}, 2},
    {"trackBar12_Scroll", {0x6E}, 1},
    {"trackBar13_Scroll", {0x6F}, 1},
    {"trackBar15_Scroll", {0x70}, 1},
    {"trackBar22_Scroll", {0x71}, 1},
    {"trackBar16_Scroll", {0x72}, 1},
    {"trackBar17_Scroll", {0x73}, 1},
    {"trackBar18_Scroll", {0x74}, 1},
    {"trackBar19_Scroll", {0x75}, 1},
}};
// clang-format on

const TrimControl* FindTrimControl(std::string_view control) {
  const auto it = std::find_if(kTrimControls.begin(), kTrimControls.end(),
                               [&](const TrimControl& c) { return c.control == control; });
  return it != kTrimControls.end() ? &*it : nullptr;
}

std::span<const std::uint8_t> TrimHandlerRegisters(std::string_view handler) {
  for (const auto& h : kTrimHandlers) {
    if (h.handler == handler) return h.writes();
  }
  return {};
}

namespace {

constexpr unsigned Mask(unsigned width) { return (1u << width) - 1u; }

std::size_t TrimIndex(std::uint8_t addr) {
  return static_cast<std::size_t>(addr - reg::TRIM_FIRST);
}

}  // namespace

std::uint8_t ComposeTrimRegister(std::uint8_t addr, const TrimValueOf& value_of) {
  unsigned byte = 0;
  for (const auto& c : kTrimControls) {
    for (const auto& p : c.parts()) {
      if (p.addr != addr) continue;
      const auto value = static_cast<unsigned>(value_of(c.control));
      byte |= ((value >> p.value_bit) & Mask(p.width)) << p.low_bit;
    }
  }
  return static_cast<std::uint8_t>(byte);
}

void DecomposeTrimRegisters(
    const std::array<std::optional<std::uint8_t>, kTrimRegisterCount>& values,
    const TrimSetter& set) {
  for (const auto& c : kTrimControls) {
    const auto parts = c.parts();
    const bool all_read = std::all_of(parts.begin(), parts.end(), [&](const TrimPart& p) {
      return values[TrimIndex(p.addr)].has_value();
    });
    if (!all_read) continue;
    unsigned value = 0;
    for (const auto& p : parts) {
      value |= ((*values[TrimIndex(p.addr)] >> p.low_bit) & Mask(p.width)) << p.value_bit;
    }
    set(c.control, static_cast<int>(value));
  }
}

void DecomposeTrimRegisters(const std::array<std::uint8_t, kTrimRegisterCount>& values,
                            const TrimSetter& set) {
  std::array<std::optional<std::uint8_t>, kTrimRegisterCount> read;
  std::copy(values.begin(), values.end(), read.begin());
  DecomposeTrimRegisters(read, set);
}

}  // namespace kv7702
