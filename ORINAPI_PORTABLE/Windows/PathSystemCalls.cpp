#include "ORINAPI_PORTABLE/Windows/PathSystemCalls.h"

namespace orin {
namespace {

PathSystemCalls RealPathSystemCalls() {
  PathSystemCalls calls;
  calls.getFullPathNameA = &::GetFullPathNameA;
  calls.findFirstFileA = &::FindFirstFileA;
  calls.findNextFileA = &::FindNextFileA;
  calls.getTempPathA = &::GetTempPathA;
  calls.getTempPathW = &::GetTempPathW;
  calls.getShortPathNameW = &::GetShortPathNameW;
  return calls;
}

PathSystemCalls g_calls = RealPathSystemCalls();

}  // namespace

PathSystemCalls& GetPathSystemCalls() { return g_calls; }

void RestorePathSystemCalls() { g_calls = RealPathSystemCalls(); }

}  // namespace orin
