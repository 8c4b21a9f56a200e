// The real system queries and the swap that tests use.
#include "ORINAPI_PORTABLE/Windows/SystemQueries.h"

#include <mbctype.h>

namespace orin {
namespace {

DWORD RealGetVersion() {
  return ::GetVersion();
}

LANGID RealGetSystemDefaultLangId() {
  return ::GetSystemDefaultLangID();
}

int RealGetMultibyteCodePage() {
  return _getmbcp();
}

int RealIsDoubleByteCodePage(int codePage) {
  CPINFO info;
  if (codePage <= 0 || !::GetCPInfo(static_cast<UINT>(codePage), &info)) return 0;
  return info.MaxCharSize > 1 ? 1 : 0;
}

const SystemQueries kRealQueries = {RealGetVersion, RealGetSystemDefaultLangId,
                                    RealGetMultibyteCodePage, RealIsDoubleByteCodePage};

SystemQueries g_currentQueries = kRealQueries;

}  // namespace

const SystemQueries& RealSystemQueries() {
  return kRealQueries;
}

const SystemQueries& CurrentSystemQueries() {
  return g_currentQueries;
}

ScopedSystemQueries::ScopedSystemQueries(const SystemQueries& replacement)
    : previous_(g_currentQueries) {
  g_currentQueries = replacement;
}

ScopedSystemQueries::~ScopedSystemQueries() {
  g_currentQueries = previous_;
}

}  // namespace orin
