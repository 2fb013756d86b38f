// The C preprocessor of D3D9 effect files: #define (object and function-like, # and ##), #undef,
// #if/#ifdef/#ifndef/#elif/#else/#endif, #include through a reader, #error, #line, #pragma.
// Limits: no variadic macros; all work is bounded (output size, include depth and count, bytes
// read, tokens produced by expansion, nesting), so a hostile file fails fast with its line.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

#include "formats/fx_effect.hpp"
#include "formats/quote.hpp"

namespace formats {
namespace {

enum class PK : uint8_t { Ident, Number, String, Punct, Other };

struct PTok {
  std::string text;
  PK kind = PK::Other;
  bool space = false;  // whitespace before it: kept so the output reads like the input
  int hide = 0;        // hide set: the macros this token came out of, never expanded again here
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

struct Line {
  std::string text;
  int line = 1;  // physical line where it starts
};

// Cuts bytes into logical lines: comments become one space, backslash-newline joins lines. A
// block comment's newlines end the line, except in a directive, where C makes the comment one
// space; so code after a long comment keeps its own line number.
void SplitLines(const std::string& bytes, std::vector<Line>* lines) {
  Line current;
  int physical = 1;
  bool directive = false, seenCode = false;
  const size_t n = bytes.size();
  // A UTF-8 byte-order mark is how many editors of that era start a file; it is no text.
  const size_t bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  auto endLine = [&](int nextLine) {
    lines->push_back(std::move(current));
    current = Line();
    current.line = nextLine;
    directive = seenCode = false;
  };
  for (size_t i = bom; i < n;) {
    const char c = bytes[i];
    if (c == '\\' && i + 1 < n && (bytes[i + 1] == '\n' || bytes[i + 1] == '\r')) {
      size_t j = i + 1;
      if (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') ++j;
      if (bytes[j] == '\n') {
        ++physical;
        i = j + 1;
        continue;
      }
    }
    if (c == '\n') {
      ++physical;
      ++i;
      endLine(physical);
      continue;
    }
    if (c == '\r') {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && bytes[i + 1] == '/') {
      while (i < n && bytes[i] != '\n') {
        // A line comment ending in a backslash goes on, as in C.
        if (bytes[i] == '\\' && i + 1 < n && bytes[i + 1] == '\n') {
          ++physical;
          ++i;
        }
        ++i;
      }
      current.text += ' ';
      continue;
    }
    if (c == '/' && i + 1 < n && bytes[i + 1] == '*') {
      i += 2;
      bool brokeLine = false;
      while (i < n && !(bytes[i] == '*' && i + 1 < n && bytes[i + 1] == '/')) {
        if (bytes[i] == '\n') {
          ++physical;
          if (!directive) {
            endLine(physical);
            brokeLine = true;
          }
        }
        ++i;
      }
      i = i < n ? i + 2 : n;
      if (!brokeLine) current.text += ' ';
      continue;
    }
    if (c == '"' || c == '\'') {
      // A literal: comment markers inside it are text. It ends at its quote or the line's end.
      current.text += c;
      ++i;
      while (i < n && bytes[i] != c && bytes[i] != '\n') {
        if (bytes[i] == '\\' && i + 1 < n && bytes[i + 1] != '\n') current.text += bytes[i++];
        current.text += bytes[i++];
      }
      if (i < n && bytes[i] == c) current.text += bytes[i++];
      seenCode = true;
      continue;
    }
    if (!seenCode && c != ' ' && c != '\t' && c != '\f' && c != '\v') {
      seenCode = true;
      directive = c == '#';
    }
    current.text += c;
    ++i;
  }
  if (!current.text.empty()) lines->push_back(std::move(current));
}

const char* const kPuncts[] = {
    "...", "<<=", ">>=", "##", "&&", "||", "==", "!=", "<=", ">=", "<<", ">>",
    "++",  "--",  "+=",  "-=", "*=", "/=", "%=", "&=", "|=", "^=", "->", "::"};

// Cuts one logical line (from offset `from`) into preprocessing tokens.
void Tokenize(const std::string& s, size_t from, std::vector<PTok>* out) {
  bool space = false;
  const size_t n = s.size();
  for (size_t i = from; i < n;) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r') {
      space = true;
      ++i;
      continue;
    }
    PTok t;
    t.space = space;
    space = false;
    const size_t start = i;
    if (IsIdentStart(c)) {
      while (i < n && IsIdentChar(s[i])) ++i;
      t.kind = PK::Ident;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s[i + 1]))) {
      ++i;
      while (i < n) {
        if ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E')) {
          ++i;
        } else if (IsIdentChar(s[i]) || s[i] == '.') {
          ++i;
        } else {
          break;
        }
      }
      t.kind = PK::Number;
    } else if (c == '"' || c == '\'') {
      ++i;
      while (i < n && s[i] != c) i += (s[i] == '\\' && i + 1 < n) ? 2 : 1;
      i = i < n ? i + 1 : n;
      t.kind = PK::String;
    } else {
      size_t len = 1;
      for (const char* p : kPuncts) {
        const size_t l = std::strlen(p);
        if (s.compare(i, l, p) == 0) {
          len = l;
          break;
        }
      }
      i += len;
      const unsigned char u = static_cast<unsigned char>(c);
      t.kind = (u < 0x80 && std::strchr("!%&*()-+=[]{}|;:,.<>/?^~#", c)) ? PK::Punct : PK::Other;
    }
    t.text.assign(s, start, i - start);
    out->push_back(std::move(t));
  }
}

bool Is(const PTok& t, const char* text) { return t.text == text; }

struct Macro {
  bool function = false;
  std::vector<std::string> params;
  std::vector<PTok> body;
  int id = 0;
};

struct Pp {
  const FxIncludeReader* reader = nullptr;
  FxPreprocessed* out = nullptr;
  std::string error;
  std::unordered_map<std::string, Macro> macros;
  std::unordered_map<std::string, int> macroIds;
  std::vector<std::vector<int>> sets{{}};
  std::map<std::vector<int>, int> setIndex{{{}, 0}};
  std::map<std::pair<int, int>, int> unions, intersections, setUnions;
  std::vector<std::string> onceFiles;
  size_t expansionTokens = 0;
  size_t includes = 0;
  size_t inputBytes = 0;
  // Where the line being processed came from, for messages.
  uint32_t file = 0;
  int line = 0;
};

bool Fail(Pp* pp, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool Fail(Pp* pp, const char* format, ...) {
  if (!pp->error.empty()) return false;
  char message[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  pp->error = pp->out->files[pp->file] + "(" + std::to_string(pp->line) + "): error: " + message;
  return false;
}

int InternSet(Pp* pp, std::vector<int> set) {
  auto found = pp->setIndex.find(set);
  if (found != pp->setIndex.end()) return found->second;
  const int id = static_cast<int>(pp->sets.size());
  pp->setIndex.emplace(set, id);
  pp->sets.push_back(std::move(set));
  return id;
}

bool InSet(const Pp& pp, int set, int macro) {
  for (int m : pp.sets[set])
    if (m == macro) return true;
  return false;
}

int WithMacro(Pp* pp, int set, int macro) {
  if (InSet(*pp, set, macro)) return set;
  const auto key = std::make_pair(set, macro);
  auto found = pp->unions.find(key);
  if (found != pp->unions.end()) return found->second;
  std::vector<int> members = pp->sets[set];
  members.insert(std::lower_bound(members.begin(), members.end(), macro), macro);
  const int id = InternSet(pp, std::move(members));
  pp->unions.emplace(key, id);
  return id;
}

// Called for every token an expansion produces, so the common cases (a body token with no set
// of its own, or the same set again) answer without a lookup, and the rest are cached.
int Union(Pp* pp, int a, int b) {
  if (a == 0 || a == b) return b;
  if (b == 0) return a;
  const auto key = std::make_pair(a, b);
  auto found = pp->setUnions.find(key);
  if (found != pp->setUnions.end()) return found->second;
  int r = a;
  for (int m : pp->sets[b]) r = WithMacro(pp, r, m);
  pp->setUnions.emplace(key, r);
  return r;
}

int Intersect(Pp* pp, int a, int b) {
  if (a == b) return a;
  const auto key = std::make_pair(a, b);
  auto found = pp->intersections.find(key);
  if (found != pp->intersections.end()) return found->second;
  std::vector<int> members;
  for (int m : pp->sets[a])
    if (InSet(*pp, b, m)) members.push_back(m);
  const int id = InternSet(pp, std::move(members));
  pp->intersections.emplace(key, id);
  return id;
}

bool Spend(Pp* pp, size_t tokens) {
  pp->expansionTokens += tokens;
  if (pp->expansionTokens <= kMaxFxExpansionTokens) return true;
  return Fail(pp,
              "macro expansion produces more than %zu tokens (a macro that expands to itself "
              "many times over?)",
              kMaxFxExpansionTokens);
}

std::string Spell(const std::vector<PTok>& tokens) {
  std::string text;
  for (const PTok& t : tokens) {
    if (t.space && !text.empty()) text += ' ';
    text += t.text;
  }
  return text;
}

PTok Stringize(const std::vector<PTok>& arg) {
  PTok t;
  t.kind = PK::String;
  t.text = "\"";
  for (char c : Spell(arg)) {
    if (c == '"' || c == '\\') t.text += '\\';
    t.text += c;
  }
  t.text += '"';
  return t;
}

bool Paste(Pp* pp, const PTok& left, const PTok& right, PTok* result) {
  const std::string joined = left.text + right.text;
  std::vector<PTok> tokens;
  Tokenize(joined, 0, &tokens);
  if (tokens.size() != 1)
    return Fail(pp, "pasting %s and %s does not give one token", Quote(left.text).c_str(),
                Quote(right.text).c_str());
  *result = std::move(tokens[0]);
  result->space = left.space;
  result->hide = left.hide;
  return true;
}

// More tokens for a macro call that goes on past its line; false when there are none.
using MoreTokens = std::function<bool(std::deque<PTok>* in)>;

bool Expand(Pp* pp, std::deque<PTok>* in, std::vector<PTok>* out, const MoreTokens* more,
            int depth);

bool Substitute(Pp* pp, const Macro& m, const std::vector<std::vector<PTok>>& args, int hide,
                int depth, std::vector<PTok>* result) {
  std::vector<std::vector<PTok>> expanded(args.size());
  std::vector<bool> done(args.size(), false);
  auto paramIndex = [&](const PTok& t) -> int {
    if (t.kind != PK::Ident) return -1;
    for (size_t k = 0; k < m.params.size(); ++k)
      if (m.params[k] == t.text) return static_cast<int>(k);
    return -1;
  };
  const std::vector<PTok>& body = m.body;
  for (size_t i = 0; i < body.size(); ++i) {
    const PTok& t = body[i];
    // # param: the argument's spelling as a string.
    if (Is(t, "#") && i + 1 < body.size() && paramIndex(body[i + 1]) >= 0) {
      PTok s = Stringize(args[paramIndex(body[i + 1])]);
      s.space = t.space;
      result->push_back(std::move(s));
      ++i;
      continue;
    }
    // x ## y: glue the last token so far to the first of the right operand.
    if (Is(t, "##") && i + 1 < body.size()) {
      const PTok& next = body[++i];
      const int k = paramIndex(next);
      std::vector<PTok> right = k >= 0 ? args[k] : std::vector<PTok>{next};
      if (right.empty()) continue;
      if (result->empty()) {
        result->insert(result->end(), right.begin(), right.end());
        continue;
      }
      PTok glued;
      if (!Paste(pp, result->back(), right[0], &glued)) return false;
      result->back() = std::move(glued);
      result->insert(result->end(), right.begin() + 1, right.end());
      continue;
    }
    const int k = paramIndex(t);
    if (k >= 0) {
      // An operand of ## is used as written; any other argument fully expanded first.
      if (i + 1 < body.size() && Is(body[i + 1], "##")) {
        const size_t at = result->size();
        result->insert(result->end(), args[k].begin(), args[k].end());
        if (result->size() > at) (*result)[at].space = t.space;
        continue;
      }
      if (!done[k]) {
        std::deque<PTok> in(args[k].begin(), args[k].end());
        if (!Expand(pp, &in, &expanded[k], nullptr, depth + 1)) return false;
        done[k] = true;
      }
      const size_t at = result->size();
      result->insert(result->end(), expanded[k].begin(), expanded[k].end());
      if (result->size() > at) (*result)[at].space = t.space;
      continue;
    }
    result->push_back(t);
  }
  for (PTok& r : *result) r.hide = Union(pp, r.hide, hide);
  return Spend(pp, result->size() + 1);
}

// Macro expansion of one token list, the classic way: each token carries the set of macros it
// came from, and a name in its own set is left alone, so self-reference ends.
bool Expand(Pp* pp, std::deque<PTok>* in, std::vector<PTok>* out, const MoreTokens* more,
            int depth) {
  if (depth > kMaxFxNesting) return Fail(pp, "macro calls nested too deeply");
  while (!in->empty()) {
    PTok t = std::move(in->front());
    in->pop_front();
    if (t.kind != PK::Ident) {
      out->push_back(std::move(t));
      continue;
    }
    auto found = pp->macros.find(t.text);
    if (found == pp->macros.end() || InSet(*pp, t.hide, found->second.id)) {
      out->push_back(std::move(t));
      continue;
    }
    const Macro& m = found->second;
    if (!m.function) {
      std::vector<PTok> body = m.body;
      const int hide = WithMacro(pp, t.hide, m.id);
      for (PTok& b : body) b.hide = Union(pp, b.hide, hide);
      if (!body.empty()) body[0].space = t.space;
      if (!Spend(pp, body.size() + 1)) return false;
      in->insert(in->begin(), body.begin(), body.end());
      continue;
    }
    // A function-like macro is called only when '(' follows, possibly on the next line.
    if (in->empty() && more) (*more)(in);
    if (in->empty() || !Is(in->front(), "(")) {
      out->push_back(std::move(t));
      continue;
    }
    in->pop_front();
    std::vector<std::vector<PTok>> args(1);
    int level = 0;
    PTok close;
    for (;;) {
      if (in->empty() && !(more && (*more)(in)))
        return Fail(pp, "the call of macro %s is never closed", Quote(t.text).c_str());
      PTok a = std::move(in->front());
      in->pop_front();
      if (Is(a, ")") && level == 0) {
        close = std::move(a);
        break;
      }
      if (Is(a, "(")) ++level;
      if (Is(a, ")")) --level;
      if (Is(a, ",") && level == 0) {
        args.emplace_back();
        continue;
      }
      if (args.back().empty()) a.space = false;
      args.back().push_back(std::move(a));
      if (!Spend(pp, 1)) return false;
    }
    if (m.params.empty() && args.size() == 1 && args[0].empty()) args.clear();
    if (args.size() != m.params.size())
      return Fail(pp, "macro %s takes %zu arguments, given %zu", Quote(t.text).c_str(),
                  m.params.size(), args.size());
    const int hide = WithMacro(pp, Intersect(pp, t.hide, close.hide), m.id);
    std::vector<PTok> body;
    if (!Substitute(pp, m, args, hide, depth, &body)) return false;
    if (!body.empty()) body[0].space = t.space;
    in->insert(in->begin(), body.begin(), body.end());
  }
  return true;
}

// ---- #if expressions -----------------------------------------------------------------------

struct Eval {
  Pp* pp;
  const std::vector<PTok>* t;
  size_t i = 0;
  int depth = 0;
};

bool ParseInteger(const std::string& text, uint64_t* value) {
  size_t end = text.size();
  while (end > 0 && std::strchr("uUlL", text[end - 1])) --end;
  int base = 10;
  size_t i = 0;
  if (end > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (end > 1 && text[0] == '0') {
    base = 8;
    i = 1;
  }
  if (i >= end) return base == 8;  // "0" handled as octal with no digits left
  uint64_t v = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    int d = IsDigit(c)               ? c - '0'
            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                     : 99;
    if (d >= base) return false;
    v = v * base + d;  // wraps on overflow, as unsigned arithmetic does
  }
  *value = v;
  return true;
}

bool EvalBinary(Eval* e, int minPrec, int64_t* value);

bool EvalUnary(Eval* e, int64_t* value) {
  if (++e->depth > kMaxFxNesting) return Fail(e->pp, "expression in #if nested too deeply");
  if (e->i >= e->t->size()) return Fail(e->pp, "expression in #if ends too soon");
  const PTok& tok = (*e->t)[e->i++];
  bool ok = true;
  if (Is(tok, "!") || Is(tok, "-") || Is(tok, "+") || Is(tok, "~")) {
    int64_t v = 0;
    ok = EvalUnary(e, &v);
    const uint64_t u = static_cast<uint64_t>(v);
    *value = Is(tok, "!")   ? !v
             : Is(tok, "-") ? static_cast<int64_t>(0 - u)
             : Is(tok, "~") ? static_cast<int64_t>(~u)
                            : v;
  } else if (Is(tok, "(")) {
    ok = EvalBinary(e, 0, value);
    if (ok && (e->i >= e->t->size() || !Is((*e->t)[e->i], ")")))
      ok = Fail(e->pp, "expected ')' in #if");
    ++e->i;
  } else if (tok.kind == PK::Number) {
    uint64_t v = 0;
    if (!ParseInteger(tok.text, &v))
      return Fail(e->pp, "%s is not an integer; #if takes integers only", Quote(tok.text).c_str());
    *value = static_cast<int64_t>(v);
  } else if (tok.kind == PK::Ident) {
    *value = 0;  // a name that is no macro counts as 0, as in C
  } else {
    return Fail(e->pp, "unexpected %s in #if", Quote(tok.text).c_str());
  }
  --e->depth;
  return ok;
}

int Precedence(const PTok& t) {
  static const char* const levels[][4] = {
      {"||"},       {"&&"},     {"|"},          {"^"}, {"&"}, {"==", "!="}, {"<", ">", "<=", ">="},
      {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"}};
  if (t.kind != PK::Punct) return -1;
  for (int level = 0; level < 10; ++level)
    for (const char* op : levels[level])
      if (op && t.text == op) return level + 1;
  return -1;
}

bool Apply(Eval* e, const std::string& op, int64_t a, int64_t b, int64_t* r) {
  const uint64_t ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
  if ((op == "/" || op == "%") && (b == 0 || (a == INT64_MIN && b == -1)))
    return Fail(e->pp, "division by zero in #if");
  if (op == "||")
    *r = a || b;
  else if (op == "&&")
    *r = a && b;
  else if (op == "|")
    *r = static_cast<int64_t>(ua | ub);
  else if (op == "^")
    *r = static_cast<int64_t>(ua ^ ub);
  else if (op == "&")
    *r = static_cast<int64_t>(ua & ub);
  else if (op == "==")
    *r = a == b;
  else if (op == "!=")
    *r = a != b;
  else if (op == "<")
    *r = a < b;
  else if (op == ">")
    *r = a > b;
  else if (op == "<=")
    *r = a <= b;
  else if (op == ">=")
    *r = a >= b;
  else if (op == "<<")
    *r = static_cast<int64_t>(ua << (ub & 63));
  else if (op == ">>")
    *r = a >> (ub & 63);
  else if (op == "+")
    *r = static_cast<int64_t>(ua + ub);
  else if (op == "-")
    *r = static_cast<int64_t>(ua - ub);
  else if (op == "*")
    *r = static_cast<int64_t>(ua * ub);
  else if (op == "/")
    *r = a / b;
  else
    *r = a % b;
  return true;
}

bool EvalBinary(Eval* e, int minPrec, int64_t* value) {
  if (!EvalUnary(e, value)) return false;
  for (;;) {
    if (e->i >= e->t->size()) return true;
    const PTok& op = (*e->t)[e->i];
    if (Is(op, "?") && minPrec == 0) {
      ++e->i;
      int64_t a = 0, b = 0;
      if (!EvalBinary(e, 0, &a)) return false;
      if (e->i >= e->t->size() || !Is((*e->t)[e->i], ":"))
        return Fail(e->pp, "expected ':' in #if");
      ++e->i;
      if (!EvalBinary(e, 0, &b)) return false;
      *value = *value ? a : b;
      continue;
    }
    const int prec = Precedence(op);
    if (prec < 0 || prec < minPrec) return true;
    ++e->i;
    int64_t rhs = 0;
    if (!EvalBinary(e, prec + 1, &rhs)) return false;
    if (!Apply(e, op.text, *value, rhs, value)) return false;
  }
}

// ---- Directives and files ------------------------------------------------------------------

struct Cond {
  bool parentActive;
  bool taken;   // some branch was chosen
  bool active;  // the current branch is
  bool sawElse;
  int line;
};

bool EvalCondition(Pp* pp, const std::vector<PTok>& tokens, size_t from, bool* result) {
  // `defined X` and `defined(X)` are decided before expansion, as C says.
  std::deque<PTok> in;
  for (size_t i = from; i < tokens.size(); ++i) {
    if (tokens[i].kind == PK::Ident && tokens[i].text == "defined") {
      size_t j = i + 1;
      const bool paren = j < tokens.size() && Is(tokens[j], "(");
      if (paren) ++j;
      if (j >= tokens.size() || tokens[j].kind != PK::Ident)
        return Fail(pp, "'defined' needs a macro name");
      PTok one;
      one.kind = PK::Number;
      one.text = pp->macros.count(tokens[j].text) ? "1" : "0";
      in.push_back(one);
      if (paren) {
        if (j + 1 >= tokens.size() || !Is(tokens[j + 1], ")"))
          return Fail(pp, "expected ')' after 'defined(%s'", tokens[j].text.c_str());
        ++j;
      }
      i = j;
      continue;
    }
    in.push_back(tokens[i]);
  }
  std::vector<PTok> expanded;
  if (!Expand(pp, &in, &expanded, nullptr, 0)) return false;
  if (expanded.empty()) return Fail(pp, "#if with no expression");
  Eval e{pp, &expanded};
  int64_t value = 0;
  if (!EvalBinary(&e, 0, &value)) return false;
  if (e.i != expanded.size())
    return Fail(pp, "unexpected %s in #if", Quote(expanded[e.i].text).c_str());
  *result = value != 0;
  return true;
}

bool Define(Pp* pp, const std::vector<PTok>& t, const std::string& lineText) {
  if (t.size() < 3 || t[2].kind != PK::Ident) return Fail(pp, "#define needs a macro name");
  const std::string& name = t[2].text;
  if (name == "defined") return Fail(pp, "'defined' cannot be a macro name");
  Macro m;
  size_t i = 3;
  if (i < t.size() && Is(t[i], "(") && !t[i].space) {
    m.function = true;
    ++i;
    bool first = true;
    for (;;) {
      if (i >= t.size())
        return Fail(pp, "the parameter list of macro %s is never closed", Quote(name).c_str());
      if (Is(t[i], ")") && first) {
        ++i;
        break;
      }
      if (Is(t[i], "...")) return Fail(pp, "variadic macros are not supported");
      if (t[i].kind != PK::Ident)
        return Fail(pp, "expected a parameter name in macro %s, found %s", Quote(name).c_str(),
                    Quote(t[i].text).c_str());
      m.params.push_back(t[i].text);
      ++i;
      first = false;
      if (i < t.size() && Is(t[i], ",")) {
        ++i;
        continue;
      }
      if (i < t.size() && Is(t[i], ")")) {
        ++i;
        break;
      }
      return Fail(pp, "expected ',' or ')' in the parameters of macro %s", Quote(name).c_str());
    }
  }
  m.body.assign(t.begin() + static_cast<long>(i), t.end());
  if (!m.body.empty()) m.body[0].space = false;
  if (!m.body.empty() && (Is(m.body.front(), "##") || Is(m.body.back(), "##")))
    return Fail(pp, "'##' cannot start or end the body of macro %s", Quote(name).c_str());
  (void)lineText;
  auto id = pp->macroIds.find(name);
  if (id == pp->macroIds.end())
    id = pp->macroIds.emplace(name, static_cast<int>(pp->macroIds.size()) + 1).first;
  m.id = id->second;
  if (pp->macroIds.size() > 65536) return Fail(pp, "too many macros");
  pp->macros[name] = std::move(m);
  return true;
}

bool Emit(Pp* pp, const std::string& text, uint32_t file, int line) {
  if (pp->out->text.size() + text.size() + 1 > kMaxFxOutputBytes)
    return Fail(pp, "the preprocessed text is larger than %zu bytes", kMaxFxOutputBytes);
  pp->out->text += text;
  pp->out->text += '\n';
  pp->out->origins.push_back({file, line});
  return true;
}

bool ProcessFile(Pp* pp, uint32_t file, const std::string& bytes, int depth);

bool Include(Pp* pp, const std::vector<PTok>& t, int depth) {
  if (t.size() < 3) return Fail(pp, "#include needs a file name");
  std::string name;
  bool angled = false;
  if (t[2].kind == PK::String && t[2].text.size() >= 2 && t[2].text[0] == '"' &&
      t[2].text.back() == '"') {
    name = t[2].text.substr(1, t[2].text.size() - 2);
  } else if (Is(t[2], "<")) {
    angled = true;
    size_t i = 3;
    for (; i < t.size() && !Is(t[i], ">"); ++i) {
      if (t[i].space) name += ' ';
      name += t[i].text;
    }
    if (i >= t.size()) return Fail(pp, "expected '>' after #include <%s", name.c_str());
  } else {
    return Fail(pp, "#include expects \"FILE\" or <FILE>, found %s", Quote(t[2].text).c_str());
  }
  if (name.empty()) return Fail(pp, "#include names no file");
  if (depth + 1 > kMaxFxIncludeDepth)
    return Fail(pp, "includes nested more than %d deep (does a file include itself?)",
                kMaxFxIncludeDepth);
  if (++pp->includes > kMaxFxIncludes) return Fail(pp, "more than %zu includes", kMaxFxIncludes);
  std::string bytes, label, why;
  if (!*pp->reader || !(*pp->reader)(name, angled, pp->out->files[pp->file], &bytes, &label, &why))
    return Fail(pp, "cannot open the include file %s (%s)", Quote(name).c_str(),
                why.empty() ? "no include reader" : why.c_str());
  if (label.empty()) label = name;
  for (const std::string& once : pp->onceFiles)
    if (once == label) return true;
  pp->inputBytes += bytes.size();
  if (pp->inputBytes > kMaxFxInputBytes)
    return Fail(pp, "the effect and its includes are larger than %zu bytes", kMaxFxInputBytes);
  if (bytes.find('\0') != std::string::npos)
    return Fail(pp, "the include file %s contains a NUL byte; effect files are text",
                Quote(label).c_str());
  pp->out->files.push_back(label);
  const uint32_t saveFile = pp->file;
  const int saveLine = pp->line;
  if (!ProcessFile(pp, static_cast<uint32_t>(pp->out->files.size() - 1), bytes, depth + 1))
    return false;
  pp->file = saveFile;
  pp->line = saveLine;
  return true;
}

bool ProcessFile(Pp* pp, uint32_t file, const std::string& bytes, int depth) {
  std::vector<Line> lines;
  SplitLines(bytes, &lines);
  std::vector<Cond> conds;
  int lineOffset = 0;  // set by #line
  uint32_t labelFile = file;
  size_t next = 0;
  auto active = [&] { return conds.empty() || conds.back().active; };
  // Lines that carry on a macro call started on an earlier line.
  MoreTokens more = [&](std::deque<PTok>* in) {
    while (next < lines.size()) {
      const Line& l = lines[next];
      size_t first = l.text.find_first_not_of(" \t\f\v");
      if (first != std::string::npos && l.text[first] == '#') return false;
      ++next;
      std::vector<PTok> tokens;
      Tokenize(l.text, 0, &tokens);
      if (tokens.empty()) continue;
      tokens[0].space = true;
      in->insert(in->end(), tokens.begin(), tokens.end());
      return true;
    }
    return false;
  };
  while (next < lines.size()) {
    const Line& l = lines[next++];
    pp->file = labelFile;
    pp->line = l.line + lineOffset;
    const size_t first = l.text.find_first_not_of(" \t\f\v");
    if (first != std::string::npos && l.text[first] == '#') {
      std::vector<PTok> t;
      Tokenize(l.text, first, &t);
      if (t.size() < 2) continue;  // the null directive
      const std::string& d = t[1].text;
      if (d == "if" || d == "ifdef" || d == "ifndef") {
        bool value = false;
        if (active()) {
          if (d == "if") {
            if (!EvalCondition(pp, t, 2, &value)) return false;
          } else {
            if (t.size() < 3 || t[2].kind != PK::Ident)
              return Fail(pp, "#%s needs a macro name", d.c_str());
            value = pp->macros.count(t[2].text) == (d == "ifdef" ? 1u : 0u);
          }
        }
        if (conds.size() >= static_cast<size_t>(kMaxFxNesting))
          return Fail(pp, "#if nested too deeply");
        conds.push_back({active(), value, active() && value, false, pp->line});
      } else if (d == "elif") {
        if (conds.empty()) return Fail(pp, "#elif without #if");
        Cond& c = conds.back();
        if (c.sawElse) return Fail(pp, "#elif after #else");
        bool value = false;
        if (c.parentActive && !c.taken && !EvalCondition(pp, t, 2, &value)) return false;
        c.active = c.parentActive && !c.taken && value;
        c.taken = c.taken || c.active;
      } else if (d == "else") {
        if (conds.empty()) return Fail(pp, "#else without #if");
        Cond& c = conds.back();
        if (c.sawElse) return Fail(pp, "#else after #else");
        c.sawElse = true;
        c.active = c.parentActive && !c.taken;
        c.taken = true;
      } else if (d == "endif") {
        if (conds.empty()) return Fail(pp, "#endif without #if");
        conds.pop_back();
      } else if (!active()) {
        // Other directives in a skipped group are not read at all, unknown ones included.
      } else if (d == "define") {
        if (!Define(pp, t, l.text)) return false;
      } else if (d == "undef") {
        if (t.size() < 3 || t[2].kind != PK::Ident) return Fail(pp, "#undef needs a macro name");
        pp->macros.erase(t[2].text);
      } else if (d == "include") {
        if (!Include(pp, t, depth)) return false;
      } else if (d == "error") {
        std::vector<PTok> rest(t.begin() + 2, t.end());
        return Fail(pp, "#error %s", Spell(rest).c_str());
      } else if (d == "pragma") {
        // pack_matrix changes how the HLSL compiler lays out matrices, so it stays in the text;
        // once is ours to keep; every other pragma is a hint and is dropped.
        if (t.size() >= 3 && t[2].text == "pack_matrix") {
          if (!Emit(pp, Spell(t), labelFile, pp->line)) return false;
          continue;
        }
        if (t.size() >= 3 && t[2].text == "once") pp->onceFiles.push_back(pp->out->files[file]);
      } else if (d == "line") {
        std::deque<PTok> in(t.begin() + 2, t.end());
        std::vector<PTok> e;
        if (!Expand(pp, &in, &e, nullptr, 0)) return false;
        uint64_t n = 0;
        if (e.empty() || e[0].kind != PK::Number || !ParseInteger(e[0].text, &n) || n > 1000000000)
          return Fail(pp, "#line needs a line number");
        lineOffset = static_cast<int>(n) - (next < lines.size() ? lines[next].line : l.line + 1);
        if (e.size() >= 2) {
          const std::string& name = e[1].text;
          if (e[1].kind != PK::String || name.size() < 2 || name[0] != '"' || name.back() != '"')
            return Fail(pp, "#line expects a file name in double quotes after the number");
          if (pp->out->files.size() >= kMaxFxIncludes) return Fail(pp, "too many #line files");
          pp->out->files.push_back(e[1].text.substr(1, e[1].text.size() - 2));
          labelFile = static_cast<uint32_t>(pp->out->files.size() - 1);
        }
      } else {
        return Fail(pp, "unknown directive %s", Quote("#" + d).c_str());
      }
      continue;
    }
    if (!active()) continue;
    std::vector<PTok> tokens;
    Tokenize(l.text, 0, &tokens);
    const std::string indent = l.text.substr(0, first == std::string::npos ? 0 : first);
    if (tokens.empty()) {
      if (!Emit(pp, "", labelFile, pp->line)) return false;
      continue;
    }
    std::deque<PTok> in(tokens.begin(), tokens.end());
    std::vector<PTok> expanded;
    const int line = pp->line;
    if (!Expand(pp, &in, &expanded, &more, 0)) return false;
    pp->line = line;
    if (!Emit(pp, indent + Spell(expanded), labelFile, line)) return false;
  }
  if (!conds.empty()) {
    pp->line = conds.back().line;
    return Fail(pp, "#if without #endif");
  }
  return true;
}

}  // namespace

bool PreprocessFx(const std::string& fileLabel, const std::string& bytes,
                  const FxIncludeReader& readInclude, FxPreprocessed* out, std::string* error) {
  *out = FxPreprocessed();
  out->files.push_back(fileLabel);
  Pp pp;
  pp.reader = &readInclude;
  pp.out = out;
  pp.line = 1;
  bool ok = true;
  if (bytes.find('\0') != std::string::npos) {
    // Name the line of the first NUL, as the GLSL-format reader does.
    pp.line = 1 + static_cast<int>(std::count(
                      bytes.begin(), bytes.begin() + static_cast<long>(bytes.find('\0')), '\n'));
    ok = Fail(&pp, "the file contains a NUL byte; effect files are text");
  } else if (bytes.size() > kMaxFxInputBytes) {
    ok = Fail(&pp, "the effect file is larger than %zu bytes", kMaxFxInputBytes);
  } else {
    pp.inputBytes = bytes.size();
    ok = ProcessFile(&pp, 0, bytes, 0);
  }
  if (!ok) {
    *error = pp.error;
    return false;
  }
  return true;
}

}  // namespace formats
