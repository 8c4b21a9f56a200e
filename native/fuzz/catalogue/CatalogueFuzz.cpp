// The catalogue fed what driver libraries answer, in any order: names (null, equal, empty, any
// bytes), versions and interface versions, while the host announces any version. One entry per
// name, the newest version, the first one found on a tie, a replaced entry moved to the end, each
// null-named library on its own; drivers are told the version the host's maps to.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "../FuzzSupport.h"
#include "OrinRobo/DriverCatalogue.h"
#include "OrinRobo/InterfaceVersion.h"

namespace {

struct Entry {
  std::optional<std::string> name;
  uint32_t version;
  int hasConfigure;
  std::string path;
};

bool SameText(const char* text, const std::optional<std::string>& expected) {
  return expected ? text != nullptr && *expected == text : text == nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  SetHostInterfaceVersion(4);
  uint32_t host = 4;
  DriverCatalogue catalogue;
  std::vector<Entry> model;
  while (input.remaining_bytes() > 0) {
    const int op = input.ConsumeIntegralInRange(0, 5);
    if (op == 0) {  // the host announces; values above 4 are ignored
      const uint32_t announced =
          input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 6) : input.ConsumeIntegral<uint32_t>();
      SetHostInterfaceVersion(announced);
      if (announced <= 4) host = announced;
      const uint32_t highest = input.ConsumeIntegral<uint32_t>();
      const uint32_t told = host <= 1 ? 2 : host == 2 ? 3 : host == 3 ? 4 : highest;
      FUZZ_CHECK(GetHostInterfaceVersion() == host && MapInterfaceVersion(highest) == told);
    } else if (op == 1) {
      catalogue.Clear();
      model.clear();
    } else {  // a library that discovery read
      static const char* const kNames[] = {"Robot A", "Robot B", "robot a", ""};
      const int pick = input.ConsumeIntegralInRange(0, 5);
      const std::string anyName = fuzz::ExactText(input.ConsumeRandomLengthString(16)).Str();
      std::optional<std::string> name;
      if (pick > 0) name = pick < 5 ? kNames[pick - 1] : anyName;
      const uint32_t version =
          input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 3) : input.ConsumeIntegral<uint32_t>();
      const uint32_t interfaceVersion = input.ConsumeIntegralInRange(0, 7);
      const int hasConfigure = input.ConsumeBool() ? 1 : 0;
      const std::string path = "C:\\drivers\\OR" + std::to_string(model.size()) + ".DLL";
      FUZZ_CHECK(IsKnownDriverInterfaceVersion(interfaceVersion) == (interfaceVersion <= 5));
      if (interfaceVersion > 5) continue;
      auto found =
          std::find_if(model.begin(), model.end(), [&](const Entry& e) { return name && e.name == name; });
      const bool newer = found == model.end() || version > found->version;
      FUZZ_CHECK(catalogue.Offer(name ? name->c_str() : nullptr, version, hasConfigure, path.c_str()) ==
                 newer);
      if (newer && found != model.end()) model.erase(found);
      if (newer) model.push_back({name, version, hasConfigure, path});
    }
    FUZZ_CHECK(catalogue.Count() == static_cast<int>(model.size()) && catalogue.Find(nullptr) == -1);
    for (int i = 0; i < catalogue.Count(); ++i) {
      CRoboDriverInfo& entry = *catalogue.At(i);
      FUZZ_CHECK(SameText(entry.GetDriverName(), model[i].name) &&
                 entry.GetDriverVersion() == model[i].version);
      FUZZ_CHECK(entry.HasConfigure() == model[i].hasConfigure &&
                 SameText(entry.GetDriverPath(), model[i].path));
      if (model[i].name) FUZZ_CHECK(catalogue.Find(model[i].name->c_str()) == i);
    }
  }
  return 0;
}
