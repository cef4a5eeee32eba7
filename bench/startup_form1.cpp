// Start-up probe, the product: kv7702-evm-sim's own entry (the simulated
// board installed, then the application and main window of
// NEVO::RunApplication), ended once the window has painted.
#include "app/application.h"
#include "bench/startup_probe.h"
#include "sim/simulated_board.h"

int main(int argc, char** argv) {
  sim::SimulatedBoard board;
  return NEVO::RunApplicationOn(board, argc, argv);
}
