// HLSL to GLSL 3.30 through glslang and SPIRV-Cross, as libraries. The chain leaves the interface
// between stages to us: GLSL 3.30 matches varyings by name and type, HLSL by semantic alone, so
// every varying is renamed after its semantic and travels as a vec4; POSITION, DEPTH, VPOS and
// VFACE become the GL built-ins. Limits: no 1D samplers, no integer or matrix varyings.
#include "render/gfx/gl/hlsl_compile.hpp"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <cctype>
#include <memory>
#include <mutex>

namespace gfx::gl {
namespace {

// One SPIRV-Cross context per stage; everything it hands out dies with it.
struct Cross {
  spvc_context context = nullptr;
  ~Cross() {
    if (context) spvc_context_destroy(context);
  }
};

struct Varying {
  std::string name;      // the renamed variable
  std::string semantic;  // normal form
  uint32_t size = 4;     // components
};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

const char* VectorType(uint32_t size) {
  static const char* const names[] = {"float", "float", "vec2", "vec3", "vec4"};
  return names[size > 4 ? 4 : size];
}

// Pads a value of `size` components to vec4 the way unwritten output registers read: (0, 0, 0, 1).
std::string PadToVec4(const std::string& value, uint32_t size) {
  switch (size) {
    case 1: return "vec4(" + value + ", 0.0, 0.0, 1.0)";
    case 2: return "vec4(" + value + ", 0.0, 1.0)";
    case 3: return "vec4(" + value + ", 1.0)";
    default: return value;
  }
}

std::string Swizzle(uint32_t size) {
  static const char* const swizzles[] = {".x", ".x", ".xy", ".xyz", ""};
  return swizzles[size > 4 ? 4 : size];
}

// Replaces the declaration line of `name` (the line ending in " name;") with `replacement`.
bool ReplaceDeclaration(std::string* glsl, const std::string& name,
                        const std::string& replacement) {
  const std::string tail = " " + name + ";\n";
  const size_t at = glsl->find(tail);
  if (at == std::string::npos) return false;
  const size_t begin = glsl->rfind('\n', at);
  const size_t start = begin == std::string::npos ? 0 : begin + 1;
  glsl->replace(start, at + tail.size() - start, replacement + "\n");
  return true;
}

std::once_flag glslangStarted;

}  // namespace

std::string GlslSamplerName(uint32_t unit) { return "tobrin_s" + std::to_string(unit); }

std::string NormalSemantic(const std::string& semantic) {
  std::string normal;
  for (char c : semantic) normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (StartsWith(normal, "SV_")) {
    // Shader model 4 names some compilers accept in shader model 3 code.
    if (normal == "SV_POSITION") normal = "POSITION";
    if (StartsWith(normal, "SV_TARGET")) normal = "COLOR" + normal.substr(9);
    if (normal == "SV_DEPTH") normal = "DEPTH";
  }
  if (normal.empty() || !std::isdigit(static_cast<unsigned char>(normal.back()))) normal += "0";
  return normal;
}

bool CompileHlslStage(const HlslRequest& request, HlslStageCode* out, std::string* log) {
  std::call_once(glslangStarted, [] { glslang::InitializeProcess(); });
  const bool vertex = request.stage == HlslStage::Vertex;
  const EShLanguage language = vertex ? EShLangVertex : EShLangFragment;
  // DX9-compatible mode reads sampler2D/tex2D and the shader model 3 semantics; legalization
  // lets the optimizer resolve what HLSL allows and SPIR-V does not (samplers in locals, structs).
  const EShMessages messages =
      static_cast<EShMessages>(EShMsgReadHlsl | EShMsgHlslDX9Compatible | EShMsgHlslLegalization |
                               EShMsgSpvRules | EShMsgVulkanRules | EShMsgSuppressWarnings);
  glslang::TShader shader(language);
  const char* text = request.source->c_str();
  const int length = static_cast<int>(request.source->size());
  shader.setStringsWithLengths(&text, &length, 1);
  shader.setEntryPoint(request.entry.c_str());
  shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
  shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
  shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
  shader.setEnvTargetHlslFunctionality1();  // keeps the semantics as decorations
  shader.setAutoMapBindings(true);
  shader.setAutoMapLocations(true);
  if (!shader.parse(GetDefaultResources(), 100, false, messages)) {
    *log = shader.getInfoLog();
    return false;
  }
  glslang::TProgram program;
  program.addShader(&shader);
  if (!program.link(messages) || !program.mapIO()) {
    *log = program.getInfoLog();
    return false;
  }
  std::vector<unsigned> spirv;
  spv::SpvBuildLogger spvLog;
  glslang::SpvOptions options;
  options.disableOptimizer = false;  // the legalization passes
  glslang::GlslangToSpv(*program.getIntermediate(language), spirv, &spvLog, &options);
  if (spirv.empty()) {
    *log = "error: no SPIR-V was generated " + spvLog.getAllMessages();
    return false;
  }

  Cross cross;
  spvc_parsed_ir ir = nullptr;
  spvc_compiler compiler = nullptr;
  spvc_compiler_options glslOptions = nullptr;
  const auto crossFailed = [&](const char* what) {
    *log = std::string("error: ") + what + ": " +
           (cross.context ? spvc_context_get_last_error_string(cross.context) : "no context");
    return false;
  };
  if (spvc_context_create(&cross.context) != SPVC_SUCCESS) return crossFailed("SPIRV-Cross");
  if (spvc_context_parse_spirv(cross.context, spirv.data(), spirv.size(), &ir) != SPVC_SUCCESS ||
      spvc_context_create_compiler(cross.context, SPVC_BACKEND_GLSL, ir,
                                   SPVC_CAPTURE_MODE_TAKE_OWNERSHIP, &compiler) != SPVC_SUCCESS ||
      spvc_compiler_create_compiler_options(compiler, &glslOptions) != SPVC_SUCCESS)
    return crossFailed("reading the SPIR-V");
  spvc_compiler_options_set_uint(glslOptions, SPVC_COMPILER_OPTION_GLSL_VERSION, 330);
  spvc_compiler_options_set_bool(glslOptions, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
  spvc_compiler_options_set_bool(glslOptions, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION,
                                 SPVC_FALSE);
  spvc_compiler_install_compiler_options(compiler, glslOptions);

  spvc_resources resources = nullptr;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS)
    return crossFailed("reflecting the SPIR-V");
  const spvc_reflected_resource* list = nullptr;
  size_t count = 0;
  const auto resourcesOf = [&](spvc_resource_type type) {
    list = nullptr;
    count = 0;
    spvc_resources_get_resource_list_for_type(resources, type, &list, &count);
  };
  const auto semanticOf = [&](spvc_variable_id id) {
    const char* semantic =
        spvc_compiler_get_decoration_string(compiler, id, SpvDecorationUserSemantic);
    return NormalSemantic(semantic ? semantic : "");
  };
  const auto componentsOf = [&](spvc_type_id type) {
    return spvc_type_get_vector_size(spvc_compiler_get_type_handle(compiler, type));
  };
  const auto isFloatVector = [&](spvc_type_id id) {
    const spvc_type type = spvc_compiler_get_type_handle(compiler, id);
    return spvc_type_get_basetype(type) == SPVC_BASETYPE_FP32 && spvc_type_get_columns(type) == 1 &&
           spvc_type_get_num_array_dimensions(type) == 0;
  };
  std::string problems;
  *out = HlslStageCode{};

  // Inputs: vertex inputs by semantic to the mesh's attribute locations; pixel inputs renamed.
  std::vector<Varying> inputs;
  std::string vpos, vface;
  resourcesOf(SPVC_RESOURCE_TYPE_STAGE_INPUT);
  uint32_t nextLocation = 3;
  for (size_t i = 0; i < count; ++i) {
    const std::string semantic = semanticOf(list[i].id);
    if (vertex) {
      uint32_t location = 0;
      if (StartsWith(semantic, "POSITION")) {
        location = 0;
      } else if (semantic == "NORMAL0") {
        location = 1;
      } else if (semantic == "TEXCOORD0") {
        location = 2;
      } else {
        location = nextLocation;
        nextLocation +=
            spvc_type_get_columns(spvc_compiler_get_type_handle(compiler, list[i].type_id));
        out->defaultInputs.push_back({semantic, location});
      }
      spvc_compiler_set_decoration(compiler, list[i].id, SpvDecorationLocation, location);
      continue;
    }
    const std::string name = "tobrin_in_" + semantic;
    if (semantic == "VPOS0") {
      vpos = name;
    } else if (semantic == "VFACE0") {
      vface = name;
    } else if (!isFloatVector(list[i].type_id)) {
      problems += "error: pixel input '" + std::string(list[i].name) + "' (" + semantic +
                  ") is not a float vector\n";
    }
    inputs.push_back({name, semantic, componentsOf(list[i].type_id)});
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
  }
  if (vertex && nextLocation > 16)
    problems += "error: the vertex stage reads more than 16 inputs\n";

  // Outputs: vertex outputs become private variables copied to the varyings at the end of main;
  // pixel colours go to their draw buffers.
  std::vector<Varying> outputs;
  std::string depth;
  resourcesOf(SPVC_RESOURCE_TYPE_STAGE_OUTPUT);
  for (size_t i = 0; i < count; ++i) {
    const std::string semantic = semanticOf(list[i].id);
    if (vertex) {
      if (!isFloatVector(list[i].type_id))
        problems += "error: vertex output '" + std::string(list[i].name) + "' (" + semantic +
                    ") is not a float vector\n";
      const std::string name = "tobrin_out_" + semantic;
      outputs.push_back({name, semantic, componentsOf(list[i].type_id)});
      spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    } else if (StartsWith(semantic, "COLOR")) {
      const std::string name = "tobrin_out_" + semantic;
      spvc_compiler_set_decoration(compiler, list[i].id, SpvDecorationLocation,
                                   static_cast<unsigned>(std::stoul(semantic.substr(5))));
      spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    } else if (semantic == "DEPTH0") {
      depth = "tobrin_out_DEPTH0";
      spvc_compiler_set_name(compiler, list[i].id, depth.c_str());
    } else {
      problems += "error: pixel output '" + std::string(list[i].name) + "' has semantic " +
                  semantic + "; only COLORn and DEPTH are written\n";
    }
  }

  // The globals' block, renamed so the two stages of a program hold distinct blocks.
  resourcesOf(SPVC_RESOURCE_TYPE_UNIFORM_BUFFER);
  if (count > 1) problems += "error: constant buffers other than the globals are not supported\n";
  if (count == 1) {
    const spvc_reflected_resource& block = list[0];
    out->blockName = request.blockName;
    spvc_compiler_set_name(compiler, block.base_type_id, request.blockName.c_str());
    spvc_compiler_set_name(compiler, block.id, (request.blockName + "_values").c_str());
    const spvc_type type = spvc_compiler_get_type_handle(compiler, block.base_type_id);
    size_t size = 0;
    spvc_compiler_get_declared_struct_size(compiler, type, &size);
    out->blockSize = static_cast<uint32_t>(size);
    const unsigned members = spvc_type_get_num_member_types(type);
    for (unsigned m = 0; m < members; ++m) {
      const spvc_type memberType =
          spvc_compiler_get_type_handle(compiler, spvc_type_get_member_type(type, m));
      HlslMember member;
      const char* name = spvc_compiler_get_member_name(compiler, block.base_type_id, m);
      member.name = name ? name : "";
      switch (spvc_type_get_basetype(memberType)) {
        case SPVC_BASETYPE_FP32: member.scalar = HlslScalar::Float; break;
        case SPVC_BASETYPE_INT32: member.scalar = HlslScalar::Int; break;
        case SPVC_BASETYPE_UINT32:
        case SPVC_BASETYPE_BOOLEAN: member.scalar = HlslScalar::Bool; break;
        default: continue;  // structs and the rest keep zero: the effect does not set them
      }
      unsigned offset = 0;
      spvc_compiler_type_struct_member_offset(compiler, type, m, &offset);
      member.offset = offset;
      const unsigned dimensions = spvc_type_get_num_array_dimensions(memberType);
      if (dimensions > 1) continue;
      if (dimensions == 1) {
        member.elements = spvc_type_get_array_dimension(memberType, 0);
        unsigned stride = 0;
        spvc_compiler_type_struct_member_array_stride(compiler, type, m, &stride);
        member.arrayStride = stride;
      }
      const unsigned columns = spvc_type_get_columns(memberType);
      const unsigned size4 = spvc_type_get_vector_size(memberType);
      if (columns > 1) {
        // glslang holds HLSL row i as SPIR-V column i, so mul(v, M) becomes M * v.
        unsigned stride = 0;
        spvc_compiler_type_struct_member_matrix_stride(compiler, type, m, &stride);
        const bool rowMajor = spvc_compiler_has_member_decoration(compiler, block.base_type_id, m,
                                                                  SpvDecorationRowMajor);
        member.rows = columns;
        member.columns = size4;
        member.rowStride = rowMajor ? 4 : stride;
        member.columnStride = rowMajor ? stride : 4;
      } else {
        member.rows = 1;
        member.columns = size4;
        member.rowStride = 16;
        member.columnStride = 4;
      }
      out->members.push_back(member);
    }
  }

  // Samplers read through the unit the effect gives them; the uniform is named after the unit.
  resourcesOf(SPVC_RESOURCE_TYPE_SAMPLED_IMAGE);
  for (size_t i = 0; i < count; ++i) {
    const std::string name = list[i].name;
    const int unit = request.samplerUnit ? request.samplerUnit(name) : -1;
    if (unit < 0) {
      problems += "error: sampler '" + name + "' is not a sampler of the effect\n";
      continue;
    }
    HlslSampler sampler{name, static_cast<uint32_t>(unit), HlslSamplerKind::Tex2D};
    switch (
        spvc_type_get_image_dimension(spvc_compiler_get_type_handle(compiler, list[i].type_id))) {
      case SpvDim2D: break;
      case SpvDimCube: sampler.kind = HlslSamplerKind::Cube; break;
      case SpvDim3D: sampler.kind = HlslSamplerKind::Tex3D; break;
      default: problems += "error: sampler '" + name + "' is not 2D, cube or 3D\n"; continue;
    }
    spvc_compiler_set_name(compiler, list[i].id, GlslSamplerName(sampler.unit).c_str());
    out->samplers.push_back(sampler);
  }
  resourcesOf(SPVC_RESOURCE_TYPE_SEPARATE_IMAGE);
  if (count) problems += "error: textures without samplers are not supported\n";
  if (!problems.empty()) {
    *log = problems;
    return false;
  }

  const char* glsl = nullptr;
  if (spvc_compiler_compile(compiler, &glsl) != SPVC_SUCCESS) return crossFailed("writing GLSL");
  std::string code = glsl;

  bool edited = true;
  std::string epilogue;
  if (vertex) {
    for (const Varying& output : outputs) {
      const std::string local = std::string(VectorType(output.size)) + " " + output.name + ";";
      edited = edited && ReplaceDeclaration(&code, output.name, local);
      if (output.semantic == "POSITION0") {
        epilogue += "  gl_Position = " + PadToVec4(output.name, output.size) + ";\n";
      } else if (StartsWith(output.semantic, "PSIZE") || StartsWith(output.semantic, "FOG")) {
        // Point size and fog have no fixed-function stage to feed here.
      } else {
        const std::string varying = "tobrin_v_" + output.semantic;
        code = "out vec4 " + varying + ";\n" + code;
        epilogue += "  " + varying + " = " + PadToVec4(output.name, output.size) + ";\n";
      }
    }
  } else {
    for (const Varying& input : inputs) {
      std::string value;
      if (input.name == vpos) {
        // Pixel centres at whole numbers, counted from the top, as the original rasterizer has
        // them.
        value = "vec4(gl_FragCoord.x - 0.5, " + std::string(kTargetHeightUniform) +
                " - gl_FragCoord.y - 0.5, 0.0, 0.0)" + Swizzle(input.size);
        out->readsVpos = true;
      } else if (input.name == vface) {
        // Clockwise on screen faces the viewer on the original platform; the effect sets
        // glFrontFace(GL_CW) for its passes.
        value = "(gl_FrontFacing ? 1.0 : -1.0)";
      } else {
        const std::string varying = "tobrin_v_" + input.semantic;
        code = "in vec4 " + varying + ";\n" + code;
        value = varying + Swizzle(input.size);
      }
      edited = edited &&
               ReplaceDeclaration(&code, input.name, "#define " + input.name + " (" + value + ")");
    }
    if (out->readsVpos) code = "uniform float " + std::string(kTargetHeightUniform) + ";\n" + code;
    if (!depth.empty())
      edited = edited && ReplaceDeclaration(&code, depth, "#define " + depth + " gl_FragDepth");
    epilogue += std::string("  ") + kAlphaTestMarker + "\n";
  }
  const size_t main = code.find("\nvoid main()\n");
  if (!edited || main == std::string::npos) {
    *log = "error: the generated GLSL has an unexpected shape";
    return false;
  }
  code.replace(main, 13, "\nvoid tobrin_main()\n");
  code += "void main()\n{\n  tobrin_main();\n" + epilogue + "}\n";
  // The declarations put in front must follow the #version line.
  const size_t version = code.find("#version 330\n");
  if (version != 0) {
    const size_t at = code.find("#version 330\n");
    if (at == std::string::npos) {
      *log = "error: the generated GLSL has no version line";
      return false;
    }
    code.erase(at, 13);
    code = "#version 330\n" + code;
  }
  out->glsl = std::move(code);
  return true;
}

}  // namespace gfx::gl
