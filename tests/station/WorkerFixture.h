// WorkerFixture.h - runs a RobotWorker on its own thread against the fake library, with a
// private registry key for "Status" and a display that records what the window would show.
#ifndef TESTS_STATION_WORKERFIXTURE_H
#define TESTS_STATION_WORKERFIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FakeRobotLibrary.h"
#include "RobotWorker.h"

class RecordingDisplay : public station::WorkerDisplay {
 public:
  void StopBusyAnimation() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++stops_;
  }
  void ShowRobotName(const char* name) override {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.emplace_back(name);
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    stops_ = 0;
    names_.clear();
  }
  int Stops() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stops_;
  }
  std::vector<std::string> Names() {
    std::lock_guard<std::mutex> lock(mutex_);
    return names_;
  }

 private:
  std::mutex mutex_;
  int stops_ = 0;
  std::vector<std::string> names_;
};

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the worker and starts its thread, with RobotState 2 as the main window does.
  void StartWorker(const fake_robots::Settings& settings);
  // Stops the worker and waits for its thread (bounded); returns its exit code.
  DWORD StopWorker();
  // Waits for the thread to end by itself; false after timeoutMs.
  bool WaitForExit(unsigned timeoutMs, DWORD* exitCode);

  // Polls until done() holds; false after timeoutMs.
  static bool WaitUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);
  // Gives a command as RobotCommand does: "Status" 2, then the state.
  void Command(int32_t state);
  bool ReadStatus(uint32_t* status) const;

  std::string keyPath_;
  station::StatusKey key_{};
  RecordingDisplay display_;
  std::unique_ptr<station::RobotWorker> worker_;
  HANDLE thread_ = nullptr;
};

#endif  // TESTS_STATION_WORKERFIXTURE_H
