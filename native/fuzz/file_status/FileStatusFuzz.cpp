// The status record of any path text with any attributes, in each code page. The mode is a file
// or a directory, never both; write follows read-only; execute follows the directory bit and the
// name's extension in any case; the group and others get the owner's bits. A clone of a record
// with any times and extra records is equal and independent.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <ctime>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/CPortableFileInfo.h"
#include "ORINAPI_PORTABLE/CPortableFileStatus.h"
#include "ORINAPI_PORTABLE/PathText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  fuzz::SelectCodePage(input.ConsumeIntegral<uint8_t>());
  const uint32_t attributes = input.ConsumeIntegral<uint32_t>();
  const fuzz::ExactText text(input.ConsumeRandomLengthString(64));

  const uint32_t mode = PortableStatusMode(text.Get(), attributes);
  const bool directory = (attributes & PortableAttributeDirectory) != 0;
  FUZZ_CHECK((mode & ~0xC1FFu) == 0 && (mode & kPortableModeDirectory) != 0 == directory);
  FUZZ_CHECK((mode & kPortableModeRegular) != 0 == !directory && (mode & kPortableModeRead) != 0);
  FUZZ_CHECK((mode & kPortableModeWrite) != 0 == !(attributes & PortableAttributeReadOnly));
  FUZZ_CHECK((mode & kPortableModeExecute) != 0 == (directory || IsExecutableName(text.Get())));
  FUZZ_CHECK((mode >> 6 & 7) == (mode >> 3 & 7) && (mode >> 3 & 7) == (mode & 7));
  std::string flipped = text.Str();
  for (char& c : flipped) c = static_cast<char>(isupper(c) ? tolower(c) : toupper(c));
  FUZZ_CHECK(PortableStatusMode(flipped.c_str(), attributes) == mode);

  CPortableFileStatus status;
  status.SetMode(mode);
  status.SetName(text.Get());
  status.SetFlags(15);
  status.SetSize(input.ConsumeIntegral<int64_t>());
  status.SetExtraValue(input.ConsumeIntegralInRange(0, 1), input.ConsumeIntegral<int32_t>());
  for (int i = input.ConsumeIntegralInRange(0, 9); i > 0; --i) {
    status.SetTime(input.ConsumeIntegralInRange(-2, 8), CPortableTime(input.ConsumeIntegral<int32_t>()));
  }
  const int records = input.ConsumeIntegralInRange(0, 4);
  auto* extra = static_cast<PortableExtraRecord*>(calloc(records + 1, sizeof(PortableExtraRecord)));
  for (int i = 0; i < records; ++i) {
    const std::string bytes = input.ConsumeRandomLengthString(32);
    extra[i].type = input.ConsumeIntegralInRange(0, 5);
    extra[i].length = static_cast<int32_t>(bytes.size());
    extra[i].data = bytes.empty() ? nullptr : malloc(bytes.size());
    if (extra[i].data != nullptr) memcpy(extra[i].data, bytes.data(), bytes.size());
  }
  extra[records].type = kPortableExtraRecordEnd;
  status.SetExtraRecords(records > 0 || input.ConsumeBool() ? extra : nullptr);
  if (status.GetExtraRecords() == nullptr) free(extra);

  std::unique_ptr<CPortableFileStatus> clone(status.Clone());
  FUZZ_CHECK(clone != nullptr && clone->GetMode() == mode && clone->GetSize() == status.GetSize());
  const uint8_t* bytes = nullptr;
  FUZZ_CHECK(strcmp(clone->GetName(&bytes), text.Get()) == 0 && bytes[0] == 4 && bytes[1] == 0 &&
             bytes[2] == 15);
  int32_t value = 0, cloneValue = 0;
  FUZZ_CHECK(status.GetExtraValue(&value) == clone->GetExtraValue(&cloneValue) && value == cloneValue);
  for (int32_t index = -1; index <= kPortableStatusTimeCount; ++index) {
    struct tm original, copied;
    memset(&original, 0x5A, sizeof original);
    memset(&copied, 0x5A, sizeof copied);
    FUZZ_CHECK(status.GetTime(index, &original) == (index >= 0 && index < kPortableStatusTimeCount ? 1 : 0));
    FUZZ_CHECK(clone->GetTime(index, &copied) == status.GetTime(index, nullptr) &&
               memcmp(&original, &copied, sizeof original) == 0);
  }
  const PortableExtraRecord* theirs = status.GetExtraRecords();
  const PortableExtraRecord* ours = clone->GetExtraRecords();
  FUZZ_CHECK((theirs == nullptr) == (ours == nullptr) && (theirs == nullptr || theirs != ours));
  for (int i = 0; theirs != nullptr; ++i) {
    FUZZ_CHECK(ours[i].type == theirs[i].type && ours[i].length == theirs[i].length);
    FUZZ_CHECK(theirs[i].data == nullptr || (ours[i].data != theirs[i].data &&
                                             memcmp(ours[i].data, theirs[i].data, theirs[i].length) == 0));
    if (theirs[i].type == kPortableExtraRecordEnd) break;
  }
  return 0;
}
