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
  void StopBusyAnimation(uint32_t command) override {
    std::lock_guard<std::mutex> lock(mutex_);
    stops_.push_back(command);
  }
  void ShowRobotName(const char* name) override {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.emplace_back(name);
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    stops_.clear();
    names_.clear();
  }
  int Stops() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(stops_.size());
  }
  // The command serial each stop carried, in order.
  std::vector<uint32_t> StopSerials() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stops_;
  }
  std::vector<std::string> Names() {
    std::lock_guard<std::mutex> lock(mutex_);
    return names_;
  }

 private:
  std::mutex mutex_;
  std::vector<uint32_t> stops_;
  std::vector<std::string> names_;
};

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the worker and starts its thread, with RobotState 2 as the main window does.
  void StartWorker(const fake_robots::Settings& settings);
  // The two halves of StartWorker: the worker in state 2, then its thread.
  void CreateWorker(const fake_robots::Settings& settings);
  void StartThread();
  // Stops the worker and waits for its thread (bounded); returns its exit code.
  DWORD StopWorker();
  // Waits for the thread to end by itself; false after timeoutMs.
  bool WaitForExit(unsigned timeoutMs, DWORD* exitCode);

  // Bound for what must happen: generous, for a loaded machine; the waits end as soon as it does.
  static constexpr unsigned kPatienceMs = 60000;

  // Polls until done() holds; false after timeoutMs.
  static bool WaitUntil(const std::function<bool()>& done, unsigned timeoutMs = kPatienceMs);
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
