// Sequential write-then-read throughput of the portable files against raw unbuffered system
// calls, measured side by side in one run. The scratch file lies in the temporary folder and is
// deleted at the end.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "BenchmarkFlavour.h"

namespace {

constexpr uint64_t kTotal = 256ull << 20;
constexpr uint32_t kRawChunk = 128u << 10;

struct Timing {
  double writeSeconds = 0;
  double readSeconds = 0;
  bool ok = false;
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Fill(unsigned char* data, size_t size) {
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>(i * 31 + 7);
}

Timing MeasureRaw(const std::string& path) {
  Timing timing;
  DeleteFileA(path.c_str());
  void* memory = VirtualAlloc(nullptr, kRawChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (memory == nullptr) return timing;
  Fill(static_cast<unsigned char*>(memory), kRawChunk);
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING;
  bool ok = true;
  double start = Now();
  {
    orin::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr));
    ok = file.valid();
    for (uint64_t done = 0; ok && done < kTotal; done += kRawChunk) {
      DWORD written = 0;
      ok = WriteFile(file.get(), memory, kRawChunk, &written, nullptr) && written == kRawChunk;
    }
  }
  timing.writeSeconds = Now() - start;
  start = Now();
  {
    orin::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags, nullptr));
    ok = ok && file.valid();
    for (uint64_t done = 0; ok && done < kTotal; done += kRawChunk) {
      DWORD read = 0;
      ok = ReadFile(file.get(), memory, kRawChunk, &read, nullptr) && read == kRawChunk;
    }
  }
  timing.readSeconds = Now() - start;
  VirtualFree(memory, 0, MEM_RELEASE);
  timing.ok = ok;
  return timing;
}

// Writes then reads the whole amount through file objects of the layer, chunk bytes at a time.
template <class MakeFile>
Timing MeasureLayer(const std::string& path, uint32_t chunk, MakeFile makeFile) {
  Timing timing;
  DeleteFileA(path.c_str());
  // Page-aligned, as a caller of unbuffered files would allocate it.
  unsigned char* data = static_cast<unsigned char*>(VirtualAlloc(nullptr, chunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (data == nullptr) return timing;
  Fill(data, chunk);
  bool ok = true;
  double start = Now();
  {
    CPortableFile* file = makeFile(kPortableOpenWrite);
    ok = file != nullptr;
    for (uint64_t done = 0; ok && done < kTotal; done += chunk) {
      const uint32_t count = static_cast<uint32_t>(kTotal - done < chunk ? kTotal - done : chunk);
      uint32_t written = 0;
      ok = file->Write(data, count, &written) == 0 && written == count;
    }
    ok = ok && file->Close() == 0;
    delete file;
  }
  timing.writeSeconds = Now() - start;
  start = Now();
  {
    CPortableFile* file = makeFile(kPortableOpenRead);
    ok = ok && file != nullptr;
    for (uint64_t done = 0; ok && done < kTotal; done += chunk) {
      const uint32_t count = static_cast<uint32_t>(kTotal - done < chunk ? kTotal - done : chunk);
      uint32_t read = 0;
      ok = file->Read(data, count, &read) == 0 && read == count;
    }
    delete file;
  }
  timing.readSeconds = Now() - start;
  VirtualFree(data, 0, MEM_RELEASE);
  timing.ok = ok;
  return timing;
}

void Print(const char* name, const Timing& timing, const Timing& raw) {
  const double mib = static_cast<double>(kTotal) / (1 << 20);
  if (!timing.ok) {
    printf("%-38s FAILED\n", name);
    return;
  }
  const double write = mib / timing.writeSeconds, read = mib / timing.readSeconds;
  const double both = 2 * mib / (timing.writeSeconds + timing.readSeconds);
  const double rawBoth = 2 * mib / (raw.writeSeconds + raw.readSeconds);
  printf("%-38s write %8.1f MiB/s (%.2f)  read %8.1f MiB/s (%.2f)  both %8.1f MiB/s (%.2f)\n", name, write,
         write / (mib / raw.writeSeconds), read, read / (mib / raw.readSeconds), both, both / rawBoth);
}

}  // namespace

int main() {
  PrintBenchmarkFlavour();
  char folder[MAX_PATH + 1] = {};
  if (GetTempPathA(MAX_PATH, folder) == 0) return 1;
  char name[32];
  snprintf(name, sizeof name, "bench-files-%lu.bin", static_cast<unsigned long>(GetCurrentProcessId()));
  const std::string path = std::string(folder) + name;
  printf("256 MiB written then read sequentially, best of 3 rounds; in brackets the ratio to raw unbuffered calls\n");

  // Interleaved rounds, best time of each: the machine may be busy with other work.
  constexpr int kRounds = 3;
  Timing raw, unbuffered1M, unbuffered100, buffered1M;
  auto keepBest = [](Timing& best, const Timing& next, int round) {
    if (round == 0) {
      best = next;
      return;
    }
    best.ok = best.ok && next.ok;
    if (next.writeSeconds < best.writeSeconds) best.writeSeconds = next.writeSeconds;
    if (next.readSeconds < best.readSeconds) best.readSeconds = next.readSeconds;
  };
  for (int round = 0; round < kRounds; ++round) {
    keepBest(unbuffered1M, MeasureLayer(path, 1u << 20, [&](int32_t mode) -> CPortableFile* {
      return new CPortableUnBufWinPFile(path.c_str(), mode, 0, nullptr);
    }), round);
    keepBest(unbuffered100, MeasureLayer(path, 100, [&](int32_t mode) -> CPortableFile* {
      return new CPortableUnBufWinPFile(path.c_str(), mode, kUnBufCaching, nullptr);
    }), round);
    keepBest(buffered1M, MeasureLayer(path, 1u << 20, [&](int32_t mode) -> CPortableFile* {
      return new CPortableWinPFile(path.c_str(), mode, nullptr);
    }), round);
    keepBest(raw, MeasureRaw(path), round);
  }
  DeleteFileA(path.c_str());

  Print("raw WriteFile/ReadFile, 128 KiB", raw, raw);
  Print("unbuffered file, 1 MiB chunks", unbuffered1M, raw);
  Print("unbuffered file, 100 B chunks, caching", unbuffered100, raw);
  Print("buffered file, 1 MiB chunks", buffered1M, raw);
  return raw.ok && unbuffered1M.ok && unbuffered100.ok && buffered1M.ok ? 0 : 1;
}
