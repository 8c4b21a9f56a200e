#include "FileCallRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace filetest {
namespace {

FileCallRecorder* g_current = nullptr;
const orin::FileSystemCalls& Real() { return orin::RealFileSystemCalls(); }

// Fails the call when a fault is due: the system's last error is set and true returned.
bool Injected(Call call, bool* passThrough) {
  DWORD code = 0;
  if (!g_current->ShouldFail(call, &code, passThrough)) return false;
  ::SetLastError(code);
  return true;
}

int64_t CurrentOffset(HANDLE handle) {
  LONG high = 0;
  const DWORD low = Real().SetFilePointer(handle, 0, &high, FILE_CURRENT);
  return static_cast<int64_t>(high) * 4294967296LL + low;
}

HANDLE WINAPI RecCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templ) {
  g_current->Count(Call::Create);
  bool pass = false;
  if (Injected(Call::Create, &pass)) return INVALID_HANDLE_VALUE;
  HANDLE handle = Real().CreateFileA(name, access, share, security, disposition, flags, templ);
  if (handle != INVALID_HANDLE_VALUE) g_current->NoteHandle(handle, flags);
  return handle;
}

BOOL WINAPI RecReadFile(HANDLE handle, LPVOID memory, DWORD length, LPDWORD done, LPOVERLAPPED overlapped) {
  g_current->Count(Call::Read);
  g_current->CheckTransfer('R', handle, memory, length);
  bool pass = false;
  if (Injected(Call::Read, &pass)) {
    if (done) *done = 0;
    return FALSE;
  }
  const BOOL ok = Real().ReadFile(handle, memory, length, done, overlapped);
  uint32_t most = 0;
  if (ok && done && g_current->ShouldShorten(Call::Read, &most) && *done > most) *done = most;
  return ok;
}

BOOL WINAPI RecWriteFile(HANDLE handle, LPCVOID memory, DWORD length, LPDWORD done, LPOVERLAPPED overlapped) {
  g_current->Count(Call::Write);
  g_current->CheckTransfer('W', handle, memory, length);
  bool pass = false;
  if (Injected(Call::Write, &pass)) {
    if (done) *done = 0;
    return FALSE;
  }
  const BOOL ok = Real().WriteFile(handle, memory, length, done, overlapped);
  uint32_t most = 0;
  if (ok && done && g_current->ShouldShorten(Call::Write, &most) && *done > most) *done = most;
  return ok;
}

DWORD WINAPI RecSetFilePointer(HANDLE handle, LONG low, PLONG high, DWORD method) {
  g_current->Count(Call::Position);
  bool pass = false;
  if (Injected(Call::Position, &pass)) return INVALID_SET_FILE_POINTER;
  if (method == FILE_BEGIN) {
    const int64_t offset = (high ? static_cast<int64_t>(*high) * 4294967296LL : 0) + static_cast<DWORD>(low);
    g_current->NotePositioning(handle, offset);
  }
  return Real().SetFilePointer(handle, low, high, method);
}

BOOL WINAPI RecSetEndOfFile(HANDLE handle) {
  g_current->Count(Call::SetEnd);
  bool pass = false;
  if (Injected(Call::SetEnd, &pass)) return FALSE;
  return Real().SetEndOfFile(handle);
}

DWORD WINAPI RecGetFileSize(HANDLE handle, LPDWORD high) {
  g_current->Count(Call::Size);
  bool pass = false;
  if (Injected(Call::Size, &pass)) return INVALID_FILE_SIZE;
  return Real().GetFileSize(handle, high);
}

BOOL WINAPI RecCloseHandle(HANDLE handle) {
  g_current->Count(Call::Close);
  bool pass = false;
  const DWORD saved = ::GetLastError();
  if (Injected(Call::Close, &pass)) {
    if (pass) {
      g_current->ForgetHandle(handle);
      const DWORD code = ::GetLastError();
      Real().CloseHandle(handle);
      ::SetLastError(code);
    }
    return FALSE;
  }
  ::SetLastError(saved);
  g_current->ForgetHandle(handle);
  return Real().CloseHandle(handle);
}

BOOL WINAPI RecDeleteFileA(LPCSTR name) {
  g_current->Count(Call::Delete);
  bool pass = false;
  if (Injected(Call::Delete, &pass)) return FALSE;
  return Real().DeleteFileA(name);
}

BOOL WINAPI RecGetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                 LPDWORD freeClusters, LPDWORD totalClusters) {
  g_current->Count(Call::DiskFreeSpace);
  bool pass = false;
  if (Injected(Call::DiskFreeSpace, &pass)) return FALSE;
  const BOOL ok = Real().GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
  if (ok && bytesPerSector) {
    g_current->NoteRealSectorSize(*bytesPerSector);
    if (g_current->fakeSectorSize() != 0) *bytesPerSector = g_current->fakeSectorSize();
  }
  return ok;
}

DWORD WINAPI RecGetFileAttributesA(LPCSTR name) {
  g_current->Count(Call::Attributes);
  bool pass = false;
  if (Injected(Call::Attributes, &pass)) return INVALID_FILE_ATTRIBUTES;
  return Real().GetFileAttributesA(name);
}

orin::FileSystemCalls RecordingTable() {
  orin::FileSystemCalls calls = orin::RealFileSystemCalls();
  calls.CreateFileA = &RecCreateFileA;
  calls.ReadFile = &RecReadFile;
  calls.WriteFile = &RecWriteFile;
  calls.SetFilePointer = &RecSetFilePointer;
  calls.SetEndOfFile = &RecSetEndOfFile;
  calls.GetFileSize = &RecGetFileSize;
  calls.CloseHandle = &RecCloseHandle;
  calls.DeleteFileA = &RecDeleteFileA;
  calls.GetDiskFreeSpaceA = &RecGetDiskFreeSpaceA;
  calls.GetFileAttributesA = &RecGetFileAttributesA;
  return calls;
}

}  // namespace

std::string Describe(const std::vector<Transfer>& transfers) {
  std::ostringstream out;
  for (const Transfer& t : transfers) {
    out << t.kind << '@' << t.offset;
    if (t.kind != 'P') out << '+' << t.length;
    out << ' ';
  }
  return out.str();
}

FileCallRecorder::FileCallRecorder() : install_(RecordingTable()) { g_current = this; }
FileCallRecorder::~FileCallRecorder() { g_current = nullptr; }
FileCallRecorder* FileCallRecorder::Current() { return g_current; }

void FileCallRecorder::FailCall(Call call, uint32_t code, int nth, bool passThrough) {
  faults_.push_back(Fault{call, code, nth, passThrough});
}

bool FileCallRecorder::ShouldFail(Call call, DWORD* code, bool* passThrough) {
  for (size_t i = 0; i < faults_.size(); ++i) {
    if (faults_[i].call != call) continue;
    if (--faults_[i].remaining > 0) continue;
    *code = faults_[i].code;
    *passThrough = faults_[i].passThrough;
    faults_.erase(faults_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  return false;
}

void FileCallRecorder::NoteHandle(HANDLE handle, DWORD flags) {
  ForgetHandle(handle);
  if (flags & FILE_FLAG_NO_BUFFERING) unbuffered_.push_back(handle);
}

void FileCallRecorder::ForgetHandle(HANDLE handle) {
  unbuffered_.erase(std::remove(unbuffered_.begin(), unbuffered_.end(), handle), unbuffered_.end());
}

bool FileCallRecorder::IsUnbuffered(HANDLE handle) const {
  return std::find(unbuffered_.begin(), unbuffered_.end(), handle) != unbuffered_.end();
}

void FileCallRecorder::NotePositioning(HANDLE handle, int64_t offset) {
  if (IsUnbuffered(handle)) transfers_.push_back(Transfer{'P', offset, 0});
}

void FileCallRecorder::CheckTransfer(char kind, HANDLE handle, const void* memory, DWORD length) {
  if (!IsUnbuffered(handle)) return;
  const int64_t offset = CurrentOffset(handle);
  transfers_.push_back(Transfer{kind, offset, length});
  const uint32_t sector = SectorSize();
  const bool aligned = offset % sector == 0 && length % sector == 0 &&
                       reinterpret_cast<uintptr_t>(memory) % sector == 0;
  if (!aligned) {
    ++violations_;
    ADD_FAILURE() << "unaligned " << (kind == 'R' ? "read" : "write") << " on an unbuffered handle: offset "
                  << offset << ", length " << length << ", memory " << memory << ", sector " << sector;
  }
}

}  // namespace filetest
