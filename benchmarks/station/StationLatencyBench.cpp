// Command latency of the robot station: the time from sending a command to its own outcome.
//  1. End to end: Pickwell.exe beside the simulator (no delay), with 1, 4 and 8 senders sending
//     20 loads and unloads each at the same time, as hosts send them: a short pause of work after
//     each outcome, and a command the station does not take (another one runs) sent again once
//     "Status" changes. Each figure is one sender's own taken command, from its send to its outcome.
//  2. The baseline, the worker alone, in this process against a library that answers at once,
//     side by side: woken by each command, and finding each command only on its one-second poll.
// Needs the Wine environment and display (scripts/wine-env.sh); no other station may run.
// Usage: station_latency_bench [--full]
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CommandSender.h"
#include "ControlIds.h"
#include "RobotWorker.h"
#include "StationProtocol.h"
#include "StationWindows.h"
#include "StatusRegistry.h"
#include "BenchClock.h"
#include "BenchmarkFlavour.h"
#include "BenchmarkSeries.h"

namespace {

constexpr int kCommands = 20;         // per sender
constexpr DWORD kHostWorkMs = 20;     // between a sender's outcome and its next command
constexpr double kTargetMedianMs = 100;

struct Figures {
  double median;
  double max;
};

Figures Summarise(const std::vector<double>& samples) {
  return {Median(samples), samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end())};
}

double NowMs() { return BenchSeconds() * 1000.0; }

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string OwnFolder() {
  char path[MAX_PATH * 2] = {};
  GetModuleFileNameA(nullptr, path, sizeof path - 1);
  return Folder(path);
}

bool WriteText(const std::string& path, const std::string& text) {
  station::UniqueSnapshot file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// --- 1. end to end -------------------------------------------------------------------------

// Pickwell.exe beside the simulator in a folder of its own, running until Stop.
class StationUnderTest {
 public:
  bool Start();
  void Stop();

 private:
  std::string folder_;
  station::UniqueHandle process_;
};

bool StationUnderTest::Start() {
  if (FindWindowA(nullptr, station::kWindowTitle)) {
    std::fprintf(stderr, "a station is already running; close it first\n");
    return false;
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  folder_ = std::string(temp) + "pickwell-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder_.c_str(), nullptr);
  const std::string bin = OwnFolder();
  if (!CopyFileA((bin + "Pickwell.exe").c_str(), (folder_ + "Pickwell.exe").c_str(), FALSE) ||
      !CopyFileA((bin + "vtrobots-sim\\VTROBOTS20.DLL").c_str(), (folder_ + "VTROBOTS20.DLL").c_str(), FALSE) ||
      !WriteText(folder_ + "VTROBOTS20.INI", "[Delays]\r\nLoadMs=0\r\nUnloadMs=0\r\n")) {
    std::fprintf(stderr, "cannot prepare %s\n", folder_.c_str());
    return false;
  }
  std::string command = "\"" + folder_ + "Pickwell.exe\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup, &info)) {
    std::fprintf(stderr, "cannot start Pickwell.exe: CreateProcess failed (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return false;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  // Ready once the robot's name is shown.
  for (int i = 0; i < 2000; ++i) {
    HWND window = FindWindowA(nullptr, station::kWindowTitle);
    char name[64] = {};
    if (window) GetWindowTextA(GetDlgItem(window, station::kIdLabel1), name, sizeof name);
    if (name[0]) return true;
    Sleep(10);
  }
  std::fprintf(stderr, "the station showed no robot within 20 s\n");
  return false;
}

void StationUnderTest::Stop() {
  if (process_) {
    pickwell_send::CloseStation(20000);
    if (WaitForSingleObject(process_.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
    process_.reset();
  }
  if (folder_.empty()) return;
  for (const char* name : {"Pickwell.exe", "VTROBOTS20.DLL", "VTROBOTS20.INI"}) DeleteFileA((folder_ + name).c_str());
  RemoveDirectoryA(folder_.c_str());
}

struct Sender {
  int id = 0;
  std::vector<double> latencies;  // of its taken commands, send to outcome
  int notTaken = 0;               // sends the station did not take: another command ran
  int lost = 0;                   // taken, but eight later commands pushed its record out first
  bool ok = true;
};

// A sender whose command was not taken waits, as a considerate host does, until "Status" changes
// (the running command ended) before it tries again, rather than sending again and again.
class StatusChange {
 public:
  StatusChange() : changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    const station::StatusKey key = station::StationStatusKey();
    if (RegOpenKeyExA(key.root, key.path, 0, KEY_NOTIFY, key_.put()) != ERROR_SUCCESS) key_.release();
  }
  // Bounded: the command may have ended before the watch began.
  void Wait() {
    if (key_ && changed_ &&
        RegNotifyChangeKeyValue(key_.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed_.get(), TRUE) == ERROR_SUCCESS)
      WaitForSingleObject(changed_.get(), 20);
    else
      Sleep(5);
  }

 private:
  station::UniqueKey key_;
  station::UniqueHandle changed_;
};

DWORD WINAPI RunSender(LPVOID context) {
  Sender& sender = *static_cast<Sender*>(context);
  StatusChange change;
  for (int i = 0; sender.ok && i < kCommands; ++i) {
    const uint32_t code = i % 2 ? station::kCodeUnload : station::kCodeLoad;
    for (;;) {
      const pickwell_send::SendResult result = pickwell_send::SendCommand(code, 10000);
      if (result.outcome == pickwell_send::Outcome::NotTaken) {
        ++sender.notTaken;
        change.Wait();
        continue;
      }
      if (result.outcome == pickwell_send::Outcome::Done) {
        sender.latencies.push_back(result.elapsedMs);
      } else if (result.outcome == pickwell_send::Outcome::Unknown) {
        ++sender.lost;
      } else {
        std::fprintf(stderr, "sender %d, command %u: %s\n", sender.id, code, pickwell_send::OutcomeText(result.outcome));
        sender.ok = false;
      }
      break;
    }
    // A host works with the disc before its next command; senders do not work in step.
    Sleep(kHostWorkMs + static_cast<DWORD>(sender.id % 5));
  }
  return 0;
}

struct SeriesRun {
  std::vector<double> latencies;  // every sender's
  int notTaken = 0;
  int lost = 0;
};

bool RunSenders(int senders, SeriesRun* run) {
  std::vector<Sender> state(static_cast<size_t>(senders));
  std::vector<station::UniqueHandle> threads;
  for (int i = 0; i < senders; ++i) {
    state[static_cast<size_t>(i)].id = i;
    threads.emplace_back(CreateThread(nullptr, 0, RunSender, &state[static_cast<size_t>(i)], 0, nullptr));
    if (!threads.back()) return false;
  }
  bool ok = true;
  for (size_t i = 0; i < threads.size(); ++i) {
    ok = WaitForSingleObject(threads[i].get(), 600000) == WAIT_OBJECT_0 && ok;
    ok = ok && state[i].ok;
    run->latencies.insert(run->latencies.end(), state[i].latencies.begin(), state[i].latencies.end());
    run->notTaken += state[i].notTaken;
    run->lost += state[i].lost;
  }
  return ok;
}

// --- 2. the worker alone -------------------------------------------------------------------

VtResult VT_ROBOTS_CALL Answer0(int32_t) { return 0; }
VtResult VT_ROBOTS_CALL Connect(int32_t* count, VtRobotHandle* handles, int32_t*, uint8_t*) {
  *count = 1;
  handles[0] = 1;
  return 0;
}
VtResult VT_ROBOTS_CALL Info(VtRobotHandle, char* name, char*, int32_t) {
  name[0] = 'R';
  name[1] = 0;
  return 0;
}
VtResult VT_ROBOTS_CALL Texts(VtRobotHandle, char*, char*, int32_t) { return 0; }
VtResult VT_ROBOTS_CALL Message(VtRobotHandle, char* text) {
  text[0] = 0;
  return 0;
}
VtResult VT_ROBOTS_CALL Drives(VtRobotHandle, int32_t*, char (*drives)[VT_ROBOTS_DRIVE_ENTRY_SIZE]) {
  drives[0][0] = 'E';
  return 0;
}
VtResult VT_ROBOTS_CALL Move(char, int32_t, int32_t, int32_t) { return 0; }
VtResult VT_ROBOTS_CALL Park(VtRobotHandle) { return 0; }
VtResult VT_ROBOTS_CALL Close() { return 0; }
const station::RobotLibrary kInstantLibrary = {Answer0, Connect, Info, Texts, Message, Drives, Move, Move, Park, Close};

DWORD WINAPI RunWorker(LPVOID worker) { return static_cast<station::RobotWorker*>(worker)->Run(); }

bool WorkerAlone(bool wake, Figures* figures) {
  const std::string path = "Software\\PickwellBenchmark\\" + std::to_string(GetCurrentProcessId());
  const station::StatusKey key{HKEY_CURRENT_USER, path.c_str()};
  if (!station::CreateStatusKey(key)) return false;
  station::RobotWorker worker(kInstantLibrary, key, nullptr);
  worker.SetWakeOnCommand(wake);
  station::UniqueHandle thread(CreateThread(nullptr, 0, RunWorker, &worker, 0, nullptr));
  worker.SetState(station::kStateConnect);
  for (int i = 0; i < 500 && worker.CurrentDrive != 'E'; ++i) Sleep(10);

  std::vector<double> samples;
  bool ok = worker.CurrentDrive == 'E';
  for (int i = 0; ok && i < kCommands; ++i) {
    station::WriteStatus(key, station::kStatusInProgress);
    const double start = NowMs();
    worker.SetState(i % 2 ? station::kStateUnload : station::kStateLoad);
    uint32_t status = station::kStatusInProgress;
    while (status == station::kStatusInProgress && NowMs() - start < 5000) {
      Sleep(1);
      station::ReadStatus(key, &status);
    }
    ok = status == station::kStatusDone;
    samples.push_back(NowMs() - start);
    Sleep(37 * (i % 7));  // commands do not arrive in step with the worker's poll
  }
  worker.RequestStop();
  WaitForSingleObject(thread.get(), 5000);
  RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
  if (ok) *figures = Summarise(samples);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const std::vector<int> sizes = PickSizes(argc, argv, std::vector<int>{1, 4, 8}, 2);
  std::printf("Robot station command latency, send to the command's own outcome; %d commands per sender\n\n",
              kCommands);
  // The baseline first: the worker alone, woken and polled.
  Figures woken = {}, polled = {};
  const bool haveWoken = WorkerAlone(true, &woken);
  const bool havePolled = WorkerAlone(false, &polled);
  if (!haveWoken || !havePolled) {
    std::fprintf(stderr, "the worker alone could not be measured\n");
    return 1;
  }
  std::printf("worker alone, woken at once:        median %7.1f ms, worst %7.1f ms\n", woken.median, woken.max);
  std::printf("worker alone, one-second poll only: median %7.1f ms, worst %7.1f ms (the baseline)\n\n",
              polled.median, polled.max);
  std::fflush(stdout);

  StationUnderTest station;
  bool ok = station.Start();
  std::printf("Pickwell.exe + simulator, woken at once\n");
  std::printf("%8s %9s %10s %6s %10s %9s %12s\n", "senders", "commands", "not taken", "lost", "median ms",
              "worst ms", "poll/median");
  std::vector<SeriesPoint> points;
  for (size_t i = 0; ok && i < sizes.size(); ++i) {
    SeriesRun run;
    if (!RunSenders(sizes[i], &run) || run.latencies.empty()) {
      std::printf("%8d FAILED\n", sizes[i]);
      ok = false;
      break;
    }
    const Figures figures = Summarise(run.latencies);
    const double ratio = figures.median > 0 ? polled.median / figures.median : 0;
    std::printf("%8d %9zu %10d %6d %10.1f %9.1f %11.0fx\n", sizes[i], run.latencies.size() + run.lost, run.notTaken,
                run.lost, figures.median, figures.max, ratio);
    std::fflush(stdout);
    points.push_back({std::to_string(sizes[i]) + (sizes[i] == 1 ? " sender" : " senders"), ratio,
                      figures.median < kTargetMedianMs});
  }
  station.Stop();
  PrintGrowth("poll / end-to-end median", points, sizes.size(), "target median under 100 ms");
  return ok ? 0 : 1;
}
