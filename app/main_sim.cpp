// kv7702-evm-sim: the evaluation tool on a simulated evaluation board, for
// trying the tool without hardware.
#include "app/application.h"
#include "sim/simulated_board.h"

int main(int argc, char** argv) {
  sim::SimulatedBoard board;
  return NEVO::RunApplicationOn(board, argc, argv);
}
