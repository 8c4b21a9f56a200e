// Sequential write-then-read throughput of the portable files against raw unbuffered system
// calls, measured side by side in one run, for files of 1 MiB, 64 MiB and 1 GiB in chunks of
// 100 bytes, 4 KiB and 1 MiB. Small files are written and read several times a round, so that
// each figure covers at least 64 MiB. The scratch file lies in the temporary folder and is
// deleted at the end. Usage: bench_files [--full]
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "BenchClock.h"
#include "BenchmarkFlavour.h"
#include "BenchmarkSeries.h"

namespace {

constexpr uint32_t kRawChunk = 128u << 10;
constexpr uint64_t kLeastPerFigure = 64ull << 20;

// RawAsLayer: the system calls an unbuffered file makes, without the layer: its opens (access,
// sharing and hints), the sector-size query and the size at each open, the cut at close.
enum class FileKind { Raw, RawAsLayer, Unbuffered, Cached, Buffered };

struct Kind {
  const char* name;
  FileKind file;
  uint32_t chunk;   // bytes per call (raw: 128 KiB)
  uint32_t memory;  // the caller's buffer, cycled through by the raw calls
  int baseline;     // the raw kind this one is compared with
  double target;    // least ratio of write, read and both; 0 for none
};

// A caller with 1 MiB chunks moves a 1 MiB buffer, which costs more than reusing 128 KiB that stay
// in the processor's cache: such kinds are compared with raw calls through a 1 MiB buffer.
constexpr uint32_t kMiB = 1u << 20;
const Kind kKinds[] = {
    {"raw unbuffered calls, 128 KiB buffer", FileKind::Raw, kRawChunk, kRawChunk, 0, 0},
    {"raw unbuffered calls, 1 MiB buffer", FileKind::Raw, kRawChunk, kMiB, 0, 0},
    {"raw calls as the unbuffered file makes", FileKind::RawAsLayer, kRawChunk, kMiB, 1, 0},
    {"unbuffered, 1 MiB chunks", FileKind::Unbuffered, kMiB, kMiB, 1, 0.85},
    {"unbuffered, 4 KiB chunks", FileKind::Unbuffered, 4096, 4096, 0, 0},
    {"unbuffered + caching, 100 B chunks", FileKind::Cached, 100, 100, 0, 0.5},
    {"unbuffered + caching, 4 KiB chunks", FileKind::Cached, 4096, 4096, 0, 0},
    {"unbuffered + caching, 1 MiB chunks", FileKind::Cached, kMiB, kMiB, 1, 0},
    {"buffered, 100 B chunks", FileKind::Buffered, 100, 100, 0, 0},
    {"buffered, 4 KiB chunks", FileKind::Buffered, 4096, 4096, 0, 0},
    {"buffered, 1 MiB chunks", FileKind::Buffered, kMiB, kMiB, 1, 0},
};
constexpr int kKindCount = sizeof kKinds / sizeof kKinds[0];

struct Timing {
  double writeSeconds = 0;
  double readSeconds = 0;
  bool ok = false;
};

double Now() { return BenchSeconds(); }

void Fill(unsigned char* data, size_t size) {
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>(i * 31 + 7);
}

// The sector-size query and size read an unbuffered file makes at every open.
bool QueryAsAtOpen(const std::string& path, HANDLE file) {
  const char root[4] = {path[0], ':', '\\', '\0'};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0, high = 0;
  return GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) &&
         (GetFileSize(file, &high) != INVALID_FILE_SIZE || GetLastError() == NO_ERROR);
}

// Writes then reads the whole file in 128 KiB calls, cycling through the caller's buffer.
bool RawPass(const std::string& path, uint64_t total, unsigned char* memory, uint32_t memorySize, bool asLayer,
             Timing* timing) {
  const uint32_t pieces = memorySize / kRawChunk;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING;
  DeleteFileA(path.c_str());
  double start = Now();
  bool ok;
  {
    // The file was deleted: CREATE_NEW makes it. CREATE_ALWAYS truncates, after which ext4 writes
    // the data back when the file is closed, which the close would then wait for.
    orin::UniqueFileHandle file(
        asLayer ? CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              flags | FILE_FLAG_RANDOM_ACCESS, nullptr)
                : CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr));
    ok = file.valid() && (!asLayer || QueryAsAtOpen(path, file.get()));
    for (uint64_t done = 0, piece = 0; ok && done < total; done += kRawChunk, ++piece) {
      DWORD written = 0;
      ok = WriteFile(file.get(), memory + piece % pieces * kRawChunk, kRawChunk, &written, nullptr) &&
           written == kRawChunk;
    }
    if (ok && asLayer) {
      LONG high = static_cast<LONG>(total >> 32);
      ok = SetFilePointer(file.get(), static_cast<LONG>(total & 0xFFFFFFFF), &high, FILE_BEGIN) !=
               INVALID_SET_FILE_POINTER &&
           SetEndOfFile(file.get());
    }
  }
  timing->writeSeconds += Now() - start;
  start = Now();
  {
    orin::UniqueFileHandle file(
        asLayer ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              flags | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                : CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags, nullptr));
    ok = ok && file.valid() && (!asLayer || QueryAsAtOpen(path, file.get()));
    for (uint64_t done = 0, piece = 0; ok && done < total; done += kRawChunk, ++piece) {
      DWORD read = 0;
      ok = ReadFile(file.get(), memory + piece % pieces * kRawChunk, kRawChunk, &read, nullptr) && read == kRawChunk;
    }
  }
  timing->readSeconds += Now() - start;
  return ok;
}

CPortableFile* MakeFile(FileKind kind, const std::string& path, int32_t mode) {
  switch (kind) {
    case FileKind::Unbuffered: return new CPortableUnBufWinPFile(path.c_str(), mode, 0, nullptr);
    case FileKind::Cached: return new CPortableUnBufWinPFile(path.c_str(), mode, kUnBufCaching, nullptr);
    case FileKind::Buffered: return new CPortableWinPFile(path.c_str(), mode, nullptr);
    case FileKind::Raw:
    case FileKind::RawAsLayer: break;
  }
  return nullptr;
}

// Writes then reads the whole file through file objects of the layer, chunk bytes at a time.
bool LayerPass(const Kind& kind, const std::string& path, uint64_t total, unsigned char* data, Timing* timing) {
  DeleteFileA(path.c_str());
  double start = Now();
  bool ok;
  {
    CPortableFile* file = MakeFile(kind.file, path, kPortableOpenWrite);
    ok = file != nullptr;
    for (uint64_t done = 0; ok && done < total; done += kind.chunk) {
      const uint32_t count = static_cast<uint32_t>(total - done < kind.chunk ? total - done : kind.chunk);
      uint32_t written = 0;
      ok = file->Write(data, count, &written) == 0 && written == count;
    }
    ok = ok && file->Close() == 0;
    delete file;
  }
  timing->writeSeconds += Now() - start;
  start = Now();
  {
    CPortableFile* file = MakeFile(kind.file, path, kPortableOpenRead);
    ok = ok && file != nullptr;
    for (uint64_t done = 0; ok && done < total; done += kind.chunk) {
      const uint32_t count = static_cast<uint32_t>(total - done < kind.chunk ? total - done : kind.chunk);
      uint32_t read = 0;
      ok = file->Read(data, count, &read) == 0 && read == count;
    }
    delete file;
  }
  timing->readSeconds += Now() - start;
  return ok;
}

Timing Measure(const Kind& kind, const std::string& path, uint64_t total, int passes) {
  Timing timing;
  // Page-aligned, as a caller of unbuffered files would allocate it.
  unsigned char* data =
      static_cast<unsigned char*>(VirtualAlloc(nullptr, kind.memory, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (data == nullptr) return timing;
  Fill(data, kind.memory);
  bool ok = true;
  const bool raw = kind.file == FileKind::Raw || kind.file == FileKind::RawAsLayer;
  for (int pass = 0; ok && pass < passes; ++pass)
    ok = raw ? RawPass(path, total, data, kind.memory, kind.file == FileKind::RawAsLayer, &timing)
             : LayerPass(kind, path, total, data, &timing);
  VirtualFree(data, 0, MEM_RELEASE);
  timing.ok = ok;
  return timing;
}

std::string SizeText(uint64_t bytes) {
  return bytes >= (1ull << 30) ? std::to_string(bytes >> 30) + " GiB" : std::to_string(bytes >> 20) + " MiB";
}

struct Ratios {
  double write, read, both;
};

// Throughput ratios to raw, round by round.
Ratios RatiosToRaw(const std::vector<Timing>& kind, const std::vector<Timing>& raw) {
  std::vector<double> kindWrite, kindRead, kindBoth, rawWrite, rawRead, rawBoth;
  for (const Timing& t : kind) {
    kindWrite.push_back(t.writeSeconds);
    kindRead.push_back(t.readSeconds);
    kindBoth.push_back(t.writeSeconds + t.readSeconds);
  }
  for (const Timing& t : raw) {
    rawWrite.push_back(t.writeSeconds);
    rawRead.push_back(t.readSeconds);
    rawBoth.push_back(t.writeSeconds + t.readSeconds);
  }
  return {PairedRatio(rawWrite, kindWrite), PairedRatio(rawRead, kindRead), PairedRatio(rawBoth, kindBoth)};
}

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const std::vector<uint64_t> sizes = PickSizes(argc, argv, std::vector<uint64_t>{1ull << 20, 64ull << 20, 1ull << 30}, 2);
  char folder[MAX_PATH + 1] = {};
  if (GetTempPathA(MAX_PATH, folder) == 0) return 1;
  char name[32];
  snprintf(name, sizeof name, "bench-files-%lu.bin", static_cast<unsigned long>(GetCurrentProcessId()));
  const std::string path = std::string(folder) + name;
  printf("Files written then read sequentially. Throughput in MiB/s is the median of the rounds; each\n"
         "ratio is the median of the rounds' pairs (above 1: faster than raw), to raw unbuffered calls\n"
         "through a 128 KiB buffer, or for 1 MiB chunks through a 1 MiB buffer, as such a caller has\n");

  std::vector<std::vector<SeriesPoint>> series(kKindCount);
  bool ok = true;
  for (uint64_t total : sizes) {
    const int passes = total >= kLeastPerFigure ? 1 : static_cast<int>(kLeastPerFigure / total);
    const int rounds = 5;
    // Rounds interleave the kinds, each round starting one kind further on, so that a busy moment
    // of the machine does not fall on one kind alone.
    std::vector<std::vector<Timing>> timings(kKindCount);
    for (int round = 0; round < rounds; ++round)
      for (int step = 0; step < kKindCount; ++step) {
        const int k = (round + step) % kKindCount;
        timings[k].push_back(Measure(kKinds[k], path, total, passes));
      }
    DeleteFileA(path.c_str());

    printf("\n%s file, written then read %d time(s) a round, %d rounds\n", SizeText(total).c_str(), passes, rounds);
    printf("%-40s %11s %6s %11s %6s %6s\n", "", "write MiB/s", "ratio", "read MiB/s", "ratio", "both");
    const double mib = static_cast<double>(total) * passes / (1 << 20);
    for (int k = 0; k < kKindCount; ++k) {
      const Kind& kind = kKinds[k];
      bool kindOk = true;
      std::vector<double> writes, reads;
      for (const Timing& t : timings[k]) {
        kindOk = kindOk && t.ok;
        writes.push_back(t.writeSeconds);
        reads.push_back(t.readSeconds);
      }
      if (!kindOk) {
        printf("%-40s FAILED\n", kind.name);
        ok = false;
        continue;
      }
      const Ratios ratios = RatiosToRaw(timings[k], timings[kind.baseline]);
      printf("%-40s %11.1f %6.2f %11.1f %6.2f %6.2f\n", kind.name, mib / Median(writes), ratios.write,
             mib / Median(reads), ratios.read, ratios.both);
      const bool kept = kind.target == 0 ||
                        (ratios.write >= kind.target && ratios.read >= kind.target && ratios.both >= kind.target);
      series[k].push_back({SizeText(total), ratios.both, kept});
    }
    fflush(stdout);
  }

  printf("\n");
  for (int k = 1; k < kKindCount; ++k) {
    char target[64];
    snprintf(target, sizeof target, "target write, read, both at least %.2f", kKinds[k].target);
    PrintGrowth(kKinds[k].name, series[k], sizes.size(), kKinds[k].target > 0 ? target : nullptr);
  }
  return ok ? 0 : 1;
}
