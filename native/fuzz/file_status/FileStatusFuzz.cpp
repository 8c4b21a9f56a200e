// The status record's mode for any path text and any attribute bits, in each code page: a file or
// a directory, never both; read always; write unless read-only; execute for a directory and for a
// name whose last whole character '.' starts ".exe", ".cmd", ".bat" or ".com" in any case; the
// group and the others get the owner's bits.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/CPortableFileInfo.h"
#include "ORINAPI_PORTABLE/CPortableFileStatus.h"
#include "ORINAPI_PORTABLE/PathText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  fuzz::SelectCodePage(input.ConsumeIntegral<uint8_t>());
  const uint32_t attributes = input.ConsumeIntegral<uint32_t>();
  const fuzz::ExactText text(input.ConsumeRemainingBytesAsString());

  const uint32_t mode = PortableStatusMode(text.Get(), attributes);
  const bool directory = (attributes & PortableAttributeDirectory) != 0;
  FUZZ_CHECK((mode & ~0xC1FFu) == 0 && ((mode & kPortableModeDirectory) != 0) == directory);
  FUZZ_CHECK(((mode & kPortableModeRegular) != 0) == !directory && (mode & kPortableModeRead) != 0);
  FUZZ_CHECK(((mode & kPortableModeWrite) != 0) == !(attributes & PortableAttributeReadOnly));
  FUZZ_CHECK(((mode & kPortableModeExecute) != 0) == (directory || IsExecutableName(text.Get())));
  FUZZ_CHECK((mode >> 6 & 7) == (mode >> 3 & 7) && (mode >> 3 & 7) == (mode & 7));

  // Case never matters, not even in a second byte that reads as an ASCII letter.
  std::string flipped = text.Str();
  for (char& c : flipped) c = static_cast<char>(isupper(c) ? tolower(c) : toupper(c));
  FUZZ_CHECK(PortableStatusMode(flipped.c_str(), attributes) == mode);
  // Only the last extension counts.
  const uint32_t plain = attributes & ~PortableAttributeDirectory;
  FUZZ_CHECK((PortableStatusMode((text.Str() + ".com.txt").c_str(), plain) & kPortableModeExecute) == 0);
  return 0;
}
