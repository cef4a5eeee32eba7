// The bridge link's module state. These three variables are the only state
// the link keeps; every function of device_access, port and spi reads or
// writes them as documented there.
#pragma once

#include <cstdint>

#include "bridge/d2xx.h"

// Handle of the open bridge, null while closed. Set by FTDI_OpenDevice,
// cleared by a successful FTDI_CloseDevice.
extern FT_HANDLE ftHandle;
// Last PortWord written successfully by NEVO_SetPort, exactly as passed.
extern std::uint16_t portstate;
// SDO sampled right after chip select fell in the last successful SPI operation.
extern bool FSI;

namespace bridge {
// Back to program start: no handle, portstate 0, FSI false. For tests.
void ResetLinkState();
}  // namespace bridge
