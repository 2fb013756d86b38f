// Fuzz harness for the settings reader: any bytes as "postavke.txt". The reader must never throw,
// must keep the counts within their bounds, and must never store a value that is not finite.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/app_state.hpp"
#include "settings/settings.hpp"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "settings invariant broken: %s\n", what);
  std::abort();
}

void CheckFinite(const float* values, int count, const char* what) {
  for (int i = 0; i < count; ++i) Check(std::isfinite(values[i]), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SceneSettings = kInitialSceneSettings;
  // Binary mode, as the file is opened on this system: every byte reaches the reader unchanged.
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size),
                        std::ios::in | std::ios::binary);
  ReadSettings(in);
  const SceneSettingsRecord& s = SceneSettings;
  Check(s.number_objects >= 1 && s.number_objects <= 50, "number_objects within 1..50");
  Check(s.number_objects_step >= 1 && s.number_objects_step <= 10,
        "number_objects_step within 1..10");
  CheckFinite(s.light_position, 3, "light_position finite");
  CheckFinite(&s.kAmbient, 1, "kAmbient finite");
  CheckFinite(&s.kDifuse, 1, "kDifuse finite");
  CheckFinite(s.intensity_source, 3, "intensity_source finite");
  CheckFinite(s.intensity_ambient, 3, "intensity_ambient finite");
  return 0;
}
