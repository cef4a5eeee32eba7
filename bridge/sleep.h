// The pauses of the system (1 ms polls, 30 ms before the first port write,
// 500 ms in the EEPROM CRC run) go through one replaceable function, so that
// tests can record them instead of waiting.
#pragma once

namespace bridge {

using SleepFunction = void (*)(unsigned milliseconds);

// Sleeps on the calling thread through the installed function.
void SleepMs(unsigned milliseconds);
// Installs a replacement; nullptr restores the real sleep.
void SetSleepFunction(SleepFunction fn);

}  // namespace bridge
