// Records the pauses the system asks for instead of sleeping.
#pragma once

#include <vector>

namespace kvtest {

// Installs the recorder for its lifetime; the real sleep returns afterwards.
class SleepRecorder {
 public:
  SleepRecorder();
  ~SleepRecorder();
  SleepRecorder(const SleepRecorder&) = delete;
  SleepRecorder& operator=(const SleepRecorder&) = delete;

  const std::vector<unsigned>& pauses() const;
  unsigned total_ms() const;
  void clear();
};

}  // namespace kvtest
