// Fault injection over the portable layer. Each workload runs again and again with the N-th system
// call failing (N = 1, 2, ... for each kind of failure), and with the N-th layer allocation failing,
// until a run meets no injection. Every run must end without a crash or an exception, answer the
// failure with a code that GetError() repeats, keep every byte a successful Write and Close
// reported, and leave everything it was not asked to touch as it was.
#include <stdio.h>
#include <stdlib.h>
#include <stdint.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/CPortableFileStatus.h"
#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PortableTempFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "TestSupport.h"

namespace {

enum class Kind { Code, Short, CloseFails, Allocation };
struct FailureKind {
  const char* name;
  Kind kind;
  DWORD code;
};
// Which codes a call is failed with: the ones it can meet in life (every call can be refused
// access or run out of memory).
enum : unsigned {
  kSharing = 1,   // opening, deleting, attributes
  kLocking = 2,   // transfers and the end of file
  kDiskFull = 4,  // what makes a file longer
  kShort = 8,     // transfers
  kClose = 16,    // closes fail only by the "close fails" kind
};
const FailureKind kKinds[] = {
    {"access denied", Kind::Code, ERROR_ACCESS_DENIED},
    {"sharing violation", Kind::Code, ERROR_SHARING_VIOLATION},
    {"lock violation", Kind::Code, ERROR_LOCK_VIOLATION},
    {"disk full", Kind::Code, ERROR_DISK_FULL},
    {"not enough memory", Kind::Code, ERROR_NOT_ENOUGH_MEMORY},
    {"short transfer", Kind::Short, 0},
    {"close fails", Kind::CloseFails, ERROR_INVALID_HANDLE},
    {"allocation", Kind::Allocation, 0},
};

using Snapshot = std::map<std::string, std::string>;  // path -> "D" or "F" and the file's bytes

// The state of one run.
struct Run {
  const FailureKind* armed = nullptr;  // the kind to inject once the workload has prepared
  const FailureKind* kind = nullptr;   // null while preparing: nothing fails
  std::string root;
  Snapshot before;
  long target = 0;  // the call or allocation to fail
  long count = 0;
  std::string hitCall;  // empty until the injection is met
  std::vector<HANDLE> closed;
  std::vector<std::string> faults;
  void Fault(const std::string& what) { faults.push_back(what); }
};
Run g_run;
orin::FileSystemCalls g_real;

void Take(const std::string& folder, Snapshot* into);

// Called by a workload when its files are in place: what is there now is what must stay.
void Arm() {
  Take(g_run.root, &g_run.before);
  g_run.kind = g_run.armed;
}

bool Applies(const FailureKind& kind, unsigned meets) {
  switch (kind.kind) {
    case Kind::Short: return (meets & kShort) != 0;
    case Kind::CloseFails: return (meets & kClose) != 0;
    case Kind::Allocation: return false;
    case Kind::Code: break;
  }
  if (meets & kClose) return false;
  switch (kind.code) {
    case ERROR_SHARING_VIOLATION: return (meets & kSharing) != 0;
    case ERROR_LOCK_VIOLATION: return (meets & kLocking) != 0;
    case ERROR_DISK_FULL: return (meets & kDiskFull) != 0;
    default: return true;
  }
}

bool Inject(const char* call, unsigned meets) {
  if (g_run.kind == nullptr || !Applies(*g_run.kind, meets)) return false;
  if (++g_run.count != g_run.target) return false;
  g_run.hitCall = call;
  ::SetLastError(g_run.kind->code);
  return true;
}

void NoteUse(HANDLE handle, const char* call) {
  for (HANDLE closed : g_run.closed) {
    if (closed == handle) g_run.Fault(std::string(call) + " on a handle already closed");
  }
}

template <class T>
T FailValue(uintptr_t bits) {
  if constexpr (std::is_pointer<T>::value) {
    return reinterpret_cast<T>(bits);
  } else {
    return static_cast<T>(bits);
  }
}

// A table entry that fails when its turn comes and otherwise calls the real function. Deduction
// does not see calling conventions, so system calls and run-time calls get a template each.
#define ORIN_FAULT_HOOK(Hook, CC)                                              \
  template <auto Member, class Fn = std::decay_t<decltype(std::declval<orin::FileSystemCalls&>().*Member)>> \
  struct Hook;                                                                \
  template <auto Member, class R, class... A>                                 \
  struct Hook<Member, R(CC*)(A...)> {                                         \
    static inline const char* name = "";                                      \
    static inline uintptr_t failBits = 0;                                     \
    static inline unsigned meets = 0;                                         \
    static R CC Call(A... args) {                                             \
      if (Inject(name, meets)) return FailValue<R>(failBits);                 \
      return (g_real.*Member)(args...);                                       \
    }                                                                         \
    static void Install(orin::FileSystemCalls* calls, const char* callName, uintptr_t bits, unsigned m) { \
      name = callName;                                                        \
      failBits = bits;                                                        \
      meets = m;                                                              \
      calls->*Member = &Call;                                                 \
    }                                                                         \
  };
ORIN_FAULT_HOOK(Hook, WINAPI)
ORIN_FAULT_HOOK(CrtHook, __cdecl)

HANDLE WINAPI CreateFileHook(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD how,
                             DWORD flags, HANDLE model) {
  if (Inject("CreateFileA", kSharing | kLocking | kDiskFull)) return INVALID_HANDLE_VALUE;
  HANDLE handle = g_real.CreateFileA(path, access, share, security, how, flags, model);
  for (size_t i = 0; i < g_run.closed.size(); ++i) {
    if (g_run.closed[i] == handle) g_run.closed.erase(g_run.closed.begin() + i--);  // the number is new again
  }
  return handle;
}

BOOL WINAPI ReadFileHook(HANDLE handle, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped) {
  NoteUse(handle, "ReadFile");
  if (Inject("ReadFile", kLocking | kShort)) {
    if (g_run.kind->kind == Kind::Short) return g_real.ReadFile(handle, buffer, count / 2, done, overlapped);
    if (done != nullptr) *done = 0;
    return FALSE;
  }
  return g_real.ReadFile(handle, buffer, count, done, overlapped);
}

BOOL WINAPI WriteFileHook(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped) {
  NoteUse(handle, "WriteFile");
  if (Inject("WriteFile", kLocking | kDiskFull | kShort)) {
    if (g_run.kind->kind == Kind::Short) return g_real.WriteFile(handle, buffer, count / 2, done, overlapped);
    if (done != nullptr) *done = 0;
    return FALSE;
  }
  return g_real.WriteFile(handle, buffer, count, done, overlapped);
}

// Closes always really close (a leaked handle would spoil the runs after); the failure is the answer.
BOOL WINAPI CloseHandleHook(HANDLE handle) {
  NoteUse(handle, "CloseHandle");
  const BOOL closed = g_real.CloseHandle(handle);
  g_run.closed.push_back(handle);
  const bool fail = Inject("CloseHandle", kClose);
  return fail ? FALSE : closed;
}

BOOL WINAPI FindCloseHook(HANDLE handle) {
  const BOOL closed = g_real.FindClose(handle);
  return Inject("FindClose", kClose) ? FALSE : closed;
}

// Presents every entry named "link" as a directory link (the system here cannot make one).
DWORD WINAPI AttributesHook(LPCSTR path) {
  if (Inject("GetFileAttributesA", kSharing)) return INVALID_FILE_ATTRIBUTES;
  const DWORD attributes = g_real.GetFileAttributesA(path);
  const size_t length = strlen(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && length > 5 && strcmp(path + length - 5, "\\link") == 0) {
    return attributes | FILE_ATTRIBUTE_REPARSE_POINT;
  }
  return attributes;
}

void* AllocateHook(size_t bytes) {
  if (g_run.kind != nullptr && g_run.kind->kind == Kind::Allocation && ++g_run.count == g_run.target) {
    g_run.hitCall = "allocation";
    return nullptr;
  }
  return orin::RealLayerAllocator()(bytes);
}

orin::FileSystemCalls InjectingTable() {
  using T = orin::FileSystemCalls;
  T calls = g_real;
  constexpr uintptr_t kAllOnes = ~static_cast<uintptr_t>(0);
  constexpr uintptr_t kNoDword = 0xFFFFFFFFu;
#define ORIN_HOOK(member, bits, ...) Hook<&T::member>::Install(&calls, #member, bits, 0 __VA_ARGS__)
#define ORIN_CRT_HOOK(member, bits) CrtHook<&T::member>::Install(&calls, #member, bits, 0)
  calls.CreateFileA = &CreateFileHook;
  calls.ReadFile = &ReadFileHook;
  calls.WriteFile = &WriteFileHook;
  calls.CloseHandle = &CloseHandleHook;
  calls.FindClose = &FindCloseHook;
  calls.GetFileAttributesA = &AttributesHook;
  ORIN_HOOK(SetFilePointer, kNoDword);
  ORIN_HOOK(SetEndOfFile, 0, | kLocking | kDiskFull);
  ORIN_HOOK(GetFileSize, kNoDword);
  ORIN_HOOK(DeleteFileA, 0, | kSharing);
  ORIN_HOOK(SetFileAttributesA, 0, | kSharing);
  ORIN_HOOK(RemoveDirectoryA, 0, | kSharing);
  ORIN_HOOK(GetDiskFreeSpaceA, 0);
  ORIN_HOOK(GetVolumeInformationA, 0);
  ORIN_HOOK(FindFirstFileA, kAllOnes);
  ORIN_HOOK(FindNextFileA, 0);
  if (calls.FindFirstFileW != nullptr) ORIN_HOOK(FindFirstFileW, kAllOnes);
  if (calls.FindNextFileW != nullptr) ORIN_HOOK(FindNextFileW, 0);
  ORIN_HOOK(GetFullPathNameA, 0);
  if (calls.GetFullPathNameW != nullptr) ORIN_HOOK(GetFullPathNameW, 0);
  ORIN_HOOK(GetShortPathNameA, 0);
  ORIN_HOOK(GetTempPathA, 0);
  ORIN_HOOK(GetTempPathW, 0);
  ORIN_HOOK(GetShortPathNameW, 0);
  ORIN_HOOK(GetCurrentDirectoryA, 0);
  ORIN_HOOK(SetCurrentDirectoryA, 0);
  ORIN_CRT_HOOK(crtGetcwd, 0);
  ORIN_CRT_HOOK(crtChdir, kAllOnes);
  ORIN_CRT_HOOK(crtTempnam, 0);
  ORIN_HOOK(GetCPInfo, 0);
  ORIN_HOOK(MultiByteToWideChar, 0);
  ORIN_HOOK(WideCharToMultiByte, 0);
  ORIN_HOOK(SHGetMalloc, static_cast<uintptr_t>(E_FAIL));
  ORIN_HOOK(SHGetSpecialFolderLocation, static_cast<uintptr_t>(E_FAIL));
  ORIN_HOOK(SHGetPathFromIDListA, 0);
  ORIN_HOOK(SHGetPathFromIDListW, 0);
#undef ORIN_HOOK
#undef ORIN_CRT_HOOK
  return calls;
}

// --- What a file must hold afterwards -------------------------------------------------------

std::string Pattern(size_t size, char seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 % 61);
  return bytes;
}

// The bytes a file object was told to write, and which of the file's bytes no one may change.
struct FileModel {
  std::string path;
  std::string initial;
  std::string image;  // the file if every answered write landed
  int64_t position = 0;
  std::vector<std::pair<size_t, size_t>> touched;  // ranges a write may have changed
  bool writeFailed = false;
  bool closed = false;  // a Close answered 0 after the last write

  // Runs one operation; false when it answered a failure (which GetError() must repeat).
  bool Answer(CPortableFile& file, const char* what, int32_t answer) {
    if (answer == 0) return true;
    const int32_t error = file.GetError();
    if (error != answer) {
      g_run.Fault(std::string(what) + " answered " + std::to_string(answer) + ", GetError() " + std::to_string(error));
    }
    return false;
  }
  bool Seek(CPortableFile& file, int32_t origin, int64_t distance) {
    if (!Answer(file, "Seek", file.Seek(origin, distance))) return false;
    position = origin == kPortableSeekFromEnd ? static_cast<int64_t>(image.size()) + distance : distance;
    return true;
  }
  bool Write(CPortableFile& file, const std::string& bytes) {
    uint32_t written = 0;
    const size_t at = static_cast<size_t>(position);
    touched.emplace_back(at, at + bytes.size());
    closed = false;
    if (!Answer(file, "Write", file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written))) {
      writeFailed = true;
      return false;
    }
    if (image.size() < at + written) image.resize(at + written, '\0');
    image.replace(at, written, bytes, 0, written);
    position += written;
    return true;
  }
  bool Read(CPortableFile& file, uint32_t count) {
    std::string got(count, '\0');
    uint32_t read = 0;
    if (!Answer(file, "Read", file.Read(&got[0], count, &read))) return false;
    const size_t at = static_cast<size_t>(position);
    if (read > count || image.compare(at, read, got, 0, read) != 0) g_run.Fault("Read handed out bytes the file does not hold");
    position += read;
    return true;
  }
  void Close(CPortableFile& file) {
    // A Close that failed must be able to finish the job when asked again.
    if (Answer(file, "Close", file.Close()) || Answer(file, "second Close", file.Close())) closed = true;
  }
  void Check() const {
    const std::string disk = testsupport::ReadWholeFile(path);
    if (closed && !writeFailed) {
      if (disk != image) g_run.Fault("after Write and Close answered 0 the file holds other bytes (" +
                                     std::to_string(disk.size()) + " bytes, " + std::to_string(image.size()) + " expected)");
      return;
    }
    for (size_t i = 0; i < initial.size(); ++i) {
      bool mayChange = false;
      for (const auto& range : touched) mayChange = mayChange || (i >= range.first && i < range.second);
      if (!mayChange && (i >= disk.size() || disk[i] != initial[i])) {
        g_run.Fault("bytes no write reached were lost or changed (at " + std::to_string(i) + ", file " +
                    std::to_string(disk.size()) + " bytes)");
        return;
      }
    }
  }
};

// --- The sandbox: everything below root except what a workload may change stays as it was ------

struct Sandbox {
  std::string root;     // holds a sibling folder the workloads never name
  std::string scratch;  // root\w: the workloads' folder
};

void Take(const std::string& folder, Snapshot* into) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*into)[path] = "D";
      Take(path, into);
    } else {
      (*into)[path] = "F" + testsupport::ReadWholeFile(path);
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

struct Expectations {
  std::vector<std::string> mayChange;  // these paths (not what lies below them)
  std::string mayCreatePrefix;         // new entries whose path starts so (temporary names)
  std::vector<FileModel> files;
  bool MayChange(const std::string& path) const {
    for (const std::string& allowed : mayChange) {
      if (path == allowed) return true;
    }
    return false;
  }
};

void Compare(const Snapshot& before, const Snapshot& after, const Expectations& expected) {
  for (const auto& entry : before) {
    if (expected.MayChange(entry.first)) continue;
    const auto now = after.find(entry.first);
    if (now == after.end()) g_run.Fault("deleted " + entry.first);
    else if (now->second != entry.second) g_run.Fault("changed " + entry.first);
  }
  for (const auto& entry : after) {
    if (before.count(entry.first) || expected.MayChange(entry.first)) continue;
    if (!expected.mayCreatePrefix.empty() && entry.first.compare(0, expected.mayCreatePrefix.size(), expected.mayCreatePrefix) == 0) continue;
    g_run.Fault("created " + entry.first);
  }
}

bool Put(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

// --- Workloads: prepare the scratch folder (real calls), then run under injection --------------

FileModel ExistingFile(const std::string& path, size_t size, char seed) {
  FileModel model;
  model.path = path;
  model.initial = model.image = Pattern(size, seed);
  Put(path, model.initial);
  return model;
}

void BufferedFile(const Sandbox& box, Expectations* out) {
  FileModel model = ExistingFile(box.scratch + "\\buffered.bin", 3000, 'a');
  out->mayChange.push_back(model.path);
  Arm();
  {
    CPortableWinPFile file(model.path.c_str(), kPortableOpenReadWrite, nullptr);
    if (model.Seek(file, kPortableSeekFromStart, 100) && model.Write(file, Pattern(500, 'A')) &&
        model.Seek(file, kPortableSeekFromStart, 0) && model.Read(file, 200) && model.Seek(file, kPortableSeekFromEnd, 0)) {
      model.Write(file, Pattern(10, 'z'));
    }
    model.Close(file);
  }
  out->files.push_back(model);
}

void UnbufferedFile(const Sandbox& box, Expectations* out, uint32_t caching) {
  FileModel model = ExistingFile(box.scratch + "\\unbuffered.bin", 5000, 'k');
  out->mayChange.push_back(model.path);
  Arm();
  {
    CPortableUnBufWinPFile file(model.path.c_str(), kPortableOpenReadWrite, caching, nullptr);
    if (model.Write(file, "head") && model.Seek(file, kPortableSeekFromStart, 1000) &&
        model.Write(file, Pattern(700, 'B')) && model.Seek(file, kPortableSeekFromStart, 2000) &&
        model.Read(file, 300) && model.Seek(file, kPortableSeekFromEnd, 0)) {
      model.Write(file, Pattern(100, 'q'));
    }
    model.Close(file);
  }
  out->files.push_back(model);
}

void Unbuffered(const Sandbox& box, Expectations* out) { UnbufferedFile(box, out, 0); }
void UnbufferedCaching(const Sandbox& box, Expectations* out) { UnbufferedFile(box, out, kUnBufCaching); }

void TempFiles(const Sandbox& box, Expectations* out) {
  // A file already holding the first candidate name: no temporary object may touch it.
  char bystander[64];
  snprintf(bystander, sizeof bystander, "\\OrinMPEG   0XXXa%05lu", static_cast<unsigned long>(GetCurrentThreadId() % 100000));
  Put(box.scratch + bystander, "not yours");
  out->mayCreatePrefix = box.scratch + "\\OrinMPEG";
  Arm();
  for (uint32_t flags : {0u, static_cast<uint32_t>(kPortableTempUnbuffered)}) {
    std::unique_ptr<CPortableFile> temp(CreatePortableTempFile(box.scratch.c_str(), flags));
    if (!temp) continue;
    uint32_t written = 0;
    const int32_t answer = temp->Write("scratch", 7, &written);
    if (answer != 0 && temp->GetError() != answer) g_run.Fault("temporary Write answered differently from GetError()");
  }
}

void TreeOperations(const Sandbox& box, Expectations* out) {
  const std::string tree = box.scratch + "\\tree";
  for (const char* folder : {"", "\\t1", "\\t1\\link", "\\t2", "\\t2\\sub"}) ::CreateDirectoryA((tree + folder).c_str(), nullptr);
  Put(tree + "\\t1\\a.txt", "a");
  Put(tree + "\\t1\\link\\behind.txt", "behind the link");  // "link" is presented as a link
  Put(tree + "\\t2\\b.txt", "b");
  Put(tree + "\\t2\\sub\\c.txt", "c");
  Put(tree + "\\keep.txt", "sibling");
  for (const char* name : {"\\t1", "\\t1\\a.txt", "\\t2", "\\t2\\b.txt", "\\t2\\sub", "\\t2\\sub\\c.txt"}) {
    out->mayChange.push_back(tree + name);
  }
  Arm();
  DeleteTree((tree + "\\t1").c_str());
  if (DeleteTree((tree + "\\t2").c_str()) == 1 && ::GetFileAttributesA((tree + "\\t2").c_str()) != INVALID_FILE_ATTRIBUTES) {
    g_run.Fault("DeleteTree answered 1 and the tree is still there");
  }
}

void PathObject(const Sandbox& box, Expectations* out) {
  const std::string folder = box.scratch + "\\p";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  Put(folder + "\\gone.txt", "delete me");
  Put(folder + "\\keep.txt", "keep me");
  FileModel model;
  model.path = folder + "\\made.txt";
  out->mayChange = {model.path, folder + "\\gone.txt"};
  Arm();
  {
    CPortablePath path(model.path.c_str(), PortablePathReadWrite);
    if (model.Write(path, Pattern(100, 'P'))) model.Close(path);
    path.Exists();
  }
  std::unique_ptr<CPortableFindFile> finder(CPortablePath(folder.c_str(), PortablePathReadWrite).Find("*", 0, 0, 0, 0));
  for (int i = 0; finder && finder->IsValid() && i < 10; ++i) finder->Next();
  CPortablePath gone((folder + "\\gone.txt").c_str(), PortablePathReadWrite);
  gone.Delete();
  CPortableString temp;
  GetSpecialFolder(PortableFolderTemp, &temp);
  GetSpecialFolder(PortableFolderDocuments, &temp);
  if (model.closed) out->files.push_back(model);
}

struct Workload {
  const char* name;
  void (*run)(const Sandbox&, Expectations*);
};
const Workload kWorkloads[] = {
    {"buffered file", BufferedFile},  {"unbuffered file", Unbuffered}, {"unbuffered file, caching", UnbufferedCaching},
    {"temporary files", TempFiles},   {"tree operations", TreeOperations}, {"path object", PathObject},
};

// One run; false when it met no injection (the last run of its series).
bool RunOnce(const Sandbox& box, const Workload& workload, const FailureKind& kind, long target) {
  g_run = Run();
  g_run.armed = &kind;
  g_run.target = target;
  g_run.root = box.root;
  testsupport::RemoveTree(box.scratch);
  ::CreateDirectoryA(box.scratch.c_str(), nullptr);
  Expectations expected;
  try {
    const orin::ScopedFileSystemCalls calls(InjectingTable());
    const orin::ScopedLayerAllocator allocations(&AllocateHook);
    workload.run(box, &expected);
    g_run.kind = nullptr;
  } catch (...) {
    g_run.kind = nullptr;
    g_run.Fault("an exception left the layer");
  }
  Snapshot after;
  Take(box.root, &after);
  Compare(g_run.before, after, expected);
  for (const FileModel& file : expected.files) file.Check();
  return !g_run.hitCall.empty();
}

}  // namespace

int main() {
  orin::BindWideEntries();
  g_real = orin::Sys();
  testsupport::TempDir dir("faults");
  const Sandbox box{dir.Path(), dir.Path() + "\\w"};
  ::CreateDirectoryA((box.root + "\\outside").c_str(), nullptr);
  Put(box.root + "\\outside\\precious.txt", "must stay");
  long points = 0, runs = 0, faults = 0;
  std::vector<std::string> firstFaults;
  for (const Workload& workload : kWorkloads) {
    int listed = 0;
    for (const FailureKind& kind : kKinds) {
      for (long n = 1;; ++n) {
        const bool hit = RunOnce(box, workload, kind, n);
        ++runs;
        if (hit) ++points;
        if (!g_run.faults.empty()) {
          ++faults;
          if (listed++ < 3) {
            firstFaults.push_back(std::string(workload.name) + ", " + kind.name + " at " +
                                  (hit ? g_run.hitCall : std::string("no call")) + " (N=" + std::to_string(n) +
                                  "): " + g_run.faults.front());
          }
        }
        if (!hit || n > 5000) {
          if (getenv("ORIN_FAULTS_VERBOSE")) fprintf(stderr, "%s / %s: %ld\n", workload.name, kind.name, n);
          break;
        }
      }
    }
  }
  testsupport::RemoveTree(box.scratch);
  printf("%ld injection points, %ld runs, %ld faults\n", points, runs, faults);
  for (const std::string& fault : firstFaults) printf("  %s\n", fault.c_str());
  return faults == 0 ? 0 : 1;
}
