// Direct3D 9 effect files (an FX outer layer around HLSL bodies) read without GL: the
// preprocessor's output with the origin of every line, and the outer layer's parameters, samplers,
// function signatures, techniques and passes. Compiling the HLSL bodies is the graphics backend's
// work; this is what it is handed. Render and sampler states keep the original platform's numbers
// (D3DRS_*, D3DSAMP_* and their values), so each backend maps them once.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// Bounds on the work a hostile file can cause: the preprocessor's output, the nesting and number of
// includes, the bytes read through them, and the tokens all macro expansions may produce together.
constexpr size_t kMaxFxOutputBytes = 4u << 20;
constexpr int kMaxFxIncludeDepth = 64;
constexpr size_t kMaxFxIncludes = 1024;
constexpr size_t kMaxFxInputBytes = 16u << 20;
constexpr size_t kMaxFxExpansionTokens = 1u << 20;
constexpr int kMaxFxNesting = 256;  // macro arguments within arguments, parentheses in #if
// Counts of the outer layer.
constexpr size_t kMaxFxParameters = 1024;
constexpr size_t kMaxFxSamplers = 32;  // a pass reads at most 16 of them
constexpr size_t kMaxFxFunctions = 1024;
constexpr size_t kMaxFxTechniques = 64;
constexpr size_t kMaxFxPasses = 32;  // per technique
constexpr size_t kMaxFxNameLength = 64;

// Where one line of the preprocessed text came from: files[file], line `line` (1-based).
struct FxLineOrigin {
  uint32_t file = 0;
  int line = 0;
};

struct FxPreprocessed {
  std::string text;                   // lines separated by '\n'; line i (0-based) is origins[i]
  std::vector<FxLineOrigin> origins;  // one per line of text
  std::vector<std::string> files;     // files[0] is the effect file, then each include as named
};

// Reads an included file: `name` as written in the directive, `angled` for <...>, `from` the
// label of the including file. Returns false with a reason in *why when it cannot be read; on
// success *label is how messages name the file.
using FxIncludeReader =
    std::function<bool(const std::string& name, bool angled, const std::string& from,
                       std::string* bytes, std::string* label, std::string* why)>;

// The reader the effect loader uses: names relative to the including file's folder, then the
// effect file's; backslashes are separators; when the exact name is missing, each part of the
// path is matched ignoring case. Files are read whole, up to 1 MiB each.
FxIncludeReader MakeFolderIncludeReader(const std::string& effectPath);

// True when the text is a D3D9 effect file (HLSL), false when it is our GLSL effect format.
bool IsFxEffect(const char* text, size_t size);

// On failure, *error is "FILE(LINE): error: MESSAGE" naming the file and line of the fault.
bool PreprocessFx(const std::string& fileLabel, const std::string& bytes,
                  const FxIncludeReader& readInclude, FxPreprocessed* out, std::string* error);

enum class FxBase : uint8_t {
  Void,
  Bool,
  Int,
  Uint,
  Half,
  Float,
  Double,
  String,
  Texture,
  Sampler,
  Struct
};

struct FxType {
  FxBase base = FxBase::Float;
  uint8_t rows = 1, columns = 1;  // float3 is 1x3, float4x4 4x4; scalars 1x1
  bool rowMajor = false;          // declared row_major
  uint32_t elements = 0;          // array length, 0 when not an array
  std::string name;               // as written: "float4x4", "sampler2D", a struct's name
};

// < string UIName = "Light"; > on a parameter: each part as written.
struct FxAnnotation {
  std::string type, name, value;
};

struct FxParameter {
  std::string name;
  FxType type;
  std::string semantic;  // empty when none
  bool isStatic = false, isShared = false, isConst = false;
  // The initial value as floats (bools and ints converted), rows*columns*max(1, elements) of
  // them, a scalar repeated when one was given for a vector; empty when none was given or it is
  // no constant the reader evaluates (initText still says what was written).
  std::vector<float> value;
  std::string stringValue;   // strings only
  int line = 0;              // 0-based line of the preprocessed text
  std::string initText;      // the initialiser as written (after '='), empty when none
  std::string registerName;  // inside register(...): "c4", "vs, c0"; empty when none
  std::vector<FxAnnotation> annotations;
};

// D3DSAMP_* numbers for the states a sampler_state block or a pass may set.
struct FxSamplerState {
  uint32_t state = 0;  // D3DSAMP_ADDRESSU = 1 ... D3DSAMP_MAXANISOTROPY = 10
  uint32_t value = 0;  // D3DTEXF_* / D3DTADDRESS_* / a colour / float bits for MIPMAPLODBIAS
};

struct FxSampler {
  std::string name;
  FxType type;                         // sampler, sampler2D, samplerCUBE, ...
  std::string texture;                 // the Texture = <name> parameter, empty when none
  std::vector<FxSamplerState> states;  // in file order
  int line = 0;
  std::string registerName;  // inside register(...): "s0"; empty when none
  uint32_t elements = 0;     // array length, 0 when not an array
};

struct FxFunctionParameter {
  std::string name;
  std::string typeText;  // as written, e.g. "float4", "VS_INPUT"
  std::string semantic;  // empty when none
  bool in = true, out = false, uniform = false;
  bool array = false;  // declared with [N]
};

struct FxFunction {
  std::string name;
  std::string returnTypeText;
  std::string returnSemantic;
  std::vector<FxFunctionParameter> parameters;
  int line = 0;
};

// VertexShader = compile vs_2_0 Main(args); = asm { ... }; or = NULL. Shader variables and arrays
// indexed by a constant are resolved to the one shader they name (FxShaderSelect keeps the others).
struct FxShaderBinding {
  bool present = false;                // false for NULL or a pass that names no shader
  std::string profile;                 // "vs_2_0", "ps_3_0", ...; an assembly block's version
  std::string entry;                   // the function compiled; empty for assembly
  std::vector<std::string> arguments;  // uniform arguments as expression text, in order
  int line = 0;
  std::string assembly;  // asm { ... }: the text between the braces, empty for HLSL
  int assemblyLine = 0;  // 0-based line of the preprocessed text holding the opening brace
};

// VertexShaderConstant[n] = <name>; (also ...F, ...1 to ...4, and PixelShaderConstant...): the
// registers from n on hold a parameter or a literal.
struct FxShaderConstant {
  bool pixel = false;
  uint32_t reg = 0;
  uint32_t count = 0;     // registers written, 1 to 4 (...Constant1 to 4); 0: what the value holds
  std::string parameter;  // empty for a literal
  std::vector<float> value;  // a literal's floats, whole registers of four
  int line = 0;
};

// An expression over parameters, in postfix order, that the program evaluates when a pass begins:
// the index of VSArray[VSIndices[ShaderIndex]]. Names are the parameters' own; a static
// parameter's value is already folded in (a constant, or `table` for an array it indexes).
enum class FxOp : uint8_t {
  Constant,  // pushes value
  Parameter,
  Element,  // pops i, pushes element i of `parameter` (or of `table` when it names a static)
  TableElement,
  Negate,
  Not,
  Add,
  Subtract,
  Multiply,
  Divide,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Equal,
  NotEqual,
  And,
  Or,
  Select,  // pops c, a, b: a when c is not 0, else b
};

struct FxExprStep {
  FxOp op = FxOp::Constant;
  float value = 0;
  std::string parameter;     // Parameter, Element
  std::vector<float> table;  // TableElement: each element's first component
};

// A pass's stage that a shader array gives by an expression: shaders[index], evaluated when the
// pass begins. `shaders` is empty when the pass names its shader outright.
struct FxShaderSelect {
  std::vector<FxShaderBinding> shaders;
  std::vector<FxExprStep> index;
  std::string array, text;  // the array's name and the index as written, for messages
};

// Only the states a backend must run are listed in FxPass::renderStates (formats/fx_states.cpp
// has the table); fixed-function states that change nothing while shaders draw are read and
// dropped, and every other state is refused by ParseFx.
struct FxRenderState {
  uint32_t state = 0;  // D3DRS_* number
  uint32_t value = 0;  // D3D value (D3DCULL_*, D3DBLEND_*, D3DCMP_*, TRUE/FALSE, ...)
  // A value that reads parameters the program can set (`CullMode = (twoSided ? None : CCW)`),
  // evaluated when the pass begins; `value` is what the initial values give. Empty otherwise.
  std::vector<FxExprStep> expression = {};
};

struct FxPassSamplerState {
  uint32_t sampler = 0;  // Sampler[n]
  FxSamplerState state;
};

// Sampler[n] = (name); in a pass: sampler register n reads the named sampler.
struct FxPassSamplerBinding {
  uint32_t sampler = 0;
  std::string name;
};

// The fixed-function pipeline's states of a pass, by what they set. Render states of that pipeline
// (Lighting, Ambient, ...) stay in FxPass::renderStates with their D3DRS numbers.
enum class FxFixed : uint8_t {
  WorldTransform,  // [n]: matrix n of vertex blending, 0 the world
  ViewTransform,
  ProjectionTransform,
  TextureTransform,  // [stage]
  MaterialDiffuse,
  MaterialAmbient,
  MaterialSpecular,
  MaterialEmissive,
  MaterialPower,
  LightType,  // [light] D3DLIGHT_*: 1 point, 2 spot, 3 directional
  LightDiffuse,
  LightSpecular,
  LightAmbient,
  LightPosition,
  LightDirection,
  LightRange,
  LightFalloff,
  LightAttenuation0,
  LightAttenuation1,
  LightAttenuation2,
  LightTheta,
  LightPhi,
  LightEnable,
  Texture,  // [stage]: the texture parameter the stage reads
  ColorOp,  // [stage] D3DTOP_*
  ColorArg0,
  ColorArg1,
  ColorArg2,
  AlphaOp,
  AlphaArg0,
  AlphaArg1,
  AlphaArg2,
  ResultArg,
  TexCoordIndex,  // D3DTSS_TCI_* flags | index
  TextureTransformFlags,
  BumpEnvMat00,
  BumpEnvMat01,
  BumpEnvMat10,
  BumpEnvMat11,
  BumpEnvLScale,
  BumpEnvLOffset,
  Constant,  // D3DTSS_CONSTANT
};

struct FxFixedState {
  FxFixed state = FxFixed::WorldTransform;
  uint32_t index = 0;        // the [n] written, 0 when none
  std::string parameter;     // the parameter it reads (`<World>`), empty for a constant
  uint32_t element = 0;      // of an array parameter (`<LightPos[1]>`)
  std::vector<float> value;  // a constant's components (a matrix's 16 row by row)
  uint32_t number = 0;       // named and integer values: D3DTOP_*, D3DTA_*, flags, TRUE/FALSE
  int line = 0;
};

struct FxPass {
  std::string name;
  // With a select, the shader the parameters' initial values pick.
  FxShaderBinding vertexShader, pixelShader;
  FxShaderSelect vertexSelect, pixelSelect;
  std::vector<FxRenderState> renderStates;        // in file order
  std::vector<FxPassSamplerState> samplerStates;  // per-pass sampler states
  std::vector<FxPassSamplerBinding> samplerBindings;
  std::vector<FxFixedState> fixedStates;          // in file order
  std::vector<FxShaderConstant> shaderConstants;  // in file order
  int line = 0;
};

struct FxTechnique {
  std::string name;
  std::vector<FxPass> passes;
  int line = 0;
};

struct FxEffect {
  FxPreprocessed source;
  // The source with everything that is FX and not HLSL (techniques, sampler_state blocks,
  // annotations, texture and string parameters, `shared`) replaced by spaces, newlines kept, so its
  // lines are the lines of source.text and compiler messages map back through source.origins.
  std::string hlsl;
  std::vector<FxParameter> parameters;
  std::vector<FxSampler> samplers;
  std::vector<FxFunction> functions;
  std::vector<FxTechnique> techniques;  // in file order
};

// Parses the outer layer of preprocessed text. On failure *error is "FILE(LINE): error: ...".
bool ParseFx(const FxPreprocessed& source, FxEffect* out, std::string* error);

// "vs_1_1" for assembly text starting with `vs_1_1` or `vs.1.1`; empty when its first word is no
// Direct3D 9 assembly version.
std::string FxAsmProfile(std::string_view text);

// "FILE(LINE)" for a 0-based line of the preprocessed text.
std::string FxPlace(const FxPreprocessed& source, int line);

}  // namespace formats
