// The "Trimming" page as data: which control owns which bits of the trim
// registers TRIM_64-TRIM_75, where the control sits on the page, which
// handler writes which registers, and the packing both ways. Nothing here
// knows about widgets: controls are named by their objectName and their
// values are plain ints (slider position, 0/1 for a check box, the selected
// index of comboBox1).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "device/registers.h"

namespace kv7702 {

constexpr std::size_t kTrimRegisterCount = reg::TRIM_LAST - reg::TRIM_FIRST + 1;  // 18

enum class TrimKind { Slider, CheckBox, ComboBox };

// A run of bits of one register holding bits of a control's value:
// value bits [value_bit, value_bit + width) sit in register bits
// [low_bit, low_bit + width).
struct TrimPart {
  std::uint8_t addr;
  std::uint8_t low_bit;
  std::uint8_t width;
  std::uint8_t value_bit;
};

// One control of the "Trimming" page that owns trim bits. Most controls have
// one part; the two high-side current limit sliders (trackBar9, trackBar11)
// have two, the part with the upper value bits first: that is also the order
// in which their handler writes the registers.
struct TrimControl {
  const char* control;  // objectName, e.g. "trackBar0"
  TrimKind kind;
  const char* handler;       // the handler it raises, e.g. "trackBar0_Scroll"
  int max;                   // highest value (minimum is always 0)
  const char* caption_name;  // caption label left of the control, nullptr if none
  const char* caption;       // its text, e.g. "Bandgap 1 TC Trim"
  const char* text;          // check box text, nullptr for sliders and comboBox1
  int x, y;                  // position on the page
  int width;                 // slider width (every slider is 42 high); 0 otherwise
  int page_step;             // slider page step; 0 keeps the toolkit's default
  bool small_text;           // check box drawn in the 7 pt caption font
  std::array<TrimPart, 2> part_storage;
  std::uint8_t part_count;

  constexpr std::span<const TrimPart> parts() const { return {part_storage.data(), part_count}; }
};

// Every bit-owning control: 24 sliders, 10 check boxes and comboBox1, in the
// order the read-back sets them (by register address, the two split sliders
// last because they need two registers each).
extern const std::array<TrimControl, 35> kTrimControls;
const TrimControl* FindTrimControl(std::string_view control);

// comboBox1's items; the index is the field value.
extern const std::array<const char*, 4> kLedOpenLoadItems;

// checkBox3 ("Buck2/3 increase tdelay") is on the page, checked and disabled,
// but owns no bit and is bound to no handler; the trim logic never touches it.
struct InertCheckBox {
  const char* control;
  const char* text;
  int x, y;
};
extern const InertCheckBox kTrimInertCheckBox;

// A writer: the handler name and the registers it writes, in order.
struct TrimHandler {
  const char* handler;
  std::array<std::uint8_t, 2> write_storage;
  std::uint8_t write_count;

  constexpr std::span<const std::uint8_t> writes() const {
    return {write_storage.data(), write_count};
  }
};
extern const std::array<TrimHandler, 18> kTrimHandlers;
// The registers `handler` writes, in order; empty for an unknown name.
std::span<const std::uint8_t> TrimHandlerRegisters(std::string_view handler);

// Current value of a control, by objectName.
using TrimValueOf = std::function<int(std::string_view control)>;
// Sets a control, by objectName.
using TrimSetter = std::function<void(std::string_view control, int value)>;

// The whole byte of trim register `addr`, composed from every control owning
// bits in it; unowned bits are 0. Each value is cut to its field's width, so
// an out-of-range value cannot spill into a neighbouring field (the controls'
// ranges already fit their fields). Returns 0 for an address outside
// TRIM_64-TRIM_75.
std::uint8_t ComposeTrimRegister(std::uint8_t addr, const TrimValueOf& value_of);

// Sets every control from the eighteen registers (values[i] is TRIM_64 + i),
// in the order of kTrimControls.
void DecomposeTrimRegisters(const std::array<std::uint8_t, kTrimRegisterCount>& values,
                            const TrimSetter& set);
// The same for a read-back where some reads failed (nullopt): a control is
// set only when every register holding part of it was read, so a split
// slider needs both of its registers; the others keep what they show.
void DecomposeTrimRegisters(
    const std::array<std::optional<std::uint8_t>, kTrimRegisterCount>& values,
    const TrimSetter& set);

}  // namespace kv7702
