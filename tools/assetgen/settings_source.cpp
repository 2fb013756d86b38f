// postavke.txt as shipped: every setting at the value the program starts with, so the file shows
// the user each key and its form without changing anything.
#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

std::string SettingsSource() {
  return "number_objects\n"
         "1\n"
         "number_objects_step\n"
         "2\n"
         "light_position\n"
         "0 0 10\n"
         "kAmbient\n"
         "0.1\n"
         "kDifuse\n"
         "1.0\n"
         "intensity_source\n"
         "1 0.7 0.7\n"
         "intensity_ambient\n"
         "0 0.5 0.5\n";
}

}  // namespace assetgen
