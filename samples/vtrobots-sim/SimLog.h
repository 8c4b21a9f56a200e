// SimLog.h - the simulator's call log: one line as each call begins ("> ") and one as it ends
// ("< "), each stamped with milliseconds since the log was opened and the calling thread, and a
// "! " line whenever a caller breaks the library's rules (calls that overlap, calls after
// VT_Robots_Close). Every line goes to the file at once, so a reader sees it while the caller runs.
#ifndef VTROBOTS_SIM_SIMLOG_H
#define VTROBOTS_SIM_SIMLOG_H

#include <string>

namespace vtsim {

class SimLog {
 public:
  void Open(const std::string& path);
  bool IsOpen() const { return !path_.empty(); }
  // printf-style; the line end is added.
  void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  std::string path_;
  unsigned long startTick_ = 0;
};

}  // namespace vtsim

#endif  // VTROBOTS_SIM_SIMLOG_H
