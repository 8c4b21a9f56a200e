// Configuration calls and firmware-check objects through the real plug-in.
#include <gtest/gtest.h>

#include "DriverTestSupport.h"

using namespace drivertest;

using Configuration = DriverTest;

TEST_F(Configuration, FirstGenerationCallLoadsRunsAndReleasesWithoutAnnouncing) {
  struct Row {
    const char* file;
    LONG configureCalls;  // orinrobodriver_configuredriver exists
  };
  const Row rows[] = {{"ORSAMPLE1.DLL", 1}, {"ORSAMPLE4.DLL", 1}, {"ORSAMPLE5.DLL", 0}};
  ManagerPtr manager = Manager(folder_.Path());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    EntryPtr entry(MakeEntry(SampleDriver(row.file).c_str()));
    EXPECT_NE(0, manager->ConfigureDriver(entry.get(), 77));
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(row.configureCalls, slot.entryCalls[SAMPLE_ENTRY_CONFIGURE]);
    EXPECT_EQ(row.configureCalls ? 77 : 0, slot.lastArg1);
    EXPECT_EQ(0, slot.entryCalls[SAMPLE_ENTRY_SET_INTERFACE]);
    EXPECT_EQ(0, slot.entryCalls[SAMPLE_ENTRY_GET_INTERFACE]);
    EXPECT_EQ(0, counters_.Live(row.file));
  }
}

TEST_F(Configuration, SecondGenerationCallReturnsTheDriversResultOrFallsBack) {
  struct Row {
    std::string source;
    const char* file;
    int result;
    LONG secondGenerationCalls;
    LONG firstGenerationCalls;
    LONG liveUntilRelease;
  };
  const Row rows[] = {
      {SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL", 30 + 12, 1, 0, 1},
      {SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL", 30 + 12, 1, 0, 1},
      // Below version 4, or without a version: the first-generation call with the first argument.
      {SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL", 1, 0, 1, 0},
      {TestDriver("ORNOIFACE.DLL"), "ORNOIFACE.DLL", 1, 0, 1, 0},
      {TestDriver("ORIFACE0.DLL"), "ORIFACE0.DLL", 1, 0, 0, 0},
      // Version 5 without the second-generation entry point.
      {TestDriver("ORNOCREATE.DLL"), "ORNOCREATE.DLL", 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ManagerPtr manager = Manager(folder_.Path());
    EntryPtr entry(MakeEntry(row.source.c_str()));
    EXPECT_EQ(row.result, manager->ConfigureDriverV2(entry.get(), 30, 12));
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(row.secondGenerationCalls, slot.entryCalls[SAMPLE_ENTRY_CONFIGURE_V2]);
    EXPECT_EQ(row.firstGenerationCalls, slot.entryCalls[SAMPLE_ENTRY_CONFIGURE]);
    if (row.secondGenerationCalls || row.firstGenerationCalls) {
      EXPECT_EQ(30, slot.lastArg1);
    }
    // Announced once, before anything else; the fallback's own load announces nothing.
    EXPECT_EQ(1, slot.entryCalls[SAMPLE_ENTRY_SET_INTERFACE]);
    if (row.secondGenerationCalls) {
      EXPECT_EQ(SAMPLE_ENTRY_SET_INTERFACE, slot.firstEntry);
    }
    EXPECT_EQ(row.liveUntilRelease, counters_.Live(row.file));
    manager.reset();
    EXPECT_EQ(0, counters_.Live(row.file));
  }
}

TEST_F(Configuration, FirmwareChecksAreAdaptedFromVersionFourAndRefusedBelow) {
  struct Row {
    std::string source;
    const char* file;
    bool handedOut;
    bool ownFifthOperation;  // false: the adapter answers 0 itself
    LONG liveUntilRelease;
    LONG leftBehind;         // objects neither handed out nor destroyed
  };
  const Row rows[] = {
      {SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL", true, true, 1, 0},
      {SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL", true, false, 1, 0},
      {TestDriver("ORFWOLD.DLL"), "ORFWOLD.DLL", false, false, 1, 1},    // version 3
      {TestDriver("ORIFACE0.DLL"), "ORIFACE0.DLL", false, false, 1, 1},  // version 0
      {SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL", false, false, 0, 0},  // no entry point
      {TestDriver("ORNULLCREATE.DLL"), "ORNULLCREATE.DLL", false, false, 0, 0},
      {TestDriver("ORNOIFACE.DLL"), "ORNOIFACE.DLL", false, false, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ManagerPtr manager = Manager(folder_.Path());
    EntryPtr entry(MakeEntry(row.source.c_str()));
    FirmwareCheckPtr check(manager->CreateFirmwareCheck(entry.get(), 2));
    const SampleDriverSlot& slot = counters_.Of(row.file);
    ASSERT_EQ(row.handedOut, check != nullptr);
    if (slot.entryCalls[SAMPLE_ENTRY_SET_INTERFACE] > 0) {
      EXPECT_EQ(SAMPLE_ENTRY_SET_INTERFACE, slot.firstEntry);
    }
    if (check) {
      EXPECT_EQ(2, slot.lastArg1);
      EXPECT_EQ(0x0120, check->GetFirmwareVersion());
      EXPECT_TRUE(check->IsDriveSupported(3));
      EXPECT_FALSE(check->IsDriveSupported(4));
      EXPECT_TRUE(check->IsFirmwareSupported(0x0110));
      EXPECT_FALSE(check->IsFirmwareSupported(0x010F));
      EXPECT_EQ(row.ownFifthOperation ? 0x0110 : 0, check->GetRequiredFirmware());
      EXPECT_EQ(row.ownFifthOperation ? 1 : 0, slot.checkOps[5]);
      EXPECT_EQ(1, slot.checkOps[1]);
      EXPECT_EQ(2, slot.checkOps[2]);
      EXPECT_EQ(2, slot.checkOps[3]);
      check.reset();
      EXPECT_EQ(1, slot.checksDestroyed);
    }
    EXPECT_EQ(row.leftBehind, slot.checksCreated - slot.checksDestroyed);
    EXPECT_EQ(row.liveUntilRelease, counters_.Live(row.file));
    manager.reset();
    EXPECT_EQ(0, counters_.Live(row.file));
  }
}

// A null entry, an entry without a path, a path that names nothing, a file that is no library:
// every operation answers null or 0 and nothing is loaded.
TEST_F(Configuration, BadEntriesAreMissesForEveryOperation) {
  ASSERT_TRUE(folder_.WriteFile("ORTEXT.DLL", "plain text"));
  ManagerPtr manager = Manager(folder_.Path());
  EntryPtr noPath(MakeEntry(nullptr));
  EntryPtr missing(MakeEntry(folder_.Join("ORMISSING.DLL").c_str()));
  EntryPtr text(MakeEntry(folder_.Join("ORTEXT.DLL").c_str()));
  IRoboDriverInfo* const entries[] = {nullptr, noPath.get(), missing.get(), text.get(),
                                      manager->GetDriverInfo(99)};
  for (IRoboDriverInfo* entry : entries) {
    SCOPED_TRACE(entry ? (entry->GetDriverPath() ? entry->GetDriverPath() : "(no path)") : "(null entry)");
    EXPECT_EQ(nullptr, manager->CreateDriver(entry, 1));
    EXPECT_EQ(nullptr, manager->CreateDriverV2(entry, 1, 2));
    EXPECT_EQ(0, manager->ConfigureDriver(entry, 1));
    EXPECT_EQ(0, manager->ConfigureDriverV2(entry, 1, 2));
    EXPECT_EQ(nullptr, manager->CreateFirmwareCheck(entry, 1));
  }
  EXPECT_EQ(0, counters_.TotalAttaches());
}
