#include "bridge/sleep.h"

#include <chrono>
#include <thread>

namespace bridge {
namespace {
void RealSleep(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
SleepFunction g_sleep = RealSleep;
}  // namespace

void SleepMs(unsigned milliseconds) { g_sleep(milliseconds); }
void SetSleepFunction(SleepFunction fn) { g_sleep = fn != nullptr ? fn : RealSleep; }

}  // namespace bridge
