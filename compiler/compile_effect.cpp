// Reading an effect file and handing it to the compiler of its language.
#include "compiler/compile_effect.hpp"

#include "compiler/hlsl_compile.hpp"
#include "formats/file_names.hpp"

namespace compiler {

std::string TooMuchShaderText(const std::string& label) {
  return label + ": error: the effect's generated shader text would exceed " +
         std::to_string(kMaxGeneratedShaderBytes) + " bytes\n";
}

void WarmCompiler() { WarmHlslCompiler(); }

CompileResult CompileEffectFile(const char* fileName, CompiledEffect* out, std::string* error) {
  using namespace formats;
  // Messages name the file as opened, the same spelling the rest of the program reports.
  const std::string path = NativeFileName(fileName);
  std::string text, why;
  if (!ReadWholeFile(fileName, kMaxEffectFileBytes, &text, &why)) {
    *error = path + ": error: could not open the effect file (" + why + ")";
    return CompileResult::FileMissing;
  }
  if (IsFxEffect(text.data(), text.size())) {
    FxPreprocessed preprocessed;
    FxEffect fx;  // ParseFx fills it whole, its own copy of the text included
    if (!PreprocessFx(path, text, MakeFolderIncludeReader(path), &preprocessed, error) ||
        !ParseFx(preprocessed, &fx, error) || !CompileFxEffect(path, fx, out, error))
      return CompileResult::Failed;
    return CompileResult::Compiled;
  }
  EffectDescription description;
  if (!ParseEffect(path.c_str(), text.data(), text.size(), &description, error) ||
      !CompileGlslEffect(path, description, out, error))
    return CompileResult::Failed;
  return CompileResult::Compiled;
}

}  // namespace compiler
