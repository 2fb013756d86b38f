// Our GLSL effect format: every stage gets the parameters as one std140 uniform block (so the
// layout is known without a driver), the samplers, the vertex inputs, the common block and its
// body, each declaration with the #line of the effect file that declared it, so a driver's message
// about a clash (a GLSL keyword used as a parameter name) is placed at the declaration.
#include <algorithm>
#include <utility>

#include "compiler/compile_effect.hpp"
#include "compiler/pass_states.hpp"

namespace compiler {
namespace {

using namespace formats;

constexpr const char* kBlockName = "tobrin_globals";

const char* GlslType(ParamType type) {
  switch (type) {
    case ParamType::Float: return "float";
    case ParamType::Float2: return "vec2";
    case ParamType::Float3: return "vec3";
    case ParamType::Float4: return "vec4";
    case ParamType::Float4x4: return "mat4";
    case ParamType::Texture: break;
  }
  return nullptr;
}

// std140: scalars align to 4, two-vectors to 8, three- and four-vectors and matrix columns to 16.
// A matrix's 16 floats are GLSL's columns, the program's rows: the program's row-major matrix with
// row vectors is GLSL's column-major one with column vectors, M * v.
Block ParameterBlock(const EffectDescription& description, std::string* declaration) {
  Block block;
  block.name = kBlockName;
  uint32_t offset = 0;
  std::string text;
  for (uint32_t i = 0; i < description.parameters.size(); ++i) {
    const EffectParameter& parameter = description.parameters[i];
    if (parameter.type == ParamType::Texture) continue;
    const uint32_t floats = FloatCount(parameter.type);
    const uint32_t align = floats == 1 ? 4 : floats == 2 ? 8 : 16;
    offset = (offset + align - 1) / align * align;
    BlockMember member;
    member.parameter = i;
    member.offset = offset;
    member.columnStride = 4;
    if (parameter.type == ParamType::Float4x4) {
      member.rows = member.columns = 4;
      member.rowStride = 16;
    } else {
      member.columns = floats;
    }
    block.members.push_back(member);
    offset += parameter.type == ParamType::Float4x4 ? 64 : floats * 4;
    text += "#line " + std::to_string(parameter.line) + "\n  " + GlslType(parameter.type) + " " +
            parameter.name + ";\n";
  }
  block.size = (offset + 15) / 16 * 16;
  if (!block.members.empty())
    *declaration = "layout(std140) uniform " + std::string(kBlockName) + " {\n" + text + "};\n";
  return block;
}

std::string StageSource(const EffectDescription& description, const std::string& block,
                        const EffectShader& shader) {
  std::string source = "#version 330 core\n" + block;
  for (const EffectSampler& sampler : description.samplers)
    source +=
        "#line " + std::to_string(sampler.line) + "\nuniform sampler2D " + sampler.name + ";\n";
  if (shader.stage == ShaderStage::Vertex)
    source += "#line " + std::to_string(shader.line) +
              "\nlayout(location = 0) in vec3 inPosition;\n"
              "layout(location = 1) in vec3 inNormal;\n"
              "layout(location = 2) in vec2 inTexCoord;\n";
  if (description.hasCommon)
    source += "#line " + std::to_string(description.commonLine) + "\n" + description.common + "\n";
  source += "#line " + std::to_string(shader.bodyLine) + "\n" + shader.body + "\n";
  return source;
}

}  // namespace

bool CompileGlslEffect(const std::string& label, const EffectDescription& description,
                       CompiledEffect* out, std::string* error) {
  CompiledEffect effect;
  effect.language = SourceLanguage::Glsl;
  effect.file = label;
  for (const EffectParameter& source : description.parameters) {
    Parameter parameter;
    parameter.name = source.name;
    if (source.type == ParamType::Texture) {
      parameter.kind = ParameterKind::Texture;
    } else {
      const bool matrix = source.type == ParamType::Float4x4;
      parameter.kind = matrix ? ParameterKind::Matrix : ParameterKind::Numeric;
      parameter.rows = matrix ? 4 : 1;
      parameter.columns = matrix ? 4 : FloatCount(source.type);
      parameter.value.assign(source.value, source.value + FloatCount(source.type));
    }
    effect.parameters.push_back(std::move(parameter));
  }

  SamplerSet own;
  for (uint32_t s = 0; s < description.samplers.size(); ++s) {
    const EffectSampler& source = description.samplers[s];
    Sampler sampler;
    sampler.name = source.name;
    sampler.texture = static_cast<int32_t>(source.texture);
    sampler.states = EffectSamplerStates(source);
    own.source.push_back(s);
    own.states.push_back(sampler.states);
    effect.samplers.push_back(std::move(sampler));
  }
  effect.samplerSets.push_back(std::move(own));

  std::string blockText;
  const Block block = ParameterBlock(description, &blockText);

  // Only the stages some pass uses, each pair of them one program.
  std::vector<bool> used(description.shaders.size(), false);
  for (const EffectTechnique& technique : description.techniques)
    for (const EffectPass& pass : technique.passes)
      used[pass.vertexShader] = used[pass.fragmentShader] = true;
  size_t generated = 0;
  for (size_t i = 0; i < description.shaders.size(); ++i)
    if (used[i])
      generated += 256 + blockText.size() + description.common.size() +
                   description.shaders[i].body.size() + 32 * description.samplers.size();
  if (generated > kMaxGeneratedShaderBytes) {
    *error = TooMuchShaderText(label);
    return false;
  }

  const auto stageOf = [&](uint32_t index) {
    const EffectShader& shader = description.shaders[index];
    Stage stage;
    stage.origin = StageOrigin::EffectGlsl;
    stage.glsl = StageSource(description, blockText, shader);
    stage.file = label;
    stage.line = shader.line;
    stage.place = label + "(" + std::to_string(shader.line) + ")";
    stage.context = "shader '" + shader.name + "'";
    stage.fileLines = true;
    return stage;
  };
  std::vector<std::pair<uint32_t, uint32_t>> linked;  // stage pairs, parallel to programs
  for (const EffectTechnique& source : description.techniques) {
    Technique technique;
    technique.name = source.name;
    for (const EffectPass& pass : source.passes) {
      const std::pair<uint32_t, uint32_t> stages{pass.vertexShader, pass.fragmentShader};
      const auto found = std::find(linked.begin(), linked.end(), stages);
      Pass compiled;
      compiled.name = pass.name;
      compiled.program = static_cast<uint32_t>(found - linked.begin());
      compiled.frontFace =
          (pass.stateMask & kStateCull) ? FrontFace::CounterClockwise : FrontFace::Unchanged;
      compiled.states = EffectPassStates(pass);
      technique.passes.push_back(std::move(compiled));
      if (found != linked.end()) continue;
      linked.push_back(stages);
      Program program;
      program.vertex = stageOf(pass.vertexShader);
      program.fragment = stageOf(pass.fragmentShader);
      if (!block.members.empty()) program.blocks.push_back(block);
      for (uint32_t s = 0; s < description.samplers.size(); ++s)
        program.samplers.push_back({description.samplers[s].name, s});
      program.line = pass.line;
      program.place = label + "(" + std::to_string(pass.line) + ")";
      program.context = "pass '" + pass.name + "' of technique '" + source.name + "'";
      effect.programs.push_back(std::move(program));
    }
    effect.techniques.push_back(std::move(technique));
  }
  *out = std::move(effect);
  return true;
}

}  // namespace compiler
