/* SampleDriverCounters.h - what the sample driver libraries count, kept where a test can read it.
 *
 * A library forgets everything when it is unloaded, and the manager loads and unloads drivers all
 * the time. So every sample library records its loads, entry-point calls, object creations,
 * operation calls and destructions in one block of shared memory per process, named after the
 * process id. A test opens the block first (SampleCountersOpen) and keeps it open; the libraries
 * then find it on every load. Without a reader the block simply lives while a library is loaded.
 *
 * One slot per library file, keyed by its upper-case file name ("ORSAMPLE5.DLL"), so copies of
 * one library under several names keep separate counts. Calls come from one thread at a time;
 * the interlocked increments only keep a stray second thread from tearing a count. */
#ifndef SAMPLES_DRIVERS_SAMPLEDRIVERCOUNTERS_H
#define SAMPLES_DRIVERS_SAMPLEDRIVERCOUNTERS_H

#if defined(ORIN_NO_WINDOWS_HEADERS)
/* Microsoft-ABI builds without a Windows SDK declare the few system calls themselves. */
#include "MsWin32.h"
#else
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <stddef.h>

#define SAMPLE_COUNTER_SLOTS 1024
#define SAMPLE_KEY_SIZE 48

/* Entry points, as recorded in SampleDriverSlot.firstEntry. */
enum SampleEntry {
  SAMPLE_ENTRY_NONE = 0,
  SAMPLE_ENTRY_GET_NAME = 1,
  SAMPLE_ENTRY_GET_VERSION = 2,
  SAMPLE_ENTRY_GET_INTERFACE = 3,
  SAMPLE_ENTRY_SET_INTERFACE = 4,
  SAMPLE_ENTRY_CONFIGURE = 5,
  SAMPLE_ENTRY_CREATE = 6,
  SAMPLE_ENTRY_CREATE_V2 = 7,
  SAMPLE_ENTRY_CONFIGURE_V2 = 8,
  SAMPLE_ENTRY_FIRMWARE_CHECK = 9
};

typedef struct SampleDriverSlot {
  char key[SAMPLE_KEY_SIZE];   /* upper-case file name of the library */
  LONG attaches;               /* DllMain process attach, refused ones included */
  LONG detaches;               /* DllMain process detach */
  LONG refusedAttaches;        /* attaches the library answered FALSE */
  LONG firstEntry;             /* first entry point called since the last attach (SampleEntry) */
  LONG entryCalls[10];         /* calls per entry point, indexed by SampleEntry */
  LONG lastAnnouncedVersion;   /* last value given to ORIN_PLUGIN_SetInterfaceVersion */
  LONG lastArg1;               /* arguments of the last create/configure/firmware call */
  LONG lastArg2;
  LONG driversCreated;         /* driver objects made */
  LONG driversDestroyed;       /* driver objects whose destructor ran */
  LONG driverOps[13];          /* calls per driver operation, indexed by position 1..12 */
  LONG checksCreated;          /* firmware-check objects made */
  LONG checksDestroyed;
  LONG checkOps[6];            /* calls per firmware-check operation, by position 1..5 */
  LONG lastResult;             /* what the last driver or firmware-check operation returned */
  LONG objectsFreed;           /* objects whose memory this library's operator delete freed */
} SampleDriverSlot;

typedef struct SampleDriverCounters {
  LONG slotsUsed;
  LONG totalAttaches;          /* over every sample library: loads that DllMain accepted */
  LONG totalDetaches;
  SampleDriverSlot slots[SAMPLE_COUNTER_SLOTS];
} SampleDriverCounters;

/* A mapping handle and its view; both null when the block could not be had. */
typedef struct SampleCountersView {
  HANDLE mapping;
  SampleDriverCounters* counters;
} SampleCountersView;

/* "OrinSampleDriverCounters.<process id>"; written by hand so no C library is needed. */
static inline void SampleCountersName(char* name, size_t size) {
  static const char prefix[] = "OrinSampleDriverCounters.";
  char digits[12];
  size_t n = 0, used = 0, i;
  DWORD id = GetCurrentProcessId();
  do {
    digits[n++] = (char)('0' + id % 10);
    id /= 10;
  } while (id != 0);
  if (size < sizeof prefix + n) {
    if (size) name[0] = '\0';
    return;
  }
  for (i = 0; prefix[i]; ++i) name[used++] = prefix[i];
  while (n) name[used++] = digits[--n];
  name[used] = '\0';
}

/* Opens (creating on first use) this process's block; the memory starts zeroed. */
static inline SampleCountersView SampleCountersOpen(void) {
  SampleCountersView view = {NULL, NULL};
  char name[64];
  SampleCountersName(name, sizeof name);
  view.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                    (DWORD)sizeof(SampleDriverCounters), name);
  if (view.mapping == NULL) return view;
  view.counters = (SampleDriverCounters*)MapViewOfFile(view.mapping, FILE_MAP_ALL_ACCESS, 0, 0,
                                                       sizeof(SampleDriverCounters));
  if (view.counters == NULL) {
    CloseHandle(view.mapping);
    view.mapping = NULL;
  }
  return view;
}

static inline void SampleCountersClose(SampleCountersView* view) {
  if (view->counters) UnmapViewOfFile(view->counters);
  if (view->mapping) CloseHandle(view->mapping);
  view->counters = NULL;
  view->mapping = NULL;
}

static inline int SampleKeyEquals(const char* a, const char* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

/* A library's own file name, upper-cased: its key among the counters (empty when unknown). */
static inline void SampleFileKey(HMODULE module, char key[SAMPLE_KEY_SIZE]) {
  char path[MAX_PATH];
  const char* base = path;
  const char* p;
  size_t n = 0;
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  key[0] = '\0';
  if (length == 0 || length >= MAX_PATH) return;
  for (p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  for (; base[n] && n + 1 < SAMPLE_KEY_SIZE; ++n) {
    const char c = base[n];
    key[n] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
  }
  key[n] = '\0';
}

/* The slot of the library with this upper-case file name; null when absent and create is 0, or
 * when the table is full. */
static inline SampleDriverSlot* SampleCountersSlot(SampleDriverCounters* counters, const char* key,
                                                   int create) {
  LONG used, i;
  if (counters == NULL || key == NULL) return NULL;
  used = counters->slotsUsed;
  if (used > SAMPLE_COUNTER_SLOTS) used = SAMPLE_COUNTER_SLOTS;
  for (i = 0; i < used; ++i) {
    if (SampleKeyEquals(counters->slots[i].key, key)) return &counters->slots[i];
  }
  if (!create) return NULL;
  i = InterlockedIncrement(&counters->slotsUsed) - 1;
  if (i >= SAMPLE_COUNTER_SLOTS) return NULL;
  lstrcpynA(counters->slots[i].key, key, SAMPLE_KEY_SIZE);
  return &counters->slots[i];
}

#endif /* SAMPLES_DRIVERS_SAMPLEDRIVERCOUNTERS_H */
