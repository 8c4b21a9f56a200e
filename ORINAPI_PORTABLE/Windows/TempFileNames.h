// Naming of temporary files: the numbered candidate, the step that makes it unique, and the
// claims that keep a name to one live temporary object of the process.
#ifndef ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H
#define ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H

#include <string>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "OrinRobo/CPortableString.h"

// Names in layer memory: the claim code catches the std::bad_alloc of a refused allocation.
using TempNameText = std::basic_string<char, std::char_traits<char>, orin::LayerStdAllocator<char>>;

// A name held by one live temporary object, given up when the claim goes. A buffered temporary
// file reaches the disk only with its first write, so the disk alone cannot show its name taken.
class TempNameClaim {
 public:
  TempNameClaim() = default;
  ~TempNameClaim() { Release(); }
  TempNameClaim(TempNameClaim&& other) noexcept;
  TempNameClaim& operator=(TempNameClaim&& other) noexcept;
  TempNameClaim(const TempNameClaim&) = delete;
  TempNameClaim& operator=(const TempNameClaim&) = delete;

  // Gives up a name held, then takes name; false when another live claim holds it (letter case
  // aside) or memory runs out.
  bool Claim(const char* name);
  void Release();

 private:
  TempNameText name_;
  bool held_ = false;
};

// Candidate index of "<directory>OrinMPEG<index, 4 wide>XXXXXXXXX"; the directory gets a
// backslash unless empty or already ending in one (a character, not a double-byte second byte).
// Empty when the name would reach 16,384 bytes.
CPortableString FormatTempFileCandidate(const char* directory, int index);

// Replaces the last six X of name by a letter and five digits of the thread's identifier so that
// no file of that name exists (as _mktemp does) and no live claim holds it; with claim, the name
// found is claimed. False when the name has no six X or all 26 letters are taken.
bool MakeTempNameUnique(CPortableString& name, TempNameClaim* claim = nullptr);

#endif  // ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H
