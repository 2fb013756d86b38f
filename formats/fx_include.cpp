// The include reader of effect files: names as the original platform writes them (backslashes,
// any case) found on this system's disk. Portable: std::filesystem for the one directory listing
// the case-insensitive fallback needs; files are read by formats/file_names.hpp.
#include <cctype>
#include <filesystem>
#include <system_error>

#include "formats/file_names.hpp"
#include "formats/fx_effect.hpp"
#include "formats/fx_states.hpp"

namespace formats {
namespace {

constexpr size_t kMaxIncludeFileBytes = 1u << 20;

// Folder of a file name, with its trailing separator; empty for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path with each missing part replaced by the one entry of its folder that matches it
// ignoring case; empty when some part has no match. Only a name written with the wrong case
// pays for the listing.
std::string MatchIgnoringCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::string native = NativeFileName(path.c_str());
  std::string resolved;
  size_t start = 0;
  if (!native.empty() && native[0] == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= native.size()) {
    size_t end = native.find('/', start);
    if (end == std::string::npos) end = native.size();
    const std::string part = native.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == "." || part == "..") {
      if (!part.empty()) resolved += part + "/";
      continue;
    }
    std::error_code ec;
    const std::string here = resolved + part;
    if (!fs::exists(here, ec)) {
      bool found = false;
      for (fs::directory_iterator it(resolved.empty() ? "." : resolved, ec), last;
           !ec && it != last; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (FxEqualIgnoringCase(entry, part)) {
          resolved += entry;
          found = true;
          break;
        }
      }
      if (!found) return std::string();
    } else {
      resolved = here;
    }
    if (end < native.size()) resolved += "/";
  }
  return resolved;
}

bool IsAbsolute(const std::string& name) {
  return (!name.empty() && (name[0] == '/' || name[0] == '\\')) ||
         (name.size() > 1 && name[1] == ':');
}

}  // namespace

FxIncludeReader MakeFolderIncludeReader(const std::string& effectPath) {
  const std::string effectFolder = FolderOf(effectPath);
  return [effectFolder](const std::string& name, bool, const std::string& from, std::string* bytes,
                        std::string* label, std::string* why) {
    std::vector<std::string> candidates;
    if (IsAbsolute(name)) {
      candidates.push_back(name);
    } else {
      candidates.push_back(FolderOf(from) + name);
      if (FolderOf(from) != effectFolder) candidates.push_back(effectFolder + name);
    }
    std::string firstWhy;
    for (const std::string& candidate : candidates) {
      if (ReadWholeFile(candidate.c_str(), kMaxIncludeFileBytes, bytes, why)) {
        *label = candidate;
        return true;
      }
      if (firstWhy.empty()) firstWhy = *why;
      if (*why != "file not found") return false;  // there, but unreadable: say so
      const std::string matched = MatchIgnoringCase(candidate);
      if (!matched.empty() && ReadWholeFile(matched.c_str(), kMaxIncludeFileBytes, bytes, why)) {
        *label = matched;
        return true;
      }
    }
    *why = firstWhy;
    return false;
  };
}

}  // namespace formats
