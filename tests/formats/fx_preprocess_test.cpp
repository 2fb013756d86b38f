// The D3D9 effect preprocessor: one short case per edge, grouped by theme (macros, conditionals,
// includes and the lines they report, the folder include reader, bounded work).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "formats/fx_effect.hpp"

using namespace formats;

namespace {

// Includes served from memory: name as written -> text.
FxIncludeReader MemoryReader(std::map<std::string, std::string> files) {
  return [files](const std::string& name, bool, const std::string&, std::string* bytes,
                 std::string* label, std::string* why) {
    auto found = files.find(name);
    if (found == files.end()) {
      *why = "file not found";
      return false;
    }
    *bytes = found->second;
    *label = name;
    return true;
  };
}

struct Pre {
  bool ok;
  FxPreprocessed out;
  std::string error;
};

Pre Preprocess(const std::string& text, std::map<std::string, std::string> includes = {}) {
  Pre r;
  r.ok = PreprocessFx("e.fx", text, MemoryReader(std::move(includes)), &r.out, &r.error);
  return r;
}

// The output's lines without their indentation, for comparing with what a case expects.
std::vector<std::string> Lines(const FxPreprocessed& p) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = p.text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = p.text.substr(start, end - start);
    line.erase(0, line.find_first_not_of(' '));
    lines.push_back(line);
  }
  return lines;
}

// The text of the first output line that came from this line of the effect file.
std::string LineFrom(const FxPreprocessed& p, int sourceLine) {
  const std::vector<std::string> lines = Lines(p);
  for (size_t i = 0; i < p.origins.size(); ++i)
    if (p.origins[i].file == 0 && p.origins[i].line == sourceLine) return lines[i];
  return "<none>";
}

void ExpectError(const Pre& r, const std::string& place, const char* fragment) {
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error.rfind(place + ": error: ", 0), 0u) << r.error;
  EXPECT_NE(r.error.find(fragment), std::string::npos) << r.error;
}

// ---- Macros --------------------------------------------------------------------------------

TEST(FxPreprocessMacros, ObjectAndFunctionMacrosExpandWithStringizeAndPaste) {
  const Pre r = Preprocess(
      "#define N 4\n"
      "#define ADD(a, b) ((a) + (b))\n"
      "#define NAME(x) x##Sampler\n"
      "#define STR(x) #x\n"
      "int v = ADD(N, 2 * N);\n"
      "sampler NAME(Diffuse);\n"
      "string s = STR(a \"q\" b);\n"
      "#undef N\n"
      "int w = N;\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(LineFrom(r.out, 5), "int v = ((4) + (2 * 4));");
  EXPECT_EQ(LineFrom(r.out, 6), "sampler DiffuseSampler;");
  EXPECT_EQ(LineFrom(r.out, 7), "string s = \"a \\\"q\\\" b\";");
  EXPECT_EQ(LineFrom(r.out, 9), "int w = N;");
}

TEST(FxPreprocessMacros, SelfReferenceStopsAndRescanningFindsLaterMacros) {
  const Pre r = Preprocess(
      "#define foo foo + 1\n"
      "#define f(a) a * g\n"
      "#define g(a) f(a)\n"
      "#define LATER(x) x\n"
      "#define CALL LATER\n"
      "foo\n"
      "f(2)(9)\n"
      "CALL(7)\n"
      "f\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(LineFrom(r.out, 6), "foo + 1");
  EXPECT_EQ(LineFrom(r.out, 7), "2 * 9 * g");  // the classic case C's standard spells out
  EXPECT_EQ(LineFrom(r.out, 8), "7");
  EXPECT_EQ(LineFrom(r.out, 9), "f");  // a function-like name without '(' is left alone
}

TEST(FxPreprocessMacros, CallAcrossLinesIsOneOutputLineAtItsFirstLine) {
  const Pre r = Preprocess("#define F(a, b) a b\nx F(1,\n  2\n) y\nz\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(LineFrom(r.out, 2), "x 1 2 y");
  EXPECT_EQ(LineFrom(r.out, 5), "z");
}

TEST(FxPreprocessMacros, MalformedDefinitionsAndCallsAreNamed) {
  ExpectError(Preprocess("#define F(a, b) a\nF(1)\n"), "e.fx(2)", "takes 2 arguments, given 1");
  ExpectError(Preprocess("#define F(a) a\nF(1\n"), "e.fx(2)", "never closed");
  ExpectError(Preprocess("#define V(...) __VA_ARGS__\n"), "e.fx(1)", "variadic");
  ExpectError(Preprocess("#define P(a) ## a\n"), "e.fx(1)", "'##' cannot start");
  ExpectError(Preprocess("#define P(a, b) a ## b\nP(+, /)\n"), "e.fx(2)",
              "does not give one token");
}

// ---- Conditionals and directives -----------------------------------------------------------

TEST(FxPreprocessConditionals, IfElifElseWithDefinedAndArithmetic) {
  const Pre r = Preprocess(
      "#define SM 3\n"
      "#if defined(OPENGL) || SM < 2\n"
      "a\n"
      "#elif SM == 3 && !defined SM4 && (1 << 4) / 8 == 2 && 0x10 == 16 && -1 < 0\n"
      "b\n"
      "#else\n"
      "c\n"
      "#endif\n"
      "#ifdef SM\n"
      "#if 0\n"
      "#anything goes in a skipped group\n"
      "#endif\n"
      "d\n"
      "#endif\n"
      "#ifndef SM\n"
      "e\n"
      "#endif\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"b", "d"}));
}

TEST(FxPreprocessConditionals, BrokenConditionalsAreNamedAtTheirLine) {
  ExpectError(Preprocess("x\n#if 1\ny\n"), "e.fx(2)", "#if without #endif");
  ExpectError(Preprocess("#endif\n"), "e.fx(1)", "#endif without #if");
  ExpectError(Preprocess("#if 1\n#else\n#else\n#endif\n"), "e.fx(3)", "#else after #else");
  ExpectError(Preprocess("#if 1 / 0\n#endif\n"), "e.fx(1)", "division by zero");
  ExpectError(Preprocess("#if 1.5\n#endif\n"), "e.fx(1)", "integers only");
  ExpectError(Preprocess("#if foo(1)\n#endif\n"), "e.fx(1)", "unexpected '('");
  ExpectError(
      Preprocess("#if " + std::string(300, '(') + "1" + std::string(300, ')') + "\n#endif\n"),
      "e.fx(1)", "nested too deeply");
  ExpectError(Preprocess("#bogus\n"), "e.fx(1)", "unknown directive '#bogus'");
}

TEST(FxPreprocessDirectives, ErrorLinePragmaAndComments) {
  ExpectError(Preprocess("\n#error needs SM3 here\n"), "e.fx(2)", "#error needs SM3 here");
  const Pre r = Preprocess(
      "/* a comment\n over three\n lines */ float a;\n"
      "#pragma warning(disable : 3571)\n"
      "#pragma pack_matrix(row_major)\n"
      "#define LONG 1 + \\\n 2\n"
      "int b = LONG; // done\n"
      "#line 100 \"other.fx\"\n"
      "c\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(LineFrom(r.out, 3), "float a;");  // the line after the comment keeps its number
  EXPECT_EQ(LineFrom(r.out, 5), "#pragma pack_matrix(row_major)");
  EXPECT_EQ(LineFrom(r.out, 8), "int b = 1 + 2;");
  EXPECT_EQ(r.out.files[r.out.origins.back().file], "other.fx");
  EXPECT_EQ(r.out.origins.back().line, 100);
  ExpectError(Preprocess(std::string("a\nb\0c\n", 6)), "e.fx(2)", "NUL byte");
  ExpectError(Preprocess("a\n#line 7 \"never closed (x)\n"), "e.fx(2)",
              "#line expects a file name in double quotes");
}

// ---- Includes ------------------------------------------------------------------------------

TEST(FxPreprocessIncludes, LinesAndErrorsNameTheFileTheyCameFrom) {
  const Pre r =
      Preprocess("#include \"a.fxh\"\nmain\n#include <b.fxh>\n",
                 {{"a.fxh", "one\n#include \"b.fxh\"\ntwo\n"}, {"b.fxh", "#pragma once\nbee\n"}});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"one", "bee", "two", "main"}));
  EXPECT_EQ(r.out.files[r.out.origins[2].file], "a.fxh");
  EXPECT_EQ(r.out.origins[2].line, 3);
  EXPECT_EQ(FxPlace(r.out, 1), "b.fxh(2)");
  EXPECT_EQ(FxPlace(r.out, 3), "e.fx(2)");

  ExpectError(Preprocess("\n#include \"c.fxh\"\n", {{"c.fxh", "ok\n\n#error in the include\n"}}),
              "c.fxh(3)", "#error in the include");
  ExpectError(Preprocess("#include \"missing.fxh\"\n"), "e.fx(1)",
              "cannot open the include file 'missing.fxh' (file not found)");
  ExpectError(Preprocess("#include \"self.fxh\"\n", {{"self.fxh", "#include \"self.fxh\"\n"}}),
              "self.fxh(1)", "nested more than 64 deep");
}

TEST(FxPreprocessIncludes, FolderReaderMapsBackslashesAndFallsBackToAnyCase) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("tobrin_fx_include_" + std::to_string(std::random_device()()));
  fs::create_directories(dir / "Shaders");
  std::ofstream(dir / "Shaders" / "Common.FXH") << "#define FROM_COMMON 1\n";
  std::ofstream(dir / "Shaders" / "exact.fxh") << "exact\n";
  std::ofstream(dir / "Shaders" / "EXACT.fxh") << "upper\n";
  const std::string effect = (dir / "e.fx").string();
  const FxIncludeReader reader = MakeFolderIncludeReader(effect);

  FxPreprocessed out;
  std::string error;
  ASSERT_TRUE(PreprocessFx(effect,
                           "#include \"shaders\\common.fxh\"\n#if FROM_COMMON\nyes\n#endif\n"
                           "#include \"Shaders/exact.fxh\"\n",
                           reader, &out, &error))
      << error;
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"yes", "exact"}));  // exact name wins
  EXPECT_EQ(out.files[1], (dir / "Shaders" / "Common.FXH").string());

  EXPECT_FALSE(PreprocessFx(effect, "#include \"nothere.fxh\"\n", reader, &out, &error));
  EXPECT_NE(error.find("(file not found)"), std::string::npos) << error;
  fs::remove_all(dir);
}

// ---- Bounded work --------------------------------------------------------------------------

TEST(FxPreprocessLimits, DoublingMacrosFailFastWithTheLineOfTheUse) {
  std::string text = "#define A0 x x\n";
  for (int i = 1; i <= 20; ++i)
    text += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" +
            std::to_string(i - 1) + "\n";
  text += "float f = A20;\n";
  const auto start = std::chrono::steady_clock::now();
  const Pre r = Preprocess(text);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ExpectError(r, "e.fx(22)", "macro expansion produces more than");
  EXPECT_LT(seconds, 2.0);  // about 0.1 s; unbounded it took tens of seconds and gigabytes
}

TEST(FxPreprocessLimits, OutputSizeIsBounded) {
  const std::string line = "#define W " + std::string(2000, 'w') + "\n";
  std::string text = line;
  for (int i = 0; i < 2500; ++i) text += "W\n";  // 5 MB of output from 5 kB of lines
  ExpectError(Preprocess(text), "e.fx(2098)", "preprocessed text is larger than");
}

}  // namespace
