#include "WorkerFixture.h"

#include "StationProtocol.h"

namespace {
DWORD WINAPI RunWorker(LPVOID worker) { return static_cast<station::RobotWorker*>(worker)->Run(); }
}  // namespace

void WorkerTest::SetUp() {
  keyPath_ = "Software\\PickwellWorkerTests\\" + std::to_string(GetCurrentProcessId());
  key_ = station::StatusKey{HKEY_CURRENT_USER, keyPath_.c_str()};
  ASSERT_TRUE(station::CreateStatusKey(key_));
}

void WorkerTest::TearDown() {
  if (thread_) StopWorker();
  RegDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
}

void WorkerTest::StartWorker(const fake_robots::Settings& settings) {
  CreateWorker(settings);
  StartThread();
}

void WorkerTest::CreateWorker(const fake_robots::Settings& settings) {
  fake_robots::Reset(settings);
  worker_.reset(new station::RobotWorker(fake_robots::Library(), key_, &display_));
  worker_->SetState(station::kStateConnect);
}

void WorkerTest::StartThread() {
  thread_ = CreateThread(nullptr, 0, RunWorker, worker_.get(), 0, nullptr);
  ASSERT_NE(thread_, nullptr);
}

DWORD WorkerTest::StopWorker() {
  worker_->RequestStop();
  fake_robots::Release();
  DWORD code = 0xDEAD;
  EXPECT_TRUE(WaitForExit(kPatienceMs, &code)) << "the worker did not stop";
  return code;
}

bool WorkerTest::WaitForExit(unsigned timeoutMs, DWORD* exitCode) {
  if (!thread_) return false;
  if (WaitForSingleObject(thread_, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeThread(thread_, exitCode);
  CloseHandle(thread_);
  thread_ = nullptr;
  return true;
}

bool WorkerTest::WaitUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(5);
  }
  return true;
}

void WorkerTest::Command(int32_t state) {
  ASSERT_TRUE(station::WriteStatus(key_, station::kStatusInProgress));
  worker_->SetState(state);
}

bool WorkerTest::ReadStatus(uint32_t* status) const { return station::ReadStatus(key_, status); }
