// kv7702-evm-sim: the evaluation tool on a simulated evaluation board, for
// trying the tool without hardware.
#include "app/application.h"
#include "bridge/d2xx.h"
#include "sim/simulated_board.h"

int main(int argc, char** argv) {
  sim::SimulatedBoard board;
  d2xx::SetBackend(&board);
  const int code = NEVO::RunApplication(argc, argv);
  d2xx::SetBackend(nullptr);
  return code;
}
