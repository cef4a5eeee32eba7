// kv7702-evm: the evaluation tool on a real bridge, through libftdi1.
#include "app/application.h"
#include "bridge/d2xx.h"
#include "bridge/ftdi/libftdi_backend.h"

int main(int argc, char** argv) {
  ftdi_backend::LibftdiBackend bridge;
  d2xx::SetBackend(&bridge);
  const int code = NEVO::RunApplication(argc, argv);
  d2xx::SetBackend(nullptr);
  return code;
}
