// A compiled effect: what the effect compiler makes of an effect file of either language (our GLSL
// format or a D3D9 effect), and all a graphics backend needs to draw it. Parameters, samplers,
// techniques and passes as the file declares them, the passes' states in the original platform's
// numbers (D3DRS_*, D3DSAMP_* and their values, whichever language the file is in), and for every
// distinct program the GLSL 3.30 text of its two stages with the uniform blocks that feed them.
// docs/compiled-effect.md describes it field by field, and its binary form (effect_binary.hpp).
// No GL: the backend maps the numbers to its own state once, at load.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace compiler {

// Bumped whenever a field is added or changes meaning; a reader takes only its own version.
constexpr uint32_t kCompiledEffectVersion = 3;

// Texture units an effect's samplers take, one each (sampler u is unit u). A D3D9 effect may
// declare more samplers than a pass can read (16), and its fixed-function stages add their own;
// GL 3.3 guarantees 48 units across a program's stages.
constexpr uint32_t kMaxTextureUnits = 48;

enum class SourceLanguage : uint8_t { Glsl, Hlsl };
enum class ParameterKind : uint8_t { Numeric, Matrix, Texture };
enum class Scalar : uint8_t { Float, Int, Bool };
enum class SamplerKind : uint8_t { Tex2D, Cube, Tex3D };
// Where a stage's GLSL came from: our format, HLSL, an assembly shader, or generated for the
// fixed-function pipeline a pass uses.
enum class StageOrigin : uint8_t { EffectGlsl, Hlsl, Assembly, FixedFunction };
// The winding a pass declares front-facing: D3D9 effects clockwise as on the original platform, so
// VFACE and the cull modes agree; our format counter-clockwise, as it has always drawn.
enum class FrontFace : uint8_t { Unchanged, Clockwise, CounterClockwise };

struct Annotation {
  std::string type, name, value;  // as written: "string", "UIName", "\"Light\""
};

struct Parameter {
  std::string name, semantic;
  ParameterKind kind = ParameterKind::Numeric;
  uint32_t rows = 1, columns = 1;  // one element: float3 is 1x3, float4x3 4x3
  uint32_t elements = 0;           // array length, 0 when not an array
  std::vector<float> value;        // rows*columns*max(1, elements) floats; none for textures
  std::vector<Annotation> annotations;
};

// One D3DSAMP_* state; a sampler's list applies in order over the platform's defaults (point
// filtering, no mipmaps, wrap).
struct SamplerState {
  uint32_t state = 0, value = 0;
};

struct Sampler {
  std::string name;
  int32_t texture = -1;  // the texture parameter it reads, -1 when none
  SamplerKind kind = SamplerKind::Tex2D;
  std::vector<SamplerState> states;
};

// What texture unit u reads in a pass: the texture of samplers[source[u]], filtered by states[u].
// Set 0 is the effect's own (unit u is sampler u with its own states); a pass that sets sampler
// states or binds another sampler to a register has a set of its own.
struct SamplerSet {
  std::vector<uint32_t> source;
  std::vector<std::vector<SamplerState>> states;
};

// One member of a uniform block, filled from a parameter. Element (i, j) of the parameter (row i,
// column j as the effect sees it) of array element k lies at
// offset + k * arrayStride + i * rowStride + j * columnStride, as a 4-byte `scalar`.
struct BlockMember {
  uint32_t parameter = 0;
  Scalar scalar = Scalar::Float;
  uint32_t rows = 1, columns = 1, elements = 0;
  uint32_t offset = 0, arrayStride = 0, rowStride = 0, columnStride = 0;
  bool setFlag = false;  // holds 1 once the program has set the parameter, not its value
  // Filled from the device's fixed-function value `parameter` (a FixedSlot,
  // compiler/fixed_function.hpp), not from a parameter: the generated stages read these.
  bool fixed = false;
};

struct Block {
  std::string name;      // the GLSL block name
  uint32_t binding = 0;  // the uniform buffer binding point
  uint32_t size = 0;     // bytes
  std::vector<BlockMember> members;
};

struct SamplerUniform {
  std::string name;  // the GLSL sampler uniform
  uint32_t unit = 0;
};

// A vertex input the mesh lacks, read as the current attribute: opaque white for COLORn
// semantics, (0, 0, 0, 1) for the others.
struct DefaultInput {
  std::string semantic;
  uint32_t location = 0;
};

// Messages about a stage name `place` ("FILE(LINE)") and `context` ("vertex shader 'Main'");
// where `fileLines` holds, the text's #line directives number lines of the file `file`, so a
// driver's message can be placed on the effect's own line.
struct Stage {
  StageOrigin origin = StageOrigin::EffectGlsl;
  std::string glsl;
  std::string file, place, context;
  int line = 0;
  bool fileLines = false;
};

struct Program {
  Stage vertex, fragment;
  std::vector<Block> blocks;
  std::vector<SamplerUniform> samplers;
  std::vector<DefaultInput> defaultInputs;
  bool readsTargetHeight = false;  // the uniform kTargetHeightUniform gives the target's height
  std::string place, context;      // for link messages: "FILE(LINE)", "pass 'P' of technique 'T'"
  int line = 0;
};

// One D3DRS_* state with its value. The alpha test states are kept for tools and already applied
// in the fragment stage.
struct RenderState {
  uint32_t state = 0, value = 0;
};

// A fixed-function value a pass sets on the device (a transform, the material, a light's colour):
// element `element` of FixedSlot `slot`, from element `parameterElement` of parameter `parameter`,
// or the constant `value` when that is -1. Passes set them in order when they begin, and those from
// parameters again when changes are committed; the device keeps them for the passes after, as the
// original platform does.
struct FixedValue {
  uint32_t slot = 0, element = 0;
  int32_t parameter = -1;
  uint32_t parameterElement = 0;  // of an array parameter
  std::vector<float> value;
};

// An expression over parameters that a backend evaluates when a pass begins, in postfix order on
// a stack of at most kMaxExpressionStack floats (compiler/expression.hpp evaluates it). A parameter
// reads as its first component; arithmetic is on floats, comparisons and logic give 1 or 0.
enum class ExprOp : uint8_t {
  Constant,          // pushes `value`
  Parameter,         // pushes parameter `index`
  ParameterElement,  // pops i, pushes element i of array parameter `index`, i rounded and clamped
  TableElement,      // pops i, pushes table[index + i], i rounded and clamped to [0, count)
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
  Select,  // pops c, a, b (b on top): a when c is not 0, else b
};
constexpr uint32_t kMaxExpressionStack = 16;

struct ExprStep {
  ExprOp op = ExprOp::Constant;
  uint32_t index = 0, count = 0;  // a parameter or a table offset; a table range's length
  float value = 0;
};

struct Expression {
  std::vector<ExprStep> steps;  // empty: the value 0
  std::vector<float> table;     // the values of static arrays the expression reads
};

struct StateExpression {
  uint32_t state = 0;  // an index into Pass::states
  Expression value;
};

struct Pass {
  std::string name;
  uint32_t program = 0;  // the program of the parameters' initial values
  // Shaders picked by an index over parameters (VSArray[VSIndices[ShaderIndex]]): with
  // vertexShaders and pixelShaders the lengths of the arrays (1 for a stage not picked), the pass
  // draws with programs[v * pixelShaders + p], v and p the indices evaluated when it begins,
  // rounded and clamped into their arrays. Empty programs: the pass always draws with `program`.
  Expression vertexIndex, pixelIndex;
  uint32_t vertexShaders = 1, pixelShaders = 1;
  std::vector<uint32_t> programs;
  uint32_t samplerSet = 0;
  FrontFace frontFace = FrontFace::Unchanged;
  std::vector<RenderState> states;  // in file order; states not named stay as the device has them
  // Values over parameters: states[stateValues[k].state].value is StateValueOf(the expression),
  // evaluated when the pass begins and when changes are committed; `value` holds what the
  // initial values give.
  std::vector<StateExpression> stateValues;
  std::vector<FixedValue> fixed;  // in file order
};

struct Technique {
  std::string name;
  std::vector<Pass> passes;
};

struct CompiledEffect {
  SourceLanguage language = SourceLanguage::Glsl;
  std::string file;  // the effect file as messages name it
  std::vector<Parameter> parameters;
  std::vector<Sampler> samplers;  // sampler u is texture unit u
  std::vector<SamplerSet> samplerSets;
  std::vector<Program> programs;
  std::vector<Technique> techniques;  // in file order; the first is current at creation
  std::vector<std::string> warnings;  // "FILE(LINE): warning: ..." lines
};

constexpr const char* kTargetHeightUniform = "tobrin_targetHeight";

}  // namespace compiler
