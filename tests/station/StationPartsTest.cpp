// The station's small pure parts: the command table, the host marker and the support mail link.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CommandSender.h"
#include "CommandTable.h"
#include "HostWatchdog.h"
#include "RobotWorker.h"
#include "SupportMail.h"

TEST(CommandTable, EachCodeDoesWhatTheProtocolSays) {
  struct Row {
    uint64_t code;
    bool known, watchdog, robot;
    int32_t state;
  };
  const Row rows[] = {
      {101, true, false, true, station::kStateLoad},     {102, true, false, true, station::kStateUnload},
      {103, true, false, true, station::kStateUnloadAlt}, {104, true, true, false, 0},
      {105, true, false, true, station::kStateReserved}, {100, false, false, false, 0},
      {106, false, false, false, 0},                     {0, false, false, false, 0},
      {0xFFFFFFFFu, false, false, false, 0},             {101 + 0x10000u, false, false, false, 0},
      {101 + (uint64_t{1} << 32), false, false, false, 0},  // a 64-bit WParam is not cut
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const station::CommandAction action = station::ActionForCode(row.code);
    EXPECT_EQ(action.known, row.known);
    EXPECT_EQ(action.startsWatchdog, row.watchdog);
    EXPECT_EQ(action.robotCommand, row.robot);
    if (row.robot) {
      EXPECT_EQ(action.newState, row.state);
    }
  }
}

TEST(HostMarker, AnyCaseAnywhereInTheNameCounts) {
  struct Row {
    const char* name;
    bool host;
  };
  const Row rows[] = {
      {"ORINHOST.EXE", true}, {"orinhost.exe", true}, {"MyOrInApp.exe", true},
      {"Florinda.exe", true},  // inside a longer word
      {"app-orin", true},      {"ORI.exe", false},    {"O R I N.exe", false},
      {"explorer.exe", false}, {"", false},           {nullptr, false},
      {"\xD6RIN.exe", false},  // only a to z are upper-cased
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name ? row.name : "(null)");
    EXPECT_EQ(station::IsHostProcessName(row.name), row.host);
  }
}

TEST(HostMarker, ScanOfThisSystemAnswers) {
  // This test program's own name holds no marker; the scan must still complete either way.
  const station::HostScan scan = station::ScanForHost();
  EXPECT_NE(scan, station::HostScan::ScanFailed);
}

TEST(SupportMail, SubjectCarriesDateAndTimeZeroFilled) {
  struct Row {
    WORD year, month, day, hour, minute;
    const char* stamp;
  };
  const Row rows[] = {
      {2027, 1, 1, 9, 5, "(20270101-0905)"},
      {2026, 12, 31, 23, 59, "(20261231-2359)"},
      {999, 7, 4, 0, 0, "(9990704-0000)"},  // the year is plain decimal
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stamp);
    SYSTEMTIME now = {};
    now.wYear = row.year;
    now.wMonth = row.month;
    now.wDay = row.day;
    now.wHour = row.hour;
    now.wMinute = row.minute;
    char mail[station::kSupportMailBufferSize];
    ASSERT_TRUE(station::FormatSupportMail(mail, sizeof mail, now));
    EXPECT_EQ(std::string(mail),
              std::string("mailto:") + station::kSupportAddress + "?Subject=Kelvora" + row.stamp + "&body=");
  }
}

TEST(SupportMail, TooSmallBufferGivesEmptyTextNotACutLink) {
  SYSTEMTIME now = {};
  now.wYear = 2026;
  char small[24];
  std::memset(small, 'x', sizeof small);
  EXPECT_FALSE(station::FormatSupportMail(small, sizeof small, now));
  EXPECT_EQ(small[0], '\0');
  EXPECT_FALSE(station::FormatSupportMail(nullptr, 512, now));
  EXPECT_FALSE(station::FormatSupportMail(small, 0, now));
}

TEST(SenderCommands, NamesAndNumbersMapToCodes) {
  struct Row {
    const char* text;
    bool valid;
    uint32_t code;
  };
  const Row rows[] = {{"load", true, 101},      {"unload", true, 102}, {"unload-alt", true, 103},
                      {"watchdog", true, 104},  {"105", true, 105},    {"0", true, 0},
                      {"Load", false, 0},       {"", false, 0},        {"-1", false, 0},
                      {"12x", false, 0},        {"9999999999", false, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    uint32_t code = 12345;
    EXPECT_EQ(pickwell_send::ParseCommand(row.text, &code), row.valid);
    if (row.valid) {
      EXPECT_EQ(code, row.code);
    }
  }
  EXPECT_TRUE(pickwell_send::ReportsOutcome(101) && pickwell_send::ReportsOutcome(103));
  EXPECT_FALSE(pickwell_send::ReportsOutcome(104) || pickwell_send::ReportsOutcome(105));
}
