// scripts/compare-effects.sh over two small folders laid out as scripts/fxview-all.sh lays them
// out: where it draws the line between agreeing and differing pictures, and that the table of
// explained differences must match what differs, no more and no less.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/tools/run_command.hpp"
#include "tools/fxview/picture.hpp"

namespace {

constexpr uint32_t kSize = 32;

using tobrin_test::Outcome;

Outcome Compare(const std::string& linuxSide, const std::string& windowsSide,
                const std::string& table) {
  const std::string doc = testing::TempDir() + "/compare_reference.md";
  std::ofstream(doc) << "| effect file | technique | what differs | why | which side is right |\n"
                        "|---|---|---|---|---|\n"
                     << table;
  return tobrin_test::RunCommand("EFFECT_REFERENCE=" + doc + " " + TOBRIN_SOURCE_DIR +
                                 "/scripts/compare-effects.sh " + linuxSide + " " + windowsSide);
}

// The clear colour with a 16 x 16 square of grey drawn on it: 256 lit pixels, of which the first
// `changed` are brighter by `by`.
void Picture(const std::string& path, int changed = 0, int by = 0) {
  std::vector<uint8_t> rgba(kSize * kSize * 4);
  int lit = 0;
  for (uint32_t y = 0; y < kSize; ++y)
    for (uint32_t x = 0; x < kSize; ++x) {
      uint8_t* p = &rgba[(y * kSize + x) * 4];
      const bool inside = x >= 8 && x < 24 && y >= 8 && y < 24;
      const int grey = 100 + (inside && lit++ < changed ? by : 0);
      p[0] = inside ? grey : 0x20;
      p[1] = inside ? grey : 0x30;
      p[2] = inside ? grey : 0x40;
      p[3] = 255;
    }
  std::string why;
  ASSERT_TRUE(fxview::WritePng(path, kSize, kSize, rgba.data(), &why)) << why;
}

// One effect, a/e.fx, with the techniques given drawn, as fxview-all.sh leaves it.
std::string Side(const std::string& name, const std::vector<std::string>& techniques) {
  const std::string root = testing::TempDir() + "/compare_" + name;
  EXPECT_EQ(std::system(("rm -rf " + root + " && mkdir -p " + root + "/a").c_str()), 0);
  std::ofstream log(root + "/a/e.log");
  for (const std::string& t : techniques)
    log << "tests/data/fx/a/e.fx: technique " << t << ", 1 pass: wrote " << root << "/a/e-" << t
        << ".png\n";
  log << "tests/data/fx/a/e.fx: technique Broken, 2 passes: not drawn: Begin failed\n";
  log << "exit status 4\n";
  return root;
}

TEST(CompareEffects, OnePercentOfTheLitPixelsMayDifferBySixteenLevels) {
  const std::string linuxSide =
      Side("linux", {"Same", "Faint", "Few", "Many", "Size", "LinuxOnly"});
  const std::string windowsSide = Side("windows", {"Same", "Faint", "Few", "Many", "Size"});
  for (const char* t : {"Same", "Faint", "Few", "Many", "Size", "LinuxOnly"})
    Picture(linuxSide + "/a/e-" + t + ".png");
  Picture(windowsSide + "/a/e-Same.png");
  Picture(windowsSide + "/a/e-Faint.png", 256, 16);  // every lit pixel, but within the levels
  Picture(windowsSide + "/a/e-Few.png", 2, 90);      // 2 of 256: under 1 %
  Picture(windowsSide + "/a/e-Many.png", 3, 17);     // 3 of 256: over 1 %
  {
    std::vector<uint8_t> wide(2 * kSize * kSize * 4, 0x20);
    std::string why;
    ASSERT_TRUE(
        fxview::WritePng(windowsSide + "/a/e-Size.png", 2 * kSize, kSize, wide.data(), &why));
  }

  const std::string listed =
      "| `a/e.fx` | `Many` | three pixels | a test | neither |\n"
      "| `a/e.fx` | `Size` | the size | a test | neither |\n";
  const Outcome run = Compare(linuxSide, windowsSide, listed);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("listed a/e.fx Many: 3 of 256 lit pixels (1.2 %) differ by more than 16"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("listed a/e.fx Size: sizes differ: 32x32 and 64x32"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("only Linux: a/e.fx LinuxOnly"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("1 effects, 5 techniques compared, 3 agree, 2 differ, 1 drawn by one "
                         "side only; every difference listed"),
            std::string::npos)
      << run.out;

  // A difference the table does not explain fails the run, and so does an explanation of
  // pictures that agree or of a technique not compared.
  const Outcome unlisted = Compare(linuxSide, windowsSide, "| `a/e.fx` | `Size` | x | y | z |\n");
  EXPECT_EQ(unlisted.status, 1) << unlisted.out;
  EXPECT_NE(unlisted.out.find("FAIL (not in compare_reference.md) a/e.fx Many"), std::string::npos)
      << unlisted.out;
  for (const char* stale : {"Few", "Broken"}) {
    const Outcome gone =
        Compare(linuxSide, windowsSide, listed + "| `a/e.fx` | `" + stale + "` | x | y | z |\n");
    EXPECT_EQ(gone.status, 1) << gone.out;
    EXPECT_NE(gone.out.find(std::string("FAIL a/e.fx ") + stale), std::string::npos) << gone.out;
  }
}

}  // namespace
