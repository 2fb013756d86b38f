// The outer layer of D3D9 effect files: parameters, samplers, function signatures, techniques and
// passes read from preprocessed text; function and struct bodies are skipped by brace matching
// and left to the HLSL compiler. Nothing recurses on the input's nesting except the constant
// evaluator, which is depth-bounded; the first error stops the parse with its origin line.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

#include "formats/fx_effect.hpp"
#include "formats/fx_fixed_states.hpp"
#include "formats/fx_lex.hpp"
#include "formats/fx_states.hpp"
#include "formats/quote.hpp"

namespace formats {
namespace {

// What a declaration's type makes of it.
enum class Kind : uint8_t { Value, Texture, Sampler, String, VertexShader, PixelShader, Void };

struct ShaderObject {
  bool pixel = false;
  uint32_t elements = 0;
  std::vector<FxShaderBinding> shaders;
};

// A constant's components; `integer` when every operand was an integer, so '/' truncates as
// HLSL's integer division does (array lengths such as N * (1 + 3 * (M / 4))).
struct Values : std::vector<float> {
  bool integer = false;
};

class Parser {
 public:
  Parser(const FxPreprocessed& source, FxEffect* out) : src_(source), out_(out) {}
  bool Run(std::string* error);

 private:
  bool Fail(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));
  const FxToken& Peek(size_t ahead = 0) const {
    const size_t i = pos_ + ahead;
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
  }
  const FxToken& Next() {
    const FxToken& t = Peek();
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
  }
  std::string_view Text(const FxToken& t) const {
    return std::string_view(src_.text).substr(t.begin, t.end - t.begin);
  }
  std::string Describe(const FxToken& t) const {
    return t.kind == FxTok::End ? std::string("the end of the file") : Quote(Text(t));
  }
  bool IsPunct(const FxToken& t, char c) const {
    return t.kind == FxTok::Punct && src_.text[t.begin] == c;
  }
  bool IsWord(const FxToken& t, const char* word) const {
    return t.kind == FxTok::Ident && FxEqualIgnoringCase(Text(t), word);
  }
  bool IsExact(const FxToken& t, const char* word) const {
    return t.kind == FxTok::Ident && Text(t) == word;
  }
  bool Expect(char c, const char* where);
  bool ExpectName(std::string* name, const char* what, int* line = nullptr);
  void Blank(uint32_t begin, uint32_t end) { blanks_.push_back({begin, end}); }
  bool SkipBalanced(char open, char close, uint32_t* end);
  bool SkipAnnotations(bool blank, std::vector<FxAnnotation>* into = nullptr);
  bool ParseType(FxType* type, Kind* kind);
  bool ParseTopLevel();
  bool ParseStruct();
  bool ParseDeclaration();
  bool ParseFunction(const FxType& type, const std::string& name, int line, uint32_t typeBegin);
  bool ParseParameterTail(const FxType& type, Kind kind, FxParameter* p, uint32_t* initBegin);
  bool ParseSamplerState(FxSampler* sampler);
  bool ParseStateValue(const FxStateInfo& info, uint32_t* value);
  bool ParseFixedValue(const FxFixedStateInfo& info, FxFixedState* state);
  void TakeStateValue(bool parentheses, size_t* begin, size_t* end, int* line,
                      std::string* written);
  bool ParseShaderValue(bool pixel, FxShaderBinding* binding, bool inPass,
                        FxShaderSelect* select = nullptr);
  bool ParseCompile(bool pixel, FxShaderBinding* binding);
  bool ParseTechnique();
  bool ParsePass(FxTechnique* technique);
  bool ParsePassState(FxPass* pass, const FxTechnique& technique);
  bool ParseShaderConstant(const FxToken& key, uint32_t reg, FxPass* pass);
  bool CheckPass(const FxPass& pass, const FxTechnique& technique);
  bool ArrayLength(uint32_t* length);
  // Constant expressions: initial values, array lengths, shader indices.
  bool Eval(size_t* i, size_t end, Values* v, int depth) const;
  bool EvalTerm(size_t* i, size_t end, Values* v, int depth) const;
  bool EvalUnary(size_t* i, size_t end, Values* v, int depth) const;
  bool EvalRange(size_t begin, size_t end, Values* v) const;
  bool EvalInteger(size_t begin, size_t end, int64_t* value) const;
  // Expressions the program evaluates when a pass begins, as postfix steps.
  bool BuildExpression(size_t* i, size_t end, std::vector<FxExprStep>* out, int depth) const;
  bool BuildBinary(size_t* i, size_t end, int level, std::vector<FxExprStep>* out, int depth) const;
  bool BuildUnary(size_t* i, size_t end, std::vector<FxExprStep>* out, int depth) const;
  bool MatchOperator(size_t i, size_t end, int level, FxOp* op, size_t* length) const;
  bool ReadsSettableParameter(size_t begin, size_t end) const;
  float InitialValueOf(const std::vector<FxExprStep>& steps) const;
  size_t ExpressionEnd(size_t from) const;  // first ',' ';' or unmatched closer at depth 0
  const FxParameter* FindParameter(std::string_view name) const;
  bool IsTypeName(std::string_view name) const;

  const FxPreprocessed& src_;
  FxEffect* out_;
  std::vector<FxToken> tokens_;
  size_t pos_ = 0;
  std::vector<std::pair<uint32_t, uint32_t>> blanks_;
  std::vector<std::string> structs_;
  std::map<std::string, ShaderObject> shaderObjects_;
  bool rowMajorDefault_ = false;
  std::string lastRegister_;                 // the register(...) of the declarator read last
  const FxStateInfo* valueNames_ = nullptr;  // a state whose value names an expression may use
  std::string error_;
};

bool Parser::Fail(int line, const char* format, ...) {
  if (!error_.empty()) return false;
  char message[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  error_ = FxPlace(src_, line) + ": error: " + message;
  return false;
}

bool Parser::Expect(char c, const char* where) {
  const FxToken& t = Next();
  if (IsPunct(t, c)) return true;
  return Fail(t.line, "expected '%c' %s, found %s", c, where, Describe(t).c_str());
}

bool Parser::ExpectName(std::string* name, const char* what, int* line) {
  const FxToken& t = Next();
  if (line) *line = t.line;
  if (t.kind != FxTok::Ident)
    return Fail(t.line, "expected %s, found %s", what, Describe(t).c_str());
  if (t.end - t.begin > kMaxFxNameLength)
    return Fail(t.line, "name %s is longer than %zu characters", Describe(t).c_str(),
                kMaxFxNameLength);
  *name = std::string(Text(t));
  return true;
}

// Skips from an opening token (the current one) to its matching closer, counting only that pair;
// *end is the byte just past the closer.
bool Parser::SkipBalanced(char open, char close, uint32_t* end) {
  const FxToken& first = Next();
  int depth = 1;
  while (depth > 0) {
    const FxToken& t = Next();
    if (t.kind == FxTok::End) return Fail(first.line, "'%c' is never closed by '%c'", open, close);
    if (IsPunct(t, open)) ++depth;
    if (IsPunct(t, close)) --depth;
    *end = t.end;
  }
  return true;
}

// Annotations: < type name = value; ... >. They describe a parameter to tools and mean nothing
// to drawing, so they are skipped (and blanked from the HLSL).
// A parameter's are kept, each `type name = value;` as written, for tools that list them.
bool Parser::SkipAnnotations(bool blank, std::vector<FxAnnotation>* into) {
  while (IsPunct(Peek(), '<')) {
    const uint32_t begin = Peek().begin;
    const size_t first = pos_ + 1;
    uint32_t end = begin;
    if (!SkipBalanced('<', '>', &end)) return false;
    if (blank) Blank(begin, end);
    if (!into) continue;
    const size_t last = pos_ - 1;  // the closing '>'
    size_t group = first;
    for (size_t i = first; i < last; ++i) {
      if (!IsPunct(tokens_[i], ';')) continue;
      size_t equals = group;
      while (equals < i && !IsPunct(tokens_[equals], '=')) ++equals;
      if (equals > group + 1 && equals + 1 < i && into->size() < kMaxFxParameters) {
        const auto span = [&](size_t from, size_t to) {  // tokens [from, to)
          return src_.text.substr(tokens_[from].begin, tokens_[to - 1].end - tokens_[from].begin);
        };
        into->push_back({span(group, equals - 1), span(equals - 1, equals), span(equals + 1, i)});
      }
      group = i + 1;
    }
  }
  return true;
}

bool Parser::IsTypeName(std::string_view name) const {
  for (const std::string& s : structs_)
    if (s == name) return true;
  return false;
}

// HLSL numeric type names: bool int uint dword half float double, with N or NxM (1..4).
bool NumericType(std::string_view name, FxType* type) {
  static const std::pair<const char*, FxBase> bases[] = {
      {"bool", FxBase::Bool},   {"int", FxBase::Int},       {"uint", FxBase::Uint},
      {"dword", FxBase::Uint},  {"DWORD", FxBase::Uint},    {"half", FxBase::Half},
      {"float", FxBase::Float}, {"double", FxBase::Double}, {"min16float", FxBase::Half},
  };
  for (const auto& [word, base] : bases) {
    const size_t len = std::strlen(word);
    if (name.compare(0, len, word) != 0) continue;
    std::string_view rest = name.substr(len);
    type->base = base;
    type->rows = type->columns = 1;
    if (rest.empty()) return true;
    if (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '4') {
      type->columns = static_cast<uint8_t>(rest[0] - '0');
      return true;
    }
    if (rest.size() == 3 && rest[0] >= '1' && rest[0] <= '4' && rest[1] == 'x' && rest[2] >= '1' &&
        rest[2] <= '4') {
      type->rows = static_cast<uint8_t>(rest[0] - '0');
      type->columns = static_cast<uint8_t>(rest[2] - '0');
      return true;
    }
  }
  return false;
}

bool Parser::ParseType(FxType* type, Kind* kind) {
  const FxToken& t = Next();
  if (t.kind != FxTok::Ident) return Fail(t.line, "expected a type, found %s", Describe(t).c_str());
  const std::string_view name = Text(t);
  type->name = std::string(name);
  *kind = Kind::Value;
  if (NumericType(name, type)) return true;
  if (name == "void") {
    type->base = FxBase::Void;
    *kind = Kind::Void;
    return true;
  }
  if (name == "vector" || name == "matrix") {
    // vector<float, 4>, matrix<float, 4, 4>; bare they are float4 and float4x4.
    const bool matrix = name == "matrix";
    type->base = FxBase::Float;
    type->rows = matrix ? 4 : 1;
    type->columns = 4;
    if (!IsPunct(Peek(), '<')) return true;
    Next();
    const FxToken& b = Next();
    FxType inner;
    if (b.kind != FxTok::Ident || !NumericType(Text(b), &inner) || inner.columns != 1)
      return Fail(b.line, "expected a scalar type in %s<...>, found %s", type->name.c_str(),
                  Describe(b).c_str());
    type->base = inner.base;
    int64_t counts[2] = {0, 0};
    for (int k = 0; k < (matrix ? 2 : 1); ++k) {
      if (!Expect(',', "in the size of a vector or matrix type")) return false;
      const FxToken& n = Next();
      if (n.kind != FxTok::Number || !EvalInteger(pos_ - 1, pos_, &counts[k]) || counts[k] < 1 ||
          counts[k] > 4)
        return Fail(n.line, "expected a size from 1 to 4, found %s", Describe(n).c_str());
    }
    if (!Expect('>', "after the size of a vector or matrix type")) return false;
    if (matrix) {
      type->rows = static_cast<uint8_t>(counts[0]);
      type->columns = static_cast<uint8_t>(counts[1]);
    } else {
      type->columns = static_cast<uint8_t>(counts[0]);
    }
    type->name = std::string(src_.text, t.begin, tokens_[pos_ - 1].end - t.begin);
    return true;
  }
  static const char* const textures[] = {"texture", "texture1D", "texture2D", "texture3D",
                                         "textureCUBE"};
  for (const char* w : textures)
    if (FxEqualIgnoringCase(name, w)) {
      type->base = FxBase::Texture;
      *kind = Kind::Texture;
      return true;
    }
  static const char* const samplers[] = {"sampler", "sampler1D", "sampler2D", "sampler3D",
                                         "samplerCUBE"};
  for (const char* w : samplers)
    if (FxEqualIgnoringCase(name, w)) {
      type->base = FxBase::Sampler;
      *kind = Kind::Sampler;
      return true;
    }
  if (FxEqualIgnoringCase(name, "string")) {
    type->base = FxBase::String;
    *kind = Kind::String;
    return true;
  }
  if (FxEqualIgnoringCase(name, "VertexShader") || FxEqualIgnoringCase(name, "PixelShader")) {
    *kind = FxEqualIgnoringCase(name, "PixelShader") ? Kind::PixelShader : Kind::VertexShader;
    return true;
  }
  if (FxEqualIgnoringCase(name, "SamplerState") ||
      FxEqualIgnoringCase(name, "SamplerComparisonState") ||
      FxEqualIgnoringCase(name, "Texture2DArray") || FxEqualIgnoringCase(name, "GeometryShader") ||
      FxEqualIgnoringCase(name, "BlendState") || FxEqualIgnoringCase(name, "DepthStencilState") ||
      FxEqualIgnoringCase(name, "RasterizerState"))
    return Fail(t.line, "%s is a Direct3D 10 type; only Direct3D 9 effects are supported",
                Describe(t).c_str());
  if (IsTypeName(name)) {
    type->base = FxBase::Struct;
    return true;
  }
  return Fail(t.line, "unknown type %s", Describe(t).c_str());
}

const FxParameter* Parser::FindParameter(std::string_view name) const {
  for (const FxParameter& p : out_->parameters)
    if (p.name == name) return &p;
  return nullptr;
}

// ---- Constant expressions ------------------------------------------------------------------

bool ParseNumberText(std::string_view text, float* value) {
  while (!text.empty() && std::strchr("fFhHlLuU", text.back()) &&
         !(text.size() > 2 && (text[1] == 'x' || text[1] == 'X')))
    text.remove_suffix(1);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    while (!text.empty() && std::strchr("uUlL", text.back())) text.remove_suffix(1);
    uint64_t v = 0;
    const auto [last, code] = std::from_chars(text.data() + 2, text.data() + text.size(), v, 16);
    if (code != std::errc() || last != text.data() + text.size()) return false;
    *value = static_cast<float>(v);
    return true;
  }
  double d = 0;
  const auto [last, code] = std::from_chars(text.data(), text.data() + text.size(), d);
  if (code != std::errc() || last != text.data() + text.size() || !std::isfinite(d)) return false;
  *value = static_cast<float>(d);
  return std::isfinite(*value);
}

size_t Parser::ExpressionEnd(size_t from) const {
  int depth = 0;
  for (size_t i = from; i < tokens_.size(); ++i) {
    const FxToken& t = tokens_[i];
    if (t.kind == FxTok::End) return i;
    if (IsPunct(t, '(') || IsPunct(t, '{') || IsPunct(t, '[')) ++depth;
    if (IsPunct(t, ')') || IsPunct(t, '}') || IsPunct(t, ']')) {
      if (depth == 0) return i;
      --depth;
    }
    if (depth == 0 && (IsPunct(t, ',') || IsPunct(t, ';'))) return i;
  }
  return tokens_.size() - 1;
}

bool Combine(char op, const Values& a, const Values& b, Values* r) {
  if (a.empty() || b.empty() || (a.size() != b.size() && a.size() != 1 && b.size() != 1))
    return false;
  const size_t n = std::max(a.size(), b.size());
  r->resize(n);
  r->integer = a.integer && b.integer;
  for (size_t k = 0; k < n; ++k) {
    const float x = a[a.size() == 1 ? 0 : k], y = b[b.size() == 1 ? 0 : k];
    float z = op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : x / y;
    if (op == '/' && r->integer) z = std::trunc(z);
    if (!std::isfinite(z)) return false;
    (*r)[k] = z;
  }
  return true;
}

bool Parser::Eval(size_t* i, size_t end, Values* v, int depth) const {
  if (!EvalTerm(i, end, v, depth)) return false;
  while (*i < end && (IsPunct(tokens_[*i], '+') || IsPunct(tokens_[*i], '-'))) {
    const char op = src_.text[tokens_[(*i)++].begin];
    Values rhs;
    if (!EvalTerm(i, end, &rhs, depth)) return false;
    Values r;
    if (!Combine(op, *v, rhs, &r)) return false;
    *v = std::move(r);
  }
  return true;
}

bool Parser::EvalTerm(size_t* i, size_t end, Values* v, int depth) const {
  if (!EvalUnary(i, end, v, depth)) return false;
  while (*i < end && (IsPunct(tokens_[*i], '*') || IsPunct(tokens_[*i], '/'))) {
    const char op = src_.text[tokens_[(*i)++].begin];
    Values rhs;
    if (!EvalUnary(i, end, &rhs, depth)) return false;
    Values r;
    if (!Combine(op, *v, rhs, &r)) return false;
    *v = std::move(r);
  }
  return true;
}

// Numbers, true/false, {lists}, T(args) constructors, (expr), unary minus and the names of
// parameters declared earlier (their initial values). Anything else is left to the compiler.
bool Parser::EvalUnary(size_t* i, size_t end, Values* v, int depth) const {
  if (depth > kMaxFxNesting || *i >= end) return false;
  const FxToken& t = tokens_[(*i)++];
  v->clear();
  if (IsPunct(t, '-') || IsPunct(t, '+')) {
    if (!EvalUnary(i, end, v, depth + 1)) return false;
    if (IsPunct(t, '-'))
      for (float& f : *v) f = -f;
    return true;
  }
  if (t.kind == FxTok::Number) {
    float f = 0;
    if (!ParseNumberText(Text(t), &f)) return false;
    v->push_back(f);
    const std::string_view text = Text(t);
    v->integer = text.find_first_of(".eEfFhH") == std::string_view::npos ||
                 (text.size() > 2 && (text[1] == 'x' || text[1] == 'X'));
    return true;
  }
  const bool brace = IsPunct(t, '{');
  FxType ctor;
  const bool constructor = t.kind == FxTok::Ident && NumericType(Text(t), &ctor) && *i < end &&
                           IsPunct(tokens_[*i], '(');
  if (brace || constructor) {
    if (constructor) ++*i;
    const char close = brace ? '}' : ')';
    while (*i < end && !IsPunct(tokens_[*i], close)) {
      Values item;
      if (!Eval(i, end, &item, depth + 1)) return false;
      v->insert(v->end(), item.begin(), item.end());
      if (v->size() > 4096) return false;
      if (*i < end && IsPunct(tokens_[*i], ','))
        ++*i;
      else if (*i >= end || !IsPunct(tokens_[*i], close))
        return false;
    }
    if (*i >= end) return false;
    ++*i;
    return true;
  }
  if (IsPunct(t, '(')) {
    // (expr) or a cast (float)expr.
    FxType cast;
    if (*i + 1 < end && tokens_[*i].kind == FxTok::Ident && NumericType(Text(tokens_[*i]), &cast) &&
        IsPunct(tokens_[*i + 1], ')')) {
      *i += 2;
      if (!EvalUnary(i, end, v, depth + 1)) return false;
      v->integer = cast.base == FxBase::Int || cast.base == FxBase::Uint;
      if (v->integer)
        for (float& f : *v) f = std::trunc(f);
      return true;
    }
    if (!Eval(i, end, v, depth + 1) || *i >= end || !IsPunct(tokens_[*i], ')')) return false;
    ++*i;
    return true;
  }
  if (IsWord(t, "true") || IsWord(t, "false")) {
    v->push_back(IsWord(t, "true") ? 1.0f : 0.0f);
    return true;
  }
  if (t.kind == FxTok::Ident) {
    const FxParameter* p = FindParameter(Text(t));
    if (!p || p->value.empty()) return false;
    v->assign(p->value.begin(), p->value.end());
    v->integer =
        p->type.base == FxBase::Int || p->type.base == FxBase::Uint || p->type.base == FxBase::Bool;
    if (*i < end && IsPunct(tokens_[*i], '[') && p->type.elements > 0) {
      // a[i]: the index rounded and clamped, as the program's own evaluation of it does.
      ++*i;
      Values index;
      if (!Eval(i, end, &index, depth + 1) || index.size() != 1 || *i >= end ||
          !IsPunct(tokens_[*i], ']'))
        return false;
      ++*i;
      const size_t each = v->size() / p->type.elements;
      const float k = std::floor(index[0] + 0.5f);
      const size_t at = k <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(k), p->type.elements - 1);
      v->assign(p->value.begin() + at * each, p->value.begin() + (at + 1) * each);
    }
    return true;
  }
  return false;
}

// ---- Expressions over parameters -----------------------------------------------------------

// True when the expression reads a parameter the program can set, so that only evaluating it when
// a pass begins gives its value.
bool Parser::ReadsSettableParameter(size_t begin, size_t end) const {
  for (size_t i = begin; i < end; ++i) {
    const FxParameter* p =
        tokens_[i].kind == FxTok::Ident ? FindParameter(Text(tokens_[i])) : nullptr;
    if (p && !p->isStatic && p->type.base != FxBase::Texture && p->type.base != FxBase::String)
      return true;
  }
  return false;
}

// The expression's value with the parameters' initial values, as the program evaluates it before
// it sets any (compiler/expression.cpp; indices rounded and clamped the same way).
float Parser::InitialValueOf(const std::vector<FxExprStep>& steps) const {
  std::vector<float> stack;
  const auto element = [](const std::vector<float>& values, size_t each, float index) {
    const size_t count = each ? values.size() / each : 0;
    if (count == 0) return 0.0f;
    const float k = std::floor(index + 0.5f);
    return values[(k <= 0 ? 0 : std::min(static_cast<size_t>(k), count - 1)) * each];
  };
  for (const FxExprStep& step : steps) {
    const FxParameter* p = step.parameter.empty() ? nullptr : FindParameter(step.parameter);
    const size_t each = p ? size_t{p->type.rows} * p->type.columns : 1;
    if (step.op == FxOp::Constant || step.op == FxOp::Parameter) {
      stack.push_back(step.op == FxOp::Constant ? step.value
                      : p && !p->value.empty()  ? p->value[0]
                                                : 0.0f);
      continue;
    }
    const size_t pops = step.op == FxOp::Select ? 3 : step.op < FxOp::Add ? 1 : 2;
    if (stack.size() < pops) return 0;
    float& a = stack[stack.size() - pops];
    const float b = stack.back();
    switch (step.op) {
      case FxOp::Element: a = p ? element(p->value, each, a) : 0.0f; break;
      case FxOp::TableElement: a = element(step.table, 1, a); break;
      case FxOp::Negate: a = -a; break;
      case FxOp::Not: a = a == 0; break;
      case FxOp::Add: a += b; break;
      case FxOp::Subtract: a -= b; break;
      case FxOp::Multiply: a *= b; break;
      case FxOp::Divide: a /= b; break;
      case FxOp::Less: a = a < b; break;
      case FxOp::LessEqual: a = a <= b; break;
      case FxOp::Greater: a = a > b; break;
      case FxOp::GreaterEqual: a = a >= b; break;
      case FxOp::Equal: a = a == b; break;
      case FxOp::NotEqual: a = a != b; break;
      case FxOp::And: a = a != 0 && b != 0; break;
      case FxOp::Or: a = a != 0 || b != 0; break;
      case FxOp::Select: a = a != 0 ? stack[stack.size() - 2] : b; break;
      default: break;
    }
    stack.resize(static_cast<size_t>(&a - stack.data()) + 1);
  }
  return stack.empty() ? 0.0f : stack[0];
}

// Binary operators by level, loosest first: || && (== !=) (< <= > >=) (+ -) (* /). The lexer
// gives one character a token, so two-character operators are two adjacent tokens.
bool Parser::MatchOperator(size_t i, size_t end, int level, FxOp* op, size_t* length) const {
  if (i >= end || tokens_[i].kind != FxTok::Punct) return false;
  const char c = src_.text[tokens_[i].begin];
  const bool joined =
      i + 1 < end && tokens_[i + 1].kind == FxTok::Punct && tokens_[i + 1].begin == tokens_[i].end;
  const char d = joined ? src_.text[tokens_[i + 1].begin] : '\0';
  *length = 2;
  switch (level) {
    case 0: return c == '|' && d == '|' && (*op = FxOp::Or, true);
    case 1: return c == '&' && d == '&' && (*op = FxOp::And, true);
    case 2:
      if (d != '=' || (c != '=' && c != '!')) return false;
      *op = c == '=' ? FxOp::Equal : FxOp::NotEqual;
      return true;
    case 3:
      if (c != '<' && c != '>') return false;
      if (d == '=') {
        *op = c == '<' ? FxOp::LessEqual : FxOp::GreaterEqual;
        return true;
      }
      *length = 1;
      *op = c == '<' ? FxOp::Less : FxOp::Greater;
      return d != '<' && d != '>';
    case 4:
    case 5: {
      const char* ops = level == 4 ? "+-" : "*/";
      if (c != ops[0] && c != ops[1]) return false;
      *length = 1;
      *op = c == '+'   ? FxOp::Add
            : c == '-' ? FxOp::Subtract
            : c == '*' ? FxOp::Multiply
                       : FxOp::Divide;
      return true;
    }
  }
  return false;
}

// c ? a : b over the binary levels; every level bounded by kMaxFxNesting like the constant
// evaluator.
bool Parser::BuildExpression(size_t* i, size_t end, std::vector<FxExprStep>* out, int depth) const {
  if (depth > kMaxFxNesting || out->size() > 1024) return false;
  if (!BuildBinary(i, end, 0, out, depth)) return false;
  if (*i >= end || !IsPunct(tokens_[*i], '?')) return true;
  ++*i;
  if (!BuildExpression(i, end, out, depth + 1) || *i >= end || !IsPunct(tokens_[*i], ':'))
    return false;
  ++*i;
  if (!BuildExpression(i, end, out, depth + 1)) return false;
  out->push_back({FxOp::Select, 0, {}, {}});
  return true;
}

bool Parser::BuildBinary(size_t* i, size_t end, int level, std::vector<FxExprStep>* out,
                         int depth) const {
  const auto operand = [&] {
    return level == 5 ? BuildUnary(i, end, out, depth + 1)
                      : BuildBinary(i, end, level + 1, out, depth + 1);
  };
  if (depth > kMaxFxNesting || !operand()) return false;
  FxOp op = FxOp::Add;
  size_t length = 0;
  while (MatchOperator(*i, end, level, &op, &length)) {
    *i += length;
    if (!operand()) return false;
    out->push_back({op, 0, {}, {}});
  }
  return true;
}

// Numbers, true/false, (expr), casts (which keep the value: an index is rounded anyway), unary
// - + !, parameters and their elements. A static parameter is a constant, or a table for the
// array it is.
bool Parser::BuildUnary(size_t* i, size_t end, std::vector<FxExprStep>* out, int depth) const {
  if (depth > kMaxFxNesting || *i >= end) return false;
  const FxToken& t = tokens_[(*i)++];
  if (IsPunct(t, '-') || IsPunct(t, '+') || IsPunct(t, '!')) {
    if (!BuildUnary(i, end, out, depth + 1)) return false;
    if (!IsPunct(t, '+')) out->push_back({IsPunct(t, '-') ? FxOp::Negate : FxOp::Not, 0, {}, {}});
    return true;
  }
  if (t.kind == FxTok::Number) {
    float f = 0;
    if (!ParseNumberText(Text(t), &f)) return false;
    out->push_back({FxOp::Constant, f, {}, {}});
    return true;
  }
  if (IsWord(t, "true") || IsWord(t, "false")) {
    out->push_back({FxOp::Constant, IsWord(t, "true") ? 1.0f : 0.0f, {}, {}});
    return true;
  }
  if (IsPunct(t, '(')) {
    FxType cast;
    if (*i + 1 < end && tokens_[*i].kind == FxTok::Ident && NumericType(Text(tokens_[*i]), &cast) &&
        IsPunct(tokens_[*i + 1], ')')) {
      *i += 2;
      return BuildUnary(i, end, out, depth + 1);
    }
    if (!BuildExpression(i, end, out, depth + 1) || *i >= end || !IsPunct(tokens_[*i], ')'))
      return false;
    ++*i;
    return true;
  }
  if (t.kind != FxTok::Ident) return false;
  const FxParameter* p = FindParameter(Text(t));
  uint32_t named = 0;
  if (!p && valueNames_ && FindFxStateValue(valueNames_->kind, Text(t), &named)) {
    out->push_back({FxOp::Constant, static_cast<float>(named), {}, {}});
    return true;
  }
  if (!p || p->type.base == FxBase::Texture || p->type.base == FxBase::String ||
      p->type.base == FxBase::Struct)
    return false;
  const size_t each = size_t{p->type.rows} * p->type.columns;
  if (*i < end && IsPunct(tokens_[*i], '[')) {
    ++*i;
    if (p->type.elements == 0 || !BuildExpression(i, end, out, depth + 1) || *i >= end ||
        !IsPunct(tokens_[*i], ']'))
      return false;
    ++*i;
    if (!p->isStatic) {
      out->push_back({FxOp::Element, 0, p->name, {}});
      return true;
    }
    if (p->value.size() != each * p->type.elements) return false;
    FxExprStep step{FxOp::TableElement, 0, {}, {}};
    for (size_t k = 0; k < p->type.elements; ++k) step.table.push_back(p->value[k * each]);
    out->push_back(std::move(step));
    return true;
  }
  if (!p->isStatic) {
    out->push_back({FxOp::Parameter, 0, p->name, {}});
    return true;
  }
  if (p->value.empty()) return false;
  out->push_back({FxOp::Constant, p->value[0], {}, {}});
  return true;
}

bool Parser::EvalRange(size_t begin, size_t end, Values* v) const {
  size_t i = begin;
  return Eval(&i, end, v, 0) && i == end;
}

bool Parser::EvalInteger(size_t begin, size_t end, int64_t* value) const {
  Values v;
  if (!EvalRange(begin, end, &v) || v.size() != 1) return false;
  const float f = v[0];
  if (f != std::floor(f) || std::fabs(f) > 1e9f) return false;
  *value = static_cast<int64_t>(f);
  return true;
}

// ---- Declarations --------------------------------------------------------------------------

bool Parser::ArrayLength(uint32_t* length) {
  const FxToken& open = Next();  // '['
  const size_t begin = pos_;
  const size_t end = ExpressionEnd(begin);
  if (!IsPunct(tokens_[end], ']')) return Fail(open.line, "'[' is never closed by ']'");
  int64_t n = 0;
  if (!EvalInteger(begin, end, &n) || n < 1 || n > 65536) {
    const std::string written =
        Quote(std::string_view(src_.text).substr(open.end, tokens_[end].begin - open.end));
    // A name that is neither a macro nor a constant is usually one the application was to
    // define when it compiled the effect: say which.
    FxType scratch;
    for (size_t i = begin; i < end; ++i)
      if (tokens_[i].kind == FxTok::Ident && !FindParameter(Text(tokens_[i])) &&
          !NumericType(Text(tokens_[i]), &scratch))
        return Fail(open.line,
                    "the array length %s uses %s, which is neither a macro nor a "
                    "constant",
                    written.c_str(), Describe(tokens_[i]).c_str());
    return Fail(open.line, "the array length %s is not a constant from 1 to 65536",
                written.c_str());
  }
  *length = static_cast<uint32_t>(n);
  pos_ = end + 1;
  return true;
}

bool Parser::ParseTopLevel() {
  const FxToken& t = Peek();
  if (IsPunct(t, ';')) {
    Next();
    return true;
  }
  if (t.kind == FxTok::Directive) {
    // #pragma pack_matrix(row_major | column_major): the default of the matrices after it.
    const std::string_view line = Text(Next());
    if (line.find("row_major") != std::string_view::npos) rowMajorDefault_ = true;
    if (line.find("column_major") != std::string_view::npos) rowMajorDefault_ = false;
    return true;
  }
  if (IsWord(t, "technique")) return ParseTechnique();
  if (IsWord(t, "technique10") || IsWord(t, "technique11") || IsWord(t, "fxgroup"))
    return Fail(t.line,
                "%s is a Direct3D 10/11 construct; only Direct3D 9 effects (technique) "
                "are supported",
                Describe(t).c_str());
  if (IsExact(t, "cbuffer") || IsExact(t, "tbuffer"))
    return Fail(t.line, "%s blocks are Direct3D 10; only Direct3D 9 effects are supported",
                Describe(t).c_str());
  if (IsExact(t, "struct") && Peek(1).kind == FxTok::Ident && IsPunct(Peek(2), '{'))
    return ParseStruct();
  if (IsExact(t, "typedef")) {
    // typedef T name; : the last name before ';' becomes a type (as good as a struct here).
    const FxToken& first = Next();
    std::string last;
    while (!IsPunct(Peek(), ';')) {
      const FxToken& u = Next();
      if (u.kind == FxTok::End) return Fail(first.line, "'typedef' is never ended by ';'");
      if (u.kind == FxTok::Ident) last = std::string(Text(u));
    }
    Next();
    if (!last.empty()) structs_.push_back(last);
    return true;
  }
  if (IsPunct(t, '[')) {
    // [attributes] before a function, such as [maxtempreg(16)]: HLSL's to read.
    uint32_t end = 0;
    return SkipBalanced('[', ']', &end);
  }
  return ParseDeclaration();
}

bool Parser::ParseStruct() {
  Next();
  std::string name;
  if (!ExpectName(&name, "a struct name")) return false;
  uint32_t end = 0;
  if (!SkipBalanced('{', '}', &end)) return false;
  structs_.push_back(name);
  if (structs_.size() > kMaxFxFunctions) return Fail(Peek().line, "too many structs");
  if (IsPunct(Peek(), ';')) {
    Next();
    return true;
  }
  // struct S { ... } s, t; declares parameters of the new type too.
  FxType type;
  type.base = FxBase::Struct;
  type.name = name;
  for (;;) {
    FxParameter p;
    p.type = type;
    if (!ExpectName(&p.name, "a name or ';' after the struct", &p.line)) return false;
    if (IsPunct(Peek(), '[') && !ArrayLength(&p.type.elements)) return false;
    if (!ParseParameterTail(p.type, Kind::Value, &p, nullptr)) return false;
    if (FindParameter(p.name)) return Fail(p.line, "%s is declared twice", Quote(p.name).c_str());
    if (out_->parameters.size() >= kMaxFxParameters)
      return Fail(p.line, "more than %zu parameters", kMaxFxParameters);
    out_->parameters.push_back(std::move(p));
    if (!IsPunct(Peek(), ',')) break;
    Next();
  }
  return Expect(';', "after a declaration");
}

bool Parser::ParseDeclaration() {
  const FxToken& first = Peek();
  const uint32_t declBegin = first.begin;
  bool isStatic = false, isShared = false, isConst = false, rowMajor = rowMajorDefault_;
  bool explicitMajor = false;
  std::pair<uint32_t, uint32_t> constToken{0, 0};
  for (;;) {
    const FxToken& m = Peek();
    if (IsExact(m, "static"))
      isStatic = true;
    else if (IsExact(m, "shared")) {
      isShared = true;
      Blank(m.begin, m.end);
    } else if (IsExact(m, "const")) {
      isConst = true;
      constToken = {m.begin, m.end};
    } else if (IsExact(m, "row_major"))
      rowMajor = explicitMajor = true;
    else if (IsExact(m, "column_major")) {
      rowMajor = false;
      explicitMajor = true;
    } else if (IsExact(m, "uniform") || IsExact(m, "extern") || IsExact(m, "volatile") ||
               IsExact(m, "inline") || IsExact(m, "precise") || IsExact(m, "snorm") ||
               IsExact(m, "unorm")) {
    } else {
      break;
    }
    Next();
  }
  (void)explicitMajor;
  const size_t typeToken = pos_;
  FxType type;
  Kind kind = Kind::Value;
  if (IsExact(Peek(), "struct") && Peek(1).kind == FxTok::Ident) Next();  // struct S s;
  if (!ParseType(&type, &kind)) return false;
  type.rowMajor = type.rows > 1 && rowMajor;
  const uint32_t typeBegin = tokens_[typeToken].begin;
  int line = 0;
  std::string name;
  if (!ExpectName(&name, "a name after the type", &line)) return false;
  if (IsPunct(Peek(), '(')) return ParseFunction(type, name, line, typeBegin);
  if (kind == Kind::Void) return Fail(line, "%s is declared 'void'", Quote(name).c_str());

  bool blankWhole = kind == Kind::Texture || kind == Kind::String || kind == Kind::VertexShader ||
                    kind == Kind::PixelShader;
  for (;;) {
    FxType declType = type;
    // float d[4][4]: HLSL lays the inner arrays out one after another, so the parameter is the
    // flat array of every element.
    while (IsPunct(Peek(), '[')) {
      uint32_t length = 0;
      if (!ArrayLength(&length)) return false;
      const uint64_t total = uint64_t{std::max(declType.elements, 1u)} * length;
      if (total > 65536)
        return Fail(line, "array %s has more than 65536 elements", Quote(name).c_str());
      declType.elements = static_cast<uint32_t>(total);
    }
    if (kind == Kind::VertexShader || kind == Kind::PixelShader) {
      ShaderObject object;
      object.pixel = kind == Kind::PixelShader;
      object.elements = declType.elements;
      if (!SkipAnnotations(false)) return false;
      if (!Expect('=', "after a shader variable (VertexShader v = compile ...)")) return false;
      const bool list = IsPunct(Peek(), '{');
      if (list) Next();
      do {
        FxShaderBinding binding;
        if (!ParseShaderValue(object.pixel, &binding, false)) return false;
        object.shaders.push_back(std::move(binding));
        if (object.shaders.size() > 256)
          return Fail(line, "shader array %s is too long", Quote(name).c_str());
      } while (list && IsPunct(Peek(), ',') && (Next(), !IsPunct(Peek(), '}')));
      if (list && !Expect('}', "after the shaders of an array")) return false;
      const uint32_t want = object.elements ? object.elements : 1;
      if (object.shaders.size() != want)
        return Fail(line, "shader variable %s holds %u shaders but is given %zu",
                    Quote(name).c_str(), want, object.shaders.size());
      if (shaderObjects_.count(name))
        return Fail(line, "%s is declared twice", Quote(name).c_str());
      shaderObjects_[name] = std::move(object);
    } else if (kind == Kind::Sampler) {
      // A sampler is a binding, constant by nature; glslang fails on one declared const.
      if (isConst) Blank(constToken.first, constToken.second);
      FxSampler s;
      s.name = name;
      s.type = declType;
      s.elements = declType.elements;
      s.line = line;
      if (!ParseParameterTail(declType, kind, nullptr, nullptr)) return false;
      // The register, if any, was kept by the tail in lastRegister_; samplers keep theirs.
      s.registerName = lastRegister_;
      if (IsPunct(Peek(), '=')) {
        const uint32_t eq = Next().begin;
        if (IsPunct(Peek(), '{'))
          return Fail(Peek().line, "sampler arrays with initialisers are not supported");
        if (!IsWord(Peek(), "sampler_state"))
          return Fail(Peek().line, "expected 'sampler_state' after '=' for sampler %s, found %s",
                      Quote(name).c_str(), Describe(Peek()).c_str());
        if (!ParseSamplerState(&s)) return false;
        Blank(eq, tokens_[pos_ - 1].end);
      }
      for (const FxSampler& other : out_->samplers)
        if (other.name == name) return Fail(line, "%s is declared twice", Quote(name).c_str());
      if (out_->samplers.size() >= kMaxFxSamplers)
        return Fail(line, "more than %zu samplers", kMaxFxSamplers);
      out_->samplers.push_back(std::move(s));
    } else {
      FxParameter p;
      p.name = name;
      p.type = declType;
      p.isStatic = isStatic;
      p.isShared = isShared;
      p.isConst = isConst;
      p.line = line;
      if (!ParseParameterTail(declType, kind, &p, nullptr)) return false;
      if (FindParameter(name)) return Fail(line, "%s is declared twice", Quote(name).c_str());
      if (out_->parameters.size() >= kMaxFxParameters)
        return Fail(line, "more than %zu parameters", kMaxFxParameters);
      out_->parameters.push_back(std::move(p));
    }
    if (IsPunct(Peek(), ',')) {
      Next();
      if (!ExpectName(&name, "a name after ','", &line)) return false;
      continue;
    }
    break;
  }
  if (!Expect(';', "after a declaration")) return false;
  if (blankWhole) Blank(declBegin, tokens_[pos_ - 1].end);
  return true;
}

// After a declarator's name and array length: semantics, register(...), annotations, and the
// initial value. Semantics, registers and annotations mean nothing to HLSL bodies and are blanked.
bool Parser::ParseParameterTail(const FxType& type, Kind kind, FxParameter* p, uint32_t*) {
  lastRegister_.clear();
  for (;;) {
    if (IsPunct(Peek(), ':')) {
      const uint32_t begin = Next().begin;
      const FxToken& what = Next();
      if (what.kind != FxTok::Ident)
        return Fail(what.line, "expected a semantic or register after ':', found %s",
                    Describe(what).c_str());
      if (IsExact(what, "register") || IsExact(what, "packoffset")) {
        if (!IsPunct(Peek(), '('))
          return Fail(what.line, "expected '(' after %s", Describe(what).c_str());
        const size_t inner = pos_ + 1;
        uint32_t end = 0;
        if (!SkipBalanced('(', ')', &end)) return false;
        if (IsExact(what, "register") && inner + 1 < pos_)
          lastRegister_ =
              src_.text.substr(tokens_[inner].begin, tokens_[pos_ - 2].end - tokens_[inner].begin);
        Blank(begin, end);
      } else {
        if (p) p->semantic = std::string(Text(what));
        Blank(begin, what.end);
      }
      continue;
    }
    if (IsPunct(Peek(), '<')) {
      if (!SkipAnnotations(true, p ? &p->annotations : nullptr)) return false;
      continue;
    }
    break;
  }
  if (p) p->registerName = lastRegister_;
  if (!p || !IsPunct(Peek(), '=')) return true;
  const FxToken& eq = Next();
  const size_t begin = pos_;
  const size_t end = ExpressionEnd(begin);
  if (!(IsPunct(tokens_[end], ',') || IsPunct(tokens_[end], ';')) || end == begin)
    return Fail(eq.line, "the initial value of %s is not followed by ';'", Quote(p->name).c_str());
  p->initText = src_.text.substr(tokens_[begin].begin, tokens_[end - 1].end - tokens_[begin].begin);
  pos_ = end;
  if (kind == Kind::String) {
    if (end != begin + 1 || tokens_[begin].kind != FxTok::String)
      return Fail(eq.line, "string %s takes one string literal", Quote(p->name).c_str());
    p->stringValue = p->initText.substr(1, p->initText.size() - 2);
    return true;
  }
  if (kind != Kind::Value) return true;
  Values v;
  if (!EvalRange(begin, end, &v)) return true;  // not a constant we read: the compiler's to do
  const size_t count = size_t(type.rows) * type.columns * (type.elements ? type.elements : 1);
  if (type.base == FxBase::Struct) return true;
  if (v.size() == 1 && count > 1) v.assign(count, v[0]);
  if (v.size() == count) p->value.assign(v.begin(), v.end());
  return true;
}

bool Parser::ParseFunction(const FxType& type, const std::string& name, int line, uint32_t) {
  FxFunction f;
  f.name = name;
  f.returnTypeText = type.name;
  f.line = line;
  Next();  // '('
  if (IsExact(Peek(), "void") && IsPunct(Peek(1), ')')) Next();
  if (IsPunct(Peek(), ')')) {
    Next();
  } else {
    for (;;) {
      FxFunctionParameter fp;
      bool sawIn = false, sawOut = false;
      for (;;) {
        const FxToken& m = Peek();
        if (IsExact(m, "in"))
          sawIn = true;
        else if (IsExact(m, "out"))
          sawOut = true;
        else if (IsExact(m, "inout"))
          sawIn = sawOut = true;
        else if (IsExact(m, "uniform"))
          fp.uniform = true;
        else if (!(IsExact(m, "const") || IsExact(m, "linear") || IsExact(m, "centroid") ||
                   IsExact(m, "nointerpolation") || IsExact(m, "noperspective") ||
                   IsExact(m, "row_major") || IsExact(m, "column_major") || IsExact(m, "precise")))
          break;
        Next();
      }
      fp.out = sawOut;
      fp.in = sawIn || !sawOut;
      FxType ptype;
      Kind pkind = Kind::Value;
      if (!ParseType(&ptype, &pkind)) return false;
      fp.typeText = ptype.name;
      if (!ExpectName(&fp.name, "a parameter name")) return false;
      uint32_t end = 0;
      fp.array = IsPunct(Peek(), '[');
      if (fp.array && !SkipBalanced('[', ']', &end)) return false;
      if (IsPunct(Peek(), ':')) {
        Next();
        const FxToken& sem = Next();
        if (sem.kind != FxTok::Ident)
          return Fail(sem.line, "expected a semantic after ':', found %s", Describe(sem).c_str());
        fp.semantic = std::string(Text(sem));
      }
      if (IsPunct(Peek(), '=')) pos_ = ExpressionEnd(pos_ + 1);
      f.parameters.push_back(std::move(fp));
      if (f.parameters.size() > 64)
        return Fail(line, "function %s has too many parameters", Quote(name).c_str());
      const FxToken& sep = Next();
      if (IsPunct(sep, ')')) break;
      if (!IsPunct(sep, ','))
        return Fail(sep.line, "expected ',' or ')' in the parameters of %s, found %s",
                    Quote(name).c_str(), Describe(sep).c_str());
    }
  }
  if (IsPunct(Peek(), ':')) {
    Next();
    const FxToken& sem = Next();
    if (sem.kind != FxTok::Ident)
      return Fail(sem.line, "expected a semantic after ':', found %s", Describe(sem).c_str());
    f.returnSemantic = std::string(Text(sem));
  }
  if (IsPunct(Peek(), ';')) {
    Next();  // a prototype
    return true;
  }
  if (!IsPunct(Peek(), '{'))
    return Fail(Peek().line, "expected the body of function %s, found %s", Quote(name).c_str(),
                Describe(Peek()).c_str());
  uint32_t end = 0;
  if (!SkipBalanced('{', '}', &end)) return false;
  if (out_->functions.size() >= kMaxFxFunctions)
    return Fail(line, "more than %zu functions", kMaxFxFunctions);
  out_->functions.push_back(std::move(f));
  return true;
}

bool Parser::ParseSamplerState(FxSampler* sampler) {
  Next();  // sampler_state
  if (!Expect('{', "after 'sampler_state'")) return false;
  while (!IsPunct(Peek(), '}')) {
    const FxToken& key = Next();
    if (key.kind != FxTok::Ident)
      return Fail(key.line, "expected a sampler state or '}', found %s", Describe(key).c_str());
    if (!Expect('=', "after a sampler state name")) return false;
    if (IsWord(key, "Texture")) {
      // Texture = <t>; (t); or t;
      const size_t begin = pos_, end = ExpressionEnd(begin);
      size_t i = begin;
      if (end - begin == 3 && (IsPunct(tokens_[i], '<') || IsPunct(tokens_[i], '('))) ++i;
      if (end - begin == 3 && tokens_[i].kind == FxTok::Ident) {
      } else if (end - begin != 1 || tokens_[i].kind != FxTok::Ident) {
        return Fail(key.line, "expected Texture = <name>; in sampler %s",
                    Quote(sampler->name).c_str());
      }
      const std::string_view name = Text(tokens_[i]);
      pos_ = end;
      if (!FxEqualIgnoringCase(name, "NULL")) {
        const FxParameter* p = FindParameter(name);
        if (!p || p->type.base != FxBase::Texture)
          return Fail(key.line, "sampler %s reads %s, which is not a texture parameter",
                      Quote(sampler->name).c_str(), Quote(name).c_str());
        sampler->texture = std::string(name);
      }
    } else {
      const FxStateInfo* info = FindFxSamplerState(Text(key));
      if (!info)
        return Fail(key.line, "unknown sampler state %s in sampler %s", Describe(key).c_str(),
                    Quote(sampler->name).c_str());
      FxSamplerState st;
      st.state = info->number;
      if (!ParseStateValue(*info, &st.value)) return false;
      if (sampler->states.size() >= 64) return Fail(key.line, "too many sampler states");
      sampler->states.push_back(st);
    }
    if (!Expect(';', "after a sampler state")) return false;
  }
  Next();  // '}'
  return true;
}

uint32_t FloatBits(float f) {
  uint32_t u = 0;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

uint32_t PackColor(const Values& v) {
  auto channel = [](float f) {
    f = f < 0 ? 0 : f > 1 ? 1 : f;
    return static_cast<uint32_t>(std::lround(f * 255.0f));
  };
  // D3DCOLOR: A in the high byte, then R, G, B.
  return channel(v[3]) << 24 | channel(v[0]) << 16 | channel(v[1]) << 8 | channel(v[2]);
}

bool ParseUnsigned(std::string_view text, uint32_t* value) {
  while (!text.empty() && std::strchr("uUlL", text.back())) text.remove_suffix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint64_t v = 0;
  const auto [last, code] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (code != std::errc() || last != text.data() + text.size() || v > 0xFFFFFFFFu) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

// A state's value: a name of its kind, a number, Red|Green|... for colour masks, float4(...) for
// colours, or a constant expression over parameters' initial values, optionally in <> or ().
// The tokens of the state value at pos_, without <> (and () where `parentheses`), moving past it;
// *written is the text.
void Parser::TakeStateValue(bool parentheses, size_t* begin, size_t* end, int* line,
                            std::string* written) {
  *begin = pos_;
  *end = ExpressionEnd(*begin);
  *line = Peek().line;
  pos_ = *end;
  const auto around = [&](char open, char close) {
    return IsPunct(tokens_[*begin], open) && IsPunct(tokens_[*end - 1], close);
  };
  if (*end > *begin + 2 && (around('<', '>') || (parentheses && around('(', ')')))) {
    ++*begin;
    --*end;
  }
  *written = *begin < *end ? src_.text.substr(tokens_[*begin].begin,
                                              tokens_[*end - 1].end - tokens_[*begin].begin)
                           : std::string();
}

bool Parser::ParseStateValue(const FxStateInfo& info, uint32_t* value) {
  size_t begin = 0, end = 0;
  int line = 0;
  std::string written;
  TakeStateValue(false, &begin, &end, &line, &written);
  auto bad = [&] {
    return Fail(line, "%s is not a value of state '%s'", Quote(written).c_str(), info.name);
  };
  if (begin == end) return bad();
  // Names the lexer takes for something else (VertexBlend's 1Weights).
  if (FindFxStateValue(info.kind, written, value)) return true;
  if (IsFxMaskKind(info.kind) || end - begin == 1) {
    // Names joined by '|' (one name for every kind but the masks).
    uint32_t mask = 0;
    bool named = true;
    for (size_t i = begin; i < end; i += 2) {
      uint32_t v = 0;
      if (tokens_[i].kind != FxTok::Ident || !FindFxStateValue(info.kind, Text(tokens_[i]), &v) ||
          (i + 1 < end && !IsPunct(tokens_[i + 1], '|'))) {
        named = false;
        break;
      }
      mask |= v;
    }
    if (named) {
      *value = mask;
      return true;
    }
  }
  if (end - begin == 1 && tokens_[begin].kind == FxTok::Number && info.kind != FxValueKind::Float &&
      ParseUnsigned(Text(tokens_[begin]), value))
    return true;
  Values v;
  if (!EvalRange(begin, end, &v)) return bad();
  if (info.kind == FxValueKind::Float && v.size() == 1) {
    *value = FloatBits(v[0]);
    return true;
  }
  if (info.kind == FxValueKind::Color && v.size() == 4) {
    *value = PackColor(v);
    return true;
  }
  if (v.size() != 1 || v[0] != std::floor(v[0]) || v[0] < -2147483648.0f || v[0] > 4294967295.0f)
    return bad();
  *value =
      v[0] < 0 ? static_cast<uint32_t>(static_cast<int32_t>(v[0])) : static_cast<uint32_t>(v[0]);
  return true;
}

// A fixed-function state's value: a parameter (`<World>`, `(World)`, `World`), names of its kind
// joined by '|', or a constant.
bool Parser::ParseFixedValue(const FxFixedStateInfo& info, FxFixedState* state) {
  size_t begin = 0, end = 0;
  int line = 0;
  std::string written;
  TakeStateValue(true, &begin, &end, &line, &written);
  auto bad = [&] {
    return Fail(line, "%s is not a value of state '%s'", Quote(written).c_str(), info.name);
  };
  if (begin == end) return bad();
  // name or name[constant]
  int64_t element = -1;
  if (end - begin >= 4 && tokens_[begin].kind == FxTok::Ident && IsPunct(tokens_[begin + 1], '[') &&
      IsPunct(tokens_[end - 1], ']') && ExpressionEnd(begin + 2) == end - 1 &&
      EvalInteger(begin + 2, end - 1, &element)) {
    const FxParameter* p = FindParameter(Text(tokens_[begin]));
    if (p && !p->isStatic && p->type.base != FxBase::Texture) {
      if (element < 0 || element >= static_cast<int64_t>(std::max(p->type.elements, 1u)))
        return Fail(line, "%s is outside the array %s", Quote(written).c_str(),
                    Quote(p->name).c_str());
      state->parameter = p->name;
      state->element = static_cast<uint32_t>(element);
      return true;
    }
  }
  if (end - begin == 1 && tokens_[begin].kind == FxTok::Ident) {
    const FxParameter* p = FindParameter(Text(tokens_[begin]));
    if (p && !p->isStatic) {
      const bool texture = p->type.base == FxBase::Texture;
      if (texture != (info.value == FxFixedValue::Texture))
        return Fail(line, "state '%s' cannot take %s %s", info.name,
                    texture ? "texture" : "numeric parameter", Quote(p->name).c_str());
      state->parameter = p->name;
      return true;
    }
    if (info.value == FxFixedValue::Texture && IsWord(tokens_[begin], "NULL")) return true;
  }
  if (info.value == FxFixedValue::Texture) return bad();
  const bool named =
      info.value == FxFixedValue::Bool || info.value == FxFixedValue::LightType ||
      info.value == FxFixedValue::TextureOp || info.value == FxFixedValue::TextureArg ||
      info.value == FxFixedValue::TexCoordIndex || info.value == FxFixedValue::TransformFlags;
  if (named) {
    uint32_t mask = 0;
    bool ok = true;
    for (size_t i = begin; i < end && ok; i += 2) {
      uint32_t v = 0;
      if (tokens_[i].kind == FxTok::Ident)
        ok = FindFxFixedValue(info.value, Text(tokens_[i]), &v);
      else
        ok = tokens_[i].kind == FxTok::Number && ParseUnsigned(Text(tokens_[i]), &v);
      ok = ok && (i + 1 >= end || IsPunct(tokens_[i + 1], '|'));
      mask |= v;
    }
    if (ok) {
      state->number = mask;
      return true;
    }
  }
  Values v;
  if (!EvalRange(begin, end, &v)) return bad();
  size_t size = 1;
  switch (info.value) {
    case FxFixedValue::Matrix: size = 16; break;
    case FxFixedValue::Color: size = 4; break;
    case FxFixedValue::Vector: size = 3; break;
    default: break;
  }
  // A colour may be given as three components; its alpha is then 1, as float4(rgb, 1).
  if (info.value == FxFixedValue::Color && v.size() == 3) v.push_back(1.0f);
  if (v.size() != size) return bad();
  if (named) {
    if (v[0] < 0 || v[0] != std::floor(v[0]) || v[0] > 4294967295.0f) return bad();
    state->number = static_cast<uint32_t>(v[0]);
    return true;
  }
  state->value.assign(v.begin(), v.end());
  return true;
}

bool Parser::ParseCompile(bool pixel, FxShaderBinding* binding) {
  const FxToken& kw = Next();  // compile
  const FxToken& profile = Next();
  if (profile.kind != FxTok::Ident)
    return Fail(profile.line, "expected a shader profile after 'compile', found %s",
                Describe(profile).c_str());
  std::string name(Text(profile));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // Shader model 1 as the original compiler took it: vs_1_1 as any vertex profile, ps_1_x as
  // ps_2_0 (the compiler warns, compiler/compile_fx.cpp).
  static const char* const vertex[] = {"vs_1_1",  "vs_2_0", "vs_2_a",
                                       "vs_2_sw", "vs_3_0", "vs_3_sw"};
  static const char* const fragment[] = {"ps_1_1", "ps_1_2", "ps_1_3",  "ps_1_4", "ps_2_0",
                                         "ps_2_a", "ps_2_b", "ps_2_sw", "ps_3_0", "ps_3_sw"};
  bool known = false;
  if (pixel) {
    for (const char* p : fragment) known = known || name == p;
  } else {
    for (const char* p : vertex) known = known || name == p;
  }
  if (!known) {
    if (name.rfind(pixel ? "vs_" : "ps_", 0) == 0)
      return Fail(profile.line, "%s compiles a %s shader, but this is the %s",
                  Describe(profile).c_str(), pixel ? "vertex" : "pixel",
                  pixel ? "PixelShader" : "VertexShader");
    return Fail(profile.line, "%s is not a Direct3D 9 %s shader profile", Describe(profile).c_str(),
                pixel ? "pixel" : "vertex");
  }
  binding->present = true;
  binding->profile = name;
  binding->line = kw.line;
  const FxToken& entry = Next();
  if (entry.kind != FxTok::Ident)
    return Fail(entry.line, "expected the entry function after %s, found %s", name.c_str(),
                Describe(entry).c_str());
  binding->entry = std::string(Text(entry));
  if (!Expect('(', "after the entry function")) return false;
  while (!IsPunct(Peek(), ')')) {
    const size_t begin = pos_, end = ExpressionEnd(begin);
    if (end == begin || !(IsPunct(tokens_[end], ',') || IsPunct(tokens_[end], ')')))
      return Fail(Peek().line, "malformed argument of %s", Quote(binding->entry).c_str());
    binding->arguments.push_back(
        src_.text.substr(tokens_[begin].begin, tokens_[end - 1].end - tokens_[begin].begin));
    if (binding->arguments.size() > 64) return Fail(entry.line, "too many arguments");
    pos_ = end;
    if (IsPunct(Peek(), ',')) Next();
  }
  Next();  // ')'
  return true;
}

bool Parser::ParseShaderValue(bool pixel, FxShaderBinding* binding, bool inPass,
                              FxShaderSelect* select) {
  const FxToken& t = Peek();
  const char* stage = pixel ? "PixelShader" : "VertexShader";
  if (IsWord(t, "compile")) return ParseCompile(pixel, binding);
  if (IsWord(t, "NULL")) {
    Next();
    *binding = FxShaderBinding();
    binding->line = t.line;
    return true;
  }
  if (IsWord(t, "asm")) {
    // The assembly is kept as text for the compiler; its tokens mean nothing to this reader.
    Next();
    const FxToken& open = Peek();
    uint32_t end = 0;
    if (!IsPunct(open, '{'))
      return Fail(open.line, "expected '{' after 'asm', found %s", Describe(open).c_str());
    if (!SkipBalanced('{', '}', &end)) return false;
    *binding = FxShaderBinding();
    binding->present = true;
    binding->line = t.line;
    binding->assembly = src_.text.substr(open.end, end - 1 - open.end);
    binding->assemblyLine = open.line;
    binding->profile = FxAsmProfile(binding->assembly);
    if (binding->profile.empty())
      return Fail(open.line, "an asm block starts with a Direct3D 9 shader version (%s)",
                  pixel ? "ps_1_1 to ps_3_0" : "vs_1_1 to vs_3_0");
    if ((binding->profile[0] == 'p') != pixel)
      return Fail(open.line, "%s is no %s version", binding->profile.c_str(), stage);
    return true;
  }
  if (!inPass)
    return Fail(t.line, "expected 'compile', 'NULL' or 'asm' for a %s, found %s", stage,
                Describe(t).c_str());
  // (name), name, (name[index]), name[index]: a shader variable declared before.
  const size_t begin = pos_, end = ExpressionEnd(begin);
  size_t i = begin, last = end;
  if (IsPunct(tokens_[i], '(') && last > i + 1 && IsPunct(tokens_[last - 1], ')')) ++i, --last;
  if (IsPunct(tokens_[i], '<') && last > i + 1 && IsPunct(tokens_[last - 1], '>')) ++i, --last;
  if (i >= last || tokens_[i].kind != FxTok::Ident)
    return Fail(t.line, "expected 'compile', 'NULL' or a shader variable for the %s, found %s",
                stage, Describe(t).c_str());
  const std::string name(Text(tokens_[i]));
  auto found = shaderObjects_.find(name);
  if (found == shaderObjects_.end())
    return Fail(t.line, "%s is not a shader variable", Quote(name).c_str());
  const ShaderObject& object = found->second;
  if (object.pixel != pixel)
    return Fail(t.line, "%s holds %s shaders, but this is the %s", Quote(name).c_str(),
                object.pixel ? "pixel" : "vertex", stage);
  int64_t index = 0;
  if (i + 1 < last) {
    if (!IsPunct(tokens_[i + 1], '[') || !IsPunct(tokens_[last - 1], ']'))
      return Fail(t.line, "malformed shader variable reference to %s", Quote(name).c_str());
    const std::string text =
        src_.text.substr(tokens_[i + 2].begin, tokens_[last - 1].begin - tokens_[i + 2].begin);
    if (object.elements != 0 && select && ReadsSettableParameter(i + 2, last - 1)) {
      // Picked when the pass begins; the binding is the shader of the initial values.
      size_t at = i + 2;
      select->index.clear();
      if (!BuildExpression(&at, last - 1, &select->index, 0) || at != last - 1)
        return Fail(t.line,
                    "the index %s of %s is not an expression over parameters the effect can "
                    "evaluate",
                    Quote(text).c_str(), Quote(name).c_str());
      const float k = std::floor(InitialValueOf(select->index) + 0.5f);
      const size_t count = object.shaders.size();
      *binding = object.shaders[k <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(k), count - 1)];
      select->shaders = object.shaders;
      select->array = name;
      select->text = text;
      pos_ = end;
      return true;
    }
    if (!EvalInteger(i + 2, last - 1, &index))
      return Fail(t.line, "the index %s of %s is not a constant the effect can evaluate",
                  Quote(text).c_str(), Quote(name).c_str());
    if (object.elements == 0) return Fail(t.line, "%s is not an array", Quote(name).c_str());
  } else if (object.elements != 0) {
    return Fail(t.line, "%s is an array of shaders and needs an index", Quote(name).c_str());
  }
  if (index < 0 || index >= static_cast<int64_t>(object.shaders.size()))
    return Fail(t.line, "index %lld is outside shader array %s of %zu",
                static_cast<long long>(index), Quote(name).c_str(), object.shaders.size());
  *binding = object.shaders[static_cast<size_t>(index)];
  pos_ = end;
  return true;
}

bool Parser::ParseTechnique() {
  const FxToken& kw = Next();
  FxTechnique tech;
  tech.line = kw.line;
  if (Peek().kind == FxTok::Ident && !ExpectName(&tech.name, "a technique name")) return false;
  if (!SkipAnnotations(false)) return false;
  if (!Expect('{', "to open the technique")) return false;
  while (!IsPunct(Peek(), '}')) {
    if (!IsWord(Peek(), "pass"))
      return Fail(Peek().line, "expected 'pass' or '}' in technique %s, found %s",
                  Quote(tech.name).c_str(), Describe(Peek()).c_str());
    if (!ParsePass(&tech)) return false;
  }
  const uint32_t end = Next().end;
  Blank(kw.begin, end);
  for (const FxTechnique& other : out_->techniques)
    if (!tech.name.empty() && other.name == tech.name)
      return Fail(kw.line, "technique %s is declared twice", Quote(tech.name).c_str());
  if (out_->techniques.size() >= kMaxFxTechniques)
    return Fail(kw.line, "more than %zu techniques", kMaxFxTechniques);
  out_->techniques.push_back(std::move(tech));
  return true;
}

bool Parser::ParsePass(FxTechnique* technique) {
  const FxToken& kw = Next();
  FxPass pass;
  pass.line = kw.line;
  if (Peek().kind == FxTok::Ident && !ExpectName(&pass.name, "a pass name")) return false;
  if (!SkipAnnotations(false)) return false;
  if (!Expect('{', "to open the pass")) return false;
  while (!IsPunct(Peek(), '}'))
    if (!ParsePassState(&pass, *technique)) return false;
  Next();
  if (!CheckPass(pass, *technique)) return false;
  for (const FxPass& other : technique->passes)
    if (!pass.name.empty() && other.name == pass.name)
      return Fail(kw.line, "pass %s is declared twice in technique %s", Quote(pass.name).c_str(),
                  Quote(technique->name).c_str());
  if (technique->passes.size() >= kMaxFxPasses)
    return Fail(kw.line, "technique %s has more than %zu passes", Quote(technique->name).c_str(),
                kMaxFxPasses);
  technique->passes.push_back(std::move(pass));
  return true;
}

// VertexShaderConstant, ...F and ...1 to ...4 (and the pixel ones): the number of registers
// the stage has; 0 for any other state.
int ShaderConstantRegisters(std::string_view name) {
  for (const char* stage : {"VertexShaderConstant", "PixelShaderConstant"}) {
    const size_t length = std::strlen(stage);
    if (name.size() < length || !FxEqualIgnoringCase(name.substr(0, length), stage)) continue;
    const std::string_view rest = name.substr(length);
    if (rest.empty() || FxEqualIgnoringCase(rest, "F") ||
        (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '4'))
      return stage[0] == 'V' ? 256 : 224;
  }
  return 0;
}

// The value of a shader-constant state: <name>, (name) or name of a numeric parameter, or a
// constant (float4(1, 0, 0, 1), {1, 0, 0, 1}, 0.5).
bool Parser::ParseShaderConstant(const FxToken& key, uint32_t reg, FxPass* pass) {
  FxShaderConstant constant;
  const std::string_view name = Text(key);
  constant.pixel = name[0] == 'P' || name[0] == 'p';
  constant.reg = reg;
  const char last = name.back();
  constant.count = last >= '1' && last <= '4' ? static_cast<uint32_t>(last - '0') : 0;
  constant.line = key.line;
  const size_t begin = pos_, end = ExpressionEnd(begin);
  size_t i = begin, stop = end;
  while (stop > i + 2 && ((IsPunct(tokens_[i], '(') && IsPunct(tokens_[stop - 1], ')')) ||
                          (IsPunct(tokens_[i], '<') && IsPunct(tokens_[stop - 1], '>'))))
    ++i, --stop;
  if (stop == i + 1 && tokens_[i].kind == FxTok::Ident) {
    const FxParameter* p = FindParameter(Text(tokens_[i]));
    if (!p || p->type.base == FxBase::Texture || p->type.base == FxBase::String ||
        p->type.base == FxBase::Sampler || p->type.base == FxBase::Struct)
      return Fail(key.line, "state %s names %s, which is no numeric parameter",
                  Describe(key).c_str(), Quote(Text(tokens_[i])).c_str());
    constant.parameter = p->name;
  } else {
    Values values;
    if (!EvalRange(begin, end, &values) || values.empty())
      return Fail(key.line, "the value of state %s is neither a parameter nor a constant",
                  Describe(key).c_str());
    constant.value.assign(values.begin(), values.end());
    constant.value.resize((constant.value.size() + 3) / 4 * 4, 0.0f);
    if (constant.value.size() > 4 * 256)
      return Fail(key.line, "the value of state %s is too long", Describe(key).c_str());
  }
  pass->shaderConstants.push_back(std::move(constant));
  pos_ = end;
  return true;
}

bool Parser::ParsePassState(FxPass* pass, const FxTechnique& technique) {
  const FxToken& key = Next();
  if (key.kind != FxTok::Ident)
    return Fail(key.line, "expected a state name or '}' in pass %s, found %s",
                Quote(pass->name).c_str(), Describe(key).c_str());
  bool indexed = false;
  int64_t index = 0;
  const int constantRegisters = ShaderConstantRegisters(Text(key));
  const int64_t lastIndex = constantRegisters ? constantRegisters - 1 : 15;
  if (IsPunct(Peek(), '[')) {
    const size_t begin = pos_ + 1, end = ExpressionEnd(begin);
    const FxFixedStateInfo* fixed = FindFxFixedState(Text(key));
    const int64_t last = fixed ? fixed->indices - 1 : lastIndex;
    if (fixed && fixed->indices == 1 && IsPunct(tokens_[end], ']') &&
        EvalInteger(begin, end, &index) && index != 0)
      return Fail(key.line, "%s takes no index", Describe(key).c_str());
    if (!IsPunct(tokens_[end], ']') || !EvalInteger(begin, end, &index) || index < 0 ||
        index > last)
      return Fail(key.line, "the index of state %s is not a constant from 0 to %lld",
                  Describe(key).c_str(), static_cast<long long>(last));
    indexed = true;
    pos_ = end + 1;
  }
  if (!Expect('=', "after a state name")) return false;
  const bool pixel = IsWord(key, "PixelShader");
  if (pixel || IsWord(key, "VertexShader")) {
    if (indexed) return Fail(key.line, "%s takes no index", Describe(key).c_str());
    if (!ParseShaderValue(pixel, pixel ? &pass->pixelShader : &pass->vertexShader, true,
                          pixel ? &pass->pixelSelect : &pass->vertexSelect))
      return false;
  } else if (constantRegisters && indexed) {
    if (!ParseShaderConstant(key, static_cast<uint32_t>(index), pass)) return false;
  } else if (IsWord(key, "Sampler") && indexed) {
    const size_t begin = pos_, end = ExpressionEnd(begin);
    size_t i = begin;
    if (end - begin == 3 && (IsPunct(tokens_[i], '(') || IsPunct(tokens_[i], '<'))) ++i;
    if (!(end - begin == 1 || end - begin == 3) || tokens_[i].kind != FxTok::Ident)
      return Fail(key.line, "expected Sampler[n] = (name);");
    const std::string name(Text(tokens_[i]));
    bool known = false;
    for (const FxSampler& s : out_->samplers) known = known || s.name == name;
    if (!known) return Fail(key.line, "%s is not a sampler of the effect", Quote(name).c_str());
    pass->samplerBindings.push_back({static_cast<uint32_t>(index), name});
    pos_ = end;
  } else if (const FxStateInfo* sampler = indexed ? FindFxSamplerState(Text(key)) : nullptr) {
    FxPassSamplerState st;
    st.sampler = static_cast<uint32_t>(index);
    st.state.state = sampler->number;
    if (!ParseStateValue(*sampler, &st.state.value)) return false;
    pass->samplerStates.push_back(st);
  } else if (const FxStateInfo* info = indexed ? nullptr : FindFxRenderState(Text(key))) {
    FxRenderState st;
    st.state = info->number;
    size_t begin = pos_, end = ExpressionEnd(begin);
    if (end > begin + 2 && IsPunct(tokens_[begin], '<') && IsPunct(tokens_[end - 1], '>'))
      ++begin, --end;
    // A value over parameters the program sets is evaluated again when the pass begins, as a
    // whole number (compiler/expression.hpp, StateValueOf); names of the state's values (One,
    // CCW) are its constants.
    // Comparisons, logic and ?: over statics alone are folded here.
    bool logic = false;
    for (size_t i = begin; i < end; ++i)
      for (const char c : {'<', '>', '=', '!', '&', '|', '?'})
        logic = logic || IsPunct(tokens_[i], c);
    const bool settable = ReadsSettableParameter(begin, end);
    if (info->kind != FxValueKind::Float && info->kind != FxValueKind::Color &&
        info->kind != FxValueKind::ColorMask && (settable || logic)) {
      valueNames_ = info;
      size_t at = begin;
      if (!BuildExpression(&at, end, &st.expression, 0) || at != end) st.expression.clear();
      valueNames_ = nullptr;
    }
    if (!st.expression.empty()) {
      const float v = std::floor(InitialValueOf(st.expression) + 0.5f);
      st.value = v > 0 ? static_cast<uint32_t>(std::min(v, 4294967040.0f)) : 0;
      if (!settable) st.expression.clear();
      pos_ = ExpressionEnd(pos_);
    } else if (!ParseStateValue(*info, &st.value)) {
      return false;
    }
    pass->renderStates.push_back(st);
  } else if (const FxFixedStateInfo* fixed = FindFxFixedState(Text(key))) {
    FxFixedState st;
    st.state = fixed->state;
    st.index = static_cast<uint32_t>(index);
    st.line = key.line;
    if (!ParseFixedValue(*fixed, &st)) return false;
    if (pass->fixedStates.size() >= 256)
      return Fail(key.line, "too many states in pass %s", Quote(pass->name).c_str());
    pass->fixedStates.push_back(std::move(st));
  } else {
    return Fail(key.line, "state %s is not supported", Describe(key).c_str());
  }
  if (pass->renderStates.size() + pass->samplerStates.size() + pass->shaderConstants.size() > 512)
    return Fail(key.line, "too many states in pass %s", Quote(pass->name).c_str());
  (void)technique;
  return Expect(';', "after a state");
}

bool Parser::CheckPass(const FxPass& pass, const FxTechnique& technique) {
  // Texture[n] names the texture a stage reads; a pass's samplers are the file's own.
  (void)technique;
  for (const FxFixedState& st : pass.fixedStates)
    if (st.state == FxFixed::Texture && !st.parameter.empty()) {
      const FxParameter* p = FindParameter(st.parameter);
      if (!p || p->type.base != FxBase::Texture)
        return Fail(st.line, "%s is not a texture", Quote(st.parameter).c_str());
    }
  return true;
}

bool Parser::Run(std::string* error) {
  int line = 0;
  std::string message;
  if (!LexFx(src_.text, &tokens_, &line, &message)) {
    Fail(line, "%s", message.c_str());
    *error = error_;
    return false;
  }
  bool ok = true;
  while (ok && Peek().kind != FxTok::End) ok = ParseTopLevel();
  if (ok) {
    for (const FxTechnique& t : out_->techniques)
      for (const FxPass& p : t.passes)
        for (const FxShaderBinding* b : {&p.vertexShader, &p.pixelShader}) {
          if (!b->present || !b->assembly.empty()) continue;
          bool found = false;
          for (const FxFunction& f : out_->functions) found = found || f.name == b->entry;
          if (!found) {
            ok = Fail(b->line, "the shader entry %s is not a function of the effect",
                      Quote(b->entry).c_str());
            break;
          }
        }
  }
  if (ok && out_->techniques.empty()) ok = Fail(Peek().line, "the effect declares no technique");
  if (!ok) {
    *error = error_;
    return false;
  }
  out_->hlsl = src_.text;
  for (const auto& [begin, end] : blanks_)
    for (uint32_t i = begin; i < end && i < out_->hlsl.size(); ++i)
      if (out_->hlsl[i] != '\n') out_->hlsl[i] = ' ';
  return true;
}

}  // namespace

std::string FxAsmProfile(std::string_view text) {
  size_t i = 0;
  for (;;) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == ';' || text.substr(i, 2) == "//")) {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    break;
  }
  std::string word;
  while (i < text.size() && word.size() < 8 &&
         (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_' || text[i] == '.'))
    word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i++])));
  for (char& c : word)
    if (c == '.') c = '_';
  for (const char* known : {"vs_1_1", "vs_2_0", "vs_2_x", "vs_3_0", "ps_1_1", "ps_1_2", "ps_1_3",
                            "ps_1_4", "ps_2_0", "ps_2_x", "ps_3_0"})
    if (word == known) return word;
  return "";
}

std::string FxPlace(const FxPreprocessed& source, int line) {
  const std::string file = source.files.empty() ? std::string("effect") : source.files[0];
  if (source.origins.empty()) return file + "(1)";
  if (line < 0) line = 0;
  if (static_cast<size_t>(line) >= source.origins.size())
    line = static_cast<int>(source.origins.size() - 1);
  const FxLineOrigin& o = source.origins[static_cast<size_t>(line)];
  const std::string& name = o.file < source.files.size() ? source.files[o.file] : file;
  return name + "(" + std::to_string(o.line) + ")";
}

bool ParseFx(const FxPreprocessed& source, FxEffect* out, std::string* error) {
  *out = FxEffect();
  out->source = source;
  Parser parser(out->source, out);
  return parser.Run(error);
}

}  // namespace formats
