// Runs a fuzz harness over files without libFuzzer, so the committed corpus and every regression
// input are replayed by plain `ctest`, with whatever compiler and sanitizers the build uses.
// Arguments are files or directories (read one level deep); a missing directory counts as empty.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  // A copy the exact size of the input, so reading one byte past it is caught by ASan.
  std::vector<uint8_t> exact(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    std::error_code error;
    if (std::filesystem::is_directory(arg, error)) {
      std::vector<std::filesystem::path> entries;
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) entries.push_back(entry.path());
      std::sort(entries.begin(), entries.end());
      for (const auto& path : entries) {
        ok = RunFile(path) && ok;
        ++files;
      }
    } else if (std::filesystem::exists(arg, error)) {
      ok = RunFile(arg) && ok;
      ++files;
    }
  }
  // The harness aborts on any broken invariant, so reaching here means every input passed.
  std::printf("%d inputs replayed\n", files);
  return ok && files > 0 ? 0 : 1;
}
