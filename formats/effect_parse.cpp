// Effect file parser: a hand-written lexer and a flat, non-recursive parser for the outer syntax;
// shader bodies are cut out by brace counting and kept as text. Every read is checked against the
// end of the buffer, and nothing recurses, so hostile input costs at most one linear pass.
#include "formats/effect_parse.hpp"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "formats/quote.hpp"

namespace formats {
namespace {

enum class Tok : uint8_t { End, Ident, Number, Punct };

struct Token {
  Tok kind = Tok::End;
  std::string_view text;
  int line = 1;
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

class Parser {
 public:
  Parser(const char* label, const char* text, size_t size, EffectDescription* out)
      : label_(label ? label : "effect"), p_(text), end_(text + size), out_(out) {}

  bool Run();
  std::string error;

 private:
  // Lexing ------------------------------------------------------------------------------------
  bool SkipSpace();
  bool Next(Token* token);
  bool Peek(Token* token);
  // Parsing -----------------------------------------------------------------------------------
  bool Fail(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));
  bool Expect(char punct, const char* where);
  bool ExpectIdent(Token* token, const char* what);
  bool ExpectName(Token* token, const char* what);
  bool ParseNumber(const Token& token, float* value);
  bool ParseParameter(const Token& typeToken, ParamType type);
  bool ParseSampler(int line);
  bool ParseBody(std::string* body, int* bodyLine, const std::string& what);
  bool ParseShader(ShaderStage stage, int line);
  bool ParseTechnique(int line);
  bool ParsePassState(const Token& key, EffectPass* pass, const std::string& technique);
  bool ParseSamplerState(const Token& key, EffectSampler* sampler, uint32_t* seen);
  bool Resolve();
  bool UniformNameTaken(std::string_view name) const;

  const char* label_;
  const char* p_;
  const char* end_;
  int line_ = 1;
  bool peeked_ = false;
  Token peek_;
  EffectDescription* out_;
};

bool Parser::Fail(int line, const char* format, ...) {
  char message[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  error = std::string(label_) + "(" + std::to_string(line) + "): error: " + message;
  return false;
}

bool Parser::SkipSpace() {
  while (p_ < end_) {
    const char c = *p_;
    if (c == '\n') {
      ++line_;
      ++p_;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++p_;
    } else if (c == '/' && p_ + 1 < end_ && p_[1] == '/') {
      while (p_ < end_ && *p_ != '\n') ++p_;
    } else if (c == '/' && p_ + 1 < end_ && p_[1] == '*') {
      const int start = line_;
      p_ += 2;
      while (p_ < end_ && !(*p_ == '*' && p_ + 1 < end_ && p_[1] == '/')) {
        if (*p_ == '\n') ++line_;
        ++p_;
      }
      if (p_ >= end_) return Fail(start, "comment '/*' is never closed");
      p_ += 2;
    } else {
      return true;
    }
  }
  return true;
}

bool Parser::Next(Token* token) {
  if (peeked_) {
    peeked_ = false;
    *token = peek_;
    return true;
  }
  if (!SkipSpace()) return false;
  token->line = line_;
  if (p_ >= end_) {
    token->kind = Tok::End;
    token->text = {};
    return true;
  }
  const char* start = p_;
  const char c = *p_;
  if (IsIdentStart(c)) {
    while (p_ < end_ && IsIdentChar(*p_)) ++p_;
    token->kind = Tok::Ident;
  } else if (IsDigit(c) || c == '.' || c == '-') {
    if (c == '-') ++p_;
    bool digits = false;
    while (p_ < end_ && IsDigit(*p_)) ++p_, digits = true;
    if (p_ < end_ && *p_ == '.') {
      ++p_;
      while (p_ < end_ && IsDigit(*p_)) ++p_, digits = true;
    }
    if (!digits) return Fail(line_, "unexpected character %s", Quote({start, 1}).c_str());
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      if (p_ >= end_ || !IsDigit(*p_))
        return Fail(line_, "malformed number %s", Quote({start, size_t(p_ - start)}).c_str());
      while (p_ < end_ && IsDigit(*p_)) ++p_;
    }
    if (p_ < end_ && (*p_ == 'f' || *p_ == 'F')) ++p_;  // HLSL-style suffix, harmless
    if (p_ < end_ && IsIdentChar(*p_)) {
      while (p_ < end_ && IsIdentChar(*p_)) ++p_;
      return Fail(line_, "malformed number %s", Quote({start, size_t(p_ - start)}).c_str());
    }
    token->kind = Tok::Number;
  } else if (std::strchr("{};=<>,()", c) && c != '\0') {
    ++p_;
    token->kind = Tok::Punct;
  } else {
    return Fail(line_, "unexpected character %s", Quote({start, 1}).c_str());
  }
  token->text = {start, size_t(p_ - start)};
  return true;
}

bool Parser::Peek(Token* token) {
  if (!peeked_) {
    if (!Next(&peek_)) return false;
    peeked_ = true;
  }
  *token = peek_;
  return true;
}

std::string Describe(const Token& token) {
  return token.kind == Tok::End ? std::string("the end of the file") : Quote(token.text);
}

bool IsPunct(const Token& token, char c) { return token.kind == Tok::Punct && token.text[0] == c; }

bool Parser::Expect(char punct, const char* where) {
  Token token;
  if (!Next(&token)) return false;
  if (IsPunct(token, punct)) return true;
  return Fail(token.line, "expected '%c' %s, found %s", punct, where, Describe(token).c_str());
}

bool Parser::ExpectIdent(Token* token, const char* what) {
  if (!Next(token)) return false;
  if (token->kind == Tok::Ident) return true;
  return Fail(token->line, "expected %s, found %s", what, Describe(*token).c_str());
}

bool Parser::ExpectName(Token* token, const char* what) {
  if (!ExpectIdent(token, what)) return false;
  if (token->text.size() > kMaxEffectNameLength)
    return Fail(token->line, "name %s is longer than %zu characters", Quote(token->text).c_str(),
                kMaxEffectNameLength);
  return true;
}

bool Parser::ParseNumber(const Token& token, float* value) {
  if (token.kind != Tok::Number)
    return Fail(token.line, "expected a number, found %s", Describe(token).c_str());
  std::string_view text = token.text;
  if (text.back() == 'f' || text.back() == 'F') text.remove_suffix(1);
  const auto [last, code] = std::from_chars(text.data(), text.data() + text.size(), *value);
  if (code != std::errc() || last != text.data() + text.size() || !std::isfinite(*value))
    return Fail(token.line, "number %s is out of range", Quote(token.text).c_str());
  return true;
}

bool Parser::UniformNameTaken(std::string_view name) const {
  for (const EffectParameter& parameter : out_->parameters)
    if (parameter.name == name) return true;
  for (const EffectSampler& sampler : out_->samplers)
    if (sampler.name == name) return true;
  return false;
}

// The framework declares these in the generated stages; a uniform of the same name would clash.
bool IsReservedName(std::string_view name) {
  return name == "inPosition" || name == "inNormal" || name == "inTexCoord" ||
         name.substr(0, 3) == "gl_";
}

bool Parser::ParseParameter(const Token& typeToken, ParamType type) {
  Token name;
  if (!ExpectName(&name, "a parameter name")) return false;
  if (IsReservedName(name.text))
    return Fail(name.line, "%s is a name the framework reserves", Quote(name.text).c_str());
  if (UniformNameTaken(name.text))
    return Fail(name.line, "%s is declared twice", Quote(name.text).c_str());
  if (out_->parameters.size() >= kMaxEffectParameters)
    return Fail(name.line, "too many parameters (at most %zu)", kMaxEffectParameters);
  EffectParameter parameter;
  parameter.name = std::string(name.text);
  parameter.type = type;
  parameter.line = typeToken.line;
  Token token;
  if (!Next(&token)) return false;
  if (IsPunct(token, '=')) {
    const uint32_t count = FloatCount(type);
    if (count == 0) return Fail(token.line, "a texture parameter takes no initial value");
    Token value;
    if (!Next(&value)) return false;
    if (count == 1 && value.kind == Tok::Number) {
      if (!ParseNumber(value, &parameter.value[0])) return false;
    } else {
      if (!IsPunct(value, '{'))
        return Fail(value.line, "expected '{' and %u numbers for %s, found %s", count,
                    Quote(name.text).c_str(), Describe(value).c_str());
      for (uint32_t i = 0; i < count; ++i) {
        if (!Next(&value)) return false;
        if (!ParseNumber(value, &parameter.value[i])) return false;
        if (!Next(&value)) return false;
        const char want = i + 1 < count ? ',' : '}';
        if (!IsPunct(value, want)) {
          if (IsPunct(value, '}'))
            return Fail(value.line, "%s needs %u values, found %u", Quote(name.text).c_str(), count,
                        i + 1);
          if (IsPunct(value, ','))
            return Fail(value.line, "%s needs %u values, found more", Quote(name.text).c_str(),
                        count);
          return Fail(value.line, "expected '%c' in the value of %s, found %s", want,
                      Quote(name.text).c_str(), Describe(value).c_str());
        }
      }
    }
    if (!Next(&token)) return false;
  }
  if (!IsPunct(token, ';'))
    return Fail(token.line, "expected ';' after parameter %s, found %s", Quote(name.text).c_str(),
                Describe(token).c_str());
  out_->parameters.push_back(std::move(parameter));
  return true;
}

template <class Enum, size_t N>
bool Lookup(std::string_view text, const char* const (&names)[N], Enum* value) {
  for (size_t i = 0; i < N; ++i)
    if (text == names[i]) {
      *value = static_cast<Enum>(i);
      return true;
    }
  return false;
}

template <size_t N>
std::string List(const char* const (&names)[N]) {
  std::string out;
  for (size_t i = 0; i < N; ++i) out += (i ? ", " : "") + std::string(names[i]);
  return out;
}

constexpr const char* kFilterNames[] = {"Nearest",
                                        "Linear",
                                        "NearestMipmapNearest",
                                        "LinearMipmapNearest",
                                        "NearestMipmapLinear",
                                        "LinearMipmapLinear"};
constexpr const char* kAddressNames[] = {"Wrap", "Clamp", "Mirror"};
constexpr const char* kCullNames[] = {"None", "CW", "CCW"};
constexpr const char* kBlendNames[] = {"Zero",      "One",         "SrcAlpha",  "InvSrcAlpha",
                                       "SrcColor",  "InvSrcColor", "DestAlpha", "InvDestAlpha",
                                       "DestColor", "InvDestColor"};
constexpr const char* kFillNames[] = {"Solid", "Wireframe", "Point"};
constexpr const char* kSamplerStateNames[] = {"Texture", "MinFilter", "MagFilter", "AddressU",
                                              "AddressV"};
constexpr const char* kPassStateNames[] = {"VertexShader", "FragmentShader", "CullMode",
                                           "ZEnable",      "ZWriteEnable",   "AlphaBlendEnable",
                                           "SrcBlend",     "DestBlend",      "FillMode"};

bool Parser::ParseSamplerState(const Token& key, EffectSampler* sampler, uint32_t* seen) {
  uint32_t which = 0;
  if (!Lookup(key.text, kSamplerStateNames, &which))
    return Fail(key.line, "unknown sampler state %s (known: %s)", Quote(key.text).c_str(),
                List(kSamplerStateNames).c_str());
  if (*seen & (1u << which))
    return Fail(key.line, "sampler state %s is given twice", Quote(key.text).c_str());
  *seen |= 1u << which;
  if (!Expect('=', "after a sampler state")) return false;
  Token value;
  if (!Next(&value)) return false;
  if (which == 0) {  // Texture = name; or Texture = <name>;
    const bool angled = IsPunct(value, '<');
    if (angled && !Next(&value)) return false;
    if (value.kind != Tok::Ident)
      return Fail(value.line, "expected a texture parameter name, found %s",
                  Describe(value).c_str());
    sampler->textureName = std::string(value.text);
    if (angled && !Expect('>', "after the texture name")) return false;
  } else {
    bool known = false;
    std::string allowed;
    if (which == 1 || which == 2) {
      known =
          Lookup(value.text, kFilterNames, which == 1 ? &sampler->minFilter : &sampler->magFilter);
      // Magnification has no mip levels to choose from.
      if (which == 2 && known && sampler->magFilter != Filter::Nearest &&
          sampler->magFilter != Filter::Linear)
        known = false;
      allowed = which == 1 ? List(kFilterNames) : "Nearest, Linear";
    } else {
      known =
          Lookup(value.text, kAddressNames, which == 3 ? &sampler->addressU : &sampler->addressV);
      allowed = List(kAddressNames);
    }
    if (value.kind != Tok::Ident || !known)
      return Fail(value.line, "%s cannot be %s (allowed: %s)", Quote(key.text).c_str(),
                  Describe(value).c_str(), allowed.c_str());
  }
  return Expect(';', "after a sampler state");
}

bool Parser::ParseSampler(int line) {
  Token name;
  if (!ExpectName(&name, "a sampler name")) return false;
  if (IsReservedName(name.text))
    return Fail(name.line, "%s is a name the framework reserves", Quote(name.text).c_str());
  if (UniformNameTaken(name.text))
    return Fail(name.line, "%s is declared twice", Quote(name.text).c_str());
  if (out_->samplers.size() >= kMaxEffectSamplers)
    return Fail(name.line, "too many samplers (at most %zu)", kMaxEffectSamplers);
  EffectSampler sampler;
  sampler.name = std::string(name.text);
  sampler.line = line;
  if (!Expect('=', "after the sampler name")) return false;
  Token token;
  if (!Next(&token)) return false;
  if (token.kind != Tok::Ident || token.text != "sampler_state")
    return Fail(token.line, "expected 'sampler_state', found %s", Describe(token).c_str());
  if (!Expect('{', "after 'sampler_state'")) return false;
  uint32_t seen = 0;
  for (;;) {
    if (!Next(&token)) return false;
    if (IsPunct(token, '}')) break;
    if (token.kind != Tok::Ident)
      return Fail(token.line, "expected a sampler state or '}', found %s", Describe(token).c_str());
    if (!ParseSamplerState(token, &sampler, &seen)) return false;
  }
  if (!(seen & 1)) return Fail(line, "sampler %s names no Texture", Quote(sampler.name).c_str());
  // The closing ';' is customary but optional.
  if (!Peek(&token)) return false;
  if (IsPunct(token, ';')) Next(&token);
  out_->samplers.push_back(std::move(sampler));
  return true;
}

// Cuts out a body from just after its '{' to the matching '}'. Comments and strings are skipped so
// braces inside them do not count; preprocessor lines are ordinary text here.
bool Parser::ParseBody(std::string* body, int* bodyLine, const std::string& what) {
  if (!Expect('{', ("to open the body of " + what).c_str())) return false;
  *bodyLine = line_;
  const int openLine = line_;
  const char* start = p_;
  int depth = 1;
  while (p_ < end_) {
    const char c = *p_;
    if (c == '\n') {
      ++line_;
      ++p_;
    } else if (c == '/' && p_ + 1 < end_ && p_[1] == '/') {
      while (p_ < end_ && *p_ != '\n') ++p_;
    } else if (c == '/' && p_ + 1 < end_ && p_[1] == '*') {
      const int commentLine = line_;
      p_ += 2;
      while (p_ < end_ && !(*p_ == '*' && p_ + 1 < end_ && p_[1] == '/')) {
        if (*p_ == '\n') ++line_;
        ++p_;
      }
      if (p_ >= end_) return Fail(commentLine, "comment '/*' is never closed");
      p_ += 2;
    } else if (c == '"') {
      ++p_;
      while (p_ < end_ && *p_ != '"' && *p_ != '\n') p_ += (*p_ == '\\' && p_ + 1 < end_) ? 2 : 1;
      if (p_ < end_ && *p_ == '"') ++p_;
    } else if (c == '{') {
      ++depth;
      ++p_;
    } else if (c == '}') {
      if (--depth == 0) {
        body->assign(start, p_);
        ++p_;
        return true;
      }
      ++p_;
    } else {
      ++p_;
    }
  }
  return Fail(openLine, "the body of %s is never closed", what.c_str());
}

bool Parser::ParseShader(ShaderStage stage, int line) {
  Token name;
  if (!ExpectName(&name, "a shader name")) return false;
  for (const EffectShader& shader : out_->shaders)
    if (shader.name == name.text)
      return Fail(name.line, "shader %s is declared twice", Quote(name.text).c_str());
  if (out_->shaders.size() >= kMaxEffectShaders)
    return Fail(name.line, "too many shaders (at most %zu)", kMaxEffectShaders);
  EffectShader shader;
  shader.name = std::string(name.text);
  shader.stage = stage;
  shader.line = line;
  if (!ParseBody(&shader.body, &shader.bodyLine, "shader " + Quote(shader.name))) return false;
  out_->shaders.push_back(std::move(shader));
  return true;
}

bool ParseBool(std::string_view text, bool* value) {
  if (text == "true" || text == "True" || text == "TRUE") return *value = true, true;
  if (text == "false" || text == "False" || text == "FALSE") return *value = false, true;
  return false;
}

bool Parser::ParsePassState(const Token& key, EffectPass* pass, const std::string& technique) {
  uint32_t which = 0;
  if (!Lookup(key.text, kPassStateNames, &which))
    return Fail(key.line, "unknown pass state %s (known: %s)", Quote(key.text).c_str(),
                List(kPassStateNames).c_str());
  const uint32_t bit = 1u << (which + 16);  // bits above the PassState ones: "seen" marks
  if (pass->stateMask & bit)
    return Fail(key.line, "state %s is given twice in pass %s of technique %s",
                Quote(key.text).c_str(), Quote(pass->name).c_str(), Quote(technique).c_str());
  pass->stateMask |= bit;
  if (!Expect('=', "after a pass state")) return false;
  Token value;
  if (!Next(&value)) return false;
  if (value.kind == Tok::Ident && value.text == "compile")
    return Fail(value.line, "stages are referred to by name: write %.*s = ShaderName;",
                static_cast<int>(key.text.size()), key.text.data());
  if (value.kind != Tok::Ident)
    return Fail(value.line, "expected a value for %s, found %s", Quote(key.text).c_str(),
                Describe(value).c_str());
  bool known = true;
  std::string allowed;
  switch (which) {
    case 0: pass->vertexShaderName = std::string(value.text); break;
    case 1: pass->fragmentShaderName = std::string(value.text); break;
    case 2:
      known = Lookup(value.text, kCullNames, &pass->cull);
      pass->stateMask |= kStateCull;
      allowed = List(kCullNames);
      break;
    case 3:
    case 4:
    case 5: {
      bool* target = which == 3 ? &pass->zEnable : which == 4 ? &pass->zWrite : &pass->blendEnable;
      known = ParseBool(value.text, target);
      pass->stateMask |= which == 3 ? kStateZEnable : which == 4 ? kStateZWrite : kStateBlendEnable;
      allowed = "true, false";
      break;
    }
    case 6:
    case 7:
      known = Lookup(value.text, kBlendNames, which == 6 ? &pass->srcBlend : &pass->destBlend);
      pass->stateMask |= which == 6 ? kStateSrcBlend : kStateDestBlend;
      allowed = List(kBlendNames);
      break;
    default:
      known = Lookup(value.text, kFillNames, &pass->fill);
      pass->stateMask |= kStateFill;
      allowed = List(kFillNames);
      break;
  }
  if (!known)
    return Fail(value.line, "%s cannot be %s (allowed: %s)", Quote(key.text).c_str(),
                Quote(value.text).c_str(), allowed.c_str());
  return Expect(';', "after a pass state");
}

bool Parser::ParseTechnique(int line) {
  Token name;
  if (!ExpectName(&name, "a technique name")) return false;
  for (const EffectTechnique& technique : out_->techniques)
    if (technique.name == name.text)
      return Fail(name.line, "technique %s is declared twice", Quote(name.text).c_str());
  if (out_->techniques.size() >= kMaxEffectTechniques)
    return Fail(name.line, "too many techniques (at most %zu)", kMaxEffectTechniques);
  EffectTechnique technique;
  technique.name = std::string(name.text);
  technique.line = line;
  if (!Expect('{', "after the technique name")) return false;
  Token token;
  for (;;) {
    if (!Next(&token)) return false;
    if (IsPunct(token, '}')) break;
    if (token.kind != Tok::Ident || token.text != "pass")
      return Fail(token.line, "expected 'pass' or '}' in technique %s, found %s",
                  Quote(technique.name).c_str(), Describe(token).c_str());
    Token passName;
    if (!ExpectName(&passName, "a pass name")) return false;
    for (const EffectPass& pass : technique.passes)
      if (pass.name == passName.text)
        return Fail(passName.line, "pass %s is declared twice in technique %s",
                    Quote(passName.text).c_str(), Quote(technique.name).c_str());
    if (technique.passes.size() >= kMaxEffectPasses)
      return Fail(passName.line, "too many passes in technique %s (at most %zu)",
                  Quote(technique.name).c_str(), kMaxEffectPasses);
    EffectPass pass;
    pass.name = std::string(passName.text);
    pass.line = token.line;
    if (!Expect('{', "after the pass name")) return false;
    for (;;) {
      if (!Next(&token)) return false;
      if (IsPunct(token, '}')) break;
      if (token.kind != Tok::Ident)
        return Fail(token.line, "expected a pass state or '}', found %s", Describe(token).c_str());
      if (!ParsePassState(token, &pass, technique.name)) return false;
    }
    pass.stateMask &= 0xffffu;  // drop the "seen" marks
    technique.passes.push_back(std::move(pass));
  }
  out_->techniques.push_back(std::move(technique));
  return true;
}

bool Parser::Resolve() {
  for (EffectSampler& sampler : out_->samplers) {
    size_t i = 0;
    while (i < out_->parameters.size() && out_->parameters[i].name != sampler.textureName) ++i;
    if (i == out_->parameters.size())
      return Fail(sampler.line, "sampler %s reads %s, which is not a declared parameter",
                  Quote(sampler.name).c_str(), Quote(sampler.textureName).c_str());
    if (out_->parameters[i].type != ParamType::Texture)
      return Fail(sampler.line, "sampler %s reads %s, which is not a texture",
                  Quote(sampler.name).c_str(), Quote(sampler.textureName).c_str());
    sampler.texture = static_cast<uint32_t>(i);
  }
  for (EffectTechnique& technique : out_->techniques) {
    for (EffectPass& pass : technique.passes) {
      const std::string* names[2] = {&pass.vertexShaderName, &pass.fragmentShaderName};
      uint32_t* targets[2] = {&pass.vertexShader, &pass.fragmentShader};
      const char* keys[2] = {"VertexShader", "FragmentShader"};
      const char* kinds[2] = {"vertex_shader", "fragment_shader"};
      for (int s = 0; s < 2; ++s) {
        if (names[s]->empty())
          return Fail(pass.line, "pass %s of technique %s names no %s", Quote(pass.name).c_str(),
                      Quote(technique.name).c_str(), keys[s]);
        size_t i = 0;
        while (i < out_->shaders.size() && out_->shaders[i].name != *names[s]) ++i;
        if (i == out_->shaders.size())
          return Fail(pass.line, "pass %s of technique %s: %s %s is not declared",
                      Quote(pass.name).c_str(), Quote(technique.name).c_str(), keys[s],
                      Quote(*names[s]).c_str());
        if (static_cast<int>(out_->shaders[i].stage) != s)
          return Fail(pass.line, "pass %s of technique %s: %s %s is not a %s",
                      Quote(pass.name).c_str(), Quote(technique.name).c_str(), keys[s],
                      Quote(*names[s]).c_str(), kinds[s]);
        *targets[s] = static_cast<uint32_t>(i);
      }
    }
  }
  if (out_->techniques.empty()) return Fail(line_, "the effect declares no technique");
  return true;
}

bool Parser::Run() {
  if (static_cast<size_t>(end_ - p_) > kMaxEffectFileBytes)
    return Fail(1, "the file is larger than %zu bytes", kMaxEffectFileBytes);
  if (std::memchr(p_, '\0', static_cast<size_t>(end_ - p_))) {
    int line = 1;
    for (const char* q = p_; *q; ++q) line += *q == '\n';
    return Fail(line, "the file contains a NUL byte; effect files are text");
  }
  static constexpr const char* kTypeNames[] = {"float",  "float2",   "float3",
                                               "float4", "float4x4", "texture"};
  Token token;
  for (;;) {
    if (!Next(&token)) return false;
    if (token.kind == Tok::End) break;
    ParamType type;
    bool ok;
    if (token.kind != Tok::Ident) {
      return Fail(token.line, "expected a parameter, sampler, shader or technique, found %s",
                  Describe(token).c_str());
    } else if (Lookup(token.text, kTypeNames, &type)) {
      ok = ParseParameter(token, type);
    } else if (token.text == "sampler2D") {
      ok = ParseSampler(token.line);
    } else if (token.text == "glsl") {
      Token kind;
      if (!ExpectIdent(&kind, "'common' after 'glsl'")) return false;
      if (kind.text != "common")
        return Fail(kind.line, "expected 'common' after 'glsl', found %s",
                    Quote(kind.text).c_str());
      if (out_->hasCommon) return Fail(token.line, "'glsl common' is declared twice");
      out_->hasCommon = true;
      ok = ParseBody(&out_->common, &out_->commonLine, "'glsl common'");
    } else if (token.text == "vertex_shader") {
      ok = ParseShader(ShaderStage::Vertex, token.line);
    } else if (token.text == "fragment_shader") {
      ok = ParseShader(ShaderStage::Fragment, token.line);
    } else if (token.text == "technique") {
      ok = ParseTechnique(token.line);
    } else {
      return Fail(token.line, "expected a parameter, sampler, shader or technique, found %s",
                  Quote(token.text).c_str());
    }
    if (!ok) return false;
  }
  return Resolve();
}

}  // namespace

bool ParseEffect(const char* fileLabel, const char* text, size_t size, EffectDescription* out,
                 std::string* error) {
  *out = EffectDescription();
  static const char kEmpty[1] = {0};
  Parser parser(fileLabel, text ? text : kEmpty, text ? size : 0, out);
  if (parser.Run()) return true;
  if (error) *error = parser.error;
  *out = EffectDescription();
  return false;
}

}  // namespace formats
