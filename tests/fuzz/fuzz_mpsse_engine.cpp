// Random byte streams into the simulated bridge's command parser, split into
// writes at random points, with the answers drained in between: nothing may
// crash, hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/simulated_board.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::SimulatedBoard board;
  FT_HANDLE handle = nullptr;
  if (board.Open(0, &handle) != FT_OK) std::abort();
  board.SetBitMode(handle, 0, FT_BITMODE_MPSSE);

  std::uint8_t answers[512];
  std::size_t at = 0;
  while (at < size) {
    // The first byte of each chunk tells its length.
    const std::size_t chunk = 1 + data[at] % 64;
    const std::size_t begin = at + 1;
    const std::size_t n = begin + chunk <= size ? chunk : size - std::min(begin, size);
    DWORD written = 0;
    if (n > 0) board.Write(handle, data + begin, static_cast<DWORD>(n), &written);
    DWORD waiting = 0;
    board.GetQueueStatus(handle, &waiting);
    DWORD got = 0;
    board.Read(handle, answers, sizeof answers, &got);
    if (got > sizeof answers) std::abort();
    at = begin + n;
  }
  board.Close(handle);
  return 0;
}
