// Fuzz harness for the compiled effect's binary form, which the program reads from its checking
// child: any bytes must be read back whole and valid, or refused with a reason; a form that reads
// back writes out as the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compiler/effect_binary.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  compiler::CompiledEffect effect;
  std::string why;
  if (!compiler::ReadCompiledEffect(bytes, &effect, &why)) {
    if (why.empty()) {
      std::fprintf(stderr, "a refusal without a reason\n");
      std::abort();
    }
    return 0;
  }
  if (!compiler::ValidateCompiledEffect(effect, &why) ||
      compiler::WriteCompiledEffect(effect) != bytes) {
    std::fprintf(stderr, "a form read back that is invalid or writes out differently: %s\n",
                 why.c_str());
    std::abort();
  }
  return 0;
}
