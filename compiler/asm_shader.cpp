// Shader assembly to HLSL. The text is read whole into instructions first (defs may follow their
// first use), then written out one HLSL statement group per instruction. Every result goes through
// a temporary before it reaches its register, so an instruction reading its own destination, and a
// co-issued pair (`+`), see the registers as they were before it ran, as on the original hardware.
#include "compiler/asm_shader.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "formats/fx_effect.hpp"

namespace compiler {
namespace {

enum class Tok : uint8_t { Word, Number, Punct, End };

struct Token {
  Tok kind = Tok::End;
  std::string text;
  int line = 0;
};

enum class File : uint8_t {
  Temp,      // rN
  Input,     // vN
  Const,     // cN
  Texture,   // tN
  Sampler,   // sN
  Addr,      // a0
  Loop,      // aL
  Int,       // iN
  Bool,      // bN
  RastOut,   // oPos, oFog, oPts (index 0, 1, 2)
  AttrOut,   // oD0, oD1
  TexOut,    // oT0 ... oT7; vs_3_0 oN
  ColorOut,  // oC0 ... oC3
  DepthOut,  // oDepth
  Misc,      // vPos (0), vFace (1)
};

struct Operand {
  File file = File::Temp;
  uint32_t index = 0;
  std::string relative;  // HLSL int expression added to index; empty when none
  std::string swizzle;   // four of xyzw after expansion; empty when none was written
  uint32_t mask = 0xf;   // destinations
  bool negate = false, complement = false, bias = false, bx2 = false, times2 = false;
  bool abs = false, dz = false, dw = false;
  std::string text;  // as written, for messages
};

struct Instruction {
  std::string op;                 // lower case, without modifiers
  std::string compare;            // if_gt, break_ne, ...
  std::vector<std::string> mods;  // _sat, _x2, _pp, ...
  std::vector<Operand> args;
  float values[4] = {0, 0, 0, 0};  // def, defi, defb
  std::string usage;               // dcl_<usage>: "TEXCOORD1", or "2d", "cube", "volume"
  bool coissue = false;
  int line = 0;
};

// Operand counts, destination included; sincos takes its two constant operands before shader
// model 3.
struct OpInfo {
  const char* name;
  int minArgs, maxArgs;
};
constexpr OpInfo kOps[] = {
    {"nop", 0, 0},        {"mov", 2, 2},        {"add", 3, 3},        {"sub", 3, 3},
    {"mul", 3, 3},        {"mad", 4, 4},        {"dp3", 3, 3},        {"dp4", 3, 3},
    {"rcp", 2, 2},        {"rsq", 2, 2},        {"exp", 2, 2},        {"expp", 2, 2},
    {"log", 2, 2},        {"logp", 2, 2},       {"lit", 2, 2},        {"dst", 3, 3},
    {"min", 3, 3},        {"max", 3, 3},        {"slt", 3, 3},        {"sge", 3, 3},
    {"frc", 2, 2},        {"abs", 2, 2},        {"nrm", 2, 2},        {"pow", 3, 3},
    {"crs", 3, 3},        {"lrp", 4, 4},        {"sincos", 2, 4},     {"cmp", 4, 4},
    {"cnd", 4, 4},        {"dp2add", 4, 4},     {"mova", 2, 2},       {"m4x4", 3, 3},
    {"m4x3", 3, 3},       {"m3x4", 3, 3},       {"m3x3", 3, 3},       {"m3x2", 3, 3},
    {"sgn", 4, 4},        {"dsx", 2, 2},        {"dsy", 2, 2},        {"tex", 1, 1},
    {"texcoord", 1, 1},   {"texkill", 1, 1},    {"texreg2ar", 2, 2},  {"texreg2gb", 2, 2},
    {"texreg2rgb", 2, 2}, {"texld", 2, 3},      {"texldp", 3, 3},     {"texldb", 3, 3},
    {"texldl", 3, 3},     {"texldd", 5, 5},     {"texcrd", 2, 2},     {"phase", 0, 0},
    {"rep", 1, 1},        {"endrep", 0, 0},     {"loop", 2, 2},       {"endloop", 0, 0},
    {"if", 1, 2},         {"else", 0, 0},       {"endif", 0, 0},      {"break", 0, 2},
    {"texbem", 2, 2},     {"texbeml", 2, 2},    {"texm3x2pad", 2, 2}, {"texm3x2tex", 2, 2},
    {"texm3x3pad", 2, 2}, {"texm3x3tex", 2, 2},
};

const OpInfo* FindOp(const std::string& name) {
  for (const OpInfo& op : kOps)
    if (name == op.name) return &op;
  return nullptr;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Failure {
  int line = 0;
  std::string message;
};

// Words, numbers and the punctuation the syntax uses; `//` and `;` comment to the line's end.
bool Tokenize(const std::string& text, size_t from, std::vector<Token>* out, Failure* fail) {
  int line = 0;
  for (size_t i = 0; i < from && i < text.size(); ++i) line += text[i] == '\n';
  size_t i = from;
  const auto at = [&](size_t k) { return k < text.size() ? text[k] : '\0'; };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      ++line, ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == ';' || (c == '/' && at(i + 1) == '/')) {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      const size_t begin = i;
      while (std::isalnum(static_cast<unsigned char>(at(i))) || at(i) == '_') ++i;
      out->push_back({Tok::Word, text.substr(begin, i - begin), line});
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && std::isdigit(static_cast<unsigned char>(at(i + 1))))) {
      const size_t begin = i;
      while (std::isdigit(static_cast<unsigned char>(at(i))) || at(i) == '.') ++i;
      if ((at(i) == 'e' || at(i) == 'E') &&
          (std::isdigit(static_cast<unsigned char>(at(i + 1))) ||
           ((at(i + 1) == '-' || at(i + 1) == '+') &&
            std::isdigit(static_cast<unsigned char>(at(i + 2)))))) {
        i += 2;
        while (std::isdigit(static_cast<unsigned char>(at(i)))) ++i;
      }
      const std::string number = text.substr(begin, i - begin);
      if (at(i) == 'f' || at(i) == 'F' || at(i) == 'h' || at(i) == 'H') ++i;
      out->push_back({Tok::Number, number, line});
    } else if (std::string(",.-+[]!").find(c) != std::string::npos) {
      out->push_back({Tok::Punct, std::string(1, c), line});
      ++i;
    } else {
      *fail = {line, std::string("unexpected character '") + c + "' in assembly"};
      return false;
    }
    if (out->size() > 8 * kMaxAsmInstructions) {
      *fail = {line, "the assembly shader has more than " + std::to_string(kMaxAsmInstructions) +
                         " instructions"};
      return false;
    }
  }
  out->push_back({Tok::End, "", line});
  return true;
}

struct Version {
  bool pixel = false;
  int major = 0, minor = 0;  // minor 'x' (2_x) reads as 1
};

struct Parse {
  const std::vector<Token>* tokens = nullptr;
  size_t pos = 0;
  Version version;
  Failure fail;
  const Token& Peek(size_t ahead = 0) const {
    const size_t i = std::min(pos + ahead, tokens->size() - 1);
    return (*tokens)[i];
  }
  const Token& Next() {
    const Token& t = Peek();
    if (pos + 1 < tokens->size()) ++pos;
    return t;
  }
  bool IsPunct(const Token& t, char c) const { return t.kind == Tok::Punct && t.text[0] == c; }
  bool Fail(int line, const std::string& message) {
    if (fail.message.empty()) fail = {line, message};
    return false;
  }
};

bool SplitIndex(const std::string& word, std::string* name, uint32_t* index, bool* hasIndex) {
  size_t digits = word.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(word[digits - 1]))) --digits;
  *name = Lower(word.substr(0, digits));
  *hasIndex = digits < word.size();
  if (word.size() - digits > 4) return false;
  *index = *hasIndex ? static_cast<uint32_t>(std::stoul(word.substr(digits))) : 0;
  return true;
}

// One register name: the file and index it names, its limits checked against the version.
bool RegisterOf(Parse* p, const std::string& word, int line, Operand* op) {
  std::string name;
  uint32_t index = 0;
  bool hasIndex = false;
  const auto refuse = [&] {
    return p->Fail(line, "assembly register '" + word + "' is not supported");
  };
  if (!SplitIndex(word, &name, &index, &hasIndex)) return refuse();
  const Version& v = p->version;
  const int model = v.major;
  uint32_t limit = 0;
  if (name == "r") {
    op->file = File::Temp, limit = 32;
  } else if (name == "v") {
    op->file = File::Input, limit = v.pixel && model < 3 ? 2 : 16;
  } else if (name == "c") {
    op->file = File::Const;
    limit = !v.pixel ? 256 : model == 1 ? 8 : model == 2 ? 32 : 224;
    if (!hasIndex) hasIndex = true;  // c[a0.x + n]
  } else if (name == "t" && v.pixel && model < 3) {
    op->file = File::Texture, limit = 8;
  } else if (name == "s" && v.pixel && model >= 2) {
    op->file = File::Sampler, limit = 16;
  } else if (name == "a" && !v.pixel) {
    op->file = File::Addr, limit = 1;
  } else if (name == "al" && !hasIndex && model >= 2) {
    op->file = File::Loop, limit = 1, hasIndex = true;
  } else if (name == "i" && model >= 2) {
    op->file = File::Int, limit = 16;
  } else if (name == "b" && model >= 2) {
    op->file = File::Bool, limit = 16;
  } else if (!v.pixel && model < 3 && (name == "opos" || name == "ofog" || name == "opts")) {
    op->file = File::RastOut, limit = 3, hasIndex = true;
    index = name == "opos" ? 0 : name == "ofog" ? 1 : 2;
  } else if (!v.pixel && model < 3 && name == "od") {
    op->file = File::AttrOut, limit = 2;
  } else if (!v.pixel && ((model < 3 && name == "ot") || (model == 3 && name == "o"))) {
    op->file = File::TexOut, limit = model == 3 ? 12 : 8;
  } else if (v.pixel && model >= 2 && name == "oc") {
    op->file = File::ColorOut, limit = 4;
  } else if (v.pixel && model >= 2 && name == "odepth" && !hasIndex) {
    op->file = File::DepthOut, limit = 1, hasIndex = true;
  } else if (v.pixel && model == 3 && (name == "vpos" || name == "vface") && !hasIndex) {
    op->file = File::Misc, limit = 2, hasIndex = true;
    index = name == "vpos" ? 0 : 1;
  } else {
    return refuse();
  }
  if (!hasIndex || index >= limit) return refuse();
  op->index = index;
  return true;
}

bool IsSwizzle(const std::string& text) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text)
    if (std::string("xyzwrgba").find(c) == std::string::npos) return false;
  return true;
}

int Component(char c) {
  switch (c) {
    case 'x':
    case 'r': return 0;
    case 'y':
    case 'g': return 1;
    case 'z':
    case 'b': return 2;
    default: return 3;
  }
}

// Source and destination modifiers written after the register or its swizzle: r0_bx2, t0.xyz_dw.
bool ApplyModifiers(Parse* p, const std::vector<std::string>& mods, int line, Operand* op) {
  for (const std::string& m : mods) {
    if (m == "bx2")
      op->bx2 = true;
    else if (m == "bias")
      op->bias = true;
    else if (m == "x2")
      op->times2 = true;
    else if (m == "abs")
      op->abs = true;
    else if (m == "dz" || m == "db")
      op->dz = true;
    else if (m == "dw" || m == "da")
      op->dw = true;
    else
      return p->Fail(line, "assembly modifier '_" + m + "' is not supported");
  }
  return true;
}

std::vector<std::string> SplitUnderscores(const std::string& word) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = word.find('_', start);
    parts.push_back(Lower(word.substr(start, end - start)));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// [-][1-]register[[relative]][_mod][.swizzle][_mod]
bool ParseOperand(Parse* p, bool destination, Operand* op) {
  const int line = p->Peek().line;
  const size_t begin = p->pos;
  if (p->IsPunct(p->Peek(), '-')) p->Next(), op->negate = true;
  if (p->Peek().kind == Tok::Number && p->Peek().text == "1" && p->IsPunct(p->Peek(1), '-')) {
    p->Next(), p->Next();
    op->complement = true;
  }
  const Token& word = p->Next();
  if (word.kind != Tok::Word)
    return p->Fail(line, "expected a register, found '" + word.text + "'");
  std::vector<std::string> parts = SplitUnderscores(word.text);
  const std::string regName = word.text.substr(0, word.text.find('_'));
  if (!RegisterOf(p, regName, line, op)) return false;
  std::vector<std::string> mods(parts.begin() + 1, parts.end());
  if (p->IsPunct(p->Peek(), '[')) {
    p->Next();
    int64_t offset = op->index;
    std::string relative;
    for (int terms = 0; !p->IsPunct(p->Peek(), ']'); ++terms) {
      if (terms > 4) return p->Fail(line, "malformed relative address");
      int sign = 1;
      if (terms > 0) {
        const Token& joint = p->Next();
        if (!p->IsPunct(joint, '+') && !p->IsPunct(joint, '-'))
          return p->Fail(line, "malformed relative address");
        sign = p->IsPunct(joint, '-') ? -1 : 1;
      }
      const Token& t = p->Next();
      if (t.kind == Tok::Number) {
        offset += sign * std::atoll(t.text.c_str());
      } else if (t.kind == Tok::Word && sign > 0 && Lower(t.text) == "al" && relative.empty()) {
        relative = "tobrin_aL";
      } else if (t.kind == Tok::Word && sign > 0 && Lower(t.text) == "a0" && relative.empty()) {
        int component = 0;
        if (p->IsPunct(p->Peek(), '.')) {
          p->Next();
          const Token& c = p->Next();
          if (c.kind != Tok::Word || c.text.size() != 1 || !IsSwizzle(c.text))
            return p->Fail(line, "malformed relative address");
          component = Component(static_cast<char>(std::tolower(c.text[0])));
        }
        relative = std::string("tobrin_a0.") + "xyzw"[component];
      } else {
        return p->Fail(line, "malformed relative address");
      }
      if (offset < 0 || offset > 4096) return p->Fail(line, "relative address out of range");
    }
    p->Next();
    if (relative.empty() || op->file != File::Const)
      return p->Fail(line, "relative addressing of '" + regName + "' is not supported");
    op->index = static_cast<uint32_t>(offset);
    op->relative = relative;
  }
  if (p->IsPunct(p->Peek(), '.') && p->Peek(1).kind == Tok::Word) {
    p->Next();
    const std::string text = p->Next().text;
    std::vector<std::string> swizzleParts = SplitUnderscores(text);
    const std::string swizzle = swizzleParts[0];
    if (!IsSwizzle(swizzle)) return p->Fail(line, "malformed swizzle '." + text + "'");
    mods.insert(mods.end(), swizzleParts.begin() + 1, swizzleParts.end());
    if (destination) {
      op->mask = 0;
      int last = -1;
      for (char c : swizzle) {
        const int k = Component(c);
        if (k <= last) return p->Fail(line, "malformed write mask '." + swizzle + "'");
        last = k;
        op->mask |= 1u << k;
      }
    } else {
      op->swizzle.clear();
      for (size_t k = 0; k < 4; ++k)
        op->swizzle += "xyzw"[Component(swizzle[std::min(k, swizzle.size() - 1)])];
    }
  }
  if (!ApplyModifiers(p, mods, line, op)) return false;
  for (size_t k = begin; k < p->pos; ++k) op->text += (*p->tokens)[k].text;
  return true;
}

bool ParseNumber(Parse* p, float* value) {
  const int line = p->Peek().line;
  bool negative = false;
  if (p->IsPunct(p->Peek(), '-')) p->Next(), negative = true;
  if (p->IsPunct(p->Peek(), '+')) p->Next();
  const Token& t = p->Next();
  if (t.kind != Tok::Number) return p->Fail(line, "expected a number, found '" + t.text + "'");
  const double number = std::strtod(t.text.c_str(), nullptr);
  if (!std::isfinite(number) || std::fabs(number) > 3.4e38)
    return p->Fail(line, "the number " + t.text + " is out of range");
  *value = static_cast<float>(negative ? -number : number);
  return true;
}

const char* const kUsages[] = {"position", "blendweight", "blendindices", "normal",     "psize",
                               "texcoord", "tangent",     "binormal",     "tessfactor", "positiont",
                               "color",    "fog",         "depth",        "sample"};

bool ParseInstruction(Parse* p, Instruction* in) {
  if (p->IsPunct(p->Peek(), '+')) p->Next(), in->coissue = true;
  const Token& word = p->Next();
  in->line = word.line;
  if (word.kind != Tok::Word)
    return p->Fail(word.line, "expected an assembly instruction, found '" + word.text + "'");
  std::vector<std::string> parts = SplitUnderscores(word.text);
  in->op = parts[0];
  const auto unsupported = [&] {
    return p->Fail(word.line, "assembly instruction '" + word.text + "' is not supported");
  };
  if (in->op == "dcl") {
    for (size_t k = 1; k < parts.size(); ++k) {
      const std::string& part = parts[k];
      if (part == "pp" || part == "centroid") continue;
      if (part == "2d" || part == "cube" || part == "volume") {
        in->usage = part;
        continue;
      }
      std::string name;
      uint32_t index = 0;
      bool hasIndex = false;
      if (!in->usage.empty() || !SplitIndex(part, &name, &index, &hasIndex) || index > 15)
        return unsupported();
      bool known = false;
      for (const char* usage : kUsages) known = known || name == usage;
      if (!known) return unsupported();
      in->usage = name + std::to_string(index);
      for (char& c : in->usage) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    in->args.emplace_back();
    return ParseOperand(p, true, &in->args.back());
  }
  if (in->op == "def" || in->op == "defi" || in->op == "defb") {
    if (parts.size() != 1) return unsupported();
    in->args.emplace_back();
    if (!ParseOperand(p, true, &in->args.back())) return false;
    const File want = in->op == "def" ? File::Const : in->op == "defi" ? File::Int : File::Bool;
    if (in->args[0].file != want)
      return p->Fail(in->line, in->op + " names register '" + in->args[0].text + "'");
    for (int k = 0; k < (in->op == "defb" ? 1 : 4); ++k) {
      if (!p->IsPunct(p->Next(), ','))
        return p->Fail(in->line, "expected ',' between the values of " + in->op);
      if (in->op == "defb") {
        const std::string value = Lower(p->Next().text);
        if (value != "true" && value != "false")
          return p->Fail(in->line, "defb takes true or false");
        in->values[0] = value == "true";
      } else if (!ParseNumber(p, &in->values[k])) {
        return false;
      }
    }
    return true;
  }
  size_t first = 1;
  if ((in->op == "if" || in->op == "break") && parts.size() > 1 &&
      std::string(" gt lt ge le eq ne").find(" " + parts[1]) != std::string::npos &&
      parts[1].size() == 2) {
    in->compare = parts[1];
    first = 2;
  }
  const OpInfo* info = FindOp(in->op);
  if (!info) return unsupported();
  for (size_t k = first; k < parts.size(); ++k) {
    const std::string& m = parts[k];
    if (m != "sat" && m != "x2" && m != "x4" && m != "x8" && m != "d2" && m != "d4" && m != "d8" &&
        m != "pp" && m != "centroid")
      return p->Fail(word.line, "assembly modifier '_" + m + "' is not supported");
    in->mods.push_back(m);
  }
  int minArgs = info->minArgs, maxArgs = info->maxArgs;
  if (!in->compare.empty()) minArgs = maxArgs = 2;
  int count = 0;
  const bool destination = in->op != "rep" && in->op != "if" && in->op != "break" &&
                           in->op != "texkill" && in->op != "loop";
  while (count < maxArgs) {
    if (count >= minArgs && (count == 0 || !p->IsPunct(p->Peek(), ','))) break;
    if (count > 0 && !p->IsPunct(p->Next(), ','))
      return p->Fail(in->line, "expected ',' between the operands of '" + word.text + "'");
    in->args.emplace_back();
    // The first operand of if/break/rep may be negated (if !b0); a '!' is read as '-'.
    if (count == 0 && p->IsPunct(p->Peek(), '!')) {
      p->Next();
      in->args.back().negate = true;
    }
    if (!ParseOperand(p, destination && count == 0, &in->args.back())) return false;
    ++count;
  }
  // "break" alone is an instruction; "break_gt a, b" needs both.
  if (!in->compare.empty() && count != 2) return unsupported();
  if (in->op == "break" && in->compare.empty() && count != 0) return unsupported();
  if (in->op == "if" && in->compare.empty() && count != 1) return unsupported();
  return true;
}

// Writing HLSL.

std::string Float(float f) { return FloatLiteral(f); }

// A bump-environment value the file gave; one that is not finite reads 0, as no register holds it.
std::string BumpValue(float f) { return Float(std::isfinite(f) ? f : 0.0f); }

std::string Float4(const float* v) {
  return "float4(" + Float(v[0]) + ", " + Float(v[1]) + ", " + Float(v[2]) + ", " + Float(v[3]) +
         ")";
}

std::string MaskText(uint32_t mask) {
  std::string text;
  for (int k = 0; k < 4; ++k)
    if (mask & (1u << k)) text += "xyzw"[k];
  return text;
}

struct Input {
  std::string local, semantic;
  uint32_t mask = 0xf;
};

struct Emit {
  Version version;
  std::string profile;
  const AsmRequest* request = nullptr;
  std::map<uint32_t, std::string> defs;  // constant register -> float4(...) it holds
  std::map<uint32_t, std::vector<float>> ints;
  std::map<uint32_t, bool> bools;
  std::set<std::string> locals;                     // float4 registers the body uses
  std::vector<Input> inputs;                        // declared or implied
  std::set<std::string> outputs;                    // output locals written
  std::map<std::string, HlslSamplerKind> samplers;  // HLSL sampler name -> kind
  std::map<uint32_t, HlslSamplerKind> declaredSamplers;
  std::vector<Input>
      outputDecls;         // vs_3_0 oN: register local, semantic and the components it holds
  uint32_t constants = 0;  // length of the constant array read
  bool relative = false;   // the array is read with a computed index
  bool usesA0 = false, usesLoop = false;
  std::string body;
  int temp = 0, indent = 1, loops = 0;
  std::vector<char> blocks;          // 'i' if, 'r' rep/loop
  std::vector<int> blockLines;       // where each was opened
  std::vector<std::string> pending;  // writes of a co-issued group
  bool Pixel() const { return version.pixel; }
  int Model() const { return version.major; }
  const char* ConstArray() const { return Pixel() ? kAsmPixelConstants : kAsmVertexConstants; }
  void Line(const std::string& text) { body += std::string(2 * indent, ' ') + text + "\n"; }
};

std::string LocalOf(Emit* e, File file, uint32_t index) {
  std::string name;
  switch (file) {
    case File::Temp: name = "tobrin_r"; break;
    case File::Input: name = "tobrin_v"; break;
    case File::Texture: name = "tobrin_t"; break;
    case File::RastOut:
      name = index == 0 ? "tobrin_oPos" : index == 1 ? "tobrin_oFog" : "tobrin_oPts";
      e->locals.insert(name);
      return name;
    case File::AttrOut: name = "tobrin_oD"; break;
    case File::TexOut: name = e->Model() == 3 ? "tobrin_o" : "tobrin_oT"; break;
    case File::ColorOut: name = "tobrin_oC"; break;
    case File::DepthOut: e->locals.insert("tobrin_oDepth"); return "tobrin_oDepth";
    case File::Misc:
      name = index == 0 ? "tobrin_vPos" : "tobrin_vFace";
      e->locals.insert(name);
      return name;
    default: return "";
  }
  name += std::to_string(index);
  e->locals.insert(name);
  return name;
}

// An input register read without a declaration of its own (ps_1_x colours and texture
// coordinates, ps_2_0 registers whose dcl was left out) takes its semantic from its name.
void ImplyInput(Emit* e, const std::string& local, const std::string& semantic) {
  for (const Input& in : e->inputs)
    if (in.local == local) return;
  e->inputs.push_back({local, semantic, 0xf});
}

// The value of register (op.index + offset) as a float4, before swizzle and modifiers.
bool RegisterValue(Emit* e, const Operand& op, uint32_t offset, int line, std::string* out,
                   Failure* fail) {
  const uint32_t index = op.index + offset;
  switch (op.file) {
    case File::Const: {
      const uint32_t limit = !e->Pixel() ? 256 : e->Model() == 1 ? 8 : e->Model() == 2 ? 32 : 224;
      std::string value;
      if (!op.relative.empty()) {
        e->relative = true;
        e->constants = limit;
        (op.relative == "tobrin_aL" ? e->usesLoop : e->usesA0) = true;
        value = std::string(e->ConstArray()) + "_rel(" + op.relative + " + " +
                std::to_string(index) + ")";
      } else if (index >= limit) {
        *fail = {line, "constant register c" + std::to_string(index) + " is out of range"};
        return false;
      } else if (e->defs.count(index)) {
        value = e->defs[index];
      } else {
        e->constants = std::max(e->constants, index + 1);
        value = std::string(e->ConstArray()) + "[" + std::to_string(index) + "]";
      }
      // Shader model 1 pixel constants hold -1 to 1.
      *out = e->Pixel() && e->Model() == 1 ? "clamp(" + value + ", -1.0, 1.0)" : value;
      return true;
    }
    case File::Input: {
      const std::string local = LocalOf(e, op.file, index);
      if (e->Pixel() && e->Model() < 3) {
        ImplyInput(e, local, "COLOR" + std::to_string(index));
      } else {
        bool declared = false;
        for (const Input& in : e->inputs) declared = declared || in.local == local;
        if (!declared) {
          *fail = {line, "input register v" + std::to_string(index) + " has no dcl"};
          return false;
        }
      }
      *out = local;
      return true;
    }
    case File::Texture: {
      const std::string local = LocalOf(e, op.file, index);
      // ps_1_4 and ps_2_x read texture coordinates; ps_1_1 to 1_3 their sampled registers.
      if (!(e->Model() == 1 && e->version.minor < 4))
        ImplyInput(e, local, "TEXCOORD" + std::to_string(index));
      *out = local;
      return true;
    }
    case File::Temp:
    case File::Misc: *out = LocalOf(e, op.file, index); return true;
    case File::ColorOut:
    case File::DepthOut:
    case File::RastOut:
    case File::AttrOut:
    case File::TexOut:
      if (e->Model() == 3 && !e->Pixel() && op.file == File::TexOut) {
        *out = LocalOf(e, op.file, index);
        return true;
      }
      [[fallthrough]];
    default: *fail = {line, "register '" + op.text + "' cannot be read"}; return false;
  }
}

// A source operand with swizzle and modifiers, as a float4 expression.
bool Source(Emit* e, const Operand& op, uint32_t offset, int line, std::string* out,
            Failure* fail) {
  std::string value;
  if (!RegisterValue(e, op, offset, line, &value, fail)) return false;
  if (!op.swizzle.empty() && op.swizzle != "xyzw") value += "." + op.swizzle;
  if (op.abs) value = "abs(" + value + ")";
  if (op.bias) value = "(" + value + " - 0.5)";
  if (op.bx2) value = "(2.0 * (" + value + " - 0.5))";
  if (op.times2) value = "(2.0 * " + value + ")";
  if (op.complement) value = "(1.0 - " + value + ")";
  if (op.negate) value = "(-" + value + ")";
  *out = value;
  return true;
}

std::string Compare(const std::string& cc) {
  return cc == "gt"   ? " > "
         : cc == "lt" ? " < "
         : cc == "ge" ? " >= "
         : cc == "le" ? " <= "
         : cc == "eq" ? " == "
                      : " != ";
}

// The destination's local, marking outputs written.
bool Destination(Emit* e, const Operand& op, int line, std::string* out, Failure* fail) {
  switch (op.file) {
    case File::Temp: break;
    case File::Texture:
      if (e->Model() == 1 && e->version.minor < 4) break;
      [[fallthrough]];
    case File::Input:
    case File::Const:
    case File::Sampler:
    case File::Int:
    case File::Bool:
    case File::Loop:
    case File::Misc:
    case File::Addr: *fail = {line, "register '" + op.text + "' cannot be written"}; return false;
    default: break;
  }
  if (op.negate || op.complement || op.bias || op.bx2 || op.times2 || op.abs || op.dz || op.dw ||
      !op.relative.empty()) {
    *fail = {line, "malformed destination '" + op.text + "'"};
    return false;
  }
  *out = LocalOf(e, op.file, op.index);
  if (op.file != File::Temp && op.file != File::Texture) e->outputs.insert(*out);
  return true;
}

// Writes `value` (float4) to the destination through its result modifiers and the range of
// shader model 1 pixel registers; co-issued writes wait for the group's end.
bool Write(Emit* e, const Instruction& in, const std::string& value, uint32_t allowed,
           Failure* fail) {
  const Operand& dst = in.args[0];
  std::string local;
  if (!Destination(e, dst, in.line, &local, fail)) return false;
  const uint32_t mask = dst.mask & allowed;
  if (!mask) {
    *fail = {in.line, "the write mask of '" + in.op + "' names no component it writes"};
    return false;
  }
  std::string result = value;
  bool saturated = false;
  for (const std::string& m : in.mods) {
    if (m == "x2") result = "(" + result + ") * 2.0";
    if (m == "x4") result = "(" + result + ") * 4.0";
    if (m == "x8") result = "(" + result + ") * 8.0";
    if (m == "d2") result = "(" + result + ") * 0.5";
    if (m == "d4") result = "(" + result + ") * 0.25";
    if (m == "d8") result = "(" + result + ") * 0.125";
  }
  for (const std::string& m : in.mods)
    if (m == "sat") result = "saturate(" + result + ")", saturated = true;
  if (e->Pixel() && e->Model() == 1 && !saturated)
    result = e->version.minor == 4 ? "clamp(" + result + ", -8.0, 8.0)"
                                   : "clamp(" + result + ", -1.0, 1.0)";
  const std::string temp = "tobrin_q" + std::to_string(e->temp++);
  e->Line("float4 " + temp + " = " + result + ";");
  const std::string m = MaskText(mask);
  e->pending.push_back(local + "." + m + " = " + temp + "." + m + ";");
  return true;
}

void Flush(Emit* e) {
  for (const std::string& line : e->pending) e->Line(line);
  e->pending.clear();
}

bool SamplerOf(Emit* e, uint32_t reg, int line, std::string* name, HlslSamplerKind* kind,
               Failure* fail) {
  if (!e->request->sampler || !e->request->sampler(reg, name, kind)) {
    *fail = {line, "sampler register s" + std::to_string(reg) + " reads no sampler of the effect"};
    return false;
  }
  const auto declared = e->declaredSamplers.find(reg);
  if (declared != e->declaredSamplers.end()) *kind = declared->second;
  const auto known = e->samplers.find(*name);
  if (known != e->samplers.end() && known->second != *kind) {
    *fail = {line, "sampler '" + *name + "' is read as two kinds of texture"};
    return false;
  }
  e->samplers[*name] = *kind;
  return true;
}

std::string Coordinates(HlslSamplerKind kind, const std::string& value) {
  return "(" + value + ")" + (kind == HlslSamplerKind::Tex2D ? ".xy" : ".xyz");
}

std::string SampleCall(HlslSamplerKind kind, const char* suffix) {
  return std::string(kind == HlslSamplerKind::Cube    ? "texCUBE"
                     : kind == HlslSamplerKind::Tex3D ? "tex3D"
                                                      : "tex2D") +
         suffix;
}

// ps_1_4 texture coordinates divided by z or w (_dz, _dw).
std::string Projected(const Operand& op, const std::string& value) {
  if (op.dz) return "float4((" + value + ").xy / (" + value + ").z, 0.0, 1.0)";
  if (op.dw) return "float4((" + value + ").xy / (" + value + ").w, 0.0, 1.0)";
  return value;
}

bool Nested(Emit* e, int line, Failure* fail) {
  if (e->blocks.size() <= static_cast<size_t>(kMaxAsmNesting)) return true;
  *fail = {line, "if and loop blocks nest too deep"};
  return false;
}

bool EmitInstruction(Emit* e, const Instruction& in, Failure* fail) {
  const std::string& op = in.op;
  const int line = in.line;
  std::vector<std::string> s(in.args.size());
  const bool declares = op == "dcl" || op == "def" || op == "defi" || op == "defb";
  const bool flow = op == "rep" || op == "loop" || op == "if" || op == "break" || op == "texkill";
  const bool sampling = op == "tex" || op == "texcoord" || op == "texreg2ar" || op == "texreg2gb" ||
                        op == "texreg2rgb" || op == "texld" || op == "texldp" || op == "texldb" ||
                        op == "texldl" || op == "texldd" || op == "texcrd";
  if (!in.coissue) Flush(e);
  if (declares || op == "nop" || op == "phase") return true;
  for (size_t k = flow ? 0 : 1; k < in.args.size() && !sampling; ++k)
    if (in.args[k].file != File::Int && in.args[k].file != File::Bool &&
        in.args[k].file != File::Loop && !Source(e, in.args[k], 0, line, &s[k], fail))
      return false;
  const auto x = [&](size_t k) { return "(" + s[k] + ").w"; };  // scalar operand
  const auto replicate = [](const std::string& scalar) { return "(float4)(" + scalar + ")"; };
  std::string v;
  uint32_t allowed = 0xf;
  if (op == "mov") {
    if (in.args[0].file == File::Addr) {
      // vs_1_1 loads a0 rounding down; mova rounds to nearest.
      e->usesA0 = true;
      const std::string m = MaskText(in.args[0].mask);
      e->Line("tobrin_a0." + m + " = (int4)floor(" + s[1] + ")." + m + ";");
      return true;
    }
    v = s[1];
  } else if (op == "mova") {
    if (in.args[0].file != File::Addr) {
      *fail = {line, "mova writes a0"};
      return false;
    }
    e->usesA0 = true;
    const std::string m = MaskText(in.args[0].mask);
    e->Line("tobrin_a0." + m + " = (int4)floor(" + s[1] + " + 0.5)." + m + ";");
    return true;
  } else if (op == "add") {
    v = s[1] + " + " + s[2];
  } else if (op == "sub") {
    v = s[1] + " - " + s[2];
  } else if (op == "mul") {
    v = s[1] + " * " + s[2];
  } else if (op == "mad") {
    v = s[1] + " * " + s[2] + " + " + s[3];
  } else if (op == "dp3") {
    v = replicate("dot((" + s[1] + ").xyz, (" + s[2] + ").xyz)");
  } else if (op == "dp4") {
    v = replicate("dot(" + s[1] + ", " + s[2] + ")");
  } else if (op == "dp2add") {
    v = replicate("dot((" + s[1] + ").xy, (" + s[2] + ").xy) + (" + s[3] + ").x");
  } else if (op == "rcp") {
    v = replicate("tobrin_rcp(" + x(1) + ")");
  } else if (op == "rsq") {
    v = replicate("tobrin_rsq(" + x(1) + ")");
  } else if (op == "exp" || (op == "expp" && e->Model() >= 2)) {
    v = replicate("exp2(" + x(1) + ")");
  } else if (op == "expp") {
    v = "tobrin_expp(" + x(1) + ")";
  } else if (op == "log" || (op == "logp" && e->Model() >= 2)) {
    v = replicate("tobrin_log(" + x(1) + ")");
  } else if (op == "logp") {
    v = "tobrin_logp(" + x(1) + ")";
  } else if (op == "pow") {
    v = replicate("pow(abs(" + x(1) + "), " + x(2) + ")");
  } else if (op == "lit") {
    v = "tobrin_lit(" + s[1] + ")";
  } else if (op == "dst") {
    v = "float4(1.0, (" + s[1] + ").y * (" + s[2] + ").y, (" + s[1] + ").z, (" + s[2] + ").w)";
  } else if (op == "min" || op == "max") {
    v = op + "(" + s[1] + ", " + s[2] + ")";
  } else if (op == "slt") {
    v = "(float4)(" + s[1] + " < " + s[2] + ")";
  } else if (op == "sge") {
    v = "(float4)(" + s[1] + " >= " + s[2] + ")";
  } else if (op == "frc") {
    v = "frac(" + s[1] + ")";
  } else if (op == "abs") {
    v = "abs(" + s[1] + ")";
  } else if (op == "sgn") {
    v = "sign(" + s[1] + ")";
  } else if (op == "dsx" || op == "dsy") {
    v = std::string(op == "dsx" ? "ddx(" : "ddy(") + s[1] + ")";
  } else if (op == "nrm") {
    v = s[1] + " * tobrin_rsq(dot((" + s[1] + ").xyz, (" + s[1] + ").xyz))";
  } else if (op == "crs") {
    v = "float4(cross((" + s[1] + ").xyz, (" + s[2] + ").xyz), 0.0)";
    allowed = 0x7;
  } else if (op == "lrp") {
    v = "lerp(" + s[3] + ", " + s[2] + ", " + s[1] + ")";
  } else if (op == "sincos") {
    v = "float4(cos(" + x(1) + "), sin(" + x(1) + "), 0.0, 0.0)";
    allowed = 0x3;
  } else if (op == "cmp") {
    v = "(" + s[1] + " >= 0.0 ? " + s[2] + " : " + s[3] + ")";
  } else if (op == "cnd") {
    v = "(" + s[1] + " > 0.5 ? " + s[2] + " : " + s[3] + ")";
  } else if (op[0] == 'm' && op.size() == 4 && op[2] == 'x') {
    // mNxM: M dot products of N components with consecutive registers from the second source.
    const int n = op[1] - '0', m = op[3] - '0';
    const std::string parts = n == 4 ? "" : ".xyz";
    v = "float4(";
    for (int k = 0; k < 4; ++k) {
      std::string row;
      if (k < m && !Source(e, in.args[2], static_cast<uint32_t>(k), line, &row, fail)) return false;
      v += (k ? ", " : "") +
           (k < m ? "dot((" + s[1] + ")" + parts + ", (" + row + ")" + parts + ")" : "0.0");
    }
    v += ")";
    allowed = (1u << m) - 1;
  } else if (op == "texkill") {
    // Shader model 1 tests the texture coordinates' first three components.
    const Operand& a = in.args[0];
    std::string value = s[0];
    if (a.file == File::Texture && e->Model() == 1 && e->version.minor < 4) {
      const std::string coords = "tobrin_tc" + std::to_string(a.index);
      e->locals.insert(coords);
      ImplyInput(e, coords, "TEXCOORD" + std::to_string(a.index));
      value = coords;
    }
    e->Line("clip((" + value + ")." + (e->Model() == 1 ? std::string("xyz") : MaskText(a.mask)) +
            ");");
    return true;
  } else if (op == "tex" || op == "texcoord" || op == "texreg2ar" || op == "texreg2gb" ||
             op == "texreg2rgb") {
    // ps_1_1 to 1_3: texture register N samples stage N at texture coordinates N.
    const Operand& dst = in.args[0];
    if (dst.file != File::Texture || e->Model() != 1 || e->version.minor >= 4) {
      *fail = {line, "assembly instruction '" + op + "' is not supported here"};
      return false;
    }
    const std::string coords = "tobrin_tc" + std::to_string(dst.index);
    ImplyInput(e, coords, "TEXCOORD" + std::to_string(dst.index));
    e->locals.insert(coords);
    if (op == "texcoord") {
      v = "float4(saturate((" + coords + ").xyz), 1.0)";
    } else {
      std::string name;
      HlslSamplerKind kind = HlslSamplerKind::Tex2D;
      if (!SamplerOf(e, dst.index, line, &name, &kind, fail)) return false;
      std::string at = coords;
      if (op != "tex") {
        const Operand& from = in.args[1];
        if (from.file != File::Texture || from.index >= dst.index) {
          *fail = {line, op + " reads a texture register sampled before it"};
          return false;
        }
        const std::string reg = LocalOf(e, File::Texture, from.index);
        at = op == "texreg2ar"   ? "float4((" + reg + ").wx, 0.0, 1.0)"
             : op == "texreg2gb" ? "float4((" + reg + ").yz, 0.0, 1.0)"
                                 : "float4((" + reg + ").xyz, 1.0)";
      }
      v = SampleCall(kind, "") + "(" + name + ", " + Coordinates(kind, at) + ")";
    }
  } else if (op == "texbem" || op == "texbeml" || op == "texm3x2pad" || op == "texm3x2tex" ||
             op == "texm3x3pad" || op == "texm3x3tex") {
    // ps_1_1 to 1_3: texture register N samples stage N at coordinates that the earlier register
    // tM (s[1], with its modifiers) perturbs (bem: by stage N's bump-environment matrix) or
    // transforms (m3x2, m3x3: a row per texture coordinate set, the pads holding the first rows).
    const Operand& dst = in.args[0];
    if (dst.file != File::Texture || e->Model() != 1 || e->version.minor >= 4 ||
        in.args[1].file != File::Texture || in.args[1].index >= dst.index ||
        dst.index >= kAsmBumpStages) {
      *fail = {line, "assembly instruction '" + op + "' is not supported here"};
      return false;
    }
    const std::string n = std::to_string(dst.index);
    const std::string coords = "tobrin_tc" + n;
    ImplyInput(e, coords, "TEXCOORD" + n);
    e->locals.insert(coords);
    const std::string row = "dot((" + coords + ").xyz, (" + s[1] + ").xyz)";
    if (op == "texm3x2pad" || op == "texm3x3pad") {
      // The row waits in a local of its own for the instruction that samples.
      const std::string pad = "tobrin_pad" + n;
      e->locals.insert(pad);
      e->Line(pad + " = (float4)(" + row + ");");
      return true;
    }
    std::string name;
    HlslSamplerKind kind = HlslSamplerKind::Tex2D;
    if (!SamplerOf(e, dst.index, line, &name, &kind, fail)) return false;
    std::string at;
    if (op == "texm3x2tex" || op == "texm3x3tex") {
      const bool three = op == "texm3x3tex";
      const uint32_t first = dst.index - (three ? 2 : 1);
      if (dst.index < (three ? 2u : 1u) || !e->locals.count("tobrin_pad" + std::to_string(first)) ||
          (three && !e->locals.count("tobrin_pad" + std::to_string(first + 1)))) {
        *fail = {line, op + " follows no pad instruction for the registers before it"};
        return false;
      }
      at = "float4(tobrin_pad" + std::to_string(first) + ".x, " +
           (three ? "tobrin_pad" + std::to_string(first + 1) + ".x, " + row : row) +
           (three ? ", 1.0)" : ", 0.0, 1.0)");
    } else {
      const float* m = e->request->bumpEnv[dst.index];
      const std::string r = "(" + s[1] + ").x", g = "(" + s[1] + ").y";
      at = "float4((" + coords + ").x + " + BumpValue(m[0]) + " * " + r + " + " + BumpValue(m[2]) +
           " * " + g + ", (" + coords + ").y + " + BumpValue(m[1]) + " * " + r + " + " +
           BumpValue(m[3]) + " * " + g + ", 0.0, 1.0)";
    }
    v = SampleCall(kind, "") + "(" + name + ", " + Coordinates(kind, at) + ")";
    if (op == "texbeml")
      v = "(" + v + ") * ((" + s[1] + ").z * " + BumpValue(e->request->bumpEnv[dst.index][4]) +
          " + " + BumpValue(e->request->bumpEnv[dst.index][5]) + ")";
  } else if (op == "texcrd") {
    std::string value;
    if (!Source(e, in.args[1], 0, line, &value, fail)) return false;
    v = Projected(in.args[1], value);
    allowed = 0x7;
  } else if (op == "texld" && e->Model() == 1) {
    // ps_1_4: register rN samples stage N at the coordinates given.
    const Operand& dst = in.args[0];
    std::string name, value;
    HlslSamplerKind kind = HlslSamplerKind::Tex2D;
    if (dst.file != File::Temp || !SamplerOf(e, dst.index, line, &name, &kind, fail) ||
        !Source(e, in.args[1], 0, line, &value, fail)) {
      if (fail->message.empty()) *fail = {line, "texld writes a temporary register"};
      return false;
    }
    v = SampleCall(kind, "") + "(" + name + ", " + Coordinates(kind, Projected(in.args[1], value)) +
        ")";
  } else if (op == "texld" || op == "texldp" || op == "texldb" || op == "texldl" ||
             op == "texldd") {
    const Operand& reg = in.args[2];
    std::string name, coords;
    HlslSamplerKind kind = HlslSamplerKind::Tex2D;
    if (in.args.size() < 3 || reg.file != File::Sampler) {
      *fail = {line, op + " samples a sampler register sN"};
      return false;
    }
    if (!SamplerOf(e, reg.index, line, &name, &kind, fail) ||
        !Source(e, in.args[1], 0, line, &coords, fail))
      return false;
    if (op == "texld") {
      v = SampleCall(kind, "") + "(" + name + ", " + Coordinates(kind, coords) + ")";
    } else if (op == "texldd") {
      std::string dx, dy;
      if (!Source(e, in.args[3], 0, line, &dx, fail) || !Source(e, in.args[4], 0, line, &dy, fail))
        return false;
      v = SampleCall(kind, "grad") + "(" + name + ", " + Coordinates(kind, coords) + ", " +
          Coordinates(kind, dx) + ", " + Coordinates(kind, dy) + ")";
    } else {
      v = SampleCall(kind, op == "texldp"   ? "proj"
                           : op == "texldb" ? "bias"
                                            : "lod") +
          "(" + name + ", " + coords + ")";
    }
  } else if (op == "rep" || op == "loop") {
    const Operand& count = in.args[op == "loop" ? 1 : 0];
    if (count.file != File::Int || (op == "loop" && in.args[0].file != File::Loop)) {
      *fail = {line, op + " takes an integer register"};
      return false;
    }
    std::vector<float> values =
        e->ints.count(count.index) ? e->ints[count.index] : std::vector<float>{0, 0, 0, 0};
    const int times = std::clamp(static_cast<int>(values[0]), 0, kMaxAsmLoopCount);
    const std::string k = "tobrin_k" + std::to_string(e->loops++);
    e->Line("for (int " + k + " = 0; " + k + " < " + std::to_string(times) + "; ++" + k + ") {");
    ++e->indent;
    if (op == "loop") {
      e->usesLoop = true;
      e->Line("tobrin_aL = " + std::to_string(static_cast<int>(values[1])) + " + " + k + " * " +
              std::to_string(static_cast<int>(values[2])) + ";");
    }
    e->blocks.push_back('r');
    e->blockLines.push_back(line);
    return Nested(e, line, fail);
  } else if (op == "endrep" || op == "endloop") {
    if (e->blocks.empty() || e->blocks.back() != 'r') {
      *fail = {line, op + " closes no loop"};
      return false;
    }
    e->blocks.pop_back();
    e->blockLines.pop_back();
    --e->indent;
    e->Line("}");
    return true;
  } else if (op == "if" || op == "break") {
    std::string condition = "true";
    if (!in.compare.empty()) {
      condition = "(" + s[0] + ").x" + Compare(in.compare) + "(" + s[1] + ").x";
    } else if (!in.args.empty()) {
      const Operand& b = in.args[0];
      if (b.file != File::Bool) {
        *fail = {line, "if takes a boolean register or a comparison"};
        return false;
      }
      const bool value = e->bools.count(b.index) && e->bools[b.index];
      condition = value != b.negate ? "true" : "false";
    }
    if (op == "break") {
      if (std::find(e->blocks.begin(), e->blocks.end(), 'r') == e->blocks.end()) {
        *fail = {line, "break outside a loop"};
        return false;
      }
      e->Line("if (" + condition + ") break;");
      return true;
    }
    e->Line("if (" + condition + ") {");
    ++e->indent;
    e->blocks.push_back('i');
    e->blockLines.push_back(line);
    return Nested(e, line, fail);
  } else if (op == "else" || op == "endif") {
    if (e->blocks.empty() || e->blocks.back() != 'i') {
      *fail = {line, op + " closes no if"};
      return false;
    }
    --e->indent;
    if (op == "else") {
      e->Line("} else {");
      ++e->indent;
      return true;
    }
    e->blocks.pop_back();
    e->blockLines.pop_back();
    e->Line("}");
    return true;
  } else {
    *fail = {line, "assembly instruction '" + op + "' is not supported"};
    return false;
  }
  return Write(e, in, v, allowed, fail);
}

const char kHelpers[] = R"(float tobrin_rcp(float x) {
  return x == 0.0 ? asfloat(0x7f800000) : (x == 1.0 ? 1.0 : 1.0 / x);
}
float tobrin_rsq(float x) {
  float a = abs(x);
  return a == 0.0 ? asfloat(0x7f800000) : (a == 1.0 ? 1.0 : rsqrt(a));
}
float tobrin_log(float x) {
  float a = abs(x);
  return a == 0.0 ? -asfloat(0x7f800000) : log2(a);
}
float4 tobrin_lit(float4 s) {
  float4 d = float4(1.0, 0.0, 0.0, 1.0);
  float power = clamp(s.w, -127.9961, 127.9961);
  if (s.x > 0.0) {
    d.y = s.x;
    if (s.y > 0.0) d.z = pow(s.y, power);
  }
  return d;
}
float4 tobrin_expp(float s) {
  float f = floor(s);
  return float4(exp2(f), s - f, exp2(s), 1.0);
}
float4 tobrin_logp(float s) {
  float a = abs(s);
  if (a == 0.0) return float4(-asfloat(0x7f800000), 1.0, -asfloat(0x7f800000), 1.0);
  float e = floor(log2(a));
  return float4(e, a / exp2(e), log2(a), 1.0);
}
)";

bool ParseVersion(const std::string& profile, Version* v) {
  if (profile.size() != 6) return false;
  v->pixel = profile[0] == 'p';
  v->major = profile[3] - '0';
  v->minor = profile[5] == 'x' ? 1 : profile[5] - '0';
  return true;
}

}  // namespace

bool TranslateAsmShader(const AsmRequest& request, AsmShader* out, int* line,
                        std::string* message) {
  const std::string& text = *request.text;
  const auto failed = [&](const Failure& f) {
    *line = f.line;
    *message = f.message;
    return false;
  };
  if (text.size() > kMaxAsmTextBytes) return failed({0, "the assembly shader is too long"});
  Emit e;
  e.request = &request;
  e.profile = formats::FxAsmProfile(text);
  if (e.profile.empty() || !ParseVersion(e.profile, &e.version))
    return failed({0, "an assembly shader starts with its version (vs_2_0, ps.1.4, ...)"});
  if (e.version.pixel != request.pixel)
    return failed({0, std::string("a ") + (e.version.pixel ? "pixel" : "vertex") +
                          " shader assembly is bound as the " +
                          (request.pixel ? "pixel" : "vertex") + " shader"});
  // The version word ends at the first character that cannot belong to it.
  size_t versionEnd = text.find(e.profile[0] == 'v' ? 'v' : 'p');
  while (versionEnd < text.size() && (std::isalnum(static_cast<unsigned char>(text[versionEnd])) ||
                                      text[versionEnd] == '_' || text[versionEnd] == '.'))
    ++versionEnd;
  std::vector<Token> tokens;
  Failure fail;
  if (!Tokenize(text, versionEnd, &tokens, &fail)) return failed(fail);

  Parse p;
  p.tokens = &tokens;
  p.version = e.version;
  std::vector<Instruction> program;
  while (p.Peek().kind != Tok::End) {
    if (program.size() >= kMaxAsmInstructions)
      return failed({p.Peek().line, "the assembly shader has more than " +
                                        std::to_string(kMaxAsmInstructions) + " instructions"});
    program.emplace_back();
    if (!ParseInstruction(&p, &program.back())) return failed(p.fail);
  }

  // Pass literals first, so the shader's own defs replace them as they replace any set value.
  for (const AsmConstant& c : request.constants) e.defs[c.reg] = Float4(c.value);
  for (const Instruction& in : program) {
    const Operand* reg = in.args.empty() ? nullptr : &in.args[0];
    if (in.op == "def") e.defs[reg->index] = Float4(in.values);
    if (in.op == "defi") e.ints[reg->index].assign(in.values, in.values + 4);
    if (in.op == "defb") e.bools[reg->index] = in.values[0] != 0.0f;
    if (in.op != "dcl") continue;
    if (reg->file == File::Sampler) {
      e.declaredSamplers[reg->index] = in.usage == "cube"     ? HlslSamplerKind::Cube
                                       : in.usage == "volume" ? HlslSamplerKind::Tex3D
                                                              : HlslSamplerKind::Tex2D;
      continue;
    }
    const bool semantic =
        !in.usage.empty() && in.usage != "2d" && in.usage != "cube" && in.usage != "volume";
    if (reg->file == File::TexOut && e.Model() == 3 && semantic) {
      e.outputDecls.push_back({LocalOf(&e, File::TexOut, reg->index), in.usage, reg->mask});
      continue;
    }
    if (reg->file == File::Misc) {
      e.inputs.push_back({LocalOf(&e, File::Misc, reg->index),
                          reg->index == 0 ? "TOBRIN_VPOS" : "TOBRIN_VFACE", reg->mask});
      continue;
    }
    if (reg->file != File::Input && reg->file != File::Texture)
      return failed({in.line, "dcl of register '" + reg->text + "' is not supported"});
    const std::string local = LocalOf(&e, reg->file, reg->index);
    if (semantic) {
      e.inputs.push_back({local, in.usage, reg->mask});
    } else if (e.Pixel() && e.Model() == 2) {
      ImplyInput(&e, local,
                 (reg->file == File::Input ? "COLOR" : "TEXCOORD") + std::to_string(reg->index));
    } else {
      return failed({in.line, "dcl of '" + reg->text + "' needs a usage (dcl_texcoord0, ...)"});
    }
  }

  for (const Instruction& in : program)
    if (!EmitInstruction(&e, in, &fail)) return failed(fail);
  Flush(&e);
  if (!e.blocks.empty())
    return failed({e.blockLines.back(), "this if or loop block is never closed"});

  // Inputs become parameters copied into their registers; outputs parameters written at the end.
  std::string parameters, prologue, epilogue;
  const auto parameter = [&](const std::string& text) {
    parameters += (parameters.empty() ? "" : ",\n    ") + text;
  };
  int serial = 0;
  for (const Input& in : e.inputs) {
    const std::string name = "tobrin_in" + std::to_string(serial++);
    if (in.semantic == "TOBRIN_VFACE") {
      parameter("in float " + name + " : TOBRIN_VFACE");
      prologue += "  " + in.local + " = (float4)" + name + ";\n";
      continue;
    }
    int count = 0;
    for (int k = 0; k < 4; ++k) count += (in.mask >> k) & 1;
    parameter("in float" + std::to_string(count) + " " + name + " : " + in.semantic);
    const std::string m = MaskText(in.mask);
    prologue += "  " + in.local + "." + m + " = " + name + ";\n";
  }
  const auto output = [&](const std::string& type, const std::string& semantic,
                          const std::string& value) {
    const std::string name = "tobrin_out" + std::to_string(serial++);
    parameter("out " + type + " " + name + " : " + semantic);
    epilogue += "  " + name + " = " + value + ";\n";
  };
  if (!e.Pixel()) {
    LocalOf(&e, File::RastOut, 0);
    if (e.Model() < 3) {
      output("float4", "POSITION", "tobrin_oPos");
      // Colours reach the pixel stage clamped to 0..1 before shader model 3.
      for (int k = 0; k < 2; ++k) {
        const std::string local = "tobrin_oD" + std::to_string(k);
        if (e.outputs.count(local))
          output("float4", "COLOR" + std::to_string(k), "saturate(" + local + ")");
      }
      for (int k = 0; k < 8; ++k) {
        const std::string local = "tobrin_oT" + std::to_string(k);
        if (e.outputs.count(local)) output("float4", "TEXCOORD" + std::to_string(k), local);
      }
      if (e.outputs.count("tobrin_oFog")) output("float", "FOG", "tobrin_oFog.x");
      if (e.outputs.count("tobrin_oPts")) output("float", "PSIZE", "tobrin_oPts.x");
    } else {
      // One register may carry several semantics, each in its own components (o1.xy, o1.zw).
      for (const Input& decl : e.outputDecls) {
        const std::string m = MaskText(decl.mask);
        output(m.size() == 1 ? "float" : "float" + std::to_string(m.size()), decl.semantic,
               decl.local + "." + m);
      }
      for (const std::string& local : e.outputs) {
        bool declared = false;
        for (const Input& decl : e.outputDecls) declared = declared || decl.local == local;
        if (!declared) return failed({0, "output register " + local.substr(7) + " has no dcl"});
      }
    }
  } else if (e.Model() == 1) {
    LocalOf(&e, File::Temp, 0);
    output("float4", "COLOR0", "tobrin_r0");
  } else {
    LocalOf(&e, File::ColorOut, 0);
    for (int k = 0; k < 4; ++k) {
      const std::string local = "tobrin_oC" + std::to_string(k);
      if (k == 0 || e.outputs.count(local)) output("float4", "COLOR" + std::to_string(k), local);
    }
    if (e.outputs.count("tobrin_oDepth")) output("float", "DEPTH", "tobrin_oDepth.x");
  }

  std::string hlsl = "// " + e.profile + " assembly\n";
  const std::string array = e.ConstArray();
  if (e.constants > 0) hlsl += "float4 " + array + "[" + std::to_string(e.constants) + "];\n";
  if (e.relative) {
    // Registers past the end read 0; defs hold their values whichever way they are read.
    hlsl += "float4 " + array + "_rel(int i) {\n";
    for (const auto& [reg, value] : e.defs)
      if (reg < e.constants)
        hlsl += "  if (i == " + std::to_string(reg) + ") return " + value + ";\n";
    hlsl += "  return i >= 0 && i < " + std::to_string(e.constants) + " ? " + array +
            "[i] : float4(0.0, 0.0, 0.0, 0.0);\n}\n";
  }
  hlsl += kHelpers;
  for (const auto& [name, kind] : e.samplers)
    hlsl += std::string(kind == HlslSamplerKind::Cube    ? "samplerCUBE "
                        : kind == HlslSamplerKind::Tex3D ? "sampler3D "
                                                         : "sampler2D ") +
            name + ";\n";
  hlsl += std::string("void ") + kAsmEntry + "(" + parameters + ") {\n";
  for (const std::string& local : e.locals) hlsl += "  float4 " + local + " = 0.0;\n";
  if (e.usesA0) hlsl += "  int4 tobrin_a0 = 0;\n";
  if (e.usesLoop) hlsl += "  int tobrin_aL = 0;\n";
  hlsl += prologue + e.body + epilogue + "}\n";
  out->profile = e.profile;
  out->hlsl = std::move(hlsl);
  out->constantRegisters = e.constants;
  return true;
}

}  // namespace compiler
