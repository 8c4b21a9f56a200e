#include "ORINAPI_PORTABLE/CPortableFindFile.h"

CPortableFindFileBase::CPortableFindFileBase(const char* directory, const char* pattern, int32_t reserved,
                                             uint32_t required, uint32_t excluded, uint32_t options)
    : pattern_(pattern),
      reserved_(reserved),
      required_(required),
      excluded_(excluded),
      options_(options),
      hasCurrent_(1),
      currentPath_(nullptr),
      directory_(directory) {}

CPortableFindFileBase::~CPortableFindFileBase() { delete currentPath_; }

int CPortableFindFileBase::IsValid() { return hasCurrent_; }

CPortablePath* CPortableFindFileBase::GetMatchPath() { return GetCurrentPath(); }

CPortablePath* CPortableFindFileBase::GetCurrentPath() { return currentPath_; }
