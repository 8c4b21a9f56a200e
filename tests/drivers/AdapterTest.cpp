// The adapters and their factories on their own, with in-process fake objects: what no sample
// library can show (empty adapters, versions the factories refuse).
#include <gtest/gtest.h>

#include "OrinRobo/CRoboDriverAdapter1.h"
#include "OrinRobo/CRoboDriverAdapter3.h"
#include "OrinRobo/CRoboFirmwareCheckAdapter4.h"
#include "OrinRobo/DriverAdapterFactory.h"

namespace {

// A version 3 object whose operation n answers 100 + n; counts its destructions.
class FakeDriver3 final : public IRoboDriverV3 {
 public:
  explicit FakeDriver3(int* destroyed) : destroyed_(destroyed) {}
  ~FakeDriver3() { ++*destroyed_; }
  ORIN_DELETING_DESTRUCTOR(FakeDriver3)
  int ORIN_METHOD Initialize() override { return 101; }
  int ORIN_METHOD Shutdown() override { return 102; }
  int ORIN_METHOD LoadDisc() override { return 103; }
  int ORIN_METHOD UnloadDisc() override { return 104; }
  int ORIN_METHOD QueryStatus() override { return 105; }
  int ORIN_METHOD Reset() override { return 106; }
  int ORIN_METHOD Park() override { return 107; }
  int ORIN_METHOD SelfTest() override { return 108; }
  int ORIN_METHOD GetBinCount() override { return 110; }

 private:
  int* destroyed_;
};

class FakeCheck4 final : public IRoboFirmwareCheckV4 {
 public:
  explicit FakeCheck4(int* destroyed) : destroyed_(destroyed) {}
  ~FakeCheck4() { ++*destroyed_; }
  ORIN_DELETING_DESTRUCTOR(FakeCheck4)
  int ORIN_METHOD GetFirmwareVersion() override { return 7; }
  bool ORIN_METHOD IsDriveSupported(OrinArg drive) override { return drive == 1; }
  bool ORIN_METHOD IsFirmwareSupported(OrinArg firmware) override { return firmware == 2; }

 private:
  int* destroyed_;
};

int CallAll(IRoboDriver* d, int (&results)[12]) {
  results[0] = d->Initialize();
  results[1] = d->Shutdown();
  results[2] = d->LoadDisc();
  results[3] = d->UnloadDisc();
  results[4] = d->QueryStatus();
  results[5] = d->Reset();
  results[6] = d->Park();
  results[7] = d->SelfTest();
  results[9] = d->GetBinCount();
  results[10] = d->GetLastErrorCode();
  results[11] = d->Abort();
  return 0;
}

}  // namespace

TEST(Adapters, ForwardWhatTheGenerationHasAndAnswerTheRest) {
  struct Row {
    uint32_t version;
    int binCount;  // operation 10: the driver's 110, or the adapter's own 1
  };
  for (const Row& row : {Row{1, 1}, Row{2, 110}, Row{3, 110}}) {
    SCOPED_TRACE(row.version);
    int destroyed = 0;
    IRoboDriver* adapter = MakeDriverAdapter(row.version, new FakeDriver3(&destroyed));
    ASSERT_NE(nullptr, adapter);
    int results[12] = {};
    CallAll(adapter, results);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(101 + i, results[i]) << "operation " << i + 1;
    EXPECT_EQ(row.binCount, results[9]);
    EXPECT_EQ(1, results[10]);
    EXPECT_EQ(1, results[11]);
    OrinDestroy(adapter);
    EXPECT_EQ(1, destroyed);
  }
}

TEST(Adapters, EmptyAdaptersAnswerZeroAndDestroyNothing) {
  IRoboDriver* const empties[] = {new CRoboDriverAdapter1(nullptr), new CRoboDriverAdapter3(nullptr)};
  for (IRoboDriver* adapter : empties) {
    int results[12] = {};
    CallAll(adapter, results);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(0, results[i]) << "operation " << i + 1;
    EXPECT_EQ(1, results[10]);
    EXPECT_EQ(1, results[11]);
    OrinDestroy(adapter);
  }
  IRoboFirmwareCheck* check = new CRoboFirmwareCheckAdapter4(nullptr);
  EXPECT_EQ(0, check->GetFirmwareVersion());
  EXPECT_FALSE(check->IsDriveSupported(1));
  EXPECT_FALSE(check->IsFirmwareSupported(2));
  EXPECT_EQ(0, check->GetRequiredFirmware());
  OrinDestroy(check);
}

TEST(Adapters, FactoriesRefuseOtherVersionsAndLeaveTheObjectAlone) {
  int destroyed = 0;
  FakeDriver3 driver(&destroyed);
  for (uint32_t version : {0u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
    EXPECT_EQ(nullptr, MakeDriverAdapter(version, &driver)) << version;
  }
  EXPECT_EQ(nullptr, MakeDriverAdapter(1, nullptr));
  FakeCheck4 check(&destroyed);
  for (uint32_t version : {0u, 1u, 3u, 5u, 6u}) {
    EXPECT_EQ(nullptr, MakeFirmwareCheckAdapter(version, &check)) << version;
  }
  EXPECT_EQ(nullptr, MakeFirmwareCheckAdapter(4, nullptr));
  EXPECT_EQ(0, destroyed);

  int checkDestroyed = 0;
  IRoboFirmwareCheck* adapter = MakeFirmwareCheckAdapter(4, new FakeCheck4(&checkDestroyed));
  ASSERT_NE(nullptr, adapter);
  EXPECT_EQ(7, adapter->GetFirmwareVersion());
  EXPECT_TRUE(adapter->IsDriveSupported(1));
  EXPECT_TRUE(adapter->IsFirmwareSupported(2));
  EXPECT_FALSE(adapter->IsFirmwareSupported(3));
  EXPECT_EQ(0, adapter->GetRequiredFirmware());
  OrinDestroy(adapter);
  EXPECT_EQ(1, checkDestroyed);
}
