// The file status record: construction defaults, time lookup, extra value, and deep clones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "ORINAPI_PORTABLE/CPortableFileStatus.h"

namespace {

PortableExtraRecord* MakeRecords(int32_t type, int32_t length, const char* fill) {
  auto* records = static_cast<PortableExtraRecord*>(std::calloc(2, sizeof(PortableExtraRecord)));
  records[0].type = type;
  records[0].length = length;
  records[0].data = std::malloc(length);
  std::memset(records[0].data, *fill, length);
  records[1].type = kPortableExtraRecordEnd;
  return records;
}

TEST(FileStatus, StartsEmptyWithKindFourAndFixedBytes) {
  const CPortableFileStatus status;
  EXPECT_EQ(4, status.GetKind());
  const IPortableRecord& record = status;
  EXPECT_EQ(4, record.GetKind());
  const uint8_t* bytes = nullptr;
  EXPECT_STREQ("", status.GetName(&bytes));
  ASSERT_NE(nullptr, bytes);
  EXPECT_EQ(4, bytes[0]);
  EXPECT_EQ(0, bytes[1]);
  EXPECT_EQ(0, bytes[2]);
  EXPECT_STREQ("", status.GetName(nullptr));
  EXPECT_EQ(0u, status.GetMode());
  EXPECT_EQ(0, status.GetSize());
  EXPECT_EQ(nullptr, status.GetExtraRecords());
  int32_t value = 5;
  EXPECT_EQ(0, status.GetExtraValue(&value));
  EXPECT_EQ(5, value);
}

TEST(FileStatus, TimesAnswerForIndicesZeroToSixOnly) {
  CPortableFileStatus status;
  status.SetTime(2, CPortableTime(86400 * 365));
  status.SetTime(7, CPortableTime(1));  // ignored
  struct tm out;
  std::memset(&out, 0x5A, sizeof out);
  const struct tm untouched = out;
  for (int32_t index : {7, -1, 100}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(0, status.GetTime(index, &out));
    EXPECT_EQ(0, std::memcmp(&untouched, &out, sizeof out));
  }
  for (int32_t index = 0; index < 7; ++index) EXPECT_EQ(1, status.GetTime(index, nullptr)) << index;
  ASSERT_EQ(1, status.GetTime(2, &out));
  struct tm expected;
  ASSERT_NE(nullptr, CPortableTime(86400 * 365).GetLocalTm(&expected));
  EXPECT_EQ(expected.tm_year, out.tm_year);
  EXPECT_EQ(expected.tm_yday, out.tm_yday);
}

TEST(FileStatus, CloneIsIndependentOfTheOriginal) {
  auto original = std::make_unique<CPortableFileStatus>();
  original->SetMode(kPortableModeRegular | kPortableModeRead | kPortableModeRead >> 3);
  original->SetSize(0x123456789LL);
  original->SetName("ORDEMO.DLL");
  original->SetFlags(15);
  original->SetTime(0, CPortableTime(111));
  original->SetTime(6, CPortableTime(666));
  original->SetExtraValue(1, 42);
  original->SetUserId(7);
  original->SetGroupId(8);
  original->SetExtraRecords(MakeRecords(3, 10, "A"));

  std::unique_ptr<IPortableFileStatus> copy(static_cast<const IPortableFileStatus&>(*original).Clone());
  ASSERT_NE(nullptr, copy);
  // Change and then destroy the original: the copy keeps its own data.
  std::memset(original->GetExtraRecords()[0].data, 'B', 10);
  const void* originalData = original->GetExtraRecords()[0].data;
  original->SetName("changed");
  original.reset();

  EXPECT_EQ(kPortableModeRegular | kPortableModeRead | kPortableModeRead >> 3, copy->GetMode());
  EXPECT_EQ(0x123456789LL, copy->GetSize());
  const uint8_t* bytes = nullptr;
  EXPECT_STREQ("ORDEMO.DLL", copy->GetName(&bytes));
  EXPECT_EQ(15, bytes[2]);
  EXPECT_EQ(15, copy->GetFlags());
  int32_t value = 0;
  EXPECT_EQ(1, copy->GetExtraValue(&value));
  EXPECT_EQ(42, value);
  EXPECT_EQ(1, copy->GetExtraValue(nullptr));
  EXPECT_EQ(7, copy->GetUserId());
  EXPECT_EQ(8, copy->GetGroupId());
  const PortableExtraRecord* records = copy->GetExtraRecords();
  ASSERT_NE(nullptr, records);
  EXPECT_EQ(3, records[0].type);
  ASSERT_EQ(10, records[0].length);
  EXPECT_NE(originalData, records[0].data);
  EXPECT_EQ(0, std::memcmp(records[0].data, "AAAAAAAAAA", 10));
  EXPECT_EQ(kPortableExtraRecordEnd, records[1].type);
  struct tm first, last;
  ASSERT_EQ(1, copy->GetTime(0, &first));
  ASSERT_EQ(1, copy->GetTime(6, &last));
  EXPECT_EQ(555, std::difftime(std::mktime(&last), std::mktime(&first)));
}

TEST(FileStatus, ReplacingExtraRecordsFreesTheOldOnes) {
  CPortableFileStatus status;
  status.SetExtraRecords(MakeRecords(0, 4, "x"));
  status.SetExtraRecords(MakeRecords(3, 2, "y"));
  EXPECT_EQ(3, status.GetExtraRecords()[0].type);
  status.SetExtraRecords(nullptr);
  EXPECT_EQ(nullptr, status.GetExtraRecords());
  std::unique_ptr<CPortableFileStatus> copy(status.Clone());
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(nullptr, copy->GetExtraRecords());
}

}  // namespace
