#include "CommandSender.h"

#include <cstdlib>

#include "StationProtocol.h"
#include "StationWindows.h"
#include "StatusRegistry.h"

namespace pickwell_send {
namespace {

constexpr DWORD kPollMs = 5;  // fallback when change notification is not available

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

bool ParseCommand(const std::string& text, uint32_t* code) {
  if (text == "load") return *code = station::kCodeLoad, true;
  if (text == "unload") return *code = station::kCodeUnload, true;
  if (text == "unload-alt") return *code = station::kCodeUnloadAlt, true;
  if (text == "watchdog") return *code = station::kCodeWatchdog, true;
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  *code = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  return true;
}

bool ReportsOutcome(uint32_t code) {
  return code == station::kCodeLoad || code == station::kCodeUnload || code == station::kCodeUnloadAlt;
}

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done: return "done";
    case Outcome::Failed: return "failed";
    case Outcome::Sent: return "sent";
    case Outcome::TimedOut: return "timed out";
    case Outcome::Unknown: return "taken, but its outcome cannot be read (the registry key or its record is gone)";
    case Outcome::NoStation: return "no station window";
    case Outcome::SendFailed: return "station did not answer the message";
    case Outcome::NotTaken: return "not taken by the station";
  }
  return "?";
}

HWND FindStation() { return FindWindowA(station::kWindowClass, station::kWindowTitle); }

SendResult SendCommand(uint32_t code, unsigned timeoutMs) {
  SendResult result = {Outcome::NoStation, 0, 0.0};
  // Only the station's own window: another program's window with the title would swallow the
  // command and leave "Status" as it was.
  HWND window = FindStation();
  if (!window) return result;

  const station::StatusKey key = station::StationStatusKey();
  // Watch the key from before the send, so that no change is missed.
  station::UniqueKey watched;
  station::UniqueHandle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_NOTIFY | KEY_QUERY_VALUE, watched.put()) != ERROR_SUCCESS)
    watched.release();

  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  DWORD_PTR answer = 0;
  // The whole command keeps to timeoutMs: the send may take all of it, and a window that has been
  // busy for the five seconds after which the system calls it hung is still waited for.
  const UINT sendTimeout = timeoutMs == 0 ? 1 : timeoutMs;
  if (!SendMessageTimeoutA(window, station::kWmRobotCommand, code, station::kAskForSerial, SMTO_BLOCK, sendTimeout,
                           &answer)) {
    result.outcome = Outcome::SendFailed;
    result.elapsedMs = MillisecondsSince(start);
    return result;
  }
  if (answer == static_cast<DWORD_PTR>(station::kAnswerNotTaken)) {
    result.outcome = Outcome::NotTaken;
    result.elapsedMs = MillisecondsSince(start);
    return result;
  }
  if (!ReportsOutcome(code)) {
    result.outcome = Outcome::Sent;
    result.elapsedMs = MillisecondsSince(start);
    return result;
  }
  // "Status" alone may already hold the next sender's command; only the record with this
  // command's serial is its outcome.
  const uint32_t serial = static_cast<uint32_t>(answer);
  if (answer < station::kFirstSerial || answer > station::kLastSerial) {
    result.outcome = Outcome::Unknown;
    result.elapsedMs = MillisecondsSince(start);
    return result;
  }

  for (;;) {
    bool armed = false;
    if (watched && changed)
      armed = RegNotifyChangeKeyValue(watched.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(),
                                      TRUE) == ERROR_SUCCESS;
    uint32_t status = 0;
    if (station::ReadOutcome(key, serial, &status) != station::OutcomeRead::Found) {
      result.outcome = Outcome::Unknown;
      result.elapsedMs = MillisecondsSince(start);
      return result;
    }
    result.status = status;
    if (status == station::kStatusDone || status == station::kStatusFailed) {
      result.outcome = status == station::kStatusDone ? Outcome::Done : Outcome::Failed;
      result.elapsedMs = MillisecondsSince(start);
      return result;
    }
    const double elapsed = MillisecondsSince(start);
    if (elapsed >= timeoutMs) {
      result.outcome = Outcome::TimedOut;
      result.elapsedMs = elapsed;
      return result;
    }
    const DWORD left = static_cast<DWORD>(timeoutMs - elapsed) + 1;
    if (armed)
      WaitForSingleObject(changed.get(), left < 100 ? left : 100);
    else
      Sleep(left < kPollMs ? left : kPollMs);
  }
}

SendResult WaitForStation(unsigned timeoutMs) {
  SendResult result = {Outcome::NoStation, 0, 0.0};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  for (;;) {
    result.elapsedMs = MillisecondsSince(start);
    if (FindStation()) {
      result.outcome = Outcome::Done;
      return result;
    }
    if (result.elapsedMs >= timeoutMs) return result;
    Sleep(20);
  }
}

SendResult CloseStation(unsigned timeoutMs) {
  SendResult result = {Outcome::NoStation, 0, 0.0};
  HWND window = FindStation();
  if (!window) return result;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  PostMessageA(window, WM_CLOSE, 0, 0);
  for (;;) {
    result.elapsedMs = MillisecondsSince(start);
    if (!IsWindow(window)) {
      result.outcome = Outcome::Done;
      return result;
    }
    if (result.elapsedMs >= timeoutMs) {
      result.outcome = Outcome::TimedOut;
      return result;
    }
    Sleep(20);
  }
}

}  // namespace pickwell_send
