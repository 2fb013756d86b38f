// HLSL text preparation for glslang and the mapping of its messages to effect-file lines. The
// rewrites work on tokens of one declaration, one call or one loop and its block, never on
// whole-program structure, so a false match costs a copy and changes no result.
#include "compiler/hlsl_source.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace compiler {
namespace {

using namespace formats;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Offset of the first line-start at or after `line` (0-based) in text.
size_t LineStart(const std::string& text, int line) {
  size_t at = 0;
  for (int i = 0; i < line && at < text.size(); ++i) {
    const size_t next = text.find('\n', at);
    if (next == std::string::npos) return text.size();
    at = next + 1;
  }
  return at;
}

// True when the identifier ending at `end` is followed by an assignment, after an optional swizzle
// or index: `g = …`, `g.x += …`, `g[1] *= …`, `g++`.
bool AssignedAt(const std::string& text, size_t end) {
  size_t i = end;
  const auto skipSpace = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  skipSpace();
  while (i < text.size() && (text[i] == '.' || text[i] == '[')) {
    if (text[i] == '.') {
      ++i;
      while (i < text.size() && IsWordChar(text[i])) ++i;
    } else {
      int depth = 0;
      for (; i < text.size(); ++i) {
        if (text[i] == '[') ++depth;
        if (text[i] == ']' && --depth == 0) {
          ++i;
          break;
        }
      }
    }
    skipSpace();
  }
  if (i + 1 >= text.size()) return false;
  const char a = text[i], b = text[i + 1];
  if (a == '=') return b != '=';
  if ((a == '+' || a == '-') && b == a) return true;
  return (a == '+' || a == '-' || a == '*' || a == '/' || a == '%') && b == '=';
}

bool PrecededByIncrement(const std::string& text, size_t start) {
  size_t i = start;
  while (i > 0 && std::isspace(static_cast<unsigned char>(text[i - 1]))) --i;
  return i >= 2 &&
         ((text[i - 1] == '+' && text[i - 2] == '+') || (text[i - 1] == '-' && text[i - 2] == '-'));
}

bool IsAssignedAnywhere(const std::string& text, const std::string& name, size_t skipBegin,
                        size_t skipEnd) {
  size_t at = 0;
  while ((at = text.find(name, at)) != std::string::npos) {
    const size_t end = at + name.size();
    const bool word = (at == 0 || (!IsWordChar(text[at - 1]) && text[at - 1] != '.')) &&
                      (end >= text.size() || !IsWordChar(text[end]));
    if (word && (at < skipBegin || at >= skipEnd) &&
        (AssignedAt(text, end) || PrecededByIncrement(text, at)))
      return true;
    at = end;
  }
  return false;
}

bool Numeric(FxBase base) {
  return base == FxBase::Bool || base == FxBase::Int || base == FxBase::Uint ||
         base == FxBase::Half || base == FxBase::Float || base == FxBase::Double;
}

}  // namespace

// True when the expression calls a function of the effect (intrinsics are no concern).
bool CallsUserFunction(const FxEffect& effect, const std::string& expression) {
  for (size_t i = 0; i < expression.size();) {
    if (!IsWordChar(expression[i]) || (i > 0 && IsWordChar(expression[i - 1]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < expression.size() && IsWordChar(expression[end])) ++end;
    size_t next = end;
    while (next < expression.size() && std::isspace(static_cast<unsigned char>(expression[next])))
      ++next;
    if (next < expression.size() && expression[next] == '(')
      for (const FxFunction& function : effect.functions)
        if (function.name.size() == end - i && expression.compare(i, end - i, function.name) == 0)
          return true;
    i = end;
  }
  return false;
}

// glslang refuses a global initialised by a call to a function of the file ("Recursion
// detected"): such a static loses its initialiser, which the entry wrapper runs instead.
void MoveCallingInitialiser(const FxEffect& effect, const FxParameter& parameter, std::string* text,
                            std::string* prologue) {
  if (parameter.initText.empty() || !CallsUserFunction(effect, parameter.initText)) return;
  const size_t declared = text->find(parameter.name, LineStart(*text, parameter.line));
  if (declared == std::string::npos) return;
  const size_t equals = text->find('=', declared);
  if (equals == std::string::npos) return;
  int depth = 0;
  size_t end = equals;
  for (; end < text->size(); ++end) {
    const char c = (*text)[end];
    if (c == '(' || c == '{') ++depth;
    if (c == ')' || c == '}') --depth;
    if (c == ';' && depth == 0) break;
  }
  if (end >= text->size()) return;
  for (size_t i = equals; i < end; ++i)
    if ((*text)[i] != '\n') (*text)[i] = ' ';
  *prologue += parameter.name + " = " + parameter.initText + "; ";
}

std::string RewriteAssignedGlobals(const FxEffect& effect, const std::string& hlsl,
                                   std::string* prologue) {
  std::string text = hlsl;
  for (const FxParameter& parameter : effect.parameters) {
    if (parameter.isStatic && Numeric(parameter.type.base))
      MoveCallingInitialiser(effect, parameter, &text, prologue);
    if (parameter.isStatic || parameter.isConst || !Numeric(parameter.type.base)) continue;
    const size_t lineStart = LineStart(text, parameter.line);
    size_t declared = lineStart;
    // The declared name: the first whole word of that spelling on the declaration's line.
    for (;;) {
      declared = text.find(parameter.name, declared);
      if (declared == std::string::npos) break;
      const size_t end = declared + parameter.name.size();
      if ((declared == 0 || !IsWordChar(text[declared - 1])) &&
          (end >= text.size() || !IsWordChar(text[end])))
        break;
      declared = end;
    }
    if (declared == std::string::npos) continue;
    const size_t semicolon = text.find(';', declared);
    if (semicolon == std::string::npos) continue;
    const bool computed = parameter.value.empty() && !parameter.initText.empty() &&
                          parameter.type.rows == 1 && parameter.type.elements == 0;
    if (!computed && !IsAssignedAnywhere(text, parameter.name, lineStart, semicolon + 1)) continue;
    const std::string uniform = kAssignedGlobalPrefix + parameter.name;
    std::string copy;
    if (computed) {
      const std::string flag = kSetFlagPrefix + parameter.name;
      const std::string value =
          flag + " ? " + uniform + " : (" + parameter.type.name + ")(" + parameter.initText + ")";
      copy = " bool " + flag + "; static " + parameter.type.name + " " + parameter.name;
      if (CallsUserFunction(effect, parameter.initText)) {
        copy += ";";
        *prologue += parameter.name + " = " + value + "; ";
      } else {
        copy += " = " + value + ";";
      }
    } else {
      copy = " static " + parameter.type.name + " " + parameter.name;
      if (parameter.type.elements) copy += "[" + std::to_string(parameter.type.elements) + "]";
      copy += " = " + uniform + ";";
    }
    text.insert(semicolon + 1, copy);
    text.insert(declared, kAssignedGlobalPrefix);
  }
  return text;
}

std::string RenameBuiltinSemantics(const std::string& hlsl) {
  std::string text = hlsl;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ':') continue;
    size_t j = i + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    size_t end = j;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    std::string word = text.substr(j, end - j);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word == "VPOS" || word == "VFACE") text.insert(j, "TOBRIN_");
  }
  return text;
}

std::string RewriteArrayCasts(const std::string& hlsl) {
  static const char* const scalars[] = {"float", "half", "int", "uint", "bool", "double"};
  std::string text = hlsl;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '(') continue;
    // "= (" before, then "SCALAR [ N ] )".
    size_t before = i;
    while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1]))) --before;
    if (before == 0 || text[before - 1] != '=' || (before >= 2 && strchr("=!<>", text[before - 2])))
      continue;
    size_t j = i + 1;
    const auto space = [&] {
      while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
    };
    space();
    size_t wordEnd = j;
    while (wordEnd < text.size() && IsWordChar(text[wordEnd])) ++wordEnd;
    const std::string scalar = text.substr(j, wordEnd - j);
    bool known = false;
    for (const char* s : scalars) known = known || scalar == s;
    if (!known) continue;
    j = wordEnd;
    space();
    if (j >= text.size() || text[j] != '[') continue;
    ++j;
    space();
    size_t digitsEnd = j;
    while (digitsEnd < text.size() && std::isdigit(static_cast<unsigned char>(text[digitsEnd])))
      ++digitsEnd;
    if (digitsEnd == j || digitsEnd - j > 2) continue;
    const int count = std::stoi(text.substr(j, digitsEnd - j));
    j = digitsEnd;
    space();
    if (j >= text.size() || text[j] != ']') continue;
    ++j;
    space();
    if (j >= text.size() || text[j] != ')') continue;
    ++j;
    // The operand: the rest of the initialiser, up to its ';' at depth 0.
    size_t end = j;
    int depth = 0;
    for (; end < text.size(); ++end) {
      if (text[end] == '(' || text[end] == '[') ++depth;
      if (text[end] == ')' || text[end] == ']') --depth;
      if ((text[end] == ';' && depth == 0) || text[end] == '\n' || depth < 0) break;
    }
    if (end >= text.size() || text[end] != ';' || count < 1) continue;
    std::string operand = text.substr(j, end - j);
    std::string list = "{";
    for (int k = 0; k < count; ++k)
      list += (k ? ", (" : " (") + scalar + ")(" + operand + ")[" + std::to_string(k) + "]";
    list += " }";
    text.replace(i, end - i, list);
    i += list.size() - 1;
  }
  return text;
}

// void tobrin_split(float4 v, out float2 o0, out float2 o1) { o0 = v.xy; o1 = v.zw; } and the
// other ways to cut a float2, float3 or float4 into two or more vectors, on one line.
std::string SplitHelpers() {
  std::string helpers;
  const std::string axes = "xyzw";
  std::vector<int> parts;
  const auto emit = [&](int n) {
    std::string head = "void tobrin_split(float" + std::to_string(n) + " v", body;
    int at = 0;
    for (size_t k = 0; k < parts.size(); ++k) {
      const std::string type = parts[k] == 1 ? "float" : "float" + std::to_string(parts[k]);
      head += ", out " + type + " o" + std::to_string(k);
      body += " o" + std::to_string(k) + " = v." + axes.substr(at, parts[k]) + ";";
      at += parts[k];
    }
    helpers += head + ") {" + body + " } ";
  };
  for (int n = 2; n <= 4; ++n) {
    // Every composition of n into two or more parts.
    const auto compose = [&](auto&& self, int left) -> void {
      if (left == 0) {
        if (parts.size() >= 2) emit(n);
        return;
      }
      for (int part = 1; part <= left; ++part) {
        parts.push_back(part);
        self(self, left - part);
        parts.pop_back();
      }
    };
    compose(compose, n);
  }
  return helpers;
}

std::string RewriteConstructorAssignments(const std::string& hlsl) {
  std::string text = hlsl;
  bool used = false;
  for (size_t i = 0; i + 6 < text.size(); ++i) {
    if (text.compare(i, 5, "float") != 0 || (i > 0 && IsWordChar(text[i - 1]))) continue;
    const char n = text[i + 5];
    if (n < '2' || n > '4' || IsWordChar(text[i + 6])) continue;
    // At the start of a statement.
    size_t before = i;
    while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1]))) --before;
    if (before > 0 && !strchr(";{}", text[before - 1])) continue;
    size_t j = i + 6;
    const auto space = [&] {
      while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
    };
    space();
    if (j >= text.size() || text[j] != '(') continue;
    ++j;
    std::vector<std::string> targets;
    for (;;) {
      space();
      const size_t start = j;
      while (j < text.size() && IsWordChar(text[j])) ++j;
      if (j == start) break;
      targets.push_back(text.substr(start, j - start));
      space();
      if (j < text.size() && text[j] == ',') {
        ++j;
        continue;
      }
      break;
    }
    if (targets.size() < 2 || j >= text.size() || text[j] != ')') continue;
    ++j;
    space();
    if (j + 1 >= text.size() || text[j] != '=' || text[j + 1] == '=') continue;
    ++j;
    size_t end = j;
    int depth = 0;
    for (; end < text.size(); ++end) {
      if (text[end] == '(') ++depth;
      if (text[end] == ')') --depth;
      if (text[end] == ';' && depth == 0) break;
    }
    if (end >= text.size()) continue;
    std::string call =
        "tobrin_split((float" + std::string(1, n) + ")(" + text.substr(j, end - j) + ")";
    for (const std::string& target : targets) call += ", " + target;
    call += ")";
    // Newlines inside the statement stay, so later lines keep their numbers.
    for (size_t k = i; k < end; ++k)
      if (text[k] == '\n') call += "\n";
    text.replace(i, end - i, call);
    i += call.size();
    used = true;
  }
  return used ? SplitHelpers() + text : text;
}

namespace {

size_t SkipSpace(const std::string& text, size_t at) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

// The position after the bracket that closes the one at `open`, or npos.
size_t AfterClosing(const std::string& text, size_t open) {
  const char opening = text[open];
  const char closing = opening == '(' ? ')' : opening == '[' ? ']' : '}';
  int depth = 0;
  for (size_t at = open; at < text.size(); ++at) {
    if (text[at] == opening) ++depth;
    if (text[at] == closing && --depth == 0) return at + 1;
  }
  return std::string::npos;
}

bool WordAt(const std::string& text, size_t at, const char* word) {
  const size_t n = strlen(word);
  return text.compare(at, n, word) == 0 && (at == 0 || !IsWordChar(text[at - 1])) &&
         (at + n >= text.size() || !IsWordChar(text[at + n]));
}

// The position after the statement that starts at `at`: a block, an if with its else, a loop with
// its body, or anything up to its ';' outside brackets. npos when the text ends first.
size_t StatementEnd(const std::string& text, size_t at) {
  at = SkipSpace(text, at);
  while (at < text.size() && text[at] == '[') {  // attributes: [unroll], [branch]...
    at = AfterClosing(text, at);
    if (at == std::string::npos) return at;
    at = SkipSpace(text, at);
  }
  if (at >= text.size()) return std::string::npos;
  if (text[at] == '{') return AfterClosing(text, at);
  const bool conditional = WordAt(text, at, "if");
  if (conditional || WordAt(text, at, "for") || WordAt(text, at, "while")) {
    const size_t open = text.find('(', at);
    const size_t close = open == std::string::npos ? open : AfterClosing(text, open);
    size_t end = close == std::string::npos ? close : StatementEnd(text, close);
    if (conditional && end != std::string::npos) {
      const size_t next = SkipSpace(text, end);
      if (WordAt(text, next, "else")) end = StatementEnd(text, next + 4);
    }
    return end;
  }
  if (WordAt(text, at, "do")) {
    const size_t body = StatementEnd(text, at + 2);
    return body == std::string::npos ? body : StatementEnd(text, body);  // "while (...);"
  }
  int depth = 0;
  for (; at < text.size(); ++at) {
    if (text[at] == '(' || text[at] == '[' || text[at] == '{') ++depth;
    if (text[at] == ')' || text[at] == ']' || text[at] == '}') --depth;
    if (depth < 0) return std::string::npos;
    if (text[at] == ';' && depth == 0) return at + 1;
  }
  return std::string::npos;
}

bool UsesWord(const std::string& text, size_t begin, size_t end, const std::string& word) {
  for (size_t at = text.find(word, begin); at != std::string::npos && at + word.size() <= end;
       at = text.find(word, at + 1))
    if (WordAt(text, at, word.c_str())) return true;
  return false;
}

}  // namespace

std::string RewriteQualifierOrder(const std::string& hlsl) {
  std::string text = hlsl;
  for (size_t at = text.find("const"); at != std::string::npos; at = text.find("const", at + 1)) {
    if (!WordAt(text, at, "const")) continue;
    const size_t next = SkipSpace(text, at + 5);
    if (next == at + 5 || !WordAt(text, next, "static")) continue;
    // Same length, so columns and lines stay.
    text.replace(at, next + 6 - at, "static" + text.substr(at + 5, next - at - 5) + "const");
  }
  return text;
}

std::string RewriteLoopScopes(const std::string& hlsl) {
  struct Block {
    size_t end;                                                // after its closing brace
    std::vector<std::pair<std::string, std::string>> hoisted;  // name, type
  };
  struct Edit {
    size_t at, length;
    std::string text;
  };
  std::vector<Block> blocks;
  std::vector<Edit> edits;
  const std::string& text = hlsl;
  for (size_t at = 0; at < text.size(); ++at) {
    while (!blocks.empty() && at >= blocks.back().end) blocks.pop_back();
    if (text[at] == '{') {
      const size_t end = AfterClosing(text, at);
      if (end == std::string::npos) break;
      blocks.push_back({end, {}});
      continue;
    }
    if (blocks.empty() || !WordAt(text, at, "for")) continue;
    // A statement of the block itself: a loop that is the body of an if or another loop keeps
    // its declaration, as a declaration may not stand there.
    size_t start = at, insertAt = at;
    for (;;) {
      size_t before = start;
      while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1]))) --before;
      if (before == 0 || text[before - 1] != ']') {
        start = before;
        break;
      }
      int depth = 0;
      size_t open = before - 1;
      for (;; --open) {
        if (text[open] == ']') ++depth;
        if (text[open] == '[' && --depth == 0) break;
        if (open == 0) break;
      }
      if (text[open] != '[') break;
      start = insertAt = open;
    }
    if (start > 0 && !strchr(";{}", text[start - 1])) continue;
    const size_t open = SkipSpace(text, at + 3);
    if (open >= text.size() || text[open] != '(') continue;
    const size_t close = AfterClosing(text, open);
    if (close == std::string::npos) continue;
    size_t semicolon = open + 1;
    for (int depth = 0; semicolon < close; ++semicolon) {
      if (text[semicolon] == '(' || text[semicolon] == '[') ++depth;
      if (text[semicolon] == ')' || text[semicolon] == ']') --depth;
      if (text[semicolon] == ';' && depth == 0) break;
    }
    if (semicolon >= close) continue;
    // "TYPE NAME = e, NAME = e".
    size_t j = SkipSpace(text, open + 1);
    const size_t typeStart = j;
    while (j < semicolon && IsWordChar(text[j])) ++j;
    const std::string type = text.substr(typeStart, j - typeStart);
    if (type.empty() || j >= semicolon || !std::isspace(static_cast<unsigned char>(text[j])))
      continue;
    const size_t declarators = SkipSpace(text, j);
    if (declarators >= semicolon || !IsWordChar(text[declarators])) continue;
    std::vector<std::string> names;
    bool initialised = true, plain = true;
    for (size_t k = declarators, depth = 0, item = declarators; k <= semicolon; ++k) {
      const char c = text[k];
      if (c == '(' || c == '[' || c == '{') ++depth;
      if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
      if (k < semicolon && (c != ',' || depth != 0)) continue;
      size_t nameEnd = SkipSpace(text, item);
      const size_t nameStart = nameEnd;
      while (nameEnd < k && IsWordChar(text[nameEnd])) ++nameEnd;
      const size_t after = SkipSpace(text, nameEnd);
      if (nameEnd == nameStart || (after < k && text[after] != '=')) plain = false;
      if (after >= k) initialised = false;
      names.push_back(text.substr(nameStart, nameEnd - nameStart));
      item = k + 1;
    }
    if (!plain) continue;
    Block& block = blocks.back();
    size_t known = 0;
    for (const std::string& name : names)
      for (const auto& hoisted : block.hoisted)
        if (hoisted.first == name && hoisted.second == type) ++known;
    std::string newlines;
    for (size_t k = open + 1; k < semicolon; ++k)
      if (text[k] == '\n') newlines += '\n';
    if (known == names.size() && initialised) {
      // Declared by an earlier loop of this block: assign only.
      edits.push_back({typeStart, declarators - typeStart, ""});
      continue;
    }
    if (known != 0) continue;
    const size_t bodyEnd = StatementEnd(text, at);
    if (bodyEnd == std::string::npos || bodyEnd > block.end) continue;
    bool usedAfter = false;
    for (const std::string& name : names)
      usedAfter = usedAfter || UsesWord(text, bodyEnd, block.end, name);
    if (!usedAfter) continue;
    std::string declaration = text.substr(typeStart, semicolon - typeStart);
    for (char& c : declaration)
      if (c == '\n') c = ' ';
    edits.push_back({open + 1, semicolon - (open + 1), newlines});
    edits.push_back({insertAt, 0, declaration + "; "});
    for (const std::string& name : names) block.hoisted.push_back({name, type});
  }
  std::string out = text;
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
  for (const Edit& edit : edits) out.replace(edit.at, edit.length, edit.text);
  return out;
}

namespace {

// float3, half4x4, bool2, int3x1...: a vector or matrix of a numeric type, as written.
bool IsNumericVectorType(const std::string& type) {
  for (const char* base : {"float", "half", "double", "int", "uint", "bool", "dword"}) {
    const size_t n = std::strlen(base);
    if (type.compare(0, n, base) != 0) continue;
    const std::string shape = type.substr(n);
    const auto digit = [](char c) { return c >= '1' && c <= '4'; };
    if (shape.size() == 1 && digit(shape[0])) return true;
    if (shape.size() == 3 && digit(shape[0]) && shape[1] == 'x' && digit(shape[2])) return true;
  }
  return false;
}

}  // namespace

bool EntryWithArguments(const FxEffect& effect, const FxShaderBinding& binding, int serial,
                        const std::string& prologue, std::string* source, std::string* entry,
                        std::string* why) {
  // glslang refuses an entry whose name has overloads (`PS(input)` beside `PS(input, uniform
  // bool)`); the original compiler takes the one whose uniform parameters the arguments fill, so
  // the wrapper calls that one and overload resolution picks it.
  size_t namesakes = 0;
  for (const FxFunction& candidate : effect.functions) namesakes += candidate.name == binding.entry;
  if (binding.arguments.empty() && prologue.empty() && namesakes < 2) {
    *entry = binding.entry;
    return true;
  }
  const FxFunction* function = nullptr;
  for (const FxFunction& candidate : effect.functions) {
    if (candidate.name != binding.entry) continue;
    size_t uniforms = 0;
    for (const FxFunctionParameter& p : candidate.parameters) uniforms += p.uniform;
    if (uniforms == binding.arguments.size()) {
      function = &candidate;
      break;
    }
  }
  if (!function) {
    *why = "no function '" + binding.entry + "' takes " + std::to_string(binding.arguments.size()) +
           " uniform arguments";
    return false;
  }
  // The wrapper has the function's varying parameters, with their semantics, and passes the
  // arguments in place of the uniform ones, in order.
  *entry = "tobrin_entry" + std::to_string(serial);
  std::string parameters, arguments;
  size_t next = 0;
  for (const FxFunctionParameter& p : function->parameters) {
    if (!arguments.empty()) arguments += ", ";
    if (p.uniform) {
      // A value given for a vector or matrix goes through an explicit cast: left to the call's
      // implicit conversion, a constant scalar crashes the SPIR-V optimiser glslang runs, and a
      // longer vector comes out of SPIRV-Cross as GLSL of mismatched sizes.
      const std::string& argument = binding.arguments[next++];
      arguments += IsNumericVectorType(p.typeText) && !p.array
                       ? "(" + p.typeText + ")(" + argument + ")"
                       : "(" + argument + ")";
      continue;
    }
    if (!parameters.empty()) parameters += ", ";
    parameters += p.in && p.out ? "inout " : p.out ? "out " : "in ";
    parameters += p.typeText + " " + p.name;
    if (!p.semantic.empty()) parameters += " : " + p.semantic;
    arguments += p.name;
  }
  const bool returns = function->returnTypeText != "void";
  *source += "\n" + function->returnTypeText + " " + *entry + "(" + parameters + ")";
  if (!function->returnSemantic.empty()) *source += " : " + function->returnSemantic;
  *source += " { " + prologue + std::string(returns ? "return " : "") + binding.entry + "(" +
             arguments + "); }\n";
  return true;
}

const char kPassThroughEntry[] = "tobrin_pass_through";
const char kPassThroughVertexShader[] =
    "struct tobrin_pass_through_out { float4 position : POSITION; float2 uv : TEXCOORD0; };\n"
    "tobrin_pass_through_out tobrin_pass_through(float4 position : POSITION,\n"
    "                                            float2 uv : TEXCOORD0) {\n"
    "  tobrin_pass_through_out o;\n"
    "  o.position = position;\n"
    "  o.uv = uv;\n"
    "  return o;\n"
    "}\n";

std::string FxLineLabel(const FxPreprocessed& source, int line, int fallback) {
  if (line < 0 || static_cast<size_t>(line) >= source.origins.size()) line = fallback;
  if (line < 0 || static_cast<size_t>(line) >= source.origins.size())
    return (source.files.empty() ? std::string("effect") : source.files[0]) + "(1)";
  const FxLineOrigin& origin = source.origins[line];
  const std::string& file =
      origin.file < source.files.size() ? source.files[origin.file] : source.files[0];
  return file + "(" + std::to_string(origin.line) + ")";
}

int AppendGlslangLog(const std::string& log, const FxPreprocessed& source, int fallbackLine,
                     const std::string& context, std::string* out) {
  int messages = 0;
  size_t at = 0;
  while (at < log.size()) {
    size_t end = log.find('\n', at);
    if (end == std::string::npos) end = log.size();
    std::string text = log.substr(at, end - at);
    at = end + 1;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) continue;
    unsigned file = 0, line = 0, errors = 0;
    int used = 0;
    std::string place, rest;
    if (std::sscanf(text.c_str(), "ERROR: %u:%u: %n", &file, &line, &used) == 2 && used) {
      place = FxLineLabel(source, static_cast<int>(line) - 1, fallbackLine);
      rest = text.substr(used);
    } else if ((std::sscanf(text.c_str(), "ERROR: %u compilation error%n", &errors, &used) == 1 &&
                used) ||
               text.rfind("WARNING:", 0) == 0 ||
               (text[0] == '(' && text.find("error at column") != std::string::npos)) {
      continue;  // a summary or a repeat of a message already given
    } else {
      place = FxLineLabel(source, fallbackLine, fallbackLine);
      rest = text.rfind("error: ", 0) == 0 ? text.substr(7) : text;
      if (rest.rfind("ERROR: ", 0) == 0) rest = rest.substr(7);
    }
    ++messages;
    // Every stage reads the whole text, so one fault can fail several: say it once.
    const std::string message = place + ": error: " + rest;
    if (out->find(message) == std::string::npos) *out += message + " (" + context + ")\n";
  }
  return messages;
}

}  // namespace compiler
