#include "bridge/link_state.h"

FT_HANDLE ftHandle = nullptr;
std::uint16_t portstate = 0;
bool FSI = false;

namespace bridge {
void ResetLinkState() {
  ftHandle = nullptr;
  portstate = 0;
  FSI = false;
}
}  // namespace bridge
