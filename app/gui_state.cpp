#include "app/gui_state.h"

namespace NEVO {

bool ActiveHW = false;
bool DFT_ENABLED = false;
bool DoingRead = false;
bool logV = true;
std::int32_t updatetimerticks = 0;

void ResetGuiState() {
  ActiveHW = false;
  DFT_ENABLED = false;
  DoingRead = false;
  logV = true;
  updatetimerticks = 0;
}

}  // namespace NEVO
