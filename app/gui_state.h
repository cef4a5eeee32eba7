// The window's module state: the flags that the handlers, the refreshes and
// the poll timer share. The bridge keeps its own state (ftHandle, portstate,
// FSI) in bridge/link_state.h.
#pragma once

#include <cstdint>

namespace NEVO {

// True while the bridge device is open; written by the connect handler and
// by the window's destruction.
extern bool ActiveHW;
// True while the chip is held to be in DFT mode; every register access of the
// window passes it as its DFT argument.
extern bool DFT_ENABLED;
// While true, every register write from the window is dropped: set only while
// panels are filled from register reads.
extern bool DoingRead;
// While true, each register access through the window's wrappers adds one
// line to the log; false only during the poll timer's automatic refresh.
extern bool logV;
// Poll-timer ticks handled since start; never reset. It wraps from the
// largest 32-bit value to the smallest (see poll_ticks.h).
extern std::int32_t updatetimerticks;

// Back to program start: all flags as at start-up, tick count 0. For tests.
void ResetGuiState();

}  // namespace NEVO
