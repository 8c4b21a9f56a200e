// System services over the Win32 memory, version, language and message calls.
#include "ORINAPI_PORTABLE/SystemServices.h"

#include <algorithm>
#include <memory>

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

MEMORYSTATUS QueryMemoryStatus() {
  MEMORYSTATUS status = {};
  status.dwLength = sizeof status;
  orin::Sys().GlobalMemoryStatus(&status);
  return status;
}

// A 64-bit host's figures are wider than ours: one that does not fit is all ones, as the system
// itself reports it to a 32-bit program, never the low half.
uint32_t Saturated(SIZE_T bytes) {
  return static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX));
}

struct LocalFreeDeleter {
  void operator()(char* p) const { ::LocalFree(p); }
};

// Primary languages whose narrow names need care: Greek, Russian, Thai.
bool IsSpecialLanguage(LANGID language) {
  const int primary = PRIMARYLANGID(language);
  return primary == LANG_GREEK || primary == LANG_RUSSIAN || primary == LANG_THAI;
}

}  // namespace

uint32_t GetTotalPhysicalMemory() {
  return Saturated(QueryMemoryStatus().dwTotalPhys);
}

uint32_t GetAvailablePhysicalMemory() {
  return Saturated(QueryMemoryStatus().dwAvailPhys);
}

double GetMemoryLoad() {
  return static_cast<double>(QueryMemoryStatus().dwMemoryLoad);
}

void SleepMilliseconds(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

CPortableString GetLastErrorText() {
  const DWORD code = ::GetLastError();
  char* buffer = nullptr;
  ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&buffer), 0, nullptr);
  const std::unique_ptr<char, LocalFreeDeleter> owned(buffer);
  return CPortableString(owned.get());
}

uint32_t GetOSVersion(int32_t* major, int32_t* minor) {
  const uint32_t version = orin::Sys().GetVersion();
  if (major != nullptr) *major = static_cast<int32_t>(version & 0xFF);
  if (minor != nullptr) *minor = static_cast<int32_t>((version >> 8) & 0xFF);
  return version;
}

int32_t IsWindowsNT() {
  return (orin::Sys().GetVersion() & 0x80000000u) == 0 ? 1 : 0;
}

int32_t IsSpecialCodePageLocale() {
  const orin::FileSystemCalls& calls = orin::Sys();
  const int codePage = calls.crtGetmbcp();
  CPINFO info;
  if (codePage > 0 && calls.GetCPInfo(static_cast<UINT>(codePage), &info) && info.MaxCharSize > 1) return 1;
  return IsSpecialLanguage(calls.GetSystemDefaultLangID()) ? 1 : 0;
}
