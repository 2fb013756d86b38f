// tobrin-fxc: the effect compiler on the command line, for effect authors. Compiles an effect file
// of either language as the program does, prints its messages as "FILE(LINE): error: ...", and on
// request lists what it holds, writes each program's GLSL or the compiled effect's binary form, and
// draws with every pass in a GL context of its own (surfaceless EGL where the driver offers it, so
// no display is needed; a hidden window otherwise).
#include <epoxy/gl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "compiler/compile_effect.hpp"
#include "compiler/effect_binary.hpp"
#include "render/gfx/gl/effect_check.hpp"
#include "render/gfx/gl/effect_gl.hpp"
#include "render/gfx/gl/offscreen_gl.hpp"

namespace {

// Exit statuses.
constexpr int kBuilt = 0, kFailed = 1, kUsage = 2, kNoContext = 3;

int Usage() {
  std::fprintf(stderr,
               "usage: tobrin-fxc [--list] [--glsl DIR] [--out FILE] [--draw] FILE\n"
               "  Compiles the effect FILE (a D3D9 effect or our GLSL format) and prints its\n"
               "  errors and warnings. Exit status: 0 built, 1 the effect has errors, 2 bad\n"
               "  usage, 3 --draw found no OpenGL 3.3 context.\n"
               "  --list       the techniques and passes, parameters and samplers it declares\n"
               "  --glsl DIR   each program's stages as DIR/TECHNIQUE.PASS.vert and .frag\n"
               "  --out FILE   the compiled effect in its binary form\n"
               "  --draw       load it into OpenGL and draw with every pass, as the program's\n"
               "               check does; finds what only the driver finds\n");
  return kUsage;
}

const char* KindName(compiler::ParameterKind kind) {
  switch (kind) {
    case compiler::ParameterKind::Numeric: return "numeric";
    case compiler::ParameterKind::Matrix: return "matrix";
    case compiler::ParameterKind::Texture: return "texture";
  }
  return "?";
}

void List(const compiler::CompiledEffect& effect) {
  std::printf("%s: %s effect\n", effect.file.c_str(),
              effect.language == compiler::SourceLanguage::Hlsl ? "D3D9 (HLSL)" : "GLSL-format");
  for (const compiler::Technique& technique : effect.techniques) {
    std::printf("technique %s\n", technique.name.c_str());
    for (const compiler::Pass& pass : technique.passes) {
      std::printf("  pass %s: program %u, %zu render states", pass.name.c_str(), pass.program,
                  pass.states.size());
      if (!pass.stateValues.empty())
        std::printf(" (%zu evaluated when the pass begins)", pass.stateValues.size());
      if (!pass.programs.empty()) {
        std::vector<uint32_t> distinct(pass.programs);
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        std::printf(", %zu programs picked by index from %u vertex x %u pixel shaders",
                    distinct.size(), pass.vertexShaders, pass.pixelShaders);
      }
      std::printf("\n");
    }
  }
  for (const compiler::Parameter& p : effect.parameters) {
    std::printf("parameter %s: %s", p.name.c_str(), KindName(p.kind));
    if (p.kind != compiler::ParameterKind::Texture) std::printf(" %ux%u", p.rows, p.columns);
    if (p.elements) std::printf("[%u]", p.elements);
    if (!p.semantic.empty()) std::printf(" : %s", p.semantic.c_str());
    std::printf("\n");
    for (const compiler::Annotation& a : p.annotations)
      std::printf("  <%s %s = %s>\n", a.type.c_str(), a.name.c_str(), a.value.c_str());
  }
  for (const compiler::Sampler& s : effect.samplers)
    std::printf("sampler %s: texture %s\n", s.name.c_str(),
                s.texture >= 0 ? effect.parameters[s.texture].name.c_str() : "(none)");
}

// Names as files: what is not a letter, digit, '-' or '_' becomes '_'.
std::string FilePart(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
  return out.empty() ? "_" : out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file) return true;
  std::fprintf(stderr, "%s: error: cannot write the file\n", path.c_str());
  return false;
}

bool WriteGlsl(const compiler::CompiledEffect& effect, const std::string& folder) {
  for (const compiler::Technique& technique : effect.techniques)
    for (const compiler::Pass& pass : technique.passes) {
      const compiler::Program& program = effect.programs[pass.program];
      const std::string stem = folder + "/" + FilePart(technique.name) + "." + FilePart(pass.name);
      if (!WriteFile(stem + ".vert", program.vertex.glsl) ||
          !WriteFile(stem + ".frag", program.fragment.glsl))
        return false;
    }
  return true;
}

int Draw(const compiler::CompiledEffect& effect) {
  std::string how, why;
  if (!gfx::gl::MakeOffscreenContext(gfx::gl::OffscreenKind::Surfaceless, &how, &why)) {
    std::fprintf(stderr, "%s: cannot draw: %s\n", effect.file.c_str(), why.c_str());
    return kNoContext;
  }
  gfx::Effect* loaded = nullptr;
  std::string error;
  if (!gfx::gl::LoadCompiledEffect(effect, &loaded, &error)) {
    std::fputs(error.c_str(), stderr);
    return kFailed;
  }
  gfx::gl::DrawEveryPass(loaded);
  glFinish();
  size_t passes = 0;
  for (const compiler::Technique& technique : effect.techniques) passes += technique.passes.size();
  std::printf("%s: drew with %zu passes of %zu techniques (%s, %s)\n", effect.file.c_str(), passes,
              effect.techniques.size(), how.c_str(),
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  loaded->Release();
  return kBuilt;
}

}  // namespace

int main(int argc, char** argv) {
  bool list = false, draw = false;
  std::string glslFolder, outFile;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--list") {
      list = true;
    } else if (a == "--draw") {
      draw = true;
    } else if ((a == "--glsl" || a == "--out") && i + 1 < argc) {
      (a == "--glsl" ? glslFolder : outFile) = argv[++i];
    } else if (a == "--help" || a == "-h") {
      Usage();
      return kBuilt;
    } else if (!a.empty() && a[0] != '-' && !file) {
      file = argv[i];
    } else {
      return Usage();
    }
  }
  if (!file) return Usage();

  compiler::CompiledEffect effect;
  std::string error;
  if (compiler::CompileEffectFile(file, &effect, &error) != compiler::CompileResult::Compiled) {
    if (!error.empty() && error.back() != '\n') error += '\n';
    std::fputs(error.c_str(), stderr);
    return kFailed;
  }
  for (const std::string& warning : effect.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  if (list) List(effect);
  if (!glslFolder.empty() && !WriteGlsl(effect, glslFolder)) return kFailed;
  if (!outFile.empty() && !WriteFile(outFile, compiler::WriteCompiledEffect(effect)))
    return kFailed;
  if (draw) return Draw(effect);
  return kBuilt;
}
