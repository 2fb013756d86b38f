// TEMPORARY stand-in for the D3D9 effect reader (formats/fx_effect.hpp) until it lands: no file is
// taken for a D3D9 effect yet. Delete this file when the reader is merged.
#include "formats/fx_effect.hpp"

namespace formats {

bool IsFxEffect(const char*, size_t) { return false; }

bool PreprocessFx(const std::string& fileLabel, const std::string&, const FxIncludeReader&,
                  FxPreprocessed*, std::string* error) {
  *error = fileLabel + ": error: D3D9 effect files are not read yet";
  return false;
}

bool ParseFx(const FxPreprocessed& source, FxEffect*, std::string* error) {
  *error = (source.files.empty() ? std::string("effect") : source.files[0]) +
           ": error: D3D9 effect files are not read yet";
  return false;
}

}  // namespace formats
