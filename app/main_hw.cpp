// kv7702-evm: the evaluation tool on a real bridge, through libftdi1.
#include "app/application.h"
#include "bridge/ftdi/libftdi_backend.h"

int main(int argc, char** argv) {
  ftdi_backend::LibftdiBackend bridge;
  return NEVO::RunApplicationOn(bridge, argc, argv);
}
