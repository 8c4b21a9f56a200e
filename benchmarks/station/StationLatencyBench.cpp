// Command latency of the robot station: the time from sending a command to its final "Status".
//  1. End to end: Pickwell.exe beside the simulator (no delay), 20 loads and unloads in turn sent
//     as a host sends them.
//  2. The worker alone, in this process against a library that answers at once, side by side:
//     woken by each command, and finding each command only on its one-second poll.
// Needs the Wine environment and display (scripts/wine-env.sh); no other station may run.
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
#include "BenchmarkFlavour.h"

namespace {

constexpr int kCommands = 20;

struct Figures {
  double median;
  double max;
};

Figures Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  return {median, samples.back()};
}

double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

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

bool EndToEnd(Figures* figures) {
  if (FindWindowA(nullptr, station::kWindowTitle)) {
    std::fprintf(stderr, "a station is already running; close it first\n");
    return false;
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "pickwell-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string bin = OwnFolder();
  if (!CopyFileA((bin + "Pickwell.exe").c_str(), (folder + "Pickwell.exe").c_str(), FALSE) ||
      !CopyFileA((bin + "vtrobots-sim\\VTROBOTS20.DLL").c_str(), (folder + "VTROBOTS20.DLL").c_str(), FALSE) ||
      !WriteText(folder + "VTROBOTS20.INI", "[Delays]\r\nLoadMs=0\r\nUnloadMs=0\r\n")) {
    std::fprintf(stderr, "cannot prepare %s\n", folder.c_str());
    return false;
  }
  std::string command = "\"" + folder + "Pickwell.exe\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
    std::fprintf(stderr, "cannot start Pickwell.exe: CreateProcess failed (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return false;
  }
  CloseHandle(info.hThread);
  station::UniqueHandle process(info.hProcess);

  // Ready once the robot's name is shown.
  HWND window = nullptr;
  for (int i = 0; i < 2000; ++i) {
    window = FindWindowA(nullptr, station::kWindowTitle);
    char name[64] = {};
    if (window) GetWindowTextA(GetDlgItem(window, station::kIdLabel1), name, sizeof name);
    if (name[0]) break;
    Sleep(10);
  }
  bool ok = window != nullptr;
  std::vector<double> samples;
  for (int i = 0; ok && i < kCommands; ++i) {
    const uint32_t code = i % 2 ? station::kCodeUnload : station::kCodeLoad;
    const pickwell_send::SendResult result = pickwell_send::SendCommand(code, 10000);
    if (result.outcome != pickwell_send::Outcome::Done) {
      std::fprintf(stderr, "command %u: %s\n", code, pickwell_send::OutcomeText(result.outcome));
      ok = false;
    }
    samples.push_back(result.elapsedMs);
  }
  pickwell_send::CloseStation(20000);
  if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
  for (const char* name : {"Pickwell.exe", "VTROBOTS20.DLL", "VTROBOTS20.INI"}) DeleteFileA((folder + name).c_str());
  RemoveDirectoryA(folder.c_str());
  if (ok) *figures = Summarise(samples);
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

int main() {
  PrintBenchmarkFlavour();
  std::printf("Robot station command latency, %d commands each (send to final Status)\n\n", kCommands);
  Figures endToEnd = {}, woken = {}, polled = {};
  const bool haveEndToEnd = EndToEnd(&endToEnd);
  const bool haveWoken = WorkerAlone(true, &woken);
  const bool havePolled = WorkerAlone(false, &polled);
  std::printf("%-44s %10s %10s\n", "", "median ms", "max ms");
  if (haveEndToEnd)
    std::printf("%-44s %10.1f %10.1f\n", "Pickwell.exe + simulator, woken at once", endToEnd.median, endToEnd.max);
  if (haveWoken)
    std::printf("%-44s %10.1f %10.1f\n", "worker alone, woken at once", woken.median, woken.max);
  if (havePolled)
    std::printf("%-44s %10.1f %10.1f\n", "worker alone, one-second poll only", polled.median, polled.max);
  if (haveWoken && havePolled && woken.median > 0)
    std::printf("\npoll / woken median ratio (worker alone): %.0fx\n", polled.median / woken.median);
  if (haveEndToEnd && havePolled && endToEnd.median > 0)
    std::printf("poll (worker alone) / end-to-end woken median ratio: %.0fx\n", polled.median / endToEnd.median);
  if (haveEndToEnd)
    std::printf("target: end-to-end median under 100 ms: %s\n", endToEnd.median < 100 ? "met" : "missed");
  return haveEndToEnd && haveWoken && havePolled ? 0 : 1;
}
