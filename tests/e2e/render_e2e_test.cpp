// What the real program draws, read back from its window: the scene where the projection puts it,
// the overlay, the animation, and the outcomes of a broken effect and a missing mesh.
#include "tests/e2e/program_fixture.hpp"

namespace {

using e2e::CountLit;
using e2e::ProgramTest;
using e2e::Project;

constexpr uint32_t kOverlayGrey = 0xC8C8C8;

int CountColour(const xdrv::Image& image, uint32_t colour, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += image.At(x, y) == colour;
  return n;
}

TEST_F(ProgramTest, DrawsTheSceneTheMarkerAndTheOverlay) {
  ASSERT_NE(Launch(), 0u);
  Pause(2.0);
  const xdrv::Image image = Shot("start");
  ASSERT_EQ(image.width, 1024);

  // Copy 0 of each list, and the marker 0.3 behind the light at (0, 0, 10).
  EXPECT_GT(CountLit(image, Project(-14, -10, 30), 20), 200) << "left chair";
  EXPECT_GT(CountLit(image, Project(-7.5, -10, 30), 20), 400) << "lower sphere";
  EXPECT_GT(CountLit(image, Project(-10, 10, 30), 6), 40) << "upper sphere";
  EXPECT_GT(CountLit(image, Project(14, -10, 30), 10), 30) << "right chair";
  EXPECT_GT(CountLit(image, Project(0, 0, 10.3), 3), 10) << "light marker";

  // Empty corridor between them stays black.
  EXPECT_EQ(CountLit(image, {640, 300}, 40), 0);
  EXPECT_EQ(CountLit(image, {380, 520}, 30), 0);

  // The overlay: light grey text inside its rectangle, and its grey nowhere outside.
  EXPECT_GT(CountColour(image, kOverlayGrey, 6, 6, 500, 200), 100);
  EXPECT_EQ(CountColour(image, kOverlayGrey, 0, 200, 1024, 768), 0);
  EXPECT_EQ(CountColour(image, kOverlayGrey, 500, 0, 1024, 200), 0);

  xdrv::RequestClose(window_);
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, ThePictureIsAnimated) {
  ASSERT_NE(Launch(), 0u);
  Pause(1.5);
  const xdrv::Image first = Shot("first");
  Pause(1.0);
  const xdrv::Image second = Shot("second");
  int changed = 0;
  for (int y = 300; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) changed += first.At(x, y) != second.At(x, y);
  EXPECT_GT(changed, 500);
  xdrv::RequestClose(window_);
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, ABrokenEffectIsReportedAndTheProgramRunsOn) {
  std::ofstream(dir_ / "Za_rad_2.fx") << "float kAmbient\ntechnique { broken\n";
  process_ = xdrv::Start(TOBRIN_EXE, dir_.string(), (dir_ / "program.log").string());
  const unsigned long box = xdrv::WaitForWindow("Fx Compile Error", 30);
  ASSERT_NE(box, 0u) << Log();
  Pause(0.5);
  xdrv::Focus(box);
  xdrv::TapKey("Return");
  if (!xdrv::WaitForWindowGone("Fx Compile Error", 5)) {
    xdrv::RequestClose(box);
    ASSERT_TRUE(xdrv::WaitForWindowGone("Fx Compile Error", 5));
  }

  window_ = xdrv::WaitForWindow(e2e::kTitle, 10);
  ASSERT_NE(window_, 0u);
  Pause(1.5);
  const xdrv::Image image = Shot("no-effect");
  EXPECT_GT(CountColour(image, kOverlayGrey, 6, 6, 500, 200), 100) << "the overlay still draws";
  EXPECT_EQ(CountLit(image, Project(-7.5, -10, 30), 20), 0) << "nothing draws without the effect";
  xdrv::Focus(window_);
  xdrv::TapKey("space");  // must not touch the missing effect
  Pause(0.3);
  xdrv::RequestClose(window_);
  EXPECT_EQ(WaitExit(), 0) << Log();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "ERR_LOG.txt"));
}

TEST_F(ProgramTest, AMissingSphereMeshEndsWithTheErrorLog) {
  std::filesystem::remove(dir_ / "modeli" / "sphere.x");
  process_ = xdrv::Start(TOBRIN_EXE, dir_.string(), (dir_ / "program.log").string());
  EXPECT_EQ(WaitExit(30), 255);
  const std::string log = Read(dir_ / "ERR_LOG.txt");
  EXPECT_EQ(log.rfind("Iznimka: ", 0), 0u) << log;
  EXPECT_NE(log.find("sphere.x"), std::string::npos) << log;
}

}  // namespace
