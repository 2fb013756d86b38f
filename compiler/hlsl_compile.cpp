// HLSL to GLSL 3.30 through glslang and SPIRV-Cross, as libraries. The chain leaves the interface
// between stages to us: GLSL 3.30 matches varyings by name and type, HLSL by semantic alone, so
// every varying is renamed after its semantic and travels as a vec4; POSITION, DEPTH, VPOS and
// VFACE become the GL built-ins. Limits: no 1D samplers, no integer or matrix varyings.
#include "compiler/hlsl_compile.hpp"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <mutex>

#include "compiler/hlsl_source.hpp"

namespace compiler {
namespace {

// One SPIRV-Cross context per stage; everything it hands out dies with it.
struct Cross {
  spvc_context context = nullptr;
  ~Cross() {
    if (context) spvc_context_destroy(context);
  }
};

struct Varying {
  std::string name;       // the renamed variable
  std::string semantic;   // normal form
  uint32_t size = 4;      // components
  uint32_t elements = 0;  // an array takes this many registers from its semantic's index on
  bool matrix = false;    // a matrix takes a register per row, `elements` of them
};

// The number a semantic ends in; semantics come from the file, so no digit string may throw.
uint32_t SemanticIndex(const std::string& digits) {
  uint32_t n = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return UINT32_MAX;
    n = n > 100000 ? 100000 : n * 10 + static_cast<uint32_t>(c - '0');
  }
  return digits.empty() ? UINT32_MAX : n;
}

// The semantic of element k of an array varying: TEXCOORD1 is followed by TEXCOORD2, TEXCOORD3...
std::string SemanticOfElement(const std::string& semantic, uint32_t k) {
  size_t digits = semantic.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(semantic[digits - 1]))) --digits;
  const uint32_t index = SemanticIndex(semantic.substr(digits));
  return semantic.substr(0, digits) + std::to_string((index == UINT32_MAX ? 0 : index) + k);
}

// "NAME" or "NAME[k]".
std::string Element(const Varying& v, uint32_t k) {
  return v.elements ? v.name + "[" + std::to_string(k) + "]" : v.name;
}

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

// Replaces the declaration of `name` at file scope (a line of its own, unindented, ending in
// " name;" or " name[N];") with `replacement`. Uses inside functions are indented and left alone.
bool ReplaceDeclaration(std::string* glsl, const std::string& name,
                        const std::string& replacement) {
  size_t start = 0;
  while (start < glsl->size()) {
    size_t end = glsl->find('\n', start);
    if (end == std::string::npos) end = glsl->size();
    const std::string line = glsl->substr(start, end - start);
    const bool global = !line.empty() && line[0] != ' ' && line[0] != '\t';
    const size_t at = line.find(" " + name);
    if (global && at != std::string::npos && line.back() == ';') {
      const char next = line[at + 1 + name.size()];
      if (next == ';' || next == '[') {
        glsl->replace(start, end - start, replacement);
        return true;
      }
    }
    start = end + 1;
  }
  return false;
}

std::once_flag glslangStarted;

}  // namespace

std::string GlslSamplerName(uint32_t unit) { return "tobrin_s" + std::to_string(unit); }

std::string NormalSemantic(const std::string& semantic) {
  std::string normal;
  for (char c : semantic) normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Written so by RenameBuiltinSemantics, so glslang leaves them to us.
  if (normal == "TOBRIN_VPOS") normal = "VPOS";
  if (normal == "TOBRIN_VFACE") normal = "VFACE";
  if (StartsWith(normal, "SV_")) {
    // Shader model 4 names some compilers accept in shader model 3 code.
    if (normal == "SV_POSITION") normal = "POSITION";
    if (StartsWith(normal, "SV_TARGET")) normal = "COLOR" + normal.substr(9);
    if (normal == "SV_DEPTH") normal = "DEPTH";
  }
  if (normal.empty() || !std::isdigit(static_cast<unsigned char>(normal.back()))) normal += "0";
  return normal;
}

// glslang builds its tables of HLSL built-ins on a process's first compile, about 20-30 ms, the
// same for every effect: the checker started ahead pays that while it waits.
void WarmHlslCompiler() {
  const std::string text = kPassThroughVertexShader;
  HlslRequest request;
  request.stage = HlslStage::Vertex;
  request.source = &text;
  request.entry = kPassThroughEntry;
  request.blockName = "tobrin_warming";
  request.samplerUnit = [](const std::string&) { return -1; };
  HlslStageCode code;
  std::string log;
  CompileHlslStage(request, &code, &log);
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
  // glslang flattens an array in a struct into variables "s.a[0]", "s.a[1]"... that all carry the
  // array's semantic; element k takes the register k after it.
  const auto semanticOf = [&](const spvc_reflected_resource& resource) {
    const char* semantic =
        spvc_compiler_get_decoration_string(compiler, resource.id, SpvDecorationUserSemantic);
    const std::string normal = NormalSemantic(semantic ? semantic : "");
    const std::string name = resource.name ? resource.name : "";
    const size_t open = name.rfind('[');  // glslang writes "s.a[1]"
    if (name.empty() || name.back() != ']' || open == std::string::npos || open + 2 >= name.size())
      return normal;
    const std::string index = name.substr(open + 1, name.size() - open - 2);
    if (index.find_first_not_of("0123456789") != std::string::npos) return normal;
    const uint32_t element = SemanticIndex(index);
    return element > 64 ? normal : SemanticOfElement(normal, element);
  };
  const auto componentsOf = [&](spvc_type_id type) {
    return spvc_type_get_vector_size(spvc_compiler_get_type_handle(compiler, type));
  };
  // Float vectors, arrays of them, or matrices, which all take consecutive registers. A matrix
  // (a tangent frame, say) takes one per HLSL row, and glslang holds HLSL row i as SPIR-V column i.
  const auto isFloatVector = [&](spvc_type_id id) {
    const spvc_type type = spvc_compiler_get_type_handle(compiler, id);
    if (spvc_type_get_basetype(type) != SPVC_BASETYPE_FP32) return false;
    const unsigned dimensions = spvc_type_get_num_array_dimensions(type);
    if (spvc_type_get_columns(type) == 1) return dimensions <= 1;
    return dimensions == 0 && spvc_type_get_vector_size(type) >= 2;
  };
  const auto isMatrix = [&](spvc_type_id id) {
    return spvc_type_get_columns(spvc_compiler_get_type_handle(compiler, id)) > 1;
  };
  const auto elementsOf = [&](spvc_type_id id) -> uint32_t {
    const spvc_type type = spvc_compiler_get_type_handle(compiler, id);
    if (spvc_type_get_columns(type) > 1) return spvc_type_get_columns(type);
    return spvc_type_get_num_array_dimensions(type) == 1 ? spvc_type_get_array_dimension(type, 0)
                                                         : 0;
  };
  std::string problems;
  *out = HlslStageCode{};

  // Inputs: vertex inputs by semantic to the mesh's attribute locations; pixel inputs renamed.
  std::vector<Varying> inputs;
  std::string vpos, vface;
  resourcesOf(SPVC_RESOURCE_TYPE_STAGE_INPUT);
  uint32_t nextLocation = 3;
  for (size_t i = 0; i < count; ++i) {
    const std::string semantic = semanticOf(list[i]);
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
    inputs.push_back({name, semantic, componentsOf(list[i].type_id), elementsOf(list[i].type_id),
                      isMatrix(list[i].type_id)});
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
    const std::string semantic = semanticOf(list[i]);
    if (vertex) {
      if (!isFloatVector(list[i].type_id))
        problems += "error: vertex output '" + std::string(list[i].name) + "' (" + semantic +
                    ") is not a float vector\n";
      const std::string name = "tobrin_out_" + semantic;
      outputs.push_back({name, semantic, componentsOf(list[i].type_id), elementsOf(list[i].type_id),
                         isMatrix(list[i].type_id)});
      spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    } else if (StartsWith(semantic, "COLOR") && SemanticIndex(semantic.substr(5)) < 8) {
      const std::string name = "tobrin_out_" + semantic;
      spvc_compiler_set_decoration(compiler, list[i].id, SpvDecorationLocation,
                                   SemanticIndex(semantic.substr(5)));
      spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    } else if (semantic == "DEPTH0") {
      depth = "tobrin_out_DEPTH0";
      spvc_compiler_set_name(compiler, list[i].id, depth.c_str());
    } else {
      problems += "error: pixel output '" + std::string(list[i].name) + "' has semantic " +
                  semantic + "; only COLOR0 to COLOR7 and DEPTH are written\n";
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
    // Only the members the stage reads are filled, so a value only the other stage reads (the
    // world matrix, for a pixel stage) does not send this block again for every object.
    const spvc_buffer_range* ranges = nullptr;
    size_t rangeCount = 0;
    spvc_compiler_get_active_buffer_ranges(compiler, block.id, &ranges, &rangeCount);
    std::vector<bool> active(spvc_type_get_num_member_types(type), false);
    for (size_t r = 0; r < rangeCount; ++r)
      if (ranges[r].index < active.size()) active[ranges[r].index] = true;
    const unsigned members = spvc_type_get_num_member_types(type);
    for (unsigned m = 0; m < members; ++m) {
      if (!active[m]) continue;
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
      if (dimensions > 0) {
        // An array of arrays holds its inner arrays one after another, each element a stride
        // apart, which is the flat array the effect sets: the decorated stride is the outermost
        // dimension's (SPIRV-Cross lists it last).
        uint64_t elements = 1;
        for (unsigned d = 0; d < dimensions; ++d)
          elements *= spvc_type_get_array_dimension(memberType, d);
        const uint64_t outer = spvc_type_get_array_dimension(memberType, dimensions - 1);
        if (elements == 0 || elements > 65536 || outer == 0) continue;
        unsigned stride = 0;
        spvc_compiler_type_struct_member_array_stride(compiler, type, m, &stride);
        member.elements = static_cast<uint32_t>(elements);
        member.arrayStride = static_cast<uint32_t>(stride / (elements / outer));
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

  // Vertex outputs and pixel inputs become private variables of the stage; the new main copies
  // them from and to the varyings, one vec4 per register.
  bool edited = true;
  std::string prologue, epilogue, declared;
  // Two variables may name one register (an array and an element of it): one varying each.
  const auto declareVarying = [&](const char* direction, const std::string& varying) {
    const std::string line = std::string(direction) + " vec4 " + varying + ";\n";
    if (declared.find(line) != std::string::npos) return;
    declared += line;
    code = line + code;
  };
  const auto declareLocal = [&](const Varying& v) {
    std::string local;
    if (v.matrix) {
      // GLSL's matCxR: C columns of R rows, the C registers of R components each.
      local = "mat" + std::to_string(v.elements);
      if (v.size != v.elements) local += "x" + std::to_string(v.size);
      local += " " + v.name;
    } else {
      local = std::string(VectorType(v.size)) + " " + v.name;
      if (v.elements) local += "[" + std::to_string(v.elements) + "]";
    }
    edited = edited && ReplaceDeclaration(&code, v.name, local + ";");
  };
  if (vertex) {
    for (const Varying& output : outputs) {
      declareLocal(output);
      if (output.semantic == "POSITION0" && !output.elements) {
        epilogue += "  gl_Position = " + PadToVec4(output.name, output.size) + ";\n";
        continue;
      }
      if (StartsWith(output.semantic, "PSIZE")) continue;  // point size feeds no stage here
      // The fog value goes on as a varying, which a program that fogs reads after its pixel
      // stage.
      for (uint32_t k = 0; k < std::max(output.elements, 1u); ++k) {
        const std::string varying = "tobrin_v_" + SemanticOfElement(output.semantic, k);
        declareVarying("out", varying);
        epilogue += "  " + varying + " = " + PadToVec4(Element(output, k), output.size) + ";\n";
      }
    }
  } else {
    for (const Varying& input : inputs) {
      declareLocal(input);
      if (input.name == vpos) {
        // Pixel centres at whole numbers, counted from the top, as the original rasterizer has
        // them.
        prologue += "  " + input.name + " = vec4(gl_FragCoord.x - 0.5, " +
                    std::string(kTargetHeightUniform) + " - gl_FragCoord.y - 0.5, 0.0, 0.0)" +
                    Swizzle(input.size) + ";\n";
        out->readsVpos = true;
        continue;
      }
      if (input.name == vface) {
        // Clockwise on screen faces the viewer on the original platform; the effect sets
        // glFrontFace(GL_CW) for its passes.
        prologue += "  " + input.name + " = gl_FrontFacing ? 1.0 : -1.0;\n";
        continue;
      }
      for (uint32_t k = 0; k < std::max(input.elements, 1u); ++k) {
        const std::string varying = "tobrin_v_" + SemanticOfElement(input.semantic, k);
        declareVarying("in", varying);
        prologue += "  " + Element(input, k) + " = " + varying + Swizzle(input.size) + ";\n";
      }
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
  code += "void main()\n{\n" + prologue + "  tobrin_main();\n" + epilogue + "}\n";
  // The declarations put in front must follow the #version line and the #extension lines
  // SPIRV-Cross writes right after it (arrays of arrays need one), which GLSL allows only before
  // code. Those inside its #ifdef blocks stay where they are: they apply only where defined.
  const size_t at = code.find("#version 330\n");
  if (at == std::string::npos) {
    *log = "error: the generated GLSL has no version line";
    return false;
  }
  code.erase(at, 13);
  size_t end = at;
  while (code.compare(end, 11, "#extension ") == 0) {
    const size_t next = code.find('\n', end);
    end = next == std::string::npos ? code.size() : next + 1;
  }
  std::string head = "#version 330\n" + code.substr(at, end - at);
  if (head.back() != '\n') head += '\n';
  code.erase(at, end - at);
  code = head + code;
  out->glsl = std::move(code);
  return true;
}

void FlattenColourVaryings(std::string* glsl, const char* direction) {
  const std::string declaration = "\n" + std::string(direction) + " vec4 tobrin_v_COLOR";
  for (size_t at = glsl->find(declaration); at != std::string::npos;
       at = glsl->find(declaration, at + declaration.size() + 5))
    glsl->insert(at + 1, "flat ");
}

}  // namespace compiler
