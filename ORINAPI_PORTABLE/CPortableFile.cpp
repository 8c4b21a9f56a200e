#include "ORINAPI_PORTABLE/CPortableFile.h"

PortableLocation CPortableFile::GetLocation() {
  return PortableLocation{kPortableLocationNoDrive, 0};
}
