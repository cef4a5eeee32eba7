#include "sleep_recorder.h"

#include <numeric>

#include "bridge/sleep.h"

namespace kvtest {
namespace {
std::vector<unsigned> g_pauses;
void Record(unsigned ms) { g_pauses.push_back(ms); }
}  // namespace

SleepRecorder::SleepRecorder() {
  g_pauses.clear();
  bridge::SetSleepFunction(Record);
}
SleepRecorder::~SleepRecorder() { bridge::SetSleepFunction(nullptr); }
const std::vector<unsigned>& SleepRecorder::pauses() const { return g_pauses; }
unsigned SleepRecorder::total_ms() const { return std::accumulate(g_pauses.begin(), g_pauses.end(), 0u); }
void SleepRecorder::clear() { g_pauses.clear(); }

}  // namespace kvtest
